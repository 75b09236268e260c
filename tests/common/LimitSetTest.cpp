// The limit table, the number rule, the row check and the limit-bar verdict.
#include "common/LimitSet.h"

#include <gtest/gtest.h>

#include <set>

namespace tavrin::common {
namespace {

using Texts = std::array<std::string, 4>;
using Errors = std::array<bool, 4>;

Texts FactoryTexts(LimitRow row) {
    Texts t;
    for (size_t i = 0; i < 4; ++i) t[i] = std::string(RowSpec(row).factory[i]);
    return t;
}

TEST(LimitTable, KeysAreUniqueAndFactoryRowsAreCleanAndParse) {
    std::set<std::string> keys;
    int fields = 0;
    for (const LimitRowSpec& entry : LimitRows()) {
        EXPECT_EQ(&RowSpec(entry.row), &entry);
        for (LimitColumn c : kLimitColumns) {
            if (!HasColumn(entry.row, c)) {
                EXPECT_EQ(entry.factory[static_cast<size_t>(c)], "");
                continue;
            }
            ++fields;
            EXPECT_TRUE(keys.insert(LimitKey(entry.row, c)).second);
            EXPECT_TRUE(ParseLimitNumber(entry.factory[static_cast<size_t>(c)]).has_value());
        }
        EXPECT_EQ(CheckRow(entry.row, FactoryTexts(entry.row)), Errors{}) << entry.stem;
    }
    EXPECT_EQ(fields, 24);
    EXPECT_TRUE(keys.count("NTPMin") && keys.count("LT_FERMaxOK") && keys.count("B_FieldMax") &&
                keys.count("FrqDriftMinOK") && keys.count("LT_BERMax"));
    EXPECT_EQ(RowSpec(LimitRow::FrqDrift).factory[1], "-43.2");
    EXPECT_EQ(RowSpec(LimitRow::S_Field).maxLength, 0);
    EXPECT_EQ(RowSpec(LimitRow::LT_FER).maxLength, 7);
    EXPECT_EQ(ColumnLabel(LimitColumn::MinOK), "Min OK");
}

TEST(LimitNumber, AcceptsDecimalTextsOnly) {
    const std::pair<const char*, double> good[] = {
        {"19", 19},  {"-43.2", -43.2}, {"+5", 5},      {" 0.001 ", 0.001},
        {".5", 0.5}, {"-.5", -0.5},    {"1e-5", 1e-5}, {"7.", 7}};
    for (auto [text, value] : good) {
        auto n = ParseLimitNumber(text);
        ASSERT_TRUE(n.has_value()) << text;
        EXPECT_DOUBLE_EQ(*n, value) << text;
    }
    for (const char* bad : {"", " ", "abc", "1,5", "19a", "--1", "+-1", "inf", "nan", "-inf",
                            "0x10", "1e", "1e999", ".", "-", "1 2"}) {
        EXPECT_FALSE(ParseLimitNumber(bad).has_value()) << bad;
    }
}

TEST(LimitRowCheck, FourLimitRowMarksEachOffendingField) {
    struct Case {
        Texts texts;
        Errors errors;
    };
    const Case cases[] = {
        {{"15", "30", "24", "30"}, {false, true, true, false}},  // MinOK above MaxOK
        {{"19", "19", "24", "30"}, {true, true, false, false}},  // equal neighbours
        {{"15", "24", "24", "30"}, {false, true, true, false}},
        {{"15", "19", "30", "30"}, {false, false, true, true}},
        {{"20", "19", "24", "30"}, {true, true, false, false}},
        {{"15", "19", "24", "23"}, {false, false, true, true}},
        // A text that is no number is in error by itself and spares its neighbours.
        {{"15", "abc", "24", "30"}, {false, true, false, false}},
        {{"", "19", "24", "30"}, {true, false, false, false}},
        {{"15", "19", "1,5", "1"}, {false, false, true, false}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CheckRow(LimitRow::NTP, c.texts), c.errors)
            << c.texts[0] << " " << c.texts[1] << " " << c.texts[2] << " " << c.texts[3];
    }
}

TEST(LimitRowCheck, TwoLimitRowsLookAtMaxOKAndMaxOnly) {
    EXPECT_EQ(CheckRow(LimitRow::LT_FER, {"", "", "10", "10"}), (Errors{false, false, true, true}));
    EXPECT_EQ(CheckRow(LimitRow::LT_FER, {"x", "y", "5", "10"}), Errors{});
    EXPECT_EQ(CheckRow(LimitRow::LT_BER, {"", "", "0.006", "0.005"}),
              (Errors{false, false, true, true}));
    EXPECT_EQ(CheckRow(LimitRow::LT_BER, {"", "", "0.001", "x"}),
              (Errors{false, false, false, true}));
}

TEST(LimitBar, ThreeBandEdges) {
    const std::array<double, 4> ntp = {15, 19, 24, 30};
    const LimitBarBounds b = BarBoundsFor(LimitRow::NTP, ntp);
    EXPECT_EQ(b.bands, 3);
    EXPECT_EQ(PassBand(b), 2);
    const std::pair<double, int> edges[] = {{-32768, 1}, {14, 1}, {15, 1}, {18.999, 1}, {19, 2},
                                            {23.999, 2}, {24, 3}, {30, 3}, {1e9, 3}};
    for (auto [x, band] : edges) {
        EXPECT_EQ(BandOf(b, x), band) << x;
        EXPECT_EQ(Passes(LimitRow::NTP, ntp, x), band == 2) << x;
    }
}

TEST(LimitBar, BerFromZeroAndFerWidened) {
    const LimitBarBounds ber = BarBoundsFor(LimitRow::LT_BER, {0, 0, 0.001, 0.005});
    EXPECT_EQ(ber.bands, 2);
    EXPECT_EQ(ber.L[0], 0);
    EXPECT_EQ(BandOf(ber, 0), 1);
    EXPECT_EQ(BandOf(ber, 0.000999), 1);
    EXPECT_EQ(BandOf(ber, 0.001), 2);  // MaxOK itself fails BER
    EXPECT_EQ(BandOf(ber, 0.01), 2);
    EXPECT_TRUE(Passes(LimitRow::LT_BER, {0, 0, 0.001, 0.005}, 0.0009));
    EXPECT_FALSE(Passes(LimitRow::LT_BER, {0, 0, 0.001, 0.005}, 0.001));

    const std::array<double, 4> fer = {0, 0, 5, 10};
    EXPECT_DOUBLE_EQ(BarBoundsFor(LimitRow::LT_FER, fer).L[1], 5.00001);
    EXPECT_TRUE(Passes(LimitRow::LT_FER, fer, 5));  // MaxOK itself passes FER
    EXPECT_TRUE(Passes(LimitRow::LT_FER, fer, 5.000009));
    EXPECT_FALSE(Passes(LimitRow::LT_FER, fer, 5.00001));
    EXPECT_FALSE(Passes(LimitRow::LT_FER, fer, 12));
}

TEST(LimitBar, BandRuleForOtherBandCounts) {
    LimitBarBounds b{1, {0, 1, 2, 3, 4, 5}};
    EXPECT_EQ(BandOf(b, 7), 1);
    b.bands = 4;
    EXPECT_EQ(BandOf(b, 3.5), 4);
    EXPECT_EQ(BandOf(b, 9), 4);
    b.bands = 5;
    EXPECT_EQ(BandOf(b, 3.5), 4);
    EXPECT_EQ(BandOf(b, 4), 5);
    EXPECT_EQ(BandOf(b, 2.5), 3);
}

}  // namespace
}  // namespace tavrin::common
