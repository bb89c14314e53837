#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>

#include <QImage>

#include "layout/Dxf.h"
#include "layout/Identify.h"
#include "media/Movie.h"
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

// "Fast Identify" of the picture identify and `corvantine-cli identify`: the LED dots of a
// photograph, each a cell of a picture of one pixel per LED. With a wiring mode the layout
// becomes a grid of that picture's size whose lines wire every dot, line after line, in the
// mode's order (the dots are the background); without one the layout stays as it was.
struct IdentifyRequest {
    QImage photo;
    std::optional<int> wireMode;  // kShortest or kShortestH
    std::uint8_t defaultChip = 3;  // the chip of the wired layout's slaves
};
struct IdentifyReply {
    IdentifiedLeds found;
    int wired = 0;  // the LEDs the wiring placed
};
enum IdentifyRefusal {
    kIdentifyNoPicture = 1,  // no picture to look at
    kIdentifyNoDots,         // no LED dot found
    kIdentifyGridTooLarge,   // the dots' grid passes the cell limit (values: rows, cols)
};
Result<IdentifyReply> IdentifyLeds(Workspace& ws, const IdentifyRequest& request, Prompt& prompt,
                                   const ProgressFn& progress);

// `corvantine-cli import-video`: the pictures of a movie, from `first` on, as frames after the
// last frame of the current clip, each made the frame size as `fit` says; or, with
// `newDocument`, written one by one into a new document of one clip without holding them
// (the workspace does not change then). No undo step; a refused import leaves the clip as it
// was.
struct MovieImportRequest {
    std::filesystem::path movie;
    // The frame size: none takes the current clip's, or for a new document the movie's (at
    // most 4096 x 4096). A size the current clip does not have is refused.
    std::optional<int> width, height;
    Fit fit = Fit::Center;
    long long first = 1;             // the first picture taken (1-based)
    std::optional<long long> count;  // none: every picture to the end
    std::optional<std::filesystem::path> newDocument;
};
struct MovieImportReply {
    std::size_t frames = 0;  // the pictures taken
    int width = 0, height = 0;
};
enum MovieImportRefusal {
    kMovieNoClip = 1,     // no current clip and no new document
    kMovieCannotOpen,     // the movie cannot be read (the reason says why)
    kMovieSizeMismatch,   // a size other than the clip's (values: the clip's width, height)
    kMovieUnreadable,     // a picture could not be decoded (the reason says why)
    kMovieNoPictures,     // no picture from `first` on (values: the movie, first)
    kMovieNotWritten,     // the new document could not be written (the reason names it)
};
Result<MovieImportReply> ImportMovie(Workspace& ws, const MovieImportRequest& request, Prompt& prompt,
                                     const ProgressFn& progress);

}  // namespace corv::ops
