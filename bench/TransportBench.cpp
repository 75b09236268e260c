// What the basic exchanges cost on a modelled FT232R link: each benchmark's time is the
// modelled link time (virtual clock), and its counters give the exchanges (writes that wait
// for an answer), the bytes each way and the lower bound the bytes alone need at the line rate
// (the larger direction, as the line is full duplex).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>

#include "SimLink.h"
#include "transport/MailboxLayout.h"

namespace tavrin::testing {
namespace {

void RunModelled(benchmark::State& state, const std::function<void(SimLink&)>& operation) {
    SimLink sim;
    sim.link->errors = {};
    const sim::LinkCostModel model;
    uint64_t exchanges = 0, toTester = 0, fromTester = 0, modelledUs = 0;
    for (auto _ : state) {
        const auto writes0 = sim.driver->bridge.writes;
        const auto to0 = sim.tester->counters.bytesToTester;
        const auto from0 = sim.tester->counters.bytesFromTester;
        const uint64_t t0 = sim.clock.nowUs();
        operation(sim);
        const uint64_t us = sim.clock.nowUs() - t0;
        state.SetIterationTime(static_cast<double>(us) * 1e-6);
        exchanges += sim.driver->bridge.writes - writes0;
        toTester += sim.tester->counters.bytesToTester - to0;
        fromTester += sim.tester->counters.bytesFromTester - from0;
        modelledUs += us;
    }
    if (sim.link->errors.ErrorCount != 0) state.SkipWithError("the exchange failed");
    const double n = static_cast<double>(state.iterations());
    state.counters["exchanges"] = static_cast<double>(exchanges) / n;
    state.counters["bytes_out"] = static_cast<double>(toTester) / n;
    state.counters["bytes_in"] = static_cast<double>(fromTester) / n;
    state.counters["modelled_us"] = static_cast<double>(modelledUs) / n;
    // The line is full duplex: the larger direction bounds the time.
    state.counters["bound_us"] =
        static_cast<double>(std::max(toTester, fromTester)) / n * model.ByteUs();
}

void BM_ReadOneCell(benchmark::State& state) {
    RunModelled(state,
                [](SimLink& s) { benchmark::DoNotOptimize(s.link->usb.TesterRead(0x6A17)); });
}
void BM_WriteOneCell(benchmark::State& state) {
    RunModelled(state, [](SimLink& s) { s.link->usb.TesterWrite(0x6A69, 127); });
}
void BM_MailOneByte(benchmark::State& state) {
    RunModelled(state, [](SimLink& s) { s.link->mail.SendMail(6, 0xC3); });
}
void BM_MailSixBytes(benchmark::State& state) {
    const uint8_t body[] = {0x5E, 0x00, 0x12, 0x34, 0x56, 0x78};
    RunModelled(state, [&](SimLink& s) { s.link->mail.SendMailBlock(1, body, sizeof body); });
}
void BM_EepromRead25(benchmark::State& state) {
    RunModelled(state, [](SimLink& s) {
        uint8_t data[25];
        s.link->mail.ReadTesterEeprom(0x0200, 25, data);
    });
}
void BM_BlockRead8192(benchmark::State& state) {
    std::vector<uint8_t> block(8192);
    RunModelled(state,
                [&](SimLink& s) { s.link->usb.TesterReadBlock(0x10000, 8192, block.data()); });
}

BENCHMARK(BM_ReadOneCell)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WriteOneCell)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MailOneByte)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MailSixBytes)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EepromRead25)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BlockRead8192)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tavrin::testing
