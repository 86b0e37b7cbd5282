#include "ui/tzoomform.h"

#include "ui/tdistributionform.h"

#include <QCursor>
#include <QLabel>
#include <QPainter>
#include <QSlider>
#include <QStackedLayout>
#include <QTimer>
#include <QVBoxLayout>

namespace velmora::ui {

namespace {
constexpr int kSide = 120;
} // namespace

TZoomForm::TZoomForm(const MapPanel& panel, QWidget* parent)
    : QWidget(parent,
              Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_panel(panel) {
    setObjectName(QStringLiteral("ZoomForm"));
    setFixedSize(kSide, kSide);
    m_stack = new QStackedLayout(this);
    m_stack->setContentsMargins(0, 0, 0, 0);
    m_view = new QLabel(this);
    m_view->setObjectName(QStringLiteral("ZoomView"));
    m_view->setFixedSize(kSide, kSide);
    m_stack->addWidget(m_view);
    auto* sliderPage = new QWidget(this);
    auto* sliderLayout = new QVBoxLayout(sliderPage);
    m_slider = new QSlider(Qt::Horizontal, sliderPage);
    m_slider->setObjectName(QStringLiteral("ZoomSlider"));
    m_slider->setRange(2, 6);
    m_slider->setValue(3);
    m_slider->setTickPosition(QSlider::TicksBelow);
    m_slider->setTickInterval(2);
    auto* marks = new QLabel(QStringLiteral("2 x      4 x      6 x"), sliderPage);
    sliderLayout->addStretch(1);
    sliderLayout->addWidget(m_slider);
    sliderLayout->addWidget(marks);
    sliderLayout->addStretch(1);
    m_stack->addWidget(sliderPage);
    connect(m_slider, &QSlider::valueChanged, this,
            [this] { setWindowTitle(QStringLiteral("Zoom %1x").arg(Factor())); });
    setWindowTitle(QStringLiteral("Zoom %1x").arg(Factor()));
    m_timer = new QTimer(this);
    m_timer->setInterval(25);
    connect(m_timer, &QTimer::timeout, this, [this] { Refresh(); });
    m_timer->start();
}

int TZoomForm::Factor() const {
    return m_slider->value();
}

void TZoomForm::SetFactor(int factor) {
    m_slider->setValue(factor);
}

QImage TZoomForm::Enlarged(QPoint panelPosition) const {
    QImage out(kSide, kSide, QImage::Format_RGB32);
    out.fill(Qt::white);
    // The full-size picture, also when the map is shown fitted: a point is placed to its pixel.
    const QImage& picture = m_panel.FullPicture();
    if (picture.isNull())
        return out;
    // The square of picture pixels around the pointer, kept inside the picture.
    const int half = kSide / (4 * Factor());
    const QPoint at = m_panel.FullPixel(panelPosition);
    const int side = 2 * half + 1;
    const int left = std::clamp(at.x() - half, 0, std::max(0, picture.width() - side));
    const int top = std::clamp(at.y() - half, 0, std::max(0, picture.height() - side));
    const QImage part = picture.copy(left, top, side, side);
    QPainter painter(&out);
    painter.drawImage(QRect(0, 0, kSide, kSide), part);
    // The red cross through the pointer's pixel.
    const double scale = double(kSide) / side;
    const int cx = int((at.x() - left + 0.5) * scale);
    const int cy = int((at.y() - top + 0.5) * scale);
    painter.setPen(QPen(Qt::red, 1));
    painter.drawLine(cx, 0, cx, kSide);
    painter.drawLine(0, cy, kSide, cy);
    return out;
}

void TZoomForm::Refresh() {
    if (!isVisible() || (window() && window()->isMinimized()) || m_stack->currentIndex() != 0)
        return;
    m_view->setPixmap(QPixmap::fromImage(Enlarged(m_panel.mapFromGlobal(QCursor::pos()))));
}

void TZoomForm::enterEvent(QEnterEvent*) {
    m_stack->setCurrentIndex(1);
}

void TZoomForm::leaveEvent(QEvent*) {
    m_stack->setCurrentIndex(0);
}

} // namespace velmora::ui
