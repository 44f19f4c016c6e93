#include "XdgFolders.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace {

std::filesystem::path HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/') {
        return home;
    }
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
    return "/";
}

std::filesystem::path BaseFolder(const char* variable, const char* fallbackBelowHome) {
    // The rules say a relative value is invalid and must be ignored.
    if (const char* value = std::getenv(variable); value != nullptr && *value == '/') {
        return value;
    }
    return HomeFolder() / fallbackBelowHome;
}

} // namespace

std::filesystem::path XdgConfigHome() {
    return BaseFolder("XDG_CONFIG_HOME", ".config");
}

std::filesystem::path XdgDataHome() {
    return BaseFolder("XDG_DATA_HOME", ".local/share");
}
