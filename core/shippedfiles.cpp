#include "core/shippedfiles.h"

#include "core/error.h"
#include "core/text/textfile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace velmora::core {

namespace {

QString WithSeparator(const QString& dir) {
    return dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
}

QString Line(const QString& relativePath, const QString& sha256) {
    return relativePath + QLatin1Char('\t') + sha256 + QLatin1Char('\n');
}

} // namespace

QString FileSha256(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(file.errorString(), path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file) || file.error() != QFileDevice::NoError)
        throw Error(file.errorString(), path);
    return QString::fromLatin1(hash.result().toHex());
}

QString ShippedFiles::ManifestPath(const QString& programDir) {
    return WithSeparator(programDir) + QStringLiteral("Lib/.shipped");
}

ShippedFiles::ShippedFiles(const QString& programDir) : m_programDir(WithSeparator(programDir)) {
    const QString manifest = ManifestPath(m_programDir);
    if (QFileInfo::exists(manifest)) {
        QFile file(manifest);
        if (!file.open(QIODevice::ReadOnly))
            throw Error(file.errorString(), manifest);
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            throw Error(file.errorString(), manifest);
        for (const QByteArray& raw : bytes.split('\n')) {
            const QList<QByteArray> parts = raw.trimmed().split('\t');
            if (parts.size() == 2)
                m_versions.insert(QString::fromUtf8(parts[0]), QString::fromLatin1(parts[1]));
        }
        return;
    }
    // Sorted, so that the manifest of a folder does not depend on the order of its directory.
    QStringList present;
    const QString lib = m_programDir + QStringLiteral("Lib");
    QDirIterator it(lib, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!path.startsWith(manifest)) // nor a ".shipped.new" left by the build
            present << path.mid(m_programDir.size());
    }
    present.sort();
    QByteArray bytes;
    for (const QString& relativePath : present) {
        const QString sha256 = FileSha256(m_programDir + relativePath);
        m_versions.insert(relativePath, sha256);
        bytes += Line(relativePath, sha256).toUtf8();
    }
    QDir().mkpath(lib);
    WriteFileAtomically(manifest, bytes);
}

bool ShippedFiles::IsShipped(const QString& relativePath, const QString& sha256) const {
    return m_versions.contains(relativePath, sha256);
}

bool ShippedFiles::MayReplace(const QString& relativePath) const {
    const QString path = m_programDir + relativePath;
    return !QFileInfo::exists(path) || IsShipped(relativePath, FileSha256(path));
}

void ShippedFiles::Record(const QString& relativePath, const QString& sha256) {
    if (IsShipped(relativePath, sha256))
        return;
    const QString manifest = ManifestPath(m_programDir);
    QFile file(manifest);
    const QByteArray line = Line(relativePath, sha256).toUtf8();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append) || file.write(line) != line.size() ||
        !file.flush())
        throw Error(file.errorString(), manifest);
    file.close();
    if (file.error() != QFileDevice::NoError)
        throw Error(file.errorString(), manifest);
    m_versions.insert(relativePath, sha256);
}

} // namespace velmora::core
