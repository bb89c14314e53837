// The manual's window: pages, navigation, zoom and search on a manual made here and on the
// built one; the messages when the manual cannot be shown; Help (F1) of the main window.
#include <QAction>
#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>
#include <fstream>

#include "AppTestSupport.h"
#include "app/shell/CMainFrame.h"
#include "app/shell/CommandTable.h"
#include "app/shell/ManualViewer.h"
#include "base/Prompt.h"
#include "base/TempDir.h"
#include "lang/Language.h"
#include "lang/Localize.h"

using namespace corv;

namespace {

// A small manual of one line of text per page.
QString MakeManual(const TempDir& dir, const QStringList& pages) {
    const QString path = QString::fromStdString(dir.File("manual.pdf").string());
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A6));
    writer.setResolution(72);
    QPainter painter(&writer);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(16);
    painter.setFont(font);
    for (int i = 0; i < pages.size(); ++i) {
        if (i > 0) writer.newPage();
        painter.drawText(QPointF(20, 60), pages[i]);
    }
    return path;
}

template <typename W>
W* Child(const QWidget& parent, const char* name) {
    return parent.findChild<W*>(QString::fromLatin1(name));
}

}  // namespace

class ManualViewerTest : public QObject {
    Q_OBJECT
private slots:
    void showsPagesNavigatesAndZooms() {
        TempDir dir;
        const QString path = MakeManual(dir, {QStringLiteral("Welcome to the lamp guide"),
                                              QStringLiteral("Wiring the controller lines"),
                                              QStringLiteral("Controller data for every lamp")});
        RecordingPrompt prompt;
        ManualViewer viewer(prompt, kLanguageEnglish, [](const QString&) { return true; });
        viewer.show();
        QCOMPARE(viewer.Open(path), QString());
        QCOMPARE(viewer.pageCount(), 3);
        QCOMPARE(Child<QLabel>(viewer, "pageCount")->text(), QStringLiteral("of 3"));
        QVERIFY(viewer.windowTitle().contains(QStringLiteral("manual.pdf")));
        auto* number = Child<QSpinBox>(viewer, "pageNumber");
        auto* previous = Child<QPushButton>(viewer, "previousPage");
        auto* next = Child<QPushButton>(viewer, "nextPage");
        QCOMPARE(number->value(), 1);
        QCOMPARE(number->maximum(), 3);
        QVERIFY(!previous->isEnabled());
        QVERIFY(!Child<QLabel>(viewer, "pageImage")->pixmap().isNull());

        next->click();
        QCOMPARE(viewer.currentPage(), 1);
        QCOMPARE(number->value(), 2);
        QVERIFY(previous->isEnabled());
        // The page number field: typed in and taken with Enter.
        number->setFocus();
        number->selectAll();
        QTest::keyClicks(number, QStringLiteral("3"));
        QTest::keyClick(number, Qt::Key_Return);
        QCOMPARE(viewer.currentPage(), 2);
        QVERIFY(!next->isEnabled());
        next->click();  // the last page stays
        QCOMPARE(viewer.currentPage(), 2);
        viewer.GoToPage(99);
        QCOMPARE(viewer.currentPage(), 2);
        previous->click();
        QCOMPARE(viewer.currentPage(), 1);
        QCOMPARE(number->value(), 2);

        // Zoom: the page grows and shrinks with it, within its limits.
        auto* image = Child<QLabel>(viewer, "pageImage");
        const int width = image->pixmap().width();
        Child<QPushButton>(viewer, "zoomIn")->click();
        QVERIFY(viewer.zoom() > 1.0);
        QVERIFY(image->pixmap().width() > width);
        QCOMPARE(Child<QLabel>(viewer, "zoomLevel")->text(), QStringLiteral("125%"));
        Child<QPushButton>(viewer, "zoomOut")->click();
        Child<QPushButton>(viewer, "zoomOut")->click();
        QVERIFY(image->pixmap().width() < width);
        for (int i = 0; i < 20; ++i) viewer.ZoomOut();
        QCOMPARE(viewer.zoom(), ManualViewer::kMinZoom);
        Child<QPushButton>(viewer, "fitWidth")->click();
        QVERIFY(viewer.zoom() > ManualViewer::kMinZoom);
        QVERIFY(image->pixmap().width() <= Child<QWidget>(viewer, "pageArea")->width());
    }

    void searchFindsAndMarksHits() {
        TempDir dir;
        const QString path = MakeManual(dir, {QStringLiteral("Welcome to the lamp guide"),
                                              QStringLiteral("Wiring the controller lines"),
                                              QStringLiteral("Controller data for every lamp")});
        RecordingPrompt prompt;
        ManualViewer viewer(prompt, kLanguageEnglish, [](const QString&) { return true; });
        viewer.show();
        QCOMPARE(viewer.Open(path), QString());
        // Typed into the find field and taken with Enter: two hits (letter case ignored), the
        // first on page 2.
        auto* find = Child<QLineEdit>(viewer, "findText");
        find->setFocus();
        QTest::keyClicks(find, QStringLiteral("controller"));
        QTest::keyClick(find, Qt::Key_Return);
        QCOMPARE(viewer.hitCount(), 2);
        QCOMPARE(viewer.currentHit(), 0);
        QCOMPARE(viewer.currentPage(), 1);
        QCOMPARE(Child<QLabel>(viewer, "findStatus")->text(), QStringLiteral("1 / 2"));
        // The hit is marked on the page: its box is no longer black on white.
        const QImage page = Child<QLabel>(viewer, "pageImage")->pixmap().toImage();
        const QRectF box = viewer.hit(0).rectangles().front();
        const double scale = viewer.zoom() * 96.0 / 72.0;
        const QRect onPage = QRectF(box.x() * scale, box.y() * scale, box.width() * scale, box.height() * scale)
                                 .toRect()
                                 .intersected(page.rect());
        QVERIFY(!onPage.isEmpty());
        int marked = 0;
        for (int y = onPage.top(); y <= onPage.bottom(); ++y) {
            for (int x = onPage.left(); x <= onPage.right(); ++x) {
                const QColor c = page.pixelColor(x, y);
                if (c.red() - c.blue() > 60) ++marked;
            }
        }
        QVERIFY2(marked > onPage.width() * onPage.height() / 4, "the hit is not marked");

        Child<QPushButton>(viewer, "findNext")->click();
        QCOMPARE(viewer.currentHit(), 1);
        QCOMPARE(viewer.currentPage(), 2);
        Child<QPushButton>(viewer, "findNext")->click();  // round to the first again
        QCOMPARE(viewer.currentHit(), 0);
        QCOMPARE(viewer.currentPage(), 1);
        Child<QPushButton>(viewer, "findPrevious")->click();
        QCOMPARE(viewer.currentPage(), 2);
        QTest::keyClick(find, Qt::Key_Return);  // Enter again: the next hit
        QCOMPARE(viewer.currentHit(), 0);

        // From the last page the search starts there.
        viewer.GoToPage(2);
        QCOMPARE(viewer.Find(QStringLiteral("lamp")), 2);
        QCOMPARE(viewer.hit(viewer.currentHit()).page(), 2);
        // A word that is not there: none, and the field says so.
        QCOMPARE(viewer.Find(QStringLiteral("zebra")), 0);
        QCOMPARE(viewer.currentHit(), -1);
        QCOMPARE(Child<QLabel>(viewer, "findStatus")->text(), QStringLiteral("\"zebra\" not found"));
        viewer.NextHit();  // nothing to go to
        QCOMPARE(viewer.currentPage(), 2);
    }

    void builtManualOpensAndSearches() {
        const QString path = QStringLiteral(CORV_BUILT_MANUAL);
        QVERIFY2(QFileInfo(path).isFile(), "the build makes the manual");
        RecordingPrompt prompt;
        ManualViewer viewer(prompt, kLanguageEnglish, [](const QString&) { return true; });
        QCOMPARE(viewer.Open(path), QString());
        QVERIFY(viewer.pageCount() > 1);
        QCOMPARE(Child<QLabel>(viewer, "pageCount")->text(), QStringLiteral("of %1").arg(viewer.pageCount()));
        QVERIFY(viewer.Find(QStringLiteral("controller")) > 0);
        QVERIFY(viewer.hit(viewer.currentHit()).page() >= 0);
        QCOMPARE(viewer.Find(QStringLiteral("xylophonequartz")), 0);
    }

    void failuresAreToldInTheProgramsLanguage() {
        TempDir dir;
        RecordingPrompt prompt;
        QString opened;
        bool desktopViewer = false;
        ManualViewer zh(prompt, kLanguageSimplified, [&](const QString& p) {
            opened = p;
            return desktopViewer;
        });
        // A missing file and a file that is no PDF: why, in Chinese; the viewer stays empty.
        const QString missing = QString::fromStdString(dir.File("Help_c.pdf").string());
        QString problem = zh.Open(missing);
        QVERIFY(problem.contains(QString::fromUtf8("无法在程序中显示使用手册")));
        QVERIFY(problem.contains(QString::fromUtf8("文件不存在")));
        QVERIFY(problem.contains(missing));
        QCOMPARE(zh.pageCount(), 0);
        std::ofstream(dir.File("bad.pdf")) << "%PDF-1.4\nnot really\n";
        problem = zh.Open(QString::fromStdString(dir.File("bad.pdf").string()));
        QVERIFY(problem.contains(QString::fromUtf8("不是有效的 PDF 文件")));
        QVERIFY(!zh.OpenExternally());  // nothing loaded
        QCOMPARE(Child<QPushButton>(zh, "nextPage")->text(), QString::fromUtf8("下一页"));

        const QString good = MakeManual(dir, {QStringLiteral("One"), QStringLiteral("Two")});
        QCOMPARE(zh.Open(good), QString());
        QCOMPARE(Child<QLabel>(zh, "pageCount")->text(), QString::fromUtf8("共 2 页"));
        QCOMPARE(zh.Find(QStringLiteral("zebra")), 0);
        QCOMPARE(Child<QLabel>(zh, "findStatus")->text(), QString::fromUtf8("找不到 \"zebra\""));
        // No desktop viewer: said in Chinese, naming the file.
        Child<QPushButton>(zh, "openExternally")->click();
        QCOMPARE(opened, good);
        QCOMPARE(prompt.messages().size(), std::size_t{1});
        QVERIFY(QString::fromStdString(prompt.messages().back()).contains(QString::fromUtf8("没有可以打开 PDF 文件的程序")));
        QVERIFY(QString::fromStdString(prompt.messages().back()).contains(good));
        desktopViewer = true;
        QVERIFY(zh.OpenExternally());
        QCOMPARE(prompt.messages().size(), std::size_t{1});

        // The manual not found, in both languages and in Traditional characters.
        const QString zhMissing = ManualViewer::MissingText(kLanguageSimplified, QStringLiteral("Help_c.pdf"), {dir.path()});
        QVERIFY(zhMissing.contains(QString::fromUtf8("找不到使用手册")));
        QVERIFY(zhMissing.contains(QStringLiteral("Help_c.pdf")));
        QVERIFY(zhMissing.contains(QStringLiteral("Help_e.pdf")));
        QVERIFY(zhMissing.contains(QString::fromStdString(dir.path().string())));
        QVERIFY(!zhMissing.contains(QStringLiteral("Open file fail")));
        const QString en = ManualViewer::MissingText(kLanguageEnglish, QStringLiteral("Help_e.pdf"), {dir.path()});
        QVERIFY(en.startsWith(QStringLiteral("The manual Help_e.pdf is not there")));
        if (TraditionalConverterAvailable()) {
            QVERIFY(ManualViewer::MissingText(kLanguageTraditional, QStringLiteral("Help_t.pdf"), {})
                        .contains(QString::fromUtf8("找不到使用手冊")));
        }
    }

    void helpShowsTheManualInTheProgram() {
        // F1 in the Chinese program: the manual opens in the program's own window, in Chinese,
        // without the desktop's viewer.
        corv::testing::StartedWorkspace s("zh_CN.UTF-8");
        QVERIFY(s.ok);
        QCOMPARE(int{s.ws.app.language}, int{kLanguageSimplified});
        CMainFrame frame(s.ws, s.prompt);
        bool desktop = false;
        frame.SetFileOpener([&](const QString&) { return desktop = true; });
        QAction* help = frame.action(cmd::kHelp);
        QVERIFY(help);
        help->trigger();
        ManualViewer* viewer = frame.manualViewer();
        QVERIFY(viewer);
        QVERIFY(viewer->isVisible());
        QVERIFY(!desktop);
        QVERIFY(s.prompt.messages().empty());
        QVERIFY(viewer->pageCount() > 1);
        QVERIFY(viewer->windowTitle().startsWith(QString::fromUtf8("使用手册")));
        QCOMPARE(Child<QLabel>(*viewer, "pageCount")->text(), QString::fromUtf8("共 %1 页").arg(viewer->pageCount()));
        // Again, with the window open or closed: the same window, where the reader left it.
        viewer->NextPage();
        help->trigger();
        QCOMPARE(frame.manualViewer(), viewer);
        QCOMPARE(viewer->currentPage(), 1);
        viewer->close();
        help->trigger();
        QVERIFY(viewer->isVisible());
        QCOMPARE(viewer->currentPage(), 1);
        viewer->close();
    }
};

QTEST_MAIN(ManualViewerTest)
#include "ManualViewerTest.moc"
