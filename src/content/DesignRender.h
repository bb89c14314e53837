#pragma once

// Drawing of a design: the layers' items on the design canvas, each in its colour, line width,
// fill and angle; a layer's mask item clips the rest of the layer to its shape; an item with a
// clip source shows that clip's frames, advancing with the play time.
//
// Shapes by kind: 1 rectangle, 2 polyline (open), 3 ellipse, 4 line from the box's top-left to
// its bottom-right corner, 5 rounded rectangle (corner radius = its parameter in pixels),
// 6 text, 7 picture, 8 star (inner radius in percent, points), 9 group, 10 polygon (closed),
// 11 regular polygon (sides), 12 picture area (a rectangle of a clip).

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstddef>

#include "project/EffectList.h"
#include "project/FrameStore.h"

namespace corv {

// What a drawing needs besides the items: the clips item sources show and the play time.
struct DesignTime {
    const FrameStore* frames = nullptr;
    std::size_t tick = 0;  // frames played; a source shows its clip's frame tick mod count
};

// The rectangle of a clip an item shows, bounded by the clip: x and y within it, width and
// height to its edge when they are not positive or reach past it. Empty when the item has no
// valid source.
QRect SourceRect(const EffectItem& item, const FrameStore* frames);

// The outline of an item (its box for text and pictures), before rotation.
QPainterPath ItemPath(const EffectItem& item);

void DrawItem(QPainter& p, const EffectItem& item, const DesignTime& time);
// The layer's items in order; the mask item is not drawn but clips the others.
void DrawLayer(QPainter& p, const EffectLayer& layer, const DesignTime& time);
// Every checked layer, first to last, over `background`, on a canvas of `size`.
QImage RenderDesign(const EffectList& effects, QSize size, const DesignTime& time, QColor background = Qt::black);

}  // namespace corv
