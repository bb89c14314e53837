#include "Targets.h"

#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

#include "base/Binary.h"
#include "base/FileUtil.h"
#include "base/ProfileFile.h"
#include "base/Random.h"
#include "controller/Catalogue.h"
#include "controller/LampTypes.h"
#include "controller/LedFile.h"
#include "controller/LedImport.h"
#include "formats/Archive.h"
#include "lang/Language.h"
#include "lang/UiStrings.h"
#include "layout/DisplayModule.h"
#include "layout/Dxf.h"
#include "layout/LineFile.h"
#include "project/Document.h"
#include "project/SampleDesign.h"

namespace corv::fuzz {

namespace fs = std::filesystem;

namespace {

Bytes ReadBack(const fs::path& p) {
    auto bytes = ReadFileBytes(p);
    if (!bytes || bytes->empty()) {
        throw std::runtime_error("the writer left no file at " + p.string());
    }
    return *bytes;
}

Bytes FromText(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

// A broken promise of a reader (as opposed to a refusal): reported as a finding.
void Expect(bool condition, const std::string& what) {
    if (!condition) {
        throw std::runtime_error(what);
    }
}

// ---- project documents ------------------------------------------------------------------

struct Project {
    AppState app;
    FrameStore store{app};
    EffectList effects;
};

void Pattern(Frame* f, int seed) {
    for (int y = 0; y < f->height(); ++y) {
        for (int x = 0; x < f->width(); ++x) {
            f->SetPixel(
                x, y,
                Bgr{static_cast<std::uint8_t>(x * 31 + seed), static_cast<std::uint8_t>(y * 17),
                    static_cast<std::uint8_t>(seed * 5 + x + y)});
        }
    }
}

Bytes WriteProject(const fs::path& dir, const std::string& name, Project& p, std::int16_t gx,
                   std::int16_t gy, std::uint16_t canvasW, std::uint16_t canvasH,
                   const fs::path& music) {
    DocumentSource src;
    src.frames = &p.store;
    src.effects = &p.effects;
    src.gridScaleX = gx;
    src.gridScaleY = gy;
    src.canvasWidth = canvasW;
    src.canvasHeight = canvasH;
    src.musicPath = music;
    if (DocErrorOf(WriteDocument(dir / name, src)) != DocError::None) {
        throw std::runtime_error("WriteDocument failed for " + name);
    }
    return ReadBack(dir / name);
}

// Valid documents: two clips with layers of every kind and music; the smallest one; one in the
// older form with plain frame counts; four clips of odd sizes without layers.
std::vector<Bytes> DocumentSeeds(const fs::path& dir) {
    std::vector<Bytes> seeds;
    {
        Project p;
        p.store.AddClip(3, 2);
        p.store.clip(0).lineFilePath = "/shows/bridge.lnf";
        for (int i = 0; i < 3; ++i)
            Pattern(p.store.AppendFrame(true), i);
        p.store.AddClip(5, 1);
        Pattern(p.store.AppendFrame(false), 9);
        p.effects.Append(test::LayerWithEveryKind());
        p.effects.Append(std::make_unique<EffectLayer>());
        WriteBytes(dir / "music.mp3", FromText(std::string("ID3\x03music-bytes-for-the-tail", 28)));
        seeds.push_back(WriteProject(dir, "rich.cvn", p, 2, 3, 800, 600, dir / "music.mp3"));
    }
    {
        Project p;
        p.store.AddClip(1, 1);
        seeds.push_back(WriteProject(dir, "small.cvn", p, 1, 1, 0, 0, {}));
    }
    {
        Project p;
        p.store.AddClip(2, 2);
        Pattern(p.store.AppendFrame(true), 4);
        Bytes b = WriteProject(dir, "plain-counts.cvn", p, 1, 1, 64, 32, {});
        // The older version byte stores the frame count as it is.
        b[4] = document::kVersionPlainCounts;
        StoreU32(&b[document::kFrameStoreOffset + 4 + 8 + document::kLineFilePathSize], 2);
        seeds.push_back(b);
    }
    {
        Project p;
        const int sizes[4][2] = {{7, 3}, {1, 9}, {4, 4}, {13, 1}};
        for (int c = 0; c < 4; ++c) {
            p.store.AddClip(sizes[c][0], sizes[c][1]);
            p.store.clip(c).lineFilePath = std::string(static_cast<std::size_t>(40 * c), 'x');
            for (int i = 0; i < c; ++i)
                Pattern(p.store.AppendFrame(true), c * 10 + i);
        }
        seeds.push_back(WriteProject(dir, "clips.cvn", p, -1, 32767, 1, 65535, {}));
    }
    return seeds;
}

// Reads a document the ways the program does: whole (frames, layers, music), described
// (frames skipped) and clip by clip for output.
bool ReadDocumentAllWays(const fs::path& path, const fs::path& work, std::size_t pick) {
    LoadedDocument doc;
    ReadOptions opt;
    opt.tempDir = work;
    bool progressOk = true;
    opt.progress = [&](int v) { progressOk = progressOk && v >= 0 && v <= 100; };
    const DocError e = DocErrorOf(ReadDocument(path, opt, doc));
    Expect(progressOk, "progress outside 0..100");
    if (e != DocError::None) {
        return false;
    }
    Expect(doc.clips.size() == doc.frameCounts.size(), "clip and frame count lists differ");
    Expect(
        !doc.clips.empty() && doc.clips.size() <= static_cast<std::size_t>(FrameStore::kMaxClips),
        "clip count outside 1..16 accepted");
    for (std::size_t c = 0; c < doc.clips.size(); ++c) {
        Expect(doc.clips[c].frames.size() == doc.frameCounts[c],
               "loaded frames differ from the frame count");
        for (const Frame& f : doc.clips[c].frames) {
            Expect(f.width() == static_cast<int>(doc.clips[c].width) &&
                       f.height() == static_cast<int>(doc.clips[c].height),
                   "frame size differs from the clip size");
        }
    }
    for (const auto& layer : doc.layers) {
        Expect(layer != nullptr, "null layer");
    }

    LoadedDocument described;
    ReadOptions quick;
    quick.tempDir = work;
    quick.loadFrames = false;
    quick.extractMusic = false;
    Expect(DocErrorOf(ReadDocument(path, quick, described)) == DocError::None,
           "read without frames refuses what the full read took");

    // The clip reader, for one clip (its read-ahead window of 2 MiB makes every clip costly).
    {
        const std::size_t c = pick % doc.clips.size();
        ClipFrameReader reader;
        Expect(DocErrorOf(reader.Open(path, static_cast<int>(c), work)) == DocError::None,
               "clip reader refuses a read document");
        Expect(reader.count() == doc.frameCounts[c], "clip reader counts other frames");
        for (std::size_t i = 0; i < reader.count(); ++i) {
            const Frame* f = reader.Next(i);
            Expect(f != nullptr, "clip reader cannot read a frame the document holds");
            Expect(*f == doc.clips[c].frames[i], "clip reader reads other pixels");
        }
        Expect(reader.Next(reader.count()) == nullptr, "clip reader reads past the last frame");
        if (reader.count() > 0 && pick % 4 == 0) {
            auto fork = reader.Fork();
            Expect(fork->Next(reader.count() - 1) != nullptr, "forked clip reader fails");
        }
    }
    return true;
}

// ---- line files ---------------------------------------------------------------------------

LightTypeRecord Lamp(const std::string& name, std::vector<std::uint8_t> pins) {
    LightTypeRecord r;
    r.SetName(name);
    r.pinCount = static_cast<std::uint8_t>(pins.size());
    r.pins.fill(LightTypeRecord::kNotConnected);
    std::copy(pins.begin(), pins.end(), r.pins.begin());
    return r;
}

std::vector<LightTypeRecord> LampList() {
    auto lamps = BuiltInLightTypes();
    lamps.push_back(Lamp("RGBW strip", {2, 1, 0, 5, 4, 3}));
    std::vector<std::uint8_t> many;
    for (int i = 0; i < 192; ++i)
        many.push_back(static_cast<std::uint8_t>(i % 250));
    lamps.push_back(Lamp("Wide board", many));
    return lamps;
}

// An older line file (versions 0 to 2), written field by field.
Bytes OldLineFile(std::uint8_t version) {
    ByteWriter w;
    w.Bytes("LNF", 3);
    w.U8(version);
    w.Zeros(6);
    w.U16(3);  // rows
    w.U16(4);  // cols
    w.U8(0);
    w.U32(0);
    w.U8(0);   // master-slave
    w.U16(2);  // lines
    w.U16(0);
    w.U32(2);
    w.U32(MakePoint(0, 0));
    w.U32(MakePoint(0, 1));
    w.U32(3);
    w.U32(MakePoint(1, 0));
    w.U32(MakePoint(1, 1));
    w.U32(MakePoint(2, 3));
    w.U32(1);  // one pair
    w.U32(3);
    w.U32(4);
    if (version >= 1) {
        for (int i = 0; i < 64; ++i)
            w.U8(static_cast<std::uint8_t>(255 - i));
    }
    w.U8(1);
    w.U8(0);
    for (int t = 0; t < 11; ++t) {
        w.U8(static_cast<std::uint8_t>(t));
        w.U8(static_cast<std::uint8_t>(t + 1));
    }
    w.U32(5);
    w.Zeros(5);
    const auto lamps = BuiltInLightTypes();
    w.U32(2);
    for (int i = 0; i < 2; ++i) {
        const auto b = lamps[static_cast<std::size_t>(i)].Bytes();
        w.Bytes(b.data(), version >= 3 ? LightTypeRecord::kSize : LightTypeRecord::kOldSize);
    }
    w.U32(2);
    w.U16(1);
    w.U16(0);
    return std::move(w.bytes());
}

std::vector<Bytes> LineFileSeeds() {
    std::vector<Bytes> seeds;
    const auto lamps = LampList();
    {
        Layout l;
        l.New(8, 10, false, 3);
        for (int c = 0; c < 10; ++c)
            l.lines[0].push_back(MakePoint(0, c));
        for (int r = 1; r < 8; ++r)
            l.lines[1].push_back(MakePoint(r, 9 - r));
        l.lines[3] = {MakePoint(7, 0), MakePoint(7, 1), MakePoint(7, 1)};
        l.RecomputeLineCount();
        l.setting.pairListA = {1, 2, 3};
        l.setting.pairListB = {7, 8, 9};
        l.setting.lightType[1] = 6;
        l.setting.lightType[3] = 7;
        l.setting.icType[2] = 102;
        l.slaveGroups = {1, 2};
        seeds.push_back(LineFileBytes(l, lamps));
    }
    {
        Layout l;
        l.New(12, 24, true, 104);
        for (int r = 0; r < 12; ++r)
            l.lines[static_cast<std::size_t>(r % 5)].push_back(MakePoint(r, r));
        l.RecomputeLineCount();
        l.setting.SetPortsPerSlave(2);
        l.setting.controllerType = 2;
        seeds.push_back(
            LineFileBytes(l, std::span<const LightTypeRecord>(lamps).first(kBuiltInLightTypes)));
    }
    seeds.push_back(OldLineFile(1));
    seeds.push_back(OldLineFile(2));
    return seeds;
}

// ---- controller data files ----------------------------------------------------------------

struct Show {
    Layout layout;
    std::vector<LightTypeRecord> lamps = LampList();
    ChipCatalogue catalogue;
    std::vector<Frame> frames;

    Show(int rows, int cols, int frameCount) {
        layout.New(rows, cols, false, 3);
        for (int i = 0; i < frameCount; ++i) {
            Frame f(cols, rows);
            Pattern(&f, i);
            frames.push_back(std::move(f));
        }
    }
    WriterInput Input() {
        layout.RecomputeLineCount();
        WriterInput in;
        in.layout = &layout;
        in.lamps = &lamps;
        in.catalogue = &catalogue;
        in.frame = FrameShape{layout.grid.rows, layout.grid.cols};
        return in;
    }
};

// The layout the import reads through: three lines on two rows, two masters.
void ImportLayout(Show& s) {
    for (int c = 0; c < 6; ++c)
        s.layout.lines[0].push_back(MakePoint(0, c));
    for (int c = 5; c >= 0; --c)
        s.layout.lines[1].push_back(MakePoint(1, c));
    s.layout.lines[2] = {MakePoint(1, 2), MakePoint(0, 3)};
    s.layout.setting.lightType[2] = 6;  // the RGBW lamp
    s.layout.slaveGroups = {2};
    s.layout.RecomputeLineCount();
}

Bytes WriteLed(const fs::path& dir, const std::string& name, Show& s, int s0, int n,
               std::uint64_t rngSeed) {
    WriterInput in = s.Input();
    ClipFrameSource src(s.frames);
    Random rng(rngSeed);
    if (!WriteLedFile(dir / name, in, s0, n, src, 0, s.frames.size(), rng)) {
        throw std::runtime_error("WriteLedFile failed for " + name);
    }
    return ReadBack(dir / name);
}

std::vector<Bytes> ControllerSeeds(const fs::path& dir) {
    std::vector<Bytes> seeds;
    {
        Show s(2, 6, 4);
        ImportLayout(s);
        seeds.push_back(WriteLed(dir, "ms.led", s, 0, 3, 1));
    }
    {
        Show s(2, 6, 2);
        ImportLayout(s);
        s.layout.setting.icType[0] = 104;  // 12-bit gray split in halves
        s.layout.setting.icType[1] = 102;  // 15-bit colour
        seeds.push_back(WriteLed(dir, "chips.led", s, 0, 2, 2));
    }
    {
        Show s(1, 4, 3);
        s.layout.lines[0] = {MakePoint(0, 0), MakePoint(0, 1), MakePoint(0, 2), MakePoint(0, 3)};
        s.layout.setting.controllerType = 1;
        seeds.push_back(WriteLed(dir, "single.led", s, 0, 1, 3));
    }
    {
        Show s(1, 4, 2);
        s.layout.lines[0] = {MakePoint(0, 3), MakePoint(0, 2)};
        s.layout.setting.controllerType = 2;
        seeds.push_back(WriteLed(dir, "simple.led", s, 0, 1, 4));
    }
    return seeds;
}

// ---- display modules, lamp types --------------------------------------------------------

DisplayModule Module(const std::string& name, std::uint16_t w, std::uint16_t h,
                     std::vector<std::uint32_t> offsets) {
    DisplayModule m;
    m.name = name;
    m.width = w;
    m.height = h;
    m.offsets = std::move(offsets);
    return m;
}

std::vector<Bytes> ModuleSeeds() {
    std::vector<Bytes> seeds;
    std::vector<DisplayModule> a = {
        Module("Square", 2, 2, {0, 1, 0x10001, 0x10000}),
        Module("Zigzag rows", 3, 2, {0, 1, 2, 0x10002, 0x10001, 0x10000}),
        Module("Empty", 1, 1, {}),
        Module("\xE6\xA8\xA1\xE5\x9D\x97", 1, 3, {0, 0x10000, 0x20000}),
    };
    seeds.push_back(ModuleFileBytes(a));
    std::vector<std::uint32_t> big;
    for (int r = 0; r < 20; ++r) {
        for (int c = 0; c < 15; ++c)
            big.push_back(static_cast<std::uint32_t>((r << 16) | (r % 2 ? 14 - c : c)));
    }
    std::vector<DisplayModule> b = {Module("Panel 15x20", 15, 20, big)};
    seeds.push_back(ModuleFileBytes(b));
    return seeds;
}

std::vector<Bytes> LampTypeSeeds() {
    std::vector<Bytes> seeds;
    auto list = LampList();
    list.push_back(Lamp("One pin", {0}));
    list.push_back(Lamp("Not connected", {255, 255, 2}));
    seeds.push_back(PinSetBytes(list));
    // The older form: version 1, 115-byte records (64 pins).
    ByteWriter w;
    w.U16(3);
    w.U16(1);
    for (const auto& rec :
         {Lamp("Old RGB", {2, 1, 0}), Lamp("Old pair", {0, 1, 2, 3, 4, 5}), Lamp("", {1})}) {
        const auto b = rec.Bytes();
        w.Bytes(b.data(), LightTypeRecord::kOldSize);
    }
    seeds.push_back(std::move(w.bytes()));
    return seeds;
}

// ---- profile files, catalogue -----------------------------------------------------------

Bytes WriteProfile(const fs::path& file,
                   const std::vector<std::tuple<std::string, std::string, std::string>>& entries) {
    std::error_code ec;
    fs::remove(file, ec);
    for (const auto& [section, key, value] : entries) {
        ProfileFile pf(file, section);
        if (!pf.WriteString(key, value)) {
            throw std::runtime_error("ProfileFile::WriteString failed");
        }
    }
    return ReadBack(file);
}

std::vector<Bytes> CatalogueSeeds(const fs::path& dir) {
    std::vector<Bytes> seeds;
    std::vector<std::tuple<std::string, std::string, std::string>> e;
    const char* names[][3] = {{"\xE6\x97\xA0", "NotEnable", "2"},
                              {"DMX512", "DMX512", "19"},
                              {"", "LPD6803", "102"},
                              {"SD600", "", "103"},
                              {"DM413_H", "DM413_H", "104"},
                              {"X", "Big", "254"}};
    for (int n = 0; n < 6; ++n) {
        const std::string i = std::to_string(n);
        e.emplace_back("main", "CH" + i, names[n][0]);
        e.emplace_back("main", "EN" + i, names[n][1]);
        e.emplace_back("main", "NUM" + i, names[n][2]);
        e.emplace_back("main", "TIPS" + i, "Line one\\Line two\\" + std::string(n * 40, 't'));
    }
    e.emplace_back("main", "DELAY19", "7");
    e.emplace_back("main", "DELAY102", "-3");
    e.emplace_back("other", "CH0", "ignored");
    seeds.push_back(WriteProfile(dir / "DrICtype.ict", e));
    seeds.push_back(FromText(
        "; hand-edited\n[MAIN]\n  ch0 = A \nen0=\"Quoted\"\nnum0=+12abc\n\n[main]\nCH1=dup\n"
        "en1=B\nnum1=-2147483648\ntips1=\\\\\\\ndelay-2147483648=5\n"));
    return seeds;
}

std::vector<Bytes> ProfileSeeds(const fs::path& dir) {
    std::vector<Bytes> seeds;
    seeds.push_back(WriteProfile(dir / "Led Conf.ldc",
                                 {{"Corvantine", "Language", "3"},
                                  {"Corvantine", "LineFile  ", "/home/user/shows/bridge.lnf"},
                                  {"Corvantine", "FrameWidth", "64"},
                                  {"Corvantine", "FrameHeight", "-32"},
                                  {"Recent", "File1", "/a/b.cvn"},
                                  {"Recent", "File2", "\"quoted value\""},
                                  {"Window", "Geometry", std::string(600, 'g')},
                                  {"Corvantine", "Colour", "4294967295"}}));
    seeds.push_back(FromText(
        "\xEF\xBB\xBF; comment\n[Corvantine]\nLanguage=1\n; Language=2\n  framewidth  =  12  \n"
        "[Recent\nFile1=x\n[ Window ]\nGeometry=1=2=3\n=orphan\nnokey\n"));
    return seeds;
}

// ---- DXF ----------------------------------------------------------------------------------

class DxfText {
public:
    explicit DxfText(std::string eol, std::string pad = {})
        : eol_(std::move(eol)), pad_(std::move(pad)) {}
    DxfText& Pair(int code, const std::string& value) {
        text_ += pad_ + std::to_string(code) + eol_ + value + eol_;
        return *this;
    }
    DxfText& Pair(int code, double value) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.6f", value);
        return Pair(code, std::string(buf));
    }
    DxfText& Point(int code, double x, double y) { return Pair(code, x).Pair(code + 10, y); }
    const std::string& text() const { return text_; }

private:
    std::string eol_, pad_;
    std::string text_;
};

std::string DxfDrawingText(const std::string& eol, const std::string& pad, bool lwpolyline) {
    DxfText d(eol, pad);
    d.Pair(0, "SECTION")
        .Pair(2, "HEADER")
        .Pair(9, "$ACADVER")
        .Pair(1, lwpolyline ? "AC1024" : "AC1009");
    d.Pair(0, "ENDSEC");
    d.Pair(0, "SECTION").Pair(2, "TABLES").Pair(0, "ENDSEC");
    d.Pair(0, "SECTION").Pair(2, "ENTITIES");
    // A chain of three segments with LEDs along it, labelled at its far end.
    const double pts[4][2] = {{0, 0}, {300, 0}, {300, 200}, {0, 200}};
    for (int i = 0; i < 3; ++i) {
        d.Pair(0, "LINE")
            .Pair(8, "0")
            .Point(10, pts[i][0], pts[i][1])
            .Point(11, pts[i + 1][0], pts[i + 1][1]);
    }
    for (int i = 0; i < 3; ++i) {
        for (int k = 0; k <= 3; ++k) {
            const double x = pts[i][0] + (pts[i + 1][0] - pts[i][0]) * k / 3;
            const double y = pts[i][1] + (pts[i + 1][1] - pts[i][1]) * k / 3;
            d.Pair(0, "CIRCLE").Pair(8, "LED").Point(10, x, y).Pair(40, 10.0);
        }
    }
    d.Pair(0, "TEXT").Point(10, 5, 205).Pair(40, 20.0).Pair(1, "#3");
    d.Pair(0, "TEXT").Point(10, 500, 500).Pair(40, 8.0).Pair(1, "note");
    // A second chain, unlabelled.
    d.Pair(0, "LINE").Point(10, 0, 400).Point(11, 100, 400);
    d.Pair(0, "CIRCLE").Point(10, 50, 400).Pair(40, 10.0);
    d.Pair(0, "ELLIPSE").Point(10, 150, 150).Point(11, 30, 0).Pair(40, 0.5);
    d.Pair(0, "ARC").Point(10, 10, 10).Pair(40, 5.0).Pair(50, 0.0).Pair(51, 90.0);
    if (lwpolyline) {
        d.Pair(0, "LWPOLYLINE")
            .Pair(90, "3")
            .Pair(70, "0")
            .Point(10, 0, 0)
            .Point(10, 10, 10)
            .Point(10, 20, 0);
    } else {
        d.Pair(0, "POLYLINE").Pair(66, "1").Point(10, 0, 0);
        for (int k = 0; k < 3; ++k)
            d.Pair(0, "VERTEX").Point(10, k * 10.0, k * 5.0);
        d.Pair(0, "SEQEND");
    }
    d.Pair(0, "ENDSEC").Pair(0, "EOF");
    return d.text();
}

std::vector<Bytes> DxfSeeds() {
    std::vector<Bytes> seeds;
    seeds.push_back(FromText(DxfDrawingText("\n", "", false)));
    seeds.push_back(FromText(DxfDrawingText("\r\n", "  ", true)));
    // A grid of LEDs, rows joined by segments (the vertex mode case).
    DxfText g("\n");
    g.Pair(0, "SECTION").Pair(2, "ENTITIES");
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 5; ++c) {
            g.Pair(0, "CIRCLE").Point(10, c * 25.0, r * 25.0).Pair(40, 4.0);
            if (c > 0)
                g.Pair(0, "LINE").Point(10, (c - 1) * 25.0, r * 25.0).Point(11, c * 25.0, r * 25.0);
        }
        g.Pair(0, "TEXT").Point(10, 0, r * 25.0).Pair(40, 3.0).Pair(1, "#" + std::to_string(r + 1));
    }
    g.Pair(0, "ENDSEC").Pair(0, "EOF");
    seeds.push_back(FromText(g.text()));
    return seeds;
}

}  // namespace

// ---- the targets --------------------------------------------------------------------------

Target MakeDocumentTarget(const fs::path& scratch) {
    Target t;
    t.name = "document";
    t.seeds = DocumentSeeds(scratch);
    fs::create_directories(scratch / "work");
    t.read = [scratch](const Bytes& input) {
        WriteBytes(scratch / "in.cvn", input);
        return ReadDocumentAllWays(scratch / "in.cvn", scratch / "work", input.size());
    };
    return t;
}

Target MakeCompressedDocumentTarget(const fs::path& scratch) {
    Target t;
    t.name = "compressed document";
    // Archives (damaged as archives) and documents (damaged, then packed into a sound archive,
    // so that the damage reaches the document reader behind the extraction).
    auto pack = [scratch](const Bytes& doc, const std::string& entry) {
        WriteBytes(scratch / "doc.bin", doc);
        if (!WriteStoredRar(scratch / "packed.rar", scratch / "doc.bin", entry)) {
            throw std::runtime_error("WriteStoredRar failed");
        }
        return ReadBack(scratch / "packed.rar");
    };
    const std::vector<Bytes> documents = DocumentSeeds(scratch);
    for (const Bytes& doc : documents) {
        t.seeds.push_back(pack(doc, document::kEntryName));
    }
    // Entry names with folders: only the last part counts.
    t.seeds.push_back(pack(documents[1], std::string("shows/") + document::kEntryName));
    t.seeds.push_back(pack(documents[1], std::string("../../") + document::kEntryName));
    // One document: packing costs more than reading, and the plain reader takes the rest.
    t.seeds.push_back(documents[0]);
    fs::create_directories(scratch / "work");
    t.read = [scratch, pack](const Bytes& input) {
        const bool archive = input.size() >= 3 && std::memcmp(input.data(), "Rar", 3) == 0;
        WriteBytes(scratch / "in.rar", archive ? input : pack(input, document::kEntryName));
        return ReadDocumentAllWays(scratch / "in.rar", scratch / "work", input.size());
    };
    return t;
}

Target MakeLineFileTarget(const fs::path& scratch) {
    Target t;
    t.name = "line file";
    t.seeds = LineFileSeeds();
    t.read = [scratch](const Bytes& input) {
        LineFileContent content;
        if (ParseLineFile(input, content) != LineFileError::None) {
            return false;
        }
        Expect(content.setting.lineCount <= kLineCount, "more lines than there are");
        WriteBytes(scratch / "in.lnf", input);
        Layout layout;
        layout.New(4, 4, false, 3);
        auto lamps = BuiltInLightTypes();
        Expect(LineFileErrorOf(LoadLineFile(scratch / "in.lnf", layout, lamps, 3)) == LineFileError::None,
               "LoadLineFile refuses what ParseLineFile took");
        Expect(layout.occupancy.rows() <= layout.grid.rows &&
                   layout.occupancy.cols() <= layout.grid.cols,
               "occupancy larger than the grid");
        layout.occupancy.At(layout.grid.rows - 1, layout.grid.cols - 1);
        for (auto g : layout.slaveGroups)
            Expect(g != 0, "empty slave group kept");
        return true;
    };
    return t;
}

Target MakeControllerFileTarget(const fs::path& scratch) {
    Target t;
    t.name = "controller file";
    t.seeds = ControllerSeeds(scratch);
    auto show = std::make_shared<Show>(2, 6, 1);
    ImportLayout(*show);
    auto strings = std::make_shared<UiStrings>(LoadUiStrings(kLanguageEnglish));
    auto count = std::make_shared<std::uint64_t>(0);
    t.read = [scratch, show, strings, count](const Bytes& input) {
        // Master 1 and master 2 by turns (the file name picks the slaves).
        const fs::path path = scratch / ((*count)++ % 2 ? "show2.led" : "show.led");
        WriteBytes(path, input);
        const auto read = ReadLedInfo(path);
        const bool ok = read.ok();
        if (ok) {
            const LedFileInfo& info = *read;
            Expect(info.dataOffset <= info.fileSize && info.blockSize > 0,
                   "impossible sizes accepted");
            Expect(info.frameCount <= info.fileSize, "more frames than bytes");
            Expect(info.records.size() == info.slaveCount,
                   "record count differs from the slave count");
        } else {
            Expect(!read.message().empty(), "refused without a message");
        }
        AppState app;
        FrameStore store(app);
        store.AddClip(6, 2);
        app.currentFrame = 0;
        const ImportResult r = ImportLedFile(path, show->layout, show->lamps, store, app, *strings);
        if (r.ok) {
            Expect(ok, "ImportLedFile took a file ReadLedInfo refuses");
            Expect(store.CurrentFrames().size() == 1 + r.blocks,
                   "imported blocks and new frames differ");
        } else {
            Expect(!r.message.empty(), "import refused without a message");
        }
        std::remove(path.c_str());
        return ok;
    };
    return t;
}

Target MakeDisplayModuleTarget(const fs::path& scratch) {
    Target t;
    t.name = "display module file";
    t.seeds = ModuleSeeds();
    t.read = [scratch](const Bytes& input) {
        WriteBytes(scratch / "in.mde", input);
        ModuleList list;
        list.Load(scratch / "in.mde");
        ModuleList other;
        other.Import(scratch / "in.mde");
        Expect(list.size() == other.size(), "Load and Import read different modules");
        for (std::size_t i = 0; i < list.size(); ++i) {
            Expect(
                list.DisplayName(i, kLanguageEnglish).size() < DisplayModule::kNameSize || i == 0,
                "module name longer than its field");
            list.DisplayName(i, kLanguageSimplified);
        }
        list.Find("Square", kLanguageEnglish);
        // What was read is written back byte for byte.
        const auto& modules = list.modules();
        const std::span<const DisplayModule> user(modules.data() + 1, modules.size() - 1);
        const Bytes again = ModuleFileBytes(user);
        const auto back = ReadModuleRecords(std::span<const std::uint8_t>(again).subspan(1));
        Expect(back.size() == user.size(), "written modules read back as another count");
        for (std::size_t i = 0; i < back.size(); ++i) {
            Expect(back[i].name == user[i].name && back[i].SameShape(user[i]),
                   "written module reads back changed");
        }
        return list.size() > 1;
    };
    return t;
}

Target MakeLampTypeTarget(const fs::path& scratch) {
    Target t;
    t.name = "lamp-type file";
    t.seeds = LampTypeSeeds();
    t.read = [scratch](const Bytes& input) {
        auto list = BuiltInLightTypes();
        const int added = ReadPinSet(input, list);
        Expect(added >= 0 && list.size() == kBuiltInLightTypes + static_cast<std::size_t>(added),
               "added count differs from the list");
        for (const auto& rec : list) {
            Expect(rec.pinCount >= 1 && rec.pinCount <= LightTypeRecord::kMaxPins,
                   "unusable lamp type taken");
            ShortcutText(rec);
            for (std::size_t p = 0; p < rec.pinCount; ++p)
                PinText(rec.pins[p]);
        }
        WriteBytes(scratch / "PinSet.pet", input);
        const auto loaded = LoadLampTypes(scratch / "PinSet.pet");
        Expect(loaded == list, "LoadLampTypes and ReadPinSet differ");
        return added > 0;
    };
    return t;
}

Target MakeCatalogueTarget(const fs::path& scratch) {
    Target t;
    t.name = "chip catalogue";
    t.text = true;
    t.seeds = CatalogueSeeds(scratch);
    t.read = [scratch](const Bytes& input) {
        WriteBytes(scratch / "in.ict", input);
        const ChipCatalogue c = ChipCatalogue::Load(scratch / "in.ict");
        Expect(c.entries().size() <= static_cast<std::size_t>(ChipCatalogue::kMaxEntries),
               "too many chips");
        for (std::size_t p = 0; p < c.entries().size() + 2; ++p) {
            c.Name(p, kLanguageSimplified);
            c.Name(p, kLanguageEnglish);
            c.Tips(p);
            const int code = c.CodeAt(p);
            const int pos = c.PositionOf(code);
            Expect(pos >= 0 && pos <= static_cast<int>(c.entries().size()),
                   "position outside the list");
            c.Delay(code);
        }
        for (int code : {-2147483647 - 1, -1, 0, 254, 255, 256, 2147483647}) {
            c.PositionOf(code);
            c.Delay(code);
        }
        return !c.entries().empty();
    };
    return t;
}

Target MakeProfileTarget(const fs::path& scratch) {
    Target t;
    t.name = "profile file";
    t.text = true;
    t.seeds = ProfileSeeds(scratch);
    t.read = [scratch](const Bytes& input) {
        const fs::path file = scratch / "in.ini";
        WriteBytes(file, input);
        const std::vector<std::string> found = ProfileFile(file, "Corvantine").Sections();
        std::vector<std::string> sections(
            found.begin(), found.begin() + std::min<std::ptrdiff_t>(16, std::ssize(found)));
        for (const char* s : {"Corvantine", "Recent", "Window", ""})
            sections.emplace_back(s);
        for (const auto& name : sections) {
            ProfileFile pf(file, name);
            // Every call parses the whole file again: a few keys of each section are enough.
            const auto keys = pf.Keys();
            for (std::size_t k = 0; k < keys.size() && k < 16; ++k) {
                const std::string& key = keys[k];
                pf.GetInt(key, -7);
                Expect(pf.GetString(key).size() < ProfileFile::kStringBuffer,
                       "value longer than the buffer");
                pf.HasKey(key);
            }
            for (const auto& [key, value] : pf.Values()) {
                Expect(value.size() < ProfileFile::kStringBuffer, "value longer than the buffer");
            }
        }
        // Writes go through the same parsing; what was written reads back.
        ProfileFile pf(file, "Corvantine");
        if (pf.WriteInt("FrameWidth", 321)) {
            Expect(pf.GetInt("FrameWidth", 0) == 321, "a written integer reads back changed");
        }
        if (pf.WriteString("Added Key", "two words")) {
            Expect(pf.GetString("Added Key") == "two words", "a written string reads back changed");
        }
        return !found.empty();
    };
    return t;
}

Target MakeDxfTarget(const fs::path& scratch) {
    Target t;
    t.name = "dxf drawing";
    t.text = true;
    t.seeds = DxfSeeds();
    t.read = [scratch](const Bytes& input) {
        WriteBytes(scratch / "in.dxf", input);
        const DxfDrawing d = ReadDxf(scratch / "in.dxf");
        const DxfDrawing again = ParseDxf(std::string(input.begin(), input.end()));
        Expect(d.lines.size() == again.lines.size() && d.circles.size() == again.circles.size() &&
                   d.texts == again.texts,
               "ReadDxf and ParseDxf differ");
        SuggestedSpacing(d, false);
        SuggestedSpacing(d, true);
        DxfPicture(d, 64, 48);
        DxfPicture(d, 3, 2);
        DxfPicture(d, 1, 1);
        return d.hasEntities;
    };
    return t;
}

Target MakeDxfImportTarget(const fs::path&) {
    Target t;
    t.name = "dxf import";
    t.text = true;
    t.seeds = DxfSeeds();
    t.read = [](const Bytes& input) {
        const DxfDrawing d = ParseDxf(std::string(input.begin(), input.end()));
        bool any = false;
        for (bool vertexMode : {false, true}) {
            const auto [sx, sy] = SuggestedSpacing(d, vertexMode);
            Expect(sx >= 1 && sy >= 1, "spacing below 1");
            Layout layout;
            const DxfImportResult r = ImportDxf(d, sx, sy, vertexMode, layout, 3);
            Expect(r.rows >= 1 && r.cols >= 1, "empty grid");
            Expect(static_cast<std::uint64_t>(layout.grid.rows) * layout.grid.cols <= kMaxGridCells,
                   "grid larger than the program takes");
            std::size_t points = 0;
            for (const auto& line : layout.lines)
                points += line.size();
            Expect(points == static_cast<std::size_t>(r.leds),
                   "LED count differs from the points placed");
            any = any || r.leds > 0;
        }
        return any;
    };
    return t;
}

const std::vector<NamedMaker>& AllTargets() {
    static const std::vector<NamedMaker> all = {
        {"document", MakeDocumentTarget},
        {"compressed document", MakeCompressedDocumentTarget},
        {"line file", MakeLineFileTarget},
        {"controller file", MakeControllerFileTarget},
        {"display module file", MakeDisplayModuleTarget},
        {"lamp-type file", MakeLampTypeTarget},
        {"chip catalogue", MakeCatalogueTarget},
        {"profile file", MakeProfileTarget},
        {"dxf drawing", MakeDxfTarget},
        {"dxf import", MakeDxfImportTarget},
    };
    return all;
}

}  // namespace corv::fuzz
