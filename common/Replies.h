// How the program and the client read the tester's measurement replies: invalid and empty
// answers, numbers at the start of a reply or as a whole, the first-comma split and the formats
// the values are shown in.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavrin::common {

// What a field shows when there is no value.
inline constexpr const char* kNoValue = "---";

// "INV" (the tester's word for a value it does not have) or nothing at all.
bool IsInvalidReply(std::string_view reply);
// The number the text starts with, up to the first character that cannot continue it.
std::optional<double> LeadingNumber(std::string_view text);
// The text as one number (blanks around it allowed); anything else is no number.
std::optional<double> WholeNumber(std::string_view text);

// A reply of two values, split at its first comma; without a comma both parts are the whole
// reply (a single number stands for both).
struct ReplyParts {
    std::string first;
    std::string second;
};
ReplyParts SplitAtFirstComma(std::string_view reply);

// The two values of such a reply, each part a whole number or none ("INV", text, nothing).
struct NumberPair {
    std::optional<double> first;
    std::optional<double> second;
};
NumberPair PairOfNumbers(std::string_view reply);
// The first value of a reply of one or more values ("12.5" or "12.5,3,1"); none for "INV".
std::optional<double> FirstNumber(std::string_view reply);

// Fixed-point with the given decimals ("%.*f").
std::string FixedText(double value, int decimals);
// The shortest decimal text that reads back as the value (up to 15 significant digits).
std::string ShortestText(double value);

// The slot type of a "READ:SLOT:SIZE?" reply: "P64Z" when it starts with "8", else "P32Z".
std::string SlotSizeText(std::string_view reply);
// The sample-window length for the slot type in the charts' unit.
float SampleWindowFor(bool p64z, bool microseconds);

}  // namespace tavrin::common
