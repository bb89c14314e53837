#include "preview/SpherePreview.h"

#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace corv {

namespace {

double Radius(double z) { return std::sqrt(std::max(0.0, 1 - z * z)); }

// The two columns of a row `width` wide whose mean a facet at column u shows (the same column
// twice where it shows one): column trunc(u) below .475, the next above .525, both between.
std::pair<int, int> SampleColumns(int width, float u) {
    const int i = std::clamp(static_cast<int>(std::trunc(u)), 0, width - 1);
    const float f = u - std::trunc(u);
    const int next = std::min(i + 1, width - 1);
    return {f > 0.525f ? next : i, f < 0.475f ? i : next};
}

Vec3 Cross(const Vec3& a, const Vec3& b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// The column-major product a x b of 4 x 4 matrices.
Mat4 Mul4(const Mat4& a, const Mat4& b) {
    Mat4 r{};
    for (int c = 0; c < 4; ++c) {
        for (int row = 0; row < 4; ++row) {
            float v = 0;
            for (int k = 0; k < 4; ++k) v += a[k * 4 + row] * b[c * 4 + k];
            r[c * 4 + row] = v;
        }
    }
    return r;
}

}  // namespace

SphereMesh BuildSphereMesh(const LayoutGrid& grid) {
    SphereMesh mesh;
    if (!grid.IsSphere() || grid.rows < 1 || grid.cols < 1) return mesh;
    mesh.rows = grid.rows;
    mesh.cols = grid.cols;
    const double step = 2.0 / grid.rows;
    double yPrev = -1, y = -1;
    std::uint32_t first = 0;
    for (int i = 0; i < grid.rows; ++i) {
        yPrev = y;
        y += step;
        if (y > 1.0) y = 1.0;
        const double mid = y - step / 2;
        SphereRing ring;
        ring.lower = yPrev;
        ring.upper = y;
        const int w = i < static_cast<int>(grid.rowWidths.size()) ? grid.rowWidths[static_cast<std::size_t>(i)] : 0;
        ring.firstIndex = first;
        if (w >= 1) {
            ring.count = static_cast<std::int16_t>(w);
            ring.edges.resize(static_cast<std::size_t>(w));
            ring.centres.resize(static_cast<std::size_t>(w));
            ring.textureColumns.resize(static_cast<std::size_t>(w));
            for (int k = 0; k < w; ++k) {
                const double a = (w - k) * 2 * std::numbers::pi / w;
                ring.edges[static_cast<std::size_t>(k)] = {Vec3{std::cos(a) * Radius(yPrev), std::sin(a) * Radius(yPrev), yPrev},
                                                            Vec3{std::cos(a) * Radius(y), std::sin(a) * Radius(y), y}};
                const double c = (w - k - 0.5) * 2 * std::numbers::pi / w;
                ring.centres[static_cast<std::size_t>(k)] = Vec3{std::cos(c) * Radius(mid), std::sin(c) * Radius(mid), mid};
                ring.textureColumns[static_cast<std::size_t>(k)] = static_cast<float>(k) * static_cast<float>(grid.cols) / static_cast<float>(w);
            }
            first += static_cast<std::uint32_t>(w);
        }
        mesh.rings.push_back(std::move(ring));
        if (y >= 1.0) break;
    }
    return mesh;
}

Bgr SampleColumn(const Frame& frame, int pictureRow, float u) {
    if (frame.width() <= 0 || frame.height() <= 0) return {};
    const int row = std::clamp(pictureRow, 0, frame.height() - 1);
    const auto [first, second] = SampleColumns(frame.width(), u);
    // Frame::Pixel counts rows from the top; stored row `pictureRow` is the visual row below.
    const int visual = frame.height() - 1 - row;
    const Bgr a = frame.Pixel(first, visual), b = frame.Pixel(second, visual);
    return Bgr{static_cast<std::uint8_t>((a.b + b.b) / 2), static_cast<std::uint8_t>((a.g + b.g) / 2),
               static_cast<std::uint8_t>((a.r + b.r) / 2)};
}

Mat4 InitialTransform() {
    Mat4 m{};
    m[0] = 1;
    m[9] = 1;
    m[15] = 1;
    m[6] = -1;
    return m;
}

Mat3 InitialRotation() {
    Mat3 m{};
    m[0] = 1;
    m[7] = 1;
    m[5] = -1;
    return m;
}

Mat3 RotationFromQuat(const Quat& q) {
    const float n = q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w;
    const float s = n > 0 ? 2.0f / n : 0.0f;
    const float xs = q.x * s, ys = q.y * s, zs = q.z * s;
    const float wx = q.w * xs, wy = q.w * ys, wz = q.w * zs;
    const float xx = q.x * xs, xy = q.x * ys, xz = q.x * zs;
    const float yy = q.y * ys, yz = q.y * zs, zz = q.z * zs;
    Mat3 m{};
    // Column-major: element (row r, column c) at c * 3 + r.
    m[0] = 1 - (yy + zz);
    m[3] = xy - wz;
    m[6] = xz + wy;
    m[1] = xy + wz;
    m[4] = 1 - (xx + zz);
    m[7] = yz - wx;
    m[2] = xz - wy;
    m[5] = yz + wx;
    m[8] = 1 - (xx + yy);
    return m;
}

Mat3 Multiply(const Mat3& a, const Mat3& b) {
    Mat3 r{};
    for (int c = 0; c < 3; ++c) {
        for (int row = 0; row < 3; ++row) {
            float v = 0;
            for (int k = 0; k < 3; ++k) v += a[k * 3 + row] * b[c * 3 + k];
            r[c * 3 + row] = v;
        }
    }
    return r;
}

Mat4 WithRotation(const Mat4& transform, const Mat3& r) {
    // The transform's scale: the root mean square of its 3 x 3 part's columns.
    float sum = 0;
    for (int c = 0; c < 3; ++c) {
        for (int row = 0; row < 3; ++row) sum += transform[c * 4 + row] * transform[c * 4 + row];
    }
    const float scale = std::sqrt(sum / 3);
    Mat4 out = transform;
    for (int c = 0; c < 3; ++c) {
        for (int row = 0; row < 3; ++row) out[c * 4 + row] = r[c * 3 + row] * scale;
    }
    return out;
}

void Arcball::SetBounds(float width, float height) {
    fx_ = 1.0f / ((std::max(width, 2.0f) - 1.0f) * 0.5f);
    fy_ = 1.0f / ((std::max(height, 2.0f) - 1.0f) * 0.5f);
}

Vec3 Arcball::MapToSphere(float px, float py) const {
    const double x = px * fx_ - 1.0, y = 1.0 - py * fy_;
    const double length = x * x + y * y;
    if (length > 1.0) {
        const double norm = 1.0 / std::sqrt(length);
        return {x * norm, y * norm, 0};
    }
    return {x, y, std::sqrt(1.0 - length)};
}

Quat Arcball::Drag(float px, float py) const {
    const Vec3 end = MapToSphere(px, py);
    const Vec3 perp = Cross(start_, end);
    if (std::sqrt(Dot(perp, perp)) <= 1e-5) return {};
    return {static_cast<float>(perp.x), static_cast<float>(perp.y), static_cast<float>(perp.z), static_cast<float>(Dot(start_, end))};
}

void SphereViewState::ShowFace() {
    transform = InitialTransform();
    thisRotation = InitialRotation();
    lastRotation = InitialRotation();
}

void SphereViewState::Press(float px, float py) {
    lastRotation = thisRotation;
    arcball.Click(px, py);
}

void SphereViewState::DragTo(float px, float py) {
    thisRotation = Multiply(RotationFromQuat(arcball.Drag(px, py)), lastRotation);
    transform = WithRotation(transform, thisRotation);
}

void SphereViewState::Nudge(int dx, int dy) {
    Press(400, 400);
    DragTo(400.0f + static_cast<float>(dx) * 10, 400.0f + static_cast<float>(dy) * 10);
}

namespace {

// The facets as quads of four corners, with their colours; `visit(ring, k, corners)`.
template <typename Visit>
void ForEachFacet(const SphereMesh& mesh, Visit&& visit) {
    for (std::size_t r = 0; r < mesh.rings.size(); ++r) {
        const SphereRing& ring = mesh.rings[r];
        const int w = ring.count;
        if (w < 2) continue;  // a ring needs two cells
        for (int k = 0; k < w; ++k) {
            const auto& a = ring.edges[static_cast<std::size_t>(k)];
            const auto& b = ring.edges[static_cast<std::size_t>((k + 1) % w)];
            const std::array<Vec3, 4> corners = {a[0], a[1], b[1], b[0]};
            visit(static_cast<int>(r), k, corners);
        }
    }
}

}  // namespace

std::vector<float> SpherePositions(const SphereMesh& mesh) {
    std::vector<float> positions;
    ForEachFacet(mesh, [&](int, int, const std::array<Vec3, 4>& c) {
        for (int i : {0, 1, 2, 0, 2, 3}) {
            positions.push_back(static_cast<float>(c[static_cast<std::size_t>(i)].x));
            positions.push_back(static_cast<float>(c[static_cast<std::size_t>(i)].y));
            positions.push_back(static_cast<float>(c[static_cast<std::size_t>(i)].z));
        }
    });
    return positions;
}

std::vector<float> SphereShell(const SphereMesh& mesh) {
    std::vector<float> out;
    auto quad = [&out](const Vec3& lower0, const Vec3& upper0, const Vec3& upper1, const Vec3& lower1) {
        const Vec3* q[4] = {&lower0, &upper0, &upper1, &lower1};
        for (int i : {0, 1, 2, 0, 2, 3}) {
            out.insert(out.end(), {static_cast<float>(q[i]->x), static_cast<float>(q[i]->y), static_cast<float>(q[i]->z)});
        }
    };
    // The point at angle index j of `pieces` (the angle falling as the cells' does) at height z.
    auto at = [](int j, int pieces, double z) {
        const double a = (pieces - j) * 2 * std::numbers::pi / pieces;
        return Vec3{std::cos(a) * Radius(z), std::sin(a) * Radius(z), z};
    };
    if (mesh.rings.size() <= static_cast<std::size_t>(kShellExactRings)) {
        for (const SphereRing& ring : mesh.rings) {
            const int w = ring.count;
            if (w < 2) continue;
            if (w <= kShellPieces) {
                for (int j = 0; j < w; ++j) {
                    const auto& e0 = ring.edges[static_cast<std::size_t>(j)];
                    const auto& e1 = ring.edges[static_cast<std::size_t>((j + 1) % w)];
                    quad(e0[0], e0[1], e1[1], e1[0]);
                }
            } else {
                for (int j = 0; j < kShellPieces; ++j) {
                    quad(at(j, kShellPieces, ring.lower), at(j, kShellPieces, ring.upper), at(j + 1, kShellPieces, ring.upper),
                         at(j + 1, kShellPieces, ring.lower));
                }
            }
        }
        return out;
    }
    for (int band = 0; band < kShellBands; ++band) {
        const double lower = std::sin(-std::numbers::pi / 2 + band * std::numbers::pi / kShellBands);
        const double upper = band + 1 == kShellBands ? 1.0 : std::sin(-std::numbers::pi / 2 + (band + 1) * std::numbers::pi / kShellBands);
        for (int j = 0; j < kShellPieces; ++j) {
            quad(at(j, kShellPieces, band == 0 ? -1.0 : lower), at(j, kShellPieces, upper), at(j + 1, kShellPieces, upper),
                 at(j + 1, kShellPieces, band == 0 ? -1.0 : lower));
        }
    }
    return out;
}

int RingAtHeight(const SphereMesh& mesh, double z) {
    if (mesh.rings.empty()) return -1;
    const int r = static_cast<int>(std::floor((z + 1) * 0.5 * mesh.rows));
    return std::clamp(r, 0, static_cast<int>(mesh.rings.size()) - 1);
}

std::vector<float> SphereRingTable(const SphereMesh& mesh, std::size_t multiple) {
    std::vector<float> table;
    float first = 0;
    for (const SphereRing& ring : mesh.rings) {
        const bool drawn = ring.count >= 2;
        table.push_back(drawn ? first : 0.0f);
        table.push_back(drawn ? static_cast<float>(ring.count) : 0.0f);
        if (drawn) first += static_cast<float>(ring.count);
    }
    if (multiple > 1) table.resize((table.size() / 2 + multiple - 1) / multiple * multiple * 2, 0.0f);
    return table;
}

int SphereFacetAt(const SphereMesh& mesh, const Vec3& point) {
    const int r = RingAtHeight(mesh, point.z);
    if (r < 0) return -1;
    const SphereRing& ring = mesh.rings[static_cast<std::size_t>(r)];
    if (ring.count < 2) return -1;
    int first = 0;
    for (int i = 0; i < r; ++i) {
        if (mesh.rings[static_cast<std::size_t>(i)].count >= 2) first += mesh.rings[static_cast<std::size_t>(i)].count;
    }
    return first + FacetAtAngle(std::atan2(point.y, point.x), ring.count);
}

int FacetAtAngle(double angle, int width) {
    if (width < 1) return 0;
    double a = std::fmod(angle, 2 * std::numbers::pi);
    if (a < 0) a += 2 * std::numbers::pi;
    const int k = width - 1 - static_cast<int>(std::floor(a * width / (2 * std::numbers::pi)));
    return std::clamp(k, 0, width - 1);
}

SphereColourSampler::SphereColourSampler(const SphereMesh& mesh, int frameWidth, int frameHeight)
    : width_(frameWidth), height_(frameHeight), built_(true) {
    if (frameWidth <= 0 || frameHeight <= 0) {
        // Nothing to sample: every facet black.
        ForEachFacet(mesh, [&](int, int, const std::array<Vec3, 4>&) { samples_.push_back({0, 0}); });
        return;
    }
    // The facet colour rule as byte offsets: grid row r reads stored row rows - 1 - r, the
    // texture column scaled to the frame (a frame of another size is scaled to the grid).
    const std::size_t stride = Frame::Stride(static_cast<std::size_t>(frameWidth));
    ForEachFacet(mesh, [&](int r, int k, const std::array<Vec3, 4>&) {
        const SphereRing& ring = mesh.rings[static_cast<std::size_t>(r)];
        const int storedRow = frameHeight - 1 - static_cast<int>(static_cast<long long>(r) * frameHeight / std::max(mesh.rows, 1));
        const float u = ring.textureColumns[static_cast<std::size_t>(k)] * static_cast<float>(frameWidth) / static_cast<float>(std::max(mesh.cols, 1));
        const auto [first, second] = SampleColumns(frameWidth, u);
        const std::size_t row = static_cast<std::size_t>(std::clamp(storedRow, 0, frameHeight - 1)) * stride;
        const auto a = static_cast<std::uint32_t>(row + 3 * static_cast<std::size_t>(first));
        const auto b = static_cast<std::uint32_t>(row + 3 * static_cast<std::size_t>(second));
        samples_.push_back({a, b});
    });
}

void SphereColourSampler::Fill(const Frame& frame, std::vector<std::uint32_t>& rgba, std::size_t multiple) const {
    const std::size_t n = samples_.size();
    const std::size_t padded = multiple > 1 ? (n + multiple - 1) / multiple * multiple : n;
    rgba.assign(padded, 0xFF000000u);
    if (!Fits(frame.width(), frame.height()) || frame.width() <= 0 || frame.height() <= 0) return;
    const std::uint8_t* d = frame.data();
    std::uint32_t* out = rgba.data();
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t* p = d + samples_[i].a;
        const std::uint8_t* q = d + samples_[i].b;
        // The mean of a pixel with itself is the pixel.
        const std::uint32_t b = (p[0] + q[0]) >> 1, g = (p[1] + q[1]) >> 1, r = (p[2] + q[2]) >> 1;
        out[i] = r | g << 8 | b << 16 | 0xFF000000u;
    }
}

void SphereFacetColours(const SphereMesh& mesh, const Frame& frame, std::vector<std::uint32_t>& rgba, std::size_t multiple) {
    SphereColourSampler(mesh, frame.width(), frame.height()).Fill(frame, rgba, multiple);
}

Mat4 SphereMatrix(const Mat4& transform, int width, int height) {
    const float w = static_cast<float>(std::max(width, 1)), h = static_cast<float>(std::max(height, 1));
    const float l = -1.1f, r = 1.1f, b = -1.1f * h / w, t = 1.1f * h / w, n = 5.0f, f = 9.0f;
    Mat4 p{};
    p[0] = 2 * n / (r - l);
    p[5] = 2 * n / (t - b);
    p[8] = (r + l) / (r - l);
    p[9] = (t + b) / (t - b);
    p[10] = -(f + n) / (f - n);
    p[11] = -1;
    p[14] = -2 * f * n / (f - n);
    Mat4 translate{};
    translate[0] = translate[5] = translate[10] = translate[15] = 1;
    translate[14] = -9;
    return Mul4(p, Mul4(translate, transform));
}

Viewport SphereViewport(int width, int height, float scale) {
    return {static_cast<int>((1 - scale) * static_cast<float>(width) / 2), static_cast<int>((1 - scale) * static_cast<float>(height) / 2),
            static_cast<int>(static_cast<float>(width) * scale), static_cast<int>(static_cast<float>(height) * scale)};
}

QImage RenderSphereImage(const SphereMesh& mesh, const Frame& frame, const Mat4& transform, QSize size, float scale) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    if (mesh.empty() || frame.width() <= 0) return image;
    const Mat4 m = SphereMatrix(transform, size.width(), size.height());
    const Viewport vp = SphereViewport(size.width(), size.height(), scale);
    std::vector<std::uint32_t> colours;
    SphereFacetColours(mesh, frame, colours);
    std::size_t facet = 0;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    ForEachFacet(mesh, [&](int, int, const std::array<Vec3, 4>& c) {
        const std::uint32_t rgba = colours[facet++];
        // Eye space: the transform's rotation, then 9 units away. A facet shows when its
        // outward normal (its centre's direction) points towards the eye.
        Vec3 centre{};
        for (const Vec3& v : c) centre = {centre.x + v.x / 4, centre.y + v.y / 4, centre.z + v.z / 4};
        auto rotate = [&](const Vec3& v) {
            return Vec3{transform[0] * v.x + transform[4] * v.y + transform[8] * v.z, transform[1] * v.x + transform[5] * v.y + transform[9] * v.z,
                        transform[2] * v.x + transform[6] * v.y + transform[10] * v.z};
        };
        const Vec3 normal = rotate(centre);
        const Vec3 eye{normal.x, normal.y, normal.z - 9};
        if (Dot(normal, eye) >= 0) return;
        QPolygonF polygon;
        for (const Vec3& v : c) {
            const float x = static_cast<float>(v.x), y = static_cast<float>(v.y), z = static_cast<float>(v.z);
            const float cx = m[0] * x + m[4] * y + m[8] * z + m[12];
            const float cy = m[1] * x + m[5] * y + m[9] * z + m[13];
            const float cw = m[3] * x + m[7] * y + m[11] * z + m[15];
            if (cw <= 0) return;
            const double sx = vp.x + (cx / cw + 1) * 0.5 * vp.w;
            const double sy = size.height() - (vp.y + (cy / cw + 1) * 0.5 * vp.h);
            polygon << QPointF(sx, sy);
        }
        const QColor q(static_cast<int>(rgba & 0xFF), static_cast<int>(rgba >> 8 & 0xFF), static_cast<int>(rgba >> 16 & 0xFF));
        painter.setPen(QPen(q, 1));  // the outline closes the hairline gaps between facets
        painter.setBrush(q);
        painter.drawPolygon(polygon);
    });
    return image;
}

}  // namespace corv
