#include "layout/PanelLists.h"

#include <span>

#include "lang/Render.h"
#include "lang/messages/EngineMessages.h"

namespace corv {

namespace {
std::vector<std::string> RenderAll(std::span<const Text> texts, std::uint8_t language) {
    std::vector<std::string> out;
    out.reserve(texts.size());
    for (const Text& text : texts) {
        out.push_back(Render(text, language));
    }
    return out;
}
}  // namespace

std::vector<std::pair<std::string, int>> PortsPerSlaveChoices(std::uint8_t language) {
    return {{Render(msg::engine::kOneLinePerSlave, language), 1},
            {Render(msg::engine::kTwoLinesPerSlave, language), 2},
            {Render(msg::engine::kThreeLinesPerSlave, language), 3},
            {Render(msg::engine::kFourLinesPerSlave, language), 4},
            {Render(msg::engine::kEightLinesPerSlave, language), 8}};
}

std::vector<int> LineLimitChoices(int cols) { return {cols, 170, 512, 1024, 2048, 4096}; }

int AcceptLineLimit(int typed, int previous) { return typed > 0 ? typed : previous; }

std::vector<std::string> ConnectionModeNames(std::uint8_t language) {
    return RenderAll(msg::engine::kConnectionModeNames, language);
}

std::vector<std::string> LineListColumns(std::uint8_t language) {
    return RenderAll(msg::engine::kLineListColumns, language);
}

}  // namespace corv
