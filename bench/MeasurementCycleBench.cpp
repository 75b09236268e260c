// One tick of the live measurement window on the virtual tester with its device under test:
// the state poll, the forced sample and the measurement queries of one averaged burst in CTRL
// mode. Reports what the operator waits for: exchanges, bytes each way, the modelled link time
// of the FT232R, and the lower bound of the capture's bytes at the link rate plus one latency
// per command.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "LinkCostModel.h"
#include "SimLink.h"
#include "common/MeasurementCycle.h"
#include "link/MeasurementRig.h"

namespace {

using tavrin::testing::RigCalibration;

// The shared measurement cycle's queries go straight to the link instance.
struct SimQueries final : tavrin::common::QueryPort {
    explicit SimQueries(tavrin::testing::SimLink& link) : sim(link) {}
    std::string Query(const std::string& line) override {
        ++sent;
        return sim.Run(line.c_str());
    }
    bool Failed() const override { return false; }
    tavrin::testing::SimLink& sim;
    uint64_t sent = 0;
};

// The window's tick asks everything it shows; the short one only the averaged values and the
// long-term BER/FER.
tavrin::common::RefreshChoice ShortChoice() {
    tavrin::common::RefreshChoice choice;
    choice.slotSize = choice.timing = choice.jitter = choice.frameFlags = false;
    return choice;
}

// The full firmware (device states and capture synthesis) with a calibrated tester, set up as
// the program does it: port, reset, PP test, CTRL mode with one burst, link up.
struct LiveWindow {
    tavrin::testing::SimLink sim{tavrin::SimulationSettings{}, false};
    LiveWindow() {
        RigCalibration{}.WriteInto(*sim.tester);
        for (const char* line : {"CONF:COMM:PORT USB", "SYST:RESET", "CONF:TEST:TYPE DPP",
                                 "CONF:SAMPLE:MODE CTRL", "CONF:AVER:BURS 1", "PROC:CONN:SET"})
            sim.Run(line);
        for (int i = 0; i < 500 && sim.Run("STAT:DEV?") != "DCE"; ++i) sim.clock.sleepMs(10);
        if (sim.Run("STAT:DEV?") != "DCE") std::fprintf(stderr, "the link did not come up\n");
    }
};

void RunCycle(benchmark::State& state, const tavrin::common::RefreshChoice& choice) {
    LiveWindow window;
    tavrin::testing::SimLink& sim = window.sim;
    SimQueries queries(sim);
    tavrin::common::MeasurementCycle cycle;
    tavrin::common::LinkReadout readout;
    const tavrin::sim::LinkCostModel model;
    uint64_t requests = 0, waits = 0, toTester = 0, fromTester = 0, us = 0, cycles = 0;
    for (auto _ : state) {
        const auto before = sim.tester->counters;
        const uint64_t waitsBefore = sim.driver->bridge.waits;
        const uint64_t t0 = sim.clock.nowUs();
        // The tick's state poll and capture, then the cycle's queries.
        benchmark::DoNotOptimize(queries.Query("STAT:DEV?"));
        benchmark::DoNotOptimize(queries.Query("PROC:SAMP:FORC"));
        cycle.refresh(queries, choice, {}, readout);
        us += sim.clock.nowUs() - t0;
        requests += sim.tester->counters.requests - before.requests;
        waits += sim.driver->bridge.waits - waitsBefore;
        toTester += sim.tester->counters.bytesToTester - before.bytesToTester;
        fromTester += sim.tester->counters.bytesFromTester - before.bytesFromTester;
        ++cycles;
        sim.ClearLogs();
    }
    const double n = static_cast<double>(cycles);
    const double commands = static_cast<double>(queries.sent) / n;
    const double boundUs =
        3 * 8192 * model.ByteUs() + commands * static_cast<double>(model.latencyUs);
    state.counters["exchanges"] = static_cast<double>(requests) / n;
    state.counters["bridge_waits"] = static_cast<double>(waits) / n;
    state.counters["bytes_to_tester"] = static_cast<double>(toTester) / n;
    state.counters["bytes_from_tester"] = static_cast<double>(fromTester) / n;
    state.counters["link_ms"] = static_cast<double>(us) / n / 1000.0;
    state.counters["bound_ms"] = boundUs / 1000.0;
    state.counters["link_over_bound"] = static_cast<double>(us) / n / boundUs;
    // What the capture alone would cost with one request (and one latency) per plane byte.
    state.counters["per_cell_capture_ms"] =
        3 * 8192 * static_cast<double>(model.latencyUs) / 1000.0;
}

void BM_MeasurementCycle(benchmark::State& state) {
    RunCycle(state, tavrin::common::RefreshChoice{});
}
void BM_MeasurementCycleShort(benchmark::State& state) {
    RunCycle(state, ShortChoice());
}

BENCHMARK(BM_MeasurementCycle)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MeasurementCycleShort)->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace
