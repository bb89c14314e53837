#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "TestHome.h"
#include "base/Binary.h"
#include "base/FileUtil.h"
#include "lang/Language.h"
#include "lang/Render.h"
#include "seq/SequenceFile.h"
#include "seq/SequenceReader.h"
#include "seq/SequenceWriter.h"

using namespace corv;
using namespace corv::seq;
using corv::test::TestFolder;
using corv::test::WithAddressLimit;

namespace {

using Bytes = std::vector<std::uint8_t>;

// The channels of frame k: distinct, repeatable bytes.
Bytes FrameBytes(std::uint32_t k, std::uint32_t channels) {
    Bytes b(channels);
    for (std::uint32_t i = 0; i < channels; ++i) b[i] = static_cast<std::uint8_t>((k * 31 + i * 7 + (i >> 8)) % 251);
    return b;
}

SequenceOptions Options(int version, Compression compression, std::uint32_t channels, std::uint32_t frames) {
    SequenceOptions o;
    o.version = version;
    o.compression = compression;
    o.channels = channels;
    o.frames = frames;
    o.stepMs = 25;
    o.uniqueId = 0x0123456789ABCDEFull;
    o.variables.push_back(VariableHeader::Text("sp", "Corvantine test"));
    return o;
}

// Writes frames 0 .. frames - 1 (FrameBytes) with the options and commits the file.
void Write(const std::filesystem::path& path, const SequenceOptions& o) {
    SequenceWriter w;
    ASSERT_TRUE(w.Open(path, o)) << Render(w.Open(path, o).failure(), kLanguageEnglish);
    for (std::uint32_t k = 0; k < o.frames; ++k) {
        const auto added = w.AddFrame(FrameBytes(k, o.channels));
        ASSERT_TRUE(added) << Render(added.failure(), kLanguageEnglish);
    }
    const auto committed = w.Commit();
    ASSERT_TRUE(committed) << Render(committed.failure(), kLanguageEnglish);
}

// Writes the bytes in place (no temporary, no sync: the loops write thousands of files).
bool Put(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

Bytes FileBytes(const std::filesystem::path& path) {
    auto bytes = ReadFileBytes(path);
    return bytes ? *bytes : Bytes{};
}

// Opens the file and reads every frame, sequentially and (every 7th) by number; the first
// failure's code, or 0.
int ReadAll(const std::filesystem::path& path, bool check) {
    SequenceReader r;
    if (auto opened = r.Open(path); !opened) return opened.failure().code;
    for (std::uint32_t k = 0; k < r.info().frames; ++k) {
        auto frame = r.NextFrame();
        if (!frame) return frame.failure().code;
        if (check && Bytes(frame->begin(), frame->end()) != FrameBytes(k, r.info().channels)) return 100;
    }
    for (std::uint32_t k = 0; k < r.info().frames; k += 7) {
        auto frame = r.ReadFrame(k);
        if (!frame) return frame.failure().code;
        if (check && Bytes(frame->begin(), frame->end()) != FrameBytes(k, r.info().channels)) return 101;
    }
    return 0;
}

}  // namespace

TEST(SequencePlan, BlocksHoldAbout64KiBAndTheFirstIsSmall) {
    // 300 channels: 218 frames a block, the first 54.
    EXPECT_EQ(PlanBlocks(1000, 300), (BlockPlan{54, 218, 1 + (1000 - 54 + 217) / 218}));
    EXPECT_EQ(PlanBlocks(1000, 300).FirstFrame(0), 0u);
    EXPECT_EQ(PlanBlocks(1000, 300).FirstFrame(2), 54u + 218u);
    // Channels of more than 64 KiB: two frames a block, the first too.
    EXPECT_EQ(PlanBlocks(9, 100000), (BlockPlan{2, 2, 5}));
    // One frame: one block of it; none: no block.
    EXPECT_EQ(PlanBlocks(1, 3), (BlockPlan{1, 21845, 1}));
    EXPECT_EQ(PlanBlocks(0, 3), BlockPlan{});
    // More than 4095 blocks: the later blocks grow until the count fits 12 bits.
    const BlockPlan big = PlanBlocks(10'000'000, 1000);
    EXPECT_LE(big.blocks, kMaxBlocks);
    EXPECT_EQ(big.firstBlockFrames, 16u);
    EXPECT_GE(std::uint64_t{big.firstBlockFrames} + std::uint64_t{big.framesPerBlock} * (big.blocks - 1), 10'000'000u);
    EXPECT_LT(std::uint64_t{big.firstBlockFrames} + std::uint64_t{big.framesPerBlock} * (big.blocks - 2), 10'000'000u);
}

TEST(SequenceWriter, Version2HeaderBytes) {
    TestFolder dir;
    SequenceOptions o = Options(2, Compression::Zstd, 6, 5);
    o.variables.insert(o.variables.begin(), VariableHeader::Text("mf", "song.mp3"));
    Write(dir / "a.fseq", o);
    const Bytes b = FileBytes(dir / "a.fseq");
    ASSERT_GE(b.size(), 64u);
    // One block (6 channels: 5 frames fit the first block), no ranges, then mf and sp.
    const std::size_t variables = 32 + 8;
    const std::size_t dataOffset = (variables + 4 + 9 + 4 + 16 + 3) / 4 * 4;
    const Bytes head = {'P', 'S', 'E', 'Q', static_cast<std::uint8_t>(dataOffset), 0, 2, 2,
                        static_cast<std::uint8_t>(variables), 0, 6, 0, 0, 0, 5, 0, 0, 0, 25, 0, 0x01, 1, 0, 0,
                        0xEF, 0xCD, 0xAB, 0x89, 0x67, 0x45, 0x23, 0x01};
    EXPECT_EQ(Bytes(b.begin(), b.begin() + 32), head);
    EXPECT_EQ(LoadU32(&b[32]), 0u);                       // first frame of block 0
    EXPECT_EQ(LoadU32(&b[36]), b.size() - dataOffset);    // its compressed length
    const Bytes mf = {13, 0, 'm', 'f', 's', 'o', 'n', 'g', '.', 'm', 'p', '3', 0};
    EXPECT_EQ(Bytes(b.begin() + 40, b.begin() + 53), mf);
    const std::string sp(b.begin() + 53, b.begin() + 53 + 20);
    EXPECT_EQ(sp, std::string("\x14\0spCorvantine test\0", 20));
    for (std::size_t i = 73; i < dataOffset; ++i) EXPECT_EQ(b[i], 0) << i;
    // A zstd frame starts the data.
    EXPECT_EQ(LoadU32(&b[dataOffset]), 0xFD2FB528u);
}

TEST(SequenceWriter, Version2UncompressedAndSparseHeaderBytes) {
    TestFolder dir;
    SequenceOptions o = Options(2, Compression::None, 5, 2);
    o.variables.clear();
    o.ranges = {{10, 3}, {0x123456, 2}};
    Write(dir / "s.fseq", o);
    const Bytes b = FileBytes(dir / "s.fseq");
    // No block index, two ranges: the variable headers (none) at 32 + 12, data at 44.
    const Bytes head = {'P', 'S', 'E', 'Q', 44, 0, 2, 2, 44, 0, 5, 0, 0, 0, 2, 0, 0, 0, 25, 0, 0x00, 0, 2, 0,
                        0xEF, 0xCD, 0xAB, 0x89, 0x67, 0x45, 0x23, 0x01,
                        10, 0, 0, 3, 0, 0, 0x56, 0x34, 0x12, 2, 0, 0};
    EXPECT_EQ(Bytes(b.begin(), b.begin() + 44), head);
    Bytes data = FrameBytes(0, 5);
    const Bytes second = FrameBytes(1, 5);
    data.insert(data.end(), second.begin(), second.end());
    EXPECT_EQ(Bytes(b.begin() + 44, b.end()), data);
}

TEST(SequenceWriter, Version1FileBytes) {
    TestFolder dir;
    SequenceOptions o = Options(1, Compression::None, 3, 2);
    o.stepMs = 300;
    o.variables = {VariableHeader::Text("sp", "ab")};
    Write(dir / "v1.fseq", o);
    Bytes want = {'P', 'S', 'E', 'Q', 36, 0, 0, 1, 28, 0, 3, 0, 0, 0, 2, 0, 0, 0, 0x2C, 0x01, 0, 0, 0, 0, 1, 2, 0, 0,
                  7, 0, 's', 'p', 'a', 'b', 0, 0};
    for (std::uint32_t k = 0; k < 2; ++k) {
        const Bytes f = FrameBytes(k, 3);
        want.insert(want.end(), f.begin(), f.end());
    }
    EXPECT_EQ(FileBytes(dir / "v1.fseq"), want);
    SequenceReader r;
    ASSERT_TRUE(r.Open(dir / "v1.fseq"));
    EXPECT_EQ(r.info().major, 1);
    EXPECT_EQ(r.info().stepMs, 300);
    EXPECT_EQ(r.info().gamma, 1);
    EXPECT_EQ(r.info().colourEncoding, 2);
    ASSERT_EQ(r.info().variables.size(), 1u);
    EXPECT_EQ(r.info().variables[0].text(), "ab");
}

TEST(SequenceRoundTrip, EveryVersionAndCompression) {
    TestFolder dir;
    struct Case {
        int version;
        Compression compression;
        int level;
    };
    for (const Case c : {Case{1, Compression::None, 0}, Case{2, Compression::None, 0}, Case{2, Compression::Zstd, 0},
                         Case{2, Compression::Zstd, 19}, Case{2, Compression::Zlib, 0}, Case{2, Compression::Zlib, 1}}) {
        SCOPED_TRACE(std::to_string(c.version) + " " + CompressionName(c.compression) + " " + std::to_string(c.level));
        // 1000 channels: 65 frames a block, the first 16; 700 frames make 12 blocks.
        SequenceOptions o = Options(c.version, c.compression, 1000, 700);
        o.level = c.level;
        const auto path = dir / "r.fseq";
        Write(path, o);
        EXPECT_EQ(ReadAll(path, true), 0);
        SequenceReader r;
        ASSERT_TRUE(r.Open(path));
        EXPECT_EQ(r.info().channels, 1000u);
        EXPECT_EQ(r.info().frames, 700u);
        EXPECT_EQ(r.info().compression, c.compression);
        EXPECT_EQ(r.info().dataOffset % 4, 0);
        if (c.compression != Compression::None) {
            const BlockPlan plan = PlanBlocks(700, 1000);
            ASSERT_EQ(r.info().blocks.size(), plan.blocks);
            EXPECT_EQ(r.info().indexEntries, plan.blocks);
            for (std::uint32_t k = 0; k < plan.blocks; ++k) EXPECT_EQ(r.info().blocks[k].firstFrame, plan.FirstFrame(k));
            EXPECT_EQ(r.info().blocks[0].frames, 16u);
        }
        // Random access from the end backwards.
        for (std::uint32_t k = 700; k-- > 0;) {
            auto frame = r.ReadFrame(k);
            ASSERT_TRUE(frame);
            ASSERT_EQ(Bytes(frame->begin(), frame->end()), FrameBytes(k, 1000)) << k;
        }
        EXPECT_EQ(r.ReadFrame(700).failure().code, kSeqNoSuchFrame);
    }
}

TEST(SequenceRoundTrip, SparseRangesAndVariableHeaders) {
    TestFolder dir;
    SequenceOptions o = Options(2, Compression::Zlib, 9, 40);
    o.ranges = {{0, 3}, {30, 6}};
    o.variables.push_back(VariableHeader::Text("mf", "music/track.ogg"));
    Write(dir / "sparse.fseq", o);
    EXPECT_EQ(ReadAll(dir / "sparse.fseq", true), 0);
    SequenceReader r;
    ASSERT_TRUE(r.Open(dir / "sparse.fseq"));
    EXPECT_EQ(r.info().ranges, o.ranges);
    EXPECT_EQ(r.info().ChannelSpan(), 36u);
    ASSERT_EQ(r.info().variables.size(), 2u);
    EXPECT_EQ(r.info().variables[0].code, "sp");
    EXPECT_EQ(r.info().variables[1].text(), "music/track.ogg");
    EXPECT_EQ(r.info().uniqueId, 0x0123456789ABCDEFull);
}

TEST(SequenceRoundTrip, ManyBlocksThroughTheWorkers) {
    // 3 x 4000 frames of 2000 channels (32 frames a block, 126 blocks each): the pipeline
    // keeps the blocks in order whatever worker finishes first.
    TestFolder dir;
    for (const Compression c : {Compression::Zstd, Compression::Zlib}) {
        SequenceOptions o = Options(2, c, 2000, 4000);
        Write(dir / "many.fseq", o);
        EXPECT_EQ(ReadAll(dir / "many.fseq", true), 0);
    }
}

TEST(SequenceWriter, RefusesWhatTheFormatCannotHold) {
    TestFolder dir;
    const auto path = dir / "x.fseq";
    const auto refused = [&](const SequenceOptions& o) {
        SequenceWriter w;
        const auto opened = w.Open(path, o);
        return !opened && opened.failure().code == kSeqBadOptions && !std::filesystem::exists(path);
    };
    EXPECT_TRUE(refused(Options(3, Compression::None, 3, 1)));
    EXPECT_TRUE(refused(Options(1, Compression::Zstd, 3, 1)));
    EXPECT_TRUE(refused(Options(2, Compression::Zstd, 0, 1)));
    SequenceOptions o = Options(2, Compression::Zstd, 3, 1);
    o.stepMs = 256;
    EXPECT_TRUE(refused(o));
    o = Options(2, Compression::Zlib, 3, 1);
    o.level = 10;
    EXPECT_TRUE(refused(o));
    o = Options(2, Compression::None, 3, 1);
    o.ranges = {{0, 2}};  // 2 channels for a frame of 3
    EXPECT_TRUE(refused(o));
    o.ranges = {{kMaxRangeChannel - 1, 3}};
    EXPECT_TRUE(refused(o));
    o = Options(2, Compression::None, 3, 1);
    o.variables.push_back(VariableHeader::Text("toolong", "x"));
    EXPECT_TRUE(refused(o));
    o.variables = {VariableHeader::Text("mf", std::string(70000, 'a'))};
    EXPECT_TRUE(refused(o));
    o = Options(1, Compression::None, 3, 1);
    o.ranges = {{0, 3}};
    EXPECT_TRUE(refused(o));
}

TEST(SequenceWriter, WrongFramesAreRefusedAndNothingIsLeft) {
    TestFolder dir;
    const auto path = dir / "w.fseq";
    {
        SequenceWriter w;
        ASSERT_TRUE(w.Open(path, Options(2, Compression::Zstd, 4, 3)));
        EXPECT_EQ(w.AddFrame(FrameBytes(0, 5)).failure().code, kSeqBadOptions);
        // After a failure every call fails.
        EXPECT_FALSE(w.AddFrame(FrameBytes(0, 4)));
        EXPECT_FALSE(w.Commit());
    }
    {
        SequenceWriter w;
        ASSERT_TRUE(w.Open(path, Options(2, Compression::Zlib, 4, 3)));
        ASSERT_TRUE(w.AddFrame(FrameBytes(0, 4)));
        EXPECT_EQ(w.Finish().failure().code, kSeqBadOptions);  // two frames short
    }
    {
        SequenceWriter w;
        ASSERT_TRUE(w.Open(path, Options(2, Compression::None, 4, 1)));
        ASSERT_TRUE(w.AddFrame(FrameBytes(0, 4)));
        EXPECT_EQ(w.AddFrame(FrameBytes(1, 4)).failure().code, kSeqBadOptions);  // one too many
    }
    {
        // Dropped before Commit: no file, no temporary.
        SequenceWriter w;
        ASSERT_TRUE(w.Open(path, Options(2, Compression::Zstd, 4, 100)));
        for (std::uint32_t k = 0; k < 50; ++k) ASSERT_TRUE(w.AddFrame(FrameBytes(k, 4)));
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    // A target in a folder that does not exist.
    SequenceWriter w;
    EXPECT_EQ(w.Open(dir / "no" / "such.fseq", Options(2, Compression::None, 4, 1)).failure().code, kSeqCannotWrite);
}

TEST(SequenceWriter, AFailedWriteLeavesTheOldFile) {
    TestFolder dir;
    const auto path = dir / "old.fseq";
    ASSERT_TRUE(WriteFileAtomic(path, std::string("old")));
    {
        SequenceWriter w;
        ASSERT_TRUE(w.Open(path, Options(2, Compression::Zstd, 4, 2)));
        ASSERT_TRUE(w.AddFrame(FrameBytes(0, 4)));
        ASSERT_TRUE(w.AddFrame(FrameBytes(1, 4)));
        ASSERT_TRUE(w.Finish());
        EXPECT_EQ(dir.Read("old.fseq"), "old");  // finished, not yet in place
    }
    EXPECT_EQ(dir.Read("old.fseq"), "old");
}

TEST(SequenceReader, EveryTruncationIsRefused) {
    TestFolder dir;
    struct Case {
        int version;
        Compression compression;
        std::uint32_t channels, frames;
    };
    // Compressed: 5000 channels make 13 frames a block, the first 3: 4 blocks for 30 frames.
    for (const Case c : {Case{1, Compression::None, 40, 30}, Case{2, Compression::None, 40, 30},
                         Case{2, Compression::Zstd, 5000, 30}, Case{2, Compression::Zlib, 5000, 30}}) {
        SCOPED_TRACE(CompressionName(c.compression));
        SequenceOptions o = Options(c.version, c.compression, c.channels, c.frames);
        o.variables.push_back(VariableHeader::Text("mf", "a.mp3"));
        const auto path = dir / "cut.fseq";
        Write(path, o);
        ASSERT_EQ(ReadAll(path, true), 0);
        // Every length, from one byte short down to nothing.
        for (std::uintmax_t n = std::filesystem::file_size(path); n-- > 0;) {
            std::filesystem::resize_file(path, n);
            SequenceReader r;
            const auto opened = r.Open(path);
            ASSERT_FALSE(opened) << n << " bytes opened";
            EXPECT_TRUE(opened.failure().code == kSeqDamaged || opened.failure().code == kSeqNotSequence) << n;
            EXPECT_FALSE(Render(opened.failure(), kLanguageEnglish).empty());
        }
    }
}

TEST(SequenceReader, RandomCorruptionNeverCrashes) {
    TestFolder dir;
    std::mt19937 random(20240611);
    for (const Compression c : {Compression::None, Compression::Zstd, Compression::Zlib}) {
        SequenceOptions o = Options(2, c, 700, 60);
        o.ranges = {{5, 600}, {1000, 100}};
        Write(dir / "good.fseq", o);
        const Bytes good = FileBytes(dir / "good.fseq");
        int refused = 0;
        for (int round = 0; round < 400; ++round) {
            Bytes bad = good;
            const int flips = 1 + static_cast<int>(random() % 8);
            // Most flips in the headers and the first block, where they matter most.
            const std::size_t span = round % 2 == 0 ? std::min<std::size_t>(bad.size(), 400) : bad.size();
            for (int f = 0; f < flips; ++f) bad[random() % span] = static_cast<std::uint8_t>(random());
            ASSERT_TRUE(Put(dir / "bad.fseq", bad));
            if (ReadAll(dir / "bad.fseq", false) != 0) ++refused;
        }
        EXPECT_GT(refused, 0);
    }
}

TEST(SequenceReader, RefusesWhatIsNotASequence) {
    TestFolder dir;
    ASSERT_TRUE(WriteFileAtomic(dir / "text.fseq", std::string("hello, this is not a sequence at all")));
    SequenceReader r;
    EXPECT_EQ(r.Open(dir / "text.fseq").failure().code, kSeqNotSequence);
    EXPECT_EQ(r.Open(dir / "missing.fseq").failure().code, kSeqCannotRead);
    Write(dir / "v.fseq", Options(2, Compression::None, 3, 1));
    Bytes b = FileBytes(dir / "v.fseq");
    b[7] = 3;
    ASSERT_TRUE(WriteFileAtomic(dir / "v3.fseq", b));
    const auto v3 = r.Open(dir / "v3.fseq");
    EXPECT_EQ(v3.failure().code, kSeqUnsupported);
    EXPECT_NE(Render(v3.failure(), kLanguageEnglish).find("version 3.2"), std::string::npos);
    b[7] = 2;
    b[20] = 3;  // compression 3
    ASSERT_TRUE(WriteFileAtomic(dir / "c3.fseq", b));
    EXPECT_EQ(r.Open(dir / "c3.fseq").failure().code, kSeqUnsupported);
}

TEST(SequenceReader, HugeClaimsAreRefusedWithinLittleMemory) {
    TestFolder dir;
    Write(dir / "z.fseq", Options(2, Compression::Zstd, 6, 5));
    const Bytes good = FileBytes(dir / "z.fseq");
    const auto refusedWithin = [&](const Bytes& bytes, int code) {
        EXPECT_TRUE(WriteFileAtomic(dir / "huge.fseq", bytes));
        return WithAddressLimit(256u << 20, [&] {
            SequenceReader r;
            const auto opened = r.Open(dir / "huge.fseq");
            if (opened) {
                // Opened: every frame must be refused or read without a large allocation.
                for (std::uint32_t k = 0; k < r.info().frames; ++k) {
                    if (!r.NextFrame()) return code == 0 ? 0 : 2;
                }
                return 3;
            }
            return opened.failure().code == code ? 0 : 1;
        });
    };
    // 4 billion channels a frame, 4 billion frames, uncompressed.
    Bytes b = good;
    b[20] = 0;
    StoreU32(&b[10], 0xFFFFFFFFu);
    StoreU32(&b[14], 0xFFFFFFFFu);
    EXPECT_EQ(refusedWithin(b, kSeqDamaged), 0);
    // Compressed: one block claimed to hold 4 billion frames of 6 channels.
    b = good;
    StoreU32(&b[14], 0xFFFFFFFFu);
    EXPECT_EQ(refusedWithin(b, kSeqDamaged), 0);
    // Its compressed length past the end of the file.
    b = good;
    StoreU32(&b[36], 0xFFFFFFF0u);
    EXPECT_EQ(refusedWithin(b, kSeqDamaged), 0);
    // 5 frames of 200 million channels: more than the block's bytes can stand for.
    b = good;
    StoreU32(&b[10], 200'000'000u);
    EXPECT_EQ(refusedWithin(b, kSeqDamaged), 0);
    // 4095 index entries claimed in a file of a few bytes.
    b = good;
    b[20] = 0xF1;
    b[21] = 0xFF;
    EXPECT_EQ(refusedWithin(b, kSeqDamaged), 0);
    // A block whose zstd frame claims another size than its frames': refused when read.
    b = good;
    const std::size_t data = LoadU16(&b[4]);
    ASSERT_EQ(b[data + 4] & 0xC0, 0x00);  // content size in one byte (frame header descriptor)
    b[data + 5] = static_cast<std::uint8_t>(b[data + 5] + 1);
    EXPECT_EQ(refusedWithin(b, 0), 0);
}

TEST(SequenceReader, UnusedIndexEntriesAreSkipped) {
    // A file whose index has room for more blocks than it uses (0/0 entries at the end).
    TestFolder dir;
    Write(dir / "a.fseq", Options(2, Compression::Zstd, 6, 5));
    const Bytes good = FileBytes(dir / "a.fseq");
    const std::size_t oldData = LoadU16(&good[4]);
    const std::size_t length = LoadU32(&good[36]);
    Bytes b(good.begin(), good.begin() + 40);
    b.insert(b.end(), 16, 0);  // two unused entries
    b.insert(b.end(), good.begin() + 40, good.begin() + static_cast<std::ptrdiff_t>(oldData));
    b.insert(b.end(), good.begin() + static_cast<std::ptrdiff_t>(oldData), good.end());
    b[21] = 3;
    StoreU16(&b[8], 32 + 24);
    StoreU16(&b[4], static_cast<std::uint16_t>(oldData + 16));
    ASSERT_EQ(b.size(), good.size() + 16);
    ASSERT_EQ(LoadU32(&b[36]), length);
    ASSERT_TRUE(WriteFileAtomic(dir / "room.fseq", b));
    EXPECT_EQ(ReadAll(dir / "room.fseq", true), 0);
    // A used entry after an unused one is refused.
    StoreU32(&b[48], 1);
    StoreU32(&b[52], 1);
    ASSERT_TRUE(WriteFileAtomic(dir / "gap.fseq", b));
    SequenceReader r;
    EXPECT_EQ(r.Open(dir / "gap.fseq").failure().code, kSeqDamaged);
}

TEST(SequenceWriter, FramesFilledOnTheWorkersMakeTheSameFile) {
    // AddFrames fills the blocks on the worker threads (uncompressed: pieces written by them at
    // their places): the same bytes as frame by frame, also when AddFrame began the file.
    TestFolder dir;
    const SequenceWriter::FrameFill fill = [](std::uint32_t k, std::uint8_t* out) {
        const Bytes b = FrameBytes(k, 3000);
        std::copy(b.begin(), b.end(), out);
    };
    for (const int version : {1, 2}) {
        for (const Compression c : {Compression::None, Compression::Zstd, Compression::Zlib}) {
            if (version == 1 && c != Compression::None) continue;
            SCOPED_TRACE(std::to_string(version) + " " + CompressionName(c));
            // 3000 channels: 22 frames a block; 4 MiB pieces of 1398 frames uncompressed.
            const SequenceOptions o = Options(version, c, 3000, 3100);
            Write(dir / "one.fseq", o);
            for (const std::uint32_t before : {0u, 5u, 22u, 1500u}) {
                SequenceWriter w;
                ASSERT_TRUE(w.Open(dir / "all.fseq", o));
                for (std::uint32_t k = 0; k < before; ++k) ASSERT_TRUE(w.AddFrame(FrameBytes(k, 3000)));
                std::vector<std::uint32_t> written;
                const auto added = w.AddFrames(fill, [&](std::uint32_t n) { written.push_back(n); });
                ASSERT_TRUE(added) << Render(added.failure(), kLanguageEnglish);
                ASSERT_TRUE(w.Commit());
                EXPECT_EQ(FileBytes(dir / "all.fseq"), FileBytes(dir / "one.fseq")) << before;
                ASSERT_FALSE(written.empty());
                EXPECT_TRUE(std::is_sorted(written.begin(), written.end()));
                EXPECT_EQ(written.back(), 3100u);
                // Nothing more goes in.
                EXPECT_EQ(w.AddFrame(FrameBytes(0, 3000)).failure().code, kSeqBadOptions);
            }
        }
    }
}

TEST(SequenceWriter, AFileThatCannotGrowFailsOnTheWorkersAndLeavesNothing) {
    // The file may not grow past 1 MiB (the writes fail with the system's reason): the frames
    // filled on the workers stop at the failure, every call after fails the same way, and
    // neither the target nor a temporary is left. In a child process, which takes the limit.
    TestFolder dir;
    for (const Compression c : {Compression::None, Compression::Zlib}) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{1u << 20, 1u << 20};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            const auto path = dir / "big.fseq";
            int rc = 0;
            {
                SequenceWriter w;
                if (!w.Open(path, Options(2, c, 3000, 3100))) ::_exit(10);
                // Frames zlib cannot shrink much, so that the compressed file runs past the limit too.
                const SequenceWriter::FrameFill fill = [](std::uint32_t k, std::uint8_t* out) {
                    std::uint32_t x = k * 2654435761u + 1;
                    for (std::size_t i = 0; i < 3000; ++i) {
                        x ^= x << 13;
                        x ^= x >> 17;
                        x ^= x << 5;
                        out[i] = static_cast<std::uint8_t>(x);
                    }
                };
                const auto added = w.AddFrames(fill);
                if (added || added.failure().code != kSeqCannotWrite) rc = 11;
                if (added.failure().reason.find("big.fseq") == std::string::npos) rc = rc ? rc : 12;
                if (w.Finish().failure().code != kSeqCannotWrite) rc = rc ? rc : 13;
                if (w.Commit().failure().code != kSeqCannotWrite) rc = rc ? rc : 14;
            }
            if (std::filesystem::exists(path) || !std::filesystem::is_empty(dir.path())) rc = rc ? rc : 15;
            ::_exit(rc);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status)) << CompressionName(c);
        EXPECT_EQ(WEXITSTATUS(status), 0) << CompressionName(c);
    }
}
