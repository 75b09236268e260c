// The measurement cycle the link window and the production run share: which queries one tick
// sends through a query port, how each reply becomes the texts, colours and bar values shown,
// and the seven running averages behind them.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "common/AveragingBuffer.h"
#include "common/LimitSet.h"
#include "common/Replies.h"

namespace tavrin::common {

// The one seam through which a tick reaches the tester: the program's command wrappers on its
// tester thread, or the client's command language.
class QueryPort {
public:
    virtual ~QueryPort() = default;
    // Sends one command line and returns the tester's answer ("" when there is none).
    virtual std::string Query(const std::string& line) = 0;
    // Whether an exchange has failed as the caller counts it (the program: the tester went
    // silent; the client: any refused command). The cycle asks nothing more after one.
    virtual bool Failed() const = 0;
};

// The seven averaging buffers.
enum class Average { NTP, FrqOff, FrqDrift, BPos, BNeg, SPos, SNeg };
inline constexpr int kAverageCount = 7;

// One limit bar under each limit row's value.
using Bar = LimitRow;
inline constexpr int kBarCount = 7;

// A value field: its text and whether its average is still settling (shown in yellow).
struct ValueField {
    std::string text = kNoValue;
    bool filling = false;
};

// Everything the refresh shows. It is updated in place: a reply that leaves a field "as it
// is" leaves the previous poll's text.
struct LinkReadout {
    std::string slotSize = kNoValue;
    std::string timing = kNoValue;
    ValueField ntp, offset, drift;
    ValueField bField, bPos, bNeg;
    ValueField sField, sPos, sNeg;
    std::string ber = kNoValue, fer = kNoValue;
    std::string jitterPos = kNoValue, jitterNeg = kNoValue;
    std::string frameLabel;
    // The Sync, A, X and Z field indicators: ticked or not; unset until a reply decides.
    std::optional<bool> frameFlags;
    // The value on each bar; none moves the marker out of sight.
    std::array<std::optional<double>, kBarCount> bars{};
    // The sample-window length the slot type asks for; unset until a poll reads it.
    std::optional<float> sampleWindowLength;

    std::optional<double>& bar(Bar b) { return bars[static_cast<int>(b)]; }
    // The link is not up: every value "---", the frame label cleared, no value on any bar.
    void clear();
};

// What the user ticked and what the window and pages say about this poll. The link window
// asks everything it shows; a production run asks only the averaged values, in the same order.
struct RefreshChoice {
    bool ntp = true, offset = true, bField = true, sField = true, drift = true;
    bool berFer = true;  // either of the two long-term boxes (they mirror each other)
    bool jitter = true;
    bool loopback = true;         // offset, B-field, drift and BER/FER need the loopback mode
    bool timingAccuracy = false;  // the time label reads "Timing Acc. ppm" (FP), else packet delay
    bool microseconds = false;    // the charts show microseconds (the unit switch reads "Bit")
    bool slotSize = true;         // the slot type and the charts' sample window
    bool timing = true;           // the timing accuracy or packet delay
    bool frameFlags = true;       // the Sync, A, X and Z indicators
};

class MeasurementCycle {
public:
    // Runs a pending Reset Count of the test pages; true when one ran (BER/FER wait a poll).
    using TakeResetCount = std::function<bool()>;

    // The averaging length N of all seven buffers; a new length empties them.
    void setLength(int n);
    int length() const { return m_buffers[0].length(); }
    void clearBuffers();
    AveragingBuffer& buffer(Average a) { return m_buffers[static_cast<int>(a)]; }
    const AveragingBuffer& buffer(Average a) const { return m_buffers[static_cast<int>(a)]; }

    // One refresh while the link is up ("DCE").
    void refresh(QueryPort& port, const RefreshChoice& choice, const TakeResetCount& takeResetCount,
                 LinkReadout& out);

    // The text a bar's value is read from, from the averages as they stand: one decimal, in
    // kHz but for NTP; the B-field bar takes the positive deviation, the S-field bar half the
    // peak-to-peak deviation. None while the averages are empty, and for BER and FER (not
    // averaged). The bar's value is this text read back, so a verdict is that of the digits
    // the operator reads.
    std::optional<std::string> barText(Bar b) const;

private:
    std::optional<std::string> averageText(Average a) const;
    std::optional<std::string> halfPeakToPeakText(Average pos, Average neg) const;
    void averaged(QueryPort& port, const char* command, Average a, Bar b, ValueField& field,
                  std::optional<double>& bar);
    void deviation(QueryPort& port, const char* command, Average pos, Average neg, Bar b,
                   ValueField& total, ValueField& posField, ValueField& negField,
                   std::optional<double>& bar);

    std::array<AveragingBuffer, kAverageCount> m_buffers;
};

}  // namespace tavrin::common
