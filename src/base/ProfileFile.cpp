#include "base/ProfileFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "base/FileUtil.h"

namespace corv {

namespace {


struct Parsed {
    std::vector<std::string> lines;
    std::string eol = "\r\n";
    bool endsWithEol = true;
};

Parsed Load(const std::filesystem::path& file) {
    Parsed p;
    auto bytes = ReadFileBytes(file);
    if (!bytes) {
        return p;
    }
    std::string text(bytes->begin(), bytes->end());
    // Skip a UTF-8 byte order mark.
    if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        text.erase(0, 3);
    }
    if (text.find("\r\n") == std::string::npos && text.find('\n') != std::string::npos) {
        p.eol = "\n";
    }
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t nl = text.find('\n', start);
        std::string line = text.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        p.lines.push_back(std::move(line));
        if (nl == std::string::npos) {
            p.endsWithEol = false;
            break;
        }
        start = nl + 1;
    }
    return p;
}

std::string_view Trim(std::string_view s) {
    const char* ws = " \t\r\n\v\f";
    auto b = s.find_first_not_of(ws);
    if (b == std::string_view::npos) {
        return {};
    }
    auto e = s.find_last_not_of(ws);
    return s.substr(b, e - b + 1);
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
        if (x != y) {
            return false;
        }
    }
    return true;
}

// Returns the section name when the line is a section header.
std::optional<std::string_view> SectionName(std::string_view line) {
    auto t = Trim(line);
    if (t.empty() || t.front() != '[') {
        return std::nullopt;
    }
    auto close = t.find(']');
    if (close == std::string_view::npos) {
        return Trim(t.substr(1));
    }
    return Trim(t.substr(1, close - 1));
}

bool IsComment(std::string_view line) {
    auto t = Trim(line);
    return !t.empty() && t.front() == ';';
}

// Splits "key=value"; nullopt for lines without '='.
std::optional<std::pair<std::string_view, std::string_view>> KeyValue(std::string_view line) {
    if (IsComment(line)) {
        return std::nullopt;
    }
    auto eq = line.find('=');
    if (eq == std::string_view::npos) {
        return std::nullopt;
    }
    return std::make_pair(Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)));
}

struct Location {
    std::optional<std::size_t> sectionLine;  // header line of the first matching section
    std::size_t sectionEnd = 0;              // one past the last line belonging to it
    std::optional<std::size_t> keyLine;
};

Location Find(const Parsed& p, std::string_view section, std::string_view key) {
    // Names compare without the blanks around them, as in the file.
    section = Trim(section);
    key = Trim(key);
    Location loc;
    for (std::size_t i = 0; i < p.lines.size(); ++i) {
        auto name = SectionName(p.lines[i]);
        if (!name) {
            continue;
        }
        if (!EqualNoCase(*name, section)) {
            continue;
        }
        loc.sectionLine = i;
        std::size_t j = i + 1;
        for (; j < p.lines.size(); ++j) {
            if (SectionName(p.lines[j])) {
                break;
            }
            if (!loc.keyLine && !key.empty()) {
                auto kv = KeyValue(p.lines[j]);
                if (kv && EqualNoCase(kv->first, key)) {
                    loc.keyLine = j;
                }
            }
        }
        loc.sectionEnd = j;
        break;
    }
    return loc;
}

// A value enclosed in matching quotes is read without them.
std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// What a 500-byte read buffer holds of a value: at most 499 bytes, never half a character.
std::string CutToBuffer(std::string s) {
    if (s.size() > ProfileFile::kStringBuffer - 1) {
        std::size_t n = ProfileFile::kStringBuffer - 1;
        while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) {
            --n;
        }
        s.resize(n);
    }
    return s;
}

std::optional<std::string> ReadValue(const std::filesystem::path& file, std::string_view section,
                                     std::string_view key) {
    Parsed p = Load(file);
    Location loc = Find(p, section, key);
    if (!loc.keyLine) {
        return std::nullopt;
    }
    return std::string(Unquote(KeyValue(p.lines[*loc.keyLine])->second));
}

}  // namespace

ProfileFile::ProfileFile(std::filesystem::path file, std::string section)
    : file_(std::move(file)), section_(std::move(section)) {}

int ProfileFile::ParseInt(std::string_view value) {
    value = Trim(value);
    std::size_t i = 0;
    bool negative = false;
    if (i < value.size() && (value[i] == '-' || value[i] == '+')) {
        negative = value[i] == '-';
        ++i;
    }
    std::uint32_t n = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
        n = n * 10u + static_cast<std::uint32_t>(value[i] - '0');  // wraps like a 32-bit word
    }
    if (negative) {
        n = 0u - n;
    }
    return static_cast<int>(n);
}

int ProfileFile::GetInt(std::string_view key, int defaultValue) const {
    auto v = ReadValue(file_, section_, key);
    if (!v || v->empty()) {
        return defaultValue;
    }
    return ParseInt(*v);
}

std::string ProfileFile::GetString(std::string_view key, std::string_view defaultValue) const {
    auto v = ReadValue(file_, section_, key);
    return CutToBuffer(v ? std::move(*v) : std::string(defaultValue));
}

bool ProfileFile::HasKey(std::string_view key) const {
    return ReadValue(file_, section_, key).has_value();
}

bool ProfileFile::WriteInt(std::string_view key, int value) {
    return WriteString(key, std::to_string(value));
}

bool ProfileFile::WriteString(std::string_view key, std::string_view text) {
    std::error_code ec;
    if (std::filesystem::exists(file_, ec) && ::access(file_.c_str(), W_OK) != 0) {
        return false;  // a read-only configuration stays as it is
    }
    Parsed p = Load(file_);
    Location loc = Find(p, section_, key);
    std::string entry = std::string(key) + "=" + std::string(text);
    if (loc.keyLine) {
        // Keep the spelling of the key already in the file.
        auto kv = KeyValue(p.lines[*loc.keyLine]);
        p.lines[*loc.keyLine] = std::string(kv->first) + "=" + std::string(text);
    } else if (loc.sectionLine) {
        std::size_t at = loc.sectionEnd;
        while (at > *loc.sectionLine + 1 && Trim(p.lines[at - 1]).empty()) {
            --at;
        }
        p.lines.insert(p.lines.begin() + static_cast<std::ptrdiff_t>(at), entry);
    } else {
        if (!p.lines.empty() && !Trim(p.lines.back()).empty()) {
            p.lines.emplace_back();
        }
        p.lines.push_back("[" + section_ + "]");
        p.lines.push_back(entry);
        p.endsWithEol = true;
    }
    std::string out;
    for (std::size_t i = 0; i < p.lines.size(); ++i) {
        out += p.lines[i];
        if (i + 1 < p.lines.size() || p.endsWithEol) {
            out += p.eol;
        }
    }
    if (WriteFileAtomic(file_, out)) {
        return true;
    }
    // Only when the folder refuses new files may the file be written in place; any other
    // failure (a full disk, say) leaves the file as it was.
    const std::filesystem::path dir = file_.has_parent_path() ? file_.parent_path() : std::filesystem::path(".");
    if (::access(dir.c_str(), W_OK) == 0) {
        return false;
    }
    const int fd = ::open(file_.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    // The new text is written over the old and the file cut to it afterwards, so the old text
    // is never lost before the new one is there.
    std::size_t done = 0;
    bool ok = true;
    while (ok && done < out.size()) {
        const ssize_t w = ::write(fd, out.data() + done, out.size() - done);
        ok = w > 0;
        done += ok ? static_cast<std::size_t>(w) : 0;
    }
    ok = ok && ::ftruncate(fd, static_cast<off_t>(out.size())) == 0;
    ok = (::close(fd) == 0) && ok;
    return ok;
}

std::vector<std::string> ProfileFile::Keys() const {
    Parsed p = Load(file_);
    Location loc = Find(p, section_, {});
    std::vector<std::string> keys;
    if (!loc.sectionLine) {
        return keys;
    }
    for (std::size_t i = *loc.sectionLine + 1; i < loc.sectionEnd; ++i) {
        if (auto kv = KeyValue(p.lines[i])) {
            keys.emplace_back(kv->first);
        }
    }
    return keys;
}

std::map<std::string, std::string> ProfileFile::Values() const {
    Parsed p = Load(file_);
    Location loc = Find(p, section_, {});
    std::map<std::string, std::string> values;
    if (!loc.sectionLine) {
        return values;
    }
    for (std::size_t i = *loc.sectionLine + 1; i < loc.sectionEnd; ++i) {
        auto kv = KeyValue(p.lines[i]);
        if (!kv) {
            continue;
        }
        std::string key(kv->first);
        for (auto& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        values.emplace(std::move(key), CutToBuffer(std::string(Unquote(kv->second))));
    }
    return values;
}

std::vector<std::string> ProfileFile::Sections() const {
    Parsed p = Load(file_);
    std::vector<std::string> names;
    for (const auto& line : p.lines) {
        if (auto name = SectionName(line)) {
            names.emplace_back(*name);
        }
    }
    return names;
}

}  // namespace corv
