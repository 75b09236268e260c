// The device under test in front of the tester: its profile, its states and counters, and the
// bursts it sends into the tester's captures.
#include <memory>

#include "CaptureSynthesis.h"
#include "DeviceStates.h"
#include "Firmware.h"

namespace tavrin::sim {

bool InstallDeviceUnderTest(VirtualTester& tester, const SimulationSettings& settings,
                            std::string& reason) {
    auto profile = std::make_shared<DeviceProfile>();
    if (!settings.deviceProfile.empty() &&
        !LoadDeviceProfile(settings.deviceProfile, *profile, reason))
        return false;
    auto seconds = [](double s) { return static_cast<uint64_t>(s * 1e6 + 0.5); };
    tester.SetCablePull(
        {profile->faultMode, seconds(profile->silentAfterS), seconds(profile->silentForS)});
    std::shared_ptr<const DeviceProfile> device = std::move(profile);
    auto states = std::make_unique<DeviceStates>(device);
    states->PowerOn(tester);
    tester.AddComponent(std::move(states));
    tester.AddComponent(MakeCaptureSynthesizer(device));
    return true;
}

}  // namespace tavrin::sim
