#include "core/coordinates.h"
#include "core/error.h"

#include <gtest/gtest.h>
#include <set>
#include <vector>

using namespace velmora::core;

namespace velmora::core {
void PrintTo(const SquareCodePair& p, std::ostream* os) {
    *os << "[" << p.kxy.toStdString() << "|" << p.uxy.toStdString() << "]";
}
} // namespace velmora::core

namespace {

TEST(Coordinates, SquareCodesKmBased) {
    struct Case {
        const char *x, *y, *language, *kxy, *uxy;
    };
    const Case cases[] = {
        {"162,4", "458,9", "EN", "162-458", "160-455"},
        {"162.4", "458.9", "NL", "162-458", "160-455"},
        {"162400", "458900", "EN", "162-458", "160-455"},
        {"3245", "23", "NL", "162-458", "160-455"},
        {"3245", "23", "EN", "003-000", "000-000"}, // metres outside "NL"
        {"3245", "0", "NL", "160-455", "160-455"},
        {"", "458", "NL", "000-000", "000-000"},
        {"0,4", "458", "EN", "000-000", "000-000"},
        {"7", "303", "EN", "007-303", "005-300"},
        {"9999", "23", "NL", "000-000", "000-000"}, // sheet 99 does not exist
        {"9999", "0", "NL", "000-000", "000-000"},
        {"45", "0", "NL", "000-000", "000-000"},      // sheet 0
        {"4751", "11", "NL", "-020-379", "-020-375"}, // sheet 47 lies west of x = 0
    };
    for (const Case& c : cases)
        EXPECT_EQ(SquareCodes(c.x, c.y, kKmBased, c.language), (SquareCodePair{c.kxy, c.uxy}))
            << c.x << " " << c.y << " " << c.language;
    EXPECT_EQ(SquareCodes("162", "458", "", "NL"), SquareCodePair{});
}

TEST(Coordinates, SquareCodesLatLon) {
    EXPECT_EQ(SquareCodes("5.5", "52.25", kLatLon, "EN"), (SquareCodePair{"   5:30", " 52:030"}));
    EXPECT_EQ(SquareCodes("5,5", "52,25", kLatLon, "NL"), (SquareCodePair{"   5:30", " 52:030"}));
    EXPECT_EQ(SquareCodes("0", "52.25", kLatLon, "EN"), (SquareCodePair{"0.00", "0.000"}));
    EXPECT_EQ(SquareCodes("-0.5", "52.25", kLatLon, "EN").kxy, "   0:30");
    EXPECT_EQ(SquareCodes("-70.75", "-33.5", kLatLon, "EN"),
              (SquareCodePair{" -70:45", "-33:060"}));
}

TEST(Coordinates, BadTextIsAConversionError) {
    EXPECT_THROW(SquareCodes("abc", "458", kKmBased, "EN"), Error);
    EXPECT_THROW(SquareCodes("162", "4x", kKmBased, "EN"), Error);
    EXPECT_THROW(ParseCoordinate("1,234.5"), Error);
    EXPECT_DOUBLE_EQ(ParseCoordinate(" 162,4 "), 162.4);
}

TEST(Coordinates, NumbersTooLargeForACoordinateAreConversionErrors) {
    for (const char* text : {"1e258", "-1e300", "1e13", "inf", "nan"}) {
        for (const QString& system : {kKmBased, kLatLon})
            EXPECT_THROW(SquareCodes(text, "450", system, "EN"), Error) << text;
        EXPECT_THROW(SquareCodes("160", text, kKmBased, "NL"), Error) << text;
    }
    EXPECT_NO_THROW(SquareCodes("160000", "450000", kKmBased, "EN"));
}

TEST(Coordinates, AtlasSheetTable) {
    const auto& s = AtlasSheets();
    EXPECT_EQ(s[0].westX, 140);
    EXPECT_EQ(s[2].westX, 220);
    EXPECT_EQ(s[7].westX, 260); // sheet 8
    EXPECT_EQ(s[7].northY, 600);
    EXPECT_EQ(s[31].westX, 140); // sheet 32
    EXPECT_EQ(s[31].northY, 475);
    EXPECT_EQ(s[51].westX, 180); // sheet 52
    EXPECT_EQ(s[61].westX, 180); // sheet 62
    EXPECT_EQ(s[61].northY, 325);
    EXPECT_EQ(AtlasToRD(3245, 23), (std::pair<double, double>{162, 458}));
    EXPECT_EQ(AtlasToRD(3245, 0), (std::pair<double, double>{162, 457}));
    EXPECT_EQ(AtlasToRD(6300, 11), (std::pair<double, double>{0, 0}));
    EXPECT_EQ(AtlasToRD(-100, 11), (std::pair<double, double>{0, 0}));
}

TEST(Coordinates, AtlasNotationNamesEveryKmSquareOnce) {
    // Every km-square number of every block of every sheet, read under "NL", is a km-square
    // of its own inside its block: the sheets neither overlap nor leave gaps. Number 0 names
    // a square of the same block.
    auto parse = [](const QString& code) { // "xxx-yyy", a minus sign before a negative number
        const qsizetype dash = code.indexOf('-', 1);
        return std::pair<int, int>{code.left(dash).toInt(), code.mid(dash + 1).toInt()};
    };
    std::vector<int> numbers{0};
    for (int row = 1; row <= 5; ++row)
        for (int column = 1; column <= 5; ++column)
            numbers.push_back(row * 10 + column);
    std::set<QString> seen;
    for (int sheet = 1; sheet <= 62; ++sheet) {
        const AtlasSheet& s = AtlasSheets()[static_cast<std::size_t>(sheet - 1)];
        for (int row = 1; row <= 5; ++row) {
            for (int column = 1; column <= 8; ++column) {
                const int code = sheet * 100 + row * 10 + column;
                const int west = s.westX + (column - 1) * 5;
                const int north = s.northY - (row - 1) * 5;
                for (int number : numbers) {
                    const SquareCodePair codes =
                        SquareCodes(QString::number(code), QString::number(number), kKmBased, "NL");
                    const auto [x, y] = parse(codes.kxy);
                    ASSERT_TRUE(x >= west && x < west + 5 && y >= north - 5 && y < north)
                        << code << " " << number << " gave " << codes.kxy.toStdString();
                    // The block's south-west corner is the UXY of its squares (east of x = 0:
                    // the codes truncate toward zero).
                    if (west >= 0) {
                        EXPECT_EQ(parse(codes.uxy), (std::pair<int, int>{west, north - 5}))
                            << code << " " << number;
                    }
                    if (number != 0) {
                        EXPECT_TRUE(seen.insert(codes.kxy).second)
                            << code << " " << number << " names " << codes.kxy.toStdString()
                            << " again";
                    }
                }
            }
        }
    }
    EXPECT_EQ(seen.size(), 62u * 40 * 25);
}

TEST(Coordinates, RDToLatLonAtAmersfoort) {
    const auto [lat, lon] = RDToLatLon(155, 463);
    EXPECT_NEAR(lat, 52.1551744, 1e-7);
    EXPECT_NEAR(lon, 5.38720621, 1e-8);
    const auto [lat2, lon2] = RDToLatLon(233, 582); // Groningen
    EXPECT_NEAR(lat2, 53.22, 0.01);
    EXPECT_NEAR(lon2, 6.555, 0.005);
}

TEST(Coordinates, DegreesAndBlocks) {
    EXPECT_DOUBLE_EQ(ParseDegrees("5:30"), 5.5);
    EXPECT_DOUBLE_EQ(ParseDegrees("-0:30"), -0.5);
    EXPECT_DOUBLE_EQ(ParseDegrees("-5:30"), -5.5);
    EXPECT_DOUBLE_EQ(ParseDegrees("52,25"), 52.25);
    EXPECT_DOUBLE_EQ(ParseDegrees("52.25"), 52.25);
    EXPECT_THROW(ParseDegrees("5:xx"), Error);
    EXPECT_EQ(LatLonBlockCode("   5:33", " 52:047"), " 52:045   5:30");
}

} // namespace
