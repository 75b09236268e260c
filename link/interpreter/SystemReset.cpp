// "SYST:RESE": the tester restarts and the interpreter takes its reset values.
#include "ConfigActions.h"
#include "SystemGroup.h"
#include "transport/TesterCells.h"

namespace tavrin {
namespace {

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
    cells.Add(cell::kDummySlot, c.DummySlot);
    cells.Add(cell::kBerWindow, static_cast<uint8_t>(c.BerWindow & 0xFF));
    cells.Add(cell::kBerWindowHigh, static_cast<uint8_t>((c.BerWindow >> 8) & 0xFF));
    link.usb.TesterWriteBatch(cells);

    ApplyRfLevel(link, c.RfLevel, 0, RfRole::Test);

    link.mail.SendMail(6, 0xC3);
    link.mail.SendMail(6, 0x5D, 0x15);
    SendRfpiMail(link);

    const uint32_t firstPage = link.usb.TesterRead(cell::kFirstPlanePage);
    const uint32_t pages = link.usb.TesterRead(cell::kPlanePages);
    const uint32_t pagesAgain = link.usb.TesterRead(cell::kPlanePages);
    CaptureState& cap = link.capture;
    cap.PlaneBase[0] = 0x10000 + 256 * firstPage;
    cap.PlaneBase[1] = cap.PlaneBase[0] + 256 * pages;
    cap.PlaneBase[2] = cap.PlaneBase[1] + 256 * pagesAgain;
    cap.ClearStore();
}

}  // namespace tavrin
