// The location search on the synthetic database of bench_database.h (50,000 events, 1,000,000
// samples by default), timed as the user waits for it: a taxon search over every sample with
// the rows of the list in the window's order; a switch of mode with a year; and a selection
// run that tallies 1,000 events into one nature value.

#include "bench/bench_database.h"
#include "core/databasestore.h"
#include "core/folders.h"
#include "core/scriptedprompts.h"
#include "core/settings.h"
#include "ecology/ecologydata.h"
#include "recording/locationsampleeditor.h"
#include "recording/locationsearch.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

using namespace velmora;

namespace {

struct Opened {
    core::ScriptedPrompts prompts;
    core::DatabaseStore store;
    Opened() {
        core::SetProgramDir(bench::Folder());
        core::CurrentSettings() = core::DefaultSettings();
        bench::MakeDatabase();
        if (!store.OpenDatabase(QStringLiteral("Bench")))
            std::abort();
    }
};

Opened& Database() {
    static Opened opened;
    return opened;
}

const QStringList kColumns = {"ID",     "LOCATIE", "DAG", "MAAND",     "JAAR",
                              "COORDX", "COORDY",  "PH",  "GELEIDING", "HERBARIUM"};

void BM_TaxonSearch(benchmark::State& state) {
    recording::LocationSearch search(Database().store);
    std::size_t shown = 0;
    for (auto _ : state) {
        search.TaxonSearch(QStringLiteral("Cosmarium species123"));
        shown = search.Rows({}, QStringLiteral("Locatie")).size();
    }
    state.counters["events shown"] = static_cast<double>(shown);
}

void BM_ModeSwitch(benchmark::State& state) {
    recording::LocationSearch search(Database().store);
    search.name = QStringLiteral("ven 1");
    search.year = QStringLiteral("1990");
    std::size_t shown = 0;
    for (auto _ : state) {
        search.mode = recording::LocationSearch::NameContains;
        shown = search.Rows({}, QStringLiteral("Datum")).size();
        search.mode = recording::LocationSearch::AllLocations;
        benchmark::DoNotOptimize(search.Rows({}, QStringLiteral("Locatie")).size());
    }
    state.counters["events shown"] = static_cast<double>(shown);
    state.SetLabel("two switches: name with a year, then all");
}

void BM_SelectionRun(benchmark::State& state) {
    Opened& db = Database();
    recording::LocationSearch search(db.store);
    recording::LocationSampleEditor editor(db.store);
    ecology::EcologyData eco;
    std::vector<int> recNos;
    for (const auto& row : search.Rows({}, QStringLiteral("Locatie")))
        if (recNos.size() < 1000)
            recNos.push_back(row.recNo);
    for (auto _ : state) {
        search.RunSelection(recNos, eco,
                            [&] { editor.TallyCurrentEvent(eco.tally, false, false); });
        db.prompts.progressLog.clear();
    }
    state.counters["events"] = static_cast<double>(recNos.size());
}

} // namespace

BENCHMARK(BM_TaxonSearch)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(3);
BENCHMARK(BM_ModeSwitch)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(3);
BENCHMARK(BM_SelectionRun)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    bench::RemoveFolder();
    return 0;
}
