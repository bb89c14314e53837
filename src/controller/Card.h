#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/Prompt.h"
#include "lang/UiStrings.h"

namespace corv {

// Where the card search looks: "<root>/proc/self/mountinfo" and "<root>/sys/dev/block".
// The default root is the running system's; tests give a folder of their own.
struct CardProbe {
    std::filesystem::path root = "/";
};

// One mounted file system as the card search saw it.
struct MountedDevice {
    unsigned major = 0, minor = 0;
    std::string source;      // the device (or image) that is mounted
    std::filesystem::path mountPoint;
    std::string fsType;      // from the mount table
    std::string deviceName;  // kernel name, like sdb1 or mmcblk0p1
    std::string fatVersion;  // FAT12, FAT16, FAT32 (from the file system itself)
    bool suitable = false;
    std::string reason;      // why it was passed over
};

// Every mounted block device in mount order, each with its verdict. A card is suitable when
// it is removable (or an SD/MMC device), not a floppy or optical drive, and formatted FAT12
// or FAT16.
std::vector<MountedDevice> ProbeMounts(const CardProbe& probe);
// The first suitable card, if any.
std::optional<MountedDevice> FindOutputCard(const CardProbe& probe);

struct CardCopyResult {
    bool cardFound = false;  // a suitable card was there
    bool copied = false;
    std::filesystem::path destination;
    std::string reason;  // why nothing was copied (never shown to the user)
};

// Copies a finished controller data file to the root of the first suitable card. Nothing is
// copied when there is no card or the file already lies on it; a file of the same name on the
// card is replaced only when `prompt` answers Yes (no prompt: it is kept).
CardCopyResult CopyToCard(const std::filesystem::path& file, const CardProbe& probe, const UiStrings& strings,
                          Prompt* prompt);

}  // namespace corv
