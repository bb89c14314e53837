#include "content/Particles.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

#include "base/ProfileFile.h"
#include "lang/messages/EngineMessages.h"

namespace corv {

namespace {

namespace text = msg::engine;

const std::vector<std::vector<std::string>>& EnglishChoices() {
    static const std::vector<std::vector<std::string>> c = {
        {text::kParticleRandom.english, text::kParticleMiddle.english},
        {text::kParticleTop.english, text::kParticleMiddle.english, text::kParticleBottom.english},
        {text::kParticleRandom.english},
        {text::kParticleRandom.english},
        {text::kParticleRandom.english, "sqrt(acc*hei/2)"},
        {text::kParticleRandom.english},
        {text::kParticleEast.english, text::kParticleWest.english, text::kParticleRandom.english,
         text::kParticleNoWind.english},
        {"1", "2", "3", "4", "5", "6", "8", "10", "20"},
        {"5", "10", "15", "20", "30", "40", "50"},
    };
    return c;
}

const std::vector<std::vector<std::string>>& ChineseChoices() {
    static const std::vector<std::vector<std::string>> c = {
        {text::kParticleRandom.chinese, text::kParticleMiddle.chinese},
        {text::kParticleTop.chinese, text::kParticleMiddle.chinese, text::kParticleBottom.chinese},
        {text::kParticleRandom.chinese},
        {text::kParticleRandom.chinese},
        {text::kParticleRandom.chinese, "sqrt(acc*hei/2)"},
        {text::kParticleRandom.chinese},
        {text::kParticleEast.chinese, text::kParticleWest.chinese, text::kParticleRandom.chinese,
         text::kParticleNoWind.chinese},
        EnglishChoices()[7],
        EnglishChoices()[8],
    };
    return c;
}

// The number a combo stands for: its typed value, or the number its entry reads.
int ComboNumber(const ParticleChoice& c, int combo) {
    if (c.selection < 0) return c.typed;
    const auto& list = EnglishChoices()[static_cast<std::size_t>(combo)];
    return std::atoi(list[static_cast<std::size_t>(std::min<int>(c.selection, static_cast<int>(list.size()) - 1))].c_str());
}

constexpr float kSpeedScale = 0.02f;
constexpr float kAccelScale = 0.0004f;

}  // namespace

const std::vector<std::string>& ParticleComboChoices(int combo) { return EnglishChoices().at(static_cast<std::size_t>(combo)); }
const std::vector<std::string>& ParticleComboChinese(int combo) { return ChineseChoices().at(static_cast<std::size_t>(combo)); }

ParticleOptions DefaultParticleOptions() {
    ParticleOptions o;
    o.combos[ParticleOptions::kWind].selection = 3;   // "Not"
    o.combos[ParticleOptions::kCycle].selection = 4;  // 5
    o.combos[ParticleOptions::kPower].selection = 3;  // 20
    return o;
}

ParticleParams ResolveParticles(const ParticleOptions& o, int /*width*/, int height) {
    using O = ParticleOptions;
    ParticleParams p;
    const auto& c = o.combos;
    p.randomX = c[O::kPosX].selection == 0;
    p.x = c[O::kPosX].selection == 1 ? 511.0f : static_cast<float>(std::clamp(c[O::kPosX].typed, -1, 1023));
    const int H = height;
    p.y = c[O::kPosY].selection == 0   ? -1.0f
          : c[O::kPosY].selection == 1 ? static_cast<float>(H / 2)
          : c[O::kPosY].selection == 2 ? static_cast<float>(H)
                                       : static_cast<float>(std::clamp(c[O::kPosY].typed, -1, std::max(H, -1)));
    p.randomZ = c[O::kPosZ].selection >= 0;
    p.z = std::clamp(c[O::kPosZ].typed * 0.1f, 0.0f, 2.0f);
    p.minVx = o.ranges[0] * kSpeedScale;
    p.maxVx = o.ranges[1] * kSpeedScale;
    p.minVy = o.ranges[2] * kSpeedScale;
    p.maxVy = o.ranges[3] * kSpeedScale;
    p.minVz = o.ranges[4] * kSpeedScale;
    p.maxVz = o.ranges[5] * kSpeedScale;
    p.ax = o.accel[0] * kAccelScale;
    p.ay = o.accel[1] * kAccelScale;
    p.az = o.accel[2] * kAccelScale;
    p.randomVx = c[O::kSpeedX].selection >= 0;
    p.vx = c[O::kSpeedX].typed * kSpeedScale;
    p.randomVy = c[O::kSpeedY].selection == 0;
    p.vy = c[O::kSpeedY].selection == 1 ? -std::sqrt(std::max(0.0f, o.accel[1] * static_cast<float>(H - 1) * 0.0008f))
                                        : c[O::kSpeedY].typed * kSpeedScale;
    p.randomVz = c[O::kSpeedZ].selection >= 0;
    p.vz = c[O::kSpeedZ].typed * 0.002f;
    p.wind = c[O::kWind].selection >= 0 ? std::clamp(c[O::kWind].selection, 0, 3) : std::clamp(c[O::kWind].typed, 0, 3);
    p.cycle = std::max(1, ComboNumber(c[O::kCycle], O::kCycle) * 50);
    p.power = ComboNumber(c[O::kPower], O::kPower) * kSpeedScale;
    p.throwAbout = o.throwAbout;
    p.sendSpeed = o.sendSpeed;
    return p;
}

ParticleEmission EmissionFor(int sendSpeed) {
    int s = sendSpeed == 0 ? 1 : std::abs(sendSpeed), p = 50;
    if (s % 2 == 0) {
        s /= 2;
        p = 25;
    }
    if (s % 5 == 0) {
        s /= 5;
        p /= 5;
        if (s % 5 == 0) {
            s /= 5;
            p /= 5;
        }
    }
    return {s, std::max(p, 1)};
}

QImage DefaultParticlePicture() {
    // A spark of three pixels across: bright in the middle, dimmer around it.
    QImage dot(3, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x) {
            const int d = std::abs(x - 1) + std::abs(y - 1);
            const int v = d == 0 ? 255 : d == 1 ? 150 : 60;
            dot.setPixel(x, y, qRgb(v, v, v));
        }
    }
    return dot;
}

ParticleSystem::ParticleSystem(const ParticleParams& params, int width, int height, std::uint32_t seed, QImage picture)
    : p_(params), width_(width), height_(height), random_(seed), emission_(EmissionFor(params.sendSpeed)) {
    if (!picture.isNull()) picture_ = picture.convertToFormat(QImage::Format_RGB32);
}

float ParticleSystem::Uniform(float lo, float hi) {
    if (hi < lo) std::swap(lo, hi);
    return lo + (hi - lo) * std::uniform_real_distribution<float>(0.0f, 1.0f)(random_);
}

void ParticleSystem::Emit() {
    for (int i = 0; i < emission_.count; ++i) {
        Particle q;
        q.x = p_.randomX ? Uniform(0.0f, static_cast<float>(width_)) : p_.x;
        q.y = p_.y;
        q.z = p_.randomZ ? Uniform(0.5f, 1.5f) : p_.z;
        q.vx = p_.randomVx ? Uniform(p_.minVx, p_.maxVx) : p_.vx;
        q.vy = p_.randomVy ? Uniform(p_.minVy, p_.maxVy) : p_.vy;
        q.vz = p_.randomVz ? Uniform(p_.minVz, p_.maxVz) : p_.vz;
        particles_.push_back(q);
    }
}

const QImage& ParticleSystem::Sprite(int w, int h) {
    const std::uint32_t key = (static_cast<std::uint32_t>(w) << 16) | static_cast<std::uint32_t>(h);
    auto it = sprites_.find(key);
    if (it == sprites_.end()) {
        it = sprites_.emplace(key, picture_.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)).first;
    }
    return it->second;
}

void ParticleSystem::Draw(QImage& surface) {
    if (picture_.isNull()) return;  // an unreadable picture leaves the particles invisible
    const int sw = surface.width(), sh = surface.height();
    auto* bits = reinterpret_cast<QRgb*>(surface.bits());
    const std::ptrdiff_t stride = surface.bytesPerLine() / 4;
    for (const Particle& q : particles_) {
        const int w = std::max(1, static_cast<int>(std::lround(picture_.width() * q.z)));
        const int h = std::max(1, static_cast<int>(std::lround(picture_.height() * q.z)));
        if (w > 4 * sw + 64 || h > 4 * sh + 64) continue;
        const int left = static_cast<int>(std::floor(q.x)), top = static_cast<int>(std::floor(q.y)) - h / 2;
        if (left >= sw || top >= sh || left + w <= 0 || top + h <= 0) continue;
        const QImage& sprite = Sprite(w, h);
        for (int y = std::max(0, -top); y < h && top + y < sh; ++y) {
            const auto* from = reinterpret_cast<const QRgb*>(sprite.constScanLine(y));
            QRgb* to = bits + (top + y) * stride;
            for (int x = std::max(0, -left); x < w && left + x < sw; ++x) {
                if ((from[x] & 0xFFFFFF) != 0) to[left + x] = from[x];  // black is the picture's background
            }
        }
    }
}

void ParticleSystem::Move(int frame) {
    float wind = 0;
    if (p_.wind == 0) wind = -p_.power;
    if (p_.wind == 1) wind = p_.power;
    if (p_.wind == 2) {
        // The random wind turns now and then: on average once a cycle.
        if (frame > 0 && std::uniform_int_distribution<int>(0, p_.cycle - 1)(random_) == 0) windEast_ = !windEast_;
        wind = windEast_ ? -p_.power : p_.power;
    }
    std::size_t kept = 0;
    for (Particle& q : particles_) {
        q.y += q.vy;
        if (q.y > static_cast<float>(height_) || q.y < -1.0f) continue;
        q.vy += p_.ay;
        q.x += q.vx;
        if (q.vx > 0) {
            q.vx = std::max(0.0f, q.vx - p_.ax);
        } else if (q.vx < 0) {
            q.vx = std::min(0.0f, q.vx + p_.ax);
        }
        if (q.vx == 0 && p_.throwAbout) q.vx = Uniform(p_.minVx, p_.maxVx);
        q.vx += wind;
        q.z += q.vz;
        if (q.vz > 0) {
            q.vz = std::max(0.0f, q.vz - p_.az);
        } else if (q.vz < 0) {
            q.vz = std::min(0.0f, q.vz + p_.az);
        }
        if (q.z <= 0) q.z = 0;
        if (q.z >= 2) {
            q.z = 2;
            q.vz = q.vz * -2.0f * 0.33333334f;
        }
        particles_[kept++] = q;
    }
    particles_.resize(kept);
}

void ParticleSystem::Step(int frame, QImage& surface) {
    if (frame % emission_.period == 0) Emit();
    Draw(surface);
    Move(frame);
}

// ---- the template library ----

namespace {
std::string Key(const char* name, int i) { return name + std::to_string(i); }

// The list of "Main": "Name1" .. "NameN" with N from "Number" (at most kMaxParticleTemplates),
// as (position, name) in list order. Only the keys really in the section are visited, and N
// counts no further than the last of them, so an absurd "Number" costs nothing.
struct NameList {
    std::vector<std::pair<int, std::string>> entries;  // names empty or not
    int count = 0;                                   // N, held to the last name there
};

NameList ReadNames(const ProfileFile& main) {
    NameList list;
    const int n = std::clamp(main.GetInt("Number", 0), 0, kMaxParticleTemplates);
    for (auto& [key, value] : main.Values()) {  // keys in lower case, the first of a name wins
        if (key.size() < 5 || key.size() > 14 || key.compare(0, 4, "name") != 0 || key[4] == '0') continue;
        std::int64_t i = 0;
        bool digits = true;
        for (std::size_t k = 4; k < key.size() && digits; ++k) {
            digits = key[k] >= '0' && key[k] <= '9';
            i = i * 10 + (key[k] - '0');
        }
        if (digits && i >= 1 && i <= n) list.entries.emplace_back(static_cast<int>(i), std::move(value));
    }
    std::sort(list.entries.begin(), list.entries.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    list.count = list.entries.empty() ? 0 : list.entries.back().first;
    return list;
}

bool Listed(const NameList& list, const std::string& name) {
    return !name.empty() && std::any_of(list.entries.begin(), list.entries.end(), [&](const auto& s) { return s.second == name; });
}
}  // namespace

std::vector<std::string> ParticleTemplateNames(const std::filesystem::path& library) {
    std::vector<std::string> names;
    for (auto& slot : ReadNames(ProfileFile(library, "Main")).entries) {
        if (!slot.second.empty()) names.push_back(std::move(slot.second));
    }
    return names;
}

std::optional<ParticleOptions> LoadParticleTemplate(const std::filesystem::path& library, const std::string& name) {
    const ProfileFile main(library, "Main");
    if (!Listed(ReadNames(main), name)) return std::nullopt;
    const ProfileFile t = main.InSection(name);
    ParticleOptions o = DefaultParticleOptions();
    for (int i = 0; i < ParticleOptions::kCombos; ++i) {
        ParticleChoice& c = o.combos[static_cast<std::size_t>(i)];
        const int count = static_cast<int>(ParticleComboChoices(i).size());
        c.selection = std::clamp(t.GetInt(Key("ComboSel_", i), c.selection), -1, count - 1);
        if (c.selection < 0) c.typed = t.GetInt(Key("ComboVal_", i), 0);
    }
    for (int i = 0; i < 9; ++i) {
        int& v = i < 6 ? o.ranges[static_cast<std::size_t>(i)] : o.accel[static_cast<std::size_t>(i - 6)];
        v = std::clamp(t.GetInt(Key("MinMaxAccV_", i), v), -100000, 100000);
    }
    o.sendSpeed = std::clamp(t.GetInt("Speed", o.sendSpeed), 0, 100000);
    o.throwAbout = t.GetInt("Swing", 0) != 0;
    return o;
}

bool SaveParticleTemplate(const std::filesystem::path& library, const std::string& name, const ParticleOptions& o) {
    if (name.empty()) return false;
    ProfileFile main(library, "Main");
    const NameList list = ReadNames(main);
    const int n = list.count;
    if (!Listed(list, name) && (!main.WriteInt("Number", n + 1) || !main.WriteString(Key("Name", n + 1), name))) return false;
    ProfileFile t = main.InSection(name);
    bool ok = true;
    for (int i = 0; i < ParticleOptions::kCombos; ++i) {
        const ParticleChoice& c = o.combos[static_cast<std::size_t>(i)];
        ok = t.WriteInt(Key("ComboSel_", i), c.selection) && ok;
        if (c.selection < 0) ok = t.WriteInt(Key("ComboVal_", i), c.typed) && ok;
    }
    for (int i = 0; i < 9; ++i) {
        ok = t.WriteInt(Key("MinMaxAccV_", i), i < 6 ? o.ranges[static_cast<std::size_t>(i)] : o.accel[static_cast<std::size_t>(i - 6)]) && ok;
    }
    ok = t.WriteInt("Speed", o.sendSpeed) && ok;
    ok = t.WriteInt("Swing", o.throwAbout ? 1 : 0) && ok;
    return ok;
}

bool DeleteParticleTemplate(const std::filesystem::path& library, const std::string& name) {
    ProfileFile main(library, "Main");
    const NameList list = ReadNames(main);
    const int n = list.count;
    auto at = std::find_if(list.entries.begin(), list.entries.end(), [&](const auto& s) { return s.second == name; });
    if (name.empty() || at == list.entries.end()) return false;
    // The names after it move up one place (a missing one counts as empty).
    std::map<int, std::string> byPlace(list.entries.begin(), list.entries.end());
    for (int i = at->first; i < n; ++i) {
        auto next = byPlace.find(i + 1);
        if (!main.WriteString(Key("Name", i), next == byPlace.end() ? std::string() : next->second)) return false;
    }
    return main.WriteString(Key("Name", n), "") && main.WriteInt("Number", n - 1);
}

}  // namespace corv
