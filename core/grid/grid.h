#pragma once
// A table of text cells: what the result windows show and what the text, spreadsheet and
// print exports receive. Cells are addressed by column and row, both from 0; row 0 holds the
// column headers, rows 1 and up the data.
//
// Invariants: every row holds exactly ColCount() cells; RowCount() >= 0. Rows are stored
// whole, so taking a row out and putting it back (as sorting does) moves its cells together
// and costs no per-cell work.
//
// Addressing a cell or row outside the grid is a programming error and throws
// std::out_of_range; nothing is silently read as empty or written nowhere.

#include <QFont>
#include <QString>
#include <QStringList>
#include <vector>

namespace velmora::core {

class Grid {
public:
    static constexpr int kDefaultColWidth = 64;

    Grid() = default;
    Grid(int colCount, int rowCount);

    int ColCount() const { return m_colCount; }
    int RowCount() const { return static_cast<int>(m_rows.size()); }
    // Growing adds empty cells; shrinking drops the cells beyond the new size.
    void SetColCount(int count);
    void SetRowCount(int count);
    // Both sizes at once; all cells empty.
    void Reset(int colCount, int rowCount);

    const QString& Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);

    // A whole row, ColCount() cells.
    const QStringList& Row(int row) const;
    // Puts a row back: missing cells become empty, surplus cells are dropped.
    void SetRow(int row, QStringList cells);

    // A row as one text: its cells joined with line breaks ("\n").
    QString RowText(int row) const;
    // The reverse of RowText: the text split at line breaks (CR LF, LF or CR), one part per
    // cell from column 0. A cell that itself holds a line break does not survive this round
    // trip; code that moves rows uses Row/SetRow.
    void SetRowText(int row, const QString& text);

    // Display: column widths in pixels, the font the cells are drawn in and the total width
    // a window needs to show every column (set by AutoSizeColumns).
    int ColWidth(int col) const;
    void SetColWidth(int col, int width);
    const QFont& Font() const { return m_font; }
    void SetFont(const QFont& font) { m_font = font; }
    int PreferredWidth() const { return m_preferredWidth; }
    void SetPreferredWidth(int width) { m_preferredWidth = width; }

    bool operator==(const Grid& other) const {
        return m_colCount == other.m_colCount && m_rows == other.m_rows;
    }

private:
    void CheckCol(int col) const;
    void CheckRow(int row) const;

    int m_colCount = 0;
    std::vector<QStringList> m_rows;
    std::vector<int> m_colWidths;
    QFont m_font;
    int m_preferredWidth = 0;
};

// For every column, the width of its widest cell text in the grid's font (at least 10
// pixels, at most maxWidth) plus 5 pixels becomes the column width; the sum of all column
// widths plus 12 becomes the grid's preferred width. A cell with line breaks counts with its
// widest line.
void AutoSizeColumns(Grid& grid, int maxWidth);

} // namespace velmora::core
