#include "app/QtPrompt.h"

#include <QMessageBox>
#include <QString>

namespace corv {

void QtPrompt::Inform(const std::string& text, PromptIcon icon) {
    QMessageBox::Icon qicon = QMessageBox::Information;
    if (icon == PromptIcon::Warning) qicon = QMessageBox::Warning;
    if (icon == PromptIcon::Error) qicon = QMessageBox::Critical;
    if (icon == PromptIcon::Question) qicon = QMessageBox::Question;
    QMessageBox box(qicon, QStringLiteral("Corvantine"), QString::fromStdString(text), QMessageBox::Ok, parent_);
    box.exec();
}

Answer QtPrompt::AskYesNo(const std::string& text) {
    auto r = QMessageBox::question(parent_, QString(), QString::fromStdString(text),
                                   QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    return r == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

Answer QtPrompt::AskYesNoCancel(const std::string& text) {
    auto r = QMessageBox::question(parent_, QString(), QString::fromStdString(text),
                                   QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (r == QMessageBox::Yes) return Answer::Yes;
    if (r == QMessageBox::No) return Answer::No;
    return Answer::Cancel;
}

}  // namespace corv
