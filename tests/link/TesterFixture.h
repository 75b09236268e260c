// Helpers for command tests on the virtual tester: mails of one class and primitive, the
// host's cell writes in order, a write-protected EEPROM area, and a plausible calibration.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "SimLink.h"

namespace tavrin::testing {

using Bytes = std::vector<uint8_t>;

// Every mail body of class `cls` that the tester took, in order.
inline std::vector<Bytes> MailsOfClass(const sim::VirtualTester& t, uint8_t cls) {
    std::vector<Bytes> out;
    for (const auto& m : t.mails)
        if (m.cls == cls) out.push_back(m.body);
    return out;
}

// The host's writes to cells from `from` to `to`, in order.
inline std::vector<std::pair<uint32_t, uint8_t>> WritesBetween(const sim::VirtualTester& t,
                                                               uint32_t from, uint32_t to) {
    std::vector<std::pair<uint32_t, uint8_t>> out;
    for (const auto& w : t.cellWrites)
        if (w.first >= from && w.first <= to) out.push_back(w);
    return out;
}

// An EEPROM area whose cells do not take writes: before every request the tester sees, the
// bytes return to what they held when the protection was set.
class WriteProtect final : public sim::SimComponent {
public:
    WriteProtect(sim::VirtualTester& t, uint32_t address, size_t count) : m_address(address) {
        for (size_t i = 0; i < count; ++i) m_bytes.push_back(t.Eeprom()[address + i]);
    }
    void Advance(sim::VirtualTester& t, uint64_t) override {
        for (size_t i = 0; i < m_bytes.size(); ++i) t.Eeprom()[m_address + i] = m_bytes[i];
    }

private:
    uint32_t m_address;
    Bytes m_bytes;
};

// Gains and offsets that are not round, a carrier table that varies, attenuator bytes and
// thresholds of a real instrument's shape.
inline void WriteCalibration(sim::VirtualTester& tester) {
    sim::SimMemory& m = tester.Memory();
    m.WriteWord(0x6A75, 600);  // power offset
    m.WriteWord(0x6A77, 97);   // power gain
    m.WriteWord(0x6A79, 509);  // frequency offset
    m.WriteWord(0x6A7B, 473);  // frequency gain
    std::vector<uint8_t>& e = tester.Eeprom();
    for (int i = 0; i < 75; ++i) {
        e[0x0200 + i] = static_cast<uint8_t>(int8_t(i % 7 - 3));
        e[0x025F + i] = static_cast<uint8_t>(int8_t(i % 5 - 2));
    }
    e[0x031D] = 90;
    e[0x03A0] = 0xFF;
    for (int t = 0; t < 41; ++t) {
        const uint32_t a = 0x031E + 3 * static_cast<uint32_t>(t);
        e[a] = static_cast<uint8_t>(int8_t(-60 + 2 * t));
        e[a + 1] = static_cast<uint8_t>(t - 20);
        e[a + 2] = static_cast<uint8_t>(static_cast<uint16_t>(int16_t(t - 20)) >> 8);
    }
}

}  // namespace tavrin::testing
