#include "controller/LampTypes.h"

#include <algorithm>
#include <cctype>

#include "base/Binary.h"
#include "base/FileUtil.h"

namespace corv {

int ReadPinSet(const std::vector<std::uint8_t>& bytes, std::vector<LightTypeRecord>& list) {
    ByteReader r(bytes);
    std::uint16_t count = 0, version = 0;
    if (!r.U16(count) || !r.U16(version)) {
        return 0;
    }
    const std::size_t size = version >= 2 ? LightTypeRecord::kSize : LightTypeRecord::kOldSize;
    int added = 0;
    for (std::uint16_t i = 0; i < count && r.Has(size); ++i) {
        LightTypeRecord rec = LightTypeRecord::FromBytes(r.Take(size));
        if (rec.pinCount == 0 || rec.pinCount > LightTypeRecord::kMaxPins || rec.Name().empty()) {
            continue;
        }
        const bool duplicate = std::any_of(list.begin(), list.end(), [&](const LightTypeRecord& l) {
            return l.pinCount == rec.pinCount && l.Name() == rec.Name() && l.pins == rec.pins;
        });
        if (!duplicate) {
            list.push_back(rec);
            ++added;
        }
    }
    return added;
}

std::string CheckPinSetFile(const std::vector<std::uint8_t>& bytes) {
    ByteReader r(bytes);
    std::uint16_t count = 0, version = 0;
    if (!r.U16(count) || !r.U16(version)) {
        return "not a lamp-type file (shorter than its 4-byte header)";
    }
    const std::size_t size = version >= 2 ? LightTypeRecord::kSize : LightTypeRecord::kOldSize;
    if (r.remaining() < static_cast<std::size_t>(count) * size) {
        return "the file states " + std::to_string(count) + " lamp types but holds " +
               std::to_string(r.remaining() / size) + " whole records";
    }
    return {};
}

std::vector<LightTypeRecord> LoadLampTypes(const std::filesystem::path& pinSetFile) {
    std::vector<LightTypeRecord> list = BuiltInLightTypes();
    if (auto bytes = ReadFileBytes(pinSetFile)) {
        ReadPinSet(*bytes, list);
    }
    return list;
}

std::vector<std::uint8_t> PinSetBytes(const std::vector<LightTypeRecord>& list) {
    ByteWriter w;
    const std::size_t user = list.size() > kBuiltInLightTypes ? list.size() - kBuiltInLightTypes : 0;
    w.U16(static_cast<std::uint16_t>(std::min<std::size_t>(user, 0xFFFF)));
    w.U16(kPinSetVersion);
    for (std::size_t i = kBuiltInLightTypes; i < list.size() && i - kBuiltInLightTypes < 0xFFFF; ++i) {
        const auto b = list[i].Bytes();
        w.Bytes(b.data(), b.size());
    }
    return std::move(w.bytes());
}

Result<Done> SaveLampTypes(const std::filesystem::path& pinSetFile, const std::vector<LightTypeRecord>& list) {
    return WriteFileAtomic(pinSetFile, PinSetBytes(list));
}

std::optional<int> PinValue(const std::string& text) {
    if (text.size() < 2) {
        return std::nullopt;
    }
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    const auto component = std::string("BGR").find(letter);
    if (component == std::string::npos) {
        return std::nullopt;
    }
    long long n = 0;
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) {
            return std::nullopt;
        }
        n = std::min<long long>(n * 10 + (text[i] - '0'), 100000);
    }
    return static_cast<int>(3 * n - 3 + static_cast<long long>(component));
}

std::string ShortcutText(const LightTypeRecord& record) {
    std::string s;
    for (int i = 0; i < record.pinCount && i < static_cast<int>(LightTypeRecord::kMaxPins); ++i) {
        s += PinText(record.pins[static_cast<std::size_t>(i)]);
    }
    return s;
}

namespace {

// Parses the shortcut text: ' ' is an unconnected pin, a colour letter with one to three
// digits is a pin, a letter without digits is skipped, anything else ends the text.
std::vector<int> ParseShortcut(const std::string& text) {
    std::vector<int> pins;
    std::size_t i = 0;
    const std::size_t end = std::min<std::size_t>(text.size(), 1000);
    while (i < end && pins.size() < 255) {
        const char c = text[i];
        if (c == ' ') {
            pins.push_back(LightTypeRecord::kNotConnected);
            ++i;
            continue;
        }
        const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (letter != 'B' && letter != 'G' && letter != 'R') {
            break;
        }
        std::size_t j = i + 1;
        while (j < end && j - i <= 3 && std::isdigit(static_cast<unsigned char>(text[j]))) {
            ++j;
        }
        if (j == i + 1) {
            ++i;  // a letter without a number
            continue;
        }
        pins.push_back(*PinValue(std::string(1, letter) + text.substr(i + 1, j - i - 1)));
        i = j;
    }
    return pins;
}

}  // namespace

ChipPinResult SaveChipPins(std::vector<LightTypeRecord>& list, const std::string& name, int pinCount,
                           const std::vector<std::string>& selectors, const std::string& shortcut,
                           const UiStrings& strings) {
    ChipPinResult result;
    if (pinCount < 1 || pinCount > static_cast<int>(LightTypeRecord::kMaxPins)) {
        return result;
    }
    LightTypeRecord rec;
    rec.pinCount = static_cast<std::uint8_t>(pinCount);
    rec.pins.fill(LightTypeRecord::kNotConnected);
    std::vector<int> values;
    if (pinCount <= 64) {
        for (int n = 0; n < pinCount; ++n) {
            const std::string text = n < static_cast<int>(selectors.size()) ? selectors[static_cast<std::size_t>(n)] : "";
            if (text.size() < 2) {
                values.push_back(LightTypeRecord::kNotConnected);
                continue;
            }
            auto v = PinValue(text);
            if (!v || *v < 0 || *v >= 255) {
                result.kind = ChipPinResult::PinError;
                result.message = Format(strings.pinError.c_str(), n + 1);
                return result;
            }
            values.push_back(*v);
        }
    } else {
        values = ParseShortcut(shortcut);
        for (std::size_t n = 0; n < values.size(); ++n) {
            if (values[n] != LightTypeRecord::kNotConnected && (values[n] < 0 || values[n] >= 255)) {
                result.kind = ChipPinResult::PinError;
                result.message = Format(strings.pinError.c_str(), static_cast<int>(n + 1));
                return result;
            }
        }
    }
    for (std::size_t n = 0; n < values.size() && n < static_cast<std::size_t>(pinCount); ++n) {
        rec.pins[n] = static_cast<std::uint8_t>(values[n]);
    }
    auto same = std::find_if(list.begin(), list.end(), [&](const LightTypeRecord& l) { return l.Name() == name; });
    if (same != list.end()) {
        if (same - list.begin() < static_cast<std::ptrdiff_t>(kBuiltInLightTypes)) {
            result.kind = ChipPinResult::BuiltInUnchanged;
            return result;
        }
        same->pinCount = rec.pinCount;
        same->pins = rec.pins;
        result.kind = ChipPinResult::Replaced;
    } else {
        rec.SetName(name.substr(0, 48));
        list.push_back(rec);
        result.kind = ChipPinResult::Added;
    }
    result.message = strings.saveOk;
    return result;
}

std::string DeleteLampType(std::vector<LightTypeRecord>& list, std::size_t index, LineSetting& setting,
                           const UiStrings& strings) {
    if (index < kBuiltInLightTypes || index >= list.size()) {
        return {};
    }
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
    for (auto& t : setting.lightType) {
        if (t >= list.size()) {
            t = 0;
        }
    }
    return strings.deleteOk;
}

}  // namespace corv
