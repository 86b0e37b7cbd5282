// The import of field records: the text file into the grid, the column layouts, the checks
// before a run, the field rules of the run, and imports that fail or are cancelled half-way
// leaving the database exactly as it was.

#include "common/programfolder.h"
#include "common/smallfs.h"
#include "common/tempdir.h"
#include "core/coordinates.h"
#include "core/databasestore.h"
#include "core/dataset.h"
#include "core/error.h"
#include "core/folders.h"
#include "core/resourcestrings.h"
#include "core/scriptedprompts.h"
#include "core/settings.h"
#include "core/spreadsheet/spreadsheet.h"
#include "core/text/inifile.h"
#include "recording/dataimport.h"
#include "recording/messages.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

using namespace velmora;
using namespace velmora::recording;
using core::Dataset;
using velmora::testing::ReadAll;
using velmora::testing::WriteAll;

namespace {

using Record = std::map<QString, QString>;

const QString kData = QStringLiteral(VELMORA_TEST_DATA "/import/");

QStringList RowOf(const core::Grid& grid, int row) {
    QStringList cells = grid.Row(row);
    cells.removeFirst();
    return cells;
}

struct Import : ::testing::Test {
    velmora::testing::ProgramFolder dir;
    core::ScriptedPrompts prompts;
    core::DatabaseStore store;

    void SetUp() override {}
    void TearDown() override { store.CloseDatabase(); }
    QString Data(const QString& file) const { return dir.Data(file); }
    QStringList DataFiles() const {
        return QDir(dir.filePath("Data"))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    // The files of database "Ven" and whatever hidden files or folders a run left behind.
    QStringList DatabaseFiles() const {
        QStringList files;
        for (const QString& f : DataFiles())
            if (f.startsWith("Ven") || f.startsWith('.'))
                files << f;
        return files;
    }
    // A closed km-based database "Ven" whose locations carry the given IDs, each with one
    // sample.
    void MakeDatabase(const std::vector<int>& ids, const QString& system = core::kKmBased) {
        store.CreateDatabase("Ven");
        ASSERT_TRUE(store.OpenDatabase("Ven"));
        store.SetCoordinateSystem(system);
        for (int id : ids) {
            store.Locations().AppendRecord(
                {id, QString("Oud %1").arg(id), "05", "06", "2001", "", "", "162", "458"});
            store.Samples().AppendRecord({id, "2001-06-05", "162-458", "", "Cosmarium oud"});
        }
        store.CloseDatabase();
    }
    std::vector<Record> Records(const QString& table) const {
        Dataset t;
        t.Open(Data(table), /*readOnly=*/true);
        std::vector<Record> records;
        const auto defs = t.FieldDefs();
        for (t.First(); !t.Eof(); t.Next()) {
            Record r;
            for (const auto& def : defs)
                r[def.name] = t.FieldByName(def.name).AsString();
            records.push_back(r);
        }
        t.Close();
        return records;
    }
    std::vector<Record> Locations() const { return Records("Ven1.dbf"); }
    std::vector<Record> Samples() const { return Records("Ven2.dbf"); }

    // The file bytes of the database, to show that a failed import changed nothing.
    QByteArray Files() const {
        QByteArray all;
        for (const char* f : {"Ven1.dbf", "Ven2.dbf", "Ven1.mdx", "Ven2.mdx", "Ven.ini"})
            if (QFile::exists(Data(f)))
                all += ReadAll(Data(f));
        return all;
    }
};

// Settings of a plain file: location 1, X 2, Y 3, day 4, month 5, year 6, taxon 7, the
// location's key from columns 1, data from row 2.
ImportSettings PlainSettings(bool replace = true) {
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
    s.replace = replace;
    s.coordinateSystem = kAmersfoort;
    return s;
}

const char* const kPlainHeader = "Locatie\tX\tY\tDag\tMaand\tJaar\tSieralg\n";

} // namespace

// ------------------------------------------------------------------ reading the file

TEST(ImportGrid, LinesBecomeRowsWithEveryValueInItsColumn) {
    struct Case {
        const char* name;
        QByteArray bytes;
        std::vector<QStringList> rows; // data columns of rows 1..
        int colCount;
    };
    const Case cases[] = {
        {"line ends of every kind, empty lines left out",
         "a\tb\r\n\r\nc\td\ne\tf\rg\n\n",
         {{"a", "b"}, {"c", "d"}, {"e", "f"}, {"g", ""}},
         3},
        {"empty leading fields keep their columns",
         "\t\tx\ty\n a\tb\t\tc \n",
         {{"", "", "x", "y"}, {"a", "b", "", "c"}},
         5},
        {"spaces and control characters trimmed from the line, not from inner fields",
         "\x01  naam met  spaties \tz\x1f\n",
         {{"naam met  spaties ", "z"}},
         3},
        {"a NUL byte becomes a question mark", QByteArray("a\0b\tc", 5), {{"a?b", "c"}}, 3},
        {"Windows-1252 when not UTF-8", "caf\xe9\n", {{"café", ""}}, 3},
        {"UTF-8 when valid", "caf\xc3\xa9\n", {{"café", ""}}, 3},
    };
    for (const Case& c : cases) {
        const core::Grid grid = CopyToGrid(DecodeTSVBytes(c.bytes));
        ASSERT_EQ(grid.RowCount(), static_cast<int>(c.rows.size()) + 1) << c.name;
        EXPECT_EQ(grid.ColCount(), c.colCount) << c.name;
        for (std::size_t r = 0; r < c.rows.size(); ++r) {
            QStringList expected = c.rows[r];
            while (expected.size() < grid.ColCount() - 1)
                expected << QString();
            EXPECT_EQ(RowOf(grid, static_cast<int>(r) + 1), expected) << c.name << " row " << r;
            EXPECT_EQ(grid.Cell(0, static_cast<int>(r) + 1), QString::number(r + 1)) << c.name;
        }
        for (int col = 1; col < grid.ColCount(); ++col)
            EXPECT_EQ(grid.Cell(col, 0), QString::number(col)) << c.name;
    }
}

TEST(ImportGrid, FilesBeyondTheLimitsAreRefusedWithAMessage) {
    ImportLimits limits;
    limits.maxColumns = 10;
    limits.maxCells = 100;
    const QString wide = QString("x\t").repeated(11) + "x\n";
    const QString manyRows = QString("a\tb\n").repeated(40);
    EXPECT_THROW(CopyToGrid(wide, limits), core::Error);
    EXPECT_THROW(CopyToGrid(manyRows, limits), core::Error);
    try {
        CopyToGrid(wide, limits);
    } catch (const core::Error& e) {
        EXPECT_EQ(e.Message(), ResStr(rsImportTooManyColumns).arg(12).arg(10));
    }

    QTemporaryDir dir;
    const QString big = dir.filePath("groot.tsv");
    WriteAll(big, QByteArray(2 * 1024 * 1024, 'a'));
    limits.maxBytes = 1024 * 1024;
    try {
        ReadTSVFile(big, limits);
        ADD_FAILURE() << "a file beyond the byte limit was read";
    } catch (const core::Error& e) {
        EXPECT_TRUE(e.Message().contains(ResStr(rsImportFileTooLarge).arg(1)));
    }
    // A binary file is text with NULs and odd bytes: read, bounded, never a crash.
    QByteArray binary;
    for (int i = 0; i < 100000; ++i)
        binary += static_cast<char>((i * 7919) % 256);
    WriteAll(dir.filePath("bin.tsv"), binary);
    limits.maxBytes = 1 << 20;
    limits.maxCells = 1'000'000;
    limits.maxColumns = 1024;
    try {
        const core::Grid grid = ReadTSVFile(dir.filePath("bin.tsv"), limits);
        EXPECT_GT(grid.RowCount(), 1);
    } catch (const core::Error&) {
    }
}

TEST(ImportGrid, CancellingTheSplitThrowsCancelled) {
    const QString text = QString("a\tb\n").repeated(100000);
    EXPECT_THROW(CopyToGrid(text, {}, [](int) { return true; }), ImportCancelled);
}

// ------------------------------------------------------------------ layout files

TEST(ImportLayout, AFileHoldsExactlyItsKeysAndMissingKeysTakeTheirDefaults) {
    QTemporaryDir dir;
    const QString path = dir.filePath("indeling.vlf");
    WriteAll(path, "[Box]\r\nNr99=7\r\nOud=1\r\n"); // an older file with a stray key
    ColumnLayout layout = NoChoiceLayout();
    layout.box[kImportLocation] = 3;
    layout.box[kImportStartRow] = 2;
    layout.unique = {3, 4, 0, 0, 0, 0, 0, 0};
    layout.columnMode = false;
    layout.textMode = true;
    layout.dateFormat = kDayFirstFormat;
    WriteColumnLayout(layout, path);

    const core::IniFile ini = core::IniFile::Load(path);
    QStringList boxKeys;
    for (int k = 1; k <= 31; ++k)
        boxKeys << QString("Nr%1").arg(k);
    EXPECT_EQ(ini.Sections(), QStringList({"Box", "Loc", "Date", "Format"}));
    EXPECT_EQ(ini.Keys("Box"), boxKeys);
    EXPECT_EQ(ini.Keys("Loc").size(), 8);
    EXPECT_EQ(ini.Value("Box", "Nr2"), "-1");
    EXPECT_EQ(ini.Value("Box", "Nr1"), "3");
    EXPECT_EQ(ini.Value("Date", "Value1"), "0");
    EXPECT_EQ(ini.Value("Date", "Value2"), "1");
    EXPECT_EQ(ini.Value("Format", "Value"), "dd-mm-yyyy");
    EXPECT_EQ(ReadColumnLayout(path), layout);

    WriteAll(path, "[Box]\r\nNr4=2\r\n");
    const ColumnLayout sparse = ReadColumnLayout(path);
    EXPECT_EQ(sparse.box[kImportCoordX], 2);
    EXPECT_EQ(sparse.box[kImportLocation], 0);
    EXPECT_EQ(sparse.unique[0], 0);
    EXPECT_TRUE(sparse.columnMode);
    EXPECT_FALSE(sparse.textMode);
    EXPECT_EQ(sparse.dateFormat, "yyyy-mm-dd");
}

TEST(ImportLayout, TheRememberedLayoutIsAppliedAgainAfterTheNextFile) {
    QTemporaryDir dir;
    core::ScriptedPrompts prompts;
    WriteAll(dir.filePath("a.tsv"), "Naam\tX\tY\nVen\t1\t2\n");
    WriteAll(dir.filePath("b.tsv"), "Naam\tX\tY\tSoort\nPoel\t3\t4\tCosmarium\n");
    DataImport import;
    ASSERT_TRUE(import.OpenDataFile(dir.filePath("a.tsv")));
    EXPECT_EQ(import.ChooserCount(), 3);
    import.choosers.box[kImportLocation] = 1;
    import.choosers.box[kImportStartRow] = 2;
    import.choosers.unique[0] = 1;
    import.ChooserLeft(kImportLocation);
    ASSERT_TRUE(import.SaveColumnLayout(dir.filePath("l.vlf")));
    import.LoadColumnLayout(dir.filePath("l.vlf"));

    ASSERT_TRUE(import.OpenDataFile(dir.filePath("b.tsv")));
    EXPECT_EQ(import.ChooserCount(), 4);
    EXPECT_EQ(import.LastDataFolder(), dir.path());
    EXPECT_EQ(import.columnMap[kImportLocation], 1);
    EXPECT_EQ(import.choosers.box[kImportStartRow], 2);
    EXPECT_EQ(import.choosers.unique[0], 1);
    EXPECT_EQ(import.Settings().startRow, 2);
    // The start row stays in its chooser only.
    EXPECT_EQ(import.columnMap[kImportStartRow], 0);

    // Showing the window again clears what the choosers show, not the map.
    import.Shown();
    EXPECT_EQ(import.choosers.box[kImportLocation], -1);
    EXPECT_EQ(import.columnMap[kImportLocation], 1);

    // Another kind of file chosen as a layout changes nothing.
    EXPECT_FALSE(import.LoadColumnLayout(dir.filePath("b.tsv")));
    EXPECT_EQ(prompts.shown.last(), ResStr(rsImportNotALayout).arg("b.tsv"));
    EXPECT_EQ(import.columnMap[kImportLocation], 1);
    EXPECT_EQ(import.RememberedLayout(), dir.filePath("l.vlf"));

    // The start row can pass over a header deeper than the file is wide.
    EXPECT_EQ(import.StartRowCount(), 4);
    WriteAll(dir.filePath("c.tsv"), QByteArray("a\tb\n").repeated(300));
    ASSERT_TRUE(import.OpenDataFile(dir.filePath("c.tsv")));
    EXPECT_EQ(import.ChooserCount(), 2);
    EXPECT_EQ(import.StartRowCount(), 100);

    // Without a remembered layout a new file clears the map.
    DataImport fresh;
    fresh.columnMap[kImportLocation] = 5;
    ASSERT_TRUE(fresh.OpenDataFile(dir.filePath("a.tsv")));
    EXPECT_EQ(fresh.columnMap[kImportLocation], 0);
    EXPECT_EQ(fresh.choosers.box[kImportLocation], -1);
}

TEST(ImportLayout, WrongFileTypesAndUnreadableSpreadsheetsAreRefused) {
    QTemporaryDir dir;
    core::ScriptedPrompts prompts;
    WriteAll(dir.filePath("data.csv"), "a,b\n");
    WriteAll(dir.filePath("kapot.xlsx"), "no zip at all");
    DataImport import;
    EXPECT_FALSE(import.OpenDataFile(dir.filePath("data.csv")));
    EXPECT_FALSE(import.OpenDataFile(dir.filePath("kapot.xlsx")));
    ASSERT_EQ(prompts.shown.size(), 2);
    EXPECT_EQ(prompts.shown[0], "Er kunnen alleen TSV of XLS(X) bestanden ingelezen worden");
    EXPECT_TRUE(prompts.shown[1].startsWith(
        "Er is iets mis gegaan bij het inlezen van het XLS(X)-bestand\n"));
    core::SetExcelVersion(0);
    EXPECT_FALSE(import.OpenDataFile(kData + "veldgegevens.xlsx"));
    core::SetExcelVersion(core::kSpreadsheetLibraryVersion);
    EXPECT_EQ(prompts.shown.last(), "Excel is niet geïnstalleerd op deze computer");
}

// ------------------------------------------------------------------ checks

TEST(ImportChecks, SettingsAreCheckedInTheirOrderBeforeTheQuestion) {
    core::ScriptedPrompts prompts;
    struct Case {
        const char* name;
        std::function<void(ImportSettings&)> change;
        QString message;
    };
    const Case cases[] = {
        {"no location column", [](ImportSettings& s) { s.columns[kImportLocation] = 0; },
         ResStr(rsImportChooseLocationColumns)},
        {"no Y column, no unique column either",
         [](ImportSettings& s) {
             s.columns[kImportCoordY] = 0;
             s.unique = {};
         },
         ResStr(rsImportChooseLocationColumns)},
        {"no unique column", [](ImportSettings& s) { s.unique = {}; },
         ResStr(rsImportChooseUniqueColumn)},
        {"no start row, no coordinate system",
         [](ImportSettings& s) {
             s.startRow = 0;
             s.coordinateSystem.clear();
         },
         ResStr(rsImportChooseStartRow)},
        {"replacing without a coordinate system",
         [](ImportSettings& s) { s.coordinateSystem.clear(); },
         ResStr(rsImportChooseCoordinateSystem)},
    };
    for (const Case& c : cases) {
        ImportSettings s = PlainSettings();
        c.change(s);
        prompts.shown.clear();
        EXPECT_FALSE(CheckImportSettings(s)) << c.name;
        EXPECT_EQ(prompts.shown, QStringList{c.message}) << c.name;
    }
    // Adding needs no coordinate system; No gives the refusal.
    ImportSettings adding = PlainSettings(false);
    adding.coordinateSystem.clear();
    prompts.shown.clear();
    prompts.answers = {core::Answer::No};
    EXPECT_FALSE(CheckImportSettings(adding));
    EXPECT_EQ(prompts.shown,
              QStringList({"Deze nieuwe gegevens worden TOEGEVOEGD aan de huidige database.  Wil "
                           "je dat?",
                           "Er wordt niets gedaan, maak een andere keuze."}));
    prompts.shown.clear();
    prompts.answers = {core::Answer::Yes};
    EXPECT_TRUE(CheckImportSettings(PlainSettings(true)));
    EXPECT_EQ(prompts.shown, QStringList{"De huidige database wordt VERVANGEN door deze nieuwe "
                                         "gegevens.  Wil je dat?"});
}

TEST(ImportChecks, SortingRemovesRowsWithoutNameAndOrdersOnTheKey) {
    core::ScriptedPrompts prompts;
    core::Grid grid = CopyToGrid("Kop\tX\tY\t\t\t\tSoort\n"
                                 "Poel\t1\t1\t\t\t\tCosmarium\n"
                                 "Ven\t1\t1\t\t\t\t  \n"
                                 "Beek\t1\t1\t\t\t\tClosterium\n");
    ImportSettings s = PlainSettings();
    SortDataOnUniqueLocation(grid, s);
    EXPECT_TRUE(prompts.shown.isEmpty());
    ASSERT_EQ(grid.RowCount(), 4);
    EXPECT_EQ(grid.Cell(1, 1), "Kop");
    EXPECT_EQ(grid.Cell(1, 2), "Beek");
    EXPECT_EQ(grid.Cell(1, 3), "Poel");
    EXPECT_EQ(grid.Cell(0, 3), "3");

    struct Case {
        std::function<void(ImportSettings&)> change;
        QString message;
    };
    const Case cases[] = {
        {[](ImportSettings& x) { x.startRow = 0; }, ResStr(rsImportChooseStartRow)},
        {[](ImportSettings& x) { x.columns[kImportDesmid] = 0; },
         ResStr(rsImportChooseDesmidColumn)},
        {[](ImportSettings& x) { x.unique = {}; }, ResStr(rsImportChooseUniqueColumn)},
    };
    for (const Case& c : cases) {
        ImportSettings x = PlainSettings();
        c.change(x);
        prompts.shown.clear();
        SortDataOnUniqueLocation(grid, x);
        EXPECT_EQ(prompts.shown, QStringList{c.message});
    }
}

TEST(ImportChecks, CoordinateCheckListsEveryBadRow) {
    core::ScriptedPrompts prompts;
    core::Grid grid = CopyToGrid("Kop\tX\tY\n"
                                 "a\t162,5\t458.1\n"
                                 "b\t\t458\n"
                                 "c\t1 2\t458\n"
                                 "d\t162\tnoord\n"
                                 "e\t 162 \t458\n");
    CheckCoordinates(grid, PlainSettings());
    EXPECT_EQ(prompts.shown,
              QStringList{"Fout in de coördinaten van regel 3\nFout in de coördinaten van regel "
                          "4\nFout in de coördinaten van regel 5"});
    prompts.shown.clear();
    grid = CopyToGrid("Kop\tX\tY\na\t1\t2\n");
    CheckCoordinates(grid, PlainSettings());
    ImportSettings noY = PlainSettings();
    noY.columns[kImportCoordY] = 0;
    CheckCoordinates(grid, noY);
    EXPECT_EQ(prompts.shown, QStringList({"Geen fouten gevonden",
                                          "Geef aan welke kolommen gebruikt worden voor de "
                                          "coördinaten"}));
}

// ------------------------------------------------------------------ the run

TEST_F(Import, RowsBecomeLocationsAndSamplesByTheFieldRules) {
    MakeDatabase({0});
    ImportSettings s = PlainSettings();
    s.unique = {13, 14, 0, 0, 0, 0, 0, 0};
    s.columns[kImportComment] = 8;
    s.columns[kImportInfo] = 9;
    s.columns[kImportInfo2] = 10;
    s.columns[kImportLocation2] = 11;
    s.columns[kImportPH] = 12;
    core::Grid grid = CopyToGrid(
        "Locatie\tX\tY\tDag\tMaand\tJaar\tSieralg\tOpm\tInfo\tInfo2\tDeel\tpH\tK1\tK2\n"
        // keys "ab" + "c" and "a" + "bc": one location
        "a\t162\t458\t7\t5\t2008\tcosmarium BOTRYTIS\tsloot\tex herb.\tdet. X\tnoord\t5,5\tab\tc\n"
        "b\t162\t458\t7\t5\t2008\t\t\tex herb.\t  \t\t\ta\tbc\n"
        "ven\t162\t458\t--\t05\t2008\tÉuastrum\tsloot\t#\t\t\t\tz\t\n");
    const ImportOutcome out = WriteImport(grid, s, "Ven", core::kKmBased, "EN");
    ASSERT_TRUE(out.complete) << out.reason.toStdString();
    EXPECT_EQ(out.locations, 2);
    EXPECT_EQ(out.samples, 3);

    const auto loc = Locations();
    ASSERT_EQ(loc.size(), 2u); // replaced: the old location is gone
    EXPECT_EQ(loc[0].at("ID"), "0");
    EXPECT_EQ(loc[0].at("LOCATIE"), "a - noord");
    EXPECT_EQ(loc[0].at("DAG"), "07");
    EXPECT_EQ(loc[0].at("MAAND"), "05");
    EXPECT_EQ(loc[0].at("JAAR"), "2008");
    EXPECT_EQ(loc[0].at("OPMLOCATIE"), "sloot");
    EXPECT_EQ(loc[0].at("PH"), "5,5");
    EXPECT_EQ(loc[1].at("ID"), "1");
    EXPECT_EQ(loc[1].at("LOCATIE"), "ven -"); // the separator stays when the second is empty
    EXPECT_EQ(loc[1].at("DAG"), "01");
    EXPECT_EQ(loc[1].at("MAAND"), "01");
    EXPECT_EQ(loc[1].at("JAAR"), "1900");
    EXPECT_EQ(loc[1].at("OPMLOCATIE"), "sloot --.05.2008");

    const auto sam = Samples();
    ASSERT_EQ(sam.size(), 3u);
    const core::SquareCodePair codes = core::SquareCodes("162", "458", core::kKmBased, "EN");
    EXPECT_EQ(sam[0].at("ID"), "0");
    EXPECT_EQ(sam[0].at("DESMID"), "Cosmarium botrytis");
    EXPECT_EQ(sam[0].at("DATUM"), "2008-05-07");
    EXPECT_EQ(sam[0].at("KXY"), codes.kxy);
    EXPECT_EQ(sam[0].at("UXY"), codes.uxy);
    EXPECT_EQ(sam[0].at("DESMIDINFO"), "ex herb. # det. X");
    EXPECT_EQ(sam[1].at("ID"), "0");
    EXPECT_EQ(sam[1].at("DESMID"), "--");
    EXPECT_EQ(grid.Cell(7, 3), "--"); // in the grid too
    EXPECT_EQ(sam[1].at("DESMIDINFO"), "ex herb.");
    EXPECT_EQ(sam[2].at("ID"), "1");
    EXPECT_EQ(sam[2].at("DESMID"), "Éuastrum"); // only A-Z change case
    EXPECT_EQ(sam[2].at("DATUM"), "1900-01-01");
    EXPECT_EQ(sam[2].at("DESMIDINFO"), "");
    EXPECT_EQ(DatabaseFiles().size(), 5);
}

TEST_F(Import, DateTextsAreReadDayFirstOrYearFirstWhateverTheFormat) {
    MakeDatabase({});
    ImportSettings s = PlainSettings();
    s.textDates = true;
    s.columns[kImportDateText] = 4;
    s.columns[kImportDay] = 0;
    core::Grid grid = CopyToGrid("Locatie\tX\tY\tDatum\t\t\tSieralg\n"
                                 "a\t162\t458\t7-5-2008 00:00:00\t\t\tx\n"
                                 "b\t162\t458\t2008-5-7\t\t\tx\n"
                                 "c\t162\t458\tmei 2008\t\t\tx\n");
    ASSERT_TRUE(WriteImport(grid, s, "Ven", core::kKmBased, "EN").complete);
    const auto loc = Locations();
    ASSERT_EQ(loc.size(), 3u);
    for (int i : {0, 1}) {
        EXPECT_EQ(loc[i].at("DAG"), "07");
        EXPECT_EQ(loc[i].at("MAAND"), "05");
        EXPECT_EQ(loc[i].at("JAAR"), "2008");
    }
    EXPECT_EQ(loc[2].at("DAG") + loc[2].at("MAAND") + loc[2].at("JAAR"), "01011900");
}

TEST_F(Import, AddingContinuesAfterTheHighestIdAndKeepsTheOldRecords) {
    MakeDatabase({3, 41, 7});
    core::Grid grid = CopyToGrid(QString(kPlainHeader) + "Nieuw\t162\t458\t1\t2\t2003\tx\n");
    const ImportOutcome out = WriteImport(grid, PlainSettings(false), "Ven", core::kKmBased, "EN");
    ASSERT_TRUE(out.complete);
    const auto loc = Locations();
    ASSERT_EQ(loc.size(), 4u);
    EXPECT_EQ(loc[3].at("ID"), "42");
    EXPECT_EQ(loc[1].at("LOCATIE"), "Oud 41");
    EXPECT_EQ(Samples().size(), 4u);

    // An empty database starts at 1.
    store.CreateDatabase("Ven");
    ASSERT_TRUE(WriteImport(grid, PlainSettings(false), "Ven", core::kKmBased, "EN").complete);
    EXPECT_EQ(Locations().at(0).at("ID"), "1");
}

TEST_F(Import, AFailingRowOrACancelLeavesTheDatabaseAsItWas) {
    MakeDatabase({0, 1, 2});
    const QByteArray before = Files();
    core::Grid grid = CopyToGrid(QString(kPlainHeader) + "a\t162\t458\t1\t2\t2003\tx\n"
                                                         "b\t162\t458\t1\t2\t2003\tx\n"
                                                         "c\toost\t458\t1\t2\t2003\tx\n"
                                                         "d\t162\t458\t1\t2\t2003\tx\n");
    for (bool replace : {true, false}) {
        const ImportOutcome out =
            WriteImport(grid, PlainSettings(replace), "Ven", core::kKmBased, "EN");
        EXPECT_FALSE(out.complete);
        EXPECT_EQ(out.failedRow, 4) << replace;
        EXPECT_FALSE(out.reason.isEmpty());
        EXPECT_EQ(Files(), before) << "replace " << replace;
        EXPECT_EQ(DatabaseFiles(),
                  QStringList({"Ven.ini", "Ven1.dbf", "Ven1.mdx", "Ven2.dbf", "Ven2.mdx"}));
    }
    // Cancelled half-way through a larger file.
    QString many = kPlainHeader;
    for (int i = 0; i < 10000; ++i)
        many += QString("L%1\t162\t458\t1\t2\t2003\tx\n").arg(i);
    grid = CopyToGrid(many);
    const ImportOutcome cancelled = WriteImport(grid, PlainSettings(), "Ven", core::kKmBased, "EN",
                                                [](int percent) { return percent > 10; });
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(Files(), before);
    EXPECT_EQ(DatabaseFiles().size(), 5);
}

TEST_F(Import, AFullDiskIsReportedAndLeavesTheDatabaseAsItWas) {
    QDir(dir.path()).mkdir("mnt");
    QString many = kPlainHeader;
    for (int i = 0; i < 5000; ++i)
        many += QString("L%1\t162\t458\t1\t2\t2003\tCosmarium\n").arg(i);
    const int code = velmora::testing::RunOnSmallFileSystem(dir.filePath("mnt"), 512 * 1024, [&] {
        QDir(dir.filePath("mnt")).mkdir("Data");
        QDir(dir.filePath("mnt")).mkdir("Lib");
        core::SetProgramDir(dir.filePath("mnt"));
        MakeDatabase({0, 1});
        const QString data = core::DataDir();
        auto files = [&] {
            QByteArray all;
            for (const char* f : {"Ven1.dbf", "Ven2.dbf", "Ven1.mdx", "Ven2.mdx"})
                all += ReadAll(data + f);
            return all;
        };
        const QByteArray before = files();
        core::Grid grid = CopyToGrid(many);
        for (bool replace : {true, false}) {
            try {
                WriteImport(grid, PlainSettings(replace), "Ven", core::kKmBased, "EN");
                return 1;
            } catch (const core::Error& e) {
                if (e.Reason() != core::ResStr(core::rsDiskFull))
                    return 2;
            }
            if (files() != before)
                return 3;
            if (!QDir(data)
                     .entryList(QDir::Hidden | QDir::AllEntries | QDir::NoDotAndDotDot)
                     .filter(QRegularExpression("^\\."))
                     .isEmpty())
                return 4;
        }
        return 0;
    });
    if (code == velmora::testing::kNoSmallFileSystem)
        GTEST_SKIP() << "no small file system can be made here";
    EXPECT_EQ(code, 0);
}

TEST_F(Import, AReplacementStoppedHalfWayIsUndoneAtTheNextOpen) {
    // The state a kill leaves inside the swap: the old files aside, one new file in place.
    MakeDatabase({0, 1, 2});
    const QByteArray before = Files();
    core::Grid grid = CopyToGrid(QString(kPlainHeader) + "Nieuw\t162\t458\t1\t2\t2003\tx\n");
    ASSERT_TRUE(WriteImport(grid, PlainSettings(), "Ven", core::kKmBased, "EN").complete);
    const QByteArray newLocations = ReadAll(Data("Ven1.dbf"));
    MakeDatabase({0, 1, 2});
    QDir data(dir.filePath("Data"));
    ASSERT_TRUE(data.mkdir(".replacing-x1"));
    for (const char* f : {"Ven1.dbf", "Ven2.dbf", "Ven1.mdx", "Ven2.mdx"})
        ASSERT_TRUE(data.rename(f, QString(".replacing-x1/") + f));
    WriteAll(Data("Ven1.dbf"), newLocations);
    // A replacement that was complete leaves only its folder.
    ASSERT_TRUE(data.mkpath(".replaced-x2"));
    WriteAll(Data(".replaced-x2/Ven1.dbf"), "old");

    EXPECT_EQ(core::DatabaseStore::ListDatabases(), QStringList{"Ven"});
    ASSERT_TRUE(store.OpenDatabase("Ven"));
    store.CloseDatabase();
    EXPECT_EQ(Locations().size(), 3u);
    EXPECT_EQ(Samples().size(), 3u);
    EXPECT_EQ(Files().size(), before.size());
    EXPECT_EQ(DatabaseFiles(),
              QStringList({"Ven.ini", "Ven1.dbf", "Ven1.mdx", "Ven2.dbf", "Ven2.mdx"}));
}

TEST_F(Import, TablesHeldByAnotherProgramAreNotTouched) {
    MakeDatabase({0});
    ASSERT_TRUE(store.OpenDatabase("Ven"));
    core::Grid grid = CopyToGrid(QString(kPlainHeader) + "a\t162\t458\t1\t2\t2003\tx\n");
    EXPECT_THROW(WriteImport(grid, PlainSettings(), "Ven", core::kKmBased, "EN"), core::Error);
    store.CloseDatabase();
    EXPECT_EQ(Locations().size(), 1u);
    EXPECT_EQ(DatabaseFiles().size(), 5);
}

TEST_F(Import, MakeDatabaseAsksAndReplacesWithALatLonDatabase) {
    MakeDatabase({0, 1});
    DataImport import;
    QTemporaryDir files;
    WriteAll(files.filePath("d.tsv"), "Locatie\tLengte\tBreedte\tDag\tMaand\tJaar\tSieralg\n"
                                      "Ven\t5,5\t52,1\t1\t2\t2003\tCosmarium ABC\n"
                                      "Ven\t5,5\t52,1\t1\t2\t2003\t" +
                                          QByteArray(100, 'x') + "\n");
    ASSERT_TRUE(import.OpenDataFile(files.filePath("d.tsv")));
    const ImportSettings s = PlainSettings();
    for (int k = 1; k <= kImportKeyCount; ++k) {
        import.choosers.box[k] = s.columns[k] > 0 ? s.columns[k] : -1;
        import.ChooserLeft(k);
    }
    import.choosers.box[kImportStartRow] = 2;
    import.choosers.unique = s.unique;
    import.replace = true;
    import.coordinateSystem = kLatLonChoice;
    prompts.answers = {core::Answer::Yes};
    EXPECT_EQ(import.MakeDatabase(store, "Ven"), 0);
    EXPECT_EQ(prompts.shown.last(), ResStr(rsImportValuesCut).arg(1));
    EXPECT_FALSE(store.IsOpen()); // opened for the square codes, closed again
    EXPECT_EQ(store.CoordinateSystem(), core::kLatLon);
    EXPECT_EQ(core::IniFile::Load(Data("Ven.ini")).Value("Coordinates", "System"), "LatLon");
    const auto sam = Samples();
    ASSERT_EQ(sam.size(), 2u);
    EXPECT_EQ(sam[0].at("DESMID"), "Cosmarium abc");
    EXPECT_EQ(sam[1].at("DESMID").size(), 80);
    const core::SquareCodePair codes = core::SquareCodes("5,5", "52,1", core::kLatLon, "EN");
    EXPECT_EQ(sam[0].at("KXY"), codes.kxy);
    EXPECT_EQ(Locations().size(), 1u);
}

TEST_F(Import, MakeDatabaseNamesTheFailingRow) {
    MakeDatabase({0});
    const QByteArray before = Files();
    DataImport import;
    QTemporaryDir files;
    WriteAll(files.filePath("d.tsv"), QByteArray(kPlainHeader) +
                                          "a\t162\t458\t1\t2\t2003\tx\n"
                                          "b\t162,1,2\t458\t1\t2\t2003\tx\n");
    ASSERT_TRUE(import.OpenDataFile(files.filePath("d.tsv")));
    const ImportSettings s = PlainSettings();
    import.columnMap = s.columns;
    import.choosers.box[kImportStartRow] = 2;
    import.choosers.unique = s.unique;
    import.replace = true;
    import.coordinateSystem = kAmersfoort;
    prompts.answers = {core::Answer::Yes};
    EXPECT_EQ(import.MakeDatabase(store, "Ven"), 3);
    // Replacing asks with No as the answer Enter gives.
    EXPECT_EQ(prompts.defaultNo, QStringList{ResStr(rsImportReplaceQuestion)});
    EXPECT_TRUE(prompts.shown.last().startsWith(
        "Er is iets mis gegaan bij het importeren\r\nControleer regel 3 op fouten\n"));
    EXPECT_FALSE(store.IsOpen());
    EXPECT_EQ(Files(), before);
}

TEST_F(Import, SpreadsheetsSavedByCalcAreImportedEndToEnd) {
    for (const char* file : {"veldgegevens.xlsx", "veldgegevens.xls"}) {
        MakeDatabase({});
        DataImport import;
        ASSERT_TRUE(import.OpenDataFile(kData + file)) << prompts.shown.join('|').toStdString();
        EXPECT_EQ(import.ChooserCount(), 8) << file;
        EXPECT_EQ(RowOf(import.Grid(), 1), QStringList({"Locatie", "Datum", "X", "Y", "pH",
                                                        "Sieralg", "Abundantie", "Info"}));
        import.columnMap[kImportLocation] = 1;
        import.columnMap[kImportDateText] = 2;
        import.columnMap[kImportCoordX] = 3;
        import.columnMap[kImportCoordY] = 4;
        import.columnMap[kImportPH] = 5;
        import.columnMap[kImportDesmid] = 6;
        import.columnMap[kImportAbundance] = 7;
        import.columnMap[kImportInfo] = 8;
        import.choosers.columnMode = false;
        import.choosers.textMode = true;
        import.choosers.box[kImportStartRow] = 2;
        import.choosers.unique = {1, 2, 0, 0, 0, 0, 0, 0};
        import.replace = true;
        import.coordinateSystem = kAmersfoort;
        prompts.answers = {core::Answer::Yes};
        ASSERT_EQ(import.MakeDatabase(store, "Ven"), 0) << prompts.shown.join('|').toStdString();
        store.CloseDatabase();
        const auto loc = Locations();
        ASSERT_EQ(loc.size(), 2u) << file;
        // Sorted on the key: "Hatertse vennen" before "Ven bij Oisterwijk".
        EXPECT_EQ(loc[0].at("LOCATIE"), "Hatertse vennen");
        EXPECT_EQ(loc[0].at("JAAR") + loc[0].at("MAAND") + loc[0].at("DAG"), "20090612");
        EXPECT_EQ(loc[1].at("COORDX"), "133.5");
        EXPECT_EQ(loc[1].at("PH"), "5.4");
        const auto sam = Samples();
        ASSERT_EQ(sam.size(), 3u);
        EXPECT_EQ(sam[1].at("DESMID"), "Cosmarium botrytis");
        EXPECT_EQ(sam[1].at("DATUM"), "2008-05-07");
        EXPECT_EQ(sam[1].at("ABUND"), "3");
        EXPECT_EQ(sam[1].at("DESMIDINFO"), "ex herb.");
        EXPECT_EQ(sam[1].at("KXY"), core::SquareCodes("133.5", "397.2", core::kKmBased, "EN").kxy);
    }
}
