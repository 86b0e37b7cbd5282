#pragma once
// Coordinate texts and the square codes derived from them.
//
// A location carries two free coordinate texts (COORDX, COORDY). Every sample stores the
// location's km-square KXY and atlas block UXY (the 5 x 5 km "uurhok"). How the texts are
// read depends on the database's coordinate system:
//  - "km-based": Dutch national grid (RD) in km or metres, or, while the interface language is
//    "NL", the atlas notation (sheet * 100 + block, and a km-square number 11..55 or 0);
//  - "LatLon": longitude and latitude in degrees;
//  - empty: no codes.

#include <QString>
#include <array>
#include <utility>

namespace velmora::core {

inline const QString kKmBased = QStringLiteral("km-based");
inline const QString kLatLon = QStringLiteral("LatLon");

// A coordinate text as a number: empty (or blank) is 0; "." is the decimal separator when the
// text holds one, "," otherwise. Throws Error when the text is not a number, or a number
// beyond 10^12 in size (no coordinate is).
double ParseCoordinate(const QString& text);

struct AtlasSheet {
    int westX;  // km
    int northY; // km
};
// The west edge and north edge of map sheets 1..62 (index 0 is sheet 1).
const std::array<AtlasSheet, 62>& AtlasSheets();

// The south-west corner of a km-square given in atlas notation, in RD km; for number 0 a
// point 2 km east and 3 km south of the block's north-west corner. A sheet outside 1..62
// gives (0, 0), which the square codes turn into "000-000"; block and square digits outside
// the grid are used as they are (the point then lies outside the block).
std::pair<double, double> AtlasToRD(int atlasCode, int squareNumber);

struct SquareCodePair {
    QString kxy;
    QString uxy;
    bool operator==(const SquareCodePair&) const = default;
};

// KXY and UXY of a location for a coordinate system and interface language. Throws Error
// when a text is not a number.
SquareCodePair SquareCodes(const QString& coordX, const QString& coordY,
                           const QString& coordinateSystem, const QString& language);

// RD (km) to WGS84 latitude and longitude in degrees, by the published polynomial.
std::pair<double, double> RDToLatLon(double xKm, double yKm);

// "d:m" as degrees and minutes (negative when the text begins with "-"), otherwise a decimal
// number with "," or "." as separator. Throws Error on bad input.
double ParseDegrees(const QString& text);

// The 5 arc-minute by 2.5 arc-minute block of a "LatLon" sample.
QString LatLonBlockCode(const QString& kxy, const QString& uxy);

} // namespace velmora::core
