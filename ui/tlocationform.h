#pragma once
// The location search window "Zoek locaties": the events of the open database shown by mode
// (all, with a taxon, with an owner, with a text in the name, with a text in a sample remark)
// and year, in the order chosen under "Sorteer op". A row made current becomes the main
// window's current event; the selected rows can be rated with one nature value. The search
// itself is recording::LocationSearch; the window binds its controls to it.
//
// Created once at start-up; its mode and fields are kept while it is closed.

#include "recording/locationsearch.h"

#include <QDialog>
#include <functional>
#include <vector>

class QButtonGroup;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTableView;

namespace velmora::core {
class DatabaseStore;
}
namespace velmora::ecology {
struct EcologyData;
}

namespace velmora::ui {

class LocationRowsModel;
class TGridColumnSelect;

class TLocationForm : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("FormName", "TLocationForm")
public:
    TLocationForm(core::DatabaseStore& store, ecology::EcologyData& ecology,
                  QWidget* parent = nullptr);
    ~TLocationForm() override;

    // The column field chooser, created after this window; without one a click on a column
    // title does nothing and the titles are the untranslated captions of the fields.
    void SetColumnChooser(TGridColumnSelect* chooser) { m_chooser = chooser; }

    // The main window's load of its current event (samples, nature value).
    void SetLoadEvent(std::function<void()> load) { m_loadEvent = std::move(load); }
    // Shows the nature value window with the focus.
    void SetShowNatureValue(std::function<void()> show) { m_showNatureValue = std::move(show); }

    // Runs each time the window is shown: order from the settings, the mode applied.
    void FormShow();
    // The handlers (public so that tests and the menu can reach them).
    void ApplyMode();
    void SetMode(int mode);
    void TaxonSearch(const QString& text);
    void RemarkSearch();
    void SortChanged(int order);
    void SelectAllClick();
    void BerekenClick();
    void ColumnTitleClick(int column);
    void AddColumn();
    void RemoveLastColumn();

    recording::LocationSearch& Search() { return m_search; }
    QTableView* Grid() const { return m_grid; }
    // The record numbers of the rows shown, in order.
    std::vector<int> ShownRecords() const;
    // The fields of the grid's columns, in order.
    QStringList ColumnFields() const;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillNames(const QString& text);
    void FitColumns();
    // The columns of the grid; captions not given are the chooser's for their fields.
    void ShowColumns(const QStringList& fields, QStringList captions = {});
    QString CaptionOf(const QString& field) const;
    void RowMadeCurrent(int row);
    QString CurrentTag() const;

    core::DatabaseStore& m_store;
    ecology::EcologyData& m_ecology;
    TGridColumnSelect* m_chooser = nullptr;
    recording::LocationSearch m_search;
    std::function<void()> m_loadEvent;
    std::function<void()> m_showNatureValue;
    bool m_allSelected = false;
    bool m_applying = false;

    QButtonGroup* m_modes;
    QLineEdit* m_owner;
    QLineEdit* m_name;
    QLineEdit* m_remark;
    QLineEdit* m_year;
    QLineEdit* m_searchEdit;
    QPushButton* m_useSearch;
    QListWidget* m_names;
    QLineEdit* m_selectedDesmid;
    QButtonGroup* m_order;
    QTableView* m_grid;
    LocationRowsModel* m_model;
    QPushButton* m_selectAll;
    QPushButton* m_bereken;
    QPushButton* m_okButton;
};

} // namespace velmora::ui
