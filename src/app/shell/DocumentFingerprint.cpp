#include "app/shell/DocumentFingerprint.h"

#include <functional>
#include <string>
#include <string_view>

#include "base/Binary.h"
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

}  // namespace

std::uint64_t DocumentFingerprint(const Workspace& ws) {
    Digest d;
    const FrameStore& store = ws.frames;
    d.Add(static_cast<std::uint64_t>(store.Count()));
    for (int c = 0; c < store.Count(); ++c) {
        const Clip& clip = store.clip(c);
        d.Add(clip.width);
        d.Add(clip.height);
        d.Add(clip.lineFilePath);
        d.Add(clip.frames.size());
        for (const Frame& frame : clip.frames) {
            d.Add(frame.data(), frame.size());
        }
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

}  // namespace corv
