#include "app/net/NetworkOutputDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <set>
#include <utility>

#include "app/common/DialogCommon.h"
#include "lang/QtText.h"
#include "lang/Render.h"
#include "lang/messages/NetMessages.h"
#include "net/ChannelLayout.h"
#include "net/Sender.h"
#include "workspace/Workspace.h"

namespace corv {

namespace {

using Column = NetworkOutputDialog::Column;

QString Q(const std::string& s) { return QString::fromStdString(s); }

constexpr net::Protocol kProtocols[] = {net::Protocol::E131, net::Protocol::ArtNet, net::Protocol::Ddp};

// A failure as the user reads it: the message in the language, with the reason behind it when
// the message does not hold it already.
std::string FailureText(const Failure& failure, std::uint8_t language) {
    std::string text = Render(failure, language);
    if (!failure.reason.empty() && text.find(failure.reason) == std::string::npos) text += " (" + failure.reason + ")";
    return text;
}

std::string SectionOf(int row) { return "Controller" + std::to_string(row + 1); }

// The universes a protocol's rows may start at (DDP keeps what a universe protocol takes).
std::pair<int, int> UniverseRange(net::Protocol protocol) {
    if (protocol == net::Protocol::Ddp) return {0, net::LastUniverse(net::Protocol::E131)};
    return {net::FirstUniverse(protocol), net::LastUniverse(protocol)};
}

net::Protocol ProtocolOf(const QComboBox* box) {
    return static_cast<net::Protocol>(box->currentData().toInt());
}

QSpinBox* SpinBox(int low, int high, int value, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setRange(low, high);
    box->setValue(value);
    return box;
}

QCheckBox* CheckBox(bool checked, QWidget* parent) {
    auto* box = new QCheckBox(parent);
    box->setChecked(checked);
    return box;
}

}  // namespace

NetworkOutputDialog::NetworkOutputDialog(Workspace& ws, std::filesystem::path file, QWidget* parent)
    : QDialog(parent), ws_(ws), language_(ws.app.language), file_(std::move(file)) {
    setObjectName(QStringLiteral("NetworkOutputDialog"));
    setWindowTitle(RenderQt(msg::net::kNetworkOutputTitle, language_));
    auto* layout = new QVBoxLayout(this);
    auto* fileLabel = new QLabel(RenderQt(msg::net::kNetworkFileLabel, language_, {Q(file_.string())}), this);
    fileLabel->setObjectName(QStringLiteral("networkFile"));
    fileLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(fileLabel);

    table_ = new QTableWidget(0, kColumnCount, this);
    table_->setObjectName(QStringLiteral("controllers"));
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    const Text* headers[kColumnCount] = {
        &msg::net::kColumnLines,       &msg::net::kColumnProtocol,
        &msg::net::kColumnAddress,     &msg::net::kColumnPort,
        &msg::net::kColumnUniverse,    &msg::net::kColumnChannelsPerUniverse,
        &msg::net::kColumnLineStartsUniverse, &msg::net::kColumnPriority,
        &msg::net::kColumnSourceName,  &msg::net::kColumnSync,
        &msg::net::kColumnMulticast,   &msg::net::kColumnChannels,
        &msg::net::kColumnUniverses,
    };
    QStringList titles;
    for (const Text* header : headers) titles << RenderQt(*header, language_);
    table_->setHorizontalHeaderLabels(titles);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->setMinimumSize(900, 220);
    layout->addWidget(table_, 1);

    auto* buttonsRow = new QHBoxLayout;
    add_ = new QPushButton(RenderQt(msg::net::kAddController, language_), this);
    add_->setObjectName(QStringLiteral("addController"));
    remove_ = new QPushButton(RenderQt(msg::net::kRemoveController, language_), this);
    remove_->setObjectName(QStringLiteral("removeController"));
    buttonsRow->addWidget(add_);
    buttonsRow->addWidget(remove_);
    buttonsRow->addStretch(1);
    totals_ = new QLabel(this);
    totals_->setObjectName(QStringLiteral("networkTotals"));
    buttonsRow->addWidget(totals_);
    layout->addLayout(buttonsRow);
    connect(add_, &QPushButton::clicked, this, &NetworkOutputDialog::AddController);
    connect(remove_, &QPushButton::clicked, this, [this] { RemoveController(table_->currentRow()); });

    warningsLabel_ = new QLabel(this);
    warningsLabel_->setObjectName(QStringLiteral("networkWarnings"));
    warningsLabel_->setWordWrap(true);
    warningsLabel_->setTextFormat(Qt::PlainText);
    warningsLabel_->setStyleSheet(QStringLiteral("color: #b00000;"));
    layout->addWidget(warningsLabel_);

    QDialogButtonBox* buttons = OkCancel(ws_.strings, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &NetworkOutputDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    std::error_code ec;
    if (!file_.empty() && std::filesystem::exists(file_, ec)) {
        auto read = net::ReadNetworkFile(file_, language_);
        if (read) {
            filling_ = true;
            for (const net::NetController& controller : read->controllers) AddRow(controller);
            filling_ = false;
        } else {
            fileProblem_ = Q(FailureText(read.failure(), language_)) + QLatin1Char('\n') +
                           RenderQt(msg::net::kUnreadableReplaced, language_);
        }
    }
    Refresh();
    resize(1320, 420);  // every column in view, the counts too
}

QLineEdit* NetworkOutputDialog::linesEdit(int row) const {
    return qobject_cast<QLineEdit*>(table_->cellWidget(row, kLinesColumn));
}
QComboBox* NetworkOutputDialog::protocolBox(int row) const {
    return qobject_cast<QComboBox*>(table_->cellWidget(row, kProtocolColumn));
}
QLineEdit* NetworkOutputDialog::addressEdit(int row) const {
    return qobject_cast<QLineEdit*>(table_->cellWidget(row, kAddressColumn));
}
QSpinBox* NetworkOutputDialog::portBox(int row) const {
    return qobject_cast<QSpinBox*>(table_->cellWidget(row, kPortColumn));
}
QSpinBox* NetworkOutputDialog::universeBox(int row) const {
    return qobject_cast<QSpinBox*>(table_->cellWidget(row, kUniverseColumn));
}
QSpinBox* NetworkOutputDialog::channelsPerUniverseBox(int row) const {
    return qobject_cast<QSpinBox*>(table_->cellWidget(row, kChannelsPerUniverseColumn));
}
QCheckBox* NetworkOutputDialog::lineStartsUniverseBox(int row) const {
    return qobject_cast<QCheckBox*>(table_->cellWidget(row, kLineStartsUniverseColumn));
}
QSpinBox* NetworkOutputDialog::priorityBox(int row) const {
    return qobject_cast<QSpinBox*>(table_->cellWidget(row, kPriorityColumn));
}
QLineEdit* NetworkOutputDialog::sourceNameEdit(int row) const {
    return qobject_cast<QLineEdit*>(table_->cellWidget(row, kSourceNameColumn));
}
QCheckBox* NetworkOutputDialog::syncBox(int row) const {
    return qobject_cast<QCheckBox*>(table_->cellWidget(row, kSyncColumn));
}
QCheckBox* NetworkOutputDialog::multicastBox(int row) const {
    return qobject_cast<QCheckBox*>(table_->cellWidget(row, kMulticastColumn));
}

int NetworkOutputDialog::controllerCount() const { return table_->rowCount(); }

void NetworkOutputDialog::AddRow(const net::NetController& c) {
    const int row = table_->rowCount();
    table_->insertRow(row);
    QWidget* parent = table_->viewport();
    auto* lines = new QLineEdit(Q(net::FormatLines(c.lines)), parent);
    lines->setPlaceholderText(QStringLiteral("1-4,7"));
    auto* protocol = new QComboBox(parent);
    for (const net::Protocol p : kProtocols) protocol->addItem(QString::fromLatin1(net::ProtocolName(p)), static_cast<int>(p));
    protocol->setCurrentIndex(protocol->findData(static_cast<int>(c.protocol)));
    protocol->setProperty("shownProtocol", static_cast<int>(c.protocol));
    auto* address = new QLineEdit(Q(c.address), parent);
    address->setPlaceholderText(QStringLiteral("192.168.1.50"));
    const auto [low, high] = UniverseRange(c.protocol);
    table_->setCellWidget(row, kLinesColumn, lines);
    table_->setCellWidget(row, kProtocolColumn, protocol);
    table_->setCellWidget(row, kAddressColumn, address);
    table_->setCellWidget(row, kPortColumn, SpinBox(1, 65535, c.port, parent));
    table_->setCellWidget(row, kUniverseColumn, SpinBox(low, high, c.universe, parent));
    table_->setCellWidget(row, kChannelsPerUniverseColumn, SpinBox(1, 512, c.channelsPerUniverse, parent));
    table_->setCellWidget(row, kLineStartsUniverseColumn, CheckBox(c.lineStartsUniverse, parent));
    table_->setCellWidget(row, kPriorityColumn, SpinBox(0, 200, c.priority, parent));
    auto* source = new QLineEdit(Q(c.sourceName), parent);
    source->setPlaceholderText(QString::fromLatin1(net::kDefaultSourceName));
    source->setMaxLength(63);
    table_->setCellWidget(row, kSourceNameColumn, source);
    table_->setCellWidget(row, kSyncColumn, CheckBox(c.sync, parent));
    table_->setCellWidget(row, kMulticastColumn, CheckBox(c.multicast, parent));
    for (const int column : {kChannelsColumn, kUniversesColumn}) {
        auto* item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table_->setItem(row, column, item);
    }

    // Every change counts again.
    for (QLineEdit* edit : {lines, address, source}) connect(edit, &QLineEdit::textChanged, this, &NetworkOutputDialog::Refresh);
    for (const int column : {kPortColumn, kUniverseColumn, kChannelsPerUniverseColumn, kPriorityColumn}) {
        connect(qobject_cast<QSpinBox*>(table_->cellWidget(row, column)), &QSpinBox::valueChanged, this,
                &NetworkOutputDialog::Refresh);
    }
    for (const int column : {kLineStartsUniverseColumn, kSyncColumn, kMulticastColumn}) {
        connect(qobject_cast<QCheckBox*>(table_->cellWidget(row, column)), &QCheckBox::toggled, this,
                &NetworkOutputDialog::Refresh);
    }
    connect(protocol, &QComboBox::currentIndexChanged, this, [this, protocol] { ProtocolChosen(protocol); });
    ProtocolChosen(protocol);
}

int NetworkOutputDialog::RowOf(const QWidget* cell, Column column) const {
    for (int row = 0; row < table_->rowCount(); ++row) {
        if (table_->cellWidget(row, column) == cell) return row;
    }
    return -1;
}

void NetworkOutputDialog::ProtocolChosen(QComboBox* box) {
    const int row = RowOf(box, kProtocolColumn);
    if (row < 0) return;
    const net::Protocol shown = static_cast<net::Protocol>(box->property("shownProtocol").toInt());
    const net::Protocol chosen = ProtocolOf(box);
    box->setProperty("shownProtocol", static_cast<int>(chosen));
    const bool wasFilling = filling_;
    filling_ = true;  // one count once the row is set
    if (chosen != shown && portBox(row)->value() == net::DefaultPort(shown)) portBox(row)->setValue(net::DefaultPort(chosen));
    const auto [low, high] = UniverseRange(chosen);
    universeBox(row)->setRange(low, high);
    const bool universes = chosen != net::Protocol::Ddp;
    const bool e131 = chosen == net::Protocol::E131;
    universeBox(row)->setEnabled(universes);
    channelsPerUniverseBox(row)->setEnabled(universes);
    lineStartsUniverseBox(row)->setEnabled(universes);
    priorityBox(row)->setEnabled(e131);
    sourceNameEdit(row)->setEnabled(e131);
    syncBox(row)->setEnabled(universes);
    if (!e131) multicastBox(row)->setChecked(false);
    multicastBox(row)->setEnabled(e131);
    filling_ = wasFilling;
    Refresh();
}

net::NetController NetworkOutputDialog::RowController(int row, bool* linesRead) const {
    net::NetController c;
    c.section = SectionOf(row);
    c.protocol = ProtocolOf(protocolBox(row));
    c.address = addressEdit(row)->text().trimmed().toStdString();
    c.port = static_cast<std::uint16_t>(portBox(row)->value());
    c.multicast = c.protocol == net::Protocol::E131 && multicastBox(row)->isChecked();
    auto lines = net::ParseLines(linesEdit(row)->text().toStdString());
    if (lines) c.lines = std::move(*lines);
    if (linesRead) *linesRead = lines.ok();
    c.universe = universeBox(row)->value();
    c.channelsPerUniverse = channelsPerUniverseBox(row)->value();
    c.lineStartsUniverse = lineStartsUniverseBox(row)->isChecked();
    c.priority = priorityBox(row)->value();
    c.sourceName = sourceNameEdit(row)->text().toStdString();
    c.sync = syncBox(row)->isChecked();
    return c;
}

net::NetworkDescription NetworkOutputDialog::description() const {
    net::NetworkDescription d;
    for (int row = 0; row < table_->rowCount(); ++row) d.controllers.push_back(RowController(row));
    return d;
}

void NetworkOutputDialog::AddController() {
    net::NetController c;
    // The lines of the layout no row drives yet.
    std::set<int> driven;
    for (int row = 0; row < table_->rowCount(); ++row) {
        for (const int line : RowController(row).lines) driven.insert(line);
    }
    for (int line = 1; line <= ws_.layout.setting.lineCount; ++line) {
        if (!driven.count(line)) c.lines.push_back(line);
    }
    // E1.31 universes go on after the last row's.
    if (const int last = table_->rowCount() - 1; last >= 0 && ProtocolOf(protocolBox(last)) == net::Protocol::E131) {
        c.universe = std::min(net::LastUniverse(net::Protocol::E131),
                              universeBox(last)->value() + std::max(1, table_->item(last, kUniversesColumn)->text().toInt()));
    }
    filling_ = true;
    AddRow(c);
    filling_ = false;
    table_->setCurrentCell(table_->rowCount() - 1, kLinesColumn);
    Refresh();
}

void NetworkOutputDialog::RemoveController(int row) {
    if (row < 0 || row >= table_->rowCount()) return;
    table_->removeRow(row);
    Refresh();
}

QString NetworkOutputDialog::channelsText(int row) const {
    const QTableWidgetItem* item = table_->item(row, kChannelsColumn);
    return item ? item->text() : QString();
}

QString NetworkOutputDialog::universesText(int row) const {
    const QTableWidgetItem* item = table_->item(row, kUniversesColumn);
    return item ? item->text() : QString();
}

void NetworkOutputDialog::Refresh() {
    if (filling_) return;
    warnings_.clear();
    if (!fileProblem_.isEmpty()) warnings_ << fileProblem_;
    const net::OutputLevels levels = net::BuildOutputLevels(ws_.layout.setting);
    net::NetworkDescription read;  // the rows whose lines read, for the description's warnings
    std::size_t channels = 0, universes = 0;
    for (int row = 0; row < table_->rowCount(); ++row) {
        bool linesRead = false;
        const net::NetController c = RowController(row, &linesRead);
        QString channelText = QStringLiteral("-"), universeText = QStringLiteral("-");
        if (!linesRead) {
            const auto parsed = net::ParseLines(linesEdit(row)->text().toStdString());
            warnings_ << RenderQt(msg::net::kControllerProblem, language_,
                                  {Q(c.section), Q(FailureText(parsed.failure(), language_))});
        } else if (auto built = net::ChannelLayout::Build(ws_.layout, ws_.lampTypes, levels, c)) {
            channels += built->channelCount();
            universes += built->universes().size();
            channelText = QString::number(built->channelCount());
            if (c.protocol != net::Protocol::Ddp) universeText = QString::number(built->universes().size());
        } else {
            warnings_ << Q(FailureText(built.failure(), language_));
        }
        if (linesRead) read.controllers.push_back(c);
        table_->item(row, kChannelsColumn)->setText(channelText);
        table_->item(row, kUniversesColumn)->setText(universeText);
    }
    table_->setVerticalHeaderLabels([this] {
        QStringList names;
        for (int row = 0; row < table_->rowCount(); ++row) names << Q(SectionOf(row));
        return names;
    }());
    for (const std::string& warning : net::DescriptionWarnings(read, language_)) warnings_ << Q(warning);
    totals_->setText(RenderQt(msg::net::kNetworkTotals, language_,
                              {QString::number(table_->rowCount()), QString::number(channels), QString::number(universes)}));
    warningsLabel_->setText(warnings_.join(QLatin1Char('\n')));
    remove_->setEnabled(table_->rowCount() > 0);
}

void NetworkOutputDialog::accept() {
    for (int row = 0; row < table_->rowCount(); ++row) {
        const auto parsed = net::ParseLines(linesEdit(row)->text().toStdString());
        if (parsed) continue;
        Warn(this, windowTitle(),
             RenderQt(msg::net::kControllerProblem, language_, {Q(SectionOf(row)), Q(FailureText(parsed.failure(), language_))}),
             ws_.strings);
        table_->setCurrentCell(row, kLinesColumn);
        linesEdit(row)->setFocus();
        linesEdit(row)->selectAll();
        return;  // the dialog stays open
    }
    const auto written = net::WriteNetworkFile(file_, description(), language_);
    if (!written) {
        Warn(this, windowTitle(),
             RenderQt(msg::net::kCannotWriteNetworkFile, language_,
                      {Q(file_.string()), Q(FailureText(written.failure(), language_))}),
             ws_.strings);
        return;
    }
    QDialog::accept();
}

}  // namespace corv
