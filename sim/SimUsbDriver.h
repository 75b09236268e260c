// The virtual tester on the USB driver seam: a bus with the tester's bridge and one other
// FTDI device, with the FT232R's packet and latency behaviour on the tester's clock.
#pragma once

#include <deque>
#include <memory>
#include <string>

#include "LinkCostModel.h"
#include "VirtualTester.h"
#include "transport/D2xx.h"

namespace tavrin::sim {

struct BridgeCounters {
    uint64_t waits = 0;  // status calls that had to wait for an answer still in the bridge
    uint64_t writes = 0;
    uint64_t reads = 0;
};

class SimUsbDriver final : public UsbDriver {
public:
    SimUsbDriver(std::shared_ptr<VirtualTester> tester, LinkCostModel model = {});

    VirtualTester& Tester() { return *m_tester; }
    BridgeCounters bridge;
    // The bridge EEPROM's description string; the device search matches on it.
    std::string description = "Zelk Communication tester";
    std::string serialNumber = "ZK000001";
    std::string manufacturer = "Zelk Instruments";
    uint16_t vendorId = 0x0403, productId = 0x6001;
    uint8_t rIsD2xx = 1;
    uint8_t latencyMs = 16;

    FT_STATUS CreateDeviceInfoList(DWORD* numDevs) override;
    FT_STATUS GetDeviceInfoDetail(DWORD index, DWORD* flags, DWORD* type, DWORD* id, DWORD* locId,
                                  void* serial16, void* description64, FT_HANDLE* handle) override;
    FT_STATUS Open(int deviceNumber, FT_HANDLE* handle) override;
    FT_STATUS Close(FT_HANDLE handle) override;
    FT_STATUS SetLatencyTimer(FT_HANDLE handle, UCHAR ms) override;
    FT_STATUS Write(FT_HANDLE handle, void* buf, DWORD count, DWORD* written) override;
    FT_STATUS GetStatus(FT_HANDLE handle, DWORD* rxBytes, DWORD* txBytes, DWORD* events) override;
    FT_STATUS GetQueueStatus(FT_HANDLE handle, DWORD* rxBytes) override;
    FT_STATUS Read(FT_HANDLE handle, void* buf, DWORD count, DWORD* returned) override;
    FT_STATUS EE_Read(FT_HANDLE handle, FT_PROGRAM_DATA* data) override;
    FT_STATUS EE_Program(FT_HANDLE handle, FT_PROGRAM_DATA* data) override;

private:
    struct InFlight {
        uint64_t readyUs;
        uint8_t byte;
    };
    enum class Device { None, Tester, Other };
    Device Which(FT_HANDLE handle) const;
    FT_STATUS Check(FT_HANDLE handle) const;
    void Release(uint64_t nowUs);
    uint64_t NextReleaseUs() const;
    // The bridge's time line: the clock, less what the bridge's last wait overslept.
    uint64_t ModelNowUs();
    void PaceUntil(uint64_t deadlineUs);

    std::shared_ptr<VirtualTester> m_tester;
    LinkCostModel m_model;
    Clock& m_clock;
    bool m_testerOpen = false;
    bool m_otherOpen = false;
    std::deque<InFlight> m_inFlight;  // answered, still in the bridge
    std::deque<uint8_t> m_visible;    // arrived at the host
    double m_lineFreeUs = 0;          // when the tester-to-host line is free again (µs)
    uint64_t m_behindUs = 0;          // how late the bridge's last wait woke, still unspent
    int m_testerToken = 0, m_otherToken = 0;
};

}  // namespace tavrin::sim
