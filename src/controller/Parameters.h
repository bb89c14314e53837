#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "controller/Catalogue.h"
#include "layout/Layout.h"
#include "layout/LightType.h"

namespace corv {

// Controller families.
enum ControllerType : std::uint8_t { kMasterSlave = 0, kSingleController = 1, kSimpleController = 2 };
const char* ControllerTypeName(int type, std::uint8_t language);

// Clock: the divisor v stands for 25 / v MHz.
const std::vector<std::string>& ClockChoices();
int ClockDivisorFromMHz(double mhz);
// The clock rates a divisor can stand for (above 25 MHz the divisor is 1).
inline constexpr double kMinClockMHz = 0.1;
inline constexpr double kMaxClockMHz = 50.0;
std::string ClockText(int divisor);

// Gamma is stored as gamma x 10, 2..100.
int GammaFromValue(double gamma);
std::string GammaText(int stored);

// Gray levels: index i means 2^(i+1) levels.
inline constexpr int kGrayLevels = 16;
std::string GrayLevelText(int index);
// The index of a number of gray levels (2, 4, ... 65536); nullopt for other numbers.
std::optional<int> GrayIndexFromLevels(long long levels);

// The gray index a chip change leaves: the chip's own gray levels where the catalogue gives
// them (a valid number of levels), else `current`. In a list the controller family cut to
// `listSize` entries, a level beyond it becomes index 7 (256 levels), as the family rules do.
int GrayIndexForChip(const ChipCatalogue& catalogue, int chipCode, int current, int listSize = kGrayLevels);

// The line-per-slave choices and their values (index 4 is 8).
inline constexpr int kPortsChoices[] = {1, 2, 3, 4, 8};
bool IsPortsPerSlaveChoice(int ports);

// What the parameter dialog shows after the controller-type rules.
struct ControllerTypeState {
    int grayListSize = kGrayLevels;
    int graySelection = 13;
    bool portsSelectorEnabled = true;
};
// The controller-type rules: stores the type; the single family keeps gray levels up to 512
// (a selection above index 8 becomes 7); the simple family forces 4 lines per slave; with
// more than one line per slave every slave's port count follows it.
ControllerTypeState ApplyControllerType(LineSetting& setting, int type, ControllerTypeState state);

// The ten values the parameter dialog applies.
struct ParameterValues {
    int lightType = 0;
    int chipCode = 3;
    int clockDivisor = 25;
    int brightness = 100;
    int red = 100, green = 100, blue = 100;
    int ports = 1;
    int grayIndex = 13;
    bool reverse = false;
    int gamma = 10;
};
// Writes the values into the selected slaves (0-based); with none selected, into every
// entry from `rowCount` to 255 (the defaults of slaves not shown yet) and returns the
// message the dialog shows then.
std::string ApplyParameters(LineSetting& setting, const ParameterValues& values, const std::vector<int>& selected,
                            int rowCount, std::uint8_t language);

// One row of the slave list: number, lamp type, chip, clock, brightness, gray, reverse,
// ports, red, green, blue, gamma. For the single and simple families an odd gray index is
// first replaced by index 7.
std::vector<std::vector<std::string>> SlaveListRows(LineSetting& setting, const std::vector<LightTypeRecord>& lamps,
                                                    const ChipCatalogue& catalogue, std::uint8_t language);

// The multi-controller list: one row per master, "%d - %d" and the slave count; the last
// master takes the rest (its range is empty when nothing is left).
std::vector<std::pair<std::string, int>> SlaveGroupRows(SlaveGroupList groups, int slaveCount);

// What the parameter dialog starts with: lamp type 0, the chip at list position 0, gray
// index 13, everything else at 100 %, one port, gamma 1.0.
ParameterValues DialogDefaults(const ChipCatalogue& catalogue);
// Column titles of the slave list and of the multi-controller list.
std::vector<std::string> SlaveListColumns(std::uint8_t language);
std::vector<std::string> MultiControllerColumns(std::uint8_t language);
// The gray-level list of a controller family ("2" .. "65536"; up to "512" for the single
// family).
std::vector<std::string> GrayLevelChoices(int controllerType);
// "Port Number:" choices.
std::vector<std::string> PortNumberChoices();

// Multi-controller dialog edits (rows are 0-based; each re-normalises the list).
void AddController(SlaveGroupList& groups, int slaves, int slaveCount);
void RefurbishController(SlaveGroupList& groups, int row, int slaves, int slaveCount);
void DeleteController(SlaveGroupList& groups, int row, int slaveCount);

}  // namespace corv
