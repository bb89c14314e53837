#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "base/Result.h"
#include "controller/ChannelMap.h"
#include "layout/Layout.h"
#include "layout/LightType.h"
#include "net/NetworkFile.h"
#include "project/Frame.h"

namespace corv::net {

// The refusal of ChannelLayout::Build (Failure::code): universes outside the protocol's.
inline constexpr int kNetUniverseRange = 8;

// 8-bit output level of each 8-bit frame byte.
using LevelTable = std::array<std::uint8_t, 256>;

// The output levels of every slave of a wiring record, one table a colour component in the
// frame's byte order (blue, green, red): the controller files' table of the slave's gamma,
// brightness and chip (BuildGammaTable; a table of more than 8 bits scaled to 8, rounded),
// then the slave's colour balance (its red, green, blue percentages, up to 100). Gamma 1.0,
// brightness 100 % and balance 100 % give every byte as it is.
struct OutputLevels {
    std::vector<std::array<LevelTable, 3>> slaves;  // LineSetting::kSlaves entries
};
OutputLevels BuildOutputLevels(const LineSetting& setting);

// A universe's part of a controller's channel bytes.
struct UniverseSlice {
    int universe = 0;
    std::size_t first = 0;
    std::size_t count = 0;
    friend bool operator==(const UniverseSlice&, const UniverseSlice&) = default;
};

// Where one of the controller's lines lies in its channel bytes (1-based line number).
struct LineChannels {
    int line = 0;
    std::size_t first = 0;
    std::size_t count = 0;
    friend bool operator==(const LineChannels&, const LineChannels&) = default;
};

// What each channel of a controller reads: channel i is levels[tables[i]][frame[sources[i]]].
// Table 0 is all zero: a channel without an LED (a pin not connected, a pin of a pixel past
// the end of its line, an LED outside the grid) has source 0 and table 0, and sends 0.
struct ControllerChannels {
    std::vector<std::uint32_t> sources;  // frame byte offsets
    std::vector<std::uint16_t> tables;   // into `levels`
    std::vector<LevelTable> levels;      // levels[0] is all zero; then the tables the channels use
    std::vector<LineChannels> lines;     // every driven line, in line-number order
};

// What a controller sends of a frame. Built once for a layout, its lamp types, its output
// levels, the controller and the frames' shape; then each frame is a fast fill.
//
// The channels are the controller's lines one after another in line-number order; a line's
// LEDs in wiring order (its points' order), taken a lamp unit at a time (LampPixels(lamp) LEDs,
// the last unit of a line possibly short); each unit's channels are its lamp type's pins in
// order: pin value v is component v % 3 (0 blue, 1 green, 2 red) of the unit's LED v / 3. A
// line's lamp type and levels are those of its slave (line index / lines per slave). With lamp
// type RGB an LED's channels are red, green, blue.
class ChannelLayout {
public:
    ChannelLayout() = default;

    // The failure when the universes the channels need run past the protocol's last universe
    // (or start before its first).
    static Result<ChannelLayout> Build(const Layout& layout, const std::vector<LightTypeRecord>& lamps,
                                       const OutputLevels& levels, const NetController& controller, FrameShape frame);
    // The same for frames of the grid's own size.
    static Result<ChannelLayout> Build(const Layout& layout, const std::vector<LightTypeRecord>& lamps,
                                       const OutputLevels& levels, const NetController& controller);

    std::size_t channelCount() const { return channels_.sources.size(); }
    // E1.31 and Art-Net: consecutive universes from the controller's first, each of at most
    // ChannelsPerUniverse channels; with LineStartsUniverse a line's channels start a new one
    // (a line without channels takes none). DDP: none (the channels go as one stream).
    const std::vector<UniverseSlice>& universes() const { return universes_; }
    const ControllerChannels& channels() const { return channels_; }
    FrameShape frameShape() const { return frame_; }

    // The channel bytes of a frame (resized to channelCount()). A frame smaller than the
    // shape built for sends 0 for the bytes it does not have.
    void Fill(const Frame& frame, std::vector<std::uint8_t>& channels) const;
    // The same into `out`, room for channelCount() bytes. Several threads may fill at once.
    void Fill(const Frame& frame, std::uint8_t* out) const;
    // The way back: channel bytes into the frame's bytes, each through `inverse[t]` for its
    // level table t (the frame byte each output level comes from; a table that gives each byte
    // back must have itself as its inverse: it is not looked at). Channels past the end of
    // `channels`, of level table 0 (all zero: nothing comes back) or reading past the frame
    // leave the frame's bytes as they are.
    void Unfill(std::span<const std::uint8_t> channels, const std::vector<LevelTable>& inverse, Frame& frame) const;

private:
    // The channels as runs that repeat a lamp unit's pattern: channel first + u x width + p
    // reads levels[tables[p]][frame[sources[p] + u x step]].
    struct FillRun {
        std::uint32_t first = 0;
        std::uint32_t units = 0;
        std::uint8_t width = 1;
        bool plain = false;  // every table of the run gives each byte back as it is
        std::int64_t step = 0;
        std::array<std::uint32_t, 8> sources{};
        std::array<std::uint16_t, 8> tables{};
    };
    static std::vector<FillRun> MakeFillRuns(const ControllerChannels& channels);

    ControllerChannels channels_;
    std::vector<FillRun> runs_;
    std::vector<UniverseSlice> universes_;
    FrameShape frame_;
    std::uint32_t largestSource_ = 0;
};

}  // namespace corv::net
