#include "content/generators/GeneratorUnit.h"

namespace corv::generators {

namespace {

// "Inner-port": every port moves along its own points, S points a frame; the first S take the
// current colour (or, with recycle, the port's last point).
void MoveInnerPorts(const GeneratorJob& job, const std::vector<std::vector<std::pair<int, int>>>& portList, int step, FrameStep& s) {
    const PixelRect& r = job.r;
    for (const auto& port : portList) {
        const Bgr first = job.run.recycle ? s.P.Pixel(port.back().first, port.back().second) : s.colour;
        for (std::size_t i = 0; i < port.size(); ++i) {
            const auto [x, y] = port[i];
            if (x < r.left || x >= r.right || y < r.top || y >= r.bottom) continue;
            if (i < static_cast<std::size_t>(step)) {
                s.F.SetPixel(x, y, first);
                continue;
            }
            const std::size_t end = i / static_cast<std::size_t>(step) * static_cast<std::size_t>(step) - 1;
            const Bgr c = s.P.Pixel(port[end].first, port[end].second);
            if (!(c == Bgr{0, 0, 0})) s.F.SetPixel(x, y, c);
        }
    }
}

// "Inter-port": each port takes the colour of the previous port's last point, the first port the
// current colour (or, with recycle, the last port's first point).
void MoveInterPorts(const GeneratorJob& job, const std::vector<std::vector<std::pair<int, int>>>& portList, FrameStep& s) {
    const PixelRect& r = job.r;
    for (std::size_t k = 0; k < portList.size(); ++k) {
        Bgr c;
        if (k == 0) {
            c = job.run.recycle ? s.P.Pixel(portList.back().front().first, portList.back().front().second) : s.colour;
        } else {
            c = s.P.Pixel(portList[k - 1].back().first, portList[k - 1].back().second);
        }
        for (const auto& [x, y] : portList[k]) {
            if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) s.F.SetPixel(x, y, c);
        }
    }
}

// "Moving": the picture moves S pixels a frame in one of eight directions, or along the ports.
class Moving final : public Generator {
public:
    GeneratorMode mode() const override { return GeneratorMode::Moving; }
    bool Accepts(GeneratorJob& job) const override {
        // The port styles need wiring that fits the picture.
        const GeneratorRun& run = job.run;
        if (PortStyle(job) && (!run.layout || run.layout->grid.cols > job.W || run.layout->grid.rows > job.H)) {
            job.run.error = "the layout is larger than the picture";
            return false;
        }
        return true;
    }
    int Run(GeneratorJob& job, int count) const override {
        const int style = job.style;
        const int step = ValidStep(job.run.step, style, job.W, job.H);
        const auto portList = PortStyle(job) ? Ports(*job.run.layout, job.W, job.H) : std::vector<std::vector<std::pair<int, int>>>{};
        return RunFrames(job, count, FrameLoop{step, false, false}, [&](FrameStep& s) {
            if (!PortStyle(job)) {
                Move(s.P, s.F, job.r, static_cast<Dir>(style), step, job.run.recycle, s.colour);
            } else if (style == 8) {
                MoveInnerPorts(job, portList, step, s);
            } else {
                MoveInterPorts(job, portList, s);
            }
        });
    }

private:
    static bool PortStyle(const GeneratorJob& job) { return job.style >= 8; }
};

}  // namespace

const Generator& MovingGenerator() {
    static const Moving unit;
    return unit;
}

}  // namespace corv::generators
