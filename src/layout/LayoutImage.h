#pragma once

#include <QImage>
#include <QString>

#include "layout/Layout.h"

namespace corv {

// The layout as the sculpt view draws it: the grid, every LED in its line's colour, the routes
// from LED to LED and each line's number at its first LED. `cell` is pixels per cell.
QImage RenderLayout(const Layout& layout, int cell);

// The colour of a line's LEDs and route.
QColor LineColour(int line);

// Saves a picture in the format its extension names (jpeg/jpg, bmp, png; anything else is
// written as GIF); false when the file cannot be written.
bool SaveLayoutImage(const QImage& image, const QString& path);

}  // namespace corv
