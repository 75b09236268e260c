// How the link window reads the tester's replies: invalid and empty answers, numbers at the
// start of a reply or as a whole, the first-comma split and the display formats.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavrin::app {

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

// Fixed-point with the given decimals ("%.*f").
std::string FixedText(double value, int decimals);
// The shortest decimal text that reads back as the value (up to 15 significant digits).
std::string ShortestText(double value);

// The slot type of a "READ:SLOT:SIZE?" reply: "P64Z" when it starts with "8", else "P32Z".
std::string SlotSizeText(std::string_view reply);
// The sample-window length for the slot type in the charts' unit.
float SampleWindowFor(bool p64z, bool microseconds);

}  // namespace tavrin::app
