// The host's measurement settings: averaging, sample mode, power range, packet type, drift
// unit, and the two settings kept only for compatibility.
#include "ConfigGroups.h"
#include "Readers.h"

namespace tavrin {
namespace {

constexpr uint32_t kAuto = 0x0000C000;
constexpr uint32_t kCtrl = 0x0000D000;
constexpr uint32_t kHigh = 0x00000131;
constexpr uint32_t kLow = 0x00000132;
constexpr uint32_t kMs = 0x00000170;
constexpr uint32_t kSlot = 0x00001000;

void AverageBursts(CommandContext& ctx) {
    Link& link = ctx.link;
    if (ctx.IsQuery()) {
        link.Answer("%d", link.conf.AverageBursts);
        return;
    }
    if (!NoParameterWord(ctx)) return;
    int32_t bursts = 0;
    if (!ReadInteger(ctx, ctx.cursor, bursts, 1, 200)) return;
    link.conf.AverageBursts = static_cast<uint8_t>(bursts);
    link.meas.EmptyAll();  // averages over the old count would mix two settings
}

void SampleMode(CommandContext& ctx) {
    ConfigState& conf = ctx.link.conf;
    if (ctx.IsQuery()) {
        ctx.link.Answer(conf.SampleModeCtrl ? "CTRL" : "AUTO");
        return;
    }
    if (ctx.paramCode != kAuto && ctx.paramCode != kCtrl) {
        ctx.Fail(kParameterNotAllowed);
        return;
    }
    conf.SampleModeCtrl = ctx.paramCode == kCtrl;
}

void PowerRange(CommandContext& ctx) {
    if (ctx.paramCode != kHigh && ctx.paramCode != kLow) {
        ctx.Fail(kParameterNotAllowed);
        return;
    }
    ctx.link.conf.PowerRangeHigh = ctx.paramCode == kHigh;
}

constexpr WordValue kPacketTypes[] = {{0x1A0, 1}, {0x1B0, 2}, {0x1C0, 3}, {0x1D0, 4},
                                      {0x1E0, 5}, {0x1F0, 6}, {0x200, 7}};

// "CONF:POW:PACK" (also reached as "CONF:LIM"): P32 P32Z PP32Z P64 P64Z PP64Z P80Z.
void PacketType(CommandContext& ctx) {
    int type = 0;
    if (!FindWord(kPacketTypes, ctx.paramCode, type)) {
        ctx.Fail(kParameterNotAllowed);
        return;
    }
    ctx.link.conf.PacketType = static_cast<uint8_t>(type);
}

void DriftUnit(CommandContext& ctx) {
    if (ctx.paramCode != kMs && ctx.paramCode != kSlot) {
        ctx.Fail(kParameterNotAllowed);
        return;
    }
    ctx.link.conf.DriftPerSlot = ctx.paramCode == kSlot;
}

// Accepted for older scripts; the number is checked and nothing is set.
void IgnoredNumber(CommandContext& ctx) {
    int32_t unused = 0;
    ReadInteger(ctx, ctx.cursor, unused, 0, 0);
}

constexpr HandlerEntry kMeasureHandlers[] = {
    {0x170A0000, AverageBursts},  // CONF:AVER:BURS
    {0x170A0001, AverageBursts},
    {0x18804000, SampleMode},  // CONF:SAMP:MODE
    {0x18804001, SampleMode},
    {0x1180BF00, PowerRange},     // CONF:POW:DYN:RANG
    {0x1D800000, PacketType},     // CONF:POW:PACK, CONF:LIM
    {0x1D008160, DriftUnit},      // CONF:MOD:DRIF:UNIT
    {0x1F0A0000, IgnoredNumber},  // CONF:TIM:AVER:BURS, CONF:FIRM:BURS
    {0x119FB000, IgnoredNumber},  // CONF:POW:ALTX:RANG
};

}  // namespace

std::span<const HandlerEntry> ConfigMeasureHandlers() { return kMeasureHandlers; }

}  // namespace tavrin
