// Designs: drawing with masks and clip sources, snapshot undo and redo, and the exported
// self-playing file (in the transition test program, which brings a GUI application).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>
#include <span>
#include <string_view>
#include <vector>

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

TEST(Design, HistoryKnowsTheSavedState) {
    TempDir dir;
    DesignHistory history(dir.path());
    EffectList effects = TwoLayers();
    EXPECT_TRUE(history.AtSaved());
    ASSERT_TRUE(history.Record(effects, 0));  // the first snapshot is the design as it was
    EXPECT_TRUE(history.AtSaved());
    // Edit, undo: nothing to save; redo: changed.
    effects.at(0).items.push_back(Shape(kItemLine, 1, 1, 5, 5, 0xFFFFFFFFu));
    ASSERT_TRUE(history.Record(effects, 0));
    EXPECT_FALSE(history.AtSaved());
    ASSERT_TRUE(history.Undo(effects, 3));
    EXPECT_TRUE(history.AtSaved());
    ASSERT_TRUE(history.Redo(effects, 3));
    EXPECT_FALSE(history.AtSaved());
    // Saved: undo past it changes, redo comes back to it.
    history.MarkSaved();
    ASSERT_TRUE(history.Undo(effects, 3));
    EXPECT_FALSE(history.AtSaved());
    ASSERT_TRUE(history.Redo(effects, 3));
    EXPECT_TRUE(history.AtSaved());
    // Edit, save, edit, undo: back at the save.
    effects.at(0).items.push_back(Shape(kItemLine, 2, 2, 5, 5, 0xFFFFFFFFu));
    ASSERT_TRUE(history.Record(effects, 0));
    history.MarkSaved();
    effects.at(0).items.push_back(Shape(kItemLine, 3, 3, 5, 5, 0xFFFFFFFFu));
    ASSERT_TRUE(history.Record(effects, 0));
    EXPECT_FALSE(history.AtSaved());
    ASSERT_TRUE(history.Undo(effects, 3));
    EXPECT_TRUE(history.AtSaved());
    // Undo past the save and edit: the saved design cannot come back by undo and redo.
    ASSERT_TRUE(history.Undo(effects, 3));
    effects.at(1).items.push_back(Shape(kItemLine, 4, 4, 5, 5, 0xFFFFFFFFu));
    ASSERT_TRUE(history.Record(effects, 0));
    EXPECT_FALSE(history.AtSaved());
    ASSERT_TRUE(history.Undo(effects, 3));
    EXPECT_FALSE(history.AtSaved());
    ASSERT_TRUE(history.Redo(effects, 3));
    EXPECT_FALSE(history.AtSaved());
    history.MarkSaved();
    EXPECT_TRUE(history.AtSaved());
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

namespace {

// The smallest ELF file that passes for the player: a 64-bit little-endian header, the marker,
// the section names and three section headers (none, the names, the marker's section).
std::string FakePlayer(std::string_view section = kEffectPlayerSection, std::string_view marker = kEffectPlayerMarker,
                       int elfClass = 2) {
    const std::string names = std::string("\0.shstrtab\0", 11) + std::string(section) + '\0';
    const std::size_t markerAt = 64, namesAt = markerAt + marker.size(), shoff = (namesAt + names.size() + 7) / 8 * 8;
    std::string b(shoff + 3 * 64, '\0');
    auto put = [&](std::size_t at, std::uint64_t v, int n) {
        for (int i = 0; i < n; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
    };
    b.replace(0, 4, "\x7f" "ELF");
    b[4] = static_cast<char>(elfClass);
    b[5] = 1;  // little-endian
    b[6] = 1;
    put(0x10, 2, 2);  // an executable
    put(0x28, shoff, 8);
    put(0x3A, 64, 2);
    put(0x3C, 3, 2);
    put(0x3E, 1, 2);
    b.replace(markerAt, marker.size(), marker);
    b.replace(namesAt, names.size(), names);
    put(shoff + 64, 1, 4);
    put(shoff + 64 + 0x18, namesAt, 8);
    put(shoff + 64 + 0x20, names.size(), 8);
    put(shoff + 128, 11, 4);
    put(shoff + 128 + 0x18, markerAt, 8);
    put(shoff + 128 + 0x20, marker.size(), 8);
    return b;
}

std::span<const std::uint8_t> Bytes(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

}  // namespace

TEST(Design, OnlyOurPlayerIsTakenAsThePlayer) {
    EXPECT_TRUE(IsEffectPlayer(Bytes(FakePlayer())));
    EXPECT_FALSE(IsEffectPlayer(Bytes("#!player template bytes\n")));
    EXPECT_FALSE(IsEffectPlayer(Bytes(FakePlayer(".rodata"))));  // another program
    EXPECT_FALSE(IsEffectPlayer(Bytes(FakePlayer(kEffectPlayerSection, "someone else's block 1"))));
    EXPECT_FALSE(IsEffectPlayer(Bytes(FakePlayer(std::string(kEffectPlayerSection) + "x"))));
    EXPECT_FALSE(IsEffectPlayer(Bytes(FakePlayer(kEffectPlayerSection, kEffectPlayerMarker, 1))));  // 32-bit
    // Cut anywhere, or with the section table pointing past the end: refused, never read beyond.
    const std::string whole = FakePlayer();
    for (std::size_t n = 0; n < whole.size(); n += 7) {
        EXPECT_FALSE(IsEffectPlayer(Bytes(whole.substr(0, n)))) << n;
    }
    std::string wild = whole;
    wild[0x28 + 7] = '\x7f';  // the section table's offset
    EXPECT_FALSE(IsEffectPlayer(Bytes(wild)));
    wild = whole;
    wild[0x3C] = '\xff';  // the section count
    EXPECT_FALSE(IsEffectPlayer(Bytes(wild)));
    // The player program built beside the tests carries the mark.
    const auto built = ReadFileBytes(ProgramDir() / "../bin/corvantine-player");
    if (built) {
        EXPECT_TRUE(IsEffectPlayer(*built));
    }
}

TEST(Design, ExportRefusesAPlayerNotOursAndAnOutputThatIsThePlayer) {
    TempDir dir;
    AppState app;
    FrameStore store(app);
    Clip clip;
    clip.width = 2;
    clip.height = 2;
    clip.frames.push_back(Frame::Filled(2, 2, Bgr{1, 2, 3}));
    store.ReplaceAll({clip});
    DocumentSource source;
    source.frames = &store;
    const auto text = dir.File("notes.txt");
    ASSERT_TRUE(WriteFileAtomic(text, std::string("not a program\n")));
    const auto notOurs = ExportEffectFile(text, dir.File("a.run"), source, dir.path());
    EXPECT_EQ(DocErrorOf(notOurs), DocError::Unsupported);
    EXPECT_EQ(notOurs.failure().reason, text.string() + ": is not the effect player program");
    EXPECT_FALSE(std::filesystem::exists(dir.File("a.run")));
    const auto player = dir.File("player");
    ASSERT_TRUE(WriteFileAtomic(player, FakePlayer()));
    std::filesystem::create_symlink("player", dir.File("player-link"));
    const auto overPlayer = ExportEffectFile(player, dir.File("player-link"), source, dir.path());
    EXPECT_EQ(DocErrorOf(overPlayer), DocError::WriteFailed);
    EXPECT_EQ(overPlayer.failure().reason,
              dir.File("player-link").string() + ": is the player program itself; choose another output");
    const std::string fake = FakePlayer();
    EXPECT_EQ(*ReadFileBytes(player), std::vector<std::uint8_t>(fake.begin(), fake.end()));
    EXPECT_EQ(DocErrorOf(ExportEffectFile(player, dir.File("a.run"), source, dir.path())), DocError::None);
}

TEST(Design, ExportedFileEndsWithTheDocumentAndTheTemplateLength) {
    TempDir dir;
    const auto player = dir.File("player");
    const std::string program = FakePlayer();
    ASSERT_TRUE(WriteFileAtomic(player, program));
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
    ASSERT_EQ(DocErrorOf(ExportEffectFile(player, out, source, dir.path())), DocError::None);
    const auto bytes = ReadFileBytes(out);
    ASSERT_TRUE(bytes);
    const std::size_t t = program.size();  // the template's length
    ASSERT_EQ(EffectTemplateLength(out), t);
    EXPECT_EQ(std::string(bytes->begin(), bytes->begin() + static_cast<long>(t)), program);
    // "ledv" and six zero bytes, then height and width of the clip.
    EXPECT_EQ(std::string(bytes->begin() + static_cast<long>(t), bytes->begin() + static_cast<long>(t) + 4), "ledv");
    for (std::size_t i = 4; i < 10; ++i) EXPECT_EQ((*bytes)[t + i], 0);
    EXPECT_EQ((*bytes)[t + 10], 2);
    EXPECT_EQ((*bytes)[t + 12], 3);
    // The last four bytes name the template length.
    const std::size_t n = bytes->size();
    EXPECT_EQ((*bytes)[n - 4], t & 0xFF);
    EXPECT_EQ((*bytes)[n - 3], t >> 8);
    EXPECT_EQ((*bytes)[n - 2], 0);
    EXPECT_TRUE((std::filesystem::status(out).permissions() & std::filesystem::perms::owner_exec) != std::filesystem::perms::none);
    // Read back: the clip, the canvas, both layers and the music.
    LoadedDocument doc;
    ASSERT_EQ(DocErrorOf(ReadEffectFile(out, dir.path(), doc)), DocError::None);
    EXPECT_EQ(doc.canvasWidth, 320);
    EXPECT_EQ(doc.layers.size(), 2u);
    EXPECT_EQ(doc.musicLength, 8u);
    ASSERT_EQ(doc.clips.size(), 1u);
    EXPECT_EQ(doc.clips[0].frames[0].Pixel(1, 1), (Bgr{1, 2, 3}));
    // A file without the tail, or one naming a length past its end, is refused.
    EXPECT_EQ(DocErrorOf(ReadEffectFile(player, dir.path(), doc)), DocError::Unsupported);
    ASSERT_TRUE(WriteFileAtomic(dir.File("bad.run"), std::string("abc\xff\xff\x00\x00", 7)));
    EXPECT_EQ(EffectTemplateLength(dir.File("bad.run")), 0u);
}

namespace {

// An item with a point list over its points' bounding box.
std::unique_ptr<EffectItem> PointList(int kind, std::vector<PointF> points, std::uint8_t lineWidth, bool fill, std::uint16_t angle = 0) {
    auto item = CreateItem(kind);
    static_cast<PointsItem&>(*item).points = std::move(points);
    const RectF box = item->BoundingBox();
    item->x = box.x;
    item->y = box.y;
    item->w = box.w;
    item->h = box.h;
    item->colour = 0xFF30C060u;
    item->lineWidth = lineWidth;
    item->fill = fill ? 1 : 0;
    item->angle = angle;
    return item;
}

// The item drawn the plain way: its outline path through the painter, pen and brush as the
// design gives them.
QImage PlainDrawing(const EffectItem& item, QSize size) {
    QImage canvas(size, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(item.x, item.y, item.w, item.h).normalized();
    if (item.angle % 360 != 0) {
        p.translate(box.center());
        p.rotate(item.angle % 360);
        p.translate(-box.center());
    }
    const QColor colour = QColor::fromRgba(item.colour);
    p.setPen(QPen(colour, std::max<int>(item.lineWidth, 1)));
    p.setBrush(item.fill && item.kind() == kItemPolygon ? QBrush(colour) : QBrush(Qt::NoBrush));
    p.drawPath(ItemPath(item));
    return canvas;
}

QImage Drawn(std::unique_ptr<EffectItem> item, QSize size) {
    EffectList effects;
    auto layer = std::make_unique<EffectLayer>();
    layer->items.push_back(std::move(item));
    effects.Append(std::move(layer));
    return RenderDesign(effects, size, {});
}

// The largest difference of one colour channel between two pictures of one size.
int LargestDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb u = a.pixel(x, y), v = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(u) - qRed(v)), std::abs(qGreen(u) - qGreen(v)), std::abs(qBlue(u) - qBlue(v))});
        }
    }
    return largest;
}

// `count` points around a circle, or alternating between two radii (spikes).
std::vector<PointF> Around(int count, double inner, double outer, double cx = 100, double cy = 100) {
    std::vector<PointF> points;
    for (int i = 0; i < count; ++i) {
        const double a = 2 * 3.14159265358979 * i / count, r = i % 2 ? outer : inner;
        points.push_back({static_cast<float>(cx + r * std::cos(a)), static_cast<float>(cy + r * std::sin(a))});
    }
    return points;
}

// A five-pointed star drawn in one stroke (its edges cross), each edge cut into `per` points.
std::vector<PointF> Pentagram(int per) {
    std::vector<PointF> corners;
    for (int i = 0; i < 5; ++i) {
        const double a = -3.14159265358979 / 2 + 2 * 3.14159265358979 * (i * 2 % 5) / 5;
        corners.push_back({static_cast<float>(100 + 90 * std::cos(a)), static_cast<float>(100 + 90 * std::sin(a))});
    }
    std::vector<PointF> points;
    for (int i = 0; i < 5; ++i) {
        const PointF a = corners[i], b = corners[(i + 1) % 5];
        for (int k = 0; k < per; ++k) points.push_back({a.x + (b.x - a.x) * k / per, a.y + (b.y - a.y) * k / per});
    }
    return points;
}

}  // namespace

TEST(Design, OrdinaryOutlinesDrawAsThePlainPainterDoes) {
    const QSize size(200, 200);
    const std::vector<PointF> triangle{{20, 30}, {180, 60}, {70, 170}};
    const std::vector<PointF> zigzag{{10, 10}, {60, 150}, {110, 20}, {160, 180}, {190, 40}};
    std::vector<std::unique_ptr<EffectItem>> items;
    items.push_back(PointList(kItemPolygon, triangle, 1, true));
    items.push_back(PointList(kItemPolygon, triangle, 3, false, 30));
    items.push_back(PointList(kItemPolygon, Pentagram(1), 2, true));  // crossing edges: odd-even
    items.push_back(PointList(kItemPolygon, Around(40, 60, 90), 1, true, 45));
    items.push_back(PointList(kItemPolyline, zigzag, 1, false));
    items.push_back(PointList(kItemPolyline, zigzag, 4, true, 90));
    for (auto& item : items) {
        const QImage plain = PlainDrawing(*item, size);
        const int kind = item->kind();
        EXPECT_EQ(Drawn(std::move(item), size), plain) << "kind " << kind;
    }
}

TEST(Design, OutlinesOfManyPointsLookAsThePlainDrawing) {
    const QSize size(200, 200);
    std::vector<std::unique_ptr<EffectItem>> items;
    items.push_back(PointList(kItemPolygon, Around(6000, 80, 80), 3, true));
    items.push_back(PointList(kItemPolygon, Around(6000, 50, 90), 2, true, 20));
    items.push_back(PointList(kItemPolyline, Around(6000, 70, 70), 3, false));
    items.push_back(PointList(kItemPolygon, Pentagram(1200), 1, true));
    items.push_back(PointList(kItemPolygon, Pentagram(1200), 2, true));
    items.push_back(PointList(kItemPolyline, Pentagram(1200), 1, false, 30));
    for (std::size_t i = 0; i < items.size(); ++i) {
        const QImage plain = PlainDrawing(*items[i], size);
        const QImage drawn = Drawn(std::move(items[i]), size);
        // Antialiased edges may differ a little; a shape, fill rule or pen width error not.
        EXPECT_LE(LargestDifference(drawn, plain), 24) << "item " << i;
    }
    // The star's centre is covered twice: empty under the odd-even rule; its points are filled.
    const QImage star = Drawn(PointList(kItemPolygon, Pentagram(1200), 1, true), size);
    EXPECT_EQ(star.pixel(100, 100), qRgb(0, 0, 0));
    EXPECT_EQ(star.pixel(100, 20), qRgb(0x30, 0xC0, 0x60));
}

TEST(Design, ItemsOfTheLargestPointCountRender) {
    const QSize size(512, 512);
    // 65,535 points (what the record allows) alternating between two radii.
    const QImage polygon = Drawn(PointList(kItemPolygon, Around(65535, 120, 200, 256, 256), 3, true), size);
    EXPECT_EQ(polygon.pixel(256, 256), qRgb(0x30, 0xC0, 0x60));  // inside the inner radius
    EXPECT_EQ(polygon.pixel(5, 5), qRgb(0, 0, 0));
    const QImage polyline = Drawn(PointList(kItemPolyline, Around(65535, 120, 200, 256, 256), 1, false), size);
    EXPECT_EQ(polyline.pixel(256, 256), qRgb(0, 0, 0));  // a line is not filled
    EXPECT_EQ(polyline.pixel(5, 5), qRgb(0, 0, 0));
    EXPECT_NE(polyline.pixel(256 + 160, 256), qRgb(0, 0, 0));  // spikes every few hundredths of a degree
    // Points far outside or of no number (a damaged file) draw what they can, nothing more.
    std::vector<PointF> wild = Around(8000, 120, 200, 256, 256);
    wild[10] = {1e30f, -1e30f};
    wild[20] = {std::numeric_limits<float>::quiet_NaN(), 5};
    wild[30] = {std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity()};
    for (const int kind : {kItemPolygon, kItemPolyline}) {
        const QImage drawn = Drawn(PointList(kind, wild, 3, true), size);
        EXPECT_EQ(drawn.size(), size);
        EXPECT_EQ(drawn.pixel(256 + 160, 256), qRgb(0x30, 0xC0, 0x60)) << "kind " << kind;  // a spike far from them
    }
    // Points of no number are left out and their neighbours joined, so the outline still closes:
    // an eighth of a circle given as no number is cut off by the chord, with nothing drawn to
    // the right of it and no streak along the rows the missing points spanned.
    std::vector<PointF> cut = Around(8000, 100, 100, 256, 256);
    for (int i = 0; i <= 1000; ++i) cut[i] = {std::numeric_limits<float>::quiet_NaN(), 0};
    const QImage chord = Drawn(PointList(kItemPolygon, cut, 1, true), size);
    EXPECT_EQ(chord.pixel(300, 256), qRgb(0x30, 0xC0, 0x60));
    EXPECT_EQ(chord.pixel(345, 300), qRgb(0, 0, 0));
    EXPECT_EQ(chord.pixel(352, 270), qRgb(0, 0, 0));
    // The same outline as a layer's mask over a rectangle.
    EffectList effects;
    auto layer = std::make_unique<EffectLayer>();
    layer->items.push_back(Shape(kItemRectangle, 0, 0, 512, 512, 0xFFFF0000u));
    layer->items.push_back(PointList(kItemPolygon, Around(65535, 120, 200, 256, 256), 1, true));
    layer->mask = layer->items.back().get();
    effects.Append(std::move(layer));
    const QImage masked = RenderDesign(effects, size, {});
    EXPECT_EQ(masked.pixel(256, 256), qRgb(255, 0, 0));
    EXPECT_EQ(masked.pixel(5, 5), qRgb(0, 0, 0));
}

TEST(Design, MasksOfManyPointsClipAsThePlainClipPath) {
    const QSize size(200, 200);
    for (const int angle : {0, 30}) {
        EffectList effects;
        auto layer = std::make_unique<EffectLayer>();
        layer->items.push_back(Shape(kItemRectangle, 0, 0, 200, 200, 0xFFFF0000u));
        layer->items.push_back(Shape(kItemEllipse, 90, 90, 20, 20, 0xFF0000FFu));  // in the star's hole
        layer->items.push_back(PointList(kItemPolygon, Pentagram(1200), 1, true, static_cast<std::uint16_t>(angle)));
        layer->mask = layer->items.back().get();
        // The plain way: the mask's path as the painter's clip.
        QImage plain(size, QImage::Format_RGB32);
        plain.fill(Qt::black);
        {
            QPainter p(&plain);
            p.setRenderHint(QPainter::Antialiasing);
            const EffectItem& mask = *layer->mask;
            const QRectF box = QRectF(mask.x, mask.y, mask.w, mask.h).normalized();
            QTransform turn;
            turn.translate(box.center().x(), box.center().y());
            turn.rotate(angle);
            turn.translate(-box.center().x(), -box.center().y());
            p.setClipPath(turn.map(ItemPath(mask)));
            for (int i = 0; i < 2; ++i) DrawItem(p, *layer->items[static_cast<std::size_t>(i)], {});
        }
        effects.Append(std::move(layer));
        const QImage drawn = RenderDesign(effects, size, {});
        EXPECT_LE(LargestDifference(drawn, plain), 24) << "angle " << angle;
        EXPECT_EQ(drawn.pixel(5, 195), qRgb(0, 0, 0));
        EXPECT_EQ(drawn.pixel(100, 100), qRgb(0, 0, 0));
    }
}
