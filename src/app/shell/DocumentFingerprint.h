#pragma once

#include <cstdint>

namespace corv {

class Workspace;

// A digest of what a document stores (clips and their frames, grid scales, design canvas,
// layers and music). The main window takes one when a document is opened, made or saved;
// a different digest later means the document has changes that are not saved.
std::uint64_t DocumentFingerprint(const Workspace& ws);

}  // namespace corv
