#pragma once
// The style controls of the dot-map window's tab "Stippen": the style page "PC" with a tab per
// layer ("Primair", "Sec1" to "Sec4", "Abund.", "Speciaal ", "Alle Locaties"), each with the
// controls of its style slot and the label of the taxon last drawn with it; the sizes by
// abundance; the separation year; the placement buttons and the outline width of squares.
//
// The panel only keeps and shows the settings; the window reads them (maps::DrawSettings) when
// it draws and hears from the panel when the user changes them.

#include "maps/dotrun.h"
#include "maps/dotstyles.h"

#include <QWidget>
#include <array>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableWidget;

namespace velmora::ui {

// The controls of one style slot: "Kleur " with its colour swatch, "Stipgrootte", the shape
// list and "Lijnbreedte". Its controls are named after the slot's suffix ("KleurPrimair",
// "StipgroottePrimair", "VormPrimair", "LijnbreedtePrimair").
class SlotEditor : public QWidget {
    Q_OBJECT
public:
    SlotEditor(const QString& suffix, QWidget* parent);

    void SetStyle(const maps::DotStyle& style);
    maps::DotStyle Style() const;
    // An empty shape list becomes "Cirkel gevuld".
    void DefaultShape();

    // "Kleur ": the colour dialog sets the swatch.
    void KB2Click();

signals:
    // A size, shape or line width was chosen or typed, or the colour dialog closed.
    void Restyled();

private:
    void ShowColor();

    core::TColor m_color = maps::kDefaultDotColor;
    QPushButton* m_kleur;
    QFrame* m_swatch;
    QComboBox* m_size;
    QComboBox* m_shape;
    QComboBox* m_lineWidth;
};

class DotStylePanel : public QWidget {
    Q_OBJECT
public:
    explicit DotStylePanel(QWidget* parent = nullptr);

    // The slots' controls; the legend font of the styles is kept as it is.
    void SetStyles(const maps::DotStyles& styles);
    maps::DotStyles Styles() const;
    // The legend font the styles are saved with.
    void SetLegendFont(const QString& name, const QString& size) {
        m_fontName = name;
        m_fontSize = size;
    }

    maps::StyleTab Tab() const;
    // Switches the style page without it counting as the user's choice.
    void SetTab(maps::StyleTab tab);
    maps::Placement Placement() const;
    QString OutlineWidth() const;
    QString SeparationYear() const;

    // The state of the controls each time the window is shown: empty shape lists to
    // "Cirkel gevuld", the outline width to "1", the separation year given, and in a
    // "LatLon" database "per hok" without "uurhok" and the outline width.
    void Prepare(bool latLon, const QString& separationYear);

    // The sizes by abundance and the grid that shows them; ShowAbundanceSizes fills the grid
    // from the table after a run.
    maps::AbundanceSizes& AbundanceSizes() { return m_sizes; }
    void ShowAbundanceSizes();

    // The label under a style tab: the taxon last drawn with it.
    void SetLayerLabel(maps::StyleTab tab, const QString& text);
    QString LayerLabel(maps::StyleTab tab) const;
    void ClearLayerLabels();

signals:
    void Restyled();            // a list of a slot, the outline width, or a colour dialog
    void PlacementClicked();    // "precies", "km-hok" or "uurhok"
    void TabChosen();           // the user switched the style page
    void RedrawClicked();       // "Teken Opnieuw"
    void AllLocationsClicked(); // "Toon alle Locaties"
    void SaveSettingsClicked(); // "Bewaar huidige stippeninstellingen"
    void OpenSettingsClicked(); // "Open bestand met stippeninstellingen"

private:
    std::array<SlotEditor*, maps::kStyleSlotCount> m_slots{};
    std::array<QLabel*, 8> m_layerLabels{};
    QTabWidget* m_pages;
    QTableWidget* m_abundGrid;
    maps::AbundanceSizes m_sizes;
    QLineEdit* m_separationYear;
    QRadioButton* m_exact;
    QRadioButton* m_kmSquare;
    QRadioButton* m_hourSquare;
    QLabel* m_outlineLabel;
    QComboBox* m_outlineWidth;
    QString m_fontName = QStringLiteral("Verdana"); // the legend font, kept for the files
    QString m_fontSize = QStringLiteral("9");
    bool m_switching = false;
    bool m_filling = false;
};

} // namespace velmora::ui
