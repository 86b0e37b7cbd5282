#include "core/grid/grid.h"

#include <QFontMetrics>
#include <QRegularExpression>
#include <algorithm>
#include <stdexcept>

namespace velmora::core {

Grid::Grid(int colCount, int rowCount) {
    Reset(colCount, rowCount);
}

void Grid::SetColCount(int count) {
    if (count < 0)
        throw std::out_of_range("Grid::SetColCount: negative count");
    for (QStringList& row : m_rows)
        row.resize(count);
    m_colWidths.resize(count, kDefaultColWidth);
    m_colCount = count;
}

void Grid::SetRowCount(int count) {
    if (count < 0)
        throw std::out_of_range("Grid::SetRowCount: negative count");
    m_rows.resize(count);
    for (QStringList& row : m_rows)
        row.resize(m_colCount);
}

void Grid::Reset(int colCount, int rowCount) {
    if (colCount < 0 || rowCount < 0)
        throw std::out_of_range("Grid::Reset: negative size");
    m_rows.assign(rowCount, QStringList());
    m_colCount = 0;
    SetColCount(colCount);
}

void Grid::CheckCol(int col) const {
    if (col < 0 || col >= m_colCount)
        throw std::out_of_range("Grid: column " + std::to_string(col) + " outside 0.." +
                                std::to_string(m_colCount - 1));
}

void Grid::CheckRow(int row) const {
    if (row < 0 || row >= RowCount())
        throw std::out_of_range("Grid: row " + std::to_string(row) + " outside 0.." +
                                std::to_string(RowCount() - 1));
}

const QString& Grid::Cell(int col, int row) const {
    CheckCol(col);
    CheckRow(row);
    return m_rows[row][col];
}

void Grid::SetCell(int col, int row, const QString& text) {
    CheckCol(col);
    CheckRow(row);
    m_rows[row][col] = text;
}

const QStringList& Grid::Row(int row) const {
    CheckRow(row);
    return m_rows[row];
}

void Grid::SetRow(int row, QStringList cells) {
    CheckRow(row);
    cells.resize(m_colCount);
    m_rows[row] = std::move(cells);
}

QString Grid::RowText(int row) const {
    return Row(row).join(QLatin1Char('\n'));
}

void Grid::SetRowText(int row, const QString& text) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    SetRow(row, text.split(lineBreak));
}

int Grid::ColWidth(int col) const {
    CheckCol(col);
    return m_colWidths[col];
}

void Grid::SetColWidth(int col, int width) {
    CheckCol(col);
    m_colWidths[col] = width;
}

void AutoSizeColumns(Grid& grid, int maxWidth) {
    const QFontMetrics metrics(grid.Font());
    int total = 0;
    for (int col = 0; col < grid.ColCount(); ++col) {
        int widest = 0;
        for (int row = 0; row < grid.RowCount(); ++row) {
            const QString& text = grid.Cell(col, row);
            if (text.isEmpty())
                continue;
            for (const QString& line : text.split(QLatin1Char('\n')))
                widest = std::max(widest, metrics.horizontalAdvance(line));
        }
        int width = std::max(10, std::min(widest, maxWidth)) + 5;
        grid.SetColWidth(col, width);
        total += width;
    }
    grid.SetPreferredWidth(total + 12);
}

} // namespace velmora::core
