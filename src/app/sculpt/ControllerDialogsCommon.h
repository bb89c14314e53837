#pragma once

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QString>
#include <QStringList>
#include <QTableWidget>
#include <algorithm>
#include <string>
#include <vector>

// What the controller dialogs of the sculpt window share: texts, buttons and the lists.
namespace corv::controller_dialogs {

inline QString Q(const std::string& text) { return QString::fromStdString(text); }

inline QStringList List(const std::vector<std::string>& texts) {
    QStringList list;
    for (const std::string& t : texts) list << Q(t);
    return list;
}

inline QPushButton* Button(const QString& text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

// A read-only list with full-row selection and grid lines.
inline QTableWidget* MakeList(const std::vector<std::string>& columns, const char* name, QWidget* parent) {
    auto* t = new QTableWidget(0, static_cast<int>(columns.size()), parent);
    t->setObjectName(QString::fromLatin1(name));
    t->setHorizontalHeaderLabels(List(columns));
    t->verticalHeader()->hide();
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setShowGrid(true);
    return t;
}

// Rewrites the list's texts in place, so rows that stay keep their selection.
inline void SetRows(QTableWidget* table, const std::vector<QStringList>& rows) {
    const QSignalBlocker blocker(table);
    table->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < table->rowCount(); ++r) {
        const QStringList& row = rows[static_cast<std::size_t>(r)];
        for (int c = 0; c < row.size() && c < table->columnCount(); ++c) {
            QTableWidgetItem* item = table->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                table->setItem(r, c, item);
            }
            item->setText(row[c]);
        }
    }
}

inline std::vector<int> SelectedRows(const QTableWidget* table) {
    std::vector<int> rows;
    for (const QModelIndex& index : table->selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

}  // namespace corv::controller_dialogs
