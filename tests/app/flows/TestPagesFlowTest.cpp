// The PP, FP and generator pages and the radio options on the recording fake tester: the
// exact command lines of each activation and option, the messages, and what the pages ask of
// the link window.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTabWidget>

#include "FakeTester.h"
#include "core/SessionState.h"
#include "core/StateButton.h"
#include "core/UpDown.h"
#include "pages/BottomPanel.h"
#include "pages/FPTestPage.h"
#include "pages/PPTestPage.h"
#include "pages/RFGenPage.h"
#include "pages/RadioOptions.h"
#include "pages/SystemPage.h"

namespace tavrin::app::testing {
namespace {

using Lines = std::vector<std::string>;

// The six ramp fields of a Setup page, which each test page's activation commits.
const Lines kRampLines{"CALC:LIM:POW:RMPA -47", "CALC:LIM:POW:RMPB -16", "CALC:LIM:POW:RMPC 4",
                       "CALC:LIM:POW:RMPD 1",   "CALC:LIM:POW:RMPE -1",  "CALC:LIM:POW:RMPF -6"};

Lines Join(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// Records what the pages ask of the link window, in its place.
struct RecordingLinkWindow {
    explicit RecordingLinkWindow(SessionState& session) {
        QObject::disconnect(&session, &SessionState::linkWindowRequested, nullptr, nullptr);
        QObject::connect(&session, &SessionState::linkWindowRequested, [this](LinkRequest r) {
            static const char* const kNames[] = {"openPPConnect",           "openFPStatus",
                                                 "openFPConnect",           "closeLinkWindow",
                                                 "closeMeasurementWindows", "closeChartWindows",
                                                 "reopenModulationWindow"};
            calls.push_back(kNames[static_cast<int>(r)]);
        });
    }
    std::vector<std::string> calls;
};

struct Pages {
    Pages() { EXPECT_TRUE(p.started()); }
    // Shows a page and returns the lines its activation sent.
    Lines activate(QWidget* page) {
        p.tester.lines.clear();
        f.PageControl->setCurrentWidget(page);
        EXPECT_TRUE(p.runUntil([&] { return p.settled(); }));
        return take();
    }
    // The lines sent since the last look.
    Lines take() {
        Lines out;
        out.swap(p.tester.lines);
        return out;
    }
    // Types into a field and presses Enter, which commits it.
    void enter(QLineEdit* edit, const QString& text) {
        edit->setText(text);
        QTest::keyClick(edit, Qt::Key_Return);
    }

    Program p;
    TWenloForm& f = *p.form;
    SystemPage& s = *f.SystemTabSheet;
    PPTestPage& pp = *f.PP_TestTabSheet;
    FPTestPage& fp = *f.FP_TestTabSheet;
    RFGenPage& gen = *f.RF_GenTabSheet;
    BottomPanel& panel = *f.AlwaysPanel;
    RecordingLinkWindow link{f.session()};
};

// The program starts with the factory setup (no Default.cfg here): dummy slot 0, traffic
// slot 4, level -60 dBm, pattern FIG31.
TEST(PPPage, ActivationInLoopbackAfterTheFactorySetup) {
    Pages t;
    const Lines lines = t.activate(&t.pp);
    const Lines expected{
        "PROC:SEL:TEST MAN",    "CONF:TEST:TYPE DPP",  "CONF:PP:RFPI \"0000000010\"",
        "CONF:PP:DUMM:SLOT 0",  "CONF:PP:DUMM:CARR 0", "CONF:PP:TRAF:SLOT 4",
        "CONF:PP:TRAF:CARR 0",  "CONF:CARR:OFFS 0",    "CONF:PP:SIGN:MODE LOOP",
        "CONF:BER:DATA FIG31",  "CONF:PP:TRAF:SIZE 0", "CONF:PP:RF:LEV -60",
        "CONF:PP:RF:LEV -60",   "CONF:ATT:RX ON",      "PROC:SAMP:FORC",
        "CONF:POW:DYN:RANG LOW"};
    EXPECT_EQ(lines, Join({expected, kRampLines}));
    EXPECT_TRUE(t.p.dialogs.messages.empty());
    EXPECT_EQ(t.pp.RFLevelEdit->text(), "-60");
    EXPECT_EQ(t.pp.RFLevelTrackBar->value(), 40);
    EXPECT_EQ(t.f.session().activePage(), TestPage::PP);
    EXPECT_TRUE(t.pp.GroupBox3->isVisible());
    // CAT-iq (ticked by design): slots 0, 4, 8.
    EXPECT_EQ(t.pp.DummySlotPPLabel->text(), "Dummy Slot [0,4,8]");
    EXPECT_EQ(t.f.session().slotMaximum(), 8);
    EXPECT_EQ(t.pp.DummyCarrierPPLabel->text(), "Dummy Carrier [0..9]");
}

TEST(PPPage, DesignSlotsCollideAndTheDummySlotMovesAway) {
    Pages t;
    t.pp.DummySlotEdit->setText("0");
    t.pp.TrafficSlotEdit->setText("0");
    t.pp.trafficSlot = 0;
    const Lines lines = t.activate(&t.pp);
    EXPECT_EQ(lines.at(3), "CONF:PP:DUMM:SLOT 4");
    EXPECT_EQ(lines.at(5), "CONF:PP:TRAF:SLOT 0");
    EXPECT_EQ(t.p.dialogs.messages, std::vector<QString>{"Settings error. Setting default (4)"});
}

TEST(PPPage, EchoReRunsTheActivationWithoutDataPatterns) {
    Pages t;
    t.pp.BS33RadioButton->setChecked(true);
    t.activate(&t.pp);
    t.pp.EchoRadioButton->click();
    EXPECT_TRUE(t.take().empty());  // one DummyTimer tick later
    ASSERT_TRUE(t.p.runUntil([&] { return t.p.settled(); }));
    const Lines expected{
        "PROC:SEL:TEST MAN",   "CONF:TEST:TYPE DPP",  "CONF:PP:RFPI \"0000000010\"",
        "CONF:PP:DUMM:SLOT 0", "CONF:PP:DUMM:CARR 0", "CONF:PP:TRAF:SLOT 4",
        "CONF:PP:TRAF:CARR 0", "CONF:CARR:OFFS 0",    "CONF:PP:SIGN:MODE ECHO",
        "CONF:PP:TRAF:SIZE 0", "CONF:PP:RF:LEV -60",  "CONF:PP:RF:LEV -60",
        "CONF:ATT:RX ON",      "PROC:SAMP:FORC",      "CONF:POW:DYN:RANG LOW"};
    EXPECT_EQ(t.take(), Join({expected, kRampLines}));
    EXPECT_FALSE(t.pp.GroupBox3->isVisible());
    EXPECT_FALSE(t.pp.GroupBox3->isEnabled());
    t.pp.LOOPRadioButton->click();
    ASSERT_TRUE(t.p.runUntil([&] { return t.p.settled(); }));
    const Lines back = t.take();
    EXPECT_EQ(std::count(back.begin(), back.end(), "CONF:BER:DATA BS33"), 1);
    EXPECT_TRUE(t.pp.GroupBox3->isVisible());
}

TEST(PPPage, SteppingTheDummySlotOntoTheTrafficSlot) {
    Pages t;
    // Without CAT-iq the slots step by 2.
    t.s.OptionEnable->click();
    ASSERT_TRUE(t.p.runUntil([&] { return t.p.settled() && t.s.TimeAfterReset->text() == ""; }));
    t.activate(&t.pp);
    EXPECT_EQ(t.pp.DummySlotPPLabel->text(), "Dummy Slot [0,2,4,6,8,10]");
    ASSERT_EQ(t.pp.dummySlot, 0);
    ASSERT_EQ(t.pp.trafficSlot, 4);
    t.pp.DummySlotUpDown->step(+1);
    t.pp.DummySlotUpDown->step(+1);  // 0 -> 2 -> 4, onto the traffic slot 4: it goes to 0
    EXPECT_EQ(t.take(), (Lines{"CONF:PP:DUMM:SLOT 2", "CONF:PP:TRAF:SLOT 4", "CONF:PP:DUMM:SLOT 4",
                               "CONF:PP:TRAF:SLOT 0"}));
    EXPECT_EQ(t.pp.TrafficSlotEdit->text(), "0");
    t.pp.DummySlotUpDown->step(-1);
    t.pp.DummySlotUpDown->step(-1);  // 4 -> 2 -> 0, onto the traffic slot 0: it goes to 2
    EXPECT_EQ(t.take(), (Lines{"CONF:PP:DUMM:SLOT 2", "CONF:PP:TRAF:SLOT 0", "CONF:PP:DUMM:SLOT 0",
                               "CONF:PP:TRAF:SLOT 2"}));
    EXPECT_EQ(t.pp.TrafficSlotEdit->text(), "2");
    EXPECT_EQ(t.pp.TrafficSlotUpDown->position(), 2);
    t.pp.DummySlotUpDown->step(-1);  // wraps from 0 to 10
    EXPECT_EQ(t.take(), (Lines{"CONF:PP:DUMM:SLOT 10", "CONF:PP:TRAF:SLOT 2"}));
    EXPECT_TRUE(t.p.dialogs.messages.empty());
}

TEST(PPPage, SteppingInCatIqModeMovesByFour) {
    Pages t;
    t.activate(&t.pp);
    t.pp.DummySlotUpDown->step(+1);  // 0 -> 4 onto traffic 4: traffic goes to 0
    EXPECT_EQ(t.take(), (Lines{"CONF:PP:DUMM:SLOT 4", "CONF:PP:TRAF:SLOT 0"}));
    t.pp.TrafficSlotUpDown->step(+1);  // 0 -> 4 onto dummy 4: dummy goes to 0
    EXPECT_EQ(t.take(), (Lines{"CONF:PP:TRAF:SLOT 4", "CONF:PP:DUMM:SLOT 0"}));
    t.pp.DummySlotUpDown->step(-1);  // wraps from 0 to 8
    EXPECT_EQ(t.take(), (Lines{"CONF:PP:DUMM:SLOT 8", "CONF:PP:TRAF:SLOT 4"}));
}

TEST(PPPage, TypedFieldsAndTheirMessages) {
    Pages t;
    t.activate(&t.pp);
    t.p.dialogs.messages.clear();
    t.enter(t.pp.DummySlotEdit, "3");  // traffic slot 4: the default is 0
    EXPECT_EQ(t.take(), Lines{"CONF:PP:DUMM:SLOT 0"});
    t.enter(t.pp.TrafficSlotEdit, "2");
    t.enter(t.pp.DummySlotEdit, "4");
    t.enter(t.pp.TrafficSlotEdit, "4");  // equal to the dummy slot 4
    EXPECT_EQ(t.take(),
              (Lines{"CONF:PP:TRAF:SLOT 2", "CONF:PP:DUMM:SLOT 4", "CONF:PP:TRAF:SLOT 0"}));
    t.enter(t.pp.RFPIEdit, "00000G0010");
    t.enter(t.pp.RFPIEdit, "12345");
    EXPECT_EQ(t.take(), (Lines{"CONF:PP:RFPI \"0000000010\"", "CONF:PP:RFPI \"0000000010\""}));
    t.enter(t.pp.DummyCarrierEdit, "99");  // not range-checked in Offset mode
    t.enter(t.pp.TrafficCarrierEdit, "x");
    EXPECT_EQ(t.take(), (Lines{"CONF:PP:DUMM:CARR 99", "CONF:PP:TRAF:CARR 0"}));
    t.enter(t.pp.BEREdit, "70000");
    t.enter(t.pp.BEREdit, "100001");
    EXPECT_TRUE(t.take().empty());
    EXPECT_EQ(t.pp.berCount, 70000);
    EXPECT_EQ(t.pp.BEREdit->text(), "70000");
    const std::vector<QString> expected{
        "Range error. Setting default (0)", "Settings error. Setting default (0)",
        "Error. Setting default (0000000010)",
        "RFPI must consist of 10 hex numbers. Setting default (0000000010)"};
    EXPECT_EQ(std::vector<QString>(t.p.dialogs.messages.begin(), t.p.dialogs.messages.end() - 1),
              expected);
    EXPECT_EQ(t.p.dialogs.messages.back(), "Range error. Value not set.");

    t.pp.ResetCountPPButtonClick();
    EXPECT_EQ(t.take(),
              (Lines{"CONF:BER:EVAL:WIND 70000", "PROC:STRT:BER", "CONF:JITT:EVAL:WIND 70000"}));
}

TEST(PPPage, LevelAgainstCouplingLoss10) {
    Pages t;
    t.enter(t.panel.RFAttenuationEdit, "10");
    t.activate(&t.pp);
    t.p.dialogs.messages.clear();
    t.enter(t.pp.RFLevelEdit, "-30");
    EXPECT_EQ(t.pp.RFLevelEdit->text(), "-50");
    EXPECT_EQ(t.p.dialogs.messages, std::vector<QString>{"Range error. Setting default (-50)"});
    t.enter(t.pp.RFLevelEdit, "-80.5");
    EXPECT_EQ(t.pp.RFLevelEdit->text(), "-80.5");
    EXPECT_EQ(t.pp.RFLevelTrackBar->value(), 30);
    EXPECT_EQ(t.take(), (Lines{"CONF:PP:RF:LEV -50", "CONF:PP:RF:LEV -80.5"}));
    // The track bar sends its level only when it changed.
    t.pp.RFLevelTrackBar->setValue(40);
    t.pp.RFLevelTrackBar->setValue(40);
    EXPECT_EQ(t.take(), Lines{"CONF:PP:RF:LEV -70"});
    EXPECT_EQ(t.pp.RFLevelEdit->text(), "-70");
    // Off the page the range message stays away and nothing is sent.
    t.activate(&t.fp);
    t.p.dialogs.messages.clear();
    t.enter(t.pp.RFLevelEdit, "-30");
    EXPECT_TRUE(t.p.dialogs.messages.empty());
    EXPECT_EQ(t.pp.RFLevelEdit->text(), "-50");
    EXPECT_TRUE(t.take().empty());
}

TEST(PPPage, SlotTypeIndex2SendsTheLongSlotAndItsTemplate) {
    Pages t;
    t.activate(&t.pp);
    ASSERT_EQ(t.pp.SlotLengthCombo->count(), 3);  // CAT-iq adds P64Z
    t.pp.SlotLengthCombo->setCurrentIndex(2);
    Q_EMIT t.pp.SlotLengthCombo->activated(2);
    EXPECT_EQ(t.take(), (Lines{"CONF:PP:TRAF:SIZE 80", "CONF:POW:PACK P64Z"}));
    EXPECT_EQ(t.pp.PTemplateSelectPP->currentIndex(), 3);
    EXPECT_EQ(t.fp.SlotLengthFPCombo->currentIndex(), 2);
    EXPECT_EQ(t.fp.PTemplateSelectFP->currentIndex(), 3);
    EXPECT_FLOAT_EQ(t.f.session().timeBase().windowLength, 7092.0f);
    EXPECT_EQ(std::count(t.link.calls.begin(), t.link.calls.end(), "reopenModulationWindow"), 2);
    // The next activation sends the long slot with the rest.
    t.pp.LOOPRadioButton->click();
    ASSERT_TRUE(t.p.runUntil([&] { return t.p.settled(); }));
    const Lines again = t.take();
    EXPECT_EQ(std::count(again.begin(), again.end(), "CONF:PP:TRAF:SIZE 80"), 1);
    t.fp.SlotLengthFPCombo->setCurrentIndex(0);
    Q_EMIT t.fp.SlotLengthFPCombo->activated(0);
    // Index 0 leaves the template alone; its handler re-sends the chosen one.
    EXPECT_EQ(t.take(), (Lines{"CONF:FP:TRAF:SIZE 0", "CONF:POW:PACK P64Z"}));
    EXPECT_FLOAT_EQ(t.f.session().timeBase().windowLength, 4225.0f);
}

TEST(PPPage, ConnectSendsOnceAndReleaseSendsNothing) {
    Pages t;
    t.activate(&t.pp);
    t.pp.ConnectPPButton->click();
    EXPECT_EQ(t.take(), Lines{"PROC:CONN:SET"});
    EXPECT_EQ(t.pp.ConnectPPButton->text(), "&Release");
    EXPECT_EQ(t.pp.ConnectPPButton->tag, 0);
    EXPECT_TRUE(t.f.session().countResetPending(TestSide::PP));
    EXPECT_FALSE(t.pp.Mode->isEnabled());
    t.pp.ConnectPPButton->click();
    EXPECT_TRUE(t.take().empty());
    EXPECT_EQ(t.pp.ConnectPPButton->text(), "&Connect");
    EXPECT_TRUE(t.pp.Mode->isEnabled());
    EXPECT_EQ(t.link.calls, (std::vector<std::string>{"openPPConnect", "closeLinkWindow"}));
    // Leaving the page closes the measurement windows.
    t.activate(&t.fp);
    EXPECT_EQ(t.link.calls.back(), "closeMeasurementWindows");
}

TEST(FPPage, ActivationAndItsChecks) {
    Pages t;
    const Lines fields{"PROC:SEL:TEST MAN",   "CONF:TEST:TYPE DFP",
                       "CONF:FP:ANT 0",       "CONF:FP:RFPI \"0000000000\"",
                       "CONF:FP:TRAF:SLOT 0", "CONF:FP:TRAF:CARR 0",
                       "CONF:CARR:OFFS 0"};
    const Lines rest{"CONF:FP:SIGN:MODE LOOP", "CONF:BER:DATA FIG31", "CONF:POW:DYN:RANG LOW",
                     "CONF:FP:RF:LEV -60",     "CONF:FP:RF:LEV -60",  "CONF:ATT:RX ON",
                     "PROC:SAMP:FORC"};
    EXPECT_EQ(t.activate(&t.fp), Join({fields, kRampLines, rest}));
    EXPECT_TRUE(t.p.dialogs.messages.empty());
    EXPECT_EQ(t.f.session().activePage(), TestPage::FP);
    EXPECT_FALSE(t.fp.DummyCarrierFPEdit->isEnabled());

    t.enter(t.fp.AntennaEdit, "8");
    t.enter(t.fp.TrafficSlotFPEdit, "11");
    t.enter(t.fp.TrafficSlotFPEdit, "12");
    EXPECT_EQ(t.take(), (Lines{"CONF:FP:ANT 0", "CONF:FP:TRAF:SLOT 11", "CONF:FP:TRAF:SLOT 0"}));
    EXPECT_EQ(t.p.dialogs.messages, (std::vector<QString>{"Range error. Setting default (0)",
                                                          "Range error. Setting default (0)"}));
    // Coupling loss 10.5: the message names -50.5, the field takes -50.
    t.enter(t.panel.RFAttenuationEdit, "10.5");
    t.take();
    t.p.dialogs.messages.clear();
    t.enter(t.fp.RFLevelFPEdit, "0");
    EXPECT_EQ(t.p.dialogs.messages, std::vector<QString>{"Range error. Setting default (-50.5)"});
    EXPECT_EQ(t.fp.RFLevelFPEdit->text(), "-50");
    t.fp.BERFPEdit->setText("250");
    t.fp.ResetCountFPButtonClick();
    EXPECT_EQ(t.take(), (Lines{"CONF:FP:RF:LEV -50", "CONF:BER:EVAL:WIND 250", "PROC:STRT:BER"}));
}

TEST(FPPage, StatusConnectReleaseSendOneConnect) {
    Pages t;
    t.activate(&t.fp);
    t.fp.StatusFPButton->click();
    EXPECT_TRUE(t.take().empty());
    EXPECT_EQ(t.fp.StatusFPButton->text(), "&Connect");
    EXPECT_FALSE(t.fp.StatusFPButton->isEnabled());
    EXPECT_TRUE(t.f.session().countResetPending(TestSide::FP));
    t.fp.StatusFPButton->setEnabled(true);  // the status poll saw the fixed part locked
    t.fp.StatusFPButton->click();
    EXPECT_EQ(t.take(), Lines{"PROC:CONN:SET"});
    EXPECT_EQ(t.fp.StatusFPButton->text(), "&Release");
    EXPECT_FALSE(t.fp.FPMode->isEnabled());
    t.fp.StatusFPButton->click();
    EXPECT_TRUE(t.take().empty());
    EXPECT_EQ(t.fp.StatusFPButton->text(), "&Status");
    EXPECT_EQ(t.fp.StatusFPButton->tag, 0);
    EXPECT_TRUE(t.fp.FPMode->isEnabled());
    EXPECT_EQ(t.link.calls, (std::vector<std::string>{"openFPStatus", "openFPConnect",
                                                      "closeChartWindows", "closeLinkWindow"}));
}

TEST(GeneratorPage, ActivationWithBS33) {
    Pages t;
    t.gen.BS33GenRadioButton->setChecked(true);
    const Lines expected{"PROC:SEL:TEST MAN", "CONF:TEST:TYPE:RFGE 0", "CONF:RFGE:CARR 5",
                         "CONF:CARR:OFFS 0",  "CONF:RFGE:MOD BS33",    "CONF:FP:RF:LEV -60",
                         "CONF:FP:RF:LEV -60"};
    EXPECT_EQ(t.activate(&t.gen), expected);
    EXPECT_FALSE(t.panel.RxAttCheckBox->isEnabled());
    EXPECT_EQ(t.gen.RfGenCarrierLabel->text(), "Carrier [0..9]");

    t.enter(t.gen.CarrierGenEdit, "12");
    EXPECT_EQ(t.take(), Lines{"CONF:RFGE:CARR 5"});
    EXPECT_EQ(t.p.dialogs.messages, std::vector<QString>{"Range error. Setting default (5)"});

    t.activate(&t.pp);
    EXPECT_TRUE(t.panel.RxAttCheckBox->isEnabled());
    // Off its page the generator's track bar updates the field and sends nothing.
    t.take();
    t.gen.RFLevelGenTrackBar->setValue(30);
    EXPECT_EQ(t.gen.RFLevelGenEdit->text(), "-70");
    EXPECT_TRUE(t.take().empty());
}

TEST(RadioOptions, UsInOffsetMode) {
    Pages t;
    t.take();
    t.s.Country->setCurrentIndex(1);
    Q_EMIT t.s.Country->activated(1);
    EXPECT_EQ(t.take(), (Lines{"CONF:TEST:EXTF 0", "CONF:CARR:REF 0", "CONF:NUMB:CARR 5",
                               "CONF:CARR:OFFS -18"}));
    EXPECT_EQ(t.s.TCarrierOffset->text(), "-18");
    EXPECT_EQ(t.s.CarrierOffsetUpDown->minimum(), -21);
    EXPECT_EQ(t.f.session().highestCarrier(), 4);
    EXPECT_EQ(t.pp.DummyCarrierPPLabel->text(), "Dummy Carrier [0..4]");
    EXPECT_EQ(t.fp.TrafficCarrierFPLabel->text(), "Traffic Carrier [0..4]");
    EXPECT_EQ(t.gen.RfGenCarrierLabel->text(), "Carrier [0..4]");
    EXPECT_EQ(t.gen.CarrierGenUpDown->maximum(), 4);
    EXPECT_EQ(t.s.TimeAfterReset->text(), "1");
    // Typing an offset makes the country "Undef"; -22 is accepted, 4 silently becomes 0.
    QTest::keyClicks(t.s.TCarrierOffset, "2");
    EXPECT_EQ(t.s.Country->currentText(), "Undef");
    t.enter(t.s.TCarrierOffset, "-22");
    t.enter(t.s.TCarrierOffset, "4");
    EXPECT_EQ(t.take(), (Lines{"CONF:CARR:OFFS -22", "CONF:CARR:OFFS 0"}));
    EXPECT_TRUE(t.p.dialogs.messages.empty());
}

TEST(RadioOptions, AsiaInExtendedMode) {
    Pages t;
    t.take();
    t.s.Country->setCurrentIndex(2);
    t.s.ExtendedFrequencies->click();
    EXPECT_EQ(t.take(), (Lines{"CONF:TEST:EXTF 1", "CONF:CARR:REF 21", "CONF:CARR:REF 21",
                               "CONF:NUMB:CARR 10", "CONF:CARR:OFFS 0"}));
    EXPECT_EQ(t.s.ExtendedRefUpDown->position(), 21);
    EXPECT_EQ(t.s.ExtendedRef->text(), "21");
    EXPECT_EQ(t.f.radioOptions().carrierPlan().extendedList(),
              (std::array<int, 10>{12, 13, 14, 15, 16, 17, 18, 19, 20, 21}));
    EXPECT_TRUE(t.s.ExtendedRef->isEnabled());
    EXPECT_FALSE(t.s.TCarrierOffset->isEnabled());
    EXPECT_EQ(t.pp.DummyCarrierEdit->text(), "17");  // four positions below the reference

    // The pages show and send the extended carriers.
    const Lines pp = t.activate(&t.pp);
    EXPECT_EQ(t.pp.DummyCarrierPPLabel->text(), "Dummy Carrier [12..21]");
    EXPECT_EQ(std::count(pp.begin(), pp.end(), "CONF:PP:DUMM:CARR 17"), 1);
    EXPECT_EQ(t.pp.DummyCarrierUpDown->position(), 5);
    t.pp.DummyCarrierUpDown->step(+1);
    EXPECT_EQ(t.take(), Lines{"CONF:PP:DUMM:CARR 18"});
    t.enter(t.pp.TrafficCarrierEdit, "3");  // not in the list: the carrier at the position
    EXPECT_EQ(t.take(), Lines{"CONF:PP:TRAF:CARR 17"});
    const Lines gen = t.activate(&t.gen);
    EXPECT_EQ(t.gen.RfGenCarrierLabel->text(), "Carrier [12..21]");
    EXPECT_EQ(gen.at(2), "CONF:RFGE:CARR 17");  // four below the reference, found in the list
    EXPECT_EQ(t.gen.CarrierGenUpDown->position(), 5);
}

TEST(RadioOptions, Reference12WithFiveCarriers) {
    Pages t;
    t.s.ExtendedFrequencies->click();
    t.take();
    t.s.NumberOfUsedCarriers->setCurrentText("5");
    Q_EMIT t.s.NumberOfUsedCarriers->activated(5);
    EXPECT_EQ(t.take(), (Lines{"CONF:CARR:REF 0", "CONF:NUMB:CARR 5"}));
    t.enter(t.s.ExtendedRef, "12");
    EXPECT_EQ(t.take(), Lines{"CONF:CARR:REF 12"});
    const auto& list = t.f.radioOptions().carrierPlan().extendedList();
    EXPECT_EQ((std::vector<int>(list.begin(), list.begin() + 5)),
              (std::vector<int>{0, 1, 10, 11, 12}));
    t.activate(&t.fp);
    EXPECT_EQ(t.fp.TrafficCarrierFPLabel->text(), "Traffic Carrier [1..12]");
    EXPECT_EQ(t.fp.TrafficCarrierFPUpDown->maximum(), 4);
    // 40 with country EU falls back to 0; the list becomes 0..9.
    t.take();
    t.enter(t.s.ExtendedRef, "40");
    EXPECT_EQ(t.take(), Lines{"CONF:CARR:REF 0"});
    EXPECT_EQ(t.s.ExtendedRef->text(), "0");
    EXPECT_EQ(t.f.radioOptions().carrierPlan().extendedList()[9], 9);
    // A count the list does not offer is not taken.
    t.s.NumberOfUsedCarriers->setCurrentText("20");
    t.f.radioOptions().NumberOfUsedCarriersChange();
    EXPECT_TRUE(t.take().empty());
    EXPECT_EQ(t.f.radioOptions().usedCarriers(), 5);
}

TEST(RadioOptions, CouplingLoss20WithTheAttenuatorTicked) {
    Pages t;
    t.activate(&t.pp);
    QSignalSpy range(&t.f.session(), &SessionState::powerChartRangeChanged);
    QSignalSpy loss(&t.f.session(), &SessionState::couplingLossChanged);
    ASSERT_TRUE(t.panel.RxAttCheckBox->isChecked());
    t.enter(t.panel.RFAttenuationEdit, "20");
    // The PP page was activated last: its level -40 lies outside -120..-60.
    EXPECT_EQ(t.take(), (Lines{"SENS:CORR:LOSS 20", "CONF:PP:RF:LEV -60"}));
    EXPECT_EQ(t.pp.RFLevelEdit->text(), "-60");
    EXPECT_EQ(t.f.session().powerChartRange(), (PowerRange{-30, 50}));
    ASSERT_EQ(range.count(), 1);
    EXPECT_EQ(range.at(0).at(0).toInt(), -30);
    EXPECT_EQ(range.at(0).at(1).toInt(), 50);
    EXPECT_EQ(loss.count(), 1);
    EXPECT_EQ(t.f.session().couplingLoss(), 20);

    // Unticking re-commits the loss only while the NTP window is shown.
    t.panel.RxAttCheckBox->click();
    EXPECT_EQ(t.take(), (Lines{"CONF:ATT:RX OFF", "PROC:SAMP:FORC"}));
    t.f.session().setPowerChartShown(true);
    t.panel.RxAttCheckBox->click();
    t.panel.RxAttCheckBox->click();
    EXPECT_EQ(t.take(), (Lines{"CONF:ATT:RX ON", "PROC:SAMP:FORC", "SENS:CORR:LOSS 20",
                               "CONF:PP:RF:LEV -60", "CONF:ATT:RX OFF", "PROC:SAMP:FORC",
                               "SENS:CORR:LOSS 20", "CONF:PP:RF:LEV -60"}));
    EXPECT_EQ(t.f.session().powerChartRange(), (PowerRange{-50, 30}));

    t.enter(t.panel.RFAttenuationEdit, "100.5");
    EXPECT_EQ(t.p.dialogs.messages.back(), "Range error. Setting default (0)\n\nRange [0..100].");
    EXPECT_EQ(t.take().at(0), "SENS:CORR:LOSS 0");
}

TEST(RadioOptions, SimpleOptionCommands) {
    Pages t;
    t.take();
    t.s.ExtRefSelect->click();
    t.s.Plus50kHz->click();
    t.s.Minus50kHz->click();
    t.s.Normal->click();
    t.s.DriftKhzSlot->click();
    t.s.DriftKhzMs->click();
    t.pp.ProPreamplePP->click();
    t.fp.ProPreampleFP->click();  // ticked by design: unticking
    t.pp.HighDynamicPPSelect->click();
    t.fp.HighDynamicFPSelect->click();
    const Lines expected{"CONF:SYNC:FREQ:REF E10M", "CONF:PP:FREQ:OFFS P50K",
                         "CONF:PP:FREQ:OFFS M50K",  "CONF:PP:FREQ:OFFS NORM",
                         "CONF:MOD:DRIF:UNIT SLOT", "CONF:MOD:DRIF:UNIT MS",
                         "CONF:PP:SIGN:PRO ON",     "CONF:PP:SIGN:PRO OFF",
                         "CONF:POW:DYN:RANG HIGH",  "CONF:POW:DYN:RANG HIGH"};
    EXPECT_EQ(t.take(), expected);
}

TEST(RadioOptions, AveragingGoesDirectlyAndOnlyWhenItChanges) {
    Pages t;
    QSignalSpy changed(&t.f.session(), &SessionState::averagingLengthChanged);
    t.p.tester.lines.clear();
    t.enter(t.panel.AverageFactorEdit, "5");
    t.enter(t.panel.AverageFactorEdit, "5");
    EXPECT_EQ(t.take(), Lines{"CONF:AVER:BURS 1"});
    EXPECT_EQ(t.f.session().averagingLength(), 5);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toInt(), 5);
    t.enter(t.panel.AverageFactorEdit, "201");
    EXPECT_EQ(t.panel.AverageFactorEdit->text(), "5");
    EXPECT_EQ(t.p.dialogs.messages.back(), "Range error. Value not set.\n\nRange [1..200].");
    // The direct line is neither counted nor echoed.
    EXPECT_EQ(t.f.wrappers().writeErrorCount, 0);
}

TEST(RadioOptions, FirstActivationAfterAUserResetAppliesTheCarrierMode) {
    Pages t;
    t.s.Country->setCurrentIndex(1);  // chosen without its handler
    t.s.ResetButton->click();
    ASSERT_TRUE(t.p.started());
    const Lines after = t.p.tester.linesSinceReset();
    EXPECT_EQ(std::count(after.begin(), after.end(), "CONF:TEST:EXTF 0"), 1);
    EXPECT_EQ(std::count(after.begin(), after.end(), "CONF:CARR:OFFS -18"), 1);
    EXPECT_EQ(t.s.TimeAfterReset->text(), "1");
    // The next activation without a reset leaves it alone.
    t.activate(&t.pp);
    const Lines again = t.activate(&t.s);
    EXPECT_EQ(std::count(again.begin(), again.end(), "CONF:TEST:EXTF 0"), 0);
}

TEST(EntryFields, FocusOutCommitsAndEnterIsSwallowed) {
    Pages t;
    t.activate(&t.fp);
    t.f.activateWindow();
    QApplication::setActiveWindow(&t.f);
    t.fp.AntennaEdit->setFocus(Qt::OtherFocusReason);
    t.fp.AntennaEdit->setText("3");
    t.fp.RFPI_FPEdit->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(t.take(), Lines{"CONF:FP:ANT 3"});
    // Enter commits and the field never sees the key.
    QSignalSpy returned(t.fp.RFPI_FPEdit, &QLineEdit::returnPressed);
    QTest::keyClick(t.fp.RFPI_FPEdit, Qt::Key_Return);
    EXPECT_EQ(returned.count(), 0);
    EXPECT_EQ(t.take(), Lines{"CONF:FP:RFPI \"0000000000\""});
}

}  // namespace
}  // namespace tavrin::app::testing
