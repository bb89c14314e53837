#include "app/sculpt/BudgetPanel.h"

#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>
#include <set>

#include "app/net/NetworkFilePath.h"
#include "base/Prompt.h"
#include "lang/QtText.h"
#include "lang/messages/BudgetPanelMessages.h"
#include "workspace/Workspace.h"

namespace corv {

namespace {

namespace bm = msg::budgetpanel;

QDoubleSpinBox* ValueBox(double low, double high, double value, int decimals, QWidget* parent) {
    auto* box = new QDoubleSpinBox(parent);
    box->setRange(low, high);
    box->setDecimals(decimals);
    box->setValue(value);
    return box;
}

QString Amps(double amps) { return QString::number(amps, 'f', 3); }

QString Fps(double fps) { return std::isinf(fps) ? QStringLiteral("-") : QString::number(fps, 'f', 1); }

}  // namespace

BudgetPanel::BudgetPanel(Workspace& ws, Prompt& prompt, QWidget* parent) : QWidget(parent), ws_(ws), prompt_(prompt) {
    const std::uint8_t lang = ws_.app.language;
    auto* form = new QFormLayout;
    milliamps_ = ValueBox(0, 1000, kDefaultComponentMilliamps, 1, this);
    idle_ = ValueBox(0, 1000, kDefaultIdleMilliamps, 1, this);
    volts_ = ValueBox(0.1, 1000, kDefaultSupplyVolts, 1, this);
    fuse_ = ValueBox(0, 100000, 0, 2, this);
    fuse_->setSpecialValueText(RenderQt(bm::kNoFuse, lang));
    form->addRow(RenderQt(bm::kMilliamps, lang), milliamps_);
    form->addRow(RenderQt(bm::kIdleMilliamps, lang), idle_);
    form->addRow(RenderQt(bm::kVolts, lang), volts_);
    form->addRow(RenderQt(bm::kFuseAmps, lang), fuse_);
    compute_ = new QPushButton(RenderQt(bm::kCompute, lang), this);
    connect(compute_, &QPushButton::clicked, this, [this] { Compute(); });
    table_ = new QTableWidget(0, 5, this);
    table_->setObjectName(QStringLiteral("budgetTable"));
    table_->setHorizontalHeaderLabels({RenderQt(bm::kLine, lang), RenderQt(bm::kLeds, lang), RenderQt(bm::kMaxFps, lang),
                                       RenderQt(bm::kPeakAmps, lang), RenderQt(bm::kMeanAmps, lang)});
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    total_ = new QLabel(this);
    total_->setWordWrap(true);
    warnings_ = new QListWidget(this);
    warnings_->setMaximumHeight(110);
    warnings_->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(compute_);
    layout->addWidget(table_, 1);
    layout->addWidget(total_);
    layout->addWidget(warnings_);
}

BudgetOptions BudgetPanel::options() const {
    BudgetOptions options;
    options.componentMilliamps = milliamps_->value();
    options.idleMilliamps = idle_->value();
    options.volts = volts_->value();
    if (fuse_->value() > 0) options.fuseAmps = fuse_->value();
    options.fps = playRate ? playRate() : 20;
    return options;
}

bool BudgetPanel::Compute() {
    const std::uint8_t lang = ws_.app.language;
    table_->setRowCount(0);
    warnings_->clear();
    last_.reset();
    ops::BudgetRequest request;
    request.options = options();
    request.lineFile = LineFileInUse(ws_);
    if (!ws_.frames.HasCurrent() || ws_.frames.CurrentFrames().empty()) {
        total_->setText(RenderQt(bm::kNoClip, lang));
        return false;
    }
    auto reply = ops::ComputeBudget(ws_, request, prompt_, {});
    if (!reply) {
        total_->setText(QString::fromStdString(reply.message()));
        return false;
    }
    last_ = std::move(*reply);
    Show(*last_);
    return true;
}

void BudgetPanel::Show(const ops::BudgetReply& reply) {
    const std::uint8_t lang = ws_.app.language;
    const PowerBudget& b = reply.budget;
    // The lines warned of: too slow, over the fuse, or on a slave over the fuse.
    std::set<int> marked;
    for (const BudgetWarning& w : b.warnings) {
        if (w.kind != BudgetWarning::SlaveOverFuse) {
            marked.insert(w.number);
            continue;
        }
        for (const SlaveBudget& s : b.slaves) {
            if (s.slave == w.number) marked.insert(s.lines.begin(), s.lines.end());
        }
    }
    table_->setRowCount(static_cast<int>(b.lines.size()));
    for (int row = 0; row < static_cast<int>(b.lines.size()); ++row) {
        const LineBudget& line = b.lines[static_cast<std::size_t>(row)];
        const QStringList cells{QString::number(line.line), QString::number(line.leds), Fps(line.maxFps),
                                Amps(line.peakAmps), Amps(line.meanAmps)};
        for (int col = 0; col < cells.size(); ++col) {
            auto* item = new QTableWidgetItem(cells[col]);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (marked.count(line.line)) {
                item->setBackground(QColor(255, 205, 205));
                item->setForeground(QColor(140, 0, 0));
            }
            table_->setItem(row, col, item);
        }
    }
    total_->setText(RenderQt(bm::kTotal, lang, {QString::number(b.frames), Amps(b.total.peakAmps), Amps(b.total.meanAmps),
                                               QString::number(b.total.peakWatts, 'f', 1)}));
    if (reply.warnings.empty()) {
        warnings_->addItem(RenderQt(bm::kNoWarnings, lang));
        return;
    }
    for (const std::string& w : reply.warnings) {
        auto* item = new QListWidgetItem(QString::fromStdString(w), warnings_);
        item->setForeground(QColor(160, 0, 0));
    }
}

}  // namespace corv
