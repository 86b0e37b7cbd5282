#include "recording/databasecatalogue.h"

#include "core/coordinates.h"
#include "core/databasestore.h"
#include "core/dbf/coding.h"
#include "core/dbf/format.h"
#include "core/error.h"
#include "core/filelock.h"
#include "core/folders.h"
#include "core/prompts.h"
#include "core/resourcestrings.h"
#include "core/settings.h"
#include "core/text/textfile.h"
#include "recording/messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace velmora::recording {

namespace dbf = core::dbf;

namespace {

// The files of a database that a running program holds open: the tables and their indexes.
constexpr const char* kHeldSuffixes[] = {"1.dbf", "2.dbf", "1.mdx", "2.mdx"};

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Exclusive locks on a database's tables and index files for as long as this lives: no other
// program opens the database while it is being removed.
class HeldFiles {
public:
    // False when another program holds one of the files (or it cannot be opened at all).
    bool Acquire(const QString& name) {
        for (const char* suffix : kHeldSuffixes) {
            const QString path = core::DatabaseStore::DatabaseFile(name, QLatin1String(suffix));
            if (!QFileInfo(path).isFile())
                continue;
            m_locks.push_back(std::make_unique<core::FileLock>());
            if (!m_locks.back()->Acquire(path))
                return false;
        }
        return true;
    }

private:
    std::vector<std::unique_ptr<core::FileLock>> m_locks;
};

// ---------------------------------------------------------------- copying a table

// The copy's name is taken already: the backup would overwrite a file.
struct TargetExists {};

[[noreturn]] void Fail(int error, const QString& path) {
    throw core::Error(core::SystemErrorText(error), path);
}

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return m_fd; }
    // Closes now and reports the error of the close (a delayed write failure).
    int Close() {
        const int fd = std::exchange(m_fd, -1);
        return ::close(fd) == 0 ? 0 : errno;
    }

private:
    int m_fd;
};

void WriteAll(int fd, const char* data, std::size_t size, const QString& path) {
    if (const int error = core::WriteFully(fd, data, size))
        Fail(error, path);
}

// The first `size` bytes of `in` appended to `out`: in the kernel where the file systems
// allow it, otherwise through a buffer.
void CopyBytes(int in, int out, std::uint64_t size, const QString& source, const QString& target) {
    off_t offset = 0;
    std::uint64_t left = size;
    while (left > 0) {
        const std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(left, 1u << 30));
        const ssize_t n = ::copy_file_range(in, &offset, out, nullptr, chunk, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP ||
                      errno == EBADF))
            break;
        if (n < 0)
            Fail(errno, target);
        if (n == 0)
            throw core::Error(ResStr(rsTableShorterThanHeader), source);
        left -= static_cast<std::uint64_t>(n);
    }
    std::vector<char> buffer(1 << 20);
    while (left > 0) {
        const std::size_t chunk =
            static_cast<std::size_t>(std::min<std::uint64_t>(left, buffer.size()));
        const ssize_t n = ::pread(in, buffer.data(), chunk, offset);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            Fail(errno, source);
        if (n == 0)
            throw core::Error(ResStr(rsTableShorterThanHeader), source);
        WriteAll(out, buffer.data(), static_cast<std::size_t>(n), target);
        offset += n;
        left -= static_cast<std::uint64_t>(n);
    }
}

// Gives the finished copy its name, unless a file has that name already.
void RenameWithoutReplacing(const QByteArray& from, const QByteArray& to, const QString& target) {
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return;
    if (errno == EEXIST)
        throw TargetExists{};
    if (errno != EINVAL && errno != ENOSYS)
        Fail(errno, target);
    // A file system without the no-replace rename: a hard link fails on an existing name.
    if (::link(from.constData(), to.constData()) == 0) {
        ::unlink(from.constData());
        return;
    }
    if (errno == EEXIST)
        throw TargetExists{};
    if (errno != EPERM && errno != ENOTSUP)
        Fail(errno, target);
    // Nor hard links (FAT on a memory stick): the name was checked free before the copy, and
    // only this program writes backups.
    struct stat st {};
    if (::lstat(to.constData(), &st) == 0)
        throw TargetExists{};
    if (::rename(from.constData(), to.constData()) != 0)
        Fail(errno, target);
}

// Copies the table `source` to the new file `target`: the header and the records the header
// counts, then the end-of-file mark, nothing else, so that every reader (also one that counts
// the records by the file's size) sees exactly the posted records. The bytes are written under
// a temporary name, flushed to disk and renamed; a failure leaves no file under either name.
// Throws TargetExists when `target` exists, core::Error otherwise.
void CopyTable(const QString& source, const QString& target) {
    const QByteArray to = QFile::encodeName(target);
    struct stat st {};
    if (::lstat(to.constData(), &st) == 0)
        throw TargetExists{};

    Descriptor in(::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC));
    if (in.Get() < 0)
        Fail(errno, source);
    unsigned char header[dbf::kCommonHeaderSize] = {};
    const ssize_t got = ::pread(in.Get(), header, sizeof header, 0);
    if (got < 0)
        Fail(errno, source);
    if (::fstat(in.Get(), &st) != 0)
        Fail(errno, source);
    const std::uint64_t count = dbf::DecodeLe32(header + dbf::kRecordCountAt);
    const std::uint64_t headerLength = dbf::DecodeLe16(header + dbf::kHeaderLengthAt);
    const std::uint64_t recordLength = dbf::DecodeLe16(header + dbf::kRecordLengthAt);
    const std::uint64_t size = headerLength + count * recordLength;
    if (got < static_cast<ssize_t>(sizeof header) || headerLength <= sizeof header ||
        recordLength == 0 || static_cast<std::uint64_t>(st.st_size) < size)
        throw core::Error(ResStr(rsTableShorterThanHeader), source);

    QByteArray temp = QFile::encodeName(QFileInfo(target).path()) + "/." +
                      QFile::encodeName(QFileInfo(target).fileName()) + ".XXXXXX";
    Descriptor out(::mkostemp(temp.data(), O_CLOEXEC));
    if (out.Get() < 0)
        Fail(errno, target);
    try {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        if (::fchmod(out.Get(), 0666 & ~mask) != 0)
            Fail(errno, target);
        CopyBytes(in.Get(), out.Get(), size, source, target);
        const char mark = dbf::kEndOfFileMark;
        WriteAll(out.Get(), &mark, 1, target);
        if (::fsync(out.Get()) != 0)
            Fail(errno, target);
        if (const int error = out.Close())
            Fail(error, target);
        RenameWithoutReplacing(temp, to, target);
    } catch (...) {
        ::unlink(temp.constData());
        throw;
    }
}

// Flushes a folder's entries (the names of new files and folders) to disk.
void SyncFolder(const QString& folder) {
    Descriptor dir(
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() < 0)
        Fail(errno, folder);
    // Some file systems cannot flush a folder; their names are then as safe as they get.
    if (::fsync(dir.Get()) != 0 && errno != EINVAL && errno != ENOTSUP)
        Fail(errno, folder);
}

} // namespace

DatabaseCatalogue::DatabaseCatalogue(core::DatabaseStore& store) : m_store(store) {}

QStringList DatabaseCatalogue::List() {
    return core::DatabaseStore::ListDatabases();
}

QString DatabaseCatalogue::Current() const {
    return m_store.Name();
}

void DatabaseCatalogue::Select(const QString& name, bool upgrade) {
    core::CurrentSettings().defaultDatabase = name;
    // A table that is not there is reported when the database is opened.
    if (upgrade && core::IsValidDatabaseName(name) &&
        QFileInfo(core::DatabaseStore::DatabaseFile(name, QStringLiteral("2.dbf"))).isFile()) {
        try {
            if (core::DatabaseStore::UpgradeSamplesTable(name))
                core::UserPrompts().Message(core::ResStr(core::rsSamplesUpgraded).arg(name));
        } catch (const core::Error& e) {
            core::UserPrompts().Message(e.Message(), core::MessageKind::Error);
        }
    }
    m_store.ReadDatabaseSettings();
}

void DatabaseCatalogue::SelectFirstRemaining() {
    Select(List().value(0), false);
}

bool DatabaseInUse(const QString& name) {
    return std::ranges::any_of(kHeldSuffixes, [&](const char* suffix) {
        return core::IsFileInUse(core::DatabaseStore::DatabaseFile(name, QLatin1String(suffix)));
    });
}

bool DatabaseCatalogue::RefuseInUse(const QString& name) const {
    if (!DatabaseInUse(name))
        return false;
    core::UserPrompts().Message(ResStr(rsDatabaseHeldElsewhere).arg(name),
                                core::MessageKind::Warning);
    return true;
}

bool DatabaseCatalogue::DeleteHeldFiles(const QString& name, Message failure,
                                        const QString& subject) const {
    // Held for the time of the deletion: no other program opens the database meanwhile.
    HeldFiles held;
    if (!held.Acquire(name)) {
        core::UserPrompts().Message(ResStr(rsDatabaseHeldElsewhere).arg(name),
                                    core::MessageKind::Warning);
        return false;
    }
    try {
        core::DatabaseStore::DeleteDatabase(name);
    } catch (const core::Error& e) {
        core::UserPrompts().Message(ResStr(failure).arg(subject, e.Message()),
                                    core::MessageKind::Error);
        return false;
    }
    return true;
}

bool DatabaseCatalogue::Create(const QString& name) {
    if (name.trimmed().isEmpty()) {
        core::UserPrompts().Message(ResStr(rsNotAValidName), core::MessageKind::Warning);
        return false;
    }
    if (!core::IsValidDatabaseName(name)) {
        core::UserPrompts().Message(core::ResStr(core::rsInvalidDbName).arg(name),
                                    core::MessageKind::Warning);
        return false;
    }
    const QStringList existing = List();
    const auto same =
        std::ranges::find_if(existing, [&](const QString& n) { return SameName(n, name); });
    if (same != existing.end()) {
        const QString old = *same;
        // The open database is held by this program itself, not by another one.
        const bool open = m_store.IsOpen() && SameName(m_store.Name(), old);
        if (!open && RefuseInUse(old))
            return false;
        if (!core::UserPrompts().YesNoDefaultNo(ResStr(rsDatabaseExists) + QLatin1Char('\n') +
                                                ResStr(rsReplaceQuestion)))
            return false;
        if (open)
            m_store.CloseDatabase();
        if (!DeleteHeldFiles(old, rsDatabaseNotCreated, name))
            return false;
    }
    try {
        m_store.CreateDatabase(name);
    } catch (...) {
        const QString failure = core::CurrentFailureText();
        // No half database: a table made before the failure goes again.
        for (const char* suffix : {"1.dbf", "2.dbf"})
            QFile::remove(core::DataDir() + name + QLatin1String(suffix));
        core::UserPrompts().Message(ResStr(rsDatabaseNotCreated).arg(name, failure),
                                    core::MessageKind::Error);
        return false;
    }
    // The new database has no settings yet: the user chooses its coordinate system next.
    core::CurrentSettings().defaultDatabase = name;
    m_store.SetCoordinateSystem({});
    m_store.SetMapName({});
    m_store.SetSquaresTable({});
    return true;
}

bool DatabaseCatalogue::Delete(const QString& name) {
    if (name.isEmpty())
        return false;
    if (m_store.IsOpen() && SameName(m_store.Name(), name)) {
        core::UserPrompts().Message(ResStr(rsOpenDatabaseNotDeleted).arg(name),
                                    core::MessageKind::Warning);
        return false;
    }
    if (RefuseInUse(name))
        return false;
    if (!core::UserPrompts().YesNoDefaultNo(ResStr(rsDeleteDatabaseQuestion).arg(name)))
        return false;
    if (!DeleteHeldFiles(name, rsDatabaseNotDeleted, name))
        return false;
    if (SameName(Current(), name))
        SelectFirstRemaining();
    return true;
}

void DatabaseCatalogue::SetCoordinateSystem(const QString& system) {
    if (Current().isEmpty())
        return;
    const bool latLon = system == core::kLatLon;
    m_store.SetCoordinateSystem(latLon ? core::kLatLon : core::kKmBased);
    core::CurrentSettings().number = latLon ? 1 : 0;
    try {
        m_store.WriteDatabaseSettings();
    } catch (const core::Error& e) {
        core::UserPrompts().Message(e.Message(), core::MessageKind::Error);
    }
}

void DatabaseCatalogue::SetSquaresTable(const QString& table) {
    if (Current().isEmpty())
        return;
    if (!table.isEmpty() && !core::IsPlainFileName(table)) {
        core::UserPrompts().Message(ResStr(rsNotAValidName), core::MessageKind::Warning);
        return;
    }
    m_store.SetSquaresTable(table);
    try {
        m_store.WriteDatabaseSettings();
    } catch (const core::Error& e) {
        core::UserPrompts().Message(e.Message(), core::MessageKind::Error);
    }
}

bool DatabaseCatalogue::SquareCodesStale() {
    if (Current().isEmpty())
        return false;
    try {
        return !m_store.SquareCodesUpToDate(kSquareCodeLanguage);
    } catch (const core::Error&) {
        // A coordinate that is not a number: the update says which when it is asked for.
        if (m_store.IsOpen())
            m_store.CloseDatabase();
        return true;
    }
}

bool DatabaseCatalogue::UpdateSquareCodes() {
    const QString name = Current();
    if (name.isEmpty() || !m_store.OpenDatabase(name))
        return false;
    bool done = false;
    try {
        m_store.RecomputeSquareCodes(kSquareCodeLanguage);
        done = true;
    } catch (...) {
        core::UserPrompts().Message(ResStr(rsSquareCodesNotUpdated) + QLatin1Char('\n') +
                                        core::CurrentFailureText(),
                                    core::MessageKind::Error);
    }
    m_store.CloseDatabase();
    return done;
}

QString DatabaseCatalogue::BackupFolderName(const QString& name, const QDateTime& time) {
    return QStringLiteral("Backup_") + name + QLatin1Char('_') +
           time.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
}

QString DatabaseCatalogue::BackupInto(const QString& folder) {
    if (folder.isEmpty())
        return {}; // no folder chosen
    const QString name = Current();
    if (name.isEmpty() || !core::IsValidDatabaseName(name)) {
        core::UserPrompts().Message(ResStr(rsNoCurrentDatabase), core::MessageKind::Warning);
        return {};
    }
    const QString parent = QDir::cleanPath(folder);
    if (parent + QLatin1Char('/') == core::DataDir()) {
        core::UserPrompts().Message(ResStr(rsBackupInDataDir), core::MessageKind::Warning);
        return {};
    }
    core::CurrentSettings().backupFolder = folder;
    const QDateTime time = m_clock ? m_clock() : QDateTime::currentDateTime();
    const QString target = parent + QLatin1Char('/') + BackupFolderName(name, time);

    bool created = false;
    QStringList made;
    auto undo = [&] {
        for (const QString& copy : made)
            QFile::remove(copy);
        if (created)
            ::rmdir(QFile::encodeName(target).constData());
    };
    try {
        if (::mkdir(QFile::encodeName(target).constData(), 0777) == 0)
            created = true;
        else if (errno != EEXIST)
            Fail(errno, target);
        for (const char* suffix : {"1.dbf", "2.dbf"}) {
            const QString source = core::DatabaseStore::DatabaseFile(name, QLatin1String(suffix));
            const QString copy = target + QLatin1Char('/') + QFileInfo(source).fileName();
            CopyTable(source, copy);
            made << copy;
        }
        SyncFolder(target);
        if (created)
            SyncFolder(parent);
    } catch (const TargetExists&) {
        undo();
        core::UserPrompts().Message(ResStr(rsBackupNotMade), core::MessageKind::Error);
        return {};
    } catch (...) {
        const QString failure = core::CurrentFailureText();
        undo();
        core::UserPrompts().Message(ResStr(rsBackupFailed) + QLatin1Char('\n') + failure,
                                    core::MessageKind::Error);
        return {};
    }
    core::UserPrompts().Message(ResStr(rsBackupMade) + target);
    return target;
}

} // namespace velmora::recording
