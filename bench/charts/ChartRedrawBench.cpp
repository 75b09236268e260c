// A full redraw of both chart windows for a long slot in the bit display: 7470 samples
// (-450 .. 7020), three power series (trace, upper and lower limit) and one deviation
// series filled, then both charts rendered once into an image, as the screen would draw them.
// Offscreen platform. The samples come from memory, or from the library's sample store after
// one capture on the virtual tester (one library call per sample, as the poll reads them).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QLineSeries>
#include <QPainter>
#include <QTest>
#include <cmath>
#include <cstring>
#include <memory>

#include "app/FakeChartHost.h"
#include "app/FakeTester.h"
#include "core/LibrarySession.h"
#include "core/TesterPort.h"
#include "display/TModulationForm.h"
#include "display/TNTPForm.h"

namespace {

using namespace tavrin::app;

// Both windows shown in the bit display of a long slot (CAT-iq, P64Z): 7470 samples each.
struct LongSlotCharts {
    LongSlotCharts() {
        host.catIq = true;
        host.p64z = true;
        host.ntpText = "24.0";
        PairCharts(ntp, modulation);
        ntp.show();
        modulation.show();
    }
    void redraw() {
        modulation.refreshChart();
        ntp.refreshChart();
        render();
    }
    void render() {
        QPainter painter(&image);
        ntp.chart()->render(&painter);
        modulation.chart()->render(&painter);
    }

    testing::FakeChartHost host;
    testing::ScriptedDialogs dialogs;
    TNTPForm ntp{host, dialogs};
    TModulationForm modulation{host, dialogs};
    QImage image{598, 320, QImage::Format_ARGB32_Premultiplied};
};

// A long slot's burst at 24 dBm.
int16_t BurstInMemory(uint16_t index) {
    const int x = index - 450;
    return static_cast<int16_t>(x >= 0 && x < 6701 ? 240 : -850);
}

void Report(benchmark::State& state, LongSlotCharts& charts) {
    state.counters["samples"] = charts.ntp.MeasuredSeries->count();
    state.counters["power points"] = charts.ntp.MeasuredSeries->count() +
                                     charts.ntp.UpperLimitSeries->count() +
                                     charts.ntp.InnerLimit->count();
    state.counters["deviation points"] = charts.modulation.DeviationSeries->count();
}

void BM_LongSlotRedrawFromMemory(benchmark::State& state) {
    LongSlotCharts charts;
    charts.host.power = BurstInMemory;
    charts.host.deviation = [](uint16_t i) {
        return static_cast<int16_t>(2880 * std::sin(i * 0.35));
    };
    for (auto _ : state) charts.redraw();
    Report(state, charts);
}
BENCHMARK(BM_LongSlotRedrawFromMemory)->Unit(benchmark::kMillisecond);

// The parts of a redraw: the series filled (no drawing), and a chart drawn again unchanged.
void BM_LongSlotFillOnly(benchmark::State& state) {
    LongSlotCharts charts;
    charts.host.power = BurstInMemory;
    for (auto _ : state) {
        charts.modulation.refreshChart();
        charts.ntp.refreshChart();
    }
}
BENCHMARK(BM_LongSlotFillOnly)->Unit(benchmark::kMillisecond);

void BM_LongSlotRepaintOnly(benchmark::State& state) {
    LongSlotCharts charts;
    charts.host.power = BurstInMemory;
    charts.modulation.refreshChart();
    charts.ntp.refreshChart();
    for (auto _ : state) charts.render();
}
BENCHMARK(BM_LongSlotRepaintOnly)->Unit(benchmark::kMillisecond);

void BM_LongSlotRedrawFromTheLibrary(benchmark::State& state) {
    if (!SelectDriver("sim")) {
        state.SkipWithError("the virtual tester cannot be selected");
        return;
    }
    LibraryPort port;
    char reply[kReplyBufferSize] = {};
    const auto ask = [&](const char* line) {
        port.write(line);
        std::memset(reply, 0, sizeof reply);
        port.read(reply);
        return std::string(reply);
    };
    port.write("CONF:COMM:PORT USB");
    port.write("SYST:RESET");
    QTest::qWaitFor([&] { return ask("STAT:DEV?") == "IDLE"; }, 20000);
    for (const char* line : {"CONF:SAMPLE:MODE CTRL", "CONF:TEST:TYPE DPP", "PROC:CONN:SET"})
        port.write(line);
    QTest::qWaitFor([&] { return ask("STAT:DEV?") == "DCE"; }, 20000);
    LongSlotCharts charts;
    port.forceCapture();
    charts.host.ntpText = QString::fromStdString(ask("READ:NTP?"));
    charts.host.power = [&](uint16_t i) { return port.readPowerSample(i); };
    charts.host.deviation = [&](uint16_t i) { return port.readDeviationSample(i); };
    for (auto _ : state) charts.redraw();
    Report(state, charts);
}
BENCHMARK(BM_LongSlotRedrawFromTheLibrary)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
