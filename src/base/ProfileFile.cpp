#include "base/ProfileFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <optional>
#include <unordered_map>

#include "base/FileUtil.h"

namespace corv {

namespace {


struct Parsed {
    std::vector<std::string> lines;
    std::string eol = "\r\n";
    bool endsWithEol = true;
};

std::optional<std::string> ReadText(const std::filesystem::path& file) {
    auto bytes = ReadFileBytes(file);
    if (!bytes) {
        return std::nullopt;
    }
    return std::string(bytes->begin(), bytes->end());
}

Parsed LoadText(std::string text) {
    Parsed p;
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

Parsed Load(const std::filesystem::path& file) {
    auto text = ReadText(file);
    return text ? LoadText(std::move(*text)) : Parsed{};
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

// Names folded the way EqualNoCase compares them.
std::string Folded(std::string_view s) {
    std::string out(s);
    for (auto& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return out;
}

// What tells one state of a file from another without reading it.
struct Stamp {
    bool exists = false;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    std::int64_t mtime = 0;  // nanoseconds
    std::int64_t ctime = 0;
    bool operator==(const Stamp&) const = default;
};

std::int64_t Nanoseconds(const timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

Stamp StampOf(const std::filesystem::path& file) {
    Stamp s;
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) {
        return s;
    }
    s.exists = true;
    s.dev = st.st_dev;
    s.ino = st.st_ino;
    s.size = st.st_size;
    s.mtime = Nanoseconds(st.st_mtim);
    s.ctime = Nanoseconds(st.st_ctim);
    return s;
}

std::int64_t Now() {
    timespec t{};
    ::clock_gettime(CLOCK_REALTIME, &t);
    return Nanoseconds(t);
}

// A file changed less than this before it was read may change again with the same stamp (file
// times move in clock ticks of a few milliseconds, of whole seconds on some file systems):
// until then its bytes are compared with those indexed.
std::int64_t SettleTime(const Stamp& s) {
    return s.mtime % 1000000000 == 0 ? 2000000000 : 100000000;
}

// Counts the writes made through any ProfileFile of the process: an index read before the
// latest write is read again.
std::atomic<std::uint64_t> profileWrites{0};

}  // namespace

struct ProfileFile::Index {
    struct Entry {
        std::string key;    // as in the file, without the blanks around it
        std::string value;  // trimmed and unquoted, not yet cut to the read buffer
    };
    struct Section {
        std::vector<Entry> entries;                           // file order, repeats included
        std::unordered_map<std::string, std::size_t> first;   // folded key -> its first entry
    };
    std::vector<std::string> sectionNames;              // every header in file order
    std::unordered_map<std::string, Section> sections;  // folded name -> its first section

    explicit Index(const Parsed& p) {
        Section* current = nullptr;
        for (const auto& line : p.lines) {
            if (auto name = SectionName(line)) {
                sectionNames.emplace_back(*name);
                // Lines of a repeated section are never read: the first one wins.
                auto [it, fresh] = sections.try_emplace(Folded(*name));
                current = fresh ? &it->second : nullptr;
                continue;
            }
            if (!current) {
                continue;
            }
            if (auto kv = KeyValue(line)) {
                current->first.try_emplace(Folded(kv->first), current->entries.size());
                current->entries.push_back({std::string(kv->first), std::string(Unquote(kv->second))});
            }
        }
    }

    const Section* Find(std::string_view section) const {
        auto it = sections.find(Folded(Trim(section)));
        return it == sections.end() ? nullptr : &it->second;
    }

    const std::string* Value(std::string_view section, std::string_view key) const {
        const Section* s = Find(section);
        key = Trim(key);
        if (!s || key.empty()) {
            return nullptr;
        }
        auto it = s->first.find(Folded(key));
        return it == s->first.end() ? nullptr : &s->entries[it->second].value;
    }
};

struct ProfileFile::Cache {
    std::mutex mutex;
    std::shared_ptr<const Index> index;
    Stamp stamp;
    std::uint64_t writes = 0;
    bool settled = false;
    std::string text;  // the bytes indexed, kept until the file has settled
};

ProfileFile::ProfileFile(std::filesystem::path file, std::string section)
    : file_(std::move(file)), section_(std::move(section)), cache_(std::make_shared<Cache>()) {}

ProfileFile ProfileFile::InSection(std::string section) const {
    ProfileFile other(file_, std::move(section));
    other.cache_ = cache_;
    return other;
}

std::shared_ptr<const ProfileFile::Index> ProfileFile::Current() const {
    Cache& c = *cache_;
    std::lock_guard lock(c.mutex);
    const std::uint64_t written = profileWrites.load();
    const Stamp stamp = StampOf(file_);
    const bool sameStamp = c.index && c.writes == written && c.stamp == stamp;
    if (sameStamp && c.settled) {
        return c.index;
    }
    // The time is taken before the bytes are read: a change after it gets a later file time.
    const std::int64_t now = Now();
    auto text = stamp.exists ? ReadText(file_) : std::nullopt;
    // A file time in the future (a clock stepped back, a file from a machine whose clock ran
    // ahead) would never settle and every lookup would read the file again: it counts as settled,
    // since a later write gets a time of about now, which differs from the stored one.
    const std::int64_t age = now - stamp.mtime;
    const bool settled = !stamp.exists || age >= SettleTime(stamp) || -age > SettleTime(stamp);
    static const std::string kNoText;
    if (sameStamp && (text ? *text : kNoText) == c.text) {
        c.settled = settled;
        if (settled) c.text.clear();
        return c.index;
    }
    std::string bytes = text ? std::move(*text) : std::string();
    c.index = std::make_shared<const Index>(LoadText(bytes));
    c.stamp = stamp;
    c.writes = written;
    c.settled = settled;
    c.text = settled ? std::string() : std::move(bytes);
    return c.index;
}

std::optional<std::size_t> ProfileFile::ProfileSections(std::string_view bytes) {
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 && b != '\t' && b != '\n' && b != '\r' && b != '\f' && b != '\v') {
            return std::nullopt;
        }
    }
    const Parsed p = LoadText(std::string(bytes));
    std::size_t sections = 0;
    for (const auto& line : p.lines) {
        const auto t = Trim(line);
        if (t.empty() || IsComment(t)) {
            continue;
        }
        if (t.front() == '[') {
            // A header closes its name; only blanks or a comment may follow.
            const auto close = t.find(']');
            const auto after = close == std::string_view::npos ? close : t.find_first_not_of(" \t", close + 1);
            if (close == std::string_view::npos || (after != std::string_view::npos && t[after] != ';')) {
                return std::nullopt;
            }
            ++sections;
            continue;
        }
        const auto kv = KeyValue(t);
        if (sections == 0 || !kv || kv->first.empty()) {
            return std::nullopt;
        }
    }
    return sections;
}

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
    const auto index = Current();
    const std::string* v = index->Value(section_, key);
    if (!v || v->empty()) {
        return defaultValue;
    }
    return ParseInt(*v);
}

std::string ProfileFile::GetString(std::string_view key, std::string_view defaultValue) const {
    const auto index = Current();
    const std::string* v = index->Value(section_, key);
    return CutToBuffer(v ? *v : std::string(defaultValue));
}

bool ProfileFile::HasKey(std::string_view key) const {
    return Current()->Value(section_, key) != nullptr;
}

Result<Done> ProfileFile::WriteInt(std::string_view key, int value) {
    return WriteString(key, std::to_string(value));
}

Result<Done> ProfileFile::WriteString(std::string_view key, std::string_view text) {
    // Whatever happens to the file below, every index of it is read again.
    struct Written {
        ~Written() { profileWrites.fetch_add(1); }
    } written;
    std::error_code ec;
    if (std::filesystem::exists(file_, ec) && ::access(file_.c_str(), W_OK) != 0) {
        return Failure{};  // a read-only configuration stays as it is
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
    const Result<Done> atomic = WriteFileAtomic(file_, out);
    if (atomic) {
        return atomic;
    }
    // Only when the folder refuses new files may the file be written in place; any other
    // failure (a full disk, say) leaves the file as it was. A failure tells the first reason.
    const std::filesystem::path dir = file_.has_parent_path() ? file_.parent_path() : std::filesystem::path(".");
    if (::access(dir.c_str(), W_OK) == 0) {
        return atomic;
    }
    const int fd = ::open(file_.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        return atomic;
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
    return ok ? Result<Done>(Done{}) : atomic;
}

std::vector<std::string> ProfileFile::Keys() const {
    const auto index = Current();
    std::vector<std::string> keys;
    if (const auto* s = index->Find(section_)) {
        for (const auto& e : s->entries) {
            keys.push_back(e.key);
        }
    }
    return keys;
}

std::map<std::string, std::string> ProfileFile::Values() const {
    const auto index = Current();
    std::map<std::string, std::string> values;
    if (const auto* s = index->Find(section_)) {
        for (const auto& e : s->entries) {
            values.emplace(Folded(e.key), CutToBuffer(e.value));
        }
    }
    return values;
}

std::vector<std::string> ProfileFile::Sections() const {
    return Current()->sectionNames;
}

}  // namespace corv
