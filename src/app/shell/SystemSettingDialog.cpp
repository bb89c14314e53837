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

#include "app/common/DocumentDialogs.h"
#include "lang/Language.h"
#include "lang/Localize.h"

namespace corv {

namespace {
QString Text(std::uint8_t language, const char* chinese, const char* english) {
    return UsesChinese(language) ? QString::fromStdString(LocalizeText(chinese, language)) : QString::fromUtf8(english);
}
}  // namespace

SystemSettingDialog::SystemSettingDialog(const SystemSettings& initial, std::uint8_t language, const UiStrings& strings,
                                         QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("SystemSettingDialog"));
    setWindowTitle(Text(language, "系统设置", "System setting"));
    auto* layout = new QVBoxLayout(this);
    autoCheck_ = new QCheckBox(Text(language, "自动检查软件版本", "Auto check vertion of software"), this);
    autoCheck_->setChecked(initial.autoCheckVersion);
    compress_ = new QCheckBox(Text(language, "压缩存储文档(*.cvn)", "Compressed files to store documents(*.cvn)"), this);
    compress_->setChecked(initial.compress);
    layout->addWidget(autoCheck_);
    layout->addWidget(compress_);

    auto* paintRow = new QHBoxLayout;
    paintRow->addWidget(new QLabel(Text(language, "外部绘图工具:", "External painting tools:"), this));
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
                                                            Text(language, "程序 (*)", "Programs (*)"));
        if (!chosen.isEmpty()) paintPath_->setText(chosen);
    });

    auto* grid = new QGroupBox(Text(language, "网格比例", "Grid scale"), this);
    auto* form = new QFormLayout(grid);
    gridX_ = new QSpinBox(grid);
    gridY_ = new QSpinBox(grid);
    for (QSpinBox* box : {gridX_, gridY_}) box->setRange(1, 100);
    gridX_->setValue(initial.gridScaleX);
    gridY_->setValue(initial.gridScaleY);
    form->addRow(Text(language, "宽:", "Width:"), gridX_);
    form->addRow(Text(language, "高:", "Height:"), gridY_);
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
