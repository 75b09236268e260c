// The limit bar's geometry without widgets: the scale, the band rectangles, the marker
// position and the band of a value.
#pragma once

#include <optional>
#include <vector>

#include "common/LimitSet.h"
#include "core/WindowLayout.h"

namespace tavrin::app {

// A rectangle in pixels, left and top relative to its parent.
using SliderRect = WindowRect;

// The caller's "no value": the marker goes out of sight and the frame takes band 1's colour.
inline constexpr double kSliderNoValue = -32768;

struct SliderGeometry {
    common::LimitBarBounds bounds;
    double scale = 0;               // pixels per value unit
    double offset = 0;              // -L0
    SliderRect frame;               // in the parent area
    std::vector<SliderRect> bands;  // inside the frame, band 1 first
    SliderRect marker;              // inside the frame, at the left end

    // The marker's left edge inside the frame for a value; nothing for "no value".
    std::optional<int> markerLeft(double value) const;
    // 1-based band whose colour the frame takes; band 1 for "no value".
    int bandOf(double value) const;
};

// Band k ends at trunc((L_k - L0) * scale) pixels from the strip's start; each width is
// truncated toward zero. Bounds whose span is not positive give a scale of 0.
SliderGeometry LayOutSlider(const common::LimitBarBounds& bounds, int height, int width, int left,
                            int top);

}  // namespace tavrin::app
