#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/Progress.h"
#include "base/Result.h"
#include "base/Text.h"
#include "controller/LedFile.h"

namespace corv {

// The power and timing budget of every port: how much current each line, slave, master and
// the whole installation draws over a range of frames, and how fast each line can show them.
//
// Current of one LED in one frame: the sum over its colour components (the pins of its lamp
// type) of (output level / full scale) x the component's current at full level, plus the
// LED's idle current. The output level is the one the controller file carries: the table of
// the slave's gamma, brightness and chip (BuildGammaTable, full scale 255, 1023 or 4095),
// times the slave's colour balance (its red, green, blue percentages, up to 100) as the live
// output applies it. A line is the sum of its LEDs (every point of the line draws its idle
// current, a point outside the grid at level 0), a slave of its lines, a master of its slaves
// (PlanMasterFiles), the total of everything. Peak: the largest over the frames; mean: the
// average. Watts: amps x the slave's supply volts.
//
// Highest frame rate of a line: 1 / (n x bitsPerLed / clock + reset): n the line's LEDs,
// bitsPerLed the bits its chip's packing sends a channel (ChipBitsPerChannel) times the
// channels of an LED (the lamp type's pins over the LEDs they drive), clock the slave's
// (SlaveClockHz), reset the chip's gap after a frame (ChipCatalogue::ResetMicros; none for
// chips with a clock line). A slave's rate is its slowest line's, a master's its slowest
// slave's.

// The per-lamp-type current is a side setting: the lamp-type file's records have no room for
// it (every byte of the 243 is used), so it is kept in this profile file of the application
// home, section "main", a key a lamp type (its name, compared without regard to case) with the
// milliamps of one colour component at full level ("Strip 60=12.5").
inline constexpr const char* kLampCurrentFileName = "LampCurrent.ini";
inline constexpr double kDefaultComponentMilliamps = 20;
inline constexpr double kDefaultIdleMilliamps = 1;
inline constexpr double kDefaultSupplyVolts = 5;

// The lamp types' own currents (names in lower case); entries that are not a number of 0 or
// more are left out. A missing file gives none.
std::map<std::string, double> ReadLampMilliamps(const std::filesystem::path& file);
// Stores a lamp type's current; the failure names the file and the reason.
Result<Done> WriteLampMilliamps(const std::filesystem::path& file, const std::string& lampName, double milliamps);

// The supply of each slave where it differs from the common one: a profile file beside the
// line file, with its base name and ".power" ("shop.lnf": "shop.power"), a section a slave
// ("[Slave3]", 1-based as the slaves are shown) with its volts ("Volts=12"). Slaves not in
// it, and values that are not a number above 0, take the common supply (entry 0).
std::filesystem::path PowerFileOf(const std::filesystem::path& lineFile);
// LineSetting::kSlaves entries (0: the common supply); none for a missing file.
std::vector<double> ReadSlaveVolts(const std::filesystem::path& file);

struct BudgetOptions {
    double componentMilliamps = kDefaultComponentMilliamps;  // lamp types without their own
    std::map<std::string, double> lampMilliamps;             // by lamp-type name in lower case
    double idleMilliamps = kDefaultIdleMilliamps;            // every LED, lit or not
    double volts = kDefaultSupplyVolts;
    // The supply of slave k (0-based) where it differs; entries past the end or 0: `volts`.
    // The slave records of the line file have no room for it either.
    std::vector<double> slaveVolts;
    double fps = 20;                 // the show's speed: slower lines are warned of
    std::optional<double> fuseAmps;  // lines and slaves that peak above it are warned of
};

// The values of the options, for the messages of a refusal.
enum class BudgetValue { Milliamps, IdleMilliamps, Volts, Fps, FuseAmps };
struct BadBudgetValue {
    BudgetValue value = BudgetValue::Volts;
    double given = 0;
    bool mustBeAboveZero = false;  // else: must be 0 or more
};
// The first value that is not usable: NaN or infinite anywhere; a current below 0; volts, fps
// or the fuse 0 or below (a slave's volts 0 stands for `volts`).
std::optional<BadBudgetValue> CheckBudgetOptions(const BudgetOptions& options);
// kNeedsAboveZero or kNeedsZeroOrMore of the catalogue, and the name of the value (for %1
// where no option names it).
const Text& BadBudgetValueMessage(const BadBudgetValue& bad);
const Text& BudgetValueName(BudgetValue value);

struct LineBudget {
    int line = 0;   // 1-based
    int slave = 0;  // 1-based
    std::size_t leds = 0;
    double peakAmps = 0, meanAmps = 0, peakWatts = 0, maxFps = 0;
    double bitsPerLed = 0, clockHz = 0, resetSeconds = 0;  // what maxFps comes from
};
struct SlaveBudget {
    int slave = 0;   // 1-based
    int master = 0;  // 1-based
    std::vector<int> lines;
    double volts = 0;
    double peakAmps = 0, meanAmps = 0, peakWatts = 0, maxFps = 0;
};
struct MasterBudget {
    int master = 0;  // 1-based: the number of its controller file
    std::vector<int> slaves;
    double peakAmps = 0, meanAmps = 0, peakWatts = 0, maxFps = 0;
};
struct BudgetTotal {
    double peakAmps = 0, meanAmps = 0, peakWatts = 0;
};
struct BudgetWarning {
    enum Kind { LineTooSlow, LineOverFuse, SlaveOverFuse } kind = LineTooSlow;
    int number = 0;     // the line or the slave
    double value = 0;   // its max fps or peak amps
    double limit = 0;   // the show's fps or the fuse's amps
};
// The warning's catalogue message and its values (%1 the number, %2 the value, %3 the limit).
const Text& BudgetWarningMessage(const BudgetWarning& warning);
std::vector<std::string> BudgetWarningValues(const BudgetWarning& warning);
std::string BudgetWarningText(const BudgetWarning& warning, std::uint8_t language);

// Lines without LEDs are left out, and so are slaves and masters without such lines; the rest
// in number order. Warnings: each line (too slow, then over the fuse) in line order, then each
// slave over the fuse; a value equal to its limit is no warning.
struct PowerBudget {
    std::vector<LineBudget> lines;
    std::vector<SlaveBudget> slaves;
    std::vector<MasterBudget> masters;
    BudgetTotal total;
    std::vector<BudgetWarning> warnings;
    std::size_t frames = 0;
};

// Bits a packing sends a channel on one line, by family (0 master-slave, 1 single, 2 simple),
// chip code and the slave's gray/reverse byte: 8 for the plain packings; 16 for the 12-bit
// chips of the master-slave family (104, 117); 32 / 3 for the 32-bit words of 108 and 110;
// 16 / 3 for the 15-bit colour of 102; 8 for 103 (7 bits and a marker); the gray planes (1..8)
// for the bit-plane chips 2 and 3 of the single family; 11 for DMX512 (19: a start bit, eight
// data bits and two stop bits).
double ChipBitsPerChannel(int controllerType, int chipCode, std::uint8_t grayReverse);
// The slave's clock setting in Hz: the divisor v stands for 25 / v MHz (above 250: 0.05 MHz),
// as the parameter dialog shows it.
double SlaveClockHz(int divisor);
// 1 / (leds x bitsPerLed / clockHz + resetSeconds); infinite when that time is 0.
double LineMaxFps(std::size_t leds, double bitsPerLed, double clockHz, double resetSeconds);

// The budget of frames first .. end - 1 of `frames`, through `in.layout`, `in.lamps` and
// `in.catalogue` (none: DefaultChipResetMicros) for frames of `in.frame`; the work is split
// over two threads by frame range when the source forks. The failure (with the frame's number
// as its reason) when a frame cannot be had; options are taken as they are (CheckBudgetOptions
// is the caller's).
Result<PowerBudget> ComputePowerBudget(const WriterInput& in, FrameSource& frames, std::size_t first, std::size_t end,
                                       const BudgetOptions& options, const ProgressFn& progress = {});

// The current of every LED of one frame, by the rules above: each line with LEDs (in number
// order) with its LEDs' milliamps in wiring order (idle current included) and their sum.
struct LineLedCurrents {
    int line = 0;  // 1-based
    std::vector<double> milliamps;
    double amps = 0;
};
std::vector<LineLedCurrents> FrameLedCurrents(const WriterInput& in, const Frame& frame, const BudgetOptions& options);
// The most one LED of a lamp type can draw: every component at full level, plus the idle
// current (0 for a lamp type without pins).
double FullLedMilliamps(const LightTypeRecord& lamp, const BudgetOptions& options);

}  // namespace corv
