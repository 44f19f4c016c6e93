// Key names on the command line: a root (HKCU, HKCR, HKLM or their long names, in any case),
// optionally followed by '\' and a path below it.
#pragma once

#include "Registry.h"

#include <optional>
#include <string>
#include <string_view>

struct RegistryKeyName {
    HKEY root = nullptr;
    std::string rootName; // the long name, as the listings show it
    std::string path;     // below the root; "" for the root itself

    std::string FullName() const { return path.empty() ? rootName : rootName + '\\' + path; }
};

// Nothing when the text does not start with a known root.
std::optional<RegistryKeyName> ParseRegistryKeyName(std::string_view text);

// The long names of the roots that hold data of their own, in the order exports list them
// (HKEY_CLASSES_ROOT lives inside HKEY_CURRENT_USER\Software\Classes).
std::optional<RegistryKeyName> StoredRoot(int index);
