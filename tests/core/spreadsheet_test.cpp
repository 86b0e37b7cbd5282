#include "common/tempdir.h"
#include "core/error.h"
#include "core/grid/gridfiles.h"
#include "core/scriptedprompts.h"
#include "core/spreadsheet/spreadsheet.h"
#include "core/spreadsheet/spreadsheetcells.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora::core;

namespace {

const QString kNotOpened = QStringLiteral("Het Excel-bestand kan niet geopend worden");

// Every cell of the written grid must be in the read grid one row down and one column right.
void ExpectShiftedCopy(const Grid& written, const Grid& read) {
    ASSERT_EQ(read.RowCount(), written.RowCount() + 1);
    ASSERT_EQ(read.ColCount(), written.ColCount() + 1);
    for (int r = 0; r < read.RowCount(); ++r) {
        for (int c = 0; c < read.ColCount(); ++c) {
            const QString expected = r == 0 || c == 0 ? QString() : written.Cell(c - 1, r - 1);
            EXPECT_EQ(read.Cell(c, r), expected) << "row " << r << " col " << c;
        }
    }
}

Grid SampleGrid() {
    Grid grid(28, 4);
    for (int c = 0; c < 28; ++c)
        grid.SetCell(c, 0, QStringLiteral("Kolom %1").arg(c + 1));
    const QStringList row1 = {QStringLiteral("Cosmarium botrytis"),
                              QStringLiteral("12"),
                              QStringLiteral("7,25"),
                              QStringLiteral("7.5"),
                              QStringLiteral("007"),
                              QStringLiteral("-3"),
                              QStringLiteral("1234567890123456"),
                              QStringLiteral("Één ü ß"),
                              QStringLiteral("twee\nregels"),
                              QStringLiteral("2009-03-05"),
                              QStringLiteral("=1+1"),
                              QStringLiteral("TRUE"),
                              QStringLiteral("_x0041_x0042_"),
                              QStringLiteral("-0")};
    for (int c = 0; c < row1.size(); ++c)
        grid.SetCell(c, 1, row1[c]);
    grid.SetCell(27, 2, QStringLiteral("laatste kolom AB"));
    grid.SetCell(0, 3, QStringLiteral("  spaties  "));
    return grid;
}

} // namespace

TEST(Spreadsheet, ColumnLetters) {
    struct Case {
        int row, column;
        const char* ref;
    };
    const Case cases[] = {{1, 1, "A1"},     {7, 26, "Z7"},    {1, 27, "AA1"},
                          {12, 28, "AB12"}, {3, 52, "AZ3"},   {3, 53, "BA3"},
                          {1, 702, "ZZ1"},  {1, 703, "AAA1"}, {1048576, 16384, "XFD1048576"}};
    for (const Case& c : cases)
        EXPECT_EQ(ColumnLetters(c.row, c.column), QString::fromUtf8(c.ref)) << c.ref;
    EXPECT_THROW(ColumnLetters(0, 1), std::out_of_range);
    EXPECT_THROW(ColumnLetters(1, 0), std::out_of_range);
}

TEST(Spreadsheet, VersionStandsForTheLibraries) {
    EXPECT_GE(DetectExcel(), 12);
    EXPECT_EQ(ExcelVersion(), kSpreadsheetLibraryVersion);
    EXPECT_EQ(SpreadsheetExtension(), QStringLiteral(".xlsx"));
}

TEST(Spreadsheet, WrittenWorkbookReadsBackCellForCell) {
    QTemporaryDir dir;
    const Grid grid = SampleGrid();
    ScriptedPrompts prompts;
    ASSERT_TRUE(ExcelWriteGrid(grid, QStringLiteral("Waarnemingen"),
                               dir.filePath(QStringLiteral("export"))));
    EXPECT_TRUE(prompts.shown.isEmpty());
    const QString path = dir.filePath(QStringLiteral("export.xlsx"));
    ASSERT_TRUE(QFile::exists(path));
    EXPECT_EQ(spreadsheet::XlsxFirstSheetName(path), QStringLiteral("Waarnemingen"));

    Grid read;
    QFont font(QStringLiteral("DejaVu Sans"), 17);
    read.SetFont(font);
    ASSERT_TRUE(ExcelReadGrid(read, path));
    ExpectShiftedCopy(grid, read);
    EXPECT_EQ(read.Font(), font); // reading changes the cells only

    // Writing again replaces the file; no temporary files stay behind.
    ASSERT_TRUE(ExcelWriteGrid(Grid(1, 1), QString(), dir.filePath(QStringLiteral("export"))));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("export.xlsx")});
}

TEST(Spreadsheet, SheetNameIsCutToThirtyOneCharactersAndMadeValid) {
    QTemporaryDir dir;
    struct Case {
        const char* wanted;
        const char* name;
    };
    const Case cases[] = {
        {"Een zeer lange databasenaam voor de sieralgen", "Een zeer lange databasenaam voo"},
        {"data[2009]: a/b", "data_2009__ a_b"},
        {"'quoted'", "quoted"},
        {"", "Sheet1"},
    };
    for (const Case& c : cases) {
        const QString base = dir.filePath(QStringLiteral("s"));
        WriteXlsxFile(Grid(1, 1), QString::fromUtf8(c.wanted), base + QStringLiteral(".xlsx"));
        EXPECT_EQ(spreadsheet::XlsxFirstSheetName(base + QStringLiteral(".xlsx")),
                  QString::fromUtf8(c.name))
            << c.wanted;
    }
}

TEST(Spreadsheet, WriteFailureIsReported) {
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    EXPECT_FALSE(ExcelWriteGrid(SampleGrid(), QStringLiteral("x"),
                                dir.filePath(QStringLiteral("no/such/folder/export"))));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(
        prompts.shown[0].startsWith(QStringLiteral("Het Excel-bestand kan niet gemaakt worden\n")));

    // A cell longer than a spreadsheet cell holds fails the save; the old file stays.
    const QString base = dir.filePath(QStringLiteral("keep"));
    ASSERT_TRUE(ExcelWriteGrid(Grid(1, 1), QStringLiteral("x"), base));
    const QByteArray before = velmora::testing::ReadAll(base + QStringLiteral(".xlsx"));
    Grid huge(1, 1);
    huge.SetCell(0, 0, QString(40000, QLatin1Char('x')));
    EXPECT_FALSE(ExcelWriteGrid(huge, QStringLiteral("x"), base));
    EXPECT_EQ(velmora::testing::ReadAll(base + QStringLiteral(".xlsx")), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("keep.xlsx")});
}

TEST(Spreadsheet, MinimalFileReadsBackInTheSameLayout) {
    QTemporaryDir dir;
    Grid grid(2, 3);
    grid.SetRow(0, {QStringLiteral("Naam"), QStringLiteral("Aantal")});
    grid.SetRow(1, {QStringLiteral("Één"), QStringLiteral("12")});
    grid.SetRow(2, {QStringLiteral("b"), QString()});
    const QString path = dir.filePath(QStringLiteral("min.xls"));
    ASSERT_TRUE(SaveGridAsXLS(grid, path));
    Grid read;
    ScriptedPrompts prompts;
    ASSERT_TRUE(ExcelReadGrid(read, path));
    ExpectShiftedCopy(grid, read);
}

TEST(Spreadsheet, UnreadableFilesGiveTheMessageAndLeaveTheGrid) {
    QTemporaryDir dir;
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"text.xlsx", "Naam\tAantal\r\n"},
        {"empty.xlsx", ""},
        {"text.xls", "Naam;Aantal\r\n"},
        {"badole.xls", QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(600, 'x')},
        {"truncated.xls", QByteArray("\x09\x08\x08\x00\x00\x00\x10\x00\x00\x00\x00\x00"
                                     "\x04\x02\x20\x00",
                                     16)},
    };
    for (const Case& c : cases) {
        const QString path = dir.filePath(QString::fromUtf8(c.name));
        velmora::testing::WriteAll(path, c.bytes);
        Grid grid(2, 2);
        grid.SetCell(1, 1, QStringLiteral("unchanged"));
        const Grid before = grid;
        ScriptedPrompts prompts;
        EXPECT_FALSE(ExcelReadGrid(grid, path)) << c.name;
        EXPECT_EQ(grid, before) << c.name;
        ASSERT_EQ(prompts.shown.size(), 1) << c.name;
        EXPECT_TRUE(prompts.shown[0].startsWith(kNotOpened + QLatin1Char('\n'))) << c.name;
        EXPECT_TRUE(prompts.shown[0].contains(path)) << c.name;
    }
    ScriptedPrompts prompts;
    Grid grid;
    EXPECT_FALSE(ExcelReadGrid(grid, dir.filePath(QStringLiteral("missing.xlsx"))));
    EXPECT_EQ(prompts.shown.size(), 1);
}
