// Choosing the USB driver: providers by name, refusal keeps the previous driver, the choice
// takes effect at the next opening.
#include <gtest/gtest.h>

#include "SimLink.h"

namespace tavrin::testing {
namespace {

TEST(DriverChoice, SimulatedTesterByName) {
    VirtualClock clock;
    Link link(clock);  // the default driver first
    link.trace.SetSink([](const char*, void*) {}, nullptr);
    ASSERT_EQ(link.SelectUsbDriver("sim"), 0);
    EXPECT_FALSE(link.usb.IsOpen());  // nothing happens before the port is chosen
    EXPECT_EQ(link.usb.OpenUsbLink(kFirstUsbPort), 2);
    EXPECT_EQ(link.usb.TesterRead(0x6A5C), 10);
}

TEST(DriverChoice, SimulatedModelFollowsTheSettings) {
    VirtualClock clock;
    Link link(clock);
    link.trace.SetSink([](const char*, void*) {}, nullptr);
    link.simulation.modelCode = 12;
    ASSERT_EQ(link.SelectUsbDriver("sim"), 0);
    link.usb.OpenUsbLink(kFirstUsbPort);
    EXPECT_EQ(link.usb.TesterRead(0x6A5C), 12);
    link.simulation.modelCode = 42;
    EXPECT_NE(link.SelectUsbDriver("sim"), 0);
}

TEST(DriverChoice, RefusedDriverKeepsThePreviousOneAndSaysWhy) {
    VirtualClock clock;
    Link link(clock);
    std::vector<std::string> lines;
    link.trace.SetSink(
        [](const char* t, void* v) { static_cast<std::vector<std::string>*>(v)->push_back(t); },
        &lines);
    ASSERT_EQ(link.SelectUsbDriver("sim"), 0);
    EXPECT_NE(link.SelectUsbDriver("/nonexistent/libd2xx-like.so"), 0);
    EXPECT_NE(link.SelectUsbDriver(""), 0);
    EXPECT_NE(link.SelectUsbDriver(nullptr), 0);
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines[0].find("/nonexistent/libd2xx-like.so"), std::string::npos);
    // A library without the D2XX functions is refused as well.
    EXPECT_NE(link.SelectUsbDriver("libm.so.6"), 0);
    EXPECT_EQ(link.usb.OpenUsbLink(kFirstUsbPort), 2);
    EXPECT_EQ(link.usb.TesterRead(0x6A5C), 10);
}

TEST(DriverChoice, DefaultDriverWithoutATesterReportsNoDevice) {
    VirtualClock clock;
    Link link(clock);
    link.trace.SetSink([](const char*, void*) {}, nullptr);
    EXPECT_EQ(link.usb.OpenUsbLink(kFirstUsbPort), 3);
    EXPECT_FALSE(link.usb.IsOpen());
}

}  // namespace
}  // namespace tavrin::testing

namespace tavrin::testing {
namespace {

TEST(DriverChoice, SimulatedTesterWithAFaultFromTheStart) {
    VirtualClock clock;
    Link link(clock);
    link.trace.SetSink([](const char*, void*) {}, nullptr);
    *link.simulation.fault = SimulatedFault::Unplugged;
    ASSERT_EQ(link.SelectUsbDriver("sim"), 0);
    EXPECT_EQ(link.usb.OpenUsbLink(kFirstUsbPort), 3);

    *link.simulation.fault = SimulatedFault::Silent;
    ASSERT_EQ(link.SelectUsbDriver("sim"), 0);
    EXPECT_EQ(link.usb.OpenUsbLink(kFirstUsbPort), 2);
    EXPECT_EQ(link.usb.TesterRead(0x6A5C), 0);
    EXPECT_EQ(link.errors.LastError, kTargetError);

    SimulatedFault fault = SimulatedFault::Silent;
    EXPECT_FALSE(ParseSimulatedFault("flaky", fault));
    EXPECT_EQ(fault, SimulatedFault::Silent);
}

}  // namespace
}  // namespace tavrin::testing
