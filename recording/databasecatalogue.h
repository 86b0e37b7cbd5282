#pragma once
// The databases in DataDir as the user manages them: choosing the current one, creating,
// replacing and deleting one, its coordinate system and square-coordinates table, rewriting
// its square codes, and backups. The selection window and the backup command call these;
// so can a command-line run. Every question and message goes through core::UserPrompts().
//
// The rules kept here:
// - a name goes through the store's name check; a name already in the catalogue (letter case
//   ignored) is replaced only after the user says Yes, and the old database goes as a whole;
// - a database whose tables or index files another program holds is neither deleted nor
//   replaced, and the open database is not deleted: each is refused with a message;
// - a deletion removes the tables, their index files and the settings file all or none;
// - the square codes are rewritten by the Dutch rules under every interface language: atlas
//   notation in a database does not turn into other squares because the program runs in
//   English;
// - a backup is made only whole: both tables are copied with exactly their posted records,
//   flushed to disk, under their own names in a new folder; a copy never overwrites a file,
//   and a failed backup leaves nothing under the backup's names.
//
// The current database is the store's (Settings "DefaultDatabase"). While the selection
// window is open the database is closed; the update of the square codes opens and closes it.

#include "recording/messages.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

namespace velmora::core {
class DatabaseStore;
}

namespace velmora::recording {

// The interface language whose rules the rewrite of the square codes follows.
inline const QString kSquareCodeLanguage = QStringLiteral("NL");

// True when another program holds a table or index file of database NAME.
bool DatabaseInUse(const QString& name);

class DatabaseCatalogue {
public:
    using Clock = std::function<QDateTime()>;

    explicit DatabaseCatalogue(core::DatabaseStore& store);

    // The databases in DataDir, sorted (letter case ignored).
    static QStringList List();
    // The current database's name; empty when none.
    QString Current() const;

    // Makes NAME the current database without opening it: an older samples table gains
    // DESMIDINFO (upgrade true; said in a message), then the settings file is read (coordinate
    // system, map name, square-coordinates table, taxa-list number). An empty NAME leaves no
    // database current. A table that cannot be upgraded is a message; the choice stands.
    void Select(const QString& name, bool upgrade = true);

    // Creates the database NAME (empty tables) and makes it current with empty settings: no
    // coordinate system, map or square-coordinates table until they are chosen. An empty or
    // invalid name is refused with a message. A name in the catalogue in any letter case is
    // asked about first; Yes replaces that database (tables, indexes, settings), anything
    // else keeps it. Returns true when the database was created.
    bool Create(const QString& name);

    // Deletes the database NAME after the user's Yes. The open database, and one of whose
    // files another program holds, are refused with a message (before the question). After
    // the deletion of the current database the first remaining one (in list order) becomes
    // current, its settings read, or none. Returns true when the database was deleted.
    bool Delete(const QString& name);

    // The coordinate system of the current database ("km-based" or "LatLon"), written to its
    // settings file at once together with the taxa-list number that follows it. Nothing
    // happens without a current database.
    void SetCoordinateSystem(const QString& system);
    // The square-coordinates table of the current database (a name in LibDir, without
    // ".dbf"), written at once. A name that would reach outside LibDir is refused.
    void SetSquaresTable(const QString& table);
    // True when the stored square codes of the current database's first and last sample
    // differ from the codes its coordinates give (the database is opened and closed again).
    bool SquareCodesStale();
    // "Update KXY en UXY": opens the current database, rewrites KXY and UXY of every sample
    // from its location, closes it. Returns true when the codes were rewritten.
    bool UpdateSquareCodes();

    // ---- backup
    // The time that names a backup's folder; the system clock unless set.
    void SetClock(Clock clock) { m_clock = std::move(clock); }
    // "Backup_" + NAME + "_" + the time as yyyy-MM-dd_HH-mm-ss.
    static QString BackupFolderName(const QString& name, const QDateTime& time);
    // Copies NAME1.dbf and NAME2.dbf of the current database (not their index files or
    // settings) into a new folder named by BackupFolderName inside `folder`, and says so. The
    // Data folder itself is refused; the backup-folder setting takes `folder`. Returns the new
    // folder, empty when the backup was not made (a message said why, unless `folder` was
    // empty: nothing chosen).
    QString BackupInto(const QString& folder);

private:
    void SelectFirstRemaining();
    bool RefuseInUse(const QString& name) const;
    // Deletes the files of NAME while holding them; a failure is the message `failure` with
    // `subject` and the reason.
    bool DeleteHeldFiles(const QString& name, Message failure, const QString& subject) const;

    core::DatabaseStore& m_store;
    Clock m_clock;
};

} // namespace velmora::recording
