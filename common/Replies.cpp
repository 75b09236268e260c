// Reading the tester's measurement replies.
#include "Replies.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace tavrin::common {

bool IsInvalidReply(std::string_view reply) {
    return reply.empty() || reply == "INV";
}

std::optional<double> LeadingNumber(std::string_view text) {
    // from_chars takes no "+"; the tester never sends one, but a number may carry it.
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    // "inf" and "nan" would parse, and one of them would spoil a running average for N polls.
    if (error != std::errc() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<double> WholeNumber(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0;
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(text.data(), last, value);
    if (error != std::errc() || end != last || !std::isfinite(value)) return std::nullopt;
    return value;
}

ReplyParts SplitAtFirstComma(std::string_view reply) {
    const size_t comma = reply.find(',');
    if (comma == std::string_view::npos) return {std::string(reply), std::string(reply)};
    return {std::string(reply.substr(0, comma)), std::string(reply.substr(comma + 1))};
}

NumberPair PairOfNumbers(std::string_view reply) {
    const ReplyParts parts = SplitAtFirstComma(reply);
    return {WholeNumber(parts.first), WholeNumber(parts.second)};
}

std::optional<double> FirstNumber(std::string_view reply) {
    return WholeNumber(SplitAtFirstComma(reply).first);
}

std::string FixedText(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string ShortestText(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

std::string SlotSizeText(std::string_view reply) {
    return !reply.empty() && reply.front() == '8' ? "P64Z" : "P32Z";
}

float SampleWindowFor(bool p64z, bool microseconds) {
    if (microseconds) return p64z ? 7092.0f : 4225.0f;
    return p64z ? 7020.0f : 4140.0f;
}

}  // namespace tavrin::common
