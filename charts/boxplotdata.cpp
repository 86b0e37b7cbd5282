#include "charts/boxplotdata.h"

#include "charts/tplotpanel.h"
#include "core/text/textutils.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <optional>

namespace velmora::charts {

namespace {

int Round(double value) {
    if (std::isnan(value))
        return 0;
    return static_cast<int>(std::nearbyint(std::clamp(value, -1.0e7, 1.0e7)));
}

// A font given in points, as drawn on a 96 dpi screen.
QFont PointFont(int points) {
    return PlotFont(Round(points * 96.0 / 72.0));
}

// The conductivity tick values: each decade from 1 to 1000, with 2.5 and 5 times the
// decade where they stay within the axis.
std::vector<double> EcTickValues() {
    std::vector<double> values;
    for (double decade : {1.0, 10.0, 100.0, 1000.0}) {
        values.push_back(decade);
        if (2.5 * decade <= 1100) {
            values.push_back(2.5 * decade);
            values.push_back(5 * decade);
        }
    }
    return values;
}

QString EcTickText(double value) {
    // Written as a plain number; 2.5 keeps its point whatever the decimal separator.
    if (value == 2.5)
        return QStringLiteral("2.5");
    return QString::number(static_cast<int>(value));
}

// Text with its top-left corner at (x, y), on the white of the boxplot image.
void TextOut(QPainter& painter, int x, int y, const QString& text) {
    const QFontMetrics metrics(painter.font());
    painter.fillRect(QRect(x, y, metrics.horizontalAdvance(text), metrics.height()), Qt::white);
    painter.drawText(x, y + metrics.ascent(), text);
}

int TextWidth(const QPainter& painter, const QString& text) {
    return QFontMetrics(painter.font()).horizontalAdvance(text);
}

QString CountText(const std::vector<double>& ph, const std::vector<double>& ec) {
    return QStringLiteral("N = ") + QString::number(std::max(ph.size(), ec.size())) +
           QLatin1Char(' ');
}

void DrawVerticalFrame(QPainter& painter, int w, int h, int pen, int diagonal,
                       const QString& countText) {
    painter.fillRect(QRect(0, 0, w, h), Qt::white);
    painter.setFont(PointFont(w / 30));
    const int tick = w / 40;
    const int originX = w / 7;
    const int originY = h - h / 10;
    const int right = w - w / 7;
    const QPoint axes[] = {
        {originX, h / 10}, {originX, originY}, {right, originY}, {right, h / 10}};
    painter.drawPolyline(axes, 4);

    for (int i = 0; i <= 8; ++i) {
        const int row = originY - Round(h * i / 10.0);
        painter.drawLine(originX, row, originX + tick, row);
        const QString text = QString::number(i + 2);
        TextOut(painter, originX - pen - TextWidth(painter, text) - 3, row - tick, text);
    }
    for (double value : EcTickValues()) {
        const int row = EcRow(value, h);
        if (value > 2)
            painter.drawLine(right, row, w - tick - w / 7, row);
        TextOut(painter, w + 3 + pen - w / 7, row - tick, EcTickText(value));
    }

    painter.setFont(PointFont(diagonal / 28));
    const int titleTop = Round(h - 0.095 * h);
    TextOut(painter, w / 3 - TextWidth(painter, QStringLiteral("pH")) / 2, titleTop,
            QStringLiteral("pH"));
    TextOut(painter, w * 2 / 3 - TextWidth(painter, QStringLiteral("EGV")) / 2, titleTop,
            QStringLiteral("EGV"));
    painter.setFont(PointFont(diagonal / 40));
    TextOut(painter, w - TextWidth(painter, countText), Round(h - 0.055 * h), countText);
}

void DrawHorizontalFrame(QPainter& painter, int w, int h, int pen, int diagonal,
                         const QString& countText) {
    painter.fillRect(QRect(0, 0, w, h), Qt::white);
    painter.setFont(PointFont(w / 40));
    const int a = w / 10;
    const int tick = h / 25;
    const int phAxis = h * 8 / 20;
    const int ecAxis = h * 17 / 20;
    painter.drawLine(w - a, phAxis, a, phAxis);
    painter.drawLine(w - a, ecAxis, a, ecAxis);

    for (int i = 0; i <= 8; ++i) {
        const int column = a + Round(w * i / 10.0);
        painter.drawLine(column, phAxis, column, phAxis - tick);
        const QString text = QString::number(i + 2);
        TextOut(painter, column - TextWidth(painter, text) / 2, phAxis + pen + 1, text);
    }
    for (double value : EcTickValues()) {
        const int column = a + Round(std::log10(value) * 0.26667 * w);
        painter.drawLine(column, ecAxis, column, ecAxis - tick);
        const QString text = EcTickText(value);
        TextOut(painter, column - TextWidth(painter, text) / 2, ecAxis + pen + 1, text);
    }

    painter.setFont(PointFont(diagonal / 45));
    TextOut(painter, w - TextWidth(painter, countText), 0, countText);
}

template <typename Position>
void DrawVerticalBox(QPainter& painter, std::vector<double>& values, int column, int w, int pen,
                     Position y) {
    const BoxplotStatistics s = ComputeBoxplotStatistics(values);
    const int b = w / 9;
    const int k = w / 40;
    const int o = w / 100;
    const int m = w / 150 + 1;
    painter.drawRect(QRect(QPoint(column - b, std::min(y(s.q1), y(s.q3))),
                           QPoint(column + b + pen, std::max(y(s.q1), y(s.q3))))
                         .adjusted(0, 0, -1, -1));
    painter.drawLine(column - b, y(s.median), column + b, y(s.median));
    const int ym = y(s.mean);
    painter.drawLine(column - m, ym - m, column + m, ym + m);
    painter.drawLine(column - m, ym + m, column + m, ym - m);
    for (double end : {s.lowerWhisker, s.upperWhisker}) {
        const int row = y(end);
        painter.drawRect(QRect(QPoint(column - k, row - 1), QPoint(column + k, row + 1)));
    }
    painter.drawLine(column, y(s.q1), column, y(s.lowerWhisker));
    painter.drawLine(column, y(s.q3), column, y(s.upperWhisker));
    for (double v : s.outliers)
        painter.drawEllipse(QPoint(column, y(v)), o, o);
}

template <typename Position>
void DrawHorizontalBox(QPainter& painter, std::vector<double>& values, int row, int w, int h,
                       int pen, Position x) {
    const BoxplotStatistics s = ComputeBoxplotStatistics(values);
    const int b = h / 12;
    const int k = (w / 40) * 3 / 5;
    const int o = w / 100;
    const int m = w / 150 + 1;
    painter.drawRect(QRect(QPoint(std::min(x(s.q1), x(s.q3)), row - b),
                           QPoint(std::max(x(s.q1), x(s.q3)), row + b + pen))
                         .adjusted(0, 0, -1, -1));
    painter.drawLine(x(s.median), row - b, x(s.median), row + b);
    const int xm = x(s.mean);
    painter.drawLine(xm - m, row - m, xm + m, row + m);
    painter.drawLine(xm - m, row + m, xm + m, row - m);
    for (double end : {s.lowerWhisker, s.upperWhisker}) {
        const int column = x(end);
        painter.drawRect(QRect(QPoint(column - 1, row - k), QPoint(column + 1, row + k)));
    }
    painter.drawLine(x(s.q1), row, x(s.lowerWhisker), row);
    painter.drawLine(x(s.q3), row, x(s.upperWhisker), row);
    for (double v : s.outliers)
        painter.drawEllipse(QPoint(x(v), row), o, o);
}

} // namespace

QString LeadingNumberText(const QString& text) {
    int n = 0;
    while (n < text.size() &&
           (text[n].isDigit() || text[n] == QLatin1Char(',') || text[n] == QLatin1Char('.')))
        ++n;
    return text.left(n);
}

int PhRow(double value, int height) {
    return Round((1.1 - value / 10) * height);
}

int EcRow(double value, int height) {
    if (!(value > 0))
        return height;
    return Round((0.9 - 0.26667 * std::log10(value)) * height);
}

int PhColumn(double value, int width) {
    return Round((value / 10 - 0.1) * width);
}

int EcColumn(double value, int width) {
    if (!(value > 0))
        return 0;
    return Round((0.26667 * std::log10(value) + 0.1) * width);
}

int BoxplotPenWidth(int width, int height) {
    const double w = width;
    const double h = height;
    return Round(std::sqrt(w * w + h * h)) / 300;
}

BoxplotData::BoxplotData() {
    SizeOwnImage(kImageWidth);
}

void BoxplotData::SizeOwnImage(int height) {
    if (m_image.width() == kImageWidth && m_image.height() == height)
        return;
    m_image = QImage(kImageWidth, height, QImage::Format_RGB888);
    m_image.fill(Qt::white);
}

void BoxplotData::ResetBoxplotData(int orientation) {
    m_orientation = orientation;
    SizeOwnImage(orientation == boHorizontal ? kImageWidth * 3 / 10 : kImageWidth);
    m_ph.clear();
    m_ec.clear();
}

void BoxplotData::AddEnvironmentValues(const QString& phText, const QString& ecText) {
    // Both texts are converted before either list grows, so a bad text leaves the lists as
    // they were.
    std::optional<double> ph;
    std::optional<double> ec;
    if (!phText.isEmpty())
        ph = core::ParseNumber(phText);
    if (!ecText.isEmpty())
        ec = core::ParseNumber(ecText);
    if (ph)
        m_ph.push_back(*ph);
    if (ec)
        m_ec.push_back(*ec);
}

void BoxplotData::DrawBoxplots(QImage& image) {
    const bool horizontal = m_orientation == boHorizontal;
    if (horizontal)
        SizeOwnImage(kImageWidth * 3 / 10);
    if (image.isNull())
        return;
    const int w = image.width();
    const int h = image.height();
    const int diagonal = Round(std::sqrt(double(w) * w + double(h) * h));
    const int pen = diagonal / 300;
    const QString countText = CountText(m_ph, m_ec);

    QPainter painter(&image);
    painter.setPen(QPen(Qt::black, pen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::white);
    if (horizontal) {
        DrawHorizontalFrame(painter, w, h, pen, diagonal, countText);
        if (!m_ph.empty())
            DrawHorizontalBox(painter, m_ph, h * 5 / 20, w, h, pen,
                              [w](double v) { return PhColumn(v, w); });
        if (!m_ec.empty())
            DrawHorizontalBox(painter, m_ec, h * 14 / 20, w, h, pen,
                              [w](double v) { return EcColumn(v, w); });
    } else {
        DrawVerticalFrame(painter, w, h, pen, diagonal, countText);
        if (!m_ph.empty())
            DrawVerticalBox(painter, m_ph, w / 3, w, pen, [h](double v) { return PhRow(v, h); });
        if (!m_ec.empty())
            DrawVerticalBox(painter, m_ec, w * 2 / 3, w, pen,
                            [h](double v) { return EcRow(v, h); });
    }
}

const QImage& BoxplotData::DrawOwnBoxplots() {
    if (m_orientation == boHorizontal)
        SizeOwnImage(kImageWidth * 3 / 10);
    DrawBoxplots(m_image);
    return m_image;
}

} // namespace velmora::charts
