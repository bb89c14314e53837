#pragma once

// The two previews, each a page of the main window with its own "Control" menu: the sphere
// preview (an OpenGL view of a sphere layout lit by the frames, turned with the mouse) and
// the LED preview (every LED of any layout as a dot in its frame colour).

#include <QMainWindow>
#include <QMenu>
#include <functional>

class QTimer;

namespace corv {

class Workspace;

// What both previews share with the main window: the frames they show and the play speed.
struct PreviewHost {
    // The frame-rate field's value (frames a second).
    std::function<int()> playRate;
    // A played frame became current (1-based number for the frame-number field).
    std::function<void(int)> frameShown;
};

// A preview's page: its view, the "Control" menu with Play, Stop and Return, and the play
// timer that steps through the current clip.
class CPreviewPage : public QMainWindow {
    Q_OBJECT
public:
    CPreviewPage(Workspace& ws, PreviewHost host, QWidget* parent);
    // Play: the clip's frames at the frame-rate field's rate (10..80 a second); a clip of one
    // frame does not play.
    bool Play();
    void Stop();
    bool playing() const;
    int playInterval() const;

signals:
    void returned();

protected:
    // The Control menu: Play and Stop, then `extra` entries, then Return main window.
    void BuildControlMenu(const std::function<void(QMenu*)>& extra);
    // The view shows the current frame again.
    virtual void Redraw() = 0;
    Workspace& ws_;

private:
    PreviewHost host_;
    QTimer* timer_;
};

}  // namespace corv
