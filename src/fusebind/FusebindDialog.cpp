#include "fusebind/FusebindDialog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "lang/Language.h"
#include "lang/QtText.h"
#include "lang/UiStrings.h"
#include "lang/messages/FusebindMessages.h"

namespace corv::fuse {

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }

bool SameTexts(const Messages& a, const Messages& b) {
    return a.caption == b.caption && a.datPage == b.datPage && a.vidPage == b.vidPage && a.add == b.add &&
           a.merge == b.merge && a.close == b.close;
}
}  // namespace

DialogTexts LoadDialogTexts(std::uint8_t language) {
    const UiStrings strings = LoadUiStrings(language);
    DialogTexts texts;
    texts.yes = Q(strings.buttonYes);
    texts.no = Q(strings.buttonNo);
    texts.ok = Q(strings.buttonOk);
    texts.datFilter = RenderQt(msg::fusebind::kDatFilter, language);
    texts.vidFilter = RenderQt(msg::fusebind::kVidFilter, language);
    texts.ctrlDataFilter = RenderQt(msg::fusebind::kCtrlDatFilter, language);
    texts.ledFilter = RenderQt(msg::fusebind::kLedFilter, language);
    texts.ctrlLedFilter = RenderQt(msg::fusebind::kCtrlLedFilter, language);
    texts.ctrlAnyFilter = RenderQt(msg::fusebind::kCtrlAnyFilter, language);
    return texts;
}

std::uint8_t LanguageOfMessages(const Messages& messages) {
    for (const std::uint8_t language : {kLanguageSimplified, kLanguageTraditional}) {
        if (SameTexts(messages, LoadMessages(language))) {
            return language;
        }
    }
    return kLanguageEnglish;
}

MergePage::MergePage(Kind kind, const Messages& messages, const DialogTexts& texts, QWidget* parent)
    : QWidget(parent), kind_(kind), m_(messages), t_(texts) {
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("files"));
    add_ = new QPushButton(Q(m_.add), this);
    delete_ = new QPushButton(Q(m_.remove), this);
    merge_ = new QPushButton(Q(m_.merge), this);
    mode_ = new QComboBox(this);
    if (kind_ == Kind::Dat) {
        mode_->addItems({Q(m_.datModeFrames), Q(m_.datModeSlaves)});
    } else {
        mode_->addItems({Q(m_.horizontal), Q(m_.vertical)});
    }
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 100);
    progress_->setValue(0);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(add_);
    buttons->addWidget(delete_);
    buttons->addStretch();
    buttons->addWidget(merge_);
    auto* top = new QHBoxLayout;
    top->addWidget(list_, 1);
    top->addLayout(buttons);
    auto* modeRow = new QHBoxLayout;
    modeRow->addWidget(new QLabel(Q(kind_ == Kind::Dat ? m_.datModeLabel : m_.vidModeLabel), this));
    modeRow->addWidget(mode_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(modeRow);
    layout->addWidget(progress_);

    connect(add_, &QPushButton::clicked, this, &MergePage::OnAdd);
    connect(delete_, &QPushButton::clicked, this, &MergePage::DeleteSelected);
    connect(merge_, &QPushButton::clicked, this, &MergePage::OnMerge);
}

std::vector<std::filesystem::path> MergePage::Files() const {
    std::vector<std::filesystem::path> files;
    for (int i = 0; i < list_->count(); ++i) {
        files.emplace_back(list_->item(i)->text().toStdString());
    }
    return files;
}

void MergePage::AddFiles(const QStringList& paths) {
    for (const auto& p : paths) {
        list_->addItem(p);
    }
}

QString MergePage::inputFilter() const {
    if (kind_ == Kind::Vid) {
        return t_.vidFilter;
    }
    return t_.ctrlAnyFilter + QStringLiteral(";;") + t_.datFilter + QStringLiteral(";;") + t_.ledFilter;
}

QString MergePage::outputFilter() const {
    if (kind_ == Kind::Vid) {
        return t_.vidFilter;
    }
    return DatExtension(Files()) == "led" ? t_.ctrlLedFilter + QStringLiteral(";;") + t_.ctrlDataFilter
                                          : t_.ctrlDataFilter + QStringLiteral(";;") + t_.ctrlLedFilter;
}

QString MergePage::outputSuffix() const {
    return kind_ == Kind::Vid ? QStringLiteral("vid") : QString::fromStdString(DatExtension(Files()));
}

void MergePage::OnAdd() { AddFiles(QFileDialog::getOpenFileNames(this, QString(), QString(), inputFilter())); }

bool MergePage::AskYesNo(const std::string& text) {
    QMessageBox box(QMessageBox::Question, Q(m_.warning), Q(text), QMessageBox::Yes | QMessageBox::No, this);
    box.button(QMessageBox::Yes)->setText(t_.yes);
    box.button(QMessageBox::No)->setText(t_.no);
    return box.exec() == QMessageBox::Yes;
}

void MergePage::Inform(const std::string& text) {
    QMessageBox box(QMessageBox::Information, Q(m_.caption), Q(text), QMessageBox::Ok, this);
    box.button(QMessageBox::Ok)->setText(t_.ok);
    box.exec();
}

void MergePage::DeleteSelected() {
    delete list_->takeItem(list_->currentRow());
    if (list_->count() > 0) {
        list_->setCurrentRow(0);
    }
}

MergeResult MergePage::Merge(const ChooseOutputFn& choose, const AskFn& ask) {
    auto progress = [this](int percent) {
        progress_->setValue(std::clamp(percent, 0, 100));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    progress_->setValue(0);
    if (kind_ == Kind::Dat) {
        return MergeDat(Files(), mode_->currentIndex() == 0 ? DatMode::Frames : DatMode::Slaves, choose, m_, ask,
                        progress);
    }
    return MergeVid(Files(), mode_->currentIndex() == 0 ? VidMode::Horizontal : VidMode::Vertical, choose, m_, ask,
                    progress);
}

void MergePage::OnMerge() {
    auto choose = [this]() -> std::optional<std::filesystem::path> {
        QFileDialog dialog(this, QString(), QStringLiteral("Merge"), outputFilter());
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(outputSuffix());
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return std::nullopt;
        }
        return dialog.selectedFiles().front().toStdString();
    };
    const MergeResult r = Merge(choose, [this](const std::string& text) { return AskYesNo(text); });
    if (r.cancelled || r.message.empty()) {
        return;
    }
    // What the merge went on with despite a fault is told with the outcome.
    std::string text = r.message;
    for (const auto& warning : r.warnings) {
        text += "\n" + warning;
    }
    Inform(text);
}

CFusebindDialog::CFusebindDialog(std::uint8_t language, QWidget* parent)
    : CFusebindDialog(LoadMessages(language), language, parent) {}

CFusebindDialog::CFusebindDialog(const Messages& messages, QWidget* parent)
    : CFusebindDialog(messages, LanguageOfMessages(messages), parent) {}

CFusebindDialog::CFusebindDialog(const Messages& messages, std::uint8_t language, QWidget* parent)
    : QDialog(parent), language_(language), messages_(messages), texts_(LoadDialogTexts(language)) {
    setWindowTitle(Q(messages_.caption));
    tabs_ = new QTabWidget(this);
    dat_ = new MergePage(MergePage::Kind::Dat, messages_, texts_, tabs_);
    vid_ = new MergePage(MergePage::Kind::Vid, messages_, texts_, tabs_);
    tabs_->addTab(dat_, Q(messages_.datPage));
    tabs_->addTab(vid_, Q(messages_.vidPage));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    close_ = buttons->button(QDialogButtonBox::Close);
    close_->setText(Q(messages_.close));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(560, 400);
}

}  // namespace corv::fuse
