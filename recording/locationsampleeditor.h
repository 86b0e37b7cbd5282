#pragma once
// The rules that keep locations and samples of the current database consistent while the user
// edits them in the main window: the link fields of a sample (ID, DATUM, KXY, UXY), their
// propagation when a location changes, the delete cascade, new location numbers, copying a
// location, the date checks, and the rows of the sample grid. The window calls these and only
// displays; everything here is testable without a window.

#include "core/grid.h"

#include <QString>

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
// The first "." of a coordinate text replaced by "," (the Dutch decimal comma).
QString DecimalCommaRepair(const QString& text);

class LocationSampleEditor {
public:
    explicit LocationSampleEditor(core::DatabaseStore& store);

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

    // Appends a copy of the current location with a new ID and puts it into edit with the
    // date, herbarium, pH and conductivity emptied and the default analyst. Samples are not
    // copied. REQUIRES: Locations in Browse with a current record.
    void CopyRecord(const QString& defaultAnalyst);

    // The sample grid of the current location: header row 0 and one row per sample, sorted by
    // name. Rows carry the physical record number in column 0. An empty location gives the
    // header and one empty row.
    core::Grid SampleRows();

private:
    core::DatabaseStore& m_store;
};

} // namespace velmora::recording
