// Movies made by the ffmpeg program (an independent writer) read back by our reader, our
// writer read back by ffprobe and our reader, the import sources, and damaged input.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "base/TempDir.h"
#include "media/ImportSource.h"
#include "media/Movie.h"
#include "project/Document.h"
#include "project/FrameRange.h"

using namespace corv;
namespace fs = std::filesystem;

namespace {

// Four vertical bars (red, green, blue, white) that move one bar width every 4 pictures.
constexpr int kW = 64, kH = 32, kPictures = 24;
const Bgr kBars[4] = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {255, 255, 255}};

Bgr BarAt(int x, int picture) { return kBars[((x / 16) + picture / 4) % 4]; }

Frame BarsFrame(int picture, int w = kW, int h = kH) {
    Frame f(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) f.SetPixel(x, y, BarAt(x * kW / w, picture));
    }
    return f;
}

bool HaveFfmpeg() { return std::system("ffmpeg -hide_banner -version >/dev/null 2>&1") == 0; }

std::string Shell(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[256];
        while (fgets(buf, sizeof buf, p)) out += buf;
        pclose(p);
    }
    return out;
}

// The bars as raw top-down BGR pictures, encoded by the ffmpeg program. False when it cannot.
bool MakeMovie(const fs::path& dir, const std::string& name, const std::string& codecArgs) {
    const fs::path raw = dir / "bars.bgr";
    {
        std::ofstream out(raw, std::ios::binary);
        for (int p = 0; p < kPictures; ++p) {
            for (int y = 0; y < kH; ++y) {
                for (int x = 0; x < kW; ++x) {
                    const Bgr c = BarAt(x, p);
                    out.put(static_cast<char>(c.b)).put(static_cast<char>(c.g)).put(static_cast<char>(c.r));
                }
            }
        }
    }
    const std::string cmd = "ffmpeg -hide_banner -loglevel error -y -f rawvideo -pixel_format bgr24 -video_size 64x32 -framerate 20 -i '" +
                            raw.string() + "' " + codecArgs + " '" + (dir / name).string() + "'";
    return std::system(cmd.c_str()) == 0;
}

int MaxDifference(const Frame& a, const Frame& b, int x0 = 0, int x1 = -1) {
    int worst = 0;
    if (x1 < 0) x1 = a.width();
    for (int y = 0; y < a.height(); ++y) {
        for (int x = x0; x < x1; ++x) {
            // Bar edges blur in lossy codecs: look at the bars' insides only.
            if (x % 16 < 3 || x % 16 > 12) continue;
            const Bgr p = a.Pixel(x, y), q = b.Pixel(x, y);
            worst = std::max({worst, std::abs(p.b - q.b), std::abs(p.g - q.g), std::abs(p.r - q.r)});
        }
    }
    return worst;
}

}  // namespace

TEST(Movie, FitInsideCentresOrStretches) {
    const FitRect wide = FitInside(160, 90, 64, 64, Fit::Center);
    EXPECT_EQ(wide.x, 0);
    EXPECT_EQ(wide.w, 64);
    EXPECT_EQ(wide.h, 36);
    EXPECT_EQ(wide.y, 14);
    const FitRect tall = FitInside(90, 160, 64, 64, Fit::Center);
    EXPECT_EQ(tall.h, 64);
    EXPECT_EQ(tall.w, 36);
    EXPECT_EQ(tall.x, 14);
    const FitRect same = FitInside(64, 32, 64, 32, Fit::Center);
    EXPECT_EQ(same.w, 64);
    EXPECT_EQ(same.h, 32);
    const FitRect stretch = FitInside(160, 90, 64, 64, Fit::Stretch);
    EXPECT_EQ(stretch.w, 64);
    EXPECT_EQ(stretch.h, 64);
    // A picture far thinner than the frame still gets a pixel.
    EXPECT_GE(FitInside(10000, 1, 64, 64, Fit::Center).h, 1);
}

TEST(Movie, QualityMapsToTheCodecsScales) {
    EXPECT_EQ(QuantiserForQuality(100), 2);
    EXPECT_EQ(QuantiserForQuality(1), 31);
    EXPECT_EQ(QuantiserForQuality(0), 31);  // held to 1..100
    EXPECT_EQ(RateFactorForQuality(100), 0);
    EXPECT_EQ(RateFactorForQuality(1), 51);
    EXPECT_EQ(RateFactorForQuality(65), 18);
    EXPECT_LT(QuantiserForQuality(80), QuantiserForQuality(40));
}

TEST(Movie, MoviesFromTheFfmpegProgramImportWithTheirPictures) {
    if (!HaveFfmpeg()) GTEST_SKIP() << "the ffmpeg program is not installed";
    TempDir dir;
    struct Case {
        std::string name, args;
        int tolerance;
    };
    std::vector<Case> cases = {{"bars.avi", "-c:v mjpeg -q:v 2", 24}, {"bars.flv.swf", "-c:v flv1 -q:v 2 -f swf", 40}};
    if (Shell("ffmpeg -hide_banner -encoders 2>/dev/null").find("libx264") != std::string::npos) {
        cases.push_back({"bars.mp4", "-c:v libx264 -crf 10 -pix_fmt yuv444p", 24});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(MakeMovie(dir.path(), c.name, c.args));
        MovieReader reader;
        ASSERT_TRUE(reader.Open(dir.File(c.name))) << reader.error();
        EXPECT_EQ(reader.info().width, kW);
        EXPECT_EQ(reader.info().height, kH);
        EXPECT_NEAR(reader.info().fps, 20.0, 0.01);
        EXPECT_EQ(reader.CountFrames(), kPictures);
        Frame f;
        int n = 0;
        while (reader.Next(f, kW, kH, Fit::Stretch)) {
            EXPECT_LE(MaxDifference(f, BarsFrame(n)), c.tolerance) << "picture " << n;
            ++n;
        }
        EXPECT_TRUE(reader.error().empty()) << reader.error();
        EXPECT_EQ(n, kPictures);
        // Centred into a square frame: black above and below, the bars in the middle rows.
        ASSERT_TRUE(reader.Rewind());
        ASSERT_TRUE(reader.Next(f, 32, 32, Fit::Center));
        EXPECT_EQ(f.Pixel(20, 0), (Bgr{0, 0, 0}));
        EXPECT_EQ(f.Pixel(20, 31), (Bgr{0, 0, 0}));
        const Bgr mid = f.Pixel(4, 16);  // the red bar, half as wide
        EXPECT_GT(mid.r, 200);
        EXPECT_LT(mid.g, 60);
        // Stretched into the square: no black rows.
        ASSERT_TRUE(reader.Next(f, 32, 32, Fit::Stretch));
        EXPECT_GT(f.Pixel(4, 0).r, 200);
    }
}

TEST(Movie, LosslessExportsReadBackByteExact) {
    TempDir dir;
    for (const std::string& encoder : {std::string("rawvideo"), std::string("ffv1"), std::string("huffyuv")}) {
        if (!EncoderByName(encoder)) continue;
        SCOPED_TRACE(encoder);
        const fs::path out = dir.File(encoder + ".avi");
        MovieWriter writer;
        VideoOptions options;
        options.encoder = encoder;
        options.fps = 25;
        ASSERT_TRUE(writer.Open(out, 30, 14, options)) << writer.error();  // an odd width: row padding
        for (int p = 0; p < 10; ++p) ASSERT_TRUE(writer.Write(BarsFrame(p, 30, 14))) << writer.error();
        EXPECT_FALSE(fs::exists(out));  // not in place before it is whole
        ASSERT_TRUE(writer.Close()) << writer.error();
        ASSERT_TRUE(fs::exists(out));
        MovieReader reader;
        ASSERT_TRUE(reader.Open(out)) << reader.error();
        EXPECT_NEAR(reader.info().fps, 25.0, 0.01);
        Frame f;
        for (int p = 0; p < 10; ++p) {
            ASSERT_TRUE(reader.Next(f, 30, 14, Fit::Stretch));
            const Frame want = BarsFrame(p, 30, 14);
            EXPECT_TRUE(std::equal(f.bytes().begin(), f.bytes().end(), want.bytes().begin())) << "picture " << p;
        }
        EXPECT_FALSE(reader.Next(f, 30, 14, Fit::Stretch));
        if (HaveFfmpeg()) {
            const std::string probe =
                Shell("ffprobe -v error -count_frames -show_entries stream=width,height,nb_read_frames,r_frame_rate -of csv=p=0 '" +
                    out.string() + "'");
            EXPECT_EQ(probe, "30,14,25/1,10\n");
        }
    }
}

TEST(Movie, LossyAndGifExportsHaveTheirFramesAndSettings) {
    TempDir dir;
    struct Case {
        std::string file, encoder;
    };
    std::vector<Case> cases = {{"a.avi", "mjpeg"}, {"b.avi", "mpeg4"}, {"c.gif", ""}, {"d.mp4", ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        MovieWriter writer;
        VideoOptions options;
        options.encoder = c.encoder;
        options.quality = 90;
        options.keyEvery = 5;
        ASSERT_TRUE(writer.Open(dir.File(c.file), kW, kH, options)) << writer.error();
        for (int p = 0; p < 12; ++p) ASSERT_TRUE(writer.Write(BarsFrame(p)));
        ASSERT_TRUE(writer.Close()) << writer.error();
        MovieReader reader;
        ASSERT_TRUE(reader.Open(dir.File(c.file))) << reader.error();
        EXPECT_EQ(reader.CountFrames(), 12);
        Frame f;
        ASSERT_TRUE(reader.Next(f, kW, kH, Fit::Stretch));
        // GIF keeps few colours, but these bars are among them.
        EXPECT_LE(MaxDifference(f, BarsFrame(0)), 40);
    }
}

TEST(Movie, LowerQualityMakesSmallerFiles) {
    TempDir dir;
    std::uintmax_t sizes[2] = {};
    for (int i = 0; i < 2; ++i) {
        MovieWriter writer;
        VideoOptions options;
        options.encoder = "mjpeg";
        options.quality = i == 0 ? 95 : 10;
        ASSERT_TRUE(writer.Open(dir.File(std::to_string(i) + ".avi"), kW, kH, options));
        // Noise: every detail costs bits, so the quantiser shows in the size.
        std::mt19937 rng(3);
        for (int p = 0; p < 8; ++p) {
            Frame f(kW, kH);
            for (auto& b : f.bytes()) b = static_cast<std::uint8_t>(rng());
            ASSERT_TRUE(writer.Write(f));
        }
        ASSERT_TRUE(writer.Close());
        sizes[i] = fs::file_size(dir.File(std::to_string(i) + ".avi"));
    }
    EXPECT_LT(sizes[1], sizes[0] * 3 / 4);
}

TEST(Movie, BadRequestsAndFailedWritesLeaveNoFile) {
    TempDir dir;
    MovieWriter writer;
    EXPECT_FALSE(writer.Open(dir.File("x.webm"), 10, 10, {}));
    EXPECT_NE(writer.error().find(".webm"), std::string::npos);
    VideoOptions x264;
    x264.encoder = EncoderByName("libx264") ? "libx264" : "mpeg4";
    EXPECT_FALSE(writer.Open(dir.File("odd.mp4"), 31, 10, x264));
    EXPECT_NE(writer.error().find("even"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir.File("odd.mp4")));
    EXPECT_FALSE(writer.Open(dir.File("nowhere/x.avi"), 10, 10, {}));
    EXPECT_NE(writer.error().find("Save file fail!"), std::string::npos);
    // A frame of another size is refused; an abandoned export leaves nothing behind.
    ASSERT_TRUE(writer.Open(dir.File("y.avi"), 10, 10, {}));
    EXPECT_FALSE(writer.Write(Frame(11, 10)));
    writer.Abandon();
    EXPECT_TRUE(fs::is_empty(dir.path()));
    VideoOptions unknown;
    unknown.encoder = "no-such-encoder";
    EXPECT_FALSE(writer.Open(dir.File("z.avi"), 10, 10, unknown));
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(Movie, ALinkIsFollowedAndKeptAsEveryWriterDoes) {
    TempDir dir;
    fs::create_directories(dir.File("real"));
    fs::create_directories(dir.File("links"));
    { std::ofstream(dir.File("real/show.avi")) << "old"; }
    fs::permissions(dir.File("real/show.avi"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("../real/show.avi", dir.File("links/show.avi"));
    MovieWriter writer;
    ASSERT_TRUE(writer.Open(dir.File("links/show.avi"), 16, 8, {})) << writer.error();
    // The movie is made beside the file it replaces, not beside the link.
    int inLinks = 0;
    for ([[maybe_unused]] auto& e : fs::directory_iterator(dir.File("links"))) ++inLinks;
    EXPECT_EQ(inLinks, 1);
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(writer.Write(BarsFrame(i, 16, 8))) << writer.error();
    ASSERT_TRUE(writer.Close()) << writer.error();
    EXPECT_TRUE(fs::is_symlink(dir.File("links/show.avi")));
    EXPECT_GT(fs::file_size(dir.File("real/show.avi")), 3u);
    EXPECT_EQ(fs::status(dir.File("real/show.avi")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    int inReal = 0;
    for ([[maybe_unused]] auto& e : fs::directory_iterator(dir.File("real"))) ++inReal;
    EXPECT_EQ(inReal, 1);  // no temporary left
    MovieReader reader;
    ASSERT_TRUE(reader.Open(dir.File("links/show.avi"))) << reader.error();
    // A dangling link names the file to make; a folder or a pipe in the target's place is refused.
    fs::create_symlink("../real/new.avi", dir.File("links/new.avi"));
    ASSERT_TRUE(writer.Open(dir.File("links/new.avi"), 16, 8, {})) << writer.error();
    ASSERT_TRUE(writer.Write(BarsFrame(0, 16, 8)));
    ASSERT_TRUE(writer.Close()) << writer.error();
    EXPECT_TRUE(fs::is_regular_file(dir.File("real/new.avi")));
    EXPECT_TRUE(fs::is_symlink(dir.File("links/new.avi")));
    fs::create_directories(dir.File("folder.avi"));
    EXPECT_FALSE(writer.Open(dir.File("folder.avi"), 16, 8, {}));
    EXPECT_NE(writer.error().find("folder.avi: is a folder"), std::string::npos) << writer.error();
    ASSERT_EQ(::mkfifo(dir.File("pipe.avi").c_str(), 0600), 0);
    EXPECT_FALSE(writer.Open(dir.File("pipe.avi"), 16, 8, {}));
    EXPECT_NE(writer.error().find("pipe.avi: is not a regular file"), std::string::npos) << writer.error();
    EXPECT_TRUE(fs::is_fifo(dir.File("pipe.avi")));
}

TEST(Movie, DamagedTruncatedAndVectorFilesAreRefusedWithoutACrash) {
    TempDir dir;
    // A good movie, then every 7th truncation of it and a few random mutations.
    MovieWriter writer;
    VideoOptions options;
    options.encoder = "mjpeg";
    ASSERT_TRUE(writer.Open(dir.File("good.avi"), kW, kH, options));
    for (int p = 0; p < 6; ++p) ASSERT_TRUE(writer.Write(BarsFrame(p)));
    ASSERT_TRUE(writer.Close());
    std::ifstream in(dir.File("good.avi"), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto tryRead = [&](const std::string& content) {
        std::ofstream(dir.File("bad.avi"), std::ios::binary | std::ios::trunc) << content;
        MovieReader reader;
        if (!reader.Open(dir.File("bad.avi"))) {
            EXPECT_FALSE(reader.error().empty());
            return;
        }
        Frame f;
        int n = 0;
        while (reader.Next(f, 16, 8, Fit::Center) && n < 100) ++n;
        EXPECT_LE(n, 6);
    };
    for (std::size_t cut = 0; cut < bytes.size(); cut += 7) tryRead(bytes.substr(0, cut));
    std::mt19937 rng(7);
    for (int round = 0; round < 40; ++round) {
        std::string mutated = bytes;
        for (int k = 0; k < 20; ++k) mutated[rng() % mutated.size()] = static_cast<char>(rng());
        tryRead(mutated);
    }
    // Not a movie at all.
    std::ofstream(dir.File("text.mp4")) << "just some words";
    MovieReader reader;
    EXPECT_FALSE(reader.Open(dir.File("text.mp4")));
    EXPECT_NE(reader.error().find("Open file fail!"), std::string::npos);
    EXPECT_FALSE(reader.Open(dir.File("missing.avi")));
    // A Flash file drawn with vectors: a header, a frame rectangle, a show-frame tag, the end.
    const unsigned char swf[] = {'F', 'W', 'S', 6, 21, 0, 0, 0, 0x50, 0x00, 0x05, 0xdc, 0x00, 0x00, 0x0c, 0x01, 0x00, 0x40, 0x00, 0x00, 0x00};
    std::ofstream(dir.File("vector.swf"), std::ios::binary).write(reinterpret_cast<const char*>(swf), sizeof swf);
    EXPECT_TRUE(IsFlashFile(dir.File("vector.swf")));
    EXPECT_FALSE(reader.Open(dir.File("vector.swf")));
    EXPECT_NE(reader.error().find("vector"), std::string::npos) << reader.error();
    const auto refused = OpenImportSource(dir.File("vector.swf"), 16, 8, Fit::Center, dir.path());
    EXPECT_FALSE(refused);
    EXPECT_NE(refused.message().find("vector"), std::string::npos);
}

TEST(ImportSource, MovieFramesComeInOrderAndAgainAfterARewind) {
    TempDir dir;
    MovieWriter writer;
    VideoOptions options;
    options.encoder = "rawvideo";
    ASSERT_TRUE(writer.Open(dir.File("m.avi"), kW, kH, options));
    for (int p = 0; p < 9; ++p) ASSERT_TRUE(writer.Write(BarsFrame(p)));
    ASSERT_TRUE(writer.Close());
    EXPECT_EQ(ImportKindOf("A.CVN"), ImportKind::Document);
    EXPECT_EQ(ImportKindOf("x.Swf"), ImportKind::Flash);
    EXPECT_EQ(ImportKindOf("x.mkv"), ImportKind::Movie);
    auto opened = OpenImportSource(dir.File("m.avi"), kW, kH, Fit::Stretch, dir.path());
    ASSERT_TRUE(opened) << opened.message();
    auto& source = *opened;
    EXPECT_EQ(source->Count(), 9u);
    for (std::size_t i : {0u, 1u, 5u, 2u, 8u}) {
        const Frame* f = source->Get(i);
        ASSERT_NE(f, nullptr);
        const Frame want = BarsFrame(static_cast<int>(i));
        EXPECT_TRUE(std::equal(f->bytes().begin(), f->bytes().end(), want.bytes().begin())) << i;
    }
    EXPECT_EQ(source->Get(9), nullptr);
    // Sampled 12 times a second of a 20-a-second movie: every 5/3 pictures.
    MovieFrameSource sampled;
    ASSERT_TRUE(sampled.Open(dir.File("m.avi"), kW, kH, Fit::Stretch));
    sampled.SampleAt(12);
    EXPECT_EQ(sampled.Count(), 6u);  // ceil(9 / (5/3))
    for (std::size_t k = 0; k < 6; ++k) {
        const Frame* f = sampled.Get(k);
        ASSERT_NE(f, nullptr);
        const Frame want = BarsFrame(static_cast<int>(k * 5 / 3));
        EXPECT_TRUE(std::equal(f->bytes().begin(), f->bytes().end(), want.bytes().begin())) << k;
        EXPECT_EQ(sampled.Get(k), f);  // asked again: the same picture, no rewind
    }
    const auto preview = PreviewImport(dir.File("m.avi"), 32, 32, Fit::Center, dir.path());
    ASSERT_TRUE(preview) << preview.message();
    EXPECT_EQ(preview->frames, 9u);
    EXPECT_EQ(preview->sourceWidth, kW);
    EXPECT_EQ(preview->first.height(), 32);
}

TEST(ImportSource, DocumentsDeliverTheirFramesExactlyAndRefuseAnotherSize) {
    TempDir dir;
    std::vector<Frame> frames;
    for (int p = 0; p < 5; ++p) frames.push_back(BarsFrame(p, 30, 14));
    ASSERT_EQ(DocErrorOf(WriteSingleClipDocument(dir.File("d.cvn"), frames)), DocError::None);
    auto opened = OpenImportSource(dir.File("d.cvn"), 30, 14, Fit::Center, dir.path());
    ASSERT_TRUE(opened) << opened.message();
    auto& source = *opened;
    ASSERT_EQ(source->Count(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        const Frame* f = source->Get(i);
        ASSERT_NE(f, nullptr);
        EXPECT_TRUE(std::equal(f->bytes().begin(), f->bytes().end(), frames[i].bytes().begin()));
    }
    const auto otherSize = OpenImportSource(dir.File("d.cvn"), 31, 14, Fit::Center, dir.path());
    EXPECT_FALSE(otherSize);
    EXPECT_EQ(otherSize.message(), "The file or the file version is not supported!");
    const auto missing = OpenImportSource(dir.File("none.cvn"), 30, 14, Fit::Center, dir.path());
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.message(), "Open file fail!");
    std::vector<Frame> mixed = {Frame(4, 4), Frame(5, 4)};
    EXPECT_EQ(DocErrorOf(WriteSingleClipDocument(dir.File("m.cvn"), mixed)), DocError::WriteFailed);
    EXPECT_EQ(DocErrorOf(WriteSingleClipDocument(dir.File("m.cvn"), {})), DocError::WriteFailed);
    EXPECT_FALSE(fs::exists(dir.File("m.cvn")));
}

TEST(PlaceAfter, InsertsOrCoversWithOneUndoStep) {
    auto make = [](int n, std::uint8_t v) {
        std::vector<Frame> f;
        for (int i = 0; i < n; ++i) f.push_back(Frame::Filled(2, 2, v, v, v));
        return f;
    };
    std::vector<Frame> clip = make(3, 1);
    FrameUndo undo;
    EXPECT_EQ(PlaceAfter(clip, 0, make(2, 9), false, undo), 2u);
    ASSERT_EQ(clip.size(), 5u);
    EXPECT_EQ(clip[1].Pixel(0, 0).r, 9);
    EXPECT_EQ(clip[3].Pixel(0, 0).r, 1);
    ASSERT_TRUE(undo.Undo(clip));
    EXPECT_EQ(clip.size(), 3u);
    // Cover mode: the two frames after the current one are overwritten, the rest appended.
    EXPECT_EQ(PlaceAfter(clip, 0, make(4, 7), true, undo), 4u);
    ASSERT_EQ(clip.size(), 5u);
    EXPECT_EQ(clip[0].Pixel(0, 0).r, 1);
    EXPECT_EQ(clip[2].Pixel(0, 0).r, 7);
    EXPECT_EQ(clip[4].Pixel(0, 0).r, 7);
    ASSERT_TRUE(undo.Undo(clip));
    ASSERT_EQ(clip.size(), 3u);
    EXPECT_EQ(clip[2].Pixel(0, 0).r, 1);
}
