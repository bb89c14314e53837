#pragma once

#include <QByteArray>
#include <QImage>

#include <optional>
#include <QString>

#include "base/Result.h"
#include "layout/Layout.h"

namespace corv {

// Pictures of a layout stay within these bounds: a grid whose picture would not fit even at 2
// pixels a cell is not drawn.
inline constexpr long long kMaxLayoutPictureSide = 32000;
inline constexpr long long kMaxLayoutPicturePixels = 1LL << 26;  // 64 Mi pixels, 256 MiB
// The pixels per cell a picture of the grid gets: `wanted` (2..64), smaller where the picture
// would pass the bounds, 0 when not even 2 fits.
int LayoutPictureCell(const LayoutGrid& grid, int wanted);

// The layout as the sculpt view draws it: the grid, every LED in its line's colour, the routes
// from LED to LED and each line's number at its first LED. `cell` is pixels per cell, made
// smaller by LayoutPictureCell where needed (a null picture when nothing fits).
QImage RenderLayout(const Layout& layout, int cell);

// The colour of a line's LEDs and route.
QColor LineColour(int line);

// The bytes of a picture in the format the path's extension names (jpeg/jpg, bmp, png;
// anything else is GIF); nullopt when it cannot be encoded.
std::optional<QByteArray> EncodeLayoutImage(const QImage& image, const QString& path);
// Saves a picture so (through a temporary file: a failure leaves the old file as it was); the
// failure names the file and why it could not be encoded or written.
Result<Done> SaveLayoutImage(const QImage& image, const QString& path);

}  // namespace corv
