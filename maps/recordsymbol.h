#pragma once
// One location of a map run on the working image: its position (PlaceLocation), its pixel
// (the map's calibration) and its symbol (the resolved style, or a square outline for
// atlas notation).

#include "core/dataset.h"
#include "maps/dotposition.h"
#include "maps/dotstyles.h"
#include "maps/mapcalibration.h"
#include "maps/symbolpainter.h"

#include <QString>

namespace velmora::maps {

// The fields of a location record that placing its dot reads.
struct LocationRecord {
    QString coordX;
    QString coordY;
    QString locatie;
    QString dag;
    QString maand;
    QString jaar;
};

// The current record of the Locations table.
LocationRecord CurrentLocation(core::Dataset& locations);

struct RecordSymbolResult {
    bool drawn = false;    // something was drawn on the image (it may lie outside it)
    bool abortRun = false; // the user chose Abort in the coordinate error message
};

// Places and draws the record's symbol. Unreadable coordinates show the coordinate error
// message (OK/Abort) and draw nothing; a position outside the Netherlands under the Dutch
// rules shows the same message after the symbol is drawn. Square outlines (atlas notation)
// are drawn in the style's colour with the outline width; a style without shape draws
// nothing else. A position that falls beyond any pixel draws nothing.
RecordSymbolResult DrawRecordSymbol(SymbolPainter& painter, const MapCalibration& calibration,
                                    const PlacementRules& rules, const ResolvedStyle& style,
                                    int outlineWidth, const LocationRecord& record);

} // namespace velmora::maps
