#include "DialogDataExchange.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

std::vector<QRadioButton*> RadioGroup(const DialogTemplate& dialogTemplate, const DialogWidgets& widgets,
                                      int firstId) {
    std::vector<QRadioButton*> group;
    bool inGroup = false;
    for (const DialogControl& control : dialogTemplate.controls) {
        if (!inGroup) {
            inGroup = control.id == firstId;
        } else if (control.style & CS_GROUP) {
            break;
        }
        if (inGroup && control.kind == ControlKind::RadioButton) {
            group.push_back(static_cast<QRadioButton*>(widgets.value(control.id)));
        }
    }
    return group;
}

void ExchangeRadio(ExchangeDirection direction, const std::vector<QRadioButton*>& group, int& index) {
    if (direction == ExchangeDirection::ControlsToMembers) {
        index = -1;
        for (std::size_t i = 0; i < group.size(); ++i) {
            if (group[i]->isChecked()) {
                index = static_cast<int>(i);
                break;
            }
        }
        return;
    }
    for (std::size_t i = 0; i < group.size(); ++i) {
        QRadioButton* radio = group[i];
        // Auto-exclusive buttons refuse to be unticked, and the framework can leave a group
        // with none ticked.
        const bool autoExclusive = radio->autoExclusive();
        radio->setAutoExclusive(false);
        radio->setChecked(static_cast<int>(i) == index);
        radio->setAutoExclusive(autoExclusive);
    }
}

void ExchangeCheck(ExchangeDirection direction, QCheckBox& box, BOOL& value) {
    if (direction == ExchangeDirection::ControlsToMembers) {
        value = box.isChecked() ? TRUE : FALSE;
        return;
    }
    if (value < 0 || value > 2) {
        value = 0;
    }
    box.setChecked(value != 0);
}

void ExchangeText(ExchangeDirection direction, QLineEdit& edit, std::string& value) {
    if (direction == ExchangeDirection::ControlsToMembers) {
        value = edit.text().toLocal8Bit().toStdString();
    } else {
        edit.setText(QString::fromLocal8Bit(value));
    }
}

void ExchangeListIndex(ExchangeDirection direction, QComboBox& combo, int& index) {
    if (direction == ExchangeDirection::ControlsToMembers) {
        index = combo.currentIndex();
    } else {
        combo.setCurrentIndex(index);
    }
}
