#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <set>

#include "TestHome.h"
#include "base/AppHome.h"
#include "base/FileUtil.h"
#include "base/Random.h"
#include "base/TempDir.h"

using namespace corv;
using corv::test::TestFolder;
namespace fs = std::filesystem;

TEST(TempDir, IsPrivateAndRemovedWithEverythingInIt) {
    fs::path kept;
    {
        TempDir t;
        ASSERT_TRUE(t.valid());
        kept = t.path();
        EXPECT_TRUE(fs::is_directory(kept));
        fs::create_directories(kept / "sub");
        std::ofstream(t.File("sub/x.bin")) << "data";
        EXPECT_EQ(fs::status(kept).permissions() & fs::perms::others_all, fs::perms::none);
    }
    EXPECT_FALSE(fs::exists(kept));
}

TEST(WriteFileAtomic, ReplacesTheTargetAndLeavesNoTemporaryFiles) {
    TestFolder dir;
    dir.Write("a.bin", "old");
    ASSERT_TRUE(WriteFileAtomic(dir / "a.bin", std::string("new contents")));
    EXPECT_EQ(dir.Read("a.bin"), "new contents");
    int files = 0;
    for ([[maybe_unused]] auto& e : fs::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 1);
}

TEST(WriteFileAtomic, NewFilesFollowTheUmaskAndReplacedFilesKeepTheirMode) {
    TestFolder dir;
    const mode_t before = ::umask(027);
    ASSERT_TRUE(WriteFileAtomic(dir / "new.bin", std::string("x")));
    dir.Write("kept.bin", "old");
    fs::permissions(dir / "kept.bin", fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    ASSERT_TRUE(WriteFileAtomic(dir / "kept.bin", std::string("y")));
    ::umask(before);
    EXPECT_EQ(fs::status(dir / "new.bin").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(fs::status(dir / "kept.bin").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
}

TEST(WriteFileAtomic, FailureLeavesTheOldFile) {
    TestFolder dir;
    dir.Write("a.bin", "old");
    // The target is a folder that cannot be replaced by a file.
    fs::create_directories(dir / "folder" / "inside");
    EXPECT_FALSE(WriteFileAtomic(dir / "folder", std::string("x")));
    EXPECT_TRUE(fs::is_directory(dir / "folder" / "inside"));
    EXPECT_FALSE(WriteFileAtomic(dir / "missing" / "a.bin", std::string("x")));
    EXPECT_EQ(dir.Read("a.bin"), "old");
    auto bytes = ReadFileBytes(dir / "a.bin");
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), 3u);
    EXPECT_FALSE(ReadFileBytes(dir / "nothing"));
}

TEST(AppHome, EnvironmentWinsAndIsSeededWithoutOverwriting) {
    TestFolder dir;
    // A fake installed tree: <prefix>/bin/program and <prefix>/share/corvantine/...
    fs::create_directories(dir / "prefix/bin");
    fs::create_directories(dir / "prefix/share/corvantine/lib");
    dir.Write("prefix/share/corvantine/Led Conf.ldc", "[Main]\nRows=10\n");
    dir.Write("prefix/share/corvantine/lib/PinSet.pet", "pins");
    fs::create_directories(dir / "home");
    dir.Write("home/Led Conf.ldc", "[Main]\nRows=99\n");

    ::setenv("CORVANTINE_HOME", (dir / "home").c_str(), 1);
    fs::path home = ResolveAppHome(dir / "prefix/bin");
    ::unsetenv("CORVANTINE_HOME");

    EXPECT_EQ(home, dir / "home");
    EXPECT_EQ(dir.Read("home/Led Conf.ldc"), "[Main]\nRows=99\n");  // the user's file stays
    EXPECT_EQ(dir.Read("home/lib/PinSet.pet"), "pins");             // missing ones arrive
}

TEST(AppHome, WritableProgramFolderIsTheHomeOnlyWhenMarkedPortable) {
    TestFolder dir;
    fs::create_directories(dir / "bin");
    fs::create_directories(dir / "user");
    ::unsetenv("CORVANTINE_HOME");
    const std::string oldXdg = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
    ::setenv("XDG_DATA_HOME", (dir / "user").c_str(), 1);
    // An installed program in a folder root may write to: the user's data folder, not bin/.
    EXPECT_EQ(ResolveAppHome(dir / "bin"), dir / "user" / "corvantine");
    dir.Write(std::string("bin/") + kPortableMarker, "");
    EXPECT_EQ(ResolveAppHome(dir / "bin"), dir / "bin");
    if (oldXdg.empty()) {
        ::unsetenv("XDG_DATA_HOME");
    } else {
        ::setenv("XDG_DATA_HOME", oldXdg.c_str(), 1);
    }
}

TEST(Random, SameSeedSameBytesAndBoundsHold) {
    Random a(42), b(42), c(43);
    std::vector<std::uint8_t> x(37), y(37), z(37);
    a.Fill(x);
    b.Fill(y);
    c.Fill(z);
    EXPECT_EQ(x, y);
    EXPECT_NE(x, z);
    std::set<std::uint32_t> seen;
    for (int i = 0; i < 1000; ++i) {
        auto v = a.Below(7);
        ASSERT_LT(v, 7u);
        seen.insert(v);
    }
    EXPECT_EQ(seen.size(), 7u);
    EXPECT_EQ(a.Below(0), 0u);
}
