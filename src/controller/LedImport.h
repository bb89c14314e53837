#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "base/Progress.h"
#include "base/Result.h"
#include "lang/UiStrings.h"
#include "layout/Layout.h"
#include "layout/LightType.h"
#include "project/FrameStore.h"

namespace corv {

// A controller data file's header, decoded.
struct LedFileInfo {
    struct Record {
        std::array<std::uint8_t, 13> bytes{};
        bool checksumOk = false;
        int chipCode = 0;        // as stored (remapped)
        int dataWords = 0;       // master-slave: W; single and simple: F
        int ports = 0;
        int clockByte = 0;
    };
    std::uint8_t family = 0;     // byte 0
    std::uint16_t slaveCount = 0;
    std::uint32_t dataOffset = 0;  // H
    std::uint32_t blockSize = 0;   // D
    std::uint64_t fileSize = 0;
    std::uint64_t frameCount = 0;    // whole blocks
    std::uint64_t trailingBytes = 0; // bytes of a partial block after the last whole one
    // Master-slave files: the block size the slave records describe (the sum of 4 x W rounded
    // up to 512); 0 for the other families.
    std::uint64_t recordsBlockSize = 0;
    std::vector<Record> records;

    // Slaves (1-based) whose record checksum is wrong.
    std::vector<int> WrongChecksums() const;
};

// Reads and checks the header of a controller data file; a failure when the file is not one or
// its sizes cannot be true. The failure's message says why, and so does its reason, but for a
// file that cannot be opened (the message "Open file fail!") the reason is its name and the
// system's reason.
Result<LedFileInfo> ReadLedInfo(const std::filesystem::path& path);

// The master a file belongs to, from the up to three digits before its extension
// ("0012.led" is master 12, index 11); 0 when there are none.
int MasterIndexFromPath(const std::filesystem::path& path);

struct ImportResult {
    bool ok = false;
    std::string message;  // the user's message on failure
    std::vector<std::string> warnings;  // what the user is told besides (wrong checksums, a partial block)
    std::size_t blocks = 0;
};

// "Import Controller file": copies the blocks of a master-slave file back into the frames
// after the current one, through the current wiring, appending frames past the end. The
// current frame is frame 0 afterwards. A file whose block size disagrees with its slave
// records, or that holds no whole block, is refused before anything is allocated; wrong
// record checksums and a partial last block are warned of (cards from the field carry such
// files).
ImportResult ImportLedFile(const std::filesystem::path& path, const Layout& layout,
                           const std::vector<LightTypeRecord>& lamps, FrameStore& frames, AppState& app,
                           const UiStrings& strings, const ProgressFn& progress = {});

}  // namespace corv
