#pragma once

#include <QImage>
#include <QPointF>
#include <vector>

namespace corv {

// "Fast Identify": the LED dots of a photograph or scan of an installation. The picture is
// freed of uneven light (its local background is subtracted), the dots are separated from the
// rest by a threshold chosen from the histogram, joined into connected components and reduced
// to one centre each; the grid pitch comes from the spacing of neighbouring dots, a tilt from
// their direction, and every dot gets its cell of a one-pixel-per-LED picture.
struct IdentifiedLeds {
    std::vector<QPointF> centres;  // in picture pixels
    double pitch = 0;              // pixels from dot to dot
    double tilt = 0;               // radians the rows are turned by
    int cols = 0, rows = 0;
    QImage leds;                   // cols x rows, white where an LED is, black elsewhere
    int dropped = 0;               // dots that found no free pixel near their cell
};

// `minArea`: components of fewer pixels are noise.
IdentifiedLeds FastIdentify(const QImage& photo, int minArea = 3);

}  // namespace corv
