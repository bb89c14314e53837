#include "app/shell/QtPrompt.h"

#include <QMessageBox>
#include <QPushButton>
#include <QString>

#include "lang/UiStrings.h"

namespace corv {

namespace {
void Label(QMessageBox& box, QMessageBox::StandardButton which, const UiStrings* strings,
           std::string UiStrings::*text) {
    if (strings) {
        box.button(which)->setText(QString::fromStdString(strings->*text));
    }
}
}  // namespace

void QtPrompt::Inform(const std::string& text, PromptIcon icon) { InformDetailed(text, {}, icon); }

void QtPrompt::InformDetailed(const std::string& text, const std::string& detail, PromptIcon icon) {
    QMessageBox::Icon qicon = QMessageBox::Information;
    if (icon == PromptIcon::Warning) qicon = QMessageBox::Warning;
    if (icon == PromptIcon::Error) qicon = QMessageBox::Critical;
    if (icon == PromptIcon::Question) qicon = QMessageBox::Question;
    QMessageBox box(qicon, QStringLiteral("Corvantine"), QString::fromStdString(text), QMessageBox::Ok, parent_);
    if (!detail.empty()) box.setInformativeText(QString::fromStdString(detail));
    Label(box, QMessageBox::Ok, strings_, &UiStrings::buttonOk);
    box.exec();
}

Answer QtPrompt::Ask(const std::string& text, bool withCancel) {
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel) {
        buttons |= QMessageBox::Cancel;
    }
    QMessageBox box(QMessageBox::Question, QStringLiteral("Corvantine"), QString::fromStdString(text), buttons,
                    parent_);
    box.setDefaultButton(QMessageBox::Yes);
    Label(box, QMessageBox::Yes, strings_, &UiStrings::buttonYes);
    Label(box, QMessageBox::No, strings_, &UiStrings::buttonNo);
    if (withCancel) {
        Label(box, QMessageBox::Cancel, strings_, &UiStrings::buttonCancel);
    }
    const int r = box.exec();
    if (r == QMessageBox::Yes) return Answer::Yes;
    if (r == QMessageBox::No) return Answer::No;
    return withCancel ? Answer::Cancel : Answer::No;
}

Answer QtPrompt::AskYesNo(const std::string& text) { return Ask(text, false); }

Answer QtPrompt::AskYesNoCancel(const std::string& text) { return Ask(text, true); }

Answer QtPrompt::AskOkCancel(const std::string& text) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Corvantine"), QString::fromStdString(text),
                    QMessageBox::Ok | QMessageBox::Cancel, parent_);
    box.setDefaultButton(QMessageBox::Ok);
    Label(box, QMessageBox::Ok, strings_, &UiStrings::buttonOk);
    Label(box, QMessageBox::Cancel, strings_, &UiStrings::buttonCancel);
    return box.exec() == QMessageBox::Ok ? Answer::Yes : Answer::No;
}

}  // namespace corv
