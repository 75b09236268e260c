// What the two chart windows read from and change in the rest of the program: the main
// window's shared time base, the link window's unit switch, slot type and NTP field, the
// chart buttons' state flags, the poll timer and the tester's sample memory. The frame
// implements it (FrameChartHost); tests and the benchmark give their own.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "core/SampleTimeBase.h"

namespace tavrin::app {

// Stored samples first .. first + count - 1 of the tester's sample memory.
struct SampleSpan {
    int first = 0;
    int count = 0;
};

// The samples of one span, read by the tester thread for the next redraw.
struct SampleBlock {
    int first = 0;
    std::vector<int16_t> values;
    bool holds(int index) const {
        return index >= first && index - first < static_cast<int>(values.size());
    }
    int16_t at(int index) const { return values[static_cast<size_t>(index - first)]; }
};

// The span from store index `low` to `high`, both kept inside 0 .. `last`; empty when none is.
SampleSpan StoreSpan(double low, double high, int last);

enum class ChartKind { Power, Modulation };
// Which window's "Show ..." button opened a chart: the link window's or the analyzer page's.
enum class ChartOpener { LinkWindow, MainWindow };

class ChartHost {
public:
    virtual ~ChartHost() = default;

    // Time base shared with the main window: samples per display unit and the sample window.
    virtual float sampleClock() const = 0;
    virtual void setSampleClock(float clock) = 0;
    virtual float sampleWindowLength() const = 0;
    virtual void setSampleWindowLength(float length) = 0;
    // The horizontal unit the link window's unit switch chose.
    virtual ChartUnit chartUnit() const = 0;
    virtual void setChartUnit(ChartUnit unit) = 0;

    // The stored power-ramp levels A..F (dBm).
    virtual std::array<int, 6> powerRamp() const = 0;

    // The main window's active page is the RF analyzer page.
    virtual bool analyzerPageShown() const = 0;
    // The visible PP or FP test page has its "High Dynamic" box unticked.
    virtual bool highDynamicOff() const = 0;
    virtual bool rxAttenuatorTicked() const = 0;
    // The PP page's power template is a prolonged-preamble one (entry 2 or 4).
    virtual bool prolongedPreamble() const = 0;
    // The link window's slot type shows "P64Z".
    virtual bool longSlot() const = 0;
    virtual bool catIqMode() const = 0;
    // The link window's NTP field ("---" or empty when there is no reading).
    virtual QString measuredNtpText() const = 0;

    // State flag of a "Show ..." button (1: chart closed); 1 for a button that does not exist.
    virtual int buttonFlag(ChartOpener opener, ChartKind kind) const = 0;
    virtual void setButton(ChartOpener opener, ChartKind kind, int flag,
                           const QString& caption) = 0;

    // The link window's poll timer and its visibility.
    virtual void startPoll() = 0;
    virtual void stopPoll() = 0;
    virtual bool linkWindowVisible() const = 0;

    // The tester's sample memory: a capture asked of the tester thread, and the samples the
    // last poll tick read for the redraw.
    virtual int32_t forceCapture() = 0;
    virtual int16_t readPowerSample(uint16_t index) = 0;
    virtual int16_t readDeviationSample(uint16_t index) = 0;
};

}  // namespace tavrin::app
