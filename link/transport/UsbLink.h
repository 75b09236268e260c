// The request protocol to the tester's memory over the USB bridge: one-byte reads and writes,
// pipelined block reads, batches of writes, the device search and the bridge EEPROM.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "Clock.h"
#include "D2xx.h"
#include "Trace.h"
#include "interpreter/ErrorState.h"

namespace tavrin {

inline constexpr char kTesterDescription[] = "Zelk Communication tester";
// Identifiers written into the bridge EEPROM: FTDI's own FT232R pair, so the device stays
// visible to libftdi's search and to the shipped udev rule (the search itself goes by the
// description only).
inline constexpr uint16_t kTesterVendorId = 0x0403;
inline constexpr uint16_t kTesterProductId = 0x6001;
// Bound of one exchange: a tester that stays silent this long is gone or unplugged.
inline constexpr uint32_t kExchangeTimeoutMs = 1000;
// Port codes from this one on name the USB device; lower ones are the old parallel ports.
inline constexpr uint16_t kFirstUsbPort = 0x1000;

// Write requests that do not wait for each other's answers: one transfer out, and all
// acknowledgements collected together. The cells are written in the order they were added.
class WriteBatch {
public:
    void Add(uint32_t address, uint8_t value);
    size_t Size() const { return m_count; }
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }
    void Clear() {
        m_bytes.clear();
        m_count = 0;
    }

private:
    std::vector<uint8_t> m_bytes;
    size_t m_count = 0;
};

// Why the tester is lost, when it is: the last exchange with it failed.
enum class LinkLoss : uint8_t {
    None,        // the last exchange was answered, or none was made since the port opened
    NoAnswer,    // the tester left an exchange unanswered for kExchangeTimeoutMs
    DeviceGone,  // the driver failed the call: the device is unplugged or switched off
};

class UsbLink {
public:
    UsbLink(Clock& clock, Trace& trace, ErrorState& errors);
    ~UsbLink();

    // The driver used from the next OpenUsbLink on; the open device keeps its own until then.
    void SetPendingDriver(std::unique_ptr<UsbDriver> driver);

    uint16_t OpenUsbLink(uint16_t portCode);
    uint16_t CloseUsbLink();
    bool IsOpen() const { return m_open; }

    uint8_t TesterRead(uint32_t address);
    uint32_t TesterWrite(uint32_t address, uint8_t value);
    uint16_t TesterReadBlock(uint32_t address, uint16_t count, uint8_t* destination);
    uint16_t TesterReadWord(uint32_t address);
    uint32_t TesterReadLong(uint32_t address);
    // Sends every request of the batch in one write and collects its acknowledgements.
    uint32_t TesterWriteBatch(const WriteBatch& batch);

    uint32_t ProgramUsbSerialNumber(const char* serial);

    FT_STATUS LastStatus() const { return m_status; }

    // One call of the library (a command line, a capture): once an exchange of the call has
    // failed, the call's other exchanges fail at once, each recording "Target Error", so a
    // lost tester costs one exchange bound per call instead of one per exchange. The next
    // call tries the tester again. Exchanges outside a call each try the tester. Calls nest.
    class Call {
    public:
        explicit Call(UsbLink& usb) : m_usb(usb) {
            if (m_usb.m_callDepth++ == 0) m_usb.m_skipping = false;
        }
        ~Call() {
            if (--m_usb.m_callDepth == 0) m_usb.m_skipping = false;
        }
        Call(const Call&) = delete;
        Call& operator=(const Call&) = delete;

    private:
        UsbLink& m_usb;
    };
    // The call has lost the tester: its remaining exchanges are not tried.
    bool Skipping() const { return m_skipping; }
    LinkLoss Loss() const { return m_loss; }

private:
    bool Send(const uint8_t* bytes, DWORD count);
    // Waits until `want` bytes are queued (or the bound passes) and reads them into `into`.
    bool Collect(uint8_t* into, size_t want, size_t capacity, size_t& got);
    void DrainStale();
    void Fail(const char* what, uint32_t address);
    // True when the exchange must not be tried: the call lost the tester already.
    bool Skip();

    Clock& m_clock;
    Trace& m_trace;
    ErrorState& m_errors;
    std::unique_ptr<UsbDriver> m_driver;
    std::unique_ptr<UsbDriver> m_pending;
    FT_HANDLE m_handle = nullptr;
    bool m_open = false;
    bool m_stale = false;  // a timed-out answer may still arrive and must not be taken as the next
    FT_STATUS m_status = FT_OK;
    LinkLoss m_loss = LinkLoss::None;
    int m_callDepth = 0;
    bool m_skipping = false;
};

}  // namespace tavrin
