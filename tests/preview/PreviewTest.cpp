// The sphere preview's mesh, sampling, arcball and play rules, and the LED preview's colours
// checked against the controller output's channel map.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <set>

#include "controller/ChannelMap.h"
#include "layout/LightType.h"
#include "preview/LedPreview.h"
#include "preview/SpherePreview.h"
#include "workspace/FrameViewRules.h"

using namespace corv;

namespace {

LayoutGrid Sphere(int rows, int cols) {
    Layout l;
    l.New(rows, cols, true, 3);
    return l.grid;
}

}  // namespace

TEST(SphereMesh, LatitudeBordersOfFourRows) {
    const SphereMesh mesh = BuildSphereMesh(Sphere(4, 8));
    ASSERT_EQ(mesh.rings.size(), 4u);
    const double borders[5] = {-1, -0.5, 0, 0.5, 1};
    for (int r = 0; r < 4; ++r) {
        EXPECT_NEAR(mesh.rings[r].lower, borders[r], 1e-12);
        EXPECT_NEAR(mesh.rings[r].upper, borders[r + 1], 1e-12);
        for (const auto& e : mesh.rings[r].edges) {
            EXPECT_NEAR(e[0].z, borders[r], 1e-12);
            EXPECT_NEAR(e[1].z, borders[r + 1], 1e-12);
            EXPECT_NEAR(e[1].x * e[1].x + e[1].y * e[1].y + e[1].z * e[1].z, 1.0, 1e-9);  // on the unit sphere
        }
    }
    EXPECT_TRUE(BuildSphereMesh(LayoutGrid{}).empty());  // a plain grid has no sphere
}

TEST(SphereMesh, RingSizesAndTextureColumnsFollowTheRowWidths) {
    for (auto [rows, cols] : {std::pair{5, 10}, std::pair{50, 100}}) {
        SCOPED_TRACE(rows);
        const LayoutGrid grid = Sphere(rows, cols);
        const SphereMesh mesh = BuildSphereMesh(grid);
        ASSERT_EQ(mesh.rings.size(), static_cast<std::size_t>(rows));
        std::uint32_t first = 0;
        for (int r = 0; r < rows; ++r) {
            const SphereRing& ring = mesh.rings[r];
            const int w = grid.rowWidths[r];
            EXPECT_EQ(ring.count, w);
            EXPECT_EQ(ring.firstIndex, first);
            ASSERT_EQ(ring.textureColumns.size(), static_cast<std::size_t>(w));
            for (int k = 0; k < w; ++k) EXPECT_FLOAT_EQ(ring.textureColumns[k], static_cast<float>(k) * cols / w);
            first += static_cast<std::uint32_t>(w);
        }
        // The equator rows are the widest, the poles the narrowest.
        EXPECT_GT(grid.rowWidths[rows / 2], grid.rowWidths[0]);
    }
}

TEST(SphereMesh, SamplingRuleAndRingsOfOneCell) {
    Frame f(6, 2);
    for (int x = 0; x < 6; ++x) f.SetPixel(x, 1, Bgr{static_cast<std::uint8_t>(10 * x), 0, static_cast<std::uint8_t>(100 + x)});
    // Stored row 0 is the bottom row (visual row 1).
    EXPECT_EQ(SampleColumn(f, 0, 2.4f), (Bgr{20, 0, 102}));
    EXPECT_EQ(SampleColumn(f, 0, 2.5f), (Bgr{25, 0, 102}));  // the integer mean of 102 and 103
    EXPECT_EQ(SampleColumn(f, 0, 2.6f), (Bgr{30, 0, 103}));
    EXPECT_EQ(SampleColumn(f, 0, 5.9f), (Bgr{50, 0, 105}));  // past the last pixel: the last
    // Rings of one cell are not drawn: six vertices for every cell of the wider rings only.
    LayoutGrid grid = Sphere(5, 10);
    grid.rowWidths = {1, 4, 1, 3, 2};
    const SphereMesh mesh = BuildSphereMesh(grid);
    EXPECT_EQ(SpherePositions(mesh).size(), static_cast<std::size_t>((4 + 3 + 2) * 6 * 3));
    std::vector<std::uint32_t> colours;
    SphereFacetColours(mesh, Frame::Filled(10, 5, 1, 2, 3), colours);
    ASSERT_EQ(colours.size(), std::size_t{4 + 3 + 2});
    EXPECT_EQ(colours.front(), 0xFF030201u);  // red in the low byte
    SphereFacetColours(mesh, Frame(10, 5), colours, 8);
    EXPECT_EQ(colours.size(), std::size_t{16});
}

TEST(SphereMesh, EveryPointOfTheSurfaceFindsItsFacet) {
    LayoutGrid ragged = Sphere(9, 20);
    ragged.rowWidths = {1, 4, 20, 1, 7, 2, 20, 3, 1};
    for (const LayoutGrid& grid : {Sphere(50, 100), Sphere(5, 10), ragged}) {
        const SphereMesh mesh = BuildSphereMesh(grid);
        const std::vector<float> table = SphereRingTable(mesh, 4);
        ASSERT_EQ(table.size() % 8, 0u);
        int first = 0;
        for (std::size_t r = 0; r < mesh.rings.size(); ++r) {
            const SphereRing& ring = mesh.rings[r];
            EXPECT_EQ(table[2 * r + 1], ring.count >= 2 ? ring.count : 0);
            if (ring.count >= 2) {
                EXPECT_EQ(table[2 * r], first);
            }
            for (int k = 0; k < ring.count; ++k) {
                const Vec3& c = ring.centres[static_cast<std::size_t>(k)];
                // The centre, and points just inside the facet's four borders.
                const double a = std::atan2(c.y, c.x), step = 2 * std::numbers::pi / ring.count, lift = (ring.upper - ring.lower) / 2;
                for (const auto& [da, dz] : {std::pair{0.0, 0.0}, {0.49, 0.0}, {-0.49, 0.0}, {0.0, 0.98}, {0.0, -0.98}}) {
                    const double z = c.z + dz * lift, rad = std::sqrt(std::max(0.0, 1 - z * z)), at = a + da * step;
                    const int want = ring.count >= 2 ? first + k : -1;
                    EXPECT_EQ(SphereFacetAt(mesh, Vec3{rad * std::cos(at), rad * std::sin(at), z}), want) << "ring " << r << " cell " << k;
                }
            }
            if (ring.count >= 2) first += ring.count;
        }
        EXPECT_EQ(RingAtHeight(mesh, -1.0), 0);
        EXPECT_EQ(RingAtHeight(mesh, 1.0), static_cast<int>(mesh.rings.size()) - 1);  // the north pole: the top ring
    }
}

TEST(SphereMesh, TheDrawnSurface) {
    // Few rings: the facets themselves, a ring of up to 64 cells exactly.
    LayoutGrid ragged = Sphere(5, 10);
    ragged.rowWidths = {1, 4, 1, 3, 2};
    SphereMesh mesh = BuildSphereMesh(ragged);
    EXPECT_EQ(SphereShell(mesh), SpherePositions(mesh));
    // Wider rings in 64 pieces; many rings in 32 bands of 64 pieces.
    mesh = BuildSphereMesh(Sphere(10, 100));
    std::size_t pieces = 0;
    for (const SphereRing& ring : mesh.rings) pieces += ring.count >= 2 ? static_cast<std::size_t>(std::min<int>(ring.count, kShellPieces)) : 0;
    EXPECT_GT(pieces, 64u * 5);  // some rings wider than 64 cells
    EXPECT_EQ(SphereShell(mesh).size(), pieces * 6 * 3);
    mesh = BuildSphereMesh(Sphere(200, 400));
    const std::vector<float> shell = SphereShell(mesh);
    ASSERT_EQ(shell.size(), std::size_t{kShellBands * kShellPieces * 6 * 3});
    double lowest = 1, highest = -1;
    for (std::size_t t = 0; t < shell.size(); t += 9) {
        Vec3 v[3];
        for (int i = 0; i < 3; ++i) {
            v[i] = {shell[t + 3 * i], shell[t + 3 * i + 1], shell[t + 3 * i + 2]};
            EXPECT_NEAR(std::sqrt(v[i].x * v[i].x + v[i].y * v[i].y + v[i].z * v[i].z), 1.0, 1e-6);  // on the sphere
            lowest = std::min(lowest, v[i].z);
            highest = std::max(highest, v[i].z);
        }
        // Counter-clockwise seen from outside (the triangles at the poles may be empty).
        const Vec3 e1{v[1].x - v[0].x, v[1].y - v[0].y, v[1].z - v[0].z}, e2{v[2].x - v[0].x, v[2].y - v[0].y, v[2].z - v[0].z};
        const Vec3 n{e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x};
        EXPECT_GE(n.x * (v[0].x + v[1].x + v[2].x) + n.y * (v[0].y + v[1].y + v[2].y) + n.z * (v[0].z + v[1].z + v[2].z), -1e-9);
    }
    EXPECT_EQ(lowest, -1);
    EXPECT_EQ(highest, 1);
}

TEST(SphereMesh, SamplerFollowsTheSamplingRuleForFramesOfAnySize) {
    LayoutGrid ragged = Sphere(6, 13);
    ragged.rowWidths = {2, 13, 5, 1, 9, 13};
    const SphereMesh mesh = BuildSphereMesh(ragged);
    std::uint32_t seed = 7;
    for (const auto& [w, h] : {std::pair{13, 6}, {5, 3}, {31, 14}, {1, 1}, {40, 6}}) {
        Frame f(w, h);
        for (auto& byte : f.bytes()) byte = static_cast<std::uint8_t>((seed = seed * 1103515245u + 12345u) >> 16);
        std::vector<std::uint32_t> got;
        SphereColourSampler sampler(mesh, w, h);
        sampler.Fill(f, got, 16);
        ASSERT_EQ(got.size(), 48u);  // 2 + 13 + 5 + 9 + 13 facets, padded to 16
        std::size_t i = 0;
        for (std::size_t r = 0; r < mesh.rings.size(); ++r) {
            const SphereRing& ring = mesh.rings[r];
            if (ring.count < 2) continue;
            for (int k = 0; k < ring.count; ++k, ++i) {
                // Grid row r reads stored row rows - 1 - r, scaled; the column scaled to the frame.
                const int stored = h - 1 - static_cast<int>(r * static_cast<std::size_t>(h) / 6);
                const Bgr c = SampleColumn(f, stored, ring.textureColumns[static_cast<std::size_t>(k)] * static_cast<float>(w) / 13.0f);
                EXPECT_EQ(got[i], std::uint32_t{c.r} | std::uint32_t{c.g} << 8 | std::uint32_t{c.b} << 16 | 0xFF000000u) << w << "x" << h << " facet " << i;
            }
        }
        EXPECT_EQ(got[47], 0xFF000000u);
        // A frame of another size is not read through offsets made for this one.
        EXPECT_FALSE(sampler.Fits(w + 1, h));
        sampler.Fill(Frame(w + 1, h), got);
        EXPECT_EQ(got[0], 0xFF000000u);
    }
}

TEST(SphereView, ArcballAndTheStartingTurn) {
    Arcball ball(800, 800);
    ball.Click(399.5f, 399.5f);  // the middle: (0, 0, 1)
    const Quat q = ball.Drag(599.5f, 399.5f);
    const double x = 200 / 399.5;
    EXPECT_NEAR(q.x, 0, 1e-6);
    EXPECT_NEAR(q.y, x, 1e-6);  // about the y axis
    EXPECT_NEAR(q.z, 0, 1e-6);
    EXPECT_NEAR(q.w, std::sqrt(1 - x * x), 1e-6);
    const Quat none = ball.Drag(399.5f, 399.5f);
    EXPECT_EQ(none.x, 0);
    EXPECT_EQ(none.w, 0);
    const Mat3 zero = RotationFromQuat(none);
    EXPECT_EQ(zero[0], 1);  // s = 0: the identity
    // The quarter turn about x the view starts with, and Show face going back to it.
    const Mat4 t = InitialTransform();
    EXPECT_EQ(t[0], 1);
    EXPECT_EQ(t[9], 1);
    EXPECT_EQ(t[6], -1);
    EXPECT_EQ(t[15], 1);
    SphereViewState state;
    state.Nudge(1, 0);
    EXPECT_NE(state.transform, InitialTransform());
    state.ShowFace();
    EXPECT_EQ(state.transform, InitialTransform());
    EXPECT_EQ(state.thisRotation, InitialRotation());
    // A full drag keeps the rotation a rotation (columns of length 1).
    state.Press(100, 300);
    state.DragTo(500, 250);
    for (int c = 0; c < 3; ++c) {
        const float* col = &state.transform[c * 4];
        EXPECT_NEAR(col[0] * col[0] + col[1] * col[1] + col[2] * col[2], 1.0, 1e-4);
    }
}

TEST(SphereView, PlayRate) {
    EXPECT_EQ(PlayInterval(5), 100);  // at 10 a second
    EXPECT_EQ(PlayInterval(100), 12);  // at 80 a second
    EXPECT_EQ(PlayInterval(25), 40);
    EXPECT_FALSE(CanPlay(1));
    EXPECT_FALSE(CanPlay(0));
    EXPECT_TRUE(CanPlay(2));
}

TEST(SphereView, SoftwareDrawingShowsTheFrontInTheFramesColours) {
    const LayoutGrid grid = Sphere(40, 80);
    const Frame red = Frame::Filled(80, 40, 255, 0, 0);
    const QImage picture = RenderSphereImage(BuildSphereMesh(grid), red, InitialTransform(), QSize(200, 200), 1.0f);
    EXPECT_EQ(picture.pixel(100, 100), qRgb(255, 0, 0));  // the middle of the ball
    EXPECT_EQ(picture.pixel(2, 2), qRgb(0, 0, 0));        // the corner is black
}

TEST(LedPreview, EachLedShowsTheBytesTheChannelMapReads) {
    // A 6 x 8 grid whose frames are 9 x 13: the cells are scaled to the frame as the output does.
    Layout l;
    l.New(6, 8, false, 3);
    for (int c = 0; c < 8; ++c) l.lines[0].push_back(MakePoint(0, c));
    for (int r = 1; r < 6; ++r) l.lines[1].push_back(MakePoint(r, 7 - r));
    l.lines[1].push_back(MakePoint(0, 3));  // a cell already on line 1: one dot
    l.RecomputeLineCount();
    Frame f(13, 9);
    for (std::size_t i = 0; i < f.size(); ++i) f.data()[i] = static_cast<std::uint8_t>(i * 7 + 1);
    const FrameShape shape{9, 13};
    const std::vector<LedDot> dots = CollectLeds(l, shape);
    EXPECT_EQ(dots.size(), 8u + 5u);
    const ChannelMap map = BuildMasterSlaveMap(l, BuiltInLightTypes(), 0, 2, shape);
    const std::set<std::uint32_t> read(map.entries.begin(), map.entries.end());
    std::set<std::uint32_t> shown;
    for (const LedDot& d : dots) {
        for (std::uint32_t c = 0; c < 3; ++c) {
            EXPECT_TRUE(read.count(d.offset + c)) << "row " << d.row << " col " << d.col;
            shown.insert(d.offset + c);
        }
        const Bgr colour = LedColour(f, d);
        EXPECT_EQ(colour.b, f.data()[d.offset]);
        EXPECT_EQ(colour.g, f.data()[d.offset + 1]);
        EXPECT_EQ(colour.r, f.data()[d.offset + 2]);
    }
    for (std::uint32_t e : read) {
        if (e != 0) {
            EXPECT_TRUE(shown.count(e)) << e;  // 0: a channel without an LED
        }
    }
    // Drawn: a dot's middle has its colour, the black between dots stays black.
    const QImage image = RenderLedImage(l, f, QSize(160, 120), false);
    const LedPlacement place = FitGrid(l.grid, QSize(160, 120));
    const LedDot& d = dots[2];
    const Bgr c = LedColour(f, d);
    const QPoint middle(static_cast<int>(place.origin.x() + (d.col + 0.5) * place.cell),
                        static_cast<int>(place.origin.y() + (d.row + 0.5) * place.cell));
    EXPECT_EQ(image.pixel(middle), qRgb(c.r, c.g, c.b));
    EXPECT_EQ(image.pixel(static_cast<int>(place.origin.x() + 1), static_cast<int>(place.origin.y() + 5 * place.cell + 1)), qRgb(0, 0, 0));
    // No LEDs at all: nothing but black.
    Layout empty;
    empty.New(4, 4, false, 3);
    const QImage none = RenderLedImage(empty, f, QSize(40, 40), true);
    EXPECT_EQ(none.pixel(20, 20), qRgb(0, 0, 0));
}

TEST(LedPreview, GlowSaturatesAndDotsAreCutAtTheEdges) {
    Layout l;
    l.New(3, 3, false, 3);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) l.lines[0].push_back(MakePoint(r, c));
    }
    l.RecomputeLineCount();
    for (const Bgr colour : {Bgr{255, 255, 255}, Bgr{30, 100, 200}}) {
        const Frame f = Frame::Filled(3, 3, colour);
        const std::vector<LedDot> dots = CollectLeds(l, FrameShape{3, 3});
        ASSERT_EQ(dots.size(), 9u);
        // Panned so that dots hang over each edge of the picture in turn.
        for (const QPointF origin : {QPointF(-10, -10), QPointF(30, 30), QPointF(-35, 25), QPointF(25, -35)}) {
            for (const bool glow : {false, true}) {
                QImage image(60, 60, QImage::Format_RGB32);
                image.fill(Qt::black);
                DrawLeds(image, dots, f, LedPlacement{origin, 20.0}, glow);
                for (int r = 0; r < 3; ++r) {
                    for (int c = 0; c < 3; ++c) {
                        const QPoint middle(static_cast<int>(origin.x()) + 20 * c + 10, static_cast<int>(origin.y()) + 20 * r + 10);
                        if (!image.rect().contains(middle)) continue;
                        // A white dot under the glow of its neighbours stays white (no channel wraps).
                        EXPECT_EQ(image.pixel(middle), qRgb(colour.r, colour.g, colour.b)) << glow;
                    }
                }
                // Between two dots of a row: black without the glow, lit in the dots' hue with it.
                const QPoint between(static_cast<int>(origin.x()) + 20, static_cast<int>(origin.y()) + 10);
                if (!image.rect().contains(between)) continue;
                const QRgb p = image.pixel(between);
                if (!glow) {
                    EXPECT_EQ(p, qRgb(0, 0, 0));
                } else {
                    EXPECT_GT(qRed(p), 0);
                    EXPECT_GE(qRed(p), qGreen(p));
                    EXPECT_GE(qGreen(p), qBlue(p));
                }
            }
        }
    }
    // Glow is light added: drawn over a lit picture it never darkens a channel (no wrap past 255).
    QImage lit(60, 60, QImage::Format_RGB32);
    lit.fill(qRgb(200, 180, 250));
    DrawLeds(lit, CollectLeds(l, FrameShape{3, 3}), Frame::Filled(3, 3, Bgr{255, 255, 255}), LedPlacement{QPointF(0, 0), 20.0}, true);
    int brighter = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 60; ++x) {
            const QRgb p = lit.pixel(x, y);
            ASSERT_TRUE(qRed(p) >= 200 && qGreen(p) >= 180 && qBlue(p) >= 250) << x << "," << y;
            brighter += qRed(p) > 200;
        }
    }
    EXPECT_GT(brighter, 2000);
}

TEST(LedPreview, BandsDrawnByThreadsEqualOnePass) {
    // 90 x 70 LEDs of a changing colour, panned so that they hang over the edges.
    Layout l;
    l.New(70, 90, false, 3);
    for (int r = 0; r < 70; ++r) {
        for (int c = 0; c < 90; ++c) l.lines[static_cast<std::size_t>(r % 8)].push_back(MakePoint(r, c));
    }
    l.RecomputeLineCount();
    Frame f(90, 70);
    for (int y = 0; y < 70; ++y) {
        for (int x = 0; x < 90; ++x) f.SetPixel(x, y, Bgr{static_cast<std::uint8_t>(x * 3), static_cast<std::uint8_t>(y * 7), static_cast<std::uint8_t>((x * y) % 256)});
    }
    const std::vector<LedDot> dots = CollectLeds(l, FrameShape{70, 90});
    ASSERT_EQ(dots.size(), 6300u);
    for (const bool glow : {false, true}) {
        QImage one(700, 500, QImage::Format_RGB32);
        one.fill(Qt::black);
        const LedPlacement place{QPointF(-13.5, -21.25), 7.5};
        DrawLeds(one, dots, f, place, glow, 1);
        for (const int threads : {2, 3, 7}) {
            QImage many(700, 500, QImage::Format_RGB32);
            many.fill(Qt::black);
            DrawLeds(many, dots, f, place, glow, threads);
            EXPECT_EQ(many, one) << threads << " threads, glow " << glow;
        }
        EXPECT_NE(one.pixel(350, 250), qRgb(0, 0, 0));
    }
}
