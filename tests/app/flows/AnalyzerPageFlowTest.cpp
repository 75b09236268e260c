// The RF analyzer page on the recording fake: the "--analyzer" switch that keeps its tab, its
// activation, the analyzed carrier's checks, the self-test's command order and what it gives
// back, and the chart buttons with the charts' poll.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QLineSeries>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include "FakeTester.h"
#include "core/StartupOptions.h"
#include "core/StateButton.h"
#include "core/UpDown.h"
#include "display/TLinkConnectForm.h"
#include "display/TModulationForm.h"
#include "display/TNTPForm.h"
#include "pages/BottomPanel.h"
#include "pages/RFAnalyzerPage.h"
#include "pages/RFGenPage.h"
#include "shell/FrameChartHost.h"

namespace tavrin::app::testing {
namespace {

struct AnalyzerRun {
    AnalyzerRun() : program({"tavrin", "--Analyzer"}) {
        EXPECT_TRUE(program.started());
        page().CarrierAnalyzerEdit->setText("5");  // as the default setup loads it
        program.form->PageControl->setCurrentWidget(&page());
        EXPECT_TRUE(program.runUntil([this] { return tester().count("CONF:RFGE:CARR 5") == 1; }));
        program.settle();
    }
    RFAnalyzerPage& page() { return *program.form->RF_AnalyzerTabSheet; }
    FakeTester& tester() { return program.tester; }
    std::vector<std::string> sentSince(size_t mark) {
        return {tester().lines.begin() + static_cast<long>(mark), tester().lines.end()};
    }
    Program program;
};

TEST(AnalyzerPage, OnlyTheSwitchKeepsTheTabOfARecognisedModel) {
    EXPECT_TRUE(ParseStartupOptions({"tavrin", "--ANALYZER"}).analyzer);
    EXPECT_FALSE(ParseStartupOptions({"tavrin", "/DEBUG"}).analyzer);
    {
        Program plain;
        ASSERT_TRUE(plain.started());
        EXPECT_FALSE(plain.form->pageTabVisible(plain.form->RF_AnalyzerTabSheet));
        EXPECT_TRUE(plain.form->pageTabVisible(plain.form->RF_GenTabSheet));
    }
    AnalyzerRun run;
    EXPECT_TRUE(run.program.form->pageTabVisible(&run.page()));
    // The activation: test mode, generator type, carrier; the self-test's off state leaves
    // the user's RX attenuator tick alone.
    const auto& lines = run.tester().lines;
    const auto at = [&](const char* line) { return std::find(lines.begin(), lines.end(), line); };
    EXPECT_LT(at("PROC:SEL:TEST MAN"), at("CONF:TEST:TYPE:RFGE 0"));
    EXPECT_LT(at("CONF:TEST:TYPE:RFGE 0"), at("CONF:RFGE:CARR 5"));
    EXPECT_LT(at("CONF:RFGE:CARR 5"), at("CONF:RFGE:MOD OFF"));
    EXPECT_EQ(run.program.form->session().timeBase().windowLength, 268);
    EXPECT_TRUE(run.program.form->AlwaysPanel->RxAttCheckBox->isChecked());
    EXPECT_TRUE(run.program.dialogs.messages.empty());
}

TEST(AnalyzerPage, SelftestSendsItsCommandsInOrderAndGivesTheAttenuatorBack) {
    AnalyzerRun run;
    RFAnalyzerPage& page = run.page();
    QCheckBox* rx = run.program.form->AlwaysPanel->RxAttCheckBox;
    rx->setChecked(false);
    size_t mark = run.tester().lines.size();
    EXPECT_FALSE(page.STBS55RadioButton->isEnabled());
    page.EnableSelftestCheckBox->click();
    EXPECT_EQ(run.sentSince(mark),
              (std::vector<std::string>{"CONF:ATT:RX ON", "PROC:SAMP:FORC", "SENS:CORR:LOSS 0",
                                        "CONF:FP:RF:LEV -66", "CONF:RFGE:MOD BS55"}));
    EXPECT_TRUE(rx->isChecked());
    EXPECT_FALSE(rx->isEnabled());
    EXPECT_FALSE(run.program.form->AlwaysPanel->RFAttenuationEdit->isEnabled());
    EXPECT_TRUE(page.STBS0FRadioButton->isEnabled());
    EXPECT_EQ(run.program.form->ntpForm().powerRange(), (AxisRange{-50, 30}));

    mark = run.tester().lines.size();
    page.STBS0FRadioButton->click();
    EXPECT_EQ(run.sentSince(mark), (std::vector<std::string>{"CONF:RFGE:MOD BS0F"}));

    mark = run.tester().lines.size();
    page.EnableSelftestCheckBox->click();
    const std::vector<std::string> off = run.sentSince(mark);
    const std::vector<std::string> tail(off.end() - 4, off.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"CONF:RFGE:MOD OFF", "CONF:FP:RF:LEV \"MIN\"",
                                              "CONF:ATT:RX OFF", "PROC:SAMP:FORC"}));
    EXPECT_FALSE(rx->isChecked());
    EXPECT_TRUE(rx->isEnabled());
    EXPECT_FALSE(page.STBS33RadioButton->isEnabled());
}

TEST(AnalyzerPage, CarrierFallsBackToFiveWithTheMessage) {
    AnalyzerRun run;
    RFAnalyzerPage& page = run.page();
    page.CarrierAnalyzerEdit->setText("x");
    size_t mark = run.tester().lines.size();
    QTest::keyClick(page.CarrierAnalyzerEdit, Qt::Key_Return);
    ASSERT_EQ(run.program.dialogs.messages.size(), 1u);
    EXPECT_EQ(run.program.dialogs.messages[0], "Error. Setting default (5)");
    EXPECT_EQ(page.CarrierAnalyzerEdit->text(), "5");
    EXPECT_EQ(run.sentSince(mark),
              (std::vector<std::string>{"CONF:RFGE:CARR 5", "CONF:ATT:RX ON", "PROC:SAMP:FORC"}));
    page.CarrierAnalyzerEdit->setText("10");  // above the highest carrier, 9
    page.CarrierAnalyzerEditExit();
    EXPECT_EQ(run.program.dialogs.messages.back(), "Range error. Setting default (5)");
    page.CarrierAnalyzerUpDown->step(1);
    EXPECT_EQ(page.CarrierAnalyzerEdit->text(), "6");
    EXPECT_EQ(run.tester().count("CONF:RFGE:CARR 6"), 1);
    EXPECT_EQ(run.program.dialogs.messages.size(), 2u);
}

TEST(AnalyzerPage, ChartButtonsOpenTheChartsWithTheirPollAndTheCloseGivesItBack) {
    AnalyzerRun run;
    RFAnalyzerPage& page = run.page();
    TWenloForm& f = *run.program.form;
    page.Show_NTPButton->click();
    EXPECT_EQ(page.Show_NTPButton->text(), "Close Po&wer");
    EXPECT_EQ(page.Show_NTPButton->tag, 0);
    EXPECT_TRUE(f.ntpForm().isVisible());
    EXPECT_EQ(f.session().timeBase().unit, ChartUnit::Microseconds);
    EXPECT_EQ(f.linkForm().cmdUnit->text(), "Bit");  // the link window's switch follows
    // The poll captures and redraws while the page is shown.
    const int before = run.tester().count("PROC:SAMP:FORC");
    EXPECT_TRUE(
        run.program.runUntil([&] { return run.tester().count("PROC:SAMP:FORC") >= before + 3; }));
    EXPECT_EQ(f.ntpForm().MeasuredSeries->count(), 265);

    page.Show_ModulationButton->click();
    EXPECT_TRUE(f.modulationForm().isVisible());
    page.Show_NTPButton->click();
    EXPECT_FALSE(f.ntpForm().isVisible());
    EXPECT_EQ(page.Show_NTPButton->text(), "Show Po&wer");
    EXPECT_EQ(page.Show_NTPButton->tag, 1);
    // The modulation chart still runs.
    const int running = run.tester().count("PROC:SAMP:FORC");
    EXPECT_TRUE(
        run.program.runUntil([&] { return run.tester().count("PROC:SAMP:FORC") >= running + 3; }));

    // Leaving the page closes the modulation chart, restores its button and ends the poll.
    f.PageControl->setCurrentWidget(f.SystemTabSheet);
    EXPECT_FALSE(f.modulationForm().isVisible());
    EXPECT_EQ(page.Show_ModulationButton->tag, 1);
    EXPECT_EQ(page.Show_ModulationButton->text(), "Show &Modulation");
    run.program.settle();
    const int stopped = run.tester().count("PROC:SAMP:FORC");
    QTest::qWait(50);
    EXPECT_EQ(run.tester().count("PROC:SAMP:FORC"), stopped);
}

}  // namespace
}  // namespace tavrin::app::testing
