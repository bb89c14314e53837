#include "controller/Parameters.h"

#include <algorithm>
#include <cmath>

#include "lang/Language.h"
#include "lang/Render.h"
#include "lang/UiStrings.h"
#include "lang/messages/EngineMessages.h"

namespace corv {

const char* ControllerTypeName(int type, std::uint8_t language) {
    const bool zh = UsesChinese(language);
    auto pick = [zh](const Text& text) { return zh ? text.chinese : text.english; };
    switch (type) {
        case kMasterSlave:
            return pick(msg::engine::kMasterSlaveController);
        case kSingleController:
            return pick(msg::engine::kSingleController);
        case kSimpleController:
            return pick(msg::engine::kSimpleController);
        default:
            return "";
    }
}

const std::vector<std::string>& ClockChoices() {
    static const std::vector<std::string> list = {"50",  "25",  "12.5", "8.3", "6.25", "5",   "4.2",
                                                  "3.6", "3.1", "2.8",  "2.5", "2.1",  "1.7", "1.5",
                                                  "1.25", "1",  "0.8",  "0.6", "0.5",  "0.4", "0.25"};
    return list;
}

int ClockDivisorFromMHz(double mhz) {
    if (!(mhz > 0)) {
        return 251;
    }
    const double v = std::trunc(25.0 / mhz + 0.2);
    if (v > 250) {
        return 251;
    }
    return std::max(1, static_cast<int>(v));
}

std::string ClockText(int divisor) {
    if (divisor > 250) {
        return "0.05";
    }
    return Format("%.2f", 25.0 / std::max(divisor, 1));
}

int GammaFromValue(double gamma) {
    const double v = gamma * 10;
    if (!(v > 2)) {
        return 2;
    }
    if (v >= 100) {
        return 100;
    }
    return std::clamp(static_cast<int>(std::trunc(v)), 2, 100);
}

std::string GammaText(int stored) { return Format("%.1f", stored / 10.0); }

std::string GrayLevelText(int index) {
    return std::to_string(1LL << (std::clamp(index, 0, kGrayLevels - 1) + 1));
}

std::optional<int> GrayIndexFromLevels(long long levels) {
    for (int i = 0; i < kGrayLevels; ++i) {
        if (levels == (1LL << (i + 1))) {
            return i;
        }
    }
    return std::nullopt;
}

int GrayIndexForChip(const ChipCatalogue& catalogue, int chipCode, int current, int listSize) {
    const std::optional<int> own = GrayIndexFromLevels(catalogue.GrayLevels(chipCode));
    if (!own) return current;
    return *own < listSize ? *own : std::min(7, std::max(listSize - 1, 0));
}

bool IsPortsPerSlaveChoice(int ports) {
    return std::find(std::begin(kPortsChoices), std::end(kPortsChoices), ports) != std::end(kPortsChoices);
}

ControllerTypeState ApplyControllerType(LineSetting& setting, int type, ControllerTypeState state) {
    setting.controllerType = static_cast<std::uint8_t>(type);
    state.portsSelectorEnabled = type != kSimpleController;
    if (type == kMasterSlave) {
        state.grayListSize = kGrayLevels;
    } else if (type == kSingleController) {
        state.grayListSize = 9;
        if (state.graySelection > 8) {
            state.graySelection = 7;
        }
    } else if (type == kSimpleController) {
        setting.SetPortsPerSlave(4);
    }
    if (setting.portsPerSlave > 1) {
        setting.linePorts.fill(setting.portsPerSlave);
    }
    return state;
}

std::string ApplyParameters(LineSetting& setting, const ParameterValues& v, const std::vector<int>& selected,
                            int rowCount, std::uint8_t language) {
    auto clampByte = [](int x) { return static_cast<std::uint8_t>(std::clamp(x, 0, 255)); };
    const std::uint8_t grayReverse = static_cast<std::uint8_t>((std::clamp(v.grayIndex, 0, 15)) | (v.reverse ? 0x80 : 0));
    auto write = [&](std::size_t k) {
        setting.lightType[k] = clampByte(v.lightType);
        setting.icType[k] = clampByte(v.chipCode);
        setting.clock[k] = clampByte(v.clockDivisor);
        setting.brightness[k] = clampByte(v.brightness);
        setting.red[k] = clampByte(v.red);
        setting.green[k] = clampByte(v.green);
        setting.blue[k] = clampByte(v.blue);
        setting.linePorts[k] = clampByte(v.ports);
        setting.grayReverse[k] = grayReverse;
        setting.gamma[k] = static_cast<std::uint8_t>(std::clamp(v.gamma, 2, 100));
    };
    if (!selected.empty()) {
        for (int k : selected) {
            if (k >= 0 && k < static_cast<int>(LineSetting::kSlaves)) {
                write(static_cast<std::size_t>(k));
            }
        }
        return {};
    }
    for (int k = std::max(rowCount, 0); k < static_cast<int>(LineSetting::kSlaves); ++k) {
        write(static_cast<std::size_t>(k));
    }
    return Render(msg::engine::kChooseSlaveToModify, language);
}

std::vector<std::vector<std::string>> SlaveListRows(LineSetting& s, const std::vector<LightTypeRecord>& lamps,
                                                    const ChipCatalogue& catalogue, std::uint8_t language) {
    const int count = std::min<int>(s.SlaveCount(), static_cast<int>(LineSetting::kSlaves));
    std::vector<std::vector<std::string>> rows;
    // Traditional Chinese shows the Simplified texts in Traditional characters.
    const std::string yes = Render(msg::engine::kReversedYes, language);
    const std::string no = Render(msg::engine::kReversedNo, language);
    for (int k = 0; k < count; ++k) {
        const auto i = static_cast<std::size_t>(k);
        if (s.controllerType == kSingleController || s.controllerType == kSimpleController) {
            if ((s.grayReverse[i] & 0x0F) % 2 == 1) {
                s.grayReverse[i] = static_cast<std::uint8_t>((s.grayReverse[i] & 0x87) | 7);
            }
        }
        rows.push_back({std::to_string(k + 1), s.lightType[i] < lamps.size() ? lamps[s.lightType[i]].Name() : "",
                        catalogue.Name(static_cast<std::size_t>(catalogue.PositionOf(s.icType[i])), language),
                        ClockText(s.clock[i]), std::to_string(s.brightness[i]), GrayLevelText(s.grayReverse[i] & 0x0F),
                        (s.grayReverse[i] & 0x80) ? yes : no,
                        std::to_string(static_cast<std::int8_t>(s.linePorts[i])), std::to_string(s.red[i]),
                        std::to_string(s.green[i]), std::to_string(s.blue[i]), GammaText(s.gamma[i])});
    }
    return rows;
}

std::vector<std::pair<std::string, int>> SlaveGroupRows(SlaveGroupList groups, int slaveCount) {
    NormaliseSlaveGroups(groups, slaveCount);
    std::vector<std::pair<std::string, int>> rows;
    int first = 1;
    for (std::uint16_t g : groups) {
        rows.emplace_back(Format("%d - %d", first, first + g - 1), g);
        first += g;
    }
    const int rest = slaveCount - first + 1;
    rows.emplace_back(rest > 0 ? Format("%d - %d", first, slaveCount) : std::string(), std::max(rest, 0));
    return rows;
}

ParameterValues DialogDefaults(const ChipCatalogue& catalogue) {
    ParameterValues v;
    v.chipCode = catalogue.CodeAt(0);
    return v;
}

std::vector<std::string> SlaveListColumns(std::uint8_t language) {
    std::vector<std::string> columns;
    for (const Text& c : msg::engine::kSlaveListColumns) columns.push_back(Render(c, language));
    return columns;
}

std::vector<std::string> MultiControllerColumns(std::uint8_t language) {
    std::vector<std::string> columns;
    for (const Text& c : msg::engine::kMultiControllerColumns) columns.push_back(Render(c, language));
    return columns;
}

std::vector<std::string> GrayLevelChoices(int controllerType) {
    std::vector<std::string> list;
    const int count = controllerType == kSingleController ? 9 : kGrayLevels;
    for (int i = 0; i < count; ++i) {
        list.push_back(GrayLevelText(i));
    }
    return list;
}

std::vector<std::string> PortNumberChoices() { return {"1", "2", "3", "4", "8"}; }

void AddController(SlaveGroupList& groups, int slaves, int slaveCount) {
    groups.push_back(static_cast<std::uint16_t>(std::clamp(slaves, 0, 0xFFFF)));
    NormaliseSlaveGroups(groups, slaveCount);
}

void RefurbishController(SlaveGroupList& groups, int row, int slaves, int slaveCount) {
    // The last row is the implicit master: it has no entry of its own.
    if (row >= 0 && row < static_cast<int>(groups.size())) {
        groups[static_cast<std::size_t>(row)] = static_cast<std::uint16_t>(std::clamp(slaves, 0, 0xFFFF));
    }
    NormaliseSlaveGroups(groups, slaveCount);
}

void DeleteController(SlaveGroupList& groups, int row, int slaveCount) {
    if (row >= 0 && row < static_cast<int>(groups.size())) {
        groups.erase(groups.begin() + row);
    }
    NormaliseSlaveGroups(groups, slaveCount);
}

}  // namespace corv
