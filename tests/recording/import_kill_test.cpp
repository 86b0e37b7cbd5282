// Imports killed at random moments: a child process replaces a database with one data file
// and then another, over and over, reporting each import once it has returned; the parent kills
// it with SIGKILL at a moment nobody chose. The next open of the database must find one whole
// import: the one reported last or the one under way, never a mix of both, never a table
// missing.
//
// VELMORA_CRASH_KILLS sets a longer run than the suite's.

#include "core/coordinates.h"
#include "core/databasestore.h"
#include "core/dataset.h"
#include "core/folders.h"
#include "core/scriptedprompts.h"
#include "core/settings.h"
#include "recording/dataimport.h"

#include <QDir>
#include <QTemporaryDir>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace velmora;
using namespace velmora::recording;

namespace {

// Data file `tag` ("A" or "B"): `locations` locations of 20 samples each.
core::Grid DataFile(const QString& tag, int locations) {
    QString text = "Locatie\tX\tY\tDag\tMaand\tJaar\tSieralg\n";
    for (int l = 0; l < locations; ++l)
        for (int s = 0; s < 20; ++s)
            text += QString("%1 %2\t%3\t458\t1\t2\t2003\tCosmarium %4\n")
                        .arg(tag)
                        .arg(l, 5, 10, QChar('0'))
                        .arg(150 + l % 50)
                        .arg(s);
    return CopyToGrid(text);
}

ImportSettings Replacing() {
    ImportSettings s;
    s.columns[kImportLocation] = 1;
    s.columns[kImportCoordX] = 2;
    s.columns[kImportCoordY] = 3;
    s.columns[kImportDay] = 4;
    s.columns[kImportMonth] = 5;
    s.columns[kImportYear] = 6;
    s.columns[kImportDesmid] = 7;
    s.unique[0] = 1;
    s.startRow = 2;
    s.replace = true;
    s.coordinateSystem = kAmersfoort;
    return s;
}

constexpr int kLocationsA = 300;
constexpr int kLocationsB = 120;

// Which import the database holds, or why it holds none whole.
std::string Holds(core::DatabaseStore& store) {
    core::Dataset& loc = store.Locations();
    core::Dataset& samples = store.Samples();
    std::set<long long> ids;
    QString tag;
    for (loc.First(); !loc.Eof(); loc.Next()) {
        const QString name = loc.FieldByName("LOCATIE").AsString();
        if (tag.isEmpty())
            tag = name.left(1);
        if (name.left(1) != tag)
            return "locations of both imports";
        ids.insert(loc.FieldByName("ID").AsInteger());
    }
    const int expected = tag == "A" ? kLocationsA : kLocationsB;
    if (static_cast<int>(ids.size()) != expected || loc.RecordCount() != expected)
        return "import " + tag.toStdString() + " with " + std::to_string(ids.size()) + " locations";
    int count = 0;
    for (samples.First(); !samples.Eof(); samples.Next(), ++count)
        if (!ids.count(samples.FieldByName("ID").AsInteger()))
            return "a sample of a location of the other import";
    if (count != expected * 20)
        return "import " + tag.toStdString() + " with " + std::to_string(count) + " samples";
    return tag.toStdString();
}

} // namespace

TEST(ImportKill, AKilledImportLeavesOneWholeImport) {
    const int kills = qEnvironmentVariableIsSet("VELMORA_CRASH_KILLS")
                          ? qEnvironmentVariableIntValue("VELMORA_CRASH_KILLS")
                          : 8;
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("Data");
    QDir(dir.path()).mkdir("Lib");
    core::SetProgramDir(dir.path());
    core::CurrentSettings() = core::DefaultSettings();
    core::ScriptedPrompts prompts;
    core::Grid a = DataFile("A", kLocationsA);
    core::Grid b = DataFile("B", kLocationsB);
    {
        core::DatabaseStore store;
        store.CreateDatabase("K");
    }
    // One import timed, for the window in which the kills fall.
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(WriteImport(b, Replacing(), "K", core::kKmBased, "EN").complete);
    const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
                          std::chrono::steady_clock::now() - start)
                          .count();
    std::string last = "B";
    std::mt19937 timing(std::random_device{}());
    for (int kill = 0; kill < kills; ++kill) {
        int pipeFds[2];
        ASSERT_EQ(pipe(pipeFds), 0);
        const pid_t child = fork();
        if (child == 0) {
            close(pipeFds[0]);
            bool nextA = last == "B";
            for (;;) {
                const ImportOutcome out =
                    WriteImport(nextA ? a : b, Replacing(), "K", core::kKmBased, "EN");
                if (!out.complete || write(pipeFds[1], nextA ? "A" : "B", 1) != 1)
                    _exit(3);
                nextA = !nextA;
            }
        }
        close(pipeFds[1]);
        std::this_thread::sleep_for(
            std::chrono::microseconds(timing() % static_cast<unsigned>(3 * took + 1)));
        ::kill(child, SIGKILL);
        char done[4096];
        ssize_t n = 0;
        while ((n = read(pipeFds[0], done, sizeof done)) > 0)
            last = std::string(1, done[n - 1]);
        close(pipeFds[0]);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child stopped by itself: " << WEXITSTATUS(status);

        const std::string underWay = last == "A" ? "B" : "A";
        core::DatabaseStore store;
        ASSERT_TRUE(store.OpenDatabase("K")) << prompts.shown.join('|').toStdString();
        const std::string holds = Holds(store);
        EXPECT_TRUE(holds == last || holds == underWay)
            << "kill " << kill << ": the database holds " << holds << " (reported last: " << last
            << ")";
        store.CloseDatabase();
        last = holds == underWay ? underWay : last;
        const QStringList left = QDir(dir.filePath("Data"))
                                     .entryList({".replacing-*", ".replaced-*"},
                                                QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
        EXPECT_TRUE(left.isEmpty()) << left.join(' ').toStdString();
    }
}
