#pragma once
// The export of the current database for GIS programs (QGIS, ogr2ogr): one row per sample with
// the fields of its location visit, its own fields and the place of the location in WGS84
// longitude and latitude. Written as a GeoPackage point layer (".gpkg", EPSG:4326, through
// GDAL) or as comma-separated text (".csv", UTF-8) whose first column "WKT" holds the point as
// "POINT (lon lat)", which GDAL and QGIS read as the geometry.
//
// The columns: ID (the sample's location ID, a whole number), every other field of the
// locations table, every other field of the samples table, then
//  - LON, LAT: the point in degrees (empty without a point);
//  - PRECISION: how the coordinate texts place the location:
//      "point"       a point given in RD km with decimals, in RD metres or in degrees;
//      "km-square"   a km-square (RD in whole km, or atlas notation with a km-square number):
//                    the point is the square's centre;
//      "atlas block" a 5 x 5 km atlas block (atlas notation with number 0): the block's centre;
//      "none"        no coordinates (empty, 0, a database without coordinate system, or a
//                    sample whose ID matches no location);
//      "invalid"     texts that name no place: not a number, an atlas sheet, block or square
//                    that does not exist, RD values far outside the grid, degrees beyond
//                    +-180 / +-90;
//  - PREC_M: the size in metres of what the point stands for: 1000 for a km-square, 5000 for
//    an atlas block, and for a point the step of its last written decimal (RD "162,4" 100 m,
//    metres 1 m, degrees with four decimals 11 m); empty for "none" and "invalid".
// Rows without a point are written too, without geometry: nothing of the database is left out.
// A GeoPackage of up to 250,000 rows gets a spatial index; a larger one is written without
// (building it would take longer than the rest of the export), which GIS programs add on
// request.
// The texts are read by the rules of the square codes (core/coordinates.h) for the database's
// coordinate system and the interface language: the atlas notation only under "NL".
//
// The file is written beside the chosen one and renamed over it at the end: a failure or a
// cancel leaves no part of a file and an existing file of that name as it was.

#include <QString>
#include <functional>

namespace velmora::core {
class DatabaseStore;
}

namespace velmora::recording {

enum class GisPrecision { Point, KmSquare, AtlasBlock, None, Invalid };

// Where a location lies by its coordinate texts.
struct GisPosition {
    GisPrecision precision = GisPrecision::None;
    double lon = 0.0; // degrees, WGS84; only with a point (Point, KmSquare, AtlasBlock)
    double lat = 0.0;
    int sizeMetres = 0; // PREC_M; 0 without a point
    bool HasPoint() const {
        return precision != GisPrecision::None && precision != GisPrecision::Invalid;
    }
};

// The place of a location with the coordinate texts COORDX and COORDY in a database of the
// coordinate system, read under the interface language.
GisPosition LocatePosition(const QString& coordX, const QString& coordY,
                           const QString& coordinateSystem, const QString& language);

// The word of the PRECISION column.
QString PrecisionName(GisPrecision precision);

// Writes every sample of the store's open database to the path, as a GeoPackage for ".gpkg"
// and as CSV for ".csv" (letter case ignored); the atlas notation is read under the current
// interface language. progress(percent) is told as the rows are written; true cancels: nothing
// is written and -1 is returned. Returns the number of samples written. Throws core::Error
// (the file and the reason) for another extension, when no database is open, or when the file
// cannot be written.
int ExportGis(core::DatabaseStore& store, const QString& path,
              const std::function<bool(int)>& progress = {});

} // namespace velmora::recording
