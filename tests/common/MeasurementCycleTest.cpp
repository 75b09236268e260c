// The measurement cycle the link window and the production run share: the running averages,
// the reply reading, one refresh of malformed replies, a failed exchange, and what a
// production run asks and is judged by.
#include "common/MeasurementCycle.h"

#include <gtest/gtest.h>

#include "ScriptedQueries.h"
#include "common/TrafficSlot.h"

namespace tavrin::common {
namespace {

TEST(AveragingBuffer, AveragesTheMostRecentSamplesOfWhatHasArrived) {
    AveragingBuffer b;
    b.setLength(3);
    EXPECT_FALSE(b.average());
    EXPECT_TRUE(b.filling());
    b.push(1);
    EXPECT_DOUBLE_EQ(*b.average(), 1);
    b.push(2);
    EXPECT_DOUBLE_EQ(*b.average(), 1.5);
    EXPECT_TRUE(b.filling());
    b.push(6);
    EXPECT_DOUBLE_EQ(*b.average(), 3);
    EXPECT_FALSE(b.filling());
    b.push(10);  // the oldest sample (1) leaves
    EXPECT_DOUBLE_EQ(*b.average(), 6);
    EXPECT_EQ(b.count(), 3);
    b.setLength(2);  // a new length empties the buffer
    EXPECT_EQ(b.count(), 0);
    b.setLength(500);
    EXPECT_EQ(b.length(), AveragingBuffer::kCapacity);
    for (int i = 1; i <= 400; ++i) b.push(static_cast<float>(i));
    EXPECT_DOUBLE_EQ(*b.average(), 300.5);  // 201..400
    b.setLength(0);
    EXPECT_EQ(b.length(), 1);
    b.push(7);
    b.push(9);
    EXPECT_DOUBLE_EQ(*b.average(), 9);
}

TEST(Replies, NumbersSplitsAndFormats) {
    EXPECT_TRUE(IsInvalidReply("INV"));
    EXPECT_TRUE(IsInvalidReply(""));
    EXPECT_FALSE(IsInvalidReply("INVALID"));

    EXPECT_EQ(LeadingNumber("-12.5dBm"), -12.5);
    EXPECT_EQ(LeadingNumber("24.3,7"), 24.3);
    EXPECT_EQ(LeadingNumber("+3"), 3);
    EXPECT_FALSE(LeadingNumber("abc"));
    EXPECT_FALSE(LeadingNumber("nan"));
    EXPECT_FALSE(LeadingNumber("inf"));
    EXPECT_FALSE(LeadingNumber(""));

    EXPECT_EQ(WholeNumber(" 0.00120 "), 0.0012);
    EXPECT_FALSE(WholeNumber("12x"));
    EXPECT_FALSE(WholeNumber(""));
    EXPECT_FALSE(WholeNumber("INV"));

    EXPECT_EQ(SplitAtFirstComma("1,2,3").first, "1");
    EXPECT_EQ(SplitAtFirstComma("1,2,3").second, "2,3");
    EXPECT_EQ(SplitAtFirstComma("340000").first, "340000");
    EXPECT_EQ(SplitAtFirstComma("340000").second, "340000");
    EXPECT_EQ(SplitAtFirstComma(",5").first, "");
    // Pairs and first values are whole numbers: a unit or "INV" in a part leaves it empty.
    EXPECT_EQ(PairOfNumbers("-0.3,0.2").first, -0.3);
    EXPECT_EQ(PairOfNumbers("-0.3,0.2").second, 0.2);
    EXPECT_FALSE(PairOfNumbers("INV,3").first);
    EXPECT_EQ(PairOfNumbers("INV,3").second, 3);
    EXPECT_FALSE(PairOfNumbers("0.5,1.0,7").second);
    EXPECT_EQ(FirstNumber("0.12,0.10,0.14"), 0.12);
    EXPECT_FALSE(FirstNumber("1.5us"));
    EXPECT_FALSE(FirstNumber("INV"));

    EXPECT_EQ(FixedText(1.25, 1), "1.2");  // "%.*f" rounding, as the display has always had
    EXPECT_EQ(FixedText(-0.5, 5), "-0.50000");
    EXPECT_EQ(ShortestText(1.50), "1.5");
    EXPECT_EQ(ShortestText(2), "2");
    EXPECT_EQ(ShortestText(0.1), "0.1");

    EXPECT_EQ(SlotSizeText("80"), "P64Z");
    EXPECT_EQ(SlotSizeText("40"), "P32Z");
    EXPECT_EQ(SlotSizeText(""), "P32Z");
    EXPECT_EQ(SampleWindowFor(false, true), 4225.0f);
    EXPECT_EQ(SampleWindowFor(true, true), 7092.0f);
    EXPECT_EQ(SampleWindowFor(false, false), 4140.0f);
    EXPECT_EQ(SampleWindowFor(true, false), 7020.0f);
}

struct Refresh {
    explicit Refresh(int n) { cycle.setLength(n); }
    void poll() {
        cycle.refresh(
            tester, choice, [this] { return std::exchange(resetPending, false); }, out);
    }
    testing::ScriptedQueries tester;
    RefreshChoice choice;
    bool resetPending = false;
    MeasurementCycle cycle;
    LinkReadout out;
};

TEST(MeasurementCycle, MalformedRepliesShowNoValueAndTheRefreshGoesOn) {
    Refresh r(1);
    r.tester.script.replies = {
        {"READ:SLOT:SIZE?", {"80"}},   {"FETCH:PACK:DEL?", {"garbage"}}, {"READ:NTP?", {"INV"}},
        {"FETCH:JITT?", {"x,0.4"}},    {"READ:FREQ:OFFS?", {"abc"}},     {"READ:BF?", {"340000"}},
        {"READ:SF?", {"335000,oops"}}, {"READ:FREQ:DRIF?", {""}},        {"FETC:BER:LTER?", {""}},
        {"READ:CRC?", {"0"}},
    };
    r.out.frameLabel = "old";
    r.poll();
    const LinkReadout& o = r.out;
    EXPECT_EQ(o.slotSize, "P64Z");
    EXPECT_EQ(o.sampleWindowLength, 7020.0f);
    EXPECT_EQ(o.timing, kNoValue);
    EXPECT_EQ(o.ntp.text, kNoValue);
    EXPECT_EQ(o.frameLabel, "");
    EXPECT_EQ(o.jitterPos, kNoValue);
    EXPECT_EQ(o.jitterNeg, "0.4");
    EXPECT_EQ(o.offset.text, kNoValue);
    // Without a comma the one number is both deviations: the B-field reads 0.0.
    EXPECT_EQ(o.bField.text, "0.0");
    EXPECT_EQ(o.bPos.text, "340.0");
    EXPECT_EQ(o.bNeg.text, "340.0");
    EXPECT_EQ(o.sField.text, kNoValue);
    EXPECT_EQ(r.cycle.buffer(Average::SPos).count(), 0);  // nothing half-kept
    EXPECT_EQ(o.drift.text, kNoValue);
    EXPECT_EQ(o.ber, kNoValue);
    EXPECT_EQ(o.fer, kNoValue);
    EXPECT_EQ(o.frameFlags, false);
    for (Bar b : {Bar::NTP, Bar::FrqOff, Bar::S_Field, Bar::FrqDrift, Bar::LT_BER, Bar::LT_FER})
        EXPECT_FALSE(o.bars[static_cast<int>(b)]) << static_cast<int>(b);
    EXPECT_EQ(o.bars[static_cast<int>(Bar::B_Field)], 340.0);

    // An "INV" first jitter part leaves both jitter fields; "INV" BER/FER and CRC.
    r.tester.script.replies["FETCH:JITT?"] = {"INV,3"};
    r.tester.script.replies["FETC:BER:LTER?"] = {"INV"};
    r.tester.script.replies["READ:CRC?"] = {"INV"};
    r.tester.script.replies["READ:BF?"] = {"INV,5"};
    r.poll();
    EXPECT_EQ(r.out.jitterNeg, "0.4");
    EXPECT_EQ(r.out.ber, kNoValue);
    EXPECT_EQ(r.out.frameFlags, false);
    EXPECT_EQ(r.out.bField.text, kNoValue);
    EXPECT_FALSE(r.out.bars[static_cast<int>(Bar::B_Field)]);
}

TEST(MeasurementCycle, AFailedExchangeEndsTheRefreshAndKeepsWhatCameBefore) {
    Refresh r(4);
    r.tester.script.replies = {{"READ:NTP?", {"24.0"}}, {"READ:FREQ:OFFS?", {"1200"}}};
    r.tester.failAt = "READ:FREQ:OFFS?";
    r.poll();
    EXPECT_EQ(r.tester.sent,
              (std::vector<std::string>{"READ:SLOT:SIZE?", "FETCH:PACK:DEL?", "READ:NTP?",
                                        "FETCH:JITT?", "READ:FREQ:OFFS?"}));
    EXPECT_EQ(r.out.ntp.text, "24.0");
    EXPECT_TRUE(r.out.ntp.filling);
    EXPECT_EQ(r.out.offset.text, kNoValue);
    EXPECT_EQ(r.cycle.buffer(Average::FrqOff).count(), 0);
    // While the exchanges fail, a further refresh asks nothing at all.
    r.poll();
    EXPECT_EQ(r.tester.sent.size(), 5u);
}

// A production run asks the averaged values alone, in the window's order, and averages every
// burst; a bar reads the digits the window shows, not the unrounded mean.
TEST(MeasurementCycle, ProductionRunAsksTheAveragedValuesAndReadsTheBarsDigits) {
    Refresh r(3);
    r.choice.berFer = r.choice.jitter = r.choice.slotSize = r.choice.timing = false;
    r.choice.frameFlags = false;
    r.tester.script.replies = {
        {"READ:NTP?", {"24.2", "INV", "24.4"}},
        {"READ:FREQ:OFFS?", {"12000", "12300", "12000"}},
        {"READ:BF?", {"402040,-398000", "402040,-398000", "402040,-398000"}},
        {"READ:SF?", {"100000,-80000", "x,-80000", "120000,-90000"}},
        {"READ:FREQ:DRIF?", {"INV"}},
    };
    for (int burst = 0; burst < 3; ++burst) r.poll();
    const std::vector<std::string> burst = {"READ:NTP?", "READ:FREQ:OFFS?", "READ:BF?", "READ:SF?",
                                            "READ:FREQ:DRIF?"};
    std::vector<std::string> expected;
    for (int i = 0; i < 3; ++i) expected.insert(expected.end(), burst.begin(), burst.end());
    EXPECT_EQ(r.tester.sent, expected);

    EXPECT_EQ(r.cycle.barText(Bar::NTP), "24.3");  // the "INV" burst is not counted
    EXPECT_EQ(r.cycle.barText(Bar::FrqOff), "12.1");
    EXPECT_EQ(r.cycle.barText(Bar::B_Field), "402.0");  // 402.04 shown and judged as 402.0
    EXPECT_EQ(r.cycle.barText(Bar::S_Field), "97.5");   // (110 - -85) / 2, two bursts of three
    EXPECT_FALSE(r.cycle.barText(Bar::FrqDrift));
    EXPECT_FALSE(r.cycle.barText(Bar::LT_BER));
    EXPECT_FALSE(r.cycle.barText(Bar::LT_FER));
    // The window shows the same digits on the same bars after the last burst.
    EXPECT_EQ(r.out.ntp.text, *r.cycle.barText(Bar::NTP));
    EXPECT_EQ(r.out.bars[static_cast<int>(Bar::B_Field)], 402.0);
    EXPECT_EQ(r.out.bars[static_cast<int>(Bar::S_Field)], 97.5);
    EXPECT_TRUE(r.out.sField.filling);
    EXPECT_FALSE(r.out.bField.filling);
}

TEST(TrafficSlot, MovesTwoSlotsOnAndWrapsFromTheHighest) {
    EXPECT_EQ(TrafficSlotPastDummy(4, 8), 6);
    EXPECT_EQ(TrafficSlotPastDummy(8, 8), 0);
    EXPECT_EQ(TrafficSlotPastDummy(8, 10), 10);
    EXPECT_EQ(TrafficSlotPastDummy(11, 10), 0);
}

}  // namespace
}  // namespace tavrin::common
