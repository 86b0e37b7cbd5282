#include "core/grid/grid.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

using namespace velmora::core;

TEST(Grid, RowsTakenOutAndPutBackWhole) {
    Grid grid(3, 2);
    grid.SetRow(1, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    EXPECT_EQ(grid.RowText(1), QStringLiteral("a\nb\nc"));
    grid.SetRowText(0, grid.RowText(1));
    EXPECT_EQ(grid.Row(0), grid.Row(1));
    // Short rows are filled with empty cells, long ones cut to the grid's width.
    grid.SetRowText(1, QStringLiteral("x\r\ny"));
    EXPECT_EQ(grid.Row(1), QStringList({QStringLiteral("x"), QStringLiteral("y"), QString()}));
    grid.SetRow(
        1, {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")});
    EXPECT_EQ(grid.Row(1).size(), 3);
}

TEST(Grid, ResizingKeepsCellsAndOutOfRangeThrows) {
    Grid grid(2, 2);
    grid.SetCell(1, 1, QStringLiteral("kept"));
    grid.SetColCount(4);
    grid.SetRowCount(5);
    EXPECT_EQ(grid.Cell(1, 1), QStringLiteral("kept"));
    EXPECT_EQ(grid.Cell(3, 4), QString());
    EXPECT_EQ(grid.Row(4).size(), 4);
    EXPECT_THROW(grid.Cell(4, 0), std::out_of_range);
    EXPECT_THROW(grid.SetCell(0, 5, QString()), std::out_of_range);
    EXPECT_THROW(grid.Row(-1), std::out_of_range);
    grid.SetColCount(1);
    EXPECT_THROW(grid.Cell(1, 1), std::out_of_range);
}

TEST(Grid, AutoSizeColumnsUsesTheFontAndTheBounds) {
    Grid grid(3, 3);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    grid.SetFont(font);
    const QString wide = QStringLiteral("Staurastrum punctulatum var. pygmaeum");
    grid.SetCell(0, 0, QStringLiteral("Naam"));
    grid.SetCell(0, 2, wide);
    grid.SetCell(1, 1, QStringLiteral("i"));
    grid.SetCell(2, 1, QString(200, QLatin1Char('W')));
    AutoSizeColumns(grid, 1000);
    const QFontMetrics metrics(font);
    EXPECT_EQ(grid.ColWidth(0), metrics.horizontalAdvance(wide) + 5);
    EXPECT_EQ(grid.ColWidth(1), 10 + 5); // narrower than the minimum
    grid.SetCell(2, 1, QString(400, QLatin1Char('W')));
    AutoSizeColumns(grid, 300);
    EXPECT_EQ(grid.ColWidth(2), 300 + 5); // wider than the maximum
    EXPECT_EQ(grid.PreferredWidth(), grid.ColWidth(0) + grid.ColWidth(1) + grid.ColWidth(2) + 12);
    EXPECT_GT(grid.ColWidth(0), metrics.horizontalAdvance(QStringLiteral("Naam")) + 5);
}
