#pragma once

#include <QOpenGLBuffer>
#include <QOpenGLExtraFunctions>
#include <QOpenGLShaderProgram>
#include <QOpenGLVertexArrayObject>
#include <QOpenGLWidget>
#include <cstdint>
#include <memory>
#include <vector>

#include "preview/SpherePreview.h"

namespace corv {

class CLedSphereView;

// The OpenGL drawing of the sphere view: vertex buffers of the facets (positions once, the
// colours each frame) and a shader pair. Input goes to the view around it.
class SphereGlWidget : public QOpenGLWidget, protected QOpenGLExtraFunctions {
public:
    explicit SphereGlWidget(CLedSphereView& view);
    ~SphereGlWidget() override;
    bool meshDirty = true;

protected:
    void initializeGL() override;
    void paintGL() override;

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

}  // namespace corv
