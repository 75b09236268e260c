// The shared steps of the measurement queries, each as the queries define it; the sample
// positions are those of the tester's burst layout (9 samples a bit, S-field from 450).
#include "MeasurementSupport.h"

#include <array>

#include "transport/Calibration.h"
#include "transport/Capture.h"
#include "transport/TesterCells.h"

namespace tavrin::measure {
namespace {

// Model 12's carrier-dependent frequency correction (Hz), by captured carrier.
constexpr std::array<float, 34> kFrequencyCorrection = {
    0, -6341, 1430, 3820, -8980, -8080, -5690, -8649, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0,     0,    0,    0,     0,     0,     0,     0, 0, 0, 0, 0, 0, 0, 0, 0};

int32_t Sample(Link& link, int index) {
    return ReadRxValue(link, static_cast<uint16_t>(index));
}

bool LongBurst(const Link& link) {
    return link.capture.CaptureBurstSize == kLongBurst;
}

}  // namespace

bool LinkUp(Link& link) {
    return link.usb.TesterRead(cell::kLinkEstablished) != 0;
}

uint8_t PacketMode(Link& link) {
    return link.usb.TesterRead(cell::kPacketMode);
}

void EnsureCalibration(Link& link) {
    if (!link.cal.CalibrationLoaded) LoadCalibration(link);
}

void GatedForcedSample(Link& link, const AveragingHistory& history) {
    if (!link.conf.SampleModeCtrl) {
        ForceADCSample(link);
    } else if (history.count > 0 && history.count < link.conf.AverageBursts) {
        ForceADCSample(link);
    }
}

int32_t IntegerMean(Link& link, int start, int count) {
    int32_t sum = 0;
    for (int i = 0; i < count; ++i) sum += Sample(link, start + i);
    return count > 0 ? sum / count : 0;
}

float FrequencyCorrection(const Link& link) {
    if (link.hw.Model != 12) return 0.0f;
    // A carrier cell beyond the table has no correction.
    const uint8_t carrier = link.capture.CaptureCarrier;
    return carrier < kFrequencyCorrection.size() ? kFrequencyCorrection[carrier] : 0.0f;
}

float FrequencyOffsetBurst(Link& link) {
    return static_cast<float>(IntegerMean(link, 1314, LongBurst(link) ? 5760 : 2880));
}

void FrequencyReference(Link& link) {
    MeasurementState& meas = link.meas;
    if (meas.FreqRefValid) return;
    if (link.conf.LoopbackMode) {
        if (PacketMode(link) == 4)
            meas.FreqOffset.Push(FrequencyOffsetBurst(link), link.conf.AverageBursts);
        float average = 0.0f;
        if (!meas.FreqOffset.Average(average, link.conf.AverageBursts)) average = 0.0f;
        meas.FreqRef = average * 100.0f - FrequencyCorrection(link);
    } else {
        meas.FreqRef = 0.0f;
    }
    meas.FreqRefValid = true;
}

void Refresh(Link& link, const AveragingHistory& history, float& result) {
    history.Average(result, link.conf.AverageBursts);
}

void BFieldBurst(Link& link, uint8_t mode, Extremes& e) {
    MeasurementState& meas = link.meas;
    const uint8_t bursts = link.conf.AverageBursts;
    const bool model12 = link.hw.Model == 12;
    if ((mode == 5 || mode == 4) && model12) {
        ReadRxValue(link, capture::kRefreshDemodOffset);
        link.capture.CaptureBurstSize = link.usb.TesterReadWord(cell::kBurstSize);
        if (mode == 5) {
            meas.BfMax.Push(static_cast<float>(IntegerMean(link, 2475, 540)), bursts);
            meas.BfMin.Push(static_cast<float>(IntegerMean(link, 3051, 540)), bursts);
            return;
        }
        int32_t high = 0, low = 0, pairs = 0;
        for (int p = 0; p < 306; p += 8) {
            for (int j = 9; j <= 26; ++j) {
                high += Sample(link, 1314 + 9 * p + j);
                low += Sample(link, 1314 + 9 * p + 36 + j);
                ++pairs;
            }
        }
        meas.BfMax.Push(static_cast<float>(high / pairs), bursts);
        meas.BfMin.Push(static_cast<float>(low / pairs), bursts);
        return;
    }
    const bool longBurst = LongBurst(link);
    if (mode == 5) {
        for (int i = 0; i < 558; ++i) {
            e.Track(Sample(link, 2475 + i));
            e.Track(Sample(link, 3051 + i));
            if (longBurst) {
                for (int block : {3627, 4203, 4779, 5355}) e.Track(Sample(link, block + i));
            }
        }
    } else if (mode == 4) {
        const int end = longBurst ? 640 : 320;
        for (int p = 0; p < end; p += 8) {
            for (int j = 9; j <= 26; ++j) {
                e.Track(Sample(link, 1314 + 9 * p + j));
                e.Track(Sample(link, 1314 + 9 * p + 36 + j));
            }
        }
    } else {
        const int end = 9 * (longBurst ? 640 : 320);
        for (int p = 9; p < end; ++p) e.Track(Sample(link, 1314 + p));
    }
    meas.BfMax.Push(static_cast<float>(e.maximum), bursts);
    meas.BfMin.Push(static_cast<float>(e.minimum), bursts);
}

void SFieldBurst(Link& link, Extremes& e) {
    e.Reset();
    for (int i = 459; i <= 584; ++i) e.Track(Sample(link, i));
    link.meas.SfMax.Push(static_cast<float>(e.maximum), link.conf.AverageBursts);
    link.meas.SfMin.Push(static_cast<float>(e.minimum), link.conf.AverageBursts);
}

int32_t DriftBurst(Link& link, int& n) {
    if (LongBurst(link)) n = 320;
    int32_t end = 0, start = 0;
    for (int i = 0; i < 126; ++i) {
        end += Sample(link, 4059 + 9 * n + i);
        start += Sample(link, 459 + i);
    }
    return (end - start) / 126;
}

double DriftPerMs(const Link& link, float drift) {
    return static_cast<double>(drift) * 1036800.0 / (LongBurst(link) ? 6462.0 : 3582.0);
}

}  // namespace tavrin::measure
