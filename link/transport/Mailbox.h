// The mailbox in tester memory: posting mails with the acceptance handshake, the reply poll,
// the tick wait, and the EEPROM transactions that ride on mails.
#pragma once

#include <cstdint>

#include "Clock.h"
#include "MailboxLayout.h"
#include "Trace.h"
#include "UsbLink.h"
#include "interpreter/ErrorState.h"

namespace tavrin {

inline constexpr uint32_t kMailTimeoutMs = 10000;
inline constexpr int kEepromPolls = 50;

class Mailbox {
public:
    Mailbox(UsbLink& usb, Clock& clock, Trace& trace, ErrorState& errors)
        : m_usb(usb), m_clock(clock), m_trace(trace), m_errors(errors) {}

    void SendMail(uint8_t cls, uint8_t primitive);
    void SendMail(uint8_t cls, uint8_t primitive, uint8_t p1);
    void SendMail(uint8_t cls, uint8_t primitive, uint8_t p1, uint8_t p2);
    void SendMail(uint8_t cls, uint8_t primitive, uint8_t p1, uint8_t p2, uint8_t p3);
    // The body is `count` bytes, primitive first; a count of 0 does nothing at all.
    void SendMailBlock(uint8_t cls, const uint8_t* body, uint8_t count);

    // One look at the reply ring: 32 and the slot's bytes when a mail was there, else 0.
    int ReceiveMail(uint8_t* buffer32);
    // Takes and drops every mail waiting in the reply ring.
    void DropPendingReplies();

    void WaitTicks(uint16_t n);
    void WaitCommIdle();

    // Reads `count` (at most 25) EEPROM bytes into data[0..count). False, error 7 recorded and
    // `data` untouched when no answer came.
    bool ReadTesterEeprom(uint16_t address, uint8_t count, uint8_t* data);
    // Write request only; callers verify by reading back.
    void WriteTesterEeprom(uint16_t address, uint8_t count, const uint8_t* data);
    // Polls up to 50 times for an EEPROM answer into buffer32; false when none came.
    bool PollEepromAnswer(uint8_t* buffer32);

private:
    void Post(uint8_t cls, const uint8_t* body, uint8_t count);

    UsbLink& m_usb;
    Clock& m_clock;
    Trace& m_trace;
    ErrorState& m_errors;
};

}  // namespace tavrin
