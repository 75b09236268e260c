// The C exports of the command language and the driver choice, forwarding to the process-wide
// link. Nothing may escape as an exception.
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "Link.h"
#include "tavrinlink.h"

using tavrin::ProcessLink;

static_assert(tavrin::kTesterAnswers == TAVRINLINK_TESTER_ANSWERS &&
              tavrin::kTesterSilent == TAVRINLINK_TESTER_SILENT &&
              tavrin::kTesterGone == TAVRINLINK_TESTER_GONE &&
              tavrin::kTesterNoPort == TAVRINLINK_TESTER_NO_PORT);

namespace {

bool g_linkUsed = false;

tavrin::Link& UsedLink() {
    g_linkUsed = true;
    return ProcessLink();
}

template <typename F>
auto Guarded(F f, decltype(f()) onFailure) noexcept -> decltype(f()) {
    try {
        return f();
    } catch (...) {
        return onFailure;
    }
}

// The device is closed when the library goes, so another program can open the tester.
__attribute__((destructor)) void CloseAtUnload() {
    if (g_linkUsed) ProcessLink().usb.CloseUsbLink();
}

}  // namespace

extern "C" {

int16_t ZelkWrt(const char* line) {
    return Guarded([&] { return UsedLink().ZelkWrt(line, true); }, int16_t{1});
}

int16_t vbZelkWrt(const char* line) {
    return Guarded([&] { return UsedLink().ZelkWrt(line, false); }, int16_t{1});
}

int16_t ZelkRd(char* out) {
    return Guarded([&] { return UsedLink().ZelkRd(out, true); }, int16_t{0});
}

int16_t vbZelkRd(char* out) {
    return Guarded([&] { return UsedLink().ZelkRd(out, false); }, int16_t{0});
}

int32_t SelectUsbDriver(const char* name) {
    return Guarded([&] { return UsedLink().SelectUsbDriver(name); }, int32_t{1});
}

int32_t TesterLinkState(void) {
    return Guarded([] { return UsedLink().TesterLinkState(); }, int32_t{TAVRINLINK_TESTER_NO_PORT});
}

void SetTraceCallback(TavrinTraceCallback callback, void* user) {
    UsedLink().trace.SetSink(callback, user);
}

int32_t ConfigureSimulation(const char* key, const char* value) {
    return Guarded(
        [&]() -> int32_t {
            if (!key || !value) return 1;
            tavrin::SimulationSettings& sim = UsedLink().simulation;
            if (std::strcmp(key, "model") == 0) {
                char* end = nullptr;
                const long model = std::strtol(value, &end, 10);
                if (end == value || *end != '\0' || model < 10 || model > 13) return 1;
                sim.modelCode = static_cast<uint8_t>(model);
                return 0;
            }
            if (std::strcmp(key, "fault") == 0) {
                // Shared with every virtual tester built so far: an open one shows it at once.
                return tavrin::ParseSimulatedFault(value, *sim.fault) ? 0 : 1;
            }
            if (std::strcmp(key, "dut") == 0) {
                if (*value != '\0' && !std::ifstream(value).good()) return 1;
                sim.deviceProfile = value;
                return 0;
            }
            return 1;
        },
        int32_t{1});
}

}  // extern "C"
