// The charts' time base: how many samples make one display unit, how many samples the window
// holds, and which unit the horizontal axis counts in. Every clock and window length the
// program uses is named here.
#pragma once

namespace tavrin::app {

// The horizontal unit of the charts. The link window's unit switch shows the other one.
enum class ChartUnit { Bits, Microseconds };

struct SampleTimeBase {
    static constexpr float kStartClock = 10.0f;          // until a tester is recognised
    static constexpr float kMicrosecondClock = 10.368f;  // samples per microsecond
    static constexpr float kBitClock = 9.0f;             // samples per bit
    static constexpr float kShortSlotSamples = 4225.0f;  // a slot in the microsecond display
    static constexpr float kLongSlotSamples = 7092.0f;
    static constexpr float kShortSlotBits = 4140.0f;  // a slot in the bit display
    static constexpr float kLongSlotBits = 7020.0f;
    static constexpr float kAnalyzerSamples = 264.0f;  // the analyzer page's charts
    // The window the analyzer page's activation sets.
    static constexpr float kAnalyzerPageSamples = 268.0f;

    float clock = kStartClock;
    float windowLength = kShortSlotSamples;
    ChartUnit unit = ChartUnit::Bits;

    // The sample window of a short or a long (P64Z) slot in the microsecond display.
    static constexpr float slotSamples(bool longSlot) {
        return longSlot ? kLongSlotSamples : kShortSlotSamples;
    }
    // The same slot in the bit display.
    static constexpr float slotBits(bool longSlot) {
        return longSlot ? kLongSlotBits : kShortSlotBits;
    }
    // The unit switch: the clock and the window length follow the unit, a long slot staying long.
    SampleTimeBase switchedTo(ChartUnit next) const {
        SampleTimeBase b = *this;
        b.unit = next;
        if (next == ChartUnit::Bits) {
            b.clock = kBitClock;
            b.windowLength = slotBits(windowLength == kLongSlotSamples);
        } else {
            b.clock = kMicrosecondClock;
            b.windowLength = slotSamples(windowLength == kLongSlotBits);
        }
        return b;
    }
    // The right end of the horizontal axis, in display units.
    double axisMaximum() const { return clock > 0 ? windowLength / clock : 0; }
    bool operator==(const SampleTimeBase&) const = default;
};

}  // namespace tavrin::app
