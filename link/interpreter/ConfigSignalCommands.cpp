// Signalling mode and protocol, the frequency offset of the tester's carrier, the receiver
// attenuator and the frequency reference.
#include "ConfigGroups.h"
#include "Readers.h"
#include "transport/TesterCells.h"

namespace tavrin {
namespace {

constexpr uint32_t kOn = 0x000000C0;
constexpr uint32_t kOff = 0x000000D0;

// Mode 1 normal, 0 loopback, 2 echo; only the echo mode clears LoopbackMode.
constexpr WordValue kSignallingModes[] = {{0x30, 1}, {0x40, 0}, {0x50, 2}};  // NORM LOOP ECHO

void SignallingMode(CommandContext& ctx, uint32_t modeCell) {
    int mode = 0;
    if (FindWord(kSignallingModes, ctx.paramCode, mode)) {
        ctx.link.conf.LoopbackMode = mode != 2;
    } else {
        ctx.Fail(kParameterNotAllowed);
        mode = 0;  // the tester is still told: loopback
    }
    ctx.link.usb.TesterWrite(modeCell, static_cast<uint8_t>(mode));
}
void PpSignallingMode(CommandContext& ctx) {
    SignallingMode(ctx, cell::kPpSignallingMode);
}
void FpSignallingMode(CommandContext& ctx) {
    SignallingMode(ctx, cell::kFpSignallingMode);
}

void SignallingProtocol(CommandContext& ctx) {
    ConfigState& conf = ctx.link.conf;
    if (ctx.IsQuery()) {
        ctx.link.Answer(conf.SignallingProtocol ? "ON" : "OFF");
        return;
    }
    if (conf.IsRfGenerator() || (ctx.paramCode != kOn && ctx.paramCode != kOff)) {
        ctx.Fail(kParameterNotAllowed);
        return;
    }
    conf.SignallingProtocol = ctx.paramCode == kOn;
    ctx.link.mail.SendMail(6, 0x5D, conf.SignallingProtocol ? 0x15 : 0x14);
}

constexpr WordValue kFrequencyOffsets[] = {{0x030, 0x20}, {0x119, 0x21}, {0x118, 0x22}};

// The tester's own carrier at nominal ("NORM"), +50 kHz ("P50K") or -50 kHz ("M50K").
void FrequencyOffset(CommandContext& ctx) {
    int primitive = 0;
    if (!FindWord(kFrequencyOffsets, ctx.paramCode, primitive)) {
        ctx.Fail(kParameterNotAllowed);
        return;
    }
    ctx.link.mail.SendMail(6, 0x5D, static_cast<uint8_t>(primitive));
}

// The generator's attenuator has its own pair of mails.
void RxAttenuator(CommandContext& ctx) {
    ConfigState& conf = ctx.link.conf;
    if (ctx.IsQuery()) {
        ctx.link.Answer(conf.RxAttenuator ? "ON" : "OFF");
        return;
    }
    if (ctx.paramCode != kOn && ctx.paramCode != kOff) {
        ctx.Fail(kParameterNotAllowed);
        return;
    }
    conf.RxAttenuator = ctx.paramCode == kOn;
    const uint8_t primitive = conf.IsRfGenerator() ? (conf.RxAttenuator ? 0x30 : 0x31)
                                                   : (conf.RxAttenuator ? 0x32 : 0x33);
    ctx.link.mail.SendMail(6, 0x5D, primitive);
}

constexpr WordValue kFrequencyReferences[] = {{0x116, 0x10}, {0x117, 0x11}};  // I10M E10M

void FrequencyReference(CommandContext& ctx) {
    int primitive = 0;
    if (!FindWord(kFrequencyReferences, ctx.paramCode, primitive)) {
        ctx.Fail(kParameterNotAllowed);
        return;
    }
    ctx.link.mail.SendMail(6, 0x5D, static_cast<uint8_t>(primitive));
}

// The synchronisation port has a single setting on this tester: any word is taken.
void SyncPort(CommandContext& ctx) {
    if (ctx.paramCode == 0) ctx.Fail(kParameterNotAllowed);
}

constexpr HandlerEntry kSignalHandlers[] = {
    {0x14064000, PpSignallingMode},                                      // CONF:PP:SIGN:MODE
    {0x15064000, FpSignallingMode},                                      // CONF:FP:SIGN:MODE
    {0x1406F000, SignallingProtocol},                                    // CONF:PP:SIGN:PRO
    {0x1406F001, SignallingProtocol}, {0x1506F000, SignallingProtocol},  // CONF:FP:SIGN:PRO
    {0x1506F001, SignallingProtocol}, {0x14127000, FrequencyOffset},     // CONF:PP:FREQ:OFFS
    {0x15127000, FrequencyOffset},                                       // CONF:FP:FREQ:OFFS
    {0x1B800140, RxAttenuator},                                          // CONF:ATT:RX
    {0x1B800141, RxAttenuator},       {0x1E120F00, FrequencyReference},  // CONF:SYNC:FREQ:REF
    {0x1E140000, SyncPort},                                              // CONF:SYNC:PORT
};

}  // namespace

std::span<const HandlerEntry> ConfigSignalHandlers() {
    return kSignalHandlers;
}

}  // namespace tavrin
