#include "DialogTemplate.h"
#include "Win32Types.h"
#include "resource.h"

#include <array>

namespace {

// The combo box's height is its dropped-down height, as in the resource script.
constexpr std::array kSettingsControls{
    DialogControl{-1, ControlKind::GroupBox, ".WAV file locations ", 2, 7, 225, 58, CS_GROUP, 0},
    DialogControl{IDC_SAME_FOLDER, ControlKind::RadioButton,
                  "Save .WAV file to the same directory as the .MP3 file", 9, 20, 209, 10,
                  CS_GROUP | CS_TABSTOP, 0},
    DialogControl{IDC_OTHER_FOLDER, ControlKind::RadioButton, "Save .WAV file to the following directory.", 9,
                  35, 215, 10, CS_NONE, 0},
    DialogControl{IDC_FOLDER, ControlKind::Edit, "", 16, 46, 193, 12, CS_BORDER | CS_GROUP | CS_TABSTOP, 0},
    DialogControl{IDOK, ControlKind::DefPushButton, "OK", 233, 10, 50, 14, CS_GROUP | CS_TABSTOP, 0},
    DialogControl{IDCANCEL, ControlKind::PushButton, "Cancel", 233, 27, 50, 14, CS_TABSTOP, 0},
    DialogControl{IDC_RUN_AT_STARTUP, ControlKind::CheckBox, "Run at system startup.", 7, 119, 193, 10,
                  CS_TABSTOP, 0},
    DialogControl{IDC_ASYNC, ControlKind::CheckBox, "Convert Multiple Files Asynchronously.", 8, 104, 215, 10,
                  CS_TABSTOP, 0},
    DialogControl{IDC_PRIORITY, ControlKind::ComboBox, "", 97, 70, 130, 45, CS_TABSTOP, 0},
    DialogControl{-1, ControlKind::Static, "Thread Priority:", 28, 73, 63, 8, CS_RIGHT | CS_GROUP, 0},
};

} // namespace

const DialogTemplate kSettingsDialogTemplate{
    IDD_SETTINGS, "Larkspur Program Settings", 285, 135, false, kSettingsControls,
};
