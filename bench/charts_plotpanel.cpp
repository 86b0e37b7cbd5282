// Cost of the plot panel's two paths: adding one point to a chart that is shown, and a full
// rendering of the scatter plot with its points.

#include "charts/environmentrun.h"
#include "charts/tplotpanel.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

using namespace velmora::charts;

static void AddPointToShownChart(benchmark::State& state) {
    TPlotPanel plot;
    SetupPHEGVPlot(plot);
    int i = 0;
    for (auto _ : state) {
        plot.AddPoint(2 + (i % 80) / 10.0, 1 + (i * 37) % 1000);
        if (++i % 5000 == 0) {
            state.PauseTiming();
            plot.ClearLayers();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(AddPointToShownChart);

static void RedrawScatterPlot(benchmark::State& state) {
    TPlotPanel plot;
    SetupPHEGVPlot(plot);
    plot.SetBatch(true);
    for (int i = 0; i < state.range(0); ++i)
        AddScatterPoints(plot, 2 + (i % 80) / 10.0, 1 + (i * 37) % 1000, "3");
    plot.SetBatch(false);
    for (auto _ : state)
        plot.Redraw();
}
BENCHMARK(RedrawScatterPlot)->Arg(0)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
