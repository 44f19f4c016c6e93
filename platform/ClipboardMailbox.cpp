#include "ClipboardMailbox.h"

#include "Clipboard.h"
#include "FileIo.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kMark[8] = {'L', 'K', 'S', 'P', 'M', 'B', 'X', '1'};

struct Header {
    char mark[8];
    std::uint64_t size;
};

HGLOBAL ReadBlock(int fd) {
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != geteuid())
        return nullptr;
    Header header{};
    if (!ReadFully(fd, &header, sizeof header) || std::memcmp(header.mark, kMark, sizeof kMark) != 0)
        return nullptr;
    if (header.size > kMaxClipboardBlockSize ||
        static_cast<std::uint64_t>(info.st_size) != sizeof header + header.size)
        return nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, header.size);
    if (block == nullptr)
        return nullptr;
    bool complete = ReadFully(fd, GlobalLock(block), header.size);
    GlobalUnlock(block);
    if (!complete) {
        GlobalFree(block);
        return nullptr;
    }
    return block;
}

} // namespace

HGLOBAL ReadMailbox(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return nullptr;
    HGLOBAL block = ReadBlock(fd);
    close(fd);
    return block;
}

bool WriteMailbox(const std::string& path, HGLOBAL block) {
    const void* data = GlobalLock(block);
    if (data == nullptr)
        return false;
    Header header{};
    std::memcpy(header.mark, kMark, sizeof kMark);
    header.size = GlobalSize(block);
    std::string temporary = path + ".XXXXXX";
    int fd = mkostemp(temporary.data(), O_CLOEXEC); // creates the file with mode 0600
    bool written = fd >= 0 && WriteFully(fd, &header, sizeof header) && WriteFully(fd, data, header.size);
    GlobalUnlock(block);
    if (fd < 0)
        return false;
    written = close(fd) == 0 && written;
    if (!written || rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}
