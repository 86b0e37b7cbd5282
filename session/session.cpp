#include "session/session.h"

#include "core/coordinates.h"
#include "core/error.h"
#include "core/folders.h"
#include "core/prompts.h"
#include "core/settings.h"
#include "ecology/referencelists.h"
#include "ecology/taxalistfile.h"
#include "session/messages.h"

namespace velmora::session {

QString RunLockPath() {
    return core::DataDir() + QStringLiteral("Velmora.lock");
}

bool SecondCopyRefused(core::FileLock& runLock) {
    // The biotope table held open by a running copy (as earlier versions of the program do),
    // or the run lock of the Data folder, which does not depend on any reference file.
    const QString biotopes = core::LibDir() + QStringLiteral("Biotoopcodes.dbf");
    if (!core::IsFileInUse(biotopes) && runLock.Acquire(RunLockPath(), true))
        return false;
    runLock.Release();
    core::UserPrompts().Message(ResStr(rsDatabaseInUse));
    return true;
}

Session::Session() = default;

Session::~Session() {
    // A session that was not ended (a failed start) leaves the database as it is: closing it
    // is End()'s work, which reports what goes wrong.
    m_biotopeTable.Close();
}

void Session::ReadSettings() {
    core::LoadSettings();
}

bool Session::SecondCopyRefused() {
    return session::SecondCopyRefused(m_runLock);
}

void Session::LoadReferenceLists() {
    (void)core::AtlasSheets();
    ecology::ReloadReferenceLists(m_ecology, core::CurrentSettings().number);
    m_fieldNames.clear();
    try {
        m_fieldNames = core::ReadFieldNameTable(core::LibDir() + QStringLiteral("FieldNames.csv"));
    } catch (const core::Error& e) {
        core::UserPrompts().Message(ResStr(rsFieldNamesNotRead) + QLatin1Char('\n') + e.Message(),
                                    core::MessageKind::Error);
    }
    LoadBiotopes();
}

void Session::ReloadReferenceLists() {
    ecology::ReloadReferenceLists(m_ecology, core::CurrentSettings().number);
}

recording::TaxaListInstalled Session::ImportTaxaList(const QString& path, int number) {
    const recording::TaxaListInstalled installed = recording::ImportTaxaList(path, number);
    ReloadReferenceLists();
    return installed;
}

void Session::LoadBiotopes() {
    m_biotopes.clear();
    try {
        if (!m_biotopeTable.Active())
            m_biotopeTable.Open(core::LibDir() + QStringLiteral("Biotoopcodes.dbf"));
        core::Field code = m_biotopeTable.FieldByName(QStringLiteral("CODE"));
        core::Field name = m_biotopeTable.FieldByName(QStringLiteral("BIOTOOP"));
        for (m_biotopeTable.First(); !m_biotopeTable.Eof(); m_biotopeTable.Next())
            m_biotopes.push_back({code.AsString(), name.AsString()});
    } catch (const core::Error& e) {
        core::UserPrompts().Message(e.Message(), core::MessageKind::Error);
    }
}

bool Session::OpenDefaultDatabase() {
    return m_store.OpenDatabase(core::CurrentSettings().defaultDatabase);
}

void Session::End() {
    if (m_ended)
        return;
    m_ended = true;
    if (m_store.IsOpen())
        m_store.CloseDatabase();
    m_biotopeTable.Close();
    ecology::RemoveTaxaListIndexes();
    try {
        core::SaveSettings();
    } catch (const core::Error& e) {
        core::UserPrompts().Message(ResStr(rsSettingsNotSaved) + QLatin1Char('\n') + e.Message(),
                                    core::MessageKind::Error);
    }
    m_runLock.Release();
}

} // namespace velmora::session
