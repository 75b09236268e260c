// The link measurement window on the recording fake: PP Connect to Release, the poll's
// colours and averages, the loopback gate, the Reset Count of the first poll, the release
// only while the link is up, the FP search with its traffic-slot correction, the logs, and a
// tester that stops answering mid-measurement.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include "FakeTester.h"
#include "core/StateButton.h"
#include "core/UpDown.h"
#include "display/TLinkConnectForm.h"
#include "display/TSlider.h"
#include "pages/BottomPanel.h"
#include "pages/FPTestPage.h"
#include "pages/LogSettings.h"
#include "pages/PPTestPage.h"

namespace tavrin::app::testing {
namespace {

using common::LimitRow;

const QColor kYellow(Qt::yellow);

QColor Base(const QLineEdit* field) {
    return field->palette().color(QPalette::Base);
}

// A started program on the fake, a linked device answering every measurement, and the link
// window's poll driven one tick at a time.
struct LinkRig {
    explicit LinkRig(std::vector<std::string> arguments = {"tavrin"})
        : program(std::move(arguments)) {
        FakeTester& t = program.tester;
        t.answers.insert({
            {"READ:SLOT:SIZE?", "40"},
            {"FETCH:PACK:DEL?", "1.50"},
            {"READ:TIME:ACC?", "0.20"},
            {"READ:NTP?", "22.5"},
            {"FETCH:JITT?", "0.10,-0.20"},
            {"READ:FREQ:OFFS?", "12000"},
            {"READ:BF?", "330000,-330000"},
            {"READ:SF?", "331000,-329000"},
            {"READ:FREQ:DRIF?", "200"},
            {"FETC:BER:LTER?", "0.00010,0.00000"},
            {"READ:CRC?", "1"},
        });
        EXPECT_TRUE(program.started());
    }
    TWenloForm& form() { return *program.form; }
    TLinkConnectForm& link() { return form().linkForm(); }
    PPTestPage& pp() { return *form().PP_TestTabSheet; }
    FPTestPage& fp() { return *form().FP_TestTabSheet; }

    void showPage(QWidget* page) {
        form().PageControl->setCurrentWidget(page);
        EXPECT_TRUE(program.runUntil([this] { return program.settled(); }));
        program.settle();
    }
    // Connects on the PP page and stops the running poll, so each tick is the test's own.
    void connectPP() {
        showPage(&pp());
        program.tester.linkState = "DCE";
        pp().ConnectPPButton->click();
        hold();
    }
    void hold() {
        link().GraphTimer->stop();
        link().StatusTimer->stop();
    }
    void poll(int times = 1) {
        for (int i = 0; i < times; ++i) {
            link().GraphTimerTimer();
            link().GraphTimer->stop();
        }
    }
    std::vector<std::string> linesFrom(size_t first) const {
        const auto& lines = program.tester.lines;
        return {lines.begin() + static_cast<long>(std::min(first, lines.size())), lines.end()};
    }

    Program program;
};

TEST(LinkWindow, PPConnectShowsLiveValuesAgainstTheLimitsAndReleases) {
    LinkRig r;
    r.showPage(&r.pp());
    const size_t before = r.program.tester.lines.size();
    r.program.tester.linkState = "DCE";
    r.pp().ConnectPPButton->click();
    TLinkConnectForm& l = r.link();
    ASSERT_TRUE(l.isVisible());
    EXPECT_EQ(l.windowTitle(), "PP Connect");
    EXPECT_FALSE(l.StatusGroup->isVisible());
    EXPECT_FALSE(l.cmdUnit->isVisible());
    EXPECT_EQ(l.TimeLabel->text(), "Packet Delay (uS)");
    // The window polls on its own.
    ASSERT_TRUE(r.program.runUntil([&] { return l.NTPEdit->text() == "22.5"; }));
    r.hold();
    r.poll();
    EXPECT_EQ(r.program.tester.count("PROC:CONN:SET"), 1);
    EXPECT_EQ(l.PPStatEdit->text(), "DCE");
    EXPECT_EQ(Base(l.PPStatEdit), QColor(0, 255, 0));
    EXPECT_EQ(l.SLOTSIZE->text(), "P32Z");
    EXPECT_EQ(l.TIMEACC->text(), "1.5");
    EXPECT_EQ(l.FrequencyOffsetEdit->text(), "12.0");
    EXPECT_EQ(l.BFieldModulationEdit->text(), "330.0");
    EXPECT_EQ(l.PSFieldModulationEdit->text(), "331.0");
    EXPECT_EQ(l.FrequencyDriftEdit->text(), "0.2");
    EXPECT_EQ(l.JitterMaxPos->text(), "0.1");
    EXPECT_EQ(l.JitterMaxNeg->text(), "-0.2");
    EXPECT_TRUE(l.Sync->isChecked() && l.ZField->isChecked());
    EXPECT_NE(Base(l.NTPEdit), kYellow);  // N = 1: never settling
    // Every bar built from the factory limits and green (band 2 of three, band 1 of two).
    for (const common::LimitRowSpec& entry : common::LimitRows()) {
        const TSlider* bar = l.bar(entry.row);
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->band(), entry.fourLimits ? 2 : 1) << entry.stem;
    }
    // The page's fields are locked while the link is up.
    EXPECT_FALSE(r.pp().RFPIEdit->isEnabled());
    EXPECT_FALSE(r.pp().TrafficCarrierUpDown->isEnabled());
    // One poll: the state straight from the library, then each ticked measurement.
    const size_t pollStart = r.program.tester.lines.size();
    r.poll();
    EXPECT_EQ(r.linesFrom(pollStart),
              (std::vector<std::string>{"STAT:DEV?", "PROC:SAMP:FORC", "READ:SLOT:SIZE?",
                                        "FETCH:PACK:DEL?", "READ:NTP?", "FETCH:JITT?",
                                        "READ:FREQ:OFFS?", "READ:BF?", "READ:SF?",
                                        "READ:FREQ:DRIF?", "FETC:BER:LTER?", "READ:CRC?"}));
    // The first poll restarted the long-term counters before BER/FER were read.
    const std::vector<std::string> lines = r.linesFrom(before);
    const auto restart = std::find(lines.begin(), lines.end(), "PROC:STRT:BER");
    const auto fetch = std::find(lines.begin(), lines.end(), "FETC:BER:LTER?");
    ASSERT_NE(restart, lines.end());
    EXPECT_LT(restart, fetch);
    EXPECT_FALSE(r.form().session().countResetPending(TestSide::PP));
    EXPECT_TRUE(r.pp().ResetCountPPButton->isEnabled());
    EXPECT_EQ(l.LTermBerEdit->text(), "0.00010");

    // Release: the window closes and releases the link it still holds.
    const size_t atRelease = r.program.tester.lines.size();
    r.pp().ConnectPPButton->click();
    EXPECT_FALSE(l.isVisible());
    EXPECT_EQ(r.linesFrom(atRelease), (std::vector<std::string>{"STAT:DEV?", "PROC:CONN:REL"}));
    EXPECT_EQ(r.pp().ConnectPPButton->text(), "&Connect");
    EXPECT_EQ(r.pp().ConnectPPButton->tag, 1);
    EXPECT_TRUE(r.pp().RFPIEdit->isEnabled());
    EXPECT_FALSE(r.pp().ResetCountPPButton->isEnabled());
    EXPECT_EQ(l.NTPEdit->text(), "---");
    EXPECT_EQ(l.bar(LimitRow::NTP), nullptr);
    EXPECT_FALSE(l.GraphTimer->isActive());
}

// The link window and the pages meet through the session only: each opening arms the page's
// count restart for the first linked tick, a tick without the link keeps it waiting, and
// leaving the page closes the window and gives the page its fields back.
TEST(LinkWindow, EveryOpeningRestartsTheCountOnItsFirstLinkedTickAndLeavingThePageUnlocks) {
    LinkRig r;
    FakeTester& t = r.program.tester;
    SessionState& session = r.form().session();
    t.linkState = "IDLE";
    r.showPage(&r.pp());
    r.pp().ConnectPPButton->click();
    r.hold();
    EXPECT_EQ(session.linkMode(), LinkMode::PPConnect);
    EXPECT_FALSE(r.pp().DummySlotEdit->isEnabled());
    EXPECT_TRUE(r.fp().TrafficSlotFPEdit->isEnabled());
    r.poll();
    EXPECT_EQ(t.count("PROC:STRT:BER"), 0);  // no link yet: the restart waits
    EXPECT_TRUE(session.countResetPending(TestSide::PP));
    EXPECT_FALSE(r.pp().ResetCountPPButton->isEnabled());
    t.linkState = "DCE";
    r.poll(2);
    EXPECT_EQ(t.count("PROC:STRT:BER"), 1);
    EXPECT_EQ(t.count("CONF:JITT:EVAL:WIND 100"), 1);
    EXPECT_FALSE(session.countResetPending(TestSide::PP));
    EXPECT_TRUE(r.pp().ResetCountPPButton->isEnabled());

    // Release and connect again: the new opening restarts the count once more.
    r.pp().ConnectPPButton->click();
    EXPECT_EQ(session.linkMode(), LinkMode::Closed);
    EXPECT_TRUE(r.pp().DummySlotEdit->isEnabled());
    EXPECT_FALSE(r.pp().ResetCountPPButton->isEnabled());
    r.pp().ConnectPPButton->click();
    r.hold();
    r.poll(2);
    EXPECT_EQ(t.count("PROC:STRT:BER"), 2);

    // Leaving the page closes the window and releases the link once.
    const size_t before = t.lines.size();
    r.showPage(&r.fp());
    const std::vector<std::string> lines = r.linesFrom(before);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "PROC:CONN:REL"), 1);
    EXPECT_FALSE(r.link().isVisible());
    EXPECT_EQ(session.linkMode(), LinkMode::Closed);
    EXPECT_TRUE(r.pp().DummySlotEdit->isEnabled());
    EXPECT_EQ(r.pp().ConnectPPButton->text(), "&Connect");
    EXPECT_TRUE(r.fp().StatusFPButton->isEnabled());
}

TEST(LinkWindow, ALostTesterEndsTheTickIsShownProbedAndPickedUpAgain) {
    LinkRig r;
    r.connectPP();
    r.poll(2);
    TLinkConnectForm& l = r.link();
    FakeTester& t = r.program.tester;
    ASSERT_EQ(l.NTPEdit->text(), "22.5");
    const auto showsLoss = [&] {
        EXPECT_TRUE(l.showsTesterLost());
        EXPECT_EQ(l.PPStatEdit->text(), TLinkConnectForm::kTesterLostText);
        EXPECT_EQ(Base(l.PPStatEdit), QColor(255, 0, 0));
        for (const QLineEdit* field :
             {l.SLOTSIZE, l.TIMEACC, l.NTPEdit, l.FrequencyOffsetEdit, l.BFieldModulationEdit,
              l.SFieldModulationEdit, l.FrequencyDriftEdit, l.LTermBerEdit, l.LTermFerEdit,
              l.JitterMaxPos, l.JitterMaxNeg})
            EXPECT_EQ(field->text(), "---") << field->objectName().toStdString();
        EXPECT_FALSE(r.pp().ResetCountPPButton->isEnabled());
    };

    // The cable is pulled while the tick asks for the power: the tick asks nothing more.
    t.onWrite = [&t](const std::string& line) {
        if (line == "READ:NTP?") t.silent = true;
    };
    size_t mark = t.lines.size();
    r.poll();
    t.onWrite = nullptr;
    EXPECT_EQ(r.linesFrom(mark),
              (std::vector<std::string>{"STAT:DEV?", "PROC:SAMP:FORC", "READ:SLOT:SIZE?",
                                        "FETCH:PACK:DEL?", "READ:NTP?"}));
    showsLoss();
    // No ticks while it is lost: only the probe's state question goes out.
    mark = t.lines.size();
    r.poll(3);
    ASSERT_TRUE(r.program.runUntil([&] { return t.lines.size() >= mark + 2; }));
    for (size_t i = mark; i < t.lines.size(); ++i) EXPECT_EQ(t.lines[i], "STAT:DEV?") << i;
    // It answers again with the link still up: the window goes back to live values itself.
    t.silent = false;
    ASSERT_TRUE(r.program.runUntil(
        [&] { return l.PPStatEdit->text() == "DCE" && l.NTPEdit->text() == "22.5"; }));
    EXPECT_FALSE(l.showsTesterLost());
    r.hold();

    // Lost again: Release works at once and sends nothing to the lost tester.
    t.silent = true;
    r.poll();
    showsLoss();
    const int releases = t.count("PROC:CONN:REL");
    r.pp().ConnectPPButton->click();
    EXPECT_FALSE(l.isVisible());
    EXPECT_EQ(r.pp().ConnectPPButton->text(), "&Connect");
    EXPECT_TRUE(r.pp().RFPIEdit->isEnabled());
    EXPECT_EQ(t.count("PROC:CONN:REL"), releases);
    // Back again: Connect measures as before.
    t.silent = false;
    ASSERT_TRUE(r.program.runUntil([&] { return !r.form().tester().testerLost(); }));
    mark = t.lines.size();
    r.pp().ConnectPPButton->click();
    r.hold();
    r.poll(2);
    EXPECT_EQ(r.linesFrom(mark).front(), "PROC:CONN:SET");
    EXPECT_EQ(l.PPStatEdit->text(), "DCE");
    EXPECT_EQ(l.NTPEdit->text(), "22.5");
    EXPECT_EQ(Base(l.PPStatEdit), QColor(0, 255, 0));
}

TEST(LinkWindow, AveragesOverNWithYellowWhileSettling) {
    LinkRig r;
    // The page's activation commits the averaging field.
    r.form().AlwaysPanel->AverageFactorEdit->setText("10");
    r.connectPP();
    EXPECT_EQ(r.link().averagingLength(), 10);
    TLinkConnectForm& l = r.link();
    l.refresh().clearBuffers();
    for (int poll = 1; poll <= 9; ++poll) {
        r.program.tester.answers["READ:NTP?"] = std::to_string(10 + poll);
        r.poll();
        EXPECT_EQ(Base(l.NTPEdit), kYellow) << poll;
        EXPECT_EQ(Base(l.BFieldModulationEdit), kYellow) << poll;
    }
    EXPECT_EQ(l.NTPEdit->text(), "15.0");  // 11..19
    r.program.tester.answers["READ:NTP?"] = "20";
    r.poll();
    EXPECT_NE(Base(l.NTPEdit), kYellow);
    EXPECT_NE(Base(l.FrequencyOffsetEdit), kYellow);
    EXPECT_EQ(l.NTPEdit->text(), "15.5");  // 11..20
    // A new coupling loss starts the NTP average again, and the others keep theirs.
    Q_EMIT r.form().session().couplingLossChanged(0);
    EXPECT_EQ(l.refresh().buffer(common::Average::NTP).count(), 0);
    EXPECT_EQ(l.refresh().buffer(common::Average::FrqOff).count(), 10);
}

// The unit switch changes the session's time base; the switch's caption and the next tick's
// window length follow it, a long slot staying long.
TEST(LinkWindow, TheUnitSwitchMovesTheTimeBaseAndTheTicksFollowIt) {
    LinkRig r;
    r.connectPP();
    TLinkConnectForm& l = r.link();
    const SessionState& session = r.form().session();
    r.program.tester.answers["READ:SLOT:SIZE?"] = "80";
    r.poll(2);
    EXPECT_EQ(session.timeBase().windowLength, SampleTimeBase::kLongSlotBits);
    EXPECT_EQ(l.cmdUnit->text(), "uS");

    l.cmdUnitClick();
    EXPECT_EQ(session.timeBase().unit, ChartUnit::Microseconds);
    EXPECT_EQ(session.timeBase().clock, SampleTimeBase::kMicrosecondClock);
    EXPECT_EQ(session.timeBase().windowLength, SampleTimeBase::kLongSlotSamples);
    EXPECT_EQ(l.cmdUnit->text(), "Bit");
    r.poll(2);
    EXPECT_EQ(session.timeBase().windowLength, SampleTimeBase::kLongSlotSamples);

    l.cmdUnitClick();
    EXPECT_EQ(session.timeBase().clock, SampleTimeBase::kBitClock);
    EXPECT_EQ(session.timeBase().windowLength, SampleTimeBase::kLongSlotBits);
    EXPECT_EQ(l.cmdUnit->text(), "uS");
}

TEST(LinkWindow, RepliesOfEveryShapeKeepThePollGoing) {
    LinkRig r;
    r.connectPP();
    TLinkConnectForm& l = r.link();
    FakeTester& t = r.program.tester;
    // A B-field reply without a comma is both deviations: the B-field reads 0.0.
    t.answers["READ:BF?"] = "340000";
    t.answers["READ:SLOT:SIZE?"] = "80";
    t.answers["FETC:BER:LTER?"] = "junk";
    r.poll(2);
    EXPECT_EQ(l.BFieldModulationEdit->text(), "0.0");
    EXPECT_EQ(l.PBFieldModulationEdit->text(), "340.0");
    EXPECT_EQ(l.NBFieldModulationEdit->text(), "340.0");
    EXPECT_EQ(l.SLOTSIZE->text(), "P64Z");
    EXPECT_EQ(r.form().session().timeBase().windowLength, 7020.0f);  // the charts count bits
    EXPECT_EQ(l.LTermBerEdit->text(), "---");
    EXPECT_EQ(l.bar(LimitRow::LT_BER)->band(), 1);  // no value: the frame takes band 1's colour
    EXPECT_EQ(l.NTPEdit->text(), "22.5");           // the rest of the poll went on

    // A link that drops shows "---" everywhere and disables the Reset Count buttons.
    t.linkState = "IDLE";
    r.poll();
    EXPECT_EQ(l.PPStatEdit->text(), "IDLE");
    EXPECT_EQ(Base(l.PPStatEdit), QColor(255, 0, 0));
    EXPECT_EQ(l.NTPEdit->text(), "---");
    EXPECT_EQ(l.SLOTSIZE->text(), "---");
    EXPECT_FALSE(r.pp().ResetCountPPButton->isEnabled());
    // Closing now sends nothing but the state question.
    const size_t atRelease = t.lines.size();
    r.pp().ConnectPPButton->click();
    EXPECT_EQ(r.linesFrom(atRelease), (std::vector<std::string>{"STAT:DEV?"}));
}

TEST(LinkWindow, LoopbackGateMirrorPauseAndFontSize) {
    LinkRig r;
    r.showPage(&r.pp());
    r.pp().EchoRadioButton->setChecked(true);
    r.connectPP();
    TLinkConnectForm& l = r.link();
    const size_t before = r.program.tester.lines.size();
    r.poll();
    const std::vector<std::string> lines = r.linesFrom(before);
    for (const char* gated : {"READ:FREQ:OFFS?", "READ:BF?", "READ:FREQ:DRIF?", "FETC:BER:LTER?"})
        EXPECT_EQ(std::count(lines.begin(), lines.end(), gated), 0) << gated;
    EXPECT_EQ(l.FrequencyOffsetEdit->text(), "---");
    EXPECT_EQ(l.BFieldModulationEdit->text(), "---");
    EXPECT_EQ(l.LTermFerEdit->text(), "---");
    EXPECT_EQ(l.NTPEdit->text(), "22.5");
    EXPECT_EQ(l.SFieldModulationEdit->text(), "330.0");
    EXPECT_EQ(l.JitterMaxPos->text(), "0.1");

    l.LTermBerCheckBox->click();
    EXPECT_FALSE(l.LTermFerCheckBox->isChecked());
    l.LTermFerCheckBox->click();
    EXPECT_TRUE(l.LTermBerCheckBox->isChecked());

    l.GraphTimer->start();
    l.Button1->click();
    EXPECT_EQ(l.Button1->text(), "Continue");
    EXPECT_FALSE(l.GraphTimer->isActive());
    l.Button1->click();
    EXPECT_EQ(l.Button1->text(), "Pause");
    EXPECT_TRUE(l.GraphTimer->isActive());
    r.hold();

    l.FontSizeUpDown->setPosition(8);
    l.FontSizeUpDown->step(1);
    EXPECT_EQ(l.FontSizeEdit->text(), "10");
    const int points = r.form().logicalDpiX() > 96 ? 9 : 10;
    EXPECT_EQ(l.NTPEdit->font().pointSize(), points);
    EXPECT_EQ(l.JitterMaxNeg->height(), TLinkConnectForm::kFieldHeight);

    // Leaving the page closes the window and releases the link.
    const size_t atLeave = r.program.tester.lines.size();
    r.showPage(r.form().SystemTabSheet);
    EXPECT_FALSE(l.isVisible());
    const std::vector<std::string> after = r.linesFrom(atLeave);
    EXPECT_EQ(std::count(after.begin(), after.end(), "PROC:CONN:REL"), 1);
    EXPECT_EQ(r.pp().ConnectPPButton->text(), "&Connect");
}

TEST(LinkWindow, FPStatusFindsTheFixedPartThenConnects) {
    LinkRig r;
    FakeTester& t = r.program.tester;
    t.answers["SENS:SIGN:STAT?"] = "SEARCH";
    t.answers["SENS:DET:DUMM:CARR?"] = "5";
    t.answers["SENS:DET:DUMM:SLOT?"] = "4";
    t.answers["SENS:DET:RFPI?"] = "0012345678";
    r.showPage(&r.fp());
    r.fp().TrafficSlotFPUpDown->setPosition(4);
    r.fp().TrafficSlotFPEdit->setText("4");
    r.fp().StatusFPButton->click();
    TLinkConnectForm& l = r.link();
    r.hold();
    ASSERT_TRUE(l.isVisible());
    EXPECT_EQ(l.windowTitle(), "FP Status");
    EXPECT_FALSE(l.MeasurementGroup->isVisible());
    EXPECT_EQ(l.StatusGroup->width(), 149);
    EXPECT_FALSE(r.fp().StatusFPButton->isEnabled());

    const size_t before = t.lines.size();
    l.StatusTimerTimer();
    EXPECT_EQ(l.FPLockStateEdit->text(), "SEARCH");
    EXPECT_FALSE(r.fp().StatusFPButton->isEnabled());
    EXPECT_EQ(l.FPDummyCarrierEdit->text(), "5");
    EXPECT_EQ(l.FPDummySlotEdit->text(), "4");
    EXPECT_EQ(l.FP_RFPIEdit->text(), "0012345678");
    // The traffic slot stood on the dummy slot: moved on by two and sent.
    EXPECT_EQ(r.fp().TrafficSlotFPEdit->text(), "6");
    const std::vector<std::string> lines = r.linesFrom(before);
    EXPECT_GE(std::count(lines.begin(), lines.end(), "CONF:FP:TRAF:SLOT 6"), 1);
    EXPECT_EQ(l.Label17->text(), "Traffic Slot was equal");
    EXPECT_EQ(l.Label18->text(), "with Dummy Slot!");
    EXPECT_EQ(l.Label19->text(), "Traffic Slot changed.");
    // At the stepper's maximum the slot wraps to 0.
    t.answers["SENS:DET:DUMM:SLOT?"] = "8";
    r.fp().TrafficSlotFPUpDown->setMaximum(8);
    r.fp().TrafficSlotFPUpDown->setPosition(8);
    r.fp().TrafficSlotFPEdit->setText("8");
    l.StatusTimerTimer();
    EXPECT_EQ(r.fp().TrafficSlotFPEdit->text(), "0");
    EXPECT_EQ(r.fp().TrafficSlotFPUpDown->position(), 0);

    // Locked: Connect is offered, and the full layout measures.
    t.answers["SENS:SIGN:STAT?"] = "LOCK";
    l.StatusTimerTimer();
    EXPECT_TRUE(r.fp().StatusFPButton->isEnabled());
    t.linkState = "DCE";
    r.fp().StatusFPButton->click();
    r.hold();
    EXPECT_EQ(l.windowTitle(), "FP Connect");
    EXPECT_TRUE(l.MeasurementGroup->isVisible());
    EXPECT_EQ(l.StatusGroup->width(), 99);
    EXPECT_EQ(l.TimeLabel->text(), "Timing Acc. ppm");
    EXPECT_FALSE(r.fp().RFPI_FPEdit->isEnabled());
    // The FP link leaves the PP page's fields alone.
    EXPECT_EQ(r.form().session().linkMode(), LinkMode::FPConnect);
    EXPECT_TRUE(r.pp().RFPIEdit->isEnabled());
    EXPECT_TRUE(r.pp().TrafficSlotUpDown->isEnabled());
    r.poll(2);
    EXPECT_EQ(l.TIMEACC->text(), "0.2");
    EXPECT_EQ(l.NTPEdit->text(), "22.5");
    EXPECT_EQ(l.LTermBerEdit->text(), "0.00010");  // after the FP page's Reset Count
    EXPECT_EQ(t.count("PROC:CONN:SET"), 1);

    // Release: one release, the Status button back, the dummy carrier left locked.
    const size_t atRelease = t.lines.size();
    r.fp().StatusFPButton->click();
    const std::vector<std::string> after = r.linesFrom(atRelease);
    EXPECT_EQ(std::count(after.begin(), after.end(), "PROC:CONN:REL"), 1);
    EXPECT_FALSE(l.isVisible());
    EXPECT_EQ(r.fp().StatusFPButton->text(), "&Status");
    EXPECT_EQ(r.fp().StatusFPButton->tag, 0);
    EXPECT_TRUE(r.fp().RFPI_FPEdit->isEnabled());
    EXPECT_TRUE(r.fp().TrafficSlotFPEdit->isEnabled());
    EXPECT_FALSE(r.fp().DummyCarrierFPEdit->isEnabled());
    EXPECT_EQ(r.form().session().linkMode(), LinkMode::Closed);
    EXPECT_EQ(r.pp().ConnectPPButton->text(), "&Connect");
}

TEST(LinkWindow, MeasurementLogHeadersAndRows) {
    QTemporaryDir dir;
    LinkRig r;
    SystemPage& s = *r.form().SystemTabSheet;
    LogSettings& logs = r.form().logSettings();
    // Cancelled: logging stays off and the interval field open.
    s.LogIntervalEdit->setText("abc");
    s.LogMeasurementsCheckBox->click();
    EXPECT_FALSE(s.LogMeasurementsCheckBox->isChecked());
    EXPECT_TRUE(s.LogIntervalEdit->isEnabled());
    EXPECT_EQ(r.program.dialogs.messages.back(), "Error. Setting default (5)");
    EXPECT_EQ(s.LogIntervalEdit->text(), "5");
    EXPECT_EQ(logs.LogMeasurementTimer->interval(), r.form().timing().ms(5000));
    EXPECT_EQ(r.program.dialogs.saveTitles.back(), "Save Measurements log as");
    // A file that cannot be created.
    r.program.dialogs.saveAnswer = dir.path() + "/missing/m.log";
    s.LogMeasurementsCheckBox->click();
    EXPECT_FALSE(s.LogMeasurementsCheckBox->isChecked());
    EXPECT_EQ(r.program.dialogs.messages.back(), "Could not open logmeasurementsfile");
    // Chosen: the name gets its extension, the interval field locks.
    r.program.dialogs.saveAnswer = dir.path() + "/run";
    s.LogIntervalEdit->setText("0");
    s.LogMeasurementsCheckBox->click();
    EXPECT_TRUE(s.LogMeasurementsCheckBox->isChecked());
    EXPECT_EQ(s.LogIntervalEdit->text(), "5");  // 0 takes the default too
    EXPECT_FALSE(s.LogIntervalEdit->isEnabled());

    r.program.tester.answers["READ:NTP?"] = "INV";
    r.connectPP();
    EXPECT_TRUE(logs.LogMeasurementTimer->isActive());
    r.poll(2);
    for (int row = 0; row < 3; ++row) logs.LogMeasurementTimerTimer();
    r.pp().ConnectPPButton->click();
    EXPECT_FALSE(logs.LogMeasurementTimer->isActive());
    logs.LogMeasurementTimerTimer();  // closed with the window: no row

    QFile file(dir.path() + "/run.log");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString(file.readAll()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_TRUE(lines[0].endsWith("; PP Mode"));
    EXPECT_TRUE(
        lines[1].endsWith(";   NTP;+FrqDev;-FrqDev; FrqOff; FrqDft;      BER;      FER;"
                          "-Jitter;+Jitter;"));
    for (int row = 2; row < 5; ++row)
        EXPECT_TRUE(
            lines[row].endsWith(";   ---;  330.0; -330.0;   12.0;    0.2;  0.00010;  "
                                "0.00000;-0.2; 0.1;"))
            << lines[row].toStdString();

    // Off: the file is closed and forgotten, the field open again; shutdown closes nothing twice.
    s.LogMeasurementsCheckBox->click();
    EXPECT_FALSE(logs.measurementLog().held());
    EXPECT_TRUE(s.LogIntervalEdit->isEnabled());
    r.form().FormClose();
}

TEST(LinkWindow, CommunicationLogInDebugModeLeavesOutTheStatePoll) {
    QTemporaryDir dir;
    LinkRig r({"tavrin", "/debug"});
    SystemPage& s = *r.form().SystemTabSheet;
    EXPECT_TRUE(s.LogCommunicationCheckBox->isVisible());
    r.program.dialogs.saveAnswer = dir.path() + "/c.log";
    s.LogCommunicationCheckBox->click();
    ASSERT_TRUE(s.LogCommunicationCheckBox->isChecked());
    EXPECT_EQ(r.program.dialogs.saveTitles.back(), "Save Communication log as");
    r.connectPP();
    r.poll();
    r.pp().ConnectPPButton->click();
    r.form().FormClose();  // shutdown: the log closed

    QFile file(dir.path() + "/c.log");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString log = file.readAll();
    EXPECT_TRUE(log.contains(";\t-->\"PROC:CONN:SET\" (0)\n"));
    EXPECT_TRUE(log.contains(";\t-->\"READ:NTP?\" (0)\n"));
    EXPECT_TRUE(log.contains(";\t<--\"22.5\" (4)\n"));
    // The poll's state question never reaches the log; the close handling's does.
    EXPECT_EQ(log.count("\"STAT:DEV?\""), 1);
    EXPECT_TRUE(log.contains(";\t-->\"PROC:CONN:REL\" (0)\n"));
    EXPECT_FALSE(r.form().logSettings().communicationLog().isOpen());
}

}  // namespace
}  // namespace tavrin::app::testing
