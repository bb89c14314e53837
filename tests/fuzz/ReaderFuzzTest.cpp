// Every file reader over damaged copies of valid files. A reader must refuse or read what it
// can; it must not crash, hang, throw, or (in the sanitizer build) touch memory it does not
// own. See README.md beside this file for the settings and for reproducing a finding.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>

#include "Harness.h"
#include "Targets.h"

using namespace corv;
using namespace corv::fuzz;

namespace {

class TotalsPrinter : public testing::Environment {
public:
    void SetUp() override {
        const Settings s = Settings::FromEnvironment();
        std::cout << "[fuzz] CORV_FUZZ_SEED=" << s.seed << ", CORV_FUZZ_RUNS=" << s.runs
                  << " random mutants per reader"
                  << (s.sweeps ? " after the truncation and field sweeps" : "") << std::endl;
    }
    void TearDown() override { std::cout << TotalsLine() << std::endl; }
};
[[maybe_unused]] testing::Environment* const g_totals =
    testing::AddGlobalTestEnvironment(new TotalsPrinter);

constexpr std::size_t kFindingsShown = 20;

void RunReader(TargetMaker make) {
    ScratchDir dir;
    ASSERT_TRUE(dir.valid());
    Target target;
    try {
        target = make(dir.path());
    } catch (const std::exception& e) {
        FAIL() << "making the valid inputs failed: " << e.what();
    }
    ASSERT_FALSE(target.seeds.empty());
    const Report r = RunCampaign(target, Settings::FromEnvironment());
    AddToTotals(r);
    std::cout << r.Summary() << std::endl;
    for (std::size_t i = 0; i < r.findings.size() && i < kFindingsShown; ++i) {
        ADD_FAILURE() << r.findings[i];
    }
    if (r.findings.size() > kFindingsShown) {
        ADD_FAILURE() << (r.findings.size() - kFindingsShown) << " more findings not shown";
    }
}

}  // namespace

TEST(ReaderFuzz, Document) {
    RunReader(MakeDocumentTarget);
}
TEST(ReaderFuzz, CompressedDocument) {
    RunReader(MakeCompressedDocumentTarget);
}
TEST(ReaderFuzz, LineFile) {
    RunReader(MakeLineFileTarget);
}
TEST(ReaderFuzz, ControllerFile) {
    RunReader(MakeControllerFileTarget);
}
TEST(ReaderFuzz, DisplayModuleFile) {
    RunReader(MakeDisplayModuleTarget);
}
TEST(ReaderFuzz, LampTypeFile) {
    RunReader(MakeLampTypeTarget);
}
TEST(ReaderFuzz, ChipCatalogue) {
    RunReader(MakeCatalogueTarget);
}
TEST(ReaderFuzz, ProfileFile) {
    RunReader(MakeProfileTarget);
}
TEST(ReaderFuzz, DxfDrawing) {
    RunReader(MakeDxfTarget);
}
TEST(ReaderFuzz, DxfImport) {
    RunReader(MakeDxfImportTarget);
}

// Readers check counts and lengths against the bytes there before they allocate: with the
// address space held to 1 GiB, no input of a few kilobytes may make any reader fail to get
// memory. The child runs every reader over the sweeps and a quarter of the random mutants.
TEST(ReaderFuzz, ClaimedSizesStayWithinOneGibibyte) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer reserves terabytes of address space; there, allocations above "
                    "256 MiB are "
                    "reported by the sanitizer itself (max_allocation_size_mb=256)";
#else
    Settings s = Settings::FromEnvironment();
    s.runs = std::max<std::uint64_t>(s.runs / 4, std::min<std::uint64_t>(s.runs, 25));
    std::cout.flush();
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        const rlim_t limit = rlim_t{1} << 30;
        const rlimit lim{limit, limit};
        if (::setrlimit(RLIMIT_AS, &lim) != 0) {
            std::perror("setrlimit");
            ::_exit(2);
        }
        std::size_t findings = 0;
        for (const auto& [name, make] : AllTargets()) {
            try {
                ScratchDir dir;
                const Target target = make(dir.path());
                const Report r = RunCampaign(target, s);
                std::printf("%s [1 GiB address space]\n", r.Summary().c_str());
                for (const auto& f : r.findings)
                    std::printf("  FINDING: %s\n", f.c_str());
                findings += r.findings.size();
            } catch (const std::exception& e) {
                std::printf("  FINDING: %s: %s\n", name, e.what());
                ++findings;
            }
            std::fflush(stdout);
        }
        ::_exit(findings == 0 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    if (WIFSIGNALED(status)) {
        FAIL() << "the reader child died of signal " << WTERMSIG(status)
               << " (see the input printed above)";
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "a reader failed within 1 GiB of address space (findings printed above), exit status "
        << WEXITSTATUS(status);
#endif
}
