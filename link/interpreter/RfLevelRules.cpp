// The RF level arithmetic: tenths of a dB, the attenuator threshold at -65.0 dBm at the
// tester's port, and the carrier correction of the generator carrier table.
#include "RfLevelRules.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace tavrin {

double RfLevelLowerBound(int16_t cableLoss) {
    return -100.0 - cableLoss * 0.1;
}

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
    // A service-mode level beyond the 16-bit cell is held at its end instead of wrapping
    // round to a level of the other sign.
    const int64_t v = std::clamp<int64_t>(c + in.cableLoss, INT16_MIN, INT16_MAX);
    out.cellValue = static_cast<uint16_t>(static_cast<int16_t>(v));
    return out;
}

}  // namespace tavrin
