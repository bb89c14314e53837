#pragma once

// "PictureAndText": text files and pictures played one after another through the transition
// renderer, or a picture built from a typed text scrolled across the working rectangle.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

#include <filesystem>
#include <string>
#include <vector>

namespace corv {

struct PictureTextOptions {
    std::vector<std::filesystem::path> entries;  // text files and pictures, in list order
    int kind = 0;                                 // "Stunt:": a transition kind, 0 random
    QFont font;                                   // for text files
    // The text picture built from the typed text (null when none) and its direction.
    QImage textPicture;
    bool vertical = false;
};

// A list entry is a text file when its name ends in "txt" (any case); "Edit" asks for ".txt".
bool IsTextEntry(const std::string& path);
bool IsTextForEdit(const std::string& path);

// A text file's characters: UTF-8 when the bytes are valid UTF-8, else GB18030.
QString DecodeText(const QByteArray& bytes);

// The pages a text fills on pictures of `size`: lines broken at spaces (or between any two
// characters where a word is longer than the line), as many lines a page as fit.
std::vector<QImage> TextPages(const QString& text, const QFont& font, QColor colour, QColor background, QSize size);

// A list entry as pictures of `size`: the pages of a text file or the picture stretched to the
// size. Nothing for an entry that cannot be read.
std::vector<QImage> EntryPictures(const std::filesystem::path& path, const QFont& font, QColor colour,
                                  QColor background, QSize size);

// "Build picture": the typed text on one line (or one character a row when `vertical`), as long
// as it needs and at least `size`, on the background.
QImage BuildTextPicture(const QString& text, const QFont& font, QColor colour, QColor background, QSize size,
                        bool vertical);

// The font a panel starts with: Arial (a Song typeface in the Chinese languages), `height` pixels
// high.
QFont DefaultPictureTextFont(bool chinese, int height);

}  // namespace corv
