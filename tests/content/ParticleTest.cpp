#include <gtest/gtest.h>

#include <fstream>

#include "base/TempDir.h"
#include "content/Generators.h"
#include "content/Particles.h"
#include "base/ProfileFile.h"

using namespace corv;

namespace {

// Values that keep every particle where it starts: no speed, no acceleration, the middle row.
ParticleOptions Still(int send) {
    ParticleOptions o = DefaultParticleOptions();
    o.combos[ParticleOptions::kPosY] = {1, 0};
    for (int c : {ParticleOptions::kSpeedX, ParticleOptions::kSpeedY, ParticleOptions::kSpeedZ}) o.combos[static_cast<std::size_t>(c)] = {-1, 0};
    o.accel = {0, 0, 0};
    o.sendSpeed = send;
    return o;
}

int Emitted(int send, int frames) {
    ParticleSystem system(ResolveParticles(Still(send), 40, 30), 40, 30, 1, DefaultParticlePicture());
    QImage surface(40, 30, QImage::Format_RGB32);
    for (int f = 0; f < frames; ++f) system.Step(f, surface);
    return static_cast<int>(system.particles().size());
}

}  // namespace

TEST(Particles, EmissionRate) {
    EXPECT_EQ(EmissionFor(50).count, 1);
    EXPECT_EQ(EmissionFor(50).period, 1);
    EXPECT_EQ(EmissionFor(25).count, 1);
    EXPECT_EQ(EmissionFor(25).period, 2);
    EXPECT_EQ(EmissionFor(3).count, 3);
    EXPECT_EQ(EmissionFor(3).period, 50);
    EXPECT_EQ(EmissionFor(0).count, 1);  // 0 counts as 1
    EXPECT_EQ(EmissionFor(0).period, 50);
    EXPECT_EQ(EmissionFor(100).count, 2);
    EXPECT_EQ(EmissionFor(100).period, 1);
    // Over 100 frames of particles that never leave: one a frame, one every 2 frames, three
    // every 50 frames (frames 0 and 50). Nobody dies, so the counts are what was sent.
    EXPECT_EQ(Emitted(50, 100), 100);
    EXPECT_EQ(Emitted(25, 100), 50);
    EXPECT_EQ(Emitted(3, 100), 6);
}

TEST(Particles, ResolvedValuesAndMovement) {
    ParticleOptions o = DefaultParticleOptions();
    o.combos[ParticleOptions::kPosX] = {-1, 5000};
    o.combos[ParticleOptions::kPosY] = {-1, 500};
    o.combos[ParticleOptions::kPosZ] = {-1, 35};
    o.combos[ParticleOptions::kSpeedY] = {1, 0};
    o.accel = {0, 25, 0};
    ParticleParams p = ResolveParticles(o, 64, 40);
    EXPECT_FALSE(p.randomX);
    EXPECT_EQ(p.x, 1023.0f);  // a typed 5000 is used as 1023
    EXPECT_EQ(p.y, 40.0f);    // clamped to the height
    EXPECT_EQ(p.z, 2.0f);     // 3.5 clamped to 2
    EXPECT_FLOAT_EQ(p.vy, -std::sqrt(25 * 39 * 0.0008f));
    EXPECT_FLOAT_EQ(p.ay, 0.01f);
    o.combos[ParticleOptions::kPosY] = {0, 0};
    EXPECT_EQ(ResolveParticles(o, 64, 40).y, -1.0f);
    o.combos[ParticleOptions::kPosY] = {1, 0};
    EXPECT_EQ(ResolveParticles(o, 64, 41).y, 20.0f);
    o.combos[ParticleOptions::kPosY] = {2, 0};
    EXPECT_EQ(ResolveParticles(o, 64, 40).y, 40.0f);
    o.combos[ParticleOptions::kPosX] = {1, 0};
    EXPECT_EQ(ResolveParticles(o, 64, 40).x, 511.0f);

    // A particle with no speed or acceleration lives through the whole run, even at the top row.
    ParticleParams still = ResolveParticles(Still(3), 40, 30);
    still.y = -1;
    ParticleSystem system(still, 40, 30, 1, DefaultParticlePicture());
    QImage surface(40, 30, QImage::Format_RGB32);
    for (int f = 0; f < 500; ++f) system.Step(f, surface);
    EXPECT_EQ(system.particles().size(), 30u);
    // One falling past the bottom is gone; horizontal speed dies out by the acceleration.
    ParticleParams falling = ResolveParticles(Still(3), 40, 30);
    falling.ax = 0.5f;
    ParticleSystem drop(falling, 40, 30, 1, QImage());
    drop.Add(Particle{10, 29, 1, 1.2f, 1.5f, 0});
    drop.Add(Particle{10, 10, 1, 1.2f, 0, 0});
    drop.Step(1, surface);  // frame 1: nothing sent
    ASSERT_EQ(drop.particles().size(), 1u);
    EXPECT_FLOAT_EQ(drop.particles()[0].x, 11.2f);
    EXPECT_FLOAT_EQ(drop.particles()[0].vx, 0.7f);
    drop.Step(1, surface);
    drop.Step(1, surface);
    EXPECT_FLOAT_EQ(drop.particles()[0].vx, 0.0f);  // never past 0
    // Depth bounces back from 2 with -2/3 of its speed.
    ParticleSystem deep(falling, 40, 30, 1, QImage());
    deep.Add(Particle{5, 5, 1.9f, 0, 0, 0.3f});
    deep.Step(1, surface);
    EXPECT_EQ(deep.particles()[0].z, 2.0f);
    EXPECT_NEAR(deep.particles()[0].vz, -0.2f, 1e-6);
}

TEST(Particles, DrawnCentredOnTheirRowWithBlackLeftOut) {
    QImage picture(3, 3, QImage::Format_RGB32);
    picture.fill(Qt::black);
    picture.setPixel(1, 1, qRgb(255, 0, 0));
    picture.setPixel(0, 0, qRgb(0, 255, 0));
    ParticleParams p = ResolveParticles(Still(3), 20, 20);
    ParticleSystem system(p, 20, 20, 1, picture);
    system.Add(Particle{5, 8, 1, 0, 0, 0});
    QImage surface(20, 20, QImage::Format_RGB32);
    surface.fill(qRgb(9, 9, 9));
    system.Step(1, surface);
    // The picture's left edge at x, its middle row on y.
    EXPECT_EQ(surface.pixel(6, 8), qRgb(255, 0, 0));
    EXPECT_EQ(surface.pixel(5, 7), qRgb(0, 255, 0));
    EXPECT_EQ(surface.pixel(7, 9), qRgb(9, 9, 9));  // black pixels leave the background
    // Particles off the surface and an unreadable picture draw nothing and do not fail.
    ParticleSystem blind(p, 20, 20, 1, QImage());
    blind.Add(Particle{5, 8, 1, 0, 0, 0});
    surface.fill(qRgb(9, 9, 9));
    blind.Step(1, surface);
    EXPECT_EQ(surface.pixel(6, 8), qRgb(9, 9, 9));
    system.Add(Particle{-100, -100, 2, 0, 0, 0});
    system.Add(Particle{1e9f, 1e9f, 2, 0, 0, 0});
    system.Step(1, surface);
}

TEST(Particles, RunsAsAGeneratorWithItsSeed) {
    auto run = [](std::uint32_t seed) {
        std::vector<Frame> frames{Frame::Filled(32, 24, Bgr{0, 0, 0})};
        FrameUndo undo;
        ColourList colours({0xFF0000, 0x00FF00});
        GeneratorRun r;
        r.frames = &frames;
        r.undo = &undo;
        r.colours = &colours;
        r.count = 30;
        r.seed = seed;
        r.particles = DefaultParticleOptions();
        r.particles.combos[ParticleOptions::kPosY] = {1, 0};
        EXPECT_EQ(RunGenerator(r, GeneratorMode::Other, 0), 30);
        EXPECT_EQ(colours.selected(), 1);  // the list moves on once for the run
        return frames;
    };
    const auto a = run(3), b = run(3), c = run(4);
    ASSERT_EQ(a.size(), 31u);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    // Something was drawn.
    bool lit = false;
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 32; ++x) lit = lit || !(a[30].Pixel(x, y) == Bgr{0, 0, 0});
    }
    EXPECT_TRUE(lit);
}

TEST(Particles, TemplateLibrary) {
    TempDir dir;
    const auto lib = dir.File(kParticleLibraryName);
    EXPECT_TRUE(ParticleTemplateNames(lib).empty());
    ParticleOptions fountain = DefaultParticleOptions();
    fountain.combos[ParticleOptions::kPosX] = {-1, 300};
    fountain.combos[ParticleOptions::kSpeedY] = {1, 0};
    fountain.ranges = {1, 2, 3, 4, 5, 6};
    fountain.accel = {7, 8, 9};
    fountain.sendSpeed = 25;
    fountain.throwAbout = true;
    EXPECT_FALSE(SaveParticleTemplate(lib, "", fountain));  // no name, nothing saved
    ASSERT_TRUE(SaveParticleTemplate(lib, "Fountain", fountain));
    ASSERT_TRUE(SaveParticleTemplate(lib, "Snow", DefaultParticleOptions()));
    EXPECT_EQ(ParticleTemplateNames(lib), (std::vector<std::string>{"Fountain", "Snow"}));
    const auto back = LoadParticleTemplate(lib, "Fountain");
    ASSERT_TRUE(back);
    EXPECT_EQ(back->combos[ParticleOptions::kPosX].selection, -1);
    EXPECT_EQ(back->combos[ParticleOptions::kPosX].typed, 300);
    EXPECT_EQ(back->combos[ParticleOptions::kSpeedY].selection, 1);
    EXPECT_EQ(back->ranges, fountain.ranges);
    EXPECT_EQ(back->accel, fountain.accel);
    EXPECT_EQ(back->sendSpeed, 25);
    EXPECT_TRUE(back->throwAbout);
    // Overwriting keeps "Number".
    fountain.sendSpeed = 10;
    ASSERT_TRUE(SaveParticleTemplate(lib, "Fountain", fountain));
    EXPECT_EQ(ProfileFile(lib, "Main").GetInt("Number", 0), 2);
    EXPECT_EQ(LoadParticleTemplate(lib, "Fountain")->sendSpeed, 10);
    // Deleting moves the later names up.
    ASSERT_TRUE(DeleteParticleTemplate(lib, "Fountain"));
    EXPECT_EQ(ParticleTemplateNames(lib), (std::vector<std::string>{"Snow"}));
    EXPECT_FALSE(LoadParticleTemplate(lib, "Fountain"));
    EXPECT_FALSE(DeleteParticleTemplate(lib, "Fountain"));
    // A damaged library: an absurd count, garbage values, names missing. Read what is there.
    {
        std::ofstream out(lib);
        out << "[Main]\nNumber=99999999\nName1=Odd\nName3=\n[Odd]\nComboSel_0=77\nComboSel_1=-5\nMinMaxAccV_0=abc\nSpeed=-3\n\x01\x02garbage\n";
    }
    EXPECT_EQ(ParticleTemplateNames(lib), (std::vector<std::string>{"Odd"}));
    const auto odd = LoadParticleTemplate(lib, "Odd");
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->combos[0].selection, 1);  // kept within the combo
    EXPECT_EQ(odd->combos[1].selection, -1);
    EXPECT_EQ(odd->sendSpeed, 0);
}

// A library whose "Number" is far beyond its names, in a file of a megabyte: the names really
// there are read (in their order, the same rules for key names as every lookup), and a template
// saved next takes the place after the last name there.
TEST(Particles, LibraryWithAnAbsurdNumber) {
    TempDir dir;
    const auto lib = dir.File(kParticleLibraryName);
    {
        std::ofstream out(lib, std::ios::binary);
        out << "[Main]\nNumber=2147483647\nNAME7=Seven\nName1=One\nName09=Padded\nname3=\nName-2=Minus\nName1=Again\n";
        out << "[Seven]\nSpeed=33\n[Filler]\n";
        for (int i = 0; out.tellp() < 1 << 20; ++i) out << "Key" << i << "=" << std::string(40, 'f') << "\n";
    }
    EXPECT_EQ(ParticleTemplateNames(lib), (std::vector<std::string>{"One", "Seven"}));
    const auto seven = LoadParticleTemplate(lib, "Seven");
    ASSERT_TRUE(seven);
    EXPECT_EQ(seven->sendSpeed, 33);
    EXPECT_FALSE(LoadParticleTemplate(lib, "Padded"));
    EXPECT_FALSE(LoadParticleTemplate(lib, "Again"));
    ASSERT_TRUE(SaveParticleTemplate(lib, "Eight", DefaultParticleOptions()));
    EXPECT_EQ(ProfileFile(lib, "Main").GetInt("Number", 0), 8);
    EXPECT_EQ(ProfileFile(lib, "Main").GetString("Name8"), "Eight");
    EXPECT_EQ(ParticleTemplateNames(lib), (std::vector<std::string>{"One", "Seven", "Eight"}));
    ASSERT_TRUE(DeleteParticleTemplate(lib, "One"));
    EXPECT_EQ(ParticleTemplateNames(lib), (std::vector<std::string>{"Seven", "Eight"}));
    EXPECT_EQ(ProfileFile(lib, "Main").GetInt("Number", 0), 7);
    EXPECT_EQ(LoadParticleTemplate(lib, "Seven")->sendSpeed, 33);
}

// A library of 20,000 names: every one is listed in order and every one loads.
TEST(Particles, LibraryOfTwentyThousandNames) {
    TempDir dir;
    const auto lib = dir.File(kParticleLibraryName);
    {
        std::ofstream out(lib, std::ios::binary);
        out << "[Main]\nNumber=20000\n";
        for (int i = 1; i <= 20000; ++i) out << "Name" << i << "=T" << i << "\n";
        for (int i = 1; i <= 20000; ++i) out << "[T" << i << "]\nSpeed=" << i % 1000 << "\n";
    }
    const auto names = ParticleTemplateNames(lib);
    ASSERT_EQ(names.size(), 20000u);
    int inOrder = 0;
    for (int i = 1; i <= 20000; ++i) inOrder += names[static_cast<std::size_t>(i - 1)] == "T" + std::to_string(i);
    EXPECT_EQ(inOrder, 20000);
    for (int i : {1, 9999, 10000, 10001, 20000}) {
        const auto t = LoadParticleTemplate(lib, "T" + std::to_string(i));
        ASSERT_TRUE(t) << i;
        EXPECT_EQ(t->sendSpeed, i % 1000) << i;
    }
    EXPECT_FALSE(LoadParticleTemplate(lib, "T20001"));
}
