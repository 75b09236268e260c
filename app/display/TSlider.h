// The limit bar under a measured value: coloured bands, a black marker at the value and a
// frame in the colour of the band the value lies in. Built from child rectangles of a given
// parent area; it takes no input.
#pragma once

#include <QColor>
#include <QPointer>
#include <array>
#include <vector>

#include "SliderGeometry.h"

class QFrame;
class QWidget;

namespace tavrin::app {

class TSlider {
public:
    static constexpr double kNoValue = kSliderNoValue;

    // Two bands from L0: green up to L1, red up to L2.
    TSlider(QWidget* parent, int height, int width, int left, int top, double l0, double l1,
            double l2);
    // Three bands: red up to L1, green up to L2, red up to L3.
    TSlider(QWidget* parent, int height, int width, int left, int top, double l0, double l1,
            double l2, double l3);
    // The bar of a limit row, coloured as that row's bands.
    TSlider(QWidget* parent, int height, int width, int left, int top,
            const common::LimitBarBounds& bounds);
    ~TSlider();
    TSlider(const TSlider&) = delete;
    TSlider& operator=(const TSlider&) = delete;

    // Places the marker and colours the frame; kNoValue hides the marker.
    void setValue(double value);

    const SliderGeometry& geometry() const { return m_geometry; }
    int band() const { return m_band; }
    QColor frameColour() const;
    QFrame* frame() const { return m_frame; }
    QFrame* marker() const { return m_marker; }
    const std::vector<QFrame*>& bandRects() const { return m_bands; }

private:
    void build(QWidget* parent);

    SliderGeometry m_geometry;
    std::array<QColor, 5> m_colours;
    int m_band = 1;
    QPointer<QFrame> m_frame;
    QFrame* m_marker = nullptr;  // children of the frame, gone with it
    std::vector<QFrame*> m_bands;
};

}  // namespace tavrin::app
