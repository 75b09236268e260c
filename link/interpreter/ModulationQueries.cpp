// B-field and S-field extremes, the RF generator's deviation, drift and accuracy, and the
// combined query that takes all of them from the same bursts.
#include <cstdlib>

#include "MeasurementQueries.h"
#include "MeasurementSupport.h"
#include "transport/Capture.h"

namespace tavrin::measure {
namespace {

// The RF generator's deviation from 144 samples of its continuous modulation: the samples
// beyond the means of the upper and the lower half, averaged as magnitudes. A trace with no
// sample above its mean is unmodulated and gives 0; one whose samples all sit on the two
// group means has no sample beyond them, and then all samples' magnitudes are averaged.
void GeneratorDeviation(Link& link) {
    int32_t s[144];
    int32_t sum = 0;
    for (int i = 0; i < 144; ++i) {
        s[i] = -int32_t{ReadRxValue(link, static_cast<uint16_t>(66 + i))};
        sum += s[i];
    }
    const int32_t m = sum / 144;
    int32_t highSum = 0, highCount = 0, lowSum = 0, lowCount = 0;
    for (int32_t v : s) {
        if (v > m) {
            highSum += v;
            ++highCount;
        } else {
            lowSum += v;
            ++lowCount;
        }
    }
    if (highCount == 0) return link.Answer("%1.0f", 0.0);
    const int32_t hi = highSum / highCount;
    const int32_t lo = lowSum / lowCount;  // never empty: the smallest sample is not above m
    int32_t outerSum = 0, outerCount = 0, allSum = 0;
    for (int32_t v : s) {
        allSum += std::abs(v);
        if (v > hi || v < lo) {
            outerSum += std::abs(v);
            ++outerCount;
        }
    }
    const int32_t mean = outerCount > 0 ? outerSum / outerCount : allSum / 144;
    link.Answer("%1.0f", static_cast<double>(mean) * 100.0);
}

void AnswerFields(Link& link, float maxAvg, float minAvg) {
    const float ref = link.meas.FreqRef;
    link.Answer("%1.0f,%1.0f", static_cast<double>(maxAvg * 100.0f - ref),
                static_cast<double>(minAvg * 100.0f - ref));
}

bool DriftCondition(Link& link) {
    const bool up = LinkUp(link);
    const uint8_t mode = PacketMode(link);
    return (up && (mode == 2 || mode == 5)) || mode == 7;
}

// Fills the drift history over AverageBursts bursts and returns its average (0.1 kHz).
float DriftAverage(Link& link) {
    MeasurementState& meas = link.meas;
    meas.Drift.Empty();
    int n = 0;
    for (int b = 0; b < link.conf.AverageBursts; ++b) {
        GatedForcedSample(link, meas.Drift);
        meas.Drift.Push(static_cast<float>(DriftBurst(link, n)), link.conf.AverageBursts);
    }
    Refresh(link, meas.Drift, meas.DriftAvg);
    return meas.DriftAvg;
}

double DriftInUnit(const Link& link, float drift) {
    return link.conf.DriftPerSlot ? static_cast<double>(drift) * 100.0 : DriftPerMs(link, drift);
}

}  // namespace

void ReadBField(CommandContext& ctx) {
    Link& link = ctx.link;
    EnsureCalibration(link);
    if (link.conf.IsRfGenerator()) return GeneratorDeviation(link);
    if (!LinkUp(link)) return link.Answer("INV");
    MeasurementState& meas = link.meas;
    Extremes extremes;
    FrequencyReference(link);
    meas.BfMax.Empty();
    meas.BfMin.Empty();
    const uint8_t mode = PacketMode(link);
    const bool model12 = link.hw.Model == 12 && (mode == 4 || mode == 5);
    // Model 12's window means take one burst more than the average needs.
    const int bursts = link.conf.AverageBursts + (model12 ? 1 : 0);
    for (int b = 0; b < bursts; ++b) {
        GatedForcedSample(link, model12 && mode == 4 ? meas.FreqOffset : meas.BfMax);
        BFieldBurst(link, mode, extremes);
    }
    Refresh(link, meas.BfMax, meas.BfMaxAvg);
    Refresh(link, meas.BfMin, meas.BfMinAvg);
    AnswerFields(link, meas.BfMaxAvg, meas.BfMinAvg);
}

void ReadSField(CommandContext& ctx) {
    Link& link = ctx.link;
    EnsureCalibration(link);
    if (link.conf.IsRfGenerator()) return GeneratorDeviation(link);
    if (!LinkUp(link)) return link.Answer("INV");
    MeasurementState& meas = link.meas;
    FrequencyReference(link);
    meas.SfMax.Empty();
    meas.SfMin.Empty();
    Extremes extremes;
    for (int b = 0; b < link.conf.AverageBursts; ++b) {
        GatedForcedSample(link, meas.SfMax);
        SFieldBurst(link, extremes);
    }
    Refresh(link, meas.SfMax, meas.SfMaxAvg);
    Refresh(link, meas.SfMin, meas.SfMinAvg);
    AnswerFields(link, meas.SfMaxAvg, meas.SfMinAvg);
}

void ReadDrift(CommandContext& ctx) {
    Link& link = ctx.link;
    EnsureCalibration(link);
    if (!DriftCondition(link)) return link.Answer("INV");
    link.Answer("%1.0f", DriftInUnit(link, DriftAverage(link)));
}

void ReadDriftPerMs(CommandContext& ctx) {
    Link& link = ctx.link;
    EnsureCalibration(link);
    if (!DriftCondition(link)) return link.Answer("INV");
    link.Answer("%1.0f", DriftPerMs(link, DriftAverage(link)));
}

void ReadFrequencyAccuracy(CommandContext& ctx) {
    Link& link = ctx.link;
    EnsureCalibration(link);
    if (!DriftCondition(link)) return link.Answer("INV");
    link.Answer("%1.0f", static_cast<double>(DriftAverage(link)) * 100.0);
}

void ReadCombined(CommandContext& ctx) {
    Link& link = ctx.link;
    EnsureCalibration(link);
    MeasurementState& meas = link.meas;
    if (!LinkUp(link)) {
        meas.FreqRefValid = false;
        return link.Answer("INV");
    }
    const uint8_t bursts = link.conf.AverageBursts;
    Extremes extremes;
    meas.Power.Empty();
    meas.FreqOffset.Empty();
    FrequencyReference(link);  // its burst, if it takes one, stays in the offset history
    for (AveragingHistory* h : {&meas.BfMax, &meas.BfMin, &meas.SfMax, &meas.SfMin, &meas.Drift,
                                &meas.AccDrift, &meas.MsDrift})
        h->Empty();
    const uint8_t mode = PacketMode(link);
    int n = 0;
    for (int b = 0; b < bursts; ++b) {
        GatedForcedSample(link, meas.Power);
        meas.Power.Push(static_cast<float>(link.capture.AveragePower), bursts);
        meas.FreqOffset.Push(FrequencyOffsetBurst(link), bursts);
        // The B-field step continues from the extremes the previous S-field step left.
        BFieldBurst(link, mode, extremes);
        SFieldBurst(link, extremes);
        meas.AccDrift.Push(static_cast<float>(DriftBurst(link, n)), bursts);
        meas.MsDrift.Push(static_cast<float>(DriftBurst(link, n)), bursts);
        meas.Drift.Push(static_cast<float>(DriftBurst(link, n)), bursts);
    }
    Refresh(link, meas.Power, meas.PowerAvg);
    Refresh(link, meas.FreqOffset, meas.FreqOffsetAvg);
    Refresh(link, meas.BfMax, meas.BfMaxAvg);
    Refresh(link, meas.BfMin, meas.BfMinAvg);
    Refresh(link, meas.SfMax, meas.SfMaxAvg);
    Refresh(link, meas.SfMin, meas.SfMinAvg);
    Refresh(link, meas.Drift, meas.DriftAvg);
    Refresh(link, meas.AccDrift, meas.AccDriftAvg);
    Refresh(link, meas.MsDrift, meas.MsDriftAvg);

    const float offset = meas.FreqOffsetAvg * 100.0f - FrequencyCorrection(link);
    meas.FreqRef = offset;
    meas.FreqRefValid = true;
    auto field = [&](float average) { return static_cast<double>(average * 100.0f - offset); };
    link.Answer("%1.1f, %1.0f, %1.0f, %1.0f, %1.0f, %1.0f, %1.0f, %1.0f, %1.0f",
                static_cast<double>(meas.PowerAvg * 0.1f), static_cast<double>(offset),
                field(meas.BfMaxAvg), field(meas.BfMinAvg), field(meas.SfMaxAvg),
                field(meas.SfMinAvg), DriftInUnit(link, meas.DriftAvg),
                static_cast<double>(meas.AccDriftAvg) * 100.0, DriftPerMs(link, meas.MsDriftAvg));
}

}  // namespace tavrin::measure
