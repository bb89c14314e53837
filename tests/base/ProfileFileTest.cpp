#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
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

// Lines the reader has always treated in its own way: a byte order mark, mixed line ends,
// keys before any section, comments holding '=', a header without ']', blanks inside names,
// empty names, quotes that do not match, a header that ends a section early, a repeated section
// in other letters, control bytes, no line end at the end.
TEST(ProfileFile, TrickyLinesReadAsAlways) {
    TestFolder dir;
    const std::string text =
        "\xEF\xBB\xBF"
        "Loose=1\r\n"
        "[ Main ]trailing\r\n"
        "; Hidden=2\r\n"
        "  ;Hidden2=3\n"
        " Spaced Key  =  \"quoted value\"  \r\n"
        "Half='open\n"
        "Mixed=\"a'\n"
        "Single='b'\n"
        "=nameless\n"
        "NoEquals\n"
        "   \t\n"
        "Dup=first\n"
        "dup=second\n"
        "Tab\t=\tx\t\n"
        "Ctl=\x01\x02\n"
        "Num= 12abc \n"
        "[Open\n"
        "InOpen=yes\n"
        "[]\n"
        "InEmpty=e\n"
        "[MAIN]\n"
        "Later=no\n"
        "[Last]\n"
        "End=z";
    dir.Write("t.ini", text);
    ProfileFile main(dir / "t.ini", "main");
    EXPECT_EQ(main.Sections(), (std::vector<std::string>{"Main", "Open", "", "MAIN", "Last"}));
    EXPECT_EQ(main.Keys(), (std::vector<std::string>{"Spaced Key", "Half", "Mixed", "Single", "", "Dup", "dup", "Tab", "Ctl", "Num"}));
    EXPECT_EQ(main.GetString("spaced key"), "quoted value");
    EXPECT_EQ(main.GetString("  SPACED KEY "), "quoted value");  // the name asked for is trimmed too
    EXPECT_EQ(main.GetString("Half"), "'open");
    EXPECT_EQ(main.GetString("Mixed"), "\"a'");
    EXPECT_EQ(main.GetString("Single"), "b");
    EXPECT_EQ(main.GetString("DUP"), "first");
    EXPECT_EQ(main.GetString("Tab"), "x");
    EXPECT_EQ(main.GetString("Ctl"), "\x01\x02");
    EXPECT_EQ(main.GetInt("Num", 5), 12);
    EXPECT_FALSE(main.HasKey("Hidden"));
    EXPECT_FALSE(main.HasKey("Hidden2"));
    EXPECT_FALSE(main.HasKey("NoEquals"));
    EXPECT_FALSE(main.HasKey("Loose"));
    EXPECT_FALSE(main.HasKey("Later"));  // in the repeated section
    EXPECT_FALSE(main.HasKey(""));       // a nameless key is listed but never found
    EXPECT_EQ(main.GetString("", "d"), "d");
    EXPECT_FALSE(main.HasKey("InOpen"));
    EXPECT_EQ(main.Values(), (std::map<std::string, std::string>{{"spaced key", "quoted value"}, {"half", "'open"},
                                                                  {"mixed", "\"a'"}, {"single", "b"}, {"", "nameless"},
                                                                  {"dup", "first"}, {"tab", "x"}, {"ctl", "\x01\x02"},
                                                                  {"num", "12abc"}}));
    EXPECT_EQ(main.InSection(" open ").GetString("InOpen"), "yes");
    EXPECT_EQ(ProfileFile(dir / "t.ini", "").GetString("InEmpty"), "e");
    EXPECT_EQ(main.InSection("last").GetString("end"), "z");
    EXPECT_TRUE(main.InSection("Nowhere").Keys().empty());
    EXPECT_EQ(main.InSection("Nowhere").GetInt("End", 4), 4);
}

// The index is read once, yet every change of the file is seen: a write through another
// object, a rewrite of the same length a moment later, a removal.
TEST(ProfileFile, ChangesOfTheFileAreSeen) {
    TestFolder dir;
    dir.Write("c.ini", "[Main]\nA=1\nB=2\n");
    ProfileFile reader(dir / "c.ini", "Main");
    EXPECT_EQ(reader.GetInt("A", 0), 1);
    ProfileFile writer(dir / "c.ini", "Main");
    ASSERT_TRUE(writer.WriteInt("A", 7));
    EXPECT_EQ(reader.GetInt("A", 0), 7);
    ASSERT_TRUE(writer.InSection("Other").WriteString("C", "x"));
    EXPECT_EQ(reader.InSection("Other").GetString("C"), "x");
    // Same length, same file, written straight away: the file time may not move.
    dir.Write("c.ini", "[Main]\nA=3\nB=2\n");
    EXPECT_EQ(reader.GetInt("A", 0), 3);
    dir.Write("c.ini", "[Main]\nA=4\nB=2\n");
    EXPECT_EQ(reader.GetInt("A", 0), 4);
    std::filesystem::remove(dir / "c.ini");
    EXPECT_EQ(reader.GetInt("A", 9), 9);
    EXPECT_TRUE(reader.Sections().empty());
    dir.Write("c.ini", "[Main]\nA=5\n");
    EXPECT_EQ(reader.GetInt("A", 0), 5);
}

// A file stamped in the future (a clock stepped back, a file from a machine whose clock ran
// ahead) is read once, and a later rewrite, which gets a time of about now, is still seen.
TEST(ProfileFile, AFileFromTheFutureIsReadOnceAndItsChangesSeen) {
    TestFolder dir;
    dir.Write("c.ini", "[Main]\nA=1\n");
    const auto future = std::filesystem::file_time_type::clock::now() + std::chrono::hours(1);
    std::filesystem::last_write_time(dir / "c.ini", future);
    ProfileFile reader(dir / "c.ini", "Main");
    EXPECT_EQ(reader.GetInt("A", 0), 1);
    EXPECT_EQ(reader.GetInt("A", 0), 1);
    dir.Write("c.ini", "[Main]\nA=2\n");  // same length, new time
    EXPECT_EQ(reader.GetInt("A", 0), 2);
}

// A file of many sections and keys: every key of every section is found with its own value.
TEST(ProfileFile, EveryKeyOfALargeFileIsFound) {
    TestFolder dir;
    std::string text = "[Main]\nNumber=20000\n";
    for (int i = 1; i <= 20000; ++i) text += "Name" + std::to_string(i) + "=n" + std::to_string(i * 7) + "\n";
    for (int s = 0; s < 500; ++s) {
        text += "[S" + std::to_string(s) + "]\n";
        for (int k = 0; k < 20; ++k) text += "K" + std::to_string(k) + "=" + std::to_string(s * 100 + k) + "\n";
    }
    dir.Write("big.ini", text);
    ProfileFile main(dir / "big.ini", "Main");
    EXPECT_EQ(main.GetInt("Number", 0), 20000);
    int found = 0;
    for (int i = 1; i <= 20000; ++i) found += main.GetString("name" + std::to_string(i)) == "n" + std::to_string(i * 7);
    EXPECT_EQ(found, 20000);
    EXPECT_FALSE(main.HasKey("Name20001"));
    int values = 0;
    for (int s = 0; s < 500; ++s) {
        const ProfileFile section = main.InSection("s" + std::to_string(s));
        for (int k = 0; k < 20; ++k) values += section.GetInt("K" + std::to_string(k), -1) == s * 100 + k;
    }
    EXPECT_EQ(values, 500 * 20);
    EXPECT_EQ(main.Sections().size(), 501u);
}

// What reads as a profile file: text of sections and keys, nothing else.
TEST(ProfileFile, WhatReadsAsAProfile) {
    EXPECT_EQ(ProfileFile::ProfileSections("[Main]\r\nRows=24\r\n\r\n[AVIOption]\r\nRate=25\r\n"), 2u);
    EXPECT_EQ(ProfileFile::ProfileSections("\xEF\xBB\xBF; made by hand\n\n  [Main] ; the settings\n key = value \n=\n"), std::nullopt);  // a key without a name
    EXPECT_EQ(ProfileFile::ProfileSections("\xEF\xBB\xBF; made by hand\n\n  [Main] ; the settings\n key = value \nEmpty=\n"), 1u);
    EXPECT_EQ(ProfileFile::ProfileSections("[Main]\nLineFile=D:\\\xB5\xC6\xBE\xDF.lnf\n"), 1u);  // a legacy code page
    EXPECT_EQ(ProfileFile::ProfileSections(""), 0u);
    EXPECT_EQ(ProfileFile::ProfileSections("; only a comment\n\n"), 0u);
    EXPECT_EQ(ProfileFile::ProfileSections("Rows=24\n[Main]\n"), std::nullopt);       // a key before any section
    EXPECT_EQ(ProfileFile::ProfileSections("[Main\nRows=24\n"), std::nullopt);        // a header not closed
    EXPECT_EQ(ProfileFile::ProfileSections("[Main] junk\nRows=24\n"), std::nullopt);  // text after a header
    EXPECT_EQ(ProfileFile::ProfileSections("[Main]\nnot a key\n"), std::nullopt);
    EXPECT_EQ(ProfileFile::ProfileSections(std::string("[Main]\nA=1\n\0\0", 13)), std::nullopt);
    EXPECT_EQ(ProfileFile::ProfileSections("[Main]\nA=\x01\x02\n"), std::nullopt);
    EXPECT_EQ(ProfileFile::ProfileSections("\x7F" "ELF\x02\x01\x01"), std::nullopt);
    EXPECT_EQ(ProfileFile::ProfileSections("just some words\n"), std::nullopt);
}
