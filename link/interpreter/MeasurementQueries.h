// The measurement query handlers, split over files by what they measure and joined in
// MeasurementHandlers().
#pragma once

#include "CommandContext.h"

namespace tavrin::measure {

// MeasurementCommands.cpp: power, frequency offset, slot size, CRC, timing.
void ReadPower(CommandContext& ctx);
void ReadFrequencyOffset(CommandContext& ctx);
void ReadSlotSize(CommandContext& ctx);
void ReadCrc(CommandContext& ctx);
void ReadXzfMatch(CommandContext& ctx);
void ReadTimeAccuracy(CommandContext& ctx);

// ModulationQueries.cpp: B-field, S-field, generator deviation, drift, the combined query.
void ReadBField(CommandContext& ctx);
void ReadSField(CommandContext& ctx);
void ReadDrift(CommandContext& ctx);
void ReadDriftPerMs(CommandContext& ctx);
void ReadFrequencyAccuracy(CommandContext& ctx);
void ReadCombined(CommandContext& ctx);

// LinkQualityQueries.cpp: bit and frame errors, packet delay, jitter.
void ReadBerNow(CommandContext& ctx);
void ReadBerLongTerm(CommandContext& ctx);
void FetchBerLongTerm(CommandContext& ctx);
void ReadPacketDelay(CommandContext& ctx);
void FetchPacketDelay(CommandContext& ctx);
void ReadJitter(CommandContext& ctx);
void FetchJitter(CommandContext& ctx);

}  // namespace tavrin::measure
