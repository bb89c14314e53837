#include <gtest/gtest.h>

#include "TestHome.h"
#include "base/FileUtil.h"
#include "lang/Language.h"
#include "layout/DisplayModule.h"

using namespace corv;
using corv::test::TestFolder;

namespace {
DisplayModule Module(const std::string& name, std::uint16_t w, std::uint16_t h, std::vector<std::uint32_t> offsets) {
    DisplayModule m;
    m.name = name;
    m.width = w;
    m.height = h;
    m.offsets = std::move(offsets);
    return m;
}
}  // namespace

TEST(DisplayModule, OneByteFileGivesOnlySinglePixel) {
    TestFolder dir;
    dir.Write("m.mde", std::string(1, '\0'));
    ModuleList list;
    list.Load(dir / "m.mde");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.DisplayName(0, kLanguageEnglish), "Single pixel");
    EXPECT_EQ(list.DisplayName(0, kLanguageSimplified), "单点");
    EXPECT_EQ(list.modules()[0].offsets, (std::vector<std::uint32_t>{0}));
    list.Load(dir / "missing.mde");
    EXPECT_EQ(list.size(), 1u);
}

TEST(DisplayModule, NamesAreCutTo15AndRecordsHaveTheirSize) {
    TestFolder dir;
    RecordingPrompt prompt;
    const UiStrings strings = LoadUiStrings(kLanguageEnglish);
    ModuleList list;
    EXPECT_EQ(list.Add(Module("EighteenCharacters", 2, 1, {0, 1}), dir / "m.mde", prompt, strings, 3),
              ModuleList::AddResult::Added);
    EXPECT_EQ(list.modules()[1].name, "EighteenCharact");
    EXPECT_EQ(list.current(), 1);
    list.Add(Module("empty", 1, 1, {}), dir / "m.mde", prompt, strings, 3);
    const auto bytes = *ReadFileBytes(dir / "m.mde");
    EXPECT_EQ(bytes.size(), 1u + (22 + 8) + 22);  // a module of count 0 is a 22-byte record
    ModuleList back;
    back.Load(dir / "m.mde");
    ASSERT_EQ(back.size(), 3u);
    EXPECT_EQ(back.modules()[1].offsets, (std::vector<std::uint32_t>{0, 1}));
    // A record cut short ends the list and is dropped.
    auto cut = bytes;
    cut.resize(cut.size() - 3);
    ASSERT_TRUE(WriteFileAtomic(dir / "cut.mde", cut));
    back.Load(dir / "cut.mde");
    EXPECT_EQ(back.size(), 2u);
}

TEST(DisplayModule, SameNameAndSameShapeQuestions) {
    TestFolder dir;
    const UiStrings strings = LoadUiStrings(kLanguageEnglish);
    ModuleList list;
    RecordingPrompt prompt;
    list.Add(Module("zig", 2, 2, {0, 1, 0x10001, 0x10000}), dir / "m.mde", prompt, strings, 3);
    // Same name: No refuses, Yes replaces the shape.
    prompt.Script(Answer::No);
    EXPECT_EQ(list.Add(Module("zig", 1, 2, {0, 0x10000}), dir / "m.mde", prompt, strings, 3),
              ModuleList::AddResult::Refused);
    EXPECT_EQ(prompt.questions().back(), "This module name already exists, is it covered?");
    prompt.Script(Answer::Yes);
    EXPECT_EQ(list.Add(Module("zig", 1, 2, {0, 0x10000}), dir / "m.mde", prompt, strings, 3),
              ModuleList::AddResult::Replaced);
    EXPECT_EQ(list.modules()[1].height, 2);
    EXPECT_EQ(list.modules()[1].width, 1);
    // Same shape under another name: No leaves the list, Yes renames.
    prompt.Script(Answer::No);
    EXPECT_EQ(list.Add(Module("other", 1, 2, {0, 0x10000}), dir / "m.mde", prompt, strings, 3),
              ModuleList::AddResult::Unchanged);
    EXPECT_EQ(prompt.questions().back(), "This module with the same module zig, would retain its name?");
    EXPECT_EQ(list.size(), 2u);
    prompt.Script(Answer::Yes);
    EXPECT_EQ(list.Add(Module("other", 1, 2, {0, 0x10000}), dir / "m.mde", prompt, strings, 3),
              ModuleList::AddResult::Renamed);
    EXPECT_EQ(list.modules()[1].name, "other");
    ModuleList back;
    back.Load(dir / "m.mde");
    EXPECT_EQ(back.modules()[1].name, "other");
}

TEST(DisplayModule, ImportTwiceAddsOnceAndDeleteRewrites) {
    TestFolder dir;
    const UiStrings strings = LoadUiStrings(kLanguageEnglish);
    RecordingPrompt prompt;
    ModuleList source;
    source.Add(Module("a", 2, 1, {0, 1}), dir / "src.mde", prompt, strings, 3);
    source.Add(Module("b", 1, 2, {0, 0x10000}), dir / "src.mde", prompt, strings, 3);
    ASSERT_TRUE(source.Export(dir / "exported.mde"));
    EXPECT_EQ(*ReadFileBytes(dir / "exported.mde"), *ReadFileBytes(dir / "src.mde"));

    ModuleList list;
    EXPECT_EQ(list.Import(dir / "exported.mde"), 2);
    EXPECT_EQ(list.Import(dir / "exported.mde"), 0);
    EXPECT_EQ(list.size(), 3u);
    EXPECT_FALSE(list.Delete(0, dir / "mine.mde"));
    EXPECT_TRUE(list.Delete(1, dir / "mine.mde"));
    EXPECT_EQ(list.current(), 0);
    ModuleList back;
    back.Load(dir / "mine.mde");
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back.modules()[1].name, "b");
}
