// A backup of the synthetic database of bench_database.h (50,000 events, 1,000,000 samples by
// default): both tables copied with exactly their posted records and flushed to disk, timed to
// the last byte on disk. Beside it, as peer, the system's cp of the same two files, once alone
// and once followed by sync of the copies (the same flush the backup does).

#include "bench/bench_database.h"
#include "core/databasestore.h"
#include "core/folders.h"
#include "core/settings.h"
#include "recording/databasecatalogue.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <benchmark/benchmark.h>
#include <cstdlib>

using namespace velmora;

namespace {

using bench::Folder;

void SetBytes(benchmark::State& state) {
    const qint64 bytes = QFileInfo(Folder() + "/Data/Bench1.dbf").size() +
                         QFileInfo(Folder() + "/Data/Bench2.dbf").size();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * bytes);
}

void BM_Backup(benchmark::State& state) {
    core::SetProgramDir(Folder());
    core::CurrentSettings() = core::DefaultSettings();
    bench::MakeDatabase();
    core::CurrentSettings().defaultDatabase = QStringLiteral("Bench");
    const QString target = Folder() + QStringLiteral("/Backups");
    QDir().mkpath(target);
    core::DatabaseStore store;
    recording::DatabaseCatalogue catalogue(store);
    int second = 0;
    catalogue.SetClock([&] { return QDateTime(QDate(2011, 5, 23), QTime(14, 0, second++)); });
    for (auto _ : state) {
        if (catalogue.BackupInto(target).isEmpty())
            state.SkipWithError("no backup made");
        state.PauseTiming();
        QDir(target).removeRecursively();
        QDir().mkpath(target);
        state.ResumeTiming();
    }
    SetBytes(state);
    QDir(target).removeRecursively();
}

void BM_Cp(benchmark::State& state) {
    core::SetProgramDir(Folder());
    bench::MakeDatabase();
    const bool sync = state.range(0) != 0;
    const QString data = Folder() + QStringLiteral("/Data/");
    const QString target = Folder() + QStringLiteral("/CpCopy");
    const QByteArray command =
        QStringLiteral("cp %1Bench1.dbf %1Bench2.dbf %2/").arg(data, target).toLocal8Bit() +
        (sync ? QStringLiteral(" && sync %1/Bench1.dbf %1/Bench2.dbf %1").arg(target).toLocal8Bit()
              : QByteArray());
    for (auto _ : state) {
        state.PauseTiming();
        QDir(target).removeRecursively();
        QDir().mkpath(target);
        state.ResumeTiming();
        if (std::system(command.constData()) != 0)
            state.SkipWithError("cp failed");
    }
    SetBytes(state);
    state.SetLabel(sync ? "cp + sync of the copies" : "cp alone (copies in the cache)");
    QDir(target).removeRecursively();
}

} // namespace

BENCHMARK(BM_Backup)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(2);
BENCHMARK(BM_Cp)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(2);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    bench::RemoveFolder();
    return 0;
}
