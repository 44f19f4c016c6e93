// The job list: a report view with single selection, sized columns and one item-data value
// per row. It reports every change of a row (inserted, removed, a text, the selection) through
// itemChanged, the one signal that the button rule of its window follows.
#pragma once

#include "Win32Types.h"

#include <QTreeView>

class ReportListModel;

// Column formats.
inline constexpr int LVCFMT_LEFT = 0;
inline constexpr int LVCFMT_RIGHT = 1;
inline constexpr int LVCFMT_CENTER = 2;

class CReportListCtrl : public QTreeView {
    Q_OBJECT

public:
    explicit CReportListCtrl(QWidget* parent = nullptr);

    // Inserts a column as wide as a text of (title length x m_nWidthFactor + 1) characters in
    // the list's font; returns the new column's index, -1 on failure.
    int AddColumn(int nCol, const QString& heading, int nFormat);
    // With nSubItem 0: inserts a row at nItem with the text and the item data and returns its
    // index (-1 on failure). Otherwise sets that cell of an existing row (TRUE or FALSE).
    int InsertItemText(int nItem, int nSubItem, const QString& text, LPARAM itemData);
    // Sets a cell of an existing row; for nSubItem 0 it also replaces the row's item data.
    BOOL UpdateItemText(int nItem, int nSubItem, const QString& text, LPARAM itemData);
    // The first selected row after nStart, or -1.
    int GetSelectedItem(int nStart) const;

    int GetItemCount() const;
    LPARAM GetItemData(int nItem) const;
    BOOL DeleteItem(int nItem);
    // Clears the state of every row: nothing selected afterwards.
    void ClearAllItemStates();

    int m_nWidthFactor = 3;

signals:
    void itemChanged();

private:
    ReportListModel* m_model;
};
