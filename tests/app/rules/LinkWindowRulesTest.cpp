// The link window's rules without widgets: the running averages, the reply reading, the
// refresh of malformed replies, and the log formats.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <map>
#include <vector>

#include "core/LogFile.h"
#include "core/LogFormats.h"
#include "display/AveragingBuffer.h"
#include "display/LinkRefresh.h"
#include "display/LinkReplies.h"

namespace tavrin::app {
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

TEST(LinkReplies, NumbersSplitsAndFormats) {
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

// A tester that answers each query from a script, the last answer repeating.
struct ScriptedQueries {
    std::string operator()(const char* command) {
        sent.emplace_back(command);
        auto it = replies.find(command);
        if (it == replies.end() || it->second.empty()) return {};
        std::string reply = it->second.front();
        if (it->second.size() > 1) it->second.erase(it->second.begin());
        return reply;
    }
    std::map<std::string, std::vector<std::string>> replies;
    std::vector<std::string> sent;
};

struct Refresh {
    explicit Refresh(int n) { refresh.setLength(n); }
    void poll() {
        refresh.refresh(
            std::ref(tester), choice, [this] { return std::exchange(resetPending, false); }, out);
    }
    ScriptedQueries tester;
    RefreshChoice choice;
    bool resetPending = false;
    LinkRefresh refresh;
    LinkReadout out;
};

TEST(LinkRefresh, MalformedRepliesShowNoValueAndTheRefreshGoesOn) {
    Refresh r(1);
    r.tester.replies = {
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
    EXPECT_EQ(r.refresh.buffer(Average::SPos).count(), 0);  // nothing half-kept
    EXPECT_EQ(o.drift.text, kNoValue);
    EXPECT_EQ(o.ber, kNoValue);
    EXPECT_EQ(o.fer, kNoValue);
    EXPECT_EQ(o.frameFlags, false);
    for (Bar b : {Bar::NTP, Bar::FrqOff, Bar::S_Field, Bar::FrqDrift, Bar::LT_BER, Bar::LT_FER})
        EXPECT_FALSE(o.bars[static_cast<int>(b)]) << static_cast<int>(b);
    EXPECT_EQ(o.bars[static_cast<int>(Bar::B_Field)], 340.0);

    // An "INV" first jitter part leaves both jitter fields; "INV" BER/FER and CRC.
    r.tester.replies["FETCH:JITT?"] = {"INV,3"};
    r.tester.replies["FETC:BER:LTER?"] = {"INV"};
    r.tester.replies["READ:CRC?"] = {"INV"};
    r.tester.replies["READ:BF?"] = {"INV,5"};
    r.poll();
    EXPECT_EQ(r.out.jitterNeg, "0.4");
    EXPECT_EQ(r.out.ber, kNoValue);
    EXPECT_EQ(r.out.frameFlags, false);
    EXPECT_EQ(r.out.bField.text, kNoValue);
    EXPECT_FALSE(r.out.bars[static_cast<int>(Bar::B_Field)]);
}

TEST(LogFormats, RowsAndHeaderReadAsOneTable) {
    const MeasurementColumns row{"---",     "339.0",   "-338.0", "-8.0", "0.3",
                                 "0.00120", "0.50000", "-0.3",   "0.2"};
    EXPECT_EQ(MeasurementRow("10:11:12", row),
              "10:11:12;   ---;  339.0; -338.0;   -8.0;    0.3;  0.00120;  0.50000;-0.3; 0.2;\n");
    EXPECT_EQ(
        ColumnHeader("10:11:12"),
        "10:11:12;   NTP;+FrqDev;-FrqDev; FrqOff; FrqDft;      BER;      FER;-Jitter;+Jitter;\n");
    EXPECT_EQ(ModeHeader("10:11:12", true), "10:11:12; FP Mode\n");
    EXPECT_EQ(ModeHeader("10:11:12", false), "10:11:12; PP Mode\n");
    // Wide texts are never cut.
    const std::string wide(300, '9');
    EXPECT_NE(MeasurementRow("t", {wide, "", "", "", "", "", "", "", ""}).find(wide),
              std::string::npos);
    EXPECT_EQ(CommunicationLine("10:11:12", "-->\"*IDN?\" (0)"), "10:11:12;\t-->\"*IDN?\" (0)\n");

    EXPECT_EQ(LogIntervalSeconds("12"), 12);
    EXPECT_FALSE(LogIntervalSeconds("abc"));
    EXPECT_FALSE(LogIntervalSeconds("0"));
    EXPECT_FALSE(LogIntervalSeconds("-3"));
    EXPECT_FALSE(LogIntervalSeconds(""));
}

TEST(LogFile, CreatedEmptyReopenedForAppendAndFlushedAtEveryWrite) {
    QTemporaryDir dir;
    const QString path = dir.path() + "/m.log";
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old content\n");
    }
    LogFile log;
    ASSERT_TRUE(log.create(path));
    log.write("one\n");
    QFile reader(path);
    ASSERT_TRUE(reader.open(QIODevice::ReadOnly));
    EXPECT_EQ(reader.readAll(), "one\n");  // on disk while the file is still open
    log.close();
    log.write("lost\n");  // closed: nothing is written
    ASSERT_TRUE(log.reopenForAppend());
    log.write("two\n");
    log.forget();
    EXPECT_FALSE(log.held());
    EXPECT_FALSE(log.reopenForAppend());
    reader.seek(0);
    EXPECT_EQ(reader.readAll(), "one\ntwo\n");
    EXPECT_FALSE(log.create(dir.path() + "/no/such/folder/x.log"));
}

}  // namespace
}  // namespace tavrin::app
