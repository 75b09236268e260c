// The device under test as the tester's state and result cells show it: which test runs, when
// the device is found and locked, when the link stands, and the counters of every frame the
// link carries (BER, packet delay and jitter, packet count, slot size, timing offset).
#pragma once

#include <cstdint>
#include <memory>
#include <random>

#include "DeviceProfile.h"
#include "SimComponent.h"

namespace tavrin::sim {

class DeviceStates final : public SimComponent {
public:
    // The state cell's values.
    enum State : uint8_t { kIdle = 0, kFpTest = 1, kPpTest = 2, kConnected = 3 };
    // Ticks from a test selection to its state appearing in the state cell: the firmware
    // takes the mail in its next frame, well within the 2 ticks the host waits after it.
    static constexpr uint64_t kSelectTicks = 1;
    // The packet mode until the host chooses a pattern: FIG31, the host's own load value.
    static constexpr uint8_t kDefaultPacketMode = 5;

    explicit DeviceStates(std::shared_ptr<const DeviceProfile> device, uint32_t seed = 7);

    // The cells as the tester shows them when it is switched on.
    void PowerOn(VirtualTester& tester);

    bool OnMail(VirtualTester& tester, uint8_t cls, const uint8_t* body, uint8_t count) override;
    void Advance(VirtualTester& tester, uint64_t nowUs) override;

    bool Linked() const { return m_linked; }
    uint64_t FramesCarried() const { return m_frames; }

private:
    static constexpr uint64_t kNever = UINT64_MAX;

    void TakeMails(VirtualTester& tester, uint64_t nowUs);
    void HostMail(VirtualTester& tester, uint8_t cls, const uint8_t* body, size_t count,
                  uint64_t nowUs);
    void Select(VirtualTester& tester, uint8_t test, uint64_t nowUs);
    void Restart(VirtualTester& tester);
    void DropLink(VirtualTester& tester);
    void ClearDetection(VirtualTester& tester);
    void RaiseLink(VirtualTester& tester, uint64_t atUs);
    void Frame(VirtualTester& tester);
    void WriteTimingOffset(VirtualTester& tester);
    uint16_t SlotSize(VirtualTester& tester) const;
    bool RoleFits(uint8_t test) const;

    std::shared_ptr<const DeviceProfile> m_device;
    std::mt19937 m_random;
    std::normal_distribution<double> m_normal{0.0, 1.0};
    std::uniform_real_distribution<double> m_uniform{0.0, 1.0};

    size_t m_mailsSeen = 0;
    uint8_t m_test = kIdle;  // the test the tester runs
    uint8_t m_nextState = kIdle;
    uint64_t m_stateDueUs = kNever;
    uint64_t m_lockDueUs = kNever;
    uint64_t m_lockedAtUs = 0;
    bool m_locked = false;
    bool m_connectWanted = false;
    uint64_t m_connectAtUs = 0;
    uint64_t m_linkDueUs = kNever;
    uint64_t m_connectedDueUs = kNever;
    uint64_t m_releaseDueUs = kNever;
    bool m_linked = false;
    uint64_t m_lastFrame = 0;
    uint64_t m_frames = 0;
};

}  // namespace tavrin::sim
