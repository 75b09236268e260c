// One link instance: all TavrinLink state (transport, mailbox, error state, interpreter and
// configuration, calibration, sample store, histories) in one object. The exports forward to
// a process-wide instance; tests build as many fresh ones as they like.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "Calibration.h"
#include "Clock.h"
#include "D2xx.h"
#include "Mailbox.h"
#include "SampleStore.h"
#include "SimulationSettings.h"
#include "Trace.h"
#include "UsbLink.h"
#include "interpreter/ErrorState.h"
#include "interpreter/InterpreterState.h"

namespace tavrin {

inline constexpr size_t kResponseSize = 168;  // including the terminator

// TesterLinkState's answers.
inline constexpr int32_t kTesterAnswers = 0;
inline constexpr int32_t kTesterSilent = 1;
inline constexpr int32_t kTesterGone = 2;
inline constexpr int32_t kTesterNoPort = 3;

class Link {
public:
    // Starts with the default provider ("libftdi").
    explicit Link(Clock& clock);
    Link(Clock& clock, std::unique_ptr<UsbDriver> driver);
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    int16_t ZelkWrt(const char* line, bool withTrace);
    // The interpreter alone: entry detection and the command loop over the line.
    void Interpret(const char* line);
    // Copies the answer into `out` (which holds kResponseSize characters) and empties it.
    int16_t ZelkRd(char* out, bool withTrace);
    // Whether the tester answered the last exchange, from what the link already knows.
    int32_t TesterLinkState() const;
    // 0 when the driver is ready for the next port choice; the previous one stays otherwise.
    int32_t SelectUsbDriver(const char* name);

    // Response buffer: only the last command's answer remains.
    void Answer(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void ClearAnswer() { m_response[0] = '\0'; }
    const char* Response() const { return m_response; }

    Clock& clock;
    Trace trace;
    ErrorState errors;
    UsbLink usb;
    Mailbox mail;
    HardwareState hw;
    ConfigState conf;
    ServiceState service;
    TemplateLimits limits;
    MeasurementState meas;
    Calibration cal;
    CaptureState capture;
    SimulationSettings simulation;

private:
    char m_response[kResponseSize] = {};
};

// The process-wide instance behind the exports.
Link& ProcessLink();

}  // namespace tavrin
