// The program's icon in the desktop's notification area. Clicks come back as the mouse message
// a Windows notification icon would report: WM_LBUTTONDOWN, WM_LBUTTONDBLCLK or WM_RBUTTONDOWN.
#pragma once

#include "Win32Types.h"

#include <QString>
#include <functional>
#include <memory>

class QIcon;
class QSystemTrayIcon;
class TrayStandIn;

class SystemTrayIcon {
public:
    using ClickHandler = std::function<void(LPARAM mouseMessage)>;

    explicit SystemTrayIcon(ClickHandler onClick);
    ~SystemTrayIcon();

    // Shows the icon with its tip; false while the desktop has no notification area. After a few
    // such tries a stand-in window takes the icon's place until a notification area appears.
    bool Add(const QIcon& icon, const QString& tip);
    // Takes the icon, or its stand-in, away.
    void Remove();
    bool IsAdded() const { return m_icon != nullptr; }

    // A StatusNotifierItem host reports an activation, never a double-click, so there an
    // activation must stand for the double-click, or the window could not be shown from the icon.
    static bool IsStatusNotifierTray();

private:
    ClickHandler m_onClick;
    std::unique_ptr<QSystemTrayIcon> m_icon;
    std::unique_ptr<TrayStandIn> m_standIn;
    int m_failedTries = 0;
};
