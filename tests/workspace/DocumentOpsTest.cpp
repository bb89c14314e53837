#include <gtest/gtest.h>

#include <filesystem>

#include "../project/SampleDesign.h"
#include "TestHome.h"
#include "base/FileUtil.h"
#include "lang/Language.h"
#include "formats/Archive.h"
#include "workspace/DocumentOps.h"
#include "workspace/Startup.h"

using namespace corv;
using corv::test::TestFolder;
namespace fs = std::filesystem;

namespace {

struct Session {
    TestFolder home;
    RecordingPrompt prompt;
    Workspace ws;
    Session() { InitInstance(ws, prompt, StartupOptions(home.path(), "en_US.UTF-8")); }
};

}  // namespace

TEST(DocumentOps, SaveAndOpenCarryClipsDesignAndMusic) {
    TestFolder dir;
    Session a;
    a.ws.frames.AppendFrame(true);
    a.ws.frames.AddClip(7, 3);
    a.ws.frameView.gridScaleX = 2;
    a.ws.design.canvasWidth = 640;
    a.ws.design.canvasHeight = 480;
    a.ws.effects.Append(test::LayerWithEveryKind());
    dir.Write("song.mp3", "MP3DATA");
    a.ws.design.musicPath = dir / "song.mp3";
    ASSERT_TRUE(OnSaveDocument(a.ws, a.prompt, dir / "show.cvn"));
    EXPECT_EQ(a.ws.documentPath, dir / "show.cvn");
    EXPECT_FALSE(fs::exists(dir / "show.rar"));

    Session b;
    ASSERT_TRUE(OnOpenDocument(b.ws, b.prompt, dir / "show.cvn"));
    EXPECT_EQ(b.ws.frames.Count(), 2);
    EXPECT_EQ(b.ws.frames.current(), 0);
    EXPECT_EQ(b.ws.app.frameWidth, 32);
    EXPECT_EQ(b.ws.frames.clip(0).frames.size(), 2u);
    EXPECT_EQ(b.ws.frameView.gridScaleX, 2);
    EXPECT_EQ(b.ws.design.canvasWidth, 640);
    ASSERT_EQ(b.ws.effects.Count(), 1u);
    EXPECT_EQ(b.ws.design.musicPath, b.ws.app.tempDir / "EffectMusic.mp3");
    EXPECT_EQ(*ReadFileBytes(b.ws.design.musicPath), std::vector<std::uint8_t>({'M', 'P', '3', 'D', 'A', 'T', 'A'}));
    EXPECT_TRUE(b.prompt.messages().empty());
}

TEST(DocumentOps, FileEndingAfterItsFramesKeepsThePreviousDesign) {
    TestFolder dir;
    Session s;
    ASSERT_TRUE(OnSaveDocument(s.ws, s.prompt, dir / "plain.cvn"));
    auto bytes = *ReadFileBytes(dir / "plain.cvn");
    bytes.resize(bytes.size() - 10);  // drop canvas, layer count and music length
    ASSERT_TRUE(WriteFileAtomic(dir / "plain.cvn", bytes));

    s.ws.effects.Append(test::LayerWithEveryKind());
    s.ws.design.canvasWidth = 123;
    s.ws.design.musicPath = "/keep/this.mp3";
    ASSERT_TRUE(OnOpenDocument(s.ws, s.prompt, dir / "plain.cvn"));
    EXPECT_EQ(s.ws.effects.Count(), 1u);
    EXPECT_EQ(s.ws.design.canvasWidth, 123);
    EXPECT_EQ(s.ws.design.musicPath, "/keep/this.mp3");
}

TEST(DocumentOps, DocumentWithoutMusicDoesNotInheritThePreviousMusic) {
    TestFolder dir;
    Session s;
    ASSERT_TRUE(OnSaveDocument(s.ws, s.prompt, dir / "silent.cvn"));
    s.ws.design.musicPath = "/previous/song.mp3";
    ASSERT_TRUE(OnOpenDocument(s.ws, s.prompt, dir / "silent.cvn"));
    EXPECT_TRUE(s.ws.design.musicPath.empty());
}

TEST(DocumentOps, RefusedFilesLeaveTheProjectAsItWas) {
    TestFolder dir;
    Session s;
    s.ws.frames.AddClip(9, 9);
    dir.Write("bad.cvn", std::string("ledv\x05\0\0\0\0\0", 10) + std::string(40, '\0'));
    EXPECT_FALSE(OnOpenDocument(s.ws, s.prompt, dir / "bad.cvn"));
    EXPECT_FALSE(OnOpenDocument(s.ws, s.prompt, dir / "missing.cvn"));
    ASSERT_EQ(s.prompt.messages().size(), 2u);
    EXPECT_EQ(s.prompt.messages()[0], "The file or the file version is not supported!");
    EXPECT_EQ(s.prompt.messages()[1], "Open file fail!\r\n" + (dir / "missing.cvn").string() + ": No such file or directory");
    EXPECT_EQ(s.ws.frames.Count(), 2);

    // The message follows the language.
    Session zh;
    zh.ws.strings = LoadUiStrings(kLanguageSimplified);
    EXPECT_FALSE(OnOpenDocument(zh.ws, zh.prompt, dir / "bad.cvn"));
    EXPECT_EQ(zh.prompt.messages().back(), "不支持的文件或文件版本!");
}

TEST(DocumentOps, CompressLeavesTheDocumentAndItsArchiveSideBySide) {
    TestFolder dir;
    Session s;
    s.ws.app.compress = 1;
    s.ws.frames.AppendFrame(true);
    ASSERT_TRUE(OnSaveDocument(s.ws, s.prompt, dir / "show.cvn"));
    ASSERT_TRUE(fs::exists(dir / "show.cvn"));
    ASSERT_TRUE(fs::exists(dir / "show.rar"));
    auto list = ListArchive(dir / "show.rar");
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 1u);
    EXPECT_EQ((*list)[0].name, "Corvantinev.cvn");
    EXPECT_EQ((*list)[0].size, fs::file_size(dir / "show.cvn"));

    Session b;
    ASSERT_TRUE(OnOpenDocument(b.ws, b.prompt, dir / "show.rar"));
    EXPECT_EQ(b.ws.frames.clip(0).frames.size(), 2u);
    EXPECT_EQ(CompressedPathFor("/a/b.CVN"), fs::path("/a/b.rar"));
    EXPECT_EQ(CompressedPathFor("/a/show"), fs::path("/a/show.rar"));
}

TEST(DocumentOps, CompressedDocumentWithoutTheEntryFailsToOpen) {
    TestFolder dir;
    dir.Write("x.bin", "anything");
    ASSERT_TRUE(WriteStoredRar(dir / "other.rar", dir / "x.bin", "NotTheDocument.cvn"));
    Session s;
    EXPECT_FALSE(OnOpenDocument(s.ws, s.prompt, dir / "other.rar"));
    EXPECT_EQ(s.prompt.messages().back().rfind("Open file fail!", 0), 0u) << s.prompt.messages().back();
    EXPECT_EQ(s.ws.frames.Count(), 1);
    // The message names the user's archive, not the private working copy.
    EXPECT_EQ(s.prompt.messages().back(),
              "Open file fail!\r\n" + (dir / "other.rar").string() + ": the archive holds no Corvantinev.cvn");

    // A damaged archive: its reason, under its own name.
    s.ws.frames.AppendFrame(true);
    ASSERT_TRUE(OnSaveDocument(s.ws, s.prompt, dir / "doc.cvn"));
    ASSERT_TRUE(WriteStoredRar(dir / "doc.rar", dir / "doc.cvn", "Corvantinev.cvn"));
    auto bytes = *ReadFileBytes(dir / "doc.rar");
    bytes[bytes.size() / 2] ^= 0x5A;
    ASSERT_TRUE(WriteFileAtomic(dir / "doc.rar", bytes));
    EXPECT_FALSE(OnOpenDocument(s.ws, s.prompt, dir / "doc.rar"));
    EXPECT_EQ(s.prompt.messages().back().rfind("Open file fail!\r\n" + (dir / "doc.rar").string() + ": ", 0), 0u)
        << s.prompt.messages().back();
    EXPECT_EQ(s.prompt.messages().back().find("/Corvantinev.cvn"), std::string::npos) << s.prompt.messages().back();
}

// Bytes a document holds after its music survive opening and saving it in the program.
TEST(DocumentOps, BytesAfterTheMusicSurviveOpenAndSave) {
    TestFolder dir;
    Session a;
    a.ws.frames.AppendFrame(true);
    dir.Write("song.mp3", "MP3DATA");
    a.ws.design.musicPath = dir / "song.mp3";
    ASSERT_TRUE(OnSaveDocument(a.ws, a.prompt, dir / "show.cvn"));
    auto bytes = *ReadFileBytes(dir / "show.cvn");
    for (int i = 0; i < 50; ++i) bytes.push_back(static_cast<std::uint8_t>(200 + i));
    ASSERT_TRUE(WriteFileAtomic(dir / "show.cvn", bytes));
    Session b;
    ASSERT_TRUE(OnOpenDocument(b.ws, b.prompt, dir / "show.cvn"));
    EXPECT_EQ(b.ws.design.trailingBytes.size(), 50u);
    ASSERT_TRUE(OnSaveDocument(b.ws, b.prompt, dir / "again.cvn"));
    EXPECT_EQ(*ReadFileBytes(dir / "again.cvn"), bytes);
    // Another document opened afterwards brings its own (none).
    ASSERT_TRUE(OnSaveDocument(a.ws, a.prompt, dir / "plain.cvn"));
    ASSERT_TRUE(OnOpenDocument(b.ws, b.prompt, dir / "plain.cvn"));
    EXPECT_TRUE(b.ws.design.trailingBytes.empty());
}

TEST(DocumentOps, SaveFailureIsReported) {
    TestFolder dir;
    Session s;
    EXPECT_FALSE(OnSaveDocument(s.ws, s.prompt, dir / "missing-folder" / "a.cvn"));
    // The program's text, then the file and the system's reason.
    EXPECT_EQ(s.prompt.messages().back(),
              "Save file fail!\r\n" + (dir / "missing-folder" / "a.cvn").string() + ": No such file or directory");
    EXPECT_TRUE(s.ws.documentPath.empty());
}

TEST(DocumentOps, AppendKeepsTheTargetsDesignAndChecksEverything) {
    TestFolder dir;
    // The target: 32 x 24, 3 frames, with a design and music.
    Session t;
    t.ws.frames.AppendFrame(true);
    t.ws.frames.AppendFrame(true);
    t.ws.effects.Append(test::LayerWithEveryKind());
    dir.Write("m.mp3", "music!");
    t.ws.design.musicPath = dir / "m.mp3";
    t.ws.design.canvasWidth = 99;
    ASSERT_TRUE(OnSaveDocument(t.ws, t.prompt, dir / "target.cvn"));

    // The source: 6 frames, each with its own colour.
    Session s;
    for (int i = 1; i < 6; ++i) {
        s.ws.frames.AppendFrame(true)->SetPixel(0, 0, Bgr{static_cast<std::uint8_t>(i), 0, 0});
    }
    std::vector<int> progress;
    EXPECT_FALSE(AppendFramesToFile(s.ws, s.prompt, dir / "target.cvn", 4, 7));  // past the end
    EXPECT_FALSE(AppendFramesToFile(s.ws, s.prompt, dir / "target.cvn", 5, 4));  // start after end
    EXPECT_FALSE(AppendFramesToFile(s.ws, s.prompt, dir / "target.cvn", 0, 2));
    EXPECT_EQ(s.prompt.messages().size(), 3u);
    EXPECT_EQ(s.prompt.messages()[0], "Parameter mistake!");
    ASSERT_TRUE(AppendFramesToFile(s.ws, s.prompt, dir / "target.cvn", 2, 4, [&](int v) { progress.push_back(v); }));
    EXPECT_EQ(progress, (std::vector<int>{1, 33, 66, 0}));

    Session r;
    ASSERT_TRUE(OnOpenDocument(r.ws, r.prompt, dir / "target.cvn"));
    const auto& frames = r.ws.frames.clip(0).frames;
    ASSERT_EQ(frames.size(), 6u);
    EXPECT_EQ(frames[3].Pixel(0, 0).b, 1);
    EXPECT_EQ(frames[5].Pixel(0, 0).b, 3);
    EXPECT_EQ(r.ws.effects.Count(), 1u);
    EXPECT_EQ(r.ws.design.canvasWidth, 99);
    EXPECT_EQ(*ReadFileBytes(r.ws.design.musicPath), std::vector<std::uint8_t>({'m', 'u', 's', 'i', 'c', '!'}));
}

TEST(DocumentOps, AppendRefusesOtherSizesAndMultiClipFilesWithoutTouchingThem) {
    TestFolder dir;
    Session two;
    two.ws.frames.AddClip(32, 24);
    ASSERT_TRUE(OnSaveDocument(two.ws, two.prompt, dir / "two.cvn"));
    Session small;
    small.ws.frames.DeleteClip(-1);
    small.ws.frames.AddClip(8, 4);
    ASSERT_TRUE(OnSaveDocument(small.ws, small.prompt, dir / "small.cvn"));
    const auto twoBefore = *ReadFileBytes(dir / "two.cvn");
    const auto smallBefore = *ReadFileBytes(dir / "small.cvn");

    Session s;
    EXPECT_FALSE(AppendFramesToFile(s.ws, s.prompt, dir / "two.cvn", 1, 1));
    EXPECT_EQ(s.prompt.messages().back(), "The file or the file version is not supported!");
    EXPECT_FALSE(AppendFramesToFile(s.ws, s.prompt, dir / "small.cvn", 1, 1));
    EXPECT_EQ(s.prompt.messages().back(), "Parameter mistake!\r\nWidth: 8 ,Height: 4");
    EXPECT_FALSE(AppendFramesToFile(s.ws, s.prompt, dir / "none.cvn", 1, 1));
    EXPECT_EQ(s.prompt.messages().back().rfind("Open file fail!\r\n", 0), 0u);
    EXPECT_EQ(*ReadFileBytes(dir / "two.cvn"), twoBefore);
    EXPECT_EQ(*ReadFileBytes(dir / "small.cvn"), smallBefore);

    // A target whose frames are not all there is refused and left alone.
    auto cut = smallBefore;
    cut.resize(cut.size() - 20);
    ASSERT_TRUE(WriteFileAtomic(dir / "cut.cvn", cut));
    small.ws.frames.AppendFrame(true);
    EXPECT_FALSE(AppendFramesToFile(small.ws, small.prompt, dir / "cut.cvn", 1, 2));
    EXPECT_EQ(*ReadFileBytes(dir / "cut.cvn"), cut);
}

TEST(DocumentOps, NewDocumentAsksForASizeAfterTheFirst) {
    Session s;
    s.ws.frames.AddClip(5, 5);
    bool asked = false;
    ASSERT_TRUE(OnNewDocument(s.ws, [&](SizeDialogModel& m) -> std::optional<FrameSize> {
        asked = true;
        EXPECT_EQ(m.width(), 5);  // preset with the current frame size
        return std::nullopt;      // Cancel
    }));
    EXPECT_TRUE(asked);
    EXPECT_EQ(s.ws.frames.Count(), 2);
    ASSERT_TRUE(OnNewDocument(s.ws, [](SizeDialogModel&) { return std::optional<FrameSize>(FrameSize{40, 20}); }));
    ASSERT_EQ(s.ws.frames.Count(), 1);
    EXPECT_EQ(s.ws.frames.clip(0).width, 40u);
    EXPECT_EQ(s.ws.app.frameHeight, 20);
}

TEST(DocumentOps, StartupOpensTheDocumentNamedOnTheCommandLine) {
    TestFolder dir;
    Session a;
    a.ws.frames.AddClip(3, 3);
    ASSERT_TRUE(OnSaveDocument(a.ws, a.prompt, dir / "cmd.cvn"));
    TestFolder home;
    RecordingPrompt prompt;
    Workspace ws;
    ASSERT_TRUE(InitInstance(ws, prompt, StartupOptions(home.path(), "en_US.UTF-8", dir / "cmd.cvn")));
    EXPECT_EQ(ws.frames.Count(), 2);
    Workspace bad;
    EXPECT_FALSE(InitInstance(bad, prompt, StartupOptions(home.path(), "en_US.UTF-8", dir / "nothing.cvn")));
}

TEST(DocumentOps, OpenedArchivesAreSavedBesideThemAndTheirOtherEntriesStayAway) {
    TestFolder dir;
    Session s;
    s.ws.app.compress = 1;
    ASSERT_TRUE(OnSaveDocument(s.ws, s.prompt, dir / "show.cvn"));
    Session b;
    ASSERT_TRUE(OnOpenDocument(b.ws, b.prompt, dir / "show.rar"));
    EXPECT_EQ(b.ws.documentPath, dir / "show.cvn");  // Save never overwrites the archive

    // An archive with a music entry but no document: the open fails and the project's music
    // working file is not replaced.
    dir.Write("EffectMusic.mp3", "intruder");
    ASSERT_TRUE(WriteStoredRar(dir / "music.rar", dir / "EffectMusic.mp3", "EffectMusic.mp3"));
    const auto music = b.ws.app.tempDir / "EffectMusic.mp3";
    ASSERT_TRUE(WriteFileAtomic(music, std::string("project music")));
    EXPECT_FALSE(OnOpenDocument(b.ws, b.prompt, dir / "music.rar"));
    EXPECT_EQ(*ReadFileBytes(music), std::vector<std::uint8_t>({'p', 'r', 'o', 'j', 'e', 'c', 't', ' ', 'm', 'u', 's',
                                                                'i', 'c'}));
}

TEST(DocumentOps, SidesTheReaderRefusesAreNeverWritten) {
    TestFolder dir;
    Session s;
    s.ws.frames.DeleteClip(-1);
    s.ws.frames.AddClip(0, 5);
    EXPECT_FALSE(OnSaveDocument(s.ws, s.prompt, dir / "zero.cvn"));
    EXPECT_FALSE(std::filesystem::exists(dir / "zero.cvn"));
    // A configuration with impossible sides still gives a clip that can be saved.
    TestFolder home;
    home.Write("Led Conf.ldc", "[Main]\r\nRows=0\r\ncols=40000\r\n");
    RecordingPrompt prompt;
    Workspace ws;
    ASSERT_TRUE(InitInstance(ws, prompt, StartupOptions(home.path(), "en_US.UTF-8")));
    EXPECT_EQ(ws.frames.clip(0).height, 1u);
    EXPECT_EQ(ws.frames.clip(0).width, 32767u);
}

TEST(DocumentOps, StaleHeaderCopyIsWarnedOfAndTheDocumentOpens) {
    TestFolder dir;
    Session s;
    ASSERT_TRUE(OnSaveDocument(s.ws, s.prompt, dir / "a.cvn"));
    auto bytes = *ReadFileBytes(dir / "a.cvn");
    bytes[10] = static_cast<std::uint8_t>(bytes[10] + 1);  // the header's copy of the height
    ASSERT_TRUE(WriteFileAtomic(dir / "a.cvn", bytes));
    Session t;
    EXPECT_TRUE(OnOpenDocument(t.ws, t.prompt, dir / "a.cvn"));
    ASSERT_FALSE(t.prompt.messages().empty());
    EXPECT_NE(t.prompt.messages().back().find("the clip's own size is used"), std::string::npos);
}

TEST(DocumentOps, MovedProjectFindsTheLineFileBesideTheDocumentAndSavesItsNewPath) {
    TestFolder dir;
    Session a;
    a.ws.frames.AddClip(4, 2);
    a.ws.frames.clip(0).lineFilePath = "/nonexistent/dir/x.lnf";
    a.ws.frames.clip(1).lineFilePath = "D:\\show\\wiring\\y.lnf";  // written on another system
    ASSERT_TRUE(OnSaveDocument(a.ws, a.prompt, dir / "show.cvn"));
    dir.Write("x.lnf", "LNF");
    dir.Write("y.lnf", "LNF");

    Session b;
    ASSERT_TRUE(OnOpenDocument(b.ws, b.prompt, dir / "show.cvn"));
    const std::string x = (dir / "x.lnf").string();
    const std::string y = (dir / "y.lnf").string();
    EXPECT_EQ(b.ws.frames.clip(0).lineFilePath, x);
    EXPECT_EQ(b.ws.frames.clip(1).lineFilePath, y);
    // The user is told, in the program's language, which file stands in for which.
    ASSERT_EQ(b.prompt.messages().size(), 2u);
    EXPECT_EQ(b.prompt.messages()[0], Format(b.ws.strings.lineFileBeside.c_str(), 1, "/nonexistent/dir/x.lnf", x.c_str()));
    EXPECT_NE(b.prompt.messages()[1].find("D:\\show\\wiring\\y.lnf"), std::string::npos);
    EXPECT_EQ(b.prompt.icons()[0], PromptIcon::Information);

    // The next save stores the new paths: opening again finds them where they are, quietly.
    ASSERT_TRUE(OnSaveDocument(b.ws, b.prompt, dir / "show.cvn"));
    Session c;
    ASSERT_TRUE(OnOpenDocument(c.ws, c.prompt, dir / "show.cvn"));
    EXPECT_EQ(c.ws.frames.clip(0).lineFilePath, x);
    EXPECT_EQ(c.ws.frames.clip(1).lineFilePath, y);
    EXPECT_TRUE(c.prompt.messages().empty());
}

TEST(DocumentOps, LineFilesThatExistOrHaveNoStandInAreLeftAsStored) {
    TestFolder dir;
    TestFolder elsewhere;
    elsewhere.Write("kept.lnf", "LNF");
    Session a;
    a.ws.frames.AddClip(4, 2);
    a.ws.frames.clip(0).lineFilePath = (elsewhere / "kept.lnf").string();  // still there
    a.ws.frames.clip(1).lineFilePath = "/nonexistent/dir/missing.lnf";     // nothing beside the document
    ASSERT_TRUE(OnSaveDocument(a.ws, a.prompt, dir / "show.cvn"));
    dir.Write("kept.lnf", "LNF");  // the stored one wins over a file of that name here
    Session b;
    ASSERT_TRUE(OnOpenDocument(b.ws, b.prompt, dir / "show.cvn"));
    EXPECT_EQ(b.ws.frames.clip(0).lineFilePath, (elsewhere / "kept.lnf").string());
    EXPECT_EQ(b.ws.frames.clip(1).lineFilePath, "/nonexistent/dir/missing.lnf");
    EXPECT_TRUE(b.prompt.messages().empty());
    // In Chinese the message is the program's own Chinese text.
    std::vector<Clip> clips(1);
    clips[0].lineFilePath = "/nonexistent/dir/kept.lnf";
    RecordingPrompt prompt;
    EXPECT_EQ(FindLineFilesBeside(clips, dir / "show.cvn", LoadUiStrings(kLanguageSimplified), prompt), 1);
    ASSERT_EQ(prompt.messages().size(), 1u);
    EXPECT_NE(prompt.messages()[0].find("线路文件"), std::string::npos);
}
