#include "charts/environmentrun.h"
#include "charts/imagecheck.h"
#include "charts/tplotpanel.h"
#include "core/text/textutils.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <QSet>

using namespace velmora;
using namespace velmora::charts;
using namespace velmora::testing;

namespace {

// A white plot area without tick labels, so that pixel positions are easy to predict.
void PlainPanel(TPlotPanel& p, int width, int height) {
    p.SetSize(width, height);
    p.SetBackColor(kWhite);
    p.SetGridColor(kBlack);
}

QStringList Texts(const std::vector<TDrawnLabel>& labels) {
    QStringList texts;
    for (const TDrawnLabel& l : labels)
        texts << l.text;
    return texts;
}

TEST(PlotPanel, CreationValues) {
    TPlotPanel p;
    EXPECT_EQ(p.Width(), 300);
    EXPECT_EQ(p.Height(), 200);
    EXPECT_EQ(p.Caption(), QStringLiteral(" "));
    EXPECT_EQ(p.GridColor(), kBlack);
    EXPECT_EQ(p.BackColor(), kWhite);
    EXPECT_EQ(p.Margin(), 15);
    EXPECT_EQ(p.PlotMode(), pmLine);
    EXPECT_EQ(p.PlotPen().color, kBlack);
    EXPECT_EQ(p.PlotPen().width, 1);
    EXPECT_TRUE(p.Title().isEmpty());
    EXPECT_FALSE(p.LayerOption());
    EXPECT_EQ(p.XMin(), 0);
    EXPECT_EQ(p.XMax(), 10);
    EXPECT_EQ(p.YMin(), -1);
    EXPECT_EQ(p.YMax(), 1);
    EXPECT_EQ(p.XInterval(), 1);
    EXPECT_EQ(p.YInterval(), 1);
    EXPECT_FALSE(p.XScaleLog() || p.YScaleLog() || p.XMarks() || p.YMarks());
    for (int layer = 0; layer < TPlotPanel::kLayerCount; ++layer)
        EXPECT_TRUE(p.LayerPoints(layer).empty());
    // Drawn at once: PlotBMP is the panel less the bevel, the plot area inside the margins.
    EXPECT_EQ(p.PlotBMP().size(), QSize(298, 198));
    EXPECT_EQ(p.PlotArea(), QRect(QPoint(15, 15), QPoint(284, 184)));
    EXPECT_EQ(PixelAt(p.PlotBMP(), 100, 15), kBlack); // frame
    EXPECT_EQ(PixelAt(p.PlotBMP(), 100, 184), kBlack);
    EXPECT_EQ(PixelAt(p.PlotBMP(), 50, 60), kWhite); // back colour between grid lines
}

TEST(PlotPanel, SetterCorrections) {
    struct Case {
        const char* what;
        std::function<void(TPlotPanel&)> act;
        double xMin, xMax, yMin, yMax, xInterval, yInterval;
    };
    const Case cases[] = {
        {"XMin above XMax", [](TPlotPanel& p) { p.SetXMax(3), p.SetXMin(5); }, 5, 6, -1, 1, 1, 1},
        {"XMin equal to XMax", [](TPlotPanel& p) { p.SetXMin(10); }, 10, 11, -1, 1, 1, 1},
        {"XMax below XMin", [](TPlotPanel& p) { p.SetXMax(-4); }, -5, -4, -1, 1, 1, 1},
        {"YMax below YMin", [](TPlotPanel& p) { p.SetYMax(-2); }, 0, 10, -3, -2, 1, 1},
        {"YMin above YMax", [](TPlotPanel& p) { p.SetYMin(7); }, 0, 10, 7, 8, 1, 1},
        {"interval 0 stores 1", [](TPlotPanel& p) { p.SetXInterval(0), p.SetYInterval(0); }, 0, 10,
         -1, 1, 1, 1},
        {"negative interval keeps its size", [](TPlotPanel& p) { p.SetYInterval(-0.5); }, 0, 10, -1,
         1, 1, 0.5},
        {"not-a-number ignored", [](TPlotPanel& p) { p.SetXMin(std::nan("")); }, 0, 10, -1, 1, 1,
         1},
        {"log axis: bounds not above 0",
         [](TPlotPanel& p) { p.SetYMin(-5), p.SetYMax(-1), p.SetYScaleLog(true); }, 0, 10, 0.1, 1,
         1, 1},
        {"log axis emptied by the correction gets a decade",
         [](TPlotPanel& p) { p.SetXMin(-1), p.SetXMax(0.05), p.SetXScaleLog(true); }, 0.1, 1, -1, 1,
         1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TPlotPanel p;
        c.act(p);
        EXPECT_DOUBLE_EQ(p.XMin(), c.xMin);
        EXPECT_DOUBLE_EQ(p.XMax(), c.xMax);
        EXPECT_DOUBLE_EQ(p.YMin(), c.yMin);
        EXPECT_DOUBLE_EQ(p.YMax(), c.yMax);
        EXPECT_DOUBLE_EQ(p.XInterval(), c.xInterval);
        EXPECT_DOUBLE_EQ(p.YInterval(), c.yInterval);
        EXPECT_TRUE(std::isfinite(p.ScaleX()) && std::isfinite(p.ScaleY()));
    }
}

TEST(PlotPanel, LayerOptionCanOnlyBeCleared) {
    TPlotPanel p;
    p.SetLayerOption(true);
    EXPECT_FALSE(p.LayerOption());
}

TEST(PlotPanel, DenseLinearGridIsWidenedToEightPixels) {
    TPlotPanel p;
    PlainPanel(p, 400, 200);
    p.SetXMax(1000);
    EXPECT_DOUBLE_EQ(p.XInterval(), 20); // 1000 x 8 / 400
    ASSERT_EQ(p.XGridValues().size(), 51u);
    EXPECT_DOUBLE_EQ(p.XGridValues()[1], 20);
    // On the image: a line at 20 and none at 10, half-way between two lines.
    const int row = p.RowOf(0.5);
    EXPECT_EQ(PixelAt(p.PlotBMP(), p.ColumnOf(20), row), kBlack);
    EXPECT_EQ(PixelAt(p.PlotBMP(), p.ColumnOf(10), row), kWhite);
    EXPECT_GE(p.ColumnOf(40) - p.ColumnOf(20), 7);
}

TEST(PlotPanel, LinearGridAndLabelsReachTheEndOfTheAxis) {
    TPlotPanel p;
    PlainPanel(p, 500, 300);
    p.SetXMarks(true);
    p.SetXMin(2);
    p.SetXMax(10);
    const std::vector<double> expected{2, 3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_EQ(p.XGridValues(), expected);
    EXPECT_EQ(Texts(p.XTickLabels()), QStringList({"2", "3", "4", "5", "6", "7", "8", "9", "10"}));
    const int row = p.RowOf(0.5);
    for (double v : expected)
        EXPECT_EQ(PixelAt(p.PlotBMP(), p.ColumnOf(v), row), kBlack) << v;
    EXPECT_EQ(PixelAt(p.PlotBMP(), p.ColumnOf(9.5), row), kWhite);
    // Each label is written centred under its line, below the plot area.
    for (const TDrawnLabel& label : p.XTickLabels()) {
        EXPECT_TRUE(HasDarkPixel(p.PlotBMP(), label.rect)) << label.text.toStdString();
        EXPECT_EQ(label.rect.top(), p.Height() - p.BottomMargin() + 3);
    }
    // 0.1 steps add up to just above 0.3; the tolerance keeps the last line.
    p.SetXMin(0);
    p.SetXMax(0.3);
    p.SetXInterval(0.1);
    EXPECT_EQ(p.XGridValues().size(), 4u);
    EXPECT_EQ(Texts(p.XTickLabels()), QStringList({"0", "0.1", "0.2", "0.3"}));
}

TEST(PlotPanel, TickValueTexts) {
    const std::pair<double, const char*> cases[] = {
        {0, "0"},       {2, "2"},         {0.5, "0.5"},  {1.25, "1.25"},   {1.256, "1.26"},
        {-3.1, "-3.1"}, {999, "999"},     {1000, "1e3"}, {1500, "1.5e3"},  {12345, "1.23e4"},
        {99999, "1e5"}, {2.5e6, "2.5e6"}, {0.001, "0"},  {-1500, "-1500"}, {30.000000001, "30"}};
    for (const auto& [value, text] : cases)
        EXPECT_EQ(FormatTickValue(value), QString::fromLatin1(text)) << value;
    core::SetDecimalSeparator(QLatin1Char(','));
    EXPECT_EQ(FormatTickValue(1.5), QStringLiteral("1,5"));
    EXPECT_EQ(FormatTickValue(1500), QStringLiteral("1,5e3"));
    core::SetDecimalSeparator(QLatin1Char('.'));
}

TEST(PlotPanel, LogarithmicYAxisOfTheScatterPlot) {
    TPlotPanel p;
    SetupPHEGVPlot(p);
    // Grid: every unit of each decade, and 1000.
    std::vector<double> grid;
    for (double decade : {1.0, 10.0, 100.0})
        for (int i = 1; i <= 9; ++i)
            grid.push_back(decade * i);
    grid.push_back(1000);
    ASSERT_EQ(p.YGridValues().size(), grid.size());
    for (std::size_t i = 0; i < grid.size(); ++i)
        EXPECT_NEAR(p.YGridValues()[i], grid[i], 1e-9 * grid[i]);
    // Labels: the decades, and the even steps where they fit (the end of a decade is written
    // twice, at the same place).
    const QStringList texts = Texts(p.YTickLabels());
    const QSet<QString> expected{"1",  "2",  "4",   "6",   "8",   "10",  "20",  "40",
                                 "60", "80", "100", "200", "400", "600", "800", "1e3"};
    EXPECT_EQ(QSet<QString>(texts.begin(), texts.end()), expected);
    for (const TDrawnLabel& label : p.YTickLabels())
        EXPECT_TRUE(HasDarkPixel(p.PlotBMP(), label.rect)) << label.text.toStdString();
    // Lines in the silver grid colour, at logarithmic rows.
    const int column = p.ColumnOf(2.5);
    EXPECT_EQ(PixelAt(p.PlotBMP(), column, p.RowOf(100)), kSilver);
    EXPECT_EQ(PixelAt(p.PlotBMP(), column, p.RowOf(300)), kSilver);
    EXPECT_EQ(PixelAt(p.PlotBMP(), column, p.RowOf(250)), kWhite);
    EXPECT_NEAR(p.RowOf(10) - p.RowOf(100), p.RowOf(100) - p.RowOf(1000), 1);
}

TEST(PlotPanel, CrowdedLogLabelsAreLeftOut) {
    TPlotPanel p;
    SetupPHEGVPlot(p);
    p.SetSize(300, 200);
    const QStringList texts = Texts(p.YTickLabels());
    EXPECT_TRUE(texts.contains("1") && texts.contains("10") && texts.contains("100") &&
                texts.contains("1e3"));
    EXPECT_LT(texts.size(), 16);
}

TEST(PlotPanel, LogarithmicXAxis) {
    TPlotPanel p;
    PlainPanel(p, 600, 300);
    p.SetXMarks(true);
    p.SetXScaleLog(true);
    p.SetXMin(1);
    p.SetXMax(1000);
    // Three decades: a line at every unit of each decade, the ends being the frame.
    const std::vector<double> grid = p.XGridValues();
    ASSERT_EQ(grid.size(), 26u);
    EXPECT_NEAR(grid.front(), 2, 1e-9);
    EXPECT_NEAR(grid.back(), 900, 1e-9);
    const int row = p.RowOf(0.5);
    EXPECT_EQ(PixelAt(p.PlotBMP(), p.ColumnOf(20), row), kBlack);
    EXPECT_EQ(PixelAt(p.PlotBMP(), p.ColumnOf(30), row), kBlack);
    EXPECT_EQ(PixelAt(p.PlotBMP(), p.ColumnOf(25), row), kWhite);
    EXPECT_NEAR(p.ColumnOf(100) - p.ColumnOf(10), p.ColumnOf(10) - p.ColumnOf(1), 1);
    const QStringList texts = Texts(p.XTickLabels());
    EXPECT_TRUE(texts.contains("1") && texts.contains("10") && texts.contains("100"));
    for (const TDrawnLabel& label : p.XTickLabels())
        EXPECT_TRUE(HasDarkPixel(p.PlotBMP(), label.rect)) << label.text.toStdString();
}

TEST(PlotPanel, PointAtZeroOnALogAxisIsStoredButNotSeen) {
    TPlotPanel p;
    SetupPHEGVPlot(p);
    const QImage before = p.PlotBMP();
    p.AddPoint(5, 0);
    ASSERT_EQ(p.LayerPoints(0).size(), 1u);
    EXPECT_DOUBLE_EQ(p.LayerPoints(0)[0].y, -50);
    EXPECT_EQ(p.PlotBMP(), before);
    p.AddPoint(5, 100);
    EXPECT_EQ(PixelAt(p.PlotBMP(), p.ColumnOf(5), p.RowOf(100) - 1), kRed);
}

TEST(PlotPanel, HideShowAndAddOnAHiddenLayer) {
    TPlotPanel p;
    PlainPanel(p, 300, 200);
    p.SetPlotMode(pmDot);
    p.SetPlotPen({kRed, 5});
    // A square of 5 pixels is centred one row above the value's row.
    auto at = [&](double x) { return PixelAt(p.PlotBMP(), p.ColumnOf(x), p.RowOf(0.5) - 1); };
    p.AddLayerPoint(kBlue, 1, 2.5, 0.5);
    p.AddLayerPoint(kBlue, 9, 7.5, 0.5); // layer 9 is layer 1
    EXPECT_EQ(p.LayerPoints(1).size(), 2u);
    EXPECT_EQ(at(2.5), kBlue);
    EXPECT_EQ(at(7.5), kBlue);

    p.HideLayer(1);
    EXPECT_EQ(p.VisibleCount(1), 0);
    EXPECT_EQ(at(2.5), kWhite);
    p.ShowLayer(1);
    EXPECT_EQ(at(2.5), kBlue);
    EXPECT_EQ(at(7.5), kBlue);

    p.HideLayer(1);
    p.AddLayerPoint(kGreen, 1, 5.5, 0.5); // the hidden points are given up
    ASSERT_EQ(p.LayerPoints(1).size(), 1u);
    EXPECT_EQ(at(5.5), kGreen);
    EXPECT_EQ(at(2.5), kWhite);
    p.ShowLayer(1);
    EXPECT_EQ(at(2.5), kWhite);
    EXPECT_EQ(at(5.5), kGreen);

    p.ClearLayers();
    EXPECT_EQ(at(5.5), kWhite);
    EXPECT_TRUE(p.LayerPoints(1).empty());
}

TEST(PlotPanel, LayersAreDrawnInOrderSoHigherLayersCoverLowerOnes) {
    TPlotPanel p;
    PlainPanel(p, 300, 200);
    p.SetPlotMode(pmCircle);
    p.SetPlotPen({kRed, 5});
    p.AddLayerPoint(kGreen, 2, 3.5, 0.5);
    p.AddPoint(3.5, 0.5); // red, layer 0: drawn on top now...
    const int x = p.ColumnOf(3.5);
    const int y = p.RowOf(0.5) - 1;
    EXPECT_EQ(PixelAt(p.PlotBMP(), x, y), kRed);
    p.Redraw(); // ...but a full drawing puts layer 2 above layer 0
    EXPECT_EQ(PixelAt(p.PlotBMP(), x, y), kGreen);
}

// A circle point is copied from a picture drawn once per colour and size: every point must
// have exactly the pixels of an ellipse drawn at its own place.
TEST(PlotPanel, CirclePointsHaveThePixelsOfTheirOwnEllipse) {
    for (const int width : {1, 5, 8}) {
        TPlotPanel p;
        PlainPanel(p, 300, 200);
        p.SetPlotMode(pmCircle);
        p.SetPlotPen({kRed, width});
        QImage expected = p.PlotBMP().copy();
        const std::pair<double, double> points[] = {{2.13, 0.21}, {5.77, -0.33}, {7.41, 0.05}};
        for (const auto& [x, y] : points) {
            p.AddPoint(x, y);
            QPainter painter(&expected);
            painter.setPen(QPen(QColor(255, 0, 0), width));
            painter.setBrush(QColor(255, 0, 0));
            const int half = width / 2;
            painter.drawEllipse(
                QRect(p.ColumnOf(x) - half, p.RowOf(y) + half - width, width, width));
        }
        EXPECT_TRUE(p.PlotBMP().convertToFormat(QImage::Format_RGB32) ==
                    expected.convertToFormat(QImage::Format_RGB32))
            << "pen width " << width;
    }
}

TEST(PlotPanel, EachLayerIsItsOwnLine) {
    TPlotPanel p;
    PlainPanel(p, 300, 200);
    p.SetPlotPen({kRed, 1});
    p.AddLayerPoint(kRed, 0, 1, -0.45);
    p.AddLayerPoint(kRed, 0, 9, -0.45);
    p.AddLayerPoint(kBlue, 1, 1, 0.45);
    p.AddLayerPoint(kBlue, 1, 9, 0.45);
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass == 0 ? "added one by one" : "redrawn");
        const QImage& image = p.PlotBMP();
        EXPECT_EQ(PixelAt(image, p.ColumnOf(5.5), p.RowOf(-0.45)), kRed);
        EXPECT_EQ(PixelAt(image, p.ColumnOf(5.5), p.RowOf(0.45)), kBlue);
        // No segment joins the end of layer 0 to the start of layer 1.
        EXPECT_EQ(CountColor(image,
                             QRect(p.ColumnOf(4.5), p.RowOf(0.3), 10, p.RowOf(-0.3) - p.RowOf(0.3)),
                             kBlue),
                  0);
        EXPECT_EQ(CountColor(image,
                             QRect(p.ColumnOf(4.5), p.RowOf(0.3), 10, p.RowOf(-0.3) - p.RowOf(0.3)),
                             kRed),
                  0);
        p.Redraw();
    }
}

TEST(PlotPanel, PointsOutsideThePlotAreaStayOutOfTheChart) {
    TPlotPanel p;
    PlainPanel(p, 300, 200);
    p.SetPlotMode(pmDot);
    p.SetPlotPen({kRed, 9});
    p.AddPoint(10, 0.5); // the square reaches over the right edge of the frame
    const QRect area = p.PlotArea();
    const int row = p.RowOf(0.5) - 1;
    EXPECT_EQ(PixelAt(p.PlotBMP(), area.right() - 1, row), kRed);
    EXPECT_NE(PixelAt(p.PlotBMP(), area.right() + 2, row), kRed);
    p.AddPoint(1e300, -1e300); // far off: no overflow, nothing drawn
    EXPECT_EQ(p.LayerPoints(0).size(), 2u);
}

TEST(PlotPanel, BarsStandOnZero) {
    TPlotPanel p;
    PlainPanel(p, 300, 200);
    p.SetYMin(-2);
    p.SetYMax(2);
    p.SetPlotMode(pmBar);
    p.SetPlotPen({kRed, 5});
    p.AddPoint(2.5, 1.5);
    p.AddPoint(7.5, -1);
    EXPECT_EQ(PixelAt(p.PlotBMP(), p.ColumnOf(2.5), p.RowOf(1.4)), kRed);
    EXPECT_EQ(PixelAt(p.PlotBMP(), p.ColumnOf(2.5), p.RowOf(0.1)), kRed);
    EXPECT_NE(PixelAt(p.PlotBMP(), p.ColumnOf(2.5), p.RowOf(1.7)), kRed);
    EXPECT_NE(PixelAt(p.PlotBMP(), p.ColumnOf(2.5), p.RowOf(-0.5)), kRed);
    EXPECT_EQ(PixelAt(p.PlotBMP(), p.ColumnOf(7.5), p.RowOf(-0.5)), kRed);
}

TEST(PlotPanel, BatchFlagKeepsPointsOutOfTheChartUntilRedrawn) {
    TPlotPanel p;
    PlainPanel(p, 300, 200);
    p.SetPlotMode(pmDot);
    p.SetPlotPen({kRed, 5});
    int changes = 0;
    p.SetOnChange([&] { ++changes; });
    p.SetBatch(true);
    p.AddPoint(5.5, 0.5);
    const int x = p.ColumnOf(5.5);
    const int y = p.RowOf(0.5) - 1;
    EXPECT_EQ(PixelAt(p.PlotBMP(), x, y), kWhite);
    EXPECT_EQ(changes, 0);
    p.SetBatch(false);
    p.Redraw();
    EXPECT_EQ(PixelAt(p.PlotBMP(), x, y), kRed);
    EXPECT_EQ(changes, 1);
    p.AddPoint(2.5, 0.5);
    EXPECT_EQ(changes, 2);
}

TEST(PlotPanel, TickLabelEventWritesTheLabelAndItsFont) {
    TPlotPanel p;
    PlainPanel(p, 500, 300);
    p.SetXMarks(true);
    p.SetYMarks(true);
    QList<double> asked;
    p.SetOnXMarksWrite(
        [&](TPlotPanel& sender, double value, QString& text, QFont& font, bool& handled) {
            EXPECT_EQ(&sender, &p);
            EXPECT_FALSE(handled);
            asked << value;
            if (value == 4) {
                EXPECT_EQ(text, QStringLiteral("4")); // comes in formatted
                text = QStringLiteral("four");
                handled = true;
                font.setPixelSize(30);
            } else if (value == 6) {
                text = QStringLiteral("ignored"); // not handled: the control writes the value
            }
        });
    EXPECT_EQ(asked.size(), 11);
    const std::vector<TDrawnLabel>& labels = p.XTickLabels();
    ASSERT_EQ(labels.size(), 11u);
    EXPECT_EQ(labels[4].text, QStringLiteral("four"));
    EXPECT_EQ(labels[6].text, QStringLiteral("6"));
    // The enlarged font stays for the following labels of the axis.
    EXPECT_LT(labels[3].rect.height(), labels[4].rect.height());
    EXPECT_EQ(labels[5].rect.height(), labels[4].rect.height());
    EXPECT_TRUE(HasDarkPixel(p.PlotBMP(), labels[4].rect));
}

TEST(PlotPanel, TitleAndAxisLabels) {
    TPlotPanel p;
    SetupPHEGVPlot(p);
    const QImage& image = p.PlotBMP();
    const QRect area = p.PlotArea();
    // The title above the plot area, the x label under the tick labels.
    EXPECT_TRUE(HasDarkPixel(image, QRect(300, 0, 200, area.top())));
    EXPECT_TRUE(HasDarkPixel(image, QRect(350, p.Height() - 30, 100, 25)));
    // The y label stands turned in the strip left of the tick labels: taller than wide.
    const QRect strip(0, 0, 2 + p.Margin() / 2 + 25, p.Height());
    int top = p.Height(), bottom = 0, left = p.Width(), right = 0;
    for (int y = strip.top(); y <= strip.bottom(); ++y)
        for (int x = strip.left(); x <= strip.right(); ++x)
            if (image.valid(x, y) && image.pixelColor(x, y).lightness() < 128) {
                top = std::min(top, y), bottom = std::max(bottom, y);
                left = std::min(left, x), right = std::max(right, x);
            }
    ASSERT_LT(top, bottom);
    EXPECT_GT(bottom - top, 2 * (right - left));
    EXPECT_NEAR((top + bottom) / 2, p.Height() / 2, 5);
}

TEST(PlotPanel, TinyPanelStillDraws) {
    TPlotPanel p;
    p.SetXMarks(true);
    p.SetYMarks(true);
    p.SetTitle("x");
    p.SetSize(10, 10);
    p.AddPoint(1, 1);
    EXPECT_EQ(p.PlotBMP().size(), QSize(8, 8));
}

} // namespace
