#include "app/shell/DocumentFingerprint.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Binary.h"
#include "base/MappedPages.h"
#include "workspace/Workspace.h"

namespace corv {

namespace {

class Digest {
public:
    void Add(std::uint64_t v) { Mix(v); }
    void Add(std::string_view bytes) {
        Mix(bytes.size());
        Mix(std::hash<std::string_view>{}(bytes));
    }
    void Add(const void* data, std::size_t size) { Add(std::string_view(static_cast<const char*>(data), size)); }
    std::uint64_t value() const { return h_; }

private:
    void Mix(std::uint64_t v) {
        // Order matters: the same values in another order are another document.
        h_ ^= v + 0x9E3779B97F4A7C15ULL + (h_ << 6) + (h_ >> 2);
        h_ *= 0xFF51AFD7ED558CCDULL;
    }
    std::uint64_t h_ = 0xCBF29CE484222325ULL;
};

// The digest of everything but the frames' pixels.
std::uint64_t RestDigest(const Workspace& ws) {
    Digest d;
    const FrameStore& store = ws.frames;
    d.Add(static_cast<std::uint64_t>(store.Count()));
    for (int c = 0; c < store.Count(); ++c) {
        const Clip& clip = store.clip(c);
        d.Add(clip.width);
        d.Add(clip.height);
        d.Add(clip.lineFilePath);
        d.Add(clip.frames.size());
    }
    d.Add(static_cast<std::uint16_t>(ws.frameView.gridScaleX));
    d.Add(static_cast<std::uint16_t>(ws.frameView.gridScaleY));
    d.Add(ws.design.canvasWidth);
    d.Add(ws.design.canvasHeight);
    ByteWriter layers;
    for (const auto& layer : ws.effects) {
        layer->Write(layers);
    }
    d.Add(ws.effects.Count());
    d.Add(layers.bytes().data(), layers.size());
    d.Add(ws.design.musicPath.string());
    return d.value();
}

std::uint64_t PixelDigest(const std::uint8_t* data, std::size_t size) {
    Digest d;
    d.Add(data, size);
    return d.value();
}

// The digest of the file's bytes a mapped frame started from (none when they cannot be read).
std::optional<std::uint64_t> FileDigest(const DocumentState::FrameMark& mark) {
    std::vector<std::uint8_t> bytes(mark.size);
    if (!ReadMappedFileBytes(mark.at, mark.size, bytes.data())) return std::nullopt;
    return PixelDigest(bytes.data(), bytes.size());
}

template <typename F>
void ForEachFrame(const Workspace& ws, F&& f) {
    for (int c = 0; c < ws.frames.Count(); ++c) {
        for (const Frame& frame : ws.frames.clip(c).frames) f(frame);
    }
}

}  // namespace

DocumentState CaptureDocumentState(const Workspace& ws) {
    DocumentState state;
    state.digest = RestDigest(ws);
    ForEachFrame(ws, [&](const Frame& frame) {
        DocumentState::FrameMark mark{frame.data(), frame.size(), PagesUnchanged(frame.data(), frame.size()), 0};
        if (!mark.mapped) mark.digest = PixelDigest(frame.data(), frame.size());
        state.frames.push_back(mark);
    });
    return state;
}

bool MatchesDocumentState(const DocumentState& state, const Workspace& ws) {
    if (RestDigest(ws) != state.digest) return false;
    std::size_t i = 0;
    bool same = true;
    ForEachFrame(ws, [&](const Frame& frame) {
        if (!same || i >= state.frames.size()) {
            same = false;
            return;
        }
        const DocumentState::FrameMark& mark = state.frames[i++];
        if (frame.size() != mark.size) {
            same = false;
        } else if (mark.mapped && frame.data() == mark.at && PagesUnchanged(frame.data(), frame.size())) {
            // Still the file's own pages.
        } else {
            const std::optional<std::uint64_t> was = mark.mapped ? FileDigest(mark) : mark.digest;
            same = was && *was == PixelDigest(frame.data(), frame.size());
        }
    });
    return same && i == state.frames.size();
}

}  // namespace corv
