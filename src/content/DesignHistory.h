#pragma once

// Undo and redo of the design editor by snapshots: after every edit the whole design (layer
// count, the current layer's 1-based position, the layer records) is written as "Eff%d.tmp"
// in the per-run folder; undo and redo read the neighbouring snapshot back.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "base/SavedState.h"
#include "project/EffectList.h"

namespace corv {

// The snapshot bytes of a design, and the design read back from them (nullopt for damaged
// bytes). A snapshot without layers reads as one new layer.
std::vector<std::uint8_t> SnapshotBytes(const EffectList& effects, int currentLayer);
struct Snapshot {
    std::vector<std::unique_ptr<EffectLayer>> layers;
    int currentLayer = 0;  // 0-based; -1 none
};
std::optional<Snapshot> ReadSnapshot(const std::vector<std::uint8_t>& bytes, std::uint8_t language);

class DesignHistory {
public:
    explicit DesignHistory(std::filesystem::path folder) : folder_(std::move(folder)) {}

    std::filesystem::path File(int number) const;
    // After an edit: the next snapshot; the snapshots after the current one are discarded (an
    // edit after an undo starts a new future). False when the file cannot be written; then
    // nothing changes.
    bool Record(const EffectList& effects, int currentLayer);
    bool CanUndo() const { return current_ >= 2; }
    bool CanRedo() const { return current_ < highest_; }
    // Replace the design by the previous or next snapshot; the current layer's index, or
    // nullopt (nothing changed) when there is none or the file is damaged.
    std::optional<int> Undo(EffectList& effects, std::uint8_t language);
    std::optional<int> Redo(EffectList& effects, std::uint8_t language);
    int current() const { return current_; }
    int highest() const { return highest_; }
    // Whether the design stands where it stood when the document was last saved (the first
    // snapshot is the design as it was, not an edit); an edit undone again is no change.
    bool AtSaved() const { return saved_.AtSaved(); }
    // The document was saved or opened: the design as it is now is the saved one.
    void MarkSaved() { saved_.MarkSaved(); }

private:
    std::optional<int> Restore(int number, EffectList& effects, std::uint8_t language);

    std::filesystem::path folder_;
    int current_ = 0;
    int highest_ = 0;
    SavedState saved_;
};

}  // namespace corv
