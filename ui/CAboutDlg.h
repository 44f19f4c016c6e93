// The About box: the program icon, the name with its version, and a link to the product web site.
#pragma once

#include "DialogLayout.h"

#include <QDialog>

class srHyperLink;

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    // Runs the box until OK or Escape; the result is IDOK or IDCANCEL.
    int DoModal();

    QWidget* GetDlgItem(int id) const { return m_controls.value(id); }
    srHyperLink& HyperLink() const { return *m_HyperLink; }

private:
    DialogWidgets m_controls;
    srHyperLink* m_HyperLink = nullptr;
};
