// Request protocol and mailbox on the tester side.
#include "VirtualTester.h"

#include <cstdio>

#include "EepromService.h"
#include "transport/MailboxLayout.h"

namespace tavrin::sim {

using namespace tavrin::mailbox;

VirtualTester::VirtualTester(Clock& clock) : m_clock(clock), m_eeprom(kEepromSize, 0xFF) {
    AddComponent(std::make_unique<EepromService>());
}

void VirtualTester::AddComponent(std::unique_ptr<SimComponent> component) {
    m_components.push_back(std::move(component));
}

void VirtualTester::Opened() {
    if (m_opened) return;
    m_opened = true;
    m_openedUs = m_clock.nowUs();
}

SimulatedFault VirtualTester::CableFault() {
    if (m_liveFault && *m_liveFault != SimulatedFault::None) return *m_liveFault;
    if (!m_opened || m_cablePull.afterUs == 0) return SimulatedFault::None;
    const uint64_t since = m_clock.nowUs() - m_openedUs;
    if (since < m_cablePull.afterUs) return SimulatedFault::None;
    if (m_cablePull.forUs != 0 && since >= m_cablePull.afterUs + m_cablePull.forUs)
        return SimulatedFault::None;
    return m_cablePull.mode;
}

void VirtualTester::HostBytes(const uint8_t* bytes, size_t count, std::vector<Answer>& answers) {
    counters.bytesToTester += count;
    if (CableFault() == SimulatedFault::Silent) {
        // The requests are lost on the way: nothing is carried out and nothing answers. A
        // request cut in half by the silence is lost with it.
        m_partial.clear();
        return;
    }
    for (size_t i = 0; i < count; ++i) {
        m_partial.push_back(bytes[i]);
        const uint8_t kind = m_partial[0];
        if (kind != 0x01 && kind != 0x02) {
            // Not a request: the firmware resynchronises on the next byte.
            char line[64];
            std::snprintf(line, sizeof line, "dropped stray byte %02x", kind);
            Log(line);
            m_partial.clear();
            continue;
        }
        const size_t need = kind == 0x01 ? 5 : 6;
        if (m_partial.size() < need) continue;
        std::vector<uint8_t> answer;
        Execute(m_partial.data(), answer);
        m_partial.clear();
        if (!faults.noAnswer) {
            counters.bytesFromTester += answer.size();
            answers.push_back({i + 1, std::move(answer)});
        }
    }
}

void VirtualTester::Advance() {
    const uint64_t now = m_clock.nowUs();
    if (!faults.tickStopped) m_memory.Write(kTickCell, static_cast<uint8_t>(now / kTickPeriodUs));
    for (auto& c : m_components) c->Advance(*this, now);
}

void VirtualTester::Execute(const uint8_t* request, std::vector<uint8_t>& answer) {
    ++counters.requests;
    Advance();
    const uint32_t address =
        (uint32_t{request[1]} << 16) | (uint32_t{request[2]} << 8) | request[3];
    if (request[0] == 0x01) {
        if (keepRequestLogs) requestLog.push_back({1, address, request[4]});
        const size_t n = size_t{request[4]} + 1;
        for (size_t k = 0; k < n; ++k) {
            const uint32_t a = (address + static_cast<uint32_t>(k)) & SimMemory::kAddressMask;
            for (auto& c : m_components) c->OnCellRead(*this, a);
            answer.push_back(m_memory.Read(a));
        }
        return;
    }
    const uint8_t value = request[5];
    if (keepRequestLogs) {
        requestLog.push_back({2, address, value});
        cellWrites.emplace_back(address, value);
    }
    m_memory.Write(address, value);
    answer.push_back(0x00);
    if (address == kHostRingWrite) TakeHostMails();
    for (auto& c : m_components) c->OnCellWrite(*this, address, value);
}

void VirtualTester::TakeHostMails() {
    if (faults.holdMails) return;
    uint8_t read = m_memory.Read(kHostRingRead) % kSlots;
    const uint8_t write = m_memory.Read(kHostRingWrite);
    if (write > 7) {
        Log("host write index out of the ring");
        return;
    }
    while (read != write) {
        const uint32_t slot = HostSlot(read);
        const uint8_t length = m_memory.Read(slot);
        bool good = length >= 1 && length <= kMaxBody + 1;
        uint8_t sum = 0;
        if (good) {
            for (uint32_t i = 0; i <= length; ++i)
                sum = static_cast<uint8_t>(sum + m_memory.Read(slot + i));
            good = sum == m_memory.Read(slot + length + 1);
        }
        read = static_cast<uint8_t>((read + 1) % kSlots);
        m_memory.Write(kHostRingRead, read);
        if (!good || faults.refuseChecksum) {
            m_memory.Write(kStatusCell, COMM_CRC_ERROR);
            continue;
        }
        ++counters.mails;
        uint8_t body[kMaxBody];
        const uint8_t count = static_cast<uint8_t>(length - 1);
        for (uint8_t i = 0; i < count; ++i) body[i] = m_memory.Read(slot + 2 + i);
        const uint8_t cls = m_memory.Read(slot + 1);
        mails.push_back({cls, std::vector<uint8_t>(body, body + count)});
        m_memory.Write(kStatusCell, COMM_IDLE);
        Dispatch(cls, body, count);
    }
}

void VirtualTester::Dispatch(uint8_t cls, const uint8_t* body, uint8_t count) {
    for (auto& c : m_components)
        if (c->OnMail(*this, cls, body, count)) return;
    std::string line = "mail not known, accepted: class " + std::to_string(cls) + ":";
    for (uint8_t i = 0; i < count; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02x", body[i]);
        line += hex;
    }
    Log(line);
}

void VirtualTester::PostReply(const uint8_t* bytes, size_t count) {
    if (faults.loseReplies) return;
    const uint8_t hostRead = m_memory.Read(kReplyRingRead) % kSlots;
    const uint8_t write = m_memory.Read(kReplyRingWrite) % kSlots;
    const uint8_t next = static_cast<uint8_t>((write + 1) % kSlots);
    if (next == hostRead) {
        Log("reply ring full, reply dropped");
        return;
    }
    const uint32_t slot = ReplySlot(write);
    for (uint32_t i = 0; i < kSlotSize; ++i) m_memory.Write(slot + i, i < count ? bytes[i] : 0);
    m_memory.Write(kReplyRingWrite, next);
    ++counters.replies;
}

}  // namespace tavrin::sim
