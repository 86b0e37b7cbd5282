#include "core/scriptedprompts.h"
#include "charts/imagecheck.h"
#include "charts/phenology.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::charts;
using namespace velmora::testing;

namespace {

TEST(Phenology, PeriodsOfDates) {
    struct Case {
        int day, month;
        std::optional<int> period;
    };
    const Case cases[] = {
        {10, 1, 0},   {1, 1, 0},   {11, 1, 1}, {20, 1, 1},  {21, 1, 2}, {31, 5, 14},
        {21, 12, 35}, {5, 13, 36}, {0, 5, {}}, {-3, 5, {}}, {5, 0, {}}, {5, -1, -6},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Phenology::PeriodIndex(c.day, c.month), c.period) << c.day << "-" << c.month;
}

TEST(Phenology, CountsAndTheMaximumSlot) {
    core::ScriptedPrompts prompts;
    Phenology p;
    EXPECT_EQ(p.MaxSlot(), 10);
    for (int i = 0; i < 9; ++i)
        EXPECT_TRUE(p.Count(15, 3, "A", "15", "3", "2001", true));
    EXPECT_EQ(p.Counter(7), 9);
    EXPECT_EQ(p.MaxSlot(), 10);
    EXPECT_TRUE(p.Count(15, 3, "A", "15", "3", "2001", true));
    EXPECT_EQ(p.MaxSlot(), 11); // 10 is not below the slot: the slot moves up
    EXPECT_TRUE(p.Count(21, 12, "A", "21", "12", "2001", true));
    EXPECT_EQ(p.Counter(35), 1);
    EXPECT_FALSE(p.Count(0, 3, "A", "", "3", "2001", true));
    EXPECT_FALSE(p.Count(5, -1, "A", "5", "-1", "2001", true));
    EXPECT_TRUE(prompts.shown.isEmpty());
    p.Reset();
    EXPECT_EQ(p.MaxSlot(), 10);
    EXPECT_EQ(p.Counter(7), 0);
}

TEST(Phenology, MonthThirteenIsRefusedWithTheDateMessage) {
    core::ScriptedPrompts prompts;
    Phenology p;
    EXPECT_FALSE(p.Count(5, 13, "Ven bij Oss", "5", "13", "1998", true));
    EXPECT_FALSE(p.Count(5, 13, "Ven bij Oss", "5", "13", "1998", false));
    ASSERT_EQ(prompts.shown.size(), 2);
    EXPECT_EQ(prompts.shown[0],
              QStringLiteral("Fout in de datum van record: Ven bij Oss\n\r5-13-1998 is een "
                             "ongeldige datum"));
    EXPECT_EQ(prompts.shown[1],
              QStringLiteral("Error in the date of record: Ven bij Oss\n\r5-13-1998 is an "
                             "invalid date"));
    for (int i = 0; i < Phenology::kPeriods; ++i)
        EXPECT_EQ(p.Counter(i), 0);
}

TEST(Phenology, MonthLabels) {
    TPlotPanel plot;
    QFont font;
    const std::pair<double, const char*> cases[] = {{0, ""},
                                                    {6, "Jan       "},
                                                    {12, "Feb       "},
                                                    {18, "Mrt       "},
                                                    {30, "Mei       "},
                                                    {60, "Okt       "},
                                                    {72, "Dec       "},
                                                    {3, "3"},
                                                    {78, "78"}};
    for (const auto& [value, text] : cases) {
        QString axisText = QString::number(value);
        bool handled = false;
        PhenologyMonthLabel(plot, value, axisText, font, handled);
        EXPECT_TRUE(handled);
        EXPECT_EQ(axisText, QString::fromLatin1(text)) << value;
    }
}

TEST(Phenology, BarsOnTheChart) {
    core::ScriptedPrompts prompts;
    Phenology counts;
    for (int i = 0; i < 19; ++i)
        counts.Count(12, 6, "A", "12", "6", "2003", true); // period 16
    counts.Count(3, 1, "B", "3", "1", "2003", true);       // period 0
    EXPECT_EQ(counts.MaxSlot(), 20);

    TPlotPanel plot;
    SetupPhenologyPlot1(plot);
    EXPECT_EQ(QSize(plot.Width(), plot.Height()), QSize(601, 441));
    counts.DrawBars(plot);
    EXPECT_EQ(plot.YMin(), 0);
    EXPECT_EQ(plot.YMax(), 30);
    EXPECT_EQ(plot.YInterval(), 6);
    EXPECT_EQ(plot.YGridValues(), (std::vector<double>{0, 6, 12, 18, 24, 30}));
    ASSERT_EQ(plot.LayerPoints(0).size(), 2u);
    EXPECT_EQ(plot.LayerPoints(0)[1].x, 33);

    const QImage& image = plot.PlotBMP();
    const int bar = plot.ColumnOf(33);
    EXPECT_EQ(PixelAt(image, bar, plot.RowOf(10)), kRed);
    EXPECT_EQ(PixelAt(image, bar + 6, plot.RowOf(10)), kRed); // 15 pixels wide
    EXPECT_EQ(PixelAt(image, bar, plot.RowOf(18.5)), kRed);
    EXPECT_EQ(PixelAt(image, bar, plot.RowOf(19.5)), kWhite);
    EXPECT_EQ(PixelAt(image, plot.ColumnOf(1), plot.RowOf(0.5)), kRed);
    EXPECT_EQ(PixelAt(image, plot.ColumnOf(1), plot.RowOf(1.5)), kWhite);
    EXPECT_EQ(PixelAt(image, plot.ColumnOf(20), plot.RowOf(5)), kWhite);

    QStringList labels;
    for (const TDrawnLabel& l : plot.XTickLabels())
        labels << l.text;
    ASSERT_EQ(labels.size(), 13);
    EXPECT_EQ(labels[0], QString());
    EXPECT_EQ(labels[1], QStringLiteral("Jan       "));
    EXPECT_EQ(labels[12], QStringLiteral("Dec       "));
    // The name stands left of its tick, over its month.
    EXPECT_TRUE(HasDarkPixel(image, plot.XTickLabels()[1].rect.adjusted(0, 0, -30, 0)));

    ResetPhenologyPlot(plot);
    EXPECT_EQ(plot.YMax(), 10);
    EXPECT_EQ(plot.YInterval(), 4);
    EXPECT_TRUE(plot.LayerPoints(0).empty());
}

} // namespace
