#include "controller/Card.h"

#include <blkid/blkid.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "base/FileUtil.h"

namespace corv {

namespace fs = std::filesystem;

namespace {

// Mount-table fields escape blanks and the like as \ooo.
std::string Unescape(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() && std::isdigit(static_cast<unsigned char>(s[i + 1]))) {
            out += static_cast<char>(std::stoi(s.substr(i + 1, 3), nullptr, 8));
            i += 3;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::string ReadFirstLine(const fs::path& p) {
    std::ifstream in(p);
    std::string line;
    std::getline(in, line);
    return line;
}

std::string DeviceName(const fs::path& sysDev) {
    std::ifstream in(sysDev / "uevent");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("DEVNAME=", 0) == 0) {
            return line.substr(8);
        }
    }
    std::error_code ec;
    const fs::path target = fs::read_symlink(sysDev, ec);
    return ec ? std::string() : target.filename().string();
}

bool Removable(const fs::path& sysDev, const std::string& name) {
    if (name.rfind("mmcblk", 0) == 0) {
        return true;  // SD and MMC cards
    }
    for (const fs::path& p : {sysDev / "removable", sysDev / ".." / "removable"}) {
        std::error_code ec;
        if (fs::exists(p, ec)) {
            return ReadFirstLine(p) == "1";
        }
    }
    return false;
}

std::string FatVersion(const std::string& source, std::string& type) {
    blkid_probe pr = blkid_new_probe_from_filename(source.c_str());
    if (!pr) {
        return {};
    }
    blkid_probe_enable_superblocks(pr, 1);
    blkid_probe_set_superblocks_flags(pr, BLKID_SUBLKS_TYPE | BLKID_SUBLKS_VERSION);
    std::string version;
    if (blkid_do_safeprobe(pr) == 0) {
        const char* value = nullptr;
        if (blkid_probe_lookup_value(pr, "TYPE", &value, nullptr) == 0 && value) {
            type = value;
        }
        if (blkid_probe_lookup_value(pr, "VERSION", &value, nullptr) == 0 && value) {
            version = value;
        }
    }
    blkid_free_probe(pr);
    return version;
}

}  // namespace

std::vector<MountedDevice> ProbeMounts(const CardProbe& probe) {
    std::vector<MountedDevice> out;
    std::ifstream in(probe.root / "proc" / "self" / "mountinfo");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string id, parent, majmin, root, mountPoint, options, field;
        if (!(fields >> id >> parent >> majmin >> root >> mountPoint >> options)) {
            continue;
        }
        while (fields >> field && field != "-") {
        }
        MountedDevice d;
        if (!(fields >> d.fsType >> d.source)) {
            continue;
        }
        d.source = Unescape(d.source);
        d.mountPoint = Unescape(mountPoint);
        if (std::sscanf(majmin.c_str(), "%u:%u", &d.major, &d.minor) != 2 || d.major == 0) {
            continue;  // not a block device (proc, tmpfs, overlay and the like)
        }
        const fs::path sysDev = probe.root / "sys" / "dev" / "block" / (std::to_string(d.major) + ":" + std::to_string(d.minor));
        d.deviceName = DeviceName(sysDev);
        std::string type;
        if (d.deviceName.rfind("fd", 0) == 0 || d.major == 2) {
            d.reason = "floppy drive";
        } else if (d.deviceName.rfind("sr", 0) == 0 || d.major == 11) {
            d.reason = "optical drive";
        } else if (!Removable(sysDev, d.deviceName)) {
            d.reason = "not removable";
        } else {
            d.fatVersion = FatVersion(d.source, type);
            if (type != "vfat") {
                d.reason = "not a FAT file system (" + (type.empty() ? d.fsType : type) + ")";
            } else if (d.fatVersion != "FAT12" && d.fatVersion != "FAT16") {
                d.reason = d.fatVersion.empty() ? "FAT version unknown" : d.fatVersion + " is not FAT or FAT16";
            } else {
                d.suitable = true;
            }
        }
        out.push_back(std::move(d));
    }
    return out;
}

std::optional<MountedDevice> FindOutputCard(const CardProbe& probe) {
    for (auto& d : ProbeMounts(probe)) {
        if (d.suitable) {
            return d;
        }
    }
    return std::nullopt;
}

CardCopyResult CopyToCard(const fs::path& file, const CardProbe& probe, const UiStrings&, Prompt* prompt) {
    CardCopyResult r;
    auto card = FindOutputCard(probe);
    if (!card) {
        r.reason = "no suitable card";
        return r;
    }
    r.cardFound = true;
    struct stat st {};
    if (file.empty() || ::stat(file.c_str(), &st) != 0) {
        r.reason = "no file";
        return r;
    }
    if (major(st.st_dev) == card->major && minor(st.st_dev) == card->minor) {
        r.reason = "the file already lies on the card";
        return r;
    }
    r.destination = card->mountPoint / file.filename();
    std::error_code ec;
    if (fs::exists(r.destination, ec)) {
        const std::string question = "A file named " + file.filename().string() +
                                     " is already on the card. Replace it?";
        if (!prompt || prompt->AskYesNo(question) != Answer::Yes) {
            r.reason = "a file of the same name is on the card";
            return r;
        }
    }
    auto bytes = ReadFileBytes(file);
    if (!bytes || !WriteFileAtomic(r.destination, *bytes)) {
        r.reason = "the copy failed";
        return r;
    }
    r.copied = true;
    return r;
}

}  // namespace corv
