// The rows of a report list: one text per column and one item-data value per row.
#pragma once

#include "Win32Types.h"

#include <QAbstractTableModel>
#include <QString>
#include <vector>

class ReportListModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Inserts a column at `column` (clamped to the end); returns its index.
    int InsertColumn(int column, const QString& heading, Qt::Alignment alignment);
    // Inserts a row at `row` (clamped to the end) with `text` in column 0; returns its index.
    int InsertRow(int row, const QString& text, LPARAM itemData);
    // Sets one cell's text; false for a row or column that does not exist.
    bool SetText(int row, int column, const QString& text);
    bool SetItemData(int row, LPARAM itemData);
    // The row's item data; 0 for a row that does not exist.
    LPARAM ItemData(int row) const;
    bool RemoveRow(int row);

private:
    struct Column {
        QString heading;
        Qt::Alignment alignment;
    };
    struct Row {
        std::vector<QString> texts;
        LPARAM itemData;
    };

    bool IsRow(int row) const { return row >= 0 && row < static_cast<int>(m_rows.size()); }

    std::vector<Column> m_columns;
    std::vector<Row> m_rows;
};
