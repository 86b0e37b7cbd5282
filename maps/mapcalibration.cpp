#include "maps/mapcalibration.h"

#include "core/coordinates.h"
#include "core/error.h"
#include "core/text/textutils.h"

#include <cmath>

namespace velmora::maps {

namespace {
// No picture has a pixel a billion pixels away; a position that far off is not on the map,
// and keeping well inside the range of int makes every later sum safe.
constexpr double kFarOff = 1e9;

std::optional<long long> TruncWithin(double value) {
    if (!std::isfinite(value) || std::fabs(value) > kFarOff)
        return std::nullopt;
    return static_cast<long long>(std::trunc(value));
}

std::optional<int> Within(std::optional<long long> value, long long offset) {
    if (!value)
        return std::nullopt;
    const long long sum = *value + offset;
    if (sum > kFarOff || sum < -kFarOff)
        return std::nullopt;
    return static_cast<int>(sum);
}

double RoundSignificant(double value, int digits) {
    if (value == 0 || !std::isfinite(value))
        return value;
    const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(value)))) + 1;
    const double factor = std::pow(10.0, digits - magnitude);
    const double rounded = std::round(value * factor) / factor;
    return rounded == 0 ? 0.0 : rounded; // never "-0"
}
} // namespace

std::optional<MapEdges> EdgesFromFileName(const QString& fileName) {
    qsizetype at = fileName.indexOf(QLatin1Char('_'));
    if (at < 0)
        return std::nullopt;
    double numbers[4];
    for (double& number : numbers) {
        const qsizetype next = fileName.indexOf(QLatin1Char('_'), at + 1);
        if (next < 0)
            return std::nullopt;
        try {
            number = core::ParseNumber(fileName.mid(at + 1, next - at - 1));
        } catch (const core::Error&) {
            return std::nullopt;
        }
        at = next;
    }
    return MapEdges{numbers[0], numbers[1], numbers[2], numbers[3]};
}

MapEdges EdgesInKilometres(const MapEdges& edges, const QString& coordinateSystem) {
    if (coordinateSystem == core::kLatLon || !(edges.yBottom > 300000 && edges.xLeft > 5000))
        return edges;
    return {edges.xLeft / 1000, edges.yTop / 1000, edges.xRight / 1000, edges.yBottom / 1000};
}

bool HasExtent(const MapEdges& edges) {
    const double width = edges.xRight - edges.xLeft;
    const double height = edges.yBottom - edges.yTop;
    return std::isfinite(width) && std::isfinite(height) && width != 0 && height != 0;
}

std::optional<MapCalibration> MapCalibration::FromEdges(const MapEdges& edges, QSize imageSize) {
    if (!HasExtent(edges))
        return std::nullopt;
    MapCalibration c;
    c.edges = edges;
    c.scaleX = imageSize.width() / (edges.xRight - edges.xLeft);
    c.scaleY = imageSize.height() / (edges.yBottom - edges.yTop);
    const auto left = TruncWithin(edges.xLeft * c.scaleX + 0.5);
    const auto top = TruncWithin(edges.yTop * c.scaleY + 0.5);
    if (!left || !top || !std::isfinite(c.scaleX) || !std::isfinite(c.scaleY))
        return std::nullopt;
    c.offsetX = -*left;
    c.offsetY = -*top;
    return c;
}

std::optional<int> MapCalibration::Column(double x, double add) const {
    return Within(TruncWithin(x * scaleX + add), offsetX);
}

std::optional<int> MapCalibration::Row(double y, double add) const {
    return Within(TruncWithin(y * scaleY + add), offsetY);
}

std::optional<QPoint> MapCalibration::Pixel(double x, double y) const {
    const auto column = Column(x);
    const auto row = Row(y);
    if (!column || !row)
        return std::nullopt;
    return QPoint(*column, *row);
}

CalibrationResult ComputeEdges(const CalibrationPoint& first, const CalibrationPoint& second,
                               QSize fullSize) {
    CalibrationResult result;
    const int dx = second.pixel.x() - first.pixel.x();
    const int dy = second.pixel.y() - first.pixel.y();
    if (std::abs(dx) < 2 || std::abs(dy) < 2) {
        result.check = CalibrationCheck::PointsTooClose;
        return result;
    }
    const double ax = (second.x - first.x) / (dx - 1);
    const double ay = (second.y - first.y) / (dy - 1);
    MapEdges& e = result.edges;
    e.xLeft = first.x - first.pixel.x() * ax;
    e.yTop = second.y - second.pixel.y() * ay;
    e.xRight = fullSize.width() * ax + e.xLeft;
    e.yBottom = fullSize.height() * ay + e.yTop;
    if (!HasExtent(e) || !std::isfinite(e.xLeft) || !std::isfinite(e.yTop)) {
        result.check = CalibrationCheck::NoExtent;
        result.edges = {};
    }
    return result;
}

double RoundHalfEven(double value) {
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction > 0.5)
        return floor + 1;
    if (fraction < 0.5)
        return floor;
    return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

QPoint FullSizePixel(QPoint shown, QSize fullSize, QSize shownSize) {
    if (shownSize.isEmpty())
        return shown;
    return QPoint(
        static_cast<int>(RoundHalfEven(double(shown.x()) * fullSize.width() / shownSize.width())),
        static_cast<int>(
            RoundHalfEven(double(shown.y()) * fullSize.height() / shownSize.height())));
}

QString ProposedMapName(const QString& mapName) {
    const qsizetype at = mapName.indexOf(QLatin1Char('_'));
    return at < 0 ? mapName : mapName.left(at);
}

QString CalibrationNamePart(const QString& typed) {
    return SafeFileName(typed).replace(QLatin1Char('_'), QLatin1Char('-'));
}

QString CalibratedFileName(const QString& name, const MapEdges& edges,
                           const QString& coordinateSystem, const QString& extension) {
    int decimals = 3;
    if (coordinateSystem == core::kLatLon)
        decimals = 5;
    else if (edges.yTop > 300000)
        decimals = 0;
    QString fileName = name + QLatin1Char('_');
    for (const double value : {edges.xLeft, edges.yTop, edges.xRight, edges.yBottom})
        fileName += QString::number(RoundSignificant(value, 6), 'f', decimals) + QLatin1Char('_');
    return fileName + extension;
}

QString SafeFileName(const QString& text) {
    QString safe = text;
    for (QChar& c : safe) {
        switch (c.unicode()) {
        case '/':
        case '\\':
        case ':':
        case '*':
        case '?':
        case '"':
        case '<':
        case '>':
        case '|':
            c = QLatin1Char('_');
            break;
        default:
            break;
        }
    }
    return safe;
}

} // namespace velmora::maps
