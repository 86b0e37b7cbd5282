#pragma once
// What the square window draws on its map: the outline of the chosen square, the
// whole-database hour-square drawing on the overlay, and the blending of the plain map with
// the overlay into the image the window shows.

#include "squares/squarepass.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QStringList>
#include <array>
#include <functional>
#include <span>

namespace velmora::squares {

// Draws the square's outline (red pen of width 2, no fill) on the image. A km-square (x, y):
// the centre px = truncate((x + 0.5) * scaleX + offsetX + 0.5), py likewise, the half side
// round(scaleX / 2) but at least 4. An hour-square: x and y rounded down to multiples of 5,
// the rectangle between the pixels of (x, y) and (x + 5, y + 5). Nothing is drawn for a
// square far off the map.
void DrawSquareOutline(QImage& image, const SquareMapCalibration& calibration, SquareKind kind,
                       int x, int y);

struct BlockStyle {
    bool colourMode = false; // colours by km-square count, else the three numbers
    // Colour mode: blocks with 1, 2, 3 and more than 3 counted km-squares.
    std::array<QColor, 4> blockColours{QColor(Qt::red), QColor(Qt::blue), QColor(Qt::green),
                                       QColor(Qt::green)};
    // Number mode: the colours of the taxa, visits and km-squares numbers.
    QColor taxaColour = Qt::red;
    QColor samplesColour = Qt::blue;
    QColor kmSquaresColour = Qt::green;
    bool bold = false;
    QString fontFamily; // empty: the default user-interface font
};

// A fresh overlay: white, of the map's size, in QImage::Format_RGB888.
QImage NewOverlay(QSize size);

// The font of the numbers: round(1.3 * |scaleY|) points (at least 1), bold when asked.
QFont BlockFont(const SquareMapCalibration& calibration, const BlockStyle& style);

// The header line of the hour-square lines (number mode), tab separated.
QString BlockHeaderLine();

// Draws one hour-square block on the overlay after its pass. The code's first three and
// last three characters are its x and y in km. Colour mode fills the block in the colour of
// its number of km-squares, with a black outline of width 1 (nothing for 0 km-squares). Number
// mode writes the numbers of taxa, visits and km-squares with their top-left corners at
// column truncate((x + 1) * scaleX + offsetX) and rows truncate((y + 4.7) * scaleY +
// offsetY), (y + 3.2) and (y + 1.7), and returns the line: code, taxa, visits, km-squares,
// tab separated. Colour mode returns an empty text. A code whose numbers cannot be read is
// not drawn.
QString DrawBlock(QImage& overlay, const SquareMapCalibration& calibration, const BlockStyle& style,
                  const QString& code, const SquarePass& pass);

// The whole-database drawing over the samples sorted by UXY: every hour-square, samples with
// an empty UXY passed over, gets its pass and its block on the overlay; after each block the
// progress callback runs (the window blends and shows the map there). Returns the
// hour-square lines, with the header, in number mode; nothing in colour mode.
QStringList DrawBlockData(QImage& overlay, std::span<const maps::SampleRow> samplesByUxy,
                          const SquareMapCalibration& calibration, const BlockStyle& style,
                          const SquareOptions& options, const QHash<int, QString>& locationNames,
                          const std::function<void()>& afterBlock = {});

enum class BlendMode { Mix, Combine, Overlay };

// The image the window shows, from the background B (the plain map) and the overlay O, in
// QImage::Format_RGB888 and of the smaller width and height of the two; byte by byte over
// the three colour bytes:
// - Mix: w = round(ratio * 256), halves to even; (b * w + o * (256 - w)) >> 8;
// - Combine: (b * o) >> 8;
// - Overlay: B's pixel where O's pixel is exactly white, else O's.
// Images in another format are converted first. ratio is clamped to [0, 1].
QImage BlendMaps(const QImage& background, const QImage& overlay, BlendMode mode, double ratio);

} // namespace velmora::squares
