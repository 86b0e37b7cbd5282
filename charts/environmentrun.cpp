#include "charts/environmentrun.h"

#include "core/text/textutils.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>

namespace velmora::charts {

namespace {

constexpr core::TColor kRed = 0x000000FF;
constexpr core::TColor kGreen = 0x00008000;
constexpr core::TColor kBlue = 0x00FF0000;
constexpr core::TColor kSilver = 0x00C0C0C0;
constexpr core::TColor kWhite = 0x00FFFFFF;

// A day or month field as a whole number; a blank or unreadable field counts as missing (0),
// which the phenology leaves out.
int WholeNumber(const QString& text) {
    bool ok = false;
    const QString t = text.trimmed();
    const int value = t.toInt(&ok);
    if (ok)
        return value;
    const double real = t.toDouble(&ok);
    if (ok && std::isfinite(real) && std::fabs(real) < 1e9)
        return static_cast<int>(real);
    return 0;
}

} // namespace

void SetupPHEGVPlot(TPlotPanel& plot) {
    plot.SetSize(800, 800);
    plot.SetTitle(QStringLiteral("EGV vs pH"));
    plot.SetPlotMode(pmCircle);
    plot.SetPlotPen({kRed, 5});
    plot.SetGridColor(kSilver);
    plot.SetBackColor(kWhite);
    plot.SetMargin(15);
    plot.SetFont(PlotFont(16, true));
    plot.SetXMarksFont(PlotFont(15, true));
    plot.SetYMarksFont(PlotFont(15, true));
    plot.SetXScaleLog(false);
    plot.SetXMin(2);
    plot.SetXMax(10);
    plot.SetXInterval(1);
    plot.SetXLabel(QStringLiteral("pH"));
    plot.SetYScaleLog(true);
    plot.SetYMin(1);
    plot.SetYMax(1010);
    plot.SetYInterval(100);
    plot.SetYLabel(QStringLiteral("EGV"));
    plot.SetXMarks(true);
    plot.SetYMarks(true);
}

void AddScatterPoints(TPlotPanel& plot, double ph, double conductivity, const QString& abund) {
    plot.AddPoint(ph, conductivity);
    if (abund == QLatin1String("3"))
        plot.AddLayerPoint(kGreen, 2, ph, conductivity);
    else if (abund == QLatin1String("2"))
        plot.AddLayerPoint(kBlue, 1, ph, conductivity);
    else
        plot.AddLayerPoint(kRed, 0, ph, conductivity);
}

QString SideImageFileName(const QString& mapFile, const QString& suffix) {
    const QFileInfo info(mapFile);
    QString name = info.completeBaseName() + suffix;
    if (!info.suffix().isEmpty())
        name += QLatin1Char('.') + info.suffix();
    return info.dir().filePath(name);
}

void EnvironmentRun::Start(int orientation) {
    for (TPlotPanel* plot : m_scatterPlots)
        plot->ClearLayers();
    m_boxplots.ResetBoxplotData(orientation);
    for (TPlotPanel* plot : m_phenologyPlots)
        ResetPhenologyPlot(*plot);
    m_phenology.Reset();
}

void EnvironmentRun::AddLocation(const EnvironmentRecord& record) {
    const QString ph = LeadingNumberText(record.ph);
    const QString conductivity = LeadingNumberText(record.geleiding);
    m_boxplots.AddEnvironmentValues(ph, conductivity);
    if (!ph.isEmpty() && !conductivity.isEmpty()) {
        const double x = core::ParseNumber(ph);
        const double y = std::floor(core::ParseNumber(conductivity));
        const QString abund = LeadingNumberText(record.abund);
        for (TPlotPanel* plot : m_scatterPlots)
            AddScatterPoints(*plot, x, y, abund);
    }
    m_phenology.Count(WholeNumber(record.dag), WholeNumber(record.maand), record.locatie,
                      record.dag, record.maand, record.jaar, m_dutchRules);
}

void EnvironmentRun::Finish() {
    for (TPlotPanel* plot : m_phenologyPlots)
        m_phenology.DrawBars(*plot);
}

} // namespace velmora::charts
