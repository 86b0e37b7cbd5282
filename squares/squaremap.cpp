#include "squares/squaremap.h"

#include <cmath>
#include <limits>

namespace velmora::squares {

namespace {
constexpr double kFarOff = 1e9;

std::optional<int> TruncWithin(double value) {
    if (!std::isfinite(value) || std::fabs(value) > kFarOff)
        return std::nullopt;
    return static_cast<int>(std::trunc(value));
}

std::optional<int> RoundWithin(double value) {
    if (!std::isfinite(value) || std::fabs(value) > kFarOff)
        return std::nullopt;
    return static_cast<int>(maps::RoundHalfEven(value));
}

QString ThreeDigits(int value) {
    const QString digits = QString::number(std::abs(static_cast<long long>(value)))
                               .rightJustified(3, QLatin1Char('0'));
    return value < 0 ? QLatin1Char('-') + digits : digits;
}
} // namespace

std::optional<SquareMapCalibration> SquareMapCalibration::FromFileName(const QString& fileName,
                                                                       QSize imageSize) {
    const auto edges = maps::EdgesFromFileName(fileName);
    if (!edges || !maps::HasExtent(*edges) || imageSize.isEmpty())
        return std::nullopt;
    SquareMapCalibration c;
    c.edges = *edges;
    c.scaleX = imageSize.width() / (edges->xRight - edges->xLeft);
    c.scaleY = imageSize.height() / (edges->yBottom - edges->yTop);
    c.offsetX = -edges->xLeft * c.scaleX;
    c.offsetY = -edges->yTop * c.scaleY;
    if (!std::isfinite(c.scaleX) || !std::isfinite(c.scaleY) || !std::isfinite(c.offsetX) ||
        !std::isfinite(c.offsetY))
        return std::nullopt;
    return c;
}

std::optional<int> SquareMapCalibration::Column(double x, double add) const {
    return TruncWithin(x * scaleX + offsetX + add);
}

std::optional<int> SquareMapCalibration::Row(double y, double add) const {
    return TruncWithin(y * scaleY + offsetY + add);
}

std::optional<QPoint> SquareAt(const SquareMapCalibration& calibration, QPointF pixel) {
    if (calibration.scaleX == 0 || calibration.scaleY == 0)
        return std::nullopt;
    const auto x = RoundWithin(pixel.x() / calibration.scaleX + calibration.edges.xLeft - 0.5);
    const auto y = RoundWithin(pixel.y() / calibration.scaleY + calibration.edges.yTop - 0.5);
    if (!x || !y)
        return std::nullopt;
    return QPoint(*x, *y);
}

QString KmXText(int x) {
    return ThreeDigits(x);
}

QString KmYText(int y) {
    return QString::number(y);
}

std::optional<int> WholeNumber(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

std::optional<ChosenSquare> ChooseSquare(SquareKind kind, const QString& xText,
                                         const QString& yText) {
    const auto x = WholeNumber(xText);
    const auto y = WholeNumber(yText);
    if (!x || !y)
        return std::nullopt;
    ChosenSquare square;
    if (kind == SquareKind::Km) {
        square.x = *x;
        square.y = *y;
        square.xText = xText;
        square.yText = yText;
        square.code = xText + QLatin1Char('-') + yText;
        return square;
    }
    square.x = *x / 5 * 5;
    square.y = *y / 5 * 5;
    square.xText = QString::number(square.x);
    square.yText = QString::number(square.y);
    square.code = ThreeDigits(square.x) + QLatin1Char('-') + ThreeDigits(square.y);
    return square;
}

} // namespace velmora::squares
