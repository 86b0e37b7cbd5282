#include "ui/tboxplotform.h"
#include "ui/tplotpanelwidget.h"

#include <QLabel>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::ui;

namespace {

TEST(PlotPanelWidget, ShowsThePanelsChartAndFollowsItsSize) {
    TPlotPanelWidget widget;
    EXPECT_EQ(widget.size(), QSize(300, 200));
    widget.show();
    widget.resize(400, 250);
    EXPECT_EQ(widget.Panel().Width(), 400);
    EXPECT_EQ(widget.Panel().Height(), 250);

    charts::TPlotPanel& panel = widget.Panel();
    panel.SetPlotMode(charts::pmDot);
    panel.SetPlotPen({0x000000FF, 7});
    panel.AddPoint(5.5, 0.5);
    const QImage shown = widget.grab().toImage();
    const int x = panel.ColumnOf(5.5) + panel.BevelWidth();
    const int y = panel.RowOf(0.5) - 1 + panel.BevelWidth();
    EXPECT_EQ(shown.pixelColor(x, y), QColor(255, 0, 0));
    // The chart inside the bevel is the panel's image, pixel for pixel.
    EXPECT_EQ(shown.pixelColor(100, 100), panel.PlotBMP().pixelColor(99, 99));
}

TEST(BoxplotForm, HoldsTheScatterPlotAndShowsTheBoxplots) {
    TBoxplotForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Boxplot en pH-EGV Plot"));
    auto* plot = form.findChild<TPlotPanelWidget*>(QStringLiteral("pHEGV"));
    ASSERT_NE(plot, nullptr);
    EXPECT_EQ(plot->size(), QSize(800, 800));
    EXPECT_EQ(form.PHEGV().Title(), QStringLiteral("EGV vs pH"));
    EXPECT_TRUE(form.PHEGV().YScaleLog());

    form.Data().ResetBoxplotData(charts::boHorizontal);
    form.Data().AddEnvironmentValues(QStringLiteral("6,5"), QStringLiteral("120"));
    form.ShowBoxplots();
    EXPECT_EQ(form.BoxplotImage()->pixmap().size(), QSize(1000, 300));
}

} // namespace
