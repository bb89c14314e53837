#include "app/preview/CLedSphereView.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QPainter>
#include <QSurfaceFormat>
#include <QVBoxLayout>

#include "app/preview/SphereGlWidget.h"
#include "lang/QtText.h"
#include "lang/messages/PreviewMessages.h"
#include "workspace/Workspace.h"

namespace corv {

bool CLedSphereView::OpenGLAvailable(QString* why) {
    auto fail = [why](const QString& text) {
        if (why) *why = text;
        return false;
    };
    QSurfaceFormat format;
    format.setVersion(3, 3);
    format.setProfile(QSurfaceFormat::CoreProfile);
    QOpenGLContext context;
    context.setFormat(format);
    if (!context.create()) return fail(QStringLiteral("no OpenGL context can be made on this display"));
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    if (!surface.isValid() || !context.makeCurrent(&surface)) return fail(QStringLiteral("the OpenGL context cannot be used"));
    const QSurfaceFormat got = context.format();
    context.doneCurrent();
    if (got.majorVersion() < 3 || (got.majorVersion() == 3 && got.minorVersion() < 3)) {
        return fail(QStringLiteral("the display offers OpenGL %1.%2 only").arg(got.majorVersion()).arg(got.minorVersion()));
    }
    return true;
}

CLedSphereView::CLedSphereView(Workspace& ws, QWidget* parent) : QWidget(parent), ws_(ws) {
    setObjectName(QStringLiteral("sphereView"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    QString why;
    if (OpenGLAvailable(&why)) {
        gl_ = new SphereGlWidget(*this);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(gl_);
    } else {
        // A widget with OpenGL on a display without it brings the whole window down: draw
        // without it instead, and say so.
        failed_ = true;
        failure_ = RenderQt(msg::preview::kNoOpenGlBefore, ws_.app.language) + why +
                   RenderQt(msg::preview::kNoOpenGlAfter, ws_.app.language);
    }
    RebuildMesh();
}

CLedSphereView::~CLedSphereView() = default;

void CLedSphereView::RebuildMesh() {
    mesh_ = BuildSphereMesh(ws_.layout.grid);
    if (gl_) gl_->meshDirty = true;
    Redraw();
}

void CLedSphereView::Redraw() {
    if (gl_) gl_->update();
    else update();
}

const Frame* CLedSphereView::FrameToDraw() const {
    if (!ws_.frames.HasCurrent()) return nullptr;
    const auto& frames = ws_.frames.CurrentFrames();
    if (ws_.app.currentFrame < 0 || static_cast<std::size_t>(ws_.app.currentFrame) >= frames.size()) return nullptr;
    return &frames[static_cast<std::size_t>(ws_.app.currentFrame)];
}

void CLedSphereView::paintEvent(QPaintEvent*) {
    if (gl_) return;
    QElapsedTimer clock;
    clock.start();
    QPainter p(this);
    const Frame* frame = FrameToDraw();
    static const Frame kNone;
    p.drawImage(0, 0, RenderSphereImage(mesh_, frame ? *frame : kNone, state_.transform, size(), state_.scale));
    p.setPen(Qt::gray);
    p.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignLeft | Qt::AlignBottom | Qt::TextWordWrap, failure_);
    lastDrawMs_ = static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

void CLedSphereView::mousePressEvent(QMouseEvent* e) {
    setFocus();
    if (e->button() != Qt::LeftButton) return;
    state_.arcball.SetBounds(800, 800);
    state_.Press(static_cast<float>(e->position().x()), static_cast<float>(e->position().y()));
    dragging_ = true;
}

void CLedSphereView::mouseMoveEvent(QMouseEvent* e) {
    if (!dragging_) return;
    state_.DragTo(static_cast<float>(e->position().x()), static_cast<float>(e->position().y()));
    if (!playing || !playing()) Redraw();
}

void CLedSphereView::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) dragging_ = false;
}

void CLedSphereView::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
        case Qt::Key_Left: state_.Nudge(-1, 0); break;
        case Qt::Key_Right: state_.Nudge(1, 0); break;
        case Qt::Key_Up: state_.Nudge(0, -1); break;
        case Qt::Key_Down: state_.Nudge(0, 1); break;
        case Qt::Key_Plus:
        case Qt::Key_Equal: state_.ZoomIn(); break;
        case Qt::Key_Minus: state_.ZoomOut(); break;
        case Qt::Key_Home: state_.ShowFace(); break;
        default: return QWidget::keyPressEvent(e);
    }
    Redraw();
}

}  // namespace corv
