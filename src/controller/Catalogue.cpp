#include "controller/Catalogue.h"

#include <algorithm>

#include "base/ProfileFile.h"
#include "lang/Language.h"
#include "lang/Localize.h"

namespace corv {

ChipCatalogue ChipCatalogue::Load(const std::filesystem::path& file) {
    ChipCatalogue c;
    const auto values = ProfileFile(file, "main").Values();
    auto get = [&](const std::string& key) -> std::string {
        auto it = values.find(key);
        return it == values.end() ? std::string() : it->second;
    };
    for (int n = 0; n < kMaxEntries; ++n) {
        ChipEntry e;
        e.chinese = get("ch" + std::to_string(n));
        e.english = get("en" + std::to_string(n));
        if (e.chinese.empty() && e.english.empty()) {
            break;
        }
        e.tips = get("tips" + std::to_string(n));
        e.chineseTips = get("chtips" + std::to_string(n));
        const std::string num = get("num" + std::to_string(n));
        e.code = num.empty() ? 0 : ProfileFile::ParseInt(num);
        if (e.code >= 0 && e.code < static_cast<int>(c.positionOfCode_.size())) {
            c.positionOfCode_[static_cast<std::size_t>(e.code)] = n;
        }
        const std::string delay = get("delay" + std::to_string(e.code));
        c.delays_[e.code] = delay.empty() ? 0 : ProfileFile::ParseInt(delay);
        const std::string gray = get("gray" + std::to_string(e.code));
        if (!gray.empty()) c.grayLevels_[e.code] = ProfileFile::ParseInt(gray);
        const std::string reset = get("reset" + std::to_string(e.code));
        if (!reset.empty()) c.resets_[e.code] = std::max(ProfileFile::ParseInt(reset), 0);
        c.entries_.push_back(std::move(e));
    }
    return c;
}

std::string ChipCatalogue::Name(std::size_t position, std::uint8_t language) const {
    if (position >= entries_.size()) {
        return {};
    }
    const ChipEntry& e = entries_[position];
    if (UsesChinese(language) && !e.chinese.empty()) {
        return LocalizeText(e.chinese, language);
    }
    return e.english.empty() ? e.chinese : e.english;
}

std::string ChipCatalogue::Tips(std::size_t position) const { return Tips(position, kLanguageEnglish); }

std::string ChipCatalogue::Tips(std::size_t position, std::uint8_t language) const {
    if (position >= entries_.size()) {
        return {};
    }
    const ChipEntry& e = entries_[position];
    std::string t = UsesChinese(language) && !e.chineseTips.empty() ? LocalizeText(e.chineseTips, language) : e.tips;
    for (auto& ch : t) {
        if (ch == '\\') ch = '\n';
    }
    return t;
}

int ChipCatalogue::CodeAt(std::size_t position) const {
    return position < entries_.size() ? entries_[position].code : 0;
}

int ChipCatalogue::PositionOf(int code) const {
    if (code < 0 || code >= static_cast<int>(positionOfCode_.size())) {
        return 0;
    }
    return positionOfCode_[static_cast<std::size_t>(code)];
}

bool ChipCatalogue::HasCode(int code) const {
    return std::any_of(entries_.begin(), entries_.end(), [code](const ChipEntry& e) { return e.code == code; });
}

int ChipCatalogue::Delay(int code) const {
    auto it = delays_.find(code);
    return it == delays_.end() ? 0 : it->second;
}

int ChipCatalogue::GrayLevels(int code) const {
    auto it = grayLevels_.find(code);
    return it == grayLevels_.end() ? 0 : it->second;
}

int ChipCatalogue::ResetMicros(int code) const {
    auto it = resets_.find(code);
    return it == resets_.end() ? DefaultChipResetMicros(code) : it->second;
}

int DefaultChipResetMicros(int code) { return code == 19 ? 96 : 0; }

}  // namespace corv
