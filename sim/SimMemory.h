// The virtual tester's 24-bit byte-addressed memory, kept in 64 KiB pages made on first write.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

namespace tavrin::sim {

class SimMemory {
public:
    static constexpr uint32_t kAddressMask = 0xFFFFFF;

    uint8_t Read(uint32_t address) const {
        address &= kAddressMask;
        const auto& page = m_pages[address >> 16];
        return page ? (*page)[address & 0xFFFF] : 0;
    }
    void Write(uint32_t address, uint8_t value) {
        address &= kAddressMask;
        auto& page = m_pages[address >> 16];
        if (!page) page = std::make_unique<Page>();
        (*page)[address & 0xFFFF] = value;
    }
    uint16_t ReadWord(uint32_t address) const {
        return static_cast<uint16_t>(Read(address) | (Read(address + 1) << 8));
    }
    void WriteWord(uint32_t address, uint16_t value) {
        Write(address, static_cast<uint8_t>(value));
        Write(address + 1, static_cast<uint8_t>(value >> 8));
    }
    uint32_t ReadLong(uint32_t address) const {
        return ReadWord(address) | (uint32_t{ReadWord(address + 2)} << 16);
    }
    void WriteLong(uint32_t address, uint32_t value) {
        WriteWord(address, static_cast<uint16_t>(value));
        WriteWord(address + 2, static_cast<uint16_t>(value >> 16));
    }

private:
    using Page = std::array<uint8_t, 0x10000>;
    std::array<std::unique_ptr<Page>, 256> m_pages{};
};

}  // namespace tavrin::sim
