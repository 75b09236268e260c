// The setup file's keys as one table: section, key, the control whose state the key carries,
// the factory value and how the value is read. Save and load both walk it in its order, and
// the rules that turn a file's text into what a control receives are plain functions here.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/SessionState.h"

namespace tavrin::app {

enum class SetupKind {
    Port,        // always written "USB"; a loaded "USB" opens the USB port
    Text,        // the field's text, unchanged both ways
    Decimal,     // the field's text; the load also uses it as a number
    Integer,     // the field's text; the load also uses it as a whole number
    Bool,        // a check box: "1" / "0"; any non-zero whole number reads as ticked
    Modulation,  // the word of the selected choice among the key's choices
    FontSize,    // the link window's font size, 8..14
};

struct ModulationChoice {
    std::string_view word;     // as written in the file
    std::string_view control;  // the radio button that selects it
};

struct SetupKey {
    std::string section;
    std::string key;
    std::string control;  // objectName of the control; empty for CommunicationPort
    std::string factory;
    SetupKind kind = SetupKind::Text;
    // A second control the load fills with the same value: the FER box for MeasBER, the
    // font-size stepper beside its field.
    std::string alsoControl;
    std::span<const ModulationChoice> choices;
    Remembered remembered = Remembered::None;
};

// Every key in the order in which it is written.
const std::vector<SetupKey>& SetupKeys();

// The text the port key must hold for the load to open the USB port.
inline constexpr std::string_view kSetupPort = "USB";
inline constexpr int kMinFontSize = 8;
inline constexpr int kMaxFontSize = 14;

// What one key gives the pages in a load.
struct LoadedValue {
    std::string text;              // for the field (Bool: "1"/"0"; Modulation: the word)
    std::optional<double> number;  // Decimal, Integer, Bool, FontSize
    std::optional<size_t> choice;  // Modulation: index into the key's choices; none: unchanged
    // The file held a text the key cannot use: a number that is none, a word of no choice.
    // The value is then the factory one (a modulation keeps its choice), and the load says so.
    bool unreadable = false;
};

// The value of `key` when the file holds `fileText` (nothing: the key is missing). A missing
// key takes the factory value; so does a value that must be a number and is not one.
LoadedValue ResolveSetupValue(const SetupKey& key, const std::optional<std::string>& fileText);

// The trace line of a value a load could not use: the file, section, key, the text found and
// the value used instead (a modulation: the word of the choice that stays), e.g.
// `Setup file "a.cfg": [PPTest] RFLevelPP="abc" cannot be read; the factory value -60 is used`.
std::string UnreadableValueLine(const std::string& file, const SetupKey& key,
                                const std::string& found, const std::string& used);

// A whole number, optionally signed, with blanks around it; anything else gives nothing.
std::optional<long> ParseSetupInteger(std::string_view text);

// "name.cfg" when the name the user typed has no extension.
std::string WithDefaultExtension(const std::string& fileName, std::string_view extension);

}  // namespace tavrin::app
