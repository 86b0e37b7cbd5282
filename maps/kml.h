#pragma once
// The locations of the last map run as placemarks of a KML file, for a viewer such as Google
// Earth: one placemark per row of the run's location table, in the table's order, with a
// balloon that shows the run's title (not for an all-locations run), the location, its
// coordinates as stored and its date.
//
// km coordinates go through the same reading as the dot map (metres, atlas notation under the
// Dutch rules, the placement buttons; see PlaceForExport) and are converted from RD to
// longitude and latitude; "LatLon" coordinates are written as they are, or moved to the centre
// of their cell with "per hok".
//
// The balloon is HTML inside a CDATA section. The table's texts are written into it with
// "&", "<" and ">" as HTML entities: the viewer shows them as typed, and no text can end the
// CDATA section. Characters that XML does not allow become blanks.
//
// The file is written as a whole, in UTF-8 with CR LF line ends; a coordinate error writes
// nothing. Opening the file in the viewer is the window's part.

#include "maps/dotposition.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace velmora::core {
class Grid;
}

namespace velmora::maps {

inline const QString kKmlNamespace = QStringLiteral("http://www.opengis.net/kml/2.2");
inline const QString kKmlPlacemarkIcon =
    QStringLiteral("http://maps.google.com/mapfiles/kml/shapes/placemark_circle_highlight.png");
// The icon of a whole atlas block (a location whose "Y" cell is "0").
inline const QString kKmlSquareIcon =
    QStringLiteral("http://maps.google.com/mapfiles/kml/shapes/square.png");

struct KmlBuild {
    QStringList lines; // the whole file, one line per entry; empty after a coordinate error
    int errorRow = -1; // the row of the location table whose coordinates could not be used
};

// The KML of the rows of a location table (row 0 the header, the columns of LocationColumn:
// "Location", "Date", "X" and "Y" are read). The build stops at the first row whose "X" or
// "Y" cannot be used. betweenRows, when given, is called after every placemark (the window
// lets pending events run there).
KmlBuild BuildKml(const core::Grid& locations, const QString& title, const PlacementRules& rules,
                  const std::function<void()>& betweenRows = {});

// The lines as the file holds them: each ended by CR LF, in UTF-8.
QByteArray KmlText(const QStringList& lines);

// core::KmlDir() + SafeFileName(title) + ".KML".
QString KmlPath(const QString& title);

struct KmlWriteResult {
    QString path;         // the file written; empty when nothing was written
    bool aborted = false; // Abort was chosen in the coordinate error message
};

// "Toon in Google Earth" without the viewer: builds the KML of the location table and writes
// it to KmlPath(title), creating the folder and replacing an older file. A table without
// data rows writes nothing and asks nothing. A coordinate error is reported (location and
// date) with the buttons OK and Abort; nothing is written either way, and after Abort the
// window does not export again until the next map run. Throws core::Error
// (the file and the reason) when the folder cannot be made or the file cannot be written;
// an older file is then left as it was.
KmlWriteResult WriteKml(const core::Grid& locations, const QString& title,
                        const PlacementRules& rules, const std::function<void()>& betweenRows = {});

} // namespace velmora::maps
