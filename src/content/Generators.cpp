#include "content/Generators.h"

#include <algorithm>

#include "base/ProfileFile.h"
#include "content/generators/GeneratorUnit.h"

namespace corv {

namespace {

struct ModeInfo {
    const char* name;
    std::vector<std::string> styles;
};

const std::vector<std::string> kMovingStyles = {"Left(1)", "Right(2)", "Up(3)", "Down(4)", "LeftUp(5)", "LeftDown(6)",
                                                "RightUp(7)", "RightDown(8)", "Inner-port(9)", "Inter-port(0)"};
const std::vector<std::string> kFourWays = {"Left(1)", "Right(2)", "Up(3)", "Down(4)"};

const ModeInfo& Info(GeneratorMode mode) {
    static const ModeInfo kModes[kGeneratorModes] = {
        {"Moving", kMovingStyles},
        {"Symmetry", {"Horizontal open(1)", "Horizontal close(2)", "Vertical open(3)", "Vertical colse(4)",
                      "Twin corner open(5)", "Twin corner colse(6)"}},
        {"Interleaving", {"Horizontal(1)", "Vertical(2)"}},
        {"Diffusing", {"Ellipse diffuse(1)", "Ellipse shrink(2)", "Rhombus diffuse(3)", "Rhombus shrink(4)",
                       "Rectangle diffuse(5)", "Rectangle shrink(6)"}},
        {"Rotation", {"CCW Right-handed screw(1)", "CW screw(2)", "CCW circumrotate(3)", "CW circumrotate(4)"}},
        {"Gradual changing", {"Brighten(1)", "Darkle(2)", "Inflate(3)", "Deflate(4)", "Fadeout(5)", "Transition(6)"}},
        {"Dropping", {"Style1(1)", "Style2(2)", "Style3(3)"}},
        {"PictureAndText", {"Style1(1)", "Style2(2)"}},
        {"Toy bricks", kFourWays},
        {"Sound wave", {"Left(1)", "Right(2)", "Up(3)", "Down(4)", "Style1(1)"}},
        {"Jalousie", kFourWays},
        {"V shape", kFourWays},
        {"Other", {"Particle(1)", "Diffuse(2)", "Linetype(3)", "Random(4)", "Wave(5)"}},
    };
    return kModes[static_cast<int>(mode)];
}

}  // namespace

const char* GeneratorModeName(GeneratorMode mode) { return Info(mode).name; }

std::string GeneratorModeKey(GeneratorMode mode) {
    if (mode == GeneratorMode::PictureAndText) return "picture-and-text";  // the words of the name
    std::string key = Info(mode).name;
    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return c == ' ' ? '-' : static_cast<char>(std::tolower(c)); });
    return key;
}

std::optional<GeneratorMode> GeneratorModeFromKey(const std::string& key) {
    for (int m = 0; m < kGeneratorModes; ++m) {
        if (GeneratorModeKey(static_cast<GeneratorMode>(m)) == key) return static_cast<GeneratorMode>(m);
    }
    return std::nullopt;
}

std::vector<std::string> GeneratorStyles(GeneratorMode mode) { return Info(mode).styles; }

const char* RenderModeName(int render) {
    static const char* kNames[kRenderModes] = {"Not", "Left", "Right", "Up", "Down", "Left up", "Left down",
                                               "Right up", "Right down", "Curve up", "Curve down"};
    return render >= 0 && render < kRenderModes ? kNames[render] : "";
}

bool GeneratorAvailable(GeneratorMode mode, int style) {
    if (static_cast<int>(mode) < 0 || static_cast<int>(mode) >= kGeneratorModes) return false;  // names no mode
    const int styles = static_cast<int>(Info(mode).styles.size());
    if (style < 0 || style >= styles) return false;
    switch (mode) {
        case GeneratorMode::Other:
            return true;
        default:
            return true;
    }
}

int ValidStep(int step, int style, int width, int height) {
    const bool across = style == generators::kLeft || style == generators::kRight;
    const bool along = style == generators::kUp || style == generators::kDown;
    const bool ok = step >= 1 && (across ? step < width : along ? step < height : step < width && step < height);
    return ok ? step : 1;
}

void RenderColours(Frame& frame, const PixelRect& r, Bgr background, const ColourList& colours, int start, int render) {
    if (render <= 0 || render >= kRenderModes || colours.empty()) return;
    const int d = render - 1;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            if (frame.Pixel(x, y) == background) continue;
            const int fromTop = y - r.top, fromBottom = r.bottom - 1 - y;
            const int fromLeft = x - r.left, fromRight = r.right - 1 - x;
            const int p = fromLeft % 12;
            const int bump = p >= 4 && p <= 7 ? 2 : (p == 2 || p == 3 || p == 8 || p == 9) ? 1 : 0;
            long long c = start;
            switch (d) {
                case 0: c += fromLeft; break;
                case 1: c += fromRight; break;
                case 2: c += fromTop; break;
                case 3: c += fromBottom; break;
                case 4: c += fromLeft + fromTop; break;
                case 5: c += fromLeft + fromBottom; break;
                case 6: c += fromRight + fromTop; break;
                case 7: c += fromRight + fromBottom; break;
                case 8: c += fromTop + bump; break;
                case 9: c += fromBottom + bump; break;
                default: break;
            }
            frame.SetPixel(x, y, generators::Entry(colours, c));
        }
    }
}

int RunGenerator(GeneratorRun& run, GeneratorMode mode, int style) {
    run.error.clear();
    if (!run.frames || run.frames->empty() || !run.undo || !run.colours) {
        run.error = "there is no frame to follow";
        return -1;
    }
    const generators::Generator* unit = generators::FindGenerator(mode);
    if (!unit || !GeneratorAvailable(mode, style)) {
        run.error = "this style is not available";
        return -1;
    }
    if (run.colours->empty()) {
        run.error = "the colour list is empty";
        return -1;
    }
    auto& frames = *run.frames;
    run.current = std::min(run.current, frames.size() - 1);
    const Frame& model = frames[run.current];
    const int W = model.width(), H = model.height();
    const PixelRect r = TargetRect(W, H, run.editArea);
    generators::GeneratorJob job{run, style, W, H, r, r.width(), r.height(), model.size(), std::mt19937(run.seed)};
    if (!unit->Accepts(job)) return -1;
    const int count = unit->Frames(job);
    if (count == 0) return 0;
    if (static_cast<std::uint64_t>(count) * model.size() > kMaxRunBytes) {
        run.error = std::to_string(count) + " frames of " + std::to_string(W) + " x " + std::to_string(H) + " take " +
                    std::to_string(static_cast<std::uint64_t>(count) * model.size() >> 20) + " MB, more than the " +
                    std::to_string(kMaxRunBytes >> 20) + " MB a run may make";
        return -1;
    }
    return unit->Run(job, count);
}

OtherOptions LoadDiffusing(const std::filesystem::path& file) {
    OtherOptions o;
    const ProfileFile profile(file, "Diffuse");
    o.centreX = std::clamp(profile.GetInt("CentreX", o.centreX), 0, 100);
    o.centreY = std::clamp(profile.GetInt("CentreY", o.centreY), 0, 100);
    o.shape = static_cast<OtherOptions::Shape>(std::clamp(profile.GetInt("Shape", o.shape), 0, 2));
    o.ringWidth = std::clamp(profile.GetInt("RingWidth", o.ringWidth), 1, 1000);
    o.outward = profile.GetInt("Outward", o.outward ? 1 : 0) != 0;
    return o;
}

Result<Done> SaveDiffusing(const std::filesystem::path& file, const OtherOptions& o) {
    ProfileFile profile(file, "Diffuse");
    const std::pair<const char*, int> values[] = {
        {"CentreX", o.centreX}, {"CentreY", o.centreY}, {"Shape", o.shape}, {"RingWidth", o.ringWidth},
        {"Outward", o.outward ? 1 : 0}};
    for (const auto& [key, value] : values) {
        if (auto written = profile.WriteInt(key, value); !written) return written;  // the first refusal stops
    }
    return Done{};
}

}  // namespace corv
