#pragma once
// The tables window "Tabellen": the location table of the events that pass the filter, the
// selection and location numbers in it, and the species list and the nature value table built
// from the selection; saving the table shown and exporting the selected samples. The tables
// are ecology's (selectiontables.h); the window binds its controls to them. Shown modally by
// the main window over its open database; created once, it keeps its tables while hidden.

#include "ecology/selectiontables.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSplitter;
class QStackedWidget;
class QTableView;

namespace velmora::core {
class DatabaseStore;
}
namespace velmora::ecology {
struct EcologyData;
}

namespace velmora::ui {

class TableGridModel;

class TTableForm : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("FormName", "TTableForm")
public:
    TTableForm(core::DatabaseStore& store, ecology::EcologyData& ecology,
               QWidget* parent = nullptr);
    ~TTableForm() override;

    // Called after a result changed the nature value tally, so that the nature value window
    // shows it.
    void SetShowNatureValue(std::function<void()> show) { m_showNatureValue = std::move(show); }

    // Shows the window modally.
    void Run();

    // The handlers (public so that tests reach them as the controls do).
    void FillLocationTable();
    void ClearFilterClick();
    void LocationTableClick();
    void MaakSoortenlijstClick();
    void MaakNatuurwaardenTabelClick();
    void TransposeClick();
    void BewaarClick(ecology::TableFileFormat format);
    void ExportSelectionClick();

    ecology::TableView View() const { return m_view; }
    const core::Grid& LocationGrid() const { return m_table; }
    const core::Grid& ResultGrid() const { return m_result; }
    const core::Grid& LocationList() const { return m_lists.list; }
    QTableView* LocationView() const { return m_tableView; }
    QTableView* ResultView() const { return m_resultView; }
    QTableView* LocationListView() const { return m_listView; }
    QTableView* FixedRowsView() const { return m_frozenView; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QCheckBox* Option(const char* name, const char* caption);
    ecology::TableFilter Filter() const;
    ecology::SelectionOptions Options() const;
    ecology::SelectionSource Source();
    void ResetLocationModel();
    // True when a row is selected; otherwise the message, and false.
    bool HasSelection();
    void ShowLocationTable();
    void ShowResult(ecology::TableView view);
    void OptionChanged(bool speciesListOnly);
    void RebuildSpeciesList();
    void RebuildNatureValueTable();
    void LocationCellClicked(int column, int row);
    void LocationHeaderClicked(int column, bool descending);
    void ResultHeaderClicked(int column);
    void SetSelection(ecology::SelectionChange change);
    void SizeColumns(QTableView* view, const core::Grid& grid);

    core::DatabaseStore& m_store;
    ecology::EcologyData& m_ecology;
    std::function<void()> m_showNatureValue;

    core::Grid m_table;      // the location table
    core::Grid m_result;     // the species list or the nature value table
    core::Grid m_frozenRows; // the species list's first six rows, kept in view
    ecology::LocationLists m_lists;
    ecology::TableView m_view = ecology::TableView::LocationTable;
    bool m_transposed = false;
    ecology::TableFilter m_filterUsed; // the filter texts of the table shown, for file names
    QString m_lastFolder;

    QLineEdit *m_year, *m_owner, *m_location, *m_analyst, *m_taxon;
    QCheckBox* m_caseSensitive;
    QLabel* m_count;
    QGroupBox* m_filterGroup;
    QGroupBox* m_selectionGroup;
    QGroupBox* m_optionsGroup;
    QCheckBox *m_ignoreVarieties, *m_ignoreNotInList, *m_ignoreUncertain, *m_ignoreDead,
        *m_currentNames, *m_authors, *m_merge, *m_allLocationData;
    QPushButton *m_back, *m_speciesList, *m_natureValues, *m_transpose, *m_export;
    QStackedWidget* m_pages;
    QSplitter* m_resultSplitter;
    QTableView* m_tableView;
    QTableView* m_resultView;
    QTableView* m_listView;
    TableGridModel* m_tableModel;
    TableGridModel* m_resultModel;
    TableGridModel* m_listModel;
    QTableView* m_frozenView;
    TableGridModel* m_frozenModel;
};

} // namespace velmora::ui
