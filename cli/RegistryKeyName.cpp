#include "RegistryKeyName.h"

#include <strings.h>

namespace {

struct Root {
    const char* shortName;
    const char* longName;
    HKEY key;
};

const Root* FindRoot(std::string_view name) {
    static const Root kRoots[] = {{"HKCU", "HKEY_CURRENT_USER", HKEY_CURRENT_USER},
                                  {"HKLM", "HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
                                  {"HKCR", "HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT}};
    const std::string text(name);
    for (const Root& root : kRoots) {
        if (strcasecmp(text.c_str(), root.shortName) == 0 || strcasecmp(text.c_str(), root.longName) == 0) {
            return &root;
        }
    }
    return nullptr;
}

} // namespace

std::optional<RegistryKeyName> ParseRegistryKeyName(std::string_view text) {
    // The root name is ASCII, so the first '\' always ends it.
    const std::size_t separator = text.find('\\');
    const Root* root = FindRoot(text.substr(0, separator));
    if (root == nullptr) {
        return std::nullopt;
    }
    RegistryKeyName name{root->key, root->longName, {}};
    if (separator != std::string_view::npos) {
        name.path = text.substr(separator + 1);
    }
    return name;
}

std::optional<RegistryKeyName> StoredRoot(int index) {
    constexpr const char* kStoredRoots[] = {"HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE"};
    if (index < 0 || index >= 2) {
        return std::nullopt;
    }
    return ParseRegistryKeyName(kStoredRoots[index]);
}
