// Menus as data: the items of a plain menu, in order.
#pragma once

#include <span>

struct MenuItem {
    int id;           // 0 for a separator
    const char* text; // empty for a separator; '&' marks the mnemonic
};

// IDR_TRAYMENU: the notification-area icon's popup menu.
extern const std::span<const MenuItem> kTrayMenu;
