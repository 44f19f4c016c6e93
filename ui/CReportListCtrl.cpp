#include "CReportListCtrl.h"

#include "ReportListModel.h"

#include <QHeaderView>
#include <QItemSelectionModel>

namespace {

Qt::Alignment ColumnAlignment(int format) {
    switch (format) {
    case LVCFMT_RIGHT:
        return Qt::AlignRight;
    case LVCFMT_CENTER:
        return Qt::AlignHCenter;
    default:
        return Qt::AlignLeft;
    }
}

// The heading repeated up to `length` characters: a text as wide as `length` characters
// of the heading's own kind.
QString MeasuringText(const QString& heading, qsizetype length) {
    QString text;
    text.reserve(length);
    while (text.size() < length) {
        text += heading.left(length - text.size());
    }
    return text;
}

} // namespace

CReportListCtrl::CReportListCtrl(QWidget* parent) : QTreeView(parent), m_model(new ReportListModel(this)) {
    setModel(m_model);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setTextElideMode(Qt::ElideMiddle);
    // The last column takes the rest of the row, so a status text is never cut short.
    header()->setStretchLastSection(true);
    header()->setSectionsMovable(false);

    connect(m_model, &QAbstractItemModel::rowsInserted, this, &CReportListCtrl::itemChanged);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &CReportListCtrl::itemChanged);
    connect(m_model, &QAbstractItemModel::dataChanged, this, &CReportListCtrl::itemChanged);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &CReportListCtrl::itemChanged);
}

int CReportListCtrl::AddColumn(int nCol, const QString& heading, int nFormat) {
    if (nCol < 0) {
        return -1;
    }
    const int width = header()->fontMetrics().horizontalAdvance(
        MeasuringText(heading, heading.size() * m_nWidthFactor + 1));
    const int column = m_model->InsertColumn(nCol, heading, ColumnAlignment(nFormat));
    setColumnWidth(column, width);
    return column;
}

int CReportListCtrl::InsertItemText(int nItem, int nSubItem, const QString& text, LPARAM itemData) {
    if (nSubItem == 0) {
        return nItem < 0 ? -1 : m_model->InsertRow(nItem, text, itemData);
    }
    return m_model->SetText(nItem, nSubItem, text) ? TRUE : FALSE;
}

BOOL CReportListCtrl::UpdateItemText(int nItem, int nSubItem, const QString& text, LPARAM itemData) {
    if (!m_model->SetText(nItem, nSubItem, text)) {
        return FALSE;
    }
    if (nSubItem == 0) {
        m_model->SetItemData(nItem, itemData);
    }
    return TRUE;
}

int CReportListCtrl::GetSelectedItem(int nStart) const {
    int first = -1;
    for (const QModelIndex& index : selectionModel()->selectedRows()) {
        if (index.row() > nStart && (first == -1 || index.row() < first)) {
            first = index.row();
        }
    }
    return first;
}

int CReportListCtrl::GetItemCount() const {
    return m_model->rowCount();
}

LPARAM CReportListCtrl::GetItemData(int nItem) const {
    return m_model->ItemData(nItem);
}

BOOL CReportListCtrl::DeleteItem(int nItem) {
    return m_model->RemoveRow(nItem) ? TRUE : FALSE;
}

void CReportListCtrl::ClearAllItemStates() {
    selectionModel()->clear();
}
