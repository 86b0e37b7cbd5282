#pragma once
// What a distribution-map run feeds into the environment charts: for every location it lists,
// the pH and conductivity go to the boxplot lists and, when both are known, to the
// pH-conductivity scatter plots; the date goes to the phenology counts.
//
// The run owns no chart: the windows that show them register their plot panels, so the
// boxplot window's scatter plot and the map window's own copies are fed alike. The caller
// draws the boxplots itself at the end (BoxplotData::DrawBoxplots into its image).

#include "charts/boxplotdata.h"
#include "charts/phenology.h"
#include "charts/tplotpanel.h"

#include <QString>
#include <vector>

namespace velmora::charts {

// One listed location, with the stored texts of its fields.
struct EnvironmentRecord {
    QString locatie;   // LOCATIE
    QString ph;        // PH
    QString geleiding; // GELEIDING, the conductivity
    QString abund;     // ABUND
    QString dag;       // DAG
    QString maand;     // MAAND
    QString jaar;      // JAAR
};

// The scatter plot of the boxplot window, as laid out there: "EGV vs pH", pH 2 to 10 across,
// conductivity 1 to 1010 logarithmic upwards, red circles.
void SetupPHEGVPlot(TPlotPanel& plot);

// Adds one location to a scatter plot: first in the pen's red on layer 0, then once more in
// the colour of its abundance ("3" green on layer 2, "2" blue on layer 1, anything else red on
// layer 0), so that the coloured copy covers the red one.
void AddScatterPoints(TPlotPanel& plot, double ph, double conductivity, const QString& abund);

// The charts saved beside a map go into the map's folder, named after the map with one of
// these suffixes and the map file's extension ("Kaart.png" gives "Kaart - Phenology.png").
inline const QString kPhEcFileSuffix = QStringLiteral(" - pH and EC");
inline const QString kPhenologyFileSuffix = QStringLiteral(" - Phenology");
inline const QString kBoxplotFileSuffix = QStringLiteral(" - pH-EGV Boxplot");
QString SideImageFileName(const QString& mapFile, const QString& suffix);

class EnvironmentRun {
public:
    explicit EnvironmentRun(BoxplotData& boxplots) : m_boxplots(boxplots) {}

    // The plots to feed; they must outlive the run.
    void AddScatterPlot(TPlotPanel& plot) { m_scatterPlots.push_back(&plot); }
    void AddPhenologyPlot(TPlotPanel& plot) { m_phenologyPlots.push_back(&plot); }
    // The language of the date message: Dutch while the Dutch coordinate rules are on.
    void SetDutchRules(bool on) { m_dutchRules = on; }

    // Collecting afresh (a new run, or the map cleared): empty scatter plots, empty lists
    // with the given orientation, empty phenology plots and counts.
    void Start(int orientation);
    // One listed location. Throws core::Error with the number-conversion message when a
    // measurement is not a number after cutting; nothing of that location is then added.
    void AddLocation(const EnvironmentRecord& record);
    // The end of the run: the phenology bars.
    void Finish();

    const Phenology& PhenologyCounts() const { return m_phenology; }
    BoxplotData& Boxplots() { return m_boxplots; }

private:
    BoxplotData& m_boxplots;
    Phenology m_phenology;
    std::vector<TPlotPanel*> m_scatterPlots;
    std::vector<TPlotPanel*> m_phenologyPlots;
    bool m_dutchRules = true;
};

} // namespace velmora::charts
