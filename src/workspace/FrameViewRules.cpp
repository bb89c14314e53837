#include "workspace/FrameViewRules.h"

#include <algorithm>

namespace corv {

int ZoomUp(int zoom) {
    if (zoom >= 100) return zoom;
    if (zoom < 6) return zoom + 1;
    if (zoom < 10) return zoom + 2;
    return std::min(zoom + 10, 100);
}

int ZoomDown(int zoom) {
    if (zoom < 2) return zoom;
    if (zoom <= 10) return zoom - 1;
    return zoom - 10;
}

int FitZoom(int clientWidth, int clientHeight, int frameWidth, int frameHeight, int gridScaleX, int gridScaleY) {
    const int w = std::max(1, gridScaleX) * std::max(1, frameWidth);
    const int h = std::max(1, gridScaleY) * std::max(1, frameHeight);
    // Kept to the zoom range 1..100 (a one-cell frame in a large window stops at 100).
    return std::clamp(std::min((clientWidth - 50) / w, (clientHeight - 50) / h), 1, 100);
}

int PlayInterval(int speed) { return 1000 / std::clamp(speed, 10, 80); }

}  // namespace corv
