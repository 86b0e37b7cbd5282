// Name correction on the synthetic database of bench_database.h (1,000,000 samples named from
// 5,000 names by default): finding the doubtful names against a search list that knows half of
// them, and the suggestions for one name against 5,000 known names.

#include "bench/bench_database.h"
#include "core/databasestore.h"
#include "core/folders.h"
#include "core/scriptedprompts.h"
#include "core/settings.h"
#include "ecology/searchlist.h"
#include "recording/namecorrection.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

using namespace velmora;

namespace {

void BM_FindDoubtfulNames(benchmark::State& state) {
    core::SetProgramDir(bench::Folder());
    core::CurrentSettings() = core::DefaultSettings();
    bench::MakeDatabase();
    core::ScriptedPrompts prompts;
    core::DatabaseStore store;
    if (!store.OpenDatabase(QStringLiteral("Bench"))) {
        state.SkipWithError("database not opened");
        return;
    }
    ecology::SearchList list;
    for (int i = 0; i < 5000; i += 2)
        list.Add(QStringLiteral("Cosmarium species%1").arg(i));
    std::size_t found = 0;
    for (auto _ : state)
        found = recording::FindDoubtfulNames(store.Samples(), list).size();
    state.counters["doubtful"] = static_cast<double>(found);
    store.CloseDatabase();
}

void BM_Suggestions(benchmark::State& state) {
    QStringList known;
    for (int i = 0; i < 5000; ++i)
        known << QStringLiteral("Cosmarium species%1 var. %2").arg(i).arg(i % 7);
    for (auto _ : state)
        benchmark::DoNotOptimize(recording::Suggestions("Cosmarium specis123 var. 4", known));
}

} // namespace

BENCHMARK(BM_FindDoubtfulNames)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Suggestions)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    bench::RemoveFolder();
    return 0;
}
