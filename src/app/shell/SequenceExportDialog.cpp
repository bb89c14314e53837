#include "app/shell/SequenceExportDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>

#include "lang/QtText.h"
#include "lang/messages/SequenceDialogMessages.h"

namespace corv {

namespace {

namespace dm = msg::seqdlg;

enum Scope { kWhole = 0, kEach = 1, kOne = 2 };

}  // namespace

SequenceExportDialog::SequenceExportDialog(int frames, int fps, const std::filesystem::path& netFile, const QString& path,
                                           std::uint8_t language, QWidget* parent)
    : QDialog(parent), language_(language), netFile_(netFile) {
    setWindowTitle(RenderQt(dm::kExportTitle, language));
    auto* form = new QFormLayout;
    path_ = new QLineEdit(path, this);
    auto* browse = new QPushButton(RenderQt(dm::kBrowse, language), this);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString chosen = QFileDialog::getSaveFileName(this, QString(), path_->text(), RenderQt(dm::kFileFilter, language_));
        if (!chosen.isEmpty()) path_->setText(chosen.endsWith(QStringLiteral(".fseq")) ? chosen : chosen + QStringLiteral(".fseq"));
    });
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(path_, 1);
    fileRow->addWidget(browse);
    form->addRow(RenderQt(dm::kFileLabel, language), fileRow);

    const int count = std::max(1, frames);
    first_ = new QSpinBox(this);
    first_->setRange(1, count);
    first_->setValue(1);
    last_ = new QSpinBox(this);
    last_->setRange(1, count);
    last_->setValue(count);
    form->addRow(RenderQt(dm::kFirstFrame, language), first_);
    form->addRow(RenderQt(dm::kLastFrame, language), last_);
    fps_ = new QSpinBox(this);
    fps_->setRange(ops::kMinSequenceFps, ops::kMaxSequenceFps);
    fps_->setValue(std::clamp(fps, ops::kMinSequenceFps, ops::kMaxSequenceFps));
    form->addRow(RenderQt(dm::kFps, language), fps_);

    version_ = new QComboBox(this);
    version_->addItem(RenderQt(dm::kVersion2, language), 2);
    version_->addItem(RenderQt(dm::kVersion1, language), 1);
    form->addRow(RenderQt(dm::kVersion, language), version_);
    compression_ = new QComboBox(this);
    compression_->addItem(RenderQt(dm::kZstd, language), static_cast<int>(seq::Compression::Zstd));
    compression_->addItem(RenderQt(dm::kZlib, language), static_cast<int>(seq::Compression::Zlib));
    compression_->addItem(RenderQt(dm::kNoCompression, language), static_cast<int>(seq::Compression::None));
    form->addRow(RenderQt(dm::kCompression, language), compression_);
    level_ = new QSpinBox(this);
    level_->setRange(0, 19);
    level_->setSpecialValueText(RenderQt(dm::kDefaultLevel, language));
    form->addRow(RenderQt(dm::kLevel, language), level_);

    scope_ = new QComboBox(this);
    scope_->addItem(RenderQt(dm::kWholeLayout, language), kWhole);
    std::error_code ec;
    if (!netFile_.empty() && std::filesystem::is_regular_file(netFile_, ec)) {
        scope_->addItem(RenderQt(dm::kEachController, language), kEach);
        scope_->addItem(RenderQt(dm::kOneController, language), kOne);
    }
    form->addRow(RenderQt(dm::kChannels, language), scope_);
    controller_ = new QSpinBox(this);
    controller_->setRange(1, 9999);
    form->addRow(RenderQt(dm::kController, language), controller_);
    sparse_ = new QCheckBox(RenderQt(dm::kSparse, language), this);
    form->addRow(QString(), sparse_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &SequenceExportDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(first_, &QSpinBox::valueChanged, this, [this](int v) {
        if (last_->value() < v) last_->setValue(v);
    });
    connect(last_, &QSpinBox::valueChanged, this, [this](int v) {
        if (first_->value() > v) first_->setValue(v);
    });
    for (QComboBox* box : {version_, compression_, scope_}) {
        connect(box, &QComboBox::currentIndexChanged, this, &SequenceExportDialog::UpdateEnabled);
    }
    UpdateEnabled();
}

void SequenceExportDialog::UpdateEnabled() {
    const bool v2 = version_->currentData().toInt() == 2;
    compression_->setEnabled(v2);
    const bool compressed = v2 && compression_->currentData().toInt() != static_cast<int>(seq::Compression::None);
    level_->setEnabled(compressed);
    level_->setMaximum(compression_->currentData().toInt() == static_cast<int>(seq::Compression::Zlib) ? 9 : 19);
    const int scope = scope_->currentData().toInt();
    controller_->setEnabled(scope == kOne);
    sparse_->setEnabled(scope != kWhole);
}

ops::SequenceExportRequest SequenceExportDialog::request() const {
    ops::SequenceExportRequest r;
    r.path = path_->text().trimmed().toStdString();
    r.first = static_cast<std::size_t>(first_->value() - 1);
    r.end = static_cast<std::size_t>(last_->value());
    r.fps = fps_->value();
    r.version = version_->currentData().toInt();
    r.compression = r.version == 1 ? seq::Compression::None : static_cast<seq::Compression>(compression_->currentData().toInt());
    r.level = level_->isEnabled() ? level_->value() : 0;
    const int scope = scope_->currentData().toInt();
    if (scope != kWhole) {
        r.netFile = netFile_;
        r.controller = scope == kOne ? controller_->value() : 0;
        r.sparse = sparse_->isChecked();
    }
    return r;
}

void SequenceExportDialog::accept() {
    if (path_->text().trimmed().isEmpty()) {
        QMessageBox::warning(this, windowTitle(), RenderQt(dm::kNoFile, language_));
        return;
    }
    QDialog::accept();
}

}  // namespace corv
