#include "charts/tplotpanel.h"

#include "core/text/textutils.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace velmora::charts {

using core::ToQColor;

namespace {

// Nearest integer with halves to the even neighbour (the default rounding mode). Values far
// off the image are clamped first, so that a point at 1e300 lands off the image instead of
// overflowing.
int Round(double value) {
    if (std::isnan(value))
        return 0;
    return static_cast<int>(std::nearbyint(std::clamp(value, -1.0e7, 1.0e7)));
}

double Pow10(int k) {
    return std::pow(10.0, k);
}

// The largest integer k with 10^k not above value, searched downwards from 19 and not
// below -21.
int DecadeBelow(double value) {
    int k = 19;
    while (k > -21 && Pow10(k) > value)
        --k;
    return k;
}

// The value of step s inside the decade c on a logarithmic axis spanning D decades: narrow
// spans get finer steps, so that a short axis still has several lines.
double LogStep(double c, int s, double span) {
    if (span < 0.15)
        return c * (1 + s / 20.0);
    if (span < 0.302)
        return c * (1 + s / 10.0);
    if (span < 0.45)
        return c * (1 + s / 5.0);
    if (span < 0.64)
        return c * (1 + s / 2.0);
    return c * s;
}

// Per decade, the number of steps of the logarithmic x grid.
int LogXSteps(double span) {
    if (span < 0.4)
        return 200;
    if (span < 0.5)
        return 100;
    if (span < 0.6)
        return 40;
    if (span >= 4)
        return 5;
    return 10;
}

// Grid and label walks stop here at the latest, whatever the floating-point steps do.
constexpr int kMaxSteps = 100000;
constexpr int kMaxDecades = 700;

// "0.##": at most two decimals, no trailing zeros, '.' as the separator.
QString TwoDecimals(double value) {
    QString text = QString::number(value, 'f', 2);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text;
}

double FirstGridValue(double minimum, double interval) {
    return std::nearbyint(minimum / interval + 0.4999) * interval;
}

double SpanScale(int pixels, double span) {
    if (!(span > 0) || !std::isfinite(span))
        return 0;
    return pixels / span;
}

double SafeLog10(double value) {
    return std::log10(value > 0 ? value : 1e-50);
}

} // namespace

QFont PlotFont(int pixelSize, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(std::max(1, pixelSize));
    font.setBold(bold);
    return font;
}

QString FormatTickValue(double value) {
    QString text;
    if (value >= 1000 && std::isfinite(value)) {
        int exponent = static_cast<int>(std::floor(std::log10(value)));
        double mantissa = std::round(value / std::pow(10.0, exponent) * 100) / 100;
        if (mantissa >= 10) {
            mantissa /= 10;
            ++exponent;
        }
        text = TwoDecimals(mantissa) + QLatin1Char('e') + QString::number(exponent);
    } else {
        text = TwoDecimals(value);
    }
    const QChar separator = core::DecimalSeparator();
    if (separator != QLatin1Char('.'))
        text.replace(QLatin1Char('.'), separator);
    return text;
}

TPlotPanel::TPlotPanel()
    : m_font(PlotFont(11)), m_xMarksFont(PlotFont(11)), m_yMarksFont(PlotFont(11)) {
    Redraw();
}

void TPlotPanel::SetSize(int width, int height) {
    m_width = std::max(1, width);
    m_height = std::max(1, height);
    Redraw();
}

void TPlotPanel::SetBevelWidth(int width) {
    m_bevel = std::max(0, width);
    Redraw();
}

void TPlotPanel::SetColor(core::TColor color) {
    m_color = color;
    Redraw();
}

void TPlotPanel::SetFont(const QFont& font) {
    m_font = font;
    Redraw();
}

void TPlotPanel::SetGridColor(core::TColor color) {
    m_gridColor = color;
    Redraw();
}

void TPlotPanel::SetBackColor(core::TColor color) {
    m_backColor = color;
    Redraw();
}

void TPlotPanel::SetMargin(int margin) {
    m_margin = margin;
    Redraw();
}

void TPlotPanel::SetPlotMode(TPlotMode mode) {
    m_plotMode = mode;
    Redraw();
}

void TPlotPanel::SetPlotPen(const TPlotPen& pen) {
    m_plotPen = pen;
    m_plotPen.width = std::max(1, pen.width);
    Redraw();
}

void TPlotPanel::SetTitle(const QString& title) {
    m_title = title;
    Redraw();
}

void TPlotPanel::SetLayerOption(bool on) {
    if (!on)
        m_layerOption = false;
    Redraw();
}

void TPlotPanel::SetXMin(double value) {
    if (!std::isfinite(value))
        return;
    m_xMin = value;
    if (m_xMin >= m_xMax)
        m_xMax = m_xMin + 1;
    Redraw();
}

void TPlotPanel::SetXMax(double value) {
    if (!std::isfinite(value))
        return;
    m_xMax = value;
    if (m_xMax <= m_xMin)
        m_xMin = m_xMax - 1;
    Redraw();
}

void TPlotPanel::SetXScaleLog(bool on) {
    m_xScaleLog = on;
    Redraw();
}

void TPlotPanel::SetXMarks(bool on) {
    m_xMarks = on;
    Redraw();
}

void TPlotPanel::SetXMarksFont(const QFont& font) {
    m_xMarksFont = font;
    Redraw();
}

void TPlotPanel::SetXInterval(double interval) {
    if (!std::isfinite(interval))
        return;
    // A negative step would walk away from the end of the axis and never stop.
    m_xInterval = interval == 0 ? 1 : std::fabs(interval);
    Redraw();
}

void TPlotPanel::SetXLabel(const QString& label) {
    m_xLabel = label;
    Redraw();
}

void TPlotPanel::SetYMin(double value) {
    if (!std::isfinite(value))
        return;
    m_yMin = value;
    if (m_yMin >= m_yMax)
        m_yMax = m_yMin + 1;
    Redraw();
}

void TPlotPanel::SetYMax(double value) {
    if (!std::isfinite(value))
        return;
    m_yMax = value;
    if (m_yMax <= m_yMin)
        m_yMin = m_yMax - 1;
    Redraw();
}

void TPlotPanel::SetYScaleLog(bool on) {
    m_yScaleLog = on;
    Redraw();
}

void TPlotPanel::SetYMarks(bool on) {
    m_yMarks = on;
    Redraw();
}

void TPlotPanel::SetYMarksFont(const QFont& font) {
    m_yMarksFont = font;
    Redraw();
}

void TPlotPanel::SetYInterval(double interval) {
    if (!std::isfinite(interval))
        return;
    m_yInterval = interval == 0 ? 1 : std::fabs(interval);
    Redraw();
}

void TPlotPanel::SetYLabel(const QString& label) {
    m_yLabel = label;
    Redraw();
}

void TPlotPanel::SetOnXMarksWrite(TWriteAxisEvt handler) {
    m_onXMarksWrite = std::move(handler);
    Redraw();
}

void TPlotPanel::SetOnYMarksWrite(TWriteAxisEvt handler) {
    m_onYMarksWrite = std::move(handler);
    Redraw();
}

// ---- points

double TPlotPanel::XValue(double value) const {
    return m_xScaleLog ? SafeLog10(value) : value;
}

double TPlotPanel::YValue(double value) const {
    return m_yScaleLog ? SafeLog10(value) : value;
}

void TPlotPanel::AddPoint(double x, double y) {
    m_layerOption = false;
    AddLayerPoint(m_plotPen.color, 0, x, y);
}

void TPlotPanel::AddLayerPoint(core::TColor color, int layer, double x, double y) {
    if (std::isnan(x) || std::isnan(y))
        return;
    Layer& target = m_layers[((layer % kLayerCount) + kLayerCount) % kLayerCount];
    const TPlotPoint point{XValue(x), YValue(y), color};
    if (target.visible == 0)
        m_newLine = true;
    // Points hidden by HideLayer are given up once the layer receives a new point.
    target.points.resize(target.visible);
    target.points.push_back(point);
    target.visible = static_cast<int>(target.points.size());
    QRect touched;
    {
        QPainter painter(&m_work);
        touched = DrawPoint(painter, target, point);
    }
    // Only the rectangle the point touched has changed; the rest of the plot area is the
    // same in both images.
    if (!m_batch) {
        CopyPlotArea(m_plotBmp, m_work, touched);
        Changed();
    }
}

void TPlotPanel::ClearLayers() {
    for (Layer& layer : m_layers) {
        layer.points.clear();
        layer.visible = 0;
    }
    m_newLine = true;
    Redraw();
}

void TPlotPanel::HideLayer(int layer) {
    m_layers[((layer % kLayerCount) + kLayerCount) % kLayerCount].visible = 0;
    Redraw();
}

void TPlotPanel::ShowLayer(int layer) {
    Layer& target = m_layers[((layer % kLayerCount) + kLayerCount) % kLayerCount];
    target.visible = static_cast<int>(target.points.size());
    Redraw();
}

const std::vector<TPlotPoint>& TPlotPanel::LayerPoints(int layer) const {
    return m_layers[((layer % kLayerCount) + kLayerCount) % kLayerCount].points;
}

int TPlotPanel::VisibleCount(int layer) const {
    return m_layers[((layer % kLayerCount) + kLayerCount) % kLayerCount].visible;
}

QRect TPlotPanel::DrawPoint(QPainter& painter, Layer& layer, const TPlotPoint& point) {
    const int size = m_plotPen.width;
    const int half = size / 2;
    const double x0 = m_xScaleLog ? std::log10(m_xMin) : m_xMin;
    const double y0 = m_yScaleLog ? std::log10(m_yMin) : m_yMin;
    const int base = m_height - m_bottom;
    const double px = (point.x - x0) * m_scaleX;
    const double py = (point.y - y0) * m_scaleY;
    const QColor color = ToQColor(point.color);

    QRect touched;
    switch (m_plotMode) {
    case pmDot:
    case pmCircle: {
        const int left = Round(px + m_left - half);
        const int right = Round(px) + m_left + size - half;
        const int bottom = base + half - Round(py);
        const int top = base + half - size - Round(py);
        const QRect box(left, top, right - left, bottom - top);
        if (m_plotMode == pmDot) {
            painter.fillRect(box, color);
            touched = box;
        } else {
            painter.drawImage(box.topLeft() - QPoint(size, size),
                              CircleStamp(color, size, box.size()));
            touched = box.adjusted(-size, -size, size, size);
        }
        break;
    }
    case pmLine: {
        const int x = Round(px) + m_left;
        if (m_newLine) {
            m_newLine = false;
        } else {
            const QPoint from(Round(layer.lastX), Round(layer.lastY));
            const QPoint to(x, Round(base - py));
            painter.setPen(QPen(color, size, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter.drawLine(from, to);
            touched = QRect(QPoint(std::min(from.x(), to.x()), std::min(from.y(), to.y())),
                            QPoint(std::max(from.x(), to.x()), std::max(from.y(), to.y())))
                          .adjusted(-size, -size, size, size);
        }
        layer.lastX = px + m_left;
        layer.lastY = base - py;
        break;
    }
    case pmBar: {
        // A bar stands on the row of the value 0 and ends exactly at the value.
        const int x = Round(px) + m_left;
        const int zeroRow = base - Round(-y0 * m_scaleY);
        const int row = base - Round(py);
        painter.setPen(QPen(color, size, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(x, zeroRow, x, row);
        touched = QRect(QPoint(x, std::min(zeroRow, row)), QPoint(x, std::max(zeroRow, row)))
                      .adjusted(-size, -1, size, 1);
        break;
    }
    }
    return touched;
}

const QImage& TPlotPanel::CircleStamp(const QColor& color, int penWidth, QSize box) {
    const auto key = std::make_tuple(color.rgba(), penWidth, box.width(), box.height());
    auto it = m_circleStamps.find(key);
    if (it == m_circleStamps.end()) {
        QImage stamp(box.width() + 2 * penWidth, box.height() + 2 * penWidth,
                     QImage::Format_ARGB32_Premultiplied);
        stamp.fill(Qt::transparent);
        QPainter painter(&stamp);
        painter.setPen(QPen(color, penWidth));
        painter.setBrush(color);
        painter.drawEllipse(QRect(QPoint(penWidth, penWidth), box));
        it = m_circleStamps.emplace(key, std::move(stamp)).first;
    }
    return it->second;
}

// ---- rendering

QRect TPlotPanel::PlotArea() const {
    return QRect(QPoint(m_left, m_top), QPoint(m_width - m_right - 1, m_height - m_bottom - 1));
}

int TPlotPanel::ColumnOf(double value) const {
    if (m_xScaleLog)
        return Round((SafeLog10(value) - std::log10(m_xMin)) * m_scaleX) + m_left;
    return Round((value - m_xMin) * m_scaleX) + m_left;
}

int TPlotPanel::RowOf(double value) const {
    if (m_yScaleLog)
        return m_height - m_bottom - Round((SafeLog10(value) - std::log10(m_yMin)) * m_scaleY);
    return m_height - m_bottom - Round((value - m_yMin) * m_scaleY);
}

void TPlotPanel::ComputeMargins() {
    const QFontMetrics metrics(m_font);
    m_right = m_margin;
    m_top = m_title.isEmpty() ? m_margin : metrics.height() + m_margin + 2;
    m_bottom = m_margin;
    if (m_xMarks)
        m_bottom = metrics.height() + m_margin + 2;
    if (!m_xLabel.isEmpty())
        m_bottom += metrics.height();
    m_left = m_margin;
    if (m_yMarks)
        m_left = metrics.horizontalAdvance(QStringLiteral("0.000")) + m_margin + 2;
    if (!m_yLabel.isEmpty())
        m_left += metrics.height();
}

void TPlotPanel::ComputeScales() {
    // A logarithmic axis needs positive bounds; an axis left empty by that correction gets
    // one decade, so that the scale stays finite.
    if (m_xScaleLog) {
        if (m_xMax <= 0)
            m_xMax = 1;
        if (m_xMin <= 0)
            m_xMin = 0.1;
        if (m_xMax <= m_xMin)
            m_xMax = m_xMin * 10;
    }
    if (m_yScaleLog) {
        if (m_yMax <= 0)
            m_yMax = 1;
        if (m_yMin <= 0)
            m_yMin = 0.1;
        if (m_yMax <= m_yMin)
            m_yMax = m_yMin * 10;
    }
    const double inf = std::numeric_limits<double>::infinity();
    if (m_xMax - m_xMin == 0)
        m_xMax = std::max(m_xMax + 2e-16, std::nextafter(m_xMax, inf));
    if (m_yMax - m_yMin == 0)
        m_yMax = std::max(m_yMax + 3e-16, std::nextafter(m_yMax, inf));
    const int plotWidth = m_width - m_left - m_right;
    const int plotHeight = m_height - m_top - m_bottom;
    m_scaleX = SpanScale(plotWidth,
                         m_xScaleLog ? std::log10(m_xMax) - std::log10(m_xMin) : m_xMax - m_xMin);
    m_scaleY = SpanScale(plotHeight,
                         m_yScaleLog ? std::log10(m_yMax) - std::log10(m_yMin) : m_yMax - m_yMin);
}

void TPlotPanel::TextOut(QPainter& painter, int x, int y, const QString& text) {
    const QFontMetrics metrics(painter.font());
    painter.fillRect(QRect(x, y, metrics.horizontalAdvance(text), metrics.height()),
                     ToQColor(m_color));
    painter.setPen(QColor(Qt::black));
    painter.drawText(x, y + metrics.ascent(), text);
}

QString TPlotPanel::TickText(const TWriteAxisEvt& handler, double value, QFont& axisFont) {
    QString text = FormatTickValue(value);
    if (handler) {
        QString axisText = text;
        QFont font = axisFont;
        bool handled = false;
        handler(*this, value, axisText, font, handled);
        axisFont = font;
        if (handled)
            text = axisText;
    }
    return text;
}

void TPlotPanel::Redraw() {
    // A tick-label handler that changes a property must not start a second rendering in the
    // middle of this one; the change shows at the next redraw.
    if (m_inRedraw)
        return;
    m_inRedraw = true;
    ComputeMargins();
    ComputeScales();

    const int width = m_width;
    const int height = m_height;
    m_plotBmp = QImage(std::max(1, width - 2 * m_bevel), std::max(1, height - 2 * m_bevel),
                       QImage::Format_RGB32);
    m_plotBmp.fill(ToQColor(m_color));
    m_work = QImage(width, height, QImage::Format_RGB32);
    m_work.fill(ToQColor(m_color));
    m_xGrid.clear();
    m_yGrid.clear();
    m_xLabels.clear();
    m_yLabels.clear();

    {
        QPainter painter(&m_plotBmp);
        const QRect area = PlotArea();
        if (area.isValid()) {
            painter.fillRect(area, ToQColor(m_backColor));
            painter.setPen(QPen(ToQColor(m_gridColor), 1));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(area.left(), area.top(), area.width() - 1, area.height() - 1);
        }

        if (m_yScaleLog)
            DrawLogYGrid(painter);
        else
            DrawLinearGrid(painter, false);
        if (m_xScaleLog)
            DrawLogXGrid(painter);
        else
            DrawLinearGrid(painter, true);

        if (!m_title.isEmpty()) {
            painter.setFont(m_font);
            const QFontMetrics metrics(m_font);
            TextOut(painter, (width - metrics.horizontalAdvance(m_title)) / 2,
                    2 * m_bevel + m_margin / 2, m_title);
        }
        if (m_xMarks) {
            if (m_xScaleLog)
                DrawLogXLabels(painter);
            else
                DrawLinearXLabels(painter);
        }
        if (!m_xLabel.isEmpty()) {
            painter.setFont(m_xMarksFont);
            const QFontMetrics metrics(m_xMarksFont);
            TextOut(painter, (width - metrics.horizontalAdvance(m_xLabel)) / 2,
                    height - metrics.height() - 2 * m_bevel - m_margin / 2, m_xLabel);
        }
        if (m_yMarks) {
            if (m_yScaleLog)
                DrawLogYLabels(painter);
            else
                DrawLinearYLabels(painter);
        }
    }
    if (!m_yLabel.isEmpty())
        DrawYLabel();

    CopyPlotArea(m_work, m_plotBmp, PlotArea());
    const bool wasBatch = m_batch;
    m_batch = true;
    {
        QPainter painter(&m_work);
        for (Layer& layer : m_layers) {
            if (layer.visible == 0)
                continue;
            m_newLine = true;
            for (int i = 0; i < layer.visible; ++i)
                DrawPoint(painter, layer, layer.points[i]);
        }
    }
    m_batch = wasBatch;
    CopyPlotArea(m_plotBmp, m_work, PlotArea());
    m_inRedraw = false;
    if (!m_batch)
        Changed();
}

void TPlotPanel::DrawLinearGrid(QPainter& painter, bool xAxis) {
    double& interval = xAxis ? m_xInterval : m_yInterval;
    const double minimum = xAxis ? m_xMin : m_yMin;
    const double maximum = xAxis ? m_xMax : m_yMax;
    const int extent = xAxis ? m_width : m_height;
    // Grid lines at least 8 pixels apart: a finer step is widened for good.
    if (extent / 8.0 < (maximum - minimum) / interval)
        interval = (maximum - minimum) * 8 / extent;

    painter.setPen(QPen(ToQColor(m_gridColor), 1));
    std::vector<double>& grid = xAxis ? m_xGrid : m_yGrid;
    double value = FirstGridValue(minimum, interval);
    int steps = 0;
    do {
        grid.push_back(value);
        if (xAxis) {
            const int column = ColumnOf(value);
            painter.drawLine(column, m_top, column, m_height - m_bottom - 1);
        } else {
            const int row = RowOf(value);
            painter.drawLine(m_left, row, m_width - m_right - 1, row);
        }
        value += interval;
    } while (value <= maximum * 1.000001 && ++steps < kMaxSteps);
}

void TPlotPanel::DrawLogYGrid(QPainter& painter) {
    painter.setPen(QPen(ToQColor(m_gridColor), 1));
    const double span = std::log10(m_yMax) - std::log10(m_yMin);
    double decade = Pow10(DecadeBelow(m_yMin));
    for (int decades = 0; decades < kMaxDecades; ++decades) {
        int step = 0;
        double value = decade;
        for (int guard = 0; guard < kMaxSteps; ++guard) {
            if (value >= m_yMin) {
                const int row = RowOf(value);
                painter.drawLine(m_left, row, m_width - m_right - 1, row);
                if (m_yGrid.empty() || m_yGrid.back() != value)
                    m_yGrid.push_back(value);
            }
            step += span > 4 ? 2 : 1;
            value = LogStep(decade, step, span);
            if (value >= 10 * decade || value > m_yMax)
                break;
        }
        if (10 * decade > m_yMax)
            break;
        decade *= 10;
    }
}

void TPlotPanel::DrawLogXGrid(QPainter& painter) {
    painter.setPen(QPen(ToQColor(m_gridColor), 1));
    const double span = std::log10(m_xMax) - std::log10(m_xMin);
    const int n = LogXSteps(span);
    double decade = Pow10(DecadeBelow(m_xMax) + 1);
    for (int decades = 0; decades < kMaxDecades; ++decades) {
        for (int i = 0; i < n; ++i) {
            const double value = decade * (n - i) / n;
            if (m_xMin < value && value < m_xMax) {
                const int column = ColumnOf(value);
                painter.drawLine(column, m_top, column, m_height - m_bottom - 1);
                m_xGrid.push_back(value);
            }
            if (value < m_xMin)
                break;
        }
        decade /= 10;
        if (decade < m_xMin)
            break;
    }
    // Each power of ten is met twice, as the end of one decade and the start of the next.
    std::sort(m_xGrid.begin(), m_xGrid.end());
    m_xGrid.erase(std::unique(m_xGrid.begin(), m_xGrid.end()), m_xGrid.end());
}

void TPlotPanel::DrawLinearXLabels(QPainter& painter) {
    QFont font = m_xMarksFont;
    double value = FirstGridValue(m_xMin, m_xInterval);
    for (int steps = 0; value <= m_xMax * 1.000001 && steps < kMaxSteps;
         ++steps, value += m_xInterval) {
        const QString text = TickText(m_onXMarksWrite, value, font);
        painter.setFont(font);
        const QFontMetrics metrics(font);
        const int x = ColumnOf(value) - metrics.horizontalAdvance(text) / 2;
        const int y = m_height - m_bottom + 3;
        TextOut(painter, x, y, text);
        m_xLabels.push_back({text, QRect(x, y, metrics.horizontalAdvance(text), metrics.height())});
    }
}

void TPlotPanel::DrawLinearYLabels(QPainter& painter) {
    QFont font = m_yMarksFont;
    double value = FirstGridValue(m_yMin, m_yInterval);
    for (int steps = 0; value <= m_yMax * 1.000001 && steps < kMaxSteps;
         ++steps, value += m_yInterval) {
        const QString text = TickText(m_onYMarksWrite, value, font);
        painter.setFont(font);
        const QFontMetrics metrics(font);
        const int textWidth = metrics.horizontalAdvance(text);
        const int x = m_left - textWidth - 4;
        const int y = RowOf(value) - metrics.height() / 2 - 3;
        TextOut(painter, x, y, text);
        m_yLabels.push_back({text, QRect(x, y, textWidth, metrics.height())});
    }
}

void TPlotPanel::DrawLogYLabels(QPainter& painter) {
    QFont font = m_yMarksFont;
    const double span = std::log10(m_yMax) - std::log10(m_yMin);
    double decade = Pow10(DecadeBelow(m_yMin));
    int last = 0; // height of the last intermediate label written
    for (int decades = 0; decades < kMaxDecades; ++decades) {
        const QString decadeText = TickText(m_onYMarksWrite, decade, font);
        painter.setFont(font);
        const QFontMetrics metrics(font);
        const int textHeight = metrics.height();
        if (decade >= m_yMin) {
            const int textWidth = metrics.horizontalAdvance(decadeText);
            const int x = m_left - textWidth - 4;
            const int y = RowOf(decade) - textHeight / 2 - 3;
            TextOut(painter, x, y, decadeText);
            m_yLabels.push_back({decadeText, QRect(x, y, textWidth, textHeight)});
        }
        int step = 0;
        for (int guard = 0; guard < kMaxSteps; ++guard) {
            step += span > 4 ? 2 : 1;
            const double value = LogStep(decade, step, span);
            if (value >= m_yMin && value < m_yMax) {
                const QString text = FormatTickValue(value);
                const int h = Round((std::log10(value) - std::log10(m_yMin)) * m_scaleY);
                // Only where the label clears the one below it.
                if (textHeight < h - last && step % 2 == 0) {
                    const int textWidth = metrics.horizontalAdvance(text);
                    const int x = m_left - textWidth - 4;
                    const int y = m_height - m_bottom - textHeight / 2 - h - 3;
                    TextOut(painter, x, y, text);
                    m_yLabels.push_back({text, QRect(x, y, textWidth, textHeight)});
                    last = h;
                }
            }
            if (value >= 10 * decade || value >= m_yMax)
                break;
        }
        decade *= 10;
        if (!(decade < m_yMax))
            break;
    }
}

void TPlotPanel::DrawLogXLabels(QPainter& painter) {
    QFont font = m_xMarksFont;
    const double span = std::log10(m_xMax) - std::log10(m_xMin);
    const int n = LogXSteps(span);
    double decade = Pow10(DecadeBelow(m_xMax) + 1);
    int last = m_width; // left edge of the last label written, less one
    for (int decades = 0; decades < kMaxDecades; ++decades) {
        const QString decadeText = TickText(m_onXMarksWrite, decade, font);
        painter.setFont(font);
        const QFontMetrics metrics(font);
        for (int i = 0; i < n; ++i) {
            const double value = decade * (n - i) / n;
            const QString text = i == 0 ? decadeText : FormatTickValue(value);
            if (m_xMin <= value && value < m_xMax) {
                const int textWidth = metrics.horizontalAdvance(text);
                const int h = Round((std::log10(value) - std::log10(m_xMin)) * m_scaleX);
                if (textWidth / 2 + h + 1 < last && i % 2 == 0) {
                    const int x = h - textWidth / 2 + m_left;
                    const int y = m_height - m_bottom + 3;
                    TextOut(painter, x, y, text);
                    m_xLabels.push_back({text, QRect(x, y, textWidth, metrics.height())});
                    last = h - textWidth / 2 - 1;
                }
            }
            if (value <= m_xMin)
                break;
        }
        decade /= 10;
        if (decade < m_xMin)
            break;
    }
}

void TPlotPanel::DrawYLabel() {
    // The label reads from bottom to top: it is written level into its own image, which is
    // then set pixel by pixel a quarter turn counter-clockwise.
    const QFontMetrics metrics(m_yMarksFont);
    const int textWidth = metrics.horizontalAdvance(m_yLabel);
    const int textHeight = metrics.height();
    if (textWidth <= 0 || textHeight <= 0)
        return;
    QImage level(textWidth, textHeight, QImage::Format_RGB32);
    level.fill(ToQColor(m_color));
    {
        QPainter painter(&level);
        painter.setFont(m_yMarksFont);
        painter.setPen(QColor(Qt::black));
        painter.drawText(0, metrics.ascent(), m_yLabel);
    }
    const int left = 2 * m_bevel + m_margin / 2;
    const int bottom = (m_height - textWidth) / 2 + textWidth;
    for (int i = 0; i < textWidth; ++i) {
        for (int j = 0; j < textHeight; ++j) {
            const int x = left + j;
            const int y = bottom - i;
            if (m_plotBmp.valid(x, y))
                m_plotBmp.setPixel(x, y, level.pixel(i, j));
        }
    }
}

void TPlotPanel::CopyPlotArea(QImage& target, const QImage& source, const QRect& rect) const {
    const QRect copy = rect & PlotArea() & target.rect() & source.rect();
    if (copy.isEmpty())
        return;
    const std::size_t bytes = static_cast<std::size_t>(copy.width()) * 4;
    for (int y = copy.top(); y <= copy.bottom(); ++y) {
        std::memcpy(target.scanLine(y) + copy.left() * 4, source.constScanLine(y) + copy.left() * 4,
                    bytes);
    }
}

void TPlotPanel::Changed() {
    if (m_onChange)
        m_onChange();
}

} // namespace velmora::charts
