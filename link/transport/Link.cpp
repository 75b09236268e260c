// The link instance: the two entry points around the interpreter, the response buffer, the
// driver choice, and the process-wide instance behind the exports.
#include "Link.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "common/CommandMask.h"
#include "LibftdiDriver.h"
#include "UsbDrivers.h"

namespace tavrin {

Link::Link(Clock& clock) : Link(clock, MakeLibftdiDriver()) {}

Link::Link(Clock& c, std::unique_ptr<UsbDriver> driver)
    : clock(c), usb(c, trace, errors), mail(usb, c, trace, errors) {
    usb.SetPendingDriver(std::move(driver));
}

int16_t Link::ZelkWrt(const char* line, bool withTrace) {
    if (!line) line = "";
    // The trace never shows the service access code.
    if (withTrace) trace("Sabrel: ZELKWrt: %s\n", common::MaskServiceCode(line).c_str());
    UsbLink::Call call(usb);
    Interpret(line);
    const int16_t result = errors.ErrorCount;
    // The front error indicator follows whether the last command failed. Without an open
    // link, or with the tester lost, there is no indicator to update; it is sent at the first
    // change once the tester answers.
    if (errors.ErrorCount != errors.ReportedErrorCount && usb.IsOpen() &&
        usb.Loss() == LinkLoss::None) {
        errors.ReportedErrorCount = errors.ErrorCount;
        const uint8_t commandError = errors.LastError;
        mail.SendMail(6, 0xC7, errors.ErrorCount != 0 ? 1 : 0);
        // A failing indicator mail must not hide the command's own error from "SYST:ERR?",
        // nor change the result: it is the last command's count.
        if (result != 0) errors.LastError = commandError;
        errors.ErrorCount = result;
    }
    return result;
}

int32_t Link::TesterLinkState() const {
    if (!usb.IsOpen()) return kTesterNoPort;
    switch (usb.Loss()) {
        case LinkLoss::NoAnswer:
            return kTesterSilent;
        case LinkLoss::DeviceGone:
            return kTesterGone;
        case LinkLoss::None:
            break;
    }
    return kTesterAnswers;
}

int16_t Link::ZelkRd(char* out, bool withTrace) {
    if (withTrace) trace("Sabrel: ZELKRd\n");
    if (!out) return 0;
    out[0] = '\0';
    const size_t length = std::strlen(m_response);
    std::memcpy(out, m_response, length + 1);
    ClearAnswer();
    return static_cast<int16_t>(length);
}

int32_t Link::SelectUsbDriver(const char* name) {
    std::string reason;
    std::unique_ptr<UsbDriver> driver = MakeUsbDriver(name ? name : "", clock, simulation, reason);
    if (!driver) {
        trace("Sabrel: USB driver \"%s\" not ready: %s\n", name ? name : "", reason.c_str());
        return 1;
    }
    usb.SetPendingDriver(std::move(driver));
    return 0;
}

void Link::Answer(const char* format, ...) {
    va_list args;
    va_start(args, format);
    // An answer longer than the buffer is cut at 167 characters.
    std::vsnprintf(m_response, sizeof m_response, format, args);
    va_end(args);
}

Link& ProcessLink() {
    static SteadyClock steady;
    // Never destroyed before the exports stop being called: the library's unload hook closes
    // the device explicitly.
    static Link* link = new Link(steady);
    return *link;
}

}  // namespace tavrin
