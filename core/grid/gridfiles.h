#pragma once
// Writing a grid for other programs: tab-separated text and the minimal spreadsheet file.
// Both write every row, the header row included, and replace the file through a temporary
// file, so a failed write leaves the old file whole.

#include "core/grid/grid.h"

#include <QByteArray>
#include <QString>

namespace velmora::core {

// One line per row, the cells joined with a tab, lines ended by CR LF, UTF-8 like every text
// file of the program. A cell's own tabs and line breaks (CR LF, LF, CR) are each written as
// one blank, so every line of the file is one grid row with ColCount() fields. A cell that
// begins with a quote (") is written quoted, its quotes doubled, as spreadsheet programs read
// such a field. An existing file is replaced without question. Throws Error (file + system reason)
// when the file cannot be written.
void SaveGridAsTSV(const Grid& grid, const QString& path);
// One cell as SaveGridAsTSV writes it.
QString TsvField(const QString& cell);

// The largest grid the minimal spreadsheet file holds (its row and column fields).
inline constexpr int kXlsMaxRows = 65536;
inline constexpr int kXlsMaxCols = 256;
// The longest cell text one label record holds, in bytes; longer texts are cut.
inline constexpr int kXlsMaxLabelBytes = 0xFFFF - 8;

// The minimal spreadsheet file: little-endian records of type (2 bytes), length of the data
// (2 bytes) and data. A beginning-of-file record (0x0809: version 0, worksheet 0x0010, build
// 0, year 0); one label record (0x0204) per cell, column by column and within a column row 0
// to the last: row, column, format 0, the text length n and n bytes of text in Windows-1252
// (characters that code page lacks become "?"), every cell written as text, empty ones too;
// an end-of-file record (0x000A, no data).
QByteArray MinimalXlsBytes(const Grid& grid);

// Writes MinimalXlsBytes to the path. When the file exists the user is asked (through the
// prompts) whether to overwrite it; No returns false with the file untouched, and the caller
// then abandons its whole operation without a message. Returns true when written. Throws
// Error when the grid is larger than the file can hold (before asking) or the file cannot be
// written.
[[nodiscard]] bool SaveGridAsXLS(const Grid& grid, const QString& path);

} // namespace velmora::core
