#include "core/error.h"
#include "charts/boxplotdata.h"
#include "charts/imagecheck.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::charts;
using namespace velmora::testing;

namespace {

// pH: median 6.5, quartiles 5.5 and 7.25, whiskers 5 and 7.5, mean 6.4.
// Conductivity: median 175, quartiles 100 and 300, whiskers 50 and 300, outlier 2000.
void FillSample(BoxplotData& data) {
    for (const char* ph : {"7", "5", "7.5", "6,5", "6"})
        data.AddEnvironmentValues(QString::fromLatin1(ph), QString());
    for (const char* ec : {"300", "50", "2000", "150", "100", "200"})
        data.AddEnvironmentValues(QString(), QString::fromLatin1(ec));
}

TEST(Boxplots, MeasurementTextsAreCutToTheirLeadingNumber) {
    const std::pair<const char*, const char*> cases[] = {
        {"6,5 ca.", "6,5"}, {"7.2", "7.2"}, {"350uS", "350"},  {"ca. 6", ""},
        {" 6", ""},         {"", ""},       {"6.5.1", "6.5.1"}};
    for (const auto& [text, cut] : cases)
        EXPECT_EQ(LeadingNumberText(QString::fromLatin1(text)), QString::fromLatin1(cut)) << text;
}

TEST(Boxplots, ValuesAreReadWithEitherSeparator) {
    BoxplotData data;
    data.AddEnvironmentValues(QStringLiteral("6.5"), QStringLiteral("0,5"));
    data.AddEnvironmentValues(QString(), QStringLiteral("250"));
    data.AddEnvironmentValues(QStringLiteral("7"), QString());
    EXPECT_EQ(data.PhValues(), (std::vector<double>{6.5, 7}));
    EXPECT_EQ(data.EcValues(), (std::vector<double>{0.5, 250}));
    // Not a number after cutting: an error, and neither list grows.
    EXPECT_THROW(data.AddEnvironmentValues(QStringLiteral("6"), QStringLiteral("6.5.1")),
                 core::Error);
    EXPECT_THROW(data.AddEnvironmentValues(QStringLiteral("."), QString()), core::Error);
    EXPECT_EQ(data.PhValues().size(), 2u);
    EXPECT_EQ(data.EcValues().size(), 2u);
}

TEST(Boxplots, ResetEmptiesTheListsAndSizesTheOwnImage) {
    BoxplotData data;
    EXPECT_EQ(data.Image().size(), QSize(1000, 1000));
    FillSample(data);
    data.ResetBoxplotData(boHorizontal);
    EXPECT_EQ(data.Orientation(), boHorizontal);
    EXPECT_TRUE(data.PhValues().empty() && data.EcValues().empty());
    EXPECT_EQ(data.Image().size(), QSize(1000, 300));
    data.ResetBoxplotData(boVertical);
    EXPECT_EQ(data.Image().size(), QSize(1000, 1000));
}

TEST(Boxplots, HorizontalLayout) {
    BoxplotData data;
    data.ResetBoxplotData(boHorizontal);
    FillSample(data);
    const QImage& image = data.DrawOwnBoxplots();
    ASSERT_EQ(image.size(), QSize(1000, 300));
    EXPECT_TRUE(std::is_sorted(data.PhValues().begin(), data.PhValues().end()));
    // The two axes, pen 3 wide, at rows 120 and 255.
    for (int row : {120, 255}) {
        EXPECT_EQ(PixelAt(image, 350, row), kBlack) << row;
        EXPECT_EQ(PixelAt(image, 350, row - 4), kWhite) << row;
    }
    EXPECT_EQ(PixelAt(image, 50, 120), kWhite); // the axis ends at W / 10
    // pH box on row 75: rows 50 to 75 + 25 + pen, columns 450 (5.5) to 625 (7.25).
    EXPECT_EQ(PhColumn(5.5, 1000), 450);
    EXPECT_EQ(PixelAt(image, 550, 75), kBlack); // median 6.5
    EXPECT_EQ(PixelAt(image, 500, 75), kWhite); // inside the box
    EXPECT_EQ(PixelAt(image, 500, 50), kBlack); // top of the box
    EXPECT_EQ(PixelAt(image, 500, 40), kWhite); // above it
    EXPECT_EQ(PixelAt(image, 540, 75), kBlack); // mean cross at 6.4
    EXPECT_EQ(PixelAt(image, 425, 75), kBlack); // lower whisker towards 5 (column 400)
    EXPECT_EQ(PixelAt(image, 400, 65), kBlack); // its cap, 15 rows each side
    EXPECT_EQ(PixelAt(image, 640, 75), kBlack); // upper whisker towards 7.5 (650)
    EXPECT_EQ(PixelAt(image, 700, 75), kWhite); // nothing beyond
    // Conductivity box on row 210.
    EXPECT_EQ(PixelAt(image, EcColumn(175, 1000), 210), kBlack); // median
    EXPECT_EQ(PixelAt(image, EcColumn(120, 1000), 210), kWhite); // inside the box
    EXPECT_EQ(PixelAt(image, EcColumn(120, 1000), 210 - 25), kBlack);
    const int outlier = EcColumn(2000, 1000);
    EXPECT_EQ(PixelAt(image, outlier, 200), kBlack); // circle of radius 10
    EXPECT_EQ(PixelAt(image, outlier, 210), kWhite); // filled white
    // "N = 6 " in the top right corner.
    EXPECT_TRUE(HasDarkPixel(image, QRect(850, 0, 150, 30)));
}

TEST(Boxplots, VerticalLayout) {
    BoxplotData data;
    FillSample(data);
    QImage image(1000, 1000, QImage::Format_RGB32);
    data.DrawBoxplots(image);
    // Axes: left at W / 7, bottom at H - H / 10, right at W - W / 7.
    EXPECT_EQ(PixelAt(image, 142, 500), kBlack);
    EXPECT_EQ(PixelAt(image, 500, 900), kBlack);
    EXPECT_EQ(PixelAt(image, 858, 500), kBlack);
    EXPECT_EQ(PixelAt(image, 500, 500), kWhite);
    // pH box at column 333 (half-width 111): 5.5 at row 550, 7.25 at 375, median at 450.
    EXPECT_EQ(PhRow(6.5, 1000), 450);
    EXPECT_EQ(PixelAt(image, 300, 450), kBlack);
    EXPECT_EQ(PixelAt(image, 300, 500), kWhite);
    EXPECT_EQ(PixelAt(image, 222, 500), kBlack); // left side of the box
    EXPECT_EQ(PixelAt(image, 333, 575), kBlack); // whisker down to 5 (row 600)
    EXPECT_EQ(PixelAt(image, 350, 600), kBlack); // its cap
    EXPECT_EQ(PixelAt(image, 333, 640), kWhite);
    // Conductivity box at column 666, outlier 2000 near the top.
    EXPECT_EQ(PixelAt(image, 620, EcRow(175, 1000)), kBlack);
    EXPECT_EQ(PixelAt(image, 620, EcRow(150, 1000)), kWhite);
    const int outlier = EcRow(2000, 1000);
    EXPECT_EQ(PixelAt(image, 666 - 10, outlier), kBlack);
    EXPECT_EQ(PixelAt(image, 666, outlier), kWhite);
    // Titles and tick labels.
    EXPECT_TRUE(HasDarkPixel(image, QRect(300, 905, 70, 60)));  // "pH"
    EXPECT_TRUE(HasDarkPixel(image, QRect(620, 905, 100, 60))); // "EGV"
    EXPECT_TRUE(HasDarkPixel(image, QRect(80, PhRow(5, 1000) - 25, 55, 40)));
    EXPECT_TRUE(HasDarkPixel(image, QRect(865, EcRow(100, 1000) - 25, 80, 40)));
}

TEST(Boxplots, EmptyListsDrawTheFrameOnly) {
    BoxplotData data;
    data.ResetBoxplotData(boVertical);
    const QImage& image = data.DrawOwnBoxplots();
    EXPECT_EQ(PixelAt(image, 142, 500), kBlack);
    EXPECT_EQ(CountColor(image, QRect(200, 120, 600, 760), kBlack), 0);
    EXPECT_TRUE(HasDarkPixel(image, QRect(800, 945, 200, 50))); // "N = 0 "
}

TEST(Boxplots, OneValueAndConductivityZero) {
    BoxplotData data;
    data.AddEnvironmentValues(QStringLiteral("7"), QStringLiteral("0"));
    QImage image(600, 600, QImage::Format_RGB32);
    data.DrawBoxplots(image); // no box edge at log10(0): drawn at the bottom edge
    // Box, median, whiskers and caps coincide; the median shows beyond the caps.
    EXPECT_EQ(PixelAt(image, 600 / 3 - 40, PhRow(7, 600)), kBlack);
    EXPECT_EQ(PixelAt(image, 600 / 3 - 80, PhRow(7, 600)), kWhite);
    EXPECT_EQ(EcRow(0, 600), 600);
    EXPECT_EQ(EcColumn(0, 1000), 0);
}

TEST(Boxplots, HorizontalDrawingKeepsTheSizeOfAnImagePassedIn) {
    BoxplotData data;
    data.ResetBoxplotData(boHorizontal);
    FillSample(data);
    QImage image(800, 600, QImage::Format_RGB32);
    data.DrawBoxplots(image);
    EXPECT_EQ(image.size(), QSize(800, 600));
    EXPECT_EQ(data.Image().size(), QSize(1000, 300));
    EXPECT_EQ(PixelAt(image, 300, 600 * 8 / 20), kBlack);
}

} // namespace
