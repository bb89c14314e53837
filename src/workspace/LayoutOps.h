#pragma once

#include <filesystem>

#include "base/Prompt.h"
#include "base/Result.h"
#include "workspace/Workspace.h"

namespace corv {

// The configured default chip code ("DrICtype", 3 when not set).
std::uint8_t DefaultChip(const Workspace& ws);

// Loads the lamp types (built-in and "PinSet.pet") and the display modules of the
// application home.
void LoadLayoutLibraries(Workspace& ws);

// New layout of rows x cols (sphere or plain): clears the lines and the wiring record. When
// the project is a single clip of a single frame, that clip takes the new size (blank).
void NewLayout(Workspace& ws, int rows, int cols, bool sphere);
// The same with the chip the new layout's slaves take.
void NewLayout(Workspace& ws, int rows, int cols, bool sphere, std::uint8_t defaultChip);

// Opens a line file: the layout, wiring and slave groups are replaced and its lamp types
// merged into the program's; the path becomes the configured line file and the current
// clip's line file. A refused file leaves everything as it was and tells the user why.
Result<Done> OpenLineFile(Workspace& ws, Prompt& prompt, const std::filesystem::path& path);

// Saves the layout under `path` with its last four characters replaced by ".lnf"; the path
// becomes the configured line file. Returns the path written.
Result<Done> SaveLineFileAs(Workspace& ws, const std::filesystem::path& path, std::filesystem::path* written = nullptr);

// Changes the lines per slave: every slave's port count follows and the slave groups are
// normalised again.
void SetPortsPerSlave(Workspace& ws, int ports);

}  // namespace corv
