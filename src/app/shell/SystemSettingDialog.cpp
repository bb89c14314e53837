#include "app/shell/SystemSettingDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/common/DialogCommon.h"
#include "lang/QtText.h"
#include "lang/messages/ShellMessages.h"
#include "lang/messages/CommonMessages.h"

namespace corv {

SystemSettingDialog::SystemSettingDialog(const SystemSettings& initial, std::uint8_t language, const UiStrings& strings,
                                         QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("SystemSettingDialog"));
    setWindowTitle(RenderQt(msg::shell::kSystemSettingTitle, language));
    auto* layout = new QVBoxLayout(this);
    autoCheck_ = new QCheckBox(RenderQt(msg::shell::kAutoCheckVersion, language), this);
    autoCheck_->setChecked(initial.autoCheckVersion);
    compress_ = new QCheckBox(RenderQt(msg::shell::kCompressDocuments, language), this);
    compress_->setChecked(initial.compress);
    layout->addWidget(autoCheck_);
    layout->addWidget(compress_);

    auto* paintRow = new QHBoxLayout;
    paintRow->addWidget(new QLabel(RenderQt(msg::shell::kExternalPaintingTool, language), this));
    paintPath_ = new QLineEdit(QString::fromStdString(initial.paintPath), this);
    paintPath_->setMinimumWidth(280);
    paintRow->addWidget(paintPath_, 1);
    auto* browse = new QPushButton(QStringLiteral("..."), this);
    browse->setObjectName(QStringLiteral("browsePaintPath"));
    browse->setMaximumWidth(32);
    paintRow->addWidget(browse);
    layout->addLayout(paintRow);
    connect(browse, &QPushButton::clicked, this, [this, language] {
        const QString chosen = QFileDialog::getOpenFileName(this, QString(), paintPath_->text(),
                                                            RenderQt(msg::shell::kProgramFilter, language));
        if (!chosen.isEmpty()) paintPath_->setText(chosen);
    });

    auto* grid = new QGroupBox(RenderQt(msg::shell::kGridScale, language), this);
    auto* form = new QFormLayout(grid);
    gridX_ = new QSpinBox(grid);
    gridY_ = new QSpinBox(grid);
    for (QSpinBox* box : {gridX_, gridY_}) box->setRange(1, 100);
    gridX_->setValue(initial.gridScaleX);
    gridY_->setValue(initial.gridScaleY);
    form->addRow(RenderQt(msg::common::kFontWidth, language), gridX_);
    form->addRow(RenderQt(msg::common::kFontHeight, language), gridY_);
    layout->addWidget(grid);

    QDialogButtonBox* buttons = OkCancel(strings, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

SystemSettings SystemSettingDialog::settings() const {
    SystemSettings s;
    s.autoCheckVersion = autoCheck_->isChecked();
    s.compress = compress_->isChecked();
    s.paintPath = paintPath_->text().trimmed().toStdString();
    s.gridScaleX = gridX_->value();
    s.gridScaleY = gridY_->value();
    return s;
}

std::optional<SystemSettings> SystemSettingDialog::Ask(const SystemSettings& initial, std::uint8_t language,
                                                       const UiStrings& strings, QWidget* parent) {
    SystemSettingDialog dialog(initial, language, strings, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.settings();
}

}  // namespace corv
