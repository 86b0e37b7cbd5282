// Cost of the map's two heavy steps on the shipped base map of the Netherlands (2800 x 3250
// pixels): loading it with its calibration and making the view fitted to the window, and
// saving the drawn map as PNG (the file written whole, renamed into place).

#include "core/coordinates.h"
#include "core/databasestore.h"
#include "maps/mapimage.h"
#include "maps/symbolpainter.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace velmora;

namespace {
const QString kBaseMap =
    QStringLiteral(VELMORA_SOURCE_DIR "/data/Maps/Nederland_0_625_280_300_.png");
}

static void LoadMapAndFittedView(benchmark::State& state) {
    core::DatabaseStore store;
    store.SetCoordinateSystem(core::kKmBased);
    maps::MapImage map(store);
    for (auto _ : state) {
        map.ClearLoaded();
        if (map.LoadMap(kBaseMap) != maps::LoadResult::Calibrated)
            state.SkipWithError("the base map did not load");
        const QImage view = map.FittedView(QSize(1000, 700));
        benchmark::DoNotOptimize(view.constBits());
    }
}
BENCHMARK(LoadMapAndFittedView)->Unit(benchmark::kMillisecond);

static void SaveDrawnMapAsPng(benchmark::State& state) {
    core::DatabaseStore store;
    store.SetCoordinateSystem(core::kKmBased);
    maps::MapImage map(store);
    map.LoadMap(kBaseMap);
    {
        // A drawn map: a thousand dots spread over the country.
        maps::SymbolPainter painter(map.WorkingImage());
        for (int i = 0; i < 1000; ++i)
            painter.DrawSymbol(QPoint(200 + (i * 977) % 2400, 200 + (i * 613) % 2850),
                               maps::Shape::FilledCircle, 16, 1, 0x000000FF);
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Monsters - kaart.png"));
    for (auto _ : state)
        map.SaveWorkingImage(path);
}
BENCHMARK(SaveDrawnMapAsPng)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
