// The test choice ("CONF:TEST", "CONF:TEST:TYPE"), the RF generator and its carrier, the
// frequency band and reference carrier, the number of carriers, carrier and timing offsets.
#include <cstring>

#include "ConfigActions.h"
#include "ConfigGroups.h"
#include "Readers.h"
#include "transport/TesterCells.h"

namespace tavrin {
namespace {
constexpr uint32_t kExtendedBand = 0x80;

// The tester plays the fixed part (PP test, mode 2) or the portable part (FP test, mode 1);
// both then take the RFPI and the dummy carrier over.
void StartRadioTest(Link& link, uint8_t mode, uint16_t settleTicks) {
    link.mail.SendMail(6, 0xC0, mode);
    link.mail.WaitTicks(settleTicks);
    SendRfpiMail(link);
    link.usb.TesterWrite(cell::kDummyCarrier, link.conf.DummyCarrier);
    link.mail.SendMail(6, 0xC3);
}

void TestSelect(CommandContext& ctx) {
    Link& link = ctx.link;
    ConfigState& conf = link.conf;
    if (ctx.IsQuery()) {
        if (conf.IsPpTest()) {
            link.Answer("DPP");
        } else if (conf.IsFpTest()) {
            link.Answer("DFP");
        } else if (conf.TestType == code::PPODD) {
            link.Answer("PPODD");
        } else if (conf.IsRfGenerator()) {
            link.Answer("RFGE");
        } else {
            link.Answer("IDLE");
        }
        return;
    }
    uint32_t test = ctx.paramCode;
    // The names a setup file may hold, matched as written.
    if (test == 0 && ctx.paramStart) {
        if (std::strncmp(ctx.paramStart, "DectFP", 6) == 0) test = code::DFP;
        if (std::strncmp(ctx.paramStart, "DectPP", 6) == 0) test = code::DPP;
    }
    switch (test) {
        case code::DPP:
        case code::PP:
            StartRadioTest(link, 0x02, 20);
            break;
        case code::DFP:
        case code::FP:
            StartRadioTest(link, 0x01, 2);
            break;
        case code::PPODD:
            link.mail.SendMail(6, 0xC0, 0x03);
            link.mail.WaitTicks(20);
            break;
        case code::NOP0:
            link.mail.SendMail(6, 0x5D, 0x80, 0x00);
            break;
        case code::NONE:
            break;
        default:
            ctx.Fail(kParameterNotAllowed);
            break;
    }
    // Kept in every case: a refused word leaves no test selected ("IDLE").
    conf.TestType = test;
}

// The generator on `carrier` with the kept level.
void StartGenerator(Link& link, int32_t carrier) {
    link.conf.RfgenCarrier = static_cast<uint8_t>(carrier);
    link.usb.TesterWrite(cell::kGeneratorCarrier, link.conf.RfgenCarrier);
    link.mail.SendMail(6, 0x5D, 0x06);
    ApplyRfLevel(link, link.conf.RfLevel, link.conf.RfgenCarrier, RfRole::Generator);
}

// "CONF:TEST:TYPE:RFGE n": the generator test is chosen before the carrier is checked.
void TestTypeGenerator(CommandContext& ctx) {
    Link& link = ctx.link;
    link.mail.SendMail(6, 0xC0, 0x02);
    link.conf.TestType = code::RFGE;
    link.mail.WaitTicks(10);
    if (!NoParameterWord(ctx)) return;
    int32_t carrier = 0;
    if (!ReadUpTo(ctx, carrier, link.hw.MaxCarrier)) return;
    link.errors.ErrorCount = 0;
    StartGenerator(link, carrier);
}

void GeneratorCarrier(CommandContext& ctx) {
    if (ctx.IsQuery()) {
        ctx.link.Answer("%d", ctx.link.conf.RfgenCarrier);
        return;
    }
    if (!NoParameterWord(ctx)) return;
    int32_t carrier = 0;
    if (ReadCarrier(ctx, carrier)) StartGenerator(ctx.link, carrier);
}

void ExtendedFrequencyBand(CommandContext& ctx) {
    ConfigState& conf = ctx.link.conf;
    if (ctx.IsQuery()) {
        ctx.link.Answer("%d", static_cast<int>(conf.ExtFreqRegister >> 7));
        return;
    }
    int32_t on = 0;
    if (ReadInteger(ctx, ctx.cursor, on, 0, 1) && on == 1) {
        conf.ExtFreqRegister = kExtendedBand;
        conf.ExtendedFrequency = true;
    } else {
        conf.ExtFreqRegister = 0;
        conf.ExtendedFrequency = false;
    }
    ctx.link.usb.TesterWrite(cell::kExtendedFrequency, static_cast<uint8_t>(conf.ExtFreqRegister));
}

// "CONF:CARR:REF" (also "CONF:MATC"): the reference carrier of the extended band.
void ReferenceCarrier(CommandContext& ctx) {
    ConfigState& conf = ctx.link.conf;
    if (ctx.IsQuery()) {
        ctx.link.Answer("%d", static_cast<int>(conf.ExtFreqRegister & 0x7F));
        return;
    }
    int32_t reference = 0;
    if (!ReadInteger(ctx, ctx.cursor, reference, 0, 27)) reference = 0;
    if (reference >= 1 && reference <= 9) reference = 0;
    // A failed reading still selects the band with reference 0; its error stays recorded.
    conf.ExtFreqRegister = static_cast<uint32_t>(reference) | kExtendedBand;
    ctx.link.usb.TesterWrite(cell::kExtendedFrequency, static_cast<uint8_t>(conf.ExtFreqRegister));
}

void NumberOfCarriers(CommandContext& ctx) {
    ConfigState& conf = ctx.link.conf;
    if (ctx.IsQuery()) {
        ctx.link.Answer("%d", static_cast<int>(conf.NumberOfCarriers));
        return;
    }
    int32_t count = 10;
    if (!ReadInteger(ctx, ctx.cursor, count, 1, 10)) count = 10;
    conf.NumberOfCarriers = static_cast<uint32_t>(count);
    ctx.link.usb.TesterWrite(cell::kNumberOfCarriers, static_cast<uint8_t>(count));
}

void CarrierOffset(CommandContext& ctx) {
    int32_t offset = 0;
    if (!ReadInteger(ctx, ctx.cursor, offset, -22, 3)) return;
    ctx.link.usb.TesterWrite(cell::kCarrierOffset, static_cast<uint8_t>(offset));
    ctx.link.conf.CarrierOffset = static_cast<int8_t>(offset);
}

void TimingOffset(CommandContext& ctx) {
    Link& link = ctx.link;
    ConfigState& conf = link.conf;
    if (ctx.IsQuery()) {
        link.Answer("%i", conf.TimingOffset);
        return;
    }
    if (!NoParameterWord(ctx)) return;
    int32_t limit = 0;
    if (conf.IsPpTest()) {
        limit = 12;
    } else if (conf.IsFpTest()) {
        limit = 32;
    } else {
        link.Answer("INV");  // only a radio test has a timing offset
        return;
    }
    int32_t offset = 0;
    if (!ReadInteger(ctx, ctx.cursor, offset, -limit, limit)) return;
    conf.TimingOffset = static_cast<int8_t>(offset);
    link.mail.SendMail(6, 0x5D, 0x50, static_cast<uint8_t>(offset));
}

constexpr HandlerEntry kTestHandlers[] = {
    {0x11000000, TestSelect},  // CONF:TEST
    {0x11000001, TestSelect},
    {0x11110000, TestSelect},  // CONF:TEST:TYPE
    {0x11110001, TestSelect},
    {0x11190000, TestTypeGenerator},  // CONF:TEST:TYPE:RFGE
    {0x10192000, GeneratorCarrier},   // CONF:RFGE:CARR
    {0x10192001, GeneratorCarrier},
    {0x111E0000, ExtendedFrequencyBand},  // CONF:TEST:EXTF
    {0x111E0001, ExtendedFrequencyBand},
    {0x10002F00, ReferenceCarrier},  // CONF:CARR:REF, CONF:MATC
    {0x10002F01, ReferenceCarrier},
    {0x12C02000, NumberOfCarriers},  // CONF:NUMB:CARR
    {0x12C02001, NumberOfCarriers},
    {0x10007000, CarrierOffset},  // CONF:CARR:OFFS
    {0x14007000, CarrierOffset},  // CONF:PP:OFFS
    {0x15007000, CarrierOffset},  // CONF:FP:OFFS
    {0x18007000, TimingOffset},   // CONF:TIM:OFFS
    {0x18007001, TimingOffset},
};

}  // namespace

std::span<const HandlerEntry> ConfigTestHandlers() {
    return kTestHandlers;
}

}  // namespace tavrin
