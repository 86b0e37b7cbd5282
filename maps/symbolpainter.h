#pragma once
// Draws the dot symbols and the square outlines on a map image, with the pixel rules of a
// classic raster drawing interface, so that every symbol covers exactly the pixels its size
// says:
//  - a symbol of size n at pixel (px, py) has h = n div 2 and e = h, plus 1 when n is odd;
//    its box runs from (px - h, py - h) up to but not including (px + e, py + e), so size 7
//    covers 7 pixels and size 16 covers 16;
//  - a line from a point to a point colours the first point and not the last;
//  - a pen of width w is centred on the path it follows: w div 2 pixels outside it and
//    (w - 1) div 2 inside, besides the path's own pixel (width 0 draws as width 1);
//  - filled shapes are filled in the style colour; their outline is the style colour 1 pixel
//    wide when the line width is 0, otherwise black with the line width.
//
// Each shape of a size and line width is worked out once into spans of pixels and then
// stamped wherever it is drawn; parts outside the image are cut off.

#include "core/colors.h"
#include "maps/dotstyles.h"

#include <QImage>
#include <QPoint>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace velmora::maps {

class SymbolPainter {
public:
    // Draws on the image, which is converted to 32 bits per pixel when it is not already.
    explicit SymbolPainter(QImage& image);

    // One symbol centred on the pixel. Shape::None draws nothing.
    void DrawSymbol(QPoint pixel, Shape shape, int size, int lineWidth, core::TColor color);
    // The outline of the rectangle between two corners, given in either order: it covers
    // the columns from the smaller to the larger x, the larger not included, and the same
    // for the rows; the pen is centred on that border. No fill.
    void DrawRectangleOutline(QPoint corner1, QPoint corner2, int penWidth, core::TColor color);

    // A pixel run of one row, relative to the symbol's pixel: columns [from, to).
    struct Span {
        int row;
        int from;
        int to;
    };
    // The pixels of a symbol: the fill first, then the outline over it.
    struct Stamp {
        std::vector<Span> fill;
        std::vector<Span> outline;
    };
    static Stamp MakeStamp(Shape shape, int size, int lineWidth);

private:
    const Stamp& StampFor(Shape shape, int size, int lineWidth);
    void Paint(QPoint at, const std::vector<Span>& spans, QRgb color);
    void FillRect(int left, int top, int right, int bottom, QRgb color);

    QImage& m_image;
    std::unordered_map<std::uint64_t, Stamp> m_stamps;
    std::uint64_t m_lastKey = ~std::uint64_t(0);
    const Stamp* m_last = nullptr;
};

} // namespace velmora::maps
