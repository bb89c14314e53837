#include "layout/PanelLists.h"

#include "lang/Language.h"
#include "lang/Localize.h"

namespace corv {

namespace {
std::string Pick(const char* chinese, const char* english, std::uint8_t language) {
    return UsesChinese(language) ? LocalizeText(chinese, language) : english;
}
}  // namespace

std::vector<std::pair<std::string, int>> PortsPerSlaveChoices(std::uint8_t language) {
    return {{Pick("一台分控一条线路", "A line with a slave", language), 1},
            {Pick("一台分控二条线路", "Two line with a slave", language), 2},
            {Pick("一台分控三条线路", "Three line with a slave", language), 3},
            {Pick("一台分控四条线路", "Four line with a slave", language), 4},
            {Pick("一台分控八条线路", "Eight line with a salve", language), 8}};
}

std::vector<int> LineLimitChoices(int cols) { return {cols, 170, 512, 1024, 2048, 4096}; }

int AcceptLineLimit(int typed, int previous) { return typed > 0 ? typed : previous; }

std::vector<std::string> ConnectionModeNames(std::uint8_t language) {
    return {Pick("横向Z型", "Z type (H)", language),      Pick("纵向Z型", "Z type (V)", language),
            Pick("横向S型", "S type(H)", language),       Pick("纵向S型", "S type (V)", language),
            Pick("最短距离", "Shor distance ", language), Pick("最短距离(横向优先)", "Short distance(H)", language)};
}

std::vector<std::string> LineListColumns(std::uint8_t language) {
    return {Pick("线路", "No.", language), Pick("点数", "Count", language)};
}

}  // namespace corv
