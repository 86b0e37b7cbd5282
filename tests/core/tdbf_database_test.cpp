// The files the program writes for users are read by TDbf, the dBase library of earlier
// versions: a database made by the store, with its eight tags, and the shipped reference
// tables and demonstration database. The Pascal oracle tests/dbf/dbforacle.pas dumps a
// table and every tag's order.

#include "common/tempdir.h"
#include "core/databasestore.h"
#include "core/dbf/dbftable.h"
#include "core/folders.h"
#include "core/resourcestrings.h"
#include "core/scriptedprompts.h"
#include "core/settings.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

using namespace velmora::core;

namespace {

#ifdef VELMORA_DBF_ORACLE
const char* const kOracle = VELMORA_DBF_ORACLE;
#else
const char* const kOracle = nullptr;
#endif

// Tag name (upper case) -> record numbers in that tag's order, "-" for physical order.
using Orders = std::map<std::string, std::vector<std::uint32_t>>;

// regenerate: TDbf rebuilds the tags before walking them; otherwise it walks the index file
// as it finds it.
Orders TDbfOrders(const QString& path, bool regenerate = true) {
    QProcess p;
    p.start(QString::fromUtf8(kOracle),
            regenerate ? QStringList{"dump", path, "regen"} : QStringList{"dump", path});
    if (!p.waitForFinished(180000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw std::runtime_error("dbforacle failed on " + path.toStdString() + ": " +
                                 p.readAllStandardError().toStdString());
    Orders orders;
    for (const QByteArray& line : p.readAllStandardOutput().split('\n')) {
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QList<QByteArray> cells = line.split('\t');
        if (cells.size() >= 2)
            orders[cells[0].toUpper().toStdString()].push_back(cells[1].toUInt());
    }
    return orders;
}

Orders OurOrders(const QString& path) {
    dbf::DbfTable t;
    t.Open(path.toStdString(), true);
    Orders orders;
    for (std::uint32_t r = 1; r <= t.PhysicalCount(); ++r)
        if (!t.IsDeleted(r))
            orders["-"].push_back(r);
    for (int i = 0; i < t.TagCount(); ++i) {
        std::string name = t.Tag(i).name;
        for (char& c : name)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        for (std::uint32_t r : t.TagOrder(i))
            if (!t.IsDeleted(r))
                orders[name].push_back(r);
    }
    return orders;
}

class TDbfReads : public ::testing::Test {
protected:
    void SetUp() override {
        if (!kOracle)
            GTEST_SKIP() << "the TDbf oracle was not built (fpc missing)";
    }
};

TEST_F(TDbfReads, ADatabaseMadeByTheStoreWithItsEightTags) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("Data");
    SetProgramDir(dir.path());
    CurrentSettings() = DefaultSettings();
    ScriptedPrompts prompts;
    DatabaseStore store;
    store.CreateDatabase("Ven");
    ASSERT_TRUE(store.OpenDatabase("Ven"));
    const char* names[] = {"Zwartven", "Beekven", "Atelier plas", "Meer", "beekven"};
    for (int i = 0; i < 5; ++i)
        store.Locations().AppendRecord(
            {i, names[i], QString::number(10 + i), "06", QString::number(1990 + (i * 7) % 5)});
    for (int i = 0; i < 20; ++i)
        store.Samples().AppendRecord({i % 5, "1990-06-10", QString("%1-458").arg(160 + i % 3),
                                      QString("%1-455").arg(160 + i % 2),
                                      QString("Cosmarium species%1").arg((i * 7) % 11)});
    store.CloseDatabase();
    // The close packed the tables; opening again writes the index files anew.
    ASSERT_TRUE(store.OpenDatabase("Ven"));
    store.CloseDatabase();
    for (const char* file : {"Ven1.dbf", "Ven2.dbf"}) {
        const QString path = dir.filePath(QString("Data/") + file);
        const Orders theirs = TDbfOrders(path);
        const Orders ours = OurOrders(path);
        EXPECT_EQ(theirs.size(), 5u) << file; // physical order and four tags
        EXPECT_EQ(theirs, ours) << file;
    }
    SetProgramDir({});
}

TEST_F(TDbfReads, TheShippedTablesAndTheDemoDatabase) {
    const QString program = QStringLiteral(VELMORA_PROGRAM_DIR);
    QTemporaryDir dir;
    for (const char* file :
         {"Lib/Biotoopcodes.dbf", "Lib/TaxaListAnnotatedNL.dbf", "Lib/TaxaListAnnotatedEU.dbf",
          "Lib/Frequentieklassen.dbf", "Lib/KmHokkenNL.dbf", "Data/Demo1.dbf", "Data/Demo2.dbf"}) {
        const QString copy = dir.filePath(QFileInfo(file).fileName());
        ASSERT_TRUE(QFile::copy(program + "/" + file, copy)) << file;
        const Orders theirs = TDbfOrders(copy);
        const Orders ours = OurOrders(copy);
        ASSERT_TRUE(theirs.count("-")) << file;
        EXPECT_EQ(theirs.at("-"), ours.at("-")) << file;
        EXPECT_GT(theirs.at("-").size(), 5u) << file;
    }
}

// Databases of earlier versions: the samples table has no DESMIDINFO, and a database copied
// from Windows has companions in upper case. Both open; the older table gets the field once
// (said once), keeps every record, and TDbf reads it afterwards.
TEST_F(TDbfReads, DatabasesOfEarlierVersionsOpenAndKeepEveryRecord) {
    struct Case {
        const char *name, *locations, *samples;
    };
    const Case cases[] = {{"Oud", "Oud1.dbf", "Oud2.dbf"}, {"Lwi", "Lwi1.dbf", "LWI2.DBF"}};
    for (const Case& c : cases) {
        QTemporaryDir dir;
        QDir(dir.path()).mkdir("Data");
        SetProgramDir(dir.path());
        CurrentSettings() = DefaultSettings();
        ScriptedPrompts prompts;
        QProcess p;
        p.start(QString::fromUtf8(kOracle),
                {"olddb", dir.filePath("Data"), c.locations, c.samples});
        ASSERT_TRUE(p.waitForFinished(60000) && p.exitCode() == 0) << c.name;
        const QStringList before = QDir(dir.filePath("Data")).entryList(QDir::Files);

        DatabaseStore store;
        EXPECT_EQ(DatabaseStore::ListDatabases(), QStringList{c.name});
        ASSERT_TRUE(store.OpenDatabase(c.name)) << prompts.shown.join('|').toStdString();
        EXPECT_EQ(prompts.shown, QStringList{ResStr(rsSamplesUpgraded).arg(c.name)});
        EXPECT_TRUE(store.Samples().HasField("DESMIDINFO"));
        EXPECT_EQ(store.Locations().RecordCount(), 2) << c.name;
        EXPECT_EQ(store.Samples().RecordCount(), 3) << c.name;
        store.CloseDatabase();
        prompts.shown.clear();
        ASSERT_TRUE(store.OpenDatabase(c.name));
        EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join('|').toStdString();
        store.CloseDatabase();
        // The same files, no twins in another letter case (the settings files are new).
        QStringList after = QDir(dir.filePath("Data")).entryList(QDir::Files);
        after.removeAll(QString(c.name) + ".ini");
        after.removeAll("VLX.ini");
        EXPECT_EQ(after, before) << c.name;

        QProcess dump;
        dump.start(QString::fromUtf8(kOracle),
                   {"dump", dir.filePath(QString("Data/") + c.samples)});
        ASSERT_TRUE(dump.waitForFinished(60000) && dump.exitCode() == 0) << c.name;
        QStringList names;
        for (const QByteArray& line : dump.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> cells = line.split('\t');
            if (!cells.isEmpty() && cells[0] == "-") {
                ASSERT_EQ(cells.size(), 2 + 12) << line.toStdString(); // DESMIDINFO added
                names << QString::fromLatin1(cells[6]);
            }
        }
        EXPECT_EQ(names,
                  (QStringList{"Cosmarium botrytis", "Closterium acerosum", "Euastrum ansatum"}))
            << c.name;
        SetProgramDir({});
    }
}

// A program that stops after posting, before its close, leaves an index file older than
// the table. The next open builds the orders from the records and the close writes the file
// anew, so that TDbf walks every record in the right order.
TEST_F(TDbfReads, AnIndexOlderThanItsTableIsWrittenAnewAtTheClose) {
    QTemporaryDir dir;
    const std::string table = dir.filePath("Ven2.dbf").toStdString();
    dbf::DbfTable::Create(table, SampleFields());
    {
        dbf::DbfTable t;
        t.Open(table);
        t.AddTag({"DESMID", "DESMID", false, true});
        t.AddTag({"ID", "ID", false, true});
        for (int i = 0; i < 10; ++i)
            t.AppendValues({std::to_string(i % 3), "2001-06-05", "", "",
                            "Cosmarium " + std::to_string((i * 7) % 10)});
        t.Close();
    }
    const QByteArray oldIndex = velmora::testing::ReadAll(dir.filePath("Ven2.mdx"));
    {
        // Posted, then the program is gone before its close: the stale index stays behind.
        dbf::DbfTable t;
        t.Open(table);
        for (int i = 0; i < 3; ++i)
            t.AppendValues({"9", "2002-01-01", "", "", "Actinotaenium " + std::to_string(i)});
        const QByteArray posted = velmora::testing::ReadAll(dir.filePath("Ven2.dbf"));
        t.Close();
        velmora::testing::WriteAll(dir.filePath("Ven2.mdx"), oldIndex);
        velmora::testing::WriteAll(dir.filePath("Ven2.dbf"), posted);
    }
    {
        dbf::DbfTable t;
        t.Open(table);
        t.Close(); // nothing changed in this session
    }
    const Orders theirs = TDbfOrders(dir.filePath("Ven2.dbf"), false);
    EXPECT_EQ(theirs.at("-").size(), 13u);
    EXPECT_EQ(theirs.at("DESMID").size(), 13u);
    EXPECT_EQ(theirs, OurOrders(dir.filePath("Ven2.dbf")));
}

} // namespace
