// The generator's modulation pattern, the BER data pattern and the evaluation windows.
#include "ConfigGroups.h"
#include "Readers.h"
#include "transport/TesterCells.h"

namespace tavrin {
namespace {

// Pattern numbers of the tester; any other keyword is pattern 0.
constexpr WordValue kModulations[] = {{0x80, 2}, {0x90, 3}, {0xA0, 4}, {0xD0, 6}};
constexpr CodeName kModulationNames[] = {
    {0x80, "BS55"}, {0x90, "BS33"}, {0xA0, "BS0F"}, {0xD0, "OFF"}};
constexpr WordValue kBerPatterns[] = {{0x060, 0}, {0x070, 1}, {0x080, 2}, {0x090, 3},
                                      {0x0A0, 4}, {0x0B0, 5}, {0x150, 7}};
constexpr CodeName kBerPatternNames[] = {{0x060, "PSRB"}, {0x070, "SPSR"}, {0x080, "BS55"},
                                         {0x090, "BS33"}, {0x0A0, "BS0F"}, {0x0B0, "FIG31"},
                                         {0x150, "BS20"}};

void AnswerName(CommandContext& ctx, std::span<const CodeName> names, uint32_t kept) {
    if (const char* name = NameOf(names, kept)) ctx.link.Answer("%s", name);
}

// The pattern number of the parameter word; error 4 when there is no keyword at all.
bool ReadPattern(CommandContext& ctx, std::span<const WordValue> patterns, int& pattern) {
    if (ctx.paramCode == 0) {
        ctx.Fail(kParameterNotAllowed);
        return false;
    }
    if (!FindWord(patterns, ctx.paramCode, pattern)) pattern = 0;
    return true;
}

void GeneratorModulation(CommandContext& ctx) {
    ConfigState& conf = ctx.link.conf;
    if (ctx.IsQuery()) {
        AnswerName(ctx, kModulationNames, conf.RfgenModulation);
        return;
    }
    int pattern = 0;
    if (!ReadPattern(ctx, kModulations, pattern)) return;
    conf.RfgenModulation = ctx.paramCode;
    ctx.link.mail.SendMail(6, 0xC1, static_cast<uint8_t>(pattern));
    ctx.link.mail.SendMail(6, 0x5D, 0x06);
}

void BerPattern(CommandContext& ctx) {
    ConfigState& conf = ctx.link.conf;
    if (ctx.IsQuery()) {
        AnswerName(ctx, kBerPatternNames, conf.BerPattern);
        return;
    }
    int pattern = 0;
    if (!ReadPattern(ctx, kBerPatterns, pattern)) return;
    conf.BerPattern = ctx.paramCode;
    ctx.link.mail.SendMail(6, 0xC1, static_cast<uint8_t>(pattern));
}

void BerWindow(CommandContext& ctx) {
    ConfigState& conf = ctx.link.conf;
    if (ctx.IsQuery()) {
        ctx.link.Answer("%d", static_cast<int>(conf.BerWindow));
        return;
    }
    if (!NoParameterWord(ctx)) return;
    int32_t frames = 0;
    // The tester counts the window in two cells: above 65535 it would evaluate the low 16
    // bits of the number while the query answered the whole, so such windows are refused.
    if (!ReadInteger(ctx, ctx.cursor, frames, 0, 65535)) return;
    WriteBatch cells;
    cells.Add(cell::kBerWindow, static_cast<uint8_t>(frames & 0xFF));
    cells.Add(cell::kBerWindowHigh, static_cast<uint8_t>((frames >> 8) & 0xFF));
    ctx.link.usb.TesterWriteBatch(cells);
    conf.BerWindow = static_cast<uint32_t>(frames);
}

// The packet and jitter window is the host's; the tester's packet counters restart.
void PacketWindow(CommandContext& ctx) {
    if (!NoParameterWord(ctx)) return;
    int32_t packets = 0;
    if (!ReadInteger(ctx, ctx.cursor, packets, 0, 100000)) return;
    ctx.link.conf.PackWindow = static_cast<uint32_t>(packets);
    WriteBatch cells;
    cells.Add(cell::kPacketCounters, 127);
    cells.Add(cell::kPacketCounters + 1, 128);
    for (uint32_t i = 2; i < 6; ++i) cells.Add(cell::kPacketCounters + i, 0);
    ctx.link.usb.TesterWriteBatch(cells);
}

constexpr HandlerEntry kPatternHandlers[] = {
    {0x1D190000, GeneratorModulation},                              // CONF:RFGE:MOD
    {0x1D190001, GeneratorModulation}, {0x190C0000, BerPattern},    // CONF:BER:DATA
    {0x190C0001, BerPattern},          {0x191D0000, BerPattern},    // CONF:BER:DEL
    {0x191D0001, BerPattern},          {0x1D0C0000, BerPattern},    // CONF:MOD:DATA
    {0x1D0C0001, BerPattern},          {0x1D1D0000, BerPattern},    // CONF:MOD:DEL
    {0x1D1D0001, BerPattern},          {0x190BA000, BerWindow},     // CONF:BER:EVAL:WIND
    {0x190BA001, BerWindow},           {0x1C8BA000, PacketWindow},  // CONF:PACK:EVAL:WIND
    {0x1E8BA000, PacketWindow},                                     // CONF:JITT:EVAL:WIND
};

}  // namespace

std::span<const HandlerEntry> ConfigPatternHandlers() {
    return kPatternHandlers;
}

}  // namespace tavrin
