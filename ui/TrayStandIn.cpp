#include "TrayStandIn.h"

#include "Window.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace {

constexpr int kSide = 32;        // the window, in pixels
constexpr int kIconSide = 24;    // the picture inside it
constexpr int kScreenMargin = 4; // from the screen's edges

} // namespace

TrayStandIn::TrayStandIn(const QIcon& icon, const QString& tip, ClickHandler onClick)
    : QWidget(nullptr,
              Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
      m_icon(icon), m_onClick(std::move(onClick)) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(tip);
    setToolTip(tip);
    setFixedSize(kSide, kSide);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.right() - kSide - kScreenMargin, area.bottom() - kSide - kScreenMargin);
    }
}

void TrayStandIn::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const int inset = (kSide - kIconSide) / 2;
    m_icon.paint(&painter, QRect(inset, inset, kIconSide, kIconSide));
}

void TrayStandIn::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_onClick(WM_LBUTTONDOWN);
    else if (event->button() == Qt::RightButton)
        m_onClick(WM_RBUTTONDOWN);
}

void TrayStandIn::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_onClick(WM_LBUTTONDBLCLK);
}
