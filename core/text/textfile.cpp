#include "core/text/textfile.h"

#include "core/error.h"
#include "core/resourcestrings.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/dbf/codepage.h"
#include "core/error.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>

namespace velmora::core {

QString DecodeText(const QByteArray& bytes) {
    const std::string_view view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (dbf::IsValidUtf8(view)) {
        // The byte-order mark, when there is one, is dropped; a U+FEFF after it is text.
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        QString text = decoder(bytes);
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        return text;
    }
    return QString::fromStdString(dbf::ToUtf8(view, dbf::CodePage::Windows1252));
}

QString ReadTextFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(file.errorString(), path);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Error(file.errorString(), path);
    return DecodeText(bytes);
}

QStringList ReadTextLines(const QString& path) {
    QString text = ReadTextFile(path);
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\n|\r"));
    QStringList lines = text.split(lineEnd);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString SystemErrorText(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return ResStr(rsDiskFull);
    case EACCES:
    case EPERM:
        return ResStr(rsNoPermission);
    case EROFS:
        return ResStr(rsReadOnlyDisk);
    case ENOENT:
    case ENOTDIR:
        return ResStr(rsFolderMissing);
    case EWOULDBLOCK:
        return ResStr(rsFileInUse);
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

void WriteFileAtomically(const QString& path, const QByteArray& bytes) {
    const QByteArray target = QFile::encodeName(path);
    QByteArray temp = target + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        throw Error(SystemErrorText(errno), path);
    auto fail = [&](int error) {
        ::close(fd);
        ::unlink(temp.constData());
        throw Error(SystemErrorText(error), path);
    };
    // The new file gets the permissions of the old one, or those a new file would get.
    struct stat old {};
    mode_t mode = 0;
    if (::stat(target.constData(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(fd, mode) != 0)
        fail(errno);
    if (const int error = WriteFully(fd, bytes.constData(), static_cast<std::size_t>(bytes.size())))
        fail(error);
    if (::fsync(fd) != 0)
        fail(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temp.constData());
        throw Error(SystemErrorText(error), path);
    }
    if (::rename(temp.constData(), target.constData()) != 0) {
        const int error = errno;
        ::unlink(temp.constData());
        throw Error(SystemErrorText(error), path);
    }
}

int WriteFully(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

void WriteTextLines(const QString& path, const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    WriteFileAtomically(path, bytes);
}

} // namespace velmora::core
