// The setup file's key table and the rules of reading its values.
#include "SetupKeys.h"

#include <array>
#include <cctype>
#include <charconv>

#include "common/LimitSet.h"

namespace tavrin::app {
namespace {

// The test pages' seventh pattern, BS20 (the one chosen when the program starts), has a word
// too: without one, a setup saved with BS20 chosen kept the word the file held before and
// loaded as another pattern. A program that does not know the word leaves its choice as it is.
constexpr std::array<ModulationChoice, 7> kPPModulation{{
    {"PSRB", "PSRBRadioButton"},
    {"SPSR", "SPSRRadioButton"},
    {"BS55", "BS55RadioButton"},
    {"BS33", "BS33RadioButton"},
    {"BS0F", "BS0FRadioButton"},
    {"FIG31", "FIG31RadioButton"},
    {"BS20", "BS20RadioButton"},
}};
constexpr std::array<ModulationChoice, 7> kFPModulation{{
    {"PSRB", "PSRB_FPRadioButton"},
    {"SPSR", "SPSR_FPRadioButton"},
    {"BS55", "BS55_FPRadioButton"},
    {"BS33", "BS33_FPRadioButton"},
    {"BS0F", "BS0F_FPRadioButton"},
    {"FIG31", "FIG31_FPRadioButton"},
    {"BS20", "BS20_FPRadioButton"},
}};
constexpr std::array<ModulationChoice, 4> kGenModulation{{
    {"CW", "CWGenRadioButton"},
    {"BS55", "BS55GenRadioButton"},
    {"BS33", "BS33GenRadioButton"},
    {"BS0F", "BS0FGenRadioButton"},
}};

// Ramp levels B to F are stored; A is not.
constexpr std::array<std::string_view, 5> kRampLevels{"B", "C", "D", "E", "F"};
constexpr std::array<std::string_view, 5> kRampFactory{"-16", "4", "1", "-1", "-6"};

SetupKey Key(std::string section, std::string key, std::string control, std::string factory,
             SetupKind kind = SetupKind::Text) {
    return {
        std::move(section), std::move(key), std::move(control), std::move(factory), kind, {}, {},
        Remembered::None};
}

SetupKey Remember(SetupKey k, Remembered what) {
    k.remembered = what;
    return k;
}

SetupKey Choice(std::string section, std::span<const ModulationChoice> choices,
                std::string factory) {
    SetupKey k =
        Key(std::move(section), "Modulation", "", std::move(factory), SetupKind::Modulation);
    k.choices = choices;
    return k;
}

// The limit fields and ramp levels of one setup page: limits first, row by row.
void AddSetupPage(std::vector<SetupKey>& keys, const std::string& section,
                  std::string_view fieldInfix, std::string_view rampPrefix) {
    for (const common::LimitRowSpec& limitRow : common::LimitRows()) {
        for (size_t c = 0; c < common::kLimitColumns.size(); ++c) {
            const common::LimitColumn column = common::kLimitColumns[c];
            if (!common::HasColumn(limitRow.row, column)) continue;
            const std::string key = common::LimitKey(limitRow.row, column);
            keys.push_back(Key(section, key, key + std::string(fieldInfix) + "Edit",
                               std::string(limitRow.factory[c])));
        }
    }
    for (size_t i = 0; i < kRampLevels.size(); ++i) {
        const std::string name = std::string(rampPrefix) + "_RAMP" + std::string(kRampLevels[i]);
        keys.push_back(Key(section, name, name, std::string(kRampFactory[i])));
    }
}

std::vector<SetupKey> BuildKeys() {
    using K = SetupKind;
    using R = Remembered;
    std::vector<SetupKey> keys{
        Key("System", "CommunicationPort", "", "USB", K::Port),
        Key("System", "ExtAttenuation", "RFAttenuationEdit", "0", K::Decimal),
        Key("System", "RxAttenuator", "RxAttCheckBox", "1", K::Bool),
        Key("System", "LogInterval", "LogIntervalEdit", "5"),
        Key("System", "AverageFactor", "AverageFactorEdit", "1"),
        Key("System", "Timing", "TimingEdit", "2"),
        Key("System", "MeasurementFontSize", "FontSizeEdit", "14", K::FontSize),
        Key("System", "MeasNTP", "NTPCheckBox", "1", K::Bool),
        Key("System", "MeasBField", "BFieldModulationCheckBox", "1", K::Bool),
        Key("System", "MeasSField", "SFieldModulationCheckBox", "1", K::Bool),
        Key("System", "MeasFreqOffs", "FrequencyOffsetCheckBox", "1", K::Bool),
        Key("System", "MeasFreqDrif", "FrequencyDriftCheckBox", "1", K::Bool),
        Key("System", "MeasBER", "LTermBerCheckBox", "1", K::Bool),
        Key("System", "MeasJitter", "JitterCheckBox", "1", K::Bool),
        Key("PPTest", "RadioFPIdentity", "RFPIEdit", "0000000010"),
        Remember(Key("PPTest", "DummySlot", "DummySlotEdit", "0", K::Integer), R::PPDummySlot),
        Key("PPTest", "DummyCarrier", "DummyCarrierEdit", "0"),
        Remember(Key("PPTest", "TrafficSlot", "TrafficSlotEdit", "4", K::Integer),
                 R::PPTrafficSlot),
        Key("PPTest", "TrafficCarrier", "TrafficCarrierEdit", "0"),
        Remember(Key("PPTest", "RFLevelPP", "RFLevelEdit", "-60", K::Decimal), R::PPRFLevel),
        Choice("PPTest", kPPModulation, "FIG31"),
        Remember(Key("PPTest", "BER", "BEREdit", "100", K::Integer), R::PPBERCount),
        Key("FPTest", "Antenna", "AntennaEdit", "0"),
        Key("FPTest", "RadioFPIdentity", "RFPI_FPEdit", "0000000000"),
        Key("FPTest", "TrafficSlot", "TrafficSlotFPEdit", "0"),
        Key("FPTest", "TrafficCarrier", "TrafficCarrierFPEdit", "0"),
        Remember(Key("FPTest", "RFLevelFP", "RFLevelFPEdit", "-60", K::Decimal), R::FPRFLevel),
        Choice("FPTest", kFPModulation, "FIG31"),
        Remember(Key("FPTest", "BER", "BERFPEdit", "100", K::Integer), R::FPBERCount),
        Key("RF-Gen", "Carrier", "CarrierGenEdit", "5"),
        Remember(Key("RF-Gen", "RFLevelGen", "RFLevelGenEdit", "-60", K::Decimal), R::GenRFLevel),
        Choice("RF-Gen", kGenModulation, "CW"),
        Key("RF-Analyzer", "Carrier", "CarrierAnalyzerEdit", "5"),
    };
    for (SetupKey& k : keys) {
        if (k.key == "MeasBER") k.alsoControl = "LTermFerCheckBox";
        if (k.key == "MeasurementFontSize") k.alsoControl = "FontSizeUpDown";
    }
    AddSetupPage(keys, "Setup-PP", "", "PP");
    AddSetupPage(keys, "Setup-FP", "FP", "FP");
    return keys;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

bool SameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// The value of a present key; nothing when it is not what the key needs.
std::optional<LoadedValue> Resolve(const SetupKey& key, const std::string& text) {
    switch (key.kind) {
        case SetupKind::Port:
        case SetupKind::Text:
            return LoadedValue{text, std::nullopt, std::nullopt};
        case SetupKind::Decimal: {
            const auto n = common::ParseLimitNumber(text);
            if (!n) return std::nullopt;
            return LoadedValue{text, n, std::nullopt};
        }
        case SetupKind::Integer: {
            const auto n = ParseSetupInteger(text);
            if (!n) return std::nullopt;
            return LoadedValue{text, static_cast<double>(*n), std::nullopt};
        }
        case SetupKind::Bool: {
            const auto n = ParseSetupInteger(text);
            if (!n) return std::nullopt;
            return LoadedValue{*n != 0 ? "1" : "0", *n != 0 ? 1.0 : 0.0, std::nullopt};
        }
        case SetupKind::FontSize: {
            const auto n = ParseSetupInteger(text);
            if (!n) return std::nullopt;
            const long size = *n >= kMinFontSize && *n <= kMaxFontSize ? *n : kMaxFontSize;
            return LoadedValue{std::to_string(size), static_cast<double>(size), std::nullopt};
        }
        case SetupKind::Modulation:
            // Words are matched without regard to case, as section and key names are: the
            // files are edited by hand. A word that matches none leaves the choice as it is.
            for (size_t i = 0; i < key.choices.size(); ++i) {
                if (SameWord(Trimmed(text), key.choices[i].word))
                    return LoadedValue{std::string(key.choices[i].word), std::nullopt, i};
            }
            return LoadedValue{text, std::nullopt, std::nullopt, /*unreadable*/ true};
    }
    return std::nullopt;
}

}  // namespace

const std::vector<SetupKey>& SetupKeys() {
    static const std::vector<SetupKey> keys = BuildKeys();
    return keys;
}

std::optional<long> ParseSetupInteger(std::string_view text) {
    text = Trimmed(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

LoadedValue ResolveSetupValue(const SetupKey& key, const std::optional<std::string>& fileText) {
    // A value that is not a number where the load needs one is taken as missing: the key's
    // factory value, and the load goes on with the next key.
    if (fileText) {
        if (auto v = Resolve(key, *fileText)) return *v;
    }
    LoadedValue factory = *Resolve(key, key.factory);
    factory.unreadable = fileText.has_value();
    return factory;
}

std::string UnreadableValueLine(const std::string& file, const SetupKey& key,
                                const std::string& found, const std::string& used) {
    const std::string what = key.kind == SetupKind::Modulation
                                 ? "the choice stays " + used
                                 : "the factory value " + used + " is used";
    return "Setup file \"" + file + "\": [" + key.section + "] " + key.key + "=\"" + found +
           "\" cannot be read; " + what;
}

std::string WithDefaultExtension(const std::string& fileName, std::string_view extension) {
    if (fileName.empty()) return fileName;
    const size_t slash = fileName.find_last_of('/');
    const size_t dot = fileName.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash + 1))
        return fileName;
    return fileName + "." + std::string(extension);
}

}  // namespace tavrin::app
