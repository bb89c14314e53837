#pragma once

#include <QString>

#include "workspace/WindowSettings.h"

namespace corv {

class Workspace;

// Every file dialog of the program opens in the folder last used for its kind of file, else in
// `fallback`; a file (or folder) the user chose there becomes the kind's last folder. Kept in
// the configuration, so the next start opens where the user left off.
QString LastFolder(const Workspace& ws, FileKind kind, const QString& fallback = {});
void RememberFolder(Workspace& ws, FileKind kind, const QString& chosen);

}  // namespace corv
