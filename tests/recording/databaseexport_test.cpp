// The export of a database as one flat table: its columns, the INFO split, the taxon
// information, the order of the rows, the files (text, spreadsheet, the minimal .xls without
// the spreadsheet library), a cancel that leaves an existing file alone, and the files opened
// in LibreOffice Calc with the same cells.

#include "common/libreoffice.h"
#include "common/programfolder.h"
#include "common/smallfs.h"
#include "common/tempdir.h"
#include "core/databasestore.h"
#include "core/dataset.h"
#include "core/folders.h"
#include "core/grid/gridfiles.h"
#include "core/grid/gridsort.h"
#include "core/scriptedprompts.h"
#include "core/settings.h"
#include "core/spreadsheet/spreadsheet.h"
#include "ecology/taxalist.h"
#include "ecology/taxonnames.h"
#include "recording/databaseexport.h"
#include "recording/messages.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

using namespace velmora;
using namespace velmora::recording;
using velmora::testing::ReadAll;
using velmora::testing::WriteAll;

namespace {

const QStringList kHeaders = {
    "ID",        "LOCATIE",   "DAG",        "MAAND",     "JAAR",      "ZUURGRAAD", "OPMLOCATIE",
    "COORDX",    "COORDY",    "MONSTERSRT", "ANALIST",   "OWNER",     "LOCCODE",   "PH",
    "GELEIDING", "WATERTEMP", "WTYPE",      "HERBARIUM", "AMAAT",     "DESMID",    "ABUND",
    "DL",        "ZYGO",      "FOTO",       "ZEKER",     "OPMDESMID", "INFO1",     "INFO2"};

struct Export : ::testing::Test {
    velmora::testing::ProgramFolder dir;
    core::ScriptedPrompts prompts;
    core::DatabaseStore store;
    ecology::TaxaList taxa;

    void SetUp() override {
        store.CreateDatabase("Ven");
        ASSERT_TRUE(store.OpenDatabase("Ven"));
        core::Dataset& loc = store.Locations();
        loc.AppendRecord(
            {7, "Ven\tOost", "05", "06", "2001", "", "regel 1\nregel 2", "162", "458"});
        loc.AppendRecord({3, "Plas", "01", "02", "1999", "", "=1+1", "150", "400"});
        loc.AppendRecord({9, "Leeg", "01", "02", "2010"}); // no samples: no row
        core::Dataset& s = store.Samples();
        s.AppendRecord({7, "", "", "", "Staurastrum hirsutum", "3", "", "", "", "", "\"citaat\"",
                        "ex herb. # det. X"});
        s.AppendRecord({7, "", "", "", "Cosmarium botrytis var. botrytis", "1", "", "", "", "", "",
                        "alleen info"});
        s.AppendRecord({7, "", "", "", "cosmarium margaritiferum", "", "", "", "", "", "", ""});
        s.AppendRecord({3, "", "", "", "Closterium lunula"});
        s.AppendRecord({42, "", "", "", "Zonder locatie"}); // no location: no row
        taxa.Assign(
            {{"Cosmarium botrytis", "", "Menegh.", "eutroof", "zuur", "", "2", "3", "RL", ""},
             {"Cosmarium margaritiferum", "", "Menegh.", "", "", "", "5", "", "", ""}},
            nullptr);
    }
    void TearDown() override {
        store.CloseDatabase();
        core::SetExcelVersion(core::kSpreadsheetLibraryVersion);
    }
    QStringList Column(const core::Grid& grid, const QString& header) {
        const int c = static_cast<int>(grid.Row(0).indexOf(header));
        QStringList cells;
        for (int r = 1; r < grid.RowCount(); ++r)
            cells << grid.Cell(c, r);
        return cells;
    }
};

} // namespace

TEST(ExportInfo, TheInfoIsSplitAtItsFirstHash) {
    const std::pair<QString, QString> cases[][1] = {{{"", ""}}};
    (void)cases;
    struct Case {
        const char* info;
        const char* info1;
        const char* info2;
    };
    for (const Case& c :
         {Case{"ex herb. # det. X", "ex herb.", "det. X"}, Case{"alleen info", "alleen info", ""},
          Case{"  niet getrimd  ", "  niet getrimd  ", ""}, Case{"a#b#c", "a", "b#c"},
          Case{"#", "", ""}, Case{"", "", ""}}) {
        const auto [one, two] = ecology::SplitInfo(c.info);
        EXPECT_EQ(one, c.info1) << c.info;
        EXPECT_EQ(two, c.info2) << c.info;
    }
    EXPECT_EQ(ecology::SplitInfo("a#" + QString(120, 'x')).second.size(), 100);
}

TEST_F(Export, OneRowPerSampleOfALocationSortedOnDateLocationAndName) {
    const std::optional<core::Grid> grid = BuildFlatTable(store, nullptr);
    ASSERT_TRUE(grid);
    EXPECT_EQ(grid->Row(0), kHeaders);
    ASSERT_EQ(grid->RowCount(), 5);
    EXPECT_EQ(Column(*grid, "ID"), QStringList({"3", "7", "7", "7"}));
    // Within the location by name as text, letter case ignored.
    EXPECT_EQ(Column(*grid, "DESMID"),
              QStringList({"Closterium lunula", "Cosmarium botrytis var. botrytis",
                           "cosmarium margaritiferum", "Staurastrum hirsutum"}));
    EXPECT_EQ(Column(*grid, "INFO1"), QStringList({"", "alleen info", "", "ex herb."}));
    EXPECT_EQ(Column(*grid, "INFO2"), QStringList({"", "", "", "det. X"}));
    EXPECT_EQ(Column(*grid, "COORDY"), QStringList({"400", "458", "458", "458"}));
}

TEST_F(Export, TaxonInformationComesFromTheSpeciesWithItsLetterCase) {
    const std::optional<core::Grid> grid = BuildFlatTable(store, &taxa);
    ASSERT_TRUE(grid);
    ASSERT_EQ(grid->ColCount(), 35);
    EXPECT_EQ(grid->Row(0).mid(28),
              QStringList({"AUTHOR_NAM", "TROPHIC_ST", "ACIDITY", "LIFE_FORM", "R", "S", "R_L"}));
    // The variety takes its species' information; another letter case takes none.
    EXPECT_EQ(grid->Row(2).mid(28),
              QStringList({"Menegh.", "eutroof", "zuur", "", "2", "3", "RL"}));
    EXPECT_EQ(grid->Row(3).mid(28), QStringList(7, QString()));
}

TEST_F(Export, TextAndSpreadsheetFilesAndTheMinimalXlsWithoutTheLibrary) {
    const QString tsv = dir.filePath("export.tsv");
    ASSERT_TRUE(ExportDatabase(store, nullptr, tsv, ExportFormat::Text));
    const QStringList lines = QString::fromUtf8(ReadAll(tsv)).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5);
    for (const QString& line : lines)
        EXPECT_EQ(line.count('\t'), 27) << line.toStdString();
    EXPECT_TRUE(lines[2].startsWith("7\tVen Oost\t05\t06\t2001\t\tregel 1 regel 2\t162"));

    ASSERT_TRUE(
        ExportDatabase(store, nullptr, dir.filePath("export.xlsx"), ExportFormat::Spreadsheet));
    EXPECT_EQ(core::ReadSpreadsheetFile(dir.filePath("export.xlsx")).RowCount(), 6);

    core::SetExcelVersion(0);
    ASSERT_TRUE(
        ExportDatabase(store, nullptr, dir.filePath("zonder.xlsx"), ExportFormat::Spreadsheet));
    EXPECT_FALSE(QFile::exists(dir.filePath("zonder.xlsx")));
    EXPECT_TRUE(ReadAll(dir.filePath("zonder.xls")).startsWith(QByteArray("\x09\x08", 2)));
}

TEST_F(Export, ACancelLeavesAnExistingFileAsItWas) {
    const QString tsv = dir.filePath("oud.tsv");
    WriteAll(tsv, "vorige export\r\n");
    prompts.cancelAtStep = 0;
    EXPECT_FALSE(ExportDatabase(store, nullptr, tsv, ExportFormat::Text));
    EXPECT_EQ(ReadAll(tsv), "vorige export\r\n");
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(Export, AReadOnlyFolderGivesAMessageAndNoFile) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    QDir(dir.path()).mkdir("ro");
    QFile::setPermissions(dir.filePath("ro"), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_FALSE(ExportDatabase(store, nullptr, dir.filePath("ro/x.tsv"), ExportFormat::Text));
    EXPECT_TRUE(prompts.shown.value(0).startsWith(ResStr(rsExportFailed)));
    EXPECT_TRUE(QDir(dir.filePath("ro")).isEmpty());
}

TEST_F(Export, CalcOpensBothFilesWithTheSameCells) {
    if (velmora::testing::Soffice().isEmpty())
        GTEST_SKIP() << "soffice (LibreOffice Calc) is not installed";
    const std::optional<core::Grid> grid = BuildFlatTable(store, nullptr);
    ASSERT_TRUE(grid);
    ASSERT_TRUE(
        ExportDatabase(store, nullptr, dir.filePath("export.xlsx"), ExportFormat::Spreadsheet));
    ASSERT_TRUE(ExportDatabase(store, nullptr, dir.filePath("tekst.tsv"), ExportFormat::Text));
    const velmora::testing::CsvRows fromXlsx = velmora::testing::ToCsv(dir.filePath("export.xlsx"));
    // The text file read as a user reads it into Calc: tab-separated, UTF-8, every column
    // of the type Text (so that "05" stays "05" and "=1+1" a text).
    QStringList textColumns;
    for (int c = 1; c <= grid->ColCount(); ++c)
        textColumns << QString("%1/2").arg(c);
    const QString csv =
        velmora::testing::Convert(dir.filePath("tekst.tsv"), velmora::testing::kCsvExport, "csv",
                                  "CSV:9,34,76,1," + textColumns.join('/'));
    const velmora::testing::CsvRows fromTsv =
        velmora::testing::ParseCsv(QString::fromUtf8(ReadAll(csv)));
    // The spreadsheet holds every text as it is; the text file's lines hold a cell's tabs and
    // line breaks as blanks.
    for (const auto* rows : {&fromXlsx, &fromTsv}) {
        ASSERT_EQ(static_cast<int>(rows->size()), grid->RowCount());
        for (int r = 0; r < grid->RowCount(); ++r)
            for (int c = 0; c < grid->ColCount(); ++c) {
                QString expected = grid->Cell(c, r);
                if (rows == &fromTsv)
                    expected.replace('\t', ' ').replace('\n', ' ');
                const QString got =
                    c < static_cast<int>((*rows)[r].size()) ? (*rows)[r][c].text : QString();
                EXPECT_EQ(got, expected) << "row " << r << " column " << c;
            }
    }
}

TEST_F(Export, TheRowsAreInTheOrderOfTheSevenColumnGridSort) {
    // Many rows whose keys tie or differ in letter case only, in several locations.
    std::mt19937 random(5);
    const char* names[] = {"Cosmarium a", "cosmarium A", "Cosmarium a ", "Closterium", "x"};
    for (int id = 20; id < 30; ++id) {
        store.Locations().AppendRecord({id, id % 2 ? "Ven" : "ven", "0" + QString::number(id % 3),
                                        "05", "2001", "", "", QString::number(id % 4), "1"});
        for (int k = 0; k < 12; ++k)
            store.Samples().AppendRecord(
                {id, "", "", "", names[random() % 5], QString::number(random() % 3)});
    }
    const std::optional<core::Grid> grid = BuildFlatTable(store, &taxa);
    ASSERT_TRUE(grid);
    core::Grid sorted = *grid;
    auto column = [&](const char* name) { return static_cast<int>(grid->Row(0).indexOf(name)); };
    core::SortGridBySevenColumns(sorted,
                                 {column("JAAR"), column("MAAND"), column("DAG"), column("ID"),
                                  column("LOCATIE"), column("COORDX"), column("DESMID")});
    EXPECT_EQ(*grid, sorted);
}

TEST_F(Export, AFullDiskGivesAMessageAndNoFileUnderTheChosenName) {
    for (int k = 0; k < 400; ++k)
        store.Samples().AppendRecord(
            {7, "", "", "", QString("Cosmarium %1").arg(k), "1", "", "", "", "", QString(60, 'o')});
    QDir(dir.path()).mkdir("mnt");
    const int code = velmora::testing::RunOnSmallFileSystem(dir.filePath("mnt"), 16 * 1024, [&] {
        const QString path = dir.filePath("mnt/export.tsv");
        if (ExportDatabase(store, nullptr, path, ExportFormat::Text))
            return 1;
        if (!prompts.shown.value(0).startsWith(ResStr(rsExportFailed)))
            return 2;
        if (!QDir(dir.filePath("mnt")).entryList(QDir::Files | QDir::Hidden).isEmpty())
            return 3;
        return 0;
    });
    if (code == velmora::testing::kNoSmallFileSystem)
        GTEST_SKIP() << "no small file system can be made here";
    EXPECT_EQ(code, 0);
}
