#pragma once
// Colours as the settings and style files store them: a 32-bit value 00BBGGRR, written as
// the name of a standard colour when it equals one ("clRed"), otherwise as "$" and eight
// upper-case hexadecimal digits.

#include <QColor>
#include <QString>
#include <cstdint>
#include <optional>

namespace velmora::core {

using TColor = std::uint32_t;

QString ColorToString(TColor color);
// Accepts a standard name (letter case ignored), "$" hexadecimal or a decimal number.
std::optional<TColor> StringToColor(const QString& text);

QColor ToQColor(TColor color);
TColor FromQColor(const QColor& color);

} // namespace velmora::core
