#pragma once
// What the spreadsheet readers share: collecting the cells of a sheet within the limits,
// turning stored values into the texts callers receive, and the readers themselves.

#include "core/grid/grid.h"
#include "core/spreadsheet/spreadsheet.h"

#include <QString>
#include <vector>

namespace velmora::core::spreadsheet {

// The largest sheet any spreadsheet format holds; references beyond it are damage.
inline constexpr int kMaxSheetRows = 1048576;
inline constexpr int kMaxSheetCols = 16384;

// The cells of one sheet, rows and columns from 1. Refuses (Error) a used range of more than
// limits.maxCells cells as soon as a cell would make it so, before the grid is built.
class SheetCells {
public:
    SheetCells(const SpreadsheetLimits& limits, const QString& path);
    void Add(int row, int col, QString text);
    // n + 1 rows and m + 1 columns for a used range up to row n, column m (at least A1).
    Grid ToGrid() const;

private:
    struct Cell {
        int row;
        int col;
        QString text;
    };
    SpreadsheetLimits m_limits;
    QString m_path;
    std::vector<Cell> m_cells;
    int m_maxRow = 1;
    int m_maxCol = 1;
};

// A stored number as text: whole numbers without decimals, others with up to 15 significant
// digits and the program-wide decimal separator.
QString NumberText(double value);

// How a number format shows a value.
enum class DateKind { None, Date, Time, DateTime };
// The kind of a built-in number format id.
DateKind BuiltInFormatKind(int id);
// The kind of a format code such as "yyyy-mm-dd" or "[h]:mm" (first section only; quoted
// text, escaped characters and colours are ignored).
DateKind FormatCodeKind(const QString& code);
// A date serial number (days since the workbook's epoch, fraction = time of day) as
// "yyyy-MM-dd", "hh:mm:ss" or both; a serial outside the calendar gives NumberText.
QString SerialDateText(double serial, bool date1904, DateKind kind);

// The readers. Each throws Error (with the path) for a file it cannot read or refuses.
Grid ReadXlsxPackage(const QString& path, const SpreadsheetLimits& limits);
// The name of the first worksheet of an .xlsx package.
QString XlsxFirstSheetName(const QString& path);
Grid ReadXlsWorkbook(const QString& path, const SpreadsheetLimits& limits);
// The minimal record file this program writes without a spreadsheet program (also the
// number records of other simple writers).
Grid ReadMinimalXls(const QByteArray& bytes, const QString& path, const SpreadsheetLimits& limits);

} // namespace velmora::core::spreadsheet
