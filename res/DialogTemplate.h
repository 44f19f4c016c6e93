// Dialog templates as data: the caption, the size and every control of a dialog, in dialog
// units, in tab order. The GUI places real widgets from them (ui/DialogLayout.h).
#pragma once

#include <span>

enum class ControlKind {
    Static,        // text label
    Icon,          // a static picture showing an icon resource
    Edit,          // single-line edit
    PushButton,    // push button
    DefPushButton, // default push button (Enter presses it)
    GroupBox,      // a frame with a title
    RadioButton,   // auto radio button
    CheckBox,      // auto check box
    ComboBox,      // drop-down list, not editable
    ProgressBar,   // progress bar
    ListView,      // report-view list
};

// Style bits that change how a control is built or behaves.
enum ControlStyle : unsigned int {
    CS_NONE = 0,
    CS_RIGHT = 1u << 0,     // right-aligned text
    CS_CENTER = 1u << 1,    // centred text
    CS_READONLY = 1u << 2,  // read-only edit
    CS_DISABLED = 1u << 3,  // created disabled
    CS_GROUP = 1u << 4,     // starts a group (radio groups, tab groups)
    CS_TABSTOP = 1u << 5,   // reachable with Tab
    CS_BORDER = 1u << 6,    // thin border
    CS_NOPREFIX = 1u << 7,  // '&' is shown as it is, not as a mnemonic
    CS_SINGLESEL = 1u << 8, // list: at most one selected row
};

struct DialogControl {
    int id; // -1 for a control without an id
    ControlKind kind;
    const char* text; // for ControlKind::Icon, unused (see iconId)
    int x, y, width, height;
    unsigned int style;
    int iconId; // ControlKind::Icon only
};

struct DialogTemplate {
    int id;
    const char* caption;
    int width, height; // client area, in dialog units
    bool minimizeBox;  // the title bar offers minimize
    std::span<const DialogControl> controls;
};

// The program's dialogs: IDD_MAIN, IDD_SETTINGS and IDD_ABOUTBOX, each defined in a file of its own.
extern const DialogTemplate kMainDialogTemplate;
extern const DialogTemplate kSettingsDialogTemplate;
extern const DialogTemplate kAboutDialogTemplate;
