// The import of a tab-separated file of 1,000,000 rows (50,000 locations of 20 samples each,
// the locations not in key order): the file read into the grid, and "Make database" as the
// user waits for it: the sort on the location key, the new tables written, flushed to disk
// and put in place, the database opened, the square codes of every sample recomputed and the
// database closed (its index files written). Beside it, as peer, GDAL's ogr2ogr converting the
// same file into a dBase table. The ratio is printed at the end.
//   VELMORA_BENCH_RECORDS sets the number of rows.

#include "bench/bench_database.h"
#include "core/databasestore.h"
#include "core/folders.h"
#include "core/scriptedprompts.h"
#include "core/settings.h"
#include "recording/dataimport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <random>

using namespace velmora;
using namespace velmora::recording;

namespace {

constexpr int kSamplesPerLocation = 20;

QString TsvPath() {
    return bench::Folder() + QStringLiteral("/import.tsv");
}

// Columns: location, X, Y, day, month, year, pH, taxon, abundance, remark.
void MakeTsv() {
    if (QFile::exists(TsvPath()))
        return;
    const int rows = static_cast<int>(bench::SampleCount());
    const int locations = std::max(1, rows / kSamplesPerLocation);
    std::vector<int> order(static_cast<std::size_t>(locations));
    std::iota(order.begin(), order.end(), 0);
    std::mt19937 random(7);
    std::shuffle(order.begin(), order.end(), random);
    static const char* const kTaxa[] = {"Cosmarium botrytis", "Staurastrum paradoxum",
                                        "Closterium lunula", "Euastrum ansatum",
                                        "Micrasterias rotata"};
    QByteArray text = "Locatie\tX\tY\tDag\tMaand\tJaar\tpH\tSieralg\tAbundantie\tOpmerking\n";
    text.reserve(rows * 96);
    int written = 0;
    for (int l : order) {
        const QByteArray head = QStringLiteral("Ven %1\t%2\t%3\t%4\t%5\t%6\t%7,%8\t")
                                    .arg(l, 6, 10, QLatin1Char('0'))
                                    .arg(13 + l % 260)
                                    .arg(306 + (l / 260) % 300)
                                    .arg(1 + l % 28)
                                    .arg(1 + l % 12)
                                    .arg(1980 + l % 40)
                                    .arg(4 + l % 4)
                                    .arg(l % 10)
                                    .toUtf8();
        for (int s = 0; s < kSamplesPerLocation && written < rows; ++s, ++written) {
            text += head;
            text += kTaxa[(l + s) % 5];
            text += QByteArray::number(s) + "\t" + QByteArray::number(1 + s % 3) + "\tveld\n";
        }
    }
    QFile file(TsvPath());
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        std::abort();
}

void Prepare() {
    core::SetProgramDir(bench::Folder());
    QDir(bench::Folder()).mkpath(QStringLiteral("Lib"));
    core::CurrentSettings() = core::DefaultSettings();
    MakeTsv();
}

// The choices of the file above.
void Choose(DataImport& import) {
    const std::pair<int, int> columns[] = {
        {kImportLocation, 1},  {kImportCoordX, 2},   {kImportCoordY, 3}, {kImportDay, 4},
        {kImportMonth, 5},     {kImportYear, 6},     {kImportPH, 7},     {kImportDesmid, 8},
        {kImportAbundance, 9}, {kImportComment, 10},
    };
    for (auto [key, column] : columns) {
        import.choosers.box[static_cast<std::size_t>(key)] = column;
        import.ChooserLeft(key);
    }
    import.choosers.box[kImportStartRow] = 2;
    import.choosers.unique = {1, 0, 0, 0, 0, 0, 0, 0};
    import.replace = true;
    import.coordinateSystem = kAmersfoort;
}

double g_oursMs = 0;
double g_peerMs = 0;

double Ms(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void BM_ReadTsvIntoGrid(benchmark::State& state) {
    Prepare();
    for (auto _ : state) {
        DataImport import;
        core::ScriptedPrompts prompts;
        if (!import.OpenDataFile(TsvPath()))
            state.SkipWithError("file not read");
        state.PauseTiming();
        state.counters["rows"] = import.Grid().RowCount() - 1;
        state.ResumeTiming();
    }
}

// From "Open" to the window closing after "Make database".
void BM_ImportWhole(benchmark::State& state) {
    Prepare();
    core::DatabaseStore store;
    for (auto _ : state) {
        state.PauseTiming();
        store.CreateDatabase(QStringLiteral("Imp"));
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        core::ScriptedPrompts prompts;
        DataImport import;
        if (!import.OpenDataFile(TsvPath()))
            state.SkipWithError("file not read");
        const auto read = std::chrono::steady_clock::now();
        Choose(import);
        prompts.answers = {core::Answer::Yes};
        if (import.MakeDatabase(store, QStringLiteral("Imp")) != 0)
            state.SkipWithError(prompts.shown.join('|').toStdString().c_str());
        const auto end = std::chrono::steady_clock::now();
        state.PauseTiming();
        state.counters["read_ms"] = Ms(read - start);
        state.counters["make_ms"] = Ms(end - read);
        g_oursMs = g_oursMs == 0 ? Ms(end - start) : std::min(g_oursMs, Ms(end - start));
        // The grid goes away outside the timing.
        { DataImport discard = std::move(import); }
        state.ResumeTiming();
    }
}

void BM_Ogr2ogrPeer(benchmark::State& state) {
    Prepare();
    if (QStandardPaths::findExecutable(QStringLiteral("ogr2ogr")).isEmpty()) {
        state.SkipWithError("ogr2ogr not found (package gdal-bin)");
        return;
    }
    const QString out = bench::Folder() + QStringLiteral("/ogr");
    const QByteArray command =
        QStringLiteral("ogr2ogr -f 'ESRI Shapefile' %1/import.dbf %2 && sync %1/import.dbf")
            .arg(out, TsvPath())
            .toLocal8Bit();
    for (auto _ : state) {
        state.PauseTiming();
        QDir(out).removeRecursively();
        QDir().mkpath(out);
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        if (std::system(command.constData()) != 0)
            state.SkipWithError("ogr2ogr failed");
        const double ms = Ms(std::chrono::steady_clock::now() - start);
        g_peerMs = g_peerMs == 0 ? ms : std::min(g_peerMs, ms);
    }
    state.SetLabel("TSV to one dBase table, flushed");
    QDir(out).removeRecursively();
}

} // namespace

BENCHMARK(BM_ReadTsvIntoGrid)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_ImportWhole)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3);
BENCHMARK(BM_Ogr2ogrPeer)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_oursMs > 0 && g_peerMs > 0)
        std::printf("import (best of runs): %.0f ms; ogr2ogr: %.0f ms; ogr2ogr / import = %.2f\n",
                    g_oursMs, g_peerMs, g_peerMs / g_oursMs);
    bench::RemoveFolder();
    return 0;
}
