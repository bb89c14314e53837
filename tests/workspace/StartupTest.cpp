#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "TestHome.h"
#include "base/ProfileFile.h"
#include "lang/Language.h"
#include "workspace/Settings.h"
#include "workspace/Startup.h"

using namespace corv;
using corv::test::TestFolder;
namespace fs = std::filesystem;

namespace {
StartupOptions Options(const TestFolder& dir, const char* locale = "en_US.UTF-8") {
    return StartupOptions(dir.path(), locale);
}
}  // namespace

TEST(Startup, NoConfigurationGivesA32By24ClipAndWritesItAtExit) {
    TestFolder dir;
    RecordingPrompt prompt;
    {
        Workspace ws;
        ASSERT_TRUE(InitInstance(ws, prompt, Options(dir, "de_DE.UTF-8")));
        ASSERT_EQ(ws.frames.Count(), 1);
        EXPECT_EQ(ws.frames.clip(0).width, 32u);
        EXPECT_EQ(ws.frames.clip(0).height, 24u);
        EXPECT_EQ(ws.app.frameWidth, 32);
        EXPECT_EQ(ws.app.frameHeight, 24);
        EXPECT_EQ(ws.app.language, kLanguageGerman);  // from the system, kept in memory only
        EXPECT_EQ(ws.app.skin, 0);
        EXPECT_EQ(ws.app.compress, 0);
        EXPECT_EQ(ws.app.autoCheckVersion, 1);
        EXPECT_TRUE(prompt.messages().empty());
        ExitInstance(ws);
    }
    ProfileFile cfg(dir / kConfigFileName, kMainSection);
    EXPECT_EQ(cfg.GetInt("Rows", -1), 24);
    EXPECT_EQ(cfg.GetInt("cols", -1), 32);
    EXPECT_EQ(cfg.GetInt("ErrorCode", -1), 0);  // the write test leaves 0
    EXPECT_FALSE(cfg.HasKey("Language"));
}

TEST(Startup, ConfiguredValuesAreUsedAndASkinIsIgnoredButKept) {
    TestFolder dir;
    dir.Write(kConfigFileName,
              "[Main]\r\nRows=16\r\ncols=48\r\nLanguage=2\r\nLineFile=/data/bridge.lnf\r\n"
              "AutoCheckVertion=0\r\nCompress=1\r\nSkin=2\r\n");
    RecordingPrompt prompt;
    Workspace ws;
    ASSERT_TRUE(InitInstance(ws, prompt, Options(dir)));
    EXPECT_EQ(ws.frames.clip(0).width, 48u);
    EXPECT_EQ(ws.frames.clip(0).height, 16u);
    EXPECT_EQ(ws.app.lineFile, "/data/bridge.lnf");
    EXPECT_EQ(ws.app.autoCheckVersion, 0);
    EXPECT_EQ(ws.app.compress, 1);
    EXPECT_EQ(ws.app.skin, 0);
    EXPECT_EQ(ws.app.language, kLanguageTraditional);
    EXPECT_EQ(ws.strings.tabColor, "顏色");
    // Resizing the clip and leaving writes the new size; the skin stays in the file.
    ws.frames.AddClip(10, 5);
    ExitInstance(ws);
    ProfileFile cfg(dir / kConfigFileName, kMainSection);
    EXPECT_EQ(cfg.GetInt("Rows", 0), 5);
    EXPECT_EQ(cfg.GetInt("cols", 0), 10);
    EXPECT_EQ(cfg.GetInt("Skin", 0), 2);
}

TEST(Startup, FrenchSystemRunsInEnglishWithFrenchCLocale) {
    TestFolder dir;
    RecordingPrompt prompt;
    Workspace ws;
    ASSERT_TRUE(InitInstance(ws, prompt, Options(dir, "fr_FR.UTF-8")));
    EXPECT_EQ(ws.app.language, kLanguageFrench);
    EXPECT_EQ(ws.app.cLocale, "french");
    EXPECT_EQ(ws.strings.badFileVersion, "The file or the file version is not supported!");
    EXPECT_EQ(ws.strings.effectTypeNames[0].entries[0], "Left(1)");
}

TEST(Startup, UnwritableConfigurationIsReportedAndStartupGoesOn) {
    TestFolder dir;
    // A folder where the configuration file should be: nothing can be written there.
    fs::create_directories(dir / kConfigFileName);
    RecordingPrompt prompt;
    Workspace ws;
    ASSERT_TRUE(InitInstance(ws, prompt, Options(dir)));
    ASSERT_EQ(prompt.messages().size(), 1u);
    EXPECT_EQ(prompt.messages()[0], "Software installation directory can not write configuration files.");
    EXPECT_EQ(prompt.icons()[0], PromptIcon::Error);
    EXPECT_EQ(ws.frames.clip(0).width, 32u);
}

TEST(Startup, TempFolderLivesAsLongAsTheWorkspace) {
    fs::path temp;
    {
        Workspace ws;
        temp = ws.app.tempDir;
        ASSERT_TRUE(fs::is_directory(temp));
        std::ofstream(temp / "Corvantinev.cvn") << "x";
    }
    EXPECT_FALSE(fs::exists(temp));
}

TEST(Startup, SkinCommands) {
    TestFolder dir;
    RecordingPrompt prompt;
    Workspace ws;
    ASSERT_TRUE(InitInstance(ws, prompt, Options(dir)));
    EXPECT_EQ(ChangeSkin(ws, prompt, 0), SkinChange::Nothing);  // already active: no question
    EXPECT_TRUE(prompt.questions().empty());

    prompt.Script(Answer::Cancel);
    EXPECT_EQ(ChangeSkin(ws, prompt, 1), SkinChange::Nothing);
    ProfileFile cfg(dir / kConfigFileName, kMainSection);
    EXPECT_FALSE(cfg.HasKey("Skin"));

    prompt.Script(Answer::No);
    EXPECT_EQ(ChangeSkin(ws, prompt, 2), SkinChange::SavedForNextStart);
    EXPECT_EQ(cfg.GetInt("Skin", 0), 2);
    EXPECT_EQ(cfg.GetInt("Rows", 0), 24);
    ASSERT_EQ(prompt.questions().size(), 2u);
    EXPECT_EQ(prompt.questions()[1], ws.strings.askRestartSkin);

    prompt.Script(Answer::Yes);
    EXPECT_EQ(ChangeSkin(ws, prompt, 3), SkinChange::Restart);
}

TEST(Startup, LanguageCommands) {
    TestFolder dir;
    RecordingPrompt prompt;
    Workspace ws;
    ASSERT_TRUE(InitInstance(ws, prompt, Options(dir, "en_US.UTF-8")));
    // The running language: only the configuration is written.
    EXPECT_FALSE(ChangeLanguage(ws, kLanguageEnglish));
    EXPECT_EQ(ProfileFile(dir / kConfigFileName, kMainSection).GetInt("Language", 0), 3);
    EXPECT_FALSE(LanguageRestartNeeded(ws));
    EXPECT_TRUE(ChangeLanguage(ws, kLanguageSimplified));
    EXPECT_TRUE(LanguageRestartNeeded(ws));
}

TEST(Startup, DerivedLanguageNeverAsksForARestart) {
    TestFolder dir;
    RecordingPrompt prompt;
    Workspace ws;
    ASSERT_TRUE(InitInstance(ws, prompt, Options(dir, "ru_RU.UTF-8")));
    EXPECT_FALSE(LanguageRestartNeeded(ws));  // "Language" = 0 is not a different choice
}
