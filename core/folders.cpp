#include "core/folders.h"

#include "core/error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace velmora::core {

namespace {
QString& ProgramDirOverride() {
    static QString dir;
    return dir;
}
QString& ProgramNameOverride() {
    static QString name;
    return name;
}
QString WithSeparator(QString dir) {
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}
} // namespace

QString ProgramDir() {
    if (!ProgramDirOverride().isEmpty())
        return ProgramDirOverride();
    return WithSeparator(QCoreApplication::applicationDirPath());
}

void SetProgramDir(const QString& dir) {
    ProgramDirOverride() = dir.isEmpty() ? QString() : WithSeparator(QDir::cleanPath(dir));
}

QString DataDir() {
    return ProgramDir() + QStringLiteral("Data/");
}
QString LibDir() {
    return ProgramDir() + QStringLiteral("Lib/");
}
QString MapsDir() {
    return ProgramDir() + QStringLiteral("Maps/");
}
QString LanguageDir() {
    return ProgramDir() + QStringLiteral("Lang/");
}
QString FiltersDir() {
    return ProgramDir() + QStringLiteral("Filters/");
}
QString KmlDir() {
    return ProgramDir() + QStringLiteral("KML/");
}
QString ManualPath() {
    return ProgramDir() + QStringLiteral("help/Handleiding Velmora Database.pdf");
}

QString ProgramName() {
    if (!ProgramNameOverride().isEmpty())
        return ProgramNameOverride();
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

void SetProgramName(const QString& name) {
    ProgramNameOverride() = name;
}

QString DocumentsFolder() {
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        throw Error(QStringLiteral("De folder \"Mijn Documenten\" kon niet gevonden worden"));
    return dir;
}

bool IsPlainFileName(const QString& name) {
    if (name.trimmed().isEmpty() || name.contains(QLatin1String("..")))
        return false;
    for (QChar c : name) {
        if (c.unicode() < 0x20 || QStringLiteral("/\\<>:\"|?*").contains(c))
            return false;
    }
    return true;
}

} // namespace velmora::core
