// The catalogue of databases: names, replacing, deleting (whole or not at all, never what
// another program holds), the square codes under either interface language, and backups that
// hold exactly the posted records or are not made at all.

#include "common/otherprogram.h"
#include "common/printers.h"
#include "common/smallfs.h"
#include "common/tempdir.h"
#include "core/coordinates.h"
#include "core/databasestore.h"
#include "core/dataset.h"
#include "core/filelock.h"
#include "core/folders.h"
#include "core/resourcestrings.h"
#include "core/scriptedprompts.h"
#include "core/settings.h"
#include "core/text/inifile.h"
#include "recording/databasecatalogue.h"
#include "recording/messages.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace velmora;
using core::Dataset;
using recording::ResStr;
using velmora::testing::OtherProgram;
using velmora::testing::ReadAll;
using velmora::testing::RunOnSmallFileSystem;

namespace {

#ifdef VELMORA_DBF_ORACLE
const char* const kOracle = VELMORA_DBF_ORACLE;
#else
const char* const kOracle = nullptr;
#endif

struct Event {
    QString x;
    QString y;
};

struct Catalogue : ::testing::Test {
    QTemporaryDir dir;
    core::ScriptedPrompts prompts;
    core::DatabaseStore store;
    recording::DatabaseCatalogue catalogue{store};

    void SetUp() override {
        QDir(dir.path()).mkdir("Data");
        QDir(dir.path()).mkdir("Lib");
        core::SetProgramDir(dir.path());
        core::CurrentSettings() = core::DefaultSettings();
    }
    void TearDown() override {
        store.CloseDatabase();
        core::CurrentSettings() = core::DefaultSettings();
        core::SetProgramDir({});
    }
    QString Data(const QString& file) const { return dir.filePath("Data/" + file); }
    QStringList DataFiles() const {
        return QDir(dir.filePath("Data"))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    // A closed database with its index files and settings file: one location per event, each
    // with `samples` samples whose square codes are stale.
    void MakeDatabase(const QString& name, const QString& system, const std::vector<Event>& events,
                      int samples = 2, const QString& map = {}, const QString& squares = {}) {
        store.CreateDatabase(name);
        ASSERT_TRUE(store.OpenDatabase(name));
        store.SetCoordinateSystem(system);
        store.SetMapName(map);
        store.SetSquaresTable(squares);
        int id = 0;
        for (const Event& e : events) {
            store.Locations().AppendRecord(
                {id, QString("Ven %1").arg(id), "05", "06", "2001", "", "", e.x, e.y});
            for (int s = 0; s < samples; ++s)
                store.Samples().AppendRecord(
                    {id, "2001-06-05", "999-999", "999-999", QString("Cosmarium %1").arg(s)});
            ++id;
        }
        store.CloseDatabase();
    }
    static int Records(const QString& table) {
        Dataset t;
        t.Open(table, /*readOnly=*/true);
        const int n = t.RecordCount();
        t.Close();
        return n;
    }
    // KXY and UXY of every sample of database NAME, in physical order.
    QStringList Codes(const QString& name) const {
        Dataset t;
        t.Open(Data(name + "2.dbf"), /*readOnly=*/true);
        QStringList codes;
        for (t.First(); !t.Eof(); t.Next())
            codes << t.FieldByName("KXY").AsString() + "|" + t.FieldByName("UXY").AsString();
        t.Close();
        return codes;
    }
};

TEST_F(Catalogue, NamesAreCheckedAndAnExistingNameInOtherCaseIsReplacedOnlyOnYes) {
    struct Refused {
        const char* name;
        QString message;
    };
    const Refused refused[] = {
        {"", ResStr(recording::rsNotAValidName)},
        {"   ", ResStr(recording::rsNotAValidName)},
        {"a/b", core::ResStr(core::rsInvalidDbName).arg("a/b")},
        {"..", core::ResStr(core::rsInvalidDbName).arg("..")},
        {"Ven?", core::ResStr(core::rsInvalidDbName).arg("Ven?")},
    };
    for (const Refused& r : refused) {
        prompts.shown.clear();
        EXPECT_FALSE(catalogue.Create(r.name)) << r.name;
        EXPECT_EQ(prompts.shown, QStringList{r.message});
    }
    EXPECT_TRUE(DataFiles().isEmpty()) << DataFiles().join(' ').toStdString();

    MakeDatabase("Ven", core::kKmBased, {{"162", "458"}}, 2, "Kaart.png", "Hokken");
    const QByteArray settings = ReadAll(Data("Ven.ini"));
    const QString question =
        ResStr(recording::rsDatabaseExists) + "\n" + ResStr(recording::rsReplaceQuestion);
    EXPECT_EQ(question, "Een database met deze naam bestaat al.\nWil je dit bestand vervangen?");

    // No keeps the old database as it was.
    prompts.shown.clear();
    prompts.answers = {core::Answer::No};
    EXPECT_FALSE(catalogue.Create("vEN"));
    EXPECT_EQ(prompts.defaultNo, QStringList{question});
    EXPECT_EQ(recording::DatabaseCatalogue::List(), QStringList{"Ven"});
    EXPECT_EQ(Records(Data("Ven1.dbf")), 1);
    EXPECT_EQ(Records(Data("Ven2.dbf")), 2);
    EXPECT_EQ(ReadAll(Data("Ven.ini")), settings);
    EXPECT_EQ(core::CurrentSettings().defaultDatabase, "Ven");

    // Yes replaces it whole: its index files and settings go with it.
    prompts.answers = {core::Answer::Yes};
    ASSERT_TRUE(catalogue.Create("vEN"));
    EXPECT_EQ(recording::DatabaseCatalogue::List(), QStringList{"vEN"});
    EXPECT_EQ(DataFiles(), (QStringList{"VLX.ini", "vEN1.dbf", "vEN2.dbf"}));
    EXPECT_EQ(Records(Data("vEN1.dbf")), 0);
    EXPECT_EQ(catalogue.Current(), "vEN");
    EXPECT_EQ(store.CoordinateSystem(), "");
    EXPECT_EQ(store.MapName(), "");
    EXPECT_EQ(store.SquaresTable(), "");
}

TEST_F(Catalogue, DeletingTheCurrentDatabaseLeavesTheNextOneWithItsOwnSettings) {
    MakeDatabase("Alfa", core::kLatLon, {{"5.5", "52.25"}}, 1, "A.png");
    MakeDatabase("Ven", core::kKmBased, {{"162", "458"}}, 1, "V.png", "Hokken");
    const QByteArray alfaSettings = ReadAll(Data("Alfa.ini"));
    catalogue.Select("Ven");
    EXPECT_EQ(store.SquaresTable(), "Hokken");

    prompts.answers = {core::Answer::No};
    EXPECT_FALSE(catalogue.Delete("Ven"));
    EXPECT_EQ(prompts.defaultNo,
              QStringList{"Weet je zeker dat je database \"Ven\" wilt verwijderen?"});
    EXPECT_EQ(recording::DatabaseCatalogue::List(), (QStringList{"Alfa", "Ven"}));

    prompts.answers = {core::Answer::Yes};
    ASSERT_TRUE(catalogue.Delete("Ven"));
    EXPECT_EQ(DataFiles(), (QStringList{"Alfa.ini", "Alfa1.dbf", "Alfa1.mdx", "Alfa2.dbf",
                                        "Alfa2.mdx", "VLX.ini"}));
    EXPECT_EQ(catalogue.Current(), "Alfa");
    EXPECT_EQ(store.CoordinateSystem(), core::kLatLon);
    EXPECT_EQ(store.MapName(), "A.png");
    EXPECT_EQ(store.SquaresTable(), "");
    EXPECT_EQ(ReadAll(Data("Alfa.ini")), alfaSettings);

    // The only database: none is current afterwards.
    prompts.answers = {core::Answer::Yes};
    ASSERT_TRUE(catalogue.Delete("Alfa"));
    EXPECT_EQ(DataFiles(), QStringList{"VLX.ini"});
    EXPECT_EQ(catalogue.Current(), "");
    EXPECT_TRUE(recording::DatabaseCatalogue::List().isEmpty());
    EXPECT_EQ(prompts.shown.size(), 3) << prompts.shown.join(QChar(10)).toStdString();
}

TEST_F(Catalogue, TheOpenDatabaseAndOneThatAnotherProgramHoldsAreNotDeleted) {
    MakeDatabase("Alfa", core::kKmBased, {{"162", "458"}});
    MakeDatabase("Ven", core::kKmBased, {{"162", "458"}});
    const QStringList files = DataFiles();

    ASSERT_TRUE(store.OpenDatabase("Ven"));
    prompts.shown.clear();
    EXPECT_FALSE(catalogue.Delete("Ven")); // asked nothing: no answer is queued
    EXPECT_EQ(prompts.shown, QStringList{ResStr(recording::rsOpenDatabaseNotDeleted).arg("Ven")});
    store.CloseDatabase();

    for (const char* held : {"Alfa1.dbf", "Alfa2.dbf", "Alfa1.mdx", "Alfa2.mdx"}) {
        SCOPED_TRACE(held);
        OtherProgram other(Data(held));
        ASSERT_TRUE(other.Holding());
        prompts.shown.clear();
        EXPECT_FALSE(catalogue.Delete("Alfa"));
        EXPECT_EQ(prompts.shown,
                  QStringList{ResStr(recording::rsDatabaseHeldElsewhere).arg("Alfa")});
        // Nor is it replaced by a new database of that name.
        prompts.shown.clear();
        EXPECT_FALSE(catalogue.Create("alfa"));
        EXPECT_EQ(prompts.shown,
                  QStringList{ResStr(recording::rsDatabaseHeldElsewhere).arg("Alfa")});
        EXPECT_EQ(DataFiles(), files);
    }
    EXPECT_EQ(Records(Data("Alfa2.dbf")), 2);
}

TEST_F(Catalogue, ADeletionThatCannotMoveEveryFileLeavesEveryFile) {
    MakeDatabase("Ven", core::kKmBased, {{"162", "458"}});
    const QStringList files = DataFiles();
    const QString spare = dir.filePath("spare");
    velmora::testing::WriteAll(spare, "x");
    QDir(dir.path()).mkdir("mnt");
    prompts.answers = {core::Answer::Yes};
    // In a mount namespace of its own, the samples index is a mount point: it cannot be moved
    // (the others can), as a file the system refuses to let go.
    const int code = RunOnSmallFileSystem(dir.filePath("mnt"), 64 * 1024, [&] {
        const QByteArray target = QFile::encodeName(Data("Ven2.mdx"));
        if (::mount(QFile::encodeName(spare).constData(), target.constData(), nullptr, MS_BIND,
                    nullptr) != 0)
            return 10;
        if (catalogue.Delete("Ven"))
            return 1;
        if (prompts.shown.size() != 2 ||
            !prompts.shown[1].startsWith(
                ResStr(recording::rsDatabaseNotDeleted).arg("Ven", "").section('\n', 0, 0)))
            return 2;
        if (DataFiles() != files)
            return 3;
        if (catalogue.Current() != "Ven")
            return 4;
        return 0;
    });
    ASSERT_NE(code, velmora::testing::kNoSmallFileSystem);
    ASSERT_NE(code, 10) << "no bind mount";
    EXPECT_EQ(code, 0);
    EXPECT_EQ(DataFiles(), files);
    EXPECT_EQ(Records(Data("Ven2.dbf")), 2);
}

TEST_F(Catalogue, SquareCodesFollowTheDutchRulesUnderEitherLanguage) {
    // Atlas notation, RD in km and in metres, and degrees; the codes every language must give.
    MakeDatabase("Atlas", core::kKmBased,
                 {{"3245", "23"}, {"3245", "0"}, {"162,4", "458,9"}, {"162400", "458900"}}, 1);
    const QStringList atlas = {"162-458|160-455", "160-455|160-455", "162-458|160-455",
                               "162-458|160-455"};
    MakeDatabase("Graden", core::kKmBased, {{"5.5", "52.25"}, {"-70.75", "-33.5"}}, 1);
    const QStringList degrees = {"   5:30| 52:030", " -70:45|-33:060"};

    for (const char* language : {"EN", "NL"}) {
        SCOPED_TRACE(language);
        core::CurrentSettings().language = language;
        for (const char* name : {"Atlas", "Graden"}) {
            QFile::copy(Data(QString(name) + "2.dbf"), Data(QString(name) + "2.orig"));
        }
        catalogue.Select("Atlas");
        EXPECT_TRUE(catalogue.SquareCodesStale());
        ASSERT_TRUE(catalogue.UpdateSquareCodes());
        EXPECT_EQ(Codes("Atlas"), atlas);
        EXPECT_FALSE(catalogue.SquareCodesStale());

        catalogue.Select("Graden");
        catalogue.SetCoordinateSystem(core::kLatLon);
        EXPECT_EQ(core::IniFile::Load(Data("Graden.ini")).Value("Coordinates", "System"), "LatLon");
        EXPECT_EQ(core::CurrentSettings().number, 1);
        EXPECT_TRUE(catalogue.SquareCodesStale());
        ASSERT_TRUE(catalogue.UpdateSquareCodes());
        EXPECT_EQ(Codes("Graden"), degrees);
        EXPECT_FALSE(store.IsOpen());
        EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join('\n').toStdString();

        // The stale tables again for the other language.
        catalogue.SetCoordinateSystem(core::kKmBased);
        for (const char* name : {"Atlas", "Graden"}) {
            QFile::remove(Data(QString(name) + "2.dbf"));
            QFile::rename(Data(QString(name) + "2.orig"), Data(QString(name) + "2.dbf"));
        }
    }
}

// The records TDbf reads in a table: the DESMID field of each, in physical order.
QStringList TDbfNames(const QString& table) {
    QProcess p;
    p.start(QString::fromUtf8(kOracle), {"dump", table});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {"TDbf failed: " + QString::fromUtf8(p.readAllStandardError())};
    QStringList names;
    for (const QByteArray& line : p.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> cells = line.split('\t');
        if (cells.size() > 6 && cells[0] == "-")
            names << QString::fromLatin1(cells[6]);
    }
    return names;
}

TEST_F(Catalogue, ABackupHoldsExactlyThePostedRecordsInAFolderNamedByTheClock) {
    MakeDatabase("Ven", core::kKmBased, {{"162", "458"}, {"163", "459"}}, 2);
    // The database is open and in use, as in the main window: a posted sample, a deleted one,
    // and a new one that is still being typed.
    ASSERT_TRUE(store.OpenDatabase("Ven"));
    Dataset& samples = store.Samples();
    samples.AppendRecord({1, "2001-06-05", "163-459", "160-455", "Staurastrum posted"});
    samples.SetIndexName({});
    samples.First();
    samples.Delete();
    samples.Append();
    samples.FieldByName("DESMID").SetAsString("Closterium typed");

    const QString root = dir.filePath("Backups");
    QDir().mkpath(root);
    catalogue.SetClock([] { return QDateTime(QDate(2011, 5, 23), QTime(14, 5, 9)); });
    const QString folder = root + "/Backup_Ven_2011-05-23_14-05-09";
    ASSERT_EQ(catalogue.BackupInto(root), folder);
    EXPECT_EQ(prompts.shown, QStringList{"Backup gemaakt in directory: " + folder});
    EXPECT_EQ(core::CurrentSettings().backupFolder, root);
    const QStringList copies =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    EXPECT_EQ(copies, (QStringList{"Ven1.dbf", "Ven2.dbf"}));
    for (const char* table : {"Ven1.dbf", "Ven2.dbf"}) // our tables end at their mark
        EXPECT_EQ(ReadAll(folder + "/" + table), ReadAll(Data(table))) << table;
    samples.Cancel();

    const QStringList posted = {"Cosmarium 1", "Cosmarium 0", "Cosmarium 1", "Staurastrum posted"};
    EXPECT_EQ(Records(folder + "/Ven2.dbf"), 4);
    if (kOracle) {
        // TDbf counts records by the file's size: it sees exactly the posted ones too.
        QTemporaryDir oracleCopy;
        QFile::copy(folder + "/Ven2.dbf", oracleCopy.filePath("Ven2.dbf"));
        EXPECT_EQ(TDbfNames(oracleCopy.filePath("Ven2.dbf")), posted);
    }

    // A second backup in the same second finds its names taken: nothing is overwritten.
    const QByteArray first = ReadAll(folder + "/Ven2.dbf");
    samples.AppendRecord({1, "2001-06-05", "163-459", "160-455", "Later"});
    prompts.shown.clear();
    EXPECT_EQ(catalogue.BackupInto(root), "");
    EXPECT_EQ(prompts.shown, QStringList{"Er is een fout opgetreden (file bestaat al in deze "
                                         "directory?). De backup is niet gemaakt"});
    EXPECT_EQ(ReadAll(folder + "/Ven2.dbf"), first);
    EXPECT_EQ(
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
        copies);
    store.CloseDatabase();

    // Bytes another program left after the end-of-file mark stay out of the copy.
    QFile table(Data("Ven2.dbf"));
    ASSERT_TRUE(table.open(QIODevice::Append));
    table.write("left over");
    table.close();
    catalogue.SetClock([] { return QDateTime(QDate(2011, 5, 23), QTime(14, 5, 10)); });
    const QString second = catalogue.BackupInto(root);
    ASSERT_FALSE(second.isEmpty());
    EXPECT_EQ(ReadAll(second + "/Ven2.dbf"), ReadAll(Data("Ven2.dbf")).chopped(9));
}

TEST_F(Catalogue, OnlyTheDataFolderItselfIsRefusedAsBackupFolder) {
    MakeDatabase("Ven", core::kKmBased, {{"162", "458"}});
    QDir().mkpath(dir.filePath("Data/Backups"));
    struct Case {
        QString folder;
        QString refusal; // empty: the backup is made
    };
    const QString inData = ResStr(recording::rsBackupInDataDir);
    const Case cases[] = {
        {dir.filePath("Data"), inData},
        {dir.filePath("Data") + "/", inData},
        {dir.filePath("Data/Backups"), {}},
        {dir.path(), {}},
    };
    int second = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder.toStdString());
        catalogue.SetClock(
            [&] { return QDateTime(QDate(2011, 5, 23), QTime(14, 5, second++ % 60)); });
        prompts.shown.clear();
        const QString made = catalogue.BackupInto(c.folder);
        if (c.refusal.isEmpty()) {
            EXPECT_TRUE(QFile::exists(made + "/Ven2.dbf"));
        } else {
            EXPECT_EQ(made, "");
            EXPECT_EQ(prompts.shown, QStringList{c.refusal});
        }
    }
    EXPECT_EQ(recording::DatabaseCatalogue::List(), QStringList{"Ven"});

    core::CurrentSettings().defaultDatabase.clear();
    prompts.shown.clear();
    EXPECT_EQ(catalogue.BackupInto(dir.path()), "");
    EXPECT_EQ(prompts.shown, QStringList{ResStr(recording::rsNoCurrentDatabase)});
}

TEST_F(Catalogue, ABackupToAFullOrReadOnlyDiskSaysSoAndLeavesNothing) {
    // 600 samples make a samples table of about 220 kB; the locations table is small.
    MakeDatabase("Ven", core::kKmBased, {{"162", "458"}, {"163", "459"}, {"164", "460"}}, 200);
    core::CurrentSettings().defaultDatabase = "Ven";
    struct Case {
        const char* what;
        bool fill;     // the disk is full before the backup begins
        bool readOnly; // mounted read-only
        core::Message reason;
    };
    const Case cases[] = {
        {"the samples table does not fit", false, false, core::rsDiskFull},
        {"the disk is full", true, false, core::rsDiskFull},
        {"the disk is read-only", false, true, core::rsReadOnlyDisk},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString disk = dir.filePath(QString("disk%1").arg(&c - cases));
        ASSERT_TRUE(QDir().mkpath(disk));
        const int code = RunOnSmallFileSystem(disk, 64 * 1024, [&] {
            if (c.fill)
                velmora::testing::FillDisk(disk);
            if (c.readOnly && ::mount(nullptr, QFile::encodeName(disk).constData(), nullptr,
                                      MS_REMOUNT | MS_RDONLY, nullptr) != 0)
                return 10;
            prompts.shown.clear();
            if (!catalogue.BackupInto(disk).isEmpty())
                return 1;
            if (prompts.shown.size() != 1 ||
                !prompts.shown[0].startsWith(ResStr(recording::rsBackupFailed) + "\n") ||
                !prompts.shown[0].endsWith(core::ResStr(c.reason)))
                return 2;
            // No part of a backup: no folder, no copy, no temporary file.
            for (const QString& entry :
                 QDir(disk).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
                if (entry != "fill")
                    return 3;
            return 0;
        });
        ASSERT_NE(code, velmora::testing::kNoSmallFileSystem);
        EXPECT_EQ(code, 0);
    }
}

} // namespace
