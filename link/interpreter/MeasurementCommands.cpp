// The READ, FETC and SCAL measurement queries: their table, and the power, frequency-offset,
// slot-size, CRC and timing queries.
#include "HandlerTable.h"
#include "MeasurementQueries.h"
#include "MeasurementSupport.h"
#include "transport/Capture.h"
#include "transport/TesterCells.h"

namespace tavrin {
namespace measure {

void ReadPower(CommandContext& ctx) {
    Link& link = ctx.link;
    EnsureCalibration(link);
    if (!LinkUp(link)) return link.Answer("INV");
    MeasurementState& meas = link.meas;
    meas.Power.Empty();
    for (int b = 0; b < link.conf.AverageBursts; ++b) {
        GatedForcedSample(link, meas.Power);
        meas.Power.Push(static_cast<float>(link.capture.AveragePower), link.conf.AverageBursts);
    }
    Refresh(link, meas.Power, meas.PowerAvg);
    link.Answer("%1.1f", static_cast<double>(meas.PowerAvg * 0.1f));
}

void ReadFrequencyOffset(CommandContext& ctx) {
    Link& link = ctx.link;
    EnsureCalibration(link);
    MeasurementState& meas = link.meas;
    if (!LinkUp(link)) {
        meas.FreqRefValid = false;
        return link.Answer("INV");
    }
    meas.FreqOffset.Empty();
    for (int b = 0; b < link.conf.AverageBursts; ++b) {
        GatedForcedSample(link, meas.FreqOffset);
        meas.FreqOffset.Push(FrequencyOffsetBurst(link), link.conf.AverageBursts);
    }
    Refresh(link, meas.FreqOffset, meas.FreqOffsetAvg);
    const float offset = meas.FreqOffsetAvg * 100.0f - FrequencyCorrection(link);
    link.Answer("%1.0f", static_cast<double>(offset));
    meas.FreqRef = offset;
    meas.FreqRefValid = true;
}

void ReadSlotSize(CommandContext& ctx) {
    Link& link = ctx.link;
    if (!LinkUp(link)) return link.Answer("INV");
    link.capture.CaptureBurstSize = link.usb.TesterReadWord(cell::kBurstSize);
    link.Answer("%d", link.capture.CaptureBurstSize);
}

void ReadCrc(CommandContext& ctx) {
    Link& link = ctx.link;
    if (!LinkUp(link)) return link.Answer("INV");
    const auto& f = link.capture.CrcFlags;
    link.Answer("%i,%i,%i,%i", f[0], f[1], f[2], f[3]);
}

void ReadXzfMatch(CommandContext& ctx) {
    Link& link = ctx.link;
    if (!LinkUp(link) || PacketMode(link) != 0) return link.Answer("INV");
    const auto& f = link.capture.CrcFlags;
    link.Answer(f[2] == f[3] ? "MATC" : "NMAT");
}

void ReadTimeAccuracy(CommandContext& ctx) {
    Link& link = ctx.link;
    if (link.usb.TesterRead(cell::kSyncLock) != 1) return link.Answer("INV");
    const auto offset = static_cast<int16_t>(link.usb.TesterReadWord(0x6A65));
    link.Answer("%2.2f", TimingValue(offset));
}

}  // namespace measure

namespace {

using namespace measure;

// READ 4x, FETC 8x and the SCAL forms 4B and 8B of the same handler.
#define TAVRIN_FOUR_FORMS(code, handler)                            \
    {0x40000000 | (code), handler}, {0x80000000 | (code), handler}, \
        {0x4B000000 | (code), handler}, {                           \
        0x8B000000 | (code), handler                                \
    }

constexpr HandlerEntry kMeasurementHandlers[] = {
    TAVRIN_FOUR_FORMS(0x000D0001, ReadPower),              // NTP
    TAVRIN_FOUR_FORMS(0x00127001, ReadFrequencyOffset),    // FREQ:OFFS
    TAVRIN_FOUR_FORMS(0x000E0001, ReadBField),             // BF
    TAVRIN_FOUR_FORMS(0x000F0001, ReadSField),             // SF
    TAVRIN_FOUR_FORMS(0x00128001, ReadDrift),              // FREQ:DRIF
    TAVRIN_FOUR_FORMS(0x00128171, ReadDriftPerMs),         // FREQ:DRIF:MS
    TAVRIN_FOUR_FORMS(0x00129001, ReadFrequencyAccuracy),  // FREQ:ACC
    TAVRIN_FOUR_FORMS(0x00109001, ReadTimeAccuracy),       // TIME:ACC
    {0x401C1001, ReadSlotSize},                            // READ:SLOT:SIZE
    {0x801C1001, ReadSlotSize},
    {0x40C02F01, ReadXzfMatch},      // READ:XZF:MATC
    {0x41C00001, ReadCrc},           // READ:CRC
    {0x49000001, FetchBerLongTerm},  // READ:BER
    {0x49003F01, ReadBerNow},        // READ:BER:NOW
    {0x49130001, ReadBerLongTerm},   // READ:BER:LTER
    {0x4B130001, ReadBerLongTerm},
    {0x89130001, FetchBerLongTerm},  // FETC:BER:LTER
    {0x8B130001, FetchBerLongTerm},
    {0x4C9D0001, ReadPacketDelay},  // READ:PACK:DEL, READ:MEAS:DEL
    {0x4F9D0001, ReadPacketDelay},
    {0x8C9D0001, FetchPacketDelay},  // FETC:PACK:DEL, FETC:MEAS:DEL
    {0x8F9D0001, FetchPacketDelay},
    {0x4E800001, ReadJitter},  // READ:JITT, READ:MEAS
    {0x4F800001, ReadJitter},
    {0x8E800001, FetchJitter},  // FETC:JITT, FETC:MEAS
    {0x8F800001, FetchJitter},
    {0x4F9F0001, ReadCombined},  // READ:MEAS:ALTX
};

#undef TAVRIN_FOUR_FORMS

}  // namespace

std::span<const HandlerEntry> MeasurementHandlers() {
    return kMeasurementHandlers;
}

}  // namespace tavrin
