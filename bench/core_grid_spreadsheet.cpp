// Writing a grid as an .xlsx workbook and reading it back: an export of 20,000 observations
// with ten columns, the size the import and export meet in practice.

#include "core/spreadsheet/spreadsheet.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace velmora::core;

namespace {

Grid MakeGrid(int rows) {
    Grid grid(10, rows + 1);
    for (int c = 0; c < 10; ++c)
        grid.SetCell(c, 0, QStringLiteral("Kolom %1").arg(c));
    for (int r = 1; r <= rows; ++r) {
        grid.SetRow(r, {QStringLiteral("Cosmarium sp. %1").arg(r % 700), QString::number(r),
                        QStringLiteral("%1,5").arg(r % 97), QStringLiteral("2009-03-05"),
                        QStringLiteral("Ven %1").arg(r % 300), QString::number(150000 + r),
                        QString::number(450000 + r), QStringLiteral("Analist"), QString(),
                        QStringLiteral("opmerking bij waarneming %1").arg(r)});
    }
    return grid;
}

void BM_WriteXlsx(benchmark::State& state) {
    const Grid grid = MakeGrid(int(state.range(0)));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.xlsx"));
    for (auto _ : state)
        WriteXlsxFile(grid, QStringLiteral("bench"), path);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ReadXlsx(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.xlsx"));
    WriteXlsxFile(MakeGrid(int(state.range(0))), QStringLiteral("bench"), path);
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadSpreadsheetFile(path));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(BM_WriteXlsx)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadXlsx)->Arg(20000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
