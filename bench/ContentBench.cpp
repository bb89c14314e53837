// Content engine speed: one transition step on 1024 x 1024 for every kind, and the colour
// processing of frames, beside a plain copy of the same frames.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cmath>
#include <cstring>
#include <string>

#include "content/ColourProcess.h"
#include "content/Generators.h"
#include "content/Particles.h"
#include "content/DesignRender.h"
#include "content/TransitionRenderer.h"

using namespace corv;

namespace {

QImage Picture(int side, int seed) {
    QImage image(side, side, QImage::Format_RGB32);
    for (int y = 0; y < side; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < side; ++x) line[x] = qRgb((x + seed) & 255, (y * 3) & 255, (x ^ y) & 255);
    }
    return image;
}

// A step half way through a 20-step transition of the given kind.
void BM_TransitionStep(benchmark::State& state) {
    const int side = 1024;
    const QImage old = Picture(side, 1), fresh = Picture(side, 90);
    TransitionRenderer renderer(side, side, 3);
    renderer.kind = static_cast<int>(state.range(0));
    renderer.steps = 20;
    renderer.SetPictures(&fresh, &old);
    QImage target = old;
    for (auto _ : state) {
        renderer.RenderStep(target, 10);
        benchmark::DoNotOptimize(target.constBits());
    }
    state.SetLabel(TransitionKindName(renderer.kind));
}
BENCHMARK(BM_TransitionStep)->DenseRange(1, 57)->Unit(benchmark::kMillisecond);

// The frame-range transition per frame (conversion to and from pictures included).
void BM_FrameRangeTransitionPerFrame(benchmark::State& state) {
    const int side = 1024;
    std::vector<Frame> frames(8, Frame::Filled(side, side, Bgr{10, 20, 30}));
    for (std::size_t i = 4; i < 8; ++i) frames[i] = Frame::Filled(side, side, Bgr{200, 100, 50});
    FrameUndo undo;
    RangeContext c;
    c.frames = &frames;
    c.undo = &undo;
    for (auto _ : state) {
        FrameRangeTransition(c, 0, 4, static_cast<int>(state.range(0)), 1);
        undo.Reset();
    }
    state.SetItemsProcessed(state.iterations() * 4);
}
BENCHMARK(BM_FrameRangeTransitionPerFrame)->Arg(2)->Arg(32)->Arg(41)->Unit(benchmark::kMillisecond);

// Colour processing of 16 frames of 1024 x 1024 beside copying them.
void BM_ColourProcess(benchmark::State& state) {
    std::vector<Frame> frames(16, Frame::Filled(1024, 1024, Bgr{0, 0, 128}));
    FrameUndo undo;
    RangeContext c;
    c.frames = &frames;
    c.undo = &undo;
    for (auto _ : state) {
        switch (state.range(0)) {
            case 0: ReplaceColour(c, 0, 16, Bgr{0, 0, 255}, Bgr{0, 255, 0}); break;
            case 1: SwapChannels(c, 0, 16, ChannelOrder::GBR); break;
            case 2: ShadeChannels(c, 0, 16, true, true, true, 90); break;
            default: {
                std::vector<Frame> copy(frames.size());
                for (std::size_t i = 0; i < frames.size(); ++i) copy[i] = frames[i];
                benchmark::DoNotOptimize(copy.data());
            }
        }
        undo.Reset();
    }
    state.SetItemsProcessed(state.iterations() * 16);
    static const char* names[] = {"replace", "swap", "shade", "copy only"};
    state.SetLabel(names[state.range(0)]);
}
BENCHMARK(BM_ColourProcess)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// Generated frames per second on a side x side working rectangle, beside copying the same
// number of frames (one frame copy per frame) in the same run.
void BM_Generator(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    const auto mode = static_cast<GeneratorMode>(state.range(1));
    const int style = static_cast<int>(state.range(2));
    const int frames = 20;
    long long made = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<Frame> clip(1, Frame::Filled(side, side, Bgr{10, 20, 30}));
        clip.reserve(frames + 1);
        FrameUndo undo;
        ColourList colours = ColourList::Rainbow();
        GeneratorRun run;
        run.frames = &clip;
        run.undo = &undo;
        run.colours = &colours;
        run.count = frames;
        run.step = 2;
        run.bricks = ToyBricksOptions{16, 16, 4, 1, 0, 0};  // a wall of few large bricks
        run.vshape.cycles = 1;
        colours = ColourList({0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF});  // 5 colours x 2 px: 10 frames
        state.ResumeTiming();
        if (mode == GeneratorMode::PictureAndText) {
            for (int i = 0; i < frames; ++i) clip.push_back(clip.back());  // the copy-only reference
            made += frames;
        } else {
            made += std::max(RunGenerator(run, mode, style), 0);
        }
        benchmark::DoNotOptimize(clip.data());
    }
    state.SetItemsProcessed(made);  // toy bricks and v shape decide their own length
    state.SetLabel(mode == GeneratorMode::PictureAndText ? "copy only" : GeneratorModeName(mode));
}
BENCHMARK(BM_Generator)
    ->ArgsProduct({{256, 1024}, {7}, {0}})
    ->ArgsProduct({{256, 1024}, {0}, {0, 2, 4}})
    ->ArgsProduct({{256, 1024}, {5}, {0, 2, 5}})
    ->ArgsProduct({{256, 1024}, {1, 2, 3, 4}, {0}})
    ->ArgsProduct({{256, 1024}, {6}, {2}})
    ->ArgsProduct({{256, 1024}, {9, 10}, {0}})
    ->ArgsProduct({{256, 1024}, {8, 11}, {3}})
    ->ArgsProduct({{256, 1024}, {12}, {1, 2, 3, 4}})
    ->Unit(benchmark::kMillisecond);

// The particle simulation: 2,000 live particles on 256 x 256, one frame (fill, draw, move) per
// iteration, with depths spread over 0.5 .. 1.5 of the default picture.
void BM_ParticleFrame(benchmark::State& state) {
    ParticleOptions o = DefaultParticleOptions();
    o.sendSpeed = 1;
    o.accel = {0, 0, 0};  // nobody leaves: 2,000 stay alive
    ParticleParams p = ResolveParticles(o, 256, 256);
    ParticleSystem system(p, 256, 256, 1, DefaultParticlePicture());
    for (int i = 0; i < 2000; ++i) {
        system.Add(Particle{static_cast<float>(i * 37 % 256), static_cast<float>(i * 91 % 256), 0.5f + (i % 11) / 10.0f,
                            0.0f, 0.0f, 0.0f});
    }
    QImage surface(256, 256, QImage::Format_RGB32);
    for (auto _ : state) {
        surface.fill(0);
        system.Step(1, surface);  // frame 1 of a run sends nothing at this rate
        benchmark::DoNotOptimize(surface.constBits());
    }
    state.counters["particles"] = static_cast<double>(system.particles().size());
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ParticleFrame)->Unit(benchmark::kMicrosecond);

// A design of 1,000 items (rectangles, ellipses, stars, rotated polygons and text on four
// layers) drawn on an 800 x 600 canvas.
void BM_DesignDraw(benchmark::State& state) {
    EffectList effects;
    for (int l = 0; l < 4; ++l) {
        auto layer = std::make_unique<EffectLayer>();
        for (int i = 0; i < 250; ++i) {
            const int kinds[] = {kItemRectangle, kItemEllipse, kItemStar, kItemRegularPolygon, kItemRoundRect};
            auto item = CreateItem(kinds[i % 5]);
            item->x = static_cast<float>((i * 37 + l * 11) % 760);
            item->y = static_cast<float>((i * 53 + l * 7) % 560);
            item->w = 20 + static_cast<float>(i % 30);
            item->h = 15 + static_cast<float>(i % 25);
            item->colour = 0xFF000000u | static_cast<std::uint32_t>(i * 2654435761u & 0xFFFFFFu);
            item->angle = static_cast<std::uint16_t>(i % 4 == 0 ? 30 : 0);
            layer->items.push_back(std::move(item));
        }
        effects.Append(std::move(layer));
    }
    for (auto _ : state) {
        const QImage picture = RenderDesign(effects, QSize(800, 600), DesignTime{});
        benchmark::DoNotOptimize(picture.constBits());
    }
    state.counters["items"] = 1000;
}
BENCHMARK(BM_DesignDraw)->Unit(benchmark::kMillisecond);

// One item with a point list on a 512 x 512 canvas: a filled polygon (line width 3) or a
// polyline (line width 3) of 1,000 to 65,535 points (what the record allows), laid out as a
// round outline, as spikes (every point alternates between two radii: every row crosses a
// great many edges) or as points scattered over the whole canvas (long edges).
void BM_DesignPointList(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    const int count = static_cast<int>(state.range(1));
    const int layout = static_cast<int>(state.range(2));
    auto item = CreateItem(kind);
    auto& points = static_cast<PointsItem&>(*item).points;
    std::uint32_t seed = 12345;
    for (int i = 0; i < count; ++i) {
        const double a = 2 * 3.14159265358979 * i / count;
        const double r = layout == 0 ? 200 : (i % 2 ? 200 : 120);
        if (layout == 2) {
            seed = seed * 1664525u + 1013904223u;
            const float x = static_cast<float>(seed >> 8 & 511);
            seed = seed * 1664525u + 1013904223u;
            points.push_back({x, static_cast<float>(seed >> 8 & 511)});
        } else {
            points.push_back({static_cast<float>(256 + r * std::cos(a)), static_cast<float>(256 + r * std::sin(a))});
        }
    }
    const RectF box = item->BoundingBox();
    item->x = box.x;
    item->y = box.y;
    item->w = box.w;
    item->h = box.h;
    item->colour = 0xFF30C060u;
    item->lineWidth = 3;
    item->fill = kind == kItemPolygon;
    EffectList effects;
    auto layer = std::make_unique<EffectLayer>();
    layer->items.push_back(std::move(item));
    effects.Append(std::move(layer));
    for (auto _ : state) {
        const QImage picture = RenderDesign(effects, QSize(512, 512), DesignTime{});
        benchmark::DoNotOptimize(picture.constBits());
    }
    static const char* const layouts[] = {"round", "spikes", "scattered"};
    state.SetLabel(std::string(kind == kItemPolygon ? "polygon " : "polyline ") + layouts[layout]);
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_DesignPointList)
    ->ArgsProduct({{kItemPolygon, kItemPolyline}, {1000, 4000, 65535}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond);

// A polygon of spikes (as above) as a layer's mask over a rectangle of the whole canvas.
void BM_DesignPointListMask(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    auto mask = CreateItem(kItemPolygon);
    auto& points = static_cast<PointsItem&>(*mask).points;
    for (int i = 0; i < count; ++i) {
        const double a = 2 * 3.14159265358979 * i / count, r = i % 2 ? 200 : 120;
        points.push_back({static_cast<float>(256 + r * std::cos(a)), static_cast<float>(256 + r * std::sin(a))});
    }
    auto rect = CreateItem(kItemRectangle);
    rect->w = 512;
    rect->h = 512;
    rect->colour = 0xFFFF8000u;
    EffectList effects;
    auto layer = std::make_unique<EffectLayer>();
    layer->items.push_back(std::move(rect));
    layer->items.push_back(std::move(mask));
    layer->mask = layer->items.back().get();
    effects.Append(std::move(layer));
    for (auto _ : state) {
        const QImage picture = RenderDesign(effects, QSize(512, 512), DesignTime{});
        benchmark::DoNotOptimize(picture.constBits());
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_DesignPointListMask)->Arg(1000)->Arg(4000)->Arg(65535)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
