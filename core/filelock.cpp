#include "core/filelock.h"

#include <QFile>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace velmora::core {

namespace {
int OpenLocked(const QString& path, bool create) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0644);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}
} // namespace

bool IsFileInUse(const QString& path) {
    if (!QFile::exists(path))
        return false;
    const int fd = OpenLocked(path, false);
    if (fd < 0)
        return true;
    ::close(fd);
    return false;
}

FileLock::~FileLock() {
    Release();
}

bool FileLock::Acquire(const QString& path, bool create) {
    Release();
    m_fd = OpenLocked(path, create);
    return m_fd >= 0;
}

void FileLock::Release() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

} // namespace velmora::core
