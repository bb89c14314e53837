#pragma once

#include <filesystem>
#include <string>
#include <utility>

#include "base/Prompt.h"
#include "base/Result.h"
#include "workspace/Workspace.h"

namespace corv {

struct StartupOptions {
    StartupOptions() = default;
    StartupOptions(std::filesystem::path homeDir, std::string locale, std::filesystem::path doc = {})
        : home(std::move(homeDir)), systemLocale(std::move(locale)), document(std::move(doc)) {}

    // Application home; empty = resolve it from the environment and the program folder.
    std::filesystem::path home;
    // System locale name used when "Language" is 0; empty = read LC_ALL/LC_MESSAGES/LANG.
    std::string systemLocale;
    // Document named on the command line: opened instead of the first new document; when it
    // cannot be opened start-up fails.
    std::filesystem::path document;
};

// Start-up of the engine, in order: bind the configuration file, run the write test (its
// failure is reported through `prompt` and start-up goes on), read the settings, drop the
// skin (this system counts as a current one, so a configured skin is ignored but stays in
// the file), settle the language and fill the texts, take the layout view's frame size
// (Rows/cols with defaults 24 and 32) and add the first clip of that size.
Result<Done> InitInstance(Workspace& ws, Prompt& prompt, const StartupOptions& options = {});

// The configuration part of start-up (write test, settings, skin); returns the configured
// language code.
int ReadConfiguration(Workspace& ws, Prompt& prompt);
// The layout view's own read of the frame size, which happens before the first document.
void ReadLayoutFrameSize(Workspace& ws);
// The first new document: one clip of frameWidth x frameHeight.
void FirstNewDocument(Workspace& ws);

// Shutdown: writes "Rows" and "cols" from the current frame size and keeps the colour panel
// (its list and choices) for the next start. The per-run folder goes away with the workspace.
void ExitInstance(Workspace& ws);

// Skin commands. Returns what the caller must do.
enum class SkinChange { Nothing, SavedForNextStart, Restart };
SkinChange ChangeSkin(Workspace& ws, Prompt& prompt, int chosenSkin);

// Language commands (codes 1, 2, 3): writes "Language"; true when the program must close
// and start again in the new language.
bool ChangeLanguage(Workspace& ws, int code);
// When the main window goes away: true when the configured language differs from the
// running one, so the program starts itself again.
bool LanguageRestartNeeded(const Workspace& ws);

}  // namespace corv
