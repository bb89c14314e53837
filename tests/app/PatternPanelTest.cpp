// The pattern panel's style list: a tooltip for every mode and style in every language, and
// the moving preview of the selected style, made in a worker thread on the frame's size.
#include <QComboBox>
#include <QListWidget>
#include <QtTest>

#include <set>

#include "app/frame/PatternPanel.h"
#include "app/frame/StylePreview.h"
#include "lang/Language.h"
#include "lang/UiStrings.h"

using namespace corv;

namespace {

bool HasHan(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF) return true;
    }
    return false;
}

PreviewScene Scene(QSize size) {
    PreviewScene scene;
    scene.size = size;
    scene.colours = ColourList::Rainbow();
    scene.background = Bgr{0, 0, 0};
    return scene;
}

}  // namespace

class PatternPanelTest : public QObject {
    Q_OBJECT
private slots:
    void everyModeAndStyleSaysWhatItDoes();
    void selectingAStylePreviewsItInAWorker();
    void aNewSelectionReplacesTheEarlierPreview();
    void aStyleThatCannotRunSaysSo();
};

void PatternPanelTest::everyModeAndStyleSaysWhatItDoes() {
    for (const std::uint8_t language : {kLanguageSimplified, kLanguageTraditional, kLanguageEnglish}) {
        const UiStrings strings = LoadUiStrings(language);
        PatternPanel panel(language, strings);
        const bool chinese = language != kLanguageEnglish;
        QComboBox* modes = panel.modeBox();
        QCOMPARE(modes->count(), kGeneratorModes);
        for (int m = 0; m < kGeneratorModes; ++m) {
            const QString modeTip = modes->itemData(m, Qt::ToolTipRole).toString();
            QVERIFY2(!modeTip.isEmpty(), qPrintable(modes->itemText(m)));
            QCOMPARE(HasHan(modeTip), chinese);
            panel.SetMode(static_cast<GeneratorMode>(m));
            QListWidget* styles = panel.styleList();
            QVERIFY(styles->count() > 0);
            std::set<QString> seen;
            for (int s = 0; s < styles->count(); ++s) {
                const QString tip = styles->item(s)->toolTip();
                QVERIFY2(!tip.isEmpty(), qPrintable(QStringLiteral("mode %1 style %2").arg(m).arg(s)));
                QCOMPARE(HasHan(tip), chinese);
                QVERIFY2(tip != styles->item(s)->text(), qPrintable(tip));  // more than the name again
                seen.insert(tip);
            }
            QCOMPARE(static_cast<int>(seen.size()), styles->count());  // each style its own words
        }
    }
    // Traditional Chinese is converted, not the Simplified text again.
    const UiStrings simplified = LoadUiStrings(kLanguageSimplified), traditional = LoadUiStrings(kLanguageTraditional);
    PatternPanel a(kLanguageSimplified, simplified), b(kLanguageTraditional, traditional);
    QVERIFY(a.styleList()->item(0)->toolTip() != b.styleList()->item(0)->toolTip());
}

void PatternPanelTest::selectingAStylePreviewsItInAWorker() {
    const UiStrings strings = LoadUiStrings(kLanguageEnglish);
    PatternPanel panel(kLanguageEnglish, strings);
    panel.resize(240, 600);
    panel.show();
    StylePreview* preview = panel.preview();
    QVERIFY(preview);
    QVERIFY(preview->isVisible());
    preview->scene = [] { return Scene(QSize(24, 10)); };
    panel.SetMode(GeneratorMode::Moving);
    panel.styleList()->setCurrentRow(-1);
    panel.styleList()->setCurrentRow(0);  // "Left": the colour enters at the right
    // The selection returns at once: the frames come from the worker, through the event loop.
    QVERIFY(preview->busy());
    QVERIFY(preview->frames().empty());
    QTRY_COMPARE(static_cast<int>(preview->frames().size()), StylePreview::kFrames);
    QVERIFY(!preview->busy());
    for (const QImage& frame : preview->frames()) QCOMPARE(frame.size(), QSize(24, 10));
    const QImage& first = preview->frames().front();
    QCOMPARE(QColor(first.pixel(23, 5)), QColor(255, 0, 0));  // the list's first colour, at the right
    QCOMPARE(QColor(first.pixel(0, 5)), QColor(0, 0, 0));
    QVERIFY(preview->frames().back() != first);  // it moves
    QVERIFY(!preview->pixmap().isNull());
    QTRY_VERIFY(preview->shownFrame() != 0);  // and the frames take turns
}

void PatternPanelTest::aNewSelectionReplacesTheEarlierPreview() {
    const UiStrings strings = LoadUiStrings(kLanguageEnglish);
    PatternPanel panel(kLanguageEnglish, strings);
    StylePreview* preview = panel.preview();
    QSize size(24, 10);
    preview->scene = [&size] { return Scene(size); };
    panel.SetMode(GeneratorMode::Moving);
    panel.styleList()->setCurrentRow(0);
    size = QSize(30, 12);  // the frame changed, then the user chose "Right"
    panel.styleList()->setCurrentRow(1);
    QTRY_COMPARE(static_cast<int>(preview->frames().size()), StylePreview::kFrames);
    QTRY_VERIFY(!preview->busy());
    QCOMPARE(preview->frames().front().size(), QSize(30, 12));
    QCOMPARE(QColor(preview->frames().front().pixel(0, 6)), QColor(255, 0, 0));  // "Right": enters at the left
    QCOMPARE(QColor(preview->frames().front().pixel(29, 6)), QColor(0, 0, 0));
    // Another mode clears the list's selection and the preview with it.
    panel.SetMode(GeneratorMode::Gradual);
    QVERIFY(preview->frames().empty());
}

void PatternPanelTest::aStyleThatCannotRunSaysSo() {
    const UiStrings strings = LoadUiStrings(kLanguageSimplified);
    PatternPanel panel(kLanguageSimplified, strings);
    StylePreview* preview = panel.preview();
    preview->scene = [] { return Scene(QSize(16, 8)); };  // no wiring: the port styles cannot run
    panel.SetMode(GeneratorMode::Moving);
    panel.styleList()->setCurrentRow(8);
    QTRY_VERIFY(!preview->busy());
    QVERIFY(preview->frames().empty());
    QVERIFY(HasHan(preview->text()));
}

QTEST_MAIN(PatternPanelTest)
#include "PatternPanelTest.moc"
