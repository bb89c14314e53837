#include "app/preview/SphereGlWidget.h"

#include <QElapsedTimer>
#include <QOpenGLContext>
#include <QSurfaceFormat>

#include "app/preview/CLedSphereView.h"
#include "lang/QtText.h"
#include "lang/messages/PreviewMessages.h"
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

}  // namespace

SphereGlWidget::SphereGlWidget(CLedSphereView& view) : QOpenGLWidget(&view), view_(view) {
    QSurfaceFormat format;
    format.setVersion(3, 3);
    format.setProfile(QSurfaceFormat::CoreProfile);
    setFormat(format);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

SphereGlWidget::~SphereGlWidget() {
    if (!context()) return;
    makeCurrent();
    if (textures_[0]) glDeleteTextures(2, textures_);
    vao_.reset();
    positions_.reset();
    program_.reset();
    doneCurrent();
}

void SphereGlWidget::initializeGL() {
    if (!context() || !context()->isValid()) return;
    initializeOpenGLFunctions();
    program_ = std::make_unique<QOpenGLShaderProgram>();
    if (!program_->addShaderFromSourceCode(QOpenGLShader::Vertex, kVertexShader) ||
        !program_->addShaderFromSourceCode(QOpenGLShader::Fragment, kFragmentShader) || !program_->link()) {
        view_.failed_ = true;
        view_.failure_ = RenderQt(msg::preview::kShadersNotBuilt, view_.ws_.app.language) +
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

void SphereGlWidget::paintGL() {
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

}  // namespace corv
