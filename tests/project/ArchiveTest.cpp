#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "TestHome.h"
#include "base/FileUtil.h"
#include "formats/Archive.h"

using namespace corv;
using corv::test::TestFolder;
namespace fs = std::filesystem;

namespace {
const fs::path kRarData = fs::path(CORV_TEST_DATA) / "rar";

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool HaveTool(const char* name) {
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}
}  // namespace

TEST(Archive, ReadsRar4CompressedAndDropsPathsLinksAndFolders) {
    TestFolder out;
    ExtractResult r = ExtractArchive(kRarData / "test_read_format_rar.rar", out.path());
    ASSERT_TRUE(r.ok) << r.error;
    // test.txt and testdir/test.txt both land as test.txt (the later one replaces the first).
    EXPECT_EQ(r.files, (std::vector<std::string>{"test.txt", "test.txt"}));
    EXPECT_EQ(fs::file_size(out / "test.txt"), 20u);
    EXPECT_FALSE(fs::exists(out / "testlink"));
    EXPECT_FALSE(fs::exists(out / "testdir"));
    EXPECT_FALSE(fs::exists(out / "testemptydir"));
    EXPECT_TRUE(IsRarFile(kRarData / "test_read_format_rar.rar"));
}

TEST(Archive, ReadsRar4UnicodeNames) {
    TestFolder out;
    ExtractResult r = ExtractArchive(kRarData / "test_read_format_rar_unicode.rar", out.path());
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(fs::exists(out / "abcdefghijklmnopqrsテスト.txt"));
    EXPECT_EQ(fs::file_size(out / "abcdefghijklmnopqrsテスト.txt"), 16u);
}

TEST(Archive, ReadsRar5StoredAndCompressed) {
    TestFolder out;
    ASSERT_TRUE(ExtractArchive(kRarData / "test_read_format_rar5_stored.rar", out.path()).ok);
    EXPECT_EQ(out.Read("helloworld.txt"), "hello libarchive test suite!\n");
    ASSERT_TRUE(ExtractArchive(kRarData / "test_read_format_rar5_compressed.rar", out.path()).ok);
    EXPECT_EQ(fs::file_size(out / "test.bin"), 1200u);
    ExtractResult multi = ExtractArchive(kRarData / "test_read_format_rar5_multiple_files.rar", out.path());
    ASSERT_TRUE(multi.ok) << multi.error;
    EXPECT_EQ(multi.files.size(), 4u);
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(fs::file_size(out / ("test" + std::to_string(i) + ".bin")), 4096u);
    }
    auto list = ListArchive(kRarData / "test_read_format_rar5_multiple_files.rar");
    ASSERT_TRUE(list);
    EXPECT_EQ(list->size(), 4u);
}

TEST(Archive, BrokenArchivesAreRefusedCleanly) {
    TestFolder out;
    ExtractResult r = ExtractArchive(kRarData / "test_read_format_rar5_truncated_huff.rar", out.path());
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
    out.Write("plain.txt", "not an archive");
    EXPECT_FALSE(ExtractArchive(out / "plain.txt", out.path()).ok);
    EXPECT_FALSE(IsRarFile(out / "plain.txt"));
    // Every truncation of a valid archive fails or extracts without crashing.
    const std::string whole = Slurp(kRarData / "test_read_format_rar5_compressed.rar");
    for (std::size_t n = 0; n < whole.size(); n += 7) {
        out.Write("cut.rar", whole.substr(0, n));
        ExtractResult cut = ExtractArchive(out / "cut.rar", out / "x");
        EXPECT_FALSE(cut.ok && !cut.files.empty() && fs::file_size(out / "x" / "test.bin") != 1200u) << n;
    }
}

TEST(Archive, OwnStoredArchiveRoundTripsAndNeverWritesOutsideTheFolder) {
    TestFolder dir;
    std::string payload(100000, '\0');
    for (std::size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<char>(i * 31 + 7);
    dir.Write("doc.bin", payload);
    ASSERT_TRUE(WriteStoredRar(dir / "a.rar", dir / "doc.bin", "Corvantinev.cvn"));
    EXPECT_TRUE(IsRarFile(dir / "a.rar"));
    fs::create_directories(dir / "out");
    dir.Write("out/Corvantinev.cvn", "older copy");
    ExtractResult r = ExtractArchive(dir / "a.rar", dir / "out");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(dir.Read("out/Corvantinev.cvn"), payload);  // replaced without asking

    // Names that climb out of the destination are cut to their last component.
    ASSERT_TRUE(WriteStoredRar(dir / "evil.rar", dir / "doc.bin", "../../escaped.txt"));
    fs::create_directories(dir / "deep/out");
    ASSERT_TRUE(ExtractArchive(dir / "evil.rar", dir / "deep/out").ok);
    EXPECT_TRUE(fs::exists(dir / "deep/out/escaped.txt"));
    EXPECT_FALSE(fs::exists(dir / "escaped.txt"));
    EXPECT_FALSE(fs::exists(dir / "deep/escaped.txt"));
    ASSERT_TRUE(WriteStoredRar(dir / "win.rar", dir / "doc.bin", "..\\..\\win.txt"));
    ASSERT_TRUE(ExtractArchive(dir / "win.rar", dir / "deep/out").ok);
    EXPECT_TRUE(fs::exists(dir / "deep/out/win.txt"));

    // A link in the destination is replaced, not followed.
    dir.Write("victim.txt", "untouched");
    fs::create_symlink(dir / "victim.txt", dir / "deep/out/Corvantinev.cvn");
    ASSERT_TRUE(ExtractArchive(dir / "a.rar", dir / "deep/out").ok);
    EXPECT_EQ(dir.Read("victim.txt"), "untouched");
    EXPECT_FALSE(fs::is_symlink(dir / "deep/out/Corvantinev.cvn"));
}

TEST(Archive, DamagedEntryDataFailsItsCrc) {
    // Stored entries are read without a check by the archive library: one flipped byte would
    // extract a different document. The CRC each header stores is compared.
    TestFolder dir;
    auto flipped = [&](const fs::path& from, const std::string& name, const std::string& marker) {
        auto bytes = *ReadFileBytes(from);
        const std::string text(bytes.begin(), bytes.end());
        const auto at = text.find(marker);
        EXPECT_NE(at, std::string::npos);
        bytes[at] ^= 0x01;
        EXPECT_TRUE(WriteFileAtomic(dir / name, bytes));
        return dir / name;
    };
    fs::create_directories(dir / "out");
    const fs::path rar5 = flipped(kRarData / "test_read_format_rar5_stored.rar", "bad5.rar", "hello libarchive");
    ExtractResult r = ExtractArchive(rar5, dir / "out");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("CRC error in \"helloworld.txt\""), std::string::npos) << r.error;
    EXPECT_FALSE(fs::exists(dir / "out" / "helloworld.txt"));  // nothing damaged is left behind

    dir.Write("doc.bin", "a document of our own, stored in our own archive");
    ASSERT_TRUE(WriteStoredRar(dir / "own.rar", dir / "doc.bin", "Corvantinev.cvn"));
    ASSERT_TRUE(ExtractArchive(dir / "own.rar", dir / "out").ok);
    const fs::path rar4 = flipped(dir / "own.rar", "bad4.rar", "stored in our own");
    r = ExtractArchive(rar4, dir / "out");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("CRC error"), std::string::npos) << r.error;
    EXPECT_EQ(dir.Read("out/Corvantinev.cvn"), "a document of our own, stored in our own archive");
}

TEST(Archive, OwnArchiveOpensInOtherTools) {
    if (!HaveTool("bsdtar") || !HaveTool("unrar-free")) {
        GTEST_SKIP() << "bsdtar or unrar-free missing (tools/install-deps.sh installs them)";
    }
    TestFolder dir;
    dir.Write("doc.bin", std::string(70000, 'x') + "end");
    ASSERT_TRUE(WriteStoredRar(dir / "a.rar", dir / "doc.bin", "Corvantinev.cvn"));
    fs::create_directories(dir / "bsd");
    fs::create_directories(dir / "free");
    const std::string q = "'";
    ASSERT_EQ(std::system(("bsdtar -xf " + q + (dir / "a.rar").string() + q + " -C " + q + (dir / "bsd").string() +
                           q)
                              .c_str()),
              0);
    EXPECT_EQ(dir.Read("bsd/Corvantinev.cvn"), dir.Read("doc.bin"));
    ASSERT_EQ(std::system(("unrar-free -x " + q + (dir / "a.rar").string() + q + " " + q + (dir / "free").string() +
                           "/" + q + " >/dev/null")
                              .c_str()),
              0);
    EXPECT_EQ(dir.Read("free/Corvantinev.cvn"), dir.Read("doc.bin"));
}

TEST(Archive, OutsideArchiverGetsAnArgumentListAndFailuresFallBack) {
    TestFolder dir;
    dir.Write("doc.bin", "document bytes");
    ASSERT_TRUE(WriteStoredRar(dir / "made-elsewhere.rar", dir / "doc.bin", "Corvantinev.cvn"));
    // A stand-in archiver that records its arguments and leaves a ready archive where asked.
    const fs::path log = dir / "args.txt";
    dir.Write("rar", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\" >> '" + log.string() + "'; done\n"
                     "eval last=\\${$(($#-1))}\ncp '" + (dir / "made-elsewhere.rar").string() + "' \"$last\"\n");
    fs::permissions(dir / "rar", fs::perms::owner_all);
    // A target with a blank and a quote: no shell ever sees it.
    const fs::path target = dir / "my \"show\".rar";
    ASSERT_TRUE(AddToArchive(target, dir / "doc.bin", "Corvantinev.cvn", dir / "rar"));
    const std::string args = dir.Read("args.txt");
    EXPECT_EQ(args.substr(0, args.find("/")), "a\n-o+\n-as\n-ep\n-idq\n");
    EXPECT_NE(args.find("/Corvantinev.cvn\n"), std::string::npos);
    EXPECT_EQ(dir.Read("my \"show\".rar"), dir.Read("made-elsewhere.rar"));

    // An archiver that fails: our own writer takes over.
    dir.Write("false-rar", "#!/bin/sh\nexit 3\n");
    fs::permissions(dir / "false-rar", fs::perms::owner_all);
    fs::remove(target);
    ASSERT_TRUE(AddToArchive(target, dir / "doc.bin", "Corvantinev.cvn", dir / "false-rar"));
    TestFolder out;
    ASSERT_TRUE(ExtractArchive(target, out.path()).ok);
    EXPECT_EQ(out.Read("Corvantinev.cvn"), "document bytes");
    // Nothing left behind beside the target.
    for (auto& e : fs::directory_iterator(dir.path())) {
        EXPECT_EQ(e.path().filename().string().find(".corvantine-rar"), std::string::npos);
    }
    EXPECT_EQ(RunProgram(dir / "no-such-program", {}), -1);
}
