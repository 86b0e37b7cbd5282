#pragma once
// Reading and writing images by the file's extension, compared in lower case: ".bmp" a
// Windows bitmap, ".jpg" a JPEG image (written at quality 100), ".png" a PNG image. Any other
// extension is not an image file of the program and is left alone.

#include <QImage>
#include <QString>

namespace velmora::core {

// The largest picture the program reads: 100 million pixels (a map of 10,000 by 10,000
// pixels takes 400 MB in memory). A larger one is refused before any memory is taken for it.
inline constexpr qint64 kMaxImagePixels = 100'000'000;

// True when the extension is one of the three.
bool IsImageFileName(const QString& path);

// Writes the bitmap; the old file is replaced only when the new one was written whole.
// Returns false (and writes nothing) for another extension. Throws Error when the file
// cannot be written.
bool SaveImage(const QImage& bitmap, const QString& path);

// Replaces the bitmap by the image in the file, sized to it. Returns false (bitmap unchanged)
// for another extension or a file that does not exist. Throws Error when the file exists but
// is no readable image of its kind, or when its header announces more than maxPixels pixels
// (checked before the picture is decoded, so a damaged or hostile header cannot make the
// program take gigabytes).
bool LoadImage(QImage& bitmap, const QString& path, qint64 maxPixels = kMaxImagePixels);

} // namespace velmora::core
