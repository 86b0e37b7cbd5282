// The square window's map calibration, the km-square under a pixel and the chosen square.

#include "squares/squaremap.h"

#include "common/printers.h"

#include <gtest/gtest.h>

using namespace velmora::squares;

namespace {

const QSize kNederland(2800, 3250);

TEST(SquareMapCalibration, FileNames) {
    const struct {
        const char* name;
        bool read;
        double xLeft, yTop, xRight, yBottom;
    } cases[] = {
        {"Noord_0_625_280_300_.png", true, 0, 625, 280, 300},
        {"Noord_0_625_280_300_extra text.bmp", true, 0, 625, 280, 300},
        {"Noord_12,5_625_280_300_.png", true, 12.5, 625, 280, 300},
        // Metre-sized numbers are taken as they stand.
        {"Kaart_13000_625000_280000_300000_.png", true, 13000, 625000, 280000, 300000},
        {"Noord_0_625_280_300.png", false, 0, 0, 0, 0}, // no "_" after the fourth number
        {"Noord_0__280_300_.png", false, 0, 0, 0, 0},   // an empty piece
        {"Noord_0_a_280_300_.png", false, 0, 0, 0, 0},
        {"Noord.png", false, 0, 0, 0, 0},
        {"", false, 0, 0, 0, 0},
        {"Noord_0_625_0_300_.png", false, 0, 0, 0, 0}, // no width: no scale
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto cal = SquareMapCalibration::FromFileName(QString::fromUtf8(c.name), kNederland);
        ASSERT_EQ(cal.has_value(), c.read);
        if (!cal)
            continue;
        EXPECT_EQ(cal->edges.xLeft, c.xLeft);
        EXPECT_EQ(cal->edges.yTop, c.yTop);
        EXPECT_EQ(cal->edges.xRight, c.xRight);
        EXPECT_EQ(cal->edges.yBottom, c.yBottom);
    }
}

TEST(SquareMapCalibration, ScalesAndOffsetsAreUnrounded) {
    const auto cal = SquareMapCalibration::FromFileName("Noord_12,5_625_280_300_.png", kNederland);
    ASSERT_TRUE(cal);
    EXPECT_DOUBLE_EQ(cal->scaleX, 2800 / 267.5);
    EXPECT_DOUBLE_EQ(cal->scaleY, -10);
    EXPECT_DOUBLE_EQ(cal->offsetX, -12.5 * 2800 / 267.5);
    EXPECT_DOUBLE_EQ(cal->offsetY, 6250);
}

TEST(SquareAt, ClickGivesSquareAndEditTexts) {
    const auto cal = SquareMapCalibration::FromFileName("Noord_0_625_280_300_.png", kNederland);
    ASSERT_TRUE(cal);
    const struct {
        QPointF pixel;
        int x, y;
        const char* xText;
    } cases[] = {
        {{855, 672}, 85, 557, "085"},
        {{55, 672}, 5, 557, "005"},
        {{2345, 0}, 234, 624, "234"},
        // Halves go to the even neighbour: 860 / 10 - 0.5 = 85.5 -> 86, 870 -> 86.5 -> 86.
        {{860, 3250}, 86, 300, "086"},
        {{870, 3245}, 86, 300, "086"},
    };
    for (const auto& c : cases) {
        const auto square = SquareAt(*cal, c.pixel);
        ASSERT_TRUE(square);
        EXPECT_EQ(square->x(), c.x) << c.pixel.x();
        EXPECT_EQ(square->y(), c.y) << c.pixel.y();
        EXPECT_EQ(KmXText(square->x()), QString::fromLatin1(c.xText));
    }
    EXPECT_EQ(KmYText(557), "557");
    EXPECT_EQ(KmYText(7), "7");
    EXPECT_EQ(KmXText(1234), "1234");
}

TEST(ChooseSquare, KmCodeAsTypedHourCodeRounded) {
    const auto hour = ChooseSquare(SquareKind::Hour, "234", "558");
    ASSERT_TRUE(hour);
    EXPECT_EQ(hour->code, "230-555");
    EXPECT_EQ(hour->xText, "230");
    EXPECT_EQ(hour->yText, "555");
    const auto small = ChooseSquare(SquareKind::Hour, "7", "44");
    ASSERT_TRUE(small);
    EXPECT_EQ(small->code, "005-040");
    EXPECT_EQ(small->xText, "5");

    const auto km = ChooseSquare(SquareKind::Km, "085", "557");
    ASSERT_TRUE(km);
    EXPECT_EQ(km->code, "085-557");
    EXPECT_EQ(km->x, 85);

    EXPECT_FALSE(ChooseSquare(SquareKind::Km, "", "557"));
    EXPECT_FALSE(ChooseSquare(SquareKind::Hour, "23a", "557"));
}

} // namespace
