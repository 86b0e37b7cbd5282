#include "core/error.h"
#include "core/grid/gridsort.h"

#include <gtest/gtest.h>

using namespace velmora::core;

namespace {

// A grid from rows of cells; row 0 is the header.
Grid MakeGrid(const std::vector<QStringList>& rows) {
    Grid grid(int(rows.front().size()), int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r)
        grid.SetRow(r, rows[r]);
    return grid;
}

// One column of the grid from row 1 on.
QStringList Column(const Grid& grid, int col) {
    QStringList cells;
    for (int r = 1; r < grid.RowCount(); ++r)
        cells << grid.Cell(col, r);
    return cells;
}

QStringList L(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* t : texts)
        list << QString::fromUtf8(t);
    return list;
}

} // namespace

TEST(GridSort, ByTextAscendingAndDescendingMoveWholeRows) {
    Grid grid = MakeGrid({L({"name", "n"}), L({"pear", "1"}), L({"Apple", "2"}), L({"banana", "3"}),
                          L({"10 cherries", "4"})});
    SortGridByText(grid, 0, false);
    EXPECT_EQ(Column(grid, 0), L({"10 cherries", "Apple", "banana", "pear"}));
    EXPECT_EQ(Column(grid, 1), L({"4", "2", "3", "1"}));
    EXPECT_EQ(grid.Row(0), L({"name", "n"}));

    SortGridByText(grid, 0, true);
    // The alphabetically first key ends in the last row.
    EXPECT_EQ(Column(grid, 0), L({"pear", "banana", "Apple", "10 cherries"}));
    EXPECT_EQ(Column(grid, 1), L({"1", "3", "2", "4"}));
}

TEST(GridSort, EqualKeysAreOrderedByTheFullRowWhateverTheirStart) {
    const std::vector<QStringList> rows = {L({"k", "v"}), L({"b", "z"}), L({"a", "y"}),
                                           L({"B", "x"}), L({"a", "c"})};
    Grid grid = MakeGrid(rows);
    SortGridByText(grid, 0, false);
    // "b z" and "B x" tie on the key (case is ignored), and "B\nx" < "b\nz" ignoring case.
    QStringList got;
    for (int r = 1; r < grid.RowCount(); ++r)
        got << grid.RowText(r);
    EXPECT_EQ(got, L({"a\nc", "a\ny", "B\nx", "b\nz"}));

    // Reversed input gives the same result.
    Grid reversed = MakeGrid({rows[0], rows[4], rows[3], rows[2], rows[1]});
    SortGridByText(reversed, 0, false);
    EXPECT_EQ(reversed, grid);
}

TEST(GridSort, HeaderOnlyAndEmptyCells) {
    Grid header = MakeGrid({L({"only", "header"})});
    const Grid before = header;
    SortGridByText(header, 0, false);
    SortGridByInteger(header, 1, true);
    EXPECT_EQ(header, before);

    Grid grid = MakeGrid({L({"h"}), L({"b"}), L({""}), L({"a"})});
    SortGridByText(grid, 0, false);
    EXPECT_EQ(Column(grid, 0), L({"", "a", "b"}));
}

TEST(GridSort, FromAGivenRowLeavesTheRowsAboveInPlace) {
    Grid grid = MakeGrid({L({"h"}), L({"z"}), L({"y"}), L({"c"}), L({"a"}), L({"b"})});
    SortGridByTextFrom(grid, 0, 3);
    EXPECT_EQ(Column(grid, 0), L({"z", "y", "a", "b", "c"}));
    // A first row of 0 never moves the header.
    SortGridByTextFrom(grid, 0, 0);
    EXPECT_EQ(grid.Cell(0, 0), QStringLiteral("h"));
    EXPECT_EQ(Column(grid, 0), L({"a", "b", "c", "y", "z"}));
}

TEST(GridSort, TwoAndSevenColumnKeysAreTrimmedAndJoined) {
    Grid grid = MakeGrid(
        {L({"a", "b", "c"}), L({" x", "2 ", "1"}), L({"x", "10", "2"}), L({"w ", "9", "3"})});
    // Keys "x2", "x10", "w9": text order, so x10 before x2.
    SortGridByTwoColumns(grid, 0, 1, false);
    EXPECT_EQ(Column(grid, 2), L({"3", "2", "1"}));
    SortGridByTwoColumns(grid, 0, 1, true);
    EXPECT_EQ(Column(grid, 2), L({"1", "2", "3"}));

    // JAAR, MAAND, DAG, ID, LOCATIE, COORDX, DESMID as an export sorts them.
    Grid rows = MakeGrid({L({"DESMID", "JAAR", "MAAND", "DAG", "ID", "LOCATIE", "COORDX"}),
                          L({"Closterium", "2009", "03", "05", "2", "Ven", "155"}),
                          L({"Cosmarium", "2008", "12", "01", "7", "Plas", "120"}),
                          L({"Euastrum", "2009", "03", "05", "1", "Ven ", "155"}),
                          L({"Actinotaenium", "2009", "03", "05", "1", " Ven", "155"})});
    SortGridBySevenColumns(rows, {1, 2, 3, 4, 5, 6, 0});
    EXPECT_EQ(Column(rows, 0), L({"Cosmarium", "Actinotaenium", "Euastrum", "Closterium"}));
}

TEST(GridSort, ListedColumnsSkipZeroAndBelow) {
    Grid grid = MakeGrid({L({"#", "a", "b"}), L({"1", "q", "2"}), L({"2", "p", "9"}),
                          L({"3", "p", "1"}), L({"4", "a", "z"})});
    SortGridByColumns(grid, {0, 1, -1, 2}, 2);
    // Row 1 stays; rows 2..4 sort on column 1 then 2 (column 0 is left out).
    EXPECT_EQ(Column(grid, 0), L({"1", "4", "3", "2"}));
    EXPECT_THROW(SortGridByColumns(grid, {7}, 1), std::out_of_range);
}

TEST(GridSort, IntegerKeys) {
    EXPECT_EQ(IntegerSortKey(QStringLiteral(" 42 ")), QStringLiteral("000042"));
    EXPECT_EQ(IntegerSortKey(QString()), QStringLiteral("000000"));
    EXPECT_EQ(IntegerSortKey(QStringLiteral("1234567")), QStringLiteral("1234567"));
    EXPECT_EQ(IntegerSortKey(QStringLiteral("-5")), QStringLiteral("-000005"));

    Grid grid = MakeGrid({L({"n"}), L({"10"}), L({"9"}), L({""})});
    SortGridByInteger(grid, 0, false);
    EXPECT_EQ(Column(grid, 0), L({"", "9", "10"}));
    SortGridByInteger(grid, 0, true);
    EXPECT_EQ(Column(grid, 0), L({"10", "9", ""}));

    // Beyond the padding and below zero the order stays numeric.
    Grid wide =
        MakeGrid({L({"n"}), L({"1234567"}), L({"999999"}), L({"-10"}), L({"-5"}), L({" 0 "})});
    SortGridByInteger(wide, 0, false);
    EXPECT_EQ(Column(wide, 0), L({"-10", "-5", " 0 ", "999999", "1234567"}));
}

TEST(GridSort, DecimalKeysRoundToFourDigitsAndOneDecimal) {
    struct Case {
        const char* cell;
        const char* key;
    };
    const Case cases[] = {
        {"7.5", "0007,5"},    {"12,25", "0012,3"}, {"100", "0100,0"},     {"", "0000,0"},
        {"0.05", "0000,1"},   {"0,15", "0000,2"},  {"1234.56", "1235,0"}, {"99999", "100000,0"},
        {"9.9996", "0010,0"}, {"-7,5", "-0007,5"}, {"-0.01", "0000,0"},   {" 3 ", "0003,0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecimalSortKey(QString::fromUtf8(c.cell)), QString::fromUtf8(c.key)) << c.cell;
    EXPECT_DOUBLE_EQ(DecimalSortValue(QStringLiteral("12,25")), 12.3);

    Grid grid = MakeGrid(
        {L({"v", "id"}), L({"100", "a"}), L({"12,25", "b"}), L({"7.5", "c"}), L({"12.3", "d"})});
    SortGridByDecimal(grid, 0, false);
    // 12,25 and 12.3 share the key 0012,3 and are then ordered by their row text.
    EXPECT_EQ(Column(grid, 1), L({"c", "b", "d", "a"}));
    SortGridByDecimal(grid, 0, true);
    EXPECT_EQ(Column(grid, 1), L({"a", "d", "b", "c"}));
}

TEST(GridSort, NotANumberFailsAndLeavesTheGridUnchanged) {
    for (const char* bad : {"12a", "1.2.3", "1,000.5", "x"}) {
        Grid grid = MakeGrid({L({"n"}), L({"3"}), L({bad}), L({"1"})});
        const Grid before = grid;
        EXPECT_THROW(SortGridByDecimal(grid, 0, false), Error) << bad;
        EXPECT_THROW(SortGridByInteger(grid, 0, false), Error) << bad;
        EXPECT_EQ(grid, before);
    }
    Grid grid = MakeGrid({L({"n"}), L({"1.5"}), L({"1"})});
    EXPECT_THROW(SortGridByInteger(grid, 0, false), Error);
    EXPECT_THROW(SortGridByText(grid, 1, false), std::out_of_range);
}

TEST(GridSort, KeysHoldingTheEntrySeparatorDoNotCorruptRows) {
    Grid grid = MakeGrid({L({"k", "v"}), L({"b$@x", "1"}), L({"a$@", "2"})});
    SortGridByText(grid, 0, false);
    EXPECT_EQ(grid.Row(1), L({"a$@", "2"}));
    EXPECT_EQ(grid.Row(2), L({"b$@x", "1"}));
}

TEST(GridSort, CellsWithLineBreaksStayInTheirColumns) {
    Grid grid = MakeGrid({L({"k", "note"}), L({"b", "two\nlines"}), L({"a", "one"})});
    SortGridByText(grid, 0, false);
    EXPECT_EQ(grid.Row(2), L({"b", "two\nlines"}));
}
