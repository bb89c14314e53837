#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Result.h"

namespace corv {

// One section of an INI-style profile file, read and written the way the configuration file
// has always been handled: section and key names compare case-insensitively, values are
// trimmed, integers are decimal, strings are read through a 500-byte buffer, and every write
// goes straight to the file (other sections, keys and comments are kept).
//
// Lookups answer from an index of the whole file, built at the first lookup and built again
// when the file is seen to have changed (another writer, a write through any ProfileFile of
// this process), so a lookup costs the same in a file of 20,000 keys as in one of ten.
class ProfileFile {
public:
    static constexpr std::size_t kStringBuffer = 500;

    ProfileFile(std::filesystem::path file, std::string section);

    const std::filesystem::path& file() const { return file_; }
    const std::string& section() const { return section_; }
    // The same file seen in another section, sharing the index already read of it.
    ProfileFile InSection(std::string section) const;

    int GetInt(std::string_view key, int defaultValue) const;
    std::string GetString(std::string_view key, std::string_view defaultValue = {}) const;
    // A failed write names the file and the system's reason ("PATH: reason"); a read-only file
    // is refused without one.
    Result<Done> WriteInt(std::string_view key, int value);
    Result<Done> WriteString(std::string_view key, std::string_view text);

    bool HasKey(std::string_view key) const;
    // Key names of this section in file order.
    std::vector<std::string> Keys() const;
    // Every key of this section (names in lower case, first occurrence wins) with its value
    // as GetString reads it: one pass over the file for readers of many keys.
    std::map<std::string, std::string> Values() const;
    // Section names of the whole file in file order.
    std::vector<std::string> Sections() const;

    // The number of sections when `bytes` read as a profile file, nullopt when they do not: text
    // (no NUL or other control bytes but tabs, line and page breaks) whose first line that is
    // neither blank nor a comment is a section header "[name]", every such line after it a
    // header or a "key=value" line with a key. Text of blanks and comments only has 0 sections.
    static std::optional<std::size_t> ProfileSections(std::string_view bytes);

    // Parses a value the way profile integers are read: optional sign, decimal digits up to
    // the first other character; no digits gives 0.
    static int ParseInt(std::string_view value);

private:
    struct Index;
    struct Cache;
    // The index of the file as it is now (read again when it changed).
    std::shared_ptr<const Index> Current() const;

    std::filesystem::path file_;
    std::string section_;
    std::shared_ptr<Cache> cache_;
};

}  // namespace corv
