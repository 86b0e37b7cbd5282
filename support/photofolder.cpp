#include "support/photofolder.h"

#include "core/dataset.h"
#include "core/error.h"
#include "core/folders.h"
#include "core/settings.h"
#include "support/messages.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

namespace velmora::support {

PhotoEvent PhotoEventOf(core::Dataset& locations) {
    PhotoEvent event;
    event.year = locations.FieldByName(QStringLiteral("JAAR")).AsString();
    event.month = locations.FieldByName(QStringLiteral("MAAND")).AsString();
    event.location = locations.FieldByName(QStringLiteral("LOCATIE")).AsString();
    event.x = locations.FieldByName(QStringLiteral("COORDX")).AsString();
    event.y = locations.FieldByName(QStringLiteral("COORDY")).AsString();
    return event;
}

QString MainPhotoFolder(const QString& setting) {
    return setting.isEmpty() ? core::DefaultPhotoFolder() : setting;
}

QString SafeFolderName(const QString& text) {
    QString name = text;
    for (QChar& c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control)
            c = QLatin1Char('_');
    }
    static const QRegularExpression dotsOnly(QStringLiteral("^\\.+$"));
    if (dotsOnly.match(name).hasMatch())
        name.prepend(QLatin1Char('_'));
    return name;
}

QString ProposedSubfolder(const PhotoEvent& event) {
    QString month = ResStr(rsPhotoMonthFolder);
    while (month.startsWith(QLatin1Char('\\')) || month.startsWith(QLatin1Char('/')))
        month.remove(0, 1);
    const QChar sep = QLatin1Char('/');
    return sep + SafeFolderName(event.year) + sep + SafeFolderName(month + event.month) + sep +
           SafeFolderName(event.location + QStringLiteral("#coord. ") + event.x +
                          QStringLiteral(" - ") + event.y);
}

QString PhotoFolderPath(const QString& mainFolder, const QString& subfolder) {
    static const QRegularExpression separators(QStringLiteral("[/\\\\]"));
    const QStringList parts = subfolder.split(separators, Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return {};
    for (const QString& part : parts) {
        if (part == QLatin1String(".") || part == QLatin1String(".."))
            return {};
    }
    if (mainFolder.isEmpty())
        return {};
    return QDir::cleanPath(mainFolder + QLatin1Char('/') + parts.join(QLatin1Char('/')));
}

bool MakePhotoFolder(const QString& mainFolder, const QString& subfolder) {
    const QString path = PhotoFolderPath(mainFolder, subfolder);
    if (path.isEmpty())
        return false;
    QDir().mkpath(path);
    return QFileInfo(path).isDir();
}

QString FolderDialogStart(const QString& folder) {
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        return folder;
    try {
        const QString documents = core::DocumentsFolder();
        if (QFileInfo(documents).isDir())
            return documents;
    } catch (const core::Error&) {
    }
    return QDir::homePath();
}

} // namespace velmora::support
