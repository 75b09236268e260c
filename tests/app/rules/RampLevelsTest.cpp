// The ramp field's exit rule: range, default, message, command and stored level.
#include <gtest/gtest.h>

#include "setup/RampLevels.h"

namespace tavrin::app {
namespace {

TEST(RampFieldExit, RangesDefaultsCommandsAndTruncation) {
    struct Case {
        int level;
        const char* text;
        const char* field;
        const char* command;
        int stored;
        bool reported;
    };
    const Case cases[] = {
        {2, "12", "4", "CALC:LIM:POW:RMPC 4", 4, false},           // above the range: silent
        {0, "x", "-47", "CALC:LIM:POW:RMPA -47", -47, true},       // no number: reported
        {1, "-7.9", "-7.9", "CALC:LIM:POW:RMPB -7.9", -7, false},  // sent as typed, stored -7
        {0, "-60", "-60", "CALC:LIM:POW:RMPA -60", -60, false},    // bounds are accepted
        {0, "-60.5", "-47", "CALC:LIM:POW:RMPA -47", -47, false},
        {2, "10", "10", "CALC:LIM:POW:RMPC 10", 10, false},
        {3, "10", "10", "CALC:LIM:POW:RMPD 10", 10, false},
        {3, "-0.1", "1", "CALC:LIM:POW:RMPD 1", 1, false},
        {4, "0.5", "-1", "CALC:LIM:POW:RMPE -1", -1, false},
        {4, "-9.99", "-9.99", "CALC:LIM:POW:RMPE -9.99", -9, false},
        {5, "", "-6", "CALC:LIM:POW:RMPF -6", -6, true},
        {5, "1,5", "-6", "CALC:LIM:POW:RMPF -6", -6, true},
    };
    for (const Case& c : cases) {
        const RampExit e = RampFieldExit(c.level, c.text);
        EXPECT_EQ(e.text, c.field) << c.text;
        EXPECT_EQ(e.command, c.command) << c.text;
        EXPECT_EQ(e.stored, c.stored) << c.text;
        ASSERT_EQ(e.message.has_value(), c.reported) << c.text;
        if (c.reported) {
            EXPECT_EQ(*e.message, "Error. Setting default (" + std::string(c.field) + ")");
        }
    }
}

}  // namespace
}  // namespace tavrin::app
