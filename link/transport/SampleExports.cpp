// The C exports of the capture and the sample reads, forwarding to the process-wide link.
// They write no trace line: the single reads are table lookups that the charts call thousands
// of times per burst, and the "vb" twins behave exactly like their plain forms.
#include "Capture.h"
#include "Link.h"
#include "SampleConversion.h"
#include "tavrinlink.h"

using tavrin::ProcessLink;

namespace {

template <typename F>
auto Guarded(F f, decltype(f()) onFailure) noexcept -> decltype(f()) {
    try {
        return f();
    } catch (...) {
        return onFailure;
    }
}

}  // namespace

extern "C" {

int32_t ForceADCSample(void) {
    return Guarded([] { return static_cast<int32_t>(tavrin::ForceADCSample(ProcessLink())); },
                   int32_t{0});
}

int16_t vbForceADCSample(int32_t /*ignored*/) {
    Guarded([] { return static_cast<int32_t>(tavrin::ForceADCSample(ProcessLink())); }, int32_t{0});
    return 1;
}

int16_t ReadRxValue(uint16_t index) {
    return Guarded([&] { return tavrin::ReadRxValue(ProcessLink(), index); }, int16_t{0});
}

int16_t vbReadRxValue(uint16_t index) {
    return ReadRxValue(index);
}

int16_t ReadPwrValue(uint16_t index) {
    return Guarded([&] { return tavrin::ReadPwrValue(ProcessLink(), index); },
                   tavrin::kPowerOutOfRange);
}

int16_t vbReadPwrValue(uint16_t index) {
    return ReadPwrValue(index);
}

int16_t ReadRxValueBlock(uint16_t start, uint16_t count, int16_t* results) {
    return Guarded([&] { return tavrin::ReadRxValueBlock(ProcessLink(), start, count, results); },
                   int16_t{0});
}

// Kept for the clients that import it; there is nothing to do.
int16_t _ReadPwrValueBlock(void) {
    return 0;
}

}  // extern "C"
