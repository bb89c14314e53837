#pragma once

#include <filesystem>
#include <memory>

#include "base/ProfileFile.h"
#include "base/Random.h"
#include "base/TempDir.h"
#include "lang/UiStrings.h"
#include "project/AppState.h"
#include "project/EffectList.h"
#include "project/FrameStore.h"

namespace corv {

// The whole process state of the running program: settings, clips, design layers, texts.
// The GUI owns one; every engine test and command-line run builds its own.
class Workspace {
public:
    Workspace();
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    AppState app;
    FrameStore frames{app};
    EffectList effects;
    UiStrings strings;
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
