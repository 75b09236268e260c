// The tester models the program knows by the answer to "SYST:HW:VERS?", and what each one
// means for the pages.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tavrin::app {

struct TesterModel {
    const char* baseName;               // the answer begins with it; also the caption base text
    int highestCarrier;                 // maximum of the six carrier steppers
    const char* rangeText;              // appended to the carrier labels
    std::optional<int> carrierMinimum;  // minimum of the six steppers; empty: unchanged
    bool countryControlsShown;          // country, number of carriers, extended reference
    bool refreshesCaption;              // the caption itself is set, not only the base text
};

// The rows in the order they are tried.
std::span<const TesterModel> TesterModels();

// The first row whose base name begins the answer; nullptr when no valid hardware answered.
const TesterModel* IdentifyModel(std::string_view answer);

// The hardware label: the answer, with the character after the base name shown as a blank,
// so "Sabrel_USB" reads "Sabrel USB".
std::string HardwareIdText(std::string_view answer, const TesterModel& model);

}  // namespace tavrin::app
