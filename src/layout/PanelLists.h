#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace corv {

// The contents and input rules of the line panel, for the sculpt window and the command line.

// "Line and Slaver:" choices: text and lines per slave (1, 2, 3, 4, 8).
std::vector<std::pair<std::string, int>> PortsPerSlaveChoices(std::uint8_t language);
// "LineLimitPixels:" choices: the grid width first, then 170 ... 4096.
std::vector<int> LineLimitChoices(int cols);
// A typed line limit: 0 (or less) keeps the previous limit.
int AcceptLineLimit(int typed, int previous);
// The six connection-mode buttons.
std::vector<std::string> ConnectionModeNames(std::uint8_t language);
// The line list's column titles ("No.", "Count").
std::vector<std::string> LineListColumns(std::uint8_t language);

}  // namespace corv
