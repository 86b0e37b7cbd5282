#pragma once
// Exclusive use of a file between processes. On this platform files have no share modes, so
// an exclusive advisory lock (flock) stands for "opened with all sharing denied": every copy
// of this program, and the table engine, takes the same lock before using a file exclusively.

#include <QString>

namespace velmora::core {

// True when the file exists and cannot be opened for reading and writing with an exclusive
// lock (another process holds it, or the open is refused for any other reason). False when
// the file does not exist or the exclusive open succeeds; the test releases it at once.
bool IsFileInUse(const QString& path);

// Holds an exclusive lock on a file for its own lifetime.
class FileLock {
public:
    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Takes the lock; false when the file cannot be opened (or, with create, made) or
    // another holder has it.
    bool Acquire(const QString& path, bool create = false);
    void Release();
    bool Held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

} // namespace velmora::core
