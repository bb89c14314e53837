#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Mutator.h"

namespace corv::fuzz {

// How much to run, from the environment:
//   CORV_FUZZ_RUNS     random mutants per reader (default kDefaultRuns)
//   CORV_FUZZ_SEED     run seed (default kDefaultSeed: runs repeat exactly)
//   CORV_FUZZ_ONLY     run only one input of a report: N or mutant:N (random mutant N),
//                      cut:N or field:N (sweep input N)
//   CORV_FUZZ_INPUT    run only this file through the reader (a saved crash input)
//   CORV_FUZZ_SWEEPS   0: leave out the truncation and field sweeps; otherwise at most
//                      4 x CORV_FUZZ_RUNS sweep inputs, spread evenly over the full sweeps
//                      (every length, every header field), which long runs take whole
//   CORV_FUZZ_TMP      folder for the scratch files (default /dev/shm, else the temp folder)
//   CORV_FUZZ_FORK     1: keep going after a crash: the inputs are read in a child process;
//                      when it dies, the input is recorded (findings grouped by place, the
//                      smallest input of each kept) and a new child goes on after it
//   CORV_FUZZ_TIMEOUT  seconds one input may take before the run is stopped (default 60)
//   CORV_FUZZ_CRASH_DIR where an input that crashes is saved (default: the working folder)
struct Settings {
    static constexpr std::uint64_t kDefaultSeed = 20240917;
    static constexpr std::uint64_t kDefaultRuns = 400;

    std::uint64_t seed = kDefaultSeed;
    std::uint64_t runs = kDefaultRuns;
    std::optional<std::uint64_t> only;
    std::string onlyStage = "mutant";
    std::filesystem::path input;
    bool sweeps = true;
    bool fork = false;
    unsigned timeoutSeconds = 60;
    std::filesystem::path crashDir;

    static Settings FromEnvironment();
};

// One reader under test: valid inputs made by the project's own writers and the function
// that reads one input (and whatever the program does next with what was read).
struct Target {
    std::string name;
    bool text = false;
    std::vector<Bytes> seeds;
    // True when the reader accepted the input. An exception or a broken promise of the
    // reader is thrown as std::exception and reported as a finding.
    std::function<bool(const Bytes&)> read;
};

struct Report {
    std::string reader;
    std::uint64_t seed = 0;
    std::uint64_t seedInputs = 0;   // the valid inputs themselves
    std::uint64_t regressions = 0;  // inputs that once broke a reader (regressions/<reader>/)
    std::uint64_t truncations = 0;  // lengths of the valid inputs
    std::uint64_t fieldSets = 0;    // header fields set to boundary values, one at a time
    std::uint64_t sweepTotal = 0;   // truncations and field sets the full sweeps hold
    std::uint64_t mutants = 0;      // random mutants
    std::uint64_t accepted = 0;
    std::uint64_t refused = 0;
    std::uint64_t failed = 0;  // crashed or threw (findings)
    double seconds = 0;
    double slowestMs = 0;
    std::string slowest;  // which input was slowest
    std::vector<std::string> findings;

    std::uint64_t inputs() const {
        return seedInputs + regressions + truncations + fieldSets + mutants;
    }
    std::string Summary() const;
};

// Runs the valid inputs, the sweeps and the random mutants through the reader. A crash or a
// sanitizer report stops the process; the input is then printed and saved first.
Report RunCampaign(const Target& target, const Settings& settings);

// Adds a finished campaign to the totals of this process; the totals as one line.
void AddToTotals(const Report& report);
std::string TotalsLine();

// Prints the current input when the process dies (signals, sanitizer reports, time-outs).
void InstallCrashReporting();

// A private folder for the inputs and what the readers write, removed afterwards. It lies in
// memory (/dev/shm) when there is such a folder, or in $CORV_FUZZ_TMP: readers that save
// files (music, profiles) sync them, which on a disk costs far more than the reading.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    bool valid() const { return !path_.empty(); }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Writes bytes to a file (plain, not atomic: the readers see exactly these bytes).
void WriteBytes(const std::filesystem::path& path, const Bytes& bytes);

}  // namespace corv::fuzz
