#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <filesystem>

#include "net/NetworkFile.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace corv {

class Workspace;

// "Network output": the controllers of the network description beside the line file in use,
// one row each (lines, protocol, address, port, universes, E1.31's priority, source name and
// multicast, synchronisation), with the channels and universes each sends of the workspace's
// layout and the description's warnings, counted again at every change. OK writes the file
// (the dialog stays open with the reason when it cannot); Cancel leaves it as it was.
class NetworkOutputDialog : public QDialog {
    Q_OBJECT
public:
    // The table's columns; the last two are counts, not edited.
    enum Column {
        kLinesColumn,
        kProtocolColumn,
        kAddressColumn,
        kPortColumn,
        kUniverseColumn,
        kChannelsPerUniverseColumn,
        kLineStartsUniverseColumn,
        kPriorityColumn,
        kSourceNameColumn,
        kSyncColumn,
        kMulticastColumn,
        kChannelsColumn,
        kUniversesColumn,
        kColumnCount
    };

    // Opens `file` when it is there (a file that does not read starts empty, with the
    // reader's message among the warnings).
    NetworkOutputDialog(Workspace& ws, std::filesystem::path file, QWidget* parent = nullptr);

    const std::filesystem::path& file() const { return file_; }
    // The controllers as the table holds them, sections Controller1, Controller2, ... in row
    // order (a row whose lines do not read has none).
    net::NetworkDescription description() const;
    int controllerCount() const;
    // A new row: E1.31 to the lines no other row drives, its universes after the last row's.
    void AddController();
    void RemoveController(int row);

    // What the table shows of a row's channels and universes ("-" when there is no count).
    QString channelsText(int row) const;
    QString universesText(int row) const;
    // Every warning shown: the file's, the rows' and the description's.
    QStringList warnings() const { return warnings_; }

    QTableWidget* table() const { return table_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* removeButton() const { return remove_; }
    QLabel* warningsLabel() const { return warningsLabel_; }
    QLabel* totalsLabel() const { return totals_; }
    QLineEdit* linesEdit(int row) const;
    QComboBox* protocolBox(int row) const;
    QLineEdit* addressEdit(int row) const;
    QSpinBox* portBox(int row) const;
    QSpinBox* universeBox(int row) const;
    QSpinBox* channelsPerUniverseBox(int row) const;
    QCheckBox* lineStartsUniverseBox(int row) const;
    QSpinBox* priorityBox(int row) const;
    QLineEdit* sourceNameEdit(int row) const;
    QCheckBox* syncBox(int row) const;
    QCheckBox* multicastBox(int row) const;

    void accept() override;

private:
    void AddRow(const net::NetController& controller);
    // The protocol of a row was chosen: the port follows when it was the old protocol's
    // default, the universes take the new protocol's range, the fields it has no use for rest.
    void ProtocolChosen(QComboBox* box);
    void Refresh();
    int RowOf(const QWidget* cell, Column column) const;
    net::NetController RowController(int row, bool* linesRead = nullptr) const;

    Workspace& ws_;
    std::uint8_t language_;
    std::filesystem::path file_;
    QString fileProblem_;  // the reader's message when the file did not read
    QStringList warnings_;
    QTableWidget* table_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* remove_ = nullptr;
    QLabel* warningsLabel_ = nullptr;
    QLabel* totals_ = nullptr;
    bool filling_ = false;  // rows are being made: no counting yet
};

}  // namespace corv
