// Data exchange between a dialog's controls and its members, with the rules of the classic
// dialog framework that the dialogs rely on.
#pragma once

#include "DialogLayout.h"
#include "Win32Types.h"

#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

enum class ExchangeDirection {
    ControlsToMembers, // UpdateData(TRUE)
    MembersToControls, // UpdateData(FALSE)
};

// The radio buttons of the group that starts at `firstId`: that control and the radio buttons
// after it, up to the next control that starts a group.
std::vector<QRadioButton*> RadioGroup(const DialogTemplate& dialogTemplate, const DialogWidgets& widgets,
                                      int firstId);

// Reading: -1, or the index of the ticked radio. Writing: each radio is ticked exactly when its
// index equals `index`, so any other value leaves the whole group unticked.
void ExchangeRadio(ExchangeDirection direction, const std::vector<QRadioButton*>& group, int& index);

// Reading: 0 or 1. Writing: a value outside 0..2 is first set to 0; a two-state box shows 2 as
// ticked, like 1.
void ExchangeCheck(ExchangeDirection direction, QCheckBox& box, BOOL& value);

// The edit's text as 8-bit text in the locale's encoding.
void ExchangeText(ExchangeDirection direction, QLineEdit& edit, std::string& value);

// The list index of the selected entry, -1 for none.
void ExchangeListIndex(ExchangeDirection direction, QComboBox& combo, int& index);
