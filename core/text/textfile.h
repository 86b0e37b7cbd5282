#pragma once
// Text files of the program: read as UTF-8 when the bytes are valid UTF-8, otherwise as
// Windows-1252 (files written by older versions); written as UTF-8 with CR LF line ends,
// through a temporary file renamed over the old one, so a failed write never destroys the
// file that was there.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstddef>

namespace velmora::core {

QString DecodeText(const QByteArray& bytes);

// Reads the whole file. Throws Error when it cannot be read.
QString ReadTextFile(const QString& path);
// The file's lines without their line ends (CR LF, LF or CR).
QStringList ReadTextLines(const QString& path);

// Writes the bytes into a new file beside `path`, flushes it to disk and renames it over
// `path`: readers see the old or the new file, never a part. Every write is checked, so a
// full disk or a refused write throws Error (the file name and the reason in plain words) and
// leaves the previous file as it was. The file keeps the permissions of the one it replaces.
void WriteFileAtomically(const QString& path, const QByteArray& bytes);

// Writes all `size` bytes to the descriptor, going on after interrupted and short writes.
// Returns 0, or the errno of the write that failed (ENOSPC when the system wrote nothing).
int WriteFully(int fd, const char* data, std::size_t size);

// The reason for a failed system call (an errno value) in the interface language.
QString SystemErrorText(int error);

// Writes the lines, each ended by CR LF. Throws Error (with the file name and the system's
// reason) when the file cannot be written; the previous file then stays as it was.
void WriteTextLines(const QString& path, const QStringList& lines);

} // namespace velmora::core
