// Designs: drawing with masks and clip sources, snapshot undo and redo, and the exported
// self-playing file (in the transition test program, which brings a GUI application).
#include <gtest/gtest.h>

#include <fstream>

#include "base/FileUtil.h"
#include "base/TempDir.h"
#include "content/DesignHistory.h"
#include "content/DesignRender.h"
#include "project/EffectExport.h"

using namespace corv;

namespace {

std::unique_ptr<EffectItem> Shape(int kind, float x, float y, float w, float h, std::uint32_t colour) {
    auto item = CreateItem(kind);
    item->x = x;
    item->y = y;
    item->w = w;
    item->h = h;
    item->colour = colour;
    return item;
}

EffectList TwoLayers() {
    EffectList effects;
    auto a = std::make_unique<EffectLayer>();
    a->name = "1Th layer";
    a->items.push_back(Shape(kItemRectangle, 0, 0, 40, 40, 0xFF00FF00u));
    auto b = std::make_unique<EffectLayer>();
    b->name = "2Th layer";
    b->items.push_back(Shape(kItemEllipse, 10, 10, 20, 20, 0xFFFF0000u));
    effects.Append(std::move(a));
    effects.Append(std::move(b));
    return effects;
}

}  // namespace

TEST(Design, LayersDrawInOrderAndAMaskClipsItsLayer) {
    EffectList effects = TwoLayers();
    QImage image = RenderDesign(effects, QSize(50, 50), {});
    EXPECT_EQ(image.pixel(20, 20), qRgb(255, 0, 0));  // the second layer over the first
    EXPECT_EQ(image.pixel(3, 3), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(45, 45), qRgb(0, 0, 0));
    // A mask item on the first layer: the rectangle only shows inside it, the mask itself not.
    EffectLayer& first = effects.at(0);
    first.items.push_back(Shape(kItemRectangle, 0, 0, 10, 40, 0xFF0000FFu));
    first.mask = first.items.back().get();
    image = RenderDesign(effects, QSize(50, 50), {});
    EXPECT_EQ(image.pixel(3, 3), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(35, 3), qRgb(0, 0, 0));
    // An unchecked layer is not drawn.
    effects.at(1).checked = 0;
    EXPECT_EQ(RenderDesign(effects, QSize(50, 50), {}).pixel(20, 20), qRgb(0, 0, 0));
}

TEST(Design, ClipSourcesAreBoundedAndAdvance) {
    AppState app;
    FrameStore store(app);
    Clip clip;
    clip.width = 4;
    clip.height = 2;
    for (std::uint8_t v : {10, 200}) clip.frames.push_back(Frame::Filled(4, 2, Bgr{0, 0, v}));
    store.ReplaceAll({clip});
    auto area = Shape(kItemPictureArea, 0, 0, 20, 10, 0xFFFFFFFFu);
    area->sourceClip = 0;
    area->sourceX = -5;
    area->sourceY = 1;
    area->sourceW = 100;
    area->sourceH = 0;
    EXPECT_EQ(SourceRect(*area, &store), QRect(0, 1, 4, 1));  // kept inside the clip
    area->sourceClip = 3;
    EXPECT_TRUE(SourceRect(*area, &store).isNull());          // no such clip
    area->sourceClip = 0;
    EffectList effects;
    auto layer = std::make_unique<EffectLayer>();
    layer->items.push_back(std::move(area));
    effects.Append(std::move(layer));
    // Frame tick mod count: red 10, then 200, then 10 again.
    EXPECT_EQ(qRed(RenderDesign(effects, QSize(20, 10), DesignTime{&store, 0}).pixel(10, 5)), 10);
    EXPECT_EQ(qRed(RenderDesign(effects, QSize(20, 10), DesignTime{&store, 1}).pixel(10, 5)), 200);
    EXPECT_EQ(qRed(RenderDesign(effects, QSize(20, 10), DesignTime{&store, 2}).pixel(10, 5)), 10);
}

TEST(Design, SnapshotUndoAndRedo) {
    TempDir dir;
    DesignHistory history(dir.path());
    EffectList effects = TwoLayers();
    EXPECT_FALSE(history.CanUndo());
    ASSERT_TRUE(history.Record(effects, 1));  // snapshot 1
    EXPECT_FALSE(history.CanUndo());          // undo at the first snapshot is disabled
    effects.at(0).items.push_back(Shape(kItemLine, 1, 1, 5, 5, 0xFFFFFFFFu));
    ASSERT_TRUE(history.Record(effects, 0));  // snapshot 2
    EXPECT_TRUE(history.CanUndo());
    auto layer = history.Undo(effects, 3);
    ASSERT_TRUE(layer);
    EXPECT_EQ(*layer, 1);
    EXPECT_EQ(effects.at(0).items.size(), 1u);
    EXPECT_TRUE(history.CanRedo());
    ASSERT_TRUE(history.Redo(effects, 3));
    EXPECT_EQ(effects.at(0).items.size(), 2u);  // redo restores the later snapshot
    // A new edit after an undo discards the later snapshots.
    history.Undo(effects, 3);
    ASSERT_TRUE(history.Record(effects, 0));
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(history.highest(), 2);
    // A damaged snapshot leaves the design as it is.
    ASSERT_TRUE(WriteFileAtomic(history.File(1), std::string("\x05\x00\x01")));
    const std::size_t layers = effects.Count();
    EXPECT_FALSE(history.Undo(effects, 3));
    EXPECT_EQ(effects.Count(), layers);
    EXPECT_EQ(history.current(), 2);
    // A snapshot of no layers reads as exactly one new layer.
    const auto none = ReadSnapshot(SnapshotBytes(EffectList(), -1), 3);
    ASSERT_TRUE(none);
    ASSERT_EQ(none->layers.size(), 1u);
    EXPECT_EQ(none->layers[0]->name, "1Th layer");
    EXPECT_EQ(none->currentLayer, 0);
    // Groups and masks survive a snapshot; a mask item no longer in its layer is stored as 0.
    EffectList grouped = TwoLayers();
    auto group = std::make_unique<GroupItem>();
    group->children.push_back(Shape(kItemRectangle, 1, 2, 3, 4, 0xFF123456u));
    group->children.push_back(Shape(kItemEllipse, 5, 6, 7, 8, 0xFF654321u));
    grouped.at(0).items.push_back(std::move(group));
    grouped.at(0).mask = grouped.at(0).items.back().get();
    auto stray = Shape(kItemRectangle, 0, 0, 1, 1, 0);
    grouped.at(1).mask = stray.get();
    const auto back = ReadSnapshot(SnapshotBytes(grouped, 0), 3);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->layers[0]->items.size(), 2u);
    EXPECT_EQ(back->layers[0]->mask, back->layers[0]->items[1].get());
    EXPECT_EQ(static_cast<const GroupItem&>(*back->layers[0]->items[1]).children.size(), 2u);
    EXPECT_EQ(back->layers[1]->mask, nullptr);
}

TEST(Design, ExportedFileEndsWithTheDocumentAndTheTemplateLength) {
    TempDir dir;
    const auto player = dir.File("player");
    ASSERT_TRUE(WriteFileAtomic(player, std::string("#!player template bytes\n")));
    AppState app;
    FrameStore store(app);
    Clip clip;
    clip.width = 3;
    clip.height = 2;
    clip.frames.push_back(Frame::Filled(3, 2, Bgr{1, 2, 3}));
    store.ReplaceAll({clip});
    EffectList effects = TwoLayers();
    std::ofstream(dir.File("song.mp3"), std::ios::binary) << "ID3music";
    DocumentSource source;
    source.frames = &store;
    source.canvasWidth = 320;
    source.canvasHeight = 200;
    source.effects = &effects;
    source.musicPath = dir.File("song.mp3");
    const auto out = dir.File("show.run");
    ASSERT_EQ(ExportEffectFile(player, out, source, dir.path()), DocError::None);
    const auto bytes = ReadFileBytes(out);
    ASSERT_TRUE(bytes);
    const std::size_t t = 24;  // the template's length
    ASSERT_EQ(EffectTemplateLength(out), t);
    EXPECT_EQ(std::string(bytes->begin(), bytes->begin() + static_cast<long>(t)), "#!player template bytes\n");
    // "ledv" and six zero bytes, then height and width of the clip.
    EXPECT_EQ(std::string(bytes->begin() + static_cast<long>(t), bytes->begin() + static_cast<long>(t) + 4), "ledv");
    for (std::size_t i = 4; i < 10; ++i) EXPECT_EQ((*bytes)[t + i], 0);
    EXPECT_EQ((*bytes)[t + 10], 2);
    EXPECT_EQ((*bytes)[t + 12], 3);
    // The last four bytes name the template length.
    const std::size_t n = bytes->size();
    EXPECT_EQ((*bytes)[n - 4], t);
    EXPECT_EQ((*bytes)[n - 3], 0);
    EXPECT_TRUE((std::filesystem::status(out).permissions() & std::filesystem::perms::owner_exec) != std::filesystem::perms::none);
    // Read back: the clip, the canvas, both layers and the music.
    LoadedDocument doc;
    ASSERT_EQ(ReadEffectFile(out, dir.path(), doc), DocError::None);
    EXPECT_EQ(doc.canvasWidth, 320);
    EXPECT_EQ(doc.layers.size(), 2u);
    EXPECT_EQ(doc.musicLength, 8u);
    ASSERT_EQ(doc.clips.size(), 1u);
    EXPECT_EQ(doc.clips[0].frames[0].Pixel(1, 1), (Bgr{1, 2, 3}));
    // A file without the tail, or one naming a length past its end, is refused.
    EXPECT_EQ(ReadEffectFile(player, dir.path(), doc), DocError::Unsupported);
    ASSERT_TRUE(WriteFileAtomic(dir.File("bad.run"), std::string("abc\xff\xff\x00\x00", 7)));
    EXPECT_EQ(EffectTemplateLength(dir.File("bad.run")), 0u);
}
