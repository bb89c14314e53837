#include <gtest/gtest.h>

#include "TestHome.h"
#include "base/ProfileFile.h"
#include "controller/LampTypes.h"
#include "layout/LineFile.h"
#include "workspace/LayoutOps.h"
#include "workspace/Settings.h"
#include "workspace/Startup.h"

using namespace corv;
using corv::test::TestFolder;

TEST(LayoutOps, StartupGivesALayoutOfTheConfiguredSizeAndTheLampTypes) {
    TestFolder home;
    home.Write(kConfigFileName, "[Main]\r\nRows=10\r\ncols=20\r\nDrICtype=19\r\n");
    std::vector<LightTypeRecord> lamps = BuiltInLightTypes();
    LightTypeRecord extra = lamps[0];
    extra.SetName("Mine");
    lamps.push_back(extra);
    ASSERT_TRUE(SaveLampTypes(home / kPinSetFileName, lamps));
    RecordingPrompt prompt;
    Workspace ws;
    ASSERT_TRUE(InitInstance(ws, prompt, StartupOptions(home.path(), "en_US.UTF-8")));
    EXPECT_EQ(ws.layout.grid.rows, 10);
    EXPECT_EQ(ws.layout.grid.cols, 20);
    EXPECT_EQ(ws.layout.setting.icType[0], 19);
    ASSERT_EQ(ws.lampTypes.size(), 7u);
    EXPECT_EQ(ws.lampTypes[6].Name(), "Mine");
    EXPECT_EQ(ws.modules.size(), 1u);
}

TEST(LayoutOps, NewLayoutResizesASingleFrameProject) {
    TestFolder home;
    RecordingPrompt prompt;
    Workspace ws;
    ASSERT_TRUE(InitInstance(ws, prompt, StartupOptions(home.path(), "en_US.UTF-8")));
    ws.frames.CurrentFrames()[0].Fill(Bgr{1, 2, 3});
    NewLayout(ws, 0, 7, false);  // below 1 becomes 1
    EXPECT_EQ(ws.layout.grid.rows, 1);
    EXPECT_EQ(ws.frames.clip(0).width, 7u);
    EXPECT_EQ(ws.frames.clip(0).height, 1u);
    EXPECT_EQ(ws.frames.CurrentFrames()[0].size(), Frame::BufferSize(7, 1));
    EXPECT_EQ(ws.frames.CurrentFrames()[0].Pixel(6, 0), (Bgr{0, 0, 0}));
    // Two frames: the clip keeps its size.
    ws.frames.AppendFrame(true);
    NewLayout(ws, 4, 4, true);
    EXPECT_EQ(ws.frames.clip(0).width, 7u);
    EXPECT_EQ(ws.layout.grid.rowWidths.size(), 4u);
}

TEST(LayoutOps, SaveAndOpenRememberTheLineFile) {
    TestFolder home;
    TestFolder dir;
    RecordingPrompt prompt;
    Workspace ws;
    ASSERT_TRUE(InitInstance(ws, prompt, StartupOptions(home.path(), "en_US.UTF-8")));
    ws.layout.lines[0] = {MakePoint(0, 0)};
    std::filesystem::path written;
    ASSERT_TRUE(SaveLineFileAs(ws, dir / "bridge.txt", &written));
    EXPECT_EQ(written, dir / "bridge.lnf");
    ProfileFile cfg(home / kConfigFileName, kMainSection);
    EXPECT_EQ(cfg.GetString("LineFile"), written.string());  // key "LineFile  "
    EXPECT_EQ(ws.frames.CurrentClip().lineFilePath, written.string());

    Workspace other;
    ASSERT_TRUE(InitInstance(other, prompt, StartupOptions(home.path(), "en_US.UTF-8")));
    EXPECT_EQ(other.app.lineFile, written.string());  // read back at start-up
    ASSERT_TRUE(OpenLineFile(other, prompt, written));
    EXPECT_EQ(other.layout.lines[0].size(), 1u);
    EXPECT_EQ(other.layout.setting.lineCount, 1);

    dir.Write("bad.lnf", "LNF\x07");
    EXPECT_FALSE(OpenLineFile(other, prompt, dir / "bad.lnf"));
    EXPECT_EQ(prompt.messages().back(), "The file or the file version is not supported!");
    EXPECT_EQ(other.layout.lines[0].size(), 1u);
    SetPortsPerSlave(other, 4);
    EXPECT_EQ(other.layout.setting.linePorts[9], 4);
    EXPECT_TRUE(other.layout.modified);
}
