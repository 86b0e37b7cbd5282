#pragma once
// The magnifier of a calibration: a small window, always on top, beside the map, that shows
// the part of the map around the mouse pointer enlarged with a red cross through the pointer,
// refreshed every 25 ms. The picture comes from the map panel's own full-size image (not from
// the screen, and not the fitted view), so it works on every display server and shows the
// map's real pixels. While the pointer is over the magnifier it
// shows the zoom slider (2 to 6 times) instead.

#include <QWidget>

class QSlider;
class QStackedLayout;
class QLabel;
class QTimer;

namespace velmora::ui {

class MapPanel;

class TZoomForm : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("FormName", "TZoomForm")
public:
    explicit TZoomForm(const MapPanel& panel, QWidget* parent = nullptr);

    int Factor() const;
    void SetFactor(int factor);
    // The enlarged picture around a pointer position in the panel (what the timer shows).
    QImage Enlarged(QPoint panelPosition) const;

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void Refresh();

    const MapPanel& m_panel;
    QStackedLayout* m_stack;
    QLabel* m_view;
    QSlider* m_slider;
    QTimer* m_timer;
};

} // namespace velmora::ui
