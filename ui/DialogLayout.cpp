#include "DialogLayout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QWidget>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

Qt::Alignment TextAlignment(unsigned int style) {
    if (style & CS_RIGHT) {
        return Qt::AlignRight | Qt::AlignTop;
    }
    if (style & CS_CENTER) {
        return Qt::AlignHCenter | Qt::AlignTop;
    }
    return Qt::AlignLeft | Qt::AlignTop;
}

QWidget* MakeStandardWidget(const DialogControl& control, QWidget* parent) {
    const QString text = QString::fromUtf8(control.text ? control.text : "");
    switch (control.kind) {
    case ControlKind::Static: {
        auto* label = new QLabel(parent);
        label->setAlignment(TextAlignment(control.style));
        if (control.style & CS_NOPREFIX) {
            label->setText(text);
        } else {
            label->setText(QString(text)
                               .replace(QStringLiteral("&&"), QStringLiteral("\x01"))
                               .remove(QLatin1Char('&'))
                               .replace(QLatin1Char('\x01'), QLatin1Char('&')));
        }
        return label;
    }
    case ControlKind::Icon: {
        auto* label = new QLabel(parent);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case ControlKind::Edit: {
        auto* edit = new QLineEdit(parent);
        edit->setReadOnly(control.style & CS_READONLY);
        return edit;
    }
    case ControlKind::PushButton:
    case ControlKind::DefPushButton: {
        auto* button = new QPushButton(text, parent);
        button->setAutoDefault(false);
        button->setDefault(control.kind == ControlKind::DefPushButton);
        return button;
    }
    case ControlKind::GroupBox:
        return new QGroupBox(text, parent);
    case ControlKind::RadioButton:
        return new QRadioButton(text, parent);
    case ControlKind::CheckBox:
        return new QCheckBox(text, parent);
    case ControlKind::ComboBox:
        return new QComboBox(parent);
    case ControlKind::ProgressBar: {
        auto* bar = new QProgressBar(parent);
        bar->setTextVisible(false);
        return bar;
    }
    case ControlKind::ListView:
        return new QTreeWidget(parent);
    }
    return new QWidget(parent);
}

} // namespace

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    m_baseWidth = (metrics.horizontalAdvance(QString::fromLatin1(kAlphabet)) + 26) / 52;
    m_baseHeight = metrics.height();
}

QRect DialogUnits::toPixels(int x, int y, int width, int height) const {
    return {toPixelsX(x), toPixelsY(y), toPixelsX(width), toPixelsY(height)};
}

DialogWidgets BuildDialog(QWidget* dialog, const DialogTemplate& dialogTemplate,
                          const CustomControlFactory& customFactory) {
    const DialogUnits units(dialog->font());
    DialogWidgets widgets;
    for (const DialogControl& control : dialogTemplate.controls) {
        QWidget* widget = customFactory ? customFactory(control, dialog) : nullptr;
        if (widget == nullptr) {
            widget = MakeStandardWidget(control, dialog);
        }
        widget->setGeometry(units.toPixels(control.x, control.y, control.width, control.height));
        widget->setEnabled(!(control.style & CS_DISABLED));
        widget->setFocusPolicy((control.style & CS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
        if (control.kind == ControlKind::GroupBox || control.kind == ControlKind::Static ||
            control.kind == ControlKind::Icon) {
            widget->setFocusPolicy(Qt::NoFocus);
            // Frames and labels lie under the controls they surround.
            widget->lower();
        }
        if (control.id != -1) {
            widgets.insert(control.id, widget);
        }
    }
    dialog->setFixedSize(units.toPixelsX(dialogTemplate.width), units.toPixelsY(dialogTemplate.height));
    dialog->setWindowTitle(QString::fromUtf8(dialogTemplate.caption));
    return widgets;
}
