// A chart with one horizontal and one vertical axis set by the program, line series without
// markers or legend, and the mouse: a left drag zooms to a rectangle, the wheel zooms, a right
// drag pans, a double click asks to undo the zoom. Each user pan or zoom is reported once the
// axes have moved, so the window can clamp the view and copy it to the other chart.
#pragma once

#include <QChartView>
#include <QColor>

#include "ChartRanges.h"

class QLineSeries;
class QValueAxis;

namespace tavrin::app {

class ChartPanel : public QChartView {
    Q_OBJECT
public:
    ChartPanel(const QString& title, const QString& verticalTitle, QWidget* parent = nullptr);

    // A line series on both axes, drawn without markers and left out of the (hidden) legend.
    QLineSeries* addSeries(const QColor& colour);

    QValueAxis* horizontalAxis() const { return m_x; }
    QValueAxis* verticalAxis() const { return m_y; }
    ChartView view() const;
    void setHorizontal(AxisRange range);
    void setVertical(AxisRange range);

    // While off, the mouse neither zooms nor pans (the series are being rebuilt).
    void setInteractive(bool on) { m_interactive = on; }

Q_SIGNALS:
    void scrolled();
    void zoomed();
    void undoZoomRequested();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    QValueAxis* m_x;
    QValueAxis* m_y;
    bool m_interactive = true;
    bool m_panning = false;
    QPointF m_panFrom;
    ChartView m_pressView;
};

}  // namespace tavrin::app
