// One tick of the link window's poll, run straight on the library and the virtual tester (no
// program, no charts drawn): what it costs on the link model (the virtual clock) and what it
// takes in real time when the virtual tester paces itself on the steady clock, with the
// bridge's waits counted: how many, how long they were asked to be, how much longer they took.
// Run as `tavrin_tick_bench [seconds]`; the real-time figure is the bound for the window's
// poll rate, the rest of the window (threads, redraws) adds to it.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "Firmware.h"
#include "SimUsbDriver.h"
#include "common/MeasurementCycle.h"
#include "link/MeasurementRig.h"
#include "transport/Link.h"

namespace {

using tavrin::Clock;

// The refresh's queries go straight to the link instance.
struct LinkQueries final : tavrin::common::QueryPort {
    explicit LinkQueries(std::function<std::string(const char*)> run) : m_run(std::move(run)) {}
    std::string Query(const std::string& line) override {
        ++sent;
        return m_run(line.c_str());
    }
    bool Failed() const override { return false; }
    int sent = 0;

private:
    std::function<std::string(const char*)> m_run;
};

// Forwards to a clock and counts the waits asked of it and how much longer they took.
class CountingClock final : public Clock {
public:
    explicit CountingClock(Clock& inner) : m_inner(inner) {}
    uint32_t nowMs() override { return m_inner.nowMs(); }
    void sleepMs(uint32_t ms) override { sleepUs(uint64_t{ms} * 1000); }
    uint64_t nowUs() override { return m_inner.nowUs(); }
    void sleepUs(uint64_t us) override {
        const uint64_t before = m_inner.nowUs();
        m_inner.sleepUs(us);
        const uint64_t took = m_inner.nowUs() - before;
        ++sleeps;
        askedUs += us;
        if (took > us) overUs += took - us;
    }
    uint64_t sleeps = 0, askedUs = 0, overUs = 0;

private:
    Clock& m_inner;
};

// The firmware with its device under test and a calibrated tester, on the given clock, set up
// as the program does it before the window polls: port, reset, PP test, CTRL mode, link up.
struct LiveLink {
    std::shared_ptr<tavrin::sim::VirtualTester> tester;
    std::unique_ptr<tavrin::Link> link;

    explicit LiveLink(Clock& clock) {
        tester = std::make_shared<tavrin::sim::VirtualTester>(clock);
        std::string reason;
        if (!tavrin::sim::InstallFirmware(*tester, tavrin::SimulationSettings{}, reason)) {
            std::fprintf(stderr, "the virtual tester cannot start: %s\n", reason.c_str());
            std::exit(1);
        }
        tavrin::testing::RigCalibration{}.WriteInto(*tester);
        link = std::make_unique<tavrin::Link>(clock,
                                              std::make_unique<tavrin::sim::SimUsbDriver>(tester));
        for (const char* line : {"CONF:COMM:PORT USB", "SYST:RESET", "CONF:TEST:TYPE DPP",
                                 "CONF:SAMPLE:MODE CTRL", "CONF:AVER:BURS 1", "PROC:CONN:SET"})
            Run(line);
        for (int i = 0; i < 500 && Run("STAT:DEV?") != "DCE"; ++i) clock.sleepMs(10);
        if (Run("STAT:DEV?") != "DCE") {
            std::fprintf(stderr, "the link did not come up\n");
            std::exit(1);
        }
    }
    std::string Run(const char* line) {
        link->ZelkWrt(line, true);
        char out[tavrin::kResponseSize] = {};
        link->ZelkRd(out, false);
        return out;
    }
};

struct TickFigures {
    int commands = 0;
    double msPerTick = 0;
    double cpuMsPerTick = 0;  // the library's and the virtual tester's own work (wall time)
    double sleepsPerTick = 0, askedMsPerTick = 0, overMsPerTick = 0;
};

// Ticks until `budgetUs` of the clock has passed (at least three ticks).
TickFigures Measure(Clock& base, bool charts, uint64_t budgetUs) {
    CountingClock clock(base);
    LiveLink live(clock);
    LinkQueries queries([&live](const char* line) { return live.Run(line); });
    tavrin::common::MeasurementCycle cycle;
    tavrin::common::LinkReadout readout;
    // The window's tick with every PP measurement ticked, in the program's order: the state,
    // the forced capture, then the refresh. With a chart open the tick also asks the packet
    // delay for the chart's caption before the refresh.
    const auto tick = [&] {
        queries.Query("STAT:DEV?");
        queries.Query("PROC:SAMP:FORC");
        if (charts) queries.Query("FETCH:PACK:DEL?");
        cycle.refresh(queries, tavrin::common::RefreshChoice{}, {}, readout);
    };
    tick();  // the first capture is not the steady state
    clock.sleeps = clock.askedUs = clock.overUs = 0;
    const uint64_t start = clock.nowUs();
    const auto wallStart = std::chrono::steady_clock::now();
    int ticks = 0;
    queries.sent = 0;
    while (ticks < 3 || clock.nowUs() - start < budgetUs) {
        tick();
        ++ticks;
    }
    const double n = ticks;
    TickFigures f;
    f.commands = queries.sent / ticks;
    f.msPerTick = static_cast<double>(clock.nowUs() - start) / n / 1000.0;
    f.cpuMsPerTick =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wallStart)
            .count() /
        n;
    f.sleepsPerTick = static_cast<double>(clock.sleeps) / n;
    f.askedMsPerTick = static_cast<double>(clock.askedUs) / n / 1000.0;
    f.overMsPerTick = static_cast<double>(clock.overUs) / n / 1000.0;
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::printf("tick of the link window, PP, every measurement ticked\n");
    for (const bool charts : {false, true}) {
        tavrin::VirtualClock virtualClock;
        const TickFigures model = Measure(virtualClock, charts, 3'000'000);
        tavrin::SteadyClock steady;
        const TickFigures real = Measure(steady, charts, uint64_t(seconds) * 1'000'000);
        std::printf(
            "%s (%d commands): link model %.1f ms (%.2f per second), plus %.1f ms of CPU work "
            "(library and virtual tester) that it does not count; real time %.1f ms (%.2f per "
            "second), %.0f waits of the bridge asked for %.1f ms "
            "and took %.1f ms longer\n",
            charts ? "with a chart open" : "without charts", model.commands, model.msPerTick,
            1000.0 / model.msPerTick, model.cpuMsPerTick, real.msPerTick, 1000.0 / real.msPerTick,
            real.sleepsPerTick, real.askedMsPerTick, real.overMsPerTick);
    }
    return 0;
}
