// libFuzzer target: random command lines into ZelkWrt on a fresh link to a fresh virtual
// tester per input, on a virtual clock. One input holds several lines (split at newlines);
// a leading "!" turns the service mode on first. Every answer is read back with ZelkRd.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "Firmware.h"
#include "SimUsbDriver.h"
#include "transport/Link.h"

namespace {

constexpr size_t kMaxInput = 2048;
// The virtual time one input may take: far above any sum of the link's own bounded waits for
// a short input, so reaching it means a wait that does not end.
constexpr uint64_t kMaxVirtualUs = 3600ull * 1000 * 1000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxInput) return -1;
    tavrin::VirtualClock clock;
    auto tester = std::make_shared<tavrin::sim::VirtualTester>(clock);
    std::string reason;
    if (!tavrin::sim::InstallFirmware(*tester, tavrin::SimulationSettings{}, reason))
        __builtin_trap();
    tavrin::Link link(clock, std::make_unique<tavrin::sim::SimUsbDriver>(tester));
    link.trace.SetSink([](const char*, void*) {}, nullptr);
    link.usb.OpenUsbLink(tavrin::kFirstUsbPort);

    std::string input(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    if (!input.empty() && input[0] == '!') {
        link.service.ServiceMode = true;
        start = 1;
    }
    while (start <= input.size()) {
        size_t end = input.find('\n', start);
        if (end == std::string::npos) end = input.size();
        // The line ends at its first zero byte, as a C string would.
        const std::string line = input.substr(start, end - start);
        link.ZelkWrt(line.c_str(), true);  // with the trace, so its masking is fuzzed too
        char answer[tavrin::kResponseSize];
        std::memset(answer, 0x5A, sizeof answer);
        const int16_t length = link.ZelkRd(answer, false);
        if (length < 0 || static_cast<size_t>(length) >= sizeof answer || answer[length] != '\0' ||
            std::strlen(answer) != static_cast<size_t>(length))
            __builtin_trap();  // the answer must be a terminated text within the buffer
        if (link.errors.LastError > 7) __builtin_trap();
        if (clock.nowUs() > kMaxVirtualUs) __builtin_trap();
        start = end + 1;
    }
    return 0;
}
