// The port choice: what exists before it, USB and none, refused words, a missing tester,
// reopening, and the serial-number programming that needs the open link.
#include <gtest/gtest.h>

#include <algorithm>

#include "ConfigEvents.h"
#include "transport/PortSelection.h"

namespace tavrin::testing {
namespace {

size_t EepromReads(SimLink& sim) {
    return static_cast<size_t>(
        std::count_if(sim.tester->mails.begin(), sim.tester->mails.end(),
                      [](const sim::TakenMail& m) { return m.cls == 2 && m.body[0] == 0x3C; }));
}

class Port : public ::testing::Test {
protected:
    SimLink sim{SimulationSettings{}, false};
};

TEST_F(Port, NoPortChosenAtLoad) {
    EXPECT_EQ(sim.Run("CONF:COMM:PORT?"), "INV");
    EXPECT_FALSE(sim.link->conf.LinkOpen);
    EXPECT_FALSE(sim.link->hw.HardwareDetected);
    EXPECT_TRUE(sim.tester->requestLog.empty());  // nothing reaches the tester before the port
}

TEST_F(Port, UsbOpensAndTheNextLineDetectsTheTester) {
    int16_t result = 1;
    sim.Run("CONF:COMM:PORT USB", &result);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(sim.link->conf.LinkOpen);
    EXPECT_TRUE(sim.link->usb.IsOpen());
    EXPECT_EQ(sim.Run("CONF:COMM:PORT?"), "USB");
    EXPECT_TRUE(sim.link->hw.HardwareDetected);
    EXPECT_TRUE(sim.link->cal.CalibrationLoaded);
    EXPECT_EQ(sim.link->hw.MaxSlot, 11);
}

TEST_F(Port, NoneCloses) {
    sim.Run("CONF:COMM:PORT USB");
    sim.Run("CONF:COMM:PORT NONE");
    EXPECT_EQ(sim.Run("CONF:COMM:PORT?"), "NONE");
    EXPECT_FALSE(sim.link->conf.LinkOpen);
    EXPECT_FALSE(sim.link->usb.IsOpen());
    EXPECT_FALSE(sim.link->hw.HardwareDetected);
}

TEST_F(Port, ParallelPortsAreRefusedAndChangeNothing) {
    int16_t result = 0;
    sim.Run("CONF:COMM:PORT LPT2", &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(sim.LastErrorText(), "-224, \"Parameter not allowed\"");
    EXPECT_EQ(sim.Run("CONF:COMM:PORT?"), "INV");
    sim.Run("CONF:COMM:PORT USB");
    sim.Run("CONF:COMM:PORT LPT1", &result);
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(sim.link->usb.IsOpen());
    EXPECT_EQ(sim.Run("CONF:COMM:PORT?"), "USB");
    sim.Run("CONF:COMM:PORT", &result);
    EXPECT_EQ(result, 1);
}

TEST_F(Port, NoTesterAttached) {
    sim.tester->faults.unplugged = true;
    int16_t result = 1;
    sim.Run("CONF:COMM:PORT USB", &result);
    EXPECT_EQ(sim.Run("CONF:COMM:PORT?"), "NONE");
    EXPECT_FALSE(sim.link->conf.LinkOpen);
    EXPECT_EQ(sim.link->conf.CommPort, code::CommPortNone);
}

TEST_F(Port, ReopeningLoadsTheCalibrationAgain) {
    sim.Run("CONF:COMM:PORT USB");
    sim.Run("*IDN?");
    EXPECT_EQ(EepromReads(sim), 14u);
    // Another tester may now sit behind the port: its own calibration is read.
    sim.tester->Eeprom()[0x031D] = 0x30;
    sim.Run("CONF:COMM:PORT USB");
    sim.Run("*IDN?");
    EXPECT_EQ(EepromReads(sim), 28u);
    EXPECT_EQ(sim.link->cal.AttenuatorByteA, 0x30);
}

TEST_F(Port, SerialNumberNeedsTheOpenedLink) {
    EXPECT_NE(SetUsbSerialNumber(*sim.link, "ZK123456"), 0u);
    sim.link->usb.OpenUsbLink(kFirstUsbPort);  // opened, but not by a port choice
    EXPECT_NE(SetUsbSerialNumber(*sim.link, "ZK123456"), 0u);
    EXPECT_EQ(sim.driver->serialNumber, "ZK000001");
    sim.Run("CONF:COMM:PORT USB");
    EXPECT_EQ(SetUsbSerialNumber(*sim.link, "ZK123456"), 0u);
    EXPECT_EQ(sim.driver->serialNumber, "ZK123456");
    EXPECT_EQ(sim.driver->description, "Zelk Communication tester");
    // Sixteen characters would be cut to fifteen: refused instead.
    EXPECT_NE(SetUsbSerialNumber(*sim.link, "ZK12345678901234"), 0u);
    EXPECT_EQ(sim.driver->serialNumber, "ZK123456");
    EXPECT_NE(SetUsbSerialNumber(*sim.link, nullptr), 0u);
    EXPECT_EQ(SetUsbSerialNumber(*sim.link, "ZK1234567890123"), 0u);
}

}  // namespace
}  // namespace tavrin::testing
