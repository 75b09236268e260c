// The NTP chart end to end on the virtual tester: a portable part in a PP test, one forced
// capture, the burst read sample by sample through the library and judged against the
// template. The default device matches; the non-compliant one, whose ramp overshoots by 6 dB,
// does not. The saved trace holds one line per sample. Each test runs in a process of its own.
#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QLineSeries>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>

#include "FakeChartHost.h"
#include "FakeTester.h"
#include "core/LibrarySession.h"
#include "core/TesterPort.h"
#include "display/TModulationForm.h"
#include "display/TNTPForm.h"

namespace tavrin::app::testing {
namespace {

std::string Ask(LibraryPort& port, const char* line) {
    char reply[kReplyBufferSize] = {};
    port.write(line);
    port.read(reply);
    return reply;
}

// The virtual tester with a portable part linked in a PP test, the chart host reading its
// sample memory and the NTP field holding the part's measured power.
struct LinkedPart {
    explicit LinkedPart(const char* profile) {
        if (profile)
            EXPECT_TRUE(ConfigureSimulatedTester(
                "dut", std::string(TAVRIN_SOURCE_DIR) + "/sim/profiles/" + profile));
        EXPECT_TRUE(SelectDriver("sim"));
        for (const char* line : {"CONF:COMM:PORT USB", "SYST:RESET"}) port.write(line);
        EXPECT_TRUE(QTest::qWaitFor([this] { return Ask(port, "STAT:DEV?") == "IDLE"; }, 20000));
        for (const char* line : {"CONF:SAMPLE:MODE CTRL", "CONF:TEST:TYPE DPP", "PROC:CONN:SET"})
            EXPECT_EQ(port.write(line), 0) << line;
        EXPECT_TRUE(QTest::qWaitFor([this] { return Ask(port, "STAT:DEV?") == "DCE"; }, 20000));
        port.write("PROC:SAMP:FORC");
        host.ntpText = QString::fromStdString(Ask(port, "READ:NTP?"));
        host.power = [this](uint16_t i) { return port.readPowerSample(i); };
        host.deviation = [this](uint16_t i) { return port.readDeviationSample(i); };
        PairCharts(ntp, modulation);
    }
    ~LinkedPart() {
        ntp.hide();
        modulation.hide();
    }
    QString verdict() {
        ntp.show();
        ntp.refreshChart();
        return ntp.lblNTPFRAMESTATUS->text();
    }

    LibraryPort port;
    FakeChartHost host;
    ScriptedDialogs dialogs;
    TNTPForm ntp{host, dialogs};
    TModulationForm modulation{host, dialogs};
};

TEST(ChartsOnTheVirtualTester, DefaultDeviceBurstMatchesAndItsTraceExportsWhole) {
    LinkedPart part(nullptr);
    bool ok = false;
    const double ntp = part.host.ntpText.toDouble(&ok);
    ASSERT_TRUE(ok) << part.host.ntpText.toStdString();
    EXPECT_EQ(part.verdict(), "Matching");
    // The burst's top sits at the measured power, the store outside the burst far below it.
    const QLineSeries& trace = *part.ntp.MeasuredSeries;
    ASSERT_EQ(trace.count(), 4590);
    EXPECT_NEAR(trace.at(450 + 2000).y(), ntp, 1.0);
    EXPECT_LT(trace.at(100).y(), ntp - 30);

    QTemporaryDir dir;
    ASSERT_TRUE(part.ntp.saveTrace(dir.filePath("burst.csv")));
    QFile csv(dir.filePath("burst.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().trimmed().split('\n');
    ASSERT_EQ(lines.size(), 1 + 4590);
    EXPECT_EQ(lines[0], "Time [bit],Power [dBm],Upper limit [dBm],Lower limit [dBm]");
    for (const QByteArray& line : lines.mid(1)) ASSERT_EQ(line.count(','), 3) << line.constData();

    // The modulation chart over the same slot shows the part's deviation.
    part.modulation.show();
    part.modulation.refreshChart();
    const QLineSeries& deviation = *part.modulation.DeviationSeries;
    ASSERT_EQ(deviation.count(), 4590);
    double peak = 0;
    for (int i = 450; i < 450 + 3816; ++i) peak = std::max(peak, std::abs(deviation.at(i).y()));
    EXPECT_GT(peak, 200);
    EXPECT_LT(peak, 600);
}

TEST(ChartsOnTheVirtualTester, OvershootingRampDoesNotMatch) {
    LinkedPart part("noncompliant-pp.ini");
    EXPECT_EQ(part.verdict(), "Not Matching");
}

TEST(ChartsOnTheVirtualTester, CompliantPartMatches) {
    LinkedPart part("compliant-pp.ini");
    EXPECT_EQ(part.verdict(), "Matching");
}

}  // namespace
}  // namespace tavrin::app::testing
