// Reading a device profile from its INI file. Every key has a section, a range and a field;
// a key the table does not know is refused, so a misspelt key cannot silently keep a default.
// Profiles are plain ASCII: no wide-character conversion is needed.
#define SI_NO_CONVERSION
// The packaged header carries its template definitions behind this switch.
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <variant>

#include "DeviceProfile.h"

namespace tavrin::sim {
namespace {

struct RealKey {
    double DeviceProfile::*field;
    double minimum, maximum;
};
struct ByteKey {
    uint8_t DeviceProfile::*field;
    uint8_t minimum, maximum;
};
struct MillisecondsKey {
    uint32_t DeviceProfile::*field;
};
struct NameKey {};
struct RoleKey {};
struct RfpiKey {};
struct FaultModeKey {};

using KeyKind =
    std::variant<RealKey, ByteKey, MillisecondsKey, NameKey, RoleKey, RfpiKey, FaultModeKey>;

struct ProfileKey {
    const char* section;
    const char* key;
    KeyKind kind;
};

// The keys, as docs/device-profiles.md lists them.
const ProfileKey kKeys[] = {
    {"device", "name", NameKey{}},
    {"device", "role", RoleKey{}},
    {"transmitter", "power_dbm", RealKey{&DeviceProfile::powerDbm, -60.0, 40.0}},
    {"transmitter", "freq_offset_khz", RealKey{&DeviceProfile::freqOffsetKhz, -300.0, 300.0}},
    {"transmitter", "drift_khz_per_ms", RealKey{&DeviceProfile::driftKhzPerMs, -100.0, 100.0}},
    {"transmitter", "bfield_deviation_khz",
     RealKey{&DeviceProfile::bFieldDeviationKhz, 0.0, 1000.0}},
    {"transmitter", "sfield_deviation_khz",
     RealKey{&DeviceProfile::sFieldDeviationKhz, 0.0, 1000.0}},
    {"transmitter", "ramp_us", RealKey{&DeviceProfile::rampUs, 0.1, 50.0}},
    {"transmitter", "overshoot_db", RealKey{&DeviceProfile::overshootDb, 0.0, 20.0}},
    {"transmitter", "noise_khz", RealKey{&DeviceProfile::noiseKhz, 0.0, 100.0}},
    {"transmitter", "noise_db", RealKey{&DeviceProfile::noiseDb, 0.0, 10.0}},
    {"link", "bit_error_rate", RealKey{&DeviceProfile::bitErrorRate, 0.0, 1.0}},
    {"link", "frame_error_rate", RealKey{&DeviceProfile::frameErrorRate, 0.0, 1.0}},
    // The tester keeps delays and jitter in signed bytes of samples (1/10.368 us).
    {"link", "jitter_us", RealKey{&DeviceProfile::jitterUs, 0.0, 5.0}},
    {"link", "delay_us", RealKey{&DeviceProfile::delayUs, -12.0, 12.0}},
    {"link", "timing_offset_us", RealKey{&DeviceProfile::timingOffsetUs, -3000.0, 3000.0}},
    {"link", "connect_ms", MillisecondsKey{&DeviceProfile::connectMs}},
    {"link", "search_ms", MillisecondsKey{&DeviceProfile::searchMs}},
    {"fixed_part", "rfpi", RfpiKey{}},
    {"fixed_part", "dummy_slot", ByteKey{&DeviceProfile::dummySlot, 0, 11}},
    {"fixed_part", "dummy_carrier", ByteKey{&DeviceProfile::dummyCarrier, 0, 34}},
    // A day at most: a rehearsal is for one session.
    {"faults", "silent_after_s", RealKey{&DeviceProfile::silentAfterS, 0.0, 86400.0}},
    {"faults", "silent_for_s", RealKey{&DeviceProfile::silentForS, 0.0, 86400.0}},
    {"faults", "mode", FaultModeKey{}},
};

constexpr uint32_t kLongestWaitMs = 600000;

bool ParseReal(const char* text, double& out) {
    char* end = nullptr;
    errno = 0;
    out = std::strtod(text, &end);
    while (end && *end == ' ') ++end;
    return end != text && end && *end == '\0' && errno != ERANGE;
}

bool ParseUnsigned(const char* text, unsigned long maximum, unsigned long& out) {
    if (!std::isdigit(static_cast<unsigned char>(*text))) return false;
    char* end = nullptr;
    errno = 0;
    out = std::strtoul(text, &end, 10);
    while (end && *end == ' ') ++end;
    return end && *end == '\0' && errno != ERANGE && out <= maximum;
}

// False and the reason's tail when the value does not fit the key.
bool Apply(const ProfileKey& key, const char* value, DeviceProfile& profile, std::string& why) {
    struct Visitor {
        const char* value;
        DeviceProfile& profile;
        std::string& why;
        bool operator()(const RealKey& k) {
            double v = 0.0;
            if (!ParseReal(value, v) || v < k.minimum || v > k.maximum) {
                why = "needs a number from " + std::to_string(k.minimum) + " to " +
                      std::to_string(k.maximum);
                return false;
            }
            profile.*k.field = v;
            return true;
        }
        bool operator()(const ByteKey& k) {
            unsigned long v = 0;
            if (!ParseUnsigned(value, k.maximum, v) || v < k.minimum) {
                why = "needs a whole number from " + std::to_string(k.minimum) + " to " +
                      std::to_string(k.maximum);
                return false;
            }
            profile.*k.field = static_cast<uint8_t>(v);
            return true;
        }
        bool operator()(const MillisecondsKey& k) {
            unsigned long v = 0;
            if (!ParseUnsigned(value, kLongestWaitMs, v)) {
                why = "needs milliseconds from 0 to " + std::to_string(kLongestWaitMs);
                return false;
            }
            profile.*k.field = static_cast<uint32_t>(v);
            return true;
        }
        bool operator()(const NameKey&) {
            profile.name = value;
            return true;
        }
        bool operator()(const RoleKey&) {
            if (std::strcmp(value, "pp") == 0 || std::strcmp(value, "fp") == 0) {
                profile.fixedPart = value[0] == 'f';
                return true;
            }
            why = "is \"pp\" (portable part) or \"fp\" (fixed part)";
            return false;
        }
        bool operator()(const RfpiKey&) {
            if (std::strlen(value) != 10) {
                why = "needs 10 hex digits";
                return false;
            }
            for (int i = 0; i < 10; ++i)
                if (!std::isxdigit(static_cast<unsigned char>(value[i]))) {
                    why = "needs 10 hex digits";
                    return false;
                }
            for (int i = 0; i < 5; ++i) {
                const char pair[3] = {value[2 * i], value[2 * i + 1], '\0'};
                profile.rfpi[static_cast<size_t>(i)] =
                    static_cast<uint8_t>(std::strtoul(pair, nullptr, 16));
            }
            return true;
        }
        bool operator()(const FaultModeKey&) {
            // The empty text means "no fault" elsewhere; here the mode of a pull is asked for.
            SimulatedFault mode = SimulatedFault::None;
            if (!ParseSimulatedFault(value, mode) || mode == SimulatedFault::None) {
                why = "is \"silent\" (reads time out) or \"unplugged\" (the device is gone)";
                return false;
            }
            profile.faultMode = mode;
            return true;
        }
    };
    return std::visit(Visitor{value, profile, why}, key.kind);
}

const ProfileKey* FindKey(const char* section, const char* key) {
    for (const ProfileKey& k : kKeys)
        if (std::strcmp(k.section, section) == 0 && std::strcmp(k.key, key) == 0) return &k;
    return nullptr;
}

}  // namespace

bool LoadDeviceProfile(const std::string& path, DeviceProfile& profile, std::string& reason) {
    CSimpleIniA ini;
    ini.SetUnicode(false);
    ini.SetMultiKey(false);
    if (ini.LoadFile(path.c_str()) < 0) {
        reason = "device profile " + path + " cannot be read";
        return false;
    }
    // Filled apart and handed over whole, so a profile that fails leaves the caller's as it was.
    DeviceProfile loaded;
    CSimpleIniA::TNamesDepend sections;
    ini.GetAllSections(sections);
    for (const auto& section : sections) {
        CSimpleIniA::TNamesDepend keys;
        ini.GetAllKeys(section.pItem, keys);
        for (const auto& key : keys) {
            const ProfileKey* known = FindKey(section.pItem, key.pItem);
            const std::string where =
                "device profile " + path + ": [" + section.pItem + "] " + key.pItem;
            if (!known) {
                reason = where + " is not a known key";
                return false;
            }
            std::string why;
            if (!Apply(*known, ini.GetValue(section.pItem, key.pItem, ""), loaded, why)) {
                reason = where + " " + why;
                return false;
            }
        }
    }
    profile = loaded;
    return true;
}

}  // namespace tavrin::sim
