// The parameter readers shared by every handler.
#include <gtest/gtest.h>

#include "SimLink.h"
#include "interpreter/Readers.h"

namespace tavrin::testing {
namespace {

class ReadersTest : public ::testing::Test {
protected:
    SimLink sim{SimulationSettings{}, false};
    CommandContext ctx{*sim.link};
    uint8_t last() const { return sim.link->errors.LastError; }
    int16_t count() const { return sim.link->errors.ErrorCount; }
};

TEST_F(ReadersTest, Integer) {
    int32_t v = 77;
    EXPECT_TRUE(ReadInteger(ctx, "4", v, 1, 200));
    EXPECT_EQ(v, 4);
    EXPECT_TRUE(ReadInteger(ctx, "  -5", v, -10, 10));
    EXPECT_EQ(v, -5);
    EXPECT_TRUE(ReadInteger(ctx, "+9999", v, 0, 0));  // equal bounds: no range
    EXPECT_EQ(count(), 0);

    v = 77;
    struct Bad {
        const char* text;
        ErrorIndex error;
    };
    for (const Bad& b : {Bad{"3X", kParameterNotAllowed}, Bad{"", kParameterNotAllowed},
                         Bad{nullptr, kParameterNotAllowed}, Bad{"4 ", kParameterNotAllowed},
                         Bad{"4;READ:NTP?", kParameterNotAllowed}, Bad{"X", kParameterNotAllowed},
                         Bad{"99999999999", kParameterNotAllowed}, Bad{"300", kDataOutOfRange},
                         Bad{"0", kDataOutOfRange}}) {
        sim.link->errors = {};
        EXPECT_FALSE(ReadInteger(ctx, b.text, v, 1, 200)) << (b.text ? b.text : "null");
        EXPECT_EQ(last(), b.error) << (b.text ? b.text : "null");
        EXPECT_EQ(count(), 1);
        EXPECT_EQ(v, 77);
    }
}

TEST_F(ReadersTest, Real) {
    double v = 0;
    EXPECT_TRUE(ReadReal(ctx, "-60.5", v, -100, 0));
    EXPECT_DOUBLE_EQ(v, -60.5);
    EXPECT_TRUE(ReadReal(ctx, ".5", v, 0, 1));
    EXPECT_TRUE(ReadReal(ctx, "0", v, 0, 1));  // bounds are inclusive
    EXPECT_TRUE(ReadReal(ctx, "1", v, 0, 1));
    for (const char* bad : {"inf", "nan", "0x10", "1.5dB", "", "-"}) {
        sim.link->errors = {};
        EXPECT_FALSE(ReadReal(ctx, bad, v, -100, 100)) << bad;
        EXPECT_EQ(last(), kParameterNotAllowed) << bad;
    }
    sim.link->errors = {};
    EXPECT_FALSE(ReadReal(ctx, "1.0001", v, 0, 1));
    EXPECT_EQ(last(), kDataOutOfRange);
}

TEST_F(ReadersTest, Quoted) {
    char out[kQuotedSize];
    const char* cursor = "  \"12345\"  ;X";
    EXPECT_TRUE(ReadQuoted(ctx, cursor, out));
    EXPECT_STREQ(out, "12345");
    EXPECT_STREQ(cursor, ";X");

    const std::string longest = "\"" + std::string(79, 'a') + "\"";
    cursor = longest.c_str();
    EXPECT_TRUE(ReadQuoted(ctx, cursor, out));
    EXPECT_EQ(std::string(out).size(), 79u);
    EXPECT_EQ(count(), 0);

    const std::string tooLong = "\"" + std::string(80, 'a') + "\"";
    cursor = tooLong.c_str();
    EXPECT_FALSE(ReadQuoted(ctx, cursor, out));
    EXPECT_EQ(last(), kParameterNotAllowed);
    EXPECT_EQ(cursor, tooLong.c_str());

    for (const char* bad : {"abc", "\"abc", ""}) {
        sim.link->errors = {};
        cursor = bad;
        EXPECT_FALSE(ReadQuoted(ctx, cursor, out)) << bad;
        EXPECT_EQ(last(), kSyntaxError) << bad;
    }
    // A range error already recorded is not overwritten by the missing quote.
    sim.link->errors = {};
    sim.link->errors.Record(kDataOutOfRange);
    cursor = "abc";
    EXPECT_FALSE(ReadQuoted(ctx, cursor, out));
    EXPECT_EQ(last(), kDataOutOfRange);
    EXPECT_EQ(count(), 1);
}

TEST_F(ReadersTest, SpreadHex) {
    char out[64];
    SpreadHex("0123456789", out, sizeof out);
    EXPECT_STREQ(out, "01 23 45 67 89");
    SpreadHex("12345", out, sizeof out);
    EXPECT_STREQ(out, "1 23 45");
    SpreadHex("", out, sizeof out);
    EXPECT_STREQ(out, "");
    char small[5];
    SpreadHex("0123456789", small, sizeof small);
    EXPECT_STREQ(small, "01 2");
}

}  // namespace
}  // namespace tavrin::testing
