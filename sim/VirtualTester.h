// The virtual tester: a 24-bit memory that answers the request protocol, the firmware side of
// the mailbox (both rings, checksum check, EEPROM service) and the tick cell on its clock.
// Components add the radio and the device under test on top.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "RadioConfig.h"
#include "SimComponent.h"
#include "SimMemory.h"
#include "transport/Clock.h"
#include "transport/SimulationSettings.h"

namespace tavrin::sim {

struct SimFaults {
    bool noAnswer = false;        // requests are taken but never answered
    bool refuseChecksum = false;  // every mail is refused with COMM_CRC_ERROR
    bool tickStopped = false;     // the tick cell stops changing
    bool unplugged = false;       // the device is gone from the bus
    bool loseReplies = false;     // mails to the host are never posted
    bool holdMails = false;       // mails stay in the host ring untaken
};

// A pulled cable rehearsed on the tester's clock, counted from the tester's first opening.
struct CablePull {
    SimulatedFault mode = SimulatedFault::Silent;
    uint64_t afterUs = 0;  // 0: never
    uint64_t forUs = 0;    // 0: for good
};

struct SimCounters {
    uint64_t requests = 0;         // read and write requests carried out
    uint64_t bytesToTester = 0;    // host to tester
    uint64_t bytesFromTester = 0;  // tester to host
    uint64_t mails = 0;            // mails taken from the host ring
    uint64_t replies = 0;          // mails posted to the host
};

struct TakenMail {
    uint8_t cls;
    std::vector<uint8_t> body;  // primitive first
};

struct HostRequest {
    uint8_t kind;  // 1 read, 2 write
    uint32_t address;
    uint8_t value;  // write: the value; read: n - 1
};

class VirtualTester {
public:
    static constexpr uint64_t kTickPeriodUs = 10000;  // one DECT frame
    static constexpr size_t kEepromSize = 0x10000;

    explicit VirtualTester(Clock& clock);

    // Carries out the requests in the host's bytes (a request may span writes). For each
    // answered request, appends its answer and the offset in `bytes` where it ended.
    struct Answer {
        size_t endOffset;
        std::vector<uint8_t> bytes;
    };
    void HostBytes(const uint8_t* bytes, size_t count, std::vector<Answer>& answers);

    SimMemory& Memory() { return m_memory; }
    std::vector<uint8_t>& Eeprom() { return m_eeprom; }
    Clock& TesterClock() { return m_clock; }

    // Posts a mail of at most 32 bytes into the tester-to-host ring.
    void PostReply(const uint8_t* bytes, size_t count);
    void AddComponent(std::unique_ptr<SimComponent> component);
    template <typename T>
    T* Find() {
        for (auto& c : m_components)
            if (auto* t = dynamic_cast<T*>(c.get())) return t;
        return nullptr;
    }

    // The fault set from outside; shared with the settings that set it, read at every call.
    void SetLiveFault(std::shared_ptr<const SimulatedFault> fault) { m_liveFault = std::move(fault); }
    void SetCablePull(const CablePull& pull) { m_cablePull = pull; }
    // The bridge opened the tester. The first opening starts the cable pull's clock, so a
    // later port choice does not pull the cable a second time.
    void Opened();
    // The USB side's fault now: the one set from outside wins over the cable pull.
    SimulatedFault CableFault();
    bool Unplugged() { return faults.unplugged || CableFault() == SimulatedFault::Unplugged; }

    // Lines about what the firmware did not know or could not do.
    void Log(std::string line) { m_log.push_back(std::move(line)); }
    const std::vector<std::string>& LogLines() const { return m_log; }

    SimFaults faults;
    RadioConfig radio;  // filled by the firmware parts that take the configuration over
    SimCounters counters;
    std::vector<TakenMail> mails;  // every mail taken, in order
    // Every request and every host write, in order, for tests to look at. The program's own
    // virtual tester runs for hours and keeps neither.
    bool keepRequestLogs = true;
    std::vector<HostRequest> requestLog;
    std::vector<std::pair<uint32_t, uint8_t>> cellWrites;

private:
    void Execute(const uint8_t* request, std::vector<uint8_t>& answer);
    void Advance();
    void TakeHostMails();
    void Dispatch(uint8_t cls, const uint8_t* body, uint8_t count);

    Clock& m_clock;
    SimMemory m_memory;
    std::vector<uint8_t> m_eeprom;
    std::vector<uint8_t> m_partial;
    std::vector<std::unique_ptr<SimComponent>> m_components;
    std::vector<std::string> m_log;
    std::shared_ptr<const SimulatedFault> m_liveFault;
    CablePull m_cablePull;
    bool m_opened = false;
    uint64_t m_openedUs = 0;
};

}  // namespace tavrin::sim
