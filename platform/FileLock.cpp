#include "FileLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

FileLock::FileLock(const std::string& path, Wait wait) {
    if (path.empty())
        return;
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return;
    int operation = LOCK_EX | (wait == Wait::DontBlock ? LOCK_NB : 0);
    int result;
    do {
        result = flock(fd, operation);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        close(fd);
        return;
    }
    m_fd = fd;
}

FileLock::~FileLock() {
    Release();
}

void FileLock::Release() {
    // Closing the descriptor releases the lock.
    if (m_fd >= 0)
        close(m_fd);
    m_fd = -1;
}

FileLock::FileLock(FileLock&& other) noexcept : m_fd(other.m_fd) {
    other.m_fd = -1;
}
