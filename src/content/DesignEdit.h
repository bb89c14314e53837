#pragma once

// Editing operations of the design editor on the layers and items, apart from any window.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "project/EffectList.h"

namespace corv {

// The items of a layer the editor has selected, in the order they were selected.
using Selection = std::vector<EffectItem*>;

// Layers. New appends a layer named after `number` and returns its index.
int NewLayer(EffectList& effects, int number, std::uint8_t language);
// Deletes layer `index`; the list keeps at least one layer. The new current layer's index.
int DeleteLayer(EffectList& effects, int index, std::uint8_t language);
// Moves a layer one place up (towards the first) or down; its new index.
int MoveLayer(EffectList& effects, int index, bool up);
// Names every layer after its 1-based position.
void RenameLayers(EffectList& effects, std::uint8_t language);
// Unchecking the current layer: the nearest checked layer after it, else before it; when none
// is checked the layer is checked again. Returns the current layer afterwards.
int AfterUncheck(EffectList& effects, int current);

// A new item of `kind` with the editor's defaults over the box (a drag from (x0, y0) to (x1, y1),
// normalised). Point-list kinds get the box's corners as a start.
std::unique_ptr<EffectItem> NewItem(int kind, float x0, float y0, float x1, float y1, std::uint32_t colour,
                                    std::uint8_t lineWidth, bool fill, std::uint16_t parameter);

// Groups the selected items of the layer into one group at the place of the first of them;
// returns the group (nullptr when fewer than two were selected).
EffectItem* GroupItems(EffectLayer& layer, const Selection& selection);
// Dissolves the selected groups into their children; returns the children.
Selection UngroupItems(EffectLayer& layer, const Selection& selection);
// Removes the selected items (a mask among them leaves the layer without mask).
void DeleteItems(EffectLayer& layer, const Selection& selection);

// The clipboard form of items: u16 count, then the item records.
std::vector<std::uint8_t> EncodeItems(const Selection& selection);
// nullopt for damaged data.
std::optional<std::vector<std::unique_ptr<EffectItem>>> DecodeItems(std::span<const std::uint8_t> bytes);

// The tool panel's value edits on the selection: colour, line width (below 1 becomes 1, above 6
// becomes 6), fill, angle; position of the most recently selected item, x only for
// 0 <= x < canvas width and y only for 0 < y < canvas height; its size.
void SetColour(const Selection& s, std::uint32_t rgb);
void SetLineWidth(const Selection& s, int width);
void SetFill(const Selection& s, bool fill);
void SetAngle(const Selection& s, int degrees);
bool SetPosition(const Selection& s, int x, int y, int canvasWidth, int canvasHeight);
void SetSize(const Selection& s, float w, float h);

// Items of the layer whose boxes lie inside the rectangle (the rubber band).
Selection ItemsInside(const EffectLayer& layer, float x0, float y0, float x1, float y1);
// The topmost item of the layer under a point, nullptr when none.
EffectItem* ItemAt(const EffectLayer& layer, float x, float y);

}  // namespace corv
