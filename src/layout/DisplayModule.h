#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "base/Prompt.h"
#include "base/Result.h"
#include "lang/UiStrings.h"

namespace corv {

// A reusable wiring pattern: points in wiring order, as (dy << 16) | dx offsets.
struct DisplayModule {
    static constexpr std::size_t kNameSize = 16;  // stored name field; 15 characters at most
    static constexpr std::size_t kHeaderSize = 22;

    std::string name;
    std::uint16_t width = 1;
    std::uint16_t height = 1;
    std::vector<std::uint32_t> offsets;

    // Same shape: width, height and offsets (names aside).
    bool SameShape(const DisplayModule& o) const {
        return width == o.width && height == o.height && offsets == o.offsets;
    }
};

inline constexpr const char* kModuleFileName = "DisplayModule.mde";

// Reads module records to the end of the data; a record that is not complete ends the list.
std::vector<DisplayModule> ReadModuleRecords(std::span<const std::uint8_t> records);
// Why bytes are not a module file (empty when they are one): the leading 0 byte, then whole
// records to the last byte (none is fine), each with a size of at least 1 x 1 and its points
// inside it. The
// list of the program reads leniently; files brought in from outside are checked so.
std::string CheckModuleFile(std::span<const std::uint8_t> bytes);
// The module file: a 0 byte, then the records.
std::vector<std::uint8_t> ModuleFileBytes(std::span<const DisplayModule> modules);

// The module list of the line panel: entry 0 is the built-in "Single pixel".
class ModuleList {
public:
    enum class AddResult { Added, Replaced, Renamed, Unchanged, Refused };

    ModuleList();

    const std::vector<DisplayModule>& modules() const { return modules_; }
    std::size_t size() const { return modules_.size(); }
    int current() const { return current_; }
    void Select(int index);
    // Name shown for entry i ("Single pixel", or its Chinese name, for entry 0).
    std::string DisplayName(std::size_t i, std::uint8_t language) const;
    // Index of the first module shown under `name`, -1 when none.
    int Find(const std::string& name, std::uint8_t language) const;

    // Loads the module file (a missing or short file leaves only "Single pixel").
    void Load(const std::filesystem::path& file);
    // Writes the module file; the failure names it and the reason.
    Result<Done> Rewrite(const std::filesystem::path& file) const;

    // "Save as module": adds a pattern, asking through `prompt` when its name or its shape is
    // already there, and rewrites the module file.
    AddResult Add(DisplayModule module, const std::filesystem::path& file, Prompt& prompt,
                  const UiStrings& strings, std::uint8_t language);
    // Deletes entry `index` (never entry 0) and rewrites the module file.
    bool Delete(int index, const std::filesystem::path& file);
    // Appends the records of another module file that differ in shape from every module
    // there before; returns how many were added. The module file is not rewritten.
    int Import(const std::filesystem::path& from);
    // Writes the user modules to `to` in the module file form (replacing it): the same bytes
    // as the module file, which is rewritten after every change. The failure as Rewrite's.
    Result<Done> Export(const std::filesystem::path& to) const;

private:
    std::vector<DisplayModule> modules_;
    int current_ = 0;
};

}  // namespace corv
