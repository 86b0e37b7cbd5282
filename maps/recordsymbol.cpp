#include "maps/recordsymbol.h"

#include "core/prompts.h"

namespace velmora::maps {

namespace {
// True when the user chose to go on.
bool ReportCoordinateError(const LocationRecord& record) {
    return core::UserPrompts().OkAbort(CoordinateErrorText(
        record.locatie, record.dag, record.maand, record.jaar, record.coordX, record.coordY));
}

// The outline of the square of the given half side around a square centre.
bool DrawSquareOutline(SymbolPainter& painter, const MapCalibration& c, double x, double y,
                       double half, int width, core::TColor color) {
    const auto left = c.Column(x - half, 0);
    const auto top = c.Row(y - half, 0);
    const auto right = c.Column(x + half);
    const auto bottom = c.Row(y + half);
    if (!left || !top || !right || !bottom)
        return false;
    painter.DrawRectangleOutline({*left, *top}, {*right, *bottom}, width, color);
    return true;
}
} // namespace

LocationRecord CurrentLocation(core::Dataset& locations) {
    LocationRecord record;
    record.coordX = locations.FieldByName(QStringLiteral("COORDX")).AsString();
    record.coordY = locations.FieldByName(QStringLiteral("COORDY")).AsString();
    record.locatie = locations.FieldByName(QStringLiteral("LOCATIE")).AsString();
    record.dag = locations.FieldByName(QStringLiteral("DAG")).AsString();
    record.maand = locations.FieldByName(QStringLiteral("MAAND")).AsString();
    record.jaar = locations.FieldByName(QStringLiteral("JAAR")).AsString();
    return record;
}

RecordSymbolResult DrawRecordSymbol(SymbolPainter& painter, const MapCalibration& calibration,
                                    const PlacementRules& rules, const ResolvedStyle& style,
                                    int outlineWidth, const LocationRecord& record) {
    RecordSymbolResult result;
    const DotPosition position = PlaceLocation(record.coordX, record.coordY, rules);
    if (position.status == PositionStatus::CoordinateError) {
        result.abortRun = !ReportCoordinateError(record);
        return result;
    }
    switch (position.kind) {
    case SymbolKind::KmSquareOutline:
        result.drawn = DrawSquareOutline(painter, calibration, position.x, position.y, 0.5,
                                         outlineWidth, style.color);
        break;
    case SymbolKind::HourSquareOutline:
        result.drawn = DrawSquareOutline(painter, calibration, position.x, position.y, 2.5,
                                         outlineWidth, style.color);
        break;
    case SymbolKind::SlotShape:
        if (const auto pixel = calibration.Pixel(position.x, position.y);
            pixel && style.shape != Shape::None) {
            painter.DrawSymbol(*pixel, style.shape, style.size, style.lineWidth, style.color);
            result.drawn = true;
        }
        break;
    }
    if (position.status == PositionStatus::OutsideRange)
        result.abortRun = !ReportCoordinateError(record);
    return result;
}

} // namespace velmora::maps
