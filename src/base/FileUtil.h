#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/Result.h"

namespace corv {

// A failed file operation: its reason is "PATH: reason", with the path as the caller named it
// and the system's text for the error number ("No such file or directory"), or the reason given.
Failure FileFailure(const std::filesystem::path& path, int error);
Failure FileFailure(const std::filesystem::path& path, const std::string& reason);

// Reads a whole file; the failure (as FileFailure) when it cannot be opened or read.
Result<std::vector<std::uint8_t>> ReadFileBytes(const std::filesystem::path& path);

// Where a write to `path` really goes: symbolic links are followed to the file they point to
// (a dangling link names the file to create). A failure when the target exists and is not a
// regular file (a device, a folder, a pipe) or a link cannot be read.
Result<std::filesystem::path> ResolveWriteTarget(const std::filesystem::path& path);

// Writes a whole file through a temporary file in the target folder that is renamed over the
// target, so a failure leaves the previous file intact; links are followed and other targets
// than regular files refused (as ResolveWriteTarget). The failure names `path` and the reason.
Result<Done> WriteFileAtomic(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);
Result<Done> WriteFileAtomic(const std::filesystem::path& path, const std::string& text);

// True when both paths name one existing file: the same device and inode, so links, "./x",
// "../dir/x" and hard links are seen through.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b);
// The first of `inputs` that a write to `output` would replace (SameFile), when any: a command
// refuses such an output before it writes anything.
std::optional<std::filesystem::path> OutputAmongInputs(const std::filesystem::path& output,
                                                       const std::vector<std::filesystem::path>& inputs);

// Creates an empty temporary file beside `target` and returns its path (the failure names
// `target`).
Result<std::filesystem::path> MakeSiblingTemp(const std::filesystem::path& target);

// Renames a finished temporary file over `target`, giving it the target's permissions (or
// the default ones for a new file). False when the rename fails.
bool ReplaceWithTemp(const std::filesystem::path& temp, const std::filesystem::path& target);

// Folder of the running executable (no trailing separator).
std::filesystem::path ProgramDir();

}  // namespace corv
