#include <gtest/gtest.h>

#include <fstream>

#include "base/ProfileFile.h"
#include "base/TempDir.h"
#include "workspace/Settings.h"
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
