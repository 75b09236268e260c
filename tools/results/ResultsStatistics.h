// The figures of a results summary: yield and first-pass yield over runs, and per measurement
// the spread of its values and the process capability (Cpk) against its limits.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace tavrin::results {

// Count, mean, sample standard deviation (n - 1), minimum and maximum, updated one value at a
// time (Welford), so a large set needs no second pass and loses no digits to cancellation.
class Spread {
public:
    void Add(double x);
    int64_t Count() const { return m_count; }
    double Mean() const { return m_mean; }
    double StdDev() const;  // 0 below two values
    double Min() const { return m_min; }
    double Max() const { return m_max; }

private:
    int64_t m_count = 0;
    double m_mean = 0.0, m_m2 = 0.0, m_min = 0.0, m_max = 0.0;
};

// The tolerance limits of a measurement (for Cpk) from its four recorded limits: the lower one is
// MinOK (Min where the measurement has no MinOK), the upper one MaxOK (else Max), because a
// value passes between MinOK and MaxOK and Min and Max are only the ends of the limit bar.
struct SpecLimits {
    std::optional<double> lower, upper;
};
SpecLimits SpecLimitsOf(std::optional<double> min, std::optional<double> minOk,
                        std::optional<double> maxOk, std::optional<double> max);

// min(USL - mean, mean - LSL) / 3 sigma over the limits there are; none without a limit, with
// fewer than two values or no spread at all.
std::optional<double> Cpk(const Spread& spread, const SpecLimits& limits);

// Runs by verdict, yield (passed runs over all runs: a run that ended in an error shipped no
// device) and first-pass yield (devices whose first run passed over devices; runs without a
// serial name no device and are left out of it).
class YieldCounter {
public:
    void Add(const std::string& serial, const std::string& started, const std::string& ended,
             const std::string& uid, const std::string& verdict);
    int64_t Runs() const { return m_pass + m_fail + m_error; }
    int64_t Pass() const { return m_pass; }
    int64_t Fail() const { return m_fail; }
    int64_t Error() const { return m_error; }
    int64_t Devices() const { return static_cast<int64_t>(m_first.size()); }
    int64_t PassedFirstTime() const;
    std::optional<double> Yield() const;           // 0 to 1
    std::optional<double> FirstPassYield() const;  // 0 to 1

private:
    struct First {
        std::string order;  // started, ended, uid: the earliest run wins
        bool passed = false;
    };
    int64_t m_pass = 0, m_fail = 0, m_error = 0;
    std::map<std::string, First> m_first;
};

}  // namespace tavrin::results
