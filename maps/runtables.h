#pragma once
// The tables a map run fills besides the map: the locations it drew (one row per location,
// also across the layers drawn over one map), the pH, conductivity and biotope tables with
// their shares, the earliest and latest day of the year, the square keys the frequency texts
// count, and the environment charts (phenology, pH-conductivity points, boxplot lists) fed
// through charts::EnvironmentRun.
//
// All of it is plain data in core::Grid tables (row 0 the header), so that the dot-map window
// shows it and a command-line atlas could print it.

#include "charts/environmentrun.h"
#include "core/grid/grid.h"
#include "ecology/taxalist.h"
#include "maps/dotstyles.h"
#include "maps/runsource.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace velmora::maps {

// The columns of the location table.
enum LocationColumn {
    lcID,
    lcLocation,
    lcDate,
    lcX,
    lcY,
    lcPH,
    lcEC,
    lcAnalist,
    lcAbund,
    lcZygo,
    lcPicture, // "Afb."
    lcCertain, // "Zeker"
    lcHerbarium,
    lcRemark, // "Opm. bij de soort"
    kLocationColumns
};
// An all-locations run shows only the first eight columns.
inline constexpr int kAllLocationsColumns = 8;

// The sort buttons of the location table marked by a sort.
enum class SortMark { None, Location, Date, Square };

struct RunTablesSettings {
    QString coordinateSystem; // core::kKmBased or core::kLatLon: how square keys are made
    bool dutchRules = false;  // the language of the date message
    int boxplotOrientation = 0;
    // The name of a biotope code ("" when the code is not in the table).
    std::function<QString(const QString& code)> biotopeName;
};

class RunTables {
public:
    // The environment run feeds the charts the window registered with it. The tables start
    // empty, with the headers of a taxon run.
    explicit RunTables(charts::EnvironmentRun& environment);

    // The start of a run. newMap: the run starts a new map (every table, count and chart
    // empty again; the location table with columns for a taxon run, or with
    // kAllLocationsColumns for an all-locations run); otherwise everything stays and the run
    // adds to it (a taxon run over an all-locations table widens it to every column). The
    // abundance sizes are the caller's to empty.
    void Reset(bool newMap, bool allLocations, const RunTablesSettings& settings);

    // One record of the run: the location and, in a taxon run, the sample (nullptr in an
    // all-locations run: the sample columns stay empty and the run adds no square keys). A
    // location already in the location table is not collected again. On the tab "Abund." the
    // sample's abundance is noted in the sizes.
    // The day of the year counts for the earliest and latest day when MAAND and DAG are whole
    // numbers of a month 1 to 12 and a day 1 to 31; a blank MAAND or DAG leaves the location
    // out of them.
    // Throws core::Error, before anything of the location is added, when MAAND or DAG is
    // neither blank nor a whole number, when a pH or conductivity is not a number after
    // cutting, or when it is too large to class (the run ends).
    void Collect(const LocationRow& location, const SampleRow* sample, StyleTab tab,
                 AbundanceSizes& sizes);

    // The end of a run that was not broken off: sorted abundance sizes, distinct square keys,
    // the earliest and latest texts, sorted tables with their "%" columns, labels, the
    // phenology bars and the location table sorted on "Date".
    void Finish(AbundanceSizes& sizes);

    // Tables (row 0 the header).
    const core::Grid& LocationTable() const;
    const core::Grid& PhTable() const { return m_ph; }            // "pH", "Range", "N", "%"
    const core::Grid& EcTable() const { return m_ec; }            // "EC", "Range", "N", "%"
    const core::Grid& BiotopeTable() const { return m_biotopes; } // "Code", "Biotoop", "N", "%"

    // A click on a header cell of the location table (descending: the right button); returns
    // the sort button to mark. A column the table does not have sorts nothing. "EC" sorts as
    // whole numbers, or as decimals when a cell has decimals. Throws core::Error (the table
    // unchanged) when a pH cell, or an EC cell, is not a number.
    SortMark SortLocations(int column, bool descending);
    // The three sort buttons: on "Location", "Date" or "X" as text.
    void SortLocationsBy(SortMark button, bool descending);

    // "Vroegste :" and "Laatste :" with day and month name; the label texts of the environment
    // panel ("pH + EGV Meldingen: n", "Biotoop        Meldingen: n", n as counted by the last
    // Finish) and the count ("Totaal aantal meldingen: n", the rows below the header).
    QString EarliestText() const;
    QString LatestText() const;
    QString PhLabel() const;
    QString BiotopeLabel() const;
    QString CountText() const;

    // The distinct km-square and hour-square keys of the run, sorted (after Finish).
    const QStringList& KmSquareKeys() const { return m_kmKeys; }
    const QStringList& HourSquareKeys() const { return m_hourKeys; }

    int Earliest() const { return m_earliest; } // month x 100 + day; 1231 when none
    int Latest() const { return m_latest; }     // 101 when none

private:
    void EmptyTables(bool allLocations);
    void WidenLocationTable();
    void FlushLocationRows() const;
    void AddSquareKeys(const SampleRow& sample);

    charts::EnvironmentRun& m_environment;
    RunTablesSettings m_settings;
    // New rows of the location table wait here until the table is read: appending rows one
    // at a time to a grid costs a pass over all its rows each time.
    mutable core::Grid m_locations;
    mutable std::vector<QStringList> m_newLocationRows;
    QSet<int> m_locationIds; // the IDs in the location table
    core::Grid m_ph;
    core::Grid m_ec;
    core::Grid m_biotopes;
    // The row of each key of the pH, EC and biotope tables.
    QHash<QString, int> m_phRows;
    QHash<QString, int> m_ecRows;
    QHash<QString, int> m_biotopeRows;
    QStringList m_kmKeys;
    QStringList m_hourKeys;
    int m_earliest = 1231;
    int m_latest = 101;
    int m_phTotal = 0;
    int m_biotopeTotal = 0;
};

// The details of one location for the excursion panel: its samples as rows "Nr", "Sieralg",
// "Abun.", "DLO", "Zygo", "Afb.", "Opmerking" (row 0 the header), sorted on "Sieralg" and
// numbered from 1.
core::Grid LocationSamples(const RunSource& source, int locationId);

// The information line of a taxon from the annotated taxa list (the record whose TAXON_NAME
// equals the name): "Auteur: ...,  Trofiegraad: ...,  Zuurgraad: ...,  Levensvorm: ..." (and
// ",  RL-soort"), or "Soort niet in de taxalijst of onbekende soort".
QString SpeciesInfoLine(const ecology::TaxaList& taxa, const QString& name);

} // namespace velmora::maps
