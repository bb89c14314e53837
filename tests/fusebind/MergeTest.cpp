#include <gtest/gtest.h>

#include <fstream>

#include "TestHome.h"
#include "base/Binary.h"
#include "base/FileUtil.h"
#include "controller/LedFile.h"
#include "formats/Archive.h"
#include "formats/FrameCountScramble.h"
#include "formats/Spread.h"
#include "fusebind/Merge.h"
#include "lang/Language.h"

using namespace corv;
using namespace corv::fuse;
using corv::test::TestFolder;
namespace fs = std::filesystem;

namespace {

const Messages kEn = LoadMessages(kLanguageEnglish);

// A master-slave controller data file of `slaves` slaves (one LED each) and `frames` frames,
// written by the program's own writer. Frame f's pixels are all f + base.
fs::path MakeDat(const TestFolder& dir, const std::string& name, int slaves, int frames, int base, int family = 0) {
    Layout layout;
    layout.New(1, slaves, false, 3);
    for (int k = 0; k < slaves; ++k) layout.lines[static_cast<std::size_t>(k)] = {MakePoint(0, k)};
    layout.setting.controllerType = static_cast<std::uint8_t>(family);
    layout.setting.icType.fill(20);
    layout.RecomputeLineCount();
    std::vector<Frame> clip;
    for (int f = 0; f < frames; ++f) {
        clip.push_back(Frame::Filled(slaves, 1, static_cast<std::uint8_t>(base + f), 0, 0));
    }
    auto lamps = BuiltInLightTypes();
    ChipCatalogue catalogue;
    WriterInput in;
    in.layout = &layout;
    in.lamps = &lamps;
    in.catalogue = &catalogue;
    in.frame = FrameShape{1, slaves};
    ClipFrameSource src(clip);
    Random rng(static_cast<std::uint64_t>(base + 1));
    const fs::path path = dir / name;
    EXPECT_TRUE(WriteLedFile(path, in, 0, family == 0 ? slaves : 1, src, 0, clip.size(), rng));
    return path;
}

// A video project file: "velt", one clip of w x h, `frames` frames, frame f filled with f + base.
fs::path MakeVid(const TestFolder& dir, const std::string& name, int w, int h, int frames, int base,
                 std::uint8_t version = 0) {
    ByteWriter out;
    out.Bytes("velt", 4);
    out.U8(version);
    out.Zeros(5);
    out.U16(static_cast<std::uint16_t>(h));
    out.U16(static_cast<std::uint16_t>(w));
    out.U16(1);
    out.U16(1);
    out.U32(1);
    out.U32(static_cast<std::uint32_t>(w));
    out.U32(static_cast<std::uint32_t>(h));
    out.Zeros(260);
    out.U32(ScrambleFrameCount(static_cast<std::uint32_t>(frames)));
    const std::size_t stride = 3 * static_cast<std::size_t>(w) + static_cast<std::size_t>(w % 4);
    for (int f = 0; f < frames; ++f) {
        for (int r = 0; r < h; ++r) {
            std::vector<std::uint8_t> row(stride, 0);
            std::fill(row.begin(), row.begin() + 3 * w, static_cast<std::uint8_t>(base + f));
            out.Bytes(row);
        }
    }
    const fs::path path = dir / name;
    EXPECT_TRUE(WriteFileAtomic(path, out.bytes()));
    return path;
}

ChooseOutputFn To(const fs::path& p) {
    return [p]() -> std::optional<fs::path> { return p; };
}

AskFn Answer(bool yes, std::string* asked) {
    return [yes, asked](const std::string& text) {
        if (asked) *asked = text;
        return yes;
    };
}

std::uint32_t DatH(const std::vector<std::uint8_t>& f) {
    return static_cast<std::uint32_t>(UnspreadByte(f[4], f[5]) << 8 | UnspreadByte(f[6], f[7]));
}
std::uint32_t DatD(const std::vector<std::uint8_t>& f) { return LoadU32(&f[8]) ^ LoadU32(&f[4]); }

int Files(const fs::path& dir) {
    int n = 0;
    for ([[maybe_unused]] auto& e : fs::directory_iterator(dir)) ++n;
    return n;
}

}  // namespace

TEST(MergeDat, FramesAppended) {
    TestFolder dir;
    auto a = MakeDat(dir, "a.dat", 2, 10, 0);
    auto b = MakeDat(dir, "b.dat", 2, 20, 100);
    MergeResult r = MergeDat({a, b}, DatMode::Frames, To(dir / "out.dat"), kEn, nullptr);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.message, "Merge file is successfully!");
    const auto out = *ReadFileBytes(dir / "out.dat");
    const auto first = *ReadFileBytes(a);
    EXPECT_TRUE(std::equal(first.begin(), first.begin() + 512, out.begin()));  // the first file's header
    EXPECT_EQ((out.size() - DatH(out)) / DatD(out), 30u);
    // Block 10 is the second file's first frame (red 100 on both slaves).
    EXPECT_EQ(out[DatH(out) + 10 * DatD(out)], 100);
}

TEST(MergeDat, FramesAppendedRefusesOtherShapesAndLeavesNothing) {
    TestFolder dir;
    auto a = MakeDat(dir, "a.dat", 2, 3, 0);
    auto b = MakeDat(dir, "b.dat", 3, 3, 0);
    const int before = Files(dir.path());
    MergeResult r = MergeDat({a, b}, DatMode::Frames, To(dir / "out.dat"), kEn, nullptr);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "Merge file failed!");
    EXPECT_EQ(Files(dir.path()), before);
    // List checks come first.
    EXPECT_EQ(MergeDat({a}, DatMode::Frames, To(dir / "o.dat"), kEn, nullptr).message, "File number is too small!");
    dir.Write("c.led", "x");
    EXPECT_EQ(MergeDat({a, dir / "c.led"}, DatMode::Frames, To(dir / "o.dat"), kEn, nullptr).message,
              "File type is not consistent!");
    dir.Write("junk.dat", std::string(600, 'j'));
    EXPECT_EQ(MergeDat({a, dir / "junk.dat"}, DatMode::Frames, To(dir / "o.dat"), kEn, nullptr).message,
              " Not Veltranix format files!");
    EXPECT_EQ(MergeDat({a, dir / "none.dat"}, DatMode::Frames, To(dir / "o.dat"), kEn, nullptr).message,
              "Open file fail!");
    // An output that cannot be created.
    EXPECT_EQ(MergeDat({a, a}, DatMode::Frames, To(dir / "no" / "o.dat"), kEn, nullptr).message, "Open file fail!");
    // Cancel at the output dialog: nothing shown.
    EXPECT_TRUE(MergeDat({a, a}, DatMode::Frames, [] { return std::optional<fs::path>(); }, kEn, nullptr).cancelled);
}

TEST(MergeDat, SlavesAdded) {
    TestFolder dir;
    auto a = MakeDat(dir, "a.dat", 2, 4, 10);
    auto b = MakeDat(dir, "b.dat", 3, 2, 50);
    std::string asked;
    MergeResult r = MergeDat({a, b}, DatMode::Slaves, To(dir / "out.dat"), kEn, Answer(true, &asked));
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(asked, "Frame number vary!\r\nContinue?");
    const auto out = *ReadFileBytes(dir / "out.dat");
    EXPECT_EQ(LoadU16(&out[16]), 5);
    const std::uint32_t H = DatH(out), D = DatD(out);
    EXPECT_EQ(H, 512u);
    EXPECT_EQ(D, 512u);
    EXPECT_EQ((out.size() - H) / D, 4u);
    // Slave records are the inputs' records, verbatim, in list order.
    const auto fa = *ReadFileBytes(a);
    const auto fb = *ReadFileBytes(b);
    EXPECT_TRUE(std::equal(fa.begin() + 18, fa.begin() + 18 + 52, out.begin() + 18));
    EXPECT_TRUE(std::equal(fb.begin() + 18, fb.begin() + 18 + 78, out.begin() + 18 + 52));
    // Block 0: a's 2 slaves (12 channels each, 48 bytes) then b's data.
    EXPECT_EQ(out[H], 10);
    EXPECT_EQ(out[H + 24], 50);
    // Block 3: b has no frame 3, its part is zero.
    EXPECT_EQ(out[H + 3 * D], 13);
    EXPECT_EQ(out[H + 3 * D + 24], 0);
    // Answering No stops without writing.
    r = MergeDat({a, b}, DatMode::Slaves, To(dir / "no.dat"), kEn, Answer(false, nullptr));
    EXPECT_TRUE(r.cancelled);
    EXPECT_FALSE(fs::exists(dir / "no.dat"));
}

TEST(MergeDat, SlavesAddedRefusesSingleFamilyAndKeepsTheTwentiethRecord) {
    TestFolder dir;
    auto single = MakeDat(dir, "s.dat", 2, 2, 0, 1);
    auto a = MakeDat(dir, "a.dat", 2, 2, 0);
    EXPECT_EQ(MergeDat({a, single}, DatMode::Slaves, To(dir / "o.dat"), kEn, nullptr).message,
              "File type is not consistent!");
    auto twenty = MakeDat(dir, "t.dat", 20, 2, 5);
    ASSERT_TRUE(MergeDat({twenty, a}, DatMode::Slaves, To(dir / "o.dat"), kEn, nullptr).ok);
    const auto out = *ReadFileBytes(dir / "o.dat");
    const auto t = *ReadFileBytes(twenty);
    EXPECT_EQ(LoadU16(&out[16]), 22);
    // The 20th record of the input (second sector) is the 20th of the output, intact.
    EXPECT_TRUE(std::equal(t.begin() + 512, t.begin() + 512 + 26, out.begin() + 512));
    EXPECT_EQ(DatH(out), 1024u);
    EXPECT_EQ(out[1024], 5);
}

TEST(MergeDat, SlavesAddedReadsTheWholeSixteenBitCount) {
    // 256 slaves: the low byte of the count alone would read as none.
    TestFolder dir;
    auto full = MakeDat(dir, "full.dat", 256, 1, 7);
    auto a = MakeDat(dir, "a.dat", 2, 1, 9);
    MergeResult r = MergeDat({full, a}, DatMode::Slaves, To(dir / "o.dat"), kEn, nullptr);
    ASSERT_TRUE(r.ok) << r.message;
    const auto out = *ReadFileBytes(dir / "o.dat");
    EXPECT_EQ(LoadU16(&out[16]), 258);
    EXPECT_EQ(out[DatH(out)], 7);
}

TEST(MergeVid, HorizontalAndVertical) {
    TestFolder dir;
    auto a = MakeVid(dir, "a.vid", 32, 16, 2, 10);
    auto b = MakeVid(dir, "b.vid", 16, 16, 2, 20);
    ASSERT_TRUE(MergeVid({a, b}, VidMode::Horizontal, To(dir / "h.vid"), kEn, nullptr).ok);
    auto h = *ReadFileBytes(dir / "h.vid");
    EXPECT_EQ(LoadU16(&h[10]), 16);
    EXPECT_EQ(LoadU16(&h[12]), 48);
    EXPECT_EQ(LoadU32(&h[22]), 48u);
    EXPECT_EQ(UnscrambleFrameCount(LoadU32(&h[22 + 8 + 260])), 2u);
    const std::size_t frame0 = 22 + 8 + 260 + 4;
    EXPECT_EQ(h[frame0], 10);
    EXPECT_EQ(h[frame0 + 3 * 32], 20);  // b starts after a's 32 pixels

    std::string asked;
    ASSERT_TRUE(MergeVid({a, b}, VidMode::Vertical, To(dir / "v.vid"), kEn, Answer(true, &asked)).ok);
    EXPECT_EQ(asked, "Size vary!\r\nContinue?");
    auto v = *ReadFileBytes(dir / "v.vid");
    EXPECT_EQ(LoadU16(&v[10]), 32);
    EXPECT_EQ(LoadU16(&v[12]), 32);
    const std::size_t stride = 96;
    // Stored bottom-up: the bottom half (stored rows 0..15) is b, at the left; a is on top.
    EXPECT_EQ(v[frame0], 20);
    EXPECT_EQ(v[frame0 + 3 * 16], 0);  // right of the narrower file
    EXPECT_EQ(v[frame0 + 16 * stride + 3 * 31], 10);
    EXPECT_FALSE(MergeVid({a, b}, VidMode::Vertical, To(dir / "x.vid"), kEn, Answer(false, nullptr)).ok);
    EXPECT_FALSE(fs::exists(dir / "x.vid"));
}

TEST(MergeVid, RefusedInputsAndArchives) {
    TestFolder dir;
    auto a = MakeVid(dir, "a.vid", 4, 2, 3, 1);
    auto one = MakeVid(dir, "one.vid", 4, 2, 1, 1, '1');
    EXPECT_EQ(MergeVid({a, one}, VidMode::Horizontal, To(dir / "o.vid"), kEn, nullptr).message,
              "File type is not consistent!");
    // A truncated input is refused and no output is left.
    auto cut = *ReadFileBytes(a);
    cut.resize(cut.size() - 5);
    ASSERT_TRUE(WriteFileAtomic(dir / "cut.vid", cut));
    const int before = Files(dir.path());
    EXPECT_EQ(MergeVid({a, dir / "cut.vid"}, VidMode::Horizontal, To(dir / "o.vid"), kEn, nullptr).message,
              "File type is not consistent!");
    EXPECT_EQ(Files(dir.path()), before);
    EXPECT_EQ(MergeVid({a}, VidMode::Horizontal, To(dir / "o.vid"), kEn, nullptr).message, "File number is too small!");
    // A RAR-packed input is read through the archive.
    auto b = MakeVid(dir, "b.vid", 4, 2, 3, 7);
    ASSERT_TRUE(WriteStoredRar(dir / "packed.vid", b, kVidEntryName));
    ASSERT_TRUE(MergeVid({a, dir / "packed.vid"}, VidMode::Horizontal, To(dir / "o.vid"), kEn, nullptr).ok);
    auto o = *ReadFileBytes(dir / "o.vid");
    EXPECT_EQ(o[22 + 8 + 260 + 4 + 12], 7);
    // An archive without the entry.
    ASSERT_TRUE(WriteStoredRar(dir / "other.vid", b, "Something.vid"));
    EXPECT_EQ(MergeVid({a, dir / "other.vid"}, VidMode::Horizontal, To(dir / "p.vid"), kEn, nullptr).message,
              "Open file fail!");
}

TEST(MergeMessages, LanguagesAndIni) {
    EXPECT_EQ(LoadMessages(kLanguageSimplified).success, "合并文件成功!");
    EXPECT_EQ(LoadMessages(kLanguageTraditional).caption, "文件合併");
    EXPECT_EQ(LoadMessages(kLanguageFrench).caption, "File Merge");
    TestFolder dir;
    dir.Write("Vorlane.ini", "[Main]\r\nLanguage=1\r\n");
    EXPECT_EQ(LanguageFromIni(dir / "Vorlane.ini", "en_US.UTF-8"), kLanguageSimplified);
    EXPECT_EQ(LanguageFromIni(dir / "none.ini", "zh_TW.UTF-8"), kLanguageTraditional);
}
