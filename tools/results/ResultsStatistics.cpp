// Spread, Cpk and the yields of a results summary.
#include "ResultsStatistics.h"

#include <algorithm>
#include <cmath>

namespace tavrin::results {

void Spread::Add(double x) {
    ++m_count;
    if (m_count == 1) {
        m_min = m_max = x;
    } else {
        m_min = std::min(m_min, x);
        m_max = std::max(m_max, x);
    }
    const double delta = x - m_mean;
    m_mean += delta / static_cast<double>(m_count);
    m_m2 += delta * (x - m_mean);
}

double Spread::StdDev() const {
    return m_count > 1 ? std::sqrt(m_m2 / static_cast<double>(m_count - 1)) : 0.0;
}

SpecLimits SpecLimitsOf(std::optional<double> min, std::optional<double> minOk,
                        std::optional<double> maxOk, std::optional<double> max) {
    return {minOk ? minOk : min, maxOk ? maxOk : max};
}

std::optional<double> Cpk(const Spread& spread, const SpecLimits& limits) {
    const double sigma = spread.StdDev();
    if (spread.Count() < 2 || !(sigma > 0.0) || (!limits.lower && !limits.upper))
        return std::nullopt;
    double index = INFINITY;
    if (limits.upper) index = std::min(index, (*limits.upper - spread.Mean()) / (3.0 * sigma));
    if (limits.lower) index = std::min(index, (spread.Mean() - *limits.lower) / (3.0 * sigma));
    return index;
}

void YieldCounter::Add(const std::string& serial, const std::string& started,
                       const std::string& ended, const std::string& uid,
                       const std::string& verdict) {
    const bool passed = verdict == "PASS";
    if (passed) {
        ++m_pass;
    } else if (verdict == "FAIL") {
        ++m_fail;
    } else {
        ++m_error;
    }
    if (serial.empty()) return;
    // The fixed-width UTC texts order as the times they name.
    const std::string order = started + "|" + ended + "|" + uid;
    auto [it, added] = m_first.try_emplace(serial, First{order, passed});
    if (!added && order < it->second.order) it->second = First{order, passed};
}

int64_t YieldCounter::PassedFirstTime() const {
    return std::count_if(m_first.begin(), m_first.end(),
                         [](const auto& entry) { return entry.second.passed; });
}

std::optional<double> YieldCounter::Yield() const {
    if (Runs() == 0) return std::nullopt;
    return static_cast<double>(m_pass) / static_cast<double>(Runs());
}

std::optional<double> YieldCounter::FirstPassYield() const {
    if (m_first.empty()) return std::nullopt;
    return static_cast<double>(PassedFirstTime()) / static_cast<double>(m_first.size());
}

}  // namespace tavrin::results
