#pragma once

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

#include "project/EffectLayer.h"

namespace corv {

// The project's ordered design layers (the order of the layer panel and of the file).
class EffectList {
public:
    void Append(std::unique_ptr<EffectLayer> layer) { layers_.push_back(std::move(layer)); }
    void Clear() { layers_.clear(); }
    std::size_t Count() const { return layers_.size(); }
    bool Empty() const { return layers_.empty(); }

    EffectLayer& at(std::size_t i) { return *layers_.at(i); }
    const EffectLayer& at(std::size_t i) const { return *layers_.at(i); }

    auto begin() { return layers_.begin(); }
    auto end() { return layers_.end(); }
    auto begin() const { return layers_.begin(); }
    auto end() const { return layers_.end(); }

    // Takes every layer out of the list (the caller owns them).
    std::vector<std::unique_ptr<EffectLayer>> TakeAll() { return std::exchange(layers_, {}); }

private:
    std::vector<std::unique_ptr<EffectLayer>> layers_;
};

}  // namespace corv
