#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/Progress.h"
#include "base/Result.h"

namespace corv {

// Compressed documents are RAR archives. Reading takes RAR 4 and RAR 5, stored or
// compressed; writing uses the outside `rar` program when it is installed and otherwise
// our own writer of a RAR 4 archive with stored entries.

// True when the file starts with "Rar" (how callers tell an archive from a document).
bool IsRarFile(const std::filesystem::path& path);

struct ExtractResult {
    bool ok = false;
    std::vector<std::string> files;  // names written into the destination
    std::string error;
};

// Extracts every regular file of the archive directly into destDir under its stored name
// without any path, replacing files of the same name. Nothing is ever written outside
// destDir: names are reduced to their last component and links and folders are skipped.
// The CRC-32 each entry stores is checked: a damaged entry fails the extraction.
ExtractResult ExtractArchive(const std::filesystem::path& archive, const std::filesystem::path& destDir,
                             const ProgressFn& progress = {});

struct ArchiveEntry {
    std::string name;
    std::uint64_t size = 0;
    bool regularFile = false;
};
// Lists the entries of an archive; nullopt when it cannot be read.
std::optional<std::vector<ArchiveEntry>> ListArchive(const std::filesystem::path& archive);

// Writes a RAR 4 archive holding one stored entry `entryName` with the bytes of `file`,
// through a temporary file that is renamed over `archive`. The failure names the file that
// could not be read or written ("PATH: reason").
Result<Done> WriteStoredRar(const std::filesystem::path& archive, const std::filesystem::path& file,
                    const std::string& entryName, const ProgressFn& progress = {});

// The outside archiver: `rar` found on PATH, or nullopt.
std::optional<std::filesystem::path> FindRarProgram();

// Makes `archive` hold exactly `file` as entry `entryName`: through `rarProgram` when one is
// given (arguments "a -o+ -as -ep -idq ARCHIVE FILE", no shell), otherwise, or when the
// program fails, with our own writer. The failure as WriteStoredRar's.
Result<Done> AddToArchive(const std::filesystem::path& archive, const std::filesystem::path& file,
                  const std::string& entryName, const std::optional<std::filesystem::path>& rarProgram,
                  const ProgressFn& progress = {});

// Runs a program with an argument list and waits for it; returns its exit status, -1 when it
// could not be started or did not exit normally.
int RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args);

}  // namespace corv
