// The link window's measurement refresh without widgets: which queries a poll sends, how each
// reply becomes the texts, colours and bar values the window shows, and the seven running
// averages behind them.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "AveragingBuffer.h"
#include "LinkReplies.h"
#include "common/LimitSet.h"

namespace tavrin::app {

// The seven averaging buffers.
enum class Average { NTP, FrqOff, FrqDrift, BPos, BNeg, SPos, SNeg };
inline constexpr int kAverageCount = 7;

// One limit bar under each limit row's value.
using Bar = common::LimitRow;
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

// What the user ticked and what the window and pages say about this poll.
struct RefreshChoice {
    bool ntp = true, offset = true, bField = true, sField = true, drift = true;
    bool berFer = true;  // either of the two long-term boxes (they mirror each other)
    bool jitter = true;
    bool loopback = true;         // offset, B-field, drift and BER/FER need the loopback mode
    bool timingAccuracy = false;  // the time label reads "Timing Acc. ppm" (FP), else packet delay
    bool microseconds = false;    // the charts show microseconds (the unit switch reads "Bit")
};

class LinkRefresh {
public:
    // Sends one query and returns its reply.
    using Query = std::function<std::string(const char* command)>;
    // Runs a pending Reset Count of the test pages; true when one ran (BER/FER wait a poll).
    using TakeResetCount = std::function<bool()>;

    // The averaging length N of all seven buffers; a new length empties them.
    void setLength(int n);
    int length() const { return m_buffers[0].length(); }
    void clearBuffers();
    AveragingBuffer& buffer(Average a) { return m_buffers[static_cast<int>(a)]; }

    // One refresh while the link is up ("DCE").
    void refresh(const Query& query, const RefreshChoice& choice,
                 const TakeResetCount& takeResetCount, LinkReadout& out);

private:
    void averaged(const Query& query, const char* command, Average a, ValueField& field,
                  std::optional<double>& bar);
    void deviation(const Query& query, const char* command, Average pos, Average neg,
                   bool barTakesHalfPeakToPeak, ValueField& total, ValueField& posField,
                   ValueField& negField, std::optional<double>& bar);

    std::array<AveragingBuffer, kAverageCount> m_buffers;
};

}  // namespace tavrin::app
