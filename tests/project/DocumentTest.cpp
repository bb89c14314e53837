#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <filesystem>
#include <thread>

#include "SampleDesign.h"
#include "TestHome.h"
#include "base/FileUtil.h"
#include "base/MappedPages.h"
#include "base/Random.h"
#include "project/Document.h"
#include "formats/Archive.h"
#include "formats/FrameCountScramble.h"

using namespace corv;
using corv::test::TestFolder;
namespace fs = std::filesystem;

namespace {

struct Project {
    AppState app;
    FrameStore store{app};
    EffectList effects;
    DocumentSource Source() {
        DocumentSource s;
        s.frames = &store;
        s.effects = &effects;
        return s;
    }
};

std::vector<std::uint8_t> Read(const fs::path& p) { return *ReadFileBytes(p); }

void Write(const fs::path& p, const std::vector<std::uint8_t>& bytes) { ASSERT_TRUE(WriteFileAtomic(p, bytes)); }

// A project with two clips of odd widths, line files, layers of every kind and music.
// A clip of `frames` frames of 1021 x 1024 (about 3 MiB each), every `step`th byte of frame i
// set from its place and i x `mix`.
void FillLargeClip(Project& p, std::size_t frames, std::size_t step, std::size_t mix) {
    p.store.AddClip(1021, 1024);
    while (p.store.CurrentFrames().size() < frames) p.store.AppendFrame(false);
    for (std::size_t i = 0; i < frames; ++i) {
        Frame& f = p.store.CurrentFrames()[i];
        for (std::size_t b = 0; b < f.size(); b += step) f.data()[b] = static_cast<std::uint8_t>(b / step + mix * i);
    }
}

void FillRichProject(Project& p, const TestFolder& dir) {
    p.store.AddClip(3, 2);
    p.store.clip(0).lineFilePath = "/shows/bridge.lnf";
    for (int i = 0; i < 4; ++i) {
        p.store.AppendFrame(true)->SetPixel(i % 3, 1, Bgr{static_cast<std::uint8_t>(i), 9, 200});
    }
    p.store.AddClip(5, 1);
    p.store.AppendFrame(false);
    p.effects.Append(test::LayerWithEveryKind());
    p.effects.Append(std::make_unique<EffectLayer>());
    dir.Write("music.mp3", std::string("ID3\x03music-bytes", 16));
}

// The rich project saved with its music as "rich.cvn"; the document's bytes.
std::vector<std::uint8_t> SaveRichProject(const TestFolder& dir) {
    Project p;
    FillRichProject(p, dir);
    DocumentSource src = p.Source();
    src.musicPath = dir / "music.mp3";
    EXPECT_EQ(DocErrorOf(WriteDocument(dir / "rich.cvn", src)), DocError::None);
    return Read(dir / "rich.cvn");
}

}  // namespace

TEST(Document, SmallestDocumentIs308Bytes) {
    TestFolder dir;
    Project p;
    p.store.AddClip(1, 1);
    ASSERT_EQ(DocErrorOf(WriteDocument(dir / "a.cvn", p.Source())), DocError::None);
    auto bytes = Read(dir / "a.cvn");
    ASSERT_EQ(bytes.size(), 308u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "ledv");
    for (int i = 4; i < 10; ++i) EXPECT_EQ(bytes[i], 0) << i;
    EXPECT_EQ(LoadU16(&bytes[10]), 1);  // height copy
    EXPECT_EQ(LoadU16(&bytes[14]), 1);  // grid scale
    EXPECT_EQ(LoadU32(&bytes[18]), 1u);  // clip count
    EXPECT_EQ(UnscrambleFrameCount(LoadU32(&bytes[18 + 4 + 8 + 260])), 1u);
    EXPECT_EQ(LoadU32(&bytes[304]), 0u);  // no music
}

TEST(Document, EverythingSurvivesWriteAndRead) {
    TestFolder dir;
    Project p;
    FillRichProject(p, dir);
    DocumentSource src = p.Source();
    src.gridScaleX = 2;
    src.gridScaleY = 3;
    src.canvasWidth = 800;
    src.canvasHeight = 600;
    src.musicPath = dir / "music.mp3";
    std::vector<int> progress;
    ASSERT_EQ(DocErrorOf(WriteDocument(dir / "rich.cvn", src, [&](int v) { progress.push_back(v); })), DocError::None);
    EXPECT_EQ(progress.back(), 0);
    EXPECT_EQ(progress.size(), 5u + 2u + 1u);  // one per frame, then hide

    TestFolder temp;
    LoadedDocument doc;
    ReadOptions opt;
    opt.tempDir = temp.path();
    ASSERT_EQ(DocErrorOf(ReadDocument(dir / "rich.cvn", opt, doc)), DocError::None);
    EXPECT_EQ(doc.version, 0);
    EXPECT_FALSE(doc.compressed);
    EXPECT_EQ(doc.gridScaleX, 2);
    EXPECT_EQ(doc.gridScaleY, 3);
    ASSERT_EQ(doc.clips.size(), 2u);
    EXPECT_EQ(doc.clips[0].lineFilePath, "/shows/bridge.lnf");
    ASSERT_EQ(doc.clips[0].frames.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(doc.clips[0].frames[i], p.store.clip(0).frames[i]) << i;
    }
    EXPECT_EQ(doc.clips[1].width, 5u);
    EXPECT_EQ(doc.clips[1].frames.size(), 2u);
    EXPECT_TRUE(doc.hasTail);
    EXPECT_EQ(doc.canvasWidth, 800);
    ASSERT_EQ(doc.layers.size(), 2u);
    EXPECT_EQ(doc.layers[0]->items.size(), 12u);
    EXPECT_EQ(doc.layers[0]->MaskPosition(), kItemStar);
    EXPECT_EQ(doc.musicLength, 16u);
    EXPECT_EQ(doc.musicPath, temp.path() / "EffectMusic.mp3");
    EXPECT_EQ(temp.Read("EffectMusic.mp3"), dir.Read("music.mp3"));
}

TEST(Document, VersionBytes) {
    TestFolder dir;
    Project p;
    p.store.AddClip(2, 2);
    p.store.AppendFrame(true);
    ASSERT_EQ(DocErrorOf(WriteDocument(dir / "v0.cvn", p.Source())), DocError::None);
    auto bytes = Read(dir / "v0.cvn");
    const std::size_t countAt = 18 + 4 + 8 + 260;

    // '1': the count is stored as it is.
    auto plain = bytes;
    plain[4] = '1';
    StoreU32(&plain[countAt], 2);
    Write(dir / "v1.cvn", plain);
    LoadedDocument doc;
    ReadOptions opt;
    EXPECT_EQ(DocErrorOf(ReadDocument(dir / "v1.cvn", opt, doc)), DocError::None);
    EXPECT_EQ(doc.version, '1');
    EXPECT_EQ(doc.clips[0].frames.size(), 2u);

    // Version bytes that read as 0 or less are taken; 0x01..0x7F other than '1' are refused.
    for (int v = 0; v < 256; ++v) {
        auto copy = bytes;
        copy[4] = static_cast<std::uint8_t>(v);
        if (v == '1') continue;
        Write(dir / "v.cvn", copy);
        const DocError e = DocErrorOf(ReadDocument(dir / "v.cvn", opt, doc));
        if (v == 0 || v >= 0x80) {
            EXPECT_EQ(e, DocError::None) << v;
        } else {
            EXPECT_EQ(e, DocError::Unsupported) << v;
        }
    }
    auto wrongMagic = bytes;
    wrongMagic[0] = 'L';
    Write(dir / "m.cvn", wrongMagic);
    EXPECT_EQ(DocErrorOf(ReadDocument(dir / "m.cvn", opt, doc)), DocError::Unsupported);
    EXPECT_EQ(DocErrorOf(ReadDocument(dir / "missing.cvn", opt, doc)), DocError::OpenFailed);
}

TEST(Document, CountsThatCannotBeTrueAreRefused) {
    TestFolder dir;
    Project p;
    p.store.AddClip(2, 2);
    ASSERT_EQ(DocErrorOf(WriteDocument(dir / "a.cvn", p.Source())), DocError::None);
    const auto bytes = Read(dir / "a.cvn");
    ReadOptions opt;
    LoadedDocument doc;
    auto refused = [&](std::vector<std::uint8_t> copy) {
        Write(dir / "bad.cvn", copy);
        return DocErrorOf(ReadDocument(dir / "bad.cvn", opt, doc)) == DocError::Unsupported;
    };
    auto patch32 = [&](std::size_t at, std::uint32_t v) {
        auto c = bytes;
        StoreU32(&c[at], v);
        return c;
    };
    EXPECT_TRUE(refused(patch32(18, 17)));           // 17 clips
    EXPECT_TRUE(refused(patch32(18, 0)));            // no clip
    EXPECT_TRUE(refused(patch32(18, 0xFFFFFFFF)));
    EXPECT_TRUE(refused(patch32(22, 0)));            // width 0
    EXPECT_TRUE(refused(patch32(22, 40000)));        // width beyond 16 bits signed
    EXPECT_TRUE(refused(patch32(26, 30000)));        // frames would run past the end
    const std::size_t countAt = 18 + 4 + 8 + 260;
    EXPECT_TRUE(refused(patch32(countAt, ScrambleFrameCount(2))));         // 2 frames, 1 there
    EXPECT_TRUE(refused(patch32(countAt, ScrambleFrameCount(kMaxFrameCount))));
    EXPECT_TRUE(refused(patch32(countAt, 0xFFFFFFFF)));  // not a scrambled count
    const std::size_t tail = bytes.size() - 10;
    auto c = bytes;
    StoreU16(&c[tail + 4], 5000);  // layers that are not there
    EXPECT_TRUE(refused(c));
    c = bytes;
    StoreU32(&c[tail + 6], 100);  // music that is not there
    EXPECT_TRUE(refused(c));
    c = bytes;
    StoreU16(&c[tail + 4], 0x8001);  // a negative layer count reads no layer
    Write(dir / "neg.cvn", c);
    EXPECT_EQ(DocErrorOf(ReadDocument(dir / "neg.cvn", opt, doc)), DocError::None);
    EXPECT_TRUE(doc.layers.empty());
}

TEST(Document, EveryTruncationIsRefusedExceptRightAfterTheFrames) {
    TestFolder dir;
    const auto bytes = SaveRichProject(dir);
    const std::size_t frameStoreEnd = 18 + 4 + 16 + 2 * (260 + 4) + 5 * Frame::BufferSize(3, 2) +
                                      2 * Frame::BufferSize(5, 1);
    TestFolder temp;
    ReadOptions opt;
    opt.tempDir = temp.path();
    LoadedDocument doc;
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
        Write(dir / "cut.cvn", cut);
        const DocError e = DocErrorOf(ReadDocument(dir / "cut.cvn", opt, doc));
        if (n == frameStoreEnd) {
            EXPECT_EQ(e, DocError::None);
            EXPECT_FALSE(doc.hasTail);
        } else {
            ASSERT_EQ(e, DocError::Unsupported) << "cut at " << n;
        }
    }
}

TEST(Document, MusicThatCannotBePutInTheWorkingFolderRefusesTheOpen) {
    // Opened without its music, the next save would drop it: the open is refused instead,
    // naming the file that could not be written and why.
    TestFolder dir;
    SaveRichProject(dir);
    ReadOptions opt;
    opt.tempDir = dir / "no-such-folder";
    LoadedDocument doc;
    const auto refused = ReadDocument(dir / "rich.cvn", opt, doc);
    EXPECT_EQ(DocErrorOf(refused), DocError::OpenFailed);
    const std::string& reason = refused.failure().reason;
    EXPECT_NE(reason.find("EffectMusic.mp3"), std::string::npos) << reason;
    EXPECT_NE(reason.find("No such file or directory"), std::string::npos) << reason;
    opt.tempDir = dir.path();
    EXPECT_EQ(DocErrorOf(ReadDocument(dir / "rich.cvn", opt, doc)), DocError::None);
    EXPECT_FALSE(doc.musicPath.empty());
}

TEST(Document, RandomDamageNeverCrashes) {
    TestFolder dir;
    const auto bytes = SaveRichProject(dir);
    TestFolder temp;
    ReadOptions opt;
    opt.tempDir = temp.path();
    Random rng(2024);
    int accepted = 0;
    for (int round = 0; round < 400; ++round) {
        auto copy = bytes;
        const int flips = 1 + static_cast<int>(rng.Below(8));
        for (int i = 0; i < flips; ++i) {
            copy[rng.Below(static_cast<std::uint32_t>(copy.size()))] ^= static_cast<std::uint8_t>(1 + rng.Below(255));
        }
        Write(dir / "fuzz.cvn", copy);
        LoadedDocument doc;
        if (DocErrorOf(ReadDocument(dir / "fuzz.cvn", opt, doc)) == DocError::None) {
            ++accepted;
            ASSERT_GE(doc.clips.size(), 1u);
        }
    }
    // Damage inside pixel bytes is invisible to a reader; damage in counts is not.
    EXPECT_GT(accepted, 0);
    EXPECT_LT(accepted, 400);
    std::vector<std::uint8_t> noise(5000);
    rng.Fill(noise);
    noise[0] = 'l', noise[1] = 'e', noise[2] = 'd', noise[3] = 'v', noise[4] = 0;
    Write(dir / "noise.cvn", noise);
    LoadedDocument doc;
    EXPECT_EQ(DocErrorOf(ReadDocument(dir / "noise.cvn", opt, doc)), DocError::Unsupported);
}

TEST(Document, FailedSaveLeavesTheOldFileAndNoLitter) {
    TestFolder dir;
    dir.Write("keep.cvn", "previous contents");
    Project p;
    p.store.AddClip(4, 4);
    p.store.AppendFrame(true);
    // A frame of the wrong size makes the writer stop half-way.
    p.store.CurrentFrames()[1] = Frame(3, 3);
    EXPECT_EQ(DocErrorOf(WriteDocument(dir / "keep.cvn", p.Source())), DocError::WriteFailed);
    EXPECT_EQ(dir.Read("keep.cvn"), "previous contents");
    int files = 0;
    for ([[maybe_unused]] auto& e : fs::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 1);
    // A folder that does not exist.
    Project q;
    q.store.AddClip(1, 1);
    EXPECT_EQ(DocErrorOf(WriteDocument(dir / "no" / "such.cvn", q.Source())), DocError::WriteFailed);
    // A target that is a folder is not replaced.
    fs::create_directories(dir / "folder.cvn" / "inside");
    EXPECT_EQ(DocErrorOf(WriteDocument(dir / "folder.cvn", q.Source())), DocError::WriteFailed);
    EXPECT_TRUE(fs::exists(dir / "folder.cvn" / "inside"));
}

TEST(FrameCountScramble, ConstantsHaveTheirSizesAndInvertOverTheWholeRange) {
    EXPECT_EQ(std::bit_width(scramble::kModulus), 29);
    EXPECT_EQ(std::bit_width(scramble::kPublicExponent), 8);
    EXPECT_EQ(std::bit_width(scramble::kPrivateExponent), 22);
    EXPECT_EQ(std::bit_width(scramble::kMask), 32);
    EXPECT_EQ(ModPow(ScrambleFrameCount(12345) ^ scramble::kMask, scramble::kPrivateExponent, scramble::kModulus),
              12345u);
    for (std::uint32_t f = 0; f <= kMaxFrameCount; ++f) {
        auto back = UnscrambleFrameCount(ScrambleFrameCount(f));
        if (!back || *back != f) {
            FAIL() << "count " << f << " does not come back";
        }
    }
    // Words that no storable count gives are refused.
    EXPECT_FALSE(UnscrambleFrameCount(static_cast<std::uint32_t>(scramble::kModulus) ^ scramble::kMask));
    EXPECT_FALSE(UnscrambleFrameCount(0xFFFFFFFFu ^ scramble::kMask));
}

TEST(Document, ClipReaderCanBeOpenedAgainOnAnotherDocument) {
    TestFolder dir;
    Project small;
    small.store.AddClip(2, 1);
    small.store.CurrentFrames()[0].SetPixel(1, 0, Bgr{1, 2, 3});
    ASSERT_EQ(DocErrorOf(WriteDocument(dir / "small.cvn", small.Source())), DocError::None);
    Project big;
    big.store.AddClip(40, 30);
    big.store.AppendFrame(true)->SetPixel(39, 29, Bgr{7, 8, 9});
    ASSERT_EQ(DocErrorOf(WriteDocument(dir / "big.cvn", big.Source())), DocError::None);
    TestFolder temp;
    ClipFrameReader reader;
    ASSERT_EQ(DocErrorOf(reader.Open(dir / "small.cvn", 0, temp.path())), DocError::None);
    ASSERT_TRUE(reader.Next(0));
    EXPECT_EQ(reader.Next(0)->Pixel(1, 0), (Bgr{1, 2, 3}));
    ASSERT_EQ(DocErrorOf(reader.Open(dir / "big.cvn", 0, temp.path())), DocError::None);
    const Frame* f = reader.Next(1);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->width(), 40);
    EXPECT_EQ(f->Pixel(39, 29), (Bgr{7, 8, 9}));
    EXPECT_EQ(DocErrorOf(reader.Open(dir / "big.cvn", 3, temp.path())), DocError::Unsupported);  // no clip 4
}

TEST(Document, ClipReaderStreamsOnTwoThreadsAndStopsAtACutFile) {
    // Frames of an odd width (rows padded, frames not a multiple of the page) over several
    // read windows: a reader and its fork, used from two threads, each see every frame as it
    // was saved. A file cut short after opening gives no frame past the cut.
    TestFolder dir;
    Project p;
    p.store.AddClip(3, 2);
    p.store.AddClip(101, 13);
    p.store.Select(1);
    while (p.store.CurrentFrames().size() < 700) p.store.AppendFrame(false);
    for (std::size_t i = 0; i < 700; ++i) {
        Frame& f = p.store.CurrentFrames()[i];
        for (std::size_t b = 0; b < f.size(); ++b) f.data()[b] = static_cast<std::uint8_t>(b * 13 + i * 7);
    }
    ASSERT_EQ(DocErrorOf(WriteDocument(dir / "long.cvn", p.Source())), DocError::None);
    TestFolder temp;
    ClipFrameReader reader;
    ASSERT_EQ(DocErrorOf(reader.Open(dir / "long.cvn", 1, temp.path())), DocError::None);
    ASSERT_EQ(reader.count(), 700u);
    auto fork = reader.Fork();
    const std::vector<Frame>& saved = p.store.CurrentFrames();
    auto same = [&](const Frame* f, std::size_t i) {
        return f && f->width() == 101 && f->height() == 13 && std::ranges::equal(f->bytes(), saved[i].bytes());
    };
    int wrongBackwards = 0;
    std::thread other([&] {
        for (std::size_t i = 700; i-- > 0;) wrongBackwards += same(fork->Next(i), i) ? 0 : 1;
    });
    int wrongForwards = 0;
    for (std::size_t i = 0; i < 700; ++i) wrongForwards += same(reader.Next(i), i) ? 0 : 1;
    other.join();
    EXPECT_EQ(wrongForwards, 0);
    EXPECT_EQ(wrongBackwards, 0);
    EXPECT_EQ(reader.Next(700), nullptr);

    const std::uint64_t frameBytes = Frame::BufferSize(101, 13);
    const std::uint64_t cut = fs::file_size(dir / "long.cvn") - 100 * frameBytes - 1000;
    fs::resize_file(dir / "long.cvn", cut);
    auto late = reader.Fork();
    EXPECT_TRUE(same(late->Next(10), 10));
    EXPECT_EQ(late->Next(650), nullptr);
}

TEST(Document, LargeClipIsReadOnTwoThreadsAsItWasSaved) {
    // A clip of more than 64 MiB is read in pieces on two threads; every frame must come back
    // as saved, and the progress ends at 0 after rising.
    TestFolder dir;
    Project p;
    FillLargeClip(p, 23, 4093, 1);
    ASSERT_GT(23 * p.store.CurrentFrames()[0].size(), 64u << 20);
    ASSERT_EQ(DocErrorOf(WriteDocument(dir / "large.cvn", p.Source())), DocError::None);
    TestFolder temp;
    LoadedDocument doc;
    ReadOptions options;
    options.tempDir = temp.path();
    options.mapFrames = false;  // read, not mapped
    std::vector<int> progress;
    options.progress = [&](int v) { progress.push_back(v); };
    ASSERT_EQ(DocErrorOf(ReadDocument(dir / "large.cvn", options, doc)), DocError::None);
    ASSERT_EQ(doc.clips.size(), 1u);
    ASSERT_EQ(doc.clips[0].frames.size(), 23u);
    int wrong = 0;
    for (std::size_t i = 0; i < 23; ++i) {
        wrong += std::ranges::equal(doc.clips[0].frames[i].bytes(), p.store.CurrentFrames()[i].bytes()) ? 0 : 1;
    }
    EXPECT_EQ(wrong, 0);
    ASSERT_GE(progress.size(), 2u);
    EXPECT_GT(*std::max_element(progress.begin(), progress.end()), 50);
    EXPECT_EQ(progress.back(), 0);
}

TEST(Document, MappedClipChangesNothingOnDiskAndSurvivesASaveOverItsFile) {
    // A clip of more than 16 MiB is mapped from the file: a frame changed in memory leaves the
    // file as it was, and saving over the file (a new file renamed into place) leaves the
    // frames read from the old one as they were.
    TestFolder dir;
    Project p;
    FillLargeClip(p, 7, 4093, 1);
    ASSERT_GT(7 * p.store.CurrentFrames()[0].size(), 16u << 20);
    const fs::path file = dir / "mapped.cvn";
    ASSERT_EQ(DocErrorOf(WriteDocument(file, p.Source())), DocError::None);
    const std::vector<std::uint8_t> before = Read(file);
    TestFolder temp;
    ReadOptions options;
    options.tempDir = temp.path();
    LoadedDocument doc;
    ASSERT_EQ(DocErrorOf(ReadDocument(file, options, doc)), DocError::None);
    ASSERT_EQ(doc.clips.size(), 1u);
    ASSERT_EQ(doc.clips[0].frames.size(), 7u);
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_TRUE(std::ranges::equal(doc.clips[0].frames[i].bytes(), p.store.CurrentFrames()[i].bytes())) << i;
    }
    // Changed in memory: the file stays as it was, a copy of the frame beside it too.
    Frame& first = doc.clips[0].frames[0];
    std::fill(first.data(), first.data() + first.size(), std::uint8_t{0xAB});
    const Frame copied = doc.clips[0].frames[3];
    EXPECT_EQ(Read(file), before);

    // Saved over its own file.
    Project again;
    again.store.ReplaceAll(std::move(doc.clips));
    ASSERT_EQ(DocErrorOf(WriteDocument(file, again.Source())), DocError::None);
    for (std::size_t i = 1; i < 7; ++i) {
        EXPECT_TRUE(std::ranges::equal(again.store.CurrentFrames()[i].bytes(), p.store.CurrentFrames()[i].bytes())) << i;
    }
    EXPECT_TRUE(copied == p.store.CurrentFrames()[3]);
    LoadedDocument back;
    ASSERT_EQ(DocErrorOf(ReadDocument(file, options, back)), DocError::None);
    ASSERT_EQ(back.clips[0].frames.size(), 7u);
    EXPECT_TRUE(std::all_of(back.clips[0].frames[0].bytes().begin(), back.clips[0].frames[0].bytes().end(),
                            [](std::uint8_t v) { return v == 0xAB; }));
    for (std::size_t i = 1; i < 7; ++i) {
        EXPECT_TRUE(std::ranges::equal(back.clips[0].frames[i].bytes(), p.store.CurrentFrames()[i].bytes())) << i;
    }
}

TEST(Document, StaleHeaderCopyOfTheClipSizeIsOnlyReported) {
    // The header keeps a copy of the first clip's size that readers ignore. A file whose copy
    // disagrees was read by every command but refused by append: now append reports it too and
    // goes on.
    TestFolder dir;
    Project p;
    p.store.AddClip(3, 2);
    p.store.AppendFrame(true);
    ASSERT_EQ(DocErrorOf(WriteDocument(dir / "a.cvn", p.Source())), DocError::None);
    auto bytes = Read(dir / "a.cvn");
    bytes[10] = 9;  // the copy's height (u16 after the 10-byte header): 9 instead of 2
    Write(dir / "a.cvn", bytes);
    LoadedDocument doc;
    ReadOptions options;
    options.tempDir = dir.path();
    ASSERT_EQ(DocErrorOf(ReadDocument(dir / "a.cvn", options, doc)), DocError::None);
    EXPECT_EQ(doc.headerHeight, 9);
    EXPECT_EQ(doc.clips[0].height, 2u);
    const Clip& clip = p.store.clip(0);
    AppendResult r = AppendFrames(dir / "a.cvn", clip, 0, 1);
    EXPECT_EQ(r.error, DocError::None);
    EXPECT_TRUE(r.headerCopyDiffers);
    EXPECT_EQ(r.newFrameCount, 4u);
    // A clip of another size is still refused, the file untouched.
    Project other;
    other.store.AddClip(4, 2);
    const auto before = Read(dir / "a.cvn");
    r = AppendFrames(dir / "a.cvn", other.store.clip(0), 0, 0);
    EXPECT_EQ(r.error, DocError::SizeMismatch);
    EXPECT_EQ(Read(dir / "a.cvn"), before);
}

namespace {

// Reads `file` and saves it again as the programs do (the frames, the design, the extracted
// music and the bytes after it); returns the saved bytes.
std::vector<std::uint8_t> ReadAndSaveAgain(const fs::path& file, const fs::path& saved, LoadedDocument& doc) {
    TestFolder temp;
    ReadOptions options;
    options.tempDir = temp.path();
    EXPECT_EQ(DocErrorOf(ReadDocument(file, options, doc)), DocError::None);
    AppState app;
    FrameStore store(app);
    store.ReplaceAll(std::move(doc.clips));
    EffectList effects;
    for (auto& layer : doc.layers) effects.Append(std::move(layer));
    DocumentSource source;
    source.frames = &store;
    source.gridScaleX = doc.gridScaleX;
    source.gridScaleY = doc.gridScaleY;
    source.canvasWidth = doc.canvasWidth;
    source.canvasHeight = doc.canvasHeight;
    source.effects = &effects;
    source.musicPath = doc.musicPath;
    source.trailingBytes = doc.trailingBytes;
    EXPECT_EQ(DocErrorOf(WriteDocument(saved, source)), DocError::None);
    return Read(saved);
}

}  // namespace

TEST(Document, BytesAfterTheMusicAreKeptAcrossASave) {
    TestFolder dir;
    auto bytes = SaveRichProject(dir);  // ends with 16 bytes of music after their length
    const std::size_t lengthAt = bytes.size() - 16 - 4;
    ASSERT_EQ(LoadU32(&bytes[lengthAt]), 16u);
    // The length says 1, and 100 bytes follow it.
    StoreU32(&bytes[lengthAt], 1);
    for (int i = 0; i < 84; ++i) bytes.push_back(static_cast<std::uint8_t>(i * 37 + 5));
    Write(dir / "long.cvn", bytes);
    LoadedDocument doc;
    const auto saved = ReadAndSaveAgain(dir / "long.cvn", dir / "saved.cvn", doc);
    EXPECT_EQ(doc.musicLength, 1u);
    EXPECT_EQ(doc.trailingBytes.size(), 99u);
    EXPECT_TRUE(std::equal(doc.trailingBytes.begin(), doc.trailingBytes.end(), bytes.end() - 99));
    EXPECT_EQ(saved, bytes);

    // No music at all, and bytes after its length of 0: the same.
    auto silent = SaveRichProject(dir);
    silent.resize(silent.size() - 16);
    StoreU32(&silent[silent.size() - 4], 0);
    for (int i = 0; i < 7; ++i) silent.push_back(static_cast<std::uint8_t>(0xF0 + i));
    Write(dir / "silent.cvn", silent);
    EXPECT_EQ(ReadAndSaveAgain(dir / "silent.cvn", dir / "silent-saved.cvn", doc), silent);
    EXPECT_EQ(doc.trailingBytes.size(), 7u);

    // A document that ends with its music has nothing after it, and stays as it was.
    const auto plain = SaveRichProject(dir);
    EXPECT_EQ(ReadAndSaveAgain(dir / "rich.cvn", dir / "plain-saved.cvn", doc), plain);
    EXPECT_TRUE(doc.trailingBytes.empty());

    // Read without its music (describing a file), the bytes after the music are still found.
    ReadOptions quick;
    quick.loadFrames = false;
    quick.extractMusic = false;
    LoadedDocument probe;
    ASSERT_EQ(DocErrorOf(ReadDocument(dir / "long.cvn", quick, probe)), DocError::None);
    EXPECT_EQ(probe.trailingBytes.size(), 99u);
}

TEST(Document, ACompressedDocumentsMappedFramesSurviveSavesOverTheirFile) {
    // A packed document's clip is mapped from the file it is unpacked to. Saved (unpacked over
    // that very file, then packed again over the archive) with one frame changed: the frames
    // still mapped stay as they were, are copied from the file, and the archive opens again
    // with every frame right.
    TestFolder dir;
    Project p;
    FillLargeClip(p, 7, 1021, 3);
    ASSERT_EQ(DocErrorOf(WriteDocument(dir / "plain.cvn", p.Source())), DocError::None);
    const fs::path packed = dir / "show.cvn";
    ASSERT_TRUE(WriteStoredRar(packed, dir / "plain.cvn", document::kEntryName));
    TestFolder temp;
    ReadOptions options;
    options.tempDir = temp.path();
    LoadedDocument doc;
    ASSERT_EQ(DocErrorOf(ReadDocument(packed, options, doc)), DocError::None);
    ASSERT_TRUE(doc.compressed);
    ASSERT_EQ(doc.clips.size(), 1u);
    ASSERT_EQ(doc.clips[0].frames.size(), 7u);
    for (const Frame& f : doc.clips[0].frames) EXPECT_TRUE(PagesUnchanged(f.data(), f.size()));
    fs::path unpacked;
    for (const auto& e : fs::directory_iterator(temp.path())) {
        if (e.path().filename() == document::kEntryName) unpacked = e.path();
    }
    ASSERT_FALSE(unpacked.empty());

    Frame& changed = doc.clips[0].frames[2];
    std::fill(changed.data(), changed.data() + changed.size(), std::uint8_t{0x3C});
    EXPECT_FALSE(PagesUnchanged(changed.data(), changed.size()));
    Project again;
    again.store.ReplaceAll(std::move(doc.clips));
    for (int round = 0; round < 2; ++round) {  // the second time from frames of a replaced file
        ASSERT_EQ(DocErrorOf(WriteDocument(unpacked, again.Source())), DocError::None);
        ASSERT_TRUE(WriteStoredRar(packed, unpacked, document::kEntryName));
        LoadedDocument back;
        TestFolder otherTemp;
        options.tempDir = otherTemp.path();
        ASSERT_EQ(DocErrorOf(ReadDocument(packed, options, back)), DocError::None);
        ASSERT_EQ(back.clips[0].frames.size(), 7u);
        for (std::size_t i = 0; i < 7; ++i) {
            const Frame& want = i == 2 ? again.store.CurrentFrames()[2] : p.store.CurrentFrames()[i];
            EXPECT_TRUE(std::ranges::equal(back.clips[0].frames[i].bytes(), want.bytes())) << round << " " << i;
            EXPECT_TRUE(std::ranges::equal(again.store.CurrentFrames()[i].bytes(), want.bytes())) << round << " " << i;
        }
    }
}
