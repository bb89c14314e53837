#include "content/DesignHistory.h"

#include <string>

#include "base/Binary.h"
#include "base/FileUtil.h"

namespace corv {

std::vector<std::uint8_t> SnapshotBytes(const EffectList& effects, int currentLayer) {
    ByteWriter w;
    w.U16(static_cast<std::uint16_t>(effects.Count()));
    w.U16(static_cast<std::uint16_t>(currentLayer >= 0 && currentLayer < static_cast<int>(effects.Count()) ? currentLayer + 1 : 0));
    for (const auto& layer : effects) layer->Write(w);
    return std::move(w.bytes());
}

std::optional<Snapshot> ReadSnapshot(const std::vector<std::uint8_t>& bytes, std::uint8_t language) {
    ByteReader r(bytes);
    std::uint16_t count = 0, position = 0;
    if (!r.U16(count) || !r.U16(position)) return std::nullopt;
    Snapshot s;
    for (int i = 0; i < count; ++i) {
        auto layer = EffectLayer::Read(r);
        if (!layer) return std::nullopt;
        s.layers.push_back(std::move(layer));
    }
    if (!r.atEnd()) return std::nullopt;
    if (s.layers.empty()) {
        auto layer = std::make_unique<EffectLayer>();
        layer->name = LayerName(1, language);
        s.layers.push_back(std::move(layer));
        position = 1;
    }
    s.currentLayer = position >= 1 && position <= s.layers.size() ? position - 1 : -1;
    return s;
}

std::filesystem::path DesignHistory::File(int number) const { return folder_ / ("Eff" + std::to_string(number) + ".tmp"); }

bool DesignHistory::Record(const EffectList& effects, int currentLayer) {
    if (!WriteFileAtomic(File(current_ + 1), SnapshotBytes(effects, currentLayer))) return false;
    ++current_;
    std::error_code ec;
    for (int n = current_ + 1; n <= highest_; ++n) std::filesystem::remove(File(n), ec);
    highest_ = current_;
    if (current_ >= 2) saved_.Pushed(static_cast<std::size_t>(current_ - 1));
    return true;
}

std::optional<int> DesignHistory::Restore(int number, EffectList& effects, std::uint8_t language) {
    const auto bytes = ReadFileBytes(File(number));
    if (!bytes) return std::nullopt;
    auto snapshot = ReadSnapshot(*bytes, language);
    if (!snapshot) return std::nullopt;
    effects.Clear();
    for (auto& layer : snapshot->layers) effects.Append(std::move(layer));
    return snapshot->currentLayer;
}

std::optional<int> DesignHistory::Undo(EffectList& effects, std::uint8_t language) {
    if (!CanUndo()) return std::nullopt;
    auto layer = Restore(current_ - 1, effects, language);
    if (layer) {
        --current_;
        saved_.Undone(static_cast<std::size_t>(current_ - 1), static_cast<std::size_t>(highest_ - current_));
    }
    return layer;
}

std::optional<int> DesignHistory::Redo(EffectList& effects, std::uint8_t language) {
    if (!CanRedo()) return std::nullopt;
    auto layer = Restore(current_ + 1, effects, language);
    if (layer) {
        ++current_;
        saved_.Redone(static_cast<std::size_t>(current_ - 1), static_cast<std::size_t>(highest_ - current_));
    }
    return layer;
}

}  // namespace corv
