#pragma once
// The current database: its two open tables Locations and Samples, its settings file
// (coordinate system, map name, square-coordinates table) and the change flags the windows
// read. Only one database is open at a time.
//
// A database NAME is the file set DataDir + NAME + "1.dbf"/"1.mdx" (locations),
// NAME + "2.dbf"/"2.mdx" (samples) and NAME + ".ini". What happens to the database (opened,
// closed, records changed, settings read and written) is told to DatabaseListener objects;
// the store never calls a window.

#include "core/dataset.h"
#include "core/dbf/fielddef.h"
#include "core/text/inifile.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <utility>
#include <vector>

namespace velmora::core {

// What happens to the current database, told to whoever shows or keeps something of it (the
// windows, a command-line run). Every event has an empty default.
class DatabaseListener {
public:
    virtual ~DatabaseListener() = default;
    // The state of the current database in words: "Database: NAME", being opened, none,
    // failed.
    virtual void DatabaseStatusChanged(const QString& text) { (void)text; }
    // The tables were closed (a database is about to be opened, or none is open): whatever
    // shows their records lets go of them.
    virtual void TablesClosed() {}
    // A database was opened; both tables are open, the locations positioned on their first
    // record. hasLocations false: the database holds no location yet, so no sample can be
    // entered.
    virtual void DatabaseOpened(bool hasLocations) { (void)hasLocations; }
    // Opening failed: no database is open and no sample can be entered.
    virtual void DatabaseOpenFailed() {}
    // The database is about to be closed (its settings have been written).
    virtual void DatabaseClosing() {}
    // Locations or samples were added, changed or deleted (the change flags were raised).
    virtual void LocationsChanged() {}
    virtual void SamplesChanged() {}
    // The map of the database must be read again (another database, another map).
    virtual void MapMustReload() {}
    // The database settings file was read, or is about to be written: listeners read or
    // write their own sections (the map's dot styles).
    virtual void DatabaseSettingsRead(const IniFile& ini) { (void)ini; }
    virtual void DatabaseSettingsWriting(IniFile& ini) { (void)ini; }
    // Lets pending interface events run (screen updates during an open).
    virtual void ProcessEvents() {}
};

// The field layouts of the two user tables, in file order.
const dbf::FieldDefs& LocationFields();
const dbf::FieldDefs& SampleFields();
// The tags of the location-order setting: 0 "Locatie", 1 "Datum", 2 "DatumDesc".
QString LocationOrderTag(int order);

// Refuses names that would place files outside DataDir or that file systems refuse: empty,
// path separators, "..", control characters and the characters <>:"|?*.
bool IsValidDatabaseName(const QString& name);

class DatabaseStore {
public:
    DatabaseStore();
    ~DatabaseStore();
    DatabaseStore(const DatabaseStore&) = delete;
    DatabaseStore& operator=(const DatabaseStore&) = delete;

    void AddListener(DatabaseListener* listener);
    void RemoveListener(DatabaseListener* listener);

    // The databases in DataDir, sorted without regard to case: names with a file ending in
    // "1.dbf" (this case) and a NAME + "2.dbf" (any case).
    static QStringList ListDatabases();
    // Closes the current database, removes the files of NAME and creates both tables empty,
    // closed, without index or settings file. Throws Error for an invalid name or a file error.
    void CreateDatabase(const QString& name);
    // Makes NAME the current database (Settings "DefaultDatabase"); messages through the
    // prompts interface. Returns true when both tables are open.
    bool OpenDatabase(const QString& name);
    // Saves the settings (unless saveProgramSettings is off), writes the database settings,
    // packs and closes both tables.
    void CloseDatabase();
    // Off for a command-line run: the program's settings (VLX.ini) belong to the windows,
    // which may be running beside it, so a close leaves them as they are.
    bool saveProgramSettings = true;
    // Removes NAME.ini, the index files and the tables, all or none: the files are first
    // moved together into a hidden folder of DataDir (and moved back when one cannot be), then
    // that folder is removed. Throws Error, with every file in place, when a file cannot be
    // moved. The caller closes the database first.
    static void DeleteDatabase(const QString& name);
    // Puts the table files of NAME ("1.dbf", "2.dbf", "1.mdx", "2.mdx") found in the folder
    // in the place of the database's, all or none: the old files are first moved together
    // into a hidden folder of DataDir, then the new ones are moved in; when one cannot be,
    // every file goes back where it was and Error is thrown. The tables must be closed.
    static void ReplaceTables(const QString& name, const QString& folder);
    // Finishes replacements that a stopped program left half done: where the old files still
    // wait aside, they are put back (the database is as it was before the replacement); a
    // replacement that was complete only loses its leftover folder. Runs at every open.
    static void RecoverInterruptedReplacements();
    // Moves the files together into a new hidden folder of DataDir named prefix + a unique
    // ending, and returns the folder. When one cannot be moved, those already moved go back
    // and Error is thrown.
    static QString MoveIntoHiddenFolder(const QStringList& files, const QString& prefix);
    // Adds the field DESMIDINFO (text 100) to an older samples table NAME2.dbf: the table is
    // written anew beside the old one and renamed over it, so a failure leaves the old table
    // whole. Returns true when the table was changed.
    static bool UpgradeSamplesTable(const QString& name);
    // The path of a file of database NAME (suffix "1.dbf", "2.mdx", ".ini" …) as it exists in
    // DataDir, found without regard to letter case (databases copied from Windows); the
    // path in this case when none exists.
    static QString DatabaseFile(const QString& name, const QString& suffix);

    void ReadDatabaseSettings();
    void WriteDatabaseSettings();

    // The current database's name ("" when none) and state.
    QString Name() const;
    bool IsOpen() const { return m_locations.Active() && m_samples.Active(); }

    Dataset& Locations() { return m_locations; }
    Dataset& Samples() { return m_samples; }
    Dataset& SquareCoordinates() { return m_squareCoordinates; }

    QString CoordinateSystem() const { return m_coordinateSystem; }
    void SetCoordinateSystem(const QString& system) { m_coordinateSystem = system; }
    QString MapName() const { return m_mapName; }
    void SetMapName(const QString& map) { m_mapName = map; }
    QString SquaresTable() const { return m_squaresTable; }
    void SetSquaresTable(const QString& table) { m_squaresTable = table; }

    // While a BulkChange exists, the checks that single entries pass (a sample belongs to the
    // current location, a name is filled in) stand aside: whole-table operations rewrite
    // records of every location.
    class BulkChange {
    public:
        explicit BulkChange(DatabaseStore& store) : m_store(store) { ++m_store.m_bulk; }
        ~BulkChange() {
            if (--m_store.m_bulk == 0)
                m_store.TellPendingChanges();
        }
        BulkChange(const BulkChange&) = delete;
        BulkChange& operator=(const BulkChange&) = delete;

    private:
        DatabaseStore& m_store;
    };
    bool InBulkChange() const { return m_bulk > 0; }

    // Raised when records change, lowered by whoever has caught up with them (the square
    // totals, the map).
    bool locationsChanged = false;
    bool samplesChanged = false;
    // Raise the flag and tell the listeners; inside a bulk change they are told once, at its
    // end.
    void MarkLocationsChanged();
    void MarkSamplesChanged();
    QString maxLocationID = QStringLiteral("-1");

    // ---- squares of the current database
    // The period filter's on/off switch (lives for the run).
    bool periodFilterOn = false;
    // Distinct km-squares and atlas blocks among the samples (within the period when the
    // switch is on); a sample with neither date nor ID is reported and deleted.
    std::pair<int, int> SquareTotals();
    // Rewrites KXY and UXY of every sample from its location. Samples whose ID matches no
    // location are left unchanged. The coordinates are read by the rules of the interface
    // language given (the atlas notation is read under "NL" only), by default the current one.
    void RecomputeSquareCodes();
    void RecomputeSquareCodes(const QString& language);
    // True when the stored codes of the first and last sample equal freshly computed ones.
    bool SquareCodesUpToDate();
    bool SquareCodesUpToDate(const QString& language);

    // Tells the listeners that the map must be read again (the database was closed for a
    // choice of database, whichever becomes current).
    void MarkMapForReload();

private:
    void Label(const QString& text);
    void TellPendingChanges() noexcept;
    template <class F> void Each(F&& f) {
        for (DatabaseListener* l : m_listeners)
            f(*l);
    }
    bool OpenTable(Dataset& table, const QString& path, const QString& missingSuffix);
    bool OpenTables(const QString& name);
    void ReportRepairs(Dataset& table, bool index = true);
    std::pair<int, int> FinishSquareTotals(const std::vector<std::uint32_t>& corrupt, int squares,
                                           int blocks);
    void PackAndClose(Dataset& table);

    std::vector<DatabaseListener*> m_listeners;
    Dataset m_locations;
    Dataset m_samples;
    Dataset m_squareCoordinates;
    QString m_coordinateSystem;
    bool m_totalsStale = true; // samples changed since the square totals were counted
    QString m_mapName;
    QString m_squaresTable;
    std::pair<int, int> m_cachedTotals{0, 0};
    int m_bulk = 0;
    bool m_locationsPending = false;
    bool m_samplesPending = false;
};

} // namespace velmora::core
