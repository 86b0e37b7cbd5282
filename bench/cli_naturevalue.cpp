// The whole "velmora-cli nature-value" command on the synthetic database of 50,000 location
// events and 1,000,000 samples, with an annotated taxa list of 5,000 scored names: opening the
// database, reading the lists, every event's nature value and the total, the output and the
// close. Target: at most 2 s.

#include "bench_database.h"
#include "cli/commands.h"
#include "core/folders.h"
#include "core/scriptedprompts.h"
#include "ecology/taxalist.h"
#include "recording/taxalistimport.h"

#include <QCoreApplication>
#include <QFile>
#include <benchmark/benchmark.h>

using namespace velmora;

namespace {

void MakeTaxaList() {
    QDir().mkpath(bench::Folder() + "/Lib");
    QFile additional(bench::Folder() + "/Lib/AdditionalTaxalistNL.csv");
    additional.open(QIODevice::WriteOnly);
    additional.close();
    core::SetProgramDir(bench::Folder());
    std::vector<ecology::TaxonRecord> records;
    const char* acidity[] = {"acido", "acido-neut", "neutr", "alk", ""};
    const char* trophic[] = {"oligo", "meso", "eu", "oligo-meso", ""};
    for (int i = 0; i < 5000; ++i) {
        const QString name = QStringLiteral("Cosmarium species%1").arg(i);
        records.push_back({name, name, QStringLiteral("Auteur"),
                           QString::fromLatin1(trophic[i % 5]), QString::fromLatin1(acidity[i % 5]),
                           QString(), QString::number(i % 4), QString::number(i % 5),
                           i % 50 == 0 ? QStringLiteral("RL") : QString(), QString()});
    }
    core::ScriptedPrompts prompts;
    recording::InstallTaxaList(records, 0);
    core::SetProgramDir({});
}

void BM_NatureValueCommand(benchmark::State& state) {
    bench::MakeDatabase();
    MakeTaxaList();
    const QStringList args = {"--program-folder", bench::Folder(), "nature-value", "Bench"};
    int code = -1;
    qsizetype lines = 0;
    for (auto _ : state) {
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        code = cli::Run(args, outStream, errStream);
        lines = out.count(QLatin1Char('\n'));
        benchmark::DoNotOptimize(out);
    }
    if (code != 0)
        state.SkipWithError("the command failed");
    state.counters["lines"] = static_cast<double>(lines);
}

BENCHMARK(BM_NatureValueCommand)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    bench::RemoveFolder();
    return 0;
}
