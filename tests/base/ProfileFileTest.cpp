#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "TestHome.h"
#include "base/ProfileFile.h"

using namespace corv;
using corv::test::TestFolder;

TEST(ProfileFile, MissingFileGivesDefaultsAndFirstWriteCreatesIt) {
    TestFolder dir;
    ProfileFile f(dir / "conf.ldc", "Main");
    EXPECT_EQ(f.GetInt("Rows", 48), 48);
    EXPECT_EQ(f.GetString("LineFile", "none"), "none");
    EXPECT_FALSE(f.HasKey("Rows"));
    ASSERT_TRUE(f.WriteInt("Rows", 24));
    EXPECT_EQ(dir.Read("conf.ldc"), "[Main]\r\nRows=24\r\n");
    EXPECT_EQ(f.GetInt("Rows", 48), 24);
}

TEST(ProfileFile, SectionsAndKeysAreCaseInsensitiveAndValuesTrimmed) {
    TestFolder dir;
    dir.Write("c.ini", "[main]\nROWS =  17  \n LineFile = \"C:\\a b.lnf\" \n[Other]\nRows=5\n");
    ProfileFile f(dir / "c.ini", "MAIN");
    EXPECT_EQ(f.GetInt("rows", 0), 17);
    EXPECT_EQ(f.GetString("linefile"), "C:\\a b.lnf");
    EXPECT_EQ(ProfileFile(dir / "c.ini", "other").GetInt("Rows", 0), 5);
    EXPECT_EQ(f.Sections(), (std::vector<std::string>{"main", "Other"}));
    EXPECT_EQ(f.Keys(), (std::vector<std::string>{"ROWS", "LineFile"}));
}

TEST(ProfileFile, IntegersAreDecimalWithProfileRules) {
    EXPECT_EQ(ProfileFile::ParseInt("42"), 42);
    EXPECT_EQ(ProfileFile::ParseInt("-7"), -7);
    EXPECT_EQ(ProfileFile::ParseInt("+8"), 8);
    EXPECT_EQ(ProfileFile::ParseInt("12abc"), 12);
    EXPECT_EQ(ProfileFile::ParseInt("abc"), 0);
    EXPECT_EQ(ProfileFile::ParseInt("0x10"), 0);  // decimal only
    EXPECT_EQ(ProfileFile::ParseInt("4294967295"), -1);  // a 32-bit word

    TestFolder dir;
    dir.Write("c.ini", "[Main]\nEmpty=\nText=abc\n");
    ProfileFile f(dir / "c.ini", "Main");
    EXPECT_EQ(f.GetInt("Empty", 9), 9);  // empty value: the default
    EXPECT_EQ(f.GetInt("Text", 9), 0);   // present but not a number: 0
}

TEST(ProfileFile, StringsAreReadThroughA500ByteBuffer) {
    TestFolder dir;
    ProfileFile f(dir / "c.ini", "Main");
    ASSERT_TRUE(f.WriteString("Long", std::string(800, 'x')));
    EXPECT_EQ(f.GetString("Long").size(), 499u);
    // A cut never leaves half a character: 250 two-byte characters = 500 bytes.
    std::string wide;
    for (int i = 0; i < 250; ++i) wide += "\xC3\xA9";
    ASSERT_TRUE(f.WriteString("Wide", wide));
    EXPECT_EQ(f.GetString("Wide").size(), 498u);
}

TEST(ProfileFile, WritesKeepOtherContentAndLineEndings) {
    TestFolder dir;
    dir.Write("c.ini", "; settings\n[Main]\nrows=1\n\n[AVIOption]\nRate=25\n");
    ProfileFile f(dir / "c.ini", "Main");
    ASSERT_TRUE(f.WriteInt("Rows", 2));     // existing key keeps its spelling
    ASSERT_TRUE(f.WriteInt("cols", 3));     // new key goes at the end of its section
    ProfileFile g(dir / "c.ini", "New");
    ASSERT_TRUE(g.WriteString("A", "b"));   // new section at the end
    EXPECT_EQ(dir.Read("c.ini"), "; settings\n[Main]\nrows=2\ncols=3\n\n[AVIOption]\nRate=25\n\n[New]\nA=b\n");
}

TEST(ProfileFile, FirstOfDuplicateSectionsAndKeysWins) {
    TestFolder dir;
    dir.Write("c.ini", "[Main]\nA=1\nA=2\n[Main]\nA=3\nB=4\n");
    ProfileFile f(dir / "c.ini", "Main");
    EXPECT_EQ(f.GetInt("A", 0), 1);
    EXPECT_EQ(f.GetInt("B", 7), 7);  // B lives in the second, ignored copy
    EXPECT_FALSE(f.HasKey("B"));
}

TEST(ProfileFile, ReadOnlyFileIsNotChanged) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes read-only files";
    }
    TestFolder dir;
    auto p = dir.Write("c.ini", "[Main]\nA=1\n");
    std::filesystem::permissions(p, std::filesystem::perms::owner_read);
    ProfileFile f(p, "Main");
    EXPECT_FALSE(f.WriteInt("A", 2));
    EXPECT_EQ(f.GetInt("A", 0), 1);
}
