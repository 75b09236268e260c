// The command tables of the test pages and the radio options: data patterns, slot types,
// power templates and the lists the slot scheme fills.
#pragma once

#include <QString>
#include <QStringList>
#include <array>

namespace tavrin::app {

struct DataPattern {
    const char* button;   // the PP page's radio button
    const char* caption;  // shared by the FP page's twin
    const char* command;
};
// PSRB, SPSR, BS55, BS33, BS0F, FIG31, BS20 in the page's order.
const std::array<DataPattern, 7>& DataPatterns();

struct GeneratorModulation {
    const char* button;
    const char* caption;
    const char* command;
};
// CW, BS55, BS33, BS0F.
const std::array<GeneratorModulation, 4>& GeneratorModulations();

// "CONF:PP:TRAF:SIZE 0/40/80" (side "PP") or "CONF:FP:TRAF:SIZE ..." by slot type index; an
// index outside the list's three entries is read as the default (0).
QString SlotTypeCommand(const char* side, int index);
// The power template index a slot type index brings (1 for P32Z, 3 for P64Z); -1: none.
int TemplateForSlotType(int index);
// "CONF:POW:PACK ..." by template index; an index outside 0..4 (an emptied list) is read as
// the "Default" entry.
QString PowerTemplateCommand(int index);
// The sample-window length for a slot type index: long slots take 7092 samples.
float SampleWindowForSlotType(int index);

// The slot type and power template lists of the slot scheme; CAT-iq adds the 64-bit entries.
QStringList SlotTypeItems(bool catIq);
QStringList PowerTemplateItems(bool catIq);

}  // namespace tavrin::app
