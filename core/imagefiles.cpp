#include "core/imagefiles.h"
#include "core/text/textfile.h"

#include "core/error.h"
#include "core/resourcestrings.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <algorithm>
#include <limits>

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

bool LoadImage(QImage& bitmap, const QString& path, qint64 maxPixels) {
    const QByteArray format = FormatOf(path);
    if (format.isEmpty() || !QFileInfo::exists(path))
        return false;
    QImageReader reader(path, format);
    reader.setDecideFormatFromContent(false);
    // The header alone gives the size; the pixels are only decoded once it is acceptable.
    const QSize size = reader.size();
    if (!size.isValid())
        throw Error(ResStr(rsImageNotRead).arg(reader.errorString()), path);
    if (qint64(size.width()) * size.height() > maxPixels)
        throw Error(ResStr(rsImageTooLarge)
                        .arg(size.width())
                        .arg(size.height())
                        .arg(double(maxPixels) / 1e6, 0, 'g', 6),
                    path);
    // A decoder that learns a larger size from the data than the header gave stops at the
    // same bound: 4 bytes a pixel, in megabytes, rounded up.
    reader.setAllocationLimit(int(
        std::min<qint64>((maxPixels * 4 + (1 << 20) - 1) >> 20, std::numeric_limits<int>::max())));
    QImage image = reader.read();
    if (image.isNull())
        throw Error(ResStr(rsImageNotRead).arg(reader.errorString()), path);
    bitmap = std::move(image);
    return true;
}

} // namespace velmora::core
