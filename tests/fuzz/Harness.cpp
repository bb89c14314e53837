#include "Harness.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <map>
#include <new>
#include <optional>
#include <stdexcept>

#include "base/FileUtil.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#include <sanitizer/lsan_interface.h>

// Allocations of more than 256 MiB are reported as errors, with the place: every input here is
// a few kilobytes and the largest tables a file may rightly ask for (the occupancy of the
// largest grid) take 32 MiB, so more can only come from a size the file merely claims.
// (Without this the sanitizer build would quietly take and clear gigabytes.)
// The quarantine is kept small: every input is read afresh, and a large quarantine makes
// each read-ahead buffer fresh pages to clear, several times the cost of the reading.
extern "C" const char* __asan_default_options() {
    return "max_allocation_size_mb=256:quarantine_size_mb=16";
}
// The undefined-behaviour runtime is a library of its own that does not call the death
// callback: it aborts instead, which the SIGABRT handler reports.
extern "C" const char* __ubsan_default_options() {
    return "abort_on_error=1:print_stacktrace=1";
}
#endif

namespace corv::fuzz {

namespace fs = std::filesystem;

namespace {

// Header bytes swept field by field, and the values each field takes.
constexpr std::size_t kSweepBytes = 320;
constexpr std::uint32_t kSweepU32[] = {0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u, 0u};
constexpr std::uint16_t kSweepU16[] = {0xFFFF, 0x8000};
// Inputs up to this size are cut at every length; longer ones at kLongCuts lengths.
constexpr std::size_t kSmallInput = 8192;
constexpr std::size_t kLongCuts = 1024;

// What the crash reporter prints: set before every input, read from signal handlers.
struct Current {
    volatile sig_atomic_t active = 0;
    char note[1024] = {};
    char file[4096] = {};
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};
Current g_current;

void Say(const char* text) {
    std::size_t n = std::strlen(text);
    while (n > 0) {
        const ssize_t w = ::write(2, text, n);
        if (w <= 0)
            return;
        text += w;
        n -= static_cast<std::size_t>(w);
    }
}

// Async-signal-safe: prints the input and saves it.
void ReportCurrent(const char* why) {
    if (!g_current.active) {
        return;
    }
    g_current.active = 0;
    Say("\n[fuzz] ");
    Say(why);
    Say(" while reading: ");
    Say(g_current.note);
    Say("\n");
    if (g_current.size <= 512) {
        static const char digits[] = "0123456789abcdef";
        char line[1100];
        std::size_t k = 0;
        for (std::size_t i = 0; i < g_current.size; ++i) {
            line[k++] = digits[g_current.data[i] >> 4];
            line[k++] = digits[g_current.data[i] & 15];
        }
        line[k] = 0;
        Say("[fuzz] input bytes (hex): ");
        Say(line);
        Say("\n");
    }
    const int fd = g_current.file[0] == 0
                       ? -1
                       : ::open(g_current.file, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd >= 0) {
        std::size_t done = 0;
        while (done < g_current.size) {
            const ssize_t w = ::write(fd, g_current.data + done, g_current.size - done);
            if (w <= 0)
                break;
            done += static_cast<std::size_t>(w);
        }
        ::close(fd);
        Say("[fuzz] input saved as ");
        Say(g_current.file);
        Say(" (run it again with CORV_FUZZ_INPUT=that file)\n");
    }
}

void OnSignal(int sig) {
    ReportCurrent(sig == SIGALRM ? "time-out" : (sig == SIGABRT ? "abort" : "crash"));
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

#if defined(__SANITIZE_ADDRESS__)
void OnSanitizerDeath() {
    ReportCurrent("sanitizer report");
}
#endif

std::string SafeName(const std::string& s) {
    std::string out;
    for (char c : s)
        out += (std::isalnum(static_cast<unsigned char>(c)) ? c : '-');
    return out;
}

void SetCurrent(const Target& t, const Settings& s, const char* stage, std::uint64_t index,
                const std::string& recipe, const Bytes& input) {
    std::snprintf(g_current.note, sizeof g_current.note,
                  "reader \"%s\", CORV_FUZZ_SEED=%llu, %s #%llu [%s], %zu bytes", t.name.c_str(),
                  static_cast<unsigned long long>(s.seed), stage,
                  static_cast<unsigned long long>(index), recipe.c_str(), input.size());
    const fs::path file =
        s.crashDir / ("fuzz-crash-" + SafeName(t.name) + "-" + std::to_string(s.seed) + "-" +
                      stage + "-" + std::to_string(index) + ".bin");
    std::snprintf(g_current.file, sizeof g_current.file, "%s", file.c_str());
    g_current.data = input.data();
    g_current.size = input.size();
    g_current.active = 1;
}

std::uint64_t EnvNumber(const char* name, std::uint64_t fallback) {
    const char* v = std::getenv(name);
    if (v == nullptr || *v == 0) {
        return fallback;
    }
    char* end = nullptr;
    const unsigned long long n = std::strtoull(v, &end, 0);
    if (end == v || *end != 0) {
        std::fprintf(stderr, "[fuzz] %s=%s is not a number; using %llu\n", name, v,
                     static_cast<unsigned long long>(fallback));
        return fallback;
    }
    return n;
}

struct Totals {
    std::uint64_t readers = 0, inputs = 0, accepted = 0, refused = 0, failed = 0, findings = 0;
    double seconds = 0;
    std::uint64_t seed = 0;
};
Totals g_totals;

// The place and kind of a crash from what the dying child printed: the same bug gives the
// same text for every input that hits it.
std::string CrashSignature(const std::string& text, int status) {
    auto fromSrc = [](std::string where) {
        for (const char* root : {"/src/", "/tests/"}) {
            if (auto at = where.rfind(root); at != std::string::npos)
                return where.substr(at + 1);
        }
        return where;
    };
    std::size_t pos = 0;
    std::string kind, frame;
    while (pos < text.size()) {
        std::size_t nl = text.find('\n', pos);
        if (nl == std::string::npos)
            nl = text.size();
        const std::string line = text.substr(pos, nl - pos);
        pos = nl + 1;
        if (auto at = line.find(": runtime error: "); at != std::string::npos) {
            std::string what = line.substr(at + 17);
            what = what.substr(0, what.find_first_of(":,0123456789"));
            return "undefined behaviour (" + what + ") at " + fromSrc(line.substr(0, at));
        }
        if (auto at = line.find("SUMMARY: AddressSanitizer: ");
            at != std::string::npos && kind.empty()) {
            kind = line.substr(at + 27);
            kind = kind.substr(0, kind.find(' '));
        }
        if (frame.empty() && line.find("    #") == 0 && line.find("/src/") != std::string::npos &&
            line.find("libsanitizer") == std::string::npos) {
            frame = fromSrc(line.substr(line.rfind(' ') + 1));
        }
    }
    if (!kind.empty()) {
        return "address sanitizer: " + kind + (frame.empty() ? std::string() : " at " + frame);
    }
    if (WIFSIGNALED(status)) {
        const int sig = WTERMSIG(status);
        return sig == SIGALRM
                   ? std::string("time-out")
                   : "crash: signal " + std::to_string(sig) + " (" + strsignal(sig) + ")";
    }
    return "the reader child ended with status " +
           std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
}

// Every input of a campaign in a fixed order, so that a run can go on after input i in a new
// process: the valid inputs, the chosen sweep inputs, the random mutants (or one file).
class Plan {
public:
    enum class Kind { Valid, Regression, Cut, Field, Mutant, File };
    struct Item {
        Kind kind = Kind::Valid;
        const char* stage = "";
        std::uint64_t index = 0;
        std::string recipe;
        Bytes bytes;
    };

    Plan(const Target& t, const Settings& s) : t_(t), mutator_(s.seed, t.name, t.seeds, t.text) {
        if (!s.input.empty()) {
            auto bytes = ReadFileBytes(s.input);
            if (!bytes) {
                throw std::runtime_error("CORV_FUZZ_INPUT " + s.input.string() + " cannot be read");
            }
            file_ = std::move(*bytes);
            fileName_ = s.input.string();
            return;
        }
        if (s.only && s.onlyStage == "mutant") {
            mutantFirst_ = *s.only;
            mutantCount_ = 1;
            return;
        }
        if (!s.only) {
            valid_ = t.seeds.size();
            // Inputs that once broke a reader, kept beside the sources.
            std::error_code ec;
            const fs::path dir = fs::path(CORV_FUZZ_REGRESSIONS) / SafeName(t.name);
            std::vector<fs::path> files;
            for (const auto& e : fs::directory_iterator(dir, ec)) {
                if (e.is_regular_file())
                    files.push_back(e.path());
            }
            std::sort(files.begin(), files.end());
            for (const auto& f : files) {
                if (auto bytes = ReadFileBytes(f))
                    regressions_.emplace_back(f.filename().string(), *bytes);
            }
            mutantCount_ = s.runs;
            if (!s.sweeps) {
                return;
            }
        }
        // The full sweeps: cuts at every length (small inputs) or at many lengths spread over
        // the input, then each header field in turn at the values that break size arithmetic.
        for (std::size_t k = 0; k < t.seeds.size(); ++k) {
            const std::size_t size = t.seeds[k].size();
            if (size <= kSmallInput) {
                for (std::size_t n = 0; n < size; ++n)
                    sweeps_.push_back({k, true, n, 0, 0});
            } else {
                for (std::size_t n = 0; n < 512; ++n)
                    sweeps_.push_back({k, true, n, 0, 0});
                for (std::size_t j = 0; j < kLongCuts; ++j) {
                    sweeps_.push_back({k, true, 512 + (size - 512) * j / kLongCuts, 0, 0});
                }
            }
        }
        for (std::size_t k = 0; k < t.seeds.size() && !t.text; ++k) {
            const Bytes& seed = t.seeds[k];
            for (std::size_t at = 0; at + 4 <= std::min(seed.size(), kSweepBytes); ++at) {
                for (std::uint32_t v : kSweepU32)
                    sweeps_.push_back({k, false, at, v, 4});
                for (std::uint16_t v : kSweepU16)
                    sweeps_.push_back({k, false, at, v, 2});
            }
        }
        if (s.only) {
            // One sweep input, by its number in the full sweeps.
            if (*s.only >= sweeps_.size() || sweeps_[*s.only].cut != (s.onlyStage == "cut")) {
                throw std::runtime_error("CORV_FUZZ_ONLY: there is no " + s.onlyStage + " #" +
                                         std::to_string(*s.only));
            }
            chosen_.push_back(*s.only);
            return;
        }
        // Short runs take an evenly spread part of them, shifted by the seed.
        const std::uint64_t budget = 4 * s.runs;
        if (sweeps_.size() <= budget) {
            for (std::size_t j = 0; j < sweeps_.size(); ++j)
                chosen_.push_back(j);
        } else {
            const double step = static_cast<double>(sweeps_.size()) / static_cast<double>(budget);
            const double phase = static_cast<double>(Mix(s.seed, HashName(t.name)) % 1000) / 1000.0;
            for (std::uint64_t j = 0; j < budget; ++j) {
                chosen_.push_back(
                    std::min(sweeps_.size() - 1,
                             static_cast<std::size_t>((static_cast<double>(j) + phase) * step)));
            }
        }
    }

    std::uint64_t size() const {
        return file_ ? 1 : valid_ + regressions_.size() + chosen_.size() + mutantCount_;
    }
    std::uint64_t sweepTotal() const { return sweeps_.size(); }

    Item At(std::uint64_t i) const {
        Item item;
        if (file_) {
            item.kind = Kind::File;
            item.stage = "file";
            item.recipe = fileName_;
            item.bytes = *file_;
            return item;
        }
        if (i < valid_) {
            item.kind = Kind::Valid;
            item.stage = "valid";
            item.index = i;
            item.recipe = "seed" + std::to_string(i);
            item.bytes = t_.seeds[i];
            return item;
        }
        i -= valid_;
        if (i < regressions_.size()) {
            item.kind = Kind::Regression;
            item.stage = "regression";
            item.index = i;
            item.recipe = regressions_[i].first;
            item.bytes = regressions_[i].second;
            return item;
        }
        i -= regressions_.size();
        if (i < chosen_.size()) {
            const Sweep& w = sweeps_[chosen_[i]];
            const Bytes& seed = t_.seeds[w.seed];
            char recipe[96];
            item.index = chosen_[i];
            if (w.cut) {
                item.kind = Kind::Cut;
                item.stage = "cut";
                item.bytes.assign(seed.begin(), seed.begin() + static_cast<std::ptrdiff_t>(w.at));
                std::snprintf(recipe, sizeof recipe, "seed%zu cut%zu", w.seed, w.at);
            } else {
                item.kind = Kind::Field;
                item.stage = "field";
                item.bytes = seed;
                for (int q = 0; q < w.width; ++q) {
                    item.bytes[w.at + static_cast<std::size_t>(q)] =
                        static_cast<std::uint8_t>(w.value >> (8 * q));
                }
                std::snprintf(recipe, sizeof recipe, "seed%zu u%d@%zu=0x%x", w.seed, 8 * w.width,
                              w.at, w.value);
            }
            item.recipe = recipe;
            return item;
        }
        i -= chosen_.size();
        item.kind = Kind::Mutant;
        item.stage = "mutant";
        item.index = mutantFirst_ + i;
        item.bytes = mutator_.Make(item.index, &item.recipe);
        return item;
    }

private:
    struct Sweep {
        std::size_t seed;
        bool cut;
        std::size_t at;
        std::uint32_t value;
        int width;
    };
    const Target& t_;
    Mutator mutator_;
    std::optional<Bytes> file_;
    std::string fileName_;
    std::uint64_t valid_ = 0;
    std::vector<std::pair<std::string, Bytes>> regressions_;
    std::vector<Sweep> sweeps_;
    std::vector<std::size_t> chosen_;
    std::uint64_t mutantFirst_ = 0, mutantCount_ = 0;
};

// What a run of inputs counts; in shared memory when the inputs run in a child process.
struct Counters {
    std::uint64_t current = 0;   // the input being read
    std::uint64_t done[6] = {};  // per Plan::Kind
    std::uint64_t accepted = 0, refused = 0, failed = 0;
    std::uint64_t validRefused = 0;
    double slowestMs = 0;
    std::uint64_t slowest = 0;
};

constexpr int kChildDone = 0, kChildThrew = 12, kChildLeaked = 13;

// Reads inputs from..end. Without `child`, an exception is returned as the signature of a
// finding; in a child, it ends the child (the parent records it and starts a new child).
std::string RunItem(const Target& t, const Settings& s, const Plan::Item& item, Counters& c,
                    bool child) {
    SetCurrent(t, s, item.stage, item.index, item.recipe, item.bytes);
    if (child) {
        g_current.file[0] = 0;  // the parent saves the inputs that crash
    }
    ::alarm(s.timeoutSeconds);
    const auto t0 = std::chrono::steady_clock::now();
    bool accepted = false;
    std::string problem;
    try {
        accepted = t.read(item.bytes);
    } catch (const std::exception& e) {
        problem = std::string("exception: ") + e.what();
    } catch (...) {
        problem = "exception of unknown type";
    }
    ::alarm(0);
    g_current.active = 0;
    if (!problem.empty() && child) {
        Say(problem.c_str());
        ::_exit(kChildThrew);
    }
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    if (ms > c.slowestMs) {
        c.slowestMs = ms;
        c.slowest = c.current;
    }
    c.done[static_cast<int>(item.kind)] += 1;
    if (!problem.empty()) {
        c.failed += 1;
    } else {
        (accepted ? c.accepted : c.refused) += 1;
        if (item.kind == Plan::Kind::Valid && !accepted)
            c.validRefused += 1;
    }
    return problem;
}

}  // namespace

Settings Settings::FromEnvironment() {
    Settings s;
    s.seed = EnvNumber("CORV_FUZZ_SEED", kDefaultSeed);
    s.runs = EnvNumber("CORV_FUZZ_RUNS", kDefaultRuns);
    if (const char* only = std::getenv("CORV_FUZZ_ONLY"); only != nullptr && *only != 0) {
        // "N" or "mutant:N" (a random mutant), "cut:N", "field:N" (a sweep input).
        std::string text = only;
        if (auto colon = text.find(':'); colon != std::string::npos) {
            s.onlyStage = text.substr(0, colon);
            text = text.substr(colon + 1);
        }
        if (s.onlyStage != "mutant" && s.onlyStage != "cut" && s.onlyStage != "field") {
            std::fprintf(stderr, "[fuzz] CORV_FUZZ_ONLY=%s: the stage is mutant, cut or field\n",
                         only);
            s.onlyStage = "mutant";
        }
        s.only = std::strtoull(text.c_str(), nullptr, 0);
    }
    if (const char* in = std::getenv("CORV_FUZZ_INPUT"); in != nullptr && *in != 0) {
        s.input = in;
    }
    s.sweeps = EnvNumber("CORV_FUZZ_SWEEPS", 1) != 0;
    s.fork = EnvNumber("CORV_FUZZ_FORK", 0) != 0;
    s.timeoutSeconds = static_cast<unsigned>(EnvNumber("CORV_FUZZ_TIMEOUT", 60));
    if (const char* dir = std::getenv("CORV_FUZZ_CRASH_DIR"); dir != nullptr && *dir != 0) {
        s.crashDir = dir;
    } else {
        std::error_code ec;
        s.crashDir = fs::current_path(ec);
    }
    return s;
}

std::string Report::Summary() const {
    char buf[1024];
    std::snprintf(
        buf, sizeof buf,
        "[fuzz] %-20s seed %llu: %llu inputs (%llu valid, %llu regression, %llu truncations "
        "+ %llu field sets of %llu, %llu random mutants): %llu accepted, %llu refused, "
        "%llu failed, %zu findings, %.1f s, slowest %.1f ms (%s)",
        reader.c_str(), static_cast<unsigned long long>(seed),
        static_cast<unsigned long long>(inputs()), static_cast<unsigned long long>(seedInputs),
        static_cast<unsigned long long>(regressions), static_cast<unsigned long long>(truncations),
        static_cast<unsigned long long>(fieldSets), static_cast<unsigned long long>(sweepTotal),
        static_cast<unsigned long long>(mutants), static_cast<unsigned long long>(accepted),
        static_cast<unsigned long long>(refused), static_cast<unsigned long long>(failed),
        findings.size(), seconds, slowestMs, slowest.c_str());
    return buf;
}

void WriteBytes(const fs::path& path, const Bytes& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        throw std::runtime_error("cannot write " + path.string());
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (w <= 0) {
            ::close(fd);
            throw std::runtime_error("cannot write " + path.string());
        }
        done += static_cast<std::size_t>(w);
    }
    ::close(fd);
}

ScratchDir::ScratchDir() {
    std::error_code ec;
    fs::path base;
    if (const char* dir = std::getenv("CORV_FUZZ_TMP"); dir != nullptr && *dir != 0) {
        base = dir;
    } else if (fs::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0) {
        base = "/dev/shm";
    } else {
        base = fs::temp_directory_path(ec);
    }
    std::string pattern = (base / "corvantine-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) {
        path_ = pattern;
    }
}

ScratchDir::~ScratchDir() {
    if (!path_.empty()) {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
}

void InstallCrashReporting() {
    static bool done = false;
    if (done) {
        return;
    }
    done = true;
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = static_cast<int>(SA_RESETHAND);
    // The sanitizer runtime reports memory faults itself (and then calls the death callback).
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_set_death_callback(OnSanitizerDeath);
    const int signals[] = {SIGABRT, SIGALRM};
#else
    const int signals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGALRM};
#endif
    for (int sig : signals) {
        sigaction(sig, &sa, nullptr);
    }
}

Report RunCampaign(const Target& t, const Settings& s) {
    InstallCrashReporting();
    Report r;
    r.reader = t.name;
    r.seed = s.seed;
    const auto start = std::chrono::steady_clock::now();

    // Findings grouped by what went wrong; the smallest input of each group is kept.
    struct Group {
        std::uint64_t count = 0;
        Bytes smallest;
        std::string note, file, detail;
    };
    std::map<std::string, Group> groups;
    auto record = [&](const std::string& signature, const std::string& detail,
                      const Plan::Item& item) {
        SetCurrent(t, s, item.stage, item.index, item.recipe, item.bytes);
        g_current.active = 0;
        Group& g = groups[signature];
        if (g.count++ == 0 || item.bytes.size() < g.smallest.size()) {
            g.smallest = item.bytes;
            g.note = g_current.note;
            g.file = g_current.file;
            g.detail = detail;
        }
    };

    std::optional<Plan> plan;
    try {
        plan.emplace(t, s);
    } catch (const std::exception& e) {
        r.findings.push_back(e.what());
        return r;
    }
    const std::uint64_t total = plan->size();
    Counters local;
    Counters* c = &local;
    if (!s.fork) {
        for (std::uint64_t i = 0; i < total; ++i) {
            c->current = i;
            const Plan::Item item = plan->At(i);
            if (std::string problem = RunItem(t, s, item, *c, false); !problem.empty()) {
                record(problem, {}, item);
            }
        }
    } else {
        // Keep going after a crash: a child reads the inputs from `from` on; when it dies, the
        // input it was reading is recorded and a new child goes on after it.
        void* shared = ::mmap(nullptr, sizeof(Counters), PROT_READ | PROT_WRITE,
                              MAP_SHARED | MAP_ANONYMOUS, -1, 0);
        if (shared == MAP_FAILED) {
            r.findings.push_back("mmap of the shared counters failed");
            return r;
        }
        c = new (shared) Counters();
        std::uint64_t from = 0;
        while (from < total) {
            int fds[2];
            if (::pipe(fds) != 0) {
                r.findings.push_back("pipe failed");
                break;
            }
            std::fflush(nullptr);
            const pid_t pid = ::fork();
            if (pid == 0) {
                ::close(fds[0]);
                ::dup2(fds[1], 2);
                ::close(fds[1]);
                for (std::uint64_t i = from; i < total; ++i) {
                    c->current = i;
                    RunItem(t, s, plan->At(i), *c, true);
                }
#if defined(__SANITIZE_ADDRESS__)
                // The child ends without the exit-time leak check: run it here.
                c->current = total;
                if (__lsan_do_recoverable_leak_check() != 0) {
                    ::_exit(kChildLeaked);
                }
#endif
                ::_exit(kChildDone);
            }
            ::close(fds[1]);
            if (pid < 0) {
                ::close(fds[0]);
                r.findings.push_back("fork failed");
                break;
            }
            // The child's error output: only the last report matters.
            std::string text;
            char buf[4096];
            for (;;) {
                const ssize_t n = ::read(fds[0], buf, sizeof buf);
                if (n > 0) {
                    text.append(buf, static_cast<std::size_t>(n));
                    if (text.size() > (4u << 20))
                        text.erase(0, text.size() - (1u << 20));
                } else if (n == 0 || errno != EINTR) {
                    break;
                }
            }
            ::close(fds[0]);
            int status = 0;
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            if (WIFEXITED(status) && WEXITSTATUS(status) == kChildDone) {
                break;
            }
            if (WIFEXITED(status) && WEXITSTATUS(status) == kChildLeaked) {
                const std::size_t begin = text.find("ERROR: LeakSanitizer");
                r.findings.push_back("memory leaked while reading inputs " + std::to_string(from) +
                                     " to " + std::to_string(total - 1) + ":\n" +
                                     text.substr(begin == std::string::npos ? 0 : begin, 4000));
                break;
            }
            const std::uint64_t at = c->current;
            const Plan::Item item = plan->At(at);
            c->failed += 1;
            c->done[static_cast<int>(item.kind)] += 1;
            if (WIFEXITED(status) && WEXITSTATUS(status) == kChildThrew) {
                record(text.substr(text.rfind("exception")), {}, item);
            } else {
                // The first lines of the report, for the finding.
                const std::size_t begin = text.find_first_not_of('\n');
                std::size_t cut = begin;
                for (int lines = 0; lines < 12 && cut != std::string::npos; ++lines)
                    cut = text.find('\n', cut + 1);
                record(CrashSignature(text, status),
                       begin == std::string::npos ? std::string() : text.substr(begin, cut - begin),
                       item);
            }
            from = at + 1;
        }
    }

    r.seedInputs = c->done[static_cast<int>(Plan::Kind::Valid)];
    r.regressions = c->done[static_cast<int>(Plan::Kind::Regression)];
    r.truncations = c->done[static_cast<int>(Plan::Kind::Cut)];
    r.fieldSets = c->done[static_cast<int>(Plan::Kind::Field)];
    r.mutants =
        c->done[static_cast<int>(Plan::Kind::Mutant)] + c->done[static_cast<int>(Plan::Kind::File)];
    r.sweepTotal = plan->sweepTotal();
    r.accepted = c->accepted;
    r.refused = c->refused;
    r.failed = c->failed;
    r.slowestMs = c->slowestMs;
    if (c->slowestMs > 0) {
        const Plan::Item item = plan->At(c->slowest);
        r.slowest = std::string(item.stage) + " #" + std::to_string(item.index) + " " + item.recipe;
    }
    if (c->validRefused > 0) {
        // The valid inputs must be taken, or the mutants test little.
        r.findings.push_back(t.name + ": " + std::to_string(c->validRefused) +
                             " valid input(s) refused");
    }
    if (c != &local) {
        ::munmap(c, sizeof(Counters));
    }
    for (const auto& [signature, g] : groups) {
        try {
            WriteBytes(g.file, g.smallest);
        } catch (const std::exception&) {
        }
        std::string text = signature + "\n  " + std::to_string(g.count) +
                           " input(s); smallest: " + g.note + "\n  saved as " + g.file +
                           " (CORV_FUZZ_INPUT=that file reads it again)";
        if (g.smallest.size() <= 512)
            text += "\n  bytes (hex): " + Hex(g.smallest);
        if (!g.detail.empty())
            text += "\n  " + g.detail;
        r.findings.push_back(std::move(text));
    }
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return r;
}

void AddToTotals(const Report& report) {
    g_totals.readers += 1;
    g_totals.inputs += report.inputs();
    g_totals.accepted += report.accepted;
    g_totals.refused += report.refused;
    g_totals.failed += report.failed;
    g_totals.findings += report.findings.size();
    g_totals.seconds += report.seconds;
    g_totals.seed = report.seed;
}

std::string TotalsLine() {
    char buf[512];
    std::snprintf(buf, sizeof buf,
                  "[fuzz] totals: %llu readers, seed %llu, %llu inputs, %llu accepted, %llu "
                  "refused, %llu failed, %llu findings, "
                  "%.1f s",
                  static_cast<unsigned long long>(g_totals.readers),
                  static_cast<unsigned long long>(g_totals.seed),
                  static_cast<unsigned long long>(g_totals.inputs),
                  static_cast<unsigned long long>(g_totals.accepted),
                  static_cast<unsigned long long>(g_totals.refused),
                  static_cast<unsigned long long>(g_totals.failed),
                  static_cast<unsigned long long>(g_totals.findings), g_totals.seconds);
    return buf;
}

}  // namespace corv::fuzz
