#include "charts/phenology.h"

#include "charts/messages.h"
#include "core/prompts.h"

#include <cmath>

namespace velmora::charts {

void Phenology::Reset() {
    m_counters.fill(0);
    m_maxSlot = 10;
}

std::optional<int> Phenology::PeriodIndex(int day, int month) {
    if (day <= 0 || month == 0)
        return std::nullopt;
    const int part = day <= 10 ? 0 : (day <= 20 ? 1 : 2);
    return 3 * month + part - 3;
}

bool Phenology::Count(int day, int month, const QString& locatie, const QString& dagText,
                      const QString& maandText, const QString& jaarText, bool dutchRules) {
    const std::optional<int> index = PeriodIndex(day, month);
    if (!index || *index < 0)
        return false;
    if (*index >= kPeriods) {
        const Message id = dutchRules ? rsInvalidDateNL : rsInvalidDateEN;
        core::UserPrompts().Message(ResStr(id).arg(locatie, dagText, maandText, jaarText),
                                    core::MessageKind::Warning);
        return false;
    }
    const int count = ++m_counters[*index];
    if (count >= m_maxSlot)
        m_maxSlot = count + 1;
    return true;
}

void Phenology::DrawBars(TPlotPanel& plot) const {
    plot.SetYMin(0);
    const int top = (m_maxSlot / 10) * 10 + 10;
    plot.SetYMax(top);
    plot.SetYInterval(std::nearbyint(top / 5.0));
    for (int i = 0; i < kPeriods; ++i)
        if (m_counters[i] > 0)
            plot.AddPoint(2 * i + 1, m_counters[i]);
}

void PhenologyMonthLabel(TPlotPanel&, double value, QString& axisText, QFont&, bool& eventHandled) {
    static const char* const kMonths[] = {"Jan", "Feb", "Mrt", "Apr", "Mei", "Jun",
                                          "Jul", "Aug", "Sep", "Okt", "Nov", "Dec"};
    eventHandled = true;
    const double step = value / 6;
    const double whole = std::nearbyint(step);
    if (std::fabs(step - whole) > 1e-9)
        return;
    const int month = static_cast<int>(whole);
    if (month == 0)
        axisText.clear();
    else if (month >= 1 && month <= 12)
        axisText = QString::fromLatin1(kMonths[month - 1]) + QStringLiteral("       ");
}

namespace {
void SetupPhenologyPlot(TPlotPanel& plot, int width, int height, const QString& title, int margin,
                        int penWidth, int fontPixels) {
    plot.SetSize(width, height);
    plot.SetTitle(title);
    plot.SetMargin(margin);
    plot.SetPlotMode(pmBar);
    plot.SetPlotPen({0x000000FF, penWidth});
    plot.SetGridColor(0x00000000);
    plot.SetBackColor(0x00FFFFFF);
    plot.SetXMin(0);
    plot.SetXMax(72);
    plot.SetXInterval(6);
    plot.SetXScaleLog(false);
    plot.SetYScaleLog(false);
    plot.SetXMarksFont(PlotFont(fontPixels));
    plot.SetYMarksFont(PlotFont(fontPixels));
    plot.SetFont(PlotFont(fontPixels));
    plot.SetXMarks(true);
    plot.SetYMarks(true);
    plot.SetOnXMarksWrite(PhenologyMonthLabel);
    ResetPhenologyPlot(plot);
}
} // namespace

void SetupPhenologyPlot1(TPlotPanel& plot) {
    SetupPhenologyPlot(plot, 601, 441, QStringLiteral("Aantallen per 10 dagen"), 15, 15, 15);
}

void SetupPhenologyPlot2(TPlotPanel& plot) {
    SetupPhenologyPlot(plot, 253, 185, QStringLiteral(" "), 7, 5, 9);
}

void ResetPhenologyPlot(TPlotPanel& plot) {
    plot.SetYMin(0);
    plot.SetYMax(10);
    plot.SetYInterval(4);
    plot.ClearLayers();
}

} // namespace velmora::charts
