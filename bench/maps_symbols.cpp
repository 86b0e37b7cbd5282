// Cost of drawing dots on the shipped base map (2800 x 3250 pixels): 50,000 symbols of one
// shape per run, size 16 and line width 1, spread over the whole map; and 50,000 location
// records placed from their coordinate texts (position, pixel and symbol) as a map run does.

#include "core/coordinates.h"
#include "core/prompts.h"
#include "maps/recordsymbol.h"
#include "maps/symbolpainter.h"

#include <QGuiApplication>
#include <QImage>
#include <benchmark/benchmark.h>
#include <vector>

using namespace velmora;

namespace {
constexpr int kSymbols = 50'000;

QImage BaseMap() {
    QImage image(QStringLiteral(VELMORA_SOURCE_DIR "/data/Maps/Nederland_0_625_280_300_.png"));
    return image.convertToFormat(QImage::Format_RGB32);
}

std::vector<QPoint> Pixels(QSize size) {
    std::vector<QPoint> pixels;
    pixels.reserve(kSymbols);
    for (long long i = 0; i < kSymbols; ++i)
        pixels.emplace_back(int(i * 7919 % size.width()), int(i * 104729 % size.height()));
    return pixels;
}
} // namespace

static void DrawSymbols(benchmark::State& state) {
    QImage image = BaseMap();
    const std::vector<QPoint> pixels = Pixels(image.size());
    const auto shape = static_cast<maps::Shape>(state.range(0));
    for (auto _ : state) {
        maps::SymbolPainter painter(image);
        for (const QPoint& pixel : pixels)
            painter.DrawSymbol(pixel, shape, 16, 1, 0x000000FF);
        benchmark::DoNotOptimize(image.constBits());
    }
    static const char* const names[] = {"",
                                        "Cirkel gevuld",
                                        "Cirkel open",
                                        "Vierkant gevuld",
                                        "Vierkant open",
                                        "Driehoek omhoog",
                                        "Driehoek omlaag",
                                        "Ruit open",
                                        "Kruis",
                                        "Plus"};
    state.SetLabel(names[state.range(0)]);
}
BENCHMARK(DrawSymbols)->DenseRange(1, 9)->Unit(benchmark::kMillisecond);

static void DrawLocationRecords(benchmark::State& state) {
    QImage image = BaseMap();
    const maps::MapCalibration calibration =
        *maps::MapCalibration::FromEdges({0, 625, 280, 300}, image.size());
    std::vector<maps::LocationRecord> records(kSymbols);
    for (long long i = 0; i < kSymbols; ++i) {
        records[std::size_t(i)].coordX = QString::number(20 + i * 7919 % 2500 / 10.0);
        records[std::size_t(i)].coordY = QString::number(310 + i * 104729 % 3000 / 10.0);
    }
    maps::PlacementRules rules;
    rules.coordinateSystem = core::kKmBased;
    rules.dutchRules = true;
    rules.placement = maps::Placement::KmSquare;
    const maps::ResolvedStyle style;
    for (auto _ : state) {
        maps::SymbolPainter painter(image);
        for (const maps::LocationRecord& record : records)
            maps::DrawRecordSymbol(painter, calibration, rules, style, 1, record);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(DrawLocationRecords)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
