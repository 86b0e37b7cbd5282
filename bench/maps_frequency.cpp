// Cost of the frequency texts after a taxon run, for every taxon of a list: both class
// lookups in the shipped class table and the three labels with their percentages, for
// 10,000 taxa of a database of 1,600 hour-squares and 12,000 km-squares.

#include "core/coordinates.h"
#include "maps/frequency.h"

#include <QFile>
#include <benchmark/benchmark.h>

using namespace velmora;

namespace {

// The class table as shipped, from the source of Lib/Frequentieklassen.dbf.
maps::FrequencyClassTable ShippedTable() {
    QFile file(QStringLiteral(VELMORA_SOURCE_DIR "/data-src/Frequentieklassen.csv"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    std::vector<maps::FrequencyClassRecord> records;
    file.readLine(); // the header
    while (!file.atEnd()) {
        const QStringList cells = QString::fromUtf8(file.readLine()).trimmed().split(',');
        if (cells.size() == 6)
            records.push_back({cells[0], cells[1].toInt(), cells[2].toInt(), cells[3],
                               cells[4].toInt(), cells[5].toInt()});
    }
    return maps::FrequencyClassTable(records);
}

} // namespace

static void TextsForEveryTaxon(benchmark::State& state) {
    const maps::FrequencyClassTable table = ShippedTable();
    if (table.IsEmpty()) {
        state.SkipWithError("no class table");
        return;
    }
    const int taxa = int(state.range(0));
    maps::FrequencyRun run;
    run.coordinateSystem = core::kKmBased;
    run.language = QStringLiteral("NL");
    run.totalHourSquares = 1600;
    run.totalKmSquares = 12000;
    maps::FrequencyTexts texts;
    for (auto _ : state) {
        for (int i = 0; i < taxa; ++i) {
            // Counts from a single square to most of the database.
            run.hourSquares = 1 + i * 7919 % run.totalHourSquares;
            run.kmSquares = 1 + i * 104729 % run.totalKmSquares;
            maps::WriteFrequencyTexts(texts, table, run);
            benchmark::DoNotOptimize(texts.kf.size());
        }
    }
    state.SetItemsProcessed(state.iterations() * taxa);
}
BENCHMARK(TextsForEveryTaxon)->Arg(10'000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
