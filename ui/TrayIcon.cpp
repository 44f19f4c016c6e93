// The main window's notification-area icon: added by its timer, its clicks, its popup menu
// and its removal.
#include "CConverterDlg.h"
#include "MenuTemplate.h"
#include "StringTable.h"
#include "SystemTrayIcon.h"
#include "Window.h"
#include "resource.h"

#include <QCursor>
#include <QMenu>

void CConverterDlg::OnTrayIconTimer() {
    if (m_trayIcon->Add(m_hTrayIcon, QString::fromUtf8(LoadStringResource(IDS_APP_TITLE)))) {
        m_trayIconTimer.stop();
    }
}

bool CConverterDlg::OnTrayNotify(LPARAM mouseMessage) {
    switch (mouseMessage) {
    case WM_LBUTTONDOWN:
        if (isVisible()) {
            raise();
            activateWindow();
        }
        return true;
    case WM_LBUTTONDBLCLK:
        if (isVisible()) {
            hide();
        } else {
            show();
            raise();
            activateWindow();
        }
        return true;
    case WM_RBUTTONDOWN:
        // The menu runs after this notification has returned.
        PostMessage(WM_COMMAND, ID_TRAYMENU, 0);
        return true;
    default:
        return false;
    }
}

void CConverterDlg::OnTrayMenu() {
    if (isVisible()) {
        activateWindow();
    }
    QMenu menu;
    for (const MenuItem& item : kTrayMenu) {
        if (item.text[0] == '\0') {
            menu.addSeparator();
        } else {
            menu.addAction(QString::fromUtf8(item.text))->setData(item.id);
        }
    }
    // The menu's bottom-right corner at the cursor, as near as the screen allows.
    const QSize size = menu.sizeHint();
    const QAction* chosen = menu.exec(QCursor::pos() - QPoint(size.width(), size.height()));
    if (chosen != nullptr) {
        PostMessage(WM_COMMAND, static_cast<WPARAM>(chosen->data().toInt()), 0);
    }
}

void CConverterDlg::RemoveTrayIcon() {
    m_trayIcon->Remove();
}

bool CConverterDlg::IsTrayIconAdded() const {
    return m_trayIcon->IsAdded();
}
