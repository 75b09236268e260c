// A link on the virtual tester with a device under test in front of it: realistic calibration
// in the tester's cells and EEPROM, the capture synthesizer installed, the port chosen and the
// link up, so captures and measurement queries run end to end.
#pragma once

#include <memory>
#include <string>

#include "CaptureSynthesis.h"
#include "Firmware.h"
#include "SimUsbDriver.h"
#include "transport/Calibration.h"
#include "transport/Link.h"

namespace tavrin::testing {

// Calibration values of a plausible tester: gains that are not round, so the truncating
// conversions show, a carrier table of -0.3 to -1.5 dB, and level-dependent corrections of
// up to 10 kHz, large enough that a synthesis which failed to invert them would show.
struct RigCalibration {
    int16_t pwrOffset = 600;
    int16_t pwrGain = 97;
    int16_t rxOffset = 509;
    int16_t rxGain = 473;
    uint8_t attenuatorA = 90;    // (90 + 200) x 0.1 dB: a 29 dB attenuator
    uint8_t attenuatorB = 0xFF;  // "same as A"

    void WriteInto(sim::VirtualTester& tester) const {
        sim::SimMemory& m = tester.Memory();
        m.WriteWord(0x6A75, static_cast<uint16_t>(pwrOffset));
        m.WriteWord(0x6A77, static_cast<uint16_t>(pwrGain));
        m.WriteWord(0x6A79, static_cast<uint16_t>(rxOffset));
        m.WriteWord(0x6A7B, static_cast<uint16_t>(rxGain));
        std::vector<uint8_t>& e = tester.Eeprom();
        for (int i = 0; i < 75; ++i) e[0x0200 + i] = static_cast<uint8_t>(int8_t(-(i % 13) - 3));
        e[0x031D] = attenuatorA;
        e[0x03A0] = attenuatorB;
        // Thresholds -60 dB to +20 dB in steps of 2, corrections from -10 to +10 kHz.
        for (int t = 0; t < 41; ++t) {
            const uint32_t a = 0x031E + 3 * static_cast<uint32_t>(t);
            e[a] = static_cast<uint8_t>(int8_t(-60 + 2 * t));
            const int16_t correction = static_cast<int16_t>(5 * (t - 20));
            e[a + 1] = static_cast<uint8_t>(correction);
            e[a + 2] = static_cast<uint8_t>(static_cast<uint16_t>(correction) >> 8);
        }
    }
};

// A link on a virtual tester with its identity and radio but no device under test: the
// tests write the cells and planes a device would make, and nothing else touches them.
class BareTester {
public:
    explicit BareTester(SimulationSettings settings = {}) {
        tester = std::make_shared<sim::VirtualTester>(clock);
        std::string reason;
        installed = sim::InstallIdentity(*tester, settings, reason) &&
                    sim::InstallRadio(*tester, settings, reason);
        auto owned = std::make_unique<sim::SimUsbDriver>(tester);
        driver = owned.get();
        link = std::make_unique<Link>(clock, std::move(owned));
        link->trace.SetSink([](const char*, void*) {}, nullptr);
        link->usb.OpenUsbLink(kFirstUsbPort);
    }

    std::string Run(const char* line, int16_t* result = nullptr) {
        const int16_t r = link->ZelkWrt(line, true);
        if (result) *result = r;
        char out[kResponseSize] = {};
        link->ZelkRd(out, false);
        return out;
    }
    void ClearLogs() {
        tester->mails.clear();
        tester->requestLog.clear();
        tester->cellWrites.clear();
    }

    VirtualClock clock;
    std::shared_ptr<sim::VirtualTester> tester;
    sim::SimUsbDriver* driver = nullptr;
    std::unique_ptr<Link> link;
    bool installed = false;
};

class MeasurementRig : public BareTester {
public:
    explicit MeasurementRig(sim::DeviceProfile profile = {}, sim::CaptureSynthesis synthesis = {},
                            SimulationSettings settings = {}, RigCalibration cal = {})
        : BareTester(settings) {
        device = std::make_shared<sim::DeviceProfile>(profile);
        cal.WriteInto(*tester);
        tester->AddComponent(sim::MakeCaptureSynthesizer(device, synthesis));
        tester->radio.trafficCarrier = 4;
        // What the port choice and the device states would have done.
        link->conf.CommPort = code::CommPortUsb;
        link->conf.LinkOpen = true;
        link->conf.TestType = profile.fixedPart ? code::DFP : code::DPP;
        SetLink(true);
        SetPacketMode(2);
        LoadCalibration(*link);
    }

    void SetLink(bool up) { tester->Memory().Write(0x6A17, up ? 1 : 0); }
    void SetPacketMode(uint8_t mode) { tester->Memory().Write(0x6A2D, mode); }

    std::shared_ptr<sim::DeviceProfile> device;
};

}  // namespace tavrin::testing
