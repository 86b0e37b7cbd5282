#pragma once
// The boxplot window ("Boxplot en pH-EGV Plot"): created at start and kept hidden. It owns the
// environment lists of the last map run with their boxplot image, and the pH-conductivity
// scatter plot `pHEGV`. The map run feeds both (charts::EnvironmentRun) and the map window
// saves their images; showing the window displays them as they stand.

#include "charts/boxplotdata.h"
#include "ui/tplotpanelwidget.h"

#include <QWidget>

class QLabel;

namespace velmora::ui {

class TBoxplotForm : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("FormName", "TBoxplotForm")
public:
    explicit TBoxplotForm(QWidget* parent = nullptr);

    charts::BoxplotData& Data() { return m_data; }
    charts::TPlotPanel& PHEGV() { return m_pHEGV->Panel(); }

    // Draws the boxplots afresh into the window's own image and shows it.
    void ShowBoxplots();

    QLabel* BoxplotImage() const { return m_boxplotImage; }
    TPlotPanelWidget* PHEGVWidget() const { return m_pHEGV; }

private:
    charts::BoxplotData m_data;
    QLabel* m_boxplotImage;
    TPlotPanelWidget* m_pHEGV;
};

} // namespace velmora::ui
