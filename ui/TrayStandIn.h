// Where the desktop has no notification area at all, the program would be unreachable: this small
// frameless window in the corner of the screen stands in for the tray icon, with the same picture,
// the same tip, and the same three clicks reported as a tray icon reports them.
#pragma once

#include "Win32Types.h"

#include <QIcon>
#include <QWidget>
#include <functional>

class TrayStandIn : public QWidget {
public:
    using ClickHandler = std::function<void(LPARAM mouseMessage)>;

    // Placed at the bottom right of the primary screen's free area; call show() to put it up.
    TrayStandIn(const QIcon& icon, const QString& tip, ClickHandler onClick);

protected:
    void paintEvent(QPaintEvent* event) override;
    // A left press is WM_LBUTTONDOWN and a right press WM_RBUTTONDOWN; the second press of a
    // left double-click is WM_LBUTTONDBLCLK.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QIcon m_icon;
    ClickHandler m_onClick;
};
