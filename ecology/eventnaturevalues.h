#pragma once
// The nature value of every location event of a database (or of the events asked for), each
// as the main window computes it for the event it shows, and of all those events together.
//
// The samples are read in one pass over the samples table and gathered by event, so the time
// grows with the size of the database, not with the number of events times the table size.
// Nothing is written to the tables; their cursors stay where they are.

#include "ecology/naturevaluetally.h"

#include <QSet>
#include <QString>
#include <optional>
#include <vector>

namespace velmora::core {
class Dataset;
}

namespace velmora::ecology {

struct EventNatureValueOptions {
    // Only these event IDs; every event when not given.
    std::optional<QSet<long long>> events;
    // The year filter of the tables (PassesYearFilter); empty: every year.
    QString year;
    bool alternativeMethod = false;
    // Uncertain determinations, dead cells and abundance 0 are not counted (the main window's
    // test of a sample).
    bool ignoreUncertain = false;
};

struct EventNatureValue {
    long long id = 0;
    QString location;  // LOCATIE
    QString date;      // JAAR-MAAND-DAG as stored
    QString zuurgraad; // ZUURGRAAD as stored
    int samples = 0;   // sample records of the event
    NatureValueResult result;
};

struct EventNatureValues {
    std::vector<EventNatureValue> events; // in ID order
    // All events together, in the milieu of the events met (MilieuSet).
    NatureValueResult combined;
    int combinedSamples = 0;
};

// Throws core::Error when a taxon's R or S entry in the list is not a whole number. The tally
// is left holding the combined result.
EventNatureValues ComputeEventNatureValues(core::Dataset& locations, core::Dataset& samples,
                                           NatureValueTally& tally,
                                           const EventNatureValueOptions& options);

} // namespace velmora::ecology
