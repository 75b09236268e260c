// The chart windows' view of the program: the session's time base and ramps, what the pages
// and the link window answer, the chart buttons, and the poll that redraws the visible charts.
#pragma once

#include "display/ChartHost.h"

namespace tavrin::app {

class SessionState;
class TWenloForm;

class FrameChartHost : public ChartHost {
public:
    explicit FrameChartHost(TWenloForm& frame);

    float sampleClock() const override;
    void setSampleClock(float clock) override;
    float sampleWindowLength() const override;
    void setSampleWindowLength(float length) override;
    ChartUnit chartUnit() const override;
    void setChartUnit(ChartUnit unit) override;

    std::array<int, 6> powerRamp() const override;
    bool analyzerPageShown() const override;
    bool highDynamicOff() const override;
    bool rxAttenuatorTicked() const override;
    bool prolongedPreamble() const override;
    bool longSlot() const override;
    bool catIqMode() const override;
    QString measuredNtpText() const override;

    int buttonFlag(ChartOpener opener, ChartKind kind) const override;
    void setButton(ChartOpener opener, ChartKind kind, int flag, const QString& caption) override;

    // The link window's poll: it forces the capture and redraws the visible charts.
    void startPoll() override;
    void stopPoll() override;
    bool linkWindowVisible() const override;

    int32_t forceCapture() override;
    int16_t readPowerSample(uint16_t index) override;
    int16_t readDeviationSample(uint16_t index) override;
    // The samples the last poll tick read for the redraws that follow it.
    void setSamples(SampleBlock power, SampleBlock deviation);

private:
    TWenloForm& m_frame;
    SessionState& m_session;
    SampleBlock m_power;
    SampleBlock m_deviation;
};

// Gives the analyzer page its chart windows and the shared handlers it runs.
void WireAnalyzerPage(TWenloForm& frame);

}  // namespace tavrin::app
