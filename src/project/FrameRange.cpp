#include "project/FrameRange.h"

#include <algorithm>
#include <cstring>

#include "base/Binary.h"

namespace corv {

PixelRect TargetRect(int width, int height, const std::optional<PixelRect>& editArea) {
    const PixelRect whole{0, 0, width, height};
    if (!editArea) return whole;
    PixelRect r{std::clamp(editArea->left, 0, width), std::clamp(editArea->top, 0, height),
                std::clamp(editArea->right, 0, width), std::clamp(editArea->bottom, 0, height)};
    return r.Empty() ? whole : r;
}

std::vector<std::uint8_t> EncodeFrameBlock(const FrameBlock& block) {
    ByteWriter w;
    w.U8(0xFF);
    w.U16(static_cast<std::uint16_t>(block.width));
    w.U16(static_cast<std::uint16_t>(block.height));
    w.U16(static_cast<std::uint16_t>(block.pictures.size()));
    for (const Frame& f : block.pictures) w.Bytes(f.data(), f.size());
    return std::move(w.bytes());
}

std::optional<FrameBlock> DecodeFrameBlock(std::span<const std::uint8_t> bytes) {
    const bool marker = !bytes.empty() && bytes[0] == 0xFF;
    const std::size_t head = marker ? 7 : 6;
    if (bytes.size() < head) return std::nullopt;
    const std::size_t at = marker ? 1 : 0;
    FrameBlock block;
    block.width = LoadU16(&bytes[at]);
    block.height = LoadU16(&bytes[at + 2]);
    const std::size_t count = LoadU16(&bytes[at + 4]);
    if (block.width == 0 || block.height == 0 || count == 0) return std::nullopt;
    const std::size_t picture = Frame::BufferSize(static_cast<std::size_t>(block.width), static_cast<std::size_t>(block.height));
    if ((bytes.size() - head) / picture != count || (bytes.size() - head) % picture != 0) return std::nullopt;
    block.pictures.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        Frame f(block.width, block.height, Frame::Uninitialized{});
        std::memcpy(f.data(), bytes.data() + head + i * picture, picture);
        block.pictures.push_back(std::move(f));
    }
    return block;
}

bool ValidRange(std::size_t frameCount, long long first, long long end) {
    return first >= 0 && end <= static_cast<long long>(frameCount) && first < end;
}

namespace {

PixelRect Target(const RangeContext& c) {
    const Frame& f = c.frames->front();
    return TargetRect(f.width(), f.height(), c.editArea);
}

// Copies the rectangle `from` of `src` to (x, y) of `dst` (picture coordinates), cut to both.
void Blit(const Frame& src, PixelRect from, Frame& dst, int x, int y) {
    for (int row = from.top; row < from.bottom; ++row) {
        const int ty = y + row - from.top;
        if (row < 0 || row >= src.height() || ty < 0 || ty >= dst.height()) continue;
        for (int col = from.left; col < from.right; ++col) {
            const int tx = x + col - from.left;
            if (col < 0 || col >= src.width() || tx < 0 || tx >= dst.width()) continue;
            std::memcpy(dst.PixelAt(tx, ty), src.PixelAt(col, row), 3);
        }
    }
}

void FillRect(Frame& f, const PixelRect& r, Bgr colour) {
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) f.SetPixel(x, y, colour);
    }
}

std::uint8_t Mix(PasteCombine combine, std::uint8_t src, std::uint8_t dst) {
    switch (combine) {
        case PasteCombine::Normal: return src;
        case PasteCombine::Or: return static_cast<std::uint8_t>(src | dst);
        case PasteCombine::Xor: return static_cast<std::uint8_t>(src ^ dst);
        case PasteCombine::And: return static_cast<std::uint8_t>(src & dst);
        case PasteCombine::Superposition: return std::max(src, dst);
        case PasteCombine::Transparency: return static_cast<std::uint8_t>((src + dst + 1) / 2);
        case PasteCombine::Adding: return static_cast<std::uint8_t>(std::min(255, src + dst));
    }
    return src;
}

// Draws `picture` onto `frame` at the target's top-left corner, flipped as asked, mixed by
// `combine`, cut to the target.
void DrawPicture(const Frame& picture, Frame& frame, const PixelRect& target, PasteDirection direction,
                 PasteCombine combine) {
    const bool flipX = direction == PasteDirection::Horizontal || direction == PasteDirection::Centre;
    const bool flipY = direction == PasteDirection::Vertical || direction == PasteDirection::Centre;
    const int w = std::min(picture.width(), target.width()), h = std::min(picture.height(), target.height());
    for (int y = 0; y < h; ++y) {
        const int sy = flipY ? picture.height() - 1 - y : y;
        for (int x = 0; x < w; ++x) {
            const int sx = flipX ? picture.width() - 1 - x : x;
            const std::uint8_t* s = picture.PixelAt(sx, sy);
            std::uint8_t* d = frame.PixelAt(target.left + x, target.top + y);
            for (int k = 0; k < 3; ++k) d[k] = Mix(combine, s[k], d[k]);
        }
    }
}

}  // namespace

std::string CombineRule(PasteCombine combine) {
    switch (combine) {
        case PasteCombine::Normal: return "the picture replaces the frame's pixels";
        case PasteCombine::Or: return "each colour byte: picture OR frame";
        case PasteCombine::Xor: return "each colour byte: picture XOR frame";
        case PasteCombine::And: return "each colour byte: picture AND frame";
        case PasteCombine::Superposition: return "each colour channel: the brighter of picture and frame";
        case PasteCombine::Transparency: return "each colour channel: the mean of picture and frame (half see-through)";
        case PasteCombine::Adding: return "each colour channel: picture + frame, at most 255";
    }
    return {};
}

FrameBlock CopyFrames(const RangeContext& c, std::size_t s, std::size_t e) {
    FrameBlock block;
    const PixelRect t = Target(c);
    block.width = t.width();
    block.height = t.height();
    for (std::size_t i = s; i < e; ++i) {
        Frame p(t.width(), t.height());
        Blit((*c.frames)[i], t, p, 0, 0);
        block.pictures.push_back(std::move(p));
    }
    return block;
}

void RepeatFrames(RangeContext& c, std::size_t s, std::size_t e, int times) {
    auto& frames = *c.frames;
    times = std::max(times, 0);
    if (times == 0) return;
    const std::size_t r = static_cast<std::size_t>(times);
    std::vector<Frame> out;
    out.reserve(frames.size() + (e - s) * r);
    std::vector<std::size_t> inserted;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (i >= s && i < e) {
            for (std::size_t k = 0; k < r; ++k) {
                inserted.push_back(out.size());
                out.emplace_back(frames[i]);  // a copy of the frame before it
            }
        }
        out.push_back(std::move(frames[i]));
    }
    frames = std::move(out);
    c.undo->RecordInsertedAt(frames, inserted);
}

void DeleteFrames(RangeContext& c, std::size_t s, std::size_t e, int spacing) {
    auto& frames = *c.frames;
    spacing = std::clamp(spacing, 0, 200);
    if (c.editArea) {
        const PixelRect t = Target(c);
        const std::size_t step = spacing == 0 ? 1 : static_cast<std::size_t>(spacing) + 1;
        c.undo->RecordChange(frames, s, e - s);
        for (std::size_t i = s; i < e; i += step) FillRect(frames[i], t, c.background);
        return;
    }
    const int w = frames.front().width(), h = frames.front().height();
    if (spacing == 0) {
        c.undo->Remove(frames, s, e - s);
    } else {
        std::vector<std::size_t> removed;
        const std::size_t n = static_cast<std::size_t>(spacing);
        for (std::size_t i = s + n; i < e; i += n + 1) removed.push_back(i);
        c.undo->RemoveAt(frames, removed);
    }
    if (frames.empty()) {
        // The clip keeps one frame; undo takes it out again.
        frames.push_back(Frame::Filled(w, h, c.background));
        c.undo->MarkPlaceholder();
    }
}

FrameBlock CutFrames(RangeContext& c, std::size_t s, std::size_t e) {
    auto& frames = *c.frames;
    if (c.editArea) {
        // With an edit area only its part of each frame is cut: it goes to the block and the
        // frames keep their place with the area refilled by the background.
        FrameBlock block = CopyFrames(c, s, e);
        DeleteFrames(c, s, e, 0);
        return block;
    }
    // The whole frames leave the clip: the block shares their pixels instead of copying them.
    FrameBlock block;
    block.width = frames.front().width();
    block.height = frames.front().height();
    block.pictures.reserve(e - s);
    for (std::size_t i = s; i < e; ++i) block.pictures.push_back(frames[i].SharedView());
    const int w = frames.front().width(), h = frames.front().height();
    c.undo->Remove(frames, s, e - s);
    if (frames.empty()) {
        frames.push_back(Frame::Filled(w, h, c.background));
        c.undo->MarkPlaceholder();
    }
    return block;
}

std::size_t PasteFrames(RangeContext& c, const FrameBlock& block, const PasteOptions& o) {
    auto& frames = *c.frames;
    const PixelRect t = Target(c);
    const int w = frames.front().width(), h = frames.front().height();
    const std::size_t n = block.pictures.size();
    const std::size_t times = static_cast<std::size_t>(std::max(o.times, 1));
    const std::size_t p = std::min(o.place, frames.size() - 1);
    if (n == 0) return p;
    if (o.overlay) {
        const std::size_t existing = frames.size();
        const bool recorded = c.undo->RecordChange(frames, p, n * times);
        for (std::size_t pass = 0; pass < times; ++pass) {
            for (std::size_t i = 0; i < n; ++i) {
                const std::size_t at = p + pass * n + i;
                while (frames.size() <= at) frames.push_back(Frame::Filled(w, h, c.background));
                DrawPicture(block.pictures[i], frames[at], t, o.direction, o.combine);
            }
        }
        // Frames added past the end leave again on undo.
        if (recorded) c.undo->AddAppendedTail(existing, frames.size() - existing);
        return std::min(frames.size() - 1, p + n * times - 1);
    }
    // Insert after the placed frame; "Reverse order" puts every picture at the same place.
    std::vector<Frame> run(n);
    for (std::size_t i = 0; i < n; ++i) {
        Frame f = Frame::Filled(w, h, c.background);
        DrawPicture(block.pictures[i], f, t, o.direction, PasteCombine::Normal);
        run[o.reverseOrder ? n - 1 - i : i] = std::move(f);
    }
    std::vector<Frame> all;
    all.reserve(n * times);
    for (std::size_t k = 1; k < times; ++k) {
        for (const Frame& f : run) all.push_back(f);
    }
    all.insert(all.begin(), std::make_move_iterator(run.begin()), std::make_move_iterator(run.end()));
    const std::size_t at = p + 1;
    frames.insert(frames.begin() + static_cast<std::ptrdiff_t>(at), std::make_move_iterator(all.begin()),
                  std::make_move_iterator(all.end()));
    c.undo->RecordInserted(frames, at, n * times);
    return at + n * times - 1;
}

bool StepsPaste(RangeContext& c, const FrameBlock& block, std::size_t start, int interval, bool backwards) {
    auto& frames = *c.frames;
    const PixelRect t = Target(c);
    const bool byColumns = block.height == t.height();
    if (!byColumns && block.width != t.width()) return false;
    const std::size_t n = block.pictures.size();
    const int step = std::max(interval, 1);
    const int w = frames.front().width(), h = frames.front().height();
    const std::size_t q = std::min(start, frames.size());
    std::vector<Frame> made;
    made.reserve(n);
    // Column c (row r) of output frame k shows that column (row) of block picture k - c x I;
    // backwards the columns (rows) are counted from the right (bottom).
    const int lines = byColumns ? std::min(block.width, t.width()) : std::min(block.height, t.height());
    for (std::size_t k = 0; k < n; ++k) {
        Frame f = Frame::Filled(w, h, c.background);
        for (int line = 0; line < lines && static_cast<long long>(k) >= static_cast<long long>(line) * step; ++line) {
            const Frame& pic = block.pictures[k - static_cast<std::size_t>(line) * static_cast<std::size_t>(step)];
            if (byColumns) {
                const int src = backwards ? block.width - 1 - line : line;
                const int dst = backwards ? t.left + block.width - 1 - line : t.left + line;
                if (dst < t.left || dst >= t.right) continue;
                Blit(pic, PixelRect{src, 0, src + 1, block.height}, f, dst, t.top);
            } else {
                const int src = backwards ? block.height - 1 - line : line;
                const int dst = backwards ? t.top + block.height - 1 - line : t.top + line;
                if (dst < t.top || dst >= t.bottom) continue;
                Blit(pic, PixelRect{0, src, block.width, src + 1}, f, t.left, dst);
            }
        }
        made.push_back(std::move(f));
    }
    frames.insert(frames.begin() + static_cast<std::ptrdiff_t>(q), std::make_move_iterator(made.begin()),
                  std::make_move_iterator(made.end()));
    c.undo->RecordInserted(frames, q, n);
    return true;
}

void MoveFrames(RangeContext& c, std::size_t s, std::size_t e, MoveDirection direction, int ranks, bool increments) {
    auto& frames = *c.frames;
    const PixelRect t = Target(c);
    const int W = t.width(), H = t.height();
    const bool horizontal = direction == MoveDirection::Left || direction == MoveDirection::Right;
    const int size = horizontal ? W : H;
    if (size <= 0) return;
    auto wrap = [size](long long v) { return static_cast<int>(((v % size) + size) % size); };
    // Shifts as columns move (x - shift) and buffer rows (bottom-up) move (y - shift).
    int shift = 0;
    switch (direction) {
        case MoveDirection::Left: shift = wrap(ranks); break;
        case MoveDirection::Right: shift = wrap(static_cast<long long>(W) - ranks); break;
        case MoveDirection::Up: shift = wrap(static_cast<long long>(H) - ranks); break;
        case MoveDirection::Down: shift = wrap(ranks); break;
    }
    const int grow = direction == MoveDirection::Left || direction == MoveDirection::Down ? 1 : -1;
    std::vector<std::uint8_t> line;
    for (std::size_t i = s; i < e; ++i) {
        Frame& f = frames[i];
        Frame before(f.width(), f.height(), &f);
        if (horizontal) {
            // Column x goes to (x - shift) mod W.
            for (int y = t.top; y < t.bottom; ++y) {
                for (int x = 0; x < W; ++x) {
                    std::memcpy(f.PixelAt(t.left + wrap(x - shift), y), before.PixelAt(t.left + x, y), 3);
                }
            }
        } else {
            // Buffer row y (bottom-up) goes to (y - shift) mod H: in picture rows, row r of the
            // target (top-down) is buffer row H - 1 - r.
            for (int r = 0; r < H; ++r) {
                const int bufferRow = H - 1 - r;
                const int toBuffer = wrap(bufferRow - shift);
                const int toRow = H - 1 - toBuffer;
                for (int x = t.left; x < t.right; ++x) {
                    std::memcpy(f.PixelAt(x, t.top + toRow), before.PixelAt(x, t.top + r), 3);
                }
            }
        }
        if (increments) shift = wrap(static_cast<long long>(shift) + grow);
    }
}

void RowColDelete(RangeContext& c, std::size_t s, std::size_t e, int keepRows, int deleteRows, int keepCols,
                  int deleteCols) {
    auto& frames = *c.frames;
    const PixelRect t = Target(c);
    keepRows = std::max(keepRows, 0);
    deleteRows = std::max(deleteRows, 0);
    keepCols = std::max(keepCols, 0);
    deleteCols = std::max(deleteCols, 0);
    auto kept = [](int count, int keep, int del) {
        std::vector<int> out;
        for (int i = 0; i < count; ++i) {
            if (keep + del == 0 || i % (keep + del) < keep) out.push_back(i);
        }
        return out;
    };
    const std::vector<int> rows = kept(t.height(), keepRows, deleteRows);
    const std::vector<int> cols = kept(t.width(), keepCols, deleteCols);
    c.undo->RecordChange(frames, s, e - s);
    for (std::size_t i = s; i < e; ++i) {
        Frame before(frames[i].width(), frames[i].height(), &frames[i]);
        Frame& f = frames[i];
        FillRect(f, t, c.background);
        for (std::size_t r = 0; r < rows.size(); ++r) {
            for (std::size_t k = 0; k < cols.size(); ++k) {
                std::memcpy(f.PixelAt(t.left + static_cast<int>(k), t.top + static_cast<int>(r)),
                            before.PixelAt(t.left + cols[k], t.top + rows[r]), 3);
            }
        }
    }
}

std::size_t PlaceAfter(std::vector<Frame>& frames, std::size_t current, std::vector<Frame> incoming, bool cover,
                       FrameUndo& undo) {
    const std::size_t n = incoming.size();
    const std::size_t after = frames.empty() ? 0 : std::min(current, frames.size() - 1) + 1;
    if (n == 0) return after == 0 ? 0 : after - 1;
    if (cover && after < frames.size()) {
        const std::size_t covered = std::min(n, frames.size() - after);
        const std::size_t existing = frames.size();
        const bool recorded = undo.RecordChange(frames, after, covered);
        for (std::size_t i = 0; i < covered; ++i) frames[after + i] = std::move(incoming[i]);
        for (std::size_t i = covered; i < n; ++i) frames.push_back(std::move(incoming[i]));
        if (recorded && frames.size() > existing) undo.AddAppendedTail(existing, frames.size() - existing);
        return after + n - 1;
    }
    undo.BeginUndo(frames, 0, after, static_cast<std::uint32_t>(n));
    frames.insert(frames.begin() + static_cast<std::ptrdiff_t>(after), std::make_move_iterator(incoming.begin()),
                  std::make_move_iterator(incoming.end()));
    return after + n - 1;
}

}  // namespace corv
