// An exclusive advisory lock (flock) on a file, held for the life of the object. Two objects
// conflict even inside one process, so the lock also orders threads.
#pragma once

#include <string>

class FileLock {
public:
    enum class Wait { Block, DontBlock };

    // Opens (creating it with mode 0600) and locks `path`; see IsLocked for the outcome.
    FileLock(const std::string& path, Wait wait);
    ~FileLock();
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&&) = delete;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool IsLocked() const { return m_fd >= 0; }
    // Lets go of the lock before the object ends.
    void Release();

private:
    int m_fd = -1;
};
