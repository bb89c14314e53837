#include "controller/ChannelMap.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <bit>
#include <cmath>

namespace corv {

namespace {

std::size_t Stride(int cols) { return 3 * static_cast<std::size_t>(cols) + static_cast<std::size_t>(cols % 4); }

std::uint32_t PixelOffset(const LayoutGrid& grid, FrameShape frame, LinePoint p) {
    int row = PointRow(p), col = PointCol(p);
    if (frame.rows != grid.rows || frame.cols != grid.cols) {
        row = static_cast<int>(std::trunc(static_cast<double>(row) * frame.rows / std::max<int>(grid.rows, 1)));
        col = static_cast<int>(std::trunc(static_cast<double>(col) * frame.cols / std::max<int>(grid.cols, 1)));
    }
    if (row < 0 || col < 0 || row >= frame.rows || col >= frame.cols) {
        return 0;  // outside the frame: reads byte 0 like an empty channel
    }
    return static_cast<std::uint32_t>(static_cast<std::size_t>(frame.rows - 1 - row) * Stride(frame.cols) +
                                      3 * static_cast<std::size_t>(col));
}

const Line& LineAt(const Layout& layout, int index) {
    static const Line kEmpty;
    return index >= 0 && index < kLineCount ? layout.lines[static_cast<std::size_t>(index)] : kEmpty;
}

const LightTypeRecord& LampOf(const std::vector<LightTypeRecord>& lamps, std::uint8_t index) {
    static const LightTypeRecord kRgb = BuiltInLightTypes()[0];
    return index < lamps.size() ? lamps[index] : (lamps.empty() ? kRgb : lamps[0]);
}

struct SlaveShape {
    const LightTypeRecord* lamp;
    int P, L, ports, U;
};

SlaveShape Shape(const Layout& layout, const std::vector<LightTypeRecord>& lamps, int k, int ports, bool sharedLine) {
    const LineSetting& s = layout.setting;
    SlaveShape shape{};
    shape.lamp = &LampOf(lamps, s.lightType[static_cast<std::size_t>(k)]);
    shape.P = std::clamp<int>(shape.lamp->pinCount, 0, static_cast<int>(LightTypeRecord::kMaxPins));
    shape.L = LampPixels(*shape.lamp);
    shape.ports = std::max(ports, 1);
    const int pps = std::max<int>(s.portsPerSlave, 1);
    std::size_t longest = 0;
    for (int p = 0; p < pps; ++p) {
        longest = std::max(longest, LineAt(layout, k * pps + p).size());
    }
    shape.U = static_cast<int>(longest / static_cast<std::size_t>(shape.L));
    if (sharedLine && pps == 1) {
        shape.U /= shape.ports;
    }
    return shape;
}

// Writes the U x ports units of a slave into `out` (ports x P entries per unit).
void WriteUnits(const Layout& layout, FrameShape frame, const SlaveShape& sh, const std::vector<std::uint8_t>& pins,
                int k, bool sharedLine, bool lastFirst, std::uint32_t* out) {
    const int pps = std::max<int>(layout.setting.portsPerSlave, 1);
    const std::size_t unitLen = 3 * static_cast<std::size_t>(sh.L);
    std::vector<std::uint32_t> unit(static_cast<std::size_t>(sh.ports) * unitLen);
    std::size_t pos = 0;
    for (int u = 0; u < sh.U; ++u) {
        for (int p = 0; p < sh.ports; ++p) {
            int lineIndex;
            int index;
            if (sharedLine && pps == 1) {
                lineIndex = k;
                index = lastFirst ? (p + 1) * sh.U - u - 1 : p * sh.U + u;
            } else {
                lineIndex = k * pps + p;
                index = lastFirst ? sh.U - u - 1 : u;
            }
            const Line& line = LineAt(layout, lineIndex);
            for (int j = 0; j < sh.L; ++j) {
                const std::size_t point = static_cast<std::size_t>(index) * static_cast<std::size_t>(sh.L) +
                                          static_cast<std::size_t>(j);
                const std::uint32_t base = point < line.size() ? PixelOffset(layout.grid, frame, line[point]) : 0;
                for (int c = 0; c < 3; ++c) {
                    unit[static_cast<std::size_t>(p) * unitLen + 3 * static_cast<std::size_t>(j) +
                         static_cast<std::size_t>(c)] = point < line.size() ? base + static_cast<std::uint32_t>(c) : 0;
                }
            }
        }
        for (int m = 0; m < sh.P; ++m) {
            for (int t = 0; t < sh.ports; ++t) {
                const std::uint8_t v = pins[static_cast<std::size_t>(m)];
                out[pos++] = v == LightTypeRecord::kNotConnected || v >= unitLen
                                 ? 0
                                 : unit[static_cast<std::size_t>(sh.ports - 1 - t) * unitLen + v];
            }
        }
    }
}

std::vector<std::uint8_t> Pins(const LightTypeRecord& lamp, int P) {
    return std::vector<std::uint8_t>(lamp.pins.begin(), lamp.pins.begin() + P);
}

}  // namespace

int LampPixels(const LightTypeRecord& lamp) {
    int largest = -1;
    for (int i = 0; i < lamp.pinCount && i < static_cast<int>(LightTypeRecord::kMaxPins); ++i) {
        const std::uint8_t v = lamp.pins[static_cast<std::size_t>(i)];
        if (v != LightTypeRecord::kNotConnected) {
            largest = std::max<int>(largest, v);
        }
    }
    return largest < 0 ? 1 : largest / 3 + 1;
}

ChannelMap BuildMasterSlaveMap(const Layout& layout, const std::vector<LightTypeRecord>& lamps, int s0, int n,
                               FrameShape frame) {
    ChannelMap map;
    const LineSetting& s = layout.setting;
    for (int k = s0; k < s0 + n; ++k) {
        if (k < 0 || k >= static_cast<int>(LineSetting::kSlaves)) {
            map.slaveChannels.push_back(12);
            map.entries.resize(map.entries.size() + 12, 0);
            continue;
        }
        const int chip = s.icType[static_cast<std::size_t>(k)];
        const int ports = static_cast<std::int8_t>(s.linePorts[static_cast<std::size_t>(k)]);
        const SlaveShape sh = Shape(layout, lamps, k, ports, true);
        const std::uint32_t used = static_cast<std::uint32_t>(sh.ports * sh.P * sh.U);
        const std::uint32_t step = sh.ports == 3 ? 36 : 12;
        const std::uint32_t C = std::max<std::uint32_t>(step, (used + step - 1) / step * step);
        std::vector<std::uint8_t> pins = Pins(*sh.lamp, sh.P);
        if (chip > 100) {
            // Groups of three pins in reverse order; pins past the last whole group stay.
            const int groups = sh.P / 3;
            std::vector<std::uint8_t> reordered = pins;
            for (int g = 0; g < groups; ++g) {
                for (int i = 0; i < 3; ++i) {
                    reordered[static_cast<std::size_t>(3 * g + i)] = pins[static_cast<std::size_t>(3 * (groups - 1 - g) + i)];
                }
            }
            pins = std::move(reordered);
        }
        const std::size_t start = map.entries.size();
        map.entries.resize(start + C, 0);
        std::uint32_t* out = map.entries.data() + start + (chip > 100 ? C - used : 0);
        WriteUnits(layout, frame, sh, pins, k, true, chip > 100, out);
        map.slaveChannels.push_back(C);
    }
    return map;
}

ChannelMap BuildSingleMap(const Layout& layout, const std::vector<LightTypeRecord>& lamps, int s0, FrameShape frame) {
    ChannelMap map;
    const LineSetting& s = layout.setting;
    const int k = std::clamp(s0, 0, static_cast<int>(LineSetting::kSlaves) - 1);
    const bool simple = s.controllerType == 2;
    const int chip = s.icType[static_cast<std::size_t>(k)];
    const int ports = simple ? std::max<int>(s.portsPerSlave, 1)
                             : static_cast<std::int8_t>(s.linePorts[static_cast<std::size_t>(k)]);
    const SlaveShape sh = Shape(layout, lamps, k, ports, !simple);
    const std::uint32_t C = static_cast<std::uint32_t>(sh.ports * sh.P * sh.U);
    std::vector<std::uint8_t> pins = Pins(*sh.lamp, sh.P);
    if (chip < 101) {
        std::reverse(pins.begin(), pins.end());
    } else {
        for (int g = 0; g + 2 < sh.P; g += 3) {
            std::swap(pins[static_cast<std::size_t>(g)], pins[static_cast<std::size_t>(g + 2)]);
        }
    }
    map.entries.assign(C, 0);
    WriteUnits(layout, frame, sh, pins, k, !simple, chip < 101, map.entries.data());
    map.slaveChannels.push_back(C);
    return map;
}

GammaTable BuildGammaTable(int gamma, int brightness, int chipCode, int controllerType) {
    double M = 255;
    if (chipCode == 110) {
        M = 1023;
    } else if (controllerType == 0 && (chipCode == 104 || chipCode == 117)) {
        M = 4095;
    }
    GammaTable t{};
    for (int i = 0; i < 256; ++i) {
        const double v = std::min(M, std::floor(std::pow(i / 255.0, gamma / 10.0) * M + 0.5));
        // Brightness is a percentage; values above 100 would wrap the 8-bit output.
        t[static_cast<std::size_t>(i)] =
            static_cast<std::uint16_t>(static_cast<int>(v) * std::clamp(brightness, 0, 100) / 100);
    }
    return t;
}

std::uint32_t MasterSlaveDataBytes(std::uint32_t channels, int chipCode) {
    if (chipCode == 104 || chipCode == 117) {
        return channels * 2;
    }
    if (chipCode == 108 || chipCode == 110) {
        return channels * 4 / 3;
    }
    return channels;
}

std::uint32_t SingleRecordDataBytes(std::uint32_t channels, int chipCode) {
    if (chipCode == 2 || chipCode == 3) {
        return (channels + 7) / 8 * 8;
    }
    if (chipCode == 102) {
        return channels / 3 * 2;
    }
    if (chipCode == 108 || chipCode == 110) {
        return channels / 3 * 4;
    }
    return channels;
}

namespace {

std::uint8_t ReverseBits(std::uint8_t b) {
    b = static_cast<std::uint8_t>((b & 0xF0) >> 4 | (b & 0x0F) << 4);
    b = static_cast<std::uint8_t>((b & 0xCC) >> 2 | (b & 0x33) << 2);
    b = static_cast<std::uint8_t>((b & 0xAA) >> 1 | (b & 0x55) << 1);
    return b;
}

std::uint32_t Word30(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    const std::uint32_t v = (a << 20) | (b << 10) | c;
    return 0x80000000u | (v << 1) | static_cast<std::uint32_t>(std::popcount(v) & 1);
}

std::uint8_t FlagByte(std::uint32_t A, std::uint32_t B, std::uint32_t Cc) {
    return static_cast<std::uint8_t>(0xC0 | (~(((A >> 6) << 4) | ((B >> 6) << 2) | (Cc >> 6)) & 0x3F));
}

// Four values transposed into four bytes: for each bit (MSB first, or LSB first), a nibble
// whose bit p is that bit of value p; two nibbles a byte, the first in the high half.
void Transpose4(const std::uint32_t v[4], bool lsbFirst, std::uint8_t* out) {
    for (int i = 0; i < 8; ++i) {
        const int bit = lsbFirst ? i : 7 - i;
        std::uint8_t nibble = 0;
        for (int p = 0; p < 4; ++p) {
            nibble |= static_cast<std::uint8_t>(((v[p] >> bit) & 1) << p);
        }
        if (i % 2 == 0) {
            out[i / 2] = static_cast<std::uint8_t>(nibble << 4);
        } else {
            out[i / 2] |= nibble;
        }
    }
}

class Values {
public:
    Values(std::span<const std::uint8_t> frame, const SlavePart& part) : frame_(frame), part_(part) {}
    std::size_t size() const { return part_.entries.size(); }
    // V(x) of channel i; channels past the part read 0.
    std::uint32_t operator[](std::size_t i) const {
        if (i >= part_.entries.size()) {
            return 0;
        }
        const std::uint32_t off = part_.entries[i];
        return (*part_.table)[off < frame_.size() ? frame_[off] : 0];
    }

private:
    std::span<const std::uint8_t> frame_;
    const SlavePart& part_;
};

std::size_t Groups(std::size_t count, std::size_t width) { return width == 0 ? 0 : (count + width - 1) / width; }

}  // namespace

namespace {

// The lowest of three entries and their order relative to it, when they are the three bytes of
// one pixel.
bool Triplet(const std::uint32_t* e, std::uint32_t& base, std::uint8_t order[3]) {
    base = std::min({e[0], e[1], e[2]});
    bool seen[3] = {false, false, false};
    for (int k = 0; k < 3; ++k) {
        const std::uint32_t d = e[k] - base;
        if (d > 2 || seen[d]) {
            return false;
        }
        seen[d] = true;
        order[k] = static_cast<std::uint8_t>(d);
    }
    return true;
}

void FindRuns(SlavePart& part) {
    constexpr std::uint32_t kMinLeds = 8;  // shorter runs are cheaper through the map
    const std::uint32_t* e = part.entries.data();
    const std::size_t n = part.entries.size();
    std::size_t i = 0;
    while (i + 6 <= n) {
        SlavePart::Run run;
        std::uint32_t nextBase = 0;
        std::uint8_t nextOrder[3];
        if (!Triplet(e + i, run.base, run.order) || !Triplet(e + i + 3, nextBase, nextOrder) ||
            !std::equal(run.order, run.order + 3, nextOrder)) {
            i += 1;
            continue;
        }
        run.first = static_cast<std::uint32_t>(i);
        run.step = static_cast<std::int32_t>(nextBase) - static_cast<std::int32_t>(run.base);
        run.leds = 2;
        std::size_t j = i + 6;
        std::int64_t expect = static_cast<std::int64_t>(nextBase) + run.step;
        while (j + 3 <= n) {
            std::uint32_t b = 0;
            std::uint8_t o[3];
            if (!Triplet(e + j, b, o) || !std::equal(run.order, run.order + 3, o) || b != expect) {
                break;
            }
            ++run.leds;
            expect += run.step;
            j += 3;
        }
        if (run.leds >= kMinLeds) {
            part.runs.push_back(run);
            i = j;
        } else {
            i += 1;
        }
    }
}

// Output byte i is frame byte e[i] through the table. The pointers are parameters (never
// stored anywhere the byte stores could reach), so they stay in registers.
void GatherPlain(const std::uint8_t* __restrict src, const std::uint32_t* __restrict e,
                 const std::uint8_t* __restrict lut, std::uint8_t* __restrict out, std::size_t n) {
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        out[i] = lut[src[e[i]]];
        out[i + 1] = lut[src[e[i + 1]]];
        out[i + 2] = lut[src[e[i + 2]]];
        out[i + 3] = lut[src[e[i + 3]]];
    }
    for (; i < n; ++i) {
        out[i] = lut[src[e[i]]];
    }
}

#if defined(__x86_64__)
// The order of the bytes of `count` LEDs side by side in a vector loaded from `from` bytes
// before the first LED: going right the LEDs follow each other from byte 0; going left (step
// -3) the vector is loaded from one byte below the last LED's lowest byte, so that nothing
// past the first LED is read, and LED m lies 3 m bytes below the first.
void VectorOrder(const SlavePart::Run& run, int count, std::uint8_t* order, std::ptrdiff_t& from) {
    const bool left = run.step < 0;
    from = left ? -(3 * (count - 1) + 1) : 0;
    for (int m = 0; m < count; ++m) {
        for (int j = 0; j < 3; ++j) {
            order[3 * m + j] = static_cast<std::uint8_t>(left ? 1 + 3 * (count - 1 - m) + run.order[j] : 3 * m + run.order[j]);
        }
    }
}

// LEDs k.. of a run of LEDs side by side (step 3 or -3) with the identity table, five LEDs a
// shuffle; sixteen bytes are read and written for fifteen, so the last LED is left to the
// caller. Returns the next LED to do.
__attribute__((target("ssse3"))) std::uint32_t RunShuffled(const SlavePart::Run& run, std::uint32_t k,
                                                            const std::uint8_t* __restrict src,
                                                            std::uint8_t* __restrict o) {
    alignas(16) std::uint8_t order[16] = {};
    std::ptrdiff_t from = 0;
    VectorOrder(run, 5, order, from);
    const __m128i mask = _mm_load_si128(reinterpret_cast<const __m128i*>(order));
    const std::uint8_t* s = src + run.base + from;
    for (; k + 6 <= run.leds; k += 5) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + run.step * static_cast<std::ptrdiff_t>(k)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(o + 3 * k), _mm_shuffle_epi8(v, mask));
    }
    return k;
}

// The same with 21 LEDs (63 bytes) a permutation, and through the table when `lut` is given:
// two two-register permutations look up the low and the high half of the 256 bytes.
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) std::uint32_t RunPermuted(
    const SlavePart::Run& run, std::uint32_t k, const std::uint8_t* __restrict src, const std::uint8_t* __restrict lut,
    std::uint8_t* __restrict o) {
    alignas(64) std::uint8_t order[64] = {};
    std::ptrdiff_t from = 0;
    VectorOrder(run, 21, order, from);
    const __m512i perm = _mm512_load_si512(order);
    const std::uint8_t* s = src + run.base + from;
    // Zero-masked permutations with every lane kept: the plain form draws a false warning from
    // some compilers.
    const __mmask64 all = ~__mmask64{0};
    if (!lut) {
        for (; k + 22 <= run.leds; k += 21) {
            const __m512i v = _mm512_loadu_si512(s + run.step * static_cast<std::ptrdiff_t>(k));
            _mm512_storeu_si512(o + 3 * k, _mm512_maskz_permutexvar_epi8(all, perm, v));
        }
        return k;
    }
    const __m512i t0 = _mm512_loadu_si512(lut), t1 = _mm512_loadu_si512(lut + 64);
    const __m512i t2 = _mm512_loadu_si512(lut + 128), t3 = _mm512_loadu_si512(lut + 192);
    for (; k + 22 <= run.leds; k += 21) {
        const __m512i v = _mm512_maskz_permutexvar_epi8(
            all, perm, _mm512_loadu_si512(s + run.step * static_cast<std::ptrdiff_t>(k)));
        const __m512i low = _mm512_permutex2var_epi8(t0, v, t1);
        const __m512i high = _mm512_permutex2var_epi8(t2, v, t3);
        _mm512_storeu_si512(o + 3 * k, _mm512_mask_blend_epi8(_mm512_movepi8_mask(v), low, high));
    }
    return k;
}

int CpuPackingLevel() {
    static const int level = __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512bw") ? 2
                             : __builtin_cpu_supports("ssse3")                                          ? 1
                                                                                                        : 0;
    return level;
}
#else
int CpuPackingLevel() { return 0; }
#endif

std::atomic<int> g_packingLevel{-1};  // -1: what the processor has

int PackingLevel() {
    const int chosen = g_packingLevel.load(std::memory_order_relaxed);
    return chosen < 0 ? CpuPackingLevel() : std::min(chosen, CpuPackingLevel());
}

// LEDs k.. of a run of strip LEDs, through the table unless `lut` is null.
void RunScalar(const SlavePart::Run& run, std::uint32_t k, const std::uint8_t* __restrict src,
               const std::uint8_t* __restrict lut, std::uint8_t* __restrict o) {
    const std::ptrdiff_t step = run.step;
    const std::uint8_t* s = src + run.base + static_cast<std::ptrdiff_t>(k) * step;
    o += 3 * static_cast<std::size_t>(k);
    const std::uint8_t o0 = run.order[0], o1 = run.order[1], o2 = run.order[2];
    if (lut) {
        for (; k < run.leds; ++k, o += 3, s += step) {
            o[0] = lut[s[o0]];
            o[1] = lut[s[o1]];
            o[2] = lut[s[o2]];
        }
    } else {
        for (; k < run.leds; ++k, o += 3, s += step) {
            o[0] = s[o0];
            o[1] = s[o1];
            o[2] = s[o2];
        }
    }
}

// A run of strip LEDs: as many LEDs as the vector instructions of `level` take, the rest one
// by one.
void PackRun(const SlavePart::Run& run, int level, const std::uint8_t* src, const std::uint8_t* lut,
             std::uint8_t* o) {
    std::uint32_t k = 0;
#if defined(__x86_64__)
    if (run.step == 3 || run.step == -3) {
        if (level >= 2) {
            k = RunPermuted(run, k, src, lut, o);
        }
        if (level >= 1 && !lut) {
            k = RunShuffled(run, k, src, o);
        }
    }
#else
    (void)level;
#endif
    RunScalar(run, k, src, lut, o);
}

}  // namespace

int SetPackingInstructions(int level) {
    g_packingLevel.store(level, std::memory_order_relaxed);
    return PackingLevel();
}

namespace {

// The plain packing of a prepared part whose entries all lie in the frame.
void PackPrepared(const std::uint8_t* src, const SlavePart& part, std::uint8_t* out) {
    const std::uint32_t* e = part.entries.data();
    const std::uint8_t* lut = part.plainBytes.data();
    const int level = PackingLevel();  // once a part, not once a run
    std::size_t done = 0;
    for (const SlavePart::Run& run : part.runs) {
        GatherPlain(src, e + done, lut, out + done, run.first - done);
        PackRun(run, level, src, part.identity ? nullptr : lut, out + run.first);
        done = run.first + 3 * static_cast<std::size_t>(run.leds);
    }
    GatherPlain(src, e + done, lut, out + done, part.entries.size() - done);
}

}  // namespace

void PreparePart(SlavePart& part) {
    part.runs.clear();
    FindRuns(part);
    part.maxEntry = part.entries.empty() ? 0 : *std::max_element(part.entries.begin(), part.entries.end());
    const std::uint8_t invert = (part.grayReverse & 0x80) ? 0xFF : 0x00;
    for (int i = 0; i < 256; ++i) {
        const auto b = static_cast<std::uint8_t>(((*part.table)[static_cast<std::size_t>(i)] & 0xFF) ^ invert);
        // Code 115 sends every byte bit-reversed: done once here instead of per frame.
        part.plainBytes[static_cast<std::size_t>(i)] = part.chipCode == 115 ? ReverseBits(b) : b;
    }
    part.identity = true;
    for (int i = 0; i < 256; ++i) {
        part.identity = part.identity && part.plainBytes[static_cast<std::size_t>(i)] == i;
    }
    part.prepared = true;
}

std::size_t PackedSizeBound(const SlavePart& part, int controllerType) {
    const std::size_t C = part.entries.size();
    const std::size_t ports = static_cast<std::size_t>(std::max(part.ports, 1));
    const std::size_t lp = static_cast<std::size_t>(std::max(part.linePorts, 1));
    const int chip = part.chipCode;
    if (controllerType == 2) {
        // The simple family: 16 bytes per 12 channels for the word codes, the 15-bit nibble
        // stream with its markers, four bytes per four channels otherwise.
        if (chip == 110 || chip == 108) return Groups(C, 12) * 16;
        if (chip == 102) return (Groups(C, 4) * 20 + 16) / 2 + 8;
        return Groups(C, 4) * 4;
    }
    if (chip == 110 || chip == 108) return Groups(C, 3 * ports) * 4 * ports;
    if (controllerType == 0 && chip == 104) return Groups(C, 3 * ports) * 6 * ports;
    if (controllerType == 0 && chip == 117) return Groups(C, ports) * 2 * ports;
    if (controllerType == 1 && chip == 102) return Groups(C, 3 * ports) * 2 * ports;
    if (controllerType == 1 && (chip == 2 || chip == 3)) return 8 * ((C + 16) / 8 + 2) * (lp > 1 ? 2 : 1);
    return C;  // plain, bit-reversed and 7-bit: one byte a channel
}

namespace {

// The simple family's 30-bit words (110) and flagged bytes (108): the four ports of each pin
// transposed, 16 bytes per 12 channels.
std::size_t PackSimpleWords(const Values& V, int chip, std::uint8_t* out) {
    const std::size_t C = V.size();
    std::size_t n = 0;
    for (std::size_t g = 0; g < C; g += 12) {
        std::uint32_t parts[4][4];  // [byte index][position]
        for (int k = 0; k < 4; ++k) {
            const std::uint32_t a = V[g + static_cast<std::size_t>(k)], b = V[g + 4 + static_cast<std::size_t>(k)],
                                c = V[g + 8 + static_cast<std::size_t>(k)];
            if (chip == 110) {
                const std::uint32_t w = Word30(a, b, c);
                for (int i = 0; i < 4; ++i) parts[i][k] = (w >> (8 * (3 - i))) & 0xFF;
            } else {
                const std::uint32_t A = a & 0xFF, B = b & 0xFF, Cc = c & 0xFF;
                parts[0][k] = FlagByte(A, B, Cc);
                parts[1][k] = A;
                parts[2][k] = B;
                parts[3][k] = Cc;
            }
        }
        for (int i = 0; i < 4; ++i) {
            Transpose4(parts[i], false, out + n);
            n += 4;
        }
    }
    return n;
}

// The simple family's 15-bit (102, with a marker nibble every 15 data nibbles) and 7-bit (103,
// a marker before each group) nibble streams, two nibbles a byte.
std::size_t PackSimpleNibbles(const Values& V, int chip, std::uint8_t* out) {
    const std::size_t C = V.size();
    std::vector<std::uint8_t> nibbles;
    nibbles.reserve(C * 3);
    int dataSinceMarker = 0;
    if (chip == 102) {
        nibbles.push_back(0xF);
    }
    for (std::size_t g = 0; g < C; g += 4) {
        std::uint32_t v[4];
        for (int p = 0; p < 4; ++p) v[p] = V[g + static_cast<std::size_t>(p)] & 0xFF;
        if (chip == 103) {
            nibbles.push_back(0xF);
        }
        const int lowest = chip == 102 ? 3 : 1;
        for (int bit = 7; bit >= lowest; --bit) {
            std::uint8_t nib = 0;
            for (int p = 0; p < 4; ++p) nib |= static_cast<std::uint8_t>(((v[p] >> bit) & 1) << p);
            nibbles.push_back(nib);
            if (chip == 102 && ++dataSinceMarker == 15) {
                nibbles.push_back(0xF);
                dataSinceMarker = 0;
            }
        }
    }
    std::size_t n = 0;
    for (std::size_t i = 0; i < nibbles.size(); i += 2) {
        const std::uint8_t lo = i + 1 < nibbles.size() ? nibbles[i + 1] : 0;
        out[n++] = static_cast<std::uint8_t>(nibbles[i] << 4 | lo);
    }
    return n;
}

// The simple family transposes the four ports of each pin.
std::size_t PackSimple(const Values& V, int chip, std::uint8_t* out) {
    if (chip == 110 || chip == 108) {
        return PackSimpleWords(V, chip, out);
    }
    if (chip == 102 || chip == 103) {
        return PackSimpleNibbles(V, chip, out);
    }
    const std::size_t C = V.size();
    const bool lsbFirst = chip == 106 || chip == 107 || chip == 114 || chip == 115;
    std::size_t n = 0;
    for (std::size_t g = 0; g < C; g += 4) {
        std::uint32_t v[4];
        for (int p = 0; p < 4; ++p) v[p] = V[g + static_cast<std::size_t>(p)] & 0xFF;
        Transpose4(v, lsbFirst, out + n);
        n += 4;
    }
    return n;
}

// 30-bit words (110) and flagged bytes (108) of the master-slave and single families: four
// bytes per LED, each byte a plane of `ports` lines.
std::size_t PackWords(const Values& V, std::size_t ports, int chip, std::uint8_t* out) {
    const std::size_t C = V.size();
    std::size_t n = 0;
    for (std::size_t g = 0; g < C; g += 3 * ports) {
        for (std::size_t q = 0; q < ports; ++q) {
            const std::uint32_t a = V[g + q], b = V[g + ports + q], c = V[g + 2 * ports + q];
            if (chip == 110) {
                const std::uint32_t w = Word30(a, b, c);
                for (std::size_t i = 0; i < 4; ++i) out[n + i * ports + q] = static_cast<std::uint8_t>(w >> (8 * i));
            } else {
                const std::uint32_t A = a & 0xFF, B = b & 0xFF, Cc = c & 0xFF;
                out[n + q] = static_cast<std::uint8_t>(Cc);
                out[n + ports + q] = static_cast<std::uint8_t>(B);
                out[n + 2 * ports + q] = static_cast<std::uint8_t>(A);
                out[n + 3 * ports + q] = FlagByte(A, B, Cc);
            }
        }
        n += 4 * ports;
    }
    return n;
}

// Master-slave 104: each channel as its low nibble and the rest, six bytes per LED.
std::size_t PackSplitNibbles(const Values& V, std::size_t ports, std::uint8_t* out) {
    const std::size_t C = V.size();
    std::size_t n = 0;
    for (std::size_t g = 0; g < C; g += 3 * ports) {
        for (std::size_t q = 0; q < ports; ++q) {
            for (std::size_t i = 0; i < 3; ++i) {
                const std::uint32_t v = V[g + i * ports + q];
                out[n + 2 * i * ports + q] = static_cast<std::uint8_t>(v & 0x0F);
                out[n + (2 * i + 1) * ports + q] = static_cast<std::uint8_t>(v >> 4);
            }
        }
        n += 6 * ports;
    }
    return n;
}

// Master-slave 117: each channel as its top eight bits and its low byte.
std::size_t PackTwoBytes(const Values& V, std::size_t ports, std::uint8_t* out) {
    const std::size_t C = V.size();
    std::size_t n = 0;
    for (std::size_t g = 0; g < C; g += ports) {
        for (std::size_t q = 0; q < ports; ++q) {
            const std::uint32_t v = V[g + q];
            out[n + q] = static_cast<std::uint8_t>(v >> 4);
            out[n + ports + q] = static_cast<std::uint8_t>(v & 0xFF);
        }
        n += 2 * ports;
    }
    return n;
}

// Single 2 and 3: bit planes, MSB first, of one stream or two interleaved, padded at the front
// to whole bytes.
std::size_t PackBitPlanes(const Values& V, const SlavePart& part, bool reverse, std::uint8_t* out) {
    const std::size_t C = V.size();
    const int planes = std::min(part.grayReverse & 0x0F, 7) + 1;
    const bool twoStreams = part.linePorts > 1;
    const std::size_t unit = twoStreams ? 16 : 8;
    const std::size_t padded = (C + unit - 1) / unit * unit;
    const std::size_t pad = padded - C;
    std::size_t n = 0;
    for (int b = 0; b < planes; ++b) {
        const int bit = 7 - b;
        for (std::size_t g = 0; g < padded; g += unit) {
            for (std::size_t stream = 0; stream < (twoStreams ? 2u : 1u); ++stream) {
                std::uint8_t byte = 0;
                for (std::size_t j = 0; j < 8; ++j) {
                    const std::size_t ch = twoStreams ? g + 2 * j + stream : g + j;
                    const std::uint32_t v = ch < pad ? 0 : (V[ch - pad] & 0xFF);
                    byte = static_cast<std::uint8_t>(byte | (((v >> bit) & 1) << (7 - j)));
                }
                out[n++] = reverse ? static_cast<std::uint8_t>(~byte) : byte;
            }
        }
    }
    return n;
}

// Single 102: five bits of each colour in a 15-bit word, high byte first.
std::size_t PackFifteenBit(const Values& V, std::size_t ports, bool reverse, std::uint8_t* out) {
    const std::size_t C = V.size();
    std::size_t n = 0;
    for (std::size_t g = 0; g < C; g += 3 * ports) {
        for (std::size_t q = 0; q < ports; ++q) {
            const std::uint32_t A = V[g + q] & 0xFF, B = V[g + ports + q] & 0xFF, Cc = V[g + 2 * ports + q] & 0xFF;
            const std::uint32_t w = ((A >> 3) << 10) | ((B >> 3) << 5) | (Cc >> 3);
            out[n + q] = static_cast<std::uint8_t>(w >> 8);
            out[n + ports + q] = static_cast<std::uint8_t>(w);
        }
        n += 2 * ports;
    }
    if (reverse) {
        for (std::size_t i = 0; i < n; ++i) {
            out[i] = static_cast<std::uint8_t>(i % 2 == 0 ? (~out[i]) | 0x80 : ~out[i]);
        }
    }
    return n;
}

// Single 103: seven bits a channel with the top bit set.
std::size_t PackSevenBit(const Values& V, bool reverse, std::uint8_t* out) {
    const std::size_t C = V.size();
    for (std::size_t i = 0; i < C; ++i) {
        const std::uint8_t low = static_cast<std::uint8_t>(V[i]);
        out[i] = static_cast<std::uint8_t>((reverse ? static_cast<std::uint8_t>(~low) : low) >> 1 | 0x80);
    }
    return C;
}

// Plain 8-bit (and bit-reversed for 115).
std::size_t PackPlain(std::span<const std::uint8_t> frame, const SlavePart& part, bool reverse, std::uint8_t* out) {
    const std::size_t C = part.entries.size();
    if (part.prepared && part.maxEntry < frame.size()) {
        // Every entry is known to lie in the frame: one lookup per channel, and runs of strip
        // LEDs straight from the frame.
        PackPrepared(frame.data(), part, out);
        return C;
    }
    const std::uint8_t invert = reverse ? 0xFF : 0x00;
    const GammaTable& table = *part.table;
    const std::uint32_t* e = part.entries.data();
    const std::size_t limit = frame.size();
    for (std::size_t i = 0; i < C; ++i) {
        const std::uint32_t off = e[i];
        out[i] = static_cast<std::uint8_t>(table[off < limit ? frame[off] : 0] ^ invert);
    }
    if (part.chipCode == 115) {
        for (std::size_t i = 0; i < C; ++i) out[i] = ReverseBits(out[i]);
    }
    return C;
}

}  // namespace

std::size_t PackPart(std::span<const std::uint8_t> frame, const SlavePart& part, int controllerType,
                     std::uint8_t* out) {
    const Values V(frame, part);
    const std::size_t ports = static_cast<std::size_t>(std::max(part.ports, 1));
    const bool reverse = (part.grayReverse & 0x80) != 0;
    const int chip = part.chipCode;
    if (controllerType == 2) return PackSimple(V, chip, out);
    if (chip == 110 || chip == 108) return PackWords(V, ports, chip, out);
    if (controllerType == 0 && chip == 104) return PackSplitNibbles(V, ports, out);
    if (controllerType == 0 && chip == 117) return PackTwoBytes(V, ports, out);
    if (controllerType == 1 && (chip == 2 || chip == 3)) return PackBitPlanes(V, part, reverse, out);
    if (controllerType == 1 && chip == 102) return PackFifteenBit(V, ports, reverse, out);
    if (controllerType == 1 && chip == 103) return PackSevenBit(V, reverse, out);
    return PackPlain(frame, part, reverse, out);
}

std::uint32_t LedPixelOffset(const LayoutGrid& grid, FrameShape frame, LinePoint p) { return PixelOffset(grid, frame, p); }

}  // namespace corv
