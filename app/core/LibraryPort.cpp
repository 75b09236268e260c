// The only file of the program that calls the exports of TavrinLink. Every call comes from
// the tester thread (TesterWorker).
#include <atomic>
#include <cstdio>
#include <cstring>

#include "LibrarySession.h"
#include "StartupOptions.h"
#include "TesterPort.h"
#include "tavrinlink.h"

namespace tavrin::app {
namespace {

// The library traces each failed USB request ("... USB read failed @ ..."): the one sign of a
// tester that stopped answering that it gives a caller of the command language.
std::atomic<bool> g_linkFailureSeen = false;
TraceSink* g_sink = nullptr;

bool IsLinkFailureLine(const char* text) {
    const char* usb = std::strstr(text, "USB ");
    return usb && std::strstr(usb, " failed");
}

void ForwardTrace(const char* text, void* /*user*/) {
    if (!text) text = "";
    if (IsLinkFailureLine(text)) g_linkFailureSeen = true;
    if (g_sink) {
        g_sink->traceLine(text);
    } else {
        std::fputs(text, stderr);
    }
}

void WatchTrace() {
    static const bool installed = [] {
        SetTraceCallback(&ForwardTrace, nullptr);
        return true;
    }();
    (void)installed;
}

}  // namespace

int16_t LibraryPort::write(const char* line) {
    WatchTrace();
    g_linkFailureSeen = false;
    const int16_t result = ZelkWrt(line);
    m_lost = result != 0 && g_linkFailureSeen;
    return result;
}

bool LibraryPort::testerLost() {
    return m_lost;
}

int16_t LibraryPort::read(char* out) {
    // The library copies at most TAVRINLINK_RESPONSE_SIZE bytes; the rest of the buffer stays.
    static_assert(kReplyBufferSize >= TAVRINLINK_RESPONSE_SIZE);
    return ZelkRd(out);
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

void RouteTrace(TraceSink* sink) {
    g_sink = sink;
    WatchTrace();
}

}  // namespace tavrin::app
