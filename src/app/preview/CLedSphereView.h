#pragma once

#include <QString>
#include <QWidget>
#include <functional>

#include "preview/SpherePreview.h"

namespace corv {

class Workspace;
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

}  // namespace corv
