// "CONF:PP:RF:LEV", "CONF:FP:RF:LEV", "CONF:BER:RF:LEV": the RF output level, and its
// application to the tester with the attenuator and the carrier correction.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "ConfigActions.h"
#include "ConfigGroups.h"
#include "Readers.h"
#include "transport/TesterCells.h"

namespace tavrin {
namespace {
constexpr float kMinimumLevel = -120.0f;

// The level a service-mode user typed, range aside: false when the text holds no number.
bool ServiceLevel(const char* text, double& level) {
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    if (end == text || !std::isfinite(v)) return false;
    level = v;
    return true;
}

void RfLevelSetter(CommandContext& ctx) {
    Link& link = ctx.link;
    ConfigState& conf = link.conf;
    const double lower = RfLevelLowerBound(conf.CableLoss);
    double level = 0.0;
    if (ReadReal(ctx, ctx.cursor, level, lower, lower + 60.0)) {
        conf.RfLevel = static_cast<float>(level);
    } else {
        const char* text = ctx.cursor ? ctx.cursor : "";
        while (*text == ' ') ++text;
        if (*text == '"' || !link.service.ServiceMode) {
            // "MIN" in quotes is the lowest level in service mode too: converting the quoted
            // text would give 0.0 dBm, the strongest signal instead of the weakest.
            char quoted[kQuotedSize];
            if (!ReadQuoted(ctx, ctx.cursor, quoted) || std::strcmp(quoted, "MIN") != 0) return;
            conf.RfLevel = kMinimumLevel;
        } else if (ServiceLevel(text, level)) {
            // Service mode takes a number outside the range as it is.
            conf.RfLevel = static_cast<float>(level);
        } else {
            // No number at all (no parameter, or a word): the level stays and the reader's
            // error 4 stays recorded, rather than a silent 0.0 dBm.
            return;
        }
    }
    if (conf.IsRfGenerator()) {
        ApplyRfLevel(link, conf.RfLevel, conf.RfgenCarrier, RfRole::Generator);
    } else {
        ApplyRfLevel(link, conf.RfLevel, conf.TrafficCarrier, RfRole::Test);
    }
}

void RfLevelQuery(CommandContext& ctx) {
    ctx.link.Answer("%1.1f", ctx.link.conf.RfLevel);
}

void RfLevel(CommandContext& ctx) {
    if (ctx.IsQuery()) {
        RfLevelQuery(ctx);
    } else {
        RfLevelSetter(ctx);
    }
}

constexpr HandlerEntry kRfLevelHandlers[] = {
    {0x14053000, RfLevel},                         // CONF:PP:RF:LEV
    {0x14053001, RfLevel}, {0x15053000, RfLevel},  // CONF:FP:RF:LEV
    {0x15053001, RfLevel}, {0x19053000, RfLevel},  // CONF:BER:RF:LEV
};

}  // namespace

void ApplyRfLevel(Link& link, float level, uint8_t carrier, RfRole role) {
    link.errors.ErrorCount = 0;
    link.errors.LastError = kNoError;
    RfLevelInputs in;
    in.cableLoss = link.conf.CableLoss;
    in.attenuatorByteA = link.cal.AttenuatorByteA;
    in.generatorCarrierTable = &link.cal.GeneratorCarrierTable;
    in.model = link.hw.Model;
    in.carrierOffset = link.conf.CarrierOffset;
    in.extendedFrequency = link.conf.ExtendedFrequency;
    in.rfGenerator = link.conf.IsRfGenerator();
    in.maxCarrier = link.hw.MaxCarrier;
    const RfLevelSetting s = ComputeRfLevel(level, carrier, in);

    link.mail.SendMail(6, 0x5D, s.attenuatorIn ? 0x30 : 0x31);
    if (role == RfRole::Generator) link.conf.RxAttenuator = s.attenuatorIn;
    WriteBatch cells;
    cells.Add(cell::kLevelLow, static_cast<uint8_t>(s.cellValue & 0xFF));
    cells.Add(cell::kLevelHigh, static_cast<uint8_t>(s.cellValue >> 8));
    link.usb.TesterWriteBatch(cells);
    link.mail.SendMail(6, 0xC4);
}

void SendRfpiMail(Link& link) {
    link.conf.RfpiMail[0] = 0xC2;  // the load value holds 0 there, which is no mail at all
    link.mail.SendMailBlock(6, link.conf.RfpiMail.data(),
                            static_cast<uint8_t>(link.conf.RfpiMail.size()));
}

std::span<const HandlerEntry> ConfigRfLevelHandlers() {
    return kRfLevelHandlers;
}

}  // namespace tavrin
