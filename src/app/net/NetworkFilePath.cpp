#include "app/net/NetworkFilePath.h"

#include "workspace/Workspace.h"

namespace corv {

std::filesystem::path LineFileInUse(const Workspace& ws) {
    if (!ws.lineFilePath.empty()) return ws.lineFilePath;
    // A layout with lines that came from no file (made in the sculpt window, not saved yet).
    if (ws.layout.setting.lineCount != 0) return {};
    if (ws.frames.HasCurrent() && !ws.frames.CurrentClip().lineFilePath.empty()) {
        return ws.frames.CurrentClip().lineFilePath;
    }
    return ws.app.lineFile;
}

std::filesystem::path NetworkFileOf(const std::filesystem::path& lineFile) {
    if (lineFile.empty()) return {};
    std::filesystem::path file = lineFile;
    file.replace_extension(".net");
    return file;
}

std::filesystem::path NetworkFileInUse(const Workspace& ws) { return NetworkFileOf(LineFileInUse(ws)); }

}  // namespace corv
