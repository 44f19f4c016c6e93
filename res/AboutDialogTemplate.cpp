#include "DialogTemplate.h"
#include "Win32Types.h"
#include "resource.h"

#include <array>

namespace {

constexpr std::array kAboutControls{
    DialogControl{-1, ControlKind::Icon, nullptr, 4, 4, 20, 20, CS_NONE, IDI_MAIN},
    DialogControl{-1, ControlKind::Static, "Larkspur, v3.02", 40, 10, 172, 8, CS_NOPREFIX, 0},
    DialogControl{IDOK, ControlKind::DefPushButton, "OK", 183, 51, 50, 14, CS_GROUP | CS_TABSTOP, 0},
    DialogControl{IDC_HYPERLINK, ControlKind::Static,
                  "Click here to see if there is a new version available!", 42, 34, 152, 8, CS_NONE, 0},
};

} // namespace

const DialogTemplate kAboutDialogTemplate{
    IDD_ABOUTBOX, "About Larkspur", 235, 67, false, kAboutControls,
};
