#include "ui/tplotpanelwidget.h"

#include <QPainter>
#include <QResizeEvent>

namespace velmora::ui {

TPlotPanelWidget::TPlotPanelWidget(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(m_panel.BevelWidth());
    m_panel.SetOnChange([this] { update(); });
    resize(m_panel.Width(), m_panel.Height());
}

void TPlotPanelWidget::FitToPanel() {
    setLineWidth(m_panel.BevelWidth());
    resize(m_panel.Width(), m_panel.Height());
}

QSize TPlotPanelWidget::sizeHint() const {
    return QSize(m_panel.Width(), m_panel.Height());
}

void TPlotPanelWidget::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const int bevel = m_panel.BevelWidth();
    painter.drawImage(QPoint(bevel, bevel), m_panel.PlotBMP());
}

void TPlotPanelWidget::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    if (event->size() != QSize(m_panel.Width(), m_panel.Height()))
        m_panel.SetSize(event->size().width(), event->size().height());
}

} // namespace velmora::ui
