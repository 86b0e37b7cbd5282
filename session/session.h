#pragma once
// The program without windows: what a run holds (the settings, the reference lists, the
// current database and its store) and the steps that start and end it. The windows
// (ui/RunProgram) and a command-line run use the same session:
//
//   ReadSettings()          VLX.ini, with defaults for what is missing
//   (the interface language, loaded by the caller: the windows translate their forms too)
//   SecondCopyRefused()     another copy of the program running ends this one here
//   LoadReferenceLists()    atlas sheets, search list and annotated taxa list of the setting,
//                           field-name table, biotope list
//   OpenDefaultDatabase()   the database named in the settings
//   End()                   the database closed whole, taxa-list index files removed,
//                           settings saved
//
// Every failure that the user can act on is a message through core::UserPrompts(); a list
// that cannot be read is empty and the run goes on.

#include "core/databasestore.h"
#include "core/dataset.h"
#include "core/filelock.h"
#include "core/text/fieldnametable.h"
#include "ecology/ecologydata.h"
#include "recording/taxalistimport.h"

#include <QString>
#include <vector>

namespace velmora::session {

// One row of Lib/Biotoopcodes.dbf.
struct Biotope {
    QString code;
    QString name;
};

// The file whose lock marks a running copy: Data/Velmora.lock.
QString RunLockPath();
// True (and the message "De database is al open in een ander programma" shown) when another
// copy of the program holds the biotope table or the run lock of the Data folder. Otherwise
// runLock holds that lock from now on, for as long as the caller keeps it.
bool SecondCopyRefused(core::FileLock& runLock);

class Session {
public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    core::DatabaseStore& Store() { return m_store; }
    ecology::EcologyData& Ecology() { return m_ecology; }

    void ReadSettings();
    // The run lock is held by this session until End() (or its destruction).
    bool SecondCopyRefused();
    // Every reference list; LoadBiotopes and ReloadReferenceLists are its parts.
    void LoadReferenceLists();
    // The search list and annotated taxa list of the taxa-list setting now in force (after the
    // preferences changed it).
    void ReloadReferenceLists();
    // Replaces the annotated taxa list of a setting (0 Dutch, 1 European) with the list in
    // the file and reloads the reference lists at once. Throws core::Error, with every
    // problem of the file, when nothing was replaced.
    recording::TaxaListInstalled ImportTaxaList(const QString& path, int number);
    // Opens Lib/Biotoopcodes.dbf (kept open for the run: earlier versions of the program see it
    // in use and refuse to start beside this one) and reads the list.
    void LoadBiotopes();
    // Rows of Lib/FieldNames.csv: a field name as written in a map filter, the Locations field
    // it stands for, and its type.
    const std::vector<core::FieldNameRow>& FieldNames() const { return m_fieldNames; }
    const std::vector<Biotope>& Biotopes() const { return m_biotopes; }

    bool OpenDefaultDatabase();
    void End();

private:
    core::DatabaseStore m_store;
    ecology::EcologyData m_ecology;
    std::vector<core::FieldNameRow> m_fieldNames;
    std::vector<Biotope> m_biotopes;
    core::Dataset m_biotopeTable;
    core::FileLock m_runLock;
    bool m_ended = false;
};

} // namespace velmora::session
