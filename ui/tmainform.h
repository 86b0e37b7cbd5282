#pragma once
// The main window: the current database's location events in the upper panel, the taxa of the
// current event's sample in the lower panel and in the sample grid, the name entry with the
// species search list, the event's nature value, and the menu from which every other window is
// opened. The rules live in recording/ and ecology/. The window is assembled from its panels
// (LocationPanel, SamplePanel, NameEntryPanel, NatureValueBox, SampleGridView), each of which
// binds its own controls; the window coordinates them: navigators, keys, the grid refresh.

#include "core/databasestore.h"
#include "core/dataset.h"
#include "core/grid/grid.h"
#include "recording/locationsampleeditor.h"
#include "ui/dbcontrols.h"

#include <QDateTime>
#include <QMainWindow>
#include <QString>
#include <QVariant>
#include <functional>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace velmora::ecology {
struct EcologyData;
}
namespace velmora::session {
class Session;
}

namespace velmora::ui {

class LocationPanel;
class NameEntryPanel;
class NatureValueBox;
class SamplePanel;
class SampleGridView;
class TNWForm;

class TMainForm : public QMainWindow, public core::DatabaseListener {
    Q_OBJECT
    Q_CLASSINFO("FormName", "TMainForm")
public:
    explicit TMainForm(session::Session& session, QWidget* parent = nullptr);
    ~TMainForm() override;

    // The creation steps that belong to start-up. Returns false when the program must end
    // (the program file's name holds a blank); the message has then been shown.
    bool FormCreate();
    // The first-show steps: separator, placement, the default database opened.
    void FormShow();

    void SetNatureValueWindow(TNWForm* form) { m_nwForm = form; }
    // The preferences window, run modally by "Voorkeuren".
    void SetPreferencesDialog(std::function<void()> run) { m_runPreferences = std::move(run); }
    // The database selection window, run modally by "Open, maak of verwijder Database".
    void SetSelectDatabaseDialog(std::function<void()> run) {
        m_runSelectDatabase = std::move(run);
    }

    // The time that names a backup's folder (the system clock unless set).
    void SetBackupClock(std::function<QDateTime()> clock) { m_backupClock = std::move(clock); }

    // The location search window, run modally by "Locatielijst" and "Lijst met locaties".
    // The name correction window; returns the location ID chosen there to be shown next.
    void SetCheckNamesDialog(std::function<QVariant()> run) { m_runCheckNames = std::move(run); }
    void SetTablesDialog(std::function<void()> run) { m_runTables = std::move(run); }
    // The dot-map window; it returns the location chosen with "Edit Record" (0: none).
    void SetDistributionDialog(std::function<int()> run) { m_runDistribution = std::move(run); }
    // The import window, shown modally for the database named.
    void SetImportDialog(std::function<void(const QString&)> run) { m_runImport = std::move(run); }
    void SetLocationSearchDialog(std::function<void()> run) {
        m_runLocationSearch = std::move(run);
    }

    // The photo folder dialog, run modally by "Maak fotomap" with the main folder and the
    // proposed sub-folder; it returns true for OK and leaves the texts as the user left them.
    void SetPhotoFolderDialog(std::function<bool(QString&, QString&)> run) {
        m_runPhotoFolder = std::move(run);
    }

    // Shows or hides the expert fields.
    void SetExpertMode(bool on);
    bool ExpertMode() const { return m_expertMode; }

    // "VelmoraDataBase Versie 2.92", or the program file's name when that name does not
    // occur in the program's folder.
    static QString MainCaption(const QString& programName, const QString& programDir);

    // ---- operations of the window (also used by the other windows)
    bool ConfirmNoPendingEdits();
    // The pattern of every modal window opened over the database: refuse while a record is
    // being edited; remember the current location and the locations tag; suspend the table
    // controls; run the window; then restore the tag, return to the location, resume the
    // controls and rebuild the sample grid. Returns false when refused.
    bool RunOverDatabase(const std::function<void()>& showWindow);
    // Ends the program from outside (a terminate signal): pending edits are cancelled, the
    // database is closed whole.
    void EndFromOutside();
    // The biotope list read again and shown beside the biotope code.
    void LoadBiotopes();
    void ResetSampleGrid();
    void RefreshSampleGrid();
    void BerekenNatuurwaarde();
    void SetCoordinateLabels();
    // After the preferences window: caption, label, grid and nature value rebuilt.
    void AfterPreferences();

    // ---- handlers
    bool LocationNavigatorBeforeAction(DBNavigator::Button button);
    void LocationNavigatorClick(DBNavigator::Button button);
    bool SampleNavigatorBeforeAction(DBNavigator::Button button);
    void SampleNavigatorClick(DBNavigator::Button button);
    void CopyRecordClick();
    void SearchEditChange();
    void BiotoopboxChange();
    void DBEDagExit();
    void DBEMaandExit();
    // "Open, maak of verwijder Database": the database is closed while the selection window
    // is open; whatever database is current afterwards is opened. "Maak Backup": a copy of
    // the current database's tables in a new dated folder.
    void SelectDatabaseClick();
    void ImporteerClick();
    void TextExportClick();
    void CheckNamesClick();
    void TabellenClick();
    // "Stippenkaart": the dot-map window over the open database, its settings (map name, dot
    // styles) read again before and written after; refused for a database without samples.
    void Stippenkaart1Click();
    // "Voeg toe aan Zoeklijst" for a name (as shown).
    void AddToSearchList(const QString& name);
    void ExporteerXLSbestandClick();
    void BackupClick();
    // "Maak fotomap": a folder for the photographs of the current event below the main photo
    // folder; the main folder shown when the dialog closes is kept as the setting.
    void MaakFotoDIRClick();
    // "Locatielijst" / "Lijst met locaties": the location search over the open database; its
    // samples are in ID order afterwards and the current event is the one last chosen there.
    void SelectLocClick();
    // Shows the current record of the locations table as the current event: its samples and
    // its nature value (added to the tally during a selection run).
    void LoadCurrentEvent();
    // The window's keys; true when the key was used.
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers, QWidget* target);

    // ---- for tests and the other windows
    QAction* MenuAction(const QString& objectName) const;
    DBNavigator* LocationNavigator() const { return m_locationNavigator; }
    DBNavigator* SampleNavigator() const;
    DBEdit* LocationEdit(const QString& field) const;
    DBEdit* SampleEdit(const QString& field) const;
    DBComboBox* SampleCombo(const QString& field) const;
    QTableWidget* SampleGrid() const;
    const core::Grid& SampleGridData() const;
    int RememberedRow() const;
    QLineEdit* SearchEdit() const;
    QListWidget* Names() const;
    QLabel* AuthorLabel() const;
    QGroupBox* LocationPanel() const;
    QGroupBox* SamplePanel() const;
    QLineEdit* NatureValueField(const QString& objectName) const;
    QLabel* RedListLabel() const;
    QLabel* NatureValueLabel() const;
    QLabel* DiversityOnlyLabel() const;
    QCheckBox* IgnoreBox() const;
    QCheckBox* AlternativeBox() const;
    QComboBox* Biotoopbox() const;
    QLabel* DatabaseLabelWidget() const { return m_databaseLabel; }

    // ---- DatabaseListener
    void DatabaseStatusChanged(const QString& text) override;
    void TablesClosed() override;
    void DatabaseOpened(bool hasLocations) override;
    void DatabaseOpenFailed() override;
    void ProcessEvents() override;

protected:
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenu();
    void StoreGeometry();
    void SetTabOrder();
    void ApplyPanelState();
    bool LocationEditing() const;
    bool SampleEditing() const;
    bool SampleApply();
    void PostSampleIfEditing();
    void FocusGridName();
    void EditCurrentSampleAt(int column);
    void AfsluitenClick();
    void HelpClick();
    void AboutClick();
    void NatuurwaardeClick();
    void PreferencesClick();

    session::Session& m_session;
    core::DatabaseStore& m_store;
    ecology::EcologyData& m_ecology;
    recording::LocationSampleEditor m_editor;
    TNWForm* m_nwForm = nullptr;
    std::function<void()> m_runPreferences;
    std::function<void()> m_runSelectDatabase;
    std::function<bool(QString&, QString&)> m_runPhotoFolder;
    std::function<void()> m_runLocationSearch;
    std::function<void(const QString&)> m_runImport;
    std::function<QVariant()> m_runCheckNames;
    std::function<void()> m_runTables;
    std::function<int()> m_runDistribution;
    std::function<QDateTime()> m_backupClock;

    QLabel* m_databaseLabel = nullptr;
    QLabel* m_expertLabel = nullptr;
    ui::LocationPanel* m_locationPanel = nullptr;
    ui::SamplePanel* m_samplePanel = nullptr;
    NameEntryPanel* m_namePanel = nullptr;
    NatureValueBox* m_nwBox = nullptr;
    SampleGridView* m_grid = nullptr;
    DBNavigator* m_locationNavigator = nullptr;
    QPushButton* m_copyButton = nullptr;
    QPushButton* m_selectLocButton = nullptr;
    bool m_expertMode = false;
    bool m_shown = false;
    int m_locationsState = 0;
    int m_samplesState = 0;
};

} // namespace velmora::ui
