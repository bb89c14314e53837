#pragma once

namespace corv {

// What the line panel sets for the tools: the current line, the line limit and the connection
// mode (the module is the module list's current entry).
struct LinePanelState {
    int currentLine = 0;
    int lineLimit = 4096;
    int connectionMode = 2;
};

}  // namespace corv
