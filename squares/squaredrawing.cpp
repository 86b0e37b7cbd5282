#include "squares/squaredrawing.h"

#include "maps/mapcalibration.h"

#include <QGuiApplication>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace velmora::squares {

namespace {

// The rectangle between the pixels of two map positions (each truncate(value * scale +
// offset + 0.5)); nothing when a corner lies far off the map.
std::optional<QRect> BlockRect(const SquareMapCalibration& c, double x1, double y1, double x2,
                               double y2) {
    const auto left = c.Column(x1);
    const auto top = c.Row(y1);
    const auto right = c.Column(x2);
    const auto bottom = c.Row(y2);
    if (!left || !top || !right || !bottom)
        return std::nullopt;
    return QRect(QPoint(std::min(*left, *right), std::min(*top, *bottom)),
                 QPoint(std::max(*left, *right), std::max(*top, *bottom)));
}

void DrawNumber(QPainter& painter, QPoint topLeft, int number, const QColor& colour) {
    painter.setPen(colour);
    painter.drawText(QRect(topLeft, QSize(100000, 100000)),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, QString::number(number));
}

} // namespace

void DrawSquareOutline(QImage& image, const SquareMapCalibration& calibration, SquareKind kind,
                       int x, int y) {
    std::optional<QRect> rect;
    if (kind == SquareKind::Km) {
        const auto px = calibration.Column(x + 0.5);
        const auto py = calibration.Row(y + 0.5);
        const int h = std::max(4, static_cast<int>(maps::RoundHalfEven(calibration.scaleX / 2)));
        if (px && py)
            rect = QRect(QPoint(*px - h, *py - h), QPoint(*px + h, *py + h));
    } else {
        const int hx = x / 5 * 5;
        const int hy = y / 5 * 5;
        rect = BlockRect(calibration, hx, hy, hx + 5, hy + 5);
    }
    if (!rect)
        return;
    QPainter painter(&image);
    painter.setPen(QPen(Qt::red, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(*rect);
}

QImage NewOverlay(QSize size) {
    QImage overlay(size, QImage::Format_RGB888);
    overlay.fill(Qt::white);
    return overlay;
}

QFont BlockFont(const SquareMapCalibration& calibration, const BlockStyle& style) {
    QFont font = style.fontFamily.isEmpty() ? QGuiApplication::font() : QFont(style.fontFamily);
    const double size = maps::RoundHalfEven(1.3 * std::fabs(calibration.scaleY));
    font.setPointSize(static_cast<int>(std::clamp(size, 1.0, 10000.0)));
    font.setBold(style.bold);
    return font;
}

QString BlockHeaderLine() {
    return QStringLiteral("Uurhok\tAantal taxa\tAantal monsters\tAantal kmhokken/uurhok");
}

QString DrawBlock(QImage& overlay, const SquareMapCalibration& calibration, const BlockStyle& style,
                  const QString& code, const SquarePass& pass) {
    const auto x = WholeNumber(code.left(3));
    const auto y = WholeNumber(code.right(3));
    const qsizetype taxa = pass.species.size();
    const auto visits = static_cast<qsizetype>(pass.visits.size());
    const qsizetype kmSquares = pass.kmSquares.size();
    if (style.colourMode) {
        if (x && y && kmSquares > 0) {
            if (const auto rect = BlockRect(calibration, *x, *y, *x + 5, *y + 5)) {
                QPainter painter(&overlay);
                painter.setPen(QPen(Qt::black, 1));
                painter.setBrush(style.blockColours[static_cast<std::size_t>(
                    std::min<qsizetype>(kmSquares, 4) - 1)]);
                painter.drawRect(*rect);
            }
        }
        return {};
    }
    if (x && y) {
        const auto column = calibration.Column(*x + 1, 0);
        const auto taxaRow = calibration.Row(*y + 4.7, 0);
        const auto visitsRow = calibration.Row(*y + 3.2, 0);
        const auto kmRow = calibration.Row(*y + 1.7, 0);
        if (column && taxaRow && visitsRow && kmRow) {
            QPainter painter(&overlay);
            painter.setFont(BlockFont(calibration, style));
            painter.setBackgroundMode(Qt::TransparentMode);
            DrawNumber(painter, QPoint(*column, *taxaRow), int(taxa), style.taxaColour);
            DrawNumber(painter, QPoint(*column, *visitsRow), int(visits), style.samplesColour);
            DrawNumber(painter, QPoint(*column, *kmRow), int(kmSquares), style.kmSquaresColour);
        }
    }
    return QStringLiteral("%1\t%2\t%3\t%4").arg(code).arg(taxa).arg(visits).arg(kmSquares);
}

QStringList DrawBlockData(QImage& overlay, std::span<const maps::SampleRow> samplesByUxy,
                          const SquareMapCalibration& calibration, const BlockStyle& style,
                          const SquareOptions& options, const QHash<int, QString>& locationNames,
                          const std::function<void()>& afterBlock) {
    QStringList lines;
    if (!style.colourMode)
        lines << BlockHeaderLine();
    SquarePass pass;
    std::size_t i = 0;
    auto skipEmpty = [&] {
        while (i < samplesByUxy.size() && samplesByUxy[i].uxy.isEmpty())
            ++i;
    };
    skipEmpty();
    while (i < samplesByUxy.size()) {
        const QString code = samplesByUxy[i].uxy;
        i = CollectSquare(pass, samplesByUxy, i, SquareKind::Hour, code, options, locationNames);
        const QString line = DrawBlock(overlay, calibration, style, code, pass);
        if (!style.colourMode)
            lines << line;
        if (afterBlock)
            afterBlock();
        skipEmpty();
    }
    return lines;
}

QImage BlendMaps(const QImage& background, const QImage& overlay, BlendMode mode, double ratio) {
    const QImage b = background.format() == QImage::Format_RGB888
                         ? background
                         : background.convertToFormat(QImage::Format_RGB888);
    const QImage o = overlay.format() == QImage::Format_RGB888
                         ? overlay
                         : overlay.convertToFormat(QImage::Format_RGB888);
    const int width = std::min(b.width(), o.width());
    const int height = std::min(b.height(), o.height());
    QImage w(width, height, QImage::Format_RGB888);
    if (width <= 0 || height <= 0)
        return w;
    const int weight = static_cast<int>(
        maps::RoundHalfEven(std::clamp(std::isnan(ratio) ? 0.0 : ratio, 0.0, 1.0) * 256));
    const int rest = 256 - weight;
    const int bytes = width * 3;
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* pb = b.constScanLine(row);
        const std::uint8_t* po = o.constScanLine(row);
        std::uint8_t* pw = w.scanLine(row);
        switch (mode) {
        case BlendMode::Mix:
            for (int k = 0; k < bytes; ++k)
                pw[k] = static_cast<std::uint8_t>((pb[k] * weight + po[k] * rest) >> 8);
            break;
        case BlendMode::Combine:
            for (int k = 0; k < bytes; ++k)
                pw[k] = static_cast<std::uint8_t>((pb[k] * po[k]) >> 8);
            break;
        case BlendMode::Overlay:
            for (int k = 0; k < bytes; k += 3) {
                const bool white = po[k] == 255 && po[k + 1] == 255 && po[k + 2] == 255;
                const std::uint8_t* from = white ? pb : po;
                pw[k] = from[k];
                pw[k + 1] = from[k + 1];
                pw[k + 2] = from[k + 2];
            }
            break;
        }
    }
    return w;
}

} // namespace velmora::squares
