#pragma once
// Drawing the records of a map run on the working image: each record's style resolved from
// the style controls (slot of the active tab, the separation year, the abundance sizes) and
// its symbol placed by the placement buttons.
//
// A run on the tabs "Primair", "Abund.", "Speciaal " and "Alle Locaties" starts a new map
// (the caller resets the working image first); runs on "Sec1" to "Sec4" draw over it.

#include "core/dataset.h"
#include "maps/dotposition.h"
#include "maps/dotstyles.h"
#include "maps/mapcalibration.h"
#include "maps/recordsymbol.h"

#include <QImage>
#include <QString>
#include <vector>

namespace velmora::maps {

// A record of a run: the location and, in a taxon run, the sample's abundance.
struct RunRecord {
    LocationRecord location;
    QString abundance;
};

// What the style controls of the dot-map window say.
struct DrawSettings {
    DotStyles styles;
    StyleTab tab = StyleTab::Primary;
    PlacementRules rules;
    QString outlineWidth = QStringLiteral("1"); // "Uurhoklijnbreedte"
    QString separationYear;
};

struct DrawOutcome {
    int drawn = 0;        // records that put something on the image
    bool aborted = false; // the user chose Abort in a coordinate error message
};

// True for the tabs whose runs start a new map.
bool StartsNewMap(StyleTab tab);

// Draws the records in order on the image (one symbol each, or a square outline for atlas
// notation). On the tab "Abund." every abundance of a taxon run is noted in the table of
// sizes, which is sorted at the end of the run; a run of "Teken Opnieuw" (redraw) takes its
// sizes from that table. Stops after the record whose coordinate message was answered with
// Abort. Throws core::Error, before anything is drawn, for a size or line width that is no
// valid number.
DrawOutcome DrawRecords(QImage& image, const MapCalibration& calibration,
                        const DrawSettings& settings, RunKind run, bool redraw,
                        AbundanceSizes& sizes, const std::vector<RunRecord>& records);

// Every location of the table, in the table's current order, as the records of an
// all-locations run. The table's position is kept.
std::vector<RunRecord> AllLocationRecords(core::Dataset& locations);

} // namespace velmora::maps
