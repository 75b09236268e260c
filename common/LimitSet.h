// The limit set of the setup pages as data, the row check, and the verdict of a value against
// a row exactly as the limit bar colours it. Shared by the program and the command-line client.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tavrin::common {

enum class LimitRow { NTP, FrqOff, B_Field, S_Field, FrqDrift, LT_BER, LT_FER };
enum class LimitColumn { Min, MinOK, MaxOK, Max };

inline constexpr std::array<LimitColumn, 4> kLimitColumns = {LimitColumn::Min, LimitColumn::MinOK,
                                                             LimitColumn::MaxOK, LimitColumn::Max};

struct LimitRowSpec {
    LimitRow row;
    std::string_view stem;   // "NTP", "FrqOff", ...: the start of field names and setup-file keys
    std::string_view label;  // row label on the setup pages, "NTP [dBm]:"
    std::string_view unit;   // "dBm", "kHz", "" (BER), "%"
    bool fourLimits;         // false: only MaxOK and Max exist
    std::array<std::string_view, 4> factory;  // Min, MinOK, MaxOK, Max; "" where there is none
    int maxLength;                            // characters a field accepts; 0 = no limit
};

// The seven rows in the order of the setup pages.
const std::array<LimitRowSpec, 7>& LimitRows();
const LimitRowSpec& RowSpec(LimitRow row);

// "Min", "MinOK", "MaxOK", "Max": the column part of field names and keys.
std::string_view ColumnSuffix(LimitColumn column);
// "Min", "Min OK", "Max OK", "Max": the column headings on the pages.
std::string_view ColumnLabel(LimitColumn column);
// Whether the row has a field in this column (two-limit rows have no Min and MinOK).
bool HasColumn(LimitRow row, LimitColumn column);

// Setup-file key, also the field name without "Edit": "NTPMin", "LT_FERMaxOK".
std::string LimitKey(LimitRow row, LimitColumn column);

// A limit text as a number: optional blanks around an optional sign, digits with "." as the
// decimal point and an optional exponent. Anything else, and infinities, give nothing.
std::optional<double> ParseLimitNumber(std::string_view text);

// The fields of a row that are in error, indexed by column. A four-limit row is clean exactly
// when Min < MinOK < MaxOK < Max; equal neighbours put both in error. A text that is not a
// number is in error itself and takes part in no comparison. Columns a two-limit row lacks
// are never in error.
std::array<bool, 4> CheckRow(LimitRow row, const std::array<std::string, 4>& texts);

// The bands of the limit bar under a measured value: L[0] is the left end, L[k] the right end
// of band k. Four-limit rows give three bands (red, green, red); BER and FER give two (green,
// red) from 0, FER with the green band widened by 0.00001.
struct LimitBarBounds {
    int bands = 1;
    std::array<double, 6> L{};
};

LimitBarBounds BarBoundsFor(LimitRow row, const std::array<double, 4>& limits);
// 1-based band of a value: the first band whose right end lies above it; the last band takes
// everything beyond.
int BandOf(const LimitBarBounds& bounds, double value);
// The green band of a bar: 2 for three bands, 1 for two.
int PassBand(const LimitBarBounds& bounds);
// Whether the value lies in the green band of the row's bar.
bool Passes(LimitRow row, const std::array<double, 4>& limits, double value);

}  // namespace tavrin::common
