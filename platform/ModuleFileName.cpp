#include "ModuleFileName.h"

#include <climits>
#include <cstring>
#include <unistd.h>

DWORD GetModuleFileNameA(HMODULE /*module*/, LPSTR fileName, DWORD size) {
    if (fileName == nullptr || size == 0)
        return 0;
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof path)
        return 0;
    auto copied = static_cast<DWORD>(length) < size ? static_cast<DWORD>(length) : size - 1;
    std::memcpy(fileName, path, copied);
    fileName[copied] = '\0';
    return copied == static_cast<DWORD>(length) ? copied : size;
}

std::string ProgramPath() {
    constexpr DWORD kProgramPathSize = 1024;
    char path[kProgramPathSize + 1] = {};
    GetModuleFileNameA(nullptr, path, kProgramPathSize);
    return path;
}
