#pragma once
// The data of an import as a grid of texts: row 0 holds the column numbers 1, 2, ...,
// column 0 the row numbers 1, 2, ...; the cell in column c and row r (both from 1) holds
// field c of line r of the file.
//
// Reading is bounded: a file larger than maxBytes, with more than maxColumns fields on a
// line, or whose grid would hold more than maxCells cells is refused with a message (Error)
// before its cells are made, so no file can exhaust memory.

#include "core/grid/grid.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <functional>

namespace velmora::recording {

struct ImportLimits {
    qint64 maxBytes = 400LL * 1024 * 1024;
    qint64 maxCells = 30'000'000;
    int maxColumns = 1024;
};

// Told the share of the work done (0..100) now and then; returns true to cancel.
using ImportProgress = std::function<bool(int percent)>;

// Thrown when the user cancelled a read or an import.
struct ImportCancelled {};

// The bytes of a file. Throws core::Error when the file cannot be read or is larger than
// limits.maxBytes.
QByteArray ReadImportBytes(const QString& path, const ImportLimits& limits = {});

// The text of a tab-separated file: every NUL byte becomes "?", the bytes are taken as UTF-8
// when they are valid UTF-8 and as Windows-1252 otherwise. Throws core::Error when the file
// cannot be read or is larger than the limits allow.
QString ReadTSVText(const QString& path, const ImportLimits& limits = {});
// The same for bytes already read.
QString DecodeTSVBytes(QByteArray bytes);

// The grid of a tab-separated text. Lines end with CR LF, LF or CR; empty lines are left
// out. Spaces and control characters other than the tab are trimmed from both ends of a line
// (a line that begins with empty fields keeps them, so every value stays in its column);
// the line is then cut at every tab. The grid gets one column more than the longest line has
// fields (at least 3) and one row more than there are lines; row 0 and column 0 are
// numbered. Throws core::Error beyond the limits, ImportCancelled when progress says so.
core::Grid CopyToGrid(const QString& text, const ImportLimits& limits = {},
                      const ImportProgress& progress = {});

// ReadTSVText and CopyToGrid.
core::Grid ReadTSVFile(const QString& path, const ImportLimits& limits = {},
                       const ImportProgress& progress = {});

// The first worksheet of a spreadsheet file (.xlsx or .xls), numbered. Throws core::Error
// when the file cannot be read or is beyond the limits.
core::Grid ReadSpreadsheet(const QString& path, const ImportLimits& limits = {});

// Row 0 gets the column numbers 1, 2, ... and column 0 the row numbers 1, 2, ...
void NumberGrid(core::Grid& grid);
// Column 0 numbered again from 1 (after rows were sorted or removed).
void NumberRows(core::Grid& grid);

} // namespace velmora::recording
