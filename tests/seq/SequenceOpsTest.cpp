#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "TestHome.h"
#include "base/FileUtil.h"
#include "base/Prompt.h"
#include "lang/Language.h"
#include "net/ChannelLayout.h"
#include "ops/Sequence.h"
#include "project/Document.h"
#include "seq/SequenceReader.h"
#include "workspace/Workspace.h"

using namespace corv;
using corv::test::TestFolder;

namespace {

using Bytes = std::vector<std::uint8_t>;

// A 4 x 6 layout: line 1 two LEDs, line 2 three, line 3 one (RGB lamps, levels as they are),
// and a clip of `frames` frames whose pixel (x, y) of frame k is red 40k + x, green 10y + k,
// blue x + y + 7k.
void MakeShow(Workspace& ws, int frames = 3) {
    ws.app.language = kLanguageEnglish;
    ws.layout.New(4, 6, false, 3);
    ws.layout.lines[0] = {MakePoint(0, 0), MakePoint(0, 1)};
    ws.layout.lines[1] = {MakePoint(1, 5), MakePoint(2, 5), MakePoint(3, 5)};
    ws.layout.lines[2] = {MakePoint(3, 0)};
    ws.layout.RecomputeLineCount();
    Clip clip;
    clip.width = 6;
    clip.height = 4;
    for (int k = 0; k < frames; ++k) {
        Frame f(6, 4);
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 6; ++x) {
                f.SetPixel(x, y, Bgr{static_cast<std::uint8_t>(x + y + 7 * k), static_cast<std::uint8_t>(10 * y + k),
                                     static_cast<std::uint8_t>(40 * k + x)});
            }
        }
        clip.frames.push_back(std::move(f));
    }
    std::vector<Clip> clips;
    clips.push_back(std::move(clip));
    ws.frames.ReplaceAll(std::move(clips));
}

// The channels of frame k of the given lines, worked out from the pattern: R, G, B an LED.
Bytes Expected(const Workspace& ws, std::initializer_list<int> lines, int k) {
    Bytes out;
    for (const int line : lines) {
        for (const LinePoint p : ws.layout.lines[static_cast<std::size_t>(line - 1)]) {
            const int x = PointCol(p), y = PointRow(p);
            out.push_back(static_cast<std::uint8_t>(40 * k + x));
            out.push_back(static_cast<std::uint8_t>(10 * y + k));
            out.push_back(static_cast<std::uint8_t>(x + y + 7 * k));
        }
    }
    return out;
}

std::vector<Bytes> Frames(const std::filesystem::path& path) {
    seq::SequenceReader r;
    EXPECT_TRUE(r.Open(path));
    std::vector<Bytes> frames;
    for (std::uint32_t k = 0; k < r.info().frames; ++k) {
        auto f = r.NextFrame();
        if (!f) break;
        frames.emplace_back(f->begin(), f->end());
    }
    return frames;
}

const char* kShow =
    "[Controller1]\nProtocol = ddp\nAddress = 127.0.0.1\nLines = 1,3\n\n"
    "[Controller2]\nProtocol = e131\nAddress = 127.0.0.1\nLines = 2\n";

}  // namespace

TEST(SequenceOps, StepOfAFrameRate) {
    EXPECT_EQ(ops::SequenceStepMs(40), 25);
    EXPECT_EQ(ops::SequenceStepMs(3), 333);
    EXPECT_EQ(ops::SequenceStepMs(4), 250);
    EXPECT_EQ(ops::SequenceStepMs(1000), 1);
    EXPECT_EQ(ops::SequenceStepMs(30), 33);
}

TEST(SequenceOps, TheWholeLayoutInLineOrder) {
    TestFolder dir;
    Workspace ws;
    MakeShow(ws);
    ws.design.musicPath = "/somewhere/EffectMusic.mp3";
    RecordingPrompt prompt;
    ops::SequenceExportRequest request;
    request.path = dir / "all.fseq";
    request.fps = 40;
    request.first = 1;
    request.uniqueId = 42;
    const auto exported = ops::ExportSequence(ws, request, prompt, {});
    ASSERT_TRUE(exported) << exported.message();
    ASSERT_EQ(exported->files.size(), 1u);
    EXPECT_EQ(exported->files[0].channels, 18u);
    EXPECT_EQ(exported->frames, 2u);
    EXPECT_EQ(exported->stepMs, 25);
    const auto frames = Frames(request.path);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0], Expected(ws, {1, 2, 3}, 1));
    EXPECT_EQ(frames[1], Expected(ws, {1, 2, 3}, 2));
    seq::SequenceReader r;
    ASSERT_TRUE(r.Open(request.path));
    EXPECT_EQ(r.info().uniqueId, 42u);
    ASSERT_EQ(r.info().variables.size(), 2u);
    EXPECT_EQ(r.info().variables[0].code, "mf");
    EXPECT_EQ(r.info().variables[0].text(), "EffectMusic.mp3");
    EXPECT_EQ(r.info().variables[1].code, "sp");
    EXPECT_EQ(r.info().variables[1].text().rfind("Corvantine ", 0), 0u);
}

TEST(SequenceOps, AFileAControllerWithItsPlaceInTheWholeLayout) {
    TestFolder dir;
    Workspace ws;
    MakeShow(ws);
    const auto net = dir.Write("show.net", kShow);
    RecordingPrompt prompt;
    ops::SequenceExportRequest request;
    request.path = dir / "show.fseq";
    request.netFile = net;
    request.sparse = true;
    request.compression = seq::Compression::Zlib;
    const auto exported = ops::ExportSequence(ws, request, prompt, {});
    ASSERT_TRUE(exported) << exported.message();
    ASSERT_EQ(exported->files.size(), 2u);
    EXPECT_EQ(exported->files[0].path, dir / "show-Controller1.fseq");
    EXPECT_EQ(exported->files[0].section, "Controller1");
    // Line 1 (6 channels) at 0, line 3 (3) after line 2's 9: two ranges.
    EXPECT_EQ(exported->files[0].ranges, (std::vector<seq::SparseRange>{{0, 6}, {15, 3}}));
    EXPECT_EQ(exported->files[1].path, dir / "show-Controller2.fseq");
    EXPECT_EQ(exported->files[1].ranges, (std::vector<seq::SparseRange>{{6, 9}}));
    EXPECT_FALSE(std::filesystem::exists(request.path));
    EXPECT_EQ(Frames(dir / "show-Controller1.fseq")[2], Expected(ws, {1, 3}, 2));
    EXPECT_EQ(Frames(dir / "show-Controller2.fseq")[0], Expected(ws, {2}, 0));
    seq::SequenceReader r;
    ASSERT_TRUE(r.Open(dir / "show-Controller1.fseq"));
    EXPECT_EQ(r.info().ranges, exported->files[0].ranges);

    // One controller, dense, to the path itself.
    request.controller = 2;
    request.sparse = false;
    const auto one = ops::ExportSequence(ws, request, prompt, {});
    ASSERT_TRUE(one) << one.message();
    ASSERT_EQ(one->files.size(), 1u);
    EXPECT_EQ(one->files[0].path, request.path);
    EXPECT_TRUE(one->files[0].ranges.empty());
    EXPECT_EQ(Frames(request.path)[1], Expected(ws, {2}, 1));
    // A section the description does not have.
    request.controller = 5;
    const auto none = ops::ExportSequence(ws, request, prompt, {});
    ASSERT_FALSE(none);
    EXPECT_EQ(none.failure().code, ops::kSeqExportBadNetFile);
    EXPECT_NE(none.message().find("has no [Controller5] (it has [Controller1], [Controller2])"), std::string::npos);
}

TEST(SequenceOps, RefusedRequests) {
    TestFolder dir;
    Workspace ws;
    MakeShow(ws);
    RecordingPrompt prompt;
    const auto code = [&](ops::SequenceExportRequest r) {
        r.path = dir / "x.fseq";
        const auto exported = ops::ExportSequence(ws, r, prompt, {});
        return exported ? 0 : exported.failure().code;
    };
    ops::SequenceExportRequest r;
    r.fps = 3;
    EXPECT_EQ(code(r), ops::kSeqExportOutOfRange);
    r.version = 1;
    r.compression = seq::Compression::None;
    EXPECT_EQ(code(r), 0);  // version 1 takes 3 frames a second
    r.compression = seq::Compression::Zstd;
    EXPECT_EQ(code(r), ops::kSeqExportBadOptions);
    r = {};
    r.sparse = true;
    EXPECT_EQ(code(r), ops::kSeqExportBadOptions);
    r = {};
    r.controller = 1;
    EXPECT_EQ(code(r), ops::kSeqExportBadOptions);
    r = {};
    r.first = 2;
    r.end = 9;
    EXPECT_EQ(code(r), ops::kSeqExportOutOfRange);
    r = {};
    r.clip = 3;
    EXPECT_EQ(code(r), ops::kSeqExportNoClip);
    r = {};
    r.netFile = dir.Write("lines.net", "[Controller1]\nProtocol = ddp\nAddress = 127.0.0.1\nLines = 9\n");
    EXPECT_EQ(code(r), ops::kSeqExportNoChannels);
    r.netFile = dir / "missing.net";
    EXPECT_EQ(code(r), ops::kSeqExportNetFileUnreadable);
    r.netFile = dir.Write("bad.net", "[Controller1]\nProtocol = dmx\n");
    EXPECT_EQ(code(r), ops::kSeqExportBadNetFile);
}

TEST(SequenceOps, ImportGivesBackEveryLedsPixel) {
    TestFolder dir;
    Workspace ws;
    MakeShow(ws);
    RecordingPrompt prompt;
    ops::SequenceExportRequest out;
    out.path = dir / "all.fseq";
    ASSERT_TRUE(ops::ExportSequence(ws, out, prompt, {}));

    // Into a new document of the layout's grid.
    Workspace back;
    MakeShow(back, 0);
    back.lineFilePath = "/show/w.lnf";
    ops::SequenceImportRequest in;
    in.path = out.path;
    in.newDocument = true;
    const auto imported = ops::ImportSequence(back, in, prompt, {});
    ASSERT_TRUE(imported) << imported.message();
    EXPECT_EQ(imported->frames, 3u);
    EXPECT_EQ(imported->width, 6);
    EXPECT_EQ(imported->height, 4);
    EXPECT_TRUE(imported->warnings.empty());
    ASSERT_EQ(back.frames.Count(), 1);
    const Clip& clip = back.frames.clip(0);
    EXPECT_EQ(clip.lineFilePath, "/show/w.lnf");
    ASSERT_EQ(clip.frames.size(), 3u);
    for (int k = 0; k < 3; ++k) {
        for (int line = 0; line < 3; ++line) {
            for (const LinePoint p : ws.layout.lines[static_cast<std::size_t>(line)]) {
                const int x = PointCol(p), y = PointRow(p);
                EXPECT_EQ(clip.frames[static_cast<std::size_t>(k)].Pixel(x, y), ws.frames.clip(0).frames[k].Pixel(x, y));
            }
        }
        // A pixel no LED shows stays black.
        EXPECT_EQ(clip.frames[static_cast<std::size_t>(k)].Pixel(3, 1), Bgr{});
    }

    // Appended to the current clip.
    const auto appended = ops::ImportSequence(ws, ops::SequenceImportRequest{out.path}, prompt, {});
    ASSERT_TRUE(appended) << appended.message();
    EXPECT_EQ(ws.frames.clip(0).frames.size(), 6u);
    EXPECT_EQ(ws.frames.clip(0).frames[4].Pixel(5, 2), ws.frames.clip(0).frames[1].Pixel(5, 2));
}

TEST(SequenceOps, ImportThroughLevelsThatAreNotTheBytes) {
    // Gamma 2.2 and a red balance of 50 %: several bytes give one level. The bytes that come
    // back give the same channels again.
    TestFolder dir;
    Workspace ws;
    MakeShow(ws);
    ws.layout.setting.gamma.fill(22);
    ws.layout.setting.red.fill(50);
    RecordingPrompt prompt;
    ops::SequenceExportRequest out;
    out.path = dir / "g.fseq";
    ASSERT_TRUE(ops::ExportSequence(ws, out, prompt, {}));
    Workspace back;
    MakeShow(back, 0);
    back.layout.setting = ws.layout.setting;
    ops::SequenceImportRequest in;
    in.path = out.path;
    in.newDocument = true;
    ASSERT_TRUE(ops::ImportSequence(back, in, prompt, {}));
    ops::SequenceExportRequest again;
    again.path = dir / "g2.fseq";
    ASSERT_TRUE(ops::ExportSequence(back, again, prompt, {}));
    EXPECT_EQ(Frames(again.path), Frames(out.path));
    // The smallest byte of a level comes back: black stays black.
    EXPECT_EQ(back.frames.clip(0).frames[0].Pixel(0, 0).g, 0);
}

TEST(SequenceOps, ImportOfOtherChannelsWarnsAndARefusedFileChangesNothing) {
    TestFolder dir;
    Workspace ws;
    MakeShow(ws);
    const auto net = dir.Write("show.net", kShow);
    RecordingPrompt prompt;
    ops::SequenceExportRequest out;
    out.path = dir / "two.fseq";
    out.netFile = net;
    out.controller = 2;
    ASSERT_TRUE(ops::ExportSequence(ws, out, prompt, {}));
    // Line 2's 9 channels as the first 9 of the layout's 18: a warning naming both.
    const auto imported = ops::ImportSequence(ws, ops::SequenceImportRequest{out.path}, prompt, {});
    ASSERT_TRUE(imported) << imported.message();
    ASSERT_EQ(imported->warnings.size(), 1u);
    EXPECT_NE(imported->warnings[0].find("has 9 channels a frame, the layout 18"), std::string::npos);
    ASSERT_FALSE(prompt.messages().empty());
    EXPECT_EQ(prompt.messages().back(), imported->warnings[0]);

    // Cut short: refused, the clip as it was.
    auto bytes = *ReadFileBytes(out.path);
    bytes.resize(bytes.size() - 1);
    ASSERT_TRUE(WriteFileAtomic(dir / "cut.fseq", bytes));
    const std::size_t before = ws.frames.clip(0).frames.size();
    const auto cut = ops::ImportSequence(ws, ops::SequenceImportRequest{dir / "cut.fseq"}, prompt, {});
    ASSERT_FALSE(cut);
    EXPECT_EQ(cut.failure().code, ops::kSeqImportBadFile);
    EXPECT_NE(cut.message().find("cut.fseq is cut short"), std::string::npos);
    EXPECT_EQ(ws.frames.clip(0).frames.size(), before);
    const auto missing = ops::ImportSequence(ws, ops::SequenceImportRequest{dir / "none.fseq"}, prompt, {});
    EXPECT_EQ(missing.failure().code, ops::kSeqImportCannotRead);
    // Another size for an existing clip.
    ops::SequenceImportRequest sized{out.path};
    sized.width = 7;
    EXPECT_EQ(ops::ImportSequence(ws, sized, prompt, {}).failure().code, ops::kSeqImportBadSize);
}

TEST(SequenceOps, ImportStraightToANewDocumentIsTheSameFile) {
    // A long show (frames past the ring of frames the stream holds, in many blocks) through
    // every compression: the document written straight to disk is byte for byte the one the
    // workspace would save; a damaged file leaves no document and the workspace as it was.
    TestFolder dir;
    Workspace ws;
    MakeShow(ws, 700);
    RecordingPrompt prompt;
    for (const seq::Compression c : {seq::Compression::Zstd, seq::Compression::Zlib, seq::Compression::None}) {
        SCOPED_TRACE(seq::CompressionName(c));
        ops::SequenceExportRequest out;
        out.path = dir / "long.fseq";
        out.compression = c;
        ASSERT_TRUE(ops::ExportSequence(ws, out, prompt, {}));

        Workspace held;
        MakeShow(held, 0);
        held.lineFilePath = "/show/w.lnf";
        ops::SequenceImportRequest in;
        in.path = out.path;
        in.newDocument = true;
        const auto kept = ops::ImportSequence(held, in, prompt, {});
        ASSERT_TRUE(kept) << kept.message();
        EXPECT_FALSE(kept->written);
        DocumentSource source;
        source.frames = &held.frames;
        ASSERT_TRUE(WriteDocument(dir / "held.cvn", source));

        Workspace streamed;
        MakeShow(streamed, 0);
        streamed.lineFilePath = "/show/w.lnf";
        in.streamTo = dir / "streamed.cvn";
        std::vector<int> progress;
        const auto written = ops::ImportSequence(streamed, in, prompt, [&](int p) { progress.push_back(p); });
        ASSERT_TRUE(written) << written.message();
        EXPECT_TRUE(written->written);
        EXPECT_EQ(written->frames, 700u);
        EXPECT_TRUE(streamed.frames.clip(0).frames.empty());  // the workspace as it was
        EXPECT_EQ(*ReadFileBytes(dir / "streamed.cvn"), *ReadFileBytes(dir / "held.cvn"));
        ASSERT_FALSE(progress.empty());
        EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end() - 1));
        EXPECT_EQ(progress.back(), 0);

        // Damaged in the middle (a compressed block, or cut short): refused, nothing written.
        auto bytes = *ReadFileBytes(out.path);
        if (c == seq::Compression::None) {
            bytes.resize(bytes.size() - 5);
        } else {
            for (std::size_t i = bytes.size() / 2; i < bytes.size() / 2 + 64; ++i) bytes[i] ^= 0x5A;
        }
        ASSERT_TRUE(WriteFileAtomic(dir / "bad.fseq", bytes));
        in.path = dir / "bad.fseq";
        in.streamTo = dir / "bad.cvn";
        const auto bad = ops::ImportSequence(streamed, in, prompt, {});
        ASSERT_FALSE(bad);
        EXPECT_EQ(bad.failure().code, ops::kSeqImportBadFile);
        EXPECT_FALSE(std::filesystem::exists(dir / "bad.cvn"));
        // A folder that is not there: the document's own failure.
        in.path = out.path;
        in.streamTo = dir / "no" / "such.cvn";
        EXPECT_EQ(ops::ImportSequence(streamed, in, prompt, {}).failure().code, ops::kSeqImportCannotWrite);
    }
}
