// Clipboard format registration: the names live one a line in a file of the runtime folder, and
// a name's number is 0xC000 plus its line, so every process of the user agrees on it.
#include "Clipboard.h"
#include "FileLock.h"
#include "RuntimeFolder.h"

#include <fstream>
#include <string>
#include <strings.h>

namespace {

constexpr UINT kFirstFormat = 0xC000;
constexpr UINT kLastFormat = 0xFFFF;
constexpr std::size_t kMaxNameLength = 255;

} // namespace

UINT RegisterClipboardFormatA(LPCSTR formatName) {
    if (formatName == nullptr)
        return 0;
    std::string name = formatName;
    if (name.empty() || name.size() > kMaxNameLength || name.find('\n') != std::string::npos)
        return 0;
    std::string path = RuntimePath("clipboard-formats");
    FileLock lock(path + ".lock", FileLock::Wait::Block);
    if (!lock.IsLocked())
        return 0;
    UINT format = kFirstFormat;
    {
        std::ifstream registered(path);
        for (std::string line; format <= kLastFormat && std::getline(registered, line); ++format) {
            if (strcasecmp(line.c_str(), name.c_str()) == 0)
                return format;
        }
    }
    if (format > kLastFormat)
        return 0;
    std::ofstream appended(path, std::ios::app);
    appended << name << '\n';
    appended.flush();
    return appended ? format : 0;
}
