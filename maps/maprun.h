#pragma once
// A map run without a window: which records a run takes (the walk) and taking them (each
// collected into the run tables and drawn on the map).
//
// A taxon run walks, for every name the chosen taxon is drawn with, the samples of that name
// in the order of the samples table's "DESMID" tag; an all-locations run walks every location.
// The options skip records: the record filter, firm records only, the period, zygospores only.

#include "maps/dotrun.h"
#include "maps/namelists.h"
#include "maps/runsource.h"
#include "maps/runtables.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace velmora::maps {

// What the record filter says about a location.
enum class FilterOutcome { Pass, Fail, Error };
using LocationFilter = std::function<FilterOutcome(const LocationRow&)>;

struct RunOptions {
    NameListOptions names;
    bool periodOn = false; // "Periode:" with the years "Beginjaar >=" and "Eindjaar<="
    int beginYear = 0;
    int endYear = 0;
    LocationFilter filter; // empty: no filter
};

// One record a run takes.
struct RunStep {
    const LocationRow* location = nullptr;
    const SampleRow* sample = nullptr; // nullptr in an all-locations run
};

struct RunWalk {
    QStringList names;          // the names drawn (the image hint); empty for all locations
    std::vector<RunStep> steps; // in the order they are taken
    bool brokenOff = false;     // the filter failed to evaluate, or a year could not be read:
                                // the run ends after the steps found so far
    QString error;              // the message of a year that could not be read
};

// The records of a taxon run for the chosen name. A sample without a location (a blank ID, or
// an ID no location has) is passed over.
RunWalk WalkTaxon(const RunSource& source, const ecology::TaxaList& taxa, const QString& name,
                  const RunOptions& options);
// The records of an all-locations run, in the order of the locations.
RunWalk WalkAllLocations(const RunSource& source, const RunOptions& options);

// The year of a location: the first four characters of JAAR as a whole number.
std::optional<int> LocationYear(const LocationRow& location);

struct RunOutcome {
    int drawn = 0;
    bool finished = false; // every step taken and the tables finished
    bool aborted = false;  // Abort in a coordinate message
};

// Takes the steps in order: each is collected into the tables and drawn. Abort in a
// coordinate message ends the run at once, as does a broken-off walk after its last step;
// otherwise the tables are finished. Throws core::Error (a size or date that is no number):
// the run then ends where it was.
RunOutcome TakeSteps(const RunWalk& walk, RunTables& tables, RecordDrawer& drawer, StyleTab tab,
                     AbundanceSizes& sizes);

// A location as the dot drawing reads it.
LocationRecord ToLocationRecord(const LocationRow& location);

} // namespace velmora::maps
