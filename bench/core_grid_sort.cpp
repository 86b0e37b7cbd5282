// Sorting the data rows of a grid: 100,000 rows of a result table must sort in well under a
// second with every member of the sorting family.

#include "core/grid/gridsort.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <random>

using namespace velmora::core;

namespace {

Grid MakeGrid(int rows) {
    std::mt19937 random(42);
    const QStringList genera = {QStringLiteral("Cosmarium"),    QStringLiteral("Staurastrum"),
                                QStringLiteral("Closterium"),   QStringLiteral("Euastrum"),
                                QStringLiteral("Micrasterias"), QStringLiteral("Xanthidium")};
    Grid grid(6, rows + 1);
    grid.SetRow(0, {QStringLiteral("Naam"), QStringLiteral("Aantal"), QStringLiteral("Waarde"),
                    QStringLiteral("Jaar"), QStringLiteral("Locatie"), QStringLiteral("Opm")});
    for (int r = 1; r <= rows; ++r) {
        grid.SetRow(
            r,
            {genera[random() % genera.size()] + QStringLiteral(" sp. %1").arg(random() % 500),
             QString::number(random() % 100000),
             QString::number((random() % 1000000) / 100.0, 'f', 2),
             QString::number(1900 + random() % 120), QStringLiteral("Ven %1").arg(random() % 2000),
             QStringLiteral("opmerking %1").arg(random())});
    }
    return grid;
}

template <typename Sort> void Run(benchmark::State& state, Sort sort) {
    const Grid original = MakeGrid(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        Grid grid = original;
        state.ResumeTiming();
        sort(grid);
        benchmark::DoNotOptimize(grid);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_SortGridByText(benchmark::State& state) {
    Run(state, [](Grid& g) { SortGridByText(g, 0, false); });
}
void BM_SortGridByTwoColumns(benchmark::State& state) {
    Run(state, [](Grid& g) { SortGridByTwoColumns(g, 3, 4, true); });
}
void BM_SortGridBySevenColumns(benchmark::State& state) {
    Run(state, [](Grid& g) { SortGridBySevenColumns(g, {3, 4, 0, 1, 2, 5, 0}); });
}
void BM_SortGridByInteger(benchmark::State& state) {
    Run(state, [](Grid& g) { SortGridByInteger(g, 1, false); });
}
void BM_SortGridByDecimal(benchmark::State& state) {
    Run(state, [](Grid& g) { SortGridByDecimal(g, 2, true); });
}

} // namespace

BENCHMARK(BM_SortGridByText)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortGridByTwoColumns)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortGridBySevenColumns)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortGridByInteger)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortGridByDecimal)->Arg(100000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
