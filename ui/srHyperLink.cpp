#include "srHyperLink.h"

#include "OpenURL.h"

#include <QApplication>
#include <QCursor>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>

const QCursor* srHyperLink::s_hLinkCursor = nullptr;

namespace {

// An address shown literally, even one that looks like markup.
QString PlainToolTip(const QString& text) {
    return QStringLiteral("<p style='white-space:pre'>%1</p>").arg(text.toHtmlEscaped());
}

} // namespace

srHyperLink::srHyperLink(QWidget* parent, Opener opener, FailureSignal onFailure)
    : QLabel(parent), m_opener(std::move(opener)), m_onFailure(std::move(onFailure)) {
    setTextFormat(Qt::PlainText);
    // Hover needs the moves without a button held.
    setMouseTracking(true);
}

bool srHyperLink::OpenInBrowser(const QString& url) {
    return OpenURL(url.toStdString());
}

void srHyperLink::Beep() {
    QApplication::beep();
}

void srHyperLink::PreSubclassWindow() {
    if (m_strURL.isEmpty()) {
        m_strURL = text();
    }
    if (text().isEmpty()) {
        setText(m_strURL);
    }
    m_font = font();
    m_font.setUnderline((m_dwLinkFlags & HLF_UNDERLINE) != 0);
    setFont(m_font);
    SizeToText();
    if (!(m_dwLinkFlags & HLF_NOHANDCURSOR)) {
        LoadLinkCursor();
        setCursor(*s_hLinkCursor);
    }
    setToolTip(PlainToolTip(m_strURL));
    Invalidate();
}

void srHyperLink::SetURL(const QString& strURL) {
    m_strURL = strURL;
    SizeToText();
    setToolTip(PlainToolTip(m_strURL));
}

void srHyperLink::LoadLinkCursor() {
    if (s_hLinkCursor == nullptr) {
        // Shared by every link for the rest of the run.
        s_hLinkCursor = new QCursor(Qt::PointingHandCursor);
    }
}

void srHyperLink::SizeToText() {
    if (!(m_dwLinkFlags & HLF_AUTOSIZE)) {
        return;
    }
    // The text area in the parent's coordinates, and the room the frame takes around it.
    const QRect frame = geometry();
    const QRect area = contentsRect().translated(frame.topLeft());
    const QMargins border(area.left() - frame.left(), area.top() - frame.top(), frame.right() - area.right(),
                          frame.bottom() - area.bottom());

    const QFontMetrics metrics(m_font);
    const int cx = metrics.horizontalAdvance(text());
    const int cy = metrics.height();

    // Edges with the right and bottom ones exclusive, so that sizes are plain differences.
    int left = area.x();
    int top = area.y();
    int right = left + area.width();
    int bottom = top + area.height();

    // The alignment bits are tested in this order: centred, then right, then left.
    const Qt::Alignment alignment = this->alignment();
    if (alignment & Qt::AlignVCenter) {
        const int d = (bottom - top - cy) / 2;
        top += d;
        bottom -= d;
    } else {
        bottom = top + cy;
    }
    if (alignment & Qt::AlignHCenter) {
        const int d = (right - left - cx) / 2;
        left += d;
        right -= d;
    } else if (alignment & Qt::AlignRight) {
        left = right - cx;
    } else {
        right = left + cx;
    }
    setGeometry(QRect(left, top, right - left, bottom - top) + border);
}

QColor srHyperLink::TextColor() const {
    if (m_bHover && (m_dwLinkFlags & HLF_HOVERCOLOR)) {
        return QColor(s_crHover);
    }
    if (m_bHasFocus && !(m_dwLinkFlags & HLF_NOFOCUSCOLOR)) {
        return QColor(s_crFocus);
    }
    if (m_bVisited) {
        return QColor(s_crVisited);
    }
    return QColor(s_crUnvisited);
}

void srHyperLink::Invalidate() {
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, TextColor());
    setPalette(colours);
    update();
}

void srHyperLink::FollowLink() {
    if (!m_opener(m_strURL)) {
        m_onFailure();
        return;
    }
    m_bVisited = true;
    Invalidate();
}

void srHyperLink::SetHover(bool hover) {
    m_bHover = hover;
    Invalidate();
}

void srHyperLink::mouseMoveEvent(QMouseEvent* event) {
    if (!m_bHover) {
        SetHover(true);
    } else if (!rect().contains(event->position().toPoint())) {
        SetHover(false);
    }
}

void srHyperLink::leaveEvent(QEvent* /*event*/) {
    if (m_bHover) {
        SetHover(false);
    }
}

void srHyperLink::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QLabel::mousePressEvent(event);
        return;
    }
    if (m_dwLinkFlags & HLF_FOCUSONCLICK) {
        setFocus(Qt::MouseFocusReason);
    }
    if (m_dwLinkFlags & HLF_FOLLOWONDOWN) {
        FollowLink();
    }
    m_bHasFocus = true;
    Invalidate();
}

void srHyperLink::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QLabel::mouseReleaseEvent(event);
        return;
    }
    if (m_bHasFocus && !(m_dwLinkFlags & HLF_FOLLOWONDOWN)) {
        FollowLink();
    }
}

void srHyperLink::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space) {
        FollowLink();
        return;
    }
    QLabel::keyPressEvent(event);
}

void srHyperLink::focusInEvent(QFocusEvent* /*event*/) {
    m_bHasFocus = true;
    Invalidate();
}

void srHyperLink::focusOutEvent(QFocusEvent* /*event*/) {
    m_bHover = false;
    m_bHasFocus = false;
    Invalidate();
}
