// Recorded runs made up for the tests: one plan, NTP values, limits around them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ResultsStore.h"

namespace tavrin::results::fixtures {

// Min and Max lie 4 below and 5 above the pass limits MinOK and MaxOK.
inline RecordedMeasurement Measured(int repetition, int position, const std::string& key,
                                    std::optional<double> value, std::optional<double> lower,
                                    std::optional<double> upper, bool pass) {
    RecordedMeasurement m;
    m.repetition = repetition;
    m.position = position;
    m.key = key;
    m.name = key + " name";
    m.unit = "dBm";
    m.value = value;
    m.shown = value ? std::to_string(*value) : "---";
    m.limitMin = lower ? std::optional<double>(*lower - 4) : std::nullopt;
    m.limitMinOk = lower;
    m.limitMaxOk = upper;
    m.limitMax = upper ? std::optional<double>(*upper + 5) : std::nullopt;
    m.verdict = pass ? "PASS" : "FAIL";
    return m;
}

inline RecordedRun SampleRun(const std::string& serial, const std::string& started,
                             const std::string& verdict, std::vector<double> ntp,
                             const std::string& station = "station-1") {
    RecordedRun r;
    static int counter = 0;
    r.uid = "uid-" + std::to_string(++counter) + "-" + serial + "-" + started;
    r.started = started;
    r.ended = started;
    r.station = station;
    r.serial = serial;
    r.planName = "PP final";
    r.planFile = "plans/pp.ini";
    r.planHash = "ab12";
    r.role = "PP";
    r.testerHardware = "Tavrin 1.0 2.0";
    r.testerFirmware = "FW 4.12";
    r.testerSerial = "20264711";
    r.library = "3.2.0";
    r.driver = "sim";
    r.repetitions = static_cast<int>(ntp.size());
    r.verdict = verdict;
    r.exitStatus = verdict == "PASS" ? 0 : verdict == "FAIL" ? 4 : 1;
    for (size_t i = 0; i < ntp.size(); ++i)
        r.measurements.push_back(
            Measured(static_cast<int>(i + 1), 1, "ntp", ntp[i], 19.0, 25.0, verdict == "PASS"));
    return r;
}

}  // namespace tavrin::results::fixtures
