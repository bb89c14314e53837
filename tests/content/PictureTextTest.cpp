// Picture-and-text runs (in the transition test program, which brings a GUI application for fonts).
#include <gtest/gtest.h>

#include <QPainter>
#include <fstream>

#include "base/TempDir.h"
#include "content/Generators.h"
#include "content/PictureText.h"

using namespace corv;

namespace {

struct TextRun {
    std::vector<Frame> frames;
    FrameUndo undo;
    ColourList colours{std::vector<ListColour>{0xFF0000, 0x00FF00}};
    GeneratorRun run;
    TextRun(int w, int h) {
        frames.push_back(Frame::Filled(w, h, Bgr{0, 0, 0}));
        run.frames = &frames;
        run.undo = &undo;
        run.colours = &colours;
        run.seed = 9;
    }
};

std::filesystem::path Picture(const TempDir& dir, const char* name, QColor colour) {
    QImage image(10, 6, QImage::Format_RGB32);
    image.fill(colour);
    const auto path = dir.File(name);
    EXPECT_TRUE(image.save(QString::fromStdString(path.string())));
    return path;
}

}  // namespace

TEST(PictureText, TextEntriesByExtensionAndTheirCharacters) {
    EXPECT_TRUE(IsTextEntry("/a/NOTES.TXT"));
    EXPECT_TRUE(IsTextForEdit("/a/NOTES.TXT"));
    EXPECT_TRUE(IsTextEntry("notes.Txt"));
    EXPECT_TRUE(IsTextEntry("notestxt"));       // the run looks at three characters
    EXPECT_FALSE(IsTextForEdit("notestxt"));    // Edit at four
    EXPECT_FALSE(IsTextEntry("notes.txt.png"));
    EXPECT_EQ(DecodeText(QByteArray("h\xc3\xa9llo")), QString::fromUtf8("héllo"));
    EXPECT_EQ(DecodeText(QByteArray("\xc4\xe3\xba\xc3")), QString::fromUtf8("你好"));  // GB18030
}

TEST(PictureText, TextPagesBreakLinesAndPages) {
    QFont font = DefaultPictureTextFont(false, 10);
    const auto one = TextPages(QStringLiteral("Hi"), font, Qt::red, Qt::black, QSize(40, 12));
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].size(), QSize(40, 12));
    // Many words on a small page: several pages, every one of the page size, each with ink.
    const auto many = TextPages(QStringLiteral("one two three four five six seven eight nine ten"), font, Qt::red, Qt::black,
                                QSize(40, 12));
    EXPECT_GT(many.size(), 3u);
    for (const QImage& page : many) {
        EXPECT_EQ(page.size(), QSize(40, 12));
        bool ink = false;
        for (int y = 0; y < 12 && !ink; ++y) {
            for (int x = 0; x < 40 && !ink; ++x) ink = qRed(page.pixel(x, y)) > 100;
        }
        EXPECT_TRUE(ink);
    }
    // A word longer than the line goes character by character.
    EXPECT_GT(TextPages(QStringLiteral("Supercalifragilistic"), font, Qt::red, Qt::black, QSize(20, 12)).size(), 1u);
    EXPECT_TRUE(TextPages(QString(), font, Qt::red, Qt::black, QSize(20, 12)).empty());
}

TEST(PictureText, ListRunsOneFramePerStepAndPicture) {
    TempDir dir;
    TextRun r(10, 6);
    r.run.pictureText.entries = {Picture(dir, "a.png", Qt::blue), Picture(dir, "b.png", Qt::green)};
    r.run.pictureText.kind = 1;  // Appear
    r.run.count = 1;             // n = 1: one frame per picture
    ASSERT_EQ(RunGenerator(r.run, GeneratorMode::PictureAndText, 0), 2);
    ASSERT_EQ(r.frames.size(), 3u);
    EXPECT_EQ(r.frames[1].Pixel(3, 3), (Bgr{255, 0, 0}));  // blue, stored blue-green-red
    EXPECT_EQ(r.frames[2].Pixel(3, 3), (Bgr{0, 255, 0}));
    // Style 2 plays each picture back out to the background: twice the frames.
    TextRun twice(10, 6);
    twice.run.pictureText = r.run.pictureText;
    twice.run.count = 3;
    ASSERT_EQ(RunGenerator(twice.run, GeneratorMode::PictureAndText, 1), 12);
    EXPECT_EQ(twice.frames[3].Pixel(3, 3), (Bgr{255, 0, 0}));
    EXPECT_EQ(twice.frames[6].Pixel(3, 3), (Bgr{0, 0, 0}));
    // An entry that cannot be read is left out; an empty list or nothing readable is refused.
    std::ofstream(dir.File("bad.png")) << "no";
    TextRun skip(10, 6);
    skip.run.pictureText.entries = {dir.File("bad.png"), Picture(dir, "c.png", Qt::red)};
    skip.run.count = 2;
    EXPECT_EQ(RunGenerator(skip.run, GeneratorMode::PictureAndText, 0), 2);
    TextRun none(10, 6);
    EXPECT_EQ(RunGenerator(none.run, GeneratorMode::PictureAndText, 0), -1);
    none.run.pictureText.entries = {dir.File("bad.png")};
    EXPECT_EQ(RunGenerator(none.run, GeneratorMode::PictureAndText, 0), -1);
    EXPECT_EQ(none.frames.size(), 1u);
    // The random kind repeats with the seed.
    TextRun a(10, 6), b(10, 6);
    a.run.pictureText.entries = b.run.pictureText.entries = r.run.pictureText.entries;
    a.run.count = b.run.count = 4;
    RunGenerator(a.run, GeneratorMode::PictureAndText, 0);
    RunGenerator(b.run, GeneratorMode::PictureAndText, 0);
    EXPECT_EQ(a.frames, b.frames);
}

TEST(PictureText, TheScrollPassesTheWholeTextPictureThrough) {
    // A text picture of 7 columns, each its own colour, through a rectangle 5 wide.
    QImage text(7, 4, QImage::Format_RGB32);
    for (int x = 0; x < 7; ++x) {
        for (int y = 0; y < 4; ++y) text.setPixel(x, y, qRgb(10 + x * 30, 0, 0));
    }
    TextRun r(5, 4);
    r.run.pictureText.textPicture = text;
    const int made = RunGenerator(r.run, GeneratorMode::PictureAndText, 0);
    ASSERT_EQ(made, 7 + 5);
    // Frame k shows text column k entering at the right edge, and it moves one pixel a frame.
    for (int k = 0; k < 7; ++k) {
        EXPECT_EQ(r.frames[static_cast<std::size_t>(k + 1)].Pixel(4, 1).r, 10 + k * 30) << k;
        if (k >= 2) {
            EXPECT_EQ(r.frames[static_cast<std::size_t>(k + 1)].Pixel(2, 1).r, 10 + (k - 2) * 30) << k;
        }
    }
    // At the end the whole text has left.
    for (int x = 0; x < 5; ++x) EXPECT_EQ(r.frames.back().Pixel(x, 2), (Bgr{0, 0, 0}));
    // Vertical text moves up (style 1: down) through the rectangle's rows.
    TextRun v(3, 4);
    v.run.pictureText.textPicture = text.copy(0, 0, 3, 4).transformed(QTransform().rotate(90));
    v.run.pictureText.vertical = true;
    EXPECT_EQ(RunGenerator(v.run, GeneratorMode::PictureAndText, 1), v.run.pictureText.textPicture.height() + 4);
    // A built picture is at least the rectangle and as long as its text.
    const QImage built = BuildTextPicture(QStringLiteral("A long line of text"), DefaultPictureTextFont(false, 8), Qt::red,
                                          Qt::black, QSize(10, 8), false);
    EXPECT_EQ(built.height(), 8);
    EXPECT_GT(built.width(), 40);
    const QImage column = BuildTextPicture(QStringLiteral("ABC"), DefaultPictureTextFont(false, 8), Qt::red, Qt::black,
                                           QSize(10, 8), true);
    EXPECT_EQ(column.width(), 10);
    EXPECT_GE(column.height(), 3 * 8);
}
