#include "workspace/Startup.h"

#include <algorithm>

#include "base/AppHome.h"
#include "project/NewDocument.h"
#include "base/FileUtil.h"
#include "lang/Language.h"
#include "lang/UiStrings.h"
#include "workspace/DocumentOps.h"
#include "workspace/LayoutOps.h"
#include "workspace/Settings.h"
#include "workspace/WindowSettings.h"

namespace corv {

namespace {
// A frame side from the configuration, kept to what clips and documents can hold.
std::int16_t FrameSide(int configured) { return static_cast<std::int16_t>(std::clamp(configured, 1, kMaxFrameSide)); }
}  // namespace

int ReadConfiguration(Workspace& ws, Prompt& prompt) {
    ProfileFile& cfg = *ws.config;

    // Write test: the configuration must be writable.
    const int n = cfg.GetInt(keys::kErrorCode, 0) + 1;
    cfg.WriteInt(keys::kErrorCode, n);
    if (cfg.GetInt(keys::kErrorCode, 0) != n) {
        prompt.Inform(texts::kConfigNotWritable, PromptIcon::Error);
    }
    cfg.WriteInt(keys::kErrorCode, 0);

    AppState& app = ws.app;
    app.frameHeight = FrameSide(cfg.GetInt(keys::kRows, kDefaultRows));
    app.frameWidth = FrameSide(cfg.GetInt(keys::kCols, kDefaultCols));
    const int language = cfg.GetInt(keys::kLanguage, 0);
    app.lineFile = cfg.GetString(keys::kLineFile, "");
    app.autoCheckVersion = cfg.GetInt(keys::kAutoCheckVersion, 1);
    app.compress = cfg.GetInt(keys::kCompress, 0);
    app.skin = cfg.GetInt(keys::kSkin, 0);

    // Skins belong to systems older than major version 6; this one counts as newer, so a
    // configured skin is not used (the file keeps it: only the skin commands write it).
    if (app.osMajorVersion >= 6) {
        app.skin = 0;
    }

    return language;
}

void ReadLayoutFrameSize(Workspace& ws) {
    ws.app.frameHeight = FrameSide(ws.config->GetInt(keys::kRows, kLayoutDefaultRows));
    ws.app.frameWidth = FrameSide(ws.config->GetInt(keys::kCols, kLayoutDefaultCols));
    ws.layout.New(ws.app.frameHeight, ws.app.frameWidth, false, DefaultChip(ws));
}

void FirstNewDocument(Workspace& ws) {
    OnNewDocument(ws, {});
}

Result<Done> InitInstance(Workspace& ws, Prompt& prompt, const StartupOptions& options) {
    ws.BindConfig(options.home.empty() ? ResolveAppHome(ProgramDir()) : options.home);
    const int configured = ReadConfiguration(ws, prompt);
    const LanguageChoice choice =
        SettleLanguage(configured, options.systemLocale.empty() ? SystemLocaleName() : options.systemLocale);
    ws.app.language = choice.code;
    ws.app.threadLocale = choice.threadLocale;
    ws.app.cLocale = choice.cLocale;
    ws.strings = LoadUiStrings(choice.code);

    LoadLayoutLibraries(ws);
    LoadColourPanel(ws);
    ReadLayoutFrameSize(ws);
    if (!options.document.empty()) {
        return OnOpenDocument(ws, prompt, options.document);
    }
    FirstNewDocument(ws);
    return Done{};
}

void ExitInstance(Workspace& ws) {
    if (!ws.config) {
        return;
    }
    ws.config->WriteInt(keys::kRows, ws.app.frameHeight);
    ws.config->WriteInt(keys::kCols, ws.app.frameWidth);
    SaveColourPanel(ws);
}

SkinChange ChangeSkin(Workspace& ws, Prompt& prompt, int chosenSkin) {
    if (chosenSkin == ws.app.skin) {
        return SkinChange::Nothing;
    }
    const Answer answer = prompt.AskYesNoCancel(ws.strings.askRestartSkin);
    if (answer == Answer::Cancel) {
        return SkinChange::Nothing;
    }
    ws.app.skin = chosenSkin;
    if (ws.config) {
        ws.config->WriteInt(keys::kRows, ws.app.frameHeight);
        ws.config->WriteInt(keys::kCols, ws.app.frameWidth);
        ws.config->WriteInt(keys::kSkin, chosenSkin);
    }
    return answer == Answer::Yes ? SkinChange::Restart : SkinChange::SavedForNextStart;
}

bool ChangeLanguage(Workspace& ws, int code) {
    if (ws.config) {
        ws.config->WriteInt(keys::kLanguage, code);
    }
    return code != ws.app.language;
}

bool LanguageRestartNeeded(const Workspace& ws) {
    if (!ws.config) {
        return false;
    }
    const int configured = ws.config->GetInt(keys::kLanguage, 0);
    return configured != 0 && configured != ws.app.language;
}

}  // namespace corv
