#pragma once
// The files the build put below Lib/ in the program folder, by version: Lib/.shipped holds one
// line "<path relative to the program folder>\t<SHA-256 of the bytes, lower-case hex>" for
// every version the build ever wrote there. The build (tools/makedata for the tables,
// cmake/stage.cmake for the files it copies) refreshes a file below Lib/ only while it is
// absent or still one of those versions: a list the user imported, an additional taxa list
// the program extended, any file the user changed is left alone.
//
// cmake/stage.cmake keeps the same file with the same rules in CMake's own language.

#include <QMultiHash>
#include <QString>

namespace velmora::core {

// The SHA-256 of a file's bytes in lower-case hex. Throws Error when it cannot be read.
QString FileSha256(const QString& path);

class ShippedFiles {
public:
    // The manifest of the program folder. A folder without one gets one at once, listing
    // every file then present below Lib/ as shipped: they were all written before anything in
    // the folder kept a manifest, so before a user could import a list. Throws Error when the
    // manifest cannot be read or written.
    explicit ShippedFiles(const QString& programDir);

    static QString ManifestPath(const QString& programDir);

    // True when `sha256` is a version of the file that the build wrote.
    bool IsShipped(const QString& relativePath, const QString& sha256) const;
    // True when the build may write the file: it is absent, or its bytes are a shipped
    // version. Throws Error when a present file cannot be read.
    bool MayReplace(const QString& relativePath) const;
    // Adds a version to the manifest (once); called before the version is put in place, so
    // that a file the build wrote is never taken for a user's. Throws Error when the manifest
    // cannot be written.
    void Record(const QString& relativePath, const QString& sha256);

private:
    QString m_programDir; // with a trailing "/"
    QMultiHash<QString, QString> m_versions;
};

} // namespace velmora::core
