// The database store on the synthetic database of bench_database.h: opening with all eight
// tags (index files present, and missing), closing (quitting), counting the squares, and
// rewriting every sample's square codes.

#include "bench/bench_database.h"
#include "core/databasestore.h"
#include "core/dbf/dbftable.h"
#include "core/folders.h"
#include "core/settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>

namespace dbf = velmora::core::dbf;
using namespace velmora::core;

namespace {

using velmora::bench::Folder;
using velmora::bench::MakeDatabase;
using velmora::bench::SampleCount;

struct Setup {
    Setup() {
        SetProgramDir(Folder());
        CurrentSettings() = DefaultSettings();
        MakeDatabase();
    }
};

void BM_OpenDatabaseWithIndexFiles(benchmark::State& state) {
    Setup setup;
    DatabaseStore store;
    store.OpenDatabase("Bench"); // makes the index files
    store.CloseDatabase();
    for (auto _ : state) {
        if (!store.OpenDatabase("Bench"))
            state.SkipWithError("open failed");
        state.PauseTiming();
        store.CloseDatabase();
        state.ResumeTiming();
    }
}

void BM_OpenDatabaseWithoutIndexFiles(benchmark::State& state) {
    Setup setup;
    DatabaseStore store;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(Folder() + "/Data/Bench1.mdx");
        QFile::remove(Folder() + "/Data/Bench2.mdx");
        state.ResumeTiming();
        if (!store.OpenDatabase("Bench"))
            state.SkipWithError("open failed");
        state.PauseTiming();
        store.CloseDatabase();
        state.ResumeTiming();
    }
}

void BM_SquareTotals(benchmark::State& state) {
    Setup setup;
    DatabaseStore store;
    store.OpenDatabase("Bench");
    for (auto _ : state) {
        store.locationsChanged = true;
        benchmark::DoNotOptimize(store.SquareTotals());
    }
    store.CloseDatabase();
}

// Every run starts from the samples with stale codes, so that it rewrites every sample.
void BM_RecomputeSquareCodes(benchmark::State& state) {
    Setup setup;
    const QString samples = Folder() + "/Data/Bench2.dbf";
    const QString stale = Folder() + "/Bench2-stale.dbf";
    if (!QFile::exists(stale))
        QFile::copy(samples, stale);
    DatabaseStore store;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(samples);
        QFile::copy(stale, samples);
        store.OpenDatabase("Bench");
        state.ResumeTiming();
        store.RecomputeSquareCodes();
        state.PauseTiming();
        store.CloseDatabase();
        state.ResumeTiming();
    }
}

// Quitting: the close of a database in which nothing was deleted (no pack), and of one with
// 1 % of the samples deleted (packed). Timed to the last byte written.
void BM_CloseDatabase(benchmark::State& state) {
    Setup setup;
    DatabaseStore store;
    const bool deleting = state.range(0) != 0;
    for (auto _ : state) {
        state.PauseTiming();
        store.OpenDatabase("Bench");
        if (deleting) {
            dbf::DbfTable& samples = store.Samples().Table();
            for (std::uint32_t r = 1; r <= samples.PhysicalCount(); r += 100)
                samples.SetDeleted(r, true);
        }
        state.ResumeTiming();
        store.CloseDatabase();
    }
    state.SetLabel(deleting ? "1 % deleted" : "nothing deleted");
}

} // namespace

BENCHMARK(BM_CloseDatabase)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);
BENCHMARK(BM_OpenDatabaseWithIndexFiles)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);
BENCHMARK(BM_OpenDatabaseWithoutIndexFiles)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);
BENCHMARK(BM_RecomputeSquareCodes)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_SquareTotals)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    velmora::bench::RemoveFolder();
    return 0;
}
