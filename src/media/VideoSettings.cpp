#include "media/VideoSettings.h"

#include <algorithm>

#include "base/ProfileFile.h"

namespace corv {

namespace {

constexpr const char* kFramesPerSecond = "FramesPerSecond";
constexpr const char* kGatherRate = "GatherRate";
constexpr const char* kCompFccHandler = "CompFccHandler";
constexpr const char* kCompQuality = "CompQuality";
constexpr const char* kKeyFramesEvery = "KeyFramesEvery";

}  // namespace

VideoSettings ClampVideoSettings(VideoSettings s) {
    s.framesPerSecond = std::clamp(s.framesPerSecond, kMinVideoRate, kMaxVideoRate);
    s.gatherRate = std::clamp(s.gatherRate, kMinVideoRate, kMaxVideoRate);
    s.compQuality = std::clamp(s.compQuality, kMinVideoQuality, kMaxVideoQuality);
    s.keyFramesEvery = std::clamp(s.keyFramesEvery, kMinKeyFramesEvery, kMaxKeyFramesEvery);
    return s;
}

VideoSettings ReadVideoSettings(const std::filesystem::path& configPath) {
    const VideoSettings defaults;
    const ProfileFile profile(configPath, kVideoSettingsSection);
    VideoSettings s;
    s.framesPerSecond = profile.GetInt(kFramesPerSecond, defaults.framesPerSecond);
    s.gatherRate = profile.GetInt(kGatherRate, defaults.gatherRate);
    // The code is kept as a signed 32-bit number in the file; its bits are the four characters.
    const int code = profile.GetInt(kCompFccHandler, static_cast<int>(defaults.compFccHandler));
    s.compFccHandler = static_cast<std::uint32_t>(code);
    s.compQuality = profile.GetInt(kCompQuality, defaults.compQuality);
    s.keyFramesEvery = profile.GetInt(kKeyFramesEvery, defaults.keyFramesEvery);
    return ClampVideoSettings(s);
}

bool WriteVideoSettings(const std::filesystem::path& configPath, const VideoSettings& settings) {
    const VideoSettings s = ClampVideoSettings(settings);
    ProfileFile profile(configPath, kVideoSettingsSection);
    // Every key is written even after a failure, so one refused write does not hide the others.
    bool ok = profile.WriteInt(kFramesPerSecond, s.framesPerSecond).ok();
    ok = profile.WriteInt(kGatherRate, s.gatherRate) && ok;
    ok = profile.WriteInt(kCompFccHandler, static_cast<int>(s.compFccHandler)) && ok;
    ok = profile.WriteInt(kCompQuality, s.compQuality) && ok;
    ok = profile.WriteInt(kKeyFramesEvery, s.keyFramesEvery) && ok;
    return ok;
}

VideoOptions ToVideoOptions(const VideoSettings& settings) {
    const VideoSettings s = ClampVideoSettings(settings);
    VideoOptions options;
    options.fps = s.framesPerSecond;
    options.keyEvery = s.keyFramesEvery;
    options.quality = s.compQuality;
    if (s.compFccHandler != 0) {
        if (const VideoEncoder* encoder = EncoderForFourcc(s.compFccHandler)) options.encoder = encoder->name;
    }
    return options;
}

}  // namespace corv
