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

namespace corv::fuse {

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

MergePage::MergePage(Kind kind, const Messages& messages, QWidget* parent)
    : QWidget(parent), kind_(kind), m_(messages) {
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("files"));
    auto* add = new QPushButton(Q(m_.add), this);
    auto* del = new QPushButton(Q(m_.remove), this);
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
    buttons->addWidget(add);
    buttons->addWidget(del);
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

    connect(add, &QPushButton::clicked, this, &MergePage::OnAdd);
    connect(del, &QPushButton::clicked, this, &MergePage::DeleteSelected);
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

void MergePage::OnAdd() {
    const QString filter = kind_ == Kind::Dat ? QStringLiteral("dat file(*.dat)") : QStringLiteral("vid file(*.vid)");
    AddFiles(QFileDialog::getOpenFileNames(this, QString(), QString(), filter));
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
    const bool dat = kind_ == Kind::Dat;
    auto choose = [this, dat]() -> std::optional<std::filesystem::path> {
        QFileDialog dialog(this, QString(), QStringLiteral("Merge"),
                           dat ? QStringLiteral("CtrlData file(*.dat)") : QStringLiteral("vid file(*.vid)"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(dat ? QStringLiteral("dat") : QStringLiteral("vid"));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return std::nullopt;
        }
        return dialog.selectedFiles().front().toStdString();
    };
    auto ask = [this](const std::string& text) {
        return QMessageBox::question(this, Q(m_.warning), Q(text), QMessageBox::Yes | QMessageBox::No) ==
               QMessageBox::Yes;
    };
    const MergeResult r = Merge(choose, ask);
    if (!r.cancelled && !r.message.empty()) {
        QMessageBox::information(this, Q(m_.caption), Q(r.message));
    }
}

CFusebindDialog::CFusebindDialog(const Messages& messages, QWidget* parent) : QDialog(parent) {
    setWindowTitle(Q(messages.caption));
    tabs_ = new QTabWidget(this);
    dat_ = new MergePage(MergePage::Kind::Dat, messages, tabs_);
    vid_ = new MergePage(MergePage::Kind::Vid, messages, tabs_);
    tabs_->addTab(dat_, Q(messages.datPage));
    tabs_->addTab(vid_, Q(messages.vidPage));
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    close->button(QDialogButtonBox::Close)->setText(Q(messages.close));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(close);
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(560, 400);
}

}  // namespace corv::fuse
