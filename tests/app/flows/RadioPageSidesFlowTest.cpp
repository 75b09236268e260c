// The PP and FP pages built from one radio test page: each side's controls, found by their
// object names as the setup files find them, send that side's commands and no other's.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "FakeTester.h"
#include "core/UpDown.h"

namespace tavrin::app::testing {
namespace {

using Lines = std::vector<std::string>;

// What the operator does to one control, by its object name: types a text and presses
// Enter, steps a stepper up once, or presses a button (enabled first).
struct Action {
    enum Kind { Type, StepUp, Press } kind;
    const char* name;
    QString text = {};
};

struct SideCase {
    const char* page;
    std::vector<Action> actions;
    Lines expected;
};

void ActOnSide(const SideCase& side) {
    SCOPED_TRACE(side.page);
    Program p;
    ASSERT_TRUE(p.started());
    auto* page = p.form->findChild<QWidget*>(side.page);
    ASSERT_NE(page, nullptr);
    p.form->PageControl->setCurrentWidget(page);
    ASSERT_TRUE(p.runUntil([&] { return p.settled(); }));
    p.tester.lines.clear();
    for (const Action& a : side.actions) {
        SCOPED_TRACE(a.name);
        switch (a.kind) {
            case Action::Type: {
                auto* edit = page->findChild<QLineEdit*>(a.name);
                ASSERT_NE(edit, nullptr);
                edit->setText(a.text);
                QTest::keyClick(edit, Qt::Key_Return);
                break;
            }
            case Action::StepUp: {
                auto* stepper = page->findChild<UpDown*>(a.name);
                ASSERT_NE(stepper, nullptr);
                stepper->step(+1);
                break;
            }
            case Action::Press: {
                auto* button = page->findChild<QPushButton*>(a.name);
                ASSERT_NE(button, nullptr);
                button->setEnabled(true);
                button->click();
                break;
            }
        }
    }
    EXPECT_EQ(p.tester.lines, side.expected);
    EXPECT_TRUE(p.dialogs.messages.empty());
}

// After the factory setup: CAT-iq slots on the PP page (dummy 0, traffic 4, steps of 4).
TEST(RadioPageSides, EachSideSendsItsOwnCommands) {
    ActOnSide(
        {"PP_TestTabSheet",
         {{Action::Type, "RFPIEdit", "0000000123"},
          {Action::StepUp, "DummySlotUpDown"},  // 0 -> 4, onto the traffic slot: it goes to 0
          {Action::StepUp, "DummyCarrierUpDown"},
          {Action::Type, "TrafficCarrierEdit", "3"},
          {Action::StepUp, "TrafficCarrierUpDown"},
          {Action::Type, "RFLevelEdit", "-70"},
          {Action::Type, "BEREdit", "2000"},
          {Action::Press, "ResetCountPPButton"}},
         {"CONF:PP:RFPI \"0000000123\"", "CONF:PP:DUMM:SLOT 4", "CONF:PP:TRAF:SLOT 0",
          "CONF:PP:DUMM:CARR 1", "CONF:PP:TRAF:CARR 3", "CONF:PP:TRAF:CARR 4", "CONF:PP:RF:LEV -70",
          "CONF:BER:EVAL:WIND 2000", "PROC:STRT:BER", "CONF:JITT:EVAL:WIND 2000"}});
    ActOnSide({"FP_TestTabSheet",
               {{Action::Type, "AntennaEdit", "3"},
                {Action::StepUp, "AntennaUpDown"},
                {Action::Type, "RFPI_FPEdit", "0000000123"},
                {Action::StepUp, "TrafficSlotFPUpDown"},
                {Action::Type, "TrafficCarrierFPEdit", "7"},
                {Action::Type, "RFLevelFPEdit", "-70"},
                {Action::Type, "BERFPEdit", "2000"},
                {Action::Press, "ResetCountFPButton"}},
               {"CONF:FP:ANT 3", "CONF:FP:ANT 4", "CONF:FP:RFPI \"0000000123\"",
                "CONF:FP:TRAF:SLOT 2", "CONF:FP:TRAF:CARR 7", "CONF:FP:RF:LEV -70",
                "CONF:BER:EVAL:WIND 2000", "PROC:STRT:BER"}});
}

}  // namespace
}  // namespace tavrin::app::testing
