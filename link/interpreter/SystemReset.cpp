// "SYST:RESE": the tester restarts and the interpreter takes its reset values.
#include <cmath>

#include "SystemGroup.h"

namespace tavrin {
namespace {

namespace cell {
constexpr uint32_t kPpTrafficCarrier = 0x6A38;
constexpr uint32_t kFpTrafficCarrier = 0x6A2A;
constexpr uint32_t kDummyCarrier = 0x6A36;
constexpr uint32_t kPpTrafficSlot = 0x6A39;
constexpr uint32_t kPpDummySlot = 0x6A37;
constexpr uint32_t kBerWindowLow = 0x6A42;
constexpr uint32_t kBerWindowHigh = 0x6A43;
constexpr uint32_t kRfLevelLow = 0x6A40;
constexpr uint32_t kRfLevelHigh = 0x6A41;
constexpr uint32_t kFirstPage = 0x6A6F;
constexpr uint32_t kPlanePages = 0x6A70;
}  // namespace cell

void ResetInterpreterState(Link& link) {
    link.cal.CalibrationLoaded = false;
    ConfigState& c = link.conf;
    c.SampleModeCtrl = false;
    c.TestType = code::NONE;
    c.RfgenCarrier = 0;
    c.RfgenModulation = code::BS55;
    c.RfLevel = -60.0f;
    c.CableLoss = 0;
    c.RxAttenuator = true;
    c.SignallingProtocol = true;
    c.AverageBursts = 1;
    link.hw.ModelCode = 0;
    link.hw.MaxSlot = 0;
    link.hw.MaxCarrier = 0;
    c.DummySlot = 4;
    c.PpTrafficSlot = 0;
    c.DummyCarrier = 0;
    c.FpTrafficSlot = 0;
    c.TrafficCarrier = 0;
    c.BerPattern = code::FIG3;
    c.BerWindow = 100;
    c.FpAntenna = 0;
    // Detection and the calibration load run again on the next command line.
    link.hw.HardwareDetected = false;
    c.RfpiMail = {0, 0, 0, 0, 0, 0};
    c.CarrierOffset = 0;
}

// The RF level as the configuration commands apply it, here with carrier 0 in the test role.
// Clears the command's errors: the reset itself records none of its own.
void ApplyResetRfLevel(Link& link) {
    link.errors.ErrorCount = 0;
    link.errors.LastError = kNoError;
    const ConfigState& c = link.conf;
    const uint8_t carrier = 0;
    // Rounded half away from zero, 0.1 dB below the level.
    int32_t level = static_cast<int32_t>(std::lround(static_cast<double>(c.RfLevel) * 10.0 - 0.1));
    if (level + c.CableLoss < -650) {
        link.mail.SendMail(6, 0x5D, 0x30);
    } else {
        link.mail.SendMail(6, 0x5D, 0x31);
        level -= link.cal.AttenuatorByteA + 200;
    }
    if (c.IsRfGenerator() || carrier <= link.hw.MaxCarrier) {
        int entry =
            link.hw.Model == 11 ? carrier + c.CarrierOffset : 22 + carrier + c.CarrierOffset;
        if (link.hw.Model != 11 && c.ExtendedFrequency && carrier >= 10)
            entry = 22 + 9 - carrier + c.CarrierOffset;
        // An entry outside the table has no correction.
        if (entry >= 0 && entry < static_cast<int>(link.cal.GeneratorCarrierTable.size()))
            level += link.cal.GeneratorCarrierTable[static_cast<size_t>(entry)];
    }
    const int32_t v = level + c.CableLoss;
    link.usb.TesterWrite(cell::kRfLevelLow, static_cast<uint8_t>(v & 0xFF));
    link.usb.TesterWrite(cell::kRfLevelHigh, static_cast<uint8_t>((v >> 8) & 0xFF));
    link.mail.SendMail(6, 0xC4);
}

}  // namespace

void SystemReset(CommandContext& ctx) {
    Link& link = ctx.link;
    ResetInterpreterState(link);

    link.mail.SendMail(6, 0x5D, 0xFF);
    link.mail.WaitTicks(6);

    const ConfigState& c = link.conf;
    WriteBatch cells;
    cells.Add(cell::kPpTrafficCarrier, c.TrafficCarrier);
    cells.Add(cell::kFpTrafficCarrier, c.TrafficCarrier);
    cells.Add(cell::kDummyCarrier, c.DummyCarrier);
    cells.Add(cell::kPpTrafficSlot, 0);
    cells.Add(cell::kPpDummySlot, c.DummySlot);
    cells.Add(cell::kBerWindowLow, static_cast<uint8_t>(c.BerWindow & 0xFF));
    cells.Add(cell::kBerWindowHigh, static_cast<uint8_t>((c.BerWindow >> 8) & 0xFF));
    link.usb.TesterWriteBatch(cells);

    ApplyResetRfLevel(link);

    link.mail.SendMail(6, 0xC3);
    link.mail.SendMail(6, 0x5D, 0x15);
    uint8_t rfpi[6] = {0xC2, 0, 0, 0, 0, 0};
    link.mail.SendMailBlock(6, rfpi, sizeof rfpi);

    const uint32_t firstPage = link.usb.TesterRead(cell::kFirstPage);
    const uint32_t pages = link.usb.TesterRead(cell::kPlanePages);
    const uint32_t pagesAgain = link.usb.TesterRead(cell::kPlanePages);
    CaptureState& cap = link.capture;
    cap.PlaneBase[0] = 0x10000 + 256 * firstPage;
    cap.PlaneBase[1] = cap.PlaneBase[0] + 256 * pages;
    cap.PlaneBase[2] = cap.PlaneBase[1] + 256 * pagesAgain;
    cap.ClearStore();
}

}  // namespace tavrin
