#pragma once
// The main window: the current database's location events in the upper panel, the taxa of the
// current event's sample in the lower panel and in the sample grid, the name entry with the
// species search list, the event's nature value, and the menu from which every other window is
// opened. The rules live in recording/ and ecology/; this window binds them to controls.

#include "core/databasestore.h"
#include "core/grid.h"
#include "recording/locationsampleeditor.h"
#include "ui/dbcontrols.h"

#include <QMainWindow>
#include <QString>
#include <functional>
#include <map>

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

namespace velmora::ui {

class TNWForm;

class TMainForm : public QMainWindow, public core::DatabaseListener {
    Q_OBJECT
public:
    TMainForm(core::DatabaseStore& store, ecology::EcologyData& ecology, QWidget* parent = nullptr);
    ~TMainForm() override;

    // The creation steps that belong to start-up. Returns false when the program must end
    // (the program file's name holds a blank); the message has then been shown.
    bool FormCreate();
    // The first-show steps: separator, placement, the default database opened.
    void FormShow();

    void SetNatureValueWindow(TNWForm* form) { m_nwForm = form; }
    // The preferences window, run modally by "Voorkeuren".
    void SetPreferencesDialog(std::function<void()> run) { m_runPreferences = std::move(run); }

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
    void LoadBiotopes();
    void ResetSampleGrid();
    void RefreshSampleGrid();
    void ClearSampleFields();
    void BerekenNatuurwaarde();
    void SetCoordinateLabels();
    void SampleGridSelectCell(int row);
    // After the preferences window: caption, label, grid and nature value rebuilt.
    void AfterPreferences();

    // ---- handlers
    bool LocationNavigatorBeforeAction(DBNavigator::Button button);
    void LocationNavigatorClick(DBNavigator::Button button);
    bool SampleNavigatorBeforeAction(DBNavigator::Button button);
    void SampleNavigatorClick(DBNavigator::Button button);
    void CopyRecordClick();
    void SearchEditChange();
    void NamesClick();
    void VoegToeClick();
    void DBEDesmidChange();
    void DBEDesmidEnter();
    void BiotoopboxChange();
    void DBEWatertypeChange();
    void DBEDagExit();
    void DBEMaandExit();
    void DBEJaarExit();
    // The window's keys; true when the key was used.
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers, QWidget* target);

    // ---- for tests and the other windows
    QAction* MenuAction(const QString& objectName) const;
    DBNavigator* LocationNavigator() const { return m_locationNavigator; }
    DBNavigator* SampleNavigator() const { return m_sampleNavigator; }
    DBEdit* LocationEdit(const QString& field) const;
    DBEdit* SampleEdit(const QString& field) const;
    DBComboBox* SampleCombo(const QString& field) const;
    QTableWidget* SampleGrid() const { return m_grid; }
    const core::Grid& SampleGridData() const { return m_gridData; }
    int RememberedRow() const { return m_rememberedRow; }
    QLineEdit* SearchEdit() const { return m_searchEdit; }
    QListWidget* Names() const { return m_names; }
    QLabel* AuthorLabel() const { return m_authorLabel; }
    QGroupBox* LocationPanel() const { return m_locationPanel; }
    QGroupBox* SamplePanel() const { return m_samplePanel; }
    QLineEdit* NatureValueField(const QString& objectName) const;
    QLabel* RedListLabel() const { return m_redListLabel; }
    QLabel* NatureValueLabel() const { return m_natureValueLabel; }
    QLabel* DiversityOnlyLabel() const { return m_diversityOnlyLabel; }
    QCheckBox* IgnoreBox() const { return m_ignoreBox; }
    QCheckBox* AlternativeBox() const { return m_alternativeBox; }
    QComboBox* Biotoopbox() const { return m_biotoopbox; }
    QLabel* DatabaseLabelWidget() const { return m_databaseLabel; }

    // ---- DatabaseListener
    void DatabaseLabel(const QString& text) override;
    void SampleGridReset() override { ResetSampleGrid(); }
    void SampleNavigatorEnabled(bool enabled) override;
    void SampleGridBuild() override { RefreshSampleGrid(); }
    void ProcessEvents() override;

protected:
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenu();
    void BuildLocationPanel(QWidget* parent);
    void BuildSamplePanel(QWidget* parent);
    void BuildNamePanel(QWidget* parent);
    void BuildGrid(QWidget* parent);
    void StoreGeometry();
    void SetTabOrder();
    void ApplyPanelState();
    void FillGrid();
    void PaintGridRowNumbers();
    void SelectBiotopeOfWType();
    QString LocationText(const QString& field);
    bool LocationEditing() const;
    bool SampleEditing() const;
    bool SampleApply();
    void PostSampleIfEditing();
    void FocusGridName();
    void EditCurrentSampleAt(int column);
    void CheckDateAndWarn();
    void PadField(const QString& field);
    void AfsluitenClick();
    void HelpClick();
    void AboutClick();
    void NatuurwaardeClick();
    void PreferencesClick();

    core::DatabaseStore& m_store;
    ecology::EcologyData& m_ecology;
    recording::LocationSampleEditor m_editor;
    TNWForm* m_nwForm = nullptr;
    std::function<void()> m_runPreferences;

    QLabel* m_databaseLabel = nullptr;
    QLabel* m_expertLabel = nullptr;
    QGroupBox* m_locationPanel = nullptr;
    QGroupBox* m_samplePanel = nullptr;
    DBNavigator* m_locationNavigator = nullptr;
    DBNavigator* m_sampleNavigator = nullptr;
    std::map<QString, DBEdit*> m_locationEdits;
    std::map<QString, DBEdit*> m_sampleEdits;
    std::map<QString, DBComboBox*> m_sampleCombos;
    DBComboBox* m_zuurgraad = nullptr;
    DBComboBox* m_amaat = nullptr;
    QLabel* m_coordXLabel = nullptr;
    QLabel* m_coordYLabel = nullptr;
    QLabel* m_biotopeLabel = nullptr;
    QComboBox* m_biotoopbox = nullptr;
    QStringList m_biotopeCodes;
    core::Dataset m_biotopes;
    QLineEdit* m_locIdHolder = nullptr;
    QList<QWidget*> m_expertWidgets;
    QPushButton* m_copyButton = nullptr;
    QPushButton* m_selectLocButton = nullptr;
    QLineEdit* m_searchEdit = nullptr;
    QListWidget* m_names = nullptr;
    QLabel* m_authorLabel = nullptr;
    QPushButton* m_voegToeButton = nullptr;
    QGroupBox* m_nwBox = nullptr;
    std::map<QString, QLineEdit*> m_nwFields;
    QLabel* m_redListLabel = nullptr;
    QLabel* m_natureValueLabel = nullptr;
    QLabel* m_diversityOnlyLabel = nullptr;
    QCheckBox* m_ignoreBox = nullptr;
    QCheckBox* m_alternativeBox = nullptr;
    QTableWidget* m_grid = nullptr;
    core::Grid m_gridData;
    int m_rememberedRow = 1;
    bool m_fillingGrid = false;
    bool m_expertMode = false;
    bool m_shown = false;
    int m_locationsState = 0;
    int m_samplesState = 0;
};

} // namespace velmora::ui
