// The device's states and the counters of its frames, on the tester's tick.
#include "DeviceStates.h"

#include <algorithm>
#include <cmath>

#include "TesterMemoryMap.h"
#include "VirtualTester.h"

namespace tavrin::sim {
namespace {

constexpr uint64_t kTickUs = VirtualTester::kTickPeriodUs;
constexpr double kSamplesPerUs = 10.368;  // the tester counts time in samples
// A jump of the clock longer than this is not played frame by frame.
constexpr uint64_t kMostFramesPerAdvance = 100000;
constexpr uint16_t kFullSlot = 40;

int8_t ClampByte(long v) {
    return static_cast<int8_t>(std::clamp(v, -128L, 127L));
}

}  // namespace

DeviceStates::DeviceStates(std::shared_ptr<const DeviceProfile> device, uint32_t seed)
    : m_device(std::move(device)), m_random(seed) {}

void DeviceStates::PowerOn(VirtualTester& tester) {
    tester.Memory().Write(cell::kPacketMode, kDefaultPacketMode);
    // The bursts carry the pattern the packet mode names.
    tester.radio.berPattern = kDefaultPacketMode;
}

bool DeviceStates::OnMail(VirtualTester&, uint8_t cls, const uint8_t* body, uint8_t count) {
    // Connect and release are this part's own; they act through the mail log like the test
    // selection, which the radio's part takes over as well.
    return (cls == 6 && count == 3 && body[0] == 0x55) ||
           (cls == 1 && count >= 1 && body[0] == 0x04);
}

void DeviceStates::Advance(VirtualTester& tester, uint64_t nowUs) {
    SimMemory& m = tester.Memory();
    TakeMails(tester, nowUs);

    if (nowUs >= m_stateDueUs) {
        m.Write(cell::kDeviceState, m_nextState);
        m_stateDueUs = kNever;
    }
    if (nowUs >= m_lockDueUs) {
        m_locked = true;
        m_lockedAtUs = m_lockDueUs;
        m_lockDueUs = kNever;
        m.Write(cell::kSyncLock, 1);
        WriteTimingOffset(tester);
        if (m_test == kFpTest) {
            // The portable side of the tester has found the fixed part's dummy bearer.
            for (uint32_t i = 0; i < 5; ++i) m.Write(cell::kDetectedRfpi + i, m_device->rfpi[i]);
            m.Write(cell::kDetectedDummyCarrier, m_device->dummyCarrier);
            m.Write(cell::kDetectedDummySlot, m_device->dummySlot);
        }
    }
    if (m_connectWanted && m_locked && m_linkDueUs == kNever)
        m_linkDueUs = std::max(m_connectAtUs, m_lockedAtUs) + uint64_t{m_device->connectMs} * 1000;
    if (nowUs >= m_linkDueUs) RaiseLink(tester, m_linkDueUs);
    if (nowUs >= m_connectedDueUs) {
        m.Write(cell::kDeviceState, kConnected);
        m_connectedDueUs = kNever;
    }
    if (nowUs >= m_releaseDueUs) DropLink(tester);

    if (m_linked) {
        const uint64_t frame = nowUs / kTickUs;
        if (frame - m_lastFrame > kMostFramesPerAdvance)
            m_lastFrame = frame - kMostFramesPerAdvance;
        for (; m_lastFrame < frame; ++m_lastFrame) Frame(tester);
    }
}

void DeviceStates::TakeMails(VirtualTester& tester, uint64_t nowUs) {
    // The log is cleared by tests between commands; then it starts again from its beginning.
    if (tester.mails.size() < m_mailsSeen) m_mailsSeen = 0;
    for (; m_mailsSeen < tester.mails.size(); ++m_mailsSeen) {
        const TakenMail& mail = tester.mails[m_mailsSeen];
        HostMail(tester, mail.cls, mail.body.data(), mail.body.size(), nowUs);
    }
}

void DeviceStates::HostMail(VirtualTester& tester, uint8_t cls, const uint8_t* body, size_t count,
                            uint64_t nowUs) {
    if (count == 0) return;
    if (cls == 6 && body[0] == 0x5D && count >= 2 && body[1] == 0xFF) {
        Restart(tester);
    } else if (cls == 6 && body[0] == 0xC0 && count >= 2) {
        Select(tester, body[1], nowUs);
    } else if (cls == 6 && body[0] == 0x55) {
        if (!m_linked) {
            m_connectWanted = true;
            m_connectAtUs = nowUs;
        }
    } else if (cls == 1 && body[0] == 0x04) {
        m_connectWanted = false;
        m_linkDueUs = kNever;
        if (m_linked && m_releaseDueUs == kNever) m_releaseDueUs = nowUs + kTickUs;
    } else if (cls == 6 && body[0] == 0xC1 && count >= 2) {
        // The packet mode follows the data pattern the host chose.
        tester.Memory().Write(cell::kPacketMode, body[1]);
    }
}

bool DeviceStates::RoleFits(uint8_t test) const {
    // In the FP test the tester plays the portable part and looks for a fixed part, and the
    // other way round in the PP test.
    return (test == kFpTest && m_device->fixedPart) || (test == kPpTest && !m_device->fixedPart);
}

void DeviceStates::Select(VirtualTester& tester, uint8_t test, uint64_t nowUs) {
    uint8_t state;
    switch (test) {
        case 0x00:
            state = kIdle;
            break;
        case 0x01:
            state = kFpTest;
            break;
        case 0x02:  // the PP test, also the RF generator's start
        case 0x03:  // the PP test with odd slots
            state = kPpTest;
            break;
        default:
            return;  // the manual mode keeps the running test
    }
    // A new test ends the link and the search of the previous one.
    if (m_linked) DropLink(tester);
    m_connectWanted = false;
    m_linkDueUs = m_connectedDueUs = m_releaseDueUs = kNever;
    m_locked = false;
    tester.Memory().Write(cell::kSyncLock, 0);
    ClearDetection(tester);
    m_test = state;
    m_nextState = state;
    m_stateDueUs = nowUs + kSelectTicks * kTickUs;
    m_lockDueUs = RoleFits(state) ? nowUs + uint64_t{m_device->searchMs} * 1000 : kNever;
}

void DeviceStates::Restart(VirtualTester& tester) {
    if (m_linked) DropLink(tester);
    SimMemory& m = tester.Memory();
    m_test = m_nextState = kIdle;
    m_stateDueUs = m_lockDueUs = m_linkDueUs = m_connectedDueUs = m_releaseDueUs = kNever;
    m_connectWanted = m_locked = false;
    m.Write(cell::kDeviceState, kIdle);
    m.Write(cell::kSyncLock, 0);
    m.Write(cell::kPacketMode, kDefaultPacketMode);
    tester.radio.berPattern = kDefaultPacketMode;
    ClearDetection(tester);
}

void DeviceStates::ClearDetection(VirtualTester& tester) {
    SimMemory& m = tester.Memory();
    for (uint32_t a = cell::kDetectedRfpi; a <= cell::kDetectedDummySlot; ++a) m.Write(a, 0);
}

uint16_t DeviceStates::SlotSize(VirtualTester& tester) const {
    const uint8_t size =
        tester.Memory().Read(m_test == kFpTest ? cell::kFpTrafficSize : cell::kPpTrafficSize);
    return size == 0 ? kFullSlot : size;
}

void DeviceStates::RaiseLink(VirtualTester& tester, uint64_t atUs) {
    SimMemory& m = tester.Memory();
    m_linkDueUs = kNever;
    m_connectWanted = false;
    m_linked = true;
    // The link flag comes first; the state cell follows a tick later.
    m.Write(cell::kLink, 1);
    m_connectedDueUs = atUs + kTickUs;
    m.WriteWord(cell::kBurstSize, SlotSize(tester));
    WriteTimingOffset(tester);
    m_lastFrame = atUs / kTickUs;
}

// The tester measures the slot timing once it is synchronised to the device.
void DeviceStates::WriteTimingOffset(VirtualTester& tester) {
    const long offset = std::lround(-m_device->timingOffsetUs * kSamplesPerUs);
    tester.Memory().WriteWord(
        cell::kTimingOffset,
        static_cast<uint16_t>(static_cast<int16_t>(std::clamp(offset, -32768L, 32767L))));
}

void DeviceStates::DropLink(VirtualTester& tester) {
    SimMemory& m = tester.Memory();
    m_linked = false;
    m_releaseDueUs = m_connectedDueUs = kNever;
    m.Write(cell::kLink, 0);
    m.Write(cell::kDeviceState, m_test);
    // The slot size cell keeps the size of the last burst received.
}

// One DECT frame carried by the link: the counters read back from the cells first, so the
// host's restart writes take effect at once.
void DeviceStates::Frame(VirtualTester& tester) {
    SimMemory& m = tester.Memory();
    const DeviceProfile& dev = *m_device;
    ++m_frames;
    const uint16_t slotSize = SlotSize(tester);
    m.WriteWord(cell::kBurstSize, slotSize);

    uint32_t frames = m.ReadWord(cell::kRunningFrames) + 1u;
    uint32_t bitErrors = m.ReadLong(cell::kRunningBitErrors);
    uint32_t frameErrors = m.ReadLong(cell::kRunningFrameErrors);
    if (m_uniform(m_random) < dev.frameErrorRate) {
        ++frameErrors;  // a lost frame: its bits are not counted
    } else if (dev.bitErrorRate > 0.0) {
        std::binomial_distribution<uint32_t> errors(uint32_t{slotSize} * 8u, dev.bitErrorRate);
        bitErrors += errors(m_random);
    }
    const uint32_t window = std::max<uint32_t>(1, m.ReadWord(cell::kBerWindow));
    if (frames >= window) {
        m.WriteWord(cell::kFrames, static_cast<uint16_t>(frames));
        m.WriteLong(cell::kBitErrors, bitErrors);
        m.WriteLong(cell::kFrameErrors, frameErrors);
        frames = bitErrors = frameErrors = 0;
    }
    m.WriteWord(cell::kRunningFrames, static_cast<uint16_t>(frames));
    m.WriteLong(cell::kRunningBitErrors, bitErrors);
    m.WriteLong(cell::kRunningFrameErrors, frameErrors);

    // Delay in samples, as the capture's alignment cell gives it, spread by the jitter.
    const long mean = std::lround(dev.delayUs * kSamplesPerUs);
    const long deviation = std::lround(m_normal(m_random) * dev.jitterUs * kSamplesPerUs);
    const int8_t delay = ClampByte(mean + deviation);
    const int8_t dev8 = ClampByte(deviation);
    auto update = [&](uint32_t address, int8_t value, bool keepLarger) {
        const int8_t old = static_cast<int8_t>(m.Read(address));
        if (keepLarger ? value > old : value < old) m.Write(address, static_cast<uint8_t>(value));
    };
    update(cell::kDelayMinimum, delay, false);
    update(cell::kDelayMaximum, delay, true);
    update(cell::kJitterHigh, dev8, true);
    update(cell::kJitterLow, dev8, false);
    const uint16_t packets = m.ReadWord(cell::kPacketCount);
    if (packets < 0xFFFF) m.WriteWord(cell::kPacketCount, static_cast<uint16_t>(packets + 1));
}

}  // namespace tavrin::sim
