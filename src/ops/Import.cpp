#include "ops/Import.h"

#include <algorithm>
#include <string>
#include <vector>

#include "lang/Render.h"
#include "lang/UiStrings.h"
#include "lang/messages/SculptMessages.h"
#include "layout/Layout.h"
#include "layout/Wiring.h"
#include "project/Document.h"
#include "workspace/Workspace.h"

namespace corv::ops {

std::string GridLimitMessage(const Workspace& ws, long long rows, long long cols) {
    return Format(ws.strings.gridLimit.c_str(), rows, cols, rows * cols, static_cast<unsigned long long>(kMaxGridCells));
}

QImage DxfMarksImage(const DxfDrawing& drawing, int width, int height) {
    const auto marks = DxfPicture(drawing, width, height);
    if (!marks) return QImage();
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            row[x] = (*marks)[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)]
                         ? 0xFFFFFFFFu
                         : 0xFF000000u;
        }
    }
    return image;
}

std::optional<Failure> DxfRefusalOf(const Workspace& ws, const DxfImportRequest& request) {
    const UiStrings& s = ws.strings;
    if (!request.drawing || !request.drawing->hasEntities) return Failure{kDxfNotDrawing, s.dxfNotDrawing, {}, {}};
    if (request.vertexMode && request.drawing->lines.empty()) return Failure{kDxfNoLines, s.dxfNoLines, {}, {}};
    if (!request.vertexMode && request.drawing->circles.empty()) return Failure{kDxfNoCircles, s.dxfNoCircles, {}, {}};
    return std::nullopt;
}

Result<DxfImportReply> ImportDrawing(Workspace& ws, const DxfImportRequest& request, Prompt& /*prompt*/,
                                     const ProgressFn& /*progress*/) {
    using R = Result<DxfImportReply>;
    const UiStrings& s = ws.strings;
    if (auto refusal = DxfRefusalOf(ws, request)) return R::Fail(std::move(*refusal));
    const DxfDrawing& drawing = *request.drawing;

    DxfImportReply reply;
    reply.suggested = SuggestedSpacing(drawing, request.vertexMode);
    reply.spaceX = request.spaceX.value_or(reply.suggested.first);
    reply.spaceY = request.spaceY.value_or(reply.suggested.second);
    // The import replaces the whole layout: it is made on a copy and kept only when it gave LEDs.
    Layout imported = ws.layout;
    reply.result = ImportDxf(drawing, reply.spaceX, reply.spaceY, request.vertexMode, imported, request.defaultChip);
    const DxfImportResult& r = reply.result;
    if (r.tooLarge) {
        return R::Fail(Failure{kDxfTooLarge,
                               Format(s.dxfTooLarge.c_str(), reply.spaceX, reply.spaceY, GridLimitMessage(ws, r.rows, r.cols).c_str()),
                               {},
                               {std::to_string(reply.spaceX), std::to_string(reply.spaceY), std::to_string(r.rows),
                                std::to_string(r.cols)}});
    }
    if (r.leds > 0 || request.keepWithoutLeds) {
        imported.MarkChanged();
        ws.layout = std::move(imported);
        reply.linesImported = true;
        return reply;
    }
    if (!request.pictureWhenNoLeds) return reply;
    // No chain gave LEDs: the circles become a picture for the background tools.
    if (drawing.circles.empty()) return R::Fail(kDxfNothingBecameLed, s.dxfNothingBecameLed);
    const auto [width, height] = *request.pictureWhenNoLeds;
    if (!GridWithinLimit(height, width)) return R::Fail(kDxfGridTooLarge, GridLimitMessage(ws, height, width));
    reply.picture = DxfMarksImage(drawing, width, height);
    if (reply.picture.isNull()) return R::Fail(kDxfPictureTooSmall, s.dxfPictureTooSmall);
    return reply;
}

namespace {

// A catalogue message of the sculpt window in the workspace's language.
Failure SculptRefusal(const Workspace& ws, int code, const Text& text) {
    return Failure{code, Render(text, ws.app.language), {}, {}, &text};
}

// The found dots as the background of a new layout of their grid, wired by `mode`.
Layout WiredLayout(const IdentifiedLeds& found, int mode, std::uint8_t defaultChip, int& wired) {
    Layout layout;
    layout.New(found.rows, found.cols, false, defaultChip);
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(found.rows) * static_cast<std::size_t>(found.cols), 0);
    for (int y = 0; y < found.rows; ++y) {
        for (int x = 0; x < found.cols; ++x) mask[static_cast<std::size_t>(y * found.cols + x)] = found.leds.pixel(x, y) == qRgb(255, 255, 255);
    }
    AddOptions options;
    options.mode = mode;
    options.backgroundMask = &mask;
    Drag drag{0, 0, found.rows - 1, found.cols - 1};
    int line = 0;
    wired = AddByModule(layout, line, drag, DisplayModule{}, true, options);
    return layout;
}

}  // namespace

Result<IdentifyReply> IdentifyLeds(Workspace& ws, const IdentifyRequest& r, Prompt& /*prompt*/,
                                   const ProgressFn& /*progress*/) {
    using R = Result<IdentifyReply>;
    if (r.photo.isNull()) return R::Fail(SculptRefusal(ws, kIdentifyNoPicture, msg::sculpt::kFastIdentifyNeedsPicture));
    IdentifyReply reply;
    reply.found = FastIdentify(r.photo);
    const IdentifiedLeds& found = reply.found;
    if (found.centres.empty()) return R::Fail(SculptRefusal(ws, kIdentifyNoDots, msg::sculpt::kNoLedDots));
    if (!GridWithinLimit(found.rows, found.cols)) {
        return R::Fail(Failure{kIdentifyGridTooLarge, GridLimitMessage(ws, found.rows, found.cols), {},
                               {std::to_string(found.rows), std::to_string(found.cols)}, nullptr});
    }
    if (!r.wireMode) return reply;
    ws.layout = WiredLayout(found, *r.wireMode, r.defaultChip, reply.wired);
    ws.layout.MarkChanged();
    return reply;
}

namespace {

// The failure of a write of the new document, as the import's refusal.
Failure NotWritten(Failure why) {
    why.code = kMovieNotWritten;
    return why;
}

// Reads the movie's pictures from the reader's position: into `stream` when given, else after
// the frames of `frames`; the pictures taken (a failure: the write's).
Result<std::size_t> ReadPictures(MovieReader& reader, const MovieImportRequest& r, int w, int h,
                                 ClipDocumentWriter* stream, std::vector<Frame>& frames, const ProgressFn& progress) {
    const long long want = r.count.value_or(-1);
    std::size_t n = 0;
    Frame f;
    while (want < 0 || static_cast<long long>(n) < want) {
        if (stream) {
            if (!reader.Next(f, w, h, r.fit)) break;
            if (auto added = stream->Add(f); !added) return NotWritten(added.failure());
        } else {
            Frame next;
            if (!reader.Next(next, w, h, r.fit)) break;
            frames.push_back(std::move(next));
        }
        ++n;
        if (want > 0 && progress) progress(static_cast<int>(n * 100 / static_cast<std::size_t>(want)));
    }
    return n;
}

}  // namespace

Result<MovieImportReply> ImportMovie(Workspace& ws, const MovieImportRequest& r, Prompt& /*prompt*/,
                                     const ProgressFn& progress) {
    using R = Result<MovieImportReply>;
    const bool fresh = r.newDocument.has_value();
    if (!fresh && !ws.frames.HasCurrent()) return R::Fail(kMovieNoClip, ws.strings.paramError);
    MovieReader reader;
    if (!reader.Open(r.movie)) return R::Fail(kMovieCannotOpen, r.movie.string() + ": " + reader.error(), reader.error());
    // The frame size: the clip's; a new document takes the request's or the movie's size.
    MovieImportReply reply;
    if (fresh) {
        reply.width = r.width.value_or(std::min(reader.info().width, 4096));
        reply.height = r.height.value_or(std::min(reader.info().height, 4096));
    } else {
        const Clip& clip = ws.frames.CurrentClip();
        reply.width = static_cast<int>(clip.width);
        reply.height = static_cast<int>(clip.height);
        if ((r.width && *r.width != reply.width) || (r.height && *r.height != reply.height)) {
            return R::Fail(Failure{kMovieSizeMismatch, ws.strings.paramError, {},
                                   {std::to_string(reply.width), std::to_string(reply.height)}, nullptr});
        }
    }
    const int w = reply.width, h = reply.height;
    Frame skipped;
    for (long long i = 0; i < r.first - 1; ++i) {
        if (!reader.Next(skipped, w, h, r.fit)) break;
    }
    // A new document takes the pictures straight to disk; a clip gets them appended.
    std::optional<ClipDocumentWriter> stream;
    if (fresh) {
        stream.emplace(*r.newDocument);
        if (auto begun = stream->Begin(static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h)); !begun) {
            return R::Fail(NotWritten(begun.failure()));
        }
    }
    std::vector<Frame> taken;
    const auto read = ReadPictures(reader, r, w, h, stream ? &*stream : nullptr, taken, progress);
    if (!read) return R::Fail(read.failure());
    if (!reader.error().empty()) {
        return R::Fail(kMovieUnreadable, r.movie.string() + ": " + reader.error(), reader.error());
    }
    reply.frames = *read;
    if (reply.frames == 0) {
        return R::Fail(Failure{kMovieNoPictures, ws.strings.paramError, {}, {r.movie.string(), std::to_string(r.first)},
                               nullptr});
    }
    if (stream) {
        if (auto finished = stream->Finish(); !finished) return R::Fail(NotWritten(finished.failure()));
        return reply;
    }
    auto& frames = ws.frames.CurrentFrames();
    frames.insert(frames.end(), std::make_move_iterator(taken.begin()), std::make_move_iterator(taken.end()));
    return reply;
}

}  // namespace corv::ops
