#pragma once
// File access of the table engine behind a small interface, so that tests can make a write
// fail halfway (a full disk during a pack) and check that nothing is lost. The real
// implementation uses POSIX calls; an exclusive open takes the same flock() lock as
// core/filelock.h, so a second copy of the program sees the table as in use.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace velmora::core::dbf {

enum class OpenMode {
    ReadOnly,       // shared lock: fails while another process holds the file exclusively
    ReadWrite,      // exclusive lock: fails while anyone else holds the file
    CreateTruncate, // creates or empties the file, exclusive lock
};

// An open file. Every failure throws DbfError with the file name; nothing is silently
// short. Close() reports errors of the last writes; the destructor closes quietly.
class File {
public:
    virtual ~File() = default;
    virtual const std::string& Path() const = 0;
    // The file was renamed (after a pack): messages name the new path.
    virtual void SetPath(const std::string& path) = 0;
    virtual void ReadAt(std::uint64_t offset, void* buffer, std::size_t size) = 0;
    virtual void WriteAt(std::uint64_t offset, const void* buffer, std::size_t size) = 0;
    virtual std::uint64_t Size() = 0;
    virtual void Truncate(std::uint64_t size) = 0;
    // Takes the disk space for a file about to be written up to `size` bytes: a full disk
    // shows before anything is written, and the writes need not find space page by page.
    // The file's size does not change. Does nothing where the file system cannot do it.
    virtual void Reserve(std::uint64_t size) { (void)size; }
    virtual void Sync() = 0;
    virtual void Close() = 0;
    // A read-only view of [offset, offset + size) that follows later writes through
    // WriteAt (the page cache is shared), valid until Close(); nullptr when this file
    // cannot be mapped (the caller then reads instead).
    virtual const char* Map(std::uint64_t offset, std::size_t size) {
        (void)offset;
        (void)size;
        return nullptr;
    }
    // The same view, writable, for a file opened for writing: a store into it is in the
    // file (the page cache) at once, as a WriteAt would be, without a system call. Only for
    // bytes that already exist in the file. nullptr when not possible.
    virtual char* MapWritable(std::uint64_t offset, std::size_t size) {
        (void)offset;
        (void)size;
        return nullptr;
    }
    // A writable view of the first `size` bytes (the table header) for a file opened for
    // writing: a store into it is in the file as a write would be, without a system call.
    // nullptr when not possible (the caller writes instead).
    virtual char* MapHead(std::size_t size) {
        (void)size;
        return nullptr;
    }
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual std::unique_ptr<File> Open(const std::string& path, OpenMode mode) = 0;
    // Replaces `to` by `from` in one step (rename(2)): a reader sees the old or the new file.
    virtual void Rename(const std::string& from, const std::string& to) = 0;
    virtual void Remove(const std::string& path) = 0; // a missing file is not an error
    virtual bool Exists(const std::string& path) = 0;
    // The path of an existing file whose name equals the last part of `path` without regard
    // to ASCII letter case (tables copied from Windows carry "LWI2.DBF" beside "Lwi1.dbf");
    // `path` itself when that exists or nothing matches.
    virtual std::string ResolveCase(const std::string& path) { return path; }
    // The last modification time of a file in nanoseconds; 0 when unknown.
    virtual std::int64_t ModifiedTime(const std::string& path) {
        (void)path;
        return 0;
    }
};

// The real file system.
FileSystem& DefaultFileSystem();

} // namespace velmora::core::dbf
