#pragma once
// The panels that share the map's place in the dot-map window: the excursion panel
// ("Excursie": the locations of the run, the details of one and its samples) and the
// environment panel ("Milieu": the taxon's information line, the biotope table, the
// pH-conductivity plot, the boxplots, the phenology chart, the earliest and latest dates).
// They show what maps::RunTables collected; the window binds them.

#include "core/grid/grid.h"
#include "maps/frequency.h"
#include "maps/runsource.h"
#include "maps/runtables.h"

#include <QAbstractTableModel>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace velmora::ui {

class TPlotPanelWidget;

// A read-only table of a grid whose row 0 holds the column captions.
class GridModel : public QAbstractTableModel {
public:
    explicit GridModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}
    // Shows the grid (which must outlive the model or be replaced), or nothing.
    void SetGrid(const core::Grid* grid);
    const core::Grid* Grid() const { return m_grid; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // A caption given to a column (the language file's) replaces the grid's for good.
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;

private:
    const core::Grid* m_grid = nullptr;
    QStringList m_titles;
};

// Each column as wide as its widest text (header included), from 10 to 1000 pixels.
void FitGridColumns(QTableView* view);

class ExcursionPanel : public QWidget {
    Q_OBJECT
public:
    explicit ExcursionPanel(QWidget* parent = nullptr);

    QTableView* DataGrid() const { return m_dataGrid; }
    QTableView* SamplesGrid() const { return m_samplesGrid; }

    // The run's locations (row 0 the header), and the count text of both panels.
    void ShowLocations(const core::Grid* table);
    void SetCount(const QString& text);
    // The sort button a sort marks (none for maps::SortMark::None).
    void MarkSort(maps::SortMark mark);
    // The details of a location and its samples; nothing shown for nullptr.
    void ShowDetails(const maps::LocationRow* location, const core::Grid& samples);
    // The ID of the location in the details; 0 when none is shown.
    int ShownId() const { return m_shownId; }

signals:
    // A header cell pressed: left button ascending, right button descending.
    void HeaderPressed(int column, bool descending);
    void SortButtonPressed(maps::SortMark button, bool descending);
    // A row of the location table chosen (1 for the first row below the header).
    void RowSelected(int gridRow);
    void EditRecordClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTableView* m_dataGrid;
    GridModel* m_dataModel;
    QTableView* m_samplesGrid;
    GridModel* m_samplesModel;
    core::Grid m_samples;
    QLabel* m_count;
    QPushButton* m_byLocation;
    QPushButton* m_byDate;
    QPushButton* m_bySquare;
    QLineEdit* m_locatie;
    QLineEdit* m_dag;
    QLineEdit* m_maand;
    QLineEdit* m_jaar;
    QLineEdit* m_x;
    QLineEdit* m_y;
    QLineEdit* m_analist;
    QLineEdit* m_opmerking;
    QLineEdit* m_aantal;
    int m_shownId = 0;
};

class EnvironmentPanel : public QWidget {
    Q_OBJECT
public:
    explicit EnvironmentPanel(QWidget* parent = nullptr);

    TPlotPanelWidget* PhEcPlot() const { return m_phEc; }
    TPlotPanelWidget* PhenologyPlot() const { return m_phenology; }
    QLabel* BoxplotImage() const { return m_boxplot; }
    // The size the boxplots are drawn at: the boxplot area's width and its height (vertical
    // boxplots) or 3/10 of it (horizontal).
    QSize BoxplotSize(int orientation) const;

    void SetInfoLine(const QString& text);
    QString InfoLine() const;
    // The tables and labels after a run (or emptied).
    void ShowTables(const maps::RunTables& tables);
    // Shows no table any more (the run tables are going).
    void ForgetTables();
    // The square counts and the frequency lines of the last run.
    void ShowFrequency(const maps::FrequencyTexts& texts);
    QString SquareCountText() const;
    QString UFText() const;
    QString KFText() const;

private:
    QLabel* m_info;
    QTableView* m_biotopes;
    GridModel* m_biotopeModel;
    QLabel* m_biotopeLabel;
    QLabel* m_phLabel;
    QLabel* m_earliest;
    QLabel* m_latest;
    QLabel* m_count;
    QLabel* m_squareCount;
    QLabel* m_uf;
    QLabel* m_kf;
    TPlotPanelWidget* m_phEc;
    TPlotPanelWidget* m_phenology;
    QLabel* m_boxplot;
};

} // namespace velmora::ui
