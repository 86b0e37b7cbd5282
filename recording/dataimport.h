#pragma once
// The import of field records from a tab-separated text file or a spreadsheet into the
// current database: every data row becomes one sample, and consecutive rows whose
// unique-location columns agree share one location record. The rows are added to the
// database or replace its whole content.
//
// The import is all or nothing. The new content is written into new table files in a hidden
// folder of DataDir (when adding: the old records first, then the new ones) and put in the
// place of the database's files only when every row went in; a row that fails, a cancel, a
// full disk or a kill leaves the database exactly as it was.
//
// DataImport holds what the import window shows and keeps between showings within a run of
// the program: the data grid, what every chooser shows, the column map, the remembered layout
// file and the folder of the last data file. Messages and questions go through
// core::UserPrompts().

#include "core/grid/grid.h"
#include "recording/importgrid.h"
#include "recording/importlayout.h"

#include <QString>
#include <array>
#include <functional>

namespace velmora::core {
class DatabaseStore;
}

namespace velmora::recording {

// The coordinate systems offered when replacing, and what the database then becomes.
inline const QString kAmersfoort = QStringLiteral("Amersfoort");
inline const QString kLatLonChoice = QStringLiteral("LatLon");

// What an import run needs to know.
struct ImportSettings {
    std::array<int, kImportKeyCount + 1> columns{}; // by ImportKey; 0 or less: not imported
    std::array<int, kUniqueLocationColumns> unique{};
    int startRow = 0; // below 1: none chosen
    bool textDates = false;
    bool replace = false;
    QString coordinateSystem; // kAmersfoort, kLatLonChoice or empty (none chosen)
};

// The key of a row: its cells in the unique-location columns (those above 0), in order,
// joined without separator.
QString UniqueLocationKey(const core::Grid& grid, int row,
                          const std::array<int, kUniqueLocationColumns>& unique);
// Whether row + 1 starts a new location: its key differs from the key of the row.
bool TestSameLocation(const core::Grid& grid, int row,
                      const std::array<int, kUniqueLocationColumns>& unique);
// The rows from startRow to the last sorted on their key; rows above stay in place.
void SortOnUniqueLocation(core::Grid& grid, int startRow,
                          const std::array<int, kUniqueLocationColumns>& unique);
// Removes the grid row; the rows below move up.
void RemoveGridRow(core::Grid& grid, int row);

// "Sort data on unique location": rows from startRow without a taxon name are removed, then
// the rows are sorted and numbered again. Messages for missing choices.
void SortDataOnUniqueLocation(core::Grid& grid, const ImportSettings& settings);
// "Check coordinates": one message listing every row whose coordinates are not numbers.
void CheckCoordinates(const core::Grid& grid, const ImportSettings& settings);
// The checks before an import, in their order, and the confirmation. False (after a
// message) when the import must not run.
bool CheckImportSettings(const ImportSettings& settings);

// What became of an import run.
struct ImportOutcome {
    bool complete = false;
    bool cancelled = false;
    int failedRow = 0; // the grid row that failed, 0 when none did
    QString reason;    // why it failed
    int locations = 0; // records written
    int samples = 0;
    int valuesCut = 0; // values longer than their field
};

// Writes the rows from settings.startRow on into database `name` (closed; its files in
// DataDir): the run itself, after the checks. `coordinateSystem` is the database's (the new
// one when replacing), `language` the interface language the coordinates are read by.
// Empty taxon cells become "--" in the grid too. Nothing is shown; the outcome tells.
// Throws core::Error when the database's files cannot be opened or the new ones written or
// put in place; the database is then unchanged.
ImportOutcome WriteImport(core::Grid& grid, const ImportSettings& settings, const QString& name,
                          const QString& coordinateSystem, const QString& language,
                          const ImportProgress& progress = {});

// Every column chooser and the start row without a choice, the unique-location choosers at
// 0, dates in columns.
ColumnLayout NoChoiceLayout();

class DataImport {
public:
    const core::Grid& Grid() const { return m_grid; }
    core::Grid& Grid() { return m_grid; }
    // The number of data columns (what the column choosers offer beyond 0); 20 before a file.
    int ChooserCount() const;
    // What the start-row chooser offers beyond 0: the number of data columns, or more when
    // the file has more rows (up to 100), so that a deep header can be passed over.
    int StartRowCount() const;

    // What every chooser shows: box[k] the column chooser of key k (the start row at
    // kImportStartRow), -1 for no choice; the unique-location choosers; the date mode and
    // format. method and coordinate system beside them.
    ColumnLayout choosers = NoChoiceLayout();
    bool replace = false;
    QString coordinateSystem; // "" none chosen
    // The column map: the numbers taken from the choosers when they were left.
    std::array<int, kImportKeyCount + 1> columnMap{};

    // A chooser was left: the map takes its number.
    void ChooserLeft(int key);
    // The window is shown: the column and start-row choosers show no choice (the map keeps
    // its numbers).
    void Shown();

    // Reads the data file (by its extension) into the grid and resets the choosers and the
    // map; the remembered layout is applied again. False, after a message, when the file is
    // not read.
    bool OpenDataFile(const QString& path, const ImportLimits& limits = {});
    QString LastDataFolder() const { return m_lastFolder; }

    // Applies a layout file and remembers it. False, after a message, for a file that holds
    // no layout.
    bool LoadColumnLayout(const QString& path);
    QString RememberedLayout() const { return m_rememberedLayout; }
    // Saves what the choosers show. False, after a message, when the file cannot be written.
    bool SaveColumnLayout(const QString& path) const;

    // The settings of the run from the choosers and the map.
    ImportSettings Settings() const;

    void SortData() { SortDataOnUniqueLocation(m_grid, Settings()); }
    void CheckCoordinateCells() const { CheckCoordinates(m_grid, Settings()); }

    // "Maak database": the checks, the sort and the run into the store's current database
    // (closed while the window is open); when replacing, the coordinate system is written into
    // the database's settings. After a complete import the store opens the database,
    // recomputes the square codes of its samples and closes it again. Returns 0 when the import was
    // complete, the failing grid row when a row failed, -1 when it did not run or was cancelled.
    // `running` is called once the checks have passed and the question was answered Yes,
    // before anything is written.
    int MakeDatabase(core::DatabaseStore& store, const QString& name,
                     const std::function<void()>& running = {});

private:
    void ApplyLayout(const ColumnLayout& layout);

    core::Grid m_grid;
    QString m_rememberedLayout;
    QString m_lastFolder;
};

} // namespace velmora::recording
