#include "core/imagefiles.h"
#include "core/text/textfile.h"

#include "core/error.h"
#include "core/resourcestrings.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>

namespace velmora::core {

namespace {
// The Qt image format for the path's extension, or nothing.
QByteArray FormatOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("bmp"))
        return "bmp";
    if (suffix == QLatin1String("jpg"))
        return "jpeg";
    if (suffix == QLatin1String("png"))
        return "png";
    return {};
}
} // namespace

bool IsImageFileName(const QString& path) {
    return !FormatOf(path).isEmpty();
}

bool SaveImage(const QImage& bitmap, const QString& path) {
    const QByteArray format = FormatOf(path);
    if (format.isEmpty())
        return false;
    // Encoded in memory first: the file is then written in one checked step.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (format == "jpeg")
        writer.setQuality(100);
    if (!writer.write(bitmap))
        throw Error(writer.errorString(), path);
    WriteFileAtomically(path, buffer.data());
    return true;
}

bool LoadImage(QImage& bitmap, const QString& path) {
    const QByteArray format = FormatOf(path);
    if (format.isEmpty() || !QFileInfo::exists(path))
        return false;
    QImageReader reader(path, format);
    reader.setDecideFormatFromContent(false);
    QImage image = reader.read();
    if (image.isNull())
        throw Error(ResStr(rsImageNotRead).arg(reader.errorString()), path);
    bitmap = std::move(image);
    return true;
}

} // namespace velmora::core
