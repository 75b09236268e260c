// The command loop: tokenizer, code building, handler choice, errors and the answer buffer.
#include <gtest/gtest.h>

#include "SimLink.h"

namespace tavrin::testing {
namespace {

TEST(CommandLoop, IdentityAndEmptySecondRead) {
    SimLink sim;
    int16_t result = -1;
    EXPECT_EQ(sim.Run("*IDN?", &result), "3.2.0");
    EXPECT_EQ(result, 0);
    char out[kResponseSize] = "x";
    EXPECT_EQ(sim.link->ZelkRd(out, true), 0);
    EXPECT_STREQ(out, "");
}

}  // namespace
}  // namespace tavrin::testing
