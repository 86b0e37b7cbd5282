#pragma once
// A real full disk for tests: a child process gets a mount namespace of its own with a small
// tmpfs on a folder, runs the work there and reports through its exit code. Runs as root (CI)
// and, where the kernel allows user namespaces, as anyone.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <fcntl.h>
#include <functional>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velmora::testing {

// The exit code when the file system could not be made at all.
inline constexpr int kNoSmallFileSystem = 99;

namespace detail {
inline bool WriteProcFile(const char* path, const std::string& text) {
    const int fd = ::open(path, O_WRONLY);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    return ok;
}
} // namespace detail

// Mounts a tmpfs of `bytes` on `dir` (which must exist) in a child and returns work()'s
// result as the child's exit code (0 for success by convention).
inline int RunOnSmallFileSystem(const QString& dir, long bytes, const std::function<int()>& work) {
    const QByteArray target = QFile::encodeName(dir);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const uid_t uid = ::getuid();
        const gid_t gid = ::getgid();
        if (::unshare(CLONE_NEWNS) != 0) {
            if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
                ::_exit(kNoSmallFileSystem);
            detail::WriteProcFile("/proc/self/setgroups", "deny");
            detail::WriteProcFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1");
            detail::WriteProcFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1");
        }
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            ::_exit(kNoSmallFileSystem);
        const std::string options = "size=" + std::to_string(bytes);
        if (::mount("tmpfs", target.constData(), "tmpfs", 0, options.c_str()) != 0)
            ::_exit(kNoSmallFileSystem);
        int code = 98;
        try {
            code = work();
        } catch (...) {
            code = 97;
        }
        ::_exit(code);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// Fills the file system that holds `dir` until a write fails.
inline void FillDisk(const QString& dir) {
    QFile fill(dir + QStringLiteral("/fill"));
    if (!fill.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return;
    const QByteArray block(4096, 'x');
    while (fill.write(block) == block.size()) {
    }
}

} // namespace velmora::testing
