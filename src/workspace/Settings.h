#pragma once

#include <string>
#include <vector>

namespace corv {

// The configuration file kept in the application home and its main section.
inline constexpr const char* kConfigFileName = "Led Conf.ldc";
inline constexpr const char* kMainSection = "Main";

// Keys of the main section.
namespace keys {
inline constexpr const char* kErrorCode = "ErrorCode";
inline constexpr const char* kRows = "Rows";
inline constexpr const char* kCols = "cols";
inline constexpr const char* kLanguage = "Language";
inline constexpr const char* kLineFile = "LineFile";
inline constexpr const char* kAutoCheckVersion = "AutoCheckVertion";
inline constexpr const char* kCompress = "Compress";
inline constexpr const char* kSkin = "Skin";
inline constexpr const char* kPaintPath = "PaintPath";
inline constexpr const char* kDrICtype = "DrICtype";
inline constexpr const char* kSnapNumber = "SnapNumber";
}  // namespace keys

// Start-up defaults; the layout view's own read of the frame size uses 24 x 32.
inline constexpr int kDefaultRows = 48;
inline constexpr int kDefaultCols = 64;
inline constexpr int kLayoutDefaultRows = 24;
inline constexpr int kLayoutDefaultCols = 32;

struct SettingKey {
    const char* name;
    bool isInt;
    int intDefault;
    const char* textDefault;
    const char* meaning;
};

// Every key of the main section with its default, in the order they are documented.
const std::vector<SettingKey>& MainSectionKeys();

}  // namespace corv
