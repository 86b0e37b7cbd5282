#include "core/dbf/fileio.h"

#include "core/dbf/dbferror.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace velmora::core::dbf {

namespace {

// The error of the system call that just failed, with its errno kept.
DbfError SystemFailure(const std::string& path, const std::string& what, int error = errno) {
    return DbfError(path, what + ": " + std::strerror(error), error);
}

class PosixFile final : public File {
public:
    PosixFile(std::string path, int fd, bool writable)
        : m_path(std::move(path)), m_fd(fd), m_writable(writable) {}
    ~PosixFile() override {
        Unmap();
        if (m_fd >= 0)
            ::close(m_fd);
    }

    char* MapHead(std::size_t size) override {
        if (!m_writable || m_head || size == 0 || Size() < size)
            return static_cast<char*>(m_head);
        void* p = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, m_fd, 0);
        if (p == MAP_FAILED)
            return nullptr;
        m_head = p;
        m_headLength = size;
        return static_cast<char*>(p);
    }

    const char* Map(std::uint64_t offset, std::size_t size) override {
        return MapRange(offset, size, PROT_READ);
    }
    char* MapWritable(std::uint64_t offset, std::size_t size) override {
        if (!m_writable || !OverwritesInPlace())
            return nullptr;
        return MapRange(offset, size, PROT_READ | PROT_WRITE);
    }
    const std::string& Path() const override { return m_path; }
    void SetPath(const std::string& path) override { m_path = path; }

    void ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
        auto* out = static_cast<char*>(buffer);
        while (size > 0) {
            const ssize_t n = ::pread(m_fd, out, size, static_cast<off_t>(offset));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                throw SystemFailure(m_path, "read failed");
            }
            if (n == 0)
                throw DbfError(m_path, "unexpected end of file");
            out += n;
            size -= static_cast<std::size_t>(n);
            offset += static_cast<std::uint64_t>(n);
        }
    }

    void WriteAt(std::uint64_t offset, const void* buffer, std::size_t size) override {
        const auto* in = static_cast<const char*>(buffer);
        while (size > 0) {
            const ssize_t n = ::pwrite(m_fd, in, size, static_cast<off_t>(offset));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                throw SystemFailure(m_path, "write failed");
            }
            in += n;
            size -= static_cast<std::size_t>(n);
            offset += static_cast<std::uint64_t>(n);
        }
    }

    std::uint64_t Size() override {
        struct stat st {};
        if (::fstat(m_fd, &st) != 0)
            throw SystemFailure(m_path, "cannot read the file size");
        return static_cast<std::uint64_t>(st.st_size);
    }

    void Truncate(std::uint64_t size) override {
        if (::ftruncate(m_fd, static_cast<off_t>(size)) != 0)
            throw SystemFailure(m_path, "cannot set the file size");
    }

    void Reserve(std::uint64_t size) override {
        if (size == 0)
            return;
        int result = 0;
        do
            result = ::fallocate(m_fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size));
        while (result != 0 && errno == EINTR);
        if (result != 0 && errno != EOPNOTSUPP && errno != ENOSYS)
            throw SystemFailure(m_path, "cannot reserve room for the file");
    }

    void Sync() override {
        if (::fsync(m_fd) != 0)
            throw SystemFailure(m_path, "cannot flush to disk");
    }

    void Close() override {
        Unmap();
        if (m_fd < 0)
            return;
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0)
            throw SystemFailure(m_path, "close failed");
    }

private:
    // A store through a mapping cannot report an error: where overwriting existing bytes
    // may need new space (copy-on-write file systems, network shares), a full disk would
    // kill the program instead of failing the write. Only file systems that overwrite in
    // place are written through a mapping.
    bool OverwritesInPlace() const {
        struct statfs info {};
        if (::fstatfs(m_fd, &info) != 0)
            return false;
        switch (static_cast<unsigned long>(info.f_type)) {
        case 0xEF53UL:     // ext2, ext3, ext4
        case 0x01021994UL: // tmpfs
            return true;
        default:
            return false;
        }
    }
    char* MapRange(std::uint64_t offset, std::size_t size, int protection) {
        if (m_map) {
            ::munmap(m_map, m_mapLength);
            m_map = nullptr;
        }
        if (size == 0)
            return nullptr;
        const std::size_t length = static_cast<std::size_t>(offset) + size;
        void* p = ::mmap(nullptr, length, protection, MAP_SHARED | MAP_POPULATE, m_fd, 0);
        if (p == MAP_FAILED)
            return nullptr;
        m_map = p;
        m_mapLength = length;
        return static_cast<char*>(p) + offset;
    }
    void Unmap() {
        if (m_map) {
            ::munmap(m_map, m_mapLength);
            m_map = nullptr;
        }
        if (m_head) {
            ::munmap(m_head, m_headLength);
            m_head = nullptr;
        }
    }

    std::string m_path;
    int m_fd;
    bool m_writable;
    void* m_map = nullptr;
    std::size_t m_mapLength = 0;
    void* m_head = nullptr;
    std::size_t m_headLength = 0;
};

class PosixFileSystem final : public FileSystem {
public:
    std::unique_ptr<File> Open(const std::string& path, OpenMode mode) override {
        int flags = O_CLOEXEC;
        switch (mode) {
        case OpenMode::ReadOnly:
            flags |= O_RDONLY;
            break;
        case OpenMode::ReadWrite:
            flags |= O_RDWR;
            break;
        case OpenMode::CreateTruncate:
            flags |= O_RDWR | O_CREAT;
            break;
        }
        const int fd = ::open(path.c_str(), flags, 0644);
        if (fd < 0)
            throw SystemFailure(path, "cannot open");
        const int lock = mode == OpenMode::ReadOnly ? LOCK_SH : LOCK_EX;
        if (::flock(fd, lock | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            if (error == EWOULDBLOCK)
                throw DbfError(path, "the file is in use by another program", error);
            throw SystemFailure(path, "cannot lock", error);
        }
        if (mode == OpenMode::CreateTruncate && ::ftruncate(fd, 0) != 0) {
            const int error = errno;
            ::close(fd);
            throw SystemFailure(path, "cannot empty", error);
        }
        return std::make_unique<PosixFile>(path, fd, mode != OpenMode::ReadOnly);
    }

    void Rename(const std::string& from, const std::string& to) override {
        if (::rename(from.c_str(), to.c_str()) != 0)
            throw SystemFailure(to, ("cannot replace by " + from).c_str());
    }

    void Remove(const std::string& path) override {
        if (::unlink(path.c_str()) != 0 && errno != ENOENT)
            throw SystemFailure(path, "cannot delete");
    }

    bool Exists(const std::string& path) override {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0;
    }

    std::int64_t ModifiedTime(const std::string& path) override {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0)
            return 0;
        return std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    }

    std::string ResolveCase(const std::string& path) override {
        if (Exists(path))
            return path;
        const std::size_t slash = path.find_last_of('/');
        const std::string dir =
            slash == std::string::npos ? std::string(".") : path.substr(0, slash);
        const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
        DIR* d = ::opendir(dir.empty() ? "/" : dir.c_str());
        if (!d)
            return path;
        std::string found;
        while (const dirent* e = ::readdir(d)) {
            if (::strcasecmp(e->d_name, name.c_str()) == 0) {
                found = e->d_name;
                break;
            }
        }
        ::closedir(d);
        if (found.empty())
            return path;
        return slash == std::string::npos ? found : path.substr(0, slash + 1) + found;
    }
};

} // namespace

FileSystem& DefaultFileSystem() {
    static PosixFileSystem fs;
    return fs;
}

} // namespace velmora::core::dbf
