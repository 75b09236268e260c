// Start-up, reset and identification on the recording fake tester.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "FakeTester.h"
#include "core/UpDown.h"
#include "dialogs/TCommForm.h"
#include "dialogs/TNoConnectForm.h"
#include "dialogs/TResetForm.h"
#include "pages/BottomPanel.h"
#include "pages/FPTestPage.h"
#include "pages/PPTestPage.h"
#include "pages/RFAnalyzerPage.h"
#include "pages/RFGenPage.h"
#include "pages/SystemPage.h"
#include "setup/SetupPages.h"

namespace tavrin::app::testing {
namespace {

TEST(Startup, ResetsIdentifiesAndShowsTheSystemPage) {
    Program p;
    p.tester.busyPolls = 2;
    EXPECT_FALSE(p.form->isVisible());
    ASSERT_TRUE(p.started());
    TWenloForm& f = *p.form;
    SystemPage& s = *f.SystemTabSheet;

    EXPECT_EQ(f.windowTitle(), "Tavrin CAT-iq Enabled");
    EXPECT_EQ(s.VersionLabel->text(), "MMI Version : 3.2.0");
    EXPECT_EQ(s.BuildDateLabel->text(), "Build Date : Sep 11 2014");
    EXPECT_EQ(s.FirmwareLabel->text(), "V2.10 11.09.2014 ");
    EXPECT_EQ(s.SerialNumberLabel->text(), "0012AB34");
    EXPECT_EQ(s.PCDllLabel->text(), "3.2.0");
    EXPECT_EQ(s.HardWareIDLabel->text(), "Tavrin 1.0 2.0");
    EXPECT_EQ(f.PageControl->currentWidget(), f.SystemTabSheet);
    EXPECT_TRUE(f.PageControl->isEnabled());
    EXPECT_FALSE(f.resetForm().isVisible());
    EXPECT_EQ(f.resetForm().StatusText->text(), "OK");
    EXPECT_FLOAT_EQ(f.session().timeBase().clock, 10.368f);
    EXPECT_TRUE(f.pageTabVisible(f.PP_TestTabSheet));
    EXPECT_TRUE(f.pageTabVisible(f.FP_TestTabSheet));
    EXPECT_TRUE(f.pageTabVisible(f.RF_GenTabSheet));
    EXPECT_FALSE(f.pageTabVisible(f.RF_AnalyzerTabSheet));
    EXPECT_FALSE(p.exitCode.has_value());
    EXPECT_FALSE(f.startupInProgress());

    // The probe, the reset, three polls and the activation (with the coupling loss and the RX
    // attenuator), in this order.
    const std::vector<std::string> expected{"CONF:COMM:PORT USB",
                                            "CONF:COMM:PORT USB",
                                            "SYST:RESET",
                                            "STAT:DEV?",
                                            "STAT:DEV?",
                                            "STAT:DEV?",
                                            "SYST:FIRM:VERS?",
                                            "SYST:SER:NUM?",
                                            "*IDN?",
                                            "PROC:SEL:TEST NONE",
                                            "CONF:SAMPLE:MODE CTRL",
                                            "SYST:HW:VERS?",
                                            "SENS:CORR:LOSS 0",
                                            "CONF:ATT:RX ON",
                                            "PROC:SAMP:FORC",
                                            "CONF:MOD:DRIF:UNIT MS"};
    EXPECT_EQ(p.tester.lines, expected);
    // The start-up does not apply the carrier mode.
    EXPECT_EQ(s.TimeAfterReset->text(), "");
}

TEST(Startup, FrameAndPageHeights) {
    Program p;
    ASSERT_TRUE(p.started());
    TWenloForm& f = *p.form;
    EXPECT_EQ(f.size(), QSize(361, 416));
    EXPECT_EQ(f.PageControl->height(), 403);
    EXPECT_EQ(f.PageControl->count(), 7);
    const QStringList tabs{"S&ystem",      "PP-T&est",  "FP-&Test", "RF-&Gen",
                           "RF-&Analyzer", "Setup &PP", "Setup &FP"};
    for (int i = 0; i < tabs.size(); ++i) EXPECT_EQ(f.PageControl->tabText(i), tabs[i]);
    EXPECT_TRUE(f.AlwaysPanel->isVisible());

    f.PageControl->setCurrentWidget(f.SetupPPTabSheet);
    EXPECT_EQ(f.PageControl->height(), 471);
    EXPECT_FALSE(f.AlwaysPanel->isVisible());
    f.PageControl->setCurrentWidget(f.PP_TestTabSheet);
    EXPECT_EQ(f.PageControl->height(), 403);
    EXPECT_TRUE(f.AlwaysPanel->isVisible());
    EXPECT_EQ(f.size(), QSize(361, 416));
}

TEST(Startup, PageCommandsWaitOneDummyTimerTick) {
    Program p;
    ASSERT_TRUE(p.started());
    TWenloForm& f = *p.form;
    f.PageControl->setCurrentWidget(f.PP_TestTabSheet);
    EXPECT_EQ(f.dummyTimerTag(), 1);
    EXPECT_TRUE(f.DummyTimer->isActive());
    ASSERT_TRUE(p.runUntil([&] { return p.settled(); }));

    const size_t before = p.tester.lines.size();
    f.PageControl->setCurrentWidget(f.SystemTabSheet);
    EXPECT_EQ(p.tester.lines.size(), before);  // nothing goes out before the tick
    ASSERT_TRUE(p.runUntil([&] { return p.settled(); }));
    EXPECT_EQ(p.tester.lines.at(before), "SYST:FIRM:VERS?");
}

struct ModelCase {
    const char* answer;
    const char* base;
    const char* caption;
    int highest;
    int minimum;
    const char* range;
    bool countryShown;
    const char* label;
};

void PrintTo(const ModelCase& c, std::ostream* os) {
    *os << c.answer;
}

class ModelStartup : public ::testing::TestWithParam<ModelCase> {};

TEST_P(ModelStartup, PagesFollowTheModel) {
    const ModelCase& c = GetParam();
    Program p;
    p.tester.answers["SYST:HW:VERS?"] = c.answer;
    ASSERT_TRUE(p.started());
    TWenloForm& f = *p.form;
    EXPECT_EQ(f.captionBase(), c.base);
    EXPECT_EQ(f.windowTitle(), c.caption);
    EXPECT_EQ(f.session().highestCarrier(), c.highest);
    EXPECT_EQ(f.SystemTabSheet->HardWareIDLabel->text(), c.label);
    for (UpDown* u :
         {f.RF_GenTabSheet->CarrierGenUpDown, f.RF_AnalyzerTabSheet->CarrierAnalyzerUpDown,
          f.PP_TestTabSheet->DummyCarrierUpDown, f.PP_TestTabSheet->TrafficCarrierUpDown,
          f.FP_TestTabSheet->TrafficCarrierFPUpDown, f.FP_TestTabSheet->DummyCarrierFPUpDown}) {
        EXPECT_EQ(u->maximum(), c.highest);
        EXPECT_EQ(u->minimum(), c.minimum);
    }
    const QString range = c.range;
    EXPECT_EQ(f.PP_TestTabSheet->DummyCarrierPPLabel->text(), "Dummy Carrier " + range);
    EXPECT_EQ(f.FP_TestTabSheet->DummyCarrierFPLabel->text(), "Dummy Carrier " + range);
    EXPECT_EQ(f.PP_TestTabSheet->TrafficCarrierPPLabel->text(), "Traffic Carrier " + range);
    EXPECT_EQ(f.FP_TestTabSheet->TrafficCarrierFPLabel->text(), "Traffic Carrier " + range);
    EXPECT_EQ(f.RF_GenTabSheet->RfGenCarrierLabel->text(), "Carrier " + range);
    EXPECT_EQ(f.RF_AnalyzerTabSheet->RfAnalyzerCarrierLabel->text(), "Carrier " + range);
    SystemPage& s = *f.SystemTabSheet;
    for (QWidget* w : std::initializer_list<QWidget*>{
             s.Country, s.CountryLabel, s.NumberOfUsedCarriers, s.NumberOfUsedCarriersLabel,
             s.HighestCarrierLabel, s.ExtendedRef, s.ExtendedRefUpDown})
        EXPECT_EQ(w->isVisibleTo(&s), c.countryShown);
}

INSTANTIATE_TEST_SUITE_P(
    EveryModel, ModelStartup,
    ::testing::Values(
        ModelCase{"Sabrel_USB", "Sabrel", "Tavrin CAT-iq Enabled", 9, 0, "[0..9]", true,
                  "Sabrel USB"},
        ModelCase{"Pellis 1.2 3.4", "Pellis", "Pellis", 13, 0, "[0..13]", true, "Pellis 1.2 3.4"},
        ModelCase{"Tavrin 1.0 2.0", "Tavrin", "Tavrin CAT-iq Enabled", 9, 0, "[0..9]", true,
                  "Tavrin 1.0 2.0"},
        ModelCase{"Ulmet_USB", "Ulmet", "Ulmet", 7, 1, "[1..7]", false, "Ulmet USB"},
        ModelCase{"Quorin 2.0 1.0", "Quorin", "Quorin", 9, 0, "[0..9]", false, "Quorin 2.0 1.0"}),
    [](const ::testing::TestParamInfo<ModelCase>& info) { return std::string(info.param.base); });

TEST(Startup, NoIdleLeadsToTheNoConnectionDialog) {
    Program p;
    p.tester.neverIdle = true;
    ASSERT_TRUE(p.runUntil([&] { return p.form->noConnectForm().isVisible(); }));
    p.settle();
    EXPECT_FALSE(p.form->isVisible());
    EXPECT_FALSE(p.form->resetForm().isVisible());
    EXPECT_EQ(p.tester.count("STAT:DEV?"), 10);
    EXPECT_EQ(p.form->SystemTabSheet->ResetButton->text(), "&Reset");
    EXPECT_EQ(p.form->noConnectForm().windowTitle(), "No Connection");
    // No activation against a tester that did not answer.
    EXPECT_EQ(p.tester.count("SYST:FIRM:VERS?"), 0);
    EXPECT_FALSE(p.exitCode.has_value());
}

TEST(Startup, DebugModeRunsOnWithoutATester) {
    Program p({"tavrin", "/debug"});
    p.tester.neverIdle = true;
    ASSERT_TRUE(p.started());
    TWenloForm& f = *p.form;
    EXPECT_EQ(f.resetForm().StatusText->text(), "No Connection");
    EXPECT_EQ(f.resetForm().StatusText->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_FALSE(f.noConnectForm().isVisible());
    EXPECT_TRUE(f.commForm().isVisible());
    EXPECT_TRUE(f.SystemTabSheet->LogCommunicationCheckBox->isVisibleTo(f.SystemTabSheet));
    EXPECT_EQ(f.windowTitle(), "Tavrin Debug and CAT-iq Enabled");
    EXPECT_FALSE(p.exitCode.has_value());
    // The poll stopped with the wait.
    const int polls = p.tester.count("STAT:DEV?");
    p.settle();
    EXPECT_EQ(p.tester.count("STAT:DEV?"), polls);
}

TEST(Startup, PortProbeWithoutPortEndsTheProgram) {
    Program p;
    p.tester.portAnswer = "INV";
    ASSERT_TRUE(p.runUntil([&] { return p.exitCode.has_value(); }));
    EXPECT_EQ(*p.exitCode, 1);
    ASSERT_EQ(p.dialogs.messages.size(), 1u);
    EXPECT_EQ(p.dialogs.messages[0],
              "No communication-port has been allocated!      \nPlease check that no other "
              "application is      \nusing the available port(s)      \n\nPress OK to "
              "terminate the application");
    EXPECT_EQ(p.dialogs.offered[0], std::vector<MessageButton>{MessageButton::Ok});
    EXPECT_EQ(p.tester.lines, std::vector<std::string>{"CONF:COMM:PORT USB"});
    p.settle();
    EXPECT_FALSE(p.form->isVisible());
}

TEST(UnknownModel, AbortEndsTheProgram) {
    Program p;
    p.tester.answers["SYST:HW:VERS?"] = "INV";
    p.dialogs.answers = {MessageButton::Abort};
    ASSERT_TRUE(p.runUntil([&] { return p.exitCode.has_value(); }));
    EXPECT_EQ(p.dialogs.messages, std::vector<QString>{"No Valid hardware detected!"});
    EXPECT_EQ(p.dialogs.offered[0],
              (std::vector<MessageButton>{MessageButton::Abort, MessageButton::Retry,
                                          MessageButton::Ignore}));
    EXPECT_EQ(p.tester.lines.back(), "SYST:HW:VERS?");
}

TEST(UnknownModel, RetryResetsAgain) {
    Program p;
    p.tester.answers["SYST:HW:VERS?"] = "Nobody";
    p.dialogs.answers = {MessageButton::Retry};
    // The tester answers properly after the second reset.
    p.dialogs.onMessage = [&] { p.tester.answers["SYST:HW:VERS?"] = "Ulmet_USB"; };
    ASSERT_TRUE(p.runUntil([&] {
        return p.tester.count("SYST:RESET") == 2 && p.form->captionBase() == "Ulmet" &&
               p.settled() && p.form->SystemTabSheet->ResetButton->text() == "&Reset";
    }));
    EXPECT_EQ(p.dialogs.messages.size(), 1u);
    EXPECT_EQ(p.tester.count("SYST:HW:VERS?"), 2);
    EXPECT_FALSE(p.exitCode.has_value());
    EXPECT_TRUE(p.form->isVisible());
}

TEST(UnknownModel, IgnoreHidesTheTestPagesAndGoesOn) {
    Program p;
    p.tester.answers["SYST:HW:VERS?"] = "INV";
    p.dialogs.answers = {MessageButton::Ignore};
    ASSERT_TRUE(p.started());
    TWenloForm& f = *p.form;
    EXPECT_FALSE(f.pageTabVisible(f.PP_TestTabSheet));
    EXPECT_FALSE(f.pageTabVisible(f.FP_TestTabSheet));
    EXPECT_FALSE(f.pageTabVisible(f.RF_GenTabSheet));
    EXPECT_FALSE(f.pageTabVisible(f.RF_AnalyzerTabSheet));
    EXPECT_TRUE(f.pageTabVisible(f.SystemTabSheet));
    EXPECT_EQ(p.tester.lines.back(), "CONF:MOD:DRIF:UNIT MS");
    EXPECT_FLOAT_EQ(f.session().timeBase().clock, 10.0f);
}

TEST(Reset, SecondClickWhileWaitingDoesNothing) {
    Program p;
    ASSERT_TRUE(p.started());
    QPushButton* reset = p.form->SystemTabSheet->ResetButton;
    p.tester.busyPolls = 2;
    int clicksDuringWait = 0;
    p.tester.onWrite = [&](const std::string& line) {
        if (line == "STAT:DEV?") {
            EXPECT_EQ(reset->text(), "Wait");
            ++clicksDuringWait;
            reset->click();
        }
    };
    reset->click();
    ASSERT_TRUE(p.started());
    p.tester.onWrite = {};
    EXPECT_EQ(clicksDuringWait, 3);
    EXPECT_EQ(p.tester.count("SYST:RESET"), 2);
    EXPECT_EQ(p.tester.count("CONF:COMM:PORT USB"), 4);
    // A reset by the user applies the carrier mode in the activation that follows it.
    EXPECT_EQ(p.form->SystemTabSheet->TimeAfterReset->text(), "1");
    EXPECT_EQ(p.tester.linesSinceReset().at(3), "SYST:FIRM:VERS?");
}

TEST(Reset, ResetCountsFromZero) {
    Program p({"tavrin", "/DEBUG"});
    p.tester.failing.insert("SYST:SER:NUM?");
    ASSERT_TRUE(p.started());
    EXPECT_EQ(p.form->wrappers().writeErrorCount, 1);
    p.form->SystemTabSheet->ResetButton->click();
    ASSERT_TRUE(p.started());
    EXPECT_EQ(p.form->wrappers().writeErrorCount, 1);  // reset to 0, then the one failure again
}

TEST(Reset, ClosingTheResetDialogEndsTheProgram) {
    Program p;
    p.tester.neverIdle = true;
    p.tester.onWrite = [&](const std::string& line) {
        if (line == "STAT:DEV?" && p.tester.count("STAT:DEV?") == 2) p.form->resetForm().close();
    };
    ASSERT_TRUE(p.runUntil([&] { return p.exitCode.has_value(); }));
    p.settle();
    EXPECT_EQ(*p.exitCode, 0);
    EXPECT_EQ(p.tester.count("STAT:DEV?"), 2);
    EXPECT_FALSE(p.form->isVisible());
    EXPECT_FALSE(p.form->noConnectForm().isVisible());
}

TEST(CatIq, UntickingSendsNop0AndTickingResets) {
    Program p;
    ASSERT_TRUE(p.started());
    QCheckBox* option = p.form->SystemTabSheet->OptionEnable;
    const size_t before = p.tester.lines.size();
    option->click();
    ASSERT_TRUE(p.runUntil([&] { return p.tester.lines.size() > before && p.settled(); }));
    EXPECT_EQ(p.tester.lines.back(), "CONF:TEST NOP0");
    EXPECT_EQ(p.form->windowTitle(), "Tavrin CAT-iq Disabled");
    EXPECT_EQ(p.tester.count("SYST:RESET"), 1);

    option->click();
    ASSERT_TRUE(p.started());
    EXPECT_EQ(p.tester.count("SYST:RESET"), 2);
    EXPECT_EQ(p.form->windowTitle(), "Tavrin CAT-iq Enabled");
    EXPECT_EQ(p.tester.count("CONF:TEST NOP0"), 1);
}

TEST(CatIq, DebugCaptionWhenUnticked) {
    Program p({"tavrin", "/DEBUG"});
    ASSERT_TRUE(p.started());
    p.form->SystemTabSheet->OptionEnable->click();
    ASSERT_TRUE(p.runUntil([&] { return p.tester.lines.back() == "CONF:TEST NOP0"; }));
    EXPECT_EQ(p.form->windowTitle(), "Tavrin Debug Enabled - CAT-iq Disabled");
}

TEST(ResetClearsRadioChoices, AfterEveryReset) {
    Program p;
    ASSERT_TRUE(p.started());
    SystemPage& s = *p.form->SystemTabSheet;
    s.ExtRefSelect->setChecked(true);
    s.Plus50kHz->setChecked(true);
    s.ExtendedRef->setEnabled(true);
    p.form->PP_TestTabSheet->SlotLengthCombo->addItem("Long");
    p.form->PP_TestTabSheet->SlotLengthCombo->setCurrentIndex(1);
    s.ResetButton->click();
    ASSERT_TRUE(p.started());
    EXPECT_FALSE(s.ExtRefSelect->isChecked());
    EXPECT_TRUE(s.Normal->isChecked());
    EXPECT_FALSE(s.ExtendedRef->isEnabled());
    EXPECT_FALSE(s.ExtendedRefUpDown->isEnabled());
    EXPECT_EQ(p.form->PP_TestTabSheet->SlotLengthCombo->currentIndex(), 0);
}

TEST(Activation, DriftUnitFollowsTheChoice) {
    Program p;
    ASSERT_TRUE(p.started());
    p.form->SystemTabSheet->DriftKhzSlot->setChecked(true);
    p.form->PageControl->setCurrentWidget(p.form->PP_TestTabSheet);
    ASSERT_TRUE(p.runUntil([&] { return p.settled(); }));
    p.form->PageControl->setCurrentWidget(p.form->SystemTabSheet);
    ASSERT_TRUE(
        p.runUntil([&] { return p.settled() && p.tester.lines.back() != "SYST:HW:VERS?"; }));
    EXPECT_EQ(p.tester.lines.back(), "CONF:MOD:DRIF:UNIT SLOT");
    // A second activation without a reset leaves the carrier mode alone.
    EXPECT_EQ(p.form->SystemTabSheet->TimeAfterReset->text(), "");
}

}  // namespace
}  // namespace tavrin::app::testing
