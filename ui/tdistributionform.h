#pragma once
// The dot-map window "Stippenkaarten": the map of the current database shown beside a column of
// controls, at full size (panned with the right mouse button) or fitted to the window; another
// map opened with "Open Kaart"; the drawn map saved as BMP, JPG or PNG from the tab "Bewaar".
// The map itself (loading, calibration from the file name, the working image) is
// maps::MapImage; this window shows it and binds the buttons.
//
// Created once at start-up; shown modally by the main window. Its position, size and state are
// kept in the settings ("Forms" Dist*), the map's position in "Distribution Map" Top/Left.

#include "charts/boxplotdata.h"
#include "charts/environmentrun.h"
#include "maps/dotrun.h"
#include "maps/dotstyles.h"
#include "maps/frequency.h"
#include "maps/mapimage.h"
#include "maps/maprun.h"
#include "maps/maptexts.h"
#include "maps/recordfilter.h"
#include "maps/runsource.h"
#include "maps/runtables.h"

#include <QDialog>
#include <QImage>
#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QFontComboBox;
class QListWidget;
class QPlainTextEdit;
class QSlider;
class QTableWidget;
class QPushButton;
class QStackedWidget;
class QTabWidget;

namespace velmora::session {
class Session;
}

namespace velmora::ui {

class DotStylePanel;
class EnvironmentPanel;
class ExcursionPanel;
class TBoxplotForm;
class TPlotPanelWidget;

// The map panel: the working image at full size at an offset, or the fitted view at (0, 0).
// A press of any button starts a drag; moving with the right button held pans the image
// within the bounds of the panel.
class TZoomForm;

class MapPanel : public QWidget {
    Q_OBJECT
public:
    explicit MapPanel(QWidget* parent = nullptr);

    // The working image at full size: shown from where it lives (no copy of it is kept, so
    // drawing on it never has to copy the picture first); nullptr shows nothing.
    void ShowFullSize(const QImage* image);
    // A fitted view of the full-size image (no panning then).
    void ShowFitted(QImage fitted, const QImage* fullSize);
    const QImage& Picture() const;
    // The full-size picture and the full-size pixel under a panel position: what the
    // magnifier enlarges, so that a point is placed to the pixel also on a fitted map.
    const QImage& FullPicture() const;
    QPoint FullPixel(QPoint panelPosition) const;
    QPoint ImagePosition() const { return m_position; }
    void SetImagePosition(QPoint position);

signals:
    // A press on the picture with Alt held: the pixel of the shown picture.
    void AltPressed(QPoint shownPixel);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The position kept inside the panel's bounds on each axis.
    QPoint Bounded(QPoint position) const;

    QImage m_fittedPicture;
    const QImage* m_full = nullptr; // the full-size picture
    bool m_fitted = false;
    QPoint m_position; // of the image's top-left corner in the panel
    bool m_dragging = false;
    QPoint m_pressedAt;
    QPoint m_positionAtPress;
};

class TDistributionForm : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("FormName", "TDistributionForm")
public:
    TDistributionForm(session::Session& session, QWidget* parent = nullptr);
    ~TDistributionForm() override;

    // Shows the window modally over the open database: the stored position and size, the
    // database's map loaded (once, until the database or the map changes). Stores position,
    // size and the map's position when it closes. Returns the location chosen with "Edit
    // Record" (0: none).
    int Run();

    maps::MapImage& Map() { return m_map; }
    MapPanel* Panel() const { return m_panel; }
    DotStylePanel* StylePanel() const { return m_styles; }
    // The dot styles kept with the database: shown by the style controls while the window is
    // open, taken back from them when it closes.
    maps::DotStyles& DatabaseStyles() { return m_dotStyles.styles; }
    // The title above the map: the taxon of the last taxon run, or "Alle locaties".
    QString Title() const;

    // The boxplot window whose lists and scatter plot the runs feed and whose boxplots and
    // plot are saved with the map.
    void SetBoxplotWindow(TBoxplotForm* boxplots);
    // The location the main window moves to after the window closed ("Edit Record"); 0 none.
    int EditLocationId() const { return m_editLocationId; }

    ExcursionPanel* Excursion() const { return m_excursion; }
    EnvironmentPanel* Environment() const { return m_environmentPanel; }
    const maps::RunTables& Tables() const { return *m_tables; }
    // The names of the last run (shown as the map's hint).
    QStringList ImageHint() const { return m_hint; }
    QListWidget* Names() const { return m_names; }

    // The taxon list: the name lists rebuilt from the samples (and the species list, and
    // the shown list by the search text).
    void BuildNameLists();
    void BuildSpeciesList();
    void ZoekEditChange();
    // A click on a taxon: drawn on the active style tab ("Primair" when the tab of all
    // locations is active).
    void NamesClick();
    void PeriodeClick();
    void WisKaartClick();
    void BewaarSoortenlijstClick(bool withAuthors);
    void KaartKnopClick();
    void TabellenKnopClick();
    void MilieuKnopClick();
    void DataGridSelectCell(int gridRow);
    // Texts on the map: the frequency lines of the memo, the legend made from the layers'
    // labels and placed with their symbols, the corner, the font size, and taking the texts off.
    void UFKFButtonClick();
    void MaakLegendaClick();
    void PlaceLegendClick();
    void UndoClick();
    void PositionClick(maps::Corner corner);
    void FontBarChange();
    // "Toon in Google Earth": the locations of the last run written as a KML file and opened.
    void ToonInGoogleEarthClick();
    // How a written KML file is opened (the system's viewer by default).
    void SetDocumentOpener(std::function<void(const QString&)> open) {
        m_openDocument = std::move(open);
    }
    QString MemoText() const;
    // The record filter: "Filter" checked or unchecked, "+ Filter", "- Filter", "Wis Filter",
    // "Save Filter", "Open Filter"; the grid as data (row 0 the header).
    void FilterClick();
    void AddFilterClick();
    void DeleteFilterClick();
    void ClearFilterClick();
    void SaveFilterClick();
    void OpenFilterClick();
    core::Grid FilterGridData() const;
    void SetFilterGrid(const core::Grid& grid);
    QFont TextFont() const;
    void ShowLegendFont(const maps::DotStyles& styles);
    void EditRecordClick();
    // "Toon alle Locaties": every location of the database on the map.
    void AllLocationsbtnClick();
    // "Teken Opnieuw": the last taxon again, sized by the abundance table on "Abund.".
    void TekenOpnieuwClick();
    // A size, shape or line-width list or the outline width changed, or a colour dialog
    // closed: "Primair" draws its taxon again as a new map, "Alle Locaties" all locations.
    void Stipmaat2Change();
    // A placement button.
    void rbClick();
    // The user switched the style page.
    void PCChange();
    void SaveDotSettingsClick();
    void OpenDotSettingsClick();

    // The handlers of the controls.
    void ShowForm();
    void OpenKaartClick();
    void FitToWindowClick();
    // ".bmp", ".jpg" or ".png".
    void SaveMapClick(const QString& extension);
    void FormCloseQuery();
    // The two-point calibration: "Kalibreer kaart", the Alt-press on the map (through the
    // panel), the upper "OK" after the first point, the lower "OK" after the second, and
    // "Annuleer".
    void CalibrerenClick();
    void ImageAltPress(QPoint shownPixel);
    void OK2Click();
    void OKClick();
    void AnnuleerClick();
    // 0 idle, 1 waiting for the first point, 2 for the second.
    int CalibrationStep() const { return m_step; }
    TZoomForm* Magnifier() const { return m_zoom; }

    // Shows the working image at full size or fitted, as the check box says.
    void ShowMap();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    // Alt + arrow keys move the pointer by one pixel, Alt + Enter presses at the pointer: the
    // window sees these keys before its controls.
    bool eventFilter(QObject* watched, QEvent* event) override;

public:
    void done(int result) override;

private:
    // The guarded start of every run: one at a time, the busy notice meanwhile, the period
    // read first.
    void StartRun(maps::RunKind kind, bool redraw);
    void Run(maps::RunKind kind, bool redraw, const maps::RunOptions& options);
    // Starts the tables and, on the tabs that start a new map, the map afresh.
    void ResetRunTables(bool allLocations, bool redraw);
    void ShowRunTables();
    // Draws again what the active tab shows when it starts a map from the list: the chosen
    // taxon on "Primair", all locations on "Alle Locaties"; nothing on the other tabs.
    void RepeatNewMapRun();
    void DrawBoxplotPicture();
    // The panels let go of the run tables (before these are replaced or destroyed).
    void ForgetRunTables();
    maps::RunOptions CurrentRunOptions() const;
    maps::NameListOptions CurrentNameOptions() const;
    void MakeEnvironmentRun(charts::BoxplotData& boxplots);
    void ShowBusy(bool busy);
    // The title, the caption, the layer labels and the save name for a run of a taxon (an
    // empty name: all locations).
    void SetRunLabels(const QString& name);
    maps::DrawSettings CurrentDrawSettings() const;
    void ShowCalibrationState();
    void CloseMagnifier();
    void PlaceMagnifier();

    session::Session& m_session;
    core::DatabaseStore& m_store;
    maps::MapImage m_map;
    maps::DatabaseDotStyles m_dotStyles;
    maps::RunSource m_source;
    bool m_sourceStale = true;
    std::unique_ptr<core::DatabaseListener> m_sourceListener;
    QStringList m_sampleNames;
    QStringList m_species;
    QStringList m_hint;
    charts::BoxplotData m_ownBoxplots;
    TBoxplotForm* m_boxplotWindow = nullptr;
    std::unique_ptr<charts::EnvironmentRun> m_environment;
    std::unique_ptr<maps::RunTables> m_tables;
    int m_editLocationId = 0;
    QStackedWidget* m_views;
    ExcursionPanel* m_excursion;
    EnvironmentPanel* m_environmentPanel;
    TPlotPanelWidget* m_phenologyLarge;
    QLineEdit* m_search;
    QListWidget* m_names;
    QCheckBox* m_negOT;
    QCheckBox* m_currentNames;
    QCheckBox* m_zygosporen;
    QCheckBox* m_negeerVar;
    QCheckBox* m_periode;
    QLineEdit* m_beginJaar;
    QLineEdit* m_eindJaar;
    QLabel* m_busyNotice;
    maps::MapTexts m_texts;
    maps::RecordFilter m_filter;
    QGroupBox* m_filterGroup;
    QCheckBox* m_filterCheck;
    QTableWidget* m_filterGrid;
    maps::FrequencyClassTable m_classes;
    maps::FrequencyTexts m_frequency;
    std::pair<int, int> m_totals{0, 0}; // km-squares and hour-squares of the database
    bool m_runAborted = false;
    std::function<void(const QString&)> m_openDocument;
    QFontComboBox* m_fontStyle;
    QSlider* m_fontBar;
    QLineEdit* m_fontSize;
    QPlainTextEdit* m_memo;
    QTableWidget* m_legendGrid;
    QCheckBox* m_savePhEc;
    QCheckBox* m_savePhenology;
    QCheckBox* m_saveBoxplot;
    MapPanel* m_panel;
    QLabel* m_title;
    DotStylePanel* m_styles;
    bool m_busy = false;
    bool m_dutchRules = false;   // the interface language was "NL" when the window was shown
    QString m_dotSettingsFolder; // of the dot settings file last chosen
    QLabel* m_calLabel;
    QCheckBox* m_fitToWindow;
    QPushButton* m_openKaart;
    QTabWidget* m_tabs;
    QLabel* m_saveName;
    QPushButton* m_calibrate;
    QGroupBox* m_calGroup;
    QLabel* m_instructions[4];
    QLineEdit* m_cx1;
    QLineEdit* m_cy1;
    QLineEdit* m_cx2;
    QLineEdit* m_cy2;
    QPushButton* m_ok2;
    QPushButton* m_ok;
    QPushButton* m_annuleer;
    int m_step = 0;
    QPoint m_first;
    QPoint m_second;
    TZoomForm* m_zoom = nullptr;
};

} // namespace velmora::ui
