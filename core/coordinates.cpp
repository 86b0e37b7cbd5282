#include "core/coordinates.h"

#include "core/error.h"
#include "core/resourcestrings.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace velmora::core {

namespace {
constexpr double kLargestCoordinate = 1e12;

double ToDouble(const QString& text, const QString& original) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    // No coordinate, in km, metres or degrees, comes near 10^12; a larger value would not
    // even fit the whole numbers the square codes are made of.
    if (!ok || !std::isfinite(value) || std::fabs(value) > kLargestCoordinate)
        throw Error(ResStr(rsNotANumber).arg(original));
    return value;
}

// At least three digits, zero-padded; a minus sign stands before the digits.
QString Pad3(long long value) {
    const QString digits = QString::number(value < 0 ? -value : value).rightJustified(3, '0');
    return value < 0 ? QLatin1Char('-') + digits : digits;
}

long long FloorToInt(double v) {
    return static_cast<long long>(std::floor(v));
}
} // namespace

double ParseCoordinate(const QString& text) {
    QString t = text.trimmed();
    if (t.isEmpty())
        return 0.0;
    if (!t.contains(QLatin1Char('.')))
        t.replace(QLatin1Char(','), QLatin1Char('.'));
    return ToDouble(t, text);
}

const std::array<AtlasSheet, 62>& AtlasSheets() {
    static const std::array<AtlasSheet, 62> sheets = [] {
        struct Fixed {
            int sheet, x, y;
        };
        static constexpr Fixed fixed[] = {
            {1, 140, 625},  {4, 100, 600},  {9, 100, 575}, {14, 100, 550}, {19, 100, 525},
            {24, 60, 500},  {30, 60, 475},  {36, 20, 450}, {42, 20, 425},  {47, -20, 400},
            {53, -20, 375}, {59, 140, 350}, {61, 140, 325}};
        std::array<AtlasSheet, 62> s{};
        std::size_t next = 0;
        for (int sheet = 1; sheet <= 62; ++sheet) {
            const auto i = static_cast<std::size_t>(sheet - 1);
            if (next < std::size(fixed) && fixed[next].sheet == sheet) {
                s[i] = {fixed[next].x, fixed[next].y};
                ++next;
            } else {
                s[i] = {s[i - 1].westX + 40, s[i - 1].northY};
            }
        }
        return s;
    }();
    return sheets;
}

namespace {
// The sheet of an atlas block code (sheet number times 100 plus block), or nullptr when the
// atlas has no such sheet.
const AtlasSheet* SheetOf(long long atlasCode) {
    const long long sheet = atlasCode / 100;
    if (sheet < 1 || sheet > 62)
        return nullptr;
    return &AtlasSheets()[static_cast<std::size_t>(sheet - 1)];
}
} // namespace

std::pair<double, double> AtlasToRD(int atlasCode, int squareNumber) {
    const AtlasSheet* sheet = SheetOf(atlasCode);
    if (!sheet)
        return {0.0, 0.0};
    const int block = atlasCode % 100;
    const int row = block / 10;
    const int column = block % 10;
    const AtlasSheet& s = *sheet;
    if (squareNumber != 0) {
        return {s.westX + (column - 1) * 5.0 + (squareNumber % 10 - 1),
                s.northY - (row - 1) * 5.0 - (squareNumber / 10)};
    }
    return {s.westX + (column - 1) * 5.0 + 2, s.northY - (row - 1) * 5.0 - 3};
}

SquareCodePair SquareCodes(const QString& coordX, const QString& coordY,
                           const QString& coordinateSystem, const QString& language) {
    if (coordinateSystem == kLatLon) {
        const double lon = ParseCoordinate(coordX);
        const double lat = ParseCoordinate(coordY);
        if (lon == 0.0)
            return {QStringLiteral("0.00"), QStringLiteral("0.000")};
        const double lonDeg = std::trunc(lon);
        const double latDeg = std::trunc(lat);
        const auto minutes = static_cast<long long>(std::trunc(std::fabs(lon - lonDeg) * 60));
        const auto halves = static_cast<long long>(std::trunc(std::fabs(lat - latDeg) * 120));
        return {QString::number(static_cast<long long>(lonDeg)).rightJustified(4, ' ') +
                    QLatin1Char(':') + QString::number(minutes).rightJustified(2, '0'),
                QString::number(static_cast<long long>(latDeg)).rightJustified(3, ' ') +
                    QLatin1Char(':') + QString::number(halves).rightJustified(3, '0')};
    }
    if (coordinateSystem != kKmBased)
        return {};
    long long x = FloorToInt(ParseCoordinate(coordX));
    long long y = FloorToInt(ParseCoordinate(coordY));
    if (x == 0)
        return {QStringLiteral("000-000"), QStringLiteral("000-000")};
    if (language == QLatin1String("NL") && y < 60) {
        // Atlas notation on a sheet the atlas does not have names no place at all.
        if (!SheetOf(x))
            return {QStringLiteral("000-000"), QStringLiteral("000-000")};
        // x names a sheet (so it is small); y may be any number below 60.
        auto [ax, ay] =
            AtlasToRD(static_cast<int>(x), static_cast<int>(std::max<long long>(y, INT_MIN)));
        if (y == 0) {
            ax -= 2;
            ay -= 2;
        }
        x = FloorToInt(ax);
        y = FloorToInt(ay);
    }
    if (x > 1000) {
        x /= 1000;
        y /= 1000;
    }
    return {Pad3(x) + QLatin1Char('-') + Pad3(y),
            Pad3(x / 5 * 5) + QLatin1Char('-') + Pad3(y / 5 * 5)};
}

std::pair<double, double> RDToLatLon(double xKm, double yKm) {
    const double dX = (1000 * xKm - 155000) * 1e-5;
    const double dY = (1000 * yKm - 463000) * 1e-5;
    const double dX2 = dX * dX, dX3 = dX2 * dX, dX4 = dX3 * dX, dX5 = dX4 * dX;
    const double dY2 = dY * dY, dY3 = dY2 * dY, dY4 = dY3 * dY;
    const double lat =
        (187758.62784 + 3235.65389 * dY - 32.58297 * dX2 - 0.2475 * dY2 - 0.84978 * dX2 * dY -
         0.0655 * dY3 - 0.01709 * dX2 * dY2 - 0.00738 * dX + 0.0053 * dX4 - 0.00039 * dX2 * dY3 +
         0.00033 * dX4 * dY - 0.00012 * dX * dY) /
        3600;
    const double lon =
        (19393.942356 + 5260.52916 * dX + 105.94684 * dX * dY + 2.45656 * dX * dY2 - 0.81885 * dX3 +
         0.05594 * dX * dY3 - 0.05607 * dX3 * dY + 0.01199 * dY - 0.00256 * dX3 * dY2 +
         0.00128 * dX * dY4 + 0.00022 * dY2 - 0.00022 * dX2 + 0.00026 * dX5) /
        3600;
    return {lat, lon};
}

double ParseDegrees(const QString& text) {
    const QString t = text.trimmed();
    const qsizetype colon = t.indexOf(QLatin1Char(':'));
    if (colon < 0) {
        QString number = t;
        number.replace(QLatin1Char(','), QLatin1Char('.'));
        return ToDouble(number, text);
    }
    bool okD = false;
    bool okM = false;
    const int d = t.left(colon).trimmed().toInt(&okD);
    const int m = t.mid(colon + 1).trimmed().toInt(&okM);
    if (!okD || !okM)
        throw Error(ResStr(rsNotANumber).arg(text));
    // "-0:30" has no negative degrees to carry the sign, so the sign is taken from the text.
    return t.startsWith(QLatin1Char('-')) ? d - m / 60.0 : d + m / 60.0;
}

QString LatLonBlockCode(const QString& kxy, const QString& uxy) {
    auto part = [](const QString& code, int digits) {
        const qsizetype colon = code.indexOf(QLatin1Char(':'));
        const QString head = colon >= 0 ? code.left(colon) : code;
        const int count = code.right(digits).trimmed().toInt();
        return head + QLatin1Char(':') +
               QString::number(count / 5 * 5).rightJustified(digits, QLatin1Char('0'));
    };
    return part(uxy, 3) + part(kxy, 2);
}

} // namespace velmora::core
