#include "net/ChannelLayout.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <tuple>

#include "lang/messages/NetMessages.h"

namespace corv::net {

namespace {

const LightTypeRecord& LampOf(const std::vector<LightTypeRecord>& lamps, std::uint8_t index) {
    static const LightTypeRecord kRgb = BuiltInLightTypes()[0];
    return index < lamps.size() ? lamps[index] : (lamps.empty() ? kRgb : lamps[0]);
}

// The three tables of one slave's values.
std::array<LevelTable, 3> SlaveLevels(int gamma, int brightness, int chip, int family, const int balance[3]) {
    const GammaTable table = BuildGammaTable(gamma, brightness, chip, family);
    // The table's full level: what byte 255 gives at gamma 1.0 and full brightness.
    const int full = std::max<int>(BuildGammaTable(10, 100, chip, family)[255], 1);
    std::array<LevelTable, 3> out{};
    for (int i = 0; i < 256; ++i) {
        const int level = std::min(255, (table[static_cast<std::size_t>(i)] * 255 + full / 2) / full);
        for (int c = 0; c < 3; ++c) {
            const int percent = std::clamp(balance[c], 0, 100);
            out[static_cast<std::size_t>(c)][static_cast<std::size_t>(i)] =
                static_cast<std::uint8_t>((level * percent + 50) / 100);
        }
    }
    return out;
}

// Channels a universe each from `first`, over the given ranges of the channel bytes.
std::vector<UniverseSlice> Slices(const std::vector<std::pair<std::size_t, std::size_t>>& ranges, int first,
                                  std::size_t perUniverse) {
    std::vector<UniverseSlice> slices;
    int universe = first;
    for (const auto& [start, count] : ranges) {
        for (std::size_t done = 0; done < count; done += perUniverse) {
            slices.push_back({universe++, start + done, std::min(perUniverse, count - done)});
        }
    }
    return slices;
}

}  // namespace

OutputLevels BuildOutputLevels(const LineSetting& s) {
    OutputLevels levels;
    levels.slaves.resize(LineSetting::kSlaves);
    // Most slaves share their values: each set is worked out once.
    std::map<std::tuple<int, int, int, int, int, int>, std::array<LevelTable, 3>> made;
    for (std::size_t k = 0; k < LineSetting::kSlaves; ++k) {
        const int balance[3] = {s.blue[k], s.green[k], s.red[k]};
        const auto key = std::make_tuple(s.gamma[k], s.brightness[k], s.icType[k], balance[0], balance[1], balance[2]);
        auto it = made.find(key);
        if (it == made.end()) {
            it = made.emplace(key, SlaveLevels(s.gamma[k], s.brightness[k], s.icType[k], s.controllerType, balance)).first;
        }
        levels.slaves[k] = it->second;
    }
    return levels;
}

Result<ChannelLayout> ChannelLayout::Build(const Layout& layout, const std::vector<LightTypeRecord>& lamps,
                                           const OutputLevels& levels, const NetController& controller) {
    return Build(layout, lamps, levels, controller, FrameShape{layout.grid.rows, layout.grid.cols});
}

Result<ChannelLayout> ChannelLayout::Build(const Layout& layout, const std::vector<LightTypeRecord>& lamps,
                                           const OutputLevels& levels, const NetController& controller,
                                           FrameShape frame) {
    ChannelLayout out;
    out.frame_ = frame;
    ControllerChannels& ch = out.channels_;
    ch.levels.push_back(LevelTable{});
    std::map<std::size_t, std::uint16_t> tableOf;  // slave x 3 + component -> index in ch.levels
    const int perSlave = std::max<int>(layout.setting.portsPerSlave, 1);
    const bool frameEmpty = frame.rows <= 0 || frame.cols <= 0;
    std::vector<int> numbers = controller.lines;
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    for (const int number : numbers) {
        if (number < 1 || number > kLineCount) continue;
        const Line& line = layout.lines[static_cast<std::size_t>(number - 1)];
        const std::size_t slave = std::min<std::size_t>(static_cast<std::size_t>((number - 1) / perSlave),
                                                        LineSetting::kSlaves - 1);
        const LightTypeRecord& lamp = LampOf(lamps, layout.setting.lightType[slave]);
        const std::size_t pins = std::min<std::size_t>(lamp.pinCount, LightTypeRecord::kMaxPins);
        const std::size_t unitLeds = static_cast<std::size_t>(LampPixels(lamp));
        const std::size_t units = (line.size() + unitLeds - 1) / unitLeds;
        LineChannels where{number, ch.sources.size(), units * pins};
        for (std::size_t u = 0; u < units; ++u) {
            for (std::size_t m = 0; m < pins; ++m) {
                const std::uint8_t v = lamp.pins[m];
                const std::size_t led = u * unitLeds + v / 3;
                std::uint32_t source = 0;
                std::uint16_t table = 0;
                if (v != LightTypeRecord::kNotConnected && v / 3 < unitLeds && led < line.size() && !frameEmpty &&
                    layout.grid.Contains(PointRow(line[led]), PointCol(line[led]))) {
                    const std::size_t key = slave * 3 + v % 3;
                    auto it = tableOf.find(key);
                    if (it == tableOf.end()) {
                        const auto& slaveLevels = slave < levels.slaves.size() ? levels.slaves[slave]
                                                                               : std::array<LevelTable, 3>{};
                        ch.levels.push_back(slaveLevels[v % 3]);
                        it = tableOf.emplace(key, static_cast<std::uint16_t>(ch.levels.size() - 1)).first;
                    }
                    source = LedPixelOffset(layout.grid, frame, line[led]) + v % 3;
                    table = it->second;
                    out.largestSource_ = std::max(out.largestSource_, source);
                }
                ch.sources.push_back(source);
                ch.tables.push_back(table);
            }
        }
        ch.lines.push_back(where);
    }
    out.runs_ = MakeFillRuns(ch);
    if (controller.protocol == Protocol::Ddp) return out;
    std::vector<std::pair<std::size_t, std::size_t>> ranges;
    if (controller.lineStartsUniverse) {
        for (const LineChannels& l : ch.lines) ranges.emplace_back(l.first, l.count);
    } else {
        ranges.emplace_back(0, ch.sources.size());
    }
    const auto perUniverse = static_cast<std::size_t>(std::clamp(controller.channelsPerUniverse, 1, 512));
    out.universes_ = Slices(ranges, controller.universe, perUniverse);
    const int lo = FirstUniverse(controller.protocol), hi = LastUniverse(controller.protocol);
    if (!out.universes_.empty() && (out.universes_.front().universe < lo || out.universes_.back().universe > hi)) {
        Failure f{kNetUniverseRange, {}, {},
                  {controller.section, FormatLines(controller.lines), std::to_string(out.universes_.front().universe),
                   std::to_string(out.universes_.back().universe), ProtocolName(controller.protocol),
                   std::to_string(lo), std::to_string(hi)},
                  &msg::net::kUniversesPastEnd};
        return f;
    }
    return out;
}

std::vector<ChannelLayout::FillRun> ChannelLayout::MakeFillRuns(const ControllerChannels& ch) {
    // Channels come a lamp unit at a time, so that the channels of a line repeat with the
    // unit's width P (3 for an RGB LED): channel i + P reads the byte `step` after channel i's,
    // through the same table. Each run is the longest such repetition from where the last one
    // ended, over the widths tried (a width of 1 always gives a run).
    constexpr std::size_t kWidths[] = {3, 4, 1, 2, 6, 8, 5, 7};
    const std::vector<std::uint32_t>& src = ch.sources;
    const std::vector<std::uint16_t>& tab = ch.tables;
    const std::size_t n = src.size();
    std::vector<bool> plain(ch.levels.size(), true);  // the tables that give each byte back
    for (std::size_t t = 0; t < ch.levels.size(); ++t) {
        for (std::size_t v = 0; v < 256 && plain[t]; ++v) plain[t] = ch.levels[t][v] == v;
    }
    std::vector<FillRun> runs;
    std::size_t i = 0;
    while (i < n) {
        FillRun best;
        best.first = static_cast<std::uint32_t>(i);
        best.width = 1;
        best.units = 1;
        for (std::size_t width : kWidths) {
            if (i + width > n) continue;
            std::int64_t step = 0;
            std::size_t units = 1;
            if (i + 2 * width <= n) {
                step = static_cast<std::int64_t>(src[i + width]) - static_cast<std::int64_t>(src[i]);
                while (i + (units + 1) * width <= n) {
                    bool same = true;
                    const std::size_t at = i + units * width;
                    for (std::size_t p = 0; p < width && same; ++p) {
                        same = tab[at + p] == tab[i + p] &&
                               static_cast<std::int64_t>(src[at + p]) ==
                                   static_cast<std::int64_t>(src[i + p]) + static_cast<std::int64_t>(units) * step;
                    }
                    if (!same) break;
                    ++units;
                }
            }
            if (units * width > static_cast<std::size_t>(best.units) * best.width) {
                best.width = static_cast<std::uint8_t>(width);
                best.units = static_cast<std::uint32_t>(units);
                best.step = step;
            }
        }
        best.plain = true;
        for (std::size_t p = 0; p < best.width; ++p) {
            best.sources[p] = src[i + p];
            best.tables[p] = tab[i + p];
            best.plain = best.plain && plain[tab[i + p]];
        }
        runs.push_back(best);
        i += static_cast<std::size_t>(best.units) * best.width;
    }
    return runs;
}

void ChannelLayout::Fill(const Frame& frame, std::vector<std::uint8_t>& channels) const {
    channels.resize(channels_.sources.size());
    Fill(frame, channels.data());
}

namespace {

// Units of three channels read `step` bytes apart, each channel straight from its byte.
template <std::int64_t Step>
void CopyUnits(std::uint8_t* o, const std::uint8_t* b0, const std::uint8_t* b1, const std::uint8_t* b2,
               std::uint32_t units, std::int64_t step) {
    const std::int64_t s = Step != 0 ? Step : step;
    for (std::uint32_t u = 0; u < units; ++u) {
        const std::int64_t d = static_cast<std::int64_t>(u) * s;
        o[0] = b0[d];
        o[1] = b1[d];
        o[2] = b2[d];
        o += 3;
    }
}

// The n bytes that end at `last` (inclusive) in reverse order: n / 3 units read backwards,
// each unit's three bytes reversed too (an LED wired against the row, its bytes in the
// opposite order to the frame's), eight bytes at a time.
void ReverseBytes(std::uint8_t* __restrict o, const std::uint8_t* __restrict last, std::size_t n) {
    std::size_t j = 0;
    for (; j + 8 <= n; j += 8) {
        std::uint64_t v;
        std::memcpy(&v, last - j - 7, 8);
        v = __builtin_bswap64(v);
        std::memcpy(o + j, &v, 8);
    }
    for (; j < n; ++j) o[j] = *(last - j);
}

}  // namespace

void ChannelLayout::Fill(const Frame& frame, std::uint8_t* out) const {
    const std::size_t n = channels_.sources.size();
    const std::uint32_t* sources = channels_.sources.data();
    const std::uint16_t* tables = channels_.tables.data();
    const LevelTable* levels = channels_.levels.data();
    const std::uint8_t* bytes = frame.data();
    if (n > 0 && bytes != nullptr && largestSource_ < frame.size()) {
        // Every channel reads inside the frame: run by run, a unit at a time.
        for (const FillRun& run : runs_) {
            std::uint8_t* o = out + run.first;
            const std::int64_t step = run.step;
            if (run.width == 3) {
                const std::uint8_t* b0 = bytes + run.sources[0];
                const std::uint8_t* b1 = bytes + run.sources[1];
                const std::uint8_t* b2 = bytes + run.sources[2];
                if (run.plain) {
                    // Levels that change nothing: the bytes themselves, the usual steps fixed.
                    if (step == 3 && b1 == b0 + 1 && b2 == b0 + 2) {
                        std::memcpy(o, b0, std::size_t{run.units} * 3);
                    } else if (step == -3 && b1 == b0 - 1 && b2 == b0 - 2) {
                        ReverseBytes(o, b0, std::size_t{run.units} * 3);
                    } else if (step == 3) {
                        CopyUnits<3>(o, b0, b1, b2, run.units, step);
                    } else if (step == -3) {
                        CopyUnits<-3>(o, b0, b1, b2, run.units, step);
                    } else {
                        CopyUnits<0>(o, b0, b1, b2, run.units, step);
                    }
                    continue;
                }
                const LevelTable& t0 = levels[run.tables[0]];
                const LevelTable& t1 = levels[run.tables[1]];
                const LevelTable& t2 = levels[run.tables[2]];
                for (std::uint32_t u = 0; u < run.units; ++u) {
                    const std::int64_t d = static_cast<std::int64_t>(u) * step;
                    o[0] = t0[b0[d]];
                    o[1] = t1[b1[d]];
                    o[2] = t2[b2[d]];
                    o += 3;
                }
                continue;
            }
            for (std::uint32_t u = 0; u < run.units; ++u) {
                const std::int64_t d = static_cast<std::int64_t>(u) * step;
                for (std::size_t p = 0; p < run.width; ++p) *o++ = levels[run.tables[p]][bytes[run.sources[p] + d]];
            }
        }
        return;
    }
    const std::size_t size = bytes != nullptr ? frame.size() : 0;
    for (std::size_t i = 0; i < n; ++i) {
        out[i] = sources[i] < size ? levels[tables[i]][bytes[sources[i]]] : 0;
    }
}

void ChannelLayout::Unfill(std::span<const std::uint8_t> channels, const std::vector<LevelTable>& inverse,
                          Frame& frame) const {
    const std::size_t n = std::min(channels.size(), channels_.sources.size());
    const std::uint8_t* in = channels.data();
    std::uint8_t* bytes = frame.data();
    if (n == 0 || bytes == nullptr || inverse.size() < channels_.levels.size()) return;
    const std::size_t size = frame.size();
    if (largestSource_ >= size) {
        const std::uint32_t* sources = channels_.sources.data();
        const std::uint16_t* tables = channels_.tables.data();
        for (std::size_t i = 0; i < n; ++i) {
            if (tables[i] != 0 && sources[i] < size) bytes[sources[i]] = inverse[tables[i]][in[i]];
        }
        return;
    }
    // Every channel writes inside the frame: run by run, whole units while the channels last.
    for (const FillRun& run : runs_) {
        if (run.first >= n) break;
        const std::uint32_t units = static_cast<std::uint32_t>(
            std::min<std::size_t>(run.units, (n - run.first + run.width - 1) / run.width));
        const std::uint8_t* c = in + run.first;
        const std::int64_t step = run.step;
        const bool whole = run.first + std::size_t{units} * run.width <= n;
        if (run.plain && run.width == 3 && whole) {
            std::uint8_t* b0 = bytes + run.sources[0];
            std::uint8_t* b1 = bytes + run.sources[1];
            std::uint8_t* b2 = bytes + run.sources[2];
            const std::size_t count = std::size_t{units} * 3;
            if (step == 3 && b1 == b0 + 1 && b2 == b0 + 2) {
                std::memcpy(b0, c, count);
                continue;
            }
            if (step == -3 && b1 == b0 - 1 && b2 == b0 - 2) {
                ReverseBytes(b0 - (count - 1), c + count - 1, count);
                continue;
            }
            for (std::uint32_t u = 0; u < units; ++u) {
                const std::int64_t d = static_cast<std::int64_t>(u) * step;
                b0[d] = c[0];
                b1[d] = c[1];
                b2[d] = c[2];
                c += 3;
            }
            continue;
        }
        for (std::uint32_t u = 0; u < units; ++u) {
            const std::int64_t d = static_cast<std::int64_t>(u) * step;
            for (std::size_t p = 0; p < run.width; ++p, ++c) {
                if (c >= in + n) return;
                if (run.tables[p] != 0) bytes[run.sources[p] + d] = inverse[run.tables[p]][*c];
            }
        }
    }
}

}  // namespace corv::net
