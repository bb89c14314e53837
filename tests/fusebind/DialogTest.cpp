#include <QComboBox>
#include <QListWidget>
#include <QProgressBar>
#include <QTabWidget>
#include <QtTest>

#include "base/TempDir.h"
#include "fusebind/FusebindDialog.h"
#include "lang/Language.h"

using namespace corv;
using namespace corv::fuse;

class FusebindDialogTest : public QObject {
    Q_OBJECT

private slots:
    void pagesAndModesInTheChosenLanguage() {
        const Messages en = LoadMessages(kLanguageEnglish);
        CFusebindDialog dialog(en);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("File Merge"));
        QCOMPARE(dialog.tabs()->tabText(0), QStringLiteral("Merge DAT File"));
        QCOMPARE(dialog.tabs()->tabText(1), QStringLiteral("Merge VID File"));
        QCOMPARE(dialog.datPage()->mode()->itemText(1), QStringLiteral("Slave manifold,Frame fixedness"));
        QCOMPARE(dialog.vidPage()->mode()->itemText(0), QStringLiteral("Horizontal"));
        const Messages zh = LoadMessages(kLanguageSimplified);
        CFusebindDialog chinese(zh);
        QCOMPARE(chinese.windowTitle(), QStringLiteral("文件合并"));
        QCOMPARE(chinese.tabs()->tabText(1), QStringLiteral("VID文件合并"));
    }

    void listOrderIsMergeOrderAndMessagesComeBack() {
        const Messages en = LoadMessages(kLanguageEnglish);
        CFusebindDialog dialog(en);
        MergePage* page = dialog.datPage();
        page->AddFiles({QStringLiteral("/a/one.dat"), QStringLiteral("/a/two.dat"), QStringLiteral("/a/three.dat")});
        QCOMPARE(page->Files().size(), size_t(3));
        QCOMPARE(QString::fromStdString(page->Files()[2].string()), QStringLiteral("/a/three.dat"));
        page->list()->setCurrentRow(1);
        page->DeleteSelected();
        QCOMPARE(page->Files().size(), size_t(2));
        QCOMPARE(QString::fromStdString(page->Files()[1].string()), QStringLiteral("/a/three.dat"));
        QCOMPARE(page->list()->currentRow(), 0);
        // Missing inputs: the message of the merge, the progress bar back at 0.
        TempDir dir;
        const MergeResult r =
            page->Merge([&]() -> std::optional<std::filesystem::path> { return dir.File("out.dat"); }, nullptr);
        QCOMPARE(QString::fromStdString(r.message), QStringLiteral("Open file fail!"));
        QCOMPARE(page->progress()->value(), 0);
    }
};

QTEST_MAIN(FusebindDialogTest)
#include "DialogTest.moc"
