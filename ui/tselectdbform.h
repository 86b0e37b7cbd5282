#pragma once
// The database selection window "Selecteer de database": the current database, the catalogue
// to pick from, creating and deleting a database, its coordinate system and square-coordinates
// table, and the rewrite of its square codes. The main window closes its database before the
// window opens and opens whatever database is current when it closes. The rules live in
// recording::DatabaseCatalogue; the window binds its controls to them.
//
// Created once at start-up; it keeps its radio selection between showings.

#include "recording/databasecatalogue.h"

#include <QDialog>
#include <functional>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace velmora::core {
class DatabaseStore;
}

namespace velmora::ui {

class TSelectDBForm : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("FormName", "TSelectDBForm")
public:
    // The two items of the coordinate-system group, in their order.
    enum CoordinateChoice { RD = 0, LatLon = 1 };

    explicit TSelectDBForm(core::DatabaseStore& store, QWidget* parent = nullptr);
    ~TSelectDBForm() override;

    // The main window's coordinate labels, set again when the chosen database's system is read.
    void SetCoordinateLabelsHandler(std::function<void()> handler) {
        m_coordinateLabels = std::move(handler);
    }

    // Sets the controls from the current database; runs each time the window is shown.
    void FormShow();

    // The handlers of the controls (public so that tests can drive them).
    void DatabaseBoxClick();
    void NieuwClick();
    void DeleteDBClick();
    void RDLatLonClick(int choice);
    void SelectCoordClick();
    void CeditChange();
    void UpdateKXYUXYClick();
    void OKbtnClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FillDatabaseBox();
    void ShowChoice(int choice);
    void ClearChoice();
    void ShowSquareTableControls(bool visible);
    void ShowSettingsOfCurrent();

    core::DatabaseStore& m_store;
    recording::DatabaseCatalogue m_catalogue;
    std::function<void()> m_coordinateLabels;
    bool m_filling = false; // the list is being refilled: no click

    QLineEdit* m_currentDB;
    QListWidget* m_databaseBox;
    QPushButton* m_nieuw;
    QPushButton* m_deleteDB;
    QGroupBox* m_rdLatLon;
    QButtonGroup* m_choice;
    QLabel* m_coordLabel;
    QLineEdit* m_cedit;
    QPushButton* m_selectCoord;
    QPushButton* m_updateKXYUXY;
    QPushButton* m_updateSmall;
    QPushButton* m_okButton;
};

} // namespace velmora::ui
