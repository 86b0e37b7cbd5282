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
#include "maps/symbolpainter.h"

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

// Draws the symbols of a run's records on the image, one record at a time, in the styles of
// the controls. The slot's numbers are checked when the drawer is made, so that a bad size
// ends the run before anything is drawn.
class RecordDrawer {
public:
    // Throws core::Error for a size or line width that is no valid number.
    RecordDrawer(QImage& image, const MapCalibration& calibration, const DrawSettings& settings,
                 RunKind run, bool redraw, const AbundanceSizes& sizes);
    // One record: its symbol (or square outline), and the coordinate message when its
    // position is wrong. Throws core::Error for a size in the abundance table that is no
    // valid number.
    RecordSymbolResult Draw(const LocationRecord& location, const QString& abundance);

private:
    SymbolPainter m_painter;
    const MapCalibration& m_calibration;
    const DrawSettings& m_settings;
    StyleRequest m_request;
    int m_outlineWidth;
};

// Draws the records in order (RecordDrawer), noting each abundance of a taxon run on the tab
// "Abund." in the sizes, which are sorted at the end. Stops after the record whose coordinate
// message was answered with Abort.
DrawOutcome DrawRecords(QImage& image, const MapCalibration& calibration,
                        const DrawSettings& settings, RunKind run, bool redraw,
                        AbundanceSizes& sizes, const std::vector<RunRecord>& records);

// Every location of the table, in the table's current order, as the records of an
// all-locations run. The table's position is kept.
std::vector<RunRecord> AllLocationRecords(core::Dataset& locations);

} // namespace velmora::maps
