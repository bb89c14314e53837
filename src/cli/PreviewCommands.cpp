// Pictures of a show without a screen: the sphere preview and the LED preview drawn into
// PNG pictures (or an animated GIF of a frame range).

#include <QBuffer>
#include <QImage>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <ostream>

#include "base/FileUtil.h"
#include "base/TempDir.h"
#include "cli/Cli.h"
#include "cli/HomeFiles.h"
#include "content/TransitionRenderer.h"
#include "lang/messages/CliMessages.h"
#include "media/Movie.h"
#include "preview/LedPreview.h"
#include "preview/SpherePreview.h"
#include "project/Document.h"

namespace corv::cli {

namespace fs = std::filesystem;

namespace {

bool ParsePair(const std::string& text, double& a, double& b) {
    const auto parts = Split(text, ',');
    if (parts.size() != 2) return false;
    try {
        std::size_t used = 0;
        a = std::stod(parts[0], &used);
        if (used != parts[0].size()) return false;
        b = std::stod(parts[1], &used);
        return used == parts[1].size() && std::isfinite(a) && std::isfinite(b);
    } catch (...) {
        return false;
    }
}

int ParseSize(Context& ctx, const std::string& cmd, const Args& args, QSize fallback, QSize& size) {
    size = fallback;
    const auto text = args.Value("--size");
    if (!text) return kExitOk;
    double w = 0, h = 0;
    if (!ParsePair(*text, w, h) || w < 16 || h < 16 || w > 8192 || h > 8192 || w != std::floor(w) || h != std::floor(h)) {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kSizeFormat));
    }
    size = QSize(static_cast<int>(w), static_cast<int>(h));
    return kExitOk;
}

// Opens clip 1 of a document and checks a 1-based frame number against it.
int OpenFrames(Context& ctx, const std::string& cmd, const fs::path& doc, const TempDir& temp, ClipFrameReader& reader) {
    if (auto opened = reader.Open(doc, 0, temp.path()); !opened) {
        return Fail(ctx, cmd, DocFailure(ctx, doc.string(), opened.failure()));
    }
    if (reader.count() == 0) return Fail(ctx, cmd, Say(ctx, msg::cli::kDocumentHasNoFrames, {doc.string()}));
    return kExitOk;
}

int CheckFrame(Context& ctx, const std::string& cmd, long long n, std::size_t count) {
    if (n < 1 || n > static_cast<long long>(count)) {
        return Fail(ctx, cmd, Say(ctx, msg::cli::kNoSuchFrame, {std::to_string(n), std::to_string(count)}));
    }
    return kExitOk;
}

Quat AxisAngle(double x, double y, double z, double degrees) {
    const double half = degrees * std::numbers::pi / 360;
    const double s = std::sin(half);
    return Quat{static_cast<float>(x * s), static_cast<float>(y * s), static_cast<float>(z * s), static_cast<float>(std::cos(half))};
}

// A PNG picture written as every file is: links followed, the target replaced through a
// temporary file beside it; the failure names the file and the reason.
Result<Done> SavePng(const QImage& image, const fs::path& path) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        return FileFailure(path, std::string("the picture cannot be encoded"));
    }
    return WriteFileAtomic(path, std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                           static_cast<std::size_t>(bytes.size())));
}

}  // namespace

int RunRenderSphere(Context& ctx, const Args& args) {
    const std::string cmd = "render-sphere";
    if (args.positionals().size() != 3) {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kNeedsDocumentLinesPicture));
    }
    const fs::path doc = args.positionals()[0], lines = args.positionals()[1], out = args.positionals()[2];
    std::string error;
    const auto frameNo = args.Int("--frame", error);
    if (!error.empty()) return Usage(ctx, cmd, error);
    QSize size;
    if (int rc = ParseSize(ctx, cmd, args, QSize(800, 800), size); rc != kExitOk) return rc;
    double ax = 0, ay = 0;
    if (auto rotate = args.Value("--rotate"); rotate && !ParsePair(*rotate, ax, ay)) {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kRotateFormat));
    }
    HomeFiles home;
    Layout layout;
    if (int rc = LoadLayout(ctx, cmd, lines, home, layout); rc != kExitOk) return rc;
    if (!layout.grid.IsSphere()) {
        return Fail(ctx, cmd, Say(ctx, msg::cli::kNotSphereLayout, {lines.string()}));
    }
    TempDir temp;
    ClipFrameReader reader;
    if (int rc = OpenFrames(ctx, cmd, doc, temp, reader); rc != kExitOk) return rc;
    const long long n = frameNo.value_or(1);
    if (int rc = CheckFrame(ctx, cmd, n, reader.count()); rc != kExitOk) return rc;
    const Frame* frame = reader.Next(static_cast<std::size_t>(n - 1));
    if (!frame) return Fail(ctx, cmd, DocFailure(ctx, doc.string(), DocumentFailure(DocError::OpenFailed)));
    const OffscreenGui gui;
    SphereViewState state;
    // Turned as the arcball would: about the screen's x axis, then its y axis.
    state.thisRotation = Multiply(RotationFromQuat(AxisAngle(0, 1, 0, ay)), Multiply(RotationFromQuat(AxisAngle(1, 0, 0, ax)), state.thisRotation));
    state.transform = WithRotation(state.transform, state.thisRotation);
    const QImage picture = RenderSphereImage(BuildSphereMesh(layout.grid), *frame, state.transform, size, state.scale);
    if (auto saved = SavePng(picture, out); !saved) return FailSave(ctx, cmd, saved.failure());
    ctx.out << Say(ctx, msg::cli::kSphereFrameWritten, {std::to_string(n), out.string()}) << '\n';
    return kExitOk;
}

namespace {
// A frame range and its speed make an animation: they belong to a .gif.
const OptionScopes kRenderPreviewScopes = {
    {"render-preview OUT.gif", {"--frames", "--fps"}},
};
}  // namespace

int RunRenderPreview(Context& ctx, const Args& args) {
    const std::string cmd = "render-preview";
    if (args.positionals().size() != 3) {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kNeedsDocumentLinesPicture));
    }
    const fs::path doc = args.positionals()[0], lines = args.positionals()[1], out = args.positionals()[2];
    std::string ext = out.extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext != ".png" && ext != ".gif") return Usage(ctx, cmd, Say(ctx, msg::cli::kPngOrGif));
    std::string error;
    if (!args.CheckScopes(kRenderPreviewScopes, {"render-preview OUT" + ext}, error)) return Usage(ctx, cmd, error);
    const auto frameNo = args.Int("--frame", error);
    const auto fps = args.Int("--fps", error);
    if (!error.empty()) return Usage(ctx, cmd, error);
    if (fps && (*fps < 1 || *fps > 100)) return OutOfRange(ctx, cmd, "--fps", 1, 100);
    const auto range = args.Value("--frames");
    if (range && frameNo) return Usage(ctx, cmd, Say(ctx, msg::cli::kFrameOrFrames));
    HomeFiles home;
    Layout layout;
    if (int rc = LoadLayout(ctx, cmd, lines, home, layout); rc != kExitOk) return rc;
    TempDir temp;
    ClipFrameReader reader;
    if (int rc = OpenFrames(ctx, cmd, doc, temp, reader); rc != kExitOk) return rc;
    long long a = frameNo.value_or(1), b = a;
    if (range) {
        const auto parts = Split(*range, '-');
        try {
            if (parts.size() != 2) throw 0;
            a = std::stoll(parts[0]);
            b = std::stoll(parts[1]);
        } catch (...) {
            return Usage(ctx, cmd, Say(ctx, msg::cli::kFramesFormat));
        }
        if (a > b) return Usage(ctx, cmd, Say(ctx, msg::cli::kFramesOrder));
    } else if (ext == ".gif" && !frameNo) {
        b = static_cast<long long>(reader.count());
    }
    if (int rc = CheckFrame(ctx, cmd, a, reader.count()); rc != kExitOk) return rc;
    if (int rc = CheckFrame(ctx, cmd, b, reader.count()); rc != kExitOk) return rc;
    // Eight pixels a cell by default, at most 1600 pixels across.
    const int cell = std::max(1, std::min(8, 1600 / std::max<int>(layout.grid.cols, 1)));
    QSize size;
    QSize natural(std::max(16, cell * layout.grid.cols), std::max(16, cell * layout.grid.rows));
    natural += QSize(natural.width() % 2, natural.height() % 2);
    if (int rc = ParseSize(ctx, cmd, args, natural, size); rc != kExitOk) return rc;
    const bool glow = args.Has("--glow");
    const OffscreenGui gui;
    const FrameShape shape{static_cast<int>(reader.height()), static_cast<int>(reader.width())};
    const std::vector<LedDot> dots = CollectLeds(layout, shape);
    const LedPlacement place = FitGrid(layout.grid, size);
    auto draw = [&](const Frame& f) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::black);
        DrawLeds(image, dots, f, place, glow);
        return image;
    };
    if (ext == ".png") {
        const Frame* f = reader.Next(static_cast<std::size_t>(a - 1));
        if (!f) return Fail(ctx, cmd, DocFailure(ctx, doc.string(), DocumentFailure(DocError::OpenFailed)));
        if (auto saved = SavePng(draw(*f), out); !saved) return FailSave(ctx, cmd, saved.failure());
    } else {
        MovieWriter writer;
        VideoOptions options;
        options.fps = static_cast<int>(fps.value_or(20));
        if (!writer.Open(out, size.width(), size.height(), options)) return Fail(ctx, cmd, out.string() + ": " + writer.error());
        Frame picture(size.width(), size.height());
        for (long long i = a; i <= b; ++i) {
            const Frame* f = reader.Next(static_cast<std::size_t>(i - 1));
            if (!f) {
                writer.Abandon();
                return Fail(ctx, cmd, DocFailure(ctx, doc.string(), DocumentFailure(DocError::OpenFailed)));
            }
            ImageToFrame(draw(*f), picture);
            if (!writer.Write(picture)) {
                writer.Abandon();
                return Fail(ctx, cmd, out.string() + ": " + writer.error());
            }
        }
        if (!writer.Close()) return Fail(ctx, cmd, out.string() + ": " + writer.error());
    }
    ctx.out << Say(ctx, msg::cli::kPreviewWritten,
                   {std::to_string(dots.size()), std::to_string(a), std::to_string(b), out.string()})
            << '\n';
    return kExitOk;
}

}  // namespace corv::cli
