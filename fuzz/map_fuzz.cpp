// libFuzzer target for map pictures: MapImage::LoadMap on a .bmp, .jpg or .png file whose
// name may carry a calibration, in a km-based or a "LatLon" database; then the fitted view
// and a dot drawn at the middle of the map.
//
// Input: byte 0 chooses the extension (bits 0-1: .bmp, .jpg, .png, .png) and the coordinate
// system (bit 2 set: "LatLon"); byte 1 is the length n of the name (mod 48); the next n bytes
// are the name (characters outside letters, digits, "_", ".", ",", "-" become "x"); the rest
// is the file. Besides "no crash, no hang, no runaway memory", the checks are:
// - a picture that is read is 32 bits per pixel, within the pixel limit, and the working
//   image is a copy of it of the same size;
// - Calibrated comes with a calibration, the loaded flag and the map name of the file;
//   anything else leaves the map name alone and the flag clear;
// - NotRead leaves no picture behind (the map was empty before).

#include "core/coordinates.h"
#include "core/databasestore.h"
#include "core/folders.h"
#include "fuzz/fuzz_support.h"
#include "maps/mapimage.h"
#include "maps/symbolpainter.h"

#include <QGuiApplication>
#include <cstdint>
#include <memory>

namespace core = velmora::core;
namespace maps = velmora::maps;

namespace {
// Small enough that the sanitizers decode the largest picture well within the time limit.
constexpr qint64 kFuzzPixels = 4'000'000;
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    velmora::fuzz::InstallQuietPrompts();
    core::SetProgramDir(QString::fromStdString(velmora::fuzz::ScratchDir()));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    static const char* const extensions[] = {".bmp", ".jpg", ".png", ".png"};
    const char* extension = extensions[data[0] & 3];
    const bool latLon = (data[0] & 4) != 0;
    const std::size_t nameLength = std::min<std::size_t>(data[1] % 48, size - 2);
    std::string name;
    for (std::size_t i = 0; i < nameLength; ++i) {
        const char c = char(data[2 + i]);
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '_' || c == '.' || c == ',' || c == '-';
        name += plain ? c : 'x';
    }
    name = "map" + name + extension;
    const std::size_t offset = 2 + nameLength;
    const QString path = velmora::fuzz::WriteScratchFile(name, data + offset, size - offset);

    core::DatabaseStore store;
    store.SetCoordinateSystem(latLon ? core::kLatLon : core::kKmBased);
    store.SetMapName(QStringLiteral("before"));
    maps::MapImage map(store);
    map.maxPixels = kFuzzPixels;
    const maps::LoadResult result = map.LoadMap(path);
    if (velmora::fuzz::Verbose())
        std::fprintf(stderr, "%s: result %d, %dx%d\n", name.c_str(), int(result),
                     map.PlainMap().width(), map.PlainMap().height());

    if (result == maps::LoadResult::NotRead) {
        VELMORA_FUZZ_CHECK(map.PlainMap().isNull() && map.WorkingImage().isNull());
        VELMORA_FUZZ_CHECK(!map.Loaded() && store.MapName() == QStringLiteral("before"));
        return 0;
    }
    const QImage& plain = map.PlainMap();
    VELMORA_FUZZ_CHECK(!plain.isNull() && plain.format() == QImage::Format_RGB32);
    VELMORA_FUZZ_CHECK(qint64(plain.width()) * plain.height() <= kFuzzPixels);
    VELMORA_FUZZ_CHECK(map.WorkingImage().size() == plain.size());
    if (result == maps::LoadResult::Calibrated) {
        VELMORA_FUZZ_CHECK(map.Calibration().has_value() && map.Loaded());
        VELMORA_FUZZ_CHECK(store.MapName() == path.section(QLatin1Char('/'), -1));
        const maps::MapEdges& e = map.Calibration()->edges;
        maps::SymbolPainter painter(map.WorkingImage());
        if (const auto pixel =
                map.Calibration()->Pixel((e.xLeft + e.xRight) / 2, (e.yTop + e.yBottom) / 2))
            painter.DrawSymbol(*pixel, maps::Shape::FilledCircle, 16, 2, 0x000000FF);
        VELMORA_FUZZ_CHECK(map.PlainMap().size() == map.WorkingImage().size());
    } else {
        VELMORA_FUZZ_CHECK(result == maps::LoadResult::NotCalibrated);
        VELMORA_FUZZ_CHECK(!map.Loaded() && store.MapName() == QStringLiteral("before"));
    }
    const QImage view = map.FittedView(QSize(300, 200));
    VELMORA_FUZZ_CHECK(view.width() <= 300 && view.height() <= 200);
    return 0;
}
