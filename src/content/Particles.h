#pragma once

// The particle system of "Other > Particle": particles start at a position, move with a speed
// that an acceleration and an optional wind change, and are drawn as a small picture scaled by
// their depth. The dialog's values are kept as typed (combo selections or typed numbers) and
// resolved against the working rectangle when a run starts; named sets of them are kept in the
// template library "ParticleLib.ptb".

#include <QImage>

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace corv {

// A combo of the dialog: the chosen entry, or -1 with the number typed into it.
struct ParticleChoice {
    int selection = 0;
    int typed = 0;
};

struct ParticleOptions {
    // Position X, Y, Z, speed X, Y, Z, wind direction, wind cycle, wind power.
    enum Combo { kPosX, kPosY, kPosZ, kSpeedX, kSpeedY, kSpeedZ, kWind, kCycle, kPower, kCombos };
    std::array<ParticleChoice, kCombos> combos{};
    // The six range edits: the least and most random speed across, down and in depth.
    std::array<int, 6> ranges{-50, 50, 0, 100, -5, 5};
    // Acceleration across, down and in depth.
    std::array<int, 3> accel{0, 20, 0};
    int sendSpeed = 50;     // particles per 50 frames
    bool throwAbout = false;
};

// The entries of each combo (English; the Chinese texts come from ParticleComboChinese).
const std::vector<std::string>& ParticleComboChoices(int combo);
const std::vector<std::string>& ParticleComboChinese(int combo);
// The dialog's start values: X random, Y top, Z random, random speeds, no wind, cycle 5, power 20.
ParticleOptions DefaultParticleOptions();

// The values a run uses, resolved for a working rectangle of W x H.
struct ParticleParams {
    bool randomX = true;
    float x = 0, y = -1;
    bool randomZ = true;
    float z = 1;
    bool randomVx = true, randomVy = true, randomVz = true;
    float vx = 0, vy = 0, vz = 0;
    float minVx = 0, maxVx = 0, minVy = 0, maxVy = 0, minVz = 0, maxVz = 0;
    float ax = 0, ay = 0, az = 0;
    int wind = 3;      // 0 east, 1 west, 2 random, 3 not
    int cycle = 250;   // frames
    float power = 0.4f;
    bool throwAbout = false;
    int sendSpeed = 50;
};
ParticleParams ResolveParticles(const ParticleOptions& options, int width, int height);

// Emission: `count` new particles on every frame whose number in the run is a multiple of
// `period`. 50 gives one a frame, 25 one every 2 frames, 3 three every 50 frames.
struct ParticleEmission {
    int count = 1;
    int period = 50;
};
ParticleEmission EmissionFor(int sendSpeed);

struct Particle {
    float x = 0, y = 0, z = 1, vx = 0, vy = 0, vz = 0;
};

// One run of the simulation on a surface of W x H.
class ParticleSystem {
public:
    ParticleSystem(const ParticleParams& params, int width, int height, std::uint32_t seed, QImage picture);

    // Frame `frame` of the run (0-based): emits, draws every particle onto `surface` (already
    // filled with the background; RGB32 of W x H, black pixels of the picture left out), then
    // moves them.
    void Step(int frame, QImage& surface);
    const std::vector<Particle>& particles() const { return particles_; }
    // For tests: a particle placed by hand.
    void Add(const Particle& p) { particles_.push_back(p); }

private:
    float Uniform(float lo, float hi);
    void Emit();
    void Draw(QImage& surface);
    void Move(int frame);
    const QImage& Sprite(int w, int h);

    ParticleParams p_;
    int width_, height_;
    std::mt19937 random_;
    QImage picture_;
    std::map<std::uint32_t, QImage> sprites_;
    ParticleEmission emission_;
    std::vector<Particle> particles_;
    bool windEast_ = true;  // the random wind's present side
};

// The picture a particle is drawn as when the home has none: a white spark of 3 x 3.
QImage DefaultParticlePicture();
inline constexpr const char* kParticlePictureName = "particle.bmp";

// The template library (an INI file of the application home).
inline constexpr const char* kParticleLibraryName = "ParticleLib.ptb";
// The names in library order. At most kMaxParticleTemplates are read, and no more than the
// "Name%d" keys really in the file whatever "Number" says; empty names are left out.
inline constexpr int kMaxParticleTemplates = 1000000;
std::vector<std::string> ParticleTemplateNames(const std::filesystem::path& library);
std::optional<ParticleOptions> LoadParticleTemplate(const std::filesystem::path& library, const std::string& name);
// Saves under `name` (overwriting a template of that name without changing "Number"); false for
// an empty name or a library that cannot be written.
bool SaveParticleTemplate(const std::filesystem::path& library, const std::string& name, const ParticleOptions& options);
// Removes the template: its name leaves the list (the names after it move up) and its section goes.
bool DeleteParticleTemplate(const std::filesystem::path& library, const std::string& name);

}  // namespace corv
