// Map file names and calibration: the edges read from a name, the pixel of a map position,
// the two-point calibration and the name of the calibrated copy.

#include "core/coordinates.h"
#include "maps/mapcalibration.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::maps;

namespace {

TEST(MapCalibration, ScalesOffsetsAndThePixelOfAPosition) {
    const auto c = MapCalibration::FromEdges({150, 500, 250, 400}, QSize(1000, 500));
    ASSERT_TRUE(c);
    EXPECT_DOUBLE_EQ(c->scaleX, 10);
    EXPECT_DOUBLE_EQ(c->scaleY, -5);
    EXPECT_EQ(c->offsetX, -1500); // -Trunc(1500.5)
    EXPECT_EQ(c->offsetY, 2499);  // -Trunc(-2499.5): toward zero, not down
    EXPECT_EQ(c->Pixel(155, 480), QPoint(50, 100));
    // The right and bottom edges lie at column = width and row = height.
    EXPECT_EQ(c->Pixel(250, 400), QPoint(1000, 500));
    // Far beyond any picture: no pixel rather than an overflowing one.
    EXPECT_FALSE(c->Pixel(1e300, 480));
    EXPECT_FALSE(c->Pixel(155, -1e12));
}

TEST(MapCalibration, EdgesWithoutWidthOrHeightGiveNoCalibration) {
    EXPECT_FALSE(MapCalibration::FromEdges({150, 500, 150, 400}, QSize(1000, 500)));
    EXPECT_FALSE(MapCalibration::FromEdges({150, 500, 250, 500}, QSize(1000, 500)));
    // Numbers that put the picture a billion pixels from the origin are not a map either.
    EXPECT_FALSE(MapCalibration::FromEdges({1e12, 500, 1e12 + 1, 400}, QSize(1000, 500)));
}

TEST(MapCalibration, EdgesFromFileNames) {
    struct Case {
        const char* name;
        QString system;
        std::optional<MapEdges> edges;
    } cases[] = {
        {"Kaart_150_500_250_400_.bmp", core::kKmBased, MapEdges{150, 500, 250, 400}},
        // Metres: the bottom above 300000 and the left above 5000.
        {"Kaart_150000_500000_250000_400000_.bmp", core::kKmBased, MapEdges{150, 500, 250, 400}},
        {"Kaart_150000_500000_250000_400000_.bmp", core::kLatLon,
         MapEdges{150000, 500000, 250000, 400000}},
        // A left edge of at most 5000 keeps the numbers as they are.
        {"Kaart_5000_500000_250000_400000_.bmp", core::kKmBased,
         MapEdges{5000, 500000, 250000, 400000}},
        {"Kaart_5,25_53,5_7,5_52,25_.png", core::kLatLon, MapEdges{5.25, 53.5, 7.5, 52.25}},
        {"Kaart_-1.5_53_7_52_extra.jpg", core::kLatLon, MapEdges{-1.5, 53, 7, 52}},
        {"Kaart_150_500_250_400.bmp", core::kKmBased, std::nullopt}, // no "_" after the last
        {"Kaart.bmp", core::kKmBased, std::nullopt},
        {"Kaart__500_250_400_.bmp", core::kKmBased, std::nullopt}, // an empty piece
        {"Kaart_15O_500_250_400_.bmp", core::kKmBased, std::nullopt},
        {"Kaart_1,5.0_500_250_400_.bmp", core::kKmBased, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<MapEdges> edges = EdgesFromFileName(QString::fromUtf8(c.name));
        ASSERT_EQ(edges.has_value(), c.edges.has_value());
        if (edges) {
            EXPECT_EQ(EdgesInKilometres(*edges, c.system), *c.edges);
        }
    }
}

TEST(MapCalibration, TwoPointsGiveTheEdgesAndTheFileName) {
    const CalibrationResult r =
        ComputeEdges({QPoint(100, 100), 150, 450}, {QPoint(601, 351), 200, 425}, QSize(1000, 800));
    ASSERT_EQ(r.check, CalibrationCheck::Ok);
    EXPECT_NEAR(r.edges.xLeft, 140, 1e-9);
    EXPECT_NEAR(r.edges.yTop, 460.1, 1e-9);
    EXPECT_NEAR(r.edges.xRight, 240, 1e-9);
    EXPECT_NEAR(r.edges.yBottom, 380.1, 1e-9);
    EXPECT_EQ(CalibratedFileName("Kaart", r.edges, core::kKmBased, ".png"),
              "Kaart_140.000_460.100_240.000_380.100_.png");
}

TEST(MapCalibration, FileNameNumbers) {
    EXPECT_EQ(
        CalibratedFileName("Drenthe", {205.123, 575.4, 270.456, 520.3}, core::kKmBased, ".png"),
        "Drenthe_205.123_575.400_270.456_520.300_.png");
    // Metres (top above 300000) without decimals, six significant digits.
    EXPECT_EQ(CalibratedFileName("M", {150000.4, 500123.7, 250000, 400000}, core::kKmBased, ".bmp"),
              "M_150000_500124_250000_400000_.bmp");
    // Degrees: six significant digits, padded to five decimals.
    EXPECT_EQ(CalibratedFileName("L", {5.123456, 53.5, -7.25, 52.1234567}, core::kLatLon, ".jpg"),
              "L_5.12346_53.50000_-7.25000_52.12350_.jpg");
    // A name with the numbers read back gives the same edges.
    const MapEdges edges{3.25, 53.75, 7.125, 50.5};
    EXPECT_EQ(EdgesFromFileName(CalibratedFileName("R", edges, core::kLatLon, ".png")), edges);
}

TEST(MapCalibration, PointsTooCloseOrWithoutExtentAreRefused) {
    const QSize size(1000, 800);
    const struct {
        QPoint second;
        double x2;
        double y2;
        CalibrationCheck check;
    } cases[] = {
        {QPoint(101, 351), 200, 425, CalibrationCheck::PointsTooClose}, // divisor 0
        {QPoint(100, 351), 200, 425, CalibrationCheck::PointsTooClose},
        {QPoint(99, 351), 200, 425, CalibrationCheck::PointsTooClose},
        {QPoint(601, 101), 200, 425, CalibrationCheck::PointsTooClose},
        {QPoint(102, 351), 200, 425, CalibrationCheck::Ok},
        {QPoint(601, 351), 150, 425, CalibrationCheck::NoExtent}, // the same x typed twice
        {QPoint(601, 351), 200, 450, CalibrationCheck::NoExtent},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.second.x());
        EXPECT_EQ(ComputeEdges({QPoint(100, 100), 150, 450}, {c.second, c.x2, c.y2}, size).check,
                  c.check);
    }
}

TEST(MapCalibration, ClicksInAFittedPictureCountAtFullSize) {
    EXPECT_EQ(FullSizePixel(QPoint(50, 50), QSize(1000, 800), QSize(500, 400)), QPoint(100, 100));
    // Halves go to the even neighbour: 3 * 3 / 2 = 4.5 -> 4 and 5 * 3 / 2 = 7.5 -> 8.
    EXPECT_EQ(FullSizePixel(QPoint(3, 5), QSize(3, 3), QSize(2, 2)), QPoint(4, 8));
    // Shown at full size: unchanged.
    EXPECT_EQ(FullSizePixel(QPoint(7, 9), QSize(1000, 800), QSize()), QPoint(7, 9));
}

TEST(MapCalibration, NamesProposedAndMadeSafe) {
    EXPECT_EQ(ProposedMapName("Nederland_0_625_280_300_.png"), "Nederland");
    EXPECT_EQ(ProposedMapName("Gebied.png"), "Gebied.png");
    EXPECT_EQ(SafeFileName(R"(a/b\c:d*e?f"g<h>i|j_k)"), "a_b_c_d_e_f_g_h_i_j_k");
    // A typed "_" would end the name before the numbers; no separator may leave the folder.
    EXPECT_EQ(CalibrationNamePart("Noord_Holland/../x"), "Noord-Holland-..-x");
}

TEST(MapCalibration, RoundHalfEven) {
    for (const auto& [value, rounded] : {std::pair{0.5, 0.0},
                                         {1.5, 2.0},
                                         {2.5, 2.0},
                                         {-0.5, 0.0},
                                         {-1.5, -2.0},
                                         {2.4, 2.0},
                                         {2.6, 3.0}})
        EXPECT_EQ(RoundHalfEven(value), rounded) << value;
}

} // namespace
