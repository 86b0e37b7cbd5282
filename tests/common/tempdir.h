#pragma once
// Helpers shared by the test suites: temporary folders and small file utilities.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <stdexcept>

namespace velmora::testing {

inline QByteArray ReadAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return f.readAll();
}

inline void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

} // namespace velmora::testing
