#pragma once
// Text files of the program: read as UTF-8 when the bytes are valid UTF-8, otherwise as
// Windows-1252 (files written by older versions); written as UTF-8 with CR LF line ends,
// through a temporary file renamed over the old one, so a failed write never destroys the
// file that was there.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace velmora::core {

QString DecodeText(const QByteArray& bytes);

// Reads the whole file. Throws Error when it cannot be read.
QString ReadTextFile(const QString& path);
// The file's lines without their line ends (CR LF, LF or CR).
QStringList ReadTextLines(const QString& path);

// Writes the lines, each ended by CR LF. Throws Error (with the file name and the system's
// reason) when the file cannot be written; the previous file then stays as it was.
void WriteTextLines(const QString& path, const QStringList& lines);

} // namespace velmora::core
