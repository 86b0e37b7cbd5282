#pragma once
// Sorting the data rows of a grid. Row 0 (the header) never moves; every row moves whole.
//
// Each row in range gets a key built from some of its cells. Rows are ordered by key in the
// program's text order (CompareText: case-insensitive, digits before letters); rows with
// equal keys are ordered by their full row text (the cells joined with line breaks) in the
// same order, and finally by the exact text, so the result never depends on where the rows
// were before. Descending puts the row that sorts first into the last data row.
//
// The integer and decimal sorts pad their keys to a common width so that the texts sort
// like numbers (IntegerSortKey, DecimalSortKey); they compare those keys by their numeric
// value, which gives the padded texts' order wherever that order is numeric and stays right
// for negative numbers and for numbers wider than the padding.
//
// Columns outside the grid throw std::out_of_range. The numeric sorts throw Error with the
// conversion message on a cell that is not a number; the grid is then unchanged.

#include "core/grid/grid.h"

#include <QList>
#include <QString>
#include <array>

namespace velmora::core {

// Key: the cell of the column, unchanged. Rows 1 to last.
void SortGridByText(Grid& grid, int column, bool descending);
// Key: the cell of the column, unchanged. Rows firstRow (at least 1) to last, ascending.
void SortGridByTextFrom(Grid& grid, int column, int firstRow);
// Key: the two cells, each trimmed, joined. Rows 1 to last.
void SortGridByTwoColumns(Grid& grid, int column1, int column2, bool descending);
// Key: the seven cells, each trimmed, joined in the given order. Rows 1 to last, ascending.
void SortGridBySevenColumns(Grid& grid, const std::array<int, 7>& columns);
// Key: the cells of the listed columns joined in list order; entries of 0 or less are
// skipped. Rows firstRow (at least 1) to last, ascending.
void SortGridByColumns(Grid& grid, const QList<int>& columns, int firstRow);
// Key: IntegerSortKey of the cell. Rows 1 to last.
void SortGridByInteger(Grid& grid, int column, bool descending);
// Key: DecimalSortKey of the cell. Rows 1 to last.
void SortGridByDecimal(Grid& grid, int column, bool descending);

// The trimmed cell (empty counts as "0") read as a whole number and written with at least
// 6 digits, zero-padded: "42" gives "000042", "-5" gives "-000005". Throws Error when the
// cell is not a whole number.
QString IntegerSortKey(const QString& cell);
// The value behind DecimalSortKey: the trimmed cell (empty counts as "0") with its first "."
// turned into "," read as a decimal number with "," as separator, rounded to 4 significant
// digits and then to 1 decimal (halves away from zero, on the decimal digits as written).
// Throws Error when the cell is not a number.
double DecimalSortValue(const QString& cell);
// DecimalSortValue in fixed notation with 1 decimal and "," as separator, left-padded with
// "0" to 6 characters: 7.5 gives "0007,5", 12,25 gives "0012,3", 100 gives "0100,0".
QString DecimalSortKey(const QString& cell);

} // namespace velmora::core
