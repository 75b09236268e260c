// Device 0 is another FTDI device ("FT232R USB UART"), device 1 the tester's bridge.
#include "SimUsbDriver.h"

#include <cmath>

#include <algorithm>
#include <cstring>

namespace tavrin::sim {
namespace {

constexpr char kOtherDescription[] = "FT232R USB UART";
constexpr uint64_t kStatusCallUs = 20;  // cost of one status call on the host
// How far the bridge's time line may run behind the clock to absorb its own late wake-ups: the
// platform's timer slack and scheduling delay are tens to hundreds of microseconds. A longer
// stall (a host held up for real) is not made up, so an exchange never finishes sooner after
// the host's request than half the 2 ms latency timer.
constexpr uint64_t kMaxCatchUpUs = 1000;

void CopyText(void* dst, const std::string& text, size_t size) {
    if (!dst) return;
    auto* d = static_cast<char*>(dst);
    std::memset(d, 0, size);
    std::memcpy(d, text.data(), std::min(text.size(), size - 1));
}

}  // namespace

SimUsbDriver::SimUsbDriver(std::shared_ptr<VirtualTester> tester, LinkCostModel model)
    : m_tester(std::move(tester)), m_model(model), m_clock(m_tester->TesterClock()) {}

FT_STATUS SimUsbDriver::CreateDeviceInfoList(DWORD* numDevs) {
    if (!numDevs) return FT_INVALID_PARAMETER;
    *numDevs = m_tester->Unplugged() ? 1 : 2;
    return FT_OK;
}

FT_STATUS SimUsbDriver::GetDeviceInfoDetail(DWORD index, DWORD* flags, DWORD* type, DWORD* id,
                                            DWORD* locId, void* serial16, void* description64,
                                            FT_HANDLE* handle) {
    const DWORD count = m_tester->Unplugged() ? 1 : 2;
    if (index >= count) return FT_DEVICE_NOT_FOUND;
    if (flags) *flags = 0;
    if (type) *type = 5;
    if (id) *id = (DWORD{vendorId} << 16) | productId;
    if (locId) *locId = 0x100 + index;
    if (handle) *handle = nullptr;
    CopyText(serial16, index == 0 ? "A10XYZ" : serialNumber, 16);
    CopyText(description64, index == 0 ? kOtherDescription : description, 64);
    return FT_OK;
}

FT_STATUS SimUsbDriver::Open(int deviceNumber, FT_HANDLE* handle) {
    if (!handle) return FT_INVALID_PARAMETER;
    if (deviceNumber == 0) {
        m_otherOpen = true;
        *handle = &m_otherToken;
        return FT_OK;
    }
    if (deviceNumber == 1 && !m_tester->Unplugged()) {
        m_testerOpen = true;
        m_tester->Opened();
        m_inFlight.clear();
        m_visible.clear();
        m_behindUs = 0;
        *handle = &m_testerToken;
        return FT_OK;
    }
    return FT_DEVICE_NOT_FOUND;
}

SimUsbDriver::Device SimUsbDriver::Which(FT_HANDLE handle) const {
    if (handle == &m_testerToken && m_testerOpen) return Device::Tester;
    if (handle == &m_otherToken && m_otherOpen) return Device::Other;
    return Device::None;
}

FT_STATUS SimUsbDriver::Check(FT_HANDLE handle) const {
    const Device d = Which(handle);
    if (d == Device::None) return FT_INVALID_HANDLE;
    if (d == Device::Tester && m_tester->Unplugged()) return FT_IO_ERROR;
    return FT_OK;
}

FT_STATUS SimUsbDriver::Close(FT_HANDLE handle) {
    const Device d = Which(handle);
    if (d == Device::Tester) m_testerOpen = false;
    if (d == Device::Other) m_otherOpen = false;
    return d == Device::None ? FT_INVALID_HANDLE : FT_OK;
}

FT_STATUS SimUsbDriver::SetLatencyTimer(FT_HANDLE handle, UCHAR ms) {
    if (FT_STATUS s = Check(handle)) return s;
    latencyMs = ms;
    return FT_OK;
}

FT_STATUS SimUsbDriver::Write(FT_HANDLE handle, void* buf, DWORD count, DWORD* written) {
    if (FT_STATUS s = Check(handle)) return s;
    if (written) *written = count;
    if (Which(handle) == Device::Other) return FT_OK;  // nothing answers there
    ++bridge.writes;
    const uint64_t now = ModelNowUs();
    const double byteUs = m_model.ByteUs();
    std::vector<VirtualTester::Answer> answers;
    m_tester->HostBytes(static_cast<const uint8_t*>(buf), count, answers);
    for (const auto& a : answers) {
        // Fractional microseconds are kept, so long answers move at exactly the line rate.
        const double arrived = static_cast<double>(now) + byteUs * static_cast<double>(a.endOffset);
        double t = std::max(arrived, m_lineFreeUs);
        for (uint8_t b : a.bytes) {
            t += byteUs;
            m_inFlight.push_back({static_cast<uint64_t>(std::ceil(t)), b});
        }
        m_lineFreeUs = t;
    }
    return FT_OK;
}

uint64_t SimUsbDriver::NextReleaseUs() const {
    if (m_inFlight.empty()) return 0;
    const uint64_t deadline = m_inFlight.front().readyUs + uint64_t{latencyMs} * 1000;
    if (m_inFlight.size() >= m_model.packetPayload) {
        const uint64_t full = m_inFlight[m_model.packetPayload - 1].readyUs;
        if (full <= deadline) return full;
    }
    return deadline;
}

void SimUsbDriver::Release(uint64_t nowUs) {
    // Bytes leave the bridge a packet at a time: when 62 are there, or when the latency timer
    // runs out with fewer.
    while (!m_inFlight.empty()) {
        const uint64_t at = NextReleaseUs();
        if (at > nowUs) return;
        size_t n = 0;
        while (n < m_inFlight.size() && n < m_model.packetPayload && m_inFlight[n].readyUs <= at)
            ++n;
        for (size_t i = 0; i < n; ++i) m_visible.push_back(m_inFlight[i].byte);
        m_inFlight.erase(m_inFlight.begin(), m_inFlight.begin() + static_cast<long>(n));
    }
}

uint64_t SimUsbDriver::ModelNowUs() {
    return m_clock.nowUs() - m_behindUs;
}

void SimUsbDriver::PaceUntil(uint64_t deadlineUs) {
    // The wait ends at a point of the bridge's time line, not after a span: a wake-up that came
    // late shortens the next wait instead of adding to every wait after it.
    const uint64_t now = m_clock.nowUs();
    if (deadlineUs > now) m_clock.sleepUs(deadlineUs - now);
    const uint64_t woke = m_clock.nowUs();
    m_behindUs = woke > deadlineUs ? std::min(woke - deadlineUs, kMaxCatchUpUs) : 0;
}

FT_STATUS SimUsbDriver::GetQueueStatus(FT_HANDLE handle, DWORD* rxBytes) {
    if (FT_STATUS s = Check(handle)) return s;
    PaceUntil(ModelNowUs() + kStatusCallUs);
    Release(ModelNowUs());
    if (rxBytes) *rxBytes = static_cast<DWORD>(m_visible.size());
    return FT_OK;
}

FT_STATUS SimUsbDriver::GetStatus(FT_HANDLE handle, DWORD* rxBytes, DWORD* txBytes, DWORD* events) {
    if (FT_STATUS s = Check(handle)) return s;
    PaceUntil(ModelNowUs() + kStatusCallUs);
    Release(ModelNowUs());
    if (m_visible.empty() && !m_inFlight.empty()) {
        // A host spinning on this call would reach the next packet's arrival: go there.
        PaceUntil(std::max(NextReleaseUs(), ModelNowUs()));
        ++bridge.waits;
        Release(ModelNowUs());
    }
    if (rxBytes) *rxBytes = static_cast<DWORD>(m_visible.size());
    if (txBytes) *txBytes = 0;
    if (events) *events = 0;
    return FT_OK;
}

FT_STATUS SimUsbDriver::Read(FT_HANDLE handle, void* buf, DWORD count, DWORD* returned) {
    if (FT_STATUS s = Check(handle)) return s;
    ++bridge.reads;
    Release(ModelNowUs());
    const DWORD n = static_cast<DWORD>(std::min<size_t>(count, m_visible.size()));
    auto* out = static_cast<uint8_t*>(buf);
    for (DWORD i = 0; i < n; ++i) {
        out[i] = m_visible.front();
        m_visible.pop_front();
    }
    if (returned) *returned = n;
    return FT_OK;
}

FT_STATUS SimUsbDriver::EE_Read(FT_HANDLE handle, FT_PROGRAM_DATA* data) {
    if (FT_STATUS s = Check(handle)) return s;
    if (!data) return FT_INVALID_PARAMETER;
    data->VendorId = vendorId;
    data->ProductId = productId;
    CopyText(data->Manufacturer, manufacturer, 32);
    CopyText(data->ManufacturerId, "ZK", 16);
    CopyText(data->Description, description, 64);
    CopyText(data->SerialNumber, serialNumber, 16);
    data->RIsD2XX = rIsD2xx;
    return FT_OK;
}

FT_STATUS SimUsbDriver::EE_Program(FT_HANDLE handle, FT_PROGRAM_DATA* data) {
    if (FT_STATUS s = Check(handle)) return s;
    if (!data || data->Signature1 != 0 || data->Signature2 != 0xFFFFFFFF)
        return FT_INVALID_PARAMETER;
    vendorId = data->VendorId;
    productId = data->ProductId;
    if (data->Manufacturer) manufacturer = data->Manufacturer;
    if (data->Description) description = data->Description;
    if (data->SerialNumber) serialNumber = data->SerialNumber;
    rIsD2xx = data->RIsD2XX;
    latencyMs = 16;  // programming resets the chip's latency timer
    return FT_OK;
}

}  // namespace tavrin::sim
