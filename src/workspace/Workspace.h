#pragma once

#include <filesystem>
#include <cstdint>
#include <memory>

#include "base/ProfileFile.h"
#include "base/Random.h"
#include "base/TempDir.h"
#include "content/ColourList.h"
#include "lang/UiStrings.h"
#include "project/AppState.h"
#include "project/EffectList.h"
#include "project/FrameStore.h"
#include "project/FrameUndo.h"
#include "layout/DisplayModule.h"
#include "layout/Layout.h"
#include "layout/LightType.h"

namespace corv {

// The whole process state of the running program: settings, clips, design layers, texts.
// The GUI owns one; every engine test and command-line run builds its own.
// Display settings of the frame view that documents carry.
struct FrameViewSettings {
    std::int16_t gridScaleX = 1;
    std::int16_t gridScaleY = 1;
};

// The colour panel's state: the list every generator paints with, how colours are added, the
// colour the drawing tools use, and the line width and fill of the design editor's items.
struct ColourPanelState {
    ColourList list = ColourList::Rainbow();
    ColourTransition mode = ColourTransition::Grade;
    int grade = 8;
    int fixedSteps = 32;
    ListColour current = 0xFF0000;  // "Color:", pure red at start
    int lineWidth = 1;
    bool fill = false;
};

// State of the design editor that documents carry besides the layers.
struct DesignState {
    std::uint16_t canvasWidth = 0;
    std::uint16_t canvasHeight = 0;
    std::filesystem::path musicPath;  // background music; empty = none
    // The bytes the open document held after its music, written back after it on save.
    std::vector<std::uint8_t> trailingBytes;
};

class Workspace {
public:
    Workspace();
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    AppState app;
    FrameStore frames{app};
    EffectList effects;
    UiStrings strings;
    FrameViewSettings frameView;
    ColourPanelState colourPanel;
    // The frame view's three-step history over the current clip (emptied with a new project).
    FrameUndo frameUndo;
    DesignState design;
    // The open document's path; empty for a new, unsaved project.
    std::filesystem::path documentPath;
    // The LED layout and its wiring, the program's lamp types and the display modules.
    Layout layout;
    std::vector<LightTypeRecord> lampTypes = BuiltInLightTypes();
    ModuleList modules;
    // The line file in use (also in the configuration); empty when none.
    std::filesystem::path lineFilePath;
    Random random;

    // The application home (configuration, catalogues, libraries).
    std::filesystem::path home;
    // "Led Conf.ldc", section "Main", in the application home; set by start-up.
    std::unique_ptr<ProfileFile> config;

    const TempDir& temp() const { return temp_; }
    // The configuration file's path in the application home.
    std::filesystem::path ConfigPath() const;
    // Binds `config` to the configuration file of `home`.
    void BindConfig(const std::filesystem::path& homeDir);

private:
    TempDir temp_;
};

}  // namespace corv
