// The tables the build writes into the program folder: the demonstration database opens with
// the database store, and the reference tables hold what the program reads.

#include "common/printers.h"
#include "core/coordinates.h"
#include "core/databasestore.h"
#include "core/dataset.h"
#include "core/folders.h"
#include "core/scriptedprompts.h"
#include "core/settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <set>

using namespace velmora::core;

namespace {

const QString kProgram = QStringLiteral(VELMORA_PROGRAM_DIR);

void CopyInto(const QString& from, const QString& to, const QStringList& patterns) {
    QDir().mkpath(to);
    for (const QString& f : QDir(from).entryList(patterns, QDir::Files))
        ASSERT_TRUE(QFile::copy(from + "/" + f, to + "/" + f)) << f.toStdString();
}

TEST(ShippedData, DemoDatabaseOpensWithEveryTag) {
    QTemporaryDir dir;
    CopyInto(kProgram + "/Data", dir.filePath("Data"), {"Demo*"});
    CopyInto(kProgram + "/Lib", dir.filePath("Lib"), {"KmHokkenNL.dbf"});
    SetProgramDir(dir.path());
    CurrentSettings() = DefaultSettings();
    ScriptedPrompts prompts;
    DatabaseStore store;
    EXPECT_EQ(DatabaseStore::ListDatabases(), QStringList{"Demo"});
    ASSERT_TRUE(store.OpenDatabase("Demo"));
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join("; ").toStdString();
    EXPECT_EQ(store.CoordinateSystem(), "km-based");
    EXPECT_TRUE(store.SquareCoordinates().Active());
    EXPECT_GT(store.Locations().RecordCount(), 250);
    EXPECT_GT(store.Samples().RecordCount(), 4000);
    EXPECT_GE(store.maxLocationID.toInt(), store.Locations().RecordCount() - 1);
    const auto [squares, blocks] = store.SquareTotals();
    EXPECT_GT(squares, 50);
    EXPECT_GT(blocks, 20);
    EXPECT_TRUE(prompts.shown.isEmpty()); // no corrupt samples
    // Every sample carries the square codes of its event under either interface language:
    // posting an event again, in English (the default) or Dutch, moves nothing on the map.
    // And every event lies in a km-square of the square table (Dutch land or inland water).
    std::set<QString> landSquares;
    Dataset& squareTable = store.SquareCoordinates();
    for (squareTable.First(); !squareTable.Eof(); squareTable.Next())
        landSquares.insert(squareTable.FieldByName("XCOORD").AsString() + "-" +
                           squareTable.FieldByName("YCOORD").AsString());
    std::map<long long, std::pair<QString, QString>> codes;
    Dataset& loc = store.Locations();
    for (loc.First(); !loc.Eof(); loc.Next()) {
        const QString x = loc.FieldByName("COORDX").AsString();
        const QString y = loc.FieldByName("COORDY").AsString();
        const SquareCodePair en = SquareCodes(x, y, kKmBased, "EN");
        const SquareCodePair nl = SquareCodes(x, y, kKmBased, "NL");
        EXPECT_EQ(en, nl) << x.toStdString() << " " << y.toStdString();
        EXPECT_TRUE(landSquares.count(en.kxy)) << en.kxy.toStdString();
        codes[loc.FieldByName("ID").AsInteger()] = {en.kxy, en.uxy};
    }
    Dataset& samples = store.Samples();
    int checked = 0;
    for (samples.First(); !samples.Eof(); samples.Next(), ++checked) {
        const auto& [kxy, uxy] = codes.at(samples.FieldByName("ID").AsInteger());
        ASSERT_EQ(samples.FieldByName("KXY").AsString(), kxy);
        ASSERT_EQ(samples.FieldByName("UXY").AsString(), uxy);
    }
    EXPECT_EQ(checked, samples.RecordCount());
    store.CloseDatabase();
    SetProgramDir({});
}

TEST(ShippedData, AuthorCitationsCarryNoEscapes) {
    for (const char* file : {"TaxaListAnnotatedNL.dbf", "TaxaListAnnotatedEU.dbf"}) {
        QTemporaryDir dir;
        const QString copy = dir.filePath(file);
        ASSERT_TRUE(QFile::copy(kProgram + "/Lib/" + file, copy)) << file;
        Dataset table;
        table.Open(copy, /*readOnly=*/true);
        int quoted = 0;
        for (table.First(); !table.Eof(); table.Next()) {
            const QString author = table.FieldByName("AUTHOR_NAM").AsString();
            EXPECT_FALSE(author.contains("\\'")) << author.toStdString();
            quoted += author.contains('\'');
        }
        EXPECT_GT(quoted, 30) << file; // the citations with a quoted spelling are still there
        table.Close();
    }
}

TEST(ShippedData, ReferenceTablesHoldTheFieldsTheProgramReads) {
    struct Case {
        const char* file;
        QStringList fields;
        int minRecords;
    };
    const Case cases[] = {
        {"Biotoopcodes.dbf", {"CODE", "BIOTOOP"}, 20},
        {"TaxaListAnnotatedNL.dbf",
         {"TAXON_NAME", "CUR_NAME", "AUTHOR_NAM", "TROPHIC_ST", "ACIDITY", "LIFE_FORM", "R", "S",
          "R_L", "NEG_VAR"},
         1000},
        {"TaxaListAnnotatedEU.dbf", {"TAXON_NAME", "CUR_NAME", "AUTHOR_NAM"}, 1000},
        {"Frequentieklassen.dbf",
         {"KOMSCHR", "KFK", "KMHOKKEN", "UOMSCHR", "UFK", "UURHOKKEN"},
         10},
        {"KmHokkenNL.dbf", {"HOK", "XCOORD", "YCOORD"}, 30000},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString copy = dir.filePath(c.file);
        ASSERT_TRUE(QFile::copy(kProgram + "/Lib/" + c.file, copy)) << c.file;
        Dataset table;
        table.Open(copy, /*readOnly=*/true);
        QStringList names;
        for (const DatasetFieldDef& def : table.FieldDefs())
            names << def.name;
        EXPECT_EQ(names.mid(0, c.fields.size()), c.fields) << c.file;
        EXPECT_GE(table.RecordCount(), c.minRecords) << c.file;
        EXPECT_EQ(table.Table().Level(), 4) << c.file;
        table.Close();
    }
}

} // namespace
