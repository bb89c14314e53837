#include "workspace/LayoutOps.h"

#include "base/FileUtil.h"

#include <algorithm>

#include "controller/LampTypes.h"
#include "layout/LineFile.h"
#include "project/NewDocument.h"
#include "workspace/Settings.h"

namespace corv {

std::uint8_t DefaultChip(const Workspace& ws) {
    const int chip = ws.config ? ws.config->GetInt(keys::kDrICtype, 3) : 3;
    return static_cast<std::uint8_t>(chip < 0 || chip > 255 ? 3 : chip);
}

void LoadLayoutLibraries(Workspace& ws) {
    ws.lampTypes = LoadLampTypes(ws.home / kPinSetFileName);
    ws.modules.Load(ws.home / kModuleFileName);
}

void NewLayout(Workspace& ws, int rows, int cols, bool sphere) { NewLayout(ws, rows, cols, sphere, DefaultChip(ws)); }

void NewLayout(Workspace& ws, int rows, int cols, bool sphere, std::uint8_t defaultChip) {
    ws.layout.New(rows, cols, sphere, defaultChip);
    ws.layout.slaveGroups.clear();
    ws.layout.RecomputeLineCount();
    // A clip cannot be larger than a frame side allows; then the project keeps its size.
    if (ws.frames.Count() == 1 && ws.frames.clip(0).frames.size() == 1 && ws.layout.grid.cols <= kMaxFrameSide &&
        ws.layout.grid.rows <= kMaxFrameSide) {
        Clip& clip = ws.frames.clip(0);
        clip.width = ws.layout.grid.cols;
        clip.height = ws.layout.grid.rows;
        clip.frames[0] = Frame(clip.width, clip.height);
        ws.app.currentFrame = 0;
        ws.app.frameWidth = static_cast<std::int16_t>(clip.width);
        ws.app.frameHeight = static_cast<std::int16_t>(clip.height);
    }
}

namespace {
void RememberLineFile(Workspace& ws, const std::filesystem::path& path) {
    ws.lineFilePath = path;
    ws.app.lineFile = path.string();
    if (ws.config) {
        ws.config->WriteString(linefile::kConfigKey, path.string());
    }
    if (ws.frames.HasCurrent()) {
        ws.frames.CurrentClip().lineFilePath = path.string().substr(0, Clip::kLineFilePathBuffer - 1);
    }
}
}  // namespace

Result<Done> OpenLineFile(Workspace& ws, Prompt& prompt, const std::filesystem::path& path) {
    const Result<Done> loaded = LoadLineFile(path, ws.layout, ws.lampTypes, DefaultChip(ws));
    const LineFileError e = LineFileErrorOf(loaded);
    if (e == LineFileError::OpenFailed) {
        return Failure{0, texts::kOpenFileFail, {}, {}};  // not reported to the user
    }
    if (e == LineFileError::Unsupported) {
        prompt.Inform(ws.strings.badFileVersion, PromptIcon::Warning);
        return Failure{0, ws.strings.badFileVersion, {}, {}};
    }
    if (e == LineFileError::GridTooLarge) {
        prompt.Inform(loaded.failure().reason, PromptIcon::Warning);
        return Failure{0, loaded.failure().reason, {}, {}};
    }
    RememberLineFile(ws, path);
    return Done{};
}

Result<Done> SaveLineFileAs(Workspace& ws, const std::filesystem::path& path, std::filesystem::path* written) {
    const std::filesystem::path target = LineFilePathFor(path);
    if (!SaveLineFile(target, ws.layout, ws.lampTypes)) {
        return Failure{0, texts::kSaveFileFail, {}, {}};
    }
    RememberLineFile(ws, target);
    if (written) {
        *written = target;
    }
    return Done{};
}

void SetPortsPerSlave(Workspace& ws, int ports) {
    ws.layout.setting.SetPortsPerSlave(static_cast<std::uint8_t>(std::clamp(ports, 1, 255)));
    ws.layout.MarkChanged();
    NormaliseSlaveGroups(ws.layout.slaveGroups, ws.layout.setting.SlaveCount());
}

}  // namespace corv
