// Reading whole keys through the registry calls: their values and their sub-keys.
#pragma once

#include "Registry.h"

#include <string>
#include <vector>

struct NamedValue {
    std::string name;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

// The values of an open key in their stored order, or the error that stopped the listing.
LONG ListValues(HKEY key, std::vector<NamedValue>& values);
// The names of an open key's sub-keys in order.
LONG ListSubKeys(HKEY key, std::vector<std::string>& names);
// One value of any size.
LONG QueryValue(HKEY key, const std::string& name, NamedValue& value);
