#include "DialogTemplate.h"
#include "Win32Types.h"
#include "resource.h"

#include <array>

namespace {

constexpr unsigned int kLabel = CS_RIGHT | CS_GROUP;
constexpr unsigned int kPathEdit = CS_READONLY | CS_BORDER | CS_TABSTOP;
constexpr unsigned int kJobButton = CS_TABSTOP | CS_DISABLED;

// In tab order; positions and sizes in dialog units.
constexpr std::array kMainControls{
    DialogControl{-1, ControlKind::Icon, nullptr, 10, 8, 21, 20, CS_NONE, IDI_MAIN},
    DialogControl{-1, ControlKind::Static, "Source:", 42, 9, 42, 8, kLabel, 0},
    DialogControl{IDC_SOURCE, ControlKind::Edit, "", 92, 8, 279, 12, kPathEdit, 0},
    DialogControl{-1, ControlKind::Static, "Destination:", 42, 23, 42, 8, kLabel, 0},
    DialogControl{IDC_DEST, ControlKind::Edit, "", 92, 24, 279, 12, kPathEdit, 0},
    DialogControl{-1, ControlKind::Static, "Progress:", 42, 38, 42, 8, kLabel, 0},
    DialogControl{IDC_PROGRESS, ControlKind::ProgressBar, "", 92, 38, 279, 10, CS_BORDER, 0},
    DialogControl{IDC_JOBLIST, ControlKind::ListView, "", 10, 66, 355, 102,
                  CS_SINGLESEL | CS_BORDER | CS_TABSTOP, 0},
    DialogControl{IDC_NEW, ControlKind::PushButton, "&New...", 41, 176, 40, 12, CS_TABSTOP, 0},
    DialogControl{IDC_START, ControlKind::PushButton, "Start", 83, 176, 40, 12, kJobButton, 0},
    DialogControl{IDC_STOP, ControlKind::PushButton, "Stop/Abort", 125, 176, 40, 12, kJobButton, 0},
    DialogControl{IDC_DELETE, ControlKind::PushButton, "Delete", 167, 176, 40, 12, kJobButton, 0},
    DialogControl{ID_SETTINGS, ControlKind::PushButton, "Settings...", 209, 176, 40, 12, CS_TABSTOP, 0},
    DialogControl{IDOK, ControlKind::DefPushButton, "&Hide", 251, 176, 40, 12, CS_TABSTOP, 0},
    DialogControl{-1, ControlKind::GroupBox, "Files to Convert", 5, 53, 365, 119, CS_NONE, 0},
    DialogControl{ID_EXIT, ControlKind::PushButton, "E&xit", 293, 176, 40, 12, CS_TABSTOP, 0},
};

} // namespace

const DialogTemplate kMainDialogTemplate{IDD_MAIN, "Larkspur!", 375, 191, true, kMainControls};
