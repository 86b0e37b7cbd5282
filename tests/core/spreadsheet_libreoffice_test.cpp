// Spreadsheet files against a real spreadsheet program: LibreOffice Calc, run headless. Files
// this program writes must open there with the same cells, and files Calc writes must read
// back here with the same cells. Skipped when soffice is not installed.

#include "common/libreoffice.h"
#include "common/tempdir.h"
#include "core/grid/gridfiles.h"
#include "core/scriptedprompts.h"
#include "core/spreadsheet/spreadsheet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

using namespace velmora::core;
using namespace velmora::testing;

namespace {

void ExpectSameCells(const Grid& grid, const CsvRows& csv) {
    ASSERT_EQ(int(csv.size()), grid.RowCount());
    for (int r = 0; r < grid.RowCount(); ++r) {
        for (int c = 0; c < grid.ColCount(); ++c) {
            const QString got = c < int(csv[r].size()) ? csv[r][c].text : QString();
            EXPECT_EQ(got, grid.Cell(c, r)) << "row " << r << " col " << c;
        }
        EXPECT_LE(int(csv[r].size()), grid.ColCount()) << "row " << r;
    }
}

Grid ExportGrid() {
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
                              QStringLiteral("_x0041_")};
    for (int c = 0; c < row1.size(); ++c)
        grid.SetCell(c, 1, row1[c]);
    grid.SetCell(27, 2, QStringLiteral("laatste kolom AB"));
    grid.SetCell(0, 3, QStringLiteral("  spaties  "));
    return grid;
}

class LibreOffice : public ::testing::Test {
protected:
    void SetUp() override {
        if (Soffice().isEmpty())
            GTEST_SKIP() << "soffice (LibreOffice Calc) is not installed; "
                            "scripts/setup.sh installs libreoffice-calc-nogui";
    }
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(LibreOffice, OpensTheWorkbooksWeWriteWithTheSameCells) {
    const Grid grid = ExportGrid();
    ScriptedPrompts prompts;
    ASSERT_TRUE(ExcelWriteGrid(grid, QStringLiteral("Waarnemingen"),
                               m_dir.filePath(QStringLiteral("export"))));
    const CsvRows csv = ToCsv(m_dir.filePath(QStringLiteral("export.xlsx")));
    ExpectSameCells(grid, csv);
    ASSERT_GE(csv.size(), 2u);
    // Whole numbers became numbers; a decimal text, leading zeros and long digit runs stayed
    // text as written.
    EXPECT_FALSE(csv[1][1].quoted); // 12
    EXPECT_TRUE(csv[1][2].quoted);  // 7,25
    EXPECT_TRUE(csv[1][3].quoted);  // 7.5
    EXPECT_TRUE(csv[1][4].quoted);  // 007
    EXPECT_FALSE(csv[1][5].quoted); // -3
    EXPECT_TRUE(csv[1][6].quoted);  // 1234567890123456
}

TEST_F(LibreOffice, OpensTheMinimalFileWithTheSameCells) {
    Grid grid(3, 4);
    grid.SetRow(0, {QStringLiteral("Naam"), QStringLiteral("Aantal"), QStringLiteral("Gem")});
    grid.SetRow(1, {QStringLiteral("Één"), QStringLiteral("12"), QStringLiteral("7,25")});
    grid.SetRow(2, {QStringLiteral("b"), QString(), QStringLiteral("x")});
    grid.SetRow(3, {QString(), QStringLiteral("laatste"), QString()});
    const QString path = m_dir.filePath(QStringLiteral("minimaal.xls"));
    ASSERT_TRUE(SaveGridAsXLS(grid, path));
    const CsvRows csv = ToCsv(path);
    ExpectSameCells(grid, csv);
    ASSERT_GE(csv.size(), 2u);
    EXPECT_TRUE(csv[1][1].quoted); // every value is text
}

TEST_F(LibreOffice, WorkbooksItWritesReadBackWithTheSameCells) {
    const QString csvPath = m_dir.filePath(QStringLiteral("waarnemingen.csv"));
    ASSERT_TRUE(
        QFile::copy(QStringLiteral(VELMORA_TEST_DATA "/spreadsheet/waarnemingen.csv"), csvPath));
    const CsvRows fixture = ParseCsv(QString::fromUtf8(velmora::testing::ReadAll(csvPath)));
    ASSERT_EQ(fixture.size(), 5u);
    struct Format {
        const char* convertTo;
        const char* extension;
    };
    for (const Format& f :
         {Format{"xlsx:Calc MS Excel 2007 XML", "xlsx"}, Format{"xls:MS Excel 97", "xls"}}) {
        SCOPED_TRACE(f.extension);
        const QString book = Convert(csvPath, QString::fromUtf8(f.convertTo),
                                     QString::fromUtf8(f.extension), kCsvImport);
        Grid grid;
        ScriptedPrompts prompts;
        ASSERT_TRUE(ExcelReadGrid(grid, book))
            << prompts.shown.join(QLatin1Char('\n')).toStdString();
        ASSERT_EQ(grid.RowCount(), int(fixture.size()) + 1);
        ASSERT_EQ(grid.ColCount(), int(fixture[0].size()) + 1);
        for (int r = 0; r < int(fixture.size()); ++r) {
            for (int c = 0; c < int(fixture[r].size()); ++c)
                EXPECT_EQ(grid.Cell(c + 1, r + 1), fixture[r][c].text)
                    << "row " << r + 1 << " col " << c + 1;
        }
    }
}
