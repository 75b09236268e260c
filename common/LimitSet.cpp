// The limit rows as one table, and the rules that read it.
#include "LimitSet.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

namespace tavrin::common {
namespace {

constexpr int kFieldLength = 7;

constexpr std::array<LimitRowSpec, 7> kRows = {{
    {LimitRow::NTP, "NTP", "NTP [dBm]:", "dBm", true, {"15", "19", "24", "30"}, kFieldLength},
    {LimitRow::FrqOff,
     "FrqOff",
     "Frequency Offset [kHz]:",
     "kHz",
     true,
     {"-75", "-50", "50", "75"},
     kFieldLength},
    {LimitRow::B_Field,
     "B_Field",
     "B-Field Modulation [kHz]:",
     "kHz",
     true,
     {"100", "259", "403", "500"},
     kFieldLength},
    // The S-field fields take texts of any length.
    {LimitRow::S_Field,
     "S_Field",
     "S-Field Modulation [kHz]:",
     "kHz",
     true,
     {"100", "202", "403", "500"},
     0},
    {LimitRow::FrqDrift,
     "FrqDrift",
     "Frequency Drift [kHz]:",
     "kHz",
     true,
     {"-50", "-43.2", "43.2", "50"},
     kFieldLength},
    {LimitRow::LT_BER, "LT_BER", "BER:", "", false, {"", "", "0.001", "0.005"}, kFieldLength},
    {LimitRow::LT_FER, "LT_FER", "FER [%]:", "%", false, {"", "", "5", "10"}, kFieldLength},
}};

constexpr std::array<std::string_view, 4> kSuffixes = {"Min", "MinOK", "MaxOK", "Max"};
constexpr std::array<std::string_view, 4> kLabels = {"Min", "Min OK", "Max OK", "Max"};

// The FER bar's green band reaches this far beyond MaxOK, so a FER of exactly MaxOK passes.
constexpr double kFerWidening = 0.00001;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

const std::array<LimitRowSpec, 7>& LimitRows() {
    return kRows;
}

const LimitRowSpec& RowSpec(LimitRow row) {
    return kRows[static_cast<size_t>(row)];
}

std::string_view ColumnSuffix(LimitColumn column) {
    return kSuffixes[static_cast<size_t>(column)];
}

std::string_view ColumnLabel(LimitColumn column) {
    return kLabels[static_cast<size_t>(column)];
}

bool HasColumn(LimitRow row, LimitColumn column) {
    return RowSpec(row).fourLimits || column == LimitColumn::MaxOK || column == LimitColumn::Max;
}

std::string LimitKey(LimitRow row, LimitColumn column) {
    std::string key(RowSpec(row).stem);
    key += ColumnSuffix(column);
    return key;
}

std::optional<double> ParseLimitNumber(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // from_chars would also take "inf", "nan" and a second sign; a limit is digits first.
    if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text.front())) ||
                          (text.front() == '.' && text.size() > 1 &&
                           std::isdigit(static_cast<unsigned char>(text[1]))))) {
        return std::nullopt;
    }
    double value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::general);
    if (ec != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
    return negative ? -value : value;
}

std::array<bool, 4> CheckRow(LimitRow row, const std::array<std::string, 4>& texts) {
    // A text that is no number becomes NaN: every comparison with it is false, so it puts
    // no neighbour in error.
    std::array<double, 4> v{};
    std::array<bool, 4> error{};
    for (size_t i = 0; i < 4; ++i) {
        if (!HasColumn(row, kLimitColumns[i])) continue;
        auto n = ParseLimitNumber(texts[i]);
        v[i] = n.value_or(std::numeric_limits<double>::quiet_NaN());
        error[i] = !n.has_value();
    }
    const double min = v[0], minOK = v[1], maxOK = v[2], max = v[3];
    if (RowSpec(row).fourLimits) {
        error[0] = error[0] || minOK <= min;
        error[1] = error[1] || maxOK <= minOK || min >= minOK;
        error[2] = error[2] || max <= maxOK || minOK >= maxOK;
    } else {
        error[2] = error[2] || max <= maxOK;
    }
    error[3] = error[3] || maxOK >= max;
    return error;
}

LimitBarBounds BarBoundsFor(LimitRow row, const std::array<double, 4>& limits) {
    LimitBarBounds b;
    if (RowSpec(row).fourLimits) {
        b.bands = 3;
        b.L = {limits[0], limits[1], limits[2], limits[3], 0, 0};
    } else {
        const double widening = row == LimitRow::LT_FER ? kFerWidening : 0.0;
        b.bands = 2;
        b.L = {0, limits[2] + widening, limits[3], 0, 0, 0};
    }
    return b;
}

int BandOf(const LimitBarBounds& b, double x) {
    const int n = b.bands;
    if (x < b.L[1] || n == 1) return 1;
    if (x < b.L[2] || n == 2) return 2;
    if (x < b.L[3] || n == 3) return 3;
    if (x >= b.L[4] && n != 4) return 5;
    return 4;
}

int PassBand(const LimitBarBounds& b) {
    return b.bands == 3 ? 2 : 1;
}

bool Passes(LimitRow row, const std::array<double, 4>& limits, double value) {
    const LimitBarBounds b = BarBoundsFor(row, limits);
    return BandOf(b, value) == PassBand(b);
}

}  // namespace tavrin::common
