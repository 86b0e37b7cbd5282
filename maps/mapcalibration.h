#pragma once
// The georeference of a map image, carried in its file name.
//
// A calibrated map is named NAME_XLEFT_YTOP_XRIGHT_YBOTTOM_.ext: a name without "_", then the
// map coordinates of the image's left edge (x at pixel column 0), top edge (y at row 0),
// right edge (x at column = width) and bottom edge (y at row = height), each followed by
// "_". In a km-based database the numbers are km (or metres, recognised by their size); in a
// "LatLon" database decimal degrees, x the longitude and y the latitude. A number may use
// "." or "," as its decimal separator.
//
// From the edges and the image size come the scales (pixels per coordinate unit; the y scale
// is negative for a north-up map) and whole-pixel offsets, and from those the pixel of a
// map position: column Trunc(X * scaleX + 0.5) + offsetX, row Trunc(Y * scaleY + 0.5) +
// offsetY, Trunc cutting toward zero. Every symbol of the map is drawn at that pixel.

#include <QPoint>
#include <QSize>
#include <QString>
#include <optional>

namespace velmora::maps {

struct MapEdges {
    double xLeft = 0;
    double yTop = 0;
    double xRight = 0;
    double yBottom = 0;
    bool operator==(const MapEdges&) const = default;
};

// The four numbers of a map file name (without folder, extension included), in file order:
// everything up to and including the first "_" is dropped, then four times the text up to
// the next "_" is read as a number. Nothing when a "_" is missing or a piece is empty or not
// a number.
std::optional<MapEdges> EdgesFromFileName(const QString& fileName);

// In a km-based database, edges with yBottom above 300000 and xLeft above 5000 are metres:
// all four are divided by 1000. Other edges, and every edge of a "LatLon" database, are
// returned as they are.
MapEdges EdgesInKilometres(const MapEdges& edges, const QString& coordinateSystem);

// True when the edges span a width and a height (and are finite numbers), so that the
// scales exist. A map whose left and right (or top and bottom) edge coincide cannot be
// drawn on.
bool HasExtent(const MapEdges& edges);

struct MapCalibration {
    MapEdges edges;
    double scaleX = 0; // pixels per coordinate unit
    double scaleY = 0;
    long long offsetX = 0; // whole pixels
    long long offsetY = 0;

    // The calibration of an image of this size with these edges; nothing when the edges
    // have no extent or put the image's first pixel beyond a billion pixels from the origin
    // of the map coordinates (no picture is that large: the numbers are wrong).
    static std::optional<MapCalibration> FromEdges(const MapEdges& edges, QSize imageSize);

    // The pixel of a map position; nothing when it lies so far off the map that its pixel
    // is no whole number a picture can have (beyond a billion pixels).
    std::optional<QPoint> Pixel(double x, double y) const;
    // The column and row parts of Pixel, for the square outlines: Trunc(v * scale + add) +
    // offset, nothing when far off the map.
    std::optional<int> Column(double x, double add = 0.5) const;
    std::optional<int> Row(double y, double add = 0.5) const;
};

// ---- Two-point calibration: the user marks two places of known coordinates.

struct CalibrationPoint {
    QPoint pixel; // in the full-size picture
    double x = 0; // the map coordinates typed for it
    double y = 0;
};

enum class CalibrationCheck {
    Ok,
    PointsTooClose, // less than two pixels apart in x or in y
    NoExtent,       // the same x or the same y typed for both points
};

struct CalibrationResult {
    CalibrationCheck check = CalibrationCheck::Ok;
    MapEdges edges; // only when check is Ok
};

// The edges of a full-size picture from two points: per pixel a_x = (X2 - X1) / (px2 - px1 -
// 1) and a_y likewise (the pixel distance less one); x_left = X1 - px1 * a_x, y_top = Y2 -
// py2 * a_y (the x edge from the first point, the y edge from the second); x_right = width *
// a_x + x_left, y_bottom = height * a_y + y_top. Points less than two pixels apart in either
// direction would divide by zero or by a distance that means nothing, and are refused, as
// are points that give the map no width or height.
CalibrationResult ComputeEdges(const CalibrationPoint& first, const CalibrationPoint& second,
                               QSize fullSize);

// A position clicked in the picture as shown fitted to the window, in full-size pixels:
// Round(p * full / shown) per axis, halves to the even neighbour. An empty shown size
// returns the position unchanged.
QPoint FullSizePixel(QPoint shown, QSize fullSize, QSize shownSize);

// The name a calibrated copy is proposed under: the map name up to its first "_" (the whole
// name when it has none).
QString ProposedMapName(const QString& mapName);

// The name typed for a calibrated copy as a file name part: SafeFileName, and every "_"
// (which would end the name before the numbers) replaced by "-".
QString CalibrationNamePart(const QString& typed);

// NAME_XLEFT_YTOP_XRIGHT_YBOTTOM_ + extension, the numbers with "." as decimal separator,
// each rounded to 6 significant digits: in a "LatLon" database with 5 decimals, otherwise
// with 3 decimals, or none when yTop is above 300000 (metres).
QString CalibratedFileName(const QString& name, const MapEdges& edges,
                           const QString& coordinateSystem, const QString& extension);

// The text with every / \ : * ? " < > | replaced by "_": the file names the map window
// proposes.
QString SafeFileName(const QString& text);

// Round with halves to the even neighbour.
double RoundHalfEven(double value);

} // namespace velmora::maps
