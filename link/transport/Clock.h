// The one clock every wait of the link reads: the steady clock in the process, a virtual
// clock in tests and benchmarks, so long time-outs cost no real time.
#pragma once

#include <cstdint>

namespace tavrin {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start; wraps like a 32-bit platform tick.
    virtual uint32_t nowMs() = 0;
    virtual void sleepMs(uint32_t ms) = 0;
    // Finer grain for the virtual tester's link model.
    virtual uint64_t nowUs() = 0;
    virtual void sleepUs(uint64_t us) = 0;
};

class SteadyClock final : public Clock {
public:
    uint32_t nowMs() override;
    void sleepMs(uint32_t ms) override;
    uint64_t nowUs() override;
    void sleepUs(uint64_t us) override;
};

// Time moves only when somebody advances it: a sleep advances it at once, and the virtual
// tester advances it by the modelled cost of every USB exchange.
class VirtualClock final : public Clock {
public:
    uint32_t nowMs() override { return static_cast<uint32_t>(m_us / 1000); }
    void sleepMs(uint32_t ms) override { m_us += uint64_t{ms} * 1000; }
    uint64_t nowUs() override { return m_us; }
    void sleepUs(uint64_t us) override { m_us += us; }

private:
    uint64_t m_us = 0;
};

}  // namespace tavrin
