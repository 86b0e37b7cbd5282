#pragma once
// The rules that keep locations and samples of the current database consistent while the user
// edits them in the main window: the link fields of a sample (ID, DATUM, KXY, UXY), their
// propagation when a location changes, the delete cascade, new location numbers, copying a
// location, the date checks, and the rows of the sample grid. The window calls these and only
// displays; everything here is testable without a window.

#include "core/grid/grid.h"

namespace velmora::ecology {
class NatureValueTally;
}

#include <QString>
#include <optional>
#include <vector>

namespace velmora::core {
class DatabaseStore;
class Dataset;
} // namespace velmora::core

namespace velmora::recording {

// The ten columns of the sample grid: physical record number, row number, then DESMID,
// ABUND, DL, ZYGO, FOTO, ZEKER, OPMDESMID, DESMIDINFO.
inline constexpr int kSampleGridColumns = 10;
const QStringList& SampleGridHeader();
const QStringList& SampleGridFields(); // the fields of columns 2..9

// Pads a one-character day or month with a leading "0"; other texts are returned unchanged.
QString PadDayOrMonth(const QString& text);
// True when day, month and year are integers forming a calendar date (day or month 0 count
// as 1).
bool IsValidDate(const QString& day, const QString& month, const QString& year);
// The date rule of a stored location: a year, and a day and month that are empty (not known)
// or make a calendar date with it.
bool IsStorableDate(const QString& day, const QString& month, const QString& year);
// The first "." of a coordinate text replaced by "," (the Dutch decimal comma).
QString DecimalCommaRepair(const QString& text);

// The editor subscribes to the store's two tables for as long as it lives, so that every
// post and delete, from a window or not, passes the rules:
// - a location is stored only with a name, a year, a date that exists, readable coordinates
//   and numbers (or nothing) in pH, conductivity and water temperature; a year outside
//   1800 … next year is asked about;
// - deleting a location deletes its samples (the delete cascade) and lowers MaxLocationID;
// - a sample is stored only with a name, and only as a sample of the current location: a
//   post or delete of a sample whose ID differs from the current location's ID is refused,
//   whatever the window shows. Whole-table operations (propagation, the delete cascade,
//   square codes) run inside a DatabaseStore::BulkChange and pass.
// A refusal has told the user why and throws core::Refusal; nothing is written.
class LocationSampleEditor {
public:
    explicit LocationSampleEditor(core::DatabaseStore& store);
    ~LocationSampleEditor();
    LocationSampleEditor(const LocationSampleEditor&) = delete;
    LocationSampleEditor& operator=(const LocationSampleEditor&) = delete;

    // The ID of the current location (the record being edited, or the current stored one);
    // nothing when there is none or it has no ID.
    std::optional<long long> CurrentLocationId();
    // True when the samples table's current record is a sample of the current location, or
    // a sample being edited or inserted: the one record a sample panel may show and change.
    bool CurrentSampleBelongs();

    // The rules, as the tables' notifications run them (public for whole-table callers).
    void CheckLocationBeforePost();
    void CheckSampleBeforePost();
    void CheckSampleBeforeDelete();

    // DATUM of the current location: JAAR "-" MAAND "-" DAG, the texts as they stand.
    QString LocationDatum();

    // Fills ID, DATUM, KXY and UXY of the sample being edited from the current location and
    // sets SamplesChanged. Throws core::Error when a coordinate is not a number; nothing is
    // written then. REQUIRES: Samples in Edit or Insert.
    void Apply();

    // Rewrites DATUM, KXY and UXY of every sample of the current location. Throws core::Error
    // on an unreadable coordinate before any sample is changed.
    void PropagateLocationToSamples();

    // After a location was deleted: MaxLocationID from the remaining locations, and every
    // sample of the deleted location removed; the samples table is packed.
    void SamplesUpdate(long long deletedId);

    // The ID for a new location (MaxLocationID + 1); raises MaxLocationID.
    long long NextLocationId();

    // Fills the location just inserted (not yet stored): a new ID and the default analyst;
    // raises LocationsChanged. REQUIRES: Locations in Insert.
    void StartNewLocation(const QString& defaultAnalyst);

    // Starts a new location (Insert, not yet stored) holding a copy of the current one with a
    // new ID, the date, herbarium, pH and conductivity emptied and the default analyst.
    // Samples are not copied. REQUIRES: Locations in Browse with a current record.
    void CopyRecord(const QString& defaultAnalyst);

    // The sample grid of the current location: header row 0 and one row per sample, sorted by
    // name. Rows carry the physical record number in column 0. An empty location gives the
    // header and one empty row.
    core::Grid SampleRows();

    // Adds the samples of the current event to the tally, in the order of the sample grid,
    // with the milieu of the location's ZUURGRAAD; with ignoreUncertain the samples the
    // main window does not count (see ecology::IsCountedRecord) are added as excluded. The
    // tally is not cleared first and its nature value is computed when there were samples.
    // Returns the number of samples and the first one's name.
    struct EventTally {
        int samples = 0;
        QString firstName;
    };
    EventTally TallyCurrentEvent(ecology::NatureValueTally& tally, bool ignoreUncertain,
                                 bool alternativeMethod);

private:
    core::DatabaseStore& m_store;
    std::vector<int> m_locationHandlers;
    std::vector<int> m_sampleHandlers;
    std::optional<long long> m_deletingLocation; // between BeforeDelete and AfterDelete
};

} // namespace velmora::recording
