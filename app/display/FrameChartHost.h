// The chart windows' view of the program: the main window's shared values and pages, the
// analyzer page's chart buttons, and the poll that redraws the visible charts.
#pragma once

#include <QTimer>

#include "ChartHost.h"

namespace tavrin::app {

class TWenloForm;

class FrameChartHost : public ChartHost {
public:
    explicit FrameChartHost(TWenloForm& frame);

    float sampleClock() const override;
    void setSampleClock(float clock) override;
    float sampleWindowLength() const override;
    void setSampleWindowLength(float length) override;
    QString unitCaption() const override { return m_unitCaption; }
    void setUnitCaption(const QString& caption) override { m_unitCaption = caption; }

    std::array<int, 6> powerRamp() const override;
    bool analyzerPageShown() const override;
    bool highDynamicOff() const override;
    bool rxAttenuatorTicked() const override;
    bool prolongedPreamble() const override;
    bool longSlot() const override { return false; }
    bool catIqMode() const override;
    QString measuredNtpText() const override { return {}; }

    int buttonFlag(ChartOpener opener, ChartKind kind) const override;
    void setButton(ChartOpener opener, ChartKind kind, int flag, const QString& caption) override;

    void startPoll() override;
    void stopPoll() override { m_poll.stop(); }
    bool pollRunning() const { return m_poll.isActive(); }
    bool linkWindowVisible() const override { return false; }

    int32_t forceCapture() override;
    int16_t readPowerSample(uint16_t index) override;
    int16_t readDeviationSample(uint16_t index) override;

    // One poll tick: a fresh capture, then a redraw of each visible chart; re-armed while the
    // main window shows the PP test, FP test or RF analyzer page.
    void pollTick();

private:
    TWenloForm& m_frame;
    QString m_unitCaption = "uS";
    QTimer m_poll;
};

// Gives the analyzer page its chart windows and the shared handlers it runs.
void WireAnalyzerPage(TWenloForm& frame);

}  // namespace tavrin::app
