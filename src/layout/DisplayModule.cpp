#include "layout/DisplayModule.h"

#include <algorithm>

#include "base/Binary.h"
#include "base/FileUtil.h"
#include "lang/Render.h"
#include "lang/messages/EngineMessages.h"

namespace corv {

std::vector<DisplayModule> ReadModuleRecords(std::span<const std::uint8_t> records) {
    std::vector<DisplayModule> out;
    ByteReader r(records);
    while (!r.atEnd()) {
        DisplayModule m;
        std::uint16_t count = 0;
        if (!r.FixedString(DisplayModule::kNameSize, m.name) || !r.U16(m.width) || !r.U16(m.height) ||
            !r.U16(count) || !r.Has(static_cast<std::size_t>(count) * 4)) {
            break;  // a record that is not complete is dropped and ends the list
        }
        if (m.name.size() > DisplayModule::kNameSize - 1) {
            m.name.resize(DisplayModule::kNameSize - 1);
        }
        m.offsets.resize(count);
        for (auto& o : m.offsets) {
            r.U32(o);
        }
        out.push_back(std::move(m));
    }
    return out;
}

std::string CheckModuleFile(std::span<const std::uint8_t> bytes) {
    if (bytes.empty() || bytes[0] != 0) {
        return "not a module file (it does not start with a 0 byte)";
    }
    ByteReader r(bytes.subspan(1));
    int index = 0;
    while (!r.atEnd()) {
        ++index;
        std::string name;
        std::uint16_t width = 0, height = 0, count = 0;
        if (!r.FixedString(DisplayModule::kNameSize, name) || !r.U16(width) || !r.U16(height) || !r.U16(count)) {
            return "module record " + std::to_string(index) + " is cut short";
        }
        if (!r.Has(static_cast<std::size_t>(count) * 4)) {
            return "module record " + std::to_string(index) + " claims " + std::to_string(count) +
                   " points but the file ends before them";
        }
        if (width == 0 || height == 0 || count == 0) {
            return "module record " + std::to_string(index) + " has no size or no point";
        }
        for (std::uint16_t i = 0; i < count; ++i) {
            std::uint32_t o = 0;
            r.U32(o);
            if ((o & 0xFFFF) >= width || (o >> 16) >= height) {
                return "module record " + std::to_string(index) + " has a point outside its " + std::to_string(width) +
                       " x " + std::to_string(height) + " cells";
            }
        }
    }
    return {};  // a file of no module (an export with no user module) is a whole file too
}

std::vector<std::uint8_t> ModuleFileBytes(std::span<const DisplayModule> modules) {
    ByteWriter w;
    w.U8(0);
    for (const auto& m : modules) {
        w.FixedString(m.name, DisplayModule::kNameSize);
        w.U16(m.width);
        w.U16(m.height);
        const std::size_t n = std::min<std::size_t>(m.offsets.size(), 0xFFFF);
        w.U16(static_cast<std::uint16_t>(n));
        for (std::size_t i = 0; i < n; ++i) {
            w.U32(m.offsets[i]);
        }
    }
    return std::move(w.bytes());
}

ModuleList::ModuleList() {
    DisplayModule single;
    single.offsets = {0};
    modules_.push_back(single);
}

void ModuleList::Select(int index) {
    if (index >= 0 && index < static_cast<int>(modules_.size())) {
        current_ = index;
    }
}

std::string ModuleList::DisplayName(std::size_t i, std::uint8_t language) const {
    if (i == 0) {
        return Render(msg::engine::kSinglePixelModule, language);
    }
    return i < modules_.size() ? modules_[i].name : std::string();
}

int ModuleList::Find(const std::string& name, std::uint8_t language) const {
    for (std::size_t i = 0; i < modules_.size(); ++i) {
        if (DisplayName(i, language) == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void ModuleList::Load(const std::filesystem::path& file) {
    modules_.resize(1);
    current_ = 0;
    auto bytes = ReadFileBytes(file);
    if (!bytes || bytes->empty()) {
        return;
    }
    for (auto& m : ReadModuleRecords(std::span<const std::uint8_t>(*bytes).subspan(1))) {
        modules_.push_back(std::move(m));
    }
}

Result<Done> ModuleList::Rewrite(const std::filesystem::path& file) const {
    const auto bytes = ModuleFileBytes(std::span<const DisplayModule>(modules_).subspan(1));
    return WriteFileAtomic(file, bytes);
}

ModuleList::AddResult ModuleList::Add(DisplayModule module, const std::filesystem::path& file, Prompt& prompt,
                                      const UiStrings& strings, std::uint8_t language) {
    if (module.name.size() > DisplayModule::kNameSize - 1) {
        module.name.resize(DisplayModule::kNameSize - 1);
    }
    AddResult result = AddResult::Added;
    auto sameName = std::find_if(modules_.begin() + 1, modules_.end(),
                                 [&](const DisplayModule& m) { return m.name == module.name; });
    if (sameName != modules_.end()) {
        const std::string question = Render(msg::engine::kModuleNameExists, language);
        if (prompt.AskYesNo(question) != Answer::Yes) {
            return AddResult::Refused;
        }
        sameName->width = module.width;
        sameName->height = module.height;
        sameName->offsets = std::move(module.offsets);
        current_ = static_cast<int>(sameName - modules_.begin());
        result = AddResult::Replaced;
    } else {
        auto sameShape = std::find_if(modules_.begin() + 1, modules_.end(),
                                      [&](const DisplayModule& m) { return m.SameShape(module); });
        if (sameShape != modules_.end()) {
            if (prompt.AskYesNo(Format(strings.askModuleRename.c_str(), sameShape->name.c_str())) != Answer::Yes) {
                return AddResult::Unchanged;
            }
            sameShape->name = module.name;
            current_ = static_cast<int>(sameShape - modules_.begin());
            result = AddResult::Renamed;
        } else {
            modules_.push_back(std::move(module));
            current_ = static_cast<int>(modules_.size()) - 1;
        }
    }
    Rewrite(file);
    return result;
}

bool ModuleList::Delete(int index, const std::filesystem::path& file) {
    if (index <= 0 || index >= static_cast<int>(modules_.size())) {
        return false;
    }
    modules_.erase(modules_.begin() + index);
    current_ = 0;
    Rewrite(file);
    return true;
}

int ModuleList::Import(const std::filesystem::path& from) {
    auto bytes = ReadFileBytes(from);
    if (!bytes || bytes->empty()) {
        return 0;
    }
    const std::size_t before = modules_.size();
    int added = 0;
    for (auto& m : ReadModuleRecords(std::span<const std::uint8_t>(*bytes).subspan(1))) {
        const bool known = std::any_of(modules_.begin(), modules_.begin() + static_cast<std::ptrdiff_t>(before),
                                       [&](const DisplayModule& old) { return old.SameShape(m); });
        if (!known) {
            modules_.push_back(std::move(m));
            ++added;
        }
    }
    return added;
}

Result<Done> ModuleList::Export(const std::filesystem::path& to) const { return Rewrite(to); }

}  // namespace corv
