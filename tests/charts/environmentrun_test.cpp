#include "core/error.h"
#include "core/scriptedprompts.h"
#include "charts/environmentrun.h"
#include "charts/imagecheck.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::charts;
using namespace velmora::testing;

namespace {

// A run over a handful of fen locations, as the distribution map lists them.
const EnvironmentRecord kSample[] = {
    {"Ven A", "4,2", "45", "3", "12", "5", "1998"},
    {"Ven B", "4.8 ca.", "80", "2", "28", "5", "1998"},
    {"Ven C", "5,5", "120", "1", "3", "6", "1999"},
    {"Ven D", "6.1", "210", "3", "15", "6", "2001"},
    {"Ven E", "6.4", "260", "", "21", "6", "2001"},
    {"Ven F", "6,9", "330", "2", "9", "7", "2002"},
    {"Ven G", "7.2", "410", "1", "19", "7", "2002"},
    {"Ven H", "7.4", "650", "3", "30", "7", "2003"},
    {"Ven I", "", "95", "1", "2", "8", "2003"},
    {"Ven J", "5.0", "", "2", "14", "8", "2004"},
    {"Ven K", "3.9", "30", "2", "25", "8", "2004"},
    {"Ven L", "8.1", "980", "1", "5", "9", "2005"},
    {"Ven M", "5,9", "0,6", "3", "17", "4", "2005"},
    {"Ven N", "6.6", "2500", "1", "", "", "2006"},
};

struct Charts {
    BoxplotData boxplots;
    TPlotPanel scatter;
    TPlotPanel phenology1;
    TPlotPanel phenology2;
    EnvironmentRun run{boxplots};
    Charts() {
        SetupPHEGVPlot(scatter);
        SetupPhenologyPlot1(phenology1);
        SetupPhenologyPlot2(phenology2);
        run.AddScatterPlot(scatter);
        run.AddPhenologyPlot(phenology1);
        run.AddPhenologyPlot(phenology2);
    }
    void RunSample(int orientation) {
        run.Start(orientation);
        for (const EnvironmentRecord& r : kSample)
            run.AddLocation(r);
        run.Finish();
    }
};

TEST(EnvironmentRun, FeedsListsScatterPointsAndPhenology) {
    core::ScriptedPrompts prompts;
    Charts c;
    c.RunSample(boVertical);
    EXPECT_EQ(c.boxplots.PhValues().size(), 13u);
    EXPECT_EQ(c.boxplots.EcValues().size(), 13u);
    EXPECT_DOUBLE_EQ(c.boxplots.PhValues()[1], 4.8); // "4.8 ca." cut to "4.8"
    EXPECT_DOUBLE_EQ(c.boxplots.EcValues()[11], 0.6);

    // Twelve locations with both values: each once in red on layer 0, and once more in the
    // colour of its abundance.
    EXPECT_EQ(c.scatter.LayerPoints(0).size(), 12u + 5u);
    EXPECT_EQ(c.scatter.LayerPoints(1).size(), 3u); // "2": blue
    EXPECT_EQ(c.scatter.LayerPoints(2).size(), 4u); // "3": green
    const QImage& image = c.scatter.PlotBMP();
    EXPECT_EQ(PixelAt(image, c.scatter.ColumnOf(4.2), c.scatter.RowOf(45) - 1), kGreen);
    EXPECT_EQ(PixelAt(image, c.scatter.ColumnOf(6.9), c.scatter.RowOf(330) - 1), kBlue);
    EXPECT_EQ(PixelAt(image, c.scatter.ColumnOf(7.2), c.scatter.RowOf(410) - 1), kRed);
    // 0,6 rounds down to 0: below the logarithmic axis, not seen.
    EXPECT_DOUBLE_EQ(c.scatter.LayerPoints(2).back().y, -50);

    EXPECT_EQ(c.run.PhenologyCounts().Counter(3 * 5 + 1 - 3), 1); // 12 May
    EXPECT_EQ(c.run.PhenologyCounts().Counter(3 * 6 + 2 - 3), 1); // 21 June
    EXPECT_EQ(c.phenology1.LayerPoints(0).size(), 13u);
    EXPECT_EQ(c.phenology2.LayerPoints(0).size(), 13u);
    EXPECT_EQ(c.phenology1.YMax(), 20);
    EXPECT_TRUE(prompts.shown.isEmpty());

    // A new run starts from nothing.
    c.run.Start(boHorizontal);
    EXPECT_TRUE(c.scatter.LayerPoints(0).empty());
    EXPECT_TRUE(c.boxplots.PhValues().empty());
    EXPECT_TRUE(c.phenology1.LayerPoints(0).empty());
    EXPECT_EQ(c.phenology1.YMax(), 10);
    EXPECT_EQ(c.run.PhenologyCounts().MaxSlot(), 10);
    EXPECT_EQ(c.boxplots.Image().height(), 300);
}

TEST(EnvironmentRun, ABadMeasurementStopsWithTheConversionError) {
    core::ScriptedPrompts prompts;
    Charts c;
    c.run.Start(boVertical);
    EnvironmentRecord bad{"Ven X", "6.5.1", "100", "1", "1", "1", "2000"};
    EXPECT_THROW(c.run.AddLocation(bad), core::Error);
    EXPECT_TRUE(c.boxplots.PhValues().empty());
    EXPECT_TRUE(c.scatter.LayerPoints(0).empty());
}

TEST(EnvironmentRun, InvalidDateIsReportedInTheRulesLanguage) {
    core::ScriptedPrompts prompts;
    Charts c;
    c.run.SetDutchRules(false);
    c.run.Start(boVertical);
    c.run.AddLocation({"Ven Y", "6", "100", "1", "4", "14", "2000"});
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(prompts.shown[0].startsWith(QStringLiteral("Error in the date of record: Ven Y")));
}

TEST(EnvironmentRun, ChartsSavedBesideAMapAreNamedAfterIt) {
    EXPECT_EQ(SideImageFileName("/data/maps/Kaart 1.png", kPhenologyFileSuffix),
              QStringLiteral("/data/maps/Kaart 1 - Phenology.png"));
    EXPECT_EQ(SideImageFileName("/data/maps/v2.kaart.bmp", kBoxplotFileSuffix),
              QStringLiteral("/data/maps/v2.kaart - pH-EGV Boxplot.bmp"));
    EXPECT_EQ(SideImageFileName("/data/maps/Kaart.jpg", kPhEcFileSuffix),
              QStringLiteral("/data/maps/Kaart - pH and EC.jpg"));
}

// With VELMORA_PLOT_DIR set, the charts of the sample run are written there as PNG files for
// a person to look at.
TEST(EnvironmentRun, RendersForInspection) {
    const QString dir = qEnvironmentVariable("VELMORA_PLOT_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "VELMORA_PLOT_DIR not set";
    QDir().mkpath(dir);
    core::ScriptedPrompts prompts;
    Charts c;
    c.RunSample(boVertical);
    EXPECT_TRUE(c.scatter.PlotBMP().save(dir + "/ph_egv.png"));
    EXPECT_TRUE(c.phenology1.PlotBMP().save(dir + "/phenology.png"));
    EXPECT_TRUE(c.phenology2.PlotBMP().save(dir + "/phenology_small.png"));
    EXPECT_TRUE(c.boxplots.DrawOwnBoxplots().save(dir + "/boxplot_vertical.png"));
    c.RunSample(boHorizontal);
    EXPECT_TRUE(c.boxplots.DrawOwnBoxplots().save(dir + "/boxplot_horizontal.png"));
}

} // namespace
