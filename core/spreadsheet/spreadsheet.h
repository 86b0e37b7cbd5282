#pragma once
// Spreadsheet files (.xlsx written and read, legacy .xls read) without a spreadsheet
// program: libxlsxwriter writes workbooks, minizip and QXmlStreamReader read .xlsx packages,
// FreeXL reads .xls workbooks. ExcelVersion() stands for the availability of these
// libraries; it is 12 (written files are ".xlsx").
//
// Reading is bounded: a workbook that would unpack to more than a set number of bytes, or
// whose used range covers more than a set number of cells, is refused with a message before
// it can exhaust memory. Damaged packages, malformed XML and unreadable .xls files are
// refused the same way; nothing on disk can crash the reader.

#include "core/grid/grid.h"

#include <QString>
#include <QtGlobal>

namespace velmora::core {

// The version the spreadsheet libraries stand for.
inline constexpr int kSpreadsheetLibraryVersion = 12;

// Determines ExcelVersion at start-up and returns it.
int DetectExcel();
// 0 when spreadsheet files cannot be written or read, otherwise the version (12 or more:
// written files get ".xlsx"). Starts as kSpreadsheetLibraryVersion.
int ExcelVersion();
// For tests of callers that must behave as if no spreadsheet support were present.
void SetExcelVersion(int version);
// ".xlsx" when ExcelVersion() is 12 or more, otherwise ".xls".
QString SpreadsheetExtension();

// The A1 reference of a cell: the column number (from 1) in bijective base-26 letters
// (1 A, 26 Z, 27 AA, 52 AZ, 53 BA) followed by the row number. REQUIRES: row >= 1, column >= 1.
QString ColumnLetters(int row, int column);

// The whole grid, header row included, into the first and only worksheet of a new workbook
// at pathWithoutExtension + SpreadsheetExtension(); an existing file is replaced (through a
// temporary file, so a failed save leaves it whole). Cell rules: a text that is a whole
// number in plain form (no leading zeros, at most 15 digits) becomes a number; every other
// text, among them decimal numbers like "7,25", stays text exactly as written; empty cells
// stay blank. The sheet is named after the first 31 characters of sheetName (characters a
// sheet name may not hold, []:*?/\, become "_"; an empty name gives the default).
// Throws Error with the reason when the workbook cannot be made or saved.
void WriteXlsxFile(const Grid& grid, const QString& sheetName, const QString& path);

// WriteXlsxFile to pathWithoutExtension + SpreadsheetExtension(). On failure shows
// "Het Excel-bestand kan niet gemaakt worden" with the reason on the next line, and returns
// false.
bool ExcelWriteGrid(const Grid& grid, const QString& sheetName,
                    const QString& pathWithoutExtension);

// Bounds on what a read may take.
struct SpreadsheetLimits {
    qint64 maxCells = 5'000'000;                   // rows x columns of the used range
    qint64 maxUnpackedBytes = 256LL * 1024 * 1024; // unpacked parts of a package, or file size
};

// The first worksheet of a workbook as a grid: for a used range up to row n and column m the
// grid gets n + 1 rows and m + 1 columns; sheet row r, column c goes into grid row r, column
// c, and grid row 0 and column 0 stay empty. An empty sheet counts as used up to A1.
// Values as text: texts as they are; whole numbers without decimals; other numbers with up
// to 15 significant digits and the program-wide decimal separator; booleans "TRUE" and
// "FALSE"; error values as shown ("#N/A"); cells formatted as dates or times as
// "yyyy-MM-dd", "hh:mm:ss" or "yyyy-MM-dd hh:mm:ss"; formulas by their stored result.
// The kind of file is found from its contents: an .xlsx package, a .xls workbook or the
// minimal spreadsheet file this program writes without a spreadsheet program.
// Throws Error (file + reason) when the file cannot be read or is refused.
Grid ReadSpreadsheetFile(const QString& path, const SpreadsheetLimits& limits = {});

// ReadSpreadsheetFile into the grid. On failure shows "Het Excel-bestand kan niet geopend
// worden" with the reason on the next line, leaves the grid unchanged and returns false.
bool ExcelReadGrid(Grid& grid, const QString& path, const SpreadsheetLimits& limits = {});

} // namespace velmora::core
