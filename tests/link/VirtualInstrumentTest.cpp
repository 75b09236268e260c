// What the virtual instrument says about itself, through the commands that ask for it.
#include <gtest/gtest.h>

#include "SimLink.h"

namespace tavrin::testing {
namespace {

TEST(VirtualInstrument, IdentifiesItselfForEveryModel) {
    const std::pair<uint8_t, const char*> models[] = {{10, "Tavrin 1.0 2.0"},
                                                      {11, "Pellis 1.0 2.0"},
                                                      {12, "Ulmet 1.0 2.0"},
                                                      {13, "Quorin 1.0 2.0"}};
    for (const auto& [code, name] : models) {
        SimLink sim{SimulationSettings{code, ""}};
        EXPECT_EQ(sim.Run("SYST:HW:VERS?"), name);
        EXPECT_EQ(sim.Run("SYST:FIRM:VERS?"), "FW 4.12 SIM");
        EXPECT_EQ(sim.Run("SYST:SER:NUM?"), "20264711");
        EXPECT_EQ(sim.LastErrorText(), "+0, \"No Error\"");
    }
}

}  // namespace
}  // namespace tavrin::testing
