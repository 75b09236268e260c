// The radio identity and bearers: RFPI and PMID, the dummy and traffic slots and carriers,
// the traffic sizes and the FP-test antenna.
#include <cstring>

#include "ConfigActions.h"
#include "ConfigGroups.h"
#include "Readers.h"
#include "SlotRules.h"
#include "transport/TesterCells.h"

namespace tavrin {
namespace {

void Rfpi(CommandContext& ctx) {
    ConfigState& conf = ctx.link.conf;
    if (ctx.IsQuery()) {
        ctx.link.Answer("%2.2X%2.2X%2.2X%2.2X%2.2X", conf.RfpiMail[1], conf.RfpiMail[2],
                        conf.RfpiMail[3], conf.RfpiMail[4], conf.RfpiMail[5]);
        return;
    }
    char text[kQuotedSize];
    if (!ReadQuoted(ctx, ctx.cursor, text)) return;
    uint8_t rfpi[5];
    if (!ReadHexGroups(text, 10, rfpi, 5)) {
        ctx.Fail(kParameterNotAllowed);
        return;
    }
    std::memcpy(&conf.RfpiMail[1], rfpi, sizeof rfpi);
    SendRfpiMail(ctx.link);
}

void Pmid(CommandContext& ctx) {
    char text[kQuotedSize];
    if (!ReadQuoted(ctx, ctx.cursor, text)) return;
    uint8_t pmid[3];
    if (!ReadHexGroups(text, 5, pmid, 3)) {
        ctx.Fail(kParameterNotAllowed);
        return;
    }
    WriteBatch cells;
    for (uint32_t i = 0; i < 3; ++i) cells.Add(cell::kPmid + i, pmid[i]);
    ctx.link.usb.TesterWriteBatch(cells);
}

// A slot number 0 to MaxSlot after the word check.
bool ReadSlot(CommandContext& ctx, uint8_t& slot) {
    if (!NoParameterWord(ctx)) return false;
    int32_t n = 0;
    if (!ReadUpTo(ctx, n, ctx.link.hw.MaxSlot)) return false;
    slot = static_cast<uint8_t>(n);
    return true;
}

void PpDummySlot(CommandContext& ctx) {
    Link& link = ctx.link;
    ConfigState& conf = link.conf;
    if (ctx.IsQuery()) {
        link.Answer("%d", conf.DummySlot);
        return;
    }
    uint8_t slot = 0;
    if (!ReadSlot(ctx, slot)) return;
    if (IsFourSlotTester(link.hw.MaxSlot)) {
        link.usb.TesterWrite(cell::kDummySlot, slot);
        conf.PpTrafficSlot = FourSlotPartner(slot);
        link.usb.TesterWrite(cell::kPpTrafficSlot, conf.PpTrafficSlot);
    } else {
        if (auto moved = MovedAside(slot, link.usb.TesterRead(cell::kPpTrafficSlot))) {
            conf.PpTrafficSlot = *moved;
            link.usb.TesterWrite(cell::kPpTrafficSlot, *moved);
        }
        link.usb.TesterWrite(cell::kDummySlot, slot);
        link.mail.SendMail(6, 0xC3);
    }
    conf.DummySlot = slot;
}

void PpTrafficSlot(CommandContext& ctx) {
    Link& link = ctx.link;
    ConfigState& conf = link.conf;
    if (ctx.IsQuery()) {
        link.Answer("%d", conf.PpTrafficSlot);
        return;
    }
    uint8_t slot = 0;
    if (!ReadSlot(ctx, slot)) return;
    if (IsFourSlotTester(link.hw.MaxSlot)) {
        link.usb.TesterWrite(cell::kPpTrafficSlot, slot);
        conf.DummySlot = FourSlotPartner(slot);
        link.usb.TesterWrite(cell::kDummySlot, conf.DummySlot);
    } else {
        if (auto moved = MovedAside(slot, link.usb.TesterRead(cell::kDummySlot))) {
            conf.DummySlot = *moved;
            link.usb.TesterWrite(cell::kDummySlot, *moved);
        }
        link.usb.TesterWrite(cell::kPpTrafficSlot, slot);
    }
    conf.PpTrafficSlot = slot;
}

void FpTrafficSlot(CommandContext& ctx) {
    ConfigState& conf = ctx.link.conf;
    if (ctx.IsQuery()) {
        ctx.link.Answer("%d", conf.FpTrafficSlot);
        return;
    }
    uint8_t slot = 0;
    if (!ReadSlot(ctx, slot)) return;
    ctx.link.usb.TesterWrite(cell::kFpTrafficSlot, slot);
    conf.FpTrafficSlot = slot;
}

void DummyCarrier(CommandContext& ctx) {
    ConfigState& conf = ctx.link.conf;
    if (ctx.IsQuery()) {
        ctx.link.Answer("%d", conf.DummyCarrier);
        return;
    }
    if (!NoParameterWord(ctx)) return;
    int32_t carrier = 0;
    if (!ReadCarrier(ctx, carrier)) return;
    conf.DummyCarrier = static_cast<uint8_t>(carrier);
    ctx.link.usb.TesterWrite(cell::kDummyCarrier, conf.DummyCarrier);
    ctx.link.mail.SendMail(6, 0xC3);
}

// The traffic carrier of either test; `carrierCell` is the PP or the FP cell.
void TrafficCarrier(CommandContext& ctx, uint32_t carrierCell) {
    Link& link = ctx.link;
    ConfigState& conf = link.conf;
    if (ctx.IsQuery()) {
        link.Answer("%d", conf.TrafficCarrier);
        return;
    }
    if (!NoParameterWord(ctx)) return;
    int32_t carrier = 0;
    if (!ReadCarrier(ctx, carrier)) return;
    conf.TrafficCarrier = static_cast<uint8_t>(carrier);
    link.usb.TesterWrite(cell::kDummyCarrier, conf.DummyCarrier);
    link.mail.SendMail(6, 0xC3);
    link.usb.TesterWrite(carrierCell, conf.TrafficCarrier);
    ApplyRfLevel(link, conf.RfLevel, conf.TrafficCarrier, RfRole::Test);
}
void PpTrafficCarrier(CommandContext& ctx) {
    TrafficCarrier(ctx, cell::kPpTrafficCarrier);
}
void FpTrafficCarrier(CommandContext& ctx) {
    TrafficCarrier(ctx, cell::kFpTrafficCarrier);
}

void TrafficSize(CommandContext& ctx, uint32_t sizeCell) {
    int32_t size = 0;
    if (!ReadInteger(ctx, ctx.cursor, size, 0, 80)) return;
    ctx.link.usb.TesterWrite(sizeCell, static_cast<uint8_t>(size));
}
void PpTrafficSize(CommandContext& ctx) {
    TrafficSize(ctx, cell::kPpTrafficSize);
}
void FpTrafficSize(CommandContext& ctx) {
    TrafficSize(ctx, cell::kFpTrafficSize);
}

void FpAntenna(CommandContext& ctx) {
    ConfigState& conf = ctx.link.conf;
    if (ctx.IsQuery()) {
        ctx.link.Answer("%d", conf.FpAntenna);
        return;
    }
    if (!NoParameterWord(ctx)) return;
    int32_t antenna = 0;
    if (!ReadInteger(ctx, ctx.cursor, antenna, 0, 7)) return;
    ctx.link.mail.SendMail(6, 0xC5, static_cast<uint8_t>(antenna));
    conf.FpAntenna = static_cast<uint8_t>(antenna);
}

constexpr HandlerEntry kSlotHandlers[] = {
    {0x14010000, Rfpi},  // CONF:PP:RFPI
    {0x14010001, Rfpi},
    {0x15010000, Rfpi},  // CONF:FP:RFPI
    {0x15010001, Rfpi},
    {0x15020000, Pmid},         // CONF:FP:PMID
    {0x14031000, PpDummySlot},  // CONF:PP:DUMM:SLOT
    {0x14031001, PpDummySlot},
    {0x14032000, DummyCarrier},  // CONF:PP:DUMM:CARR
    {0x14032001, DummyCarrier},
    {0x15032000, DummyCarrier},  // CONF:FP:DUMM:CARR
    {0x15032001, DummyCarrier},
    {0x14041000, PpTrafficSlot},  // CONF:PP:TRAF:SLOT
    {0x14041001, PpTrafficSlot},
    {0x15041000, FpTrafficSlot},  // CONF:FP:TRAF:SLOT
    {0x15041001, FpTrafficSlot},
    {0x14042000, PpTrafficCarrier},  // CONF:PP:TRAF:CARR
    {0x14042001, PpTrafficCarrier},
    {0x15042000, FpTrafficCarrier},  // CONF:FP:TRAF:CARR
    {0x15042001, FpTrafficCarrier},
    {0x141C0000, PpTrafficSize},  // CONF:PP:TRAF:SIZE
    {0x151C0000, FpTrafficSize},  // CONF:FP:TRAF:SIZE
    {0x15070000, FpAntenna},      // CONF:FP:ANT
    {0x15070001, FpAntenna},
};

}  // namespace

std::span<const HandlerEntry> ConfigSlotHandlers() {
    return kSlotHandlers;
}

}  // namespace tavrin
