#include "workspace/Workspace.h"

#include "lang/Language.h"
#include "workspace/Settings.h"

namespace corv {

Workspace::Workspace() : random(Random::FromTime()) {
    app.tempDir = temp_.path();
    app.frameHeight = 64;
    app.frameWidth = 64;
    strings = LoadUiStrings(kLanguageEnglish);
}

std::filesystem::path Workspace::ConfigPath() const { return home / kConfigFileName; }

void Workspace::BindConfig(const std::filesystem::path& homeDir) {
    home = homeDir;
    config = std::make_unique<ProfileFile>(ConfigPath(), kMainSection);
}

}  // namespace corv
