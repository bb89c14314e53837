#include "net/NetworkFile.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <map>
#include <optional>
#include <string_view>
#include <utility>

#include "base/FileUtil.h"
#include "base/ProfileFile.h"
#include "lang/Render.h"
#include "lang/messages/NetMessages.h"
#include "layout/Layout.h"

namespace corv::net {

namespace {

// The keys of a controller in the order the writer writes them.
constexpr std::array<const char*, 11> kKeys = {"Protocol", "Address",  "Port",     "Multicast",
                                               "Lines",    "Universe", "ChannelsPerUniverse",
                                               "LineStartsUniverse",   "Priority", "SourceName", "Sync"};
constexpr std::size_t kMaxSourceName = 63;
constexpr const char* kSectionPrefix = "Controller";

std::string Lower(std::string_view s) {
    std::string out(s);
    for (auto& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return out;
}

std::string Trimmed(std::string_view s) {
    const char* ws = " \t";
    const auto b = s.find_first_not_of(ws);
    if (b == std::string_view::npos) return {};
    return std::string(s.substr(b, s.find_last_not_of(ws) - b + 1));
}

std::string AllowedKeys() {
    std::string out;
    for (const char* key : kKeys) {
        out += out.empty() ? "" : ", ";
        out += key;
    }
    return out;
}

// A decimal integer and nothing else (an optional minus, at most 9 digits).
std::optional<int> StrictInt(std::string_view v) {
    std::size_t i = v.size() > 0 && v[0] == '-' ? 1 : 0;
    if (i == v.size() || v.size() - i > 9) return std::nullopt;
    int n = 0;
    for (std::size_t k = i; k < v.size(); ++k) {
        if (v[k] < '0' || v[k] > '9') return std::nullopt;
        n = n * 10 + (v[k] - '0');
    }
    return i == 1 ? -n : n;
}

// Dotted decimal, four numbers 0..255 without leading zeros, the first 1..223 (not 0.x.x.x, not
// multicast, reserved or broadcast).
bool UnicastIpv4(std::string_view s) {
    int parts = 0;
    int first = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t dot = s.find('.', start);
        const std::string_view part = s.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
        if (part.empty() || part.size() > 3 || (part.size() > 1 && part[0] == '0')) return false;
        const auto v = StrictInt(part);
        if (!v || *v < 0 || *v > 255) return false;
        if (parts == 0) first = *v;
        ++parts;
        if (dot == std::string_view::npos) break;
        start = dot + 1;
    }
    return parts == 4 && first >= 1 && first <= 223;
}

std::optional<Protocol> ProtocolFromName(std::string_view name) {
    const std::string n = Lower(name);
    if (n == "e131") return Protocol::E131;
    if (n == "artnet") return Protocol::ArtNet;
    if (n == "ddp") return Protocol::Ddp;
    return std::nullopt;
}

bool ControlCharacters(std::string_view s) {
    return std::any_of(s.begin(), s.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b < 0x20 || b == 0x7F;
    });
}

// The values of one section and the refusals made of them.
class SectionValues {
public:
    SectionValues(std::string file, std::string section, std::map<std::string, std::string> values,
                  std::uint8_t language)
        : file_(std::move(file)), section_(std::move(section)), values_(std::move(values)), language_(language) {}

    const std::string& section() const { return section_; }
    // The value of `key`, nullptr when it is missing or empty.
    const std::string* Find(const char* key) const {
        const auto it = values_.find(Lower(key));
        return it == values_.end() || it->second.empty() ? nullptr : &it->second;
    }
    std::string Allowed(const Text& text, std::vector<std::string> args = {}) const {
        return Render(text, language_, args);
    }
    Failure Missing(const char* key, const std::string& allowed) const {
        return Refuse(kNetMissingKey, msg::net::kMissingKey, {file_, section_, key, allowed});
    }
    Failure Bad(const char* key, const std::string& allowed) const {
        const std::string* v = Find(key);
        return Refuse(kNetBadValue, msg::net::kBadValue, {file_, section_, key, v ? *v : std::string(), allowed});
    }
    // An integer key from lo to hi, `fallback` when it is missing.
    std::optional<Failure> Int(const char* key, int lo, int hi, int fallback, int& out) const {
        const std::string* v = Find(key);
        if (!v) {
            out = fallback;
            return std::nullopt;
        }
        const auto n = StrictInt(*v);
        if (!n || *n < lo || *n > hi) {
            return Bad(key, Allowed(msg::net::kAllowedRange, {std::to_string(lo), std::to_string(hi)}));
        }
        out = *n;
        return std::nullopt;
    }
    std::optional<Failure> Flag(const char* key, bool& out) const {
        int n = 0;
        if (const std::string* v = Find(key); v && *v != "0" && *v != "1") {
            return Bad(key, Allowed(msg::net::kAllowedFlag));
        }
        Int(key, 0, 1, out ? 1 : 0, n);
        out = n == 1;
        return std::nullopt;
    }

private:
    Failure Refuse(int code, const Text& text, std::vector<std::string> args) const {
        Failure f{code, {}, {}, std::move(args), &text};
        f.message = Render(f, language_);
        return f;
    }

    std::string file_;
    std::string section_;
    std::map<std::string, std::string> values_;
    std::uint8_t language_;
};

// Protocol, Multicast, Address and Port.
std::optional<Failure> ReadDestination(const SectionValues& s, NetController& c) {
    const std::string* protocol = s.Find("Protocol");
    if (!protocol) return s.Missing("Protocol", s.Allowed(msg::net::kAllowedProtocols));
    const auto p = ProtocolFromName(*protocol);
    if (!p) return s.Bad("Protocol", s.Allowed(msg::net::kAllowedProtocols));
    c.protocol = *p;
    if (auto f = s.Flag("Multicast", c.multicast)) return f;
    if (c.multicast && c.protocol != Protocol::E131) return s.Bad("Multicast", s.Allowed(msg::net::kAllowedMulticastOff));
    const bool mayMulticast = c.protocol == Protocol::E131;
    const std::string& allowedAddress =
        s.Allowed(mayMulticast ? msg::net::kAllowedAddressOrMulticast : msg::net::kAllowedAddress);
    if (const std::string* address = s.Find("Address")) {
        if (!UnicastIpv4(*address)) return s.Bad("Address", allowedAddress);
        c.address = *address;
    } else if (!c.multicast) {
        return s.Missing("Address", allowedAddress);
    }
    int port = 0;
    if (auto f = s.Int("Port", 1, 65535, DefaultPort(c.protocol), port)) return f;
    c.port = static_cast<std::uint16_t>(port);
    return std::nullopt;
}

// Every key of a section, checked; the controller or the first refusal.
Result<NetController> ReadController(const SectionValues& s) {
    NetController c;
    c.section = s.section();
    if (auto f = ReadDestination(s, c)) return *f;
    const std::string* lines = s.Find("Lines");
    if (!lines) return s.Missing("Lines", s.Allowed(msg::net::kAllowedLines));
    auto parsed = ParseLines(*lines);
    if (!parsed) return s.Bad("Lines", s.Allowed(msg::net::kAllowedLines));
    c.lines = std::move(*parsed);
    // DDP numbers no universes: any a universe protocol takes is let through.
    const int lo = c.protocol == Protocol::Ddp ? 0 : FirstUniverse(c.protocol);
    const int hi = c.protocol == Protocol::Ddp ? LastUniverse(Protocol::E131) : LastUniverse(c.protocol);
    if (auto f = s.Int("Universe", lo, hi, std::max(1, lo), c.universe)) return *f;
    if (auto f = s.Int("ChannelsPerUniverse", 1, 512, 510, c.channelsPerUniverse)) return *f;
    if (auto f = s.Flag("LineStartsUniverse", c.lineStartsUniverse)) return *f;
    if (auto f = s.Int("Priority", 0, 200, 100, c.priority)) return *f;
    if (const std::string* name = s.Find("SourceName")) {
        if (name->size() > kMaxSourceName || ControlCharacters(*name)) {
            return s.Bad("SourceName", s.Allowed(msg::net::kAllowedSourceName));
        }
        c.sourceName = *name;
    }
    if (auto f = s.Flag("Sync", c.sync)) return *f;
    return c;
}

Failure FileRefusal(int code, const Text& text, std::vector<std::string> args, std::uint8_t language,
                    std::string reason = {}) {
    Failure f{code, {}, std::move(reason), std::move(args), &text};
    f.message = Render(f, language);
    return f;
}

// N of a section named ControllerN (N from 1, no leading zeros), nullopt for any other name.
std::optional<int> SectionNumber(const std::string& name) {
    const std::string prefix = Lower(kSectionPrefix);
    if (name.size() <= prefix.size() || Lower(name.substr(0, prefix.size())) != prefix) return std::nullopt;
    const std::string digits = name.substr(prefix.size());
    if (digits[0] == '0' || digits.size() > 6) return std::nullopt;
    const auto n = StrictInt(digits);
    return n && *n >= 1 ? n : std::nullopt;
}

// The value the writer writes for a source name: quoted when the reader would otherwise take
// blanks or quotes off it.
std::string SourceNameValue(const std::string& name) {
    const bool blanks = !name.empty() && (name.front() == ' ' || name.front() == '\t' || name.back() == ' ' ||
                                          name.back() == '\t');
    const bool quoted = name.size() >= 2 && (name.front() == '"' || name.front() == '\'') && name.back() == name.front();
    return blanks || quoted ? "\"" + name + "\"" : name;
}

// The keys the writer writes for a controller (in kKeys order) and the values the reader
// reads of them.
std::vector<std::pair<std::string, std::string>> WrittenKeys(const NetController& c) {
    return {{"Protocol", ProtocolName(c.protocol)},
            {"Address", c.address},
            {"Port", std::to_string(c.port)},
            {"Multicast", c.multicast ? "1" : "0"},
            {"Lines", FormatLines(c.lines)},
            {"Universe", std::to_string(c.universe)},
            {"ChannelsPerUniverse", std::to_string(c.channelsPerUniverse)},
            {"LineStartsUniverse", c.lineStartsUniverse ? "1" : "0"},
            {"Priority", std::to_string(c.priority)},
            {"SourceName", c.sourceName},
            {"Sync", c.sync ? "1" : "0"}};
}

}  // namespace

const char* ProtocolName(Protocol protocol) {
    switch (protocol) {
        case Protocol::E131: return "e131";
        case Protocol::ArtNet: return "artnet";
        case Protocol::Ddp: return "ddp";
    }
    return "e131";
}

std::uint16_t DefaultPort(Protocol protocol) {
    switch (protocol) {
        case Protocol::E131: return 5568;
        case Protocol::ArtNet: return 6454;
        case Protocol::Ddp: return 4048;
    }
    return 5568;
}

int FirstUniverse(Protocol protocol) { return protocol == Protocol::E131 ? 1 : 0; }

int LastUniverse(Protocol protocol) {
    switch (protocol) {
        case Protocol::E131: return 63999;
        case Protocol::ArtNet: return 32767;
        case Protocol::Ddp: return 0;
    }
    return 0;
}

Result<NetworkDescription> ReadNetworkFile(const std::filesystem::path& path, std::uint8_t language) {
    const std::string file = path.string();
    auto bytes = ReadFileBytes(path);
    if (!bytes) {
        return FileRefusal(kNetCannotRead, msg::net::kCannotRead, {bytes.failure().reason}, language,
                           bytes.failure().reason);
    }
    const auto sections = ProfileFile::ProfileSections(
        std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    if (!sections) return FileRefusal(kNetNotProfile, msg::net::kNotNetworkFile, {file}, language);
    const ProfileFile profile(path, {});
    const std::vector<std::string> names = profile.Sections();
    if (*sections == 0 || names.empty()) return FileRefusal(kNetNoControllers, msg::net::kNoControllers, {file}, language);
    std::map<int, std::string> numbered;
    for (const std::string& name : names) {
        const auto n = SectionNumber(name);
        if (!n) return FileRefusal(kNetBadSection, msg::net::kBadSection, {file, name}, language);
        if (!numbered.emplace(*n, name).second) {
            return FileRefusal(kNetBadSection, msg::net::kSectionTwice, {file, name}, language);
        }
    }
    NetworkDescription description;
    for (const auto& [number, name] : numbered) {
        const ProfileFile section = profile.InSection(name);
        for (const std::string& key : section.Keys()) {
            const std::string folded = Lower(Trimmed(key));
            if (std::none_of(kKeys.begin(), kKeys.end(), [&](const char* k) { return Lower(k) == folded; })) {
                return FileRefusal(kNetUnknownKey, msg::net::kUnknownKey, {file, name, Trimmed(key), AllowedKeys()},
                                   language);
            }
        }
        auto controller = ReadController(SectionValues(file, name, section.Values(), language));
        if (!controller) return controller.failure();
        description.controllers.push_back(std::move(*controller));
    }
    return description;
}

Result<Done> WriteNetworkFile(const std::filesystem::path& path, const NetworkDescription& description,
                              std::uint8_t language) {
    std::string text;
    int number = 0;
    for (const NetController& c : description.controllers) {
        const std::string section = kSectionPrefix + std::to_string(++number);
        const auto keys = WrittenKeys(c);
        std::map<std::string, std::string> values;
        for (const auto& [key, value] : keys) values.emplace(Lower(key), value);
        // The reader's checks, so that what is written reads back.
        if (auto checked = ReadController(SectionValues(path.string(), section, values, language)); !checked) {
            return checked.failure();
        }
        text += (number > 1 ? "\r\n[" : "[") + section + "]\r\n";
        for (const auto& [key, value] : keys) {
            text += key + "=" + (key == "SourceName" ? SourceNameValue(value) : value) + "\r\n";
        }
    }
    return WriteFileAtomic(path, text);
}

std::string FormatLines(const std::vector<int>& lines) {
    std::vector<int> sorted = lines;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    std::string out;
    for (std::size_t i = 0; i < sorted.size();) {
        std::size_t j = i;
        while (j + 1 < sorted.size() && sorted[j + 1] == sorted[j] + 1) ++j;
        out += out.empty() ? "" : ",";
        out += std::to_string(sorted[i]);
        if (j > i) out += "-" + std::to_string(sorted[j]);
        i = j + 1;
    }
    return out;
}

Result<std::vector<int>> ParseLines(const std::string& text) {
    using R = Result<std::vector<int>>;
    std::vector<int> lines;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string item =
            Trimmed(std::string_view(text).substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        const std::size_t dash = item.find('-');
        const auto a = StrictInt(Trimmed(std::string_view(item).substr(0, dash)));
        const auto b = dash == std::string::npos ? a : StrictInt(Trimmed(std::string_view(item).substr(dash + 1)));
        if (!a || !b || *a < 1 || *b > kLineCount || *a > *b) return R::Fail(msg::net::kBadLines, {text});
        for (int line = *a; line <= *b; ++line) lines.push_back(line);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    return lines;
}

std::vector<std::string> DescriptionWarnings(const NetworkDescription& description, std::uint8_t language) {
    std::vector<std::string> warnings;
    const auto& list = description.controllers;
    for (std::size_t i = 0; i < list.size(); ++i) {
        for (std::size_t j = i + 1; j < list.size(); ++j) {
            const NetController& a = list[i];
            const NetController& b = list[j];
            std::vector<int> common;
            std::set_intersection(a.lines.begin(), a.lines.end(), b.lines.begin(), b.lines.end(),
                                  std::back_inserter(common));
            if (!common.empty()) {
                warnings.push_back(Render(msg::net::kLinesTwice, language, {FormatLines(common), a.section, b.section}));
            }
            if (a.protocol != b.protocol || a.port != b.port) continue;
            const std::string target = a.address + ":" + std::to_string(a.port);
            if (a.protocol == Protocol::Ddp) {
                if (a.address == b.address) {
                    warnings.push_back(Render(msg::net::kDdpTwice, language, {a.section, b.section, target}));
                }
                continue;
            }
            const bool sameTarget = (a.multicast && b.multicast) || (!a.multicast && !b.multicast && a.address == b.address);
            if (sameTarget && a.universe == b.universe) {
                const std::string where = a.multicast ? Render(msg::net::kMulticastTarget, language) : target;
                warnings.push_back(
                    Render(msg::net::kUniverseTwice, language, {a.section, b.section, where, std::to_string(a.universe)}));
            }
        }
    }
    return warnings;
}

}  // namespace corv::net
