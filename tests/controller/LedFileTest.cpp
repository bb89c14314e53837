#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cstdlib>
#include <fstream>

#include "TestHome.h"
#include "base/Binary.h"
#include "base/FileUtil.h"
#include "controller/Card.h"
#include "controller/LedFile.h"
#include "controller/LedImport.h"
#include "formats/Spread.h"
#include "lang/Language.h"

using namespace corv;
using corv::test::TestFolder;
namespace fs = std::filesystem;

namespace {

struct Show {
    Layout layout;
    std::vector<LightTypeRecord> lamps = BuiltInLightTypes();
    ChipCatalogue catalogue;
    std::vector<Frame> frames;
    UiStrings strings = LoadUiStrings(kLanguageEnglish);

    Show(int rows, int cols, int frameCount) {
        layout.New(rows, cols, false, 3);
        for (int i = 0; i < frameCount; ++i) {
            Frame f(cols, rows);
            for (std::size_t b = 0; b < f.size(); ++b) f.data()[b] = static_cast<std::uint8_t>(b * 7 + i);
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

std::vector<std::uint8_t> Bytes(const fs::path& p) { return *ReadFileBytes(p); }

std::array<std::uint8_t, 13> Record(const std::vector<std::uint8_t>& file, std::size_t at) {
    std::array<std::uint8_t, 13> r{};
    for (std::size_t i = 0; i < 13; ++i) r[i] = UnspreadByte(file[at + 2 * i], file[at + 2 * i + 1]);
    return r;
}

}  // namespace

TEST(LedFile, SpreadEncodingRoundTrips) {
    Random rng(7);
    for (int x = 0; x < 256; ++x) {
        std::uint8_t two[2];
        SpreadByte(static_cast<std::uint8_t>(x), rng, two);
        EXPECT_EQ(UnspreadByte(two[0], two[1]), x);
    }
    // Records: 19 in the first sector after the head, 19 in each later one, none straddling.
    EXPECT_EQ(SlaveRecordOffset(0), 18u);
    EXPECT_EQ(SlaveRecordOffset(18), 18u + 18 * 26);
    EXPECT_EQ(SlaveRecordOffset(19), 512u);
    EXPECT_EQ(SlaveRecordOffset(37), 512u + 18 * 26);
    EXPECT_EQ(SlaveRecordOffset(38), 1024u);
    EXPECT_EQ(RemapChipCode(19), 101);
    EXPECT_EQ(RemapChipCode(107), 106);
    EXPECT_EQ(RemapChipCode(115), 112);
    EXPECT_EQ(RemapChipCode(110), 110);
    EXPECT_EQ(ClockByte(0, 106, 25), 200);
    EXPECT_EQ(ClockByte(0, 107, 25), 50);
    EXPECT_EQ(ClockByte(0, 112, 40), 16);
    EXPECT_EQ(ClockByte(0, 112, 41), 32);
    EXPECT_EQ(ClockByte(0, 115, 41), 10);
    EXPECT_EQ(ClockByte(1, 115, 41), 32);
    EXPECT_EQ(ClockByte(2, 106, 25), 100);
    EXPECT_EQ(ClockByte(2, 115, 25), 25);
}

TEST(LedFile, TwelveChannelFile) {
    TestFolder dir;
    Show s(1, 4, 2);
    s.layout.lines[0] = {MakePoint(0, 0), MakePoint(0, 1), MakePoint(0, 2), MakePoint(0, 3)};
    WriterInput in = s.Input();
    ClipFrameSource src(s.frames);
    Random rng(1);
    ASSERT_TRUE(WriteLedFile(dir / "a.led", in, 0, 1, src, 0, 2, rng));
    const auto f = Bytes(dir / "a.led");
    ASSERT_EQ(f.size(), 512u + 2 * 512u);
    EXPECT_EQ(std::string(f.begin(), f.begin() + 4), std::string("\0JQZ", 4));
    EXPECT_EQ(LoadU16(&f[16]), 1);
    const auto rec = Record(f, 18);
    EXPECT_EQ(rec[0], 3);
    EXPECT_EQ(rec[1], 2);  // W - 1
    EXPECT_EQ(rec[2], 0x10);
    EXPECT_EQ(rec[3], 25);
    EXPECT_EQ(rec[4], 13);
    EXPECT_EQ(rec[5], 8);
    EXPECT_EQ(rec[6], 0);
    unsigned sum = 0;
    for (int i = 0; i < 12; ++i) sum += rec[static_cast<std::size_t>(i)];
    EXPECT_EQ(rec[12], sum % 256);
    EXPECT_EQ(UnspreadByte(f[4], f[5]) << 8 | UnspreadByte(f[6], f[7]), 512);
    EXPECT_EQ(LoadU32(&f[8]) ^ LoadU32(&f[4]), 512u);
    // Frame 0: LED k is (0, k), red first.
    const Frame& fr = s.frames[0];
    EXPECT_EQ(f[512], fr.Pixel(0, 0).r);
    EXPECT_EQ(f[513], fr.Pixel(0, 0).g);
    EXPECT_EQ(f[514], fr.Pixel(0, 0).b);
    EXPECT_EQ(f[512 + 11], fr.Pixel(3, 0).b);
    for (std::size_t i = 512 + 12; i < 1024; ++i) ASSERT_EQ(f[i], 0) << i;
    const auto info = ReadLedInfo(dir / "a.led");
    ASSERT_TRUE(info) << info.message();
    EXPECT_EQ(info->frameCount, 2u);
    EXPECT_EQ(info->records[0].dataWords, 3);
    EXPECT_TRUE(info->records[0].checksumOk);
}

TEST(LedFile, TwentySlavesKeepRecordsInsideSectors) {
    TestFolder dir;
    Show s(1, 20, 1);
    for (int k = 0; k < 20; ++k) s.layout.lines[static_cast<std::size_t>(k)] = {MakePoint(0, k)};
    WriterInput in = s.Input();
    ClipFrameSource src(s.frames);
    Random rng(2);
    ASSERT_TRUE(WriteLedFile(dir / "a.led", in, 0, 20, src, 0, 1, rng));
    const auto f = Bytes(dir / "a.led");
    EXPECT_EQ(UnspreadByte(f[4], f[5]) << 8 | UnspreadByte(f[6], f[7]), 1024);
    // Record 19 ends at 512; record 20 starts the second sector.
    EXPECT_EQ(Record(f, 18 + 18 * 26)[0], 3);
    EXPECT_EQ(Record(f, 512)[0], 3);
    EXPECT_EQ(Record(f, 512)[12], Record(f, 18)[12] - Record(f, 18)[8] - Record(f, 18)[9] - Record(f, 18)[10] -
                                      Record(f, 18)[11] + Record(f, 512)[8] + Record(f, 512)[9] +
                                      Record(f, 512)[10] + Record(f, 512)[11]);
    EXPECT_EQ(f.size(), 1024u + 512u);  // 20 x 12 = 240 data bytes: one 512-byte block
    const auto info = ReadLedInfo(dir / "a.led");
    ASSERT_TRUE(info);
    ASSERT_EQ(info->records.size(), 20u);
    for (const auto& r : info->records) EXPECT_TRUE(r.checksumOk);
}

TEST(LedFile, ThirtyBitWordsWithThirtySixChannels) {
    TestFolder dir;
    Show s(1, 12, 1);
    for (int c = 0; c < 12; ++c) s.layout.lines[0].push_back(MakePoint(0, c));
    s.layout.setting.icType[0] = 110;
    WriterInput in = s.Input();
    ClipFrameSource src(s.frames);
    Random rng(3);
    ASSERT_TRUE(WriteLedFile(dir / "a.led", in, 0, 1, src, 0, 1, rng));
    const auto f = Bytes(dir / "a.led");
    const auto rec = Record(f, 18);
    EXPECT_EQ(rec[0], 110);
    EXPECT_EQ(rec[1], 11);  // 48 data bytes: W - 1 = 11
    // Every data word has its top bit set.
    for (std::size_t w = 0; w < 12; ++w) EXPECT_EQ(f[512 + 4 * w + 3] & 0x80, 0x80) << w;
    EXPECT_EQ(f[512 + 48], 0);
}

TEST(LedFile, MastersSplitByTheSlaveGroups) {
    TestFolder dir;
    Show s(1, 5, 2);
    for (int k = 0; k < 5; ++k) s.layout.lines[static_cast<std::size_t>(k)] = {MakePoint(0, k)};
    s.layout.slaveGroups = {2};
    WriterInput in = s.Input();
    ClipFrameSource src(s.frames);
    Random rng(4);
    OutputResult r = OutputControllerFiles(in, src, 0, 2, dir / "show.led", rng, s.strings);
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.files.size(), 2u);
    EXPECT_EQ(r.files[0], dir / "show1.led");
    EXPECT_EQ(r.files[1], dir / "show2.led");
    EXPECT_EQ(LoadU16(&Bytes(dir / "show1.led")[16]), 2);
    EXPECT_EQ(LoadU16(&Bytes(dir / "show2.led")[16]), 3);
    EXPECT_EQ(r.messages.back(), "Output File finished!");
    // A stale list [4] with four slaves: one file with all four, no second file.
    s.layout.lines[4].clear();
    s.layout.slaveGroups = {4};
    in = s.Input();
    r = OutputControllerFiles(in, src, 0, 2, dir / "001.led", rng, s.strings);
    ASSERT_EQ(r.files.size(), 1u);
    EXPECT_EQ(r.files[0], dir / "0011.led");
    EXPECT_EQ(LoadU16(&Bytes(dir / "0011.led")[16]), 4);
    // No groups: the chosen name as it is.
    s.layout.slaveGroups.clear();
    r = OutputControllerFiles(in, src, 1, 2, dir / "one.led", rng, s.strings);
    ASSERT_EQ(r.files.size(), 1u);
    EXPECT_EQ(r.files[0], dir / "one.led");
}

TEST(LedFile, OutputReportNamesEachFileWithItsFramesAndSizeAndTheCard) {
    TestFolder dir;
    Show s(1, 5, 4);
    for (int k = 0; k < 5; ++k) s.layout.lines[static_cast<std::size_t>(k)] = {MakePoint(0, k)};
    s.layout.slaveGroups = {2};
    WriterInput in = s.Input();
    ClipFrameSource src(s.frames);
    Random rng(6);
    OutputResult r = OutputControllerFiles(in, src, 1, 4, dir / "show.led", rng, s.strings);
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.report.files.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        const OutputFileReport& f = r.report.files[i];
        EXPECT_EQ(f.path, r.files[i]);
        EXPECT_EQ(f.frames, 3u);
        EXPECT_EQ(f.bytes, fs::file_size(f.path));
        EXPECT_GT(f.bytes, 512u);
        EXPECT_TRUE(f.cardCopy.empty());
    }
    const auto size = [&](int i) { return std::to_string(fs::file_size(r.files[static_cast<std::size_t>(i)])); };
    const std::string first = (dir / "show1.led").string() + ": 3 frames, " + size(0) + " bytes";
    const std::string second = (dir / "show2.led").string() + ": 3 frames, " + size(1) + " bytes";
    // No card looked for (the command line without --card auto).
    EXPECT_EQ(OutputReportLines(r.report, s.strings), (std::vector<std::string>{first, second, "No card was looked for."}));
    EXPECT_EQ(OutputReportText(r.report, s.strings), first + "\n" + second + "\nNo card was looked for.");
    // Looked for, none there.
    OutputReport none = r.report;
    CardCopyResult missing;
    none.NoteCardCopy(r.files[0], missing);
    none.NoteCardCopy(r.files[1], missing);
    EXPECT_EQ(OutputReportLines(none, s.strings).back(), "No card was found; nothing was written to a card.");
    // A card: the first file written to it, the second not (a file of that name was kept).
    OutputReport card = r.report;
    CardCopyResult written;
    written.cardFound = true;
    written.copied = true;
    written.destination = dir / "card" / "show1.led";
    CardCopyResult kept;
    kept.cardFound = true;
    card.NoteCardCopy(r.files[0], written);
    card.NoteCardCopy(r.files[1], kept);
    EXPECT_EQ(card.files[0].cardCopy, dir / "card" / "show1.led");
    EXPECT_TRUE(card.files[1].cardCopy.empty());
    EXPECT_EQ(OutputReportLines(card, s.strings),
              (std::vector<std::string>{first, second, "Written to the card: " + (dir / "card" / "show1.led").string(),
                                        "A card was found; show2.led was not written to it."}));
    // The same report in Chinese.
    const UiStrings zh = LoadUiStrings(kLanguageSimplified);
    const auto lines = OutputReportLines(r.report, zh);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], (dir / "show1.led").string() + ": 3 帧, " + size(0) + " 字节");
    EXPECT_EQ(lines[2], "未查找存储卡。");
    // A failed output reports nothing written.
    Show empty(1, 2, 1);
    WriterInput noLines = empty.Input();
    ClipFrameSource src2(empty.frames);
    EXPECT_TRUE(OutputControllerFiles(noLines, src2, 0, 1, dir / "b.led", rng, s.strings).report.files.empty());
}

TEST(LedFile, OneBlockRangeAndNoLayout) {
    TestFolder dir;
    Show s(1, 2, 5);
    s.layout.lines[0] = {MakePoint(0, 1)};
    WriterInput in = s.Input();
    ClipFrameSource src(s.frames);
    Random rng(5);
    ASSERT_TRUE(OutputControllerFiles(in, src, 2, 3, dir / "a.led", rng, s.strings).ok);
    const auto f = Bytes(dir / "a.led");
    ASSERT_EQ(f.size(), 1024u);
    EXPECT_EQ(f[512], s.frames[2].Pixel(1, 0).r);
    // Progress is the share of the range done, then hidden.
    std::vector<int> progress;
    ASSERT_TRUE(OutputControllerFiles(in, src, 1, 5, dir / "p.led", rng, s.strings,
                                      [&](int v) { progress.push_back(v); })
                    .ok);
    EXPECT_EQ(progress, (std::vector<int>{25, 50, 75, 100, 0}));
    Show empty(1, 2, 1);
    WriterInput none = empty.Input();
    ClipFrameSource src2(empty.frames);
    OutputResult r = OutputControllerFiles(none, src2, 0, 1, dir / "b.led", rng, s.strings);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.messages, (std::vector<std::string>{"Not set LED project line! "}));
    EXPECT_FALSE(fs::exists(dir / "b.led"));
    // A folder that does not exist: "Write file fail!" with the path and the system's reason,
    // and no "finished" message after it.
    r = OutputControllerFiles(in, src, 0, 1, dir / "no" / "c.led", rng, s.strings);
    EXPECT_FALSE(r.ok);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0], "Write file fail! " + (dir / "no" / "c.led").string() + ": No such file or directory");
}

TEST(LedFile, MasterFileNamesDropOnlyARealExtension) {
    Show s(2, 2, 1);
    s.layout.lines[0] = {MakePoint(0, 0)};
    s.layout.lines[1] = {MakePoint(0, 1)};
    s.layout.setting.lineCount = 2;
    s.layout.slaveGroups = {1};
    auto names = [&](const std::string& chosen) {
        std::vector<std::string> out;
        for (const auto& m : PlanMasterFiles(s.layout, chosen)) out.push_back(m.path.string());
        return out;
    };
    EXPECT_EQ(names("od/x"), (std::vector<std::string>{"od/x1.led", "od/x2.led"}));
    EXPECT_EQ(names("od/show.led"), (std::vector<std::string>{"od/show1.led", "od/show2.led"}));
    EXPECT_EQ(names("001.led"), (std::vector<std::string>{"0011.led", "0012.led"}));
    EXPECT_EQ(names("a.b/c"), (std::vector<std::string>{"a.b/c1.led", "a.b/c2.led"}));
}

TEST(LedFile, SlaveTooLargeForItsRecordIsNotWritten) {
    // A slave record holds 12 bits of data words: more than 16384 bytes cannot be described.
    TestFolder dir;
    Show s(1, 6000, 1);
    for (int c = 0; c < 6000; ++c) s.layout.lines[0].push_back(MakePoint(0, c));
    WriterInput in = s.Input();
    ClipFrameSource src(s.frames);
    Random rng(2);
    const auto written = WriteLedFile(dir / "big.led", in, 0, 1, src, 0, 1, rng);
    EXPECT_FALSE(written);
    EXPECT_NE(written.message().find("slave 1 drives more LEDs than a controller file can hold"), std::string::npos)
        << written.message();
    EXPECT_FALSE(fs::exists(dir / "big.led"));
    // Just inside the limit is written.
    s.layout.lines[0].resize(5460);  // 16380 bytes, the last whole step of 12
    in = s.Input();
    EXPECT_TRUE(WriteLedFile(dir / "fits.led", in, 0, 1, src, 0, 1, rng));
}

TEST(LedFile, SeedMakesByteIdenticalFiles) {
    TestFolder dir;
    Show s(2, 3, 3);
    s.layout.lines[0] = {MakePoint(0, 0), MakePoint(1, 2)};
    WriterInput in = s.Input();
    ClipFrameSource src(s.frames);
    Random a(42), b(42);
    ASSERT_TRUE(WriteLedFile(dir / "a.led", in, 0, 1, src, 0, 3, a));
    ASSERT_TRUE(WriteLedFile(dir / "b.led", in, 0, 1, src, 0, 3, b));
    EXPECT_EQ(Bytes(dir / "a.led"), Bytes(dir / "b.led"));
}

namespace {

// The frames of a clip for one thread or for several, failing at one frame if asked.
class TestSource : public FrameSource {
public:
    TestSource(const std::vector<Frame>& frames, bool forks, std::size_t failAt = SIZE_MAX)
        : frames_(frames), forks_(forks), failAt_(failAt) {}
    std::size_t Count() const override { return frames_.size(); }
    const Frame* Get(std::size_t i) override { return i == failAt_ || i >= frames_.size() ? nullptr : &frames_[i]; }
    std::unique_ptr<FrameSource> Fork() const override {
        return forks_ ? std::make_unique<TestSource>(frames_, forks_, failAt_) : nullptr;
    }

private:
    const std::vector<Frame>& frames_;
    bool forks_;
    std::size_t failAt_;
};

}  // namespace

TEST(LedFile, TwoThreadsWriteWhatOneWrites) {
    // A file of several 2 MiB batches is packed on two threads when its frames can be had on
    // two: the bytes must be those one thread writes, for a range that starts inside the clip
    // and ends inside a batch. A frame that cannot be read on either thread fails the file and
    // leaves nothing behind.
    TestFolder dir;
    Show s(32, 64, 1000);
    for (int r = 0; r < 32; ++r) {
        for (int c = 0; c < 64; ++c) s.layout.lines[static_cast<std::size_t>(r)].push_back(MakePoint(r, r % 2 ? 63 - c : c));
    }
    WriterInput in = s.Input();
    ClipFrameSource two(s.frames);
    TestSource one(s.frames, false);
    ASSERT_NE(two.Fork(), nullptr);
    Random a(9), b(9);
    ASSERT_TRUE(WriteLedFile(dir / "two.led", in, 0, 32, two, 5, 1000, a));
    ASSERT_TRUE(WriteLedFile(dir / "one.led", in, 0, 32, one, 5, 1000, b));
    const auto x = Bytes(dir / "two.led"), y = Bytes(dir / "one.led");
    EXPECT_GT(x.size(), 2u * (2u << 20));  // three batches
    EXPECT_EQ(x.size(), y.size());
    EXPECT_TRUE(x == y);
    for (std::size_t failAt : {std::size_t{7}, std::size_t{500}, std::size_t{999}}) {
        TestSource failing(s.frames, true, failAt);
        EXPECT_FALSE(WriteLedFile(dir / "failed.led", in, 0, 32, failing, 5, 1000, a)) << failAt;
        EXPECT_FALSE(fs::exists(dir / "failed.led"));
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator{}), 2);
}

TEST(LedFile, SingleAndSimpleWriters) {
    TestFolder dir;
    Show s(1, 4, 2);
    for (int c = 0; c < 4; ++c) s.layout.lines[0].push_back(MakePoint(0, c));
    s.layout.setting.controllerType = 1;
    s.layout.setting.icType[0] = 20;  // a plain 8-bit chip (3 packs bit planes in this family)
    WriterInput in = s.Input();
    ClipFrameSource src(s.frames);
    Random rng(6);
    ASSERT_TRUE(WriteLedFile(dir / "single.led", in, 0, 1, src, 0, 2, rng));
    auto f = Bytes(dir / "single.led");
    EXPECT_EQ(f[0], 1);
    EXPECT_EQ(f.size(), 512u + 2 * 512u);
    auto rec = Record(f, 18);
    EXPECT_EQ(rec[1] | rec[2] << 8, 12);  // F
    EXPECT_EQ(rec[4], (1 << 4) | 13);
    // Plain packing with a code up to 100: the filler comes first, the 12 data bytes last.
    // The single map reverses the pins and takes the units last first: the block ends with
    // LED 0's blue, green, red.
    EXPECT_EQ(f[1023], s.frames[0].Pixel(0, 0).r);
    EXPECT_EQ(f[1021], s.frames[0].Pixel(0, 0).b);
    EXPECT_EQ(f[512], 0);

    // The simple family: four lines per slave, speed and clock byte in the header.
    Show t(4, 2, 1);
    for (int p = 0; p < 4; ++p) t.layout.lines[static_cast<std::size_t>(p)] = {MakePoint(p, 0), MakePoint(p, 1)};
    t.layout.setting.controllerType = 2;
    t.layout.setting.icType[0] = 20;
    t.layout.setting.SetPortsPerSlave(4);
    WriterInput tin = t.Input();
    tin.speed = 25;
    ClipFrameSource tsrc(t.frames);
    ASSERT_TRUE(WriteLedFile(dir / "simple.led", tin, 0, 1, tsrc, 0, 1, rng));
    f = Bytes(dir / "simple.led");
    EXPECT_EQ(f[0], 5);
    EXPECT_EQ(f[1], 25);
    EXPECT_EQ(std::string(f.begin() + 2, f.begin() + 4), "QZ");
    EXPECT_EQ(f[12], 25);  // the clock byte
    rec = Record(f, 18);
    EXPECT_EQ(rec[1] | rec[2] << 8, 24);  // 4 ports x 3 pins x 2 units
    EXPECT_EQ(rec[5], 100);               // brightness
    EXPECT_EQ(f.size(), 1024u);
    // With the bit-plane codes the simple writer writes the header alone.
    t.layout.setting.icType[0] = 3;
    ASSERT_TRUE(WriteLedFile(dir / "planes.led", tin, 0, 1, tsrc, 0, 1, rng));
    EXPECT_EQ(Bytes(dir / "planes.led").size(), 512u);
}

TEST(LedImport, MasterNumbersFromNames) {
    EXPECT_EQ(MasterIndexFromPath("/x/0012.led"), 11);
    EXPECT_EQ(MasterIndexFromPath("/x/show.led"), 0);
    EXPECT_EQ(MasterIndexFromPath("/x/show2.led"), 1);
    EXPECT_EQ(MasterIndexFromPath("/x/a1b23.led"), 22);
    EXPECT_EQ(MasterIndexFromPath("/x/0.led"), 0);
}

TEST(LedImport, BlocksGoAfterTheCurrentFrameAndAppend) {
    TestFolder dir;
    Show s(1, 3, 10);
    s.layout.lines[0] = {MakePoint(0, 0), MakePoint(0, 1), MakePoint(0, 2)};
    WriterInput in = s.Input();
    ClipFrameSource src(s.frames);
    Random rng(8);
    ASSERT_TRUE(WriteLedFile(dir / "show.led", in, 0, 1, src, 0, 10, rng));

    AppState app;
    FrameStore store(app);
    store.AddClip(3, 1);
    store.AppendFrame(true);
    store.AppendFrame(true);
    app.currentFrame = 0;
    ImportResult r = ImportLedFile(dir / "show.led", s.layout, s.lamps, store, app, s.strings);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.blocks, 10u);
    ASSERT_EQ(store.CurrentFrames().size(), 11u);
    EXPECT_EQ(app.currentFrame, 0);
    // The pixels the wiring covers come back (gamma 1.0, brightness 100, plain packing).
    for (int i = 0; i < 10; ++i) {
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(store.CurrentFrames()[static_cast<std::size_t>(i + 1)].Pixel(c, 0),
                      s.frames[static_cast<std::size_t>(i)].Pixel(c, 0))
                << i << "," << c;
        }
    }
}

TEST(LedImport, RefusedFiles) {
    TestFolder dir;
    Show s(1, 3, 1);
    s.layout.lines[0] = {MakePoint(0, 0)};
    WriterInput in = s.Input();
    ClipFrameSource src(s.frames);
    Random rng(9);
    AppState app;
    FrameStore store(app);
    store.AddClip(3, 1);
    // Chip code 110.
    s.layout.setting.icType[0] = 110;
    ASSERT_TRUE(WriteLedFile(dir / "w.led", in, 0, 1, src, 0, 1, rng));
    EXPECT_EQ(ImportLedFile(dir / "w.led", s.layout, s.lamps, store, app, s.strings).message,
              "This LED file is not import!");
    // A single-family file.
    s.layout.setting.icType[0] = 3;
    s.layout.setting.controllerType = 1;
    ASSERT_TRUE(WriteLedFile(dir / "s.led", in, 0, 1, src, 0, 1, rng));
    EXPECT_FALSE(ImportLedFile(dir / "s.led", s.layout, s.lamps, store, app, s.strings).ok);
    s.layout.setting.controllerType = 0;
    // Lying sizes, truncation and noise never read past the end.
    ASSERT_TRUE(WriteLedFile(dir / "ok.led", in, 0, 1, src, 0, 1, rng));
    const auto good = Bytes(dir / "ok.led");
    for (std::size_t n = 0; n < good.size(); n += 17) {
        ASSERT_TRUE(WriteFileAtomic(dir / "cut.led", std::span<const std::uint8_t>(good.data(), n)));
        ImportLedFile(dir / "cut.led", s.layout, s.lamps, store, app, s.strings);
        ReadLedInfo(dir / "cut.led");
    }
    auto lying = good;
    StoreU32(&lying[8], LoadU32(&lying[4]) ^ 0u);  // block size 0
    ASSERT_TRUE(WriteFileAtomic(dir / "lie.led", lying));
    EXPECT_FALSE(ImportLedFile(dir / "lie.led", s.layout, s.lamps, store, app, s.strings).ok);
    EXPECT_EQ(store.CurrentFrames().size(), 1u);
    Layout none;
    none.New(1, 3, false, 3);
    EXPECT_EQ(ImportLedFile(dir / "ok.led", none, s.lamps, store, app, s.strings).message,
              "Not set LED project line! ");
}

TEST(LedImport, HeaderSizesAreCheckedBeforeMemoryIsTaken) {
    TestFolder dir;
    Show s(1, 3, 5);
    s.layout.lines[0] = {MakePoint(0, 0), MakePoint(0, 1), MakePoint(0, 2)};
    WriterInput in = s.Input();
    ClipFrameSource src(s.frames);
    Random rng(10);
    ASSERT_TRUE(WriteLedFile(dir / "ok.led", in, 0, 1, src, 0, 5, rng));
    const auto good = Bytes(dir / "ok.led");
    auto import = [&](const fs::path& file) {
        AppState app;
        FrameStore store(app);
        store.AddClip(3, 1);
        return ImportLedFile(file, s.layout, s.lamps, store, app, s.strings);
    };
    auto withBlockSize = [&](std::uint32_t d) {
        auto b = good;
        StoreU32(&b[8], LoadU32(&b[4]) ^ d);
        return b;
    };
    // A header claiming 4 GB blocks: refused from the records alone, within 256 MiB.
    ASSERT_TRUE(WriteFileAtomic(dir / "huge.led", withBlockSize(0xF0000000u)));
    EXPECT_EQ(corv::test::WithAddressLimit(256u << 20, [&] {
                  const ImportResult r = import(dir / "huge.led");
                  return !r.ok && r.message.find("disagrees with the slave records") != std::string::npos ? 0 : 1;
              }),
              0);
    // A block size the records do not describe (it used to import 2 of 5 frames) is refused.
    ASSERT_TRUE(WriteFileAtomic(dir / "other.led", withBlockSize(1024)));
    ImportResult r = import(dir / "other.led");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find("the block size 1024 disagrees with the slave records, which describe 512"),
              std::string::npos)
        << r.message;
    // A file cut inside its last block: the whole frames come in and the rest is named.
    const std::size_t cut = good.size() - 100;
    ASSERT_TRUE(WriteFileAtomic(dir / "cut.led", std::span<const std::uint8_t>(good.data(), cut)));
    auto info = ReadLedInfo(dir / "cut.led");
    ASSERT_TRUE(info);
    EXPECT_EQ(info->frameCount, 4u);
    EXPECT_EQ(info->trailingBytes, 412u);
    r = import(dir / "cut.led");
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.blocks, 4u);
    ASSERT_EQ(r.warnings.size(), 1u);
    EXPECT_NE(r.warnings[0].find("partial frame of 412 bytes"), std::string::npos);
    // No whole block at all: refused.
    ASSERT_TRUE(WriteFileAtomic(dir / "none.led", std::span<const std::uint8_t>(good.data(), good.size() - 5 * 512 + 10)));
    r = import(dir / "none.led");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find("no whole frame"), std::string::npos);
    // A wrong record checksum: imported, with the slave named.
    auto bad = good;
    const std::size_t sumAt = SlaveRecordOffset(0) + 24;
    for (std::uint8_t v = 0; v < 255; ++v) {
        bad[sumAt] = static_cast<std::uint8_t>(good[sumAt] + 1 + v);
        if (UnspreadByte(bad[sumAt], bad[sumAt + 1]) != UnspreadByte(good[sumAt], good[sumAt + 1])) break;
    }
    ASSERT_TRUE(WriteFileAtomic(dir / "sum.led", bad));
    info = ReadLedInfo(dir / "sum.led");
    ASSERT_TRUE(info);
    EXPECT_EQ(info->WrongChecksums(), std::vector<int>{1});
    r = import(dir / "sum.led");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.blocks, 5u);
    ASSERT_EQ(r.warnings.size(), 1u);
    EXPECT_NE(r.warnings[0].find("slave 1 has a wrong checksum"), std::string::npos);
    // The reason a file cannot be opened names it.
    r = import(dir / "missing.led");
    EXPECT_EQ(r.message, "Open file fail! " + (dir / "missing.led").string() + ": No such file or directory");
}

namespace {

bool HaveMkfs() { return std::system("command -v mkfs.fat >/dev/null 2>&1") == 0; }

// A FAT image of the given FAT size made by mkfs.fat.
fs::path MakeImage(const TestFolder& dir, const std::string& name, int fatBits, int kib) {
    const fs::path img = dir / name;
    const std::string cmd = "mkfs.fat -C -F " + std::to_string(fatBits) + " '" + img.string() + "' " +
                            std::to_string(kib) + " >/dev/null 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
    return img;
}

// A system root with a mount table and the sysfs entries of its devices.
struct FakeRoot {
    TestFolder root;
    std::string mountinfo;
    void Device(unsigned major, unsigned minor, const std::string& name, const std::string& removable) {
        const fs::path d = root / "sys/dev/block" / (std::to_string(major) + ":" + std::to_string(minor));
        fs::create_directories(d);
        std::ofstream(d / "uevent") << "MAJOR=" << major << "\nMINOR=" << minor << "\nDEVNAME=" << name << "\n";
        if (!removable.empty()) std::ofstream(d / "removable") << removable << "\n";
    }
    void Mount(int id, unsigned major, unsigned minor, const fs::path& point, const std::string& type,
               const std::string& source) {
        mountinfo += std::to_string(id) + " 1 " + std::to_string(major) + ":" + std::to_string(minor) + " / " +
                     point.string() + " rw,relatime shared:1 - " + type + " " + source + " rw\n";
        fs::create_directories(root / "proc/self");
        std::ofstream(root / "proc/self/mountinfo") << mountinfo;
    }
    CardProbe Probe() const { return CardProbe{root.path()}; }
};

}  // namespace

TEST(Card, OnlyRemovableFat12AndFat16CardsAreUsed) {
    if (!HaveMkfs()) GTEST_SKIP() << "mkfs.fat missing (dosfstools)";
    TestFolder dir;
    FakeRoot sys;
    const fs::path fat32 = MakeImage(dir, "fat32.img", 32, 40000);
    const fs::path fat16 = MakeImage(dir, "fat16.img", 16, 20000);
    const fs::path fat12 = MakeImage(dir, "fat12.img", 12, 2000);
    fs::create_directories(dir / "m32");
    fs::create_directories(dir / "m16");
    fs::create_directories(dir / "m12");
    fs::create_directories(dir / "disk");
    sys.Mount(20, 0, 21, "/proc", "proc", "proc");        // not a block device
    sys.Device(8, 1, "sda1", "");                       // fixed disk, removable flag on the parent
    sys.Device(8, 0, "sda", "0");
    sys.Mount(21, 8, 1, dir / "disk", "vfat", fat16.string());
    sys.Device(8, 17, "sdb1", "1");
    sys.Mount(22, 8, 17, dir / "m32", "vfat", fat32.string());
    sys.Device(11, 0, "sr0", "1");
    sys.Mount(23, 11, 0, dir / "cd", "iso9660", "/dev/sr0");
    sys.Device(179, 1, "mmcblk0p1", "");  // SD card: removable without the flag
    sys.Mount(24, 179, 1, dir / "m16", "vfat", fat16.string());
    sys.Device(8, 33, "sdc1", "1");
    sys.Mount(25, 8, 33, dir / "m12", "vfat", fat12.string());

    auto mounts = ProbeMounts(sys.Probe());
    ASSERT_EQ(mounts.size(), 5u);
    EXPECT_EQ(mounts[0].reason, "not removable");
    EXPECT_EQ(mounts[1].fatVersion, "FAT32");
    EXPECT_FALSE(mounts[1].suitable);
    EXPECT_EQ(mounts[2].reason, "optical drive");
    EXPECT_TRUE(mounts[3].suitable);
    EXPECT_EQ(mounts[3].fatVersion, "FAT16");
    EXPECT_TRUE(mounts[4].suitable);
    EXPECT_EQ(mounts[4].fatVersion, "FAT12");
    auto card = FindOutputCard(sys.Probe());
    ASSERT_TRUE(card);
    EXPECT_EQ(card->mountPoint, dir / "m16");  // the first suitable one in mount order

    // Copy: to the card's root; a file already there is only replaced on Yes.
    fs::create_directories(dir / "out");
    dir.Write("out/0011.led", "controller data");
    const UiStrings strings = LoadUiStrings(kLanguageEnglish);
    CardCopyResult r = CopyToCard(dir / "out/0011.led", sys.Probe(), strings, nullptr);
    ASSERT_TRUE(r.copied) << r.reason;
    EXPECT_EQ(dir.Read("m16/0011.led"), "controller data");
    dir.Write("out/0011.led", "newer data");
    RecordingPrompt no(Answer::No);
    EXPECT_FALSE(CopyToCard(dir / "out/0011.led", sys.Probe(), strings, &no).copied);
    EXPECT_EQ(dir.Read("m16/0011.led"), "controller data");
    RecordingPrompt yes(Answer::Yes);
    EXPECT_TRUE(CopyToCard(dir / "out/0011.led", sys.Probe(), strings, &yes).copied);
    EXPECT_EQ(dir.Read("m16/0011.led"), "newer data");
}

TEST(Card, NothingIsCopiedWhenTheFileIsOnTheCardOrThereIsNoCard) {
    if (!HaveMkfs()) GTEST_SKIP() << "mkfs.fat missing (dosfstools)";
    TestFolder dir;
    dir.Write("show.led", "data");
    struct stat st {};
    ASSERT_EQ(::stat((dir / "show.led").c_str(), &st), 0);
    const fs::path fat16 = MakeImage(dir, "fat16.img", 16, 20000);
    FakeRoot sys;
    // The card is the file system the file already lies on (same device numbers).
    const unsigned maj = major(st.st_dev), min = minor(st.st_dev);
    sys.Device(maj, min, "mmcblk1p1", "1");
    sys.Mount(30, maj, min, dir.path(), "vfat", fat16.string());
    const UiStrings strings = LoadUiStrings(kLanguageEnglish);
    CardCopyResult r = CopyToCard(dir / "show.led", sys.Probe(), strings, nullptr);
    EXPECT_FALSE(r.copied);
    EXPECT_TRUE(r.cardFound);
    EXPECT_EQ(r.reason, "the file already lies on the card");
    FakeRoot empty;
    empty.Mount(1, 0, 5, "/proc", "proc", "proc");
    const CardCopyResult none = CopyToCard(dir / "show.led", empty.Probe(), strings, nullptr);
    EXPECT_EQ(none.reason, "no suitable card");
    EXPECT_FALSE(none.cardFound);
}
