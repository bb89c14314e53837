#pragma once

// The sphere preview's geometry and state: the mesh of latitude rings built from a sphere
// grid, the colour each facet samples from a frame, the arcball that turns the sphere, and
// a drawing of it with QPainter for pictures made without a screen.

#include <QImage>
#include <array>
#include <cstdint>
#include <vector>

#include "layout/Layout.h"
#include "project/Frame.h"

namespace corv {

struct Vec3 {
    double x = 0, y = 0, z = 0;
};

// One grid row as a ring: for cell k its left border on the lower and upper latitude, its
// centre, and the frame column it samples.
struct SphereRing {
    std::vector<std::array<Vec3, 2>> edges;
    std::vector<Vec3> centres;
    std::vector<float> textureColumns;
    std::int16_t count = 0;
    std::uint32_t firstIndex = 0;
    double lower = -1, upper = -1;  // the ring's latitude borders (z of its edges)
};

struct SphereMesh {
    int rows = 0, cols = 0;
    std::vector<SphereRing> rings;  // one per grid row
    bool empty() const { return rings.empty(); }
};

// The mesh of a sphere grid (empty for a plain grid).
SphereMesh BuildSphereMesh(const LayoutGrid& grid);

// The colour a facet shows: frame row `pictureRow` (0 = the bottom row as stored) sampled at
// column u: pixel trunc(u) below .475, the mean of it and the next from .475 to .525, the
// next above.
Bgr SampleColumn(const Frame& frame, int pictureRow, float u);

// Column-major 4 x 4 and 3 x 3 matrices (element = column x size + row), as the view keeps them.
using Mat4 = std::array<float, 16>;
using Mat3 = std::array<float, 9>;
struct Quat {
    float x = 0, y = 0, z = 0, w = 0;
};

Mat4 InitialTransform();  // a quarter turn about the x axis
Mat3 InitialRotation();
Mat3 RotationFromQuat(const Quat& q);
Mat3 Multiply(const Mat3& a, const Mat3& b);
// The transform with its rotation part replaced by `r`, keeping its scale.
Mat4 WithRotation(const Mat4& transform, const Mat3& r);

class Arcball {
public:
    explicit Arcball(float width = 800, float height = 800) { SetBounds(width, height); }
    void SetBounds(float width, float height);
    Vec3 MapToSphere(float px, float py) const;
    void Click(float px, float py) { start_ = MapToSphere(px, py); }
    // The rotation from the click to this point; zero for a drag too small to have an axis.
    Quat Drag(float px, float py) const;

private:
    float fx_ = 1, fy_ = 1;
    Vec3 start_;
};

// The view's turning state: transform, this and last rotation, the arcball, the scale.
struct SphereViewState {
    Mat4 transform = InitialTransform();
    Mat3 thisRotation = InitialRotation();
    Mat3 lastRotation = InitialRotation();
    Arcball arcball;
    float scale = 1.0f;

    void ShowFace();
    void Press(float px, float py);
    void DragTo(float px, float py);
    // Arrow keys: a drag from the arcball's centre (400, 400) by 10 pixels.
    void Nudge(int dx, int dy);
    void ZoomIn() { scale *= 1.2f; }
    void ZoomOut() { scale *= 0.8333333f; }
};

// The triangles of the sphere: six vertices (x, y, z) per facet, rings of one cell left out.
std::vector<float> SpherePositions(const SphereMesh& mesh);
// The surface the OpenGL view draws, as triangles of (x, y, z), facing outwards (counter-
// clockwise seen from outside). The fragments find their facet from where they lie
// (SphereFacetAt), so the surface need not follow every facet: a sphere of up to
// kShellExactRings rings is drawn ring by ring, a ring of up to kShellPieces cells cut at its
// own cell borders (its facets exactly) and a wider one into that many equal pieces; a sphere
// of more rings as kShellBands bands of equal latitude angle in kShellPieces pieces, less
// than a third of a pixel from the facets at 1024 x 768. Rings of one cell are left out of
// the ring-by-ring surface (their fragments find no facet either).
constexpr int kShellExactRings = 32;
constexpr int kShellPieces = 64;
constexpr int kShellBands = 32;
std::vector<float> SphereShell(const SphereMesh& mesh);
// The cell of a ring of `width` cells that a point at `angle` (radians about the z axis, any
// turn) lies on: cell k spans the angles (width - k - 1) and (width - k) times 2 pi / width.
int FacetAtAngle(double angle, int width);
// The ring a point at height z lies on (the rings are equally tall), clamped to the mesh.
int RingAtHeight(const SphereMesh& mesh, double z);
// Per ring (first, width): the index of its first facet in SphereFacetColours order and its
// cell count, width 0 for rings of one cell (not drawn); padded with zeros to `multiple`
// pairs. The fragment shader's table.
std::vector<float> SphereRingTable(const SphereMesh& mesh, std::size_t multiple = 1);
// The facet (index in SphereFacetColours order) a point of the surface shows, -1 for none:
// what the fragment shader computes from the ring table.
int SphereFacetAt(const SphereMesh& mesh, const Vec3& point);

// The facets' colours for one frame, in the order of SpherePositions, as RGBA bytes packed
// little-endian (red in the low byte, alpha 255), padded with black to `multiple` entries.
void SphereFacetColours(const SphereMesh& mesh, const Frame& frame, std::vector<std::uint32_t>& rgba, std::size_t multiple = 1);

// The same for many frames of one size: the sample points of every facet worked out once
// (byte offsets of the two pixels whose mean it shows, the same pixel twice where it shows
// one), so that a frame costs a load per facet.
class SphereColourSampler {
public:
    SphereColourSampler() = default;
    SphereColourSampler(const SphereMesh& mesh, int frameWidth, int frameHeight);
    bool Fits(int frameWidth, int frameHeight) const { return built_ && frameWidth == width_ && frameHeight == height_; }
    void Fill(const Frame& frame, std::vector<std::uint32_t>& rgba, std::size_t multiple = 1) const;

private:
    struct Sample {
        std::uint32_t a, b;
    };
    std::vector<Sample> samples_;
    int width_ = 0, height_ = 0;
    bool built_ = false;
};

// The projection of the view: frustum (-1.1, 1.1, -1.1 h/w, 1.1 h/w, 5, 9) and the model-view
// translate (0, 0, -9) x transform, as one column-major matrix.
Mat4 SphereMatrix(const Mat4& transform, int width, int height);
// The viewport: the middle `scale` of the window.
struct Viewport {
    int x = 0, y = 0, w = 0, h = 0;
};
Viewport SphereViewport(int width, int height, float scale);

// The sphere drawn with QPainter (front facets only; the sphere is convex, so that is
// exact), black around it.
QImage RenderSphereImage(const SphereMesh& mesh, const Frame& frame, const Mat4& transform, QSize size, float scale);

}  // namespace corv
