#pragma once

// The video export settings of the configuration file's "AVIOption" section, readable without
// any window so the command line and the export use the same values as the option dialog.

#include <cstdint>
#include <filesystem>

#include "media/Movie.h"

namespace corv {

inline constexpr const char* kVideoSettingsSection = "AVIOption";

// The ranges the option dialog offers; values read from the file are held to them.
inline constexpr int kMinVideoRate = 1;
inline constexpr int kMaxVideoRate = 100;  // play speed and capture speed, frames a second
inline constexpr int kMinVideoQuality = 1;
inline constexpr int kMaxVideoQuality = 100;
inline constexpr int kMinKeyFramesEvery = 1;
inline constexpr int kMaxKeyFramesEvery = 1000;

struct VideoSettings {
    int framesPerSecond = 20;
    int keyFramesEvery = 20;
    int gatherRate = 20;
    std::uint32_t compFccHandler = 0;  // the chosen encoder's code; 0: uncompressed
    int compQuality = 65;
};

// The settings with every value moved into its range (the code is left as it is).
VideoSettings ClampVideoSettings(VideoSettings settings);
// Missing keys take the defaults above; values are held to the dialog's ranges.
VideoSettings ReadVideoSettings(const std::filesystem::path& configPath);
// Writes all five keys; false when the file cannot be written.
bool WriteVideoSettings(const std::filesystem::path& configPath, const VideoSettings& settings);
// The writer's options: no encoder name for code 0 or a code this machine has no encoder for,
// so the container picks its default (uncompressed for AVI).
VideoOptions ToVideoOptions(const VideoSettings& settings);

}  // namespace corv
