#include "SystemTrayIcon.h"

#include "TrayStandIn.h"
#include "Window.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QSystemTrayIcon>

namespace {

// Tries (one a second) before the stand-in shows: long enough for a tray that comes up with the
// session, short enough that a desktop without one is not left without the program.
constexpr int kFailedTriesBeforeStandIn = 3;

} // namespace

SystemTrayIcon::SystemTrayIcon(ClickHandler onClick) : m_onClick(std::move(onClick)) {}

SystemTrayIcon::~SystemTrayIcon() = default;

bool SystemTrayIcon::IsStatusNotifierTray() {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface() != nullptr &&
           bus.interface()->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher")).value();
}

bool SystemTrayIcon::Add(const QIcon& icon, const QString& tip) {
    if (m_icon != nullptr) {
        return true;
    }
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        if (++m_failedTries >= kFailedTriesBeforeStandIn && m_standIn == nullptr) {
            m_standIn = std::make_unique<TrayStandIn>(icon, tip, m_onClick);
            m_standIn->show();
        }
        return false;
    }
    m_standIn.reset();
    const LPARAM activation = IsStatusNotifierTray() ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
    m_icon = std::make_unique<QSystemTrayIcon>(icon);
    m_icon->setToolTip(tip);
    QObject::connect(m_icon.get(), &QSystemTrayIcon::activated, m_icon.get(),
                     [this, activation](QSystemTrayIcon::ActivationReason reason) {
                         switch (reason) {
                         case QSystemTrayIcon::Trigger:
                             m_onClick(activation);
                             break;
                         case QSystemTrayIcon::DoubleClick:
                             m_onClick(WM_LBUTTONDBLCLK);
                             break;
                         case QSystemTrayIcon::Context:
                             m_onClick(WM_RBUTTONDOWN);
                             break;
                         default:
                             break;
                         }
                     });
    m_icon->show();
    return true;
}

void SystemTrayIcon::Remove() {
    m_standIn.reset();
    if (m_icon != nullptr) {
        m_icon->hide();
        m_icon.reset();
    }
}
