#pragma once
// The square window's map: its calibration from the file name, the km-square under a pixel,
// and the code of the square the user chooses.
//
// The square window takes the four numbers of a calibrated map's file name as kilometres as
// they stand and keeps the transform unrounded: a map position (X, Y) in km lies at pixel
// column X * scaleX + offsetX and row Y * scaleY + offsetY, every drawing step rounding on
// its own.

#include "maps/mapcalibration.h"

#include <QPoint>
#include <QPointF>
#include <QSize>
#include <QString>
#include <optional>

namespace velmora::squares {

struct SquareMapCalibration {
    maps::MapEdges edges; // km
    double scaleX = 0;    // pixels per km
    double scaleY = 0;    // negative for a north-up map
    double offsetX = 0;   // -xLeft * scaleX
    double offsetY = 0;   // -yTop * scaleY

    // The calibration of an image of this size from its file name (without folder,
    // extension included): NAME_XLEFT_YTOP_XRIGHT_YBOTTOM_..., the fourth number followed by
    // "_". Nothing when the name does not carry the four numbers or they give the map no
    // width or height; the window then shows rsSquareMapNoCoordinates and
    // rsSquareMapOpenAnother on two lines and keeps its former calibration.
    static std::optional<SquareMapCalibration> FromFileName(const QString& fileName,
                                                            QSize imageSize);

    // truncate(value * scale + offset + add), the pixel column or row of a map position;
    // nothing when it lies beyond a billion pixels.
    std::optional<int> Column(double x, double add = 0.5) const;
    std::optional<int> Row(double y, double add = 0.5) const;
};

// The km-square (its south-west corner, in km) under an image pixel: round(X / scaleX +
// xLeft - 0.5), round(Y / scaleY + yTop - 0.5), halves to the even neighbour. Nothing when
// the result is no int.
std::optional<QPoint> SquareAt(const SquareMapCalibration& calibration, QPointF pixel);

// The x number as the square's x edit shows it: at least three digits, zero-padded ("085").
QString KmXText(int x);
// The y number as the square's y edit shows it: a plain number.
QString KmYText(int y);

enum class SquareKind { Km, Hour };

// A square number or code part: the trimmed text as a whole number; nothing when it is none.
std::optional<int> WholeNumber(const QString& text);

struct ChosenSquare {
    int x = 0; // km; for an hour-square rounded down to a multiple of 5
    int y = 0;
    QString code;  // the square code the samples are looked up by
    QString xText; // the edits' new texts (unchanged for a km-square)
    QString yText;
};

// The square chosen by the two edits. A km-square's code is the texts as typed joined by
// "-"; an hour-square's x and y are the edits' numbers integer-divided by 5 and times 5, the
// edits take these numbers unpadded, and the code is both with at least three digits joined
// by "-". Nothing when an edit does not hold an integer.
std::optional<ChosenSquare> ChooseSquare(SquareKind kind, const QString& xText,
                                         const QString& yText);

} // namespace velmora::squares
