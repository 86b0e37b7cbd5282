#pragma once
// The window side of a plot panel: a raised panel that shows the chart its TPlotPanel renders
// and follows the panel's size. Every change of the chart already renders it, so painting only
// puts the rendered image on the screen.

#include "charts/tplotpanel.h"

#include <QFrame>

namespace velmora::ui {

class TPlotPanelWidget : public QFrame {
    Q_OBJECT
    Q_CLASSINFO("FormName", "TPlotPanelWidget")
public:
    explicit TPlotPanelWidget(QWidget* parent = nullptr);

    charts::TPlotPanel& Panel() { return m_panel; }
    const charts::TPlotPanel& Panel() const { return m_panel; }

    // Sizes the widget to the panel's current size (after the owner has set it up).
    void FitToPanel();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    charts::TPlotPanel m_panel;
};

} // namespace velmora::ui
