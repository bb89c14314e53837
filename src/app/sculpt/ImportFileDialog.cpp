#include "app/sculpt/ImportFileDialog.h"

#include <QCheckBox>
#include <QCursor>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QStringList>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/common/DialogCommon.h"
#include "app/common/FileDialogFolders.h"
#include "base/Prompt.h"
#include "lang/UiStrings.h"
#include "ops/Import.h"
#include "lang/Language.h"
#include "lang/QtText.h"
#include "lang/messages/SculptMessages.h"
#include "lang/messages/CommonMessages.h"
#include "workspace/LayoutOps.h"
#include "workspace/Workspace.h"

namespace corv {

namespace {

constexpr int kPreviewWidth = 360;
constexpr int kPreviewHeight = 300;
constexpr int kMaxPictureSide = 32767;

QSpinBox* Spin(int high, const char* name, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(1, high);
    box->setValue(100);
    return box;
}

}  // namespace

ImportFileDialog::ImportFileDialog(Workspace& ws, Prompt& prompt, bool pictureFirst, QWidget* parent)
    : QDialog(parent), ws_(ws), prompt_(prompt), pictureFirst_(pictureFirst) {
    const std::uint8_t language = ws_.app.language;
    setObjectName(QStringLiteral("ImportFileDialog"));
    setWindowTitle(RenderQt(msg::sculpt::kImportFileTitle, language));

    preview_ = new QLabel(this);
    preview_->setObjectName(QStringLiteral("preview"));
    preview_->setFixedSize(kPreviewWidth, kPreviewHeight);
    preview_->setFrameShape(QFrame::StyledPanel);
    preview_->setAlignment(Qt::AlignCenter);

    spaceX_ = Spin(static_cast<int>(kMaxDxfSpacing), "spaceX", this);
    spaceY_ = Spin(static_cast<int>(kMaxDxfSpacing), "spaceY", this);
    width_ = Spin(kMaxPictureSide, "width", this);
    height_ = Spin(kMaxPictureSide, "height", this);
    pointNum_ = new QLabel(QStringLiteral("0"), this);
    pointNum_->setObjectName(QStringLiteral("pointNum"));
    vertexMode_ = new QCheckBox(RenderQt(msg::sculpt::kVertexMode, language), this);
    vertexMode_->setObjectName(QStringLiteral("vertexMode"));
    vertexMode_->setToolTip(RenderQt(msg::sculpt::kVertexModeTip, language));
    auto* browse = new QPushButton(RenderQt(msg::sculpt::kBrowse, language), this);
    browse->setObjectName(QStringLiteral("browse"));
    auto* fastIdentify = new QPushButton(RenderQt(msg::sculpt::kFastIdentify, language), this);
    fastIdentify->setObjectName(QStringLiteral("fastIdentify"));

    auto* form = new QFormLayout;
    form->addRow(RenderQt(msg::sculpt::kSpaceXLabel, language), spaceX_);
    form->addRow(RenderQt(msg::sculpt::kSpaceYLabel, language), spaceY_);
    form->addRow(RenderQt(msg::common::kFontWidth, language), width_);
    form->addRow(RenderQt(msg::common::kFontHeight, language), height_);
    form->addRow(RenderQt(msg::sculpt::kPointNumLabel, language), pointNum_);
    form->addRow(vertexMode_);
    QDialogButtonBox* buttons = OkCancel(ws_.strings, this);
    auto* side = new QVBoxLayout;
    side->addLayout(form);
    side->addWidget(browse);
    side->addWidget(fastIdentify);
    side->addStretch(1);
    side->addWidget(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(preview_);
    layout->addLayout(side);

    connect(browse, &QPushButton::clicked, this, [this] { Browse(); });
    connect(fastIdentify, &QPushButton::clicked, this, [this] { RunFastIdentify(); });
    connect(spaceX_, &QSpinBox::valueChanged, this, [this] { UpdateGridSize(); });
    connect(spaceY_, &QSpinBox::valueChanged, this, [this] { UpdateGridSize(); });
    connect(vertexMode_, &QCheckBox::toggled, this, [this] { SuggestSpacing(); });
    connect(buttons, &QDialogButtonBox::accepted, this, &ImportFileDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    ShowPreview();
}

int ImportFileDialog::pointCount() const {
    if (drawing_) return static_cast<int>(drawing_->circles.size());
    return identified_ ? static_cast<int>(identified_->centres.size()) : 0;
}

void ImportFileDialog::Browse() {
    const QString dxf = QStringLiteral("DXF(*.dxf)");
    const QString pictures =
        RenderQt(msg::common::kPictures, ws_.app.language) + QStringLiteral("(*.png *.jpg *.jpeg *.bmp *.gif)");
    const QString filter = pictureFirst_ ? pictures + QStringLiteral(";;") + dxf : dxf + QStringLiteral(";;") + pictures;
    // The folder browsed last, else the line file's, else the application home.
    const QString folder = LastFolder(
        ws_, FileKind::Drawing, QString::fromStdString((ws_.lineFilePath.empty() ? ws_.home : ws_.lineFilePath.parent_path()).string()));
    const QString path = QFileDialog::getOpenFileName(this, QString(), folder, filter);
    if (path.isEmpty()) return;
    RememberFolder(ws_, FileKind::Drawing, path);
    LoadFile(path);
}

bool ImportFileDialog::LoadFile(const QString& path) {
    const std::uint8_t language = ws_.app.language;
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        prompt_.Inform(RenderQt(msg::sculpt::kCannotOpen, language).arg(path).toStdString(), PromptIcon::Warning);
        return false;
    }
    if (info.suffix().compare(QStringLiteral("dxf"), Qt::CaseInsensitive) != 0) {
        QImage image;
        if (!image.load(path)) {
            prompt_.Inform(RenderQt(msg::sculpt::kNotAPicture, language)
                               .arg(path)
                               .toStdString(),
                           PromptIcon::Warning);
            return false;
        }
        drawing_.reset();
        identified_.reset();
        photo_ = image;
        width_->setValue(photo_.width());
        height_->setValue(photo_.height());
        pointNum_->setText(QStringLiteral("0"));
        ShowPreview();
        return true;
    }

    drawing_ = ReadDxf(path.toStdString());
    photo_ = QImage();
    identified_.reset();
    pointNum_->setText(QString::number(drawing_->circles.size()));
    SuggestSpacing();
    ShowPreview();
    QStringList warnings;
    if (drawing_->hasEntities && !drawing_->complete) {
        warnings << RenderQt(msg::sculpt::kDxfEndsEarly, language).arg(path);
    }
    if (drawing_->absurd > 0) {
        warnings << RenderQt(msg::sculpt::kAbsurdEntities, language)
                        .arg(drawing_->absurd)
                        .arg(static_cast<qlonglong>(kMaxDxfCoordinate));
    }
    if (!warnings.isEmpty()) prompt_.Inform(warnings.join(QLatin1Char('\n')).toStdString(), PromptIcon::Warning);
    return true;
}

bool ImportFileDialog::RunFastIdentify() {
    // The dots only: the layout stays, the found picture becomes the background on OK.
    const bool looking = !photo_.isNull();
    if (looking) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    auto identified = ops::IdentifyLeds(ws_, ops::IdentifyRequest{photo_, std::nullopt, DefaultChip(ws_)}, prompt_, ProgressFn());
    if (looking) QGuiApplication::restoreOverrideCursor();
    if (!identified) {
        // No picture yet, no dots found, or a grid past the cell limit.
        prompt_.Inform(identified.message(), PromptIcon::Warning);
        return false;
    }
    identified_ = std::move(identified->found);
    width_->setValue(identified_->cols);
    height_->setValue(identified_->rows);
    pointNum_->setText(QString::number(identified_->centres.size()));
    ShowPreview();
    return true;
}

void ImportFileDialog::accept() {
    if (!drawing_ && photo_.isNull()) {
        prompt_.Inform(RenderQt(msg::sculpt::kOpenDrawingFirst, ws_.app.language).toStdString(),
                       PromptIcon::Warning);
        return;
    }
    if (drawing_ ? AcceptDrawing() : AcceptPicture()) QDialog::accept();
}

bool ImportFileDialog::AcceptDrawing() {
    ops::DxfImportRequest request;
    request.drawing = &*drawing_;
    request.spaceX = spaceX_->value();
    request.spaceY = spaceY_->value();
    request.vertexMode = vertexMode_->isChecked();
    request.defaultChip = DefaultChip(ws_);
    request.pictureWhenNoLeds = std::pair{width_->value(), height_->value()};
    const auto imported = ops::ImportDrawing(ws_, request, prompt_, ProgressFn());
    if (!imported) {
        prompt_.Inform(imported.message(), PromptIcon::Warning);
        return false;
    }
    if (imported->linesImported) {
        const DxfImportResult& result = imported->result;
        if (result.sharedCells > 0) {
            prompt_.Inform(Format(ws_.strings.dxfSharedCells.c_str(), result.sharedCells, result.leds, imported->spaceX,
                                  imported->spaceY),
                           PromptIcon::Warning);
        }
        outcome_ = Outcome::LinesImported;
        return true;
    }
    picture_ = imported->picture;
    outcome_ = Outcome::Picture;
    return true;
}

bool ImportFileDialog::AcceptPicture() {
    if (!identified_ && !RunFastIdentify()) return false;
    picture_ = identified_->leds.convertToFormat(QImage::Format_RGB32);
    outcome_ = Outcome::Picture;
    return true;
}

void ImportFileDialog::SuggestSpacing() {
    if (!drawing_) return;
    const auto [x, y] = SuggestedSpacing(*drawing_, vertexMode_->isChecked());
    spaceX_->setValue(x);
    spaceY_->setValue(y);
    UpdateGridSize();  // also when the values stayed as they were
}

void ImportFileDialog::UpdateGridSize() {
    if (!drawing_) return;
    const DxfDrawing& d = *drawing_;
    const double w = d.hasExtent ? d.maxX - d.minX : 0, h = d.hasExtent ? d.maxY - d.minY : 0;
    auto cells = [](double extent, int spacing) {
        return static_cast<int>(std::clamp(std::trunc(extent / spacing + 1.5), 1.0, static_cast<double>(kMaxPictureSide)));
    };
    width_->setValue(cells(w, spaceX_->value()));
    height_->setValue(cells(h, spaceY_->value()));
}

void ImportFileDialog::ShowPreview() {
    QImage canvas(kPreviewWidth, kPreviewHeight, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    constexpr double kMargin = 8;
    if (drawing_ && drawing_->hasExtent) {
        const DxfDrawing& d = *drawing_;
        const double w = d.maxX - d.minX, h = d.maxY - d.minY;
        const double inf = std::numeric_limits<double>::infinity();
        double scale = std::min(w > 0 ? (kPreviewWidth - 2 * kMargin) / w : inf, h > 0 ? (kPreviewHeight - 2 * kMargin) / h : inf);
        if (!std::isfinite(scale)) scale = 1;
        const double ox = (kPreviewWidth - w * scale) / 2, oy = (kPreviewHeight - h * scale) / 2;
        auto at = [&](DxfPoint p) { return QPointF(ox + (p.x - d.minX) * scale, oy + (d.maxY - p.y) * scale); };
        painter.setPen(QPen(Qt::darkGray, 1));
        for (const auto& line : d.lines) painter.drawLine(at(line.start), at(line.end));
        for (const auto& polyline : d.polylines) {
            for (std::size_t i = 1; i < polyline.size(); ++i) painter.drawLine(at(polyline[i - 1]), at(polyline[i]));
        }
        painter.setPen(QPen(Qt::blue, 1));
        for (const auto& circle : d.circles) {
            const double r = std::max(circle.radius * scale, 1.5);
            painter.drawEllipse(at(circle.centre), r, r);
        }
    } else if (!photo_.isNull()) {
        canvas.fill(Qt::darkGray);
        const QImage shown = photo_.scaled(kPreviewWidth, kPreviewHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        const double factor = static_cast<double>(shown.width()) / photo_.width();
        const QPointF origin((kPreviewWidth - shown.width()) / 2.0, (kPreviewHeight - shown.height()) / 2.0);
        painter.drawImage(origin, shown);
        if (identified_) {
            painter.setPen(QPen(Qt::red, 1.5));
            painter.setBrush(Qt::NoBrush);
            const double r = std::max(identified_->pitch * factor * 0.35, 2.0);
            for (const QPointF& c : identified_->centres) painter.drawEllipse(origin + c * factor, r, r);
        }
    }
    painter.end();
    preview_->setPixmap(QPixmap::fromImage(canvas));
}

}  // namespace corv
