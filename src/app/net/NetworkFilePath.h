#pragma once

#include <filesystem>

namespace corv {

class Workspace;

// The line file in use: the one the workspace loaded, else (while no layout is loaded) the
// current clip's, else the one the configuration names; empty when there is none.
std::filesystem::path LineFileInUse(const Workspace& ws);
// The network description of a line file: beside it, with its base name and ".net"
// ("shop.lnf" -> "shop.net"); empty for no line file.
std::filesystem::path NetworkFileOf(const std::filesystem::path& lineFile);
// The network description of the line file in use; empty when no line file is in use.
std::filesystem::path NetworkFileInUse(const Workspace& ws);

}  // namespace corv
