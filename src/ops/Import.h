#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include <QImage>

#include "layout/Dxf.h"
#include "ops/Operation.h"

namespace corv::ops {

// "Import File" with a DXF drawing: the drawing's chains become the workspace's layout (on a
// copy, kept when it gave LEDs or when the request keeps it anyway); when none gave LEDs the
// window takes a picture with one marked pixel per circle instead.
struct DxfImportRequest {
    const DxfDrawing* drawing = nullptr;
    std::optional<int> spaceX, spaceY;  // drawing units a cell; none: the suggested spacing
    bool vertexMode = false;            // the LINE end points are the LEDs, not the circles
    std::uint8_t defaultChip = 3;       // the chip of the new lines
    // The layout becomes the drawing's even when no LED came of it (the command line writes it).
    bool keepWithoutLeds = false;
    // When no LED came of it: a picture of this size (width, height) with the circles marked.
    std::optional<std::pair<int, int>> pictureWhenNoLeds;
};

struct DxfImportReply {
    std::pair<int, int> suggested;  // the spacing the drawing suggests
    int spaceX = 0, spaceY = 0;     // the spacing used
    DxfImportResult result;
    bool linesImported = false;     // the layout is the drawing's
    QImage picture;                 // white where an LED is, black elsewhere (when made)
};

enum DxfImportRefusal {
    kDxfNotDrawing = 1,    // no ENTITIES section
    kDxfNoLines,           // vertex mode without a LINE
    kDxfNoCircles,         // circle mode without a CIRCLE
    kDxfTooLarge,          // the grid at this spacing passes the cell limit (spacing x, y, rows, cols)
    kDxfNothingBecameLed,  // no chain gave LEDs and there is no circle to mark
    kDxfGridTooLarge,      // the picture's size passes the cell limit
    kDxfPictureTooSmall,   // the picture cannot hold the marks apart
};

// Why the drawing gives nothing to import in the request's mode (no ENTITIES section, no LINE
// in vertex mode, no CIRCLE in circle mode); none when it can be imported.
std::optional<Failure> DxfRefusalOf(const Workspace& ws, const DxfImportRequest& request);

Result<DxfImportReply> ImportDrawing(Workspace& ws, const DxfImportRequest& request, Prompt& prompt,
                                     const ProgressFn& progress);

// "a grid of R rows x C cols has N cells; ..." in the workspace's language.
std::string GridLimitMessage(const Workspace& ws, long long rows, long long cols);

// The drawing's circles as a picture of width x height (RGB32), white where an LED is and
// black elsewhere; a null picture when the size cannot hold the marks apart.
QImage DxfMarksImage(const DxfDrawing& drawing, int width, int height);

}  // namespace corv::ops
