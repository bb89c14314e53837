#include "content/generators/GeneratorUnit.h"

#include <array>

namespace corv::generators {

namespace {

// The units of the modes, in the order of GeneratorMode.
const std::array<const Generator*, kGeneratorModes>& Registry() {
    static const std::array<const Generator*, kGeneratorModes> kUnits = {
        &MovingGenerator(),  &SymmetryGenerator(), &InterleavingGenerator(),   &DiffusingGenerator(), &RotationGenerator(),
        &GradualGenerator(), &DroppingGenerator(), &PictureAndTextGenerator(), &ToyBricksGenerator(), &SoundWaveGenerator(),
        &JalousieGenerator(), &VShapeGenerator(),  &OtherGenerator(),
    };
    return kUnits;
}

}  // namespace

const Generator* FindGenerator(GeneratorMode mode) {
    const int m = static_cast<int>(mode);
    if (m < 0 || m >= kGeneratorModes) return nullptr;
    const Generator* unit = Registry()[static_cast<std::size_t>(m)];
    return unit && unit->mode() == mode ? unit : nullptr;
}

}  // namespace corv::generators
