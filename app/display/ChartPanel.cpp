// The chart widget of the NTP and modulation windows.
#include "ChartPanel.h"

#include <QChart>
#include <QGuiApplication>
#include <QLegend>
#include <QLineSeries>
#include <QMouseEvent>
#include <QValueAxis>
#include <QWheelEvent>

namespace tavrin::app {
namespace {

constexpr double kWheelStep = 1.25;

}  // namespace

ChartPanel::ChartPanel(const QString& title, const QString& verticalTitle, QWidget* parent)
    : QChartView(new QChart, parent), m_x(new QValueAxis), m_y(new QValueAxis) {
    QChart* c = chart();
    c->setTitle(title);
    c->legend()->hide();
    // Redraws replace whole series: no animation, nothing for the chart to work out itself.
    c->setAnimationOptions(QChart::NoAnimation);
    m_y->setTitleText(verticalTitle);
    c->addAxis(m_x, Qt::AlignBottom);
    c->addAxis(m_y, Qt::AlignLeft);
    setRenderHint(QPainter::Antialiasing, false);
    setRubberBand(QChartView::RectangleRubberBand);
}

QLineSeries* ChartPanel::addSeries(const QColor& colour) {
    auto* series = new QLineSeries;
    series->setPointsVisible(false);
    QPen pen(colour);
    pen.setWidth(1);
    series->setPen(pen);
    // The OpenGL path draws thousands of points fastest; the offscreen platform has no GL.
    if (QGuiApplication::platformName() != "offscreen") series->setUseOpenGL(true);
    chart()->addSeries(series);
    series->attachAxis(m_x);
    series->attachAxis(m_y);
    return series;
}

ChartView ChartPanel::view() const {
    return {{m_x->min(), m_x->max()}, {m_y->min(), m_y->max()}};
}

void ChartPanel::setHorizontal(AxisRange range) {
    m_x->setRange(range.min, range.max);
}

void ChartPanel::setVertical(AxisRange range) {
    m_y->setRange(range.min, range.max);
}

void ChartPanel::mousePressEvent(QMouseEvent* event) {
    if (!m_interactive) return;
    m_pressView = view();
    if (event->button() == Qt::RightButton) {
        // The base class would zoom out on a right click: the right button pans here.
        m_panning = true;
        m_panFrom = event->position();
        return;
    }
    QChartView::mousePressEvent(event);
}

void ChartPanel::mouseMoveEvent(QMouseEvent* event) {
    if (m_panning) {
        const QPointF delta = event->position() - m_panFrom;
        m_panFrom = event->position();
        chart()->scroll(-delta.x(), delta.y());
        Q_EMIT scrolled();
        return;
    }
    QChartView::mouseMoveEvent(event);
}

void ChartPanel::mouseReleaseEvent(QMouseEvent* event) {
    if (m_panning && event->button() == Qt::RightButton) {
        m_panning = false;
        return;
    }
    QChartView::mouseReleaseEvent(event);
    if (m_interactive && view() != m_pressView) Q_EMIT zoomed();
}

void ChartPanel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (m_interactive && event->button() == Qt::LeftButton) {
        Q_EMIT undoZoomRequested();
        return;
    }
    QChartView::mouseDoubleClickEvent(event);
}

void ChartPanel::wheelEvent(QWheelEvent* event) {
    if (!m_interactive || event->angleDelta().y() == 0) return;
    chart()->zoom(event->angleDelta().y() > 0 ? kWheelStep : 1 / kWheelStep);
    Q_EMIT zoomed();
}

}  // namespace tavrin::app
