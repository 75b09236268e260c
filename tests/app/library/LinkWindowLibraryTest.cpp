// The link measurement window end to end on the real library and the virtual tester: a
// compliant portable part within its tolerances and inside every limit, a non-compliant one
// outside, a fixed part found by the FP search and then measured, a measurement log, and a
// cable pulled mid-measurement.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>

#include "FakeTester.h"
#include "core/LibrarySession.h"
#include "core/StateButton.h"
#include "display/TLinkConnectForm.h"
#include "display/TSlider.h"
#include "pages/FPTestPage.h"
#include "pages/LogSettings.h"
#include "pages/PPTestPage.h"
#include "pages/SystemPage.h"
#include "setup/SetupPages.h"

namespace tavrin::app::testing {
namespace {

using common::LimitRow;

QString Profile(const char* name) {
    return QString(TAVRIN_SOURCE_DIR) + "/sim/profiles/" + name;
}

struct LiveProgram {
    explicit LiveProgram(const QString& profile = {}) {
        EXPECT_TRUE(ConfigureSimulatedTester("model", "10"));
        if (!profile.isEmpty()) {
            EXPECT_TRUE(ConfigureSimulatedTester("dut", profile.toStdString()));
        }
        EXPECT_TRUE(SelectDriver("sim"));
        program = std::make_unique<Program>(std::vector<std::string>{"tavrin"}, &port,
                                            dir.path() + "/t.log");
        EXPECT_TRUE(program->started(20000));
    }
    TWenloForm& form() { return *program->form; }
    TLinkConnectForm& link() { return form().linkForm(); }
    void showPage(QWidget* page) {
        form().PageControl->setCurrentWidget(page);
        EXPECT_TRUE(program->runUntil([this] { return program->settled(); }));
        program->settle();
    }
    // Averages over `n` bursts and waits until every average is full (no longer yellow).
    bool averaged(int n) {
        form().session().setAveragingLength(n);
        const auto full = [](const QLineEdit* field) {
            return field->text() != "---" &&
                   field->palette().color(QPalette::Base) != QColor(Qt::yellow);
        };
        return program->runUntil(
            [this, full] {
                return link().PPStatEdit->text() == "DCE" && full(link().NTPEdit) &&
                       full(link().PBFieldModulationEdit) && link().LTermBerEdit->text() != "---";
            },
            20000);
    }
    double value(const QLineEdit* field) { return field->text().toDouble(); }
    int band(LimitRow row) { return link().bar(row)->band(); }

    QTemporaryDir dir;
    LibraryPort port;
    std::unique_ptr<Program> program;
};

TEST(LinkWindowLive, CompliantPortablePartWithinToleranceAndLimitsAndLogged) {
    LiveProgram p;
    SystemPage& s = *p.form().SystemTabSheet;
    // Drift in kHz/ms, as the device profile states it.
    s.DriftKhzMs->setChecked(true);
    p.form().tester().send("CONF:MOD:DRIF:UNIT MS");
    p.program->dialogs.saveAnswer = p.dir.path() + "/measurements.log";
    s.LogIntervalEdit->setText("1");
    s.LogMeasurementsCheckBox->click();
    ASSERT_TRUE(s.LogMeasurementsCheckBox->isChecked());

    p.showPage(p.form().PP_TestTabSheet);
    p.form().PP_TestTabSheet->ConnectPPButton->click();
    TLinkConnectForm& l = p.link();
    EXPECT_EQ(l.FrequencyDriftLabel->text(), "Frequency Drift [kHz/mS]:");
    ASSERT_TRUE(p.averaged(8));
    EXPECT_EQ(l.PPStatEdit->palette().color(QPalette::Base), QColor(0, 255, 0));
    EXPECT_NEAR(p.value(l.NTPEdit), 24.0, 0.3) << l.NTPEdit->text().toStdString();
    EXPECT_NEAR(p.value(l.FrequencyOffsetEdit), 12.0, 2.0);
    EXPECT_NEAR(p.value(l.BFieldModulationEdit), 330.0, 5.0);
    EXPECT_NEAR(p.value(l.SFieldModulationEdit), 330.0, 5.0);
    EXPECT_NEAR(p.value(l.FrequencyDriftEdit), 0.5, 1.0);
    EXPECT_EQ(l.SLOTSIZE->text(), "P32Z");
    // Every bar green. The default device transmits at exactly the factory NTP MaxOK of 24
    // dBm, so its NTP bar follows the reading's side of that edge; it must agree with the
    // verdict of the shown value.
    for (const common::LimitRowSpec& entry : common::LimitRows()) {
        if (entry.row == LimitRow::NTP) continue;
        EXPECT_EQ(p.band(entry.row), entry.fourLimits ? 2 : 1) << entry.stem;
    }
    const std::array<double, 4> ntpLimits = p.form().SetupPPTabSheet->limitNumbers(LimitRow::NTP);
    EXPECT_EQ(p.band(LimitRow::NTP) == 2,
              common::Passes(LimitRow::NTP, ntpLimits, p.value(l.NTPEdit)));

    // Three rows at the one-second interval (the test's clock runs at 5 %) once the values
    // are settled.
    QFile log(p.dir.path() + "/measurements.log");
    const auto lines = [&] {
        log.open(QIODevice::ReadOnly | QIODevice::Text);
        const QStringList all = QString(log.readAll()).split('\n', Qt::SkipEmptyParts);
        log.close();
        return all;
    };
    const qsizetype settled = lines().size();
    ASSERT_TRUE(p.program->runUntil([&] { return lines().size() >= settled + 3; }, 10000));
    p.form().PP_TestTabSheet->ConnectPPButton->click();
    EXPECT_FALSE(l.isVisible());
    const QStringList written = lines();
    EXPECT_TRUE(written[0].endsWith("; PP Mode"));
    for (qsizetype row = settled; row < settled + 3; ++row) {
        const QStringList columns = written[row].split(';');
        ASSERT_EQ(columns.size(), 11) << written[row].toStdString();
        EXPECT_NEAR(columns[1].trimmed().toDouble(), 24.0, 0.5) << written[row].toStdString();
    }
    // Released: the tester leaves the link.
    EXPECT_TRUE(p.program->runUntil([&] { return p.program->query("STAT:DEV?") != "DCE"; }));
}

TEST(LinkWindowLive, CablePulledMidMeasurementIsShownReleasedAndMeasuredAgain) {
    LiveProgram p;
    TWenloForm& f = p.form();
    TLinkConnectForm& l = p.link();
    Program& program = *p.program;
    PPTestPage& pp = *f.PP_TestTabSheet;
    p.showPage(&pp);
    pp.ConnectPPButton->click();
    const auto live = [&] {
        return l.PPStatEdit->text() == "DCE" && l.NTPEdit->text() != "---" && !l.showsTesterLost();
    };
    ASSERT_TRUE(program.runUntil(live, 20000));
    // The virtual tester's fault, set from the tester thread like every library call.
    const auto fault = [&f](const char* mode) {
        f.tester().run([mode](CommandWrappers&) { ConfigureSimulatedTester("fault", mode); },
                       TesterWorker::Reach::Always);
    };

    fault("silent");
    ASSERT_TRUE(program.runUntil([&] { return l.showsTesterLost(); }, 30000));
    EXPECT_EQ(l.PPStatEdit->text(), TLinkConnectForm::kTesterLostText);
    EXPECT_EQ(l.PPStatEdit->palette().color(QPalette::Base), QColor(255, 0, 0));
    EXPECT_EQ(l.NTPEdit->text(), "---");
    EXPECT_EQ(l.BFieldModulationEdit->text(), "---");
    // Release answers at once, while the tester is still silent.
    pp.ConnectPPButton->click();
    EXPECT_FALSE(l.isVisible());
    EXPECT_EQ(pp.ConnectPPButton->text(), "&Connect");
    EXPECT_TRUE(f.tester().testerLost());

    fault("");
    ASSERT_TRUE(program.runUntil([&] { return !f.tester().testerLost(); }, 40000));
    pp.ConnectPPButton->click();
    ASSERT_TRUE(program.runUntil(live, 20000));
    EXPECT_NEAR(p.value(l.NTPEdit), 24.0, 0.5);
    pp.ConnectPPButton->click();

    // One trace line when it was lost, one when it answered again.
    QFile trace(p.dir.path() + "/t.log");
    ASSERT_TRUE(trace.open(QIODevice::ReadOnly));
    const QString lines = QString::fromLocal8Bit(trace.readAll());
    EXPECT_EQ(lines.count("Tavrin: the tester does not answer"), 1) << lines.toStdString();
    EXPECT_EQ(lines.count("Tavrin: the tester answers again"), 1);
}

TEST(LinkWindowLive, NonCompliantPortablePartShowsRedBars) {
    LiveProgram p(Profile("noncompliant-pp.ini"));
    p.showPage(p.form().PP_TestTabSheet);
    p.form().PP_TestTabSheet->ConnectPPButton->click();
    ASSERT_TRUE(p.averaged(4));
    TLinkConnectForm& l = p.link();
    EXPECT_NEAR(p.value(l.NTPEdit), 27.5, 0.5);
    EXPECT_NEAR(p.value(l.FrequencyOffsetEdit), 65.0, 3.0);
    // Too much power, offset and deviation: above MaxOK, in the upper red band.
    for (LimitRow row : {LimitRow::NTP, LimitRow::FrqOff, LimitRow::B_Field, LimitRow::S_Field})
        EXPECT_EQ(p.band(row), 3) << static_cast<int>(row);
    p.form().PP_TestTabSheet->ConnectPPButton->click();
}

TEST(LinkWindowLive, FPStatusFindsTheFixedPartAndConnectMeasures) {
    LiveProgram p(Profile("compliant-fp.ini"));
    FPTestPage& fp = *p.form().FP_TestTabSheet;
    p.showPage(&fp);
    fp.StatusFPButton->click();
    TLinkConnectForm& l = p.link();
    EXPECT_EQ(l.windowTitle(), "FP Status");
    ASSERT_TRUE(p.program->runUntil([&] { return fp.StatusFPButton->isEnabled(); }, 10000));
    EXPECT_EQ(l.FPLockStateEdit->text(), "LOCK");
    EXPECT_EQ(l.FP_RFPIEdit->text(), "\"0012345678\"");
    EXPECT_EQ(l.FPDummySlotEdit->text(), "4");
    EXPECT_EQ(l.FPDummyCarrierEdit->text(), "5");
    EXPECT_NE(fp.TrafficSlotFPEdit->text(), "4");  // never on the dummy slot

    fp.StatusFPButton->click();
    EXPECT_EQ(l.windowTitle(), "FP Connect");
    ASSERT_TRUE(p.averaged(4));
    EXPECT_NEAR(p.value(l.NTPEdit), 23.0, 0.3);
    EXPECT_NEAR(p.value(l.FrequencyOffsetEdit), -8.0, 2.0);
    EXPECT_NEAR(p.value(l.BFieldModulationEdit), 340.0, 5.0);
    EXPECT_NE(l.TIMEACC->text(), "---");
    EXPECT_EQ(p.band(LimitRow::NTP), 2);
    fp.StatusFPButton->click();
    EXPECT_FALSE(l.isVisible());
    EXPECT_EQ(fp.StatusFPButton->text(), "&Status");
}

}  // namespace
}  // namespace tavrin::app::testing
