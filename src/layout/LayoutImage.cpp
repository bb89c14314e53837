#include "layout/LayoutImage.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QFont>
#include <QImageWriter>
#include <QPainter>

#include <gif_lib.h>

#include <algorithm>
#include <filesystem>
#include <span>
#include <vector>

#include "base/FileUtil.h"

namespace corv {

QColor LineColour(int line) {
    // Neighbouring lines get far-apart hues (golden-angle steps), bright enough on black.
    return QColor::fromHsv((line * 137) % 360, 200, 255);
}

int LayoutPictureCell(const LayoutGrid& grid, int wanted) {
    for (int cell = std::clamp(wanted, 2, 64); cell >= 2; --cell) {
        const long long w = static_cast<long long>(grid.cols) * cell + 1, h = static_cast<long long>(grid.rows) * cell + 1;
        if (w <= kMaxLayoutPictureSide && h <= kMaxLayoutPictureSide && w * h <= kMaxLayoutPicturePixels) {
            return cell;
        }
    }
    return 0;
}

QImage RenderLayout(const Layout& layout, int cell) {
    cell = LayoutPictureCell(layout.grid, cell);
    if (cell == 0) {
        return {};
    }
    const int cols = layout.grid.cols, rows = layout.grid.rows;
    QImage image(cols * cell + 1, rows * cell + 1, QImage::Format_RGB32);
    image.fill(QColor(24, 24, 24));
    QPainter p(&image);
    // Cells; in sphere layouts the unusable cells are darker.
    p.setPen(QColor(0x40, 0x40, 0x40));
    for (int r = 0; r <= rows; ++r) p.drawLine(0, r * cell, cols * cell, r * cell);
    for (int c = 0; c <= cols; ++c) p.drawLine(c * cell, 0, c * cell, rows * cell);
    if (layout.grid.IsSphere()) {
        for (int r = 0; r < rows && r < static_cast<int>(layout.grid.rowWidths.size()); ++r) {
            const int width = layout.grid.rowWidths[static_cast<std::size_t>(r)];
            p.fillRect(width * cell + 1, r * cell + 1, (cols - width) * cell - 1, cell - 1, QColor(10, 10, 10));
        }
    }
    p.setRenderHint(QPainter::Antialiasing, true);
    auto centre = [cell](LinePoint pt) {
        return QPointF(PointCol(pt) * cell + cell / 2.0, PointRow(pt) * cell + cell / 2.0);
    };
    for (int l = 0; l < kLineCount; ++l) {
        const Line& line = layout.lines[static_cast<std::size_t>(l)];
        if (line.empty()) {
            continue;
        }
        const QColor colour = LineColour(l);
        p.setPen(QPen(colour, std::max(1.0, cell / 8.0)));
        for (std::size_t i = 1; i < line.size(); ++i) {
            p.drawLine(centre(line[i - 1]), centre(line[i]));
        }
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        const double radius = cell * 0.3;
        for (LinePoint pt : line) {
            p.drawEllipse(centre(pt), radius, radius);
        }
        // The first LED gets a white ring and the line number beside it.
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::white, std::max(1.0, cell / 10.0)));
        p.drawEllipse(centre(line.front()), radius + 1.5, radius + 1.5);
        QFont font;
        font.setPixelSize(std::max(8, cell - 2));
        font.setBold(true);
        p.setFont(font);
        // Above the LED, or below it in the top row where there is no room above; moved left
        // or up where it would leave the picture.
        const double dy = PointRow(line.front()) == 0 ? cell * 1.0 : -cell * 0.35;
        const QString number = QString::number(l + 1);
        const QFontMetricsF metrics(font);
        QPointF at = centre(line.front()) + QPointF(cell * 0.45, dy);
        at.setX(std::clamp(at.x(), 0.0, std::max(0.0, image.width() - metrics.horizontalAdvance(number) - 1)));
        at.setY(std::clamp(at.y(), metrics.ascent(), std::max(metrics.ascent(), image.height() - metrics.descent() - 1)));
        p.drawText(at, number);
    }
    return image;
}

namespace {

// GIF through giflib (Qt reads GIF but does not write it): Qt reduces the picture to at most
// 256 colours, giflib writes them.
bool EncodeGif(const QImage& image, QByteArray& out) {
    const QImage indexed = image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    const QList<QRgb> table = indexed.colorTable();
    int bits = 1;
    while ((1 << bits) < table.size() && bits < 8) ++bits;
    std::vector<GifColorType> colours(static_cast<std::size_t>(1) << bits, GifColorType{0, 0, 0});
    for (int i = 0; i < table.size() && i < 256; ++i) {
        colours[static_cast<std::size_t>(i)] = GifColorType{static_cast<GifByteType>(qRed(table[i])),
                                                            static_cast<GifByteType>(qGreen(table[i])),
                                                            static_cast<GifByteType>(qBlue(table[i]))};
    }
    int error = 0;
    GifFileType* gif = EGifOpen(&out, [](GifFileType* g, const GifByteType* data, int n) {
        auto* bytes = static_cast<QByteArray*>(g->UserData);
        bytes->append(reinterpret_cast<const char*>(data), n);
        return n;
    }, &error);
    ColorMapObject* map = GifMakeMapObject(static_cast<int>(colours.size()), colours.data());
    bool ok = gif && map && EGifPutScreenDesc(gif, indexed.width(), indexed.height(), bits, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, indexed.width(), indexed.height(), false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < indexed.height(); ++y) {
        ok = EGifPutLine(gif, const_cast<GifPixelType*>(indexed.constScanLine(y)), indexed.width()) == GIF_OK;
    }
    if (gif) {
        ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
    }
    if (map) {
        GifFreeMapObject(map);
    }
    return ok;
}

}  // namespace

std::optional<QByteArray> EncodeLayoutImage(const QImage& image, const QString& path) {
    // The extension decides, compared in lower case; anything unknown is written as GIF.
    const QString ext = QFileInfo(path).suffix().toLower();
    QByteArray bytes;
    if (ext != QLatin1String("jpeg") && ext != QLatin1String("jpg") && ext != QLatin1String("bmp") &&
        ext != QLatin1String("png")) {
        return EncodeGif(image, bytes) ? std::optional(bytes) : std::nullopt;
    }
    const char* format = ext == QLatin1String("bmp") ? "BMP" : ext == QLatin1String("png") ? "PNG" : "JPEG";
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    return writer.write(image) ? std::optional(bytes) : std::nullopt;
}

Result<Done> SaveLayoutImage(const QImage& image, const QString& path) {
    const std::filesystem::path target = path.toStdString();
    const auto bytes = EncodeLayoutImage(image, path);
    if (!bytes) {
        return FileFailure(target, std::string("the picture cannot be encoded"));
    }
    return WriteFileAtomic(target, std::span(reinterpret_cast<const std::uint8_t*>(bytes->constData()),
                                             static_cast<std::size_t>(bytes->size())));
}

}  // namespace corv
