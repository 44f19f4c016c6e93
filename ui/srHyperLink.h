// A static text that behaves as a web link: link colours, an underlined copy of its font, a hand
// cursor, the address as its tooltip, and the address opened in the browser when it is clicked or
// when the space bar is pressed while it has the focus.
#pragma once

#include "Win32Types.h"

#include <QColor>
#include <QFont>
#include <QLabel>
#include <functional>

class QCursor;

class srHyperLink : public QLabel {
    Q_OBJECT

public:
    // Behaviour flags.
    static constexpr DWORD HLF_UNDERLINE = 0x01;    // the link font is underlined
    static constexpr DWORD HLF_HOVERCOLOR = 0x02;   // the hover colour while the mouse is over it
    static constexpr DWORD HLF_AUTOSIZE = 0x04;     // the control is sized to its text
    static constexpr DWORD HLF_FOLLOWONDOWN = 0x08; // opens on button-down instead of button-up
    static constexpr DWORD HLF_FOCUSONCLICK = 0x10; // a button-down takes the keyboard focus
    static constexpr DWORD HLF_NOHANDCURSOR = 0x20; // no hand cursor
    static constexpr DWORD HLF_NOFOCUSCOLOR = 0x40; // the focus colour is never used

    static constexpr QRgb s_crUnvisited = qRgb(0, 0, 255);
    static constexpr QRgb s_crVisited = qRgb(128, 0, 128);
    static constexpr QRgb s_crHover = qRgb(255, 0, 0);
    static constexpr QRgb s_crFocus = qRgb(0, 128, 128);

    // Opens an address; true on success.
    using Opener = std::function<bool(const QString& url)>;
    // Tells the user that opening failed.
    using FailureSignal = std::function<void()>;

    explicit srHyperLink(QWidget* parent = nullptr, Opener opener = OpenInBrowser,
                         FailureSignal onFailure = Beep);

    // Changes the behaviour flags; before PreSubclassWindow, since that reads them.
    void SetLinkFlags(DWORD flags) { m_dwLinkFlags = flags; }

    // Makes the placed static text a link: the address and the text stand in for each other when
    // one is empty, the font is copied (underlined), the control is sized to its text, the hand
    // cursor and the tooltip are set up.
    void PreSubclassWindow();

    // Sets the address to open; the text stays as it is.
    void SetURL(const QString& strURL);
    QString URL() const { return m_strURL; }

    // Opens the address: a beep when that fails, the visited colour when it succeeds.
    void FollowLink();

    // Fits the control to its text when HLF_AUTOSIZE is set: vertically centred text keeps the
    // vertical centre, otherwise the top stays; centred text keeps the horizontal centre, right-
    // aligned text the right edge, any other the left edge.
    void SizeToText();

    // The text colour for the current state.
    QColor TextColor() const;

    bool HasFocusState() const { return m_bHasFocus; }
    bool IsHovering() const { return m_bHover; }
    bool IsVisited() const { return m_bVisited; }
    DWORD LinkFlags() const { return m_dwLinkFlags; }

    // The hand cursor that every link shares, loaded on first use; nullptr before.
    static const QCursor* LinkCursor() { return s_hLinkCursor; }
    static void LoadLinkCursor();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    static bool OpenInBrowser(const QString& url);
    static void Beep();

    // Shows the state's colour.
    void Invalidate();
    void SetHover(bool hover);

    Opener m_opener;
    FailureSignal m_onFailure;

    bool m_bHasFocus = false;
    bool m_bHover = false;
    bool m_bVisited = false;
    DWORD m_dwLinkFlags = HLF_UNDERLINE | HLF_AUTOSIZE | HLF_FOCUSONCLICK;
    QString m_strURL;
    QFont m_font;

    static const QCursor* s_hLinkCursor;
};
