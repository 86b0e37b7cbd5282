#pragma once
// Phenology: how many listed locations fall in each ten-day period of the year. Three
// periods per month (days 1-10, 11-20, 21 and later), 36 in all, and a maximum slot that
// starts at 10 and stays above the highest count; the bar chart's y axis is sized from it.

#include "charts/tplotpanel.h"

#include <QString>
#include <array>
#include <optional>

namespace velmora::charts {

class Phenology {
public:
    static constexpr int kPeriods = 36;

    Phenology() { Reset(); }
    // Every counter 0, the maximum slot 10.
    void Reset();

    // The period of a date: 3 x month + p - 3 with p = 0 for days up to 10, 1 for 11 to 20
    // and 2 from 21 on; nothing when the day is not above 0 or the month is 0. The index is
    // not checked against the 36 periods.
    static std::optional<int> PeriodIndex(int day, int month);

    // Counts one location. A period beyond December is reported with the date message
    // (Dutch when dutchRules, else English) and not counted; a period before January and a
    // missing day or month are not counted either. Returns whether the location was counted.
    bool Count(int day, int month, const QString& locatie, const QString& dagText,
               const QString& maandText, const QString& jaarText, bool dutchRules);

    int Counter(int period) const { return m_counters.at(period); }
    int MaxSlot() const { return m_maxSlot; }

    // The bars on a phenology plot: y from 0 to the next ten above the maximum slot, five grid
    // steps, and a bar at x = 2 i + 1 for each period i with a count.
    void DrawBars(TPlotPanel& plot) const;

private:
    std::array<int, kPeriods> m_counters{};
    int m_maxSlot = 10;
};

// The tick-label event of the phenology plots: the month abbreviations at 6, 12, ..., 72,
// followed by seven spaces so that each name stands to the left of its tick, over its
// month; an empty label at 0; any other value keeps its text.
void PhenologyMonthLabel(TPlotPanel& sender, double value, QString& axisText, QFont& axisFont,
                         bool& eventHandled);

// The phenology plots of the distribution map window, as laid out there.
void SetupPhenologyPlot1(TPlotPanel& plot); // 601 x 441, "Aantallen per 10 dagen"
void SetupPhenologyPlot2(TPlotPanel& plot); // 253 x 185, small copy
// A fresh collecting run: y from 0 to 10 in steps of 4, no bars.
void ResetPhenologyPlot(TPlotPanel& plot);

} // namespace velmora::charts
