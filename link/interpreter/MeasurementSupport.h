// What the measurement queries share: the link and packet-mode checks, the gated forced
// sample, integer means over stored samples, and the frequency reference.
#pragma once

#include <cstdint>

#include "CommandContext.h"

namespace tavrin::measure {
inline constexpr uint16_t kLongBurst = 80;
// Samples per microsecond scaled to the tester's timing units: k = -1000 / 10368.
inline constexpr double kTimingScale = -1000.0 / 10368.0;
// A timing cell in microseconds. A cell of 0 gives 0, not the "-0.00" that the negative
// scale would print.
inline double TimingValue(int32_t cell) {
    return cell * kTimingScale + 0.0;
}

bool LinkUp(Link& link);
uint8_t PacketMode(Link& link);
void EnsureCalibration(Link& link);
// AUTO mode always captures; CTRL mode only while the history is partly filled.
void GatedForcedSample(Link& link, const AveragingHistory& history);
// Sum of `count` calibrated frequency samples from `start`, divided by count, truncated.
int32_t IntegerMean(Link& link, int start, int count);
// The model-dependent frequency correction of the captured carrier (model 12 only).
float FrequencyCorrection(const Link& link);
// Mean of the B-field of the stored burst: the frequency-offset value of one burst.
float FrequencyOffsetBurst(Link& link);
// Takes a new frequency reference when the last capture made the old one invalid.
void FrequencyReference(Link& link);
// Copies the history's average into its kept result; an empty history leaves the result.
void Refresh(Link& link, const AveragingHistory& history, float& result);

// Running extremes of calibrated samples.
struct Extremes {
    int32_t maximum = -99999;
    int32_t minimum = 99999;
    void Reset() { *this = Extremes{}; }
    void Track(int32_t v) {
        if (v > maximum) maximum = v;
        if (v < minimum) minimum = v;
    }
};

// One B-field burst of the stored capture by packet mode (4, 5 or any other), pushed to the
// B-field histories; model 12 takes means of fixed windows in modes 4 and 5 instead of
// extremes, after refreshing the demodulator offset and the burst size. No capture here.
void BFieldBurst(Link& link, uint8_t mode, Extremes& extremes);
// One S-field burst: extremes reset, tracked over the preamble, pushed.
void SFieldBurst(Link& link, Extremes& extremes);
// One drift value of the stored capture; `n` becomes 320 for the long burst and stays.
int32_t DriftBurst(Link& link, int& n);
// The drift per millisecond of a drift average.
double DriftPerMs(const Link& link, float drift);

}  // namespace tavrin::measure
