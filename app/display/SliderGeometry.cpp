// The limit bar's geometry.
#include "SliderGeometry.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace tavrin::app {
namespace {

constexpr int kBorder = 3;       // the frame shows this many pixels round the band strip
constexpr int kMarkerShift = 2;  // the marker's left edge for a value at L0
constexpr int kMarkerWidth = 3;

// Truncation toward zero into pixels; values far outside any screen are held to a range an
// int keeps, so a wild measurement cannot overflow the conversion.
int TruncPixels(double v) {
    if (std::isnan(v)) return 0;
    return static_cast<int>(std::trunc(std::clamp(v, -1e6, 1e6)));
}

}  // namespace

SliderGeometry LayOutSlider(const common::LimitBarBounds& bounds, int height, int width, int left,
                            int top) {
    SliderGeometry g;
    g.bounds = bounds;
    g.bounds.bands = std::clamp(bounds.bands, 1, 5);
    const int n = g.bounds.bands;
    const double l0 = g.bounds.L[0];
    const double span = g.bounds.L[static_cast<size_t>(n)] - l0;
    // Equal or reversed ends would divide by zero: the bar then shows no bands at all.
    g.scale = span > 0 && std::isfinite(span) ? (width - 2 * kBorder) / span : 0;
    g.offset = -l0;
    g.frame = {left, top, width, height};

    int used = 0;
    int x = kBorder;
    for (int k = 1; k <= n; ++k) {
        const int w =
            std::max(0, TruncPixels((g.bounds.L[static_cast<size_t>(k)] - l0) * g.scale - used));
        g.bands.push_back({x, kBorder, w, height - 2 * kBorder});
        used += w;
        x += w;
    }
    g.marker = {kMarkerShift, 0, kMarkerWidth, height};
    return g;
}

std::optional<int> SliderGeometry::markerLeft(double value) const {
    if (value == kSliderNoValue) return std::nullopt;
    return TruncPixels((value + offset) * scale + kMarkerShift);
}

int SliderGeometry::bandOf(double value) const {
    if (value == kSliderNoValue) return 1;
    return common::BandOf(bounds, value);
}

}  // namespace tavrin::app
