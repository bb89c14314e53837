#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <optional>

#include "net/TestPatterns.h"
#include "project/Frame.h"

class QTimer;

namespace corv {

class Workspace;

// Plays a commissioning pattern of the workspace's layout (as it is at each frame, edits
// included) at a steady rate, handing each frame to `offer`, until stopped.
class TestPatternPlayer : public QObject {
    Q_OBJECT
public:
    explicit TestPatternPlayer(Workspace& ws, QObject* parent = nullptr);

    // Starts `pattern` from its first frame (a running one is replaced); the first frame is
    // offered at once.
    void Start(net::TestPattern pattern, int fps = net::kTestPatternFps);
    void Stop();
    bool running() const { return pattern_.has_value(); }
    std::optional<net::TestPattern> pattern() const { return pattern_; }

    std::function<void(const Frame&)> offer;

private:
    void Step();

    Workspace& ws_;
    QTimer* timer_;
    std::optional<net::TestPattern> pattern_;
    int fps_ = net::kTestPatternFps;
    std::uint64_t next_ = 0;
};

}  // namespace corv
