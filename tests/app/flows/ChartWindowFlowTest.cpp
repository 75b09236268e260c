// The NTP and modulation windows on a fake host: the time base each show sets up, the redraw
// from the sample memory against the template, pan and zoom clamped and copied between the
// charts, undo-zoom, the close handling of the chart buttons and the poll, and trace export.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QTemporaryDir>
#include <QValueAxis>
#include <QWheelEvent>

#include "FakeChartHost.h"
#include "FakeTester.h"
#include "display/TModulationForm.h"
#include "display/TNTPForm.h"

namespace tavrin::app::testing {
namespace {

constexpr int kStoreOffset = 450;

// A burst at `level` dBm from sample 0 through the five samples after the short slot's end,
// -85 dBm around it; `extra` may change single samples (by burst position).
std::function<int16_t(uint16_t)> Burst(double level, std::map<int, double> extra = {}) {
    return [=](uint16_t index) {
        const int x = index - kStoreOffset;
        double p = x >= 0 && x < 3821 ? level : -85;
        if (const auto it = extra.find(x); it != extra.end()) p = it->second;
        return static_cast<int16_t>(std::lround(p * 10));
    };
}

struct Charts {
    Charts() {
        PairCharts(ntp, modulation);
        host.power = Burst(20);
        host.ntpText = "20.0";
    }
    ~Charts() {
        ntp.hide();
        modulation.hide();
    }
    AxisRange x(ChartWindow& w) const { return w.chart()->view().x; }
    AxisRange y(ChartWindow& w) const { return w.chart()->view().y; }

    FakeChartHost host;
    ScriptedDialogs dialogs;
    TNTPForm ntp{host, dialogs};
    TModulationForm modulation{host, dialogs};
};

TEST(ChartWindows, ShowBesideTheLinkWindowDrawsTheSlotInBitsAgainstTheTemplate) {
    Charts c;
    c.host.catIq = true;  // a long slot only counts with CAT-iq on
    c.ntp.show();
    EXPECT_EQ(c.host.unit, ChartUnit::Bits);
    EXPECT_EQ(c.host.clock, 9.0f);
    EXPECT_EQ(c.host.windowLength, 4140);
    EXPECT_EQ(c.x(c.ntp), (AxisRange{-50, 460}));
    EXPECT_EQ(c.x(c.modulation), (AxisRange{-50, 460}));
    EXPECT_EQ(c.ntp.chart()->horizontalAxis()->titleText(), "BIT");
    EXPECT_EQ(c.modulation.chart()->horizontalAxis()->titleText(), "BIT");
    EXPECT_FALSE(c.host.polling);  // the link window's poll runs it
    EXPECT_TRUE(c.ntp.lblNTPFRAMESTATUS->isVisibleTo(&c.ntp));

    c.ntp.refreshChart();
    ASSERT_EQ(c.host.powerReads.size(), 4590u);  // -450 .. 4139 samples
    EXPECT_EQ(c.host.powerReads.front(), 0);
    EXPECT_EQ(c.host.powerReads.back(), 4589);
    EXPECT_EQ(c.ntp.MeasuredSeries->count(), 4590);
    EXPECT_EQ(c.ntp.UpperLimitSeries->count(), 12);  // the corners of the flat runs
    EXPECT_EQ(c.ntp.InnerLimit->count(), 12);
    EXPECT_EQ(c.ntp.MeasuredSeries->at(450), QPointF(0, 20));
    EXPECT_EQ(c.ntp.lblNTPFRAMESTATUS->text(), "Matching");

    // A 6 dB overshoot at the top of the ramp leaves the template...
    c.host.power = Burst(20, {{10, 26}, {11, 26}});
    c.ntp.refreshChart();
    EXPECT_EQ(c.ntp.lblNTPFRAMESTATUS->text(), "Not Matching");
    // ...a point at 40 dBm or more never does.
    c.host.power = Burst(20, {{10, 40}});
    c.ntp.refreshChart();
    EXPECT_EQ(c.ntp.lblNTPFRAMESTATUS->text(), "Matching");
    // A burst that ends early falls below level F + R after the slot.
    c.host.power = Burst(20, {{3818, -85}});
    c.ntp.refreshChart();
    EXPECT_EQ(c.ntp.lblNTPFRAMESTATUS->text(), "Not Matching");

    // Without an NTP reading the relative levels sit on 14.5 dB with the RX attenuator.
    c.host.ntpText = "---";
    c.host.rxAttenuator = true;
    c.host.power = Burst(14.5);
    c.ntp.refreshChart();
    EXPECT_EQ(c.ntp.lblNTPFRAMESTATUS->text(), "Matching");
    c.host.rxAttenuator = false;
    c.ntp.refreshChart();
    EXPECT_EQ(c.ntp.lblNTPFRAMESTATUS->text(), "Not Matching");

    // P64Z with CAT-iq: the long slot in bits.
    c.ntp.hide();
    c.host.p64z = true;
    c.ntp.show();
    EXPECT_EQ(c.host.windowLength, 7020);
    EXPECT_EQ(c.x(c.ntp), (AxisRange{-50, 780}));
}

TEST(ChartWindows, AnalyzerPageShowsAShortMicrosecondWindowAndTheTraceAlone) {
    Charts c;
    c.host.analyzer = true;
    c.ntp.show();
    EXPECT_TRUE(c.host.polling);
    EXPECT_EQ(c.host.unit, ChartUnit::Microseconds);
    EXPECT_EQ(c.host.clock, 10.368f);
    EXPECT_EQ(c.host.windowLength, 264);
    EXPECT_EQ(c.x(c.ntp).min, 0);
    EXPECT_NEAR(c.x(c.ntp).max, 264 / 10.368, 1e-5);
    EXPECT_EQ(c.x(c.modulation), c.x(c.ntp));
    EXPECT_EQ(c.ntp.chart()->horizontalAxis()->titleText(), "Time [us]");
    EXPECT_FALSE(c.ntp.lblNTPFRAMESTATUS->isVisibleTo(&c.ntp));

    c.host.power = Burst(50);  // far outside any template: no verdict here
    c.ntp.refreshChart();
    EXPECT_EQ(c.host.powerReads.size(), 265u);  // one more than the window
    EXPECT_EQ(c.host.powerReads.front(), 450);
    EXPECT_EQ(c.ntp.MeasuredSeries->count(), 265);
    EXPECT_EQ(c.ntp.UpperLimitSeries->count(), 0);
    EXPECT_EQ(c.ntp.InnerLimit->count(), 0);

    // The modulation chart reads its store from index 0 in the microsecond display.
    c.modulation.show();
    EXPECT_EQ(c.host.captures, 1);
    c.host.deviation = [](uint16_t i) { return static_cast<int16_t>(i % 2 ? 2885 : -2885); };
    c.modulation.refreshChart();
    ASSERT_EQ(c.host.deviationReads.size(), 265u);
    EXPECT_EQ(c.host.deviationReads.front(), 0);
    EXPECT_NEAR(c.modulation.DeviationSeries->at(1).x(), 1 / 10.368, 1e-6);
    EXPECT_EQ(c.modulation.DeviationSeries->at(1).y(), 288.5);
}

TEST(ChartWindows, ModulationInBitsReadsFromTheBurstOffset) {
    Charts c;
    c.modulation.show();
    EXPECT_EQ(c.host.captures, 1);
    c.modulation.chart()->setHorizontal({-50, 460});
    c.modulation.refreshChart();
    ASSERT_EQ(c.host.deviationReads.size(), 4590u);
    EXPECT_EQ(c.host.deviationReads.front(), 0);  // -450 + 450
    EXPECT_EQ(c.modulation.DeviationSeries->at(0).x(), -50);
    // A view that reaches left of the store reads nothing there (no wrap to the top indices,
    // which the tester takes as demodulator commands).
    c.host.deviationReads.clear();
    c.host.unit = ChartUnit::Microseconds;
    c.host.clock = 10.368f;
    c.modulation.chart()->setHorizontal({-2, 2});
    c.modulation.refreshChart();
    ASSERT_FALSE(c.host.deviationReads.empty());
    EXPECT_EQ(c.host.deviationReads.front(), 0);
}

// The tester thread reads each redraw's samples before the redraw: the span a chart asks for
// holds every sample it then draws, and no more than one past either end, in every view.
TEST(ChartWindows, TheSampleSpanHoldsEverySampleTheRedrawReads) {
    Charts c;
    c.ntp.show();
    c.modulation.show();
    struct View {
        ChartUnit unit;
        float clock;
        bool analyzer;
        AxisRange x;
    };
    for (const View& v : {View{ChartUnit::Bits, 10.368f, false, {-50, 460}},
                          View{ChartUnit::Bits, 10.368f, false, {3.3, 7.9}},
                          View{ChartUnit::Microseconds, 9.0f, false, {0, 25.5}},
                          View{ChartUnit::Microseconds, 10.368f, false, {-2, 2}},
                          View{ChartUnit::Bits, 9.0f, true, {0, 25.5}},
                          View{ChartUnit::Bits, 9.0f, false, {400, 780}}}) {
        c.host.unit = v.unit;
        c.host.clock = v.clock;
        c.host.analyzer = v.analyzer;
        for (ChartWindow* chart :
             {static_cast<ChartWindow*>(&c.ntp), static_cast<ChartWindow*>(&c.modulation)}) {
            chart->chart()->setHorizontal(v.x);
            const SampleSpan span = chart->sampleSpan();
            c.host.powerReads.clear();
            c.host.deviationReads.clear();
            chart->refreshChart();
            const std::vector<uint16_t>& reads =
                chart == &c.ntp ? c.host.powerReads : c.host.deviationReads;
            ASSERT_FALSE(reads.empty()) << v.x.min;
            const auto [low, high] = std::minmax_element(reads.begin(), reads.end());
            EXPECT_GE(*low, span.first) << static_cast<int>(v.unit) << " " << v.x.min;
            EXPECT_LT(*high, span.first + span.count) << static_cast<int>(v.unit) << " " << v.x.min;
            EXPECT_LE(span.count, *high - *low + 2) << static_cast<int>(v.unit) << " " << v.x.min;
        }
    }
    EXPECT_EQ(StoreSpan(-5, 3, 100).first, 0);
    EXPECT_EQ(StoreSpan(-5, 3, 100).count, 4);
    EXPECT_EQ(StoreSpan(98, 120, 100).count, 3);
    EXPECT_EQ(StoreSpan(-9, -2, 100).count, 0);
}

TEST(ChartWindows, PanAndZoomAreClampedAndCopiedToTheOtherChart) {
    Charts c;
    c.ntp.show();
    c.modulation.show();
    c.ntp.setPowerRange(-50, 30);
    c.ntp.chart()->setHorizontal({100, 200});
    c.ntp.chart()->setVertical({-100, 50});
    c.ntp.NTPChartZoom();
    EXPECT_EQ(c.x(c.modulation), (AxisRange{100, 200}));
    EXPECT_EQ(c.y(c.ntp), (AxisRange{-50, 30}));

    c.modulation.chart()->setHorizontal({-80, 150});
    c.modulation.chart()->setVertical({-900, 100});
    c.modulation.ModulationChartScroll();
    EXPECT_EQ(c.x(c.modulation), (AxisRange{-50, 150}));
    EXPECT_EQ(c.y(c.modulation), (AxisRange{-600, 100}));
    EXPECT_EQ(c.x(c.ntp), (AxisRange{-50, 150}));

    // Beyond the end of the slot.
    c.ntp.chart()->setHorizontal({400, 600});
    c.ntp.NTPChartScroll();
    EXPECT_EQ(c.x(c.ntp), (AxisRange{400, 460}));

    // A hidden chart copies nothing.
    c.ntp.hide();
    c.ntp.chart()->setHorizontal({10, 20});
    c.ntp.NTPChartZoom();
    EXPECT_EQ(c.x(c.modulation), (AxisRange{400, 460}));

    // Panning beyond 0 in the microsecond display snaps back to 0.
    c.host.unit = ChartUnit::Microseconds;
    c.modulation.chart()->setHorizontal({-3, 20});
    c.modulation.ModulationChartScroll();
    EXPECT_EQ(c.x(c.modulation).min, 0);
}

TEST(ChartWindows, UndoZoomRestoresBothCharts) {
    Charts c;
    c.ntp.show();
    c.modulation.show();
    c.ntp.setPowerRange(-30, 50);
    for (ChartWindow* w :
         {static_cast<ChartWindow*>(&c.ntp), static_cast<ChartWindow*>(&c.modulation)}) {
        w->chart()->setHorizontal({100, 200});
        w->chart()->setVertical({-10, 10});
    }
    c.ntp.NTPChartUndoZoom();
    EXPECT_EQ(c.x(c.ntp), (AxisRange{-50, 460}));
    EXPECT_EQ(c.y(c.ntp), (AxisRange{-30, 50}));
    EXPECT_EQ(c.x(c.modulation), (AxisRange{-50, 460}));
    EXPECT_EQ(c.y(c.modulation), (AxisRange{-600, 600}));

    for (ChartWindow* w :
         {static_cast<ChartWindow*>(&c.ntp), static_cast<ChartWindow*>(&c.modulation)}) {
        w->chart()->setHorizontal({100, 200});
        w->chart()->setVertical({-10, 10});
    }
    c.ntp.setPowerRange(-70, 10);
    c.modulation.UndoZoomButton->click();
    EXPECT_EQ(c.x(c.ntp), (AxisRange{-50, 460}));
    EXPECT_EQ(c.y(c.ntp), (AxisRange{-70, 10}));
    EXPECT_EQ(c.x(c.modulation), (AxisRange{-50, 460}));
    EXPECT_EQ(c.y(c.modulation), (AxisRange{-600, 600}));
}

TEST(ChartWindows, CloseRestoresTheButtonThatOpenedTheChartAndStopsAnIdlePoll) {
    Charts c;
    const auto link = [](ChartKind k) { return std::pair{ChartOpener::LinkWindow, k}; };
    const auto main = [](ChartKind k) { return std::pair{ChartOpener::MainWindow, k}; };

    // Opened from the link window, which is open: the poll keeps running.
    c.host.linkVisible = true;
    c.host.polling = true;
    c.host.flags[link(ChartKind::Modulation)] = 0;
    c.modulation.FormClose();
    EXPECT_EQ(c.host.flags[link(ChartKind::Modulation)], 1);
    EXPECT_EQ(c.host.captions[link(ChartKind::Modulation)], "Show &Modulation");
    EXPECT_TRUE(c.host.polling);
    c.host.flags[link(ChartKind::Power)] = 0;
    c.ntp.FormClose();
    EXPECT_EQ(c.host.captions[link(ChartKind::Power)], "Show &NTP");
    EXPECT_TRUE(c.host.polling);

    // Opened from the analyzer page with the other chart still open there: the poll goes on.
    c.host.linkVisible = false;
    c.modulation.show();
    c.host.polling = true;
    c.host.flags[main(ChartKind::Power)] = 0;
    c.host.flags[main(ChartKind::Modulation)] = 0;
    c.ntp.FormClose();
    EXPECT_EQ(c.host.flags[main(ChartKind::Power)], 1);
    EXPECT_EQ(c.host.captions[main(ChartKind::Power)], "Show Po&wer");
    EXPECT_TRUE(c.host.polling);
    // The last chart closed there stops it.
    c.modulation.hide();
    c.modulation.FormClose();
    EXPECT_EQ(c.host.flags[main(ChartKind::Modulation)], 1);
    EXPECT_FALSE(c.host.polling);

    // The close box runs the close handling.
    c.host.polling = true;
    c.host.flags[main(ChartKind::Power)] = 0;
    c.ntp.show();
    c.ntp.close();
    EXPECT_EQ(c.host.flags[main(ChartKind::Power)], 1);
    EXPECT_FALSE(c.host.polling);
}

TEST(ChartWindows, SaveTraceWritesTheShownSamplesOrTheChartImage) {
    Charts c;
    QTemporaryDir dir;
    c.ntp.show();
    c.ntp.refreshChart();
    ASSERT_TRUE(c.ntp.saveTrace(dir.filePath("burst.csv")));
    QFile csv(dir.filePath("burst.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    ASSERT_EQ(lines.size(), 1 + 4590 + 1);  // header, one line per sample, final newline
    EXPECT_EQ(lines[0], "Time [bit],Power [dBm],Upper limit [dBm],Lower limit [dBm]");
    EXPECT_EQ(lines[1], "-50,-85,-47,-90");
    EXPECT_EQ(lines[1 + 450], "0,20,24,19");
    EXPECT_EQ(lines[1 + 450 + 3816], "424,20,21,15");

    // The button asks for the name; without a suffix the trace is CSV.
    c.dialogs.saveAnswer = dir.filePath("modulation");
    c.modulation.show();
    c.modulation.refreshChart();
    c.modulation.SaveTraceButton->click();
    QFile modulation(dir.filePath("modulation.csv"));
    ASSERT_TRUE(modulation.open(QIODevice::ReadOnly));
    EXPECT_EQ(modulation.readLine(), "Time [bit],Deviation [kHz]\n");

    ASSERT_TRUE(c.ntp.saveTrace(dir.filePath("burst.png")));
    EXPECT_FALSE(QImage(dir.filePath("burst.png")).isNull());

    // A place that cannot be written is reported, and nothing claims success.
    EXPECT_FALSE(c.ntp.saveTrace(dir.filePath("missing/burst.csv")));
    ASSERT_EQ(c.dialogs.messages.size(), 1u);
    EXPECT_TRUE(c.dialogs.messages[0].startsWith("The trace was not saved"));
}

}  // namespace
}  // namespace tavrin::app::testing

namespace tavrin::app::testing {
namespace {

// The mouse on the chart itself: a left drag zooms to the rectangle, a right drag pans, the
// wheel zooms, a double click undoes the zoom; each ends clamped and copied to the other chart.
TEST(ChartWindows, MouseZoomsPansAndUndoesOnTheChart) {
    Charts c;
    c.ntp.show();
    c.modulation.show();
    ChartPanel* panel = c.ntp.chart();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&c.ntp));
    const QRectF plot = panel->chart()->plotArea();
    const auto at = [&](double fx, double fy) {
        return panel->mapFromScene(plot.left() + fx * plot.width(),
                                   plot.top() + fy * plot.height());
    };
    QWidget* surface = panel->viewport();
    QTest::mousePress(surface, Qt::LeftButton, {}, at(0.2, 0.2));
    QTest::mouseMove(surface, at(0.5, 0.6));
    QTest::mouseRelease(surface, Qt::LeftButton, {}, at(0.6, 0.8));
    const AxisRange zoomed = c.x(c.ntp);
    EXPECT_GT(zoomed.min, -50 + 0.15 * 510);
    EXPECT_LT(zoomed.max, -50 + 0.65 * 510);
    EXPECT_EQ(c.x(c.modulation), zoomed);

    // Panning right past the start of the slot stops at its floor.
    QTest::mousePress(surface, Qt::RightButton, {}, at(0.1, 0.5));
    for (double f = 0.2; f <= 0.9; f += 0.1) QTest::mouseMove(surface, at(f, 0.5));
    QTest::mouseRelease(surface, Qt::RightButton, {}, at(0.9, 0.5));
    EXPECT_EQ(c.x(c.ntp).min, -50);
    EXPECT_EQ(c.x(c.modulation).min, -50);

    QWheelEvent wheel(at(0.5, 0.5), panel->mapToGlobal(at(0.5, 0.5)), {}, {0, 120}, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    const double before = c.x(c.ntp).max - c.x(c.ntp).min;
    QApplication::sendEvent(surface, &wheel);
    EXPECT_LT(c.x(c.ntp).max - c.x(c.ntp).min, before);

    QTest::mouseDClick(surface, Qt::LeftButton, {}, at(0.5, 0.5));
    EXPECT_EQ(c.x(c.ntp), (AxisRange{-50, 460}));
    EXPECT_EQ(c.x(c.modulation), (AxisRange{-50, 460}));
}

}  // namespace
}  // namespace tavrin::app::testing
