#include "maps/dotposition.h"

#include "core/coordinates.h"
#include "core/error.h"
#include "core/text/textutils.h"
#include "maps/messages.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace velmora::maps {

namespace {
// The centre of the cell of 1/parts degree that holds the value; the sign of the whole
// degrees decides the direction, so values between -1 and 0 move as positive ones do.
double CellCentre(double value, double parts) {
    const double whole = std::trunc(value);
    const double add = (std::trunc(std::fabs(value - whole) * parts) + 0.5) / parts;
    return whole < 0 ? whole - add : whole + add;
}

bool OutsideTheNetherlands(double x, double y) {
    return y < 300 || y > 620 || x < 14 || x > 280;
}

// km coordinates moved to the centre of their km-square or atlas block.
void SnapToSquare(double& x, double& y, Placement placement) {
    switch (placement) {
    case Placement::Exact:
        break;
    case Placement::KmSquare:
        x = std::trunc(x) + 0.5;
        y = std::trunc(y) + 0.5;
        break;
    case Placement::HourSquare:
        x = std::trunc(std::trunc(x) / 5) * 5 + 2.5;
        y = std::trunc(std::trunc(y) / 5) * 5 + 2.5;
        break;
    }
}

// A block code on a sheet the atlas does not have names no place.
bool OnAnAtlasSheet(double code) {
    return code >= 100 && code < 6300;
}
// Reads both coordinate texts; true when the position is complete already: a coordinate
// error, or a "LatLon" position (moved to its cell's centre with "per hok"). Otherwise x and y
// hold the km-based numbers still to be placed.
bool ReadPosition(const QString& coordX, const QString& coordY, const PlacementRules& rules,
                  DotPosition& position, double& x, double& y) {
    try {
        x = core::ParseNumber(coordX.trimmed());
        y = core::ParseNumber(coordY.trimmed());
    } catch (const core::Error&) {
        position.status = PositionStatus::CoordinateError;
        return true;
    }
    if (rules.coordinateSystem != core::kLatLon)
        return false;
    if (rules.placement == Placement::KmSquare) {
        x = CellCentre(x, 60);
        y = CellCentre(y, 120);
    }
    position.x = x;
    position.y = y;
    return true;
}
} // namespace

DotPosition PlaceLocation(const QString& coordX, const QString& coordY,
                          const PlacementRules& rules) {
    DotPosition position;
    double x = 0;
    double y = 0;
    if (ReadPosition(coordX, coordY, rules, position, x, y))
        return position;

    bool atlas = false;
    if (rules.dutchRules) {
        if (y > 300000) {
            if (x <= 5000) {
                position.status = PositionStatus::CoordinateError;
                return position;
            }
            x /= 1000;
            y /= 1000;
        }
        atlas = y <= 55;
    }

    if (atlas) {
        // Block code and km-square number: the symbol outlines the square or the block.
        if (rules.placement == Placement::Exact && y > 0)
            position.kind = SymbolKind::KmSquareOutline;
        else if (y == 0 &&
                 (rules.placement == Placement::Exact || rules.placement == Placement::KmSquare))
            position.kind = SymbolKind::HourSquareOutline;
        const double code = std::floor(x);
        if (!OnAnAtlasSheet(code)) {
            position.status = PositionStatus::CoordinateError;
            return position;
        }
        const double number = std::max(std::floor(y), -1e6);
        const auto [rdX, rdY] = core::AtlasToRD(static_cast<int>(code), static_cast<int>(number));
        position.x = std::trunc(rdX) + 0.5;
        position.y = std::trunc(rdY) + 0.5;
        return position;
    }

    SnapToSquare(x, y, rules.placement);
    position.x = x;
    position.y = y;
    if (rules.dutchRules && OutsideTheNetherlands(x, y))
        position.status = PositionStatus::OutsideRange;
    return position;
}

DotPosition PlaceForExport(const QString& coordX, const QString& coordY,
                           const PlacementRules& rules) {
    DotPosition position;
    double x = 0;
    double y = 0;
    if (ReadPosition(coordX, coordY, rules, position, x, y))
        return position;

    if (rules.dutchRules) {
        if (y > 300000) {
            if (x <= 5000) {
                position.status = PositionStatus::CoordinateError;
                return position;
            }
            x /= 1000;
            y /= 1000;
        }
        if (y < 60) {
            const double code = std::floor(x);
            if (!OnAnAtlasSheet(code)) {
                position.status = PositionStatus::CoordinateError;
                return position;
            }
            const double number = std::max(std::floor(y), -1e6);
            const bool wholeBlock = y == 0;
            std::tie(x, y) = core::AtlasToRD(static_cast<int>(code), static_cast<int>(number));
            // Number 0 names the point 2 km east and 3 km south of the block's corner; half a
            // km more makes it the block's centre.
            if (wholeBlock) {
                x += 0.5;
                y += 0.5;
            }
        }
    }

    SnapToSquare(x, y, rules.placement);
    position.x = x;
    position.y = y;
    return position;
}

QString CoordinateErrorText(const QString& locatie, const QString& dag, const QString& maand,
                            const QString& jaar, const QString& coordX, const QString& coordY) {
    auto shown = [](const QString& text) { return text.isEmpty() ? ResStr(rsEmptyField) : text; };
    return ResStr(rsCoordinateError) + QLatin1Char('\n') + locatie + QLatin1Char('\n') +
           ResStr(rsDateLabel) + QStringLiteral(": ") + dag + QLatin1Char('-') + maand +
           QLatin1Char('-') + jaar + QLatin1Char('\n') + QStringLiteral("X = ") + shown(coordX) +
           QStringLiteral("  ;  Y = ") + shown(coordY);
}

} // namespace velmora::maps
