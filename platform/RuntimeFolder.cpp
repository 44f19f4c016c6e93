#include "RuntimeFolder.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string FolderPath() {
    const char* runtimeDir = std::getenv("XDG_RUNTIME_DIR");
    // The base directory specification says a relative path is to be ignored.
    if (runtimeDir != nullptr && runtimeDir[0] == '/')
        return std::string(runtimeDir) + "/larkspur";
    return "/tmp/larkspur-" + std::to_string(geteuid());
}

bool IsPrivateFolder(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == geteuid() && (info.st_mode & 0077) == 0;
}

} // namespace

std::string RuntimeFolder() {
    std::string path = FolderPath();
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return {};
    // Checked after mkdir as well: under /tmp someone else may have made the folder first.
    return IsPrivateFolder(path) ? path : std::string();
}

std::string RuntimePath(const std::string& name) {
    std::string folder = RuntimeFolder();
    return folder.empty() ? folder : folder + "/" + name;
}
