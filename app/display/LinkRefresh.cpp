// The measurement refresh of the link window.
#include "LinkRefresh.h"

namespace tavrin::app {
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

}  // namespace

void LinkReadout::clear() {
    slotSize = timing = kNoValue;
    for (ValueField* f : {&ntp, &offset, &drift, &bField, &bPos, &bNeg, &sField, &sPos, &sNeg})
        NoValue(*f);
    ber = fer = jitterPos = jitterNeg = kNoValue;
    frameLabel.clear();
    bars.fill(std::nullopt);
}

void LinkRefresh::setLength(int n) {
    for (AveragingBuffer& b : m_buffers) b.setLength(n);
}

void LinkRefresh::clearBuffers() {
    for (AveragingBuffer& b : m_buffers) b.clear();
}

void LinkRefresh::averaged(const Query& query, const char* command, Average a, ValueField& field,
                           std::optional<double>& bar) {
    AveragingBuffer& buffer = this->buffer(a);
    const std::string reply = query(command);
    field.text = kNoValue;
    if (!IsInvalidReply(reply)) {
        if (const std::optional<double> sample = LeadingNumber(reply)) {
            buffer.push(static_cast<float>(*sample));
            const double factor = std::string_view(command) == "READ:NTP?" ? 1.0 : kHzToKhz;
            field.text = FixedText(*buffer.average() * factor, 1);
        }
    }
    // A reply that is no number at all shows "---" as an invalid one does, and pushes nothing.
    field.filling = buffer.filling();
    bar = BarValueOf(field.text);
}

void LinkRefresh::deviation(const Query& query, const char* command, Average pos, Average neg,
                            bool barTakesHalfPeakToPeak, ValueField& total, ValueField& posField,
                            ValueField& negField, std::optional<double>& bar) {
    AveragingBuffer& posBuffer = buffer(pos);
    AveragingBuffer& negBuffer = buffer(neg);
    const ReplyParts parts = SplitAtFirstComma(query(command));
    total.text = posField.text = negField.text = kNoValue;
    bar.reset();
    if (parts.first != "INV") {
        const std::optional<double> p = WholeNumber(parts.first);
        const std::optional<double> n = WholeNumber(parts.second);
        // Both parts are read before either is kept, so the two buffers stay in step.
        if (p && n) {
            posBuffer.push(static_cast<float>(*p * kHzToKhz));
            negBuffer.push(static_cast<float>(*n * kHzToKhz));
            const std::optional<double> avgPos = posBuffer.average();
            const std::optional<double> avgNeg = negBuffer.average();
            if (avgPos && avgNeg) {
                total.text = FixedText((*avgPos - *avgNeg) / 2, 1);
                posField.text = FixedText(*avgPos, 1);
                negField.text = FixedText(*avgNeg, 1);
                bar = BarValueOf(barTakesHalfPeakToPeak ? total.text : posField.text);
            }
        }
    }
    total.filling = posField.filling = negField.filling = posBuffer.filling();
}

void LinkRefresh::refresh(const Query& query, const RefreshChoice& choice,
                          const TakeResetCount& takeResetCount, LinkReadout& out) {
    // 1. Slot type, and the charts' sample window that goes with it.
    out.slotSize = SlotSizeText(query("READ:SLOT:SIZE?"));
    out.sampleWindowLength = SampleWindowFor(out.slotSize == "P64Z", choice.microseconds);

    // 2. Timing accuracy (FP) or packet delay (PP).
    {
        const std::string reply =
            query(choice.timingAccuracy ? "READ:TIME:ACC?" : "FETCH:PACK:DEL?");
        out.timing = kNoValue;
        if (!IsInvalidReply(reply)) {
            if (const auto value = WholeNumber(SplitAtFirstComma(reply).first))
                out.timing = ShortestText(*value);
        }
    }

    // 3. Normal transmit power.
    if (choice.ntp) {
        averaged(query, "READ:NTP?", Average::NTP, out.ntp, out.bar(Bar::NTP));
        if (out.ntp.text == kNoValue) out.frameLabel.clear();
    } else {
        NoValue(out.ntp);
        out.frameLabel.clear();
        out.bar(Bar::NTP).reset();
    }

    // 4. Jitter: a first part "INV" leaves both fields as they are.
    if (choice.jitter) {
        const std::string reply = query("FETCH:JITT?");
        if (IsInvalidReply(reply)) {
            out.jitterPos = out.jitterNeg = kNoValue;
        } else if (const ReplyParts parts = SplitAtFirstComma(reply); parts.first != "INV") {
            const auto pos = WholeNumber(parts.first);
            const auto neg = WholeNumber(parts.second);
            out.jitterPos = pos ? FixedText(*pos, 1) : kNoValue;
            out.jitterNeg = neg ? FixedText(*neg, 1) : kNoValue;
        }
    } else {
        out.jitterPos = out.jitterNeg = kNoValue;
    }

    // 5. Frequency offset.
    if (choice.offset && choice.loopback) {
        averaged(query, "READ:FREQ:OFFS?", Average::FrqOff, out.offset, out.bar(Bar::FrqOff));
    } else {
        NoValue(out.offset);
        out.bar(Bar::FrqOff).reset();
    }

    // 6. B-field: the bar takes the positive deviation.
    if (choice.bField && choice.loopback) {
        deviation(query, "READ:BF?", Average::BPos, Average::BNeg, false, out.bField, out.bPos,
                  out.bNeg, out.bar(Bar::B_Field));
    } else {
        for (ValueField* f : {&out.bField, &out.bPos, &out.bNeg}) NoValue(*f);
        out.bar(Bar::B_Field).reset();
    }

    // 7. S-field, measured in either mode: the bar takes half the peak-to-peak deviation.
    if (choice.sField) {
        deviation(query, "READ:SF?", Average::SPos, Average::SNeg, true, out.sField, out.sPos,
                  out.sNeg, out.bar(Bar::S_Field));
    } else {
        for (ValueField* f : {&out.sField, &out.sPos, &out.sNeg}) NoValue(*f);
        out.bar(Bar::S_Field).reset();
    }

    // 8. Frequency drift.
    if (choice.drift && choice.loopback) {
        averaged(query, "READ:FREQ:DRIF?", Average::FrqDrift, out.drift, out.bar(Bar::FrqDrift));
    } else {
        NoValue(out.drift);
        out.bar(Bar::FrqDrift).reset();
    }

    // 9. Long-term BER and FER, not averaged. The first poll after connecting restarts the
    // tester's counters instead, and the reading starts with the next poll.
    if (choice.berFer && choice.loopback) {
        if (!(takeResetCount && takeResetCount())) {
            const std::string reply = query("FETC:BER:LTER?");
            out.ber = out.fer = kNoValue;
            if (reply != "INV") {
                const ReplyParts parts = SplitAtFirstComma(reply);
                if (const auto ber = WholeNumber(parts.first)) out.ber = FixedText(*ber, 5);
                if (const auto fer = WholeNumber(parts.second)) out.fer = FixedText(*fer, 5);
            }
            out.bar(Bar::LT_BER) = BarValueOf(out.ber);
            out.bar(Bar::LT_FER) = BarValueOf(out.fer);
        }
    } else {
        out.ber = out.fer = kNoValue;
        out.bar(Bar::LT_BER).reset();
        out.bar(Bar::LT_FER).reset();
    }

    // 10. Frame indicators.
    const std::string crc = query("READ:CRC?");
    if (crc != "INV") out.frameFlags = !crc.empty() && crc.front() == '1';
}

}  // namespace tavrin::app
