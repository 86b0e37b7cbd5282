// The tables window's tables on the synthetic database of bench_database.h (50,000 events,
// 1,000,000 samples): the location table of all events, and of the events with a taxon; the
// species list and the nature value table of 5,000 selected events (every tenth row).

#include "bench/bench_database.h"
#include "core/databasestore.h"
#include "core/folders.h"
#include "core/scriptedprompts.h"
#include "core/settings.h"
#include "ecology/naturevaluetally.h"
#include "ecology/searchlist.h"
#include "ecology/selectiontables.h"
#include "ecology/taxalist.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <memory>

using namespace velmora;

namespace {

struct Open {
    core::ScriptedPrompts prompts;
    core::DatabaseStore store;
    ecology::TaxaList taxa;
    ecology::SearchList search;
    std::unique_ptr<ecology::NatureValueTally> tally;

    bool Start() {
        core::SetProgramDir(bench::Folder());
        core::CurrentSettings() = core::DefaultSettings();
        bench::MakeDatabase();
        if (!store.OpenDatabase(QStringLiteral("Bench")))
            return false;
        std::vector<ecology::TaxonRecord> records;
        for (int i = 0; i < 5000; ++i) {
            const QString name = QStringLiteral("Cosmarium species%1").arg(i);
            records.push_back({name, name, QStringLiteral("Auteur"), QStringLiteral("oligotroof"),
                               QStringLiteral("acidofiel"), QString(), QString::number(i % 4),
                               QString::number(i % 5), i % 50 == 0 ? QStringLiteral("RL") : "",
                               QString()});
        }
        std::sort(records.begin(), records.end(),
                  [](const auto& a, const auto& b) { return a.taxonName < b.taxonName; });
        taxa.Assign(records, &search);
        tally = std::make_unique<ecology::NatureValueTally>(taxa, search);
        return true;
    }
    core::Grid SelectedTable() {
        core::Grid table = ecology::FillLocationTable(store.Locations(), store.Samples(), {});
        for (int row = 1; row < table.RowCount(); row += 10)
            ecology::SetRowSelected(table, row, true);
        return table;
    }
};

void BM_LocationTable(benchmark::State& state) {
    Open open;
    if (!open.Start()) {
        state.SkipWithError("database not opened");
        return;
    }
    ecology::TableFilter filter;
    if (state.range(0) == 1)
        filter.taxon = QStringLiteral("species123");
    int rows = 0;
    for (auto _ : state)
        rows = ecology::FillLocationTable(open.store.Locations(), open.store.Samples(), filter)
                   .RowCount() -
               1;
    state.counters["rows"] = rows;
}

void BM_SpeciesList(benchmark::State& state) {
    Open open;
    if (!open.Start()) {
        state.SkipWithError("database not opened");
        return;
    }
    ecology::SelectionOptions options;
    options.ignoreNotInList = options.ignoreUncertain = options.authors = true;
    int taxa = 0;
    for (auto _ : state) {
        state.PauseTiming();
        core::Grid table = open.SelectedTable();
        state.ResumeTiming();
        taxa = ecology::BuildSpeciesList(
                   {open.store.Locations(), open.store.Samples(), open.taxa, open.search, {}},
                   table, options, *open.tally)
                   .table.RowCount();
    }
    state.counters["rows"] = taxa;
}

void BM_NatureValueTable(benchmark::State& state) {
    Open open;
    if (!open.Start()) {
        state.SkipWithError("database not opened");
        return;
    }
    ecology::SelectionOptions options;
    options.ignoreUncertain = true;
    int rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        core::Grid table = open.SelectedTable();
        state.ResumeTiming();
        rows = ecology::BuildNatureValueTable(
                   {open.store.Locations(), open.store.Samples(), open.taxa, open.search, {}},
                   table, options, *open.tally)
                   .table.RowCount();
    }
    state.counters["rows"] = rows;
}

} // namespace

BENCHMARK(BM_LocationTable)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SpeciesList)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_NatureValueTable)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    bench::RemoveFolder();
    return 0;
}
