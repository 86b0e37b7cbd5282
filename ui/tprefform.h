#pragma once
// The preferences window "Voorkeuren": analyst, photo folder, order of the locations, taxon
// information on export, the annotated taxa list in use and the boxplot orientation. The
// choices are pending until OK, which applies them to the settings record in a fixed order,
// rebuilds the reference lists for the chosen taxa list and saves the settings; Cancel drops
// them. The language buttons and the inconspicuous expert toggle act at once.
//
// The window is created once at start-up and lives for the whole run: it holds the expert
// toggle's state. The reference lists belong to the session.

#include "core/text/fieldnametable.h"

#include <QDialog>
#include <functional>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace velmora::core {
class DatabaseStore;
}
namespace velmora::session {
class Session;
}

namespace velmora::ui {

class TPrefForm : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("FormName", "TPrefForm")
public:
    explicit TPrefForm(session::Session& session, QWidget* parent = nullptr);
    ~TPrefForm() override;

    // Sets the controls from the settings record; runs each time the window is shown.
    void FormShow();

    // The main window's hooks: reloading its biotope code list after OK, and showing or
    // hiding its expert fields.
    void SetReloadBiotopes(std::function<void()> reload) { m_reloadBiotopes = std::move(reload); }
    void SetExpertModeHandler(std::function<void(bool)> handler) {
        m_expertModeHandler = std::move(handler);
    }

    // Rows of Lib/FieldNames.csv (read by the session at start-up).
    const std::vector<core::FieldNameRow>& FieldNames() const;
    bool ExpertToggle() const { return m_expertToggle == 1; }

    // The handlers of the controls (public so that the start-up and tests can drive them).
    void SelectFotoDirClick();
    void OKbtnClick();
    void CancelbtnClick();
    void ENbtnClick();
    void NLbtnClick();
    void ExpertClick();
    // Replaces the list chosen in the taxa-list group with a file the user picks.
    void ImportTaxaListBtnClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QGroupBox* RadioGroup(const char* objectName, const char* title,
                          std::initializer_list<const char*> items, QButtonGroup*& buttons);

    session::Session& m_session;
    core::DatabaseStore& m_store;
    std::function<void()> m_reloadBiotopes;
    std::function<void(bool)> m_expertModeHandler;
    int m_expertToggle = 0; // the ".  ." label's 0/1 state; not stored

    QLineEdit* m_analistEdit;
    QLineEdit* m_fotoMapEdit;
    QPushButton* m_selectFotoDir;
    QPushButton* m_importTaxaList;
    QButtonGroup* m_sorteer = nullptr;
    QCheckBox* m_taxonInfoBox;
    QButtonGroup* m_taxaList = nullptr;
    QButtonGroup* m_boxplot = nullptr;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
    QPushButton* m_enButton;
    QPushButton* m_nlButton;
    QLabel* m_expertLabel;
};

} // namespace velmora::ui
