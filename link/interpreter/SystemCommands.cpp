// "SYST", "STAT" and the common commands. Identification, the service lock and the memory
// service commands are in SystemService.cpp, the reset in SystemReset.cpp.
#include "HandlerTable.h"
#include "MemoryAccess.h"
#include "Readers.h"
#include "SystemGroup.h"
#include "transport/Capture.h"
#include "transport/TesterCells.h"

namespace tavrin {
namespace {

// The write-read benchmark runs over the tester's calibration area.
constexpr uint16_t kDiagnosticArea = 0x0200;
constexpr uint16_t kDiagnosticBytes = 285;
constexpr uint16_t kSampleReadCalls = 4302;

// "SYST:ERR?": the text of the last error, which reporting clears.
void SystemErrorQuery(CommandContext& ctx) {
    const uint8_t last = ctx.link.errors.LastError;
    ctx.link.Answer("%s", kErrorTexts[last < kErrorTexts.size() ? last : 0]);
    ctx.link.errors.LastError = kNoError;
}

void DeviceStateQuery(CommandContext& ctx) {
    Link& link = ctx.link;
    if (!link.hw.HardwareDetected) {
        link.Answer("OFF");
        return;
    }
    if (link.conf.IsRfGenerator()) {
        link.Answer("RFGE");
        return;
    }
    uint8_t state = link.usb.TesterRead(cell::kDeviceState);
    if ((state == 1 || state == 2) && link.usb.TesterRead(cell::kLinkEstablished) == 1) state = 3;
    static constexpr const char* kStates[] = {"IDLE", "DFP", "DPP", "DCE"};
    if (state > 3) {
        ctx.Fail(kTargetError);
        link.Answer("OFF");
        return;
    }
    link.Answer("%s", kStates[state]);
}

void SignalLockQuery(CommandContext& ctx) {
    const uint8_t lock = ctx.link.usb.TesterRead(cell::kSyncLock);
    if (lock > 1) {
        ctx.Fail(kTargetError);
        ctx.link.Answer("OFF");
        return;
    }
    ctx.link.Answer(lock == 1 ? "LOCK" : "UNL");
}

void StatusPreset(CommandContext& ctx) {
    ctx.link.mail.SendMail(6, 0xC0, 0x00);
}

void AverageFillQuery(CommandContext& ctx) {
    const MeasurementState& m = ctx.link.meas;
    const uint8_t n = ctx.link.conf.AverageBursts;
    const int mask = (m.Power.count == n ? 1 : 0) | (m.FreqOffset.count == n ? 2 : 0) |
                     (m.BfMax.count == n ? 4 : 0) | (m.Drift.count == n ? 8 : 0);
    ctx.link.Answer("%d", mask);
}

// Write-read round trips over the diagnostic area. The area holds the tester's calibration,
// so each byte is read first and the value read is what is written and read back: the EEPROM
// ends exactly as it was. A byte that cannot be read is never written.
void LinkBenchmark(CommandContext& ctx) {
    Link& link = ctx.link;
    const uint32_t start = link.clock.nowMs();
    link.mail.DropPendingReplies();
    for (uint16_t i = 0; i < kDiagnosticBytes; ++i) {
        const uint16_t address = static_cast<uint16_t>(kDiagnosticArea + i);
        uint8_t value = 0;
        if (!link.mail.ReadTesterEeprom(address, 1, &value)) return;  // error 7 recorded
        if (!WriteTesterByteVerified(link, address, value)) {
            ctx.Fail(kTimeOutError);
            return;
        }
    }
    link.Answer("%d", static_cast<int>(link.clock.nowMs() - start));
}

void SampleReadBenchmark(CommandContext& ctx) {
    const uint32_t start = ctx.link.clock.nowMs();
    for (uint16_t k = 0; k < kSampleReadCalls; ++k) ReadRxValue(ctx.link, k);
    ctx.link.Answer("%d", static_cast<int>(ctx.link.clock.nowMs() - start));
}

// "*IDN?": the library version.
void IdentityQuery(CommandContext& ctx) {
    ctx.link.Answer("3.2.0");
}
void ZeroQuery(CommandContext& ctx) {
    ctx.link.Answer("0");
}
void NoAnswer(CommandContext&) {}

constexpr HandlerEntry kSystemHandlers[] = {
    {0x55800000, SystemReset},
    {0x56800001, SystemErrorQuery},
    {0x57950001, HardwareVersionQuery},
    {0x5F150001, FirmwareVersionQuery},
    {0x5A9B0001, SerialNumberQuery},
    {0x5A9B0000, SerialNumberSet},
    {0x54880000, MemorySetup},
    {0x548C0001, MemoryDataQuery},
    {0x59800000, PasswordSet},
    {0x59800001, PasswordQuery},

    {0x6C000001, DeviceStateQuery},
    {0x70060001, SignalLockQuery},
    {0x63800000, StatusPreset},
    {0x670A0001, AverageFillQuery},

    {0x00000102, LinkBenchmark},        // *CLS
    {0x00000202, LinkBenchmark},        // *ESE
    {0x00000302, LinkBenchmark},        // *ESR
    {0x00000402, LinkBenchmark},        // *IDN
    {0x00000502, LinkBenchmark},        // *IST
    {0x00000602, LinkBenchmark},        // *OPC
    {0x00000702, LinkBenchmark},        // *OPT
    {0x00000802, LinkBenchmark},        // *PRE
    {0x00000902, SampleReadBenchmark},  // *PSC
    {0x00000A02, SampleReadBenchmark},  // *RST
    {0x00000B02, SampleReadBenchmark},  // *SRE
    {0x00000C02, SampleReadBenchmark},  // *STB
    {0x00000D02, SampleReadBenchmark},  // *TST
    {0x00000403, IdentityQuery},
    {0x00000503, ZeroQuery},  // *IST?
    {0x00000603, ZeroQuery},  // *OPC?
    {0x00000703, ZeroQuery},  // *OPT?
    {0x00000803, ZeroQuery},  // *PRE?
    {0x00000903, ZeroQuery},  // *PSC?
    {0x00000A03, ZeroQuery},  // *RST?
    {0x00000B03, ZeroQuery},  // *SRE?
    {0x00000C03, ZeroQuery},  // *STB?
    {0x00000D03, ZeroQuery},  // *TST?
    {0x00000E03, ZeroQuery},  // *WAI?
    {0x00000103, NoAnswer},   // *CLS?
    {0x00000203, NoAnswer},   // *ESE?
    {0x00000303, NoAnswer},   // *ESR?
    {0x00000E02, NoAnswer},   // *WAI
};

}  // namespace

std::span<const HandlerEntry> SystemHandlers() {
    return kSystemHandlers;
}

}  // namespace tavrin
