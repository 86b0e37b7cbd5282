// Workbooks as LibreOffice Calc saved them from waarnemingen.csv (calc_waarnemingen.xls and
// .xlsx), read without Calc: the cells of the text file, the limits, and damaged copies.

#include "common/tempdir.h"
#include "core/error.h"
#include "core/scriptedprompts.h"
#include "core/spreadsheet/spreadsheet.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

using namespace velmora::core;

namespace {

const QString kData = QStringLiteral(VELMORA_TEST_DATA "/spreadsheet/");

// The cells of waarnemingen.csv.
const std::vector<QStringList> kCells = {
    {"Naam", "Aantal", "Gemiddelde", "Datum", "Opmerking"},
    {"Cosmarium botrytis", "12", "7.5", "2009-03-05", "ven, oost"},
    {"Staurastrum paradoxum", "3", "0.25", "2010-11-30", "Één ü"},
    {"Closterium lunula", "", "100", "2008-05-12", ""},
    {"Euastrum \"ansatum\"", "-4", "1234.5", "", "twee\nregels"},
};

} // namespace

TEST(SpreadsheetCalcFiles, ReadWithTheCellsOfTheTextFile) {
    for (const char* name : {"calc_waarnemingen.xlsx", "calc_waarnemingen.xls"}) {
        SCOPED_TRACE(name);
        const Grid grid = ReadSpreadsheetFile(kData + QString::fromUtf8(name));
        ASSERT_EQ(grid.RowCount(), int(kCells.size()) + 1);
        ASSERT_EQ(grid.ColCount(), int(kCells[0].size()) + 1);
        for (int r = 0; r < int(kCells.size()); ++r) {
            for (int c = 0; c < int(kCells[r].size()); ++c)
                EXPECT_EQ(grid.Cell(c + 1, r + 1), kCells[r][c]) << r + 1 << "," << c + 1;
        }
    }
}

TEST(SpreadsheetCalcFiles, LimitsHoldForBothFormats) {
    SpreadsheetLimits fewCells;
    fewCells.maxCells = 20; // the grid needs 6 x 6
    SpreadsheetLimits fewBytes;
    fewBytes.maxUnpackedBytes = 2000;
    for (const char* name : {"calc_waarnemingen.xlsx", "calc_waarnemingen.xls"}) {
        const QString path = kData + QString::fromUtf8(name);
        EXPECT_THROW(ReadSpreadsheetFile(path, fewCells), Error) << name;
        EXPECT_THROW(ReadSpreadsheetFile(path, fewBytes), Error) << name;
        SpreadsheetLimits exact;
        exact.maxCells = 36;
        EXPECT_NO_THROW(ReadSpreadsheetFile(path, exact)) << name;
    }
}

// Damaged copies (bytes overwritten, files cut short) are read or refused, never more: the
// .xls library itself can be made to read outside its buffers by such files.
TEST(SpreadsheetCalcFiles, DamagedCopiesNeverCrash) {
    QTemporaryDir dir;
    std::mt19937 random(20090305);
    for (const char* name : {"calc_waarnemingen.xlsx", "calc_waarnemingen.xls"}) {
        const QByteArray original = velmora::testing::ReadAll(kData + QString::fromUtf8(name));
        const QString path = dir.filePath(QString::fromUtf8(name));
        int refused = 0;
        for (int round = 0; round < 200; ++round) {
            QByteArray bytes = original;
            if (round % 10 == 9) {
                bytes.truncate(qsizetype(random() % bytes.size()));
            } else {
                const int flips = 1 + int(random() % 8);
                for (int i = 0; i < flips; ++i)
                    bytes[qsizetype(random() % bytes.size())] = char(random() & 0xFF);
            }
            velmora::testing::WriteAll(path, bytes);
            Grid grid;
            ScriptedPrompts prompts;
            if (!ExcelReadGrid(grid, path)) {
                ++refused;
                EXPECT_EQ(prompts.shown.size(), 1);
            }
        }
        EXPECT_GT(refused, 0) << name;
    }
}
