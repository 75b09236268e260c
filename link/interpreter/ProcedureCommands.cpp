// The PROC, SENS, CALC and SOUR commands. The template limits and check are in
// TemplateCheck.cpp; "SOUR:SIGN?" is a status query of the system group.
#include <cmath>

#include "HandlerTable.h"
#include "ProcedureGroup.h"
#include "Readers.h"
#include "transport/Capture.h"
#include "transport/TesterCells.h"

namespace tavrin {
namespace {

constexpr uint32_t kManual = 0x00006000;

void SelectTest(CommandContext& ctx) {
    Link& link = ctx.link;
    if (ctx.paramCode == code::NONE) {
        link.mail.SendMail(6, 0xC0, 0x00);
        link.mail.WaitTicks(2);
        link.conf.TestType = code::NONE;
    } else if (ctx.paramCode == kManual) {
        link.mail.SendMail(6, 0xC0, 0xFF);
        link.mail.WaitTicks(2);
    } else {
        ctx.Fail(kParameterNotAllowed);
    }
}

void ConnectSet(CommandContext& ctx) {
    ctx.link.meas.EmptyAll();
    ctx.link.mail.SendMail(6, 0x55, 0x00, 0x00);
}

void ConnectRelease(CommandContext& ctx) {
    ctx.link.mail.SendMail(1, 0x04, 0x00);
}

void ForceSample(CommandContext& ctx) {
    ForceADCSample(ctx.link);
}

// Zeroes the running and the latched frame counters; the bit and frame error totals of the
// last window stay until the tester latches new ones.
void RestartBer(CommandContext& ctx) {
    Link& link = ctx.link;
    if (link.usb.TesterRead(cell::kLinkEstablished) == 0) {
        link.Answer("INV");
        return;
    }
    WriteBatch cells;
    for (uint32_t a = 0x6A46; a <= 0x6A4D; ++a) cells.Add(a, 0);
    for (uint32_t a : {0x6A44u, 0x6A45u, 0x6A4Eu, 0x6A4Fu}) cells.Add(a, 0);
    link.usb.TesterWriteBatch(cells);
}

void CableLossSet(CommandContext& ctx) {
    if (!NoParameterWord(ctx)) return;
    double loss = 0.0;
    if (!ReadReal(ctx, ctx.cursor, loss, 0.0, 100.0)) return;
    ctx.link.conf.CableLoss = static_cast<int16_t>(std::lround(loss * 10.0));
}

void CableLossQuery(CommandContext& ctx) {
    ctx.link.Answer("%.1f", ctx.link.conf.CableLoss * 0.1);
}

// The detection cells describe the fixed part found on air; while a link runs they describe
// the link instead, so the queries are refused then.
bool DetectionAllowed(CommandContext& ctx) {
    if (ctx.link.usb.TesterRead(cell::kLinkEstablished) == 1) {
        ctx.Fail(kSettingsConflict);
        return false;
    }
    return true;
}

void DetectedRfpiQuery(CommandContext& ctx) {
    if (!DetectionAllowed(ctx)) return;
    uint8_t r[5] = {};
    ctx.link.usb.TesterReadBlock(cell::kDetectedRfpi, sizeof r, r);
    ctx.link.Answer("\"%02X%02X%02X%02X%02X\"", r[0], r[1], r[2], r[3], r[4]);
}

void DetectedDummySlotQuery(CommandContext& ctx) {
    if (!DetectionAllowed(ctx)) return;
    ctx.link.Answer("%d", ctx.link.usb.TesterRead(cell::kDetectedDummySlot));
}

void DetectedDummyCarrierQuery(CommandContext& ctx) {
    if (!DetectionAllowed(ctx)) return;
    ctx.link.Answer("%d", ctx.link.usb.TesterRead(cell::kDetectedDummyCarrier));
}

constexpr HandlerEntry kProcedureHandlers[] = {
    {0x23000000, SelectTest},  // PROC:SEL:TEST, PROC:DET
    {0x22000000, SelectTest},  // PROC:SEL
    {0x26080000, ConnectSet},
    {0x26090000, ConnectRelease},
    {0x289A0000, ForceSample},
    {0xB9000000, RestartBer},
    {0x30960000, CableLossSet},
    {0x70960000, CableLossSet},
    {0x30960001, CableLossQuery},
    {0x70960001, CableLossQuery},
    {0x33010001, DetectedRfpiQuery},
    {0x33031001, DetectedDummySlotQuery},
    {0x33032001, DetectedDummyCarrierQuery},
    {0xAD800220, LimitRmpa},
    {0xAD800230, LimitRmpb},
    {0xAD800240, LimitRmpc},
    {0xAD800260, LimitRmpd},
    {0xAD800280, LimitRmpe},
    {0xAD800288, LimitRmpf},
    {0xAD970181, TemplateMatchQuery},
};

}  // namespace

std::span<const HandlerEntry> ProcedureHandlers() {
    return kProcedureHandlers;
}

}  // namespace tavrin
