// The database store on a synthetic database of 50,000 location events and 1,000,000 samples
// (the user table layouts, ~5,000 taxon names): opening with all eight tags (index files
// present, and missing), counting the squares, and rewriting every sample's square codes.
//
// VELMORA_BENCH_RECORDS sets another number of samples.

#include "core/databasestore.h"
#include "core/dbf/dbftable.h"
#include "core/folders.h"
#include "core/settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <random>

namespace dbf = velmora::core::dbf;
using namespace velmora::core;

namespace {

std::uint32_t SampleCount() {
    const char* env = std::getenv("VELMORA_BENCH_RECORDS");
    return env ? static_cast<std::uint32_t>(std::atol(env)) : 1000000u;
}

const QString& Folder() {
    static const QString folder = [] {
        char name[] = "/tmp/velmora-bench-store-XXXXXX";
        if (!mkdtemp(name))
            std::abort();
        QDir(name).mkdir("Data");
        return QString::fromLatin1(name);
    }();
    return folder;
}

std::string DataPath(const char* file) {
    return (Folder() + "/Data/" + file).toStdString();
}

// Writes Bench1.dbf and Bench2.dbf once, with consistent codes.
void MakeDatabase() {
    static bool made = false;
    if (made)
        return;
    made = true;
    std::mt19937 rng(42);
    const int locations = 50000;
    std::vector<std::pair<int, int>> coords(locations);
    {
        dbf::DbfTable::Create(DataPath("Bench1.dbf"), LocationFields());
        dbf::DbfTable t;
        t.Open(DataPath("Bench1.dbf"));
        std::string buffer;
        std::string rec = t.BlankRecord();
        for (int id = 0; id < locations; ++id) {
            const int x = 10 + static_cast<int>(rng() % 260);
            const int y = 310 + static_cast<int>(rng() % 300);
            coords[static_cast<std::size_t>(id)] = {x, y};
            std::string r = rec;
            t.SetInteger(r.data(), 0, id);
            t.SetText(r.data(), 1, "Ven " + std::to_string(rng() % 20000));
            t.SetText(r.data(), 2, std::to_string(1 + id % 28));
            t.SetText(r.data(), 3, std::to_string(1 + id % 12));
            t.SetText(r.data(), 4, std::to_string(1975 + id % 50));
            t.SetText(r.data(), 7, std::to_string(x) + "," + std::to_string(rng() % 10));
            t.SetText(r.data(), 8, std::to_string(y) + "," + std::to_string(rng() % 10));
            buffer += r;
        }
        t.AppendRecords(buffer.data(), locations);
        t.Close();
    }
    {
        dbf::DbfTable::Create(DataPath("Bench2.dbf"), SampleFields());
        dbf::DbfTable t;
        t.Open(DataPath("Bench2.dbf"));
        const std::string blank = t.BlankRecord();
        const std::uint32_t count = SampleCount();
        std::string buffer;
        buffer.reserve(static_cast<std::size_t>(t.RecordLength()) * 100000);
        char text[32];
        for (std::uint32_t i = 0; i < count; ++i) {
            std::string r = blank;
            const int id = static_cast<int>(rng() % locations);
            const auto [x, y] = coords[static_cast<std::size_t>(id)];
            t.SetInteger(r.data(), 0, id);
            std::snprintf(text, sizeof text, "%04d-%02d-%02d", 1975 + id % 50, 1 + id % 12,
                          1 + id % 28);
            t.SetText(r.data(), 1, text);
            // Stale codes, so that the first recomputation rewrites every sample.
            std::snprintf(text, sizeof text, "%03d-%03d", x + 1, y);
            t.SetText(r.data(), 2, text);
            std::snprintf(text, sizeof text, "%03d-%03d", (x + 5) / 5 * 5, y / 5 * 5);
            t.SetText(r.data(), 3, text);
            t.SetText(r.data(), 4, "Cosmarium species" + std::to_string(rng() % 5000));
            t.SetText(r.data(), 5, std::to_string(1 + rng() % 3));
            buffer += r;
            if ((i + 1) % 100000 == 0 || i + 1 == count) {
                t.AppendRecords(buffer.data(),
                                buffer.size() / static_cast<std::size_t>(t.RecordLength()));
                buffer.clear();
            }
        }
        t.Close();
    }
    QFile ini(Folder() + "/Data/Bench.ini");
    ini.open(QIODevice::WriteOnly);
    ini.write("[Coordinates]\r\nSystem=km-based\r\n");
}

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

} // namespace

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
    QDir(Folder()).removeRecursively();
    return 0;
}
