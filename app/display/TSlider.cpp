// The limit bar's widgets, placed as the geometry gives them.
#include "TSlider.h"

#include <QFrame>

namespace tavrin::app {
namespace {

const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);

QFrame* Panel(QWidget* parent, const SliderRect& r, const QColor& colour) {
    auto* panel = new QFrame(parent);
    panel->setGeometry(r.left, r.top, r.width, r.height);
    panel->setAutoFillBackground(true);
    QPalette p = panel->palette();
    p.setColor(QPalette::Window, colour);
    panel->setPalette(p);
    panel->show();
    return panel;
}

void Paint(QFrame* panel, const QColor& colour) {
    QPalette p = panel->palette();
    p.setColor(QPalette::Window, colour);
    panel->setPalette(p);
}

common::LimitBarBounds Bounds(int bands, std::array<double, 6> l) {
    common::LimitBarBounds b;
    b.bands = bands;
    b.L = l;
    return b;
}

}  // namespace

TSlider::TSlider(QWidget* parent, int height, int width, int left, int top, double l0, double l1,
                 double l2)
    : TSlider(parent, height, width, left, top, Bounds(2, {l0, l1, l2, 0, 0, 0})) {}

TSlider::TSlider(QWidget* parent, int height, int width, int left, int top, double l0, double l1,
                 double l2, double l3)
    : TSlider(parent, height, width, left, top, Bounds(3, {l0, l1, l2, l3, 0, 0})) {}

TSlider::TSlider(QWidget* parent, int height, int width, int left, int top,
                 const common::LimitBarBounds& bounds) {
    m_geometry = LayOutSlider(bounds, height, width, left, top);
    m_colours = {kRed, kRed, kRed, kRed, kRed};
    m_colours[static_cast<size_t>(common::PassBand(m_geometry.bounds) - 1)] = kGreen;
    build(parent);
}

void TSlider::build(QWidget* parent) {
    m_frame = Panel(parent, m_geometry.frame, m_colours[0]);
    m_frame->setFrameShape(QFrame::NoFrame);
    // The marker lies behind the bands: it shows only above and below the strip.
    m_marker = Panel(m_frame, m_geometry.marker, Qt::black);
    for (size_t k = 0; k < m_geometry.bands.size(); ++k)
        m_bands.push_back(Panel(m_frame, m_geometry.bands[k], m_colours[k]));
    m_marker->lower();
    setValue(kNoValue);
}

TSlider::~TSlider() {
    // The bands and the marker are the frame's children.
    delete m_frame.data();
}

void TSlider::setValue(double value) {
    m_band = m_geometry.bandOf(value);
    if (!m_frame) return;  // the parent area is gone, and the bar's widgets with it
    if (const auto left = m_geometry.markerLeft(value)) {
        m_marker->move(*left, 0);
        m_marker->show();
    } else {
        m_marker->hide();
    }
    Paint(m_frame, m_colours[static_cast<size_t>(m_band - 1)]);
}

QColor TSlider::frameColour() const {
    return m_frame ? m_frame->palette().color(QPalette::Window) : QColor();
}

}  // namespace tavrin::app
