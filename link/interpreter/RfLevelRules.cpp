// The RF level arithmetic: tenths of a dB, the attenuator threshold at -65.0 dBm at the
// tester's port, and the carrier correction of the generator carrier table.
#include "RfLevelRules.h"

#include <cmath>
#include <limits>

namespace tavrin {

double RfLevelLowerBound(int16_t cableLoss) { return -100.0 - cableLoss * 0.1; }

int32_t LevelTenths(double level) {
    const double tenths = std::round(level * 10.0 - 0.1);  // std::round: halves away from zero
    if (!(tenths > std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
    if (tenths >= std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(tenths);
}

int GeneratorCarrierEntry(uint8_t model, uint8_t carrier, int8_t carrierOffset,
                          bool extendedFrequency) {
    int entry;
    if (model == 11) {
        entry = carrier + carrierOffset;
    } else if (extendedFrequency && carrier >= 10) {
        entry = 22 + 9 - carrier + carrierOffset;
    } else {
        entry = 22 + carrier + carrierOffset;
    }
    // Outside the 75 entries there is no correction rather than a byte from beside the table.
    return entry >= 0 && entry < 75 ? entry : -1;
}

RfLevelSetting ComputeRfLevel(double level, uint8_t carrier, const RfLevelInputs& in) {
    RfLevelSetting out;
    int64_t c = LevelTenths(level);
    if (c + in.cableLoss < -650) {
        out.attenuatorIn = true;
    } else {
        c -= in.attenuatorByteA + 200;
    }
    if ((in.rfGenerator || carrier <= in.maxCarrier) && in.generatorCarrierTable) {
        const int entry =
            GeneratorCarrierEntry(in.model, carrier, in.carrierOffset, in.extendedFrequency);
        if (entry >= 0) c += (*in.generatorCarrierTable)[static_cast<size_t>(entry)];
    }
    const int64_t v = c + in.cableLoss;
    out.cellValue = static_cast<uint16_t>(static_cast<uint64_t>(v) & 0xFFFF);
    return out;
}

}  // namespace tavrin
