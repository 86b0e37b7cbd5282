#include "ui/tboxplotform.h"

#include "charts/environmentrun.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QScrollArea>

namespace velmora::ui {

TBoxplotForm::TBoxplotForm(QWidget* parent)
    : QWidget(parent, Qt::Window), m_boxplotImage(new QLabel), m_pHEGV(new TPlotPanelWidget) {
    setObjectName(QStringLiteral("BoxplotForm"));
    setWindowTitle(QStringLiteral("Boxplot en pH-EGV Plot"));

    m_boxplotImage->setObjectName(QStringLiteral("BoxplotImage"));
    m_boxplotImage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* scroll = new QScrollArea;
    scroll->setWidget(m_boxplotImage);
    scroll->setWidgetResizable(true);

    m_pHEGV->setObjectName(QStringLiteral("pHEGV"));
    charts::SetupPHEGVPlot(m_pHEGV->Panel());
    m_pHEGV->setFixedSize(m_pHEGV->Panel().Width(), m_pHEGV->Panel().Height());

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(scroll, 1);
    layout->addWidget(m_pHEGV, 0, Qt::AlignTop);
    resize(1400, 850);
    ShowBoxplots();
}

void TBoxplotForm::ShowBoxplots() {
    m_boxplotImage->setPixmap(QPixmap::fromImage(m_data.DrawOwnBoxplots()));
}

} // namespace velmora::ui
