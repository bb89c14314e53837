#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QRegularExpression>
#include <QTimer>
#include <QTranslator>
#include <QtTest>
#include <functional>

#include "base/TempDir.h"
#include "fusebind/FusebindDialog.h"
#include "lang/Language.h"

using namespace corv;
using namespace corv::fuse;

namespace {

// Every text a user reads in the dialog: title, tabs, labels, buttons, mode lists.
QStringList VisibleTexts(CFusebindDialog& dialog) {
    QStringList texts{dialog.windowTitle()};
    for (int i = 0; i < dialog.tabs()->count(); ++i) texts << dialog.tabs()->tabText(i);
    for (auto* label : dialog.findChildren<QLabel*>()) texts << label->text();
    for (auto* button : dialog.findChildren<QAbstractButton*>()) {
        if (!button->text().isEmpty()) texts << button->text();
    }
    for (auto* combo : dialog.findChildren<QComboBox*>()) {
        for (int i = 0; i < combo->count(); ++i) texts << combo->itemText(i);
    }
    for (MergePage* page : {dialog.datPage(), dialog.vidPage()}) {
        texts << page->inputFilter() << page->outputFilter();
    }
    return texts;
}

bool HasChinese(const QString& text) {
    for (QChar c : text) {
        if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF) return true;
    }
    return false;
}

// The buttons of the message box that `action` shows; the box is answered with `answer`.
QStringList BoxButtons(const std::function<void()>& action, QMessageBox::StandardButton answer) {
    QStringList buttons;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            timer.stop();
            for (QAbstractButton* b : box->buttons()) buttons << b->text();
            box->button(answer)->click();
        }
    });
    timer.start();
    action();
    buttons.sort();
    return buttons;
}

}  // namespace

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

    void everyTextInTheLanguageItIsGiven() {
        for (const std::uint8_t language : {kLanguageSimplified, kLanguageTraditional}) {
            CFusebindDialog dialog(language);
            QCOMPARE(dialog.language(), language);
            const QStringList texts = VisibleTexts(dialog);
            for (const QString& t : texts) QVERIFY2(HasChinese(t), qPrintable(t));
        }
        CFusebindDialog simplified(kLanguageSimplified);
        QCOMPARE(simplified.closeButton()->text(), QStringLiteral("关闭"));
        QCOMPARE(simplified.datPage()->addButton()->text(), QStringLiteral("添加"));
        QCOMPARE(simplified.datPage()->outputFilter(), QStringLiteral("控制器数据文件(*.dat);;控制器数据文件(*.led)"));
        QCOMPARE(simplified.vidPage()->inputFilter(), QStringLiteral("vid文件(*.vid)"));
        CFusebindDialog traditional(kLanguageTraditional);
        QCOMPARE(traditional.windowTitle(), QString::fromStdString(LoadMessages(kLanguageTraditional).caption));
        QCOMPARE(traditional.closeButton()->text(), QStringLiteral("關閉"));
        QCOMPARE(traditional.datPage()->outputFilter(), QStringLiteral("控制器數據文件(*.dat);;控制器數據文件(*.led)"));
        QVERIFY(traditional.windowTitle() != simplified.windowTitle());
        CFusebindDialog english(kLanguageEnglish);
        QCOMPARE(english.closeButton()->text(), QStringLiteral("Close"));
        QCOMPARE(english.datPage()->outputFilter(), QStringLiteral("CtrlData file(*.dat);;CtrlData file(*.led)"));
        QCOMPARE(english.datPage()->inputFilter(),
                 QStringLiteral("CtrlData file(*.dat *.led);;dat file(*.dat);;led file(*.led)"));
    }

    void dataFilesOfTheProgramAreOffered() {
        // The files the program writes (".led") can be added, and the merged file keeps their
        // extension: its filter comes first and it is the default suffix.
        CFusebindDialog english(LoadMessages(kLanguageEnglish));
        MergePage* page = english.datPage();
        QVERIFY(page->inputFilter().split(QStringLiteral(";;")).contains(QStringLiteral("led file(*.led)")));
        QCOMPARE(page->outputSuffix(), QStringLiteral("dat"));
        page->AddFiles({QStringLiteral("/a/one.led"), QStringLiteral("/a/TWO.LED")});
        QCOMPARE(page->outputSuffix(), QStringLiteral("led"));
        QCOMPARE(page->outputFilter(), QStringLiteral("CtrlData file(*.led);;CtrlData file(*.dat)"));
        page->AddFiles({QStringLiteral("/a/three.dat")});  // a mixed list: the merge refuses it
        QCOMPARE(page->outputSuffix(), QStringLiteral("dat"));
        TempDir dir;
        const MergeResult r =
            page->Merge([&]() -> std::optional<std::filesystem::path> { return dir.File("out.led"); }, nullptr);
        QCOMPARE(QString::fromStdString(r.message), QStringLiteral("File type is not consistent!"));
        CFusebindDialog chinese(kLanguageSimplified);
        chinese.datPage()->AddFiles({QStringLiteral("/a/one.led"), QStringLiteral("/a/two.led")});
        QCOMPARE(chinese.datPage()->outputFilter(), QStringLiteral("控制器数据文件(*.led);;控制器数据文件(*.dat)"));
        QVERIFY(chinese.datPage()->inputFilter().contains(QStringLiteral("led文件(*.led)")));
    }

    void messagesTellTheirLanguage() {
        for (const std::uint8_t language : {kLanguageSimplified, kLanguageTraditional, kLanguageEnglish}) {
            QCOMPARE(LanguageOfMessages(LoadMessages(language)), language);
            // Built from messages alone, the dialog takes the other texts in their language.
            CFusebindDialog dialog(LoadMessages(language));
            QCOMPARE(dialog.language(), language);
        }
        QCOMPARE(LanguageOfMessages(LoadMessages(kLanguageGerman)), std::uint8_t(kLanguageEnglish));
    }

    void messageBoxButtonsFollowTheLanguage() {
        CFusebindDialog chinese(kLanguageTraditional);
        MergePage* page = chinese.vidPage();
        bool yes = true;
        QCOMPARE(BoxButtons([&] { yes = page->AskYesNo("?"); }, QMessageBox::No),
                 (QStringList{QStringLiteral("否(&N)"), QStringLiteral("是(&Y)")}));
        QVERIFY(!yes);
        QCOMPARE(BoxButtons([&] { page->Inform("!"); }, QMessageBox::Ok), QStringList{QStringLiteral("確定")});
        CFusebindDialog english(LoadMessages(kLanguageEnglish));
        QCOMPARE(BoxButtons([&] { yes = english.datPage()->AskYesNo("?"); }, QMessageBox::Yes),
                 (QStringList{QStringLiteral("&No"), QStringLiteral("&Yes")}));
        QVERIFY(yes);
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
        QVERIFY(QString::fromStdString(r.message).startsWith(QStringLiteral("Open file fail!")));
        QCOMPARE(page->progress()->value(), 0);
    }

    void qtOwnTextsFollowTheChineseLanguage() {
        QVERIFY(!InstallQtTranslations(kLanguageEnglish));
        QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Look in:"));
        for (const std::uint8_t language : {kLanguageSimplified, kLanguageTraditional}) {
            const std::unique_ptr<QTranslator> qt = InstallQtTranslations(language);
            QVERIFY2(qt, "Qt's Chinese translations are not installed (qt6-translations-l10n)");
            const QString lookIn = QCoreApplication::translate("QFileDialog", "Look in:");
            QVERIFY2(lookIn != QStringLiteral("Look in:") && lookIn.contains(QRegularExpression(QStringLiteral("[\\x{4E00}-\\x{9FFF}]"))),
                     qPrintable(lookIn));
            QDialogButtonBox box(QDialogButtonBox::Cancel);
            QVERIFY(box.button(QDialogButtonBox::Cancel)->text().contains(QRegularExpression(QStringLiteral("[\\x{4E00}-\\x{9FFF}]"))));
        }
        // Removed with its translator: English again.
        QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Look in:"));
    }
};

QTEST_MAIN(FusebindDialogTest)
#include "DialogTest.moc"
