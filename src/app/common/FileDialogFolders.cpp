#include "app/common/FileDialogFolders.h"

#include "workspace/Workspace.h"

namespace corv {

QString LastFolder(const Workspace& ws, FileKind kind, const QString& fallback) {
    if (ws.home.empty()) return fallback;
    const std::filesystem::path folder = ReadLastFolder(ws.ConfigPath(), kind);
    return folder.empty() ? fallback : QString::fromStdString(folder.string());
}

void RememberFolder(Workspace& ws, FileKind kind, const QString& chosen) {
    if (ws.home.empty() || chosen.isEmpty()) return;
    WriteLastFolder(ws.ConfigPath(), kind, std::filesystem::path(chosen.toStdString()));
}

}  // namespace corv
