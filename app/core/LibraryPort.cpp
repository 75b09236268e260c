// The only file of the program that calls the exports of TavrinLink. Every call comes from
// the tester thread (TesterWorker).
#include <cstdio>

#include "LibrarySession.h"
#include "StartupOptions.h"
#include "TesterPort.h"
#include "tavrinlink.h"

namespace tavrin::app {

int16_t LibraryPort::write(const char* line) {
    const int16_t result = ZelkWrt(line);
    // A refused line leaves the tester answering; only an unanswered exchange or a device
    // gone is a lost tester.
    const int32_t state = TesterLinkState();
    m_lost = state == TAVRINLINK_TESTER_SILENT || state == TAVRINLINK_TESTER_GONE;
    return result;
}

int16_t LibraryPort::read(char* out) {
    // The library copies at most TAVRINLINK_RESPONSE_SIZE bytes; the rest of the buffer stays.
    static_assert(kReplyBufferSize >= TAVRINLINK_RESPONSE_SIZE);
    return ZelkRd(out);
}

bool LibraryPort::testerLost() {
    return m_lost;
}

int32_t LibraryPort::forceCapture() {
    return ForceADCSample();
}

int16_t LibraryPort::readPowerSample(uint16_t index) {
    return ReadPwrValue(index);
}

int16_t LibraryPort::readDeviationSample(uint16_t index) {
    return ReadRxValue(index);
}

bool SelectDriver(const std::string& name) {
    return SelectUsbDriver(name.c_str()) == 0;
}

bool ConfigureSimulatedTester(const std::string& key, const std::string& value) {
    return ConfigureSimulation(key.c_str(), value.c_str()) == 0;
}

std::string ApplyDriverOptions(const StartupOptions& options) {
    if (options.simulate && !options.driver.empty())
        return "/SIMULATE and --driver choose two drivers; give one";
    if (!options.dutFile.empty() && !ConfigureSimulatedTester("dut", options.dutFile))
        return "the device profile \"" + options.dutFile + "\" cannot be read";
    const std::string driver = options.simulate ? "sim" : options.driver;
    if (!driver.empty() && !SelectDriver(driver))
        return "the USB driver \"" + driver + "\" cannot be loaded";
    return {};
}

namespace {

void ForwardTrace(const char* text, void* user) {
    static_cast<TraceSink*>(user)->traceLine(text ? text : "");
}

}  // namespace

void RouteTrace(TraceSink* sink) {
    if (sink) {
        SetTraceCallback(&ForwardTrace, sink);
    } else {
        SetTraceCallback(nullptr, nullptr);
    }
}

}  // namespace tavrin::app
