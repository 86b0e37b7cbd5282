// The export of the synthetic database of bench_database.h (50,000 events, 1,000,000 samples
// by default) as one flat table, timed to the file on disk: to tab-separated text and to an
// .xlsx workbook. Beside it, as the physical floor, reading both table files once (cat to
// /dev/null); the ratios are printed at the end.

#include "bench/bench_database.h"
#include "core/databasestore.h"
#include "core/folders.h"
#include "core/scriptedprompts.h"
#include "core/settings.h"
#include "recording/databaseexport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>

using namespace velmora;

namespace {

double g_floorMs = 0;
double g_tsvMs = 0;
double g_xlsxMs = 0;

double Ms(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void Keep(double& best, double ms) {
    best = best == 0 ? ms : std::min(best, ms);
}

void Export(benchmark::State& state, recording::ExportFormat format, const char* file,
            double& best) {
    core::SetProgramDir(bench::Folder());
    core::CurrentSettings() = core::DefaultSettings();
    bench::MakeDatabase();
    core::ScriptedPrompts prompts;
    core::DatabaseStore store;
    if (!store.OpenDatabase(QStringLiteral("Bench"))) {
        state.SkipWithError("database not opened");
        return;
    }
    const QString path = bench::Folder() + QLatin1Char('/') + QLatin1String(file);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!recording::ExportDatabase(store, nullptr, path, format))
            state.SkipWithError(prompts.shown.join('|').toStdString().c_str());
        Keep(best, Ms(std::chrono::steady_clock::now() - start));
        state.PauseTiming();
        QFile::remove(path);
        state.ResumeTiming();
    }
    store.CloseDatabase();
}

void BM_ExportTsv(benchmark::State& state) {
    Export(state, recording::ExportFormat::Text, "export.tsv", g_tsvMs);
}

void BM_ExportXlsx(benchmark::State& state) {
    Export(state, recording::ExportFormat::Spreadsheet, "export.xlsx", g_xlsxMs);
}

void BM_CatFloor(benchmark::State& state) {
    bench::MakeDatabase();
    const QByteArray command =
        QStringLiteral("cat %1/Data/Bench1.dbf %1/Data/Bench2.dbf > /dev/null")
            .arg(bench::Folder())
            .toLocal8Bit();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (std::system(command.constData()) != 0)
            state.SkipWithError("cat failed");
        Keep(g_floorMs, Ms(std::chrono::steady_clock::now() - start));
    }
    state.SetLabel("both table files read once");
}

} // namespace

BENCHMARK(BM_CatFloor)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3);
BENCHMARK(BM_ExportTsv)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3);
BENCHMARK(BM_ExportXlsx)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(2);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_floorMs > 0)
        std::printf("best of runs: cat %.0f ms; TSV export %.0f ms (%.1fx the floor); .xlsx "
                    "export %.0f ms (%.1fx)\n",
                    g_floorMs, g_tsvMs, g_tsvMs / g_floorMs, g_xlsxMs, g_xlsxMs / g_floorMs);
    bench::RemoveFolder();
    return 0;
}
