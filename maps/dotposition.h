#pragma once
// Where a location's dot goes: its stored coordinate texts as a map position, exact or moved
// to the centre of its square, and which symbol it gets.
//
// In a km-based database under the Dutch coordinate rules (on while the interface language
// is "NL"), values above 300000 are metres, a y of at most 55 means atlas-block notation
// (block code and km-square number, 0 for the whole block), and a position outside the
// Netherlands (x 14 to 280, y 300 to 620 km) is reported but still drawn. Without the Dutch
// rules every pair is ordinary km coordinates. In a "LatLon" database x is the longitude and
// y the latitude in decimal degrees.

#include <QString>

namespace velmora::maps {

// The placement buttons "precies", "km-hok" ("per hok" in a "LatLon" database) and
// "uurhok" (km-based only).
enum class Placement {
    Exact,
    KmSquare,   // the centre of the km-square; in a "LatLon" database of its cell of 1 minute
                // of longitude by half a minute of latitude
    HourSquare, // the centre of the 5 x 5 km atlas block (km-based; exact in "LatLon")
};

struct PlacementRules {
    QString coordinateSystem; // "km-based" or "LatLon" (core::kKmBased, core::kLatLon)
    bool dutchRules = false;  // the interface language was "NL" when the window was shown
    Placement placement = Placement::Exact;
};

// What is drawn for the record.
enum class SymbolKind {
    SlotShape,         // the style's shape
    KmSquareOutline,   // the outline of the km-square (atlas notation)
    HourSquareOutline, // the outline of the atlas block (atlas notation)
};

enum class PositionStatus {
    Ok,
    CoordinateError, // unreadable coordinates: reported, nothing drawn
    OutsideRange,    // Dutch rules, outside the Netherlands: reported, drawn all the same
};

struct DotPosition {
    PositionStatus status = PositionStatus::Ok;
    double x = 0; // map coordinates (km or degrees), valid unless CoordinateError
    double y = 0;
    SymbolKind kind = SymbolKind::SlotShape;
};

// The position of a location from its COORDX and COORDY texts (trimmed, "," the decimal
// separator when the text holds one, "." otherwise). An empty or unreadable text, under the
// Dutch rules a y above 300000 with an x not above 5000, and atlas notation naming a map
// sheet the atlas does not have are coordinate errors.
DotPosition PlaceLocation(const QString& coordX, const QString& coordY,
                          const PlacementRules& rules);

// The position of a location for an export in longitude and latitude (the KML file). As
// PlaceLocation, except that under the Dutch rules every y below 60 is atlas notation (the
// dot map stops at 55), a whole block (number 0) stands for its centre, and the placement
// moves atlas positions to the centre of their square as it moves every other position.
// Nothing is checked against the extent of the Netherlands; the status is Ok or
// CoordinateError and the kind always SlotShape.
DotPosition PlaceForExport(const QString& coordX, const QString& coordY,
                           const PlacementRules& rules);

// The coordinate error message of a location: its name, date and coordinate texts (an empty
// one shown as "< Leeg Veld >").
QString CoordinateErrorText(const QString& locatie, const QString& dag, const QString& maand,
                            const QString& jaar, const QString& coordX, const QString& coordY);

} // namespace velmora::maps
