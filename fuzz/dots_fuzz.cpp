// libFuzzer target for dot settings files (.dbd): OpenDotSettingsFile, the style of a record
// for every tab and kind of run, the symbols drawn in those styles, and the file written
// back.
//
// Input: the file. Besides "no crash, no hang", the checks are:
// - every shape position read is -1 to 8;
// - a style either resolves to a size and line width within the drawing's limits or fails
//   with core::Error (a size or width that is no valid number), never otherwise;
// - the styles and map name written to a new file read back the same.

#include "core/error.h"
#include "fuzz/fuzz_support.h"
#include "maps/dotstyles.h"
#include "maps/symbolpainter.h"

#include <QImage>
#include <cstdint>

namespace core = velmora::core;
namespace maps = velmora::maps;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    velmora::fuzz::InstallQuietPrompts();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path = velmora::fuzz::WriteScratchFile("input.dbd", data, size);
    const maps::DotSettingsFile file = maps::OpenDotSettingsFile(path);
    for (const maps::DotStyle& style : file.styles.entries)
        VELMORA_FUZZ_CHECK(style.shape >= -1 && style.shape < maps::kShapeCount);
    const int fontSize = maps::LegendFontSize(file.styles);
    VELMORA_FUZZ_CHECK(fontSize >= 4 && fontSize <= 100);

    static QImage image = [] {
        QImage i(64, 64, QImage::Format_RGB32);
        i.fill(0xFFFFFFFF);
        return i;
    }();
    maps::SymbolPainter painter(image);
    for (int tab = 0; tab <= int(maps::StyleTab::AllLocations); ++tab) {
        for (const maps::RunKind run : {maps::RunKind::Taxon, maps::RunKind::AllLocations}) {
            maps::StyleRequest request;
            request.tab = static_cast<maps::StyleTab>(tab);
            request.run = run;
            request.year = QStringLiteral("1989");
            request.separationYear = QStringLiteral("1990");
            try {
                const maps::ResolvedStyle style = maps::ResolveStyle(file.styles, request);
                VELMORA_FUZZ_CHECK(style.size >= 0 && style.size <= maps::kMaxDotSize);
                VELMORA_FUZZ_CHECK(style.lineWidth >= 0 && style.lineWidth <= maps::kMaxLineWidth);
                // Large symbols are worked out once each; keep the run quick.
                if (style.size <= 200)
                    painter.DrawSymbol(QPoint(32, 32), style.shape, style.size, style.lineWidth,
                                       style.color);
            } catch (const core::Error& e) {
                VELMORA_FUZZ_CHECK(!e.Reason().isEmpty());
            }
        }
    }

    const QString copy = QString::fromStdString(velmora::fuzz::ScratchDir() + "/copy.dbd");
    maps::SaveDotSettingsFile(copy, file);
    const maps::DotSettingsFile again = maps::OpenDotSettingsFile(copy);
    VELMORA_FUZZ_CHECK(again.mapName == file.mapName);
    VELMORA_FUZZ_CHECK(again.styles == file.styles);
    return 0;
}
