#include "core/textfile.h"

#include "core/dbf/codepage.h"
#include "core/error.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>

namespace velmora::core {

QString DecodeText(const QByteArray& bytes) {
    const std::string_view view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (dbf::IsValidUtf8(view)) {
        QString text = QString::fromUtf8(bytes);
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

void WriteTextLines(const QString& path, const QStringList& lines) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw Error(file.errorString(), path);
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw Error(file.errorString(), path);
}

} // namespace velmora::core
