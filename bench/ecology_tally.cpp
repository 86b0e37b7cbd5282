// AddTaxon throughput: 200,000 sample names against a 5,000-taxon list, in tallies of 40.

#include "ecology/naturevaluetally.h"
#include "ecology/searchlist.h"
#include "ecology/taxalist.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

using namespace velmora::ecology;

static void AddTaxon200k(benchmark::State& state) {
    std::vector<TaxonRecord> records;
    for (int i = 0; i < 5000; ++i) {
        const QString name =
            QStringLiteral("Genus%1 species%2 var. v%3").arg(i / 100).arg(i).arg(i % 7);
        records.push_back({name, name, "Author", "meso", "acido", "", QString::number(i % 4),
                           QString::number(i % 3), i % 50 == 0 ? "RL" : "", i % 9 == 0 ? "T" : ""});
    }
    TaxaList list;
    SearchList search;
    list.Assign(records, &search);
    QStringList names;
    for (int i = 0; i < 200000; ++i)
        names << records[static_cast<std::size_t>((i * 7919) % 5000)].taxonName.toUpper();
    NatureValueTally tally(list, search);
    for (auto _ : state) {
        for (int i = 0; i < names.size(); ++i) {
            if (i % 40 == 0) {
                tally.ClearData();
                tally.SetMilieu(MilieuZuur);
            }
            tally.AddTaxon(names[i], false);
            if (i % 40 == 39)
                tally.ComputeNatureValue();
        }
        benchmark::DoNotOptimize(tally.D());
    }
}
BENCHMARK(AddTaxon200k)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
