#include <gtest/gtest.h>

#include <fstream>

#include "base/FileUtil.h"
#include "base/TempDir.h"
#include "content/ColourList.h"

using namespace corv;

TEST(ColourList, GradeAndFixedTransitions) {
    ColourList list;
    list.AddColour(0x000000, ColourTransition::Grade, 8);
    EXPECT_EQ(list.count(), 1u);  // the first colour alone
    list.AddColour(0xFFFFFF, ColourTransition::Grade, 8);
    ASSERT_EQ(list.count(), 33u);  // white after black at grade 8: 32 more, the last white
    EXPECT_EQ(list.colours().back(), 0xFFFFFFu);
    EXPECT_EQ(list[1], MakeListColour(7, 7, 7));  // 255 * 1 / 32, truncated
    list.AddColour(0xFFFFFF, ColourTransition::Grade, 8);
    EXPECT_EQ(list.count(), 33u);  // the same colour again: d = 0 adds nothing
    list.AddColour(0xFFFFFF, ColourTransition::Fixed, 16);
    EXPECT_EQ(list.count(), 49u);  // fixed mode adds its 16 even between equal colours
    // Going down: the steps truncate toward zero and still end exactly on the colour.
    ColourList down;
    down.AddColour(MakeListColour(10, 0, 200), ColourTransition::Fixed, 3);
    down.AddColour(MakeListColour(0, 5, 100), ColourTransition::Fixed, 3);
    ASSERT_EQ(down.count(), 4u);
    EXPECT_EQ(down[1], MakeListColour(10 - 10 / 3, 5 / 3, 200 - 100 / 3));
    EXPECT_EQ(down[3], MakeListColour(0, 5, 100));
    // Grade rounds to the nearest step count; grade 0 counts as 1.
    ColourList g;
    g.AddColour(0, ColourTransition::Grade, 0);
    g.AddColour(MakeListColour(3, 0, 0), ColourTransition::Grade, 0);
    EXPECT_EQ(g.count(), 4u);
    ColourList r;
    r.AddColour(0, ColourTransition::Grade, 8);
    r.AddColour(MakeListColour(3, 0, 0), ColourTransition::Grade, 8);  // (3 + 4) / 8 = 0
    EXPECT_EQ(r.count(), 1u);
}

TEST(ColourList, CapacityDeletingAndThePickerOrder) {
    ColourList list;
    EXPECT_EQ(list.capacity(), 256u);
    list.AddColour(0, ColourTransition::Fixed, 256);
    list.AddColour(0xFFFFFF, ColourTransition::Fixed, 256);
    EXPECT_EQ(list.count(), 257u);
    EXPECT_EQ(list.capacity(), 512u);  // whole blocks of 256
    list.Select(300);
    EXPECT_EQ(list.selected(), 256);   // kept inside the list
    list.Select(10);
    list.KeepUpToSelected();           // Ctrl + Delete
    EXPECT_EQ(list.count(), 11u);
    list.RemoveSelected();             // Shift + Delete
    EXPECT_EQ(list.count(), 10u);
    EXPECT_EQ(list.selected(), 9);
    list.DeleteLast();
    EXPECT_EQ(list.count(), 9u);
    EXPECT_EQ(list.selected(), 8);
    list.Clear();
    list.DeleteLast();  // nothing on an empty list
    list.RemoveSelected();
    list.KeepUpToSelected();
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.selected(), 0);
    EXPECT_EQ(FromPickerOrder(0x00332211), MakeListColour(0x11, 0x22, 0x33));
    EXPECT_EQ(ToBgr(MakeListColour(1, 2, 3)), (Bgr{3, 2, 1}));
}

TEST(ColourList, TheRainbowHas192ColoursAtGrade8AndWraps) {
    const ColourList rainbow = ColourList::Rainbow();
    ASSERT_EQ(rainbow.count(), 192u);
    EXPECT_EQ(rainbow[0], 0xFF0000u);
    EXPECT_NE(rainbow.colours().back(), 0xFF0000u);  // no double red where it wraps
    EXPECT_EQ(rainbow[32], 0xFFFF00u);
    EXPECT_EQ(rainbow[64], 0x00FF00u);
    EXPECT_EQ(ColourList::Rainbow(32).count(), 48u);
}

TEST(ColourLibrary, CreateSaveLoadAndRemoveWithTheOffsetRewrite) {
    TempDir dir;
    const auto file = dir.path() / ColourLibrary::kFileName;
    ColourLibrary lib(file);
    ASSERT_TRUE(lib.Load());
    // A missing library is created: 800 bytes, 800 in the first four.
    auto bytes = ReadFileBytes(file);
    ASSERT_TRUE(bytes);
    ASSERT_EQ(bytes->size(), 800u);
    EXPECT_EQ((*bytes)[0] | ((*bytes)[1] << 8), 800);
    EXPECT_EQ(lib.ListCount(), 0);
    ASSERT_TRUE(lib.Append({0x112233, 0x445566}));
    ASSERT_TRUE(lib.Append({0x010203}));
    ASSERT_TRUE(lib.Append({0xAAAAAA, 0xBBBBBB, 0xCCCCCC}));
    bytes = ReadFileBytes(file);
    ASSERT_EQ(bytes->size(), 800u + 6 * 4);
    auto u32 = [&](std::size_t at) {
        return (*bytes)[at] | ((*bytes)[at + 1] << 8) | ((*bytes)[at + 2] << 16) | ((*bytes)[at + 3] << 24);
    };
    EXPECT_EQ(u32(4), 808);
    EXPECT_EQ(u32(8), 812);
    EXPECT_EQ(u32(12), 824);
    EXPECT_EQ(u32(16), 0);
    EXPECT_EQ((*bytes)[800], 0x33);  // blue, green, red, zero
    EXPECT_EQ((*bytes)[803], 0x00);
    // Read back by a fresh library.
    ColourLibrary again(file);
    ASSERT_TRUE(again.Load());
    ASSERT_EQ(again.ListCount(), 3);
    EXPECT_EQ(again.List(3), (std::vector<ListColour>{0xAAAAAA, 0xBBBBBB, 0xCCCCCC}));
    // Removing list 2: the third moves down and its end drops by the removed size.
    ASSERT_TRUE(again.Remove(2));
    bytes = ReadFileBytes(file);
    EXPECT_EQ(u32(4), 808);
    EXPECT_EQ(u32(8), 820);
    EXPECT_EQ(u32(12), 0);  // the last used slot is cleared
    EXPECT_EQ(again.List(2), (std::vector<ListColour>{0xAAAAAA, 0xBBBBBB, 0xCCCCCC}));
    // Removing the last list leaves the other offsets as they were.
    ASSERT_TRUE(again.Remove(2));
    bytes = ReadFileBytes(file);
    EXPECT_EQ(u32(4), 808);
    EXPECT_EQ(u32(8), 0);
    EXPECT_FALSE(again.Remove(5));
    EXPECT_FALSE(again.Append({}));
}

TEST(ColourLibrary, FullAndDamagedFilesAreRefusedWithoutLosingThem) {
    TempDir dir;
    const auto file = dir.path() / ColourLibrary::kFileName;
    ColourLibrary lib(file);
    ASSERT_TRUE(lib.Load());
    for (int i = 0; i < ColourLibrary::kMaxLists; ++i) ASSERT_TRUE(lib.Append({static_cast<ListColour>(i)}));
    const auto full = lib.Append({1});
    EXPECT_FALSE(full);  // 199 stored: a save does nothing
    EXPECT_NE(full.message().find("199"), std::string::npos);
    ColourLibrary reread(file);
    ASSERT_TRUE(reread.Load());
    EXPECT_EQ(reread.ListCount(), 199);
    EXPECT_EQ(reread.List(199), (std::vector<ListColour>{198}));

    // Every truncation of a valid file either reads or is refused, and the file stays.
    const auto good = ColourLibrary::Encode({{1, 2, 3}, {4, 5}});
    for (std::size_t n = 0; n < good.size(); ++n) {
        std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
        const auto lists = ColourLibrary::Decode(cut);
        // Short of the table, or the table names colours past the end: refused.
        EXPECT_FALSE(lists) << n;
    }
    std::vector<std::uint8_t> odd = good;
    odd[4] = 0x21;  // list 1 ends in the middle of a colour
    const auto damaged = dir.path() / "damaged.clb";
    ASSERT_TRUE(WriteFileAtomic(damaged, odd));
    ColourLibrary bad(damaged);
    const auto read = bad.Load();
    EXPECT_FALSE(read);
    EXPECT_NE(read.message().find("damaged"), std::string::npos);
    EXPECT_EQ(*ReadFileBytes(damaged), odd);  // left as it was
    EXPECT_FALSE(bad.Append({1}));             // a library that was not read is never written
    EXPECT_EQ(*ReadFileBytes(damaged), odd);
}

TEST(ColourList, ThumbnailsStretchTheListOverTheirWidth) {
    const auto pixels = ListThumbnail({0x111111, 0x222222}, 4, 2);
    ASSERT_EQ(pixels.size(), 8u);
    EXPECT_EQ(pixels[0], 0x111111u);
    EXPECT_EQ(pixels[1], 0x111111u);
    EXPECT_EQ(pixels[2], 0x222222u);
    EXPECT_EQ(pixels[7], 0x222222u);
    EXPECT_EQ(ListThumbnail({}, 4, 2), std::vector<ListColour>(8, 0));
}
