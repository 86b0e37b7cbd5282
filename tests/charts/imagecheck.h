#pragma once
// Pixel checks on rendered charts.

#include "core/colors.h"

#include <QColor>
#include <QImage>
#include <QRect>

namespace velmora::testing {

inline core::TColor PixelAt(const QImage& image, int x, int y) {
    return core::FromQColor(image.pixelColor(x, y));
}

// Whether some pixel of the rectangle is darker than mid grey (text, lines).
inline bool HasDarkPixel(const QImage& image, const QRect& rect) {
    const QRect r = rect & image.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (image.pixelColor(x, y).lightness() < 128)
                return true;
    return false;
}

// Number of pixels of exactly this colour in the rectangle.
inline int CountColor(const QImage& image, const QRect& rect, core::TColor color) {
    const QRect r = rect & image.rect();
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (core::FromQColor(image.pixelColor(x, y)) == color)
                ++n;
    return n;
}

constexpr core::TColor kBlack = 0x00000000;
constexpr core::TColor kWhite = 0x00FFFFFF;
constexpr core::TColor kRed = 0x000000FF;
constexpr core::TColor kGreen = 0x00008000;
constexpr core::TColor kBlue = 0x00FF0000;
constexpr core::TColor kSilver = 0x00C0C0C0;

} // namespace velmora::testing
