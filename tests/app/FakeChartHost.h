// A chart host for the chart windows alone: the shared values as plain members, the sample
// memory as functions of the index, and a record of the reads and the poll's starts and stops.
#pragma once

#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "display/ChartHost.h"

namespace tavrin::app::testing {

class FakeChartHost : public ChartHost {
public:
    float sampleClock() const override { return clock; }
    void setSampleClock(float c) override { clock = c; }
    float sampleWindowLength() const override { return windowLength; }
    void setSampleWindowLength(float l) override { windowLength = l; }
    ChartUnit chartUnit() const override { return unit; }
    void setChartUnit(ChartUnit u) override { unit = u; }
    std::array<int, 6> powerRamp() const override { return ramp; }
    bool analyzerPageShown() const override { return analyzer; }
    bool highDynamicOff() const override { return highDynamicUnticked; }
    bool rxAttenuatorTicked() const override { return rxAttenuator; }
    bool prolongedPreamble() const override { return preamble; }
    bool longSlot() const override { return p64z; }
    bool catIqMode() const override { return catIq; }
    QString measuredNtpText() const override { return ntpText; }
    int buttonFlag(ChartOpener o, ChartKind k) const override {
        const auto it = flags.find({o, k});
        return it == flags.end() ? 1 : it->second;
    }
    void setButton(ChartOpener o, ChartKind k, int flag, const QString& caption) override {
        flags[{o, k}] = flag;
        captions[{o, k}] = caption;
    }
    void startPoll() override { polling = true; }
    void stopPoll() override { polling = false; }
    bool linkWindowVisible() const override { return linkVisible; }
    int32_t forceCapture() override { return ++captures; }
    int16_t readPowerSample(uint16_t index) override {
        powerReads.push_back(index);
        return power ? power(index) : 0;
    }
    int16_t readDeviationSample(uint16_t index) override {
        deviationReads.push_back(index);
        return deviation ? deviation(index) : 0;
    }

    float clock = 10.368f;
    float windowLength = 4225;
    ChartUnit unit = ChartUnit::Bits;
    std::array<int, 6> ramp{-47, -16, 4, 1, -1, -5};
    bool analyzer = false;
    bool highDynamicUnticked = false;
    bool rxAttenuator = false;
    bool preamble = false;
    bool p64z = false;
    bool catIq = false;
    QString ntpText = "---";
    bool linkVisible = false;
    bool polling = false;
    int captures = 0;
    std::map<std::pair<ChartOpener, ChartKind>, int> flags;
    std::map<std::pair<ChartOpener, ChartKind>, QString> captions;
    std::function<int16_t(uint16_t)> power;
    std::function<int16_t(uint16_t)> deviation;
    std::vector<uint16_t> powerReads;
    std::vector<uint16_t> deviationReads;
};

}  // namespace tavrin::app::testing
