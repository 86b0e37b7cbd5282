#pragma once
// The tables of a selection of location events: the location table that lists the events
// passing a filter, the user's selection and location numbers in it, the location list of the
// selected events, and the two results built from the selection, the species list and the
// nature value table; saving the table shown and exporting the selected samples with their
// taxon information.
//
// The location table is a grid of nine columns (LocationColumn). Column 0 holds the event's ID,
// preceded by "S" when the row is selected; column 8 holds the row's location number, empty or
// digits. Events with the same number form one location in the results.
//
// Everything reads the open locations and samples tables and writes nothing to them; their
// cursors and the samples' active tag are moved.

#include "core/grid/grid.h"

#include <QString>
#include <functional>

namespace velmora::core {
class Dataset;
}

namespace velmora::ecology {

class NatureValueTally;
class SearchList;
class TaxaList;

enum LocationColumn : int {
    LcId = 0,
    LcLocatie,
    LcDatum,
    LcX,
    LcY,
    LcPh,
    LcEc,
    LcAnalist,
    LcMerge,
    LocationColumnCount
};

// The five filter texts and the letter-case switch.
struct TableFilter {
    QString year;     // four characters: that year; nine: the years from the first four
                      // characters to the last four; any other length: every year
    QString owner;    // OWNER contains it
    QString location; // LOCATIE contains it
    QString analyst;  // ANALIST contains it, letter case always ignored
    QString taxon;    // a sample name of the event contains it, letter case always ignored
    bool caseSensitive = false; // for the owner and the location

    // The year, taxon, owner and location texts without surrounding blanks; the analyst
    // text is used as typed.
    void Trim();
};

// Whether a JAAR text passes the year filter text (after Trim): four characters that year,
// nine the years from the first four characters to the last four, anything else every year.
bool PassesYearFilter(const QString& jaar, const QString& year);

// The options of the results.
struct SelectionOptions {
    bool ignoreVarieties = false; // names reduced to their species
    bool ignoreNotInList = false; // names the search list lacks are set aside ("NIT: ")
    bool ignoreUncertain = false; // uncertain determinations are set aside ("N: ")
    bool ignoreDead = false;      // dead cells and abundance 0 are set aside ("D: ")
    bool currentNames = false;    // names replaced by their current name in the list
    bool authors = false;         // the author after the name in the species list
    bool mergeAbundances = false; // one abundance, the smallest, per taxon and location
};

// The location table of the events that pass the filter (the filter as given; TableFilter::Trim
// is the caller's), walked in the order of the locations' "Datum" tag and sorted on the
// location name and then the date. Every row unselected, no location numbers.
core::Grid FillLocationTable(core::Dataset& locations, core::Dataset& samples,
                             const TableFilter& filter);

bool IsSelectedRow(const core::Grid& table, int row);
void SetRowSelected(core::Grid& table, int row, bool selected);
bool HasSelectedRow(const core::Grid& table);
enum class SelectionChange { All, Invert, None };
void ChangeSelection(core::Grid& table, SelectionChange change);

// A click on a header: the sort of that column, ascending or descending; the "Merge" column
// runs AssignLocationNumbers instead. Throws core::Error (the grid unchanged) when a pH or EC
// cell is not a number.
void SortLocationTable(core::Grid& table, int column, bool descending);
// Every selected row without a location number gets the next number above the highest one of
// the selected rows, in table order; then the table is sorted on the numbers, empty as 0.
void AssignLocationNumbers(core::Grid& table);

// The location list (nine columns) and the full location grid (every field of the locations
// table) of the selected rows, in table order.
struct LocationLists {
    core::Grid list;
    core::Grid full;
};
LocationLists BuildLocationList(core::Dataset& locations, const core::Grid& table);

// What the results read.
struct SelectionSource {
    core::Dataset& locations;
    core::Dataset& samples;
    const TaxaList& taxaList;
    const SearchList& searchList;
    // Called after each event, so that a window can repaint; may be empty.
    std::function<void()> afterEvent;
};

// The species list of the selected rows, which get their location numbers first. The location
// list and the full grid end with the block of red-list taxa. Resets the tally's results.
struct SpeciesListResult {
    core::Grid table;
    LocationLists lists;
};
SpeciesListResult BuildSpeciesList(const SelectionSource& source, core::Grid& locationTable,
                                   const SelectionOptions& options, NatureValueTally& tally);

// The nature value table: one row per location number, an empty row and the row of all
// selected events together. The tally is left holding that total. Empty table (no rows) when
// no row is selected.
struct NatureValueTableResult {
    core::Grid table;
    LocationLists lists;
};
NatureValueTableResult BuildNatureValueTable(const SelectionSource& source,
                                             core::Grid& locationTable,
                                             const SelectionOptions& options,
                                             NatureValueTally& tally);
// A click on a header of the nature value table: ascending on that column; the empty row and
// the total row stay last. Column 0 does not sort.
void SortNatureValueTable(core::Grid& table, int column);
// Rows become columns; the row of location numbers is dropped, so that row 0 reads "Locatie"
// and the location names, and column 0 holds the former headers.
void TransposeTable(core::Grid& table);

enum class TableView { LocationTable = 1, NatureValueTable = 2, SpeciesList = 3 };

// The name a saved table is proposed under: the non-empty filter texts (taxon, owner,
// location, analyst, year) joined by "-", then the name of the view.
QString DefaultTableFileName(const TableFilter& filter, TableView view);
// The name of the location list saved beside a result: the base name of the result's file +
// "-LocatieLijst" + its extension, in its folder.
QString LocationListFileName(const QString& resultPath);

enum class TableFileFormat { Text, Spreadsheet };
// The extension of a saved spreadsheet: ".xlsx" when the spreadsheet libraries are there,
// otherwise ".xls".
QString TableSpreadsheetExtension();
// Saves the table under the path, and the location list (when given) beside it under
// LocationListFileName. A spreadsheet gets the sheet name given, and "LocatieLijst" for the
// list; without the spreadsheet libraries the minimal spreadsheet file is written, as ".xls".
// A failure is shown as a message and returns false; nothing is left under the chosen name
// then. Returns false too when the user declined to replace an existing file.
bool SaveSelectionTable(const core::Grid& table, const core::Grid* locationList,
                        const QString& path, TableFileFormat format, const QString& sheetName);

// The samples of the selected events, one line per sample with every field of its event, the
// seven sample fields from DESMID to OPMDESMID and the two parts of the taxon information,
// and the taxon's list information when taxonInfo is given. The progress goes through the
// prompts; false when cancelled (no file) or the file could not be written (a message).
bool ExportSelection(core::Dataset& locations, core::Dataset& samples,
                     const core::Grid& locationTable, const TaxaList* taxonInfo,
                     const QString& path);

} // namespace velmora::ecology
