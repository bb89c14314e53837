#include "controller/Budget.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <system_error>
#include <thread>

#include "base/ProfileFile.h"
#include "controller/ChannelMap.h"
#include "lang/Render.h"
#include "lang/messages/BudgetMessages.h"

namespace corv {

namespace {

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::optional<double> ParseNumber(const std::string& text) {
    double v = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, v);
    if (ec != std::errc() || ptr != end || !std::isfinite(v)) return std::nullopt;
    return v;
}

// A number as the warnings show it: up to four decimals, no trailing zeros.
std::string Number(double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%.4f", v);
    std::string s = text;
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
}

const LightTypeRecord& LampOf(const std::vector<LightTypeRecord>& lamps, std::uint8_t index) {
    static const LightTypeRecord kRgb = BuiltInLightTypes()[0];
    return index < lamps.size() ? lamps[index] : (lamps.empty() ? kRgb : lamps[0]);
}

// Level x balance percentage of each frame byte: one table a slave and colour component.
using CurrentTable = std::array<std::uint32_t, 256>;

// One line as the frame loop reads it: the frame bytes of its channels a colour component
// each (component c reads tables[c]); its current in mA is sum x scale / 100 + idle.
struct PlanLine {
    std::size_t slave = 0;  // index into PlanSlave
    std::array<std::vector<std::uint32_t>, 3> sources;
    std::array<const CurrentTable*, 3> tables{};
    double milliamps = 0;  // of a component at full level
    double fullScale = 255;
    double idleMilliamps = 0;  // of the whole line
};
struct PlanSlave {
    std::size_t master = 0;  // index into the masters
    double volts = 0;
    std::vector<std::size_t> lines;  // indices into PlanLine
};
struct Plan {
    std::vector<PlanLine> lines;
    std::vector<PlanSlave> slaves;
    std::size_t masters = 0;
    std::vector<std::unique_ptr<CurrentTable>> tables;
    std::uint32_t largestSource = 0;
};

// What one worker adds up over its frames.
struct Sums {
    explicit Sums(const Plan& plan)
        : linePeak(plan.lines.size()), lineSum(plan.lines.size()), slavePeak(plan.slaves.size()),
          slaveSum(plan.slaves.size()), masterPeak(plan.masters), masterSum(plan.masters),
          masterWatts(plan.masters) {}
    std::vector<double> linePeak, lineSum, slavePeak, slaveSum, masterPeak, masterSum, masterWatts;
    double totalPeak = 0, totalSum = 0, totalWatts = 0;
    std::size_t frames = 0;
    long long unreadable = -1;  // a frame that could not be had
};

CurrentTable MakeTable(const LineSetting& s, std::size_t slave, int component) {
    const GammaTable gamma = BuildGammaTable(s.gamma[slave], s.brightness[slave], s.icType[slave], s.controllerType);
    const int balances[3] = {s.blue[slave], s.green[slave], s.red[slave]};
    const auto percent = static_cast<std::uint32_t>(std::clamp(balances[component], 0, 100));
    CurrentTable t{};
    for (std::size_t i = 0; i < 256; ++i) t[i] = static_cast<std::uint32_t>(gamma[i]) * percent;
    return t;
}

double SlaveVolts(const BudgetOptions& options, std::size_t slave) {
    return slave < options.slaveVolts.size() && options.slaveVolts[slave] > 0 ? options.slaveVolts[slave]
                                                                               : options.volts;
}

double LampMilliamps(const BudgetOptions& options, const LightTypeRecord& lamp) {
    auto it = options.lampMilliamps.find(Lower(lamp.Name()));
    return it != options.lampMilliamps.end() ? it->second : options.componentMilliamps;
}

// The master of every slave (index into the masters that have slaves with LEDs, in order).
std::vector<int> MasterOfSlaves(const Layout& layout) {
    std::vector<int> master(LineSetting::kSlaves, 0);
    const std::vector<MasterFile> files = PlanMasterFiles(layout, "budget.led");
    for (std::size_t m = 0; m < files.size(); ++m) {
        for (int k = files[m].firstSlave; k < files[m].firstSlave + files[m].slaves; ++k) {
            if (k >= 0 && k < static_cast<int>(LineSetting::kSlaves)) master[static_cast<std::size_t>(k)] = static_cast<int>(m);
        }
    }
    return master;
}

// The channels of one line, a lamp unit at a time, as the channel layouts read them.
void AddChannels(const Layout& layout, const Line& line, const LightTypeRecord& lamp, FrameShape frame, PlanLine& out,
                 std::uint32_t& largest) {
    const std::size_t pins = std::min<std::size_t>(lamp.pinCount, LightTypeRecord::kMaxPins);
    const std::size_t unitLeds = static_cast<std::size_t>(LampPixels(lamp));
    const std::size_t units = (line.size() + unitLeds - 1) / unitLeds;
    const bool frameEmpty = frame.rows <= 0 || frame.cols <= 0;
    for (std::size_t u = 0; u < units && !frameEmpty; ++u) {
        for (std::size_t m = 0; m < pins; ++m) {
            const std::uint8_t v = lamp.pins[m];
            const std::size_t led = u * unitLeds + v / 3;
            if (v == LightTypeRecord::kNotConnected || led >= line.size() ||
                !layout.grid.Contains(PointRow(line[led]), PointCol(line[led]))) {
                continue;
            }
            const std::uint32_t source = LedPixelOffset(layout.grid, frame, line[led]) + v % 3;
            out.sources[v % 3].push_back(source);
            largest = std::max(largest, source);
        }
    }
}

// The plan and the budget's rows without their sums (lines, slaves and masters with LEDs).
Plan MakePlan(const WriterInput& in, const BudgetOptions& options, PowerBudget& budget) {
    const Layout& layout = *in.layout;
    const LineSetting& s = layout.setting;
    Plan plan;
    std::map<std::size_t, std::size_t> tableOf;     // slave x 3 + component -> plan.tables
    std::map<std::size_t, std::size_t> slaveOf;     // slave -> plan.slaves
    std::map<int, std::size_t> masterOf;            // master file -> plan masters
    const std::vector<int> masterOfSlave = MasterOfSlaves(layout);
    const int perSlave = std::max<int>(s.portsPerSlave, 1);
    for (int index = 0; index < kLineCount; ++index) {
        const Line& line = layout.lines[static_cast<std::size_t>(index)];
        if (line.empty()) continue;
        const std::size_t k = std::min<std::size_t>(static_cast<std::size_t>(index / perSlave), LineSetting::kSlaves - 1);
        const LightTypeRecord& lamp = LampOf(*in.lamps, s.lightType[k]);
        auto slaveIt = slaveOf.find(k);
        if (slaveIt == slaveOf.end()) {
            const int file = masterOfSlave[k];
            auto masterIt = masterOf.emplace(file, masterOf.size()).first;
            slaveIt = slaveOf.emplace(k, plan.slaves.size()).first;
            plan.slaves.push_back({masterIt->second, SlaveVolts(options, k), {}});
            SlaveBudget row;
            row.slave = static_cast<int>(k) + 1;
            row.master = file + 1;
            row.volts = plan.slaves.back().volts;
            budget.slaves.push_back(row);
            if (masterIt->second == budget.masters.size()) {
                MasterBudget master;
                master.master = file + 1;
                budget.masters.push_back(master);
            }
            budget.masters[masterIt->second].slaves.push_back(row.slave);
        }
        PlanLine pl;
        pl.slave = slaveIt->second;
        pl.milliamps = LampMilliamps(options, lamp);
        pl.fullScale = std::max<double>(BuildGammaTable(10, 100, s.icType[k], s.controllerType)[255], 1);
        pl.idleMilliamps = options.idleMilliamps * static_cast<double>(line.size());
        AddChannels(layout, line, lamp, in.frame, pl, plan.largestSource);
        for (int c = 0; c < 3; ++c) {
            auto it = tableOf.find(k * 3 + static_cast<std::size_t>(c));
            if (it == tableOf.end()) {
                plan.tables.push_back(std::make_unique<CurrentTable>(MakeTable(s, k, c)));
                it = tableOf.emplace(k * 3 + static_cast<std::size_t>(c), plan.tables.size() - 1).first;
            }
            pl.tables[static_cast<std::size_t>(c)] = plan.tables[it->second].get();
        }
        plan.slaves[pl.slave].lines.push_back(plan.lines.size());
        budget.slaves[pl.slave].lines.push_back(index + 1);

        LineBudget row;
        row.line = index + 1;
        row.slave = static_cast<int>(k) + 1;
        row.leds = line.size();
        const int unitLeds = LampPixels(lamp);
        const double channelsPerLed = static_cast<double>(std::min<std::size_t>(lamp.pinCount, LightTypeRecord::kMaxPins)) /
                                      static_cast<double>(unitLeds);
        row.bitsPerLed = ChipBitsPerChannel(s.controllerType, s.icType[k], s.grayReverse[k]) * channelsPerLed;
        row.clockHz = SlaveClockHz(s.clock[k]);
        const int reset = in.catalogue ? in.catalogue->ResetMicros(s.icType[k]) : DefaultChipResetMicros(s.icType[k]);
        row.resetSeconds = static_cast<double>(reset) * 1e-6;
        row.maxFps = LineMaxFps(row.leds, row.bitsPerLed, row.clockHz, row.resetSeconds);
        budget.lines.push_back(row);
        plan.lines.push_back(std::move(pl));
    }
    plan.masters = budget.masters.size();
    return plan;
}

// Sum x scale over one colour component of a line.
std::uint64_t ComponentSum(const std::vector<std::uint32_t>& sources, const CurrentTable& table,
                           const std::uint8_t* bytes, std::size_t size, bool inside) {
    const std::uint32_t* src = sources.data();
    const std::uint32_t* t = table.data();
    const std::size_t n = sources.size();
    std::uint64_t a = 0, b = 0;
    if (inside) {
        std::size_t i = 0;
        for (; i + 2 <= n; i += 2) {
            a += t[bytes[src[i]]];
            b += t[bytes[src[i + 1]]];
        }
        if (i < n) a += t[bytes[src[i]]];
        return a + b;
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (src[i] < size) a += t[bytes[src[i]]];
    }
    return a;
}

// One frame added to the sums.
void AddFrame(const Plan& plan, const Frame& frame, Sums& sums, std::vector<double>& lineAmps,
              std::vector<double>& slaveAmps, std::vector<double>& masterAmps, std::vector<double>& masterWatts) {
    const std::uint8_t* bytes = frame.data();
    const std::size_t size = bytes ? frame.size() : 0;
    const bool inside = bytes != nullptr && plan.largestSource < size;
    std::fill(slaveAmps.begin(), slaveAmps.end(), 0.0);
    std::fill(masterAmps.begin(), masterAmps.end(), 0.0);
    std::fill(masterWatts.begin(), masterWatts.end(), 0.0);
    for (std::size_t l = 0; l < plan.lines.size(); ++l) {
        const PlanLine& line = plan.lines[l];
        std::uint64_t sum = 0;
        if (size > 0) {
            for (std::size_t c = 0; c < 3; ++c) sum += ComponentSum(line.sources[c], *line.tables[c], bytes, size, inside);
        }
        const double milliamps =
            static_cast<double>(sum) * line.milliamps / (line.fullScale * 100.0) + line.idleMilliamps;
        lineAmps[l] = milliamps / 1000.0;
        slaveAmps[line.slave] += lineAmps[l];
    }
    double total = 0, totalWatts = 0;
    for (std::size_t k = 0; k < plan.slaves.size(); ++k) {
        const std::size_t m = plan.slaves[k].master;
        masterAmps[m] += slaveAmps[k];
        masterWatts[m] += slaveAmps[k] * plan.slaves[k].volts;
    }
    for (std::size_t m = 0; m < plan.masters; ++m) {
        total += masterAmps[m];
        totalWatts += masterWatts[m];
    }
    for (std::size_t l = 0; l < lineAmps.size(); ++l) {
        sums.linePeak[l] = std::max(sums.linePeak[l], lineAmps[l]);
        sums.lineSum[l] += lineAmps[l];
    }
    for (std::size_t k = 0; k < slaveAmps.size(); ++k) {
        sums.slavePeak[k] = std::max(sums.slavePeak[k], slaveAmps[k]);
        sums.slaveSum[k] += slaveAmps[k];
    }
    for (std::size_t m = 0; m < plan.masters; ++m) {
        sums.masterPeak[m] = std::max(sums.masterPeak[m], masterAmps[m]);
        sums.masterSum[m] += masterAmps[m];
        sums.masterWatts[m] = std::max(sums.masterWatts[m], masterWatts[m]);
    }
    sums.totalPeak = std::max(sums.totalPeak, total);
    sums.totalSum += total;
    sums.totalWatts = std::max(sums.totalWatts, totalWatts);
    ++sums.frames;
}

// Frames a .. b - 1 of `source` into `sums`; progress (when given) over `count` frames.
void Work(const Plan& plan, FrameSource& source, std::size_t a, std::size_t b, std::size_t count, Sums& sums,
          const ProgressFn* progress) {
    std::vector<double> lineAmps(plan.lines.size()), slaveAmps(plan.slaves.size()), masterAmps(plan.masters),
        masterWatts(plan.masters);
    for (std::size_t f = a; f < b; ++f) {
        const Frame* frame = source.Get(f);
        if (!frame) {
            sums.unreadable = static_cast<long long>(f);
            return;
        }
        AddFrame(plan, *frame, sums, lineAmps, slaveAmps, masterAmps, masterWatts);
        if (progress) ReportProgress(*progress, PercentDone(f - a + 1, count));
    }
}

void Merge(Sums& into, const Sums& from) {
    for (std::size_t i = 0; i < into.linePeak.size(); ++i) {
        into.linePeak[i] = std::max(into.linePeak[i], from.linePeak[i]);
        into.lineSum[i] += from.lineSum[i];
    }
    for (std::size_t i = 0; i < into.slavePeak.size(); ++i) {
        into.slavePeak[i] = std::max(into.slavePeak[i], from.slavePeak[i]);
        into.slaveSum[i] += from.slaveSum[i];
    }
    for (std::size_t i = 0; i < into.masterPeak.size(); ++i) {
        into.masterPeak[i] = std::max(into.masterPeak[i], from.masterPeak[i]);
        into.masterSum[i] += from.masterSum[i];
        into.masterWatts[i] = std::max(into.masterWatts[i], from.masterWatts[i]);
    }
    into.totalPeak = std::max(into.totalPeak, from.totalPeak);
    into.totalSum += from.totalSum;
    into.totalWatts = std::max(into.totalWatts, from.totalWatts);
    into.frames += from.frames;
    if (into.unreadable < 0) into.unreadable = from.unreadable;
}

// The sums into the rows, the slowest lines into their slaves and masters, and the warnings.
void Finish(const Plan& plan, const Sums& sums, const BudgetOptions& options, PowerBudget& budget) {
    const double frames = static_cast<double>(std::max<std::size_t>(sums.frames, 1));
    budget.frames = sums.frames;
    for (std::size_t l = 0; l < budget.lines.size(); ++l) {
        LineBudget& row = budget.lines[l];
        const PlanLine& line = plan.lines[l];
        row.peakAmps = sums.linePeak[l];
        row.meanAmps = sums.lineSum[l] / frames;
        row.peakWatts = row.peakAmps * plan.slaves[line.slave].volts;
        SlaveBudget& slave = budget.slaves[line.slave];
        slave.maxFps = slave.lines.front() == row.line ? row.maxFps : std::min(slave.maxFps, row.maxFps);
    }
    for (std::size_t k = 0; k < budget.slaves.size(); ++k) {
        SlaveBudget& row = budget.slaves[k];
        row.peakAmps = sums.slavePeak[k];
        row.meanAmps = sums.slaveSum[k] / frames;
        row.peakWatts = row.peakAmps * row.volts;
        MasterBudget& master = budget.masters[plan.slaves[k].master];
        master.maxFps = master.slaves.front() == row.slave ? row.maxFps : std::min(master.maxFps, row.maxFps);
    }
    for (std::size_t m = 0; m < budget.masters.size(); ++m) {
        budget.masters[m].peakAmps = sums.masterPeak[m];
        budget.masters[m].meanAmps = sums.masterSum[m] / frames;
        budget.masters[m].peakWatts = sums.masterWatts[m];
    }
    budget.total = {sums.totalPeak, sums.totalSum / frames, sums.totalWatts};
    for (const LineBudget& row : budget.lines) {
        if (row.maxFps < options.fps) {
            budget.warnings.push_back({BudgetWarning::LineTooSlow, row.line, row.maxFps, options.fps});
        }
        if (options.fuseAmps && row.peakAmps > *options.fuseAmps) {
            budget.warnings.push_back({BudgetWarning::LineOverFuse, row.line, row.peakAmps, *options.fuseAmps});
        }
    }
    for (const SlaveBudget& row : budget.slaves) {
        if (options.fuseAmps && row.peakAmps > *options.fuseAmps) {
            budget.warnings.push_back({BudgetWarning::SlaveOverFuse, row.slave, row.peakAmps, *options.fuseAmps});
        }
    }
}

}  // namespace

std::filesystem::path PowerFileOf(const std::filesystem::path& lineFile) {
    if (lineFile.empty()) return {};
    std::filesystem::path file = lineFile;
    return file.replace_extension(".power");
}

std::vector<double> ReadSlaveVolts(const std::filesystem::path& file) {
    std::error_code ec;
    if (file.empty() || !std::filesystem::is_regular_file(file, ec)) return {};
    const ProfileFile profile(file, "Slave1");
    std::vector<double> volts(LineSetting::kSlaves, 0.0);
    bool any = false;
    for (const std::string& section : profile.Sections()) {
        const std::string lower = Lower(section);
        if (lower.rfind("slave", 0) != 0) continue;
        const std::string number = lower.substr(5);
        if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos || number.size() > 3) continue;
        const int slave = std::stoi(number);
        if (slave < 1 || slave > static_cast<int>(LineSetting::kSlaves)) continue;
        const auto v = ParseNumber(profile.InSection(section).GetString("Volts"));
        if (!v || !std::isfinite(*v) || *v <= 0) continue;
        volts[static_cast<std::size_t>(slave - 1)] = *v;
        any = true;
    }
    if (!any) volts.clear();
    return volts;
}

std::map<std::string, double> ReadLampMilliamps(const std::filesystem::path& file) {
    std::map<std::string, double> out;
    for (const auto& [name, value] : ProfileFile(file, "main").Values()) {
        if (auto v = ParseNumber(value); v && *v >= 0) out[Lower(name)] = *v;
    }
    return out;
}

Result<Done> WriteLampMilliamps(const std::filesystem::path& file, const std::string& lampName, double milliamps) {
    ProfileFile profile(file, "main");
    return profile.WriteString(lampName, Number(milliamps));
}

std::optional<BadBudgetValue> CheckBudgetOptions(const BudgetOptions& o) {
    const auto bad = [](double v, bool aboveZero) { return !std::isfinite(v) || v < 0 || (aboveZero && v == 0); };
    if (bad(o.componentMilliamps, false)) return BadBudgetValue{BudgetValue::Milliamps, o.componentMilliamps, false};
    for (const auto& [name, v] : o.lampMilliamps) {
        if (bad(v, false)) return BadBudgetValue{BudgetValue::Milliamps, v, false};
    }
    if (bad(o.idleMilliamps, false)) return BadBudgetValue{BudgetValue::IdleMilliamps, o.idleMilliamps, false};
    if (bad(o.volts, true)) return BadBudgetValue{BudgetValue::Volts, o.volts, true};
    for (const double v : o.slaveVolts) {
        if (bad(v, false)) return BadBudgetValue{BudgetValue::Volts, v, true};
    }
    if (bad(o.fps, true)) return BadBudgetValue{BudgetValue::Fps, o.fps, true};
    if (o.fuseAmps && bad(*o.fuseAmps, true)) return BadBudgetValue{BudgetValue::FuseAmps, *o.fuseAmps, true};
    return std::nullopt;
}

const Text& BadBudgetValueMessage(const BadBudgetValue& bad) {
    return bad.mustBeAboveZero ? msg::budget::kNeedsAboveZero : msg::budget::kNeedsZeroOrMore;
}

const Text& BudgetValueName(BudgetValue value) {
    switch (value) {
        case BudgetValue::Milliamps:
            return msg::budget::kValueMilliamps;
        case BudgetValue::IdleMilliamps:
            return msg::budget::kValueIdleMilliamps;
        case BudgetValue::Volts:
            return msg::budget::kValueVolts;
        case BudgetValue::Fps:
            return msg::budget::kValueFps;
        case BudgetValue::FuseAmps:
            break;
    }
    return msg::budget::kValueFuseAmps;
}

const Text& BudgetWarningMessage(const BudgetWarning& warning) {
    switch (warning.kind) {
        case BudgetWarning::LineTooSlow:
            return msg::budget::kLineTooSlow;
        case BudgetWarning::LineOverFuse:
            return msg::budget::kLineOverFuse;
        case BudgetWarning::SlaveOverFuse:
            break;
    }
    return msg::budget::kSlaveOverFuse;
}

std::vector<std::string> BudgetWarningValues(const BudgetWarning& warning) {
    return {std::to_string(warning.number), Number(warning.value), Number(warning.limit)};
}

std::string BudgetWarningText(const BudgetWarning& warning, std::uint8_t language) {
    const std::vector<std::string> v = BudgetWarningValues(warning);
    return Render(BudgetWarningMessage(warning), language, {v[0], v[1], v[2]});
}

double ChipBitsPerChannel(int family, int chip, std::uint8_t grayReverse) {
    if (chip == 19) return 11;
    if (chip == 108 || chip == 110) return 32.0 / 3.0;
    if (family == 0) return chip == 104 || chip == 117 ? 16 : 8;
    if (chip == 102) return 16.0 / 3.0;
    if (family == 1 && (chip == 2 || chip == 3)) return std::min(grayReverse & 0x0F, 7) + 1;
    return 8;
}

double SlaveClockHz(int divisor) { return divisor > 250 ? 50e3 : 25e6 / std::max(divisor, 1); }

double LineMaxFps(std::size_t leds, double bitsPerLed, double clockHz, double resetSeconds) {
    const double seconds = static_cast<double>(leds) * bitsPerLed / clockHz + resetSeconds;
    return seconds > 0 ? 1.0 / seconds : std::numeric_limits<double>::infinity();
}

std::vector<LineLedCurrents> FrameLedCurrents(const WriterInput& in, const Frame& frame, const BudgetOptions& options) {
    const Layout& layout = *in.layout;
    const LineSetting& s = layout.setting;
    const int perSlave = std::max<int>(s.portsPerSlave, 1);
    const std::uint8_t* bytes = frame.data();
    const std::size_t size = bytes ? frame.size() : 0;
    std::vector<LineLedCurrents> out;
    for (int index = 0; index < kLineCount; ++index) {
        const Line& line = layout.lines[static_cast<std::size_t>(index)];
        if (line.empty()) continue;
        const std::size_t k = std::min<std::size_t>(static_cast<std::size_t>(index / perSlave), LineSetting::kSlaves - 1);
        const LightTypeRecord& lamp = LampOf(*in.lamps, s.lightType[k]);
        const std::array<CurrentTable, 3> tables{MakeTable(s, k, 0), MakeTable(s, k, 1), MakeTable(s, k, 2)};
        const double fullScale = std::max<double>(BuildGammaTable(10, 100, s.icType[k], s.controllerType)[255], 1);
        const double scale = LampMilliamps(options, lamp) / (fullScale * 100.0);
        LineLedCurrents currents;
        currents.line = index + 1;
        currents.milliamps.assign(line.size(), options.idleMilliamps);
        // The pins of each lamp unit, as the budget's channels read them.
        const std::size_t pins = std::min<std::size_t>(lamp.pinCount, LightTypeRecord::kMaxPins);
        const std::size_t unitLeds = static_cast<std::size_t>(LampPixels(lamp));
        const std::size_t units = (line.size() + unitLeds - 1) / unitLeds;
        for (std::size_t u = 0; u < units && size > 0; ++u) {
            for (std::size_t m = 0; m < pins; ++m) {
                const std::uint8_t v = lamp.pins[m];
                const std::size_t led = u * unitLeds + v / 3;
                if (v == LightTypeRecord::kNotConnected || led >= line.size() ||
                    !layout.grid.Contains(PointRow(line[led]), PointCol(line[led]))) {
                    continue;
                }
                const std::uint32_t source = LedPixelOffset(layout.grid, in.frame, line[led]) + v % 3;
                if (source < size) currents.milliamps[led] += static_cast<double>(tables[v % 3][bytes[source]]) * scale;
            }
        }
        for (double ma : currents.milliamps) currents.amps += ma / 1000.0;
        out.push_back(std::move(currents));
    }
    return out;
}

double FullLedMilliamps(const LightTypeRecord& lamp, const BudgetOptions& options) {
    const std::size_t pins = std::min<std::size_t>(lamp.pinCount, LightTypeRecord::kMaxPins);
    const double perLed = static_cast<double>(pins) / std::max(1, LampPixels(lamp));
    return perLed * LampMilliamps(options, lamp) + options.idleMilliamps;
}

Result<PowerBudget> ComputePowerBudget(const WriterInput& in, FrameSource& frames, std::size_t first, std::size_t end,
                                       const BudgetOptions& options, const ProgressFn& progress) {
    PowerBudget budget;
    static const std::vector<LightTypeRecord> kBuiltIn = BuiltInLightTypes();
    WriterInput input = in;
    if (!input.lamps) input.lamps = &kBuiltIn;
    const Plan plan = MakePlan(input, options, budget);
    end = std::min(end, frames.Count());
    const std::size_t count = end > first ? end - first : 0;
    std::size_t channels = 0;
    for (const PlanLine& line : plan.lines) {
        for (const auto& s : line.sources) channels += s.size();
    }
    // Two workers when there is enough work for a second thread to pay (and the frames fork).
    std::unique_ptr<FrameSource> forked;
    if (count >= 2 && static_cast<double>(channels + plan.lines.size()) * static_cast<double>(count) >= 1e6 &&
        std::thread::hardware_concurrency() >= 2) {
        forked = frames.Fork();
    }
    const std::size_t mid = forked ? first + count / 2 : end;
    Sums mine(plan), theirs(plan);
    std::thread helper;
    if (forked) {
        try {
            helper = std::thread([&] { Work(plan, *forked, mid, end, end - mid, theirs, nullptr); });
        } catch (const std::system_error&) {
        }
    }
    const std::size_t myEnd = helper.joinable() ? mid : end;
    {
        ProgressEnd hide(progress);
        Work(plan, frames, first, myEnd, myEnd - first, mine, progress ? &progress : nullptr);
    }
    if (helper.joinable()) helper.join();
    Merge(mine, theirs);
    if (mine.unreadable >= 0) {
        return Result<PowerBudget>::Fail(0, "frame " + std::to_string(mine.unreadable + 1) + " cannot be read");
    }
    Finish(plan, mine, options, budget);
    return budget;
}

}  // namespace corv
