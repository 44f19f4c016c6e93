// The sending side of the hand-off between copies: the command line goes into the clipboard
// mailbox, appended to any text an earlier sender left there, and the window is told.
#pragma once

#include "Window.h"

#include <string>

// The clipboard format that carries the pending items.
inline constexpr char kHandOffFormatName[] = "LarkspurFormat";

// Appends `commandLine` to the pending items and posts WM_COMMAND ID_HANDOFF to `target`. Tries
// to open the clipboard 10 times, one second apart. An empty command line does nothing and
// counts as delivered; false when the items could not be stored or the window not told.
bool HandOffText(HWND target, const std::string& commandLine);
