#include "ops/Import.h"

#include <string>

#include "lang/UiStrings.h"
#include "layout/Layout.h"
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

}  // namespace corv::ops
