#include <gtest/gtest.h>

#include <fstream>

#include "base/FileUtil.h"
#include "base/ProfileFile.h"
#include "base/TempDir.h"
#include "workspace/Settings.h"
#include "workspace/Startup.h"
#include "workspace/WindowSettings.h"

using namespace corv;

TEST(RecentFiles, NewestFirstFourAtMostNoDuplicates) {
    TempDir home;
    const auto config = home.path() / kConfigFileName;
    EXPECT_TRUE(ReadRecentFiles(config).empty());  // no file yet
    for (const char* name : {"a.cvn", "b.cvn", "c.cvn", "d.cvn", "e.cvn"}) AddRecentFile(config, home.path() / name);
    auto list = ReadRecentFiles(config);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list.front(), (home.path() / "e.cvn").string());
    EXPECT_EQ(list.back(), (home.path() / "b.cvn").string());
    // Opening a listed file again moves it to the top instead of listing it twice; the same
    // file named another way counts as the same.
    AddRecentFile(config, home.path() / "sub" / ".." / "c.cvn");
    list = ReadRecentFiles(config);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0], (home.path() / "c.cvn").string());
    EXPECT_EQ(list[1], (home.path() / "e.cvn").string());
    RemoveRecentFile(config, home.path() / "e.cvn");
    EXPECT_EQ(ReadRecentFiles(config).size(), 3u);
    // The list shares the file with the main section and leaves it alone.
    ProfileFile main(config, kMainSection);
    main.WriteInt(keys::kLanguage, 3);
    AddRecentFile(config, home.path() / "f.cvn");
    EXPECT_EQ(main.GetInt(keys::kLanguage, 0), 3);
    EXPECT_EQ(ReadRecentFiles(config).front(), (home.path() / "f.cvn").string());
}

TEST(SystemSettings, OkWritesTheConfigurationAndTheGridScale) {
    TempDir home;
    Workspace ws;
    ws.BindConfig(home.path());
    SystemSettings s = ReadSystemSettings(ws);
    EXPECT_TRUE(s.autoCheckVersion);
    EXPECT_FALSE(s.compress);
    EXPECT_EQ(s.gridScaleX, 1);
    s.autoCheckVersion = false;
    s.compress = true;
    s.paintPath = "/usr/bin/some paint";
    s.gridScaleX = 3;
    s.gridScaleY = 500;  // kept to the range the view draws
    ApplySystemSettings(ws, s);
    EXPECT_EQ(ws.app.compress, 1);
    EXPECT_EQ(ws.app.autoCheckVersion, 0);
    EXPECT_EQ(ws.frameView.gridScaleX, 3);
    EXPECT_EQ(ws.frameView.gridScaleY, 100);
    ProfileFile cfg(home.path() / kConfigFileName, kMainSection);
    EXPECT_EQ(cfg.GetInt(keys::kCompress, -1), 1);
    EXPECT_EQ(cfg.GetInt(keys::kAutoCheckVersion, -1), 0);
    EXPECT_EQ(cfg.GetString(keys::kPaintPath), "/usr/bin/some paint");
    const SystemSettings again = ReadSystemSettings(ws);
    EXPECT_EQ(again.paintPath, s.paintPath);
    EXPECT_EQ(again.gridScaleY, 100);
}

TEST(HelpFile, LanguageNamesAndTheEnglishStandIn) {
    TempDir data, home;
    EXPECT_EQ(HelpFileName(1), "Help_c.pdf");
    EXPECT_EQ(HelpFileName(2), "Help_t.pdf");
    EXPECT_EQ(HelpFileName(3), "Help_e.pdf");
    EXPECT_TRUE(FindHelpFile(3, {data.path(), home.path()}).empty());
    std::ofstream(home.path() / "Help_e.pdf") << "%PDF";
    // Only the English manual exists: every language opens it.
    EXPECT_EQ(FindHelpFile(1, {data.path(), home.path()}), home.path() / "Help_e.pdf");
    std::ofstream(data.path() / "Help_e.pdf") << "%PDF";
    std::ofstream(home.path() / "Help_t.pdf") << "%PDF";
    EXPECT_EQ(FindHelpFile(3, {data.path(), home.path()}), data.path() / "Help_e.pdf");  // the data folder first
    EXPECT_EQ(FindHelpFile(2, {data.path(), home.path()}), home.path() / "Help_t.pdf");  // the language's own wins
    std::filesystem::create_directory(data.path() / "Help_c.pdf");                        // a folder is no manual
    EXPECT_EQ(FindHelpFile(1, {data.path(), home.path()}), data.path() / "Help_e.pdf");
}

TEST(LastFolder, EachKindKeepsTheFolderOfTheFileLastChosen) {
    TempDir home;
    const auto config = home.path() / kConfigFileName;
    std::filesystem::create_directories(home.path() / "shows");
    std::filesystem::create_directories(home.path() / "wiring");
    EXPECT_TRUE(ReadLastFolder(config, FileKind::Document).empty());  // nothing kept yet
    // A chosen file keeps its folder (the file need not exist yet: a save dialog's choice).
    WriteLastFolder(config, FileKind::Document, home.path() / "shows" / "new.cvn");
    WriteLastFolder(config, FileKind::LineFile, home.path() / "wiring");  // a folder itself
    EXPECT_EQ(ReadLastFolder(config, FileKind::Document), home.path() / "shows");
    EXPECT_EQ(ReadLastFolder(config, FileKind::LineFile), home.path() / "wiring");
    EXPECT_TRUE(ReadLastFolder(config, FileKind::Movie).empty());  // kinds do not share
    // Kept in the configuration file, beside the main section, which stays as it was.
    ProfileFile main(config, kMainSection);
    main.WriteInt(keys::kLanguage, 3);
    WriteLastFolder(config, FileKind::Picture, home.path() / "shows" / "a.png");
    EXPECT_EQ(main.GetInt(keys::kLanguage, 0), 3);
    EXPECT_EQ(ProfileFile(config, kFoldersSection).GetString(FileKindKey(FileKind::Picture)), (home.path() / "shows").string());
    // A folder that has gone is not offered.
    std::filesystem::remove_all(home.path() / "wiring");
    EXPECT_TRUE(ReadLastFolder(config, FileKind::LineFile).empty());
    EXPECT_TRUE(ReadLastFolder({}, FileKind::Document).empty());
}

namespace {

Workspace& Bound(Workspace& ws, const std::filesystem::path& home) {
    ws.BindConfig(home);
    return ws;
}

}  // namespace

TEST(ColourPanelMemory, ListAndChoicesComeBackInANewWorkspace) {
    TempDir home;
    std::vector<ListColour> colours;
    {
        Workspace ws;
        Bound(ws, home.path());
        ws.colourPanel.list.Clear();
        ws.colourPanel.list.AddColour(0x102030, ColourTransition::Fixed, 0);
        ws.colourPanel.list.AddColour(0xF0E0D0, ColourTransition::Fixed, 4);
        ws.colourPanel.list.Select(3);
        ws.colourPanel.mode = ColourTransition::Fixed;
        ws.colourPanel.grade = 24;
        ws.colourPanel.fixedSteps = 128;
        ws.colourPanel.current = 0x00FF80;
        ws.colourPanel.lineWidth = 7;
        ws.colourPanel.fill = true;
        ws.app.backgroundColour = Bgr{1, 2, 3};
        colours = ws.colourPanel.list.colours();
        ASSERT_EQ(colours.size(), 5u);
        ASSERT_TRUE(SaveColourPanel(ws));
    }
    // The list file is the colour library's format, holding this one list.
    const auto bytes = ReadFileBytes(home.path() / kColourListFileName);
    ASSERT_TRUE(bytes);
    const auto lists = ColourLibrary::Decode(*bytes);
    ASSERT_TRUE(lists);
    ASSERT_EQ(lists->size(), 1u);
    EXPECT_EQ(lists->front(), colours);

    Workspace again;
    EXPECT_NE(again.colourPanel.list.colours(), colours);  // a new workspace starts with the rainbow
    LoadColourPanel(Bound(again, home.path()));
    EXPECT_EQ(again.colourPanel.list.colours(), colours);
    EXPECT_EQ(again.colourPanel.list.selected(), 3);
    EXPECT_EQ(again.colourPanel.mode, ColourTransition::Fixed);
    EXPECT_EQ(again.colourPanel.grade, 24);
    EXPECT_EQ(again.colourPanel.fixedSteps, 128);
    EXPECT_EQ(again.colourPanel.current, 0x00FF80u);
    EXPECT_EQ(again.colourPanel.lineWidth, 7);
    EXPECT_TRUE(again.colourPanel.fill);
    EXPECT_EQ(again.app.backgroundColour.b, 1);
    EXPECT_EQ(again.app.backgroundColour.g, 2);
    EXPECT_EQ(again.app.backgroundColour.r, 3);
}

TEST(ColourPanelMemory, AnEmptiedListStaysEmptyADamagedFileLeavesTheRainbow) {
    TempDir home;
    {
        Workspace ws;
        Bound(ws, home.path());
        ws.colourPanel.list.Clear();
        ASSERT_TRUE(SaveColourPanel(ws));
    }
    Workspace emptied;
    LoadColourPanel(Bound(emptied, home.path()));
    EXPECT_TRUE(emptied.colourPanel.list.empty());

    // A damaged list file and values no panel offers change nothing.
    {
        std::ofstream f(home.path() / kColourListFileName, std::ios::binary | std::ios::trunc);
        f << "not a colour list";
    }
    ProfileFile cfg(home.path() / kConfigFileName, kColourPanelSection);
    cfg.WriteInt("Grade", 7);
    cfg.WriteInt("FixedSteps", -3);
    cfg.WriteInt("LineWidth", 100000);
    Workspace damaged;
    LoadColourPanel(Bound(damaged, home.path()));
    EXPECT_EQ(damaged.colourPanel.list.colours(), ColourList::Rainbow().colours());
    EXPECT_EQ(damaged.colourPanel.grade, 8);
    EXPECT_EQ(damaged.colourPanel.fixedSteps, 32);
    EXPECT_EQ(damaged.colourPanel.lineWidth, 100);
}

TEST(ColourPanelMemory, StartupReadsWhatTheLastExitKept) {
    TempDir home;
    RecordingPrompt prompt;
    {
        Workspace ws;
        ASSERT_TRUE(InitInstance(ws, prompt, StartupOptions(home.path(), "en_US.UTF-8")));
        EXPECT_EQ(ws.colourPanel.list.count(), ColourList::Rainbow().count());
        ws.colourPanel.list.DeleteLast();
        ws.colourPanel.list.DeleteLast();
        ExitInstance(ws);
    }
    Workspace ws;
    ASSERT_TRUE(InitInstance(ws, prompt, StartupOptions(home.path(), "en_US.UTF-8")));
    EXPECT_EQ(ws.colourPanel.list.count(), ColourList::Rainbow().count() - 2);
}
