// The export for GIS programs of the synthetic database of bench_database.h (50,000 events,
// 1,000,000 samples by default), timed until the file has its name: as a GeoPackage (closed,
// spatial index written, synced and renamed) and as CSV. Beside it, as the peer, GDAL's own
// ogr2ogr turning the CSV the program wrote into a GeoPackage (the CSV is written before the
// timed part), with its spatial index and, like for like with a layer this large, without.
// VELMORA_BENCH_RECORDS=250000 times the largest layer that gets a spatial index. The best
// times are printed at the end.

#include "bench/bench_database.h"
#include "core/databasestore.h"
#include "core/error.h"
#include "core/folders.h"
#include "core/scriptedprompts.h"
#include "core/settings.h"
#include "recording/gisexport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>

using namespace velmora;

namespace {

double g_gpkgMs = 0;
double g_csvMs = 0;
double g_ogr2ogrMs = 0;
double g_ogr2ogrNoIndexMs = 0;

double Ms(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void Keep(double& best, double ms) {
    best = best == 0 ? ms : std::min(best, ms);
}

QString BenchFile(const char* name) {
    return bench::Folder() + QLatin1Char('/') + QLatin1String(name);
}

// Opens the synthetic database; false (and the benchmark skipped) when it cannot be opened.
bool Open(benchmark::State& state, core::DatabaseStore& store) {
    core::SetProgramDir(bench::Folder());
    core::CurrentSettings() = core::DefaultSettings();
    bench::MakeDatabase();
    if (store.OpenDatabase(QStringLiteral("Bench")))
        return true;
    state.SkipWithError("database not opened");
    return false;
}

void Export(benchmark::State& state, const char* file, double& best) {
    core::ScriptedPrompts prompts;
    core::DatabaseStore store;
    if (!Open(state, store))
        return;
    const QString path = BenchFile(file);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        try {
            state.counters["samples"] = recording::ExportGis(store, path);
        } catch (const core::Error& e) {
            state.SkipWithError(e.Message().toStdString().c_str());
        }
        Keep(best, Ms(std::chrono::steady_clock::now() - start));
        state.PauseTiming();
        QFile::remove(path);
        state.ResumeTiming();
    }
    store.CloseDatabase();
}

void BM_GisGeoPackage(benchmark::State& state) {
    Export(state, "gis.gpkg", g_gpkgMs);
}

void BM_GisCsv(benchmark::State& state) {
    Export(state, "gis.csv", g_csvMs);
}

// ogr2ogr -f GPKG out.gpkg in.csv, the CSV written by the program beforehand, with the options.
void Ogr2ogr(benchmark::State& state, const QString& options, double& best) {
    const QString csv = BenchFile("peer.csv");
    const QString gpkg = BenchFile("peer.gpkg");
    {
        core::ScriptedPrompts prompts;
        core::DatabaseStore store;
        if (!Open(state, store))
            return;
        recording::ExportGis(store, csv);
        store.CloseDatabase();
    }
    const QString command = QStringLiteral("ogr2ogr -f GPKG %1'%2' '%3'").arg(options, gpkg, csv);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (std::system(command.toLocal8Bit().constData()) != 0)
            state.SkipWithError("ogr2ogr failed");
        Keep(best, Ms(std::chrono::steady_clock::now() - start));
        state.PauseTiming();
        QFile::remove(gpkg);
        state.ResumeTiming();
    }
    QFile::remove(csv);
    state.SetLabel(("ogr2ogr -f GPKG " + options + "out.gpkg in.csv").toStdString());
}

void BM_Ogr2ogrPeer(benchmark::State& state) {
    Ogr2ogr(state, {}, g_ogr2ogrMs);
}

// The same without the spatial index, as the program writes a layer of this size.
void BM_Ogr2ogrPeerNoIndex(benchmark::State& state) {
    Ogr2ogr(state, QStringLiteral("-lco SPATIAL_INDEX=NO "), g_ogr2ogrNoIndexMs);
}

} // namespace

BENCHMARK(BM_GisGeoPackage)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3);
BENCHMARK(BM_GisCsv)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(2);
BENCHMARK(BM_Ogr2ogrPeer)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(2);
BENCHMARK(BM_Ogr2ogrPeerNoIndex)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(2);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_gpkgMs > 0)
        std::printf("best of runs: GeoPackage export %.0f ms (target 10000 ms); CSV export %.0f "
                    "ms; ogr2ogr CSV to GeoPackage %.0f ms (%.2fx the export), without spatial "
                    "index %.0f ms (%.2fx)\n",
                    g_gpkgMs, g_csvMs, g_ogr2ogrMs, g_ogr2ogrMs / g_gpkgMs, g_ogr2ogrNoIndexMs,
                    g_ogr2ogrNoIndexMs / g_gpkgMs);
    bench::RemoveFolder();
    return 0;
}
