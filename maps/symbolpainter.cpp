#include "maps/symbolpainter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace velmora::maps {

namespace {

constexpr QRgb kBlack = 0xFF000000;

QRgb ToRgb(core::TColor color) {
    return core::ToQColor(color).rgb();
}

// The pixels of one symbol while it is worked out: 0 empty, 1 fill, 2 outline.
class Canvas {
public:
    // Room for every pixel from -reach to +reach around the symbol's pixel.
    explicit Canvas(int reach)
        : m_reach(reach), m_side(2 * reach + 1), m_cells(std::size_t(m_side) * m_side, 0) {}

    void Set(int x, int y, std::uint8_t value) {
        if (std::abs(x) > m_reach || std::abs(y) > m_reach)
            return;
        m_cells[std::size_t(y + m_reach) * m_side + std::size_t(x + m_reach)] = value;
    }

    // The runs of each value, row by row.
    SymbolPainter::Stamp Spans() const {
        SymbolPainter::Stamp stamp;
        for (int row = 0; row < m_side; ++row) {
            const std::uint8_t* cells = &m_cells[std::size_t(row) * m_side];
            for (int column = 0; column < m_side;) {
                const std::uint8_t value = cells[column];
                int end = column + 1;
                while (end < m_side && cells[end] == value)
                    ++end;
                if (value != 0) {
                    const SymbolPainter::Span span{row - m_reach, column - m_reach, end - m_reach};
                    (value == 1 ? stamp.fill : stamp.outline).push_back(span);
                }
                column = end;
            }
        }
        return stamp;
    }

private:
    int m_reach;
    int m_side;
    std::vector<std::uint8_t> m_cells;
};

// A pen of width w covers offsets PenLow to PenHigh around each pixel of its path.
int PenLow(int width) {
    return -(width / 2);
}
int PenHigh(int width) {
    return (width - 1) / 2;
}

void Dab(Canvas& canvas, int x, int y, int width) {
    for (int dy = PenLow(width); dy <= PenHigh(width); ++dy)
        for (int dx = PenLow(width); dx <= PenHigh(width); ++dx)
            canvas.Set(x + dx, y + dy, 2);
}

// From the first point up to but not including the last, each pixel dabbed with the pen.
void Line(Canvas& canvas, QPoint from, QPoint to, int width) {
    int x = from.x();
    int y = from.y();
    const int dx = std::abs(to.x() - x);
    const int dy = -std::abs(to.y() - y);
    const int sx = x < to.x() ? 1 : -1;
    const int sy = y < to.y() ? 1 : -1;
    int error = dx + dy;
    while (x != to.x() || y != to.y()) {
        Dab(canvas, x, y, width);
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += sx;
        }
        if (twice <= dx) {
            error += dx;
            y += sy;
        }
    }
}

void Polyline(Canvas& canvas, std::initializer_list<QPoint> points, int width) {
    const QPoint* previous = nullptr;
    for (const QPoint& point : points) {
        if (previous)
            Line(canvas, *previous, point, width);
        previous = &point;
    }
}

// The box [left, right) x [top, bottom): its fill, and the pen along its border pixels.
void Box(Canvas& canvas, int left, int top, int right, int bottom, bool filled, int width) {
    if (right <= left || bottom <= top)
        return;
    if (filled) {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                canvas.Set(x, y, 1);
    }
    for (int x = left; x < right; ++x) {
        Dab(canvas, x, top, width);
        Dab(canvas, x, bottom - 1, width);
    }
    for (int y = top; y < bottom; ++y) {
        Dab(canvas, left, y, width);
        Dab(canvas, right - 1, y, width);
    }
}

// The ellipse of the box [left, right) x [top, bottom). Pixel i covers [i, i + 1) and counts
// as inside a figure when its centre is. The fill is the ellipse touching the box's edges;
// the pen follows the ellipse through the centres of the box's edge pixels, width / 2 to
// either side.
void Ellipse(Canvas& canvas, int left, int top, int right, int bottom, bool filled, int width,
             int reach) {
    if (right <= left || bottom <= top)
        return;
    const double cx = (left + right) / 2.0;
    const double cy = (top + bottom) / 2.0;
    const double a = (right - left) / 2.0;
    const double b = (bottom - top) / 2.0;
    constexpr double kSlack = 1e-9; // centres exactly on a boundary count as inside
    auto inside = [&](int x, int y, double ra, double rb) {
        if (ra <= 0 || rb <= 0)
            return false;
        const double u = (x + 0.5 - cx) / ra;
        const double v = (y + 0.5 - cy) / rb;
        return u * u + v * v <= 1 + kSlack;
    };
    const double outerA = a - 0.5 + width / 2.0;
    const double outerB = b - 0.5 + width / 2.0;
    const double innerA = a - 0.5 - width / 2.0;
    const double innerB = b - 0.5 - width / 2.0;
    for (int y = -reach; y <= reach; ++y) {
        for (int x = -reach; x <= reach; ++x) {
            if (filled && inside(x, y, a, b))
                canvas.Set(x, y, 1);
            if (inside(x, y, outerA, outerB) && !inside(x, y, innerA, innerB))
                canvas.Set(x, y, 2);
        }
    }
}

} // namespace

SymbolPainter::SymbolPainter(QImage& image) : m_image(image) {
    if (m_image.format() != QImage::Format_RGB32 && m_image.format() != QImage::Format_ARGB32 &&
        m_image.format() != QImage::Format_ARGB32_Premultiplied)
        m_image.convertTo(QImage::Format_RGB32);
}

SymbolPainter::Stamp SymbolPainter::MakeStamp(Shape shape, int size, int lineWidth) {
    const int h = size / 2;
    const int e = h + size % 2;
    const int width = std::max(lineWidth, 1);
    const int reach = e + width + 1;
    Canvas canvas(reach);
    switch (shape) {
    case Shape::None:
        break;
    case Shape::FilledCircle:
    case Shape::OpenCircle:
        Ellipse(canvas, -h, -h, e, e, shape == Shape::FilledCircle, width, reach);
        break;
    case Shape::FilledSquare:
    case Shape::OpenSquare:
        Box(canvas, -h, -h, e, e, shape == Shape::FilledSquare, width);
        break;
    case Shape::TriangleUp:
        Polyline(canvas, {{0, -h}, {e, e}, {-h, e}, {0, -h}}, width);
        break;
    case Shape::TriangleDown:
        Polyline(canvas, {{0, e}, {e, -h}, {-h, -h}, {0, e}}, width);
        break;
    case Shape::Diamond:
        Polyline(canvas, {{0, -h}, {h, 0}, {0, h}, {-h, 0}, {0, -h}}, width);
        break;
    case Shape::Cross:
        Line(canvas, {-h, -h}, {e, e}, width);
        Line(canvas, {-h, e}, {e, -h}, width);
        break;
    case Shape::Plus:
        Line(canvas, {-e, 0}, {e, 0}, width);
        Line(canvas, {0, e}, {0, -e}, width);
        break;
    }
    return canvas.Spans();
}

const SymbolPainter::Stamp& SymbolPainter::StampFor(Shape shape, int size, int lineWidth) {
    if (size < 0 || size > kMaxDotSize || lineWidth < 0 || lineWidth > kMaxLineWidth)
        throw std::out_of_range("symbol size or line width out of range");
    const std::uint64_t key =
        (std::uint64_t(shape) << 40) | (std::uint64_t(size) << 20) | std::uint64_t(lineWidth);
    if (key != m_lastKey || !m_last) {
        auto found = m_stamps.find(key);
        if (found == m_stamps.end())
            found = m_stamps.emplace(key, MakeStamp(shape, size, lineWidth)).first;
        m_last = &found->second;
        m_lastKey = key;
    }
    return *m_last;
}

void SymbolPainter::DrawSymbol(QPoint pixel, Shape shape, int size, int lineWidth,
                               core::TColor color) {
    if (shape == Shape::None)
        return;
    const Stamp& stamp = StampFor(shape, size, lineWidth);
    const QRgb rgb = ToRgb(color);
    const bool filled = shape == Shape::FilledCircle || shape == Shape::FilledSquare;
    Paint(pixel, stamp.fill, rgb);
    Paint(pixel, stamp.outline, filled && lineWidth > 0 ? kBlack : rgb);
}

void SymbolPainter::Paint(QPoint at, const std::vector<Span>& spans, QRgb color) {
    if (spans.empty())
        return;
    const int width = m_image.width();
    const int height = m_image.height();
    uchar* const bits = m_image.bits();
    const qsizetype stride = m_image.bytesPerLine();
    for (const Span& span : spans) {
        const int y = at.y() + span.row;
        if (y < 0 || y >= height)
            continue;
        const int from = std::max(at.x() + span.from, 0);
        const int to = std::min(at.x() + span.to, width);
        if (from >= to)
            continue;
        auto* row = reinterpret_cast<QRgb*>(bits + y * stride);
        std::fill(row + from, row + to, color);
    }
}

void SymbolPainter::FillRect(int left, int top, int right, int bottom, QRgb color) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, m_image.width());
    bottom = std::min(bottom, m_image.height());
    if (left >= right || top >= bottom)
        return;
    uchar* const bits = m_image.bits();
    const qsizetype stride = m_image.bytesPerLine();
    for (int y = top; y < bottom; ++y) {
        auto* row = reinterpret_cast<QRgb*>(bits + y * stride);
        std::fill(row + left, row + right, color);
    }
}

void SymbolPainter::DrawRectangleOutline(QPoint corner1, QPoint corner2, int penWidth,
                                         core::TColor color) {
    const int left = std::min(corner1.x(), corner2.x());
    const int right = std::max(corner1.x(), corner2.x());
    const int top = std::min(corner1.y(), corner2.y());
    const int bottom = std::max(corner1.y(), corner2.y());
    if (right <= left || bottom <= top)
        return;
    const int width = std::clamp(penWidth, 1, kMaxLineWidth);
    const int low = PenLow(width);
    const int high = PenHigh(width) + 1;
    const QRgb rgb = ToRgb(color);
    FillRect(left + low, top + low, right - 1 + high, top + high, rgb);
    FillRect(left + low, bottom - 1 + low, right - 1 + high, bottom - 1 + high, rgb);
    FillRect(left + low, top + low, left + high, bottom - 1 + high, rgb);
    FillRect(right - 1 + low, top + low, right - 1 + high, bottom - 1 + high, rgb);
}

} // namespace velmora::maps
