// What a user waits for when starting the program on a large database and quitting it: the
// real executable on the offscreen platform, from the process start until the main window is
// up with the database open, then told to end (as closing the window does), until the process
// has exited with the tables closed. Index files present (the normal case).
//
// The database is the one of bench_database.h; the program folder is built around it with the
// executable and the reference files of the build.

#include "bench/bench_database.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <benchmark/benchmark.h>
#include <csignal>
#include <sys/stat.h>

using namespace velmora;

namespace {

QString BuiltProgram() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../program");
}

void CopyFolder(const QString& from, const QString& to) {
    QDir().mkpath(to);
    for (const QString& f : QDir(from).entryList(QDir::Files))
        QFile::copy(from + "/" + f, to + "/" + f);
}

// The program folder: executable, Lib/, Lang/, Maps/ and the database as the default one.
QString ProgramFolder() {
    static const QString folder = [] {
        bench::MakeDatabase();
        const QString dir = bench::Folder();
        QFile::copy(BuiltProgram() + "/velmora", dir + "/velmora");
        for (const char* sub : {"Lib", "Lang", "Maps"})
            CopyFolder(BuiltProgram() + "/" + sub, dir + "/" + sub);
        QFile ini(dir + "/Data/VLX.ini");
        ini.open(QIODevice::WriteOnly);
        ini.write("[Database]\r\nDefaultDatabase=Bench\r\n");
        return dir;
    }();
    return folder;
}

// True when some process holds a lock on the file, read from /proc/locks: a probe that takes
// the lock itself could make the program's own open fail.
bool Locked(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly))
        return false;
    const QByteArray inode = ":" + QByteArray::number(static_cast<qulonglong>(st.st_ino));
    for (const QByteArray& line : locks.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 5 && fields[5].endsWith(inode))
            return true;
    }
    return false;
}

// One start and quit; returns false when the program did not come up or did not end.
bool StartAndQuit(const QString& folder) {
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(env);
    program.start(folder + "/velmora", {});
    if (!program.waitForStarted(10000))
        return false;
    // The samples table is locked while the main window opens the database; the terminate
    // signal is handled once the window is up and the program waits for the user.
    const QString samples = folder + "/Data/Bench2.dbf";
    QElapsedTimer waited;
    waited.start();
    while (!Locked(samples)) {
        if (waited.elapsed() > 60000 || program.state() == QProcess::NotRunning) {
            program.kill();
            program.waitForFinished();
            std::fprintf(stderr, "%s\n", program.readAllStandardError().constData());
            return false;
        }
        QThread::usleep(200);
    }
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    return program.waitForFinished(60000) && program.exitStatus() == QProcess::NormalExit;
}

void BM_StartAndQuit(benchmark::State& state) {
    const QString folder = ProgramFolder();
    if (!StartAndQuit(folder)) // writes the index files
        state.SkipWithError("the program did not start");
    for (auto _ : state) {
        if (!StartAndQuit(folder))
            state.SkipWithError("the program did not start or end");
    }
    state.counters["samples"] = bench::SampleCount();
}
BENCHMARK(BM_StartAndQuit)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    bench::RemoveFolder();
    return 0;
}
