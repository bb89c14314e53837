#include "workspace/Settings.h"

namespace corv {

const std::vector<SettingKey>& MainSectionKeys() {
    static const std::vector<SettingKey> table = {
        {keys::kErrorCode, true, 0, "", "write test at start-up"},
        {keys::kRows, true, kDefaultRows, "", "frame height in rows"},
        {keys::kCols, true, kDefaultCols, "", "frame width in pixels"},
        {keys::kLanguage, true, 0, "", "UI language (0 = from the system)"},
        {keys::kLineFile, false, 0, "", "line file in use"},
        {keys::kAutoCheckVersion, true, 1, "", "check for a new version"},
        {keys::kCompress, true, 0, "", "also store documents compressed"},
        {keys::kSkin, true, 0, "", "skin number (0 = none)"},
        {keys::kPaintPath, false, 0, "", "outside painting program"},
        {keys::kDrICtype, true, 3, "", "controller default"},
        {keys::kSnapNumber, true, 8, "", "layout editor snap"},
    };
    return table;
}

}  // namespace corv
