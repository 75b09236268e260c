// The test pages' rules without widgets: entry checks, the RF level against the coupling loss,
// the slot rules, the carrier plan and the command tables.
#include <gtest/gtest.h>

#include "pages/CarrierPlan.h"
#include "pages/EntryRules.h"
#include "pages/OptionTables.h"
#include "pages/RFLevelRule.h"
#include "pages/SlotRules.h"

namespace tavrin::app {
namespace {

TEST(Numbers, StrictSoTheTextCanGoIntoACommandLine) {
    EXPECT_EQ(ParseInteger("-21"), -21);
    EXPECT_EQ(ParseInteger("+3"), 3);
    for (const char* bad : {"", " 1", "1 ", "0x10", "1.0", "5;SYST:RESET", "99999999999"})
        EXPECT_EQ(ParseInteger(bad), std::nullopt) << bad;
    EXPECT_EQ(ParseNumber("-80.5"), -80.5);
    EXPECT_EQ(ParseNumber(".5"), 0.5);
    EXPECT_EQ(ParseNumber("1e1"), 10.0);
    for (const char* bad : {"", "-", "1,5", "nan", "inf", "1e999", "-50;PROC:CONN:SET"})
        EXPECT_EQ(ParseNumber(bad), std::nullopt) << bad;
    EXPECT_EQ(FormatNumber(-50.5), "-50.5");
    EXPECT_EQ(FormatNumber(-40), "-40");
    EXPECT_EQ(FormatNumber(-0.0), "0");
}

TEST(EntryChecks, RfpiNeedsTenHexDigits) {
    EXPECT_TRUE(CheckRFPI("00000ABCDE", "0000000010").messages.isEmpty());
    const FieldCheck sixth = CheckRFPI("00000G0010", "0000000010");
    EXPECT_EQ(sixth.text, "0000000010");
    EXPECT_EQ(sixth.messages, QStringList{"Error. Setting default (0000000010)"});
    const FieldCheck five = CheckRFPI("12345", "0000000000");
    EXPECT_EQ(five.text, "0000000000");
    EXPECT_EQ(five.messages,
              QStringList{"RFPI must consist of 10 hex numbers. Setting default (0000000000)"});
    EXPECT_EQ(CheckRFPI("", "0000000010").messages,
              QStringList{"Error. Setting default (0000000010)"});
    // Ten good digits followed by more: the length message (a setup file can hold that).
    const FieldCheck longer = CheckRFPI("0123456789A", "0000000010");
    EXPECT_EQ(longer.messages,
              QStringList{"RFPI must consist of 10 hex numbers. Setting default (0000000010)"});
    EXPECT_EQ(RfpiCommand("CONF:FP:RFPI", "0000000000"), "CONF:FP:RFPI \"0000000000\"");
}

TEST(EntryChecks, BerCountKeepsTheLastValueAndAcceptsUpTo100000) {
    EXPECT_EQ(CheckBERCount("70000", 100).value, 70000);
    EXPECT_FALSE(CheckBERCount("100000", 100).kept);
    const FieldCheck over = CheckBERCount("100001", 250);
    EXPECT_TRUE(over.kept);
    EXPECT_EQ(over.text, "250");
    EXPECT_EQ(over.messages, QStringList{"Range error. Value not set."});
    EXPECT_EQ(CheckBERCount("0", 250).messages, QStringList{"Range error. Value not set."});
    EXPECT_EQ(CheckBERCount("x", 250).messages, QStringList{"Error. Value not set."});

    EXPECT_EQ(CheckResetCount("").messages, QStringList{"Error. Setting default (100)"});
    EXPECT_EQ(CheckResetCount("100001").text, "100");
    EXPECT_EQ(CheckResetCount("100001").messages,
              QStringList{"Range error. Setting default (100)"});
    EXPECT_EQ(CheckResetCount("70000").text, "70000");
}

TEST(EntryChecks, AveragingAndCouplingLoss) {
    EXPECT_EQ(CheckAveraging("200", 5).value, 200);
    const FieldCheck over = CheckAveraging("201", 5);
    EXPECT_TRUE(over.kept);
    EXPECT_EQ(over.text, "5");
    EXPECT_EQ(over.messages, QStringList{"Range error. Value not set.\n\nRange [1..200]."});
    EXPECT_EQ(CheckAveraging("a", 7).messages, QStringList{"Error. Value not set."});
    EXPECT_TRUE(CheckAveraging("", 7).messages.isEmpty());
    EXPECT_EQ(CheckAveraging("", 7).text, "7");

    EXPECT_EQ(CheckCouplingLoss("").text, "0");
    EXPECT_TRUE(CheckCouplingLoss("").messages.isEmpty());
    EXPECT_EQ(CheckCouplingLoss("10.5").text, "10.5");
    const FieldCheck loss = CheckCouplingLoss("100.5");
    EXPECT_EQ(loss.text, "0");
    EXPECT_EQ(loss.messages, QStringList{"Range error. Setting default (0)\n\nRange [0..100]."});
    EXPECT_EQ(CheckCouplingLoss("-1").text, "0");
    EXPECT_EQ(CheckCouplingLoss("abc").messages, QStringList{"Error. Setting default (0)"});
}

TEST(EntryChecks, AntennaGeneratorCarrierAndOffsets) {
    EXPECT_EQ(CheckAntenna("8").messages, QStringList{"Range error. Setting default (0)"});
    EXPECT_EQ(CheckAntenna("7").text, "7");
    EXPECT_EQ(CheckGeneratorCarrier("12", 9).text, "5");
    EXPECT_EQ(CheckGeneratorCarrier("12", 9).messages,
              QStringList{"Range error. Setting default (5)"});
    EXPECT_EQ(CheckGeneratorCarrier("x", 9).messages, QStringList{"Error. Setting default (5)"});
    // Offset-mode carriers are not range-checked here; a bad text silently becomes 0.
    EXPECT_EQ(CheckOffsetCarrier("99").text, "99");
    EXPECT_EQ(CheckOffsetCarrier("x").text, "0");
    EXPECT_TRUE(CheckOffsetCarrier("x").messages.isEmpty());
    // The typed offset accepts -22 (the stepper stops at -21); outside falls back silently.
    EXPECT_EQ(CheckCarrierOffset("-22").value, -22);
    EXPECT_EQ(CheckCarrierOffset("-23").text, "0");
    EXPECT_EQ(CheckCarrierOffset("4").text, "0");
    EXPECT_TRUE(CheckCarrierOffset("4").messages.isEmpty());
}

TEST(RFLevel, RangeFollowsTheCouplingLoss) {
    // Loss 10: -110..-50 is accepted.
    const LevelEntry high = CheckRFLevel("-30", 10, LevelMessage::WholeLoss);
    EXPECT_EQ(high.text, "-50");
    EXPECT_EQ(high.rangeMessage, "Range error. Setting default (-50)");
    EXPECT_TRUE(high.errorMessage.isEmpty());
    EXPECT_EQ(high.trackBarPosition, 60);
    const LevelEntry half = CheckRFLevel("-80.5", 10, LevelMessage::WholeLoss);
    EXPECT_EQ(half.text, "-80.5");
    EXPECT_TRUE(half.rangeMessage.isEmpty());
    EXPECT_EQ(half.trackBarPosition, 30);
    EXPECT_EQ(CheckRFLevel("-110", 10, LevelMessage::WholeLoss).trackBarPosition, 0);
    EXPECT_FALSE(CheckRFLevel("-110.5", 10, LevelMessage::WholeLoss).rangeMessage.isEmpty());

    // An empty field takes -40 - A without a message; a bad text with one.
    const LevelEntry empty = CheckRFLevel("", 10.5, LevelMessage::LossAsEntered);
    EXPECT_EQ(empty.text, "-50.5");
    EXPECT_TRUE(empty.errorMessage.isEmpty());
    EXPECT_TRUE(empty.rangeMessage.isEmpty());
    const LevelEntry bad = CheckRFLevel("abc", 0, LevelMessage::WholeLoss);
    EXPECT_EQ(bad.text, "-40");
    EXPECT_EQ(bad.errorMessage, "Error. Setting default (-40)");

    // Loss 10.5: the FP and generator message names -50.5, the PP one -50; the field -50.
    const LevelEntry fp = CheckRFLevel("0", 10.5, LevelMessage::LossAsEntered);
    EXPECT_EQ(fp.rangeMessage, "Range error. Setting default (-50.5)");
    EXPECT_EQ(fp.text, "-50");
    EXPECT_EQ(CheckRFLevel("0", 10.5, LevelMessage::WholeLoss).rangeMessage,
              "Range error. Setting default (-50)");

    EXPECT_DOUBLE_EQ(TrackBarLevel(30, 10), -80);
    EXPECT_DOUBLE_EQ(TrackBarLevel(75, 0), -40);  // clamped to the bar
    EXPECT_TRUE(LevelWithinLossRange(-50, 10));
    EXPECT_FALSE(LevelWithinLossRange(-49.5, 10));
    EXPECT_FALSE(LevelWithinLossRange(0, 0));  // the remembered level before the first commit
}

TEST(Slots, SteppingOntoTheOtherSlot) {
    EXPECT_EQ(CollisionMove(0, 0, 2), 2);
    EXPECT_EQ(CollisionMove(0, 0, 4), 4);  // CAT-iq
    EXPECT_EQ(CollisionMove(6, 6, 2), 0);
    EXPECT_EQ(CollisionMove(6, 4, 2), std::nullopt);
}

TEST(Slots, TypedDummySlot) {
    const FieldCheck odd = CheckDummySlot("3", 2, 10);
    EXPECT_EQ(odd.text, "0");
    EXPECT_EQ(odd.messages, QStringList{"Range error. Setting default (0)"});
    // Out of range onto a traffic slot 0 goes to 4, and the collision check is skipped.
    EXPECT_EQ(CheckDummySlot("12", 0, 10).text, "4");
    EXPECT_EQ(CheckDummySlot("-2", 0, 10).messages,
              QStringList{"Range error. Setting default (4)"});
    EXPECT_EQ(CheckDummySlot("10", 0, 8).text, "4");  // CAT-iq maximum 8
    const FieldCheck same = CheckDummySlot("6", 6, 10);
    EXPECT_EQ(same.text, "0");
    EXPECT_EQ(same.messages, QStringList{"Settings error. Setting default (0)"});
    // Each check works on what the one before left: "x" becomes 0, which meets traffic 0.
    const FieldCheck chain = CheckDummySlot("x", 0, 10);
    EXPECT_EQ(chain.text, "4");
    EXPECT_EQ(chain.messages,
              (QStringList{"Error. Setting default (0)", "Settings error. Setting default (4)"}));
    EXPECT_EQ(CheckDummySlot("8", 2, 10).value, 8);
}

TEST(Slots, TypedTrafficSlot) {
    const FieldCheck same = CheckTrafficSlot("4", 4, 10);
    EXPECT_EQ(same.text, "0");
    EXPECT_EQ(same.messages, QStringList{"Settings error. Setting default (0)"});
    EXPECT_EQ(CheckTrafficSlot("2", 2, 10).text, "4");
    EXPECT_EQ(CheckTrafficSlot("5", 4, 10).messages,
              QStringList{"Range error. Setting default (2)"});
    EXPECT_EQ(CheckTrafficSlot("5", 0, 10).text, "4");
    const FieldCheck chain = CheckTrafficSlot("", 4, 10);
    EXPECT_EQ(chain.messages,
              (QStringList{"Error. Setting default (4)", "Settings error. Setting default (0)"}));
    EXPECT_EQ(chain.value, 0);
}

TEST(Slots, FPTrafficSlotAcceptsEleven) {
    EXPECT_EQ(CheckFPTrafficSlot("11", 10).value, 11);
    EXPECT_TRUE(CheckFPTrafficSlot("11", 10).messages.isEmpty());
    EXPECT_EQ(CheckFPTrafficSlot("3", 10).value, 3);
    EXPECT_EQ(CheckFPTrafficSlot("12", 10).text, "0");
    EXPECT_EQ(CheckFPTrafficSlot("12", 10).messages,
              QStringList{"Range error. Setting default (0)"});
    EXPECT_EQ(CheckFPTrafficSlot("y", 10).messages, QStringList{"Error. Setting default (0)"});
}

TEST(CarrierPlan, OrderTableIsItsOwnInverse) {
    const auto& order = CarrierOrder();
    for (int i = 0; i < kOrderSize; ++i) EXPECT_EQ(order[order[i]], i);
    EXPECT_EQ(order[0], 9);
    EXPECT_EQ(order[33], 33);
    // Bounded reads.
    EXPECT_EQ(OrderAt(-5), 9);
    EXPECT_EQ(OrderAt(40), 33);
    EXPECT_EQ(ReferenceStepperCarrier(21), 21);
    EXPECT_EQ(ReferenceStepperCarrier(32), 32);
    EXPECT_EQ(ReferenceStepperCarrier(33), 32);
}

TEST(CarrierPlan, CountryPresets) {
    EXPECT_EQ(CountryIndex("US"), 1);
    EXPECT_EQ(CountryIndex("Undef"), -1);
    EXPECT_EQ(CountryIndex(""), -1);
    const CountryPreset& us = CountryPresetAt(1);
    EXPECT_EQ(us.offset, -18);
    EXPECT_EQ(us.usedCarriers, 5);
    EXPECT_EQ(us.highestCarrier, 4);
    EXPECT_EQ(us.referencePosition, 27);
    EXPECT_EQ(CountryPresetAt(2).highestCarrier, std::nullopt);
    EXPECT_EQ(CountryPresetAt(5).referencePosition, 12);
    for (int other : {-1, 6, 99}) {
        EXPECT_EQ(CountryPresetAt(other).offset, 0);
        EXPECT_EQ(CountryPresetAt(other).usedCarriers, 10);
        EXPECT_EQ(CountryPresetAt(other).referencePosition, 9);
    }
}

TEST(CarrierPlan, ReferenceChecks) {
    const ReferenceChoice asia = CheckReference("21", false);
    EXPECT_EQ(asia.text, "21");
    EXPECT_EQ(asia.carrier, 21);
    EXPECT_EQ(asia.fourBelow, 17);
    const ReferenceChoice eu40 = CheckReference("40", true);
    EXPECT_EQ(eu40.text, "0");
    EXPECT_EQ(eu40.carrier, 0);
    EXPECT_EQ(eu40.fourBelow, 4);
    // Carriers 1..9 sit below position 9: not a reference; other countries fall back to 32.
    EXPECT_EQ(CheckReference("5", false).text, "32");
    EXPECT_EQ(CheckReference("5", false).carrier, 32);
    EXPECT_EQ(CheckReference("-1", false).carrier, 32);
    EXPECT_EQ(CheckReference("x", false).text, "0");
    EXPECT_EQ(CheckReference("x", false).carrier, 0);
}

TEST(CarrierPlan, ReferenceRewritesTheExtendedList) {
    CarrierPlan plan;
    EXPECT_EQ(plan.extendedList(), (std::array<int, 10>{9, 8, 7, 6, 5, 4, 3, 2, 1, 0}));
    plan.applyReference(21, 10);
    EXPECT_EQ(plan.extendedList(), (std::array<int, 10>{12, 13, 14, 15, 16, 17, 18, 19, 20, 21}));
    plan.applyReference(0, 10);
    EXPECT_EQ(plan.extendedList(), (std::array<int, 10>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));

    CarrierPlan twelve;
    twelve.applyReference(12, 5);
    EXPECT_EQ(twelve.extendedList()[0], 0);
    EXPECT_EQ(twelve.extendedList()[1], 1);
    EXPECT_EQ(twelve.extendedList()[2], 10);
    EXPECT_EQ(twelve.extendedList()[4], 12);
    // The working table is rewritten and never restored.
    EXPECT_EQ(twelve.workingOrder()[8], 0);
    EXPECT_EQ(twelve.workingOrder()[9], 1);
    // A count outside 1..10 is bounded, so the list is never written past its end.
    CarrierPlan odd;
    odd.applyReference(32, 50);
    EXPECT_EQ(odd.extendedList().back(), 32);
}

TEST(CarrierPlan, ExtendedLookupIsBounded) {
    CarrierPlan plan;
    plan.applyReference(21, 10);
    EXPECT_EQ(plan.findExtendedCarrier("15", 9), 3);
    EXPECT_EQ(plan.findExtendedCarrier("15", 2), std::nullopt);  // beyond the stepper's maximum
    EXPECT_EQ(plan.findExtendedCarrier("3", 13), std::nullopt);
    EXPECT_EQ(plan.extendedCarrierAt(13), 21);
    EXPECT_EQ(plan.extendedCarrierAt(-1), 12);
}

TEST(CarrierPlan, RangeTexts) {
    EXPECT_EQ(CarrierRangeText(false, 5, "0"), "[0..4]");
    EXPECT_EQ(CarrierRangeText(true, 10, "0"), "[0..9]");
    EXPECT_EQ(CarrierRangeText(true, 5, "0"), "[0..4]");
    EXPECT_EQ(CarrierRangeText(true, 10, "21"), "[12..21]");
    EXPECT_EQ(CarrierRangeText(true, 5, "12"), "[1..12]");
    // An uncommitted reference below the table's start stays inside it.
    EXPECT_EQ(CarrierRangeText(true, 10, "5"), "[9..4]");
    EXPECT_EQ(UsedCarriers("10"), 10);
    EXPECT_EQ(UsedCarriers("11"), std::nullopt);
    EXPECT_EQ(UsedCarriers("0"), std::nullopt);
    EXPECT_EQ(UsedCarriers("x"), std::nullopt);
}

TEST(OptionTables, SlotTypesAndTemplates) {
    EXPECT_EQ(SlotTypeCommand("PP", 2), "CONF:PP:TRAF:SIZE 80");
    EXPECT_EQ(SlotTypeCommand("FP", 1), "CONF:FP:TRAF:SIZE 40");
    EXPECT_EQ(SlotTypeCommand("PP", -1), "CONF:PP:TRAF:SIZE 0");
    EXPECT_EQ(TemplateForSlotType(2), 3);
    EXPECT_EQ(PowerTemplateCommand(0), "CONF:POW:PACK P32Z");
    EXPECT_EQ(PowerTemplateCommand(4), "CONF:POW:PACK PP64Z");
    EXPECT_EQ(PowerTemplateCommand(-1), "CONF:POW:PACK P32Z");
    EXPECT_EQ(PowerTemplateCommand(5), "CONF:POW:PACK P32Z");
    EXPECT_EQ(SlotTypeItems(true), (QStringList{"Default", "P32Z", "P64Z"}));
    EXPECT_EQ(PowerTemplateItems(false), (QStringList{"Default", "P32Z", "PP32Z"}));
    EXPECT_EQ(PowerTemplateItems(true).size(), 5);
}

}  // namespace
}  // namespace tavrin::app
