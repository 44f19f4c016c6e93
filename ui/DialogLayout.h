// Places a dialog's widgets from its template, converting dialog units into pixels with the
// metrics of the dialog's font the way Windows does.
#pragma once

#include "DialogTemplate.h"

#include <QFont>
#include <QHash>
#include <QRect>
#include <functional>

class QWidget;

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    // Average character width: (advance of "A".."Z" and "a".."z" + 26) / 52; height: the font's height.
    int baseWidth() const { return m_baseWidth; }
    int baseHeight() const { return m_baseHeight; }

    int toPixelsX(int dialogUnits) const { return dialogUnits * m_baseWidth / 4; }
    int toPixelsY(int dialogUnits) const { return dialogUnits * m_baseHeight / 8; }
    QRect toPixels(int x, int y, int width, int height) const;

private:
    int m_baseWidth;
    int m_baseHeight;
};

// Makes a widget for a control that the dialog builds itself (a custom list or link control);
// returns nullptr to let BuildDialog make the standard widget for the control's kind.
using CustomControlFactory = std::function<QWidget*(const DialogControl& control, QWidget* parent)>;

// The widgets of a built dialog, by control id (controls without an id are not listed).
using DialogWidgets = QHash<int, QWidget*>;

// Creates one child widget of `dialog` per control, in template order (so the tab order follows
// it), places each at its converted position and gives `dialog` the template's fixed client size.
DialogWidgets BuildDialog(QWidget* dialog, const DialogTemplate& dialogTemplate,
                          const CustomControlFactory& customFactory = {});
