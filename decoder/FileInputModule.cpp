// The file input: reads the MPEG file with POSIX I/O through a buffer of its own, since the
// decoder asks for a few bytes at a time (a frame header, then the frame).
#include "decoder.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

struct XA_InputModuleState {
    int fd = -1;
    std::uint64_t size = 0;
    std::uint64_t fdOffset = 0; // where the descriptor stands; the buffer holds what lies before it
    std::unique_ptr<unsigned char[]> buffer;
    std::size_t bufferBegin = 0;
    std::size_t bufferEnd = 0;
};

namespace {

constexpr std::size_t kBufferBytes = 64 * 1024;

int OpenErrorCode(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return XA_ERROR_INPUT_NOT_FOUND;
    case EACCES:
    case EPERM:
        return XA_ERROR_INPUT_ACCESS_DENIED;
    case EISDIR:
        return XA_ERROR_INPUT_IS_DIRECTORY;
    case ENOMEM:
        return XA_ERROR_OUT_OF_MEMORY;
    default:
        return XA_ERROR_INPUT_READ_FAILED;
    }
}

bool AcceptsEveryName(const char* /*name*/) {
    return true;
}

int OpenFile(const char* name, XA_InputModuleState** state) {
    if (name == nullptr || state == nullptr) {
        return XA_ERROR_INVALID_PARAMETERS;
    }
    // Non-blocking only for the open itself, so that a FIFO without a writer cannot hang it.
    const int fd = ::open(name, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return OpenErrorCode(errno);
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || ::fcntl(fd, F_SETFL, 0) != 0) {
        const int error = errno;
        ::close(fd);
        return OpenErrorCode(error);
    }
    if (S_ISDIR(info.st_mode)) {
        ::close(fd);
        return XA_ERROR_INPUT_IS_DIRECTORY;
    }
    auto file = std::make_unique<XA_InputModuleState>();
    file->fd = fd;
    file->size = S_ISREG(info.st_mode) ? static_cast<std::uint64_t>(info.st_size) : 0;
    file->buffer = std::make_unique<unsigned char[]>(kBufferBytes);
    *state = file.release();
    return XA_SUCCESS;
}

// One read(2), retried when a signal interrupts it.
long ReadOnce(int fd, void* buffer, std::size_t bytes) {
    ssize_t got = 0;
    do {
        got = ::read(fd, buffer, bytes);
    } while (got < 0 && errno == EINTR);
    return got < 0 ? long{XA_ERROR_INPUT_READ_FAILED} : static_cast<long>(got);
}

long ReadFile(XA_InputModuleState* file, void* buffer, std::size_t bytes) {
    if (file->bufferBegin == file->bufferEnd) {
        // Large requests bypass the buffer; small ones refill it.
        const bool direct = bytes >= kBufferBytes;
        const long got =
            direct ? ReadOnce(file->fd, buffer, bytes) : ReadOnce(file->fd, file->buffer.get(), kBufferBytes);
        if (got <= 0) {
            return got;
        }
        file->fdOffset += static_cast<std::uint64_t>(got);
        if (direct) {
            return got;
        }
        file->bufferBegin = 0;
        file->bufferEnd = static_cast<std::size_t>(got);
    }
    const std::size_t available = file->bufferEnd - file->bufferBegin;
    const std::size_t count = bytes < available ? bytes : available;
    std::copy_n(file->buffer.get() + file->bufferBegin, count, static_cast<unsigned char*>(buffer));
    file->bufferBegin += count;
    return static_cast<long>(count);
}

std::int64_t SeekFile(XA_InputModuleState* file, std::int64_t offset, int whence) {
    if (whence == SEEK_CUR) {
        const auto logical =
            static_cast<std::int64_t>(file->fdOffset - (file->bufferEnd - file->bufferBegin));
        offset += logical;
        whence = SEEK_SET;
    }
    const off_t result = ::lseek(file->fd, offset, whence);
    if (result < 0) {
        return -1;
    }
    file->fdOffset = static_cast<std::uint64_t>(result);
    file->bufferBegin = file->bufferEnd = 0;
    return result;
}

std::uint64_t FileSize(XA_InputModuleState* file) {
    return file->size;
}

void CloseFile(XA_InputModuleState* file) {
    ::close(file->fd);
    delete file;
}

} // namespace

int file_input_module_register(XA_InputModule* module) {
    if (module == nullptr) {
        return XA_ERROR_INVALID_PARAMETERS;
    }
    *module = XA_InputModule{AcceptsEveryName, OpenFile, ReadFile, SeekFile, FileSize, CloseFile};
    return XA_SUCCESS;
}
