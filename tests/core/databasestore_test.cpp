#include "common/printers.h"
#include "common/smallfs.h"
#include "common/tempdir.h"
#include "core/databasestore.h"
#include "core/error.h"
#include "core/filelock.h"
#include "core/folders.h"
#include "core/resourcestrings.h"
#include "core/scriptedprompts.h"
#include "core/settings.h"
#include "core/text/inifile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace velmora::core;
using velmora::testing::ReadAll;
using velmora::testing::WriteAll;

namespace {

struct Recorder : DatabaseListener {
    QStringList labels;
    int navigatorDisabled = 0;
    int gridBuilt = 0;
    int locationEvents = 0;
    int sampleEvents = 0;
    void DatabaseStatusChanged(const QString& text) override { labels << text; }
    // No sample can be entered: a database without locations, or none.
    void DatabaseOpened(bool hasLocations) override {
        if (hasLocations)
            ++gridBuilt;
        else
            ++navigatorDisabled;
    }
    void DatabaseOpenFailed() override { ++navigatorDisabled; }
    void LocationsChanged() override { ++locationEvents; }
    void SamplesChanged() override { ++sampleEvents; }
};

struct Store : ::testing::Test {
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    DatabaseStore store;
    Recorder recorder;
    void SetUp() override {
        QDir root(dir.path());
        root.mkdir("Data");
        root.mkdir("Lib");
        SetProgramDir(dir.path());
        CurrentSettings() = DefaultSettings();
        store.AddListener(&recorder);
    }
    void TearDown() override {
        store.CloseDatabase();
        SetProgramDir({});
    }
    QString Data(const QString& file) const { return dir.filePath("Data/" + file); }

    void AddLocation(int id, const QString& name, const QString& x, const QString& y) {
        store.Locations().AppendRecord({id, name, "05", "06", "2001", "Zuur", "", x, y});
    }
    void AddSample(QVariant id, const QString& datum, const QString& kxy, const QString& uxy,
                   const QString& desmid) {
        store.Samples().AppendRecord({id, datum, kxy, uxy, desmid});
    }
};

TEST_F(Store, CatalogueNeedsBothTablesWithTheStatedCase) {
    for (const char* f : {"Ven1.dbf", "ven2.DBF", "Solo1.dbf", "Upper1.DBF", "Upper2.dbf",
                          "alpha1.dbf", "alpha2.dbf"})
        WriteAll(Data(f), "x");
    EXPECT_EQ(DatabaseStore::ListDatabases(), (QStringList{"alpha", "Ven"}));
}

TEST_F(Store, EmptyDatabaseOpensAndItsSettingsAreWrittenAtClose) {
    store.CreateDatabase("Ven");
    EXPECT_TRUE(QFile::exists(Data("Ven1.dbf")));
    EXPECT_TRUE(QFile::exists(Data("Ven2.dbf")));
    EXPECT_FALSE(QFile::exists(Data("Ven1.mdx")));
    EXPECT_FALSE(QFile::exists(Data("Ven.ini")));

    recorder.labels.clear();
    ASSERT_TRUE(store.OpenDatabase("Ven"));
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_EQ(store.maxLocationID, "-1");
    EXPECT_EQ(recorder.navigatorDisabled, 1);
    EXPECT_EQ(recorder.labels.first(), "Database wordt geopend....");
    EXPECT_EQ(recorder.labels.last(), "Database: Ven");
    EXPECT_EQ(store.Locations().IndexNames().size(), 4);
    EXPECT_EQ(store.Samples().IndexNames().size(), 4);
    EXPECT_EQ(store.Samples().IndexName().toUpper(), "DESMID");
    EXPECT_EQ(store.Locations().IndexName().toUpper(), "LOCATIE");
    EXPECT_EQ(store.Locations().FieldDefs().size(), 19u);
    EXPECT_EQ(store.Samples().FieldDefs().size(), 12u);

    store.CloseDatabase();
    EXPECT_FALSE(store.IsOpen());
    EXPECT_EQ(recorder.labels.last(), "Database: ");
    const IniFile ini = IniFile::Load(Data("Ven.ini"));
    EXPECT_EQ(ini.Value("Coordinates", "System"), "km-based"); // written for an empty system
    EXPECT_TRUE(QFile::exists(Data("VLX.ini")));
    EXPECT_EQ(CurrentSettings().defaultDatabase, "Ven"); // a close keeps the name
}

TEST_F(Store, OpenFillsMaxIdAndBuildsTheGrid) {
    store.CreateDatabase("Ven");
    ASSERT_TRUE(store.OpenDatabase("Ven"));
    AddLocation(7, "Beta", "162", "458");
    AddLocation(12, "Alfa", "3245", "23");
    AddLocation(3, "Gamma", "", "");
    store.CloseDatabase();
    CurrentSettings().order = 1;
    ASSERT_TRUE(store.OpenDatabase("Ven"));
    EXPECT_EQ(store.maxLocationID, "12");
    EXPECT_EQ(recorder.gridBuilt, 1);
    EXPECT_EQ(store.Locations().IndexName().toUpper(), "DATUM");
}

TEST_F(Store, MissingIndexFilesAreRebuiltAndDeletedRecordsGoAtClose) {
    store.CreateDatabase("Ven");
    ASSERT_TRUE(store.OpenDatabase("Ven"));
    AddLocation(1, "Een", "162", "458");
    AddLocation(2, "Twee", "162", "458");
    store.Locations().SetIndexName("ID");
    ASSERT_TRUE(store.Locations().Locate("ID", 1));
    store.Locations().Delete();
    const qint64 sizeBefore = QFileInfo(Data("Ven1.dbf")).size();
    store.CloseDatabase();
    EXPECT_LT(QFileInfo(Data("Ven1.dbf")).size(), sizeBefore); // packed at close

    ASSERT_TRUE(QFile::remove(Data("Ven1.mdx")));
    ASSERT_TRUE(store.OpenDatabase("Ven"));
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_EQ(store.Locations().IndexNames().size(), 4);
    EXPECT_EQ(store.Locations().RecordCount(), 1);
    EXPECT_EQ(store.maxLocationID, "2");
}

TEST_F(Store, MissingTablesGiveBothMessages) {
    CurrentSettings().defaultDatabase = "Gone";
    EXPECT_FALSE(store.OpenDatabase("Gone"));
    const QString prefix = "FOUT! De databasefile (" + dir.filePath("Data/") + "Gone";
    EXPECT_EQ(prompts.shown,
              (QStringList{prefix + "1.dbf) is niet gevonden", prefix + "2.dbf) is niet gevonden",
                           "De standaard Database is niet gevonden\nSelecteer of "
                           "maak een database onder \"Bestand\""}));
    EXPECT_EQ(recorder.labels.last(), "Database:");
    EXPECT_TRUE(CurrentSettings().defaultDatabase.isEmpty());
}

TEST_F(Store, UnsafeNamesAreRefused) {
    for (const char* name : {"../escape", "a/b", "a\\b", "..", "", "bad:name", "tab\tname"}) {
        EXPECT_FALSE(IsValidDatabaseName(name)) << name;
        EXPECT_THROW(store.CreateDatabase(name), Error) << name;
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("escape1.dbf")));
    EXPECT_TRUE(IsValidDatabaseName("Vennen Brabant 2024"));
    EXPECT_FALSE(store.OpenDatabase("../escape"));
    EXPECT_TRUE(prompts.shown.first().contains("../escape"));
}

TEST_F(Store, ALockedTableIsReportedAndLeavesNoDatabase) {
    store.CreateDatabase("Ven");
    int toParent[2], toChild[2];
    ASSERT_EQ(pipe(toParent), 0);
    ASSERT_EQ(pipe(toChild), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        FileLock lock;
        const char ok = lock.Acquire(Data("Ven2.dbf")) ? '1' : '0';
        (void)!write(toParent[1], &ok, 1);
        char c;
        (void)!read(toChild[0], &c, 1);
        _exit(0);
    }
    char ok = 0;
    ASSERT_EQ(read(toParent[0], &ok, 1), 1);
    ASSERT_EQ(ok, '1');
    EXPECT_FALSE(store.OpenDatabase("Ven"));
    EXPECT_FALSE(store.IsOpen());
    ASSERT_EQ(prompts.shown.size(), 1);
    // The file and the reason in the user's words.
    EXPECT_TRUE(prompts.shown[0].contains(Data("Ven2.dbf") + ": " + ResStr(rsFileInUse)))
        << prompts.shown[0].toStdString();
    (void)!write(toChild[1], "x", 1);
    waitpid(pid, nullptr, 0);
    EXPECT_TRUE(store.OpenDatabase("Ven"));
}

TEST_F(Store, UpgradeAddsDesmidInfo) {
    dbf::FieldDefs old = SampleFields();
    old.pop_back();
    Dataset::CreateTable(Data("Old2.dbf"), old);
    Dataset::CreateTable(Data("Old1.dbf"), LocationFields());
    {
        Dataset t;
        t.Open(Data("Old2.dbf"));
        t.AppendRecord({5, "2001-05-06", "162-458", "160-455", "Cosmarium botrytis", "3"});
        t.Close();
    }
    DatabaseStore::UpgradeSamplesTable("Old");
    Dataset t;
    t.Open(Data("Old2.dbf"));
    ASSERT_TRUE(t.HasField("DESMIDINFO"));
    EXPECT_EQ(t.RecordCount(), 1);
    t.First();
    EXPECT_EQ(t.FieldByName("DESMID").AsString(), "Cosmarium botrytis");
    EXPECT_TRUE(t.FieldByName("DESMIDINFO").IsNull());
    t.Close();
    DatabaseStore::UpgradeSamplesTable("Old"); // a second run changes nothing
}

TEST_F(Store, DeleteRemovesEveryFile) {
    store.CreateDatabase("Ven");
    ASSERT_TRUE(store.OpenDatabase("Ven"));
    store.CloseDatabase();
    DatabaseStore::DeleteDatabase("Ven");
    EXPECT_TRUE(QDir(dir.filePath("Data")).entryList({"Ven*"}, QDir::Files).isEmpty());
}

TEST_F(Store, SquareTotalsRemoveCorruptSamplesAndCache) {
    store.CreateDatabase("Ven");
    ASSERT_TRUE(store.OpenDatabase("Ven"));
    store.SetCoordinateSystem("km-based");
    AddLocation(1, "Een", "162", "458");
    AddSample(1, "2001-05-06", "162-458", "160-455", "A a");
    AddSample(1, "2001-05-06", "163-458", "160-455", "B b");
    AddSample(QVariant(), "", "", "", "corrupt");
    AddSample(1, "", "170-460", "170-460", "no date: skipped");
    AddSample(1, "1985-01-01", "300-600", "300-600", "C c");
    EXPECT_EQ(store.SquareTotals(), (std::pair<int, int>{3, 2}));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(prompts.shown[0].startsWith("Corrupt record nr: 3"));
    EXPECT_EQ(store.Samples().RecordCount(), 4);
    EXPECT_EQ(store.Samples().IndexName().toUpper(), "UXY");

    AddSample(1, "2001-05-06", "400-400", "400-400", "D d");
    EXPECT_EQ(store.SquareTotals(), (std::pair<int, int>{3, 2})); // cached
    CurrentSettings().beginJaar = "1990";
    CurrentSettings().eindJaar = "2011";
    store.periodFilterOn = true;
    EXPECT_EQ(store.SquareTotals(), (std::pair<int, int>{3, 2})); // 1985 outside the period
}

TEST_F(Store, SquareTotalsReadCodesWithoutRegardToCaseAndRefuseABadYear) {
    store.CreateDatabase("Ven");
    ASSERT_TRUE(store.OpenDatabase("Ven"));
    store.SetCoordinateSystem("km-based");
    AddSample(1, "2001-05-06", "a12-458", "a10-455", "A a");
    AddSample(1, "2001-5-6", "A12-458", "A10-455", "B b"); // the same codes in upper case
    AddSample(1, "1999-05-06", "a12-459", "A10-455", "C c");
    AddSample(1, "-500-01-01", "300-600", "300-600", "D d"); // a year, if an odd one
    EXPECT_EQ(store.SquareTotals(), (std::pair<int, int>{3, 2}));
    CurrentSettings().beginJaar = "1990";
    CurrentSettings().eindJaar = "2000";
    store.periodFilterOn = true;
    EXPECT_EQ(store.SquareTotals(), (std::pair<int, int>{1, 1}));
    store.periodFilterOn = false;
    AddSample(1, "20x1-05-06", "162-458", "160-455", "E e");
    store.locationsChanged = true;
    try {
        store.SquareTotals();
        FAIL() << "a year that is not a number was counted";
    } catch (const Error& e) {
        EXPECT_EQ(e.Message(), ResStr(rsNotAnInteger).arg("20x1"));
    }
}

TEST_F(Store, RecomputeSquareCodesRewritesEverySample) {
    store.CreateDatabase("Ven");
    ASSERT_TRUE(store.OpenDatabase("Ven"));
    store.SetCoordinateSystem("km-based");
    AddLocation(1, "Een", "162,4", "458,9");
    AddLocation(2, "Twee", "100000", "500000");
    AddSample(1, "2001-05-06", "", "", "A a");
    AddSample(2, "2001-05-06", "999-999", "", "B b");
    AddSample(9, "2001-05-06", "111-111", "111-111", "orphan");
    store.RecomputeSquareCodes();
    EXPECT_TRUE(store.samplesChanged);
    store.Samples().SetIndexName({});
    store.Samples().First();
    EXPECT_EQ(store.Samples().FieldByName("KXY").AsString(), "162-458");
    EXPECT_EQ(store.Samples().FieldByName("UXY").AsString(), "160-455");
    store.Samples().Next();
    EXPECT_EQ(store.Samples().FieldByName("KXY").AsString(), "100-500");
    store.Samples().Next();
    EXPECT_EQ(store.Samples().FieldByName("KXY").AsString(), "111-111"); // left unchanged
    store.CloseDatabase();
    CurrentSettings().defaultDatabase = "Ven";
    EXPECT_FALSE(store.SquareCodesUpToDate()); // the last sample has no location
}

TEST_F(Store, RecordsPastTheCountAndADamagedIndexAreRepairedAndSaid) {
    store.CreateDatabase("Ven");
    ASSERT_TRUE(store.OpenDatabase("Ven"));
    AddLocation(0, "Ven", "162", "458");
    for (int i = 0; i < 5; ++i)
        AddSample(0, "2001-06-05", "162-458", "160-455", QString("Cosmarium %1").arg(i));
    store.CloseDatabase();
    // Two samples after the header's count (a program stopped before it wrote the count), and
    // an index file that is garbage.
    QByteArray samples = ReadAll(Data("Ven2.dbf"));
    samples[4] = 3;
    WriteAll(Data("Ven2.dbf"), samples);
    WriteAll(Data("Ven1.mdx"), QByteArray(3000, 'x'));
    prompts.shown.clear();
    ASSERT_TRUE(store.OpenDatabase("Ven"));
    ASSERT_EQ(prompts.shown.size(), 2) << prompts.shown.join('|').toStdString();
    EXPECT_TRUE(prompts.shown[0].startsWith(ResStr(rsIndexRebuilt).arg(Data("Ven1.mdx"))));
    EXPECT_EQ(prompts.shown[1], ResStr(rsRecordsRecovered).arg(2).arg(Data("Ven2.dbf")));
    EXPECT_EQ(store.Samples().RecordCount(), 5);
    EXPECT_EQ(store.Locations().IndexNames().size(), 4);
    store.CloseDatabase(); // packs: nothing the file holds is dropped
    prompts.shown.clear();
    ASSERT_TRUE(store.OpenDatabase("Ven"));
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join('|').toStdString();
    EXPECT_EQ(store.Samples().RecordCount(), 5);
}

TEST_F(Store, ChangesAreToldOncePerBulkChange) {
    store.MarkSamplesChanged();
    EXPECT_TRUE(store.samplesChanged);
    EXPECT_EQ(recorder.sampleEvents, 1);
    EXPECT_EQ(recorder.locationEvents, 0);
    {
        const DatabaseStore::BulkChange outer(store);
        {
            const DatabaseStore::BulkChange inner(store);
            store.MarkSamplesChanged();
            store.MarkLocationsChanged();
        }
        store.MarkSamplesChanged();
        EXPECT_EQ(recorder.sampleEvents, 1); // not yet: the bulk change is still under way
    }
    EXPECT_EQ(recorder.sampleEvents, 2);
    EXPECT_EQ(recorder.locationEvents, 1);
    EXPECT_TRUE(store.locationsChanged);
}

TEST_F(Store, AFailureWhileOpeningLeavesNoDatabaseAndAMessage) {
    // Whatever throws while a database is opened and shown becomes a message; the program
    // goes on with no database rather than with half of one.
    struct Throwing : DatabaseListener {
        void DatabaseOpened(bool) override { throw std::runtime_error("the grid broke"); }
    } throwing;
    store.CreateDatabase("Ven");
    ASSERT_TRUE(store.OpenDatabase("Ven"));
    AddLocation(0, "Ven", "162", "458");
    store.CloseDatabase();
    store.AddListener(&throwing);
    prompts.shown.clear();
    EXPECT_FALSE(store.OpenDatabase("Ven"));
    store.RemoveListener(&throwing);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0], ResStr(rsDbNotOpened).arg("Ven") + "\nthe grid broke");
    EXPECT_FALSE(store.IsOpen());
    EXPECT_EQ(store.Name(), "");
    EXPECT_EQ(recorder.labels.last(), ResStr(rsDbLabelFailed));
    // The files are whole: the database opens again.
    ASSERT_TRUE(store.OpenDatabase("Ven"));
    EXPECT_EQ(store.Locations().RecordCount(), 1);
}

TEST_F(Store, CloseOnAFullDiskKeepsTheTablesWholeAndSaysSo) {
    const QString disk = dir.filePath("disk");
    ASSERT_TRUE(QDir().mkpath(disk));
    const int code = velmora::testing::RunOnSmallFileSystem(disk, 2 * 1024 * 1024, [&] {
        QDir(disk).mkdir("Data");
        SetProgramDir(disk);
        ScriptedPrompts local;
        SetUserPrompts(&local);
        DatabaseStore s;
        s.CreateDatabase("Ven");
        if (!s.OpenDatabase("Ven"))
            return 1;
        for (int i = 0; i < 40; ++i)
            s.Samples().AppendRecord(
                {i % 4, "2001-06-05", "162-458", "160-455", QString("Cosmarium %1").arg(i)});
        s.Samples().First();
        s.Samples().Delete(); // the close wants to pack
        velmora::testing::FillDisk(disk + "/Data");
        local.shown.clear();
        s.CloseDatabase(); // must not throw
        if (s.IsOpen())
            return 2;
        if (local.shown.isEmpty() || !local.shown.last().startsWith(ResStr(rsNotSavedOnClose)))
            return 3;
        QFile::remove(disk + "/Data/fill");
        local.shown.clear();
        if (!s.OpenDatabase("Ven"))
            return 4;
        if (s.Samples().RecordCount() != 39)
            return 5;
        s.CloseDatabase();
        if (!local.shown.isEmpty())
            return 6;
        for (const QString& f : QDir(disk + "/Data").entryList(QDir::Files))
            if (f.endsWith(".tmp") || f.contains(".ini."))
                return 7; // a half-written file was left behind
        SetUserPrompts(nullptr);
        return 0;
    });
    ASSERT_NE(code, velmora::testing::kNoSmallFileSystem);
    EXPECT_EQ(code, 0);
}

TEST_F(Store, CloseWithNothingDeletedLeavesTheTablesInPlace) {
    store.CreateDatabase("Ven");
    ASSERT_TRUE(store.OpenDatabase("Ven"));
    AddLocation(0, "Ven", "162", "458");
    AddSample(0, "2001-06-05", "162-458", "160-455", "Cosmarium a");
    store.CloseDatabase();
    ASSERT_TRUE(store.OpenDatabase("Ven"));
    struct stat before {};
    ASSERT_EQ(stat(QFile::encodeName(Data("Ven2.dbf")).constData(), &before), 0);
    AddSample(0, "2001-06-05", "162-458", "160-455", "Cosmarium b");
    store.CloseDatabase();
    struct stat after {};
    ASSERT_EQ(stat(QFile::encodeName(Data("Ven2.dbf")).constData(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino); // not packed into a new file
    EXPECT_EQ(after.st_size, before.st_size + 1 * 339);
    ASSERT_TRUE(store.OpenDatabase("Ven"));
    EXPECT_EQ(store.Samples().RecordCount(), 2);
}

TEST_F(Store, ASquareTableNameOutsideLibIsNotOpened) {
    // A table outside the program folder, named by a hostile settings file.
    const QString victim = dir.filePath("victim.dbf");
    Dataset::CreateTable(victim, {velmora::core::dbf::TextField("HOK", 8)},
                         velmora::core::dbf::TableLevel::Level4);
    store.CreateDatabase("Ven");
    WriteAll(Data("Ven.ini"), "[Squares]\r\nCoordinates=../victim\r\n");
    ASSERT_TRUE(store.OpenDatabase("Ven"));
    EXPECT_FALSE(store.SquareCoordinates().Active());
    EXPECT_TRUE(store.SquaresTable().isEmpty());
    EXPECT_FALSE(IsFileInUse(victim));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0],
              ResStr(rsInvalidSetting).arg("[Squares] Coordinates", "Ven.ini", "../victim"));
}

} // namespace
