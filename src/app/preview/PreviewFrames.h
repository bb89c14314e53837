#pragma once

// The two previews, each a page of the main window with its own "Control" menu: the sphere
// preview (an OpenGL view of a sphere layout lit by the frames, turned with the mouse) and
// the LED preview (every LED of any layout as a dot in its frame colour).

#include <QMainWindow>
#include <QMenu>
#include <functional>
#include <memory>

#include "preview/LedPreview.h"
#include "preview/SpherePreview.h"

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

class SphereGlWidget;

// The sphere view: drawn with OpenGL 3.3 (vertex buffers and shaders) where the display offers
// it, else with QPainter, which looks the same and is slower. The mouse turns the sphere by
// the arcball, the arrow keys nudge it, + and - zoom, Home shows the face.
class CLedSphereView : public QWidget {
    Q_OBJECT
public:
    CLedSphereView(Workspace& ws, QWidget* parent = nullptr);
    ~CLedSphereView() override;

    // Whether an OpenGL 3.3 context can be made here; `why` tells what failed.
    static bool OpenGLAvailable(QString* why = nullptr);

    // The layout changed (or was loaded): the mesh follows it.
    void RebuildMesh();
    const SphereMesh& mesh() const { return mesh_; }
    SphereViewState& state() { return state_; }
    // Redraws (the OpenGL view, or this widget).
    void Redraw();
    // No OpenGL here: the view draws without it and says why.
    bool failed() const { return failed_; }
    QString failure() const { return failure_; }
    bool usesOpenGL() const { return gl_ != nullptr; }
    // Milliseconds the last frame took to draw (finished), for the benchmark.
    double lastDrawMs() const { return lastDrawMs_; }
    // The frame to draw: the current frame when the clip has it, else nullptr.
    const Frame* FrameToDraw() const;
    // Whether the page plays (a drag then waits for the next frame to be drawn).
    std::function<bool()> playing;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    friend class SphereGlWidget;
    Workspace& ws_;
    SphereMesh mesh_;
    SphereViewState state_;
    SphereGlWidget* gl_ = nullptr;
    bool failed_ = false;
    bool dragging_ = false;
    QString failure_;
    double lastDrawMs_ = 0;
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

// The sphere preview's page.
class CSphereFrame : public CPreviewPage {
    Q_OBJECT
public:
    CSphereFrame(Workspace& ws, PreviewHost host, QWidget* parent = nullptr);
    // The view, made when the page is first entered (nullptr before).
    CLedSphereView* view() const { return view_; }
    void ShowFace();
    void Enter();

protected:
    void Redraw() override {
        if (view_) view_->Redraw();
    }

private:
    CLedSphereView* view_ = nullptr;
};

// The LED preview: dots on black, zoomed and panned like the sculpt view.
class CLedPreviewView : public QWidget {
    Q_OBJECT
public:
    CLedPreviewView(Workspace& ws, QWidget* parent = nullptr);
    bool glow = true;
    // The layout changed: the dots are collected again.
    void Refresh();
    const std::vector<LedDot>& dots() const { return dots_; }
    double cell() const { return cell_; }
    void SetCell(double cell);
    QPointF scroll() const { return scroll_; }
    // Fits the grid into the window.
    void Fit();
    // The picture as drawn (for tests and the benchmark).
    QImage Render(QSize size);

protected:
    void paintEvent(QPaintEvent*) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    LedPlacement Placement(QSize size) const;

    Workspace& ws_;
    std::vector<LedDot> dots_;
    FrameShape shape_{};
    double cell_ = 0;  // 0: fit the window
    QPointF scroll_;
    QPointF dragFrom_;
    QImage buffer_;
};

class CLedPreviewFrame : public CPreviewPage {
    Q_OBJECT
public:
    CLedPreviewFrame(Workspace& ws, PreviewHost host, QWidget* parent = nullptr);
    CLedPreviewView* view() const { return view_; }
    void Enter();

protected:
    void Redraw() override { view_->update(); }

private:
    CLedPreviewView* view_;
};

}  // namespace corv
