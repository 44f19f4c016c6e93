#include "ReportListModel.h"

#include <algorithm>

int ReportListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ReportListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant ReportListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !IsRow(index.row()) || index.column() >= columnCount()) {
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        const auto& texts = m_rows[static_cast<std::size_t>(index.row())].texts;
        const auto column = static_cast<std::size_t>(index.column());
        return column < texts.size() ? texts[column] : QString();
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(m_columns[static_cast<std::size_t>(index.column())].alignment |
                                   Qt::AlignVCenter);
    }
    return {};
}

QVariant ReportListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
        return {};
    }
    const Column& column = m_columns[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole) {
        return column.heading;
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(column.alignment | Qt::AlignVCenter);
    }
    return {};
}

int ReportListModel::InsertColumn(int column, const QString& heading, Qt::Alignment alignment) {
    column = std::clamp(column, 0, columnCount());
    beginInsertColumns({}, column, column);
    m_columns.insert(m_columns.begin() + column, Column{heading, alignment});
    for (Row& row : m_rows) {
        if (static_cast<std::size_t>(column) <= row.texts.size()) {
            row.texts.insert(row.texts.begin() + column, QString());
        }
    }
    endInsertColumns();
    return column;
}

int ReportListModel::InsertRow(int row, const QString& text, LPARAM itemData) {
    row = std::clamp(row, 0, rowCount());
    beginInsertRows({}, row, row);
    m_rows.insert(m_rows.begin() + row, Row{{text}, itemData});
    endInsertRows();
    return row;
}

bool ReportListModel::SetText(int row, int column, const QString& text) {
    if (!IsRow(row) || column < 0 || column >= columnCount()) {
        return false;
    }
    auto& texts = m_rows[static_cast<std::size_t>(row)].texts;
    const auto cell = static_cast<std::size_t>(column);
    if (cell >= texts.size()) {
        texts.resize(cell + 1);
    }
    if (texts[cell] != text) {
        texts[cell] = text;
        const QModelIndex changed = index(row, column);
        emit dataChanged(changed, changed, {Qt::DisplayRole});
    }
    return true;
}

bool ReportListModel::SetItemData(int row, LPARAM itemData) {
    if (!IsRow(row)) {
        return false;
    }
    m_rows[static_cast<std::size_t>(row)].itemData = itemData;
    return true;
}

LPARAM ReportListModel::ItemData(int row) const {
    return IsRow(row) ? m_rows[static_cast<std::size_t>(row)].itemData : 0;
}

bool ReportListModel::RemoveRow(int row) {
    if (!IsRow(row)) {
        return false;
    }
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
    return true;
}
