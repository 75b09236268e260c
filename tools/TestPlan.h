// A production test plan: one INI file that says which test to run on one device, with which
// radio settings, which measurements, time-outs and limits. Read and checked completely before
// anything is sent to the tester.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "common/LimitSet.h"
#include "common/SetupLimits.h"

namespace tavrin::cli {

enum class Role { PP, FP };

// The measurements a plan can take, in the order they are taken and reported.
enum class Measurement {
    NTP,
    FrequencyOffset,
    BField,
    SField,
    Drift,
    Ber,  // BER and FER from the same frames
    Jitter,
    PacketDelay,
    TimingAccuracy,
    Template,
};
inline constexpr size_t kMeasurementCount = 10;

struct RadioSettings {
    std::string rfpi;  // PP: the tester's identity; FP: the identity the fixed part must have
    bool rfpiGiven = false;
    int dummySlot = 0;  // PP only
    int dummyCarrier = 0;
    int trafficSlot = 4;
    int trafficCarrier = 0;
    double rfLevel = -60.0;
    std::string dataPattern = "FIG31";
    double couplingLoss = 0.0;
    bool rxAttenuator = true;
    std::string signallingMode = "LOOP";
};

// A plain range for measurements that have no limit row on the setup pages.
struct Range {
    std::optional<double> min, max;
};

struct PlanLimits {
    // By the row's place in common::LimitRows() and column; unused columns 0.
    std::array<std::array<double, 4>, 7> rows{};
    std::array<int, 5> ramps{};       // template ramps B to F, dB
    std::optional<double> jitterMax;  // us, both extremes
    Range packetDelay;                // us
    Range timingAccuracy;             // as the tester answers it
    std::string source;               // "factory", the setup file, and/or the plan
};

struct TestPlan {
    std::string path;
    std::string name;
    Role role = Role::PP;
    RadioSettings radio;
    std::array<bool, kMeasurementCount> measure{};
    int bursts = 1;
    int berFrames = 100;
    double searchS = 10.0, connectS = 10.0, berS = 30.0;
    std::string limitsFile;  // as resolved; empty when none
    PlanLimits limits;

    bool Takes(Measurement m) const { return measure[static_cast<size_t>(m)]; }
};

// What is wrong with a plan: the file (the plan or its limits file), the line (0 when the
// problem is not on one line), the key and what is wrong.
struct PlanError {
    std::string file;
    int line = 0;
    std::string key;
    std::string message;
    // "plan.ini:12: rf_level: ..."
    std::string Text() const;
};

// Reads and checks a plan. Unknown sections and keys, repeated keys, bad values, missing or
// unreadable files and inconsistent limits are errors.
std::optional<TestPlan> ReadTestPlan(const std::string& path, PlanError& error);

// "PP" or "FP".
const char* RoleName(Role role);
// The plan key of a measurement ("ntp", "b_field", ...).
const char* MeasurementKey(Measurement m);

}  // namespace tavrin::cli
