#include <gtest/gtest.h>

#include <string>

#include "base/Binary.h"
#include "project/FrameRange.h"

using namespace corv;

namespace {

// A frame whose every pixel carries its label in red, its column in green and its row in blue.
Frame Labelled(int w, int h, std::uint8_t label) {
    Frame f(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) f.SetPixel(x, y, Bgr{static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(x), label});
    }
    return f;
}

struct Clip {
    std::vector<Frame> frames;
    FrameUndo undo;
    RangeContext context;
    Clip(int w, int h, int count) {
        for (int i = 0; i < count; ++i) frames.push_back(Labelled(w, h, static_cast<std::uint8_t>('A' + i)));
        context.frames = &frames;
        context.undo = &undo;
        context.background = Bgr{1, 2, 3};
    }
    // The labels of the frames in order ("ABC"); '.' for a frame of the background colour.
    std::string Labels() const {
        std::string s;
        for (const Frame& f : frames) s += f.Pixel(0, 0) == Bgr{1, 2, 3} ? '.' : static_cast<char>(f.Pixel(0, 0).r);
        return s;
    }
};

}  // namespace

TEST(FrameBlock, CopyGivesTheMarkedBlockAndBothFormsReadBack) {
    Clip c(10, 8, 10);
    const FrameBlock block = CopyFrames(c.context, 1, 4);  // frames 2..4
    const auto bytes = EncodeFrameBlock(block);
    ASSERT_EQ(bytes.size(), 7u + 3u * 8u * 32u);  // stride(10) = 32
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(LoadU16(&bytes[1]), 10);
    EXPECT_EQ(LoadU16(&bytes[3]), 8);
    EXPECT_EQ(LoadU16(&bytes[5]), 3);
    auto back = DecodeFrameBlock(bytes);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->pictures.size(), 3u);
    EXPECT_EQ(back->pictures[0], c.frames[1]);
    EXPECT_EQ(back->pictures[2], c.frames[3]);
    // The older form: no marker, sizes from offset 0.
    std::vector<std::uint8_t> old(bytes.begin() + 1, bytes.end());
    back = DecodeFrameBlock(old);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->pictures[1], c.frames[2]);
    // Sizes that do not give the length exactly are refused, whatever the cut.
    for (std::size_t n = 0; n < bytes.size(); n += 37) {
        EXPECT_FALSE(DecodeFrameBlock(std::span(bytes).first(n))) << n;
    }
    auto longer = bytes;
    longer.push_back(0);
    EXPECT_FALSE(DecodeFrameBlock(longer));
    auto lying = bytes;
    StoreU16(&lying[5], 60000);
    EXPECT_FALSE(DecodeFrameBlock(lying));
    // With an edit area the pictures are the area cut out.
    c.context.editArea = PixelRect{2, 1, 5, 3};
    const FrameBlock part = CopyFrames(c.context, 0, 1);
    EXPECT_EQ(part.width, 3);
    EXPECT_EQ(part.height, 2);
    EXPECT_EQ(part.pictures[0].Pixel(0, 0), c.frames[0].Pixel(2, 1));
    EXPECT_EQ(part.pictures[0].Pixel(2, 1), c.frames[0].Pixel(4, 2));
}

TEST(FrameRange, RepeatDeleteAndSpacing) {
    Clip c(2, 2, 3);
    RepeatFrames(c.context, 0, 3, 2);
    EXPECT_EQ(c.Labels(), "AAABBBCCC");
    ASSERT_TRUE(c.undo.Undo(c.frames));
    EXPECT_EQ(c.Labels(), "ABC");
    ASSERT_TRUE(c.undo.Redo(c.frames));
    EXPECT_EQ(c.Labels(), "AAABBBCCC");

    Clip d(2, 2, 7);
    DeleteFrames(d.context, 0, 6, 1);  // spacing 1 over frames 1..6 removes 2, 4 and 6
    EXPECT_EQ(d.Labels(), "ACEG");
    EXPECT_EQ(d.undo.NewestKind(), FrameUndo::kThinned);
    ASSERT_TRUE(d.undo.Undo(d.frames));
    EXPECT_EQ(d.Labels(), "ABCDEFG");
    Clip e(2, 2, 10);
    DeleteFrames(e.context, 1, 10, 3);  // keep 3, remove 1: numbers 5 and 9
    EXPECT_EQ(e.Labels(), "ABCDFGHJ");
    DeleteFrames(e.context, 1, 3, 0);
    EXPECT_EQ(e.Labels(), "ADFGHJ");

    // Deleting every frame leaves one background frame; undo brings back exactly the clip.
    Clip all(2, 2, 3);
    DeleteFrames(all.context, 0, 3, 0);
    EXPECT_EQ(all.Labels(), ".");
    ASSERT_TRUE(all.undo.Undo(all.frames));
    EXPECT_EQ(all.Labels(), "ABC");
    ASSERT_TRUE(all.undo.Redo(all.frames));
    EXPECT_EQ(all.Labels(), ".");

    // With an edit area, frames stay and the area takes the background (step = spacing + 1).
    Clip area(4, 4, 4);
    area.context.editArea = PixelRect{1, 1, 3, 3};
    DeleteFrames(area.context, 0, 4, 1);
    EXPECT_EQ(area.frames.size(), 4u);
    EXPECT_EQ(area.frames[0].Pixel(1, 1), (Bgr{1, 2, 3}));
    EXPECT_EQ(area.frames[0].Pixel(0, 0).r, 'A');
    EXPECT_EQ(area.frames[1].Pixel(1, 1).r, 'B');
    EXPECT_EQ(area.frames[2].Pixel(2, 2), (Bgr{1, 2, 3}));
    ASSERT_TRUE(area.undo.Undo(area.frames));
    EXPECT_EQ(area.frames[0].Pixel(1, 1).r, 'A');

    EXPECT_TRUE(ValidRange(3, 0, 3));
    EXPECT_FALSE(ValidRange(3, 0, 4));
    EXPECT_FALSE(ValidRange(3, 2, 2));
    EXPECT_FALSE(ValidRange(3, -1, 2));
}

TEST(FrameRange, PasteInsertOverlayDirectionsAndCombinations) {
    Clip c(3, 2, 3);
    FrameBlock block = CopyFrames(c.context, 0, 2);  // A, B
    PasteOptions o;
    o.place = 0;
    o.times = 2;
    std::size_t last = PasteFrames(c.context, block, o);
    EXPECT_EQ(c.Labels(), "AABABBC");
    EXPECT_EQ(last, 4u);
    ASSERT_TRUE(c.undo.Undo(c.frames));
    EXPECT_EQ(c.Labels(), "ABC");
    o.times = 1;
    o.reverseOrder = true;
    o.place = 2;
    PasteFrames(c.context, block, o);
    EXPECT_EQ(c.Labels(), "ABCBA");
    // Mirrors: the top-left pixel of the pasted frame comes from the opposite corner.
    Clip m(3, 2, 1);
    const FrameBlock one = CopyFrames(m.context, 0, 1);
    o = PasteOptions{};
    for (auto [dir, x, y] : {std::tuple{PasteDirection::Original, 0, 0}, std::tuple{PasteDirection::Horizontal, 2, 0},
                             std::tuple{PasteDirection::Vertical, 0, 1}, std::tuple{PasteDirection::Centre, 2, 1}}) {
        o.direction = dir;
        PasteFrames(m.context, one, o);
        EXPECT_EQ(m.frames[1].Pixel(0, 0), m.frames[0].Pixel(x, y)) << static_cast<int>(dir);
        m.frames.erase(m.frames.begin() + 1);
    }
    // Overlay with each combination, appending frames past the end.
    Clip ov(1, 1, 1);
    ov.frames[0].SetPixel(0, 0, Bgr{0x0F, 200, 100});
    FrameBlock pic;
    pic.width = pic.height = 1;
    pic.pictures.push_back(Frame(1, 1));
    pic.pictures[0].SetPixel(0, 0, Bgr{0xF0, 100, 200});
    const std::pair<PasteCombine, Bgr> expected[] = {
        {PasteCombine::Normal, {0xF0, 100, 200}},        {PasteCombine::Or, {0xFF, 236, 236}},
        {PasteCombine::Xor, {0xFF, 172, 172}},           {PasteCombine::And, {0x00, 64, 64}},
        {PasteCombine::Superposition, {0xF0, 200, 200}}, {PasteCombine::Transparency, {0x80, 150, 150}},
        {PasteCombine::Adding, {0xFF, 255, 255}},
    };
    o = PasteOptions{};
    o.overlay = true;
    for (const auto& [combine, colour] : expected) {
        ov.frames.resize(1);
        ov.frames[0].SetPixel(0, 0, Bgr{0x0F, 200, 100});
        o.combine = combine;
        o.times = 2;
        PasteFrames(ov.context, pic, o);
        EXPECT_EQ(ov.frames[0].Pixel(0, 0), colour) << CombineRule(combine);
        ASSERT_EQ(ov.frames.size(), 2u);  // the second pass appended a frame
        EXPECT_FALSE(CombineRule(combine).empty());
    }
}

TEST(FrameRange, StepsPasteStaggersColumnsAndRows) {
    Clip c(4, 2, 3);
    const FrameBlock block = CopyFrames(c.context, 0, 3);
    ASSERT_TRUE(StepsPaste(c.context, block, 3, 1, false));
    ASSERT_EQ(c.frames.size(), 6u);
    const Frame& third = c.frames[5];  // the third new frame: pictures 3, 2, 1, then background
    EXPECT_EQ(third.Pixel(0, 0).r, 'C');
    EXPECT_EQ(third.Pixel(1, 1).r, 'B');
    EXPECT_EQ(third.Pixel(2, 0).r, 'A');
    EXPECT_EQ(third.Pixel(2, 0).g, 2);  // column 3 of picture 1
    EXPECT_EQ(third.Pixel(3, 0), (Bgr{1, 2, 3}));
    EXPECT_EQ(c.frames[3].Pixel(1, 0), (Bgr{1, 2, 3}));  // the first new frame: one column only
    ASSERT_TRUE(c.undo.Undo(c.frames));
    EXPECT_EQ(c.Labels(), "ABC");
    // Backwards: columns from the right.
    ASSERT_TRUE(StepsPaste(c.context, block, 0, 1, true));
    EXPECT_EQ(c.frames[2].Pixel(3, 0).r, 'C');
    EXPECT_EQ(c.frames[2].Pixel(1, 0).r, 'A');
    EXPECT_EQ(c.frames[2].Pixel(0, 0), (Bgr{1, 2, 3}));
    // A block of another height but the target's width staggers rows; neither: size error.
    Clip r(4, 3, 1);
    FrameBlock rows;
    rows.width = 4;
    rows.height = 2;
    rows.pictures = {Labelled(4, 2, 'X'), Labelled(4, 2, 'Y')};
    ASSERT_TRUE(StepsPaste(r.context, rows, 1, 1, false));
    EXPECT_EQ(r.frames[2].Pixel(0, 0).r, 'Y');
    EXPECT_EQ(r.frames[2].Pixel(0, 1).r, 'X');
    EXPECT_EQ(r.frames[2].Pixel(0, 2), (Bgr{1, 2, 3}));
    rows.width = 3;
    EXPECT_FALSE(StepsPaste(r.context, rows, 1, 1, false));
}

TEST(FrameRange, FrameMoveWithIncrementsAndRowColDelete) {
    Clip c(5, 2, 3);
    MoveFrames(c.context, 0, 3, MoveDirection::Left, 1, true);
    // Frame k moved left by k + 1 columns: column 0 now shows old column k + 1.
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(c.frames[static_cast<std::size_t>(k)].Pixel(0, 0).g, k + 1) << k;
        EXPECT_EQ(c.frames[static_cast<std::size_t>(k)].Pixel(4, 1).g, k) << k;  // wrapped around
    }
    Clip d(2, 4, 2);
    MoveFrames(d.context, 0, 2, MoveDirection::Down, 1, false);
    EXPECT_EQ(d.frames[0].Pixel(0, 1).b, 0);  // row 0 moved down to row 1
    EXPECT_EQ(d.frames[0].Pixel(0, 0).b, 3);  // the bottom row re-entered at the top
    MoveFrames(d.context, 0, 1, MoveDirection::Up, 1, false);
    EXPECT_EQ(d.frames[0].Pixel(0, 0).b, 0);
    MoveFrames(d.context, 0, 1, MoveDirection::Right, 1, false);
    EXPECT_EQ(d.frames[0].Pixel(1, 0).g, 0);

    Clip rc(6, 5, 2);
    RowColDelete(rc.context, 0, 1, 1, 1, 2, 1);  // rows 0, 2, 4 stay; columns 0, 1, 3, 4 stay
    const Frame& f = rc.frames[0];
    EXPECT_EQ(f.Pixel(0, 1).b, 2);
    EXPECT_EQ(f.Pixel(0, 2).b, 4);
    EXPECT_EQ(f.Pixel(2, 0).g, 3);
    EXPECT_EQ(f.Pixel(3, 0).g, 4);
    EXPECT_EQ(f.Pixel(4, 0), (Bgr{1, 2, 3}));  // freed columns and rows take the background
    EXPECT_EQ(f.Pixel(0, 3), (Bgr{1, 2, 3}));
    EXPECT_EQ(rc.frames[1].Pixel(4, 4).g, 4);  // outside the range: untouched
    ASSERT_TRUE(rc.undo.Undo(rc.frames));
    EXPECT_EQ(rc.frames[0], Labelled(6, 5, 'A'));
}

TEST(FrameUndo, ThreeStepsEachWayAndTheSizeLimit) {
    Clip c(2, 2, 6);
    DeleteFrames(c.context, 0, 1, 0);   // 1
    DeleteFrames(c.context, 0, 1, 0);   // 2
    DeleteFrames(c.context, 0, 1, 0);   // 3
    DeleteFrames(c.context, 0, 1, 0);   // 4: pushes out the oldest
    EXPECT_EQ(c.Labels(), "EF");
    EXPECT_EQ(c.undo.UndoDepth(), 3u);
    while (c.undo.Undo(c.frames)) {
    }
    EXPECT_EQ(c.Labels(), "BCDEF");  // the first removal can no longer be undone
    EXPECT_EQ(c.undo.RedoDepth(), 3u);
    ASSERT_TRUE(c.undo.Redo(c.frames));
    EXPECT_EQ(c.Labels(), "CDEF");
    // A new step empties the redo stack.
    RepeatFrames(c.context, 0, 1, 1);
    EXPECT_FALSE(c.undo.CanRedo());
    // Kinds 2 and 3 keep copies: a change of more than 40,000,000 pixels clears the history.
    std::vector<Frame> big(11, Frame(2000, 2000));
    FrameUndo u;
    u.RecordInserted(big, 0, 1);
    u.RecordChange(big, 0, 10);
    EXPECT_EQ(u.UndoDepth(), 2u);
    u.RecordChange(big, 0, 11);
    EXPECT_FALSE(u.CanUndo());
    // Removals move frames and have no limit: undo gives back the same pixel blocks.
    const std::uint8_t* pixels = big[5].data();
    u.Remove(big, 0, 11);
    EXPECT_TRUE(big.empty());
    ASSERT_TRUE(u.Undo(big));
    EXPECT_EQ(big[5].data(), pixels);
    u.Reset();
    EXPECT_FALSE(u.CanUndo());
    EXPECT_FALSE(u.CanRedo());
}

TEST(FrameUndo, KnowsWhetherTheClipIsBackAtTheSavedState) {
    std::vector<Frame> frames(4, Frame(2, 2));
    FrameUndo u;
    u.MarkSaved();
    EXPECT_TRUE(u.AtSaved());
    // Edit, undo: nothing to save.
    u.Remove(frames, 0, 1);
    EXPECT_FALSE(u.AtSaved());
    ASSERT_TRUE(u.Undo(frames));
    EXPECT_TRUE(u.AtSaved());
    ASSERT_TRUE(u.Redo(frames));
    EXPECT_FALSE(u.AtSaved());
    // Edit, save, edit, undo: back at the save.
    u.MarkSaved();
    u.Remove(frames, 0, 1);
    EXPECT_FALSE(u.AtSaved());
    ASSERT_TRUE(u.Undo(frames));
    EXPECT_TRUE(u.AtSaved());
    // Undo past the save, then redo: back at it again.
    ASSERT_TRUE(u.Undo(frames));
    EXPECT_FALSE(u.AtSaved());
    ASSERT_TRUE(u.Redo(frames));
    EXPECT_TRUE(u.AtSaved());
    // Undo past the save and edit: the way back to it is gone for good.
    ASSERT_TRUE(u.Undo(frames));
    u.Remove(frames, 1, 1);
    ASSERT_TRUE(u.Undo(frames));
    EXPECT_FALSE(u.AtSaved());
    EXPECT_FALSE(u.Redo(frames) && u.AtSaved());
    // Emptying the history at the saved state keeps it saved; elsewhere it stays modified.
    u.MarkSaved();
    u.Reset();
    EXPECT_TRUE(u.AtSaved());
    u.Remove(frames, 0, 1);
    u.Reset();
    EXPECT_FALSE(u.AtSaved());
    u.MarkSaved();
    u.MarkChangedOutside();
    EXPECT_FALSE(u.AtSaved());
}

TEST(FrameUndo, TheSavedStateLeavesWithTheOldestOfTheThreeSteps) {
    std::vector<Frame> frames(8, Frame(2, 2));
    FrameUndo u;
    u.MarkSaved();
    // Three steps after the save can all be undone back to it.
    for (int i = 0; i < 3; ++i) u.Remove(frames, 0, 1);
    while (u.Undo(frames)) {
    }
    EXPECT_TRUE(u.AtSaved());
    while (u.Redo(frames)) {
    }
    EXPECT_FALSE(u.AtSaved());
    // A fourth pushes the step that leads back out of the history: never clean again.
    u.Remove(frames, 0, 1);
    while (u.Undo(frames)) {
    }
    EXPECT_FALSE(u.AtSaved());
    EXPECT_EQ(frames.size(), 7u);  // one step short of the saved clip
    while (u.Redo(frames)) {
    }
    EXPECT_FALSE(u.AtSaved());
    u.MarkSaved();
    EXPECT_TRUE(u.AtSaved());
    // A change too large to keep empties the history: modified until the next save.
    std::vector<Frame> big(11, Frame(2000, 2000));
    FrameUndo b;
    b.MarkSaved();
    EXPECT_FALSE(b.RecordChange(big, 0, 11));
    EXPECT_FALSE(b.CanUndo());
    EXPECT_FALSE(b.AtSaved());
}

TEST(FrameUndo, ScatteredTakeAndPutAreInverse) {
    std::vector<Frame> frames;
    for (int i = 0; i < 9; ++i) frames.push_back(Labelled(1, 1, static_cast<std::uint8_t>('a' + i)));
    const std::vector<std::size_t> at = {0, 3, 4, 8};
    std::vector<Frame> taken = TakeFramesAt(frames, at);
    ASSERT_EQ(frames.size(), 5u);
    EXPECT_EQ(taken[1].Pixel(0, 0).r, 'd');
    EXPECT_EQ(frames[0].Pixel(0, 0).r, 'b');
    PutFramesAt(frames, at, taken);
    ASSERT_EQ(frames.size(), 9u);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(frames[static_cast<std::size_t>(i)].Pixel(0, 0).r, 'a' + i);
}

TEST(FrameRange, CutHandsOverTheFramesWithoutCopyingAndUndoPutsThemBack) {
    Clip c(3, 2, 5);
    const std::uint8_t* second = c.frames[1].data();
    FrameBlock block = CutFrames(c.context, 1, 3);
    EXPECT_EQ(c.Labels(), "ADE");
    ASSERT_EQ(block.pictures.size(), 2u);
    EXPECT_EQ(block.pictures[0].data(), second);  // the same pixels, shared
    EXPECT_EQ(block.pictures[1], Labelled(3, 2, 'C'));
    const auto bytes = EncodeFrameBlock(block);
    EXPECT_EQ(bytes.size(), 7u + 2u * Frame::BufferSize(3, 2));
    ASSERT_TRUE(c.undo.Undo(c.frames));
    EXPECT_EQ(c.Labels(), "ABCDE");
    EXPECT_EQ(c.frames[1].data(), second);
    // Cutting every frame leaves one background frame, and undo gives back exactly the clip.
    CutFrames(c.context, 0, 5);
    EXPECT_EQ(c.Labels(), ".");
    ASSERT_TRUE(c.undo.Undo(c.frames));
    EXPECT_EQ(c.Labels(), "ABCDE");
}

TEST(FrameRange, CutWithAnEditAreaRefillsTheAreaAndKeepsTheFrames) {
    Clip c(4, 3, 3);
    c.context.editArea = PixelRect{1, 1, 3, 3};
    FrameBlock block = CutFrames(c.context, 0, 2);
    EXPECT_EQ(block.width, 2);
    EXPECT_EQ(block.height, 2);
    ASSERT_EQ(block.pictures.size(), 2u);
    // The block holds the area as it was: column 1, row 1 of frame B is its top-left.
    EXPECT_EQ(block.pictures[1].Pixel(0, 0), (Bgr{1, 1, 'B'}));
    EXPECT_EQ(c.frames.size(), 3u);
    EXPECT_EQ(c.frames[0].Pixel(1, 1), (Bgr{1, 2, 3}));
    EXPECT_EQ(c.frames[1].Pixel(2, 2), (Bgr{1, 2, 3}));
    EXPECT_EQ(c.frames[1].Pixel(0, 0), (Bgr{0, 0, 'B'}));  // outside the area: untouched
    EXPECT_EQ(c.frames[2], Labelled(4, 3, 'C'));            // outside the range: untouched
    ASSERT_TRUE(c.undo.Undo(c.frames));
    EXPECT_EQ(c.frames[0], Labelled(4, 3, 'A'));
    EXPECT_EQ(c.frames[1], Labelled(4, 3, 'B'));
}

TEST(FrameUndo, BeginUndoBeforeTheProducersChangeTheClip) {
    Clip c(2, 2, 4);  // ABCD
    // Kind 0: two frames go in at 1 after the step was begun.
    c.undo.BeginUndo(c.frames, 0, 1, 2);
    c.frames.insert(c.frames.begin() + 1, {Labelled(2, 2, 'x'), Labelled(2, 2, 'y')});
    EXPECT_EQ(c.Labels(), "AxyBCD");
    ASSERT_TRUE(c.undo.Undo(c.frames));
    EXPECT_EQ(c.Labels(), "ABCD");
    ASSERT_TRUE(c.undo.Redo(c.frames));
    EXPECT_EQ(c.Labels(), "AxyBCD");
    // Kind 1: the frames leave after the step; undo puts them back where they were.
    c.undo.BeginUndo(c.frames, 1, 1, 2);
    c.frames.erase(c.frames.begin() + 1, c.frames.begin() + 3);
    EXPECT_EQ(c.Labels(), "ABCD");
    ASSERT_TRUE(c.undo.Undo(c.frames));
    EXPECT_EQ(c.Labels(), "AxyBCD");
    ASSERT_TRUE(c.undo.Redo(c.frames));
    EXPECT_EQ(c.Labels(), "ABCD");
    // Kind 5: offset 1 and end 3 packed into the count: frames B and C change.
    c.undo.BeginUndo(c.frames, 5, 0, (1u << 24) | 3u);
    EXPECT_EQ(c.undo.NewestKind(), 5);
    for (Frame& f : c.frames) f = Labelled(2, 2, 'z');
    ASSERT_TRUE(c.undo.Undo(c.frames));
    EXPECT_EQ(c.Labels(), "zBCz");  // only the packed run was saved
    // The size limit: a change of more than 40,000,000 pixels keeps no step and empties both stacks.
    std::vector<Frame> big(2, Frame(5000, 5000));
    FrameUndo undo;
    undo.BeginUndo(big, 0, 0, 1);
    undo.BeginUndo(big, 2, 0, 2);
    EXPECT_FALSE(undo.CanUndo());
    undo.BeginUndo(big, 2, 0, 1);  // 25,000,000 pixels: kept
    EXPECT_TRUE(undo.CanUndo());
}

TEST(FrameUndo, OverlayPastePastTheEndIsUndoneWhole) {
    Clip c(2, 2, 3);  // ABC
    FrameBlock block;
    block.width = 2;
    block.height = 2;
    block.pictures = {Labelled(2, 2, 'x'), Labelled(2, 2, 'y')};
    PasteOptions o;
    o.overlay = true;
    o.place = 2;  // over C, then one frame past the end
    o.times = 2;
    PasteFrames(c.context, block, o);
    EXPECT_EQ(c.Labels(), "ABxyxy");
    ASSERT_TRUE(c.undo.Undo(c.frames));
    EXPECT_EQ(c.Labels(), "ABC");  // the three appended frames leave again
    EXPECT_EQ(c.frames[2], Labelled(2, 2, 'C'));
    ASSERT_TRUE(c.undo.Redo(c.frames));
    EXPECT_EQ(c.Labels(), "ABxyxy");
    ASSERT_TRUE(c.undo.Undo(c.frames));
    EXPECT_EQ(c.Labels(), "ABC");
}

TEST(FrameUndo, KindsFromFourOnAreKeptWhateverTheirSize) {
    std::vector<Frame> big(2, Frame(5000, 5000));
    FrameUndo undo;
    undo.BeginUndo(big, 4, 0, 2);  // 50,000,000 pixels, but kind 4
    EXPECT_EQ(undo.NewestKind(), 4);
    undo.BeginUndo(big, 5, 0, 2);  // offset 0, end 2
    EXPECT_EQ(undo.NewestKind(), 5);
    undo.BeginUndo(big, 3, 0, 2);  // kind 3 of the same size: no step, both stacks emptied
    EXPECT_FALSE(undo.CanUndo());
}
