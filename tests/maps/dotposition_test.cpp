// The position of a location's dot from its coordinate texts.

#include "core/coordinates.h"
#include "maps/dotposition.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::maps;

namespace {

TEST(DotPosition, CoordinateTextsBecomePositions) {
    const QString km = core::kKmBased;
    const QString ll = core::kLatLon;
    using P = Placement;
    using S = PositionStatus;
    using K = SymbolKind;
    const struct {
        const char* x;
        const char* y;
        QString system;
        bool dutch;
        Placement placement;
        PositionStatus status;
        double px;
        double py;
        SymbolKind kind;
    } cases[] = {
        {"155,7", "463.2", km, true, P::Exact, S::Ok, 155.7, 463.2, K::SlotShape},
        {"155,7", "463.2", km, true, P::KmSquare, S::Ok, 155.5, 463.5, K::SlotShape},
        {"155,7", "463.2", km, true, P::HourSquare, S::Ok, 157.5, 462.5, K::SlotShape},
        {" 155700 ", "463200", km, true, P::Exact, S::Ok, 155.7, 463.2, K::SlotShape},
        {"4000", "463200", km, true, P::Exact, S::CoordinateError, 0, 0, K::SlotShape},
        // Without the Dutch rules: no metres, no atlas, no range check.
        {"155700", "463200", km, false, P::Exact, S::Ok, 155700, 463200, K::SlotShape},
        {"1734", "12", km, false, P::Exact, S::Ok, 1734, 12, K::SlotShape},
        // Outside the Netherlands after snapping: reported, drawn all the same.
        {"155", "700", km, true, P::Exact, S::OutsideRange, 155, 700, K::SlotShape},
        {"13,9", "463", km, true, P::Exact, S::OutsideRange, 13.9, 463, K::SlotShape},
        {"13,9", "463", km, true, P::KmSquare, S::OutsideRange, 13.5, 463.5, K::SlotShape},
        // Atlas notation: sheet 17, block 34, km-square 12 is RD (236, 539).
        {"1734", "12", km, true, P::Exact, S::Ok, 236.5, 539.5, K::KmSquareOutline},
        {"1734", "12", km, true, P::KmSquare, S::Ok, 236.5, 539.5, K::SlotShape},
        {"1734", "12", km, true, P::HourSquare, S::Ok, 236.5, 539.5, K::SlotShape},
        {"1734", "0", km, true, P::Exact, S::Ok, 237.5, 537.5, K::HourSquareOutline},
        {"1734", "0", km, true, P::KmSquare, S::Ok, 237.5, 537.5, K::HourSquareOutline},
        {"1734", "0", km, true, P::HourSquare, S::Ok, 237.5, 537.5, K::SlotShape},
        {"9934", "12", km, true, P::Exact, S::CoordinateError, 0, 0, K::KmSquareOutline},
        {"", "463", km, true, P::Exact, S::CoordinateError, 0, 0, K::SlotShape},
        {"155", "abc", km, false, P::Exact, S::CoordinateError, 0, 0, K::SlotShape},
        // Degrees: the centre of the cell of 1 minute by half a minute.
        {"5.1234", "52.25", ll, true, P::KmSquare, S::Ok, 5.125, 52 + 30.5 / 120, K::SlotShape},
        {"-5.1234", "-52.25", ll, true, P::KmSquare, S::Ok, -5.125, -52 - 30.5 / 120, K::SlotShape},
        {"5.1234", "52.25", ll, true, P::Exact, S::Ok, 5.1234, 52.25, K::SlotShape},
        {"5.1234", "99999", ll, true, P::Exact, S::Ok, 5.1234, 99999, K::SlotShape},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.x) + " " + c.y + " placement " +
                     std::to_string(int(c.placement)) + (c.dutch ? " NL" : " EN"));
        PlacementRules rules;
        rules.coordinateSystem = c.system;
        rules.dutchRules = c.dutch;
        rules.placement = c.placement;
        const DotPosition p = PlaceLocation(QString::fromUtf8(c.x), QString::fromUtf8(c.y), rules);
        EXPECT_EQ(p.status, c.status);
        if (p.status == S::CoordinateError)
            continue;
        EXPECT_NEAR(p.x, c.px, 1e-9);
        EXPECT_NEAR(p.y, c.py, 1e-9);
        EXPECT_EQ(p.kind, c.kind);
    }
}

TEST(DotPosition, CoordinateErrorText) {
    EXPECT_EQ(CoordinateErrorText("Ven", "05", "06", "2001", "", "463,2"),
              "Er zit een fout in de coördinaten van locatie: \nVen\nDatum: 05-06-2001\n"
              "X = < Leeg Veld >  ;  Y = 463,2");
}

} // namespace
