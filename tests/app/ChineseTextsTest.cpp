// The Chinese program shows Chinese texts where the language has its own words, and Qt's own
// dialogs follow it; the English program keeps its texts exactly.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QToolBar>
#include <QTranslator>
#include <QTreeWidget>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "AppTestSupport.h"
#include "app/shell/CCorvantineApp.h"
#include "app/shell/CMainFrame.h"
#include "app/frame/ColourPanel.h"
#include "app/shell/CommandTable.h"
#include "app/sculpt/LightingSettingDialog.h"
#include "app/sculpt/LinePanel.h"
#include "app/sculpt/CSculptView.h"
#include "controller/Catalogue.h"
#include "lang/Language.h"

using namespace corv;
using corv::testing::Command;
using corv::testing::StartedWorkspace;

namespace {

bool HasChinese(const QString& text) {
    for (QChar c : text) {
        if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF) return true;
    }
    return false;
}

// The shipped chip catalogue in the workspace's home, as the installed program has it.
void ShipCatalogue(const Workspace& ws) {
    const std::filesystem::path shipped = std::filesystem::path(CORV_TEST_DATA) / "../../data" / kCatalogueFileName;
    std::filesystem::copy_file(shipped, ws.home / kCatalogueFileName, std::filesystem::copy_options::overwrite_existing);
}

// The label a form row shows beside `field`.
QString LabelOf(QWidget* window, QWidget* field) {
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (label->buddy() == field) return label->text();
    }
    return {};
}

}  // namespace

class ChineseTextsTest : public QObject {
    Q_OBJECT

private slots:
    void mainWindowAndColourPanelSpeakChinese() {
        for (const char* locale : {"zh_CN.UTF-8", "zh_TW.UTF-8"}) {
            StartedWorkspace s(locale);
            QVERIFY(s.ok);
            QVERIFY(UsesChinese(s.ws.app.language));
            CMainFrame frame(s.ws, s.prompt);
            QVERIFY2(HasChinese(frame.speed()->suffix()), qPrintable(frame.speed()->suffix()));
            QVERIFY(!frame.speed()->suffix().contains(QStringLiteral("fps")));
            auto* bar = frame.findChild<QToolBar*>(QStringLiteral("controlBar"));
            QVERIFY(bar);
            QVERIFY(HasChinese(bar->windowTitle()));
            QVERIFY2(!frame.windowTitle().contains(QStringLiteral("Untitled")), qPrintable(frame.windowTitle()));

            ColourPanel* panel = frame.colourPanel();
            QVERIFY(panel);
            auto* back = panel->findChild<QPushButton*>(QStringLiteral("backButton"));
            QVERIFY(back);
            QVERIFY2(HasChinese(back->text()), qPrintable(back->text()));
            const QString rainbow = panel->libraryBox()->itemText(0);
            QVERIFY2(rainbow.startsWith(QStringLiteral("192")) && HasChinese(rainbow), qPrintable(rainbow));
            QVERIFY(!rainbow.contains(QStringLiteral("Color")));

            // The language menu names the languages by their own names, unconverted.
            QCOMPARE(Command(frame, cmd::kLanguageSimplified)->text(), QString::fromUtf8("简体中文"));
            QCOMPARE(Command(frame, cmd::kLanguageTraditional)->text(), QString::fromUtf8("繁體中文"));
            QCOMPARE(Command(frame, cmd::kLanguageEnglish)->text(), QStringLiteral("&English"));
        }
    }

    void englishMainWindowKeepsItsTexts() {
        StartedWorkspace s;
        QVERIFY(s.ok);
        CMainFrame frame(s.ws, s.prompt);
        QCOMPARE(frame.speed()->suffix(), QStringLiteral(" fps"));
        auto* back = frame.colourPanel()->findChild<QPushButton*>(QStringLiteral("backButton"));
        QCOMPARE(back->text(), QStringLiteral("bk"));
        QCOMPARE(frame.colourPanel()->libraryBox()->itemText(0), QStringLiteral("192Color"));
        QCOMPARE(Command(frame, cmd::kLanguageSimplified)->text(), QString::fromUtf8("Simplified han(简体中文)"));
        QCOMPARE(Command(frame, cmd::kLanguageTraditional)->text(), QString::fromUtf8("Traditional(繁體中文)"));
        LinePanelState state;
        LinePanel lines(s.ws, state);
        QCOMPARE(lines.lineList()->headerItem()->text(0), QStringLiteral("No."));
    }

    void lineListHeaderIsChinese() {
        StartedWorkspace s("zh_CN.UTF-8");
        QVERIFY(s.ok);
        LinePanelState state;
        LinePanel lines(s.ws, state);
        const QString number = lines.lineList()->headerItem()->text(0);
        QVERIFY2(HasChinese(number), qPrintable(number));
        QVERIFY(HasChinese(lines.lineList()->headerItem()->text(1)));
    }

    void controllerDialogShowsChineseChipsAndGamma() {
        for (const char* locale : {"zh_CN.UTF-8", "zh_TW.UTF-8"}) {
            StartedWorkspace s(locale);
            QVERIFY(s.ok);
            ShipCatalogue(s.ws);
            const ChipCatalogue catalogue = ChipCatalogue::Load(s.ws.home / kCatalogueFileName);
            LightingSettingDialog d(s.ws, s.prompt);
            auto* gamma = d.findChild<QLineEdit*>(QStringLiteral("gamma"));
            QVERIFY(gamma);
            const QString gammaLabel = LabelOf(&d, gamma);
            QVERIFY2(HasChinese(gammaLabel), qPrintable(gammaLabel));

            auto* list = d.findChild<QTableWidget*>(QStringLiteral("slaveList"));
            QVERIFY(list);
            QVERIFY2(HasChinese(list->horizontalHeaderItem(0)->text()), qPrintable(list->horizontalHeaderItem(0)->text()));
            QVERIFY(HasChinese(list->horizontalHeaderItem(1)->text()));

            auto* chips = d.findChild<QComboBox*>(QStringLiteral("chipType"));
            QVERIFY(chips);
            QCOMPARE(chips->count(), static_cast<int>(catalogue.entries().size()));
            QVERIFY(chips->count() > 0);
            for (int i = 0; i < chips->count(); ++i) {
                const QString tip = chips->itemData(i, Qt::ToolTipRole).toString();
                QVERIFY2(HasChinese(tip), qPrintable(QStringLiteral("%1: %2").arg(i).arg(tip)));
                QVERIFY(!tip.contains(QLatin1Char('\\')));
                // A chip is named in Chinese wherever the catalogue has more than a model name.
                const std::string english = catalogue.entries()[static_cast<std::size_t>(i)].english;
                if (english.find(' ') != std::string::npos || english == "NotEnable" || english == "HasEnable" ||
                    english == "RGBParallel") {
                    QVERIFY2(HasChinese(chips->itemText(i)), qPrintable(chips->itemText(i)));
                }
            }
        }
    }

    void englishControllerDialogKeepsItsTexts() {
        StartedWorkspace s;
        QVERIFY(s.ok);
        ShipCatalogue(s.ws);
        LightingSettingDialog d(s.ws, s.prompt);
        QCOMPARE(LabelOf(&d, d.findChild<QLineEdit*>(QStringLiteral("gamma"))), QStringLiteral("Gamma:"));
        QCOMPARE(d.findChild<QTableWidget*>(QStringLiteral("slaveList"))->horizontalHeaderItem(0)->text(),
                 QStringLiteral("   No."));
        auto* chips = d.findChild<QComboBox*>(QStringLiteral("chipType"));
        QCOMPARE(chips->itemText(22), QStringLiteral("SPI 8-bit flag"));
        QCOMPARE(chips->itemData(0, Qt::ToolTipRole).toString(),
                 QStringLiteral("Shift registers without enable line\nGray levels as bit planes"));
    }

    void qtDialogsFollowTheChineseLanguage() {
        QVERIFY(!InstallQtTranslations(kLanguageEnglish));
        {
            QDialogButtonBox box(QDialogButtonBox::Cancel);
            QCOMPARE(box.button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&')), QStringLiteral("Cancel"));
        }
        for (const std::uint8_t language : {kLanguageSimplified, kLanguageTraditional}) {
            const std::unique_ptr<QTranslator> qt = InstallQtTranslations(language);
            QVERIFY2(qt, "Qt's Chinese translations are not installed (qt6-translations-l10n)");
            QDialogButtonBox box(QDialogButtonBox::Cancel | QDialogButtonBox::Save);
            const QString cancel = box.button(QDialogButtonBox::Cancel)->text();
            QVERIFY2(HasChinese(cancel), qPrintable(cancel));
            QVERIFY(HasChinese(box.button(QDialogButtonBox::Save)->text()));
            QFileDialog dialog(nullptr, QString(), QString(), QStringLiteral("*.cvn"));
            dialog.setOption(QFileDialog::DontUseNativeDialog);
            const QString lookIn = dialog.labelText(QFileDialog::LookIn);
            QVERIFY2(HasChinese(lookIn), qPrintable(lookIn));
            QVERIFY(HasChinese(QCoreApplication::translate("QFileDialog", "Save As")));
        }
        // Gone with its translator: Qt's English again.
        QDialogButtonBox box(QDialogButtonBox::Cancel);
        QCOMPARE(box.button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&')), QStringLiteral("Cancel"));
    }
};

QTEST_MAIN(ChineseTextsTest)
#include "ChineseTextsTest.moc"
