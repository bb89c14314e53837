#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "project/Frame.h"

namespace corv {

// The shared settings and selection of the running program (the application object's
// members other than its window pointers).
struct AppState {
    std::uint16_t osMajorVersion = 10;  // Linux counts as a current system: no skins
    std::string lineFile;               // "LineFile": the line file in use
    std::int16_t frameHeight = 64;      // rows of the current clip
    std::int16_t frameWidth = 64;       // pixels per row of the current clip
    std::uint8_t language = 0;          // running UI language code
    std::uint16_t threadLocale = 0x0409;
    std::string cLocale;
    Bgr backgroundColour{};             // fill of new blank frames
    bool coverMode = false;             // frame producers overwrite following frames
    int autoCheckVersion = 1;           // "AutoCheckVertion"
    int compress = 0;                   // "Compress": also store documents as RAR archives
    int skin = 0;                       // "Skin" as running (0 on current systems)
    std::filesystem::path tempDir;      // per-run working folder
    int currentFrame = 0;               // index of the current frame in the current clip
};

}  // namespace corv
