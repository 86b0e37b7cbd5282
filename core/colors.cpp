#include "core/colors.h"

#include <array>

namespace velmora::core {

namespace {
struct NamedColor {
    const char* name;
    TColor value;
};
constexpr std::array<NamedColor, 20> kStandardColors{{
    {"clBlack", 0x00000000}, {"clMaroon", 0x00000080},     {"clGreen", 0x00008000},
    {"clOlive", 0x00008080}, {"clNavy", 0x00800000},       {"clPurple", 0x00800080},
    {"clTeal", 0x00808000},  {"clGray", 0x00808080},       {"clSilver", 0x00C0C0C0},
    {"clRed", 0x000000FF},   {"clLime", 0x0000FF00},       {"clYellow", 0x0000FFFF},
    {"clBlue", 0x00FF0000},  {"clFuchsia", 0x00FF00FF},    {"clAqua", 0x00FFFF00},
    {"clWhite", 0x00FFFFFF}, {"clMoneyGreen", 0x00C0DCC0}, {"clSkyBlue", 0x00F0CAA6},
    {"clCream", 0x00F0FBFF}, {"clMedGray", 0x00A4A0A0},
}};
} // namespace

QString ColorToString(TColor color) {
    for (const auto& c : kStandardColors)
        if (c.value == color)
            return QString::fromLatin1(c.name);
    return QStringLiteral("$%1").arg(color, 8, 16, QLatin1Char('0')).toUpper();
}

std::optional<TColor> StringToColor(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    for (const auto& c : kStandardColors)
        if (t.compare(QLatin1String(c.name), Qt::CaseInsensitive) == 0)
            return c.value;
    bool ok = false;
    qlonglong value = 0;
    if (t.startsWith(QLatin1Char('$')))
        value = t.mid(1).toLongLong(&ok, 16);
    else
        value = t.toLongLong(&ok, 10);
    if (!ok || value < INT32_MIN || value > UINT32_MAX)
        return std::nullopt;
    return static_cast<TColor>(value);
}

QColor ToQColor(TColor color) {
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

TColor FromQColor(const QColor& color) {
    return static_cast<TColor>(color.red()) | (static_cast<TColor>(color.green()) << 8) |
           (static_cast<TColor>(color.blue()) << 16);
}

} // namespace velmora::core
