// Start-up flows on the real library with the virtual tester ("sim" driver). The library keeps
// one process-wide link, so CTest runs each of these in a process of its own.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>

#include "FakeTester.h"
#include "core/LibrarySession.h"
#include "core/StartupOptions.h"
#include "dialogs/TCommForm.h"
#include "dialogs/TNoConnectForm.h"
#include "dialogs/TResetForm.h"
#include "pages/LevelField.h"
#include "pages/PPTestPage.h"
#include "pages/SystemPage.h"

namespace tavrin::app::testing {
namespace {

struct SimulatedProgram {
    explicit SimulatedProgram(const char* model, std::vector<std::string> arguments = {"tavrin"}) {
        EXPECT_TRUE(ConfigureSimulatedTester("model", model));
        EXPECT_TRUE(SelectDriver("sim"));
        program = std::make_unique<Program>(std::move(arguments), &port, dir.path() + "/t.log");
    }
    QTemporaryDir dir;
    LibraryPort port;
    std::unique_ptr<Program> program;
};

struct ModelRun {
    const char* code;
    const char* name;
    const char* caption;
};

void PrintTo(const ModelRun& m, std::ostream* os) {
    *os << m.name;
}

class LibraryStartup : public ::testing::TestWithParam<ModelRun> {};

TEST_P(LibraryStartup, RecognisesTheModelAndFillsTheLabels) {
    const ModelRun& m = GetParam();
    SimulatedProgram sim(m.code);
    Program& p = *sim.program;
    ASSERT_TRUE(p.started(20000));
    TWenloForm& f = *p.form;
    SystemPage& s = *f.SystemTabSheet;
    EXPECT_EQ(f.captionBase(), m.name);
    EXPECT_EQ(f.windowTitle(), m.caption);
    EXPECT_TRUE(s.HardWareIDLabel->text().startsWith(QString(m.name) + " "))
        << s.HardWareIDLabel->text().toStdString();
    EXPECT_EQ(s.VersionLabel->text(), "MMI Version : 3.2.0");
    EXPECT_EQ(s.PCDllLabel->text(), "3.2.0");
    EXPECT_TRUE(QRegularExpression("^[0-9A-F]{8}$").match(s.SerialNumberLabel->text()).hasMatch())
        << s.SerialNumberLabel->text().toStdString();
    // The label shows the tester's firmware text followed by one blank.
    const QString firmware = QString::fromStdString(p.query("SYST:FIRM:VERS?"));
    EXPECT_EQ(s.FirmwareLabel->text(), firmware + " ");
    EXPECT_FALSE(firmware.trimmed().isEmpty());
    EXPECT_TRUE(
        QRegularExpression(QString("^") + m.name + " [0-9A-F]\\.[0-9A-F] [0-9A-F]\\.[0-9A-F]$")
            .match(s.HardWareIDLabel->text())
            .hasMatch())
        << s.HardWareIDLabel->text().toStdString();
    EXPECT_FALSE(f.noConnectForm().isVisible());
    // Every line the start-up sent was accepted by the library.
    EXPECT_EQ(f.wrappers().writeErrorCount, 0);
}

INSTANTIATE_TEST_SUITE_P(EveryModelCode, LibraryStartup,
                         ::testing::Values(ModelRun{"10", "Tavrin", "Tavrin CAT-iq Enabled"},
                                           ModelRun{"11", "Pellis", "Pellis"},
                                           ModelRun{"12", "Ulmet", "Ulmet"},
                                           ModelRun{"13", "Quorin", "Quorin"}),
                         [](const ::testing::TestParamInfo<ModelRun>& info) {
                             return std::string(info.param.name);
                         });

TEST(LibraryCatIq, UntickingIsAcceptedByTheLibrary) {
    SimulatedProgram sim("10");
    Program& p = *sim.program;
    ASSERT_TRUE(p.started(20000));
    p.form->SystemTabSheet->OptionEnable->click();
    ASSERT_TRUE(p.runUntil(
        [&] { return p.settled() && p.form->windowTitle() == "Tavrin CAT-iq Disabled"; }, 20000));
    EXPECT_EQ(p.form->wrappers().writeErrorCount, 0);
}

TEST(LibraryConsole, DebugShowsTraceAndEchoAndAnswers) {
    SimulatedProgram sim("10", {"tavrin", "/DEBUG"});
    Program& p = *sim.program;
    ASSERT_TRUE(p.started(20000));
    TCommForm& c = p.form->commForm();
    c.SendCommEdit->setText("*IDN?");
    c.CommMemo->clear();
    QTest::keyClick(c.SendCommEdit, Qt::Key_Return);
    // The answer comes back from the tester thread; the console never waits for it.
    ASSERT_TRUE(p.runUntil([&] { return c.CommMemo->toPlainText().contains("<--"); }));
    const QString memo = c.CommMemo->toPlainText();
    EXPECT_TRUE(memo.contains("-->\"*IDN?\" (0)")) << memo.toStdString();
    EXPECT_TRUE(memo.contains("<--\"3.2.0\" (5)")) << memo.toStdString();
    // The library's own trace line of the command is in the console as well.
    EXPECT_TRUE(memo.contains(
        QRegularExpression("^Time: .*\\*IDN\\?", QRegularExpression::MultilineOption)))
        << memo.toStdString();
    c.SendCommEdit->setText("SYST:NOSUCH");
    QTest::keyClick(c.SendCommEdit, Qt::Key_Return);
    ASSERT_TRUE(p.runUntil([&] { return p.settled(); }));
    EXPECT_EQ(c.history().entry(0), "*IDN?");  // a refused line is not remembered
    EXPECT_EQ(p.form->wrappers().writeErrorCount, 1);
}

}  // namespace
}  // namespace tavrin::app::testing

namespace tavrin::app::testing {
namespace {

TEST(LibraryTrace, OutsideDebugModeTheTraceGoesToTheLogFile) {
    SimulatedProgram sim("10");
    Program& p = *sim.program;
    ASSERT_TRUE(p.started(20000));
    QFile log(sim.dir.path() + "/t.log");
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString text = QString::fromLocal8Bit(log.readAll());
    EXPECT_TRUE(text.contains(
        QRegularExpression("^Time: .*SYST:RESET$", QRegularExpression::MultilineOption)))
        << text.left(400).toStdString();
    EXPECT_FALSE(text.contains("\n\n"));
    EXPECT_FALSE(p.form->commForm().CommMemo->toPlainText().contains("Time: "));
}

TEST(LibraryDriverOptions, SimulateWithADeviceProfile) {
    StartupOptions options = ParseStartupOptions(
        {"tavrin", "--dut", TAVRIN_SOURCE_DIR "/sim/profiles/compliant-pp.ini"});
    EXPECT_EQ(ApplyDriverOptions(options), "");
    LibraryPort port;
    Program p({"tavrin"}, &port);
    ASSERT_TRUE(p.started(20000));
    EXPECT_EQ(p.form->captionBase(), "Tavrin");
}

TEST(LibraryDriverOptions, RefusedChoicesAreReported) {
    EXPECT_NE(ApplyDriverOptions(ParseStartupOptions({"tavrin", "--dut", "/no/such.ini"})), "");
    EXPECT_NE(ApplyDriverOptions(ParseStartupOptions({"tavrin", "--driver", "/no/such.so"})), "");
    EXPECT_NE(ApplyDriverOptions(ParseStartupOptions({"tavrin", "/SIMULATE", "--driver", "d2xx"})),
              "");
    EXPECT_EQ(ApplyDriverOptions(ParseStartupOptions({"tavrin", "/simulate"})), "");
}

}  // namespace
}  // namespace tavrin::app::testing

namespace tavrin::app::testing {
namespace {

// A virtual tester that is not on the bus never reports "IDLE".
TEST(LibraryNoTester, UnpluggedTesterLeadsToTheNoConnectionDialog) {
    EXPECT_TRUE(ConfigureSimulatedTester("fault", "unplugged"));
    SimulatedProgram sim("10");
    Program& p = *sim.program;
    ASSERT_TRUE(p.runUntil([&] { return p.form->noConnectForm().isVisible(); }, 20000));
    p.settle();
    EXPECT_FALSE(p.form->isVisible());
    EXPECT_EQ(p.form->noConnectForm().windowTitle(), "No Connection");
    EXPECT_FALSE(p.exitCode.has_value());
}

TEST(LibraryNoTester, DebugModeRunsOnWithNoConnectionInRed) {
    EXPECT_TRUE(ConfigureSimulatedTester("fault", "unplugged"));
    SimulatedProgram sim("10", {"tavrin", "/DEBUG"});
    Program& p = *sim.program;
    ASSERT_TRUE(p.runUntil(
        [&] { return p.form->resetForm().StatusText->text() == "No Connection"; }, 20000));
    EXPECT_EQ(p.form->resetForm().StatusText->palette().color(QPalette::WindowText),
              QColor(Qt::red));
    EXPECT_FALSE(p.form->noConnectForm().isVisible());
    EXPECT_FALSE(p.exitCode.has_value());
}

}  // namespace
}  // namespace tavrin::app::testing

namespace tavrin::app::testing {
namespace {

// After the PP page's activation the tester holds what the page's fields say.
TEST(LibraryPages, PPActivationCommitsTheFieldsToTheTester) {
    SimulatedProgram sim("10");
    Program& p = *sim.program;
    ASSERT_TRUE(p.started(20000));
    PPTestPage& pp = *p.form->PP_TestTabSheet;
    // As a setup load leaves them: the fields and the remembered values.
    pp.RFPIEdit->setText("0012345ABC");
    pp.DummySlotEdit->setText("2");
    pp.TrafficSlotEdit->setText("6");
    pp.dummySlot = 2;
    pp.trafficSlot = 6;
    pp.RFLevelEdit->setText("-63.5");
    pp.levelField().lastLevel = -63.5;
    p.form->PageControl->setCurrentWidget(&pp);
    ASSERT_TRUE(p.runUntil([&] { return p.settled(); }, 20000));
    EXPECT_TRUE(p.dialogs.messages.empty());
    EXPECT_EQ(p.form->wrappers().writeErrorCount, 0);

    const auto ask = [&](const char* query) { return p.query(query); };
    EXPECT_EQ(ask("CONF:PP:RFPI?"), "0012345ABC");
    EXPECT_EQ(ask("CONF:PP:TRAF:SLOT?"), "6");
    EXPECT_EQ(ask("CONF:PP:DUMM:SLOT?"), "2");
    EXPECT_EQ(ask("CONF:PP:RF:LEV?"), "-63.5");
}

// Unlocks the service mode through the console, and after a miss in another spelling through
// the wrappers; the code is in neither the console (echo and trace) nor a file written.
TEST(LibraryServiceCode, DebugModeUnlocksWithoutShowingTheCode) {
    SimulatedProgram sim("10", {"tavrin", "/DEBUG"});
    Program& p = *sim.program;
    ASSERT_TRUE(p.started(20000));
    TCommForm& c = p.form->commForm();
    c.SendCommEdit->setText("SYST:PASS \"KQZ4417WD385\"");
    QTest::keyClick(c.SendCommEdit, Qt::Key_Return);
    EXPECT_EQ(p.query("SYST:PASS?"), "PASSWORD OK!");
    p.form->tester().send("SYST:PASS \"wrong\";*IDN?;syst : pass \"KQZ4417WD385\"");
    EXPECT_EQ(p.query("SYST:PASS?"), "PASSWORD OK!");
    ASSERT_TRUE(p.runUntil([&] { return p.settled(); }));
    QString seen = c.CommMemo->toPlainText();
    for (const QFileInfo& file : QDir(sim.dir.path()).entryInfoList(QDir::Files)) {
        QFile f(file.filePath());
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        seen += QString::fromLatin1(f.readAll());
    }
    EXPECT_FALSE(seen.contains("KQZ4417WD385")) << seen.toStdString();
    EXPECT_TRUE(seen.contains("ZELKWrt: SYST:PASS \"****\"")) << seen.toStdString();
    EXPECT_TRUE(seen.contains("-->\"SYST:PASS \"****\";*IDN?;syst : pass \"****\"\" (0)"));
}

}  // namespace
}  // namespace tavrin::app::testing
