#include "content/PictureText.h"

#include <QFile>
#include <QFontMetrics>
#include <QPainter>
#include <QStringDecoder>

#include <algorithm>

#include "lang/messages/EngineMessages.h"

namespace corv {

namespace {
std::string LowerTail(const std::string& path, std::size_t n) {
    std::string tail = path.size() >= n ? path.substr(path.size() - n) : path;
    std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return tail;
}
}  // namespace

bool IsTextEntry(const std::string& path) { return LowerTail(path, 3) == "txt"; }
bool IsTextForEdit(const std::string& path) { return LowerTail(path, 4) == ".txt"; }

QString DecodeText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError()) return text;
    QStringDecoder gb("GB18030");
    return gb.isValid() ? gb(bytes) : QString::fromLatin1(bytes);
}

std::vector<QImage> TextPages(const QString& text, const QFont& font, QColor colour, QColor background, QSize size) {
    std::vector<QImage> pages;
    if (size.isEmpty()) return pages;
    const QFontMetrics metrics(font);
    // Lines: the text's own lines, broken to the width.
    QStringList lines;
    for (QString paragraph : text.split(QLatin1Char('\n'))) {
        paragraph.remove(QLatin1Char('\r'));
        QString line;
        auto fits = [&](const QString& s) { return metrics.horizontalAdvance(s) <= size.width(); };
        for (const QString& word : paragraph.split(QLatin1Char(' '))) {
            const QString joined = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (fits(joined)) {
                line = joined;
                continue;
            }
            if (!line.isEmpty()) lines << line;
            line.clear();
            // A word longer than the line goes character by character.
            for (const QChar c : word) {
                if (!line.isEmpty() && !fits(line + c)) {
                    lines << line;
                    line.clear();
                }
                line += c;
            }
        }
        lines << line;
    }
    while (!lines.isEmpty() && lines.back().trimmed().isEmpty()) lines.removeLast();
    const int spacing = std::max(1, metrics.lineSpacing());
    const int perPage = std::max(1, size.height() / spacing);
    for (int first = 0; first < lines.size(); first += perPage) {
        QImage page(size, QImage::Format_RGB32);
        page.fill(background);
        QPainter p(&page);
        p.setFont(font);
        p.setPen(colour);
        for (int i = 0; i < perPage && first + i < lines.size(); ++i) {
            p.drawText(0, i * spacing + metrics.ascent(), lines[first + i]);
        }
        pages.push_back(std::move(page));
    }
    return pages;
}

std::vector<QImage> EntryPictures(const std::filesystem::path& path, const QFont& font, QColor colour,
                                  QColor background, QSize size) {
    const QString name = QString::fromStdString(path.string());
    if (IsTextEntry(path.string())) {
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly)) return {};
        return TextPages(DecodeText(file.readAll()), font, colour, background, size);
    }
    const QImage picture(name);
    if (picture.isNull() || size.isEmpty()) return {};
    return {picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).convertToFormat(QImage::Format_RGB32)};
}

QImage BuildTextPicture(const QString& text, const QFont& font, QColor colour, QColor background, QSize size,
                        bool vertical) {
    const QFontMetrics metrics(font);
    QImage picture;
    if (!vertical) {
        const int width = std::max(size.width(), metrics.horizontalAdvance(text));
        picture = QImage(std::max(width, 1), std::max(size.height(), 1), QImage::Format_RGB32);
        picture.fill(background);
        QPainter p(&picture);
        p.setFont(font);
        p.setPen(colour);
        p.drawText(QRect(0, 0, width, picture.height()), Qt::AlignLeft | Qt::AlignVCenter, text);
        return picture;
    }
    // One character a row, each centred in its cell of the line height.
    const int cell = std::max(1, metrics.height());
    const int height = std::max(size.height(), cell * static_cast<int>(text.size()));
    picture = QImage(std::max(size.width(), 1), std::max(height, 1), QImage::Format_RGB32);
    picture.fill(background);
    QPainter p(&picture);
    p.setFont(font);
    p.setPen(colour);
    for (int i = 0; i < text.size(); ++i) {
        p.drawText(QRect(0, i * cell, picture.width(), cell), Qt::AlignCenter, QString(text[i]));
    }
    return picture;
}

QFont DefaultPictureTextFont(bool chinese, int height) {
    const Text& family = msg::engine::kPictureTextFont;
    QFont font(QString::fromUtf8(chinese ? family.chinese : family.english));
    font.setPixelSize(std::max(1, height));
    return font;
}

}  // namespace corv
