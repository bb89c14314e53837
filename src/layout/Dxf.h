#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "layout/Layout.h"

namespace corv {

struct DxfPoint {
    double x = 0, y = 0;
};

// What is kept of an ASCII DXF drawing's ENTITIES section.
struct DxfDrawing {
    struct Line {
        DxfPoint start, end;
    };
    struct Circle {
        DxfPoint centre;
        double radius = 0;
    };
    struct Ellipse {
        DxfPoint centre, axis;
    };
    struct Label {
        DxfPoint at;
        double height = 0;
        int number = 0;
    };
    std::vector<Line> lines;
    std::vector<Circle> circles;
    std::vector<Ellipse> ellipses;
    std::vector<Label> labels;                      // texts "#n"
    std::vector<std::vector<DxfPoint>> polylines;   // POLYLINE (and LWPOLYLINE) vertices
    int texts = 0;                                  // every TEXT, labels or not
    int lwpolylines = 0;
    int skipped = 0;                                // other entities
    int absurd = 0;                                 // entities left out: coordinates not finite or past kMaxDxfCoordinate
    bool hasEntities = false;
    bool complete = false;                          // the ENTITIES section ended properly (ENDSEC)
    double minX = 0, minY = 0, maxX = 0, maxY = 0;  // extent of what was kept
    bool hasExtent = false;
};

// Reads a drawing (R12 to current, CRLF or LF, codes with leading blanks). A damaged file
// gives what could be read before the damage.
DxfDrawing ReadDxf(const std::filesystem::path& path);
DxfDrawing ParseDxf(const std::string& text);

// The LED spacing the drawing suggests (drawing units per cell, x and y): from up to 1000
// circle centres, the smallest gap between neighbours wider than twice the first circle's
// radius; 100 and 100 when there is none.
// In vertex mode the segments' end points take the circles' place. At least 1 in each direction.
std::pair<int, int> SuggestedSpacing(const DxfDrawing& drawing, bool vertexMode = false);
// Coordinates beyond this (and spacings beyond kMaxDxfSpacing) are not taken.
inline constexpr double kMaxDxfCoordinate = 1e9;
inline constexpr double kMaxDxfSpacing = 1e9;

struct DxfImportResult {
    int rows = 0, cols = 0;
    int chains = 0;
    int linesUsed = 0;   // distinct line numbers given LEDs
    int leds = 0;
    int sharedCells = 0;     // LEDs that fell on a cell another LED already holds
    bool tooLarge = false;   // the grid would pass the cell limit: nothing was imported
};

// Replaces the layout by the drawing's: a grid of the drawing's extent at the spacing, every
// chain of LINE segments a line (labels "#n" name it; the labelled end comes first), its LEDs
// the circles along it (circle mode) or its segment end points (vertex mode).
DxfImportResult ImportDxf(const DxfDrawing& drawing, int spaceX, int spaceY, bool vertexMode, Layout& layout,
                          std::uint8_t defaultChip);

// The picture the import dialog falls back to: width x height bytes (row-major), 1 where an LED
// (a circle centre) lies, the drawing's extent stretched over the picture. Two LEDs on one pixel:
// the later one moves to the nearest free pixel around it. nullopt when a side is below 1 or an
// LED finds no free pixel ("Width or height is too small!").
std::optional<std::vector<std::uint8_t>> DxfPicture(const DxfDrawing& drawing, int width, int height);
inline constexpr const char* kPictureTooSmall = "Width or height is too small!";

}  // namespace corv
