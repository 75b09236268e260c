// The command tables of the test pages and the radio options.
#include "OptionTables.h"

#include "core/SampleTimeBase.h"

namespace tavrin::app {
namespace {

constexpr std::array<DataPattern, 7> kPatterns{{
    {"PSRBRadioButton", "PSRB (Pseudo Random)", "CONF:BER:DATA PSRB"},
    {"SPSRRadioButton", "SPSR (Static Pseudo)", "CONF:BER:DATA SPSR"},
    {"BS55RadioButton", "BS55 (01010101)", "CONF:BER:DATA BS55"},
    {"BS33RadioButton", "BS33 (00110011)", "CONF:BER:DATA BS33"},
    {"BS0FRadioButton", "BS0F (00001111)", "CONF:BER:DATA BS0F"},
    {"FIG31RadioButton", "FIG31 (TBR6)", "CONF:BER:DATA FIG31"},
    {"BS20RadioButton", "BS20 (20 * 1 - 20 * 0)", "CONF:BER:DATA BS20"},
}};

constexpr std::array<GeneratorModulation, 4> kModulations{{
    {"CWGenRadioButton", "CW", "CONF:RFGE:MOD OFF"},
    {"BS55GenRadioButton", "BS55 (01010101)", "CONF:RFGE:MOD BS55"},
    {"BS33GenRadioButton", "BS33 (00110011)", "CONF:RFGE:MOD BS33"},
    {"BS0FGenRadioButton", "BS0F (00001111)", "CONF:RFGE:MOD BS0F"},
}};

constexpr std::array<const char*, 3> kSlotSizes{"0", "40", "80"};
constexpr std::array<const char*, 5> kTemplates{"P32Z", "P32Z", "PP32Z", "P64Z", "PP64Z"};

}  // namespace

const std::array<DataPattern, 7>& DataPatterns() {
    return kPatterns;
}

const std::array<GeneratorModulation, 4>& GeneratorModulations() {
    return kModulations;
}

QString SlotTypeCommand(const char* side, int index) {
    const bool known = index >= 0 && index < static_cast<int>(kSlotSizes.size());
    return QString("CONF:") + side + ":TRAF:SIZE " + kSlotSizes[known ? index : 0];
}

int TemplateForSlotType(int index) {
    if (index == 1) return 1;
    if (index == 2) return 3;
    return -1;
}

QString PowerTemplateCommand(int index) {
    const bool known = index >= 0 && index < static_cast<int>(kTemplates.size());
    return QString("CONF:POW:PACK ") + kTemplates[known ? index : 0];
}

float SampleWindowForSlotType(int index) {
    return SampleTimeBase::slotSamples(index > 0);
}

QStringList SlotTypeItems(bool catIq) {
    QStringList items{"Default", "P32Z"};
    if (catIq) items << "P64Z";
    return items;
}

QStringList PowerTemplateItems(bool catIq) {
    QStringList items{"Default", "P32Z", "PP32Z"};
    if (catIq)
        items << "P64Z"
              << "PP64Z";
    return items;
}

}  // namespace tavrin::app
