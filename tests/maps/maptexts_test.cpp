// Texts on the map: the rank word that stays upright in a legend, the stacking of lines in
// the corners, blank legend rows, the legend symbols, and taking all text off again.

#include "maps/maptexts.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <gtest/gtest.h>

using namespace velmora;

namespace {

TEST(MapTexts, TheFirstRankWordStaysUpright) {
    const struct {
        const char* text;
        const char* before;
        const char* word;
        const char* after;
    } cases[] = {
        {"Closterium moniliferum var. concavum  ", "Closterium moniliferum ", "var.",
         " concavum  "},
        {"Cosmarium #3  ", "Cosmarium ", "#", "3  "},
        {"Staurastrum forma cf. minor", "Staurastrum forma ", "cf.", " minor"}, // order of words
        {"Euastrum sensu lato", "Euastrum ", "sensu lato", ""},
        {"Closterium lunula  ", "Closterium lunula  ", "", ""},
    };
    for (const auto& c : cases) {
        const maps::LegendParts parts = maps::SplitRankWord(c.text);
        EXPECT_EQ(parts.before, c.before) << c.text;
        EXPECT_EQ(parts.word, c.word) << c.text;
        EXPECT_EQ(parts.after, c.after) << c.text;
    }
}

struct Texts : ::testing::Test {
    QImage map{600, 400, QImage::Format_RGB32};
    QFont font{QStringLiteral("DejaVu Sans"), 12};
    maps::MapTexts texts;
    int h = QFontMetrics(font).height();

    void SetUp() override { map.fill(Qt::white); }
    // Dark pixels in a band of rows.
    int DarkIn(int fromRow, int toRow) const {
        int dark = 0;
        for (int y = std::max(fromRow, 0); y < std::min(toRow, map.height()); ++y)
            for (int x = 0; x < map.width(); ++x)
                dark += qGray(map.pixel(x, y)) < 100;
        return dark;
    }
};

TEST_F(Texts, LinesStackUpwardInTheLowerCorners) {
    texts.SetCorner(maps::Corner::BottomRight);
    texts.PlaceFrequencyLines(map, "UF: 2 (5%)", "KF: 3 (2,5%)", font);
    // The first line at H - (8 + h), the second one line above it.
    EXPECT_EQ(texts.LineY(), 8 + 3 * h);
    EXPECT_GT(DarkIn(400 - 8 - h, 400 - 8), 0);
    EXPECT_GT(DarkIn(400 - 8 - 2 * h, 400 - 8 - h), 0);
    EXPECT_EQ(DarkIn(0, 400 - 8 - 3 * h), 0);
    texts.PlaceFrequencyLines(map, "UF", "KF", font);
    EXPECT_EQ(texts.LineY(), 8 + 6 * h);
    EXPECT_GT(DarkIn(400 - 8 - 5 * h, 400 - 8 - 3 * h), 0);

    // An upper corner starts at the top again and runs downward.
    texts.SetCorner(maps::Corner::TopLeft);
    texts.PlaceFrequencyLines(map, "", "KF", font);
    EXPECT_EQ(texts.LineY(), 8 + h); // an empty first line takes no room
}

TEST_F(Texts, BlankLegendRowsLeaveNoGapAndSymbolsAreDrawn) {
    std::array<maps::LegendRow, maps::kLegendRows> rows;
    rows[0] = {"Closterium lunula", {0x000000FF, 12, maps::Shape::FilledSquare, 0}};
    rows[1] = {"   ", {}};
    rows[3] = {"Cosmarium botrytis var. tumidum", {0x00FF0000, 12, maps::Shape::FilledSquare, 0}};
    texts.SetCorner(maps::Corner::TopRight);
    texts.PlaceLegend(map, rows, font);
    const int lineY = 8 + int(std::nearbyint(h * 0.33));
    EXPECT_EQ(texts.LineY(), lineY + 2 * int(std::nearbyint(h * 0.8)));
    // Each symbol left of its text, centred on the line's middle, in its colour.
    const int w = QFontMetrics(font).horizontalAdvance("Cosmarium botrytis var. tumidum  ");
    const int symbolX = 600 - w - (12 + 2);
    EXPECT_EQ(map.pixel(symbolX, lineY + h / 2) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(map.pixel(symbolX, lineY + int(std::nearbyint(h * 0.8)) + h / 2) & 0xFFFFFF,
              0x0000FFu);
}

TEST_F(Texts, UndoTakesEveryTextOff) {
    const QImage before = map.copy();
    EXPECT_FALSE(texts.Undo(map));
    texts.PlaceFrequencyLines(map, "UF", "KF", font);
    texts.PlaceFrequencyLines(map, "UF", "KF", font);
    EXPECT_NE(map, before);
    EXPECT_TRUE(texts.Undo(map));
    EXPECT_EQ(map, before);
    EXPECT_EQ(texts.LineY(), 8);
    EXPECT_FALSE(texts.Undo(map));
}

} // namespace
