// The measurement refresh shared by the link window and the production run.
#include "MeasurementCycle.h"

namespace tavrin::common {
namespace {

constexpr double kHzToKhz = 0.001;

// The value a bar gets from a shown text: the number the operator reads, or none.
std::optional<double> BarValueOf(const std::string& text) {
    return WholeNumber(text);
}

void NoValue(ValueField& field) {
    field.text = kNoValue;
    field.filling = false;
}

// Once an exchange has failed the rest of the refresh asks nothing.
std::string Ask(QueryPort& port, const char* command) {
    return port.Failed() ? std::string() : port.Query(command);
}

}  // namespace

void LinkReadout::clear() {
    slotSize = timing = kNoValue;
    for (ValueField* f : {&ntp, &offset, &drift, &bField, &bPos, &bNeg, &sField, &sPos, &sNeg})
        NoValue(*f);
    ber = fer = jitterPos = jitterNeg = kNoValue;
    frameLabel.clear();
    bars.fill(std::nullopt);
}

void MeasurementCycle::setLength(int n) {
    for (AveragingBuffer& b : m_buffers) b.setLength(n);
}

void MeasurementCycle::clearBuffers() {
    for (AveragingBuffer& b : m_buffers) b.clear();
}

std::optional<std::string> MeasurementCycle::averageText(Average a) const {
    const std::optional<double> average = buffer(a).average();
    if (!average) return std::nullopt;
    // The offset and the drift are kept in Hz as the tester answers them; the deviations are
    // kept in kHz already.
    const double factor = a == Average::FrqOff || a == Average::FrqDrift ? kHzToKhz : 1.0;
    return FixedText(*average * factor, 1);
}

std::optional<std::string> MeasurementCycle::halfPeakToPeakText(Average pos, Average neg) const {
    const std::optional<double> avgPos = buffer(pos).average();
    const std::optional<double> avgNeg = buffer(neg).average();
    if (!avgPos || !avgNeg) return std::nullopt;
    return FixedText((*avgPos - *avgNeg) / 2, 1);
}

std::optional<std::string> MeasurementCycle::barText(Bar b) const {
    switch (b) {
        case Bar::NTP:
            return averageText(Average::NTP);
        case Bar::FrqOff:
            return averageText(Average::FrqOff);
        case Bar::FrqDrift:
            return averageText(Average::FrqDrift);
        case Bar::B_Field:
            return averageText(Average::BPos);
        case Bar::S_Field:
            return halfPeakToPeakText(Average::SPos, Average::SNeg);
        case Bar::LT_BER:
        case Bar::LT_FER:
            break;
    }
    return std::nullopt;
}

void MeasurementCycle::averaged(QueryPort& port, const char* command, Average a, Bar b,
                                ValueField& field, std::optional<double>& bar) {
    const std::string reply = Ask(port, command);
    field.text = kNoValue;
    bar.reset();
    if (!IsInvalidReply(reply)) {
        if (const std::optional<double> sample = LeadingNumber(reply)) {
            buffer(a).push(static_cast<float>(*sample));
            field.text = averageText(a).value_or(kNoValue);
            bar = BarValueOf(barText(b).value_or(kNoValue));
        }
    }
    // A reply that is no number at all shows "---" as an invalid one does, and pushes nothing.
    field.filling = buffer(a).filling();
}

void MeasurementCycle::deviation(QueryPort& port, const char* command, Average pos, Average neg,
                                 Bar b, ValueField& total, ValueField& posField,
                                 ValueField& negField, std::optional<double>& bar) {
    const NumberPair values = PairOfNumbers(Ask(port, command));
    total.text = posField.text = negField.text = kNoValue;
    bar.reset();
    // Both parts are read before either is kept, so the two buffers stay in step.
    if (values.first && values.second) {
        buffer(pos).push(static_cast<float>(*values.first * kHzToKhz));
        buffer(neg).push(static_cast<float>(*values.second * kHzToKhz));
        total.text = halfPeakToPeakText(pos, neg).value_or(kNoValue);
        posField.text = averageText(pos).value_or(kNoValue);
        negField.text = averageText(neg).value_or(kNoValue);
        bar = BarValueOf(barText(b).value_or(kNoValue));
    }
    total.filling = posField.filling = negField.filling = buffer(pos).filling();
}

void MeasurementCycle::refresh(QueryPort& port, const RefreshChoice& choice,
                               const TakeResetCount& takeResetCount, LinkReadout& out) {
    // 1. Slot type, and the charts' sample window that goes with it.
    if (choice.slotSize) {
        out.slotSize = SlotSizeText(Ask(port, "READ:SLOT:SIZE?"));
        out.sampleWindowLength = SampleWindowFor(out.slotSize == "P64Z", choice.microseconds);
    }

    // 2. Timing accuracy (FP) or packet delay (PP).
    if (choice.timing) {
        const std::optional<double> value =
            FirstNumber(Ask(port, choice.timingAccuracy ? "READ:TIME:ACC?" : "FETCH:PACK:DEL?"));
        out.timing = value ? ShortestText(*value) : kNoValue;
    }

    // 3. Normal transmit power.
    if (choice.ntp) {
        averaged(port, "READ:NTP?", Average::NTP, Bar::NTP, out.ntp, out.bar(Bar::NTP));
        if (out.ntp.text == kNoValue) out.frameLabel.clear();
    } else {
        NoValue(out.ntp);
        out.frameLabel.clear();
        out.bar(Bar::NTP).reset();
    }

    // 4. Jitter: a first part "INV" leaves both fields as they are.
    if (choice.jitter) {
        const std::string reply = Ask(port, "FETCH:JITT?");
        if (IsInvalidReply(reply)) {
            out.jitterPos = out.jitterNeg = kNoValue;
        } else if (SplitAtFirstComma(reply).first != "INV") {
            const NumberPair jitter = PairOfNumbers(reply);
            out.jitterPos = jitter.first ? FixedText(*jitter.first, 1) : kNoValue;
            out.jitterNeg = jitter.second ? FixedText(*jitter.second, 1) : kNoValue;
        }
    } else {
        out.jitterPos = out.jitterNeg = kNoValue;
    }

    // 5. Frequency offset.
    if (choice.offset && choice.loopback) {
        averaged(port, "READ:FREQ:OFFS?", Average::FrqOff, Bar::FrqOff, out.offset,
                 out.bar(Bar::FrqOff));
    } else {
        NoValue(out.offset);
        out.bar(Bar::FrqOff).reset();
    }

    // 6. B-field: the bar takes the positive deviation.
    if (choice.bField && choice.loopback) {
        deviation(port, "READ:BF?", Average::BPos, Average::BNeg, Bar::B_Field, out.bField,
                  out.bPos, out.bNeg, out.bar(Bar::B_Field));
    } else {
        for (ValueField* f : {&out.bField, &out.bPos, &out.bNeg}) NoValue(*f);
        out.bar(Bar::B_Field).reset();
    }

    // 7. S-field, measured in either mode: the bar takes half the peak-to-peak deviation.
    if (choice.sField) {
        deviation(port, "READ:SF?", Average::SPos, Average::SNeg, Bar::S_Field, out.sField,
                  out.sPos, out.sNeg, out.bar(Bar::S_Field));
    } else {
        for (ValueField* f : {&out.sField, &out.sPos, &out.sNeg}) NoValue(*f);
        out.bar(Bar::S_Field).reset();
    }

    // 8. Frequency drift.
    if (choice.drift && choice.loopback) {
        averaged(port, "READ:FREQ:DRIF?", Average::FrqDrift, Bar::FrqDrift, out.drift,
                 out.bar(Bar::FrqDrift));
    } else {
        NoValue(out.drift);
        out.bar(Bar::FrqDrift).reset();
    }

    // 9. Long-term BER and FER, not averaged. The first poll after connecting restarts the
    // tester's counters instead, and the reading starts with the next poll.
    if (choice.berFer && choice.loopback) {
        if (!(takeResetCount && takeResetCount())) {
            const NumberPair rates = PairOfNumbers(Ask(port, "FETC:BER:LTER?"));
            out.ber = rates.first ? FixedText(*rates.first, 5) : kNoValue;
            out.fer = rates.second ? FixedText(*rates.second, 5) : kNoValue;
            out.bar(Bar::LT_BER) = BarValueOf(out.ber);
            out.bar(Bar::LT_FER) = BarValueOf(out.fer);
        }
    } else {
        out.ber = out.fer = kNoValue;
        out.bar(Bar::LT_BER).reset();
        out.bar(Bar::LT_FER).reset();
    }

    // 10. Frame indicators.
    if (choice.frameFlags) {
        const std::string crc = Ask(port, "READ:CRC?");
        if (crc != "INV") out.frameFlags = !crc.empty() && crc.front() == '1';
    }
}

}  // namespace tavrin::common
