// Blending the plain map with the overlay into the shown image, as the square window does
// after every hour-square of a whole-database drawing: a 2800 x 3250 map, all three modes.

#include "squares/squaredrawing.h"

#include <benchmark/benchmark.h>

using namespace velmora::squares;

namespace {

const QSize kSize(2800, 3250);

const QImage& Background() {
    static const QImage image = [] {
        QImage m(kSize, QImage::Format_RGB888);
        for (int y = 0; y < m.height(); ++y) {
            uchar* row = m.scanLine(y);
            for (int k = 0; k < m.width() * 3; ++k)
                row[k] = static_cast<uchar>((k * 7 + y * 13) & 0xff);
        }
        return m;
    }();
    return image;
}

const QImage& Overlay() {
    static const QImage image = [] {
        QImage o = NewOverlay(kSize);
        for (int y = 0; y < o.height(); y += 50)
            for (int x = 0; x < o.width(); x += 50)
                for (int d = 0; d < 25; ++d)
                    o.setPixelColor(x + d, y + d, QColor(200, 20, 20));
        return o;
    }();
    return image;
}

void BM_Blend(benchmark::State& state) {
    const auto mode = static_cast<BlendMode>(state.range(0));
    const QImage& b = Background();
    const QImage& o = Overlay();
    for (auto _ : state) {
        QImage w = BlendMaps(b, o, mode, 0.5);
        benchmark::DoNotOptimize(w.constBits());
    }
}

} // namespace

BENCHMARK(BM_Blend)
    ->Arg(static_cast<int>(BlendMode::Mix))
    ->Arg(static_cast<int>(BlendMode::Combine))
    ->Arg(static_cast<int>(BlendMode::Overlay))
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
