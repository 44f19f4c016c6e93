// The "wav:" output: writes a WAV file whose header is brought up to date at every drain and at
// close, so a stopped or failed conversion still leaves a valid (shorter) file.
#include "WavHeader.h"
#include "decoder.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

struct XA_OutputModuleState {
    int fd = -1;
    std::string path;
    bool created = false;     // the file did not exist before open
    bool regularFile = false; // false for devices such as /dev/null
    bool formatSet = false;
    WavFormat format{};
    std::uint64_t dataBytes = 0; // PCM bytes on disk after the header
};

namespace {

constexpr char kPrefix[] = "wav:";
constexpr std::size_t kPrefixLength = sizeof kPrefix - 1;

int OpenErrorCode(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
        return XA_ERROR_OUTPUT_ACCESS_DENIED;
    case ENOSPC:
    case EDQUOT:
        return XA_ERROR_OUTPUT_DISK_FULL;
    case ENOMEM:
        return XA_ERROR_OUT_OF_MEMORY;
    default:
        return XA_ERROR_OUTPUT_CREATE_FAILED;
    }
}

int WriteErrorCode(int error) {
    return error == ENOSPC || error == EDQUOT ? XA_ERROR_OUTPUT_DISK_FULL : XA_ERROR_OUTPUT_WRITE_FAILED;
}

bool HasPrefix(const char* name) {
    return std::strncmp(name, kPrefix, kPrefixLength) == 0;
}

// Writes all of `bytes` at `offset`; `written` tells how much made it before a failure.
int WriteAt(int fd, const void* data, std::size_t bytes, std::uint64_t offset, std::size_t& written) {
    written = 0;
    while (written < bytes) {
        const ssize_t n = ::pwrite(fd, static_cast<const unsigned char*>(data) + written, bytes - written,
                                   static_cast<off_t>(offset + written));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return WriteErrorCode(n < 0 ? errno : ENOSPC);
        }
        written += static_cast<std::size_t>(n);
    }
    return XA_SUCCESS;
}

// The data chunk covers whole sample frames only: a frame cut by a failed write is left out.
std::uint64_t CompleteDataBytes(const XA_OutputModuleState& file) {
    const unsigned int blockAlign = WavBlockAlign(file.format);
    return file.dataBytes - file.dataBytes % blockAlign;
}

int WriteHeader(const XA_OutputModuleState& file) {
    const WavHeader header = MakeWavHeader(file.format, CompleteDataBytes(file));
    std::size_t written = 0;
    return WriteAt(file.fd, header.data(), header.size(), 0, written);
}

int OpenWav(const char* name, XA_OutputModuleState** state) {
    if (name == nullptr || state == nullptr) {
        return XA_ERROR_INVALID_PARAMETERS;
    }
    auto file = std::make_unique<XA_OutputModuleState>();
    file->path = HasPrefix(name) ? name + kPrefixLength : name;
    if (file->path.empty()) {
        return XA_ERROR_OUTPUT_CREATE_FAILED;
    }
    // An existing file is not truncated yet: if the input turns out to be unusable, nothing was
    // lost. The file is emptied once there is a format to write.
    file->fd = ::open(file->path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    file->created = file->fd >= 0;
    if (file->fd < 0 && errno == EEXIST) {
        file->fd = ::open(file->path.c_str(), O_WRONLY | O_CLOEXEC);
    }
    if (file->fd < 0) {
        return OpenErrorCode(errno);
    }
    struct stat info {};
    if (::fstat(file->fd, &info) != 0) {
        const int error = errno;
        ::close(file->fd);
        return OpenErrorCode(error);
    }
    file->regularFile = S_ISREG(info.st_mode);
    *state = file.release();
    return XA_SUCCESS;
}

int SetFormat(XA_OutputModuleState* file, unsigned int sampleRate, unsigned int channels) {
    if (sampleRate == 0 || channels == 0 || channels > 0xFFFF) {
        return XA_ERROR_INVALID_PARAMETERS;
    }
    if (file->formatSet) {
        // One file, one format.
        return sampleRate == file->format.sampleRate && channels == file->format.channels
                   ? XA_SUCCESS
                   : XA_ERROR_INVALID_PARAMETERS;
    }
    if (file->regularFile && ::ftruncate(file->fd, 0) != 0) {
        return WriteErrorCode(errno);
    }
    file->format = WavFormat{sampleRate, channels};
    file->formatSet = true;
    return WriteHeader(*file);
}

int WriteWav(XA_OutputModuleState* file, const void* pcm, std::size_t bytes) {
    if (!file->formatSet) {
        return XA_ERROR_INTERNAL;
    }
    std::size_t written = 0;
    const int rc = WriteAt(file->fd, pcm, bytes, kWavHeaderBytes + file->dataBytes, written);
    file->dataBytes += written;
    return rc;
}

int DrainWav(XA_OutputModuleState* file) {
    return file->formatSet ? WriteHeader(*file) : XA_SUCCESS;
}

int CloseWav(XA_OutputModuleState* file) {
    std::unique_ptr<XA_OutputModuleState> owned(file);
    int rc = XA_SUCCESS;
    if (file->formatSet) {
        rc = WriteHeader(*file);
        // Drops the tail of a sample frame that a failed write left behind.
        const auto fileBytes = static_cast<off_t>(kWavHeaderBytes + CompleteDataBytes(*file));
        if (file->regularFile && ::ftruncate(file->fd, fileBytes) != 0 && rc == XA_SUCCESS) {
            rc = WriteErrorCode(errno);
        }
    }
    if (::close(file->fd) != 0 && rc == XA_SUCCESS) {
        rc = WriteErrorCode(errno);
    }
    if (!file->formatSet && file->created) {
        // Nothing was ever decoded into it: leave no empty file behind.
        ::unlink(file->path.c_str());
    }
    return rc;
}

} // namespace

int file_output_module_register(XA_OutputModule* module) {
    if (module == nullptr) {
        return XA_ERROR_INVALID_PARAMETERS;
    }
    *module = XA_OutputModule{HasPrefix, OpenWav, SetFormat, WriteWav, DrainWav, CloseWav};
    return XA_SUCCESS;
}
