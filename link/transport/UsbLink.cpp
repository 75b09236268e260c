// Request protocol: read = 01 a23..16 a15..8 a7..0 n-1, write = 02 a23..16 a15..8 a7..0 00 v.
#include "UsbLink.h"

#include <algorithm>
#include <cstring>

namespace tavrin {
namespace {

constexpr size_t kMaxChunk = 128;

void PutAddress(uint8_t* out, uint32_t address) {
    out[0] = static_cast<uint8_t>(address >> 16);
    out[1] = static_cast<uint8_t>(address >> 8);
    out[2] = static_cast<uint8_t>(address);
}

}  // namespace

void WriteBatch::Add(uint32_t address, uint8_t value) {
    uint8_t request[6] = {0x02, 0, 0, 0, 0x00, value};
    PutAddress(request + 1, address);
    m_bytes.insert(m_bytes.end(), request, request + 6);
    ++m_count;
}

UsbLink::UsbLink(Clock& clock, Trace& trace, ErrorState& errors)
    : m_clock(clock), m_trace(trace), m_errors(errors) {}

UsbLink::~UsbLink() {
    CloseUsbLink();
}

void UsbLink::SetPendingDriver(std::unique_ptr<UsbDriver> driver) {
    m_pending = std::move(driver);
}

uint16_t UsbLink::OpenUsbLink(uint16_t portCode) {
    if (portCode < kFirstUsbPort) return 1;
    if (m_handle || m_open) CloseUsbLink();
    if (m_pending) m_driver = std::move(m_pending);
    if (!m_driver) return 3;

    DWORD count = 0;
    m_status = m_driver->CreateDeviceInfoList(&count);
    if (m_status != FT_OK) count = 0;
    DWORD index = 0;
    for (; index < count; ++index) {
        DWORD flags = 0, type = 0, id = 0, location = 0;
        char serial[16] = {};
        char description[64] = {};
        FT_HANDLE unused = nullptr;
        if (m_driver->GetDeviceInfoDetail(index, &flags, &type, &id, &location, serial, description,
                                          &unused) != FT_OK)
            continue;
        description[sizeof description - 1] = '\0';
        if (std::strcmp(description, kTesterDescription) == 0) break;
    }
    if (index == count) return 3;  // opening index N would fail anyway; no call needed
    FT_HANDLE handle = nullptr;
    m_status = m_driver->Open(static_cast<int>(index), &handle);
    if (m_status != FT_OK || !handle) return 3;
    m_handle = handle;
    m_status = m_driver->SetLatencyTimer(m_handle, 2);
    m_open = true;
    m_stale = false;
    m_loss = LinkLoss::None;
    m_skipping = false;
    return 2;
}

uint16_t UsbLink::CloseUsbLink() {
    if (m_open && m_driver) m_status = m_driver->Close(m_handle);
    m_handle = nullptr;
    m_open = false;
    m_loss = LinkLoss::None;
    return 0;
}

void UsbLink::Fail(const char* what, uint32_t address) {
    m_trace("Sabrel: USB %s failed @ 0x%06X (status %u)\n", what,
            static_cast<unsigned>(address & 0xFFFFFF), static_cast<unsigned>(m_status));
    m_errors.Record(kTargetError);
    m_stale = true;
    // A driver call that failed says the device is gone; a call that went through but got
    // no answer in time says the tester is silent.
    m_loss = m_status != FT_OK ? LinkLoss::DeviceGone : LinkLoss::NoAnswer;
    if (m_callDepth > 0) m_skipping = true;
}

bool UsbLink::Skip() {
    if (!m_skipping) return false;
    m_errors.Record(kTargetError);
    return true;
}

bool UsbLink::Send(const uint8_t* bytes, DWORD count) {
    if (m_stale) DrainStale();
    DWORD written = 0;
    m_status = m_driver->Write(m_handle, const_cast<uint8_t*>(bytes), count, &written);
    return m_status == FT_OK && written == count;
}

void UsbLink::DrainStale() {
    DWORD queued = 0;
    uint8_t scratch[256];
    while (m_driver->GetQueueStatus(m_handle, &queued) == FT_OK && queued > 0) {
        DWORD got = 0;
        if (m_driver->Read(m_handle, scratch, std::min<DWORD>(queued, sizeof scratch), &got) !=
                FT_OK ||
            got == 0)
            break;
    }
    m_stale = false;
}

bool UsbLink::Collect(uint8_t* into, size_t want, size_t capacity, size_t& got) {
    const uint32_t start = m_clock.nowMs();
    got = 0;
    while (got < want) {
        DWORD rx = 0, tx = 0, events = 0;
        m_status = m_driver->GetStatus(m_handle, &rx, &tx, &events);
        if (m_status != FT_OK) return false;
        if (rx > 0) {
            DWORD n = static_cast<DWORD>(std::min<size_t>(rx, capacity - got));
            DWORD read = 0;
            m_status = m_driver->Read(m_handle, into + got, n, &read);
            if (m_status != FT_OK) return false;
            got += read;
            if (got >= capacity) return got >= want;
            continue;
        }
        if (m_clock.nowMs() - start > kExchangeTimeoutMs) return false;
    }
    return true;
}

uint8_t UsbLink::TesterRead(uint32_t address) {
    if (!m_open || Skip()) return 0;
    uint8_t request[5] = {0x01, 0, 0, 0, 0x00};
    PutAddress(request + 1, address);
    if (!Send(request, sizeof request)) {
        Fail("read request", address);
        return 0;
    }
    uint8_t answer[260];
    size_t got = 0;
    if (!Collect(answer, 1, sizeof answer, got)) {
        Fail("read", address);
        return 0;  // a read that did not complete yields 0, like a closed link
    }
    m_loss = LinkLoss::None;
    return answer[0];
}

uint32_t UsbLink::TesterWrite(uint32_t address, uint8_t value) {
    if (!m_open) return 0;
    WriteBatch one;
    one.Add(address, value);
    return TesterWriteBatch(one);
}

uint32_t UsbLink::TesterWriteBatch(const WriteBatch& batch) {
    if (!m_open || batch.Size() == 0) return 0;
    if (Skip()) return FT_IO_ERROR;
    const auto& bytes = batch.Bytes();
    uint32_t first = (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) | bytes[3];
    if (!Send(bytes.data(), static_cast<DWORD>(bytes.size()))) {
        Fail("write request", first);
        return m_status == FT_OK ? FT_IO_ERROR : m_status;
    }
    std::vector<uint8_t> acks(std::max<size_t>(batch.Size(), kMaxChunk));
    size_t got = 0;
    if (!Collect(acks.data(), batch.Size(), acks.size(), got)) {
        Fail("write", first);
        return m_status == FT_OK ? FT_IO_ERROR : m_status;
    }
    m_loss = LinkLoss::None;
    return m_status;
}

uint16_t UsbLink::TesterReadBlock(uint32_t address, uint16_t count, uint8_t* destination) {
    if (!m_open || count == 0) return 0;
    if (Skip()) return 3;
    const uint32_t first = address;
    size_t asked = 0;
    size_t got = 0;
    uint8_t scratch[256];
    auto take = [&](DWORD available) {
        DWORD n = static_cast<DWORD>(std::min<size_t>({available, kMaxChunk, count - got}));
        DWORD read = 0;
        m_status = m_driver->Read(m_handle, scratch, n, &read);
        if (m_status != FT_OK) return false;
        std::memcpy(destination + got, scratch, std::min<size_t>(read, count - got));
        got += std::min<size_t>(read, count - got);
        return true;
    };
    while (asked < count) {
        size_t n = std::min<size_t>(count - asked, kMaxChunk);
        uint8_t request[5] = {0x01, 0, 0, 0, static_cast<uint8_t>(n - 1)};
        PutAddress(request + 1, address);
        if (!Send(request, sizeof request)) {
            Fail("block request", first);
            return 3;
        }
        address += static_cast<uint32_t>(n);
        asked += n;
        DWORD queued = 0;
        m_status = m_driver->GetQueueStatus(m_handle, &queued);
        if (m_status != FT_OK) {
            Fail("queue status", first);
            return 3;
        }
        if (queued > 0 && got < count && !take(queued)) {
            Fail("block read", first);
            return 3;
        }
    }
    const uint32_t start = m_clock.nowMs();
    while (got < count) {
        DWORD rx = 0, tx = 0, events = 0;
        m_status = m_driver->GetStatus(m_handle, &rx, &tx, &events);
        if (m_status != FT_OK) {
            Fail("status", first);
            return 3;
        }
        if (rx > 0) {
            if (!take(rx)) {
                Fail("block read", first);
                return 3;
            }
            continue;
        }
        if (m_clock.nowMs() - start > kExchangeTimeoutMs) {
            Fail("block read timeout", first);
            return 3;
        }
    }
    m_loss = LinkLoss::None;
    return 0;
}

uint16_t UsbLink::TesterReadWord(uint32_t address) {
    uint8_t b[2] = {};
    TesterReadBlock(address, 2, b);
    return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

uint32_t UsbLink::TesterReadLong(uint32_t address) {
    uint8_t b[4] = {};
    TesterReadBlock(address, 4, b);
    return uint32_t{b[0]} | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) | (uint32_t{b[3]} << 24);
}

uint32_t UsbLink::ProgramUsbSerialNumber(const char* serial) {
    if (!m_open || !serial) return FT_DEVICE_NOT_OPENED;
    char manufacturer[32] = {}, manufacturerId[16] = {}, description[64] = {}, number[16] = {};
    FT_PROGRAM_DATA data{};
    data.Signature1 = 0x00000000;
    data.Signature2 = 0xFFFFFFFF;
    data.Version = 4;
    data.Manufacturer = manufacturer;
    data.ManufacturerId = manufacturerId;
    data.Description = description;
    data.SerialNumber = number;
    m_driver->EE_Read(m_handle, &data);  // the status does not matter: every field we need is set
    data.VendorId = kTesterVendorId;
    data.ProductId = kTesterProductId;
    std::snprintf(manufacturer, sizeof manufacturer, "%s", "Zelk Instruments");
    std::snprintf(description, sizeof description, "%s", kTesterDescription);
    std::snprintf(number, sizeof number, "%s", serial);
    data.Manufacturer = manufacturer;
    data.ManufacturerId = manufacturerId;
    data.Description = description;
    data.SerialNumber = number;
    data.RIsD2XX = 1;
    m_status = m_driver->EE_Program(m_handle, &data);
    return m_status;
}

}  // namespace tavrin
