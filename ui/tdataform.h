#pragma once
// The import window "Importeer TSV of XLS(X) datafile": a data file read into a grid, the
// choosers that say which column holds which field and which columns tell one location from
// the next, column layout files, and the run that writes the rows into the current database.
// The reading, the layouts, the checks and the run are recording::DataImport; the window
// binds its controls to it.
//
// Created once at start-up; the grid, the choices and the remembered layout stay from one
// showing to the next.

#include "recording/dataimport.h"

#include <QDialog>
#include <QList>
#include <array>

class QButtonGroup;
class QComboBox;
class QGridLayout;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableView;

namespace velmora::core {
class DatabaseStore;
}

namespace velmora::ui {

class ImportGridModel;

class TDataForm : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("FormName", "TDataForm")
public:
    explicit TDataForm(core::DatabaseStore& store, QWidget* parent = nullptr);
    ~TDataForm() override;

    // Shows the window modally for database NAME (closed meanwhile).
    void Run(const QString& name);

    // The handlers (public so that tests reach them as the buttons do).
    void OpenTSVXLSfileClick();
    void MaakDatabaseClick();
    void SaveSettingsClick();
    void LoadSettingsClick();
    void LaatstGebruiktClick();
    void SorteerClick();
    void CheckCoordClick();

    recording::DataImport& Import() { return m_import; }
    QTableView* DataGrid() const { return m_grid; }
    QComboBox* Chooser(int key) const { return m_boxes[static_cast<std::size_t>(key)]; }
    QComboBox* UniqueChooser(int i) const { return m_unique[static_cast<std::size_t>(i)]; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildChoosers();
    QGridLayout* BuildButtons();
    void ConnectChoosers();
    void SetTabOrder();
    void FillChoosers();
    void ShowChoices();
    void DateModeChanged();
    void GridChanged();
    void SizeColumns();

    core::DatabaseStore& m_store;
    QString m_name;
    recording::DataImport m_import;
    std::array<QComboBox*, recording::kImportKeyCount + 1> m_boxes{};
    std::array<QComboBox*, recording::kUniqueLocationColumns> m_unique{};
    QRadioButton* m_columnDates;
    QRadioButton* m_textDates;
    QComboBox* m_dateFormat;
    QRadioButton* m_add;
    QRadioButton* m_replace;
    QComboBox* m_coordinateBox;
    QLabel* m_databaseLabel;
    QLabel* m_waitLabel;
    QTableView* m_grid;
    ImportGridModel* m_model;
    QList<QPushButton*> m_buttons;
    bool m_filling = false;
};

} // namespace velmora::ui
