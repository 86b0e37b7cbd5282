// The crash harness: a child process edits a database through the store and the entry rules
// (new locations and samples, edits, deletes, the delete cascade, closes that pack) and reports
// each operation once it has returned; the parent kills it with SIGKILL at a random moment.
// After every kill the database must open with every reported record there once and whole,
// nothing reported deleted back, at most the one operation that was under way half seen, and
// TDbf (which counts records by the file's size) must read exactly the records we read.
//
// A short run is part of the test suite; VELMORA_CRASH_KILLS sets a longer one (see
// scripts/crash-harness.sh). Seeds are fixed: the operations are the same every run, only the
// moments of the kills vary.

#include "core/databasestore.h"
#include "core/folders.h"
#include "core/scriptedprompts.h"
#include "core/settings.h"
#include "recording/locationsampleeditor.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <set>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace velmora;
using core::Dataset;

namespace {

#ifdef VELMORA_DBF_ORACLE
const char* const kOracle = VELMORA_DBF_ORACLE;
#else
const char* const kOracle = nullptr;
#endif

struct Sample {
    long long location = 0;
    QString abund;
    bool operator==(const Sample&) const = default;
};

// What the database holds: locations by serial (their ID), samples by serial.
struct State {
    std::map<int, long long> locations;
    std::map<int, Sample> samples;
    int nextSerial = 1;
};

// Reads the state as the store shows it; the serials are in LOCCODE and OPMDESMID.
State ReadState(core::DatabaseStore& store) {
    State s;
    Dataset& loc = store.Locations();
    loc.SetIndexName({});
    for (loc.First(); !loc.Eof(); loc.Next()) {
        const int serial = loc.FieldByName("LOCCODE").AsString().mid(1).toInt();
        s.locations[serial] = loc.FieldByName("ID").AsInteger();
        s.nextSerial = std::max(s.nextSerial, serial + 1);
    }
    Dataset& samples = store.Samples();
    samples.SetIndexName({});
    for (samples.First(); !samples.Eof(); samples.Next()) {
        const int serial = samples.FieldByName("OPMDESMID").AsString().mid(1).toInt();
        if (s.samples.count(serial))
            throw std::runtime_error("sample " + std::to_string(serial) + " twice");
        if (!samples.FieldByName("DESMID").AsString().startsWith("Cosmarium "))
            throw std::runtime_error("sample " + std::to_string(serial) + " torn");
        s.samples[serial] = {samples.FieldByName("ID").AsInteger(),
                             samples.FieldByName("ABUND").AsString()};
        s.nextSerial = std::max(s.nextSerial, serial + 1);
    }
    return s;
}

// The samples TDbf reads in a copy of the table file (without its index).
std::map<int, Sample> TDbfSamples(const QString& table) {
    QTemporaryDir copy;
    const QString file = copy.filePath("H2.dbf");
    QFile::copy(table, file);
    QProcess p;
    p.start(QString::fromUtf8(kOracle), {"dump", file});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        throw std::runtime_error("TDbf could not read the table: " +
                                 p.readAllStandardError().toStdString());
    std::map<int, Sample> out;
    for (const QByteArray& line : p.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> c = line.split('\t');
        if (c.size() < 13 || c[0] != "-")
            continue;
        const auto text = [&](int i) { return c[i] == "<null>" ? QString() : QString(c[i]); };
        out[text(12).mid(1).toInt()] = {text(2).toLongLong(), text(7)};
    }
    return out;
}

// The child: operations until it is killed. Each finished one is reported on `report`.
[[noreturn]] void Work(int report, unsigned seed) {
    core::ScriptedPrompts prompts; // nothing asks; a question would throw
    core::DatabaseStore store;
    recording::LocationSampleEditor editor(store);
    if (!store.OpenDatabase("H"))
        _exit(3);
    State s = ReadState(store);
    // Samples whose location went in a cascade that a kill cut short are left alone.
    std::set<long long> ids;
    for (const auto& [serial, id] : s.locations)
        ids.insert(id);
    std::erase_if(s.samples, [&](const auto& e) { return !ids.count(e.second.location); });
    std::mt19937 rng(seed);
    auto pick = [&](auto& map) {
        auto it = map.begin();
        std::advance(it, static_cast<long>(rng() % map.size()));
        return it;
    };
    auto say = [&](const QString& line) {
        const QByteArray bytes = (line + '\n').toLatin1();
        if (write(report, bytes.constData(), static_cast<size_t>(bytes.size())) != bytes.size())
            _exit(4);
    };
    auto toLocation = [&](long long id) {
        store.Locations().SetIndexName("ID");
        return store.Locations().Locate("ID", id);
    };
    auto toSample = [&](int serial) {
        store.Samples().SetIndexName("ID");
        return store.Samples().Locate("OPMDESMID", QString("S%1").arg(serial));
    };
    try {
        for (;;) {
            const unsigned r = rng() % 100;
            Dataset& loc = store.Locations();
            Dataset& samples = store.Samples();
            if (s.locations.empty() || r < 10) {
                const int serial = s.nextSerial++;
                loc.Append();
                const long long id = editor.NextLocationId();
                loc.FieldByName("ID").SetAsInteger(id);
                loc.FieldByName("LOCATIE").SetAsString(QString("Ven %1").arg(serial));
                loc.FieldByName("DAG").SetAsString("05");
                loc.FieldByName("MAAND").SetAsString("06");
                loc.FieldByName("JAAR").SetAsString("2001");
                loc.FieldByName("COORDX").SetAsString(QString::number(100 + serial % 150));
                loc.FieldByName("COORDY").SetAsString(QString::number(400 + serial % 200));
                loc.FieldByName("LOCCODE").SetAsString(QString("L%1").arg(serial));
                loc.Post();
                s.locations[serial] = id;
                say(QString("L+ %1 %2").arg(serial).arg(id));
            } else if (r < 60 || s.samples.empty()) {
                const auto [locSerial, id] = *pick(s.locations);
                if (!toLocation(id))
                    _exit(5);
                const int serial = s.nextSerial++;
                const QString abund = QString::number(rng() % 4);
                samples.Append();
                samples.FieldByName("DESMID").SetAsString(QString("Cosmarium %1").arg(rng() % 50));
                samples.FieldByName("ABUND").SetAsString(abund);
                samples.FieldByName("OPMDESMID").SetAsString(QString("S%1").arg(serial));
                editor.Apply();
                samples.Post();
                s.samples[serial] = {id, abund};
                say(QString("S+ %1 %2 %3").arg(serial).arg(id).arg(abund));
            } else if (r < 75) {
                const auto it = pick(s.samples);
                if (!toLocation(it->second.location) || !toSample(it->first))
                    _exit(6);
                const QString abund = QString::number(4 + rng() % 4);
                samples.Edit();
                samples.FieldByName("ABUND").SetAsString(abund);
                editor.Apply();
                samples.Post();
                it->second.abund = abund;
                say(QString("S~ %1 %2").arg(it->first).arg(abund));
            } else if (r < 88) {
                const auto it = pick(s.samples);
                if (!toLocation(it->second.location) || !toSample(it->first))
                    _exit(7);
                samples.Delete();
                say(QString("S- %1").arg(it->first));
                s.samples.erase(it);
            } else if (r < 94) {
                const auto it = pick(s.locations);
                const long long id = it->second;
                if (!toLocation(id))
                    _exit(8);
                loc.Delete();
                editor.SamplesUpdate(id); // the cascade, with its pack
                std::erase_if(s.samples, [&](const auto& e) { return e.second.location == id; });
                say(QString("L- %1 %2").arg(it->first).arg(id));
                s.locations.erase(it);
            } else {
                store.CloseDatabase(); // packs what is deleted
                if (!store.OpenDatabase("H"))
                    _exit(9);
                say("C");
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "harness child: %s\n", e.what());
    } catch (...) {
    }
    _exit(2);
}

// Applies a reported operation to the parent's model.
void Apply(State& s, const QString& line) {
    const QStringList w = line.split(' ');
    if (w[0] == "L+")
        s.locations[w[1].toInt()] = w[2].toLongLong();
    else if (w[0] == "S+")
        s.samples[w[1].toInt()] = {w[2].toLongLong(), w[3]};
    else if (w[0] == "S~")
        s.samples[w[1].toInt()].abund = w[2];
    else if (w[0] == "S-")
        s.samples.erase(w[1].toInt());
    else if (w[0] == "L-") {
        s.locations.erase(w[1].toInt());
        const long long id = w[2].toLongLong();
        std::erase_if(s.samples, [&](const auto& e) { return e.second.location == id; });
    }
}

// The differences between what was reported and what the tables hold that one operation under
// way at the kill can explain; an empty text when they all are.
std::string Unexplained(const State& reported, const State& found) {
    std::vector<int> extra, missing, changed;
    for (const auto& [serial, sample] : found.samples) {
        const auto it = reported.samples.find(serial);
        if (it == reported.samples.end())
            extra.push_back(serial);
        else if (!(it->second == sample))
            changed.push_back(serial);
    }
    for (const auto& [serial, sample] : reported.samples)
        if (!found.samples.count(serial))
            missing.push_back(serial);
    std::vector<int> locExtra, locMissing;
    for (const auto& [serial, id] : found.locations)
        if (!reported.locations.count(serial))
            locExtra.push_back(serial);
    for (const auto& [serial, id] : reported.locations)
        if (!found.locations.count(serial))
            locMissing.push_back(serial);
    // A cascade under way: its location gone, any of its samples gone with it.
    if (locMissing.size() == 1 && extra.empty() && changed.empty() && locExtra.empty()) {
        const long long id = reported.locations.at(locMissing[0]);
        for (int serial : missing)
            if (reported.samples.at(serial).location != id)
                return "a sample of another location is missing: " + std::to_string(serial);
        return {};
    }
    const std::size_t differences =
        extra.size() + missing.size() + changed.size() + locExtra.size() + locMissing.size();
    if (differences > 1)
        return std::to_string(extra.size()) + " extra, " + std::to_string(missing.size()) +
               " missing, " + std::to_string(changed.size()) + " changed samples; " +
               std::to_string(locExtra.size()) + " extra, " + std::to_string(locMissing.size()) +
               " missing locations";
    return {};
}

TEST(CrashHarness, KilledAtRandomMomentsTheDatabaseKeepsEveryReportedRecord) {
    const int kills = qEnvironmentVariableIsSet("VELMORA_CRASH_KILLS")
                          ? qEnvironmentVariableIntValue("VELMORA_CRASH_KILLS")
                          : 12;
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("Data");
    core::SetProgramDir(dir.path());
    core::CurrentSettings() = core::DefaultSettings();
    core::ScriptedPrompts prompts;
    {
        core::DatabaseStore store;
        store.CreateDatabase("H");
        QFile ini(dir.filePath("Data/H.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Coordinates]\r\nSystem=km-based\r\n");
    }
    State model;
    std::mt19937 timing(std::random_device{}());
    long operations = 0, checkedRecords = 0;
    for (int kill = 0; kill < kills; ++kill) {
        int pipeFds[2];
        ASSERT_EQ(pipe(pipeFds), 0);
        const pid_t child = fork();
        if (child == 0) {
            close(pipeFds[0]);
            Work(pipeFds[1], 1000u + static_cast<unsigned>(kill));
        }
        close(pipeFds[1]);
        FILE* in = fdopen(pipeFds[0], "r");
        // Some operations, then a kill at a moment nobody chose.
        const int before = 20 + static_cast<int>(timing() % 200);
        char line[256];
        for (int n = 0; n < before && fgets(line, sizeof line, in); ++n) {
            Apply(model, QString::fromLatin1(line).trimmed());
            ++operations;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(timing() % 3000));
        ::kill(child, SIGKILL);
        while (fgets(line, sizeof line, in)) { // reported before the kill
            Apply(model, QString::fromLatin1(line).trimmed());
            ++operations;
        }
        fclose(in);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child stopped by itself: " << WEXITSTATUS(status);

        // Another reader first, on the files as the kill left them.
        std::map<int, Sample> theirs;
        if (kOracle)
            theirs = TDbfSamples(dir.filePath("Data/H2.dbf"));
        core::DatabaseStore store;
        ASSERT_TRUE(store.OpenDatabase("H")) << prompts.shown.join('|').toStdString();
        const State found = ReadState(store);
        const std::string why = Unexplained(model, found);
        ASSERT_TRUE(why.empty()) << "after kill " << kill << ": " << why;
        if (kOracle) {
            EXPECT_EQ(theirs, found.samples) << "after kill " << kill;
        }
        checkedRecords += static_cast<long>(found.samples.size() + found.locations.size());
        model = found; // the operation under way counts as it ended
        store.CloseDatabase();
        prompts.shown.clear();
    }
    std::printf("crash harness: %d kills, %ld operations reported, %ld records checked\n", kills,
                operations, checkedRecords);
    core::SetProgramDir({});
}

} // namespace
