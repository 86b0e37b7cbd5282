#pragma once
// TPlotPanel: an x-y chart rendered into an image, without any window. A framed plot area
// with a grid, tick labels along both axes, axis labels, a title and eight layers of points;
// each point is drawn as a filled square, a circle, a segment of a connected line or a
// vertical bar. Either axis can be linear or base-10 logarithmic.
//
// The chart lives in two images:
// - PlotBMP (panel size less twice the bevel on each axis): the whole chart, what the owner
//   shows and saves;
// - a working image of the panel's size, where points are drawn onto a copy of the plot area.
//   Only the plot area is copied back, so a point that falls outside it is never seen.
//
// Every property change renders the whole chart again (Redraw). Adding a point draws only
// that point and copies back the rectangle it touched, so long runs of points stay cheap.
// While the batch flag is set, points are drawn into the working image only; the next
// Redraw (or clearing the flag and redrawing) brings them into PlotBMP.
//
// Coordinates inside PlotBMP are panel coordinates (the plot area is not shifted by the
// bevel); the window that shows the chart places PlotBMP at (bevel, bevel).
//
// Invariants kept by the setters: XMin < XMax and YMin < YMax; XInterval and YInterval are
// positive; the plot pen is at least one pixel wide.

#include "core/colors.h"

#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>
#include <array>
#include <functional>
#include <map>
#include <tuple>
#include <vector>

class QPainter;

namespace velmora::charts {

enum TPlotMode { pmDot, pmCircle, pmLine, pmBar };

struct TPlotPen {
    core::TColor color = 0x00000000;
    int width = 1;
};

class TPlotPanel;

// The tick-label event. Arguments: the control (Sender), the tick value (Value), the label
// text (AxisText; on entry the value as the control would write it), the font of the label
// (AxisFont; a copy of the tick font that the handler may change, kept for this label and
// the following labels of the axis) and EventHandled (false on entry). When the handler sets
// EventHandled, AxisText is the label.
using TWriteAxisEvt = std::function<void(TPlotPanel& sender, double value, QString& axisText,
                                         QFont& axisFont, bool& eventHandled)>;

// One stored point. x and y are log10 values on a logarithmic axis.
struct TPlotPoint {
    double x = 0;
    double y = 0;
    core::TColor color = 0;
};

// A tick label as written by the last Redraw: its text and the rectangle it covers.
struct TDrawnLabel {
    QString text;
    QRect rect;
};

// The font the charts use unless told otherwise; DejaVu Sans is installed with the program.
QFont PlotFont(int pixelSize, bool bold = false);

// A tick value as the control writes it: "0.##e-0" from 1000 on ("1e3", "1.5e3"), "0.##"
// below (at most two decimals, no trailing zeros), with the program-wide decimal separator.
QString FormatTickValue(double value);

class TPlotPanel {
public:
    static constexpr int kLayerCount = 8;

    // A new control: 300 x 200 pixels, every property at its creation value, drawn once.
    TPlotPanel();
    TPlotPanel(const TPlotPanel&) = delete;
    TPlotPanel& operator=(const TPlotPanel&) = delete;

    // The panel itself.
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    void SetSize(int width, int height); // at least 1 x 1
    int BevelWidth() const { return m_bevel; }
    void SetBevelWidth(int width); // not below 0
    core::TColor Color() const { return m_color; }
    void SetColor(core::TColor color);
    const QFont& Font() const { return m_font; }
    void SetFont(const QFont& font);
    const QString& Caption() const { return m_caption; }
    void SetCaption(const QString& caption) { m_caption = caption; }

    // Published properties; every setter redraws.
    core::TColor GridColor() const { return m_gridColor; }
    void SetGridColor(core::TColor color);
    core::TColor BackColor() const { return m_backColor; }
    void SetBackColor(core::TColor color);
    int Margin() const { return m_margin; }
    void SetMargin(int margin);
    TPlotMode PlotMode() const { return m_plotMode; }
    void SetPlotMode(TPlotMode mode);
    const TPlotPen& PlotPen() const { return m_plotPen; }
    void SetPlotPen(const TPlotPen& pen);
    const QString& Title() const { return m_title; }
    void SetTitle(const QString& title);
    // Only clearing has an effect: nothing in the program switches the per-layer options on.
    bool LayerOption() const { return m_layerOption; }
    void SetLayerOption(bool on);

    double XMin() const { return m_xMin; }
    void SetXMin(double value); // not below XMax, else XMax becomes value + 1
    double XMax() const { return m_xMax; }
    void SetXMax(double value); // not above XMin, else XMin becomes value - 1
    bool XScaleLog() const { return m_xScaleLog; }
    void SetXScaleLog(bool on);
    bool XMarks() const { return m_xMarks; }
    void SetXMarks(bool on);
    const QFont& XMarksFont() const { return m_xMarksFont; }
    void SetXMarksFont(const QFont& font);
    double XInterval() const { return m_xInterval; }
    void SetXInterval(double interval); // 0 stores 1, a negative step its size
    const QString& XLabel() const { return m_xLabel; }
    void SetXLabel(const QString& label);

    double YMin() const { return m_yMin; }
    void SetYMin(double value);
    double YMax() const { return m_yMax; }
    void SetYMax(double value);
    bool YScaleLog() const { return m_yScaleLog; }
    void SetYScaleLog(bool on);
    bool YMarks() const { return m_yMarks; }
    void SetYMarks(bool on);
    const QFont& YMarksFont() const { return m_yMarksFont; }
    void SetYMarksFont(const QFont& font);
    double YInterval() const { return m_yInterval; }
    void SetYInterval(double interval);
    const QString& YLabel() const { return m_yLabel; }
    void SetYLabel(const QString& label);

    void SetOnXMarksWrite(TWriteAxisEvt handler);
    void SetOnYMarksWrite(TWriteAxisEvt handler);

    // The rendered chart.
    const QImage& PlotBMP() const { return m_plotBmp; }

    // Points. A layer number is taken modulo 8.
    void AddPoint(double x, double y); // layer 0 in the pen's colour; clears LayerOption
    void AddLayerPoint(core::TColor color, int layer, double x, double y);
    void ClearLayers();
    void HideLayer(int layer); // the points stay stored until the next point on the layer
    void ShowLayer(int layer);
    const std::vector<TPlotPoint>& LayerPoints(int layer) const;
    int VisibleCount(int layer) const;

    // While set, drawing a point neither copies it into PlotBMP nor asks for a repaint.
    bool Batch() const { return m_batch; }
    void SetBatch(bool on) { m_batch = on; }

    // Called whenever PlotBMP has changed and should be shown again.
    void SetOnChange(std::function<void()> handler) { m_onChange = std::move(handler); }

    // Renders the whole chart.
    void Redraw();

    // Geometry of the last Redraw, in PlotBMP coordinates.
    QRect PlotArea() const; // from (left, top) to (width - right, height - bottom), exclusive
    int LeftMargin() const { return m_left; }
    int TopMargin() const { return m_top; }
    int RightMargin() const { return m_right; }
    int BottomMargin() const { return m_bottom; }
    double ScaleX() const { return m_scaleX; }
    double ScaleY() const { return m_scaleY; }
    // Column and row of an axis value (a plain value; log10 is taken on a logarithmic axis).
    int ColumnOf(double value) const;
    int RowOf(double value) const;
    // The grid values and the tick labels written by the last Redraw.
    const std::vector<double>& XGridValues() const { return m_xGrid; }
    const std::vector<double>& YGridValues() const { return m_yGrid; }
    const std::vector<TDrawnLabel>& XTickLabels() const { return m_xLabels; }
    const std::vector<TDrawnLabel>& YTickLabels() const { return m_yLabels; }

private:
    struct Layer {
        std::vector<TPlotPoint> points;
        int visible = 0;
        double lastX = 0; // pixel position of the last point drawn in line mode
        double lastY = 0;
    };

    void ComputeMargins();
    void ComputeScales();
    void DrawLinearGrid(QPainter& painter, bool xAxis);
    void DrawLogYGrid(QPainter& painter);
    void DrawLogXGrid(QPainter& painter);
    void DrawLinearXLabels(QPainter& painter);
    void DrawLinearYLabels(QPainter& painter);
    void DrawLogYLabels(QPainter& painter);
    void DrawLogXLabels(QPainter& painter);
    void DrawYLabel();
    QString TickText(const TWriteAxisEvt& handler, double value, QFont& axisFont);
    void TextOut(QPainter& painter, int x, int y, const QString& text);
    // Draws one point with a painter on the working image and returns the rectangle it
    // touched.
    QRect DrawPoint(QPainter& painter, Layer& layer, const TPlotPoint& point);
    // A circle point as drawn with the pen of the given width into a box of the given size,
    // on a transparent picture with a margin of the pen's width: drawn once, then copied to
    // every point of that colour (the pixels are those of drawing each point itself).
    const QImage& CircleStamp(const QColor& color, int penWidth, QSize box);
    void CopyPlotArea(QImage& target, const QImage& source, const QRect& rect) const;
    void Changed();
    double XValue(double value) const; // log10 on a logarithmic axis
    double YValue(double value) const;

    int m_width = 300;
    int m_height = 200;
    int m_bevel = 1;
    core::TColor m_color = 0x00F0F0F0; // the face colour of a panel
    QFont m_font;
    QString m_caption = QStringLiteral(" ");

    core::TColor m_gridColor = 0x00000000;
    core::TColor m_backColor = 0x00FFFFFF;
    int m_margin = 15;
    TPlotMode m_plotMode = pmLine;
    TPlotPen m_plotPen;
    QString m_title;
    bool m_layerOption = false;
    double m_xMin = 0;
    double m_xMax = 10;
    bool m_xScaleLog = false;
    bool m_xMarks = false;
    QFont m_xMarksFont;
    double m_xInterval = 1;
    QString m_xLabel;
    double m_yMin = -1;
    double m_yMax = 1;
    bool m_yScaleLog = false;
    bool m_yMarks = false;
    QFont m_yMarksFont;
    double m_yInterval = 1;
    QString m_yLabel;
    TWriteAxisEvt m_onXMarksWrite;
    TWriteAxisEvt m_onYMarksWrite;

    std::array<Layer, kLayerCount> m_layers;
    bool m_newLine = true;
    bool m_batch = false;
    bool m_inRedraw = false;
    std::function<void()> m_onChange;

    QImage m_plotBmp;
    QImage m_work;
    std::map<std::tuple<QRgb, int, int, int>, QImage> m_circleStamps;
    int m_left = 0;
    int m_top = 0;
    int m_right = 0;
    int m_bottom = 0;
    double m_scaleX = 1;
    double m_scaleY = 1;
    std::vector<double> m_xGrid;
    std::vector<double> m_yGrid;
    std::vector<TDrawnLabel> m_xLabels;
    std::vector<TDrawnLabel> m_yLabels;
};

} // namespace velmora::charts
