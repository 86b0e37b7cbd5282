#pragma once
// The dot-map window "Stippenkaarten": the map of the current database shown beside a column of
// controls, at full size (panned with the right mouse button) or fitted to the window; another
// map opened with "Open Kaart"; the drawn map saved as BMP, JPG or PNG from the tab "Bewaar".
// The map itself (loading, calibration from the file name, the working image) is
// maps::MapImage; this window shows it and binds the buttons.
//
// Created once at start-up; shown modally by the main window. Its position, size and state are
// kept in the settings ("Forms" Dist*), the map's position in "Distribution Map" Top/Left.

#include "maps/dotrun.h"
#include "maps/dotstyles.h"
#include "maps/mapimage.h"

#include <QDialog>
#include <QImage>
#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace velmora::ui {

class DotStylePanel;

// The map panel: the working image at full size at an offset, or the fitted view at (0, 0).
// A press of any button starts a drag; moving with the right button held pans the image
// within the bounds of the panel.
class TZoomForm;

class MapPanel : public QWidget {
    Q_OBJECT
public:
    explicit MapPanel(QWidget* parent = nullptr);

    // The picture to show and whether it is the fitted view of the full-size one (no panning
    // then).
    void SetPicture(const QImage& picture, bool fitted, const QImage& fullSize = {});
    const QImage& Picture() const { return m_picture; }
    // The full-size picture and the full-size pixel under a panel position: what the
    // magnifier enlarges, so that a point is placed to the pixel also on a fitted map.
    const QImage& FullPicture() const { return m_fitted ? m_full : m_picture; }
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

    QImage m_picture;
    QImage m_full; // with a fitted view: the picture it was made from
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
    TDistributionForm(core::DatabaseStore& store, QWidget* parent = nullptr);
    ~TDistributionForm() override;

    // Shows the window modally over the open database: the stored position and size, the
    // database's map loaded (once, until the database or the map changes). Stores position,
    // size and the map's position when it closes.
    void Run();

    maps::MapImage& Map() { return m_map; }
    MapPanel* Panel() const { return m_panel; }
    DotStylePanel* StylePanel() const { return m_styles; }
    // The dot styles kept with the database: shown by the style controls while the window is
    // open, taken back from them when it closes.
    maps::DotStyles& DatabaseStyles() { return m_dotStyles.styles; }
    // The title above the map: the taxon of the last taxon run, or "Alle locaties".
    QString Title() const;

    // Draws a taxon: a taxon run of the records of its samples on the active style tab, which
    // restyling and "Teken Opnieuw" draw again.
    void DrawTaxon(const QString& name, std::vector<maps::RunRecord> records);
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
    // A run: on the tabs that start a new map the working image is reset first; the records
    // are drawn in the styles of the controls.
    void StartRun(maps::RunKind kind, bool redraw);
    // The title, the caption, the layer labels and the save name for a run of a taxon (an
    // empty name: all locations).
    void SetRunLabels(const QString& name);
    maps::DrawSettings CurrentDrawSettings() const;
    void ShowCalibrationState();
    void CloseMagnifier();
    void PlaceMagnifier();

    core::DatabaseStore& m_store;
    maps::MapImage m_map;
    maps::DatabaseDotStyles m_dotStyles;
    MapPanel* m_panel;
    QLabel* m_title;
    DotStylePanel* m_styles;
    bool m_busy = false;
    bool m_dutchRules = false; // the interface language was "NL" when the window was shown
    QString m_taxonName;       // the taxon of the last taxon run and its records
    std::vector<maps::RunRecord> m_taxonRecords;
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
