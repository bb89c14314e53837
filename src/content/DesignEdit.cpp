#include "content/DesignEdit.h"

#include <algorithm>

#include "base/Binary.h"

namespace corv {

namespace {
std::size_t IndexOf(const EffectLayer& layer, const EffectItem* item) {
    for (std::size_t i = 0; i < layer.items.size(); ++i) {
        if (layer.items[i].get() == item) return i;
    }
    return layer.items.size();
}
}  // namespace

int NewLayer(EffectList& effects, int number, std::uint8_t language) {
    auto layer = std::make_unique<EffectLayer>();
    layer->name = LayerName(number, language);
    effects.Append(std::move(layer));
    return static_cast<int>(effects.Count()) - 1;
}

int DeleteLayer(EffectList& effects, int index, std::uint8_t language) {
    auto layers = effects.TakeAll();
    if (index >= 0 && index < static_cast<int>(layers.size())) layers.erase(layers.begin() + index);
    for (auto& l : layers) effects.Append(std::move(l));
    if (effects.Empty()) NewLayer(effects, 1, language);
    return std::clamp(index, 0, static_cast<int>(effects.Count()) - 1);
}

int MoveLayer(EffectList& effects, int index, bool up) {
    auto layers = effects.TakeAll();
    const int n = static_cast<int>(layers.size());
    int to = index;
    if (index >= 0 && index < n) {
        to = std::clamp(up ? index - 1 : index + 1, 0, n - 1);
        std::swap(layers[static_cast<std::size_t>(index)], layers[static_cast<std::size_t>(to)]);
    }
    for (auto& l : layers) effects.Append(std::move(l));
    return to;
}

void RenameLayers(EffectList& effects, std::uint8_t language) {
    int i = 0;
    for (auto& layer : effects) layer->name = LayerName(++i, language);
}

int AfterUncheck(EffectList& effects, int current) {
    const int n = static_cast<int>(effects.Count());
    for (int i = current + 1; i < n; ++i) {
        if (effects.at(static_cast<std::size_t>(i)).checked) return i;
    }
    for (int i = current - 1; i >= 0; --i) {
        if (effects.at(static_cast<std::size_t>(i)).checked) return i;
    }
    if (current >= 0 && current < n) effects.at(static_cast<std::size_t>(current)).checked = 1;  // one layer stays checked
    return current;
}

std::unique_ptr<EffectItem> NewItem(int kind, float x0, float y0, float x1, float y1, std::uint32_t colour,
                                    std::uint8_t lineWidth, bool fill, std::uint16_t parameter) {
    auto item = CreateItem(kind);
    if (!item) return nullptr;
    if (kind == kItemLine) {
        // A line keeps its direction: from the press to the release.
        item->x = x0;
        item->y = y0;
        item->w = x1 - x0;
        item->h = y1 - y0;
    } else {
        item->x = std::min(x0, x1);
        item->y = std::min(y0, y1);
        item->w = std::abs(x1 - x0);
        item->h = std::abs(y1 - y0);
    }
    item->colour = 0xFF000000u | colour;
    item->lineWidth = static_cast<std::uint8_t>(std::clamp<int>(lineWidth, 1, 6));
    item->fill = fill ? 1 : 0;
    if (kind == kItemRoundRect) static_cast<RoundRectItem&>(*item).parameter = parameter;
    if (kind == kItemPolyline || kind == kItemPolygon) {
        auto& points = static_cast<PointsItem&>(*item).points;
        points = {{x0, y0}, {x1, y0}, {x1, y1}};
        if (kind == kItemPolygon) points.push_back({x0, y1});
    }
    return item;
}

EffectItem* GroupItems(EffectLayer& layer, const Selection& selection) {
    std::vector<std::size_t> at;
    for (const EffectItem* s : selection) {
        const std::size_t i = IndexOf(layer, s);
        if (i < layer.items.size()) at.push_back(i);
    }
    std::sort(at.begin(), at.end());
    at.erase(std::unique(at.begin(), at.end()), at.end());
    if (at.size() < 2) return nullptr;
    auto group = std::make_unique<GroupItem>();
    for (std::size_t i : at) {
        if (layer.mask == layer.items[i].get()) layer.mask = nullptr;
        group->children.push_back(std::move(layer.items[i]));
    }
    for (auto it = at.rbegin(); it != at.rend(); ++it) layer.items.erase(layer.items.begin() + static_cast<std::ptrdiff_t>(*it));
    const RectF box = group->BoundingBox();
    group->x = box.x;
    group->y = box.y;
    group->w = box.w;
    group->h = box.h;
    EffectItem* made = group.get();
    layer.items.insert(layer.items.begin() + static_cast<std::ptrdiff_t>(at.front()), std::move(group));
    return made;
}

Selection UngroupItems(EffectLayer& layer, const Selection& selection) {
    Selection children;
    for (EffectItem* s : selection) {
        const std::size_t i = IndexOf(layer, s);
        if (i >= layer.items.size() || s->kind() != kItemGroup) continue;
        auto group = std::move(layer.items[i]);
        if (layer.mask == group.get()) layer.mask = nullptr;
        layer.items.erase(layer.items.begin() + static_cast<std::ptrdiff_t>(i));
        auto& kids = static_cast<GroupItem&>(*group).children;
        for (std::size_t k = 0; k < kids.size(); ++k) {
            children.push_back(kids[k].get());
            layer.items.insert(layer.items.begin() + static_cast<std::ptrdiff_t>(i + k), std::move(kids[k]));
        }
    }
    return children;
}

void DeleteItems(EffectLayer& layer, const Selection& selection) {
    for (const EffectItem* s : selection) layer.RemoveItem(s);
}

std::vector<std::uint8_t> EncodeItems(const Selection& selection) {
    ByteWriter w;
    w.U16(static_cast<std::uint16_t>(selection.size()));
    for (const EffectItem* item : selection) item->Write(w);
    return std::move(w.bytes());
}

std::optional<std::vector<std::unique_ptr<EffectItem>>> DecodeItems(std::span<const std::uint8_t> bytes) {
    ByteReader r(bytes);
    std::uint16_t count = 0;
    if (!r.U16(count)) return std::nullopt;
    std::vector<std::unique_ptr<EffectItem>> items;
    for (int i = 0; i < count; ++i) {
        auto item = ReadItem(r);
        if (!item) return std::nullopt;
        items.push_back(std::move(item));
    }
    if (!r.atEnd()) return std::nullopt;
    return items;
}

void SetColour(const Selection& s, std::uint32_t rgb) {
    for (EffectItem* i : s) i->colour = 0xFF000000u | (rgb & 0xFFFFFFu);
}
void SetLineWidth(const Selection& s, int width) {
    for (EffectItem* i : s) i->lineWidth = static_cast<std::uint8_t>(std::clamp(width, 1, 6));
}
void SetFill(const Selection& s, bool fill) {
    for (EffectItem* i : s) i->fill = fill ? 1 : 0;
}
void SetAngle(const Selection& s, int degrees) {
    for (EffectItem* i : s) i->angle = static_cast<std::uint16_t>(((degrees % 360) + 360) % 360);
}

bool SetPosition(const Selection& s, int x, int y, int canvasWidth, int canvasHeight) {
    if (s.empty()) return false;
    EffectItem* last = s.back();
    bool changed = false;
    if (x >= 0 && x < canvasWidth) {
        last->MoveBy(static_cast<float>(x) - last->BoundingBox().x, 0);
        changed = true;
    }
    if (y > 0 && y < canvasHeight) {
        last->MoveBy(0, static_cast<float>(y) - last->BoundingBox().y);
        changed = true;
    }
    return changed;
}

void SetSize(const Selection& s, float w, float h) {
    if (s.empty()) return;
    s.back()->w = w;
    s.back()->h = h;
}

Selection ItemsInside(const EffectLayer& layer, float x0, float y0, float x1, float y1) {
    const float l = std::min(x0, x1), r = std::max(x0, x1), t = std::min(y0, y1), b = std::max(y0, y1);
    Selection inside;
    for (const auto& item : layer.items) {
        const RectF box = item->BoundingBox();
        const float bl = std::min(box.x, box.x + box.w), br = std::max(box.x, box.x + box.w);
        const float bt = std::min(box.y, box.y + box.h), bb = std::max(box.y, box.y + box.h);
        if (bl >= l && br <= r && bt >= t && bb <= b) inside.push_back(item.get());
    }
    return inside;
}

EffectItem* ItemAt(const EffectLayer& layer, float x, float y) {
    for (auto it = layer.items.rbegin(); it != layer.items.rend(); ++it) {
        if ((*it)->HitTest(x, y)) return it->get();
    }
    return nullptr;
}

}  // namespace corv
