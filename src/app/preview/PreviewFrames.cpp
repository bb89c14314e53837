#include "app/preview/PreviewFrames.h"

#include <QAction>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QOpenGLBuffer>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>
#include <QOpenGLWidget>
#include <QOpenGLShaderProgram>
#include <QOpenGLVertexArrayObject>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>

#include "app/common/WindowText.h"
#include "workspace/FrameViewRules.h"
#include "workspace/Workspace.h"

namespace corv {

namespace {

// The fragment shader finds the facet a point of the surface shows: its ring from its height
// (the rings are equally tall), the ring's first facet and cell count from a table, its cell
// from its angle about the axis (cell borders are meridians), and the facet's colour from a
// texture of one texel per facet, 1024 wide; a new frame uploads one colour per facet. So the
// surface needs far fewer triangles than there are facets (Mesa's software renderer pays per
// triangle), and the fragments are exact wherever they fall.
constexpr int kTableRow = 1024;
const char* kVertexShader = R"(#version 330 core
layout(location = 0) in vec3 position;
uniform mat4 matrix;
out vec3 model;
void main() {
    gl_Position = matrix * vec4(position, 1.0);
    model = position;
})";

const char* kFragmentShader = R"(#version 330 core
in vec3 model;
uniform sampler2D colours;
uniform sampler2D rings;
uniform float rows;
uniform int ringCount;
out vec4 fragment;
void main() {
    const float turn = 6.28318530718;
    int r = clamp(int(floor((model.z + 1.0) * 0.5 * rows)), 0, ringCount - 1);
    vec2 ring = texelFetch(rings, ivec2(r & 1023, r >> 10), 0).rg;
    int width = int(ring.y);
    if (width < 2) discard;
    float a = atan(model.y, model.x);
    if (a < 0.0) a += turn;
    int k = clamp(width - 1 - int(floor(a * float(width) / turn)), 0, width - 1);
    int id = int(ring.x) + k;
    fragment = vec4(texelFetch(colours, ivec2(id & 1023, id >> 10), 0).rgb, 1.0);
})";

// The Control menu's entries shared by both previews.
QAction* AddEntry(QMenu* menu, const QString& text, const QKeySequence& key, QObject* receiver, const std::function<void()>& run) {
    QAction* a = menu->addAction(text);
    a->setShortcut(key);
    QObject::connect(a, &QAction::triggered, receiver, run);
    return a;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Sphere view

// The OpenGL drawing of the sphere view: vertex buffers of the facets (positions once, the
// colours each frame) and a shader pair. Input goes to the view around it.
class SphereGlWidget : public QOpenGLWidget, protected QOpenGLExtraFunctions {
public:
    explicit SphereGlWidget(CLedSphereView& view) : QOpenGLWidget(&view), view_(view) {
        QSurfaceFormat format;
        format.setVersion(3, 3);
        format.setProfile(QSurfaceFormat::CoreProfile);
        setFormat(format);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
    }
    ~SphereGlWidget() override {
        if (!context()) return;
        makeCurrent();
        if (textures_[0]) glDeleteTextures(2, textures_);
        vao_.reset();
        positions_.reset();
        program_.reset();
        doneCurrent();
    }
    bool meshDirty = true;

protected:
    void initializeGL() override {
        if (!context() || !context()->isValid()) return;
        initializeOpenGLFunctions();
        program_ = std::make_unique<QOpenGLShaderProgram>();
        if (!program_->addShaderFromSourceCode(QOpenGLShader::Vertex, kVertexShader) ||
            !program_->addShaderFromSourceCode(QOpenGLShader::Fragment, kFragmentShader) || !program_->link()) {
            view_.failed_ = true;
            view_.failure_ = SculptText("球体预览的着色器在此无法建立: ", "The sphere preview's shaders do not build here: ", view_.ws_.app.language) +
                             program_->log();
            program_.reset();
            return;
        }
        vao_ = std::make_unique<QOpenGLVertexArrayObject>();
        vao_->create();
        positions_ = std::make_unique<QOpenGLBuffer>(QOpenGLBuffer::VertexBuffer);
        positions_->create();
        glGenTextures(2, textures_);
        for (GLuint t : textures_) {
            glBindTexture(GL_TEXTURE_2D, t);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        }
        // The surface is convex: the facets turned away are never seen (half the drawing), and
        // no two facing the eye cover each other, so no depth buffer is needed.
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CCW);
        glCullFace(GL_BACK);
        meshDirty = true;
    }

    void paintGL() override {
        if (!program_ || painting_) return;
        painting_ = true;
        QElapsedTimer clock;
        clock.start();
        const qreal ratio = devicePixelRatioF();
        const int w = static_cast<int>(width() * ratio), h = static_cast<int>(height() * ratio);
        glViewport(0, 0, w, h);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        const Frame* frame = view_.FrameToDraw();
        if (frame && !view_.mesh_.empty()) {
            const SphereMesh& mesh = view_.mesh_;
            if (meshDirty || !sampler_.Fits(frame->width(), frame->height())) sampler_ = SphereColourSampler(mesh, frame->width(), frame->height());
            sampler_.Fill(*frame, colours_, kTableRow);
            const int rows = static_cast<int>(colours_.size() / kTableRow);
            glActiveTexture(GL_TEXTURE0);
            glBindTexture(GL_TEXTURE_2D, textures_[0]);
            if (meshDirty || rows != colourRows_) {
                glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kTableRow, rows, 0, GL_RGBA, GL_UNSIGNED_BYTE, colours_.data());
                colourRows_ = rows;
            } else {
                glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, kTableRow, rows, GL_RGBA, GL_UNSIGNED_BYTE, colours_.data());
            }
            glActiveTexture(GL_TEXTURE1);
            glBindTexture(GL_TEXTURE_2D, textures_[1]);
            if (meshDirty) {
                const std::vector<float> shell = SphereShell(mesh);
                vao_->bind();
                positions_->bind();
                positions_->allocate(shell.data(), static_cast<int>(shell.size() * sizeof(float)));
                program_->enableAttributeArray(0);
                program_->setAttributeBuffer(0, GL_FLOAT, 0, 3, 3 * sizeof(float));
                vao_->release();
                count_ = static_cast<int>(shell.size() / 3);
                const std::vector<float> table = SphereRingTable(mesh, kTableRow);
                glTexImage2D(GL_TEXTURE_2D, 0, GL_RG32F, kTableRow, static_cast<int>(table.size() / 2 / kTableRow), 0, GL_RG, GL_FLOAT, table.data());
                meshDirty = false;
            }
            const Viewport vp = SphereViewport(w, h, view_.state_.scale);
            glViewport(vp.x, vp.y, vp.w, vp.h);
            program_->bind();
            const Mat4 m = SphereMatrix(view_.state_.transform, w, h);
            glUniformMatrix4fv(program_->uniformLocation("matrix"), 1, GL_FALSE, m.data());
            program_->setUniformValue("colours", 0);
            program_->setUniformValue("rings", 1);
            program_->setUniformValue("rows", static_cast<float>(mesh.rows));
            program_->setUniformValue("ringCount", static_cast<int>(mesh.rings.size()));
            vao_->bind();
            glDrawArrays(GL_TRIANGLES, 0, count_);
            vao_->release();
            program_->release();
            glActiveTexture(GL_TEXTURE0);
        }
        glFinish();
        view_.lastDrawMs_ = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        painting_ = false;
    }

private:
    CLedSphereView& view_;
    std::vector<std::uint32_t> colours_;
    SphereColourSampler sampler_;
    GLuint textures_[2] = {0, 0};
    int colourRows_ = 0;
    std::unique_ptr<QOpenGLShaderProgram> program_;
    std::unique_ptr<QOpenGLBuffer> positions_;
    std::unique_ptr<QOpenGLVertexArrayObject> vao_;
    bool painting_ = false;
    int count_ = 0;
};

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
        failure_ = SculptText("OpenGL 3.3 不可用 (", "OpenGL 3.3 is not available (", ws_.app.language) + why +
                   SculptText("), 球体不使用它绘制。", "); the sphere is drawn without it.", ws_.app.language);
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

CPreviewPage::CPreviewPage(Workspace& ws, PreviewHost host, QWidget* parent) : QMainWindow(parent), ws_(ws), host_(std::move(host)) {
    setWindowFlags(Qt::Widget);
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, [this] {
        const auto& frames = ws_.frames.CurrentFrames();
        if (frames.empty()) return Stop();
        ws_.app.currentFrame = (ws_.app.currentFrame + 1) % static_cast<int>(frames.size());
        if (host_.frameShown) host_.frameShown(ws_.app.currentFrame + 1);
        Redraw();
    });
}

void CPreviewPage::BuildControlMenu(const std::function<void(QMenu*)>& extra) {
    const std::uint8_t lang = ws_.app.language;
    QMenu* control = menuBar()->addMenu(SculptText("控制(&C)", "&Control", lang));
    AddEntry(control, SculptText("播放(&P)", "&Play", lang), QKeySequence(Qt::Key_P), this, [this] { Play(); });
    AddEntry(control, SculptText("停止(&S)", "&Stop", lang), QKeySequence(Qt::Key_Space), this, [this] { Stop(); });
    extra(control);
    control->addSeparator();
    AddEntry(control, SculptText("返回主窗口", "Return main window", lang), QKeySequence(Qt::Key_Escape), this, [this] {
        Stop();
        emit returned();
    });
}

bool CPreviewPage::Play() {
    if (timer_->isActive() || !ws_.frames.HasCurrent() || !CanPlay(ws_.frames.CurrentFrames().size())) return false;
    timer_->start(playInterval());
    return true;
}

void CPreviewPage::Stop() { timer_->stop(); }
bool CPreviewPage::playing() const { return timer_->isActive(); }
int CPreviewPage::playInterval() const { return PlayInterval(host_.playRate ? host_.playRate() : 30); }

CSphereFrame::CSphereFrame(Workspace& ws, PreviewHost host, QWidget* parent) : CPreviewPage(ws, std::move(host), parent) {
    setObjectName(QStringLiteral("sphereFrame"));
    BuildControlMenu([this](QMenu* control) {
        AddEntry(control, SculptText("显示正面", "Show face", ws_.app.language), QKeySequence(), this, [this] { ShowFace(); });
    });
}

void CSphereFrame::Enter() {
    if (!view_) {
        // Made on first use: finding out whether OpenGL works costs a context, which a start
        // of the program should not pay.
        view_ = new CLedSphereView(ws_, this);
        view_->playing = [this] { return CPreviewPage::playing(); };
        setCentralWidget(view_);
    }
    view_->RebuildMesh();
    view_->setFocus();
}

void CSphereFrame::ShowFace() {
    if (!view_) return;
    view_->state().ShowFace();
    view_->Redraw();
}

// ---------------------------------------------------------------------------------------------
// LED preview

CLedPreviewView::CLedPreviewView(Workspace& ws, QWidget* parent) : QWidget(parent), ws_(ws) {
    setObjectName(QStringLiteral("ledPreview"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CLedPreviewView::Refresh() {
    shape_ = {};
    dots_.clear();
    update();
}

void CLedPreviewView::SetCell(double cell) {
    cell_ = std::clamp(cell, 0.1, 100.0);
    update();
}

void CLedPreviewView::Fit() {
    cell_ = 0;
    scroll_ = {};
    update();
}

LedPlacement CLedPreviewView::Placement(QSize size) const {
    LedPlacement p = FitGrid(ws_.layout.grid, size);
    if (cell_ > 0) {
        p.cell = cell_;
        p.origin = QPointF((size.width() - cell_ * ws_.layout.grid.cols) / 2, (size.height() - cell_ * ws_.layout.grid.rows) / 2);
    }
    p.origin -= scroll_;
    return p;
}

QImage CLedPreviewView::Render(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    const Frame* frame = ws_.frames.CurrentFrame();
    if (!frame) return image;
    // The dots follow the frame's shape (the layout's cells scaled to it, as the output does).
    const FrameShape shape{frame->height(), frame->width()};
    if (shape.rows != shape_.rows || shape.cols != shape_.cols || dots_.empty()) {
        dots_ = CollectLeds(ws_.layout, shape);
        shape_ = shape;
    }
    DrawLeds(image, dots_, *frame, Placement(size), glow);
    return image;
}

void CLedPreviewView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, Render(size()));
    if (dots_.empty()) {
        p.setPen(Qt::white);
        p.drawText(rect(), Qt::AlignCenter,
                   SculptText("当前线路没有灯。", "The current layout has no LEDs on its lines.", ws_.app.language));
    }
}

void CLedPreviewView::wheelEvent(QWheelEvent* e) {
    const double current = Placement(size()).cell;
    SetCell(e->angleDelta().y() > 0 ? current * 1.25 : current * 0.8);
    e->accept();
}

void CLedPreviewView::keyPressEvent(QKeyEvent* e) {
    const double stepX = width() / 3.0, stepY = height() / 3.0;
    switch (e->key()) {
        case Qt::Key_Left: scroll_.rx() -= stepX; break;
        case Qt::Key_Right: scroll_.rx() += stepX; break;
        case Qt::Key_Up: scroll_.ry() -= stepY; break;
        case Qt::Key_Down: scroll_.ry() += stepY; break;
        case Qt::Key_Plus:
        case Qt::Key_Equal: SetCell(Placement(size()).cell * 1.25); return;
        case Qt::Key_Minus: SetCell(Placement(size()).cell * 0.8); return;
        case Qt::Key_Home: Fit(); return;
        default: return QWidget::keyPressEvent(e);
    }
    update();
}

void CLedPreviewView::mousePressEvent(QMouseEvent* e) {
    setFocus();
    dragFrom_ = e->position();
}

void CLedPreviewView::mouseMoveEvent(QMouseEvent* e) {
    if (!(e->buttons() & (Qt::LeftButton | Qt::MiddleButton))) return;
    scroll_ -= e->position() - dragFrom_;
    dragFrom_ = e->position();
    update();
}

CLedPreviewFrame::CLedPreviewFrame(Workspace& ws, PreviewHost host, QWidget* parent) : CPreviewPage(ws, std::move(host), parent) {
    setObjectName(QStringLiteral("ledPreviewFrame"));
    view_ = new CLedPreviewView(ws_, this);
    setCentralWidget(view_);
    BuildControlMenu([this](QMenu* control) {
        const std::uint8_t lang = ws_.app.language;
        QAction* glow = AddEntry(control, SculptText("光晕", "Glow", lang), QKeySequence(Qt::Key_G), this, [] {});
        glow->setCheckable(true);
        glow->setChecked(view_->glow);
        connect(glow, &QAction::toggled, this, [this](bool on) {
            view_->glow = on;
            view_->update();
        });
        AddEntry(control, SculptText("适合窗口", "Fit window", lang), QKeySequence(Qt::Key_Home), this, [this] { view_->Fit(); });
    });
}

void CLedPreviewFrame::Enter() {
    view_->Refresh();
    view_->setFocus();
}

}  // namespace corv
