// The masking of the service access code in command lines.
#include <gtest/gtest.h>

#include "common/CommandMask.h"

TEST(CommandMask, EveryServiceLockCommandIsMaskedAndNothingElse) {
    const std::pair<const char*, const char*> cases[] = {
        {"PASS:SYST \"abc\" junk ", "PASS:SYST \"****\" "},
        {"SYST:PASS? KQZ", "SYST:PASS? ****"},
        {"syst:password \"x\";SYST:PASSKQZ;SYST:PASS:KQZ",
         "syst:password \"****\";SYST:PASS****;SYST:PASS****"},
        // One command of several; a ";" inside quotes belongs to the text.
        {"*IDN?;SYSTEM:PASSWORD \"a;b\";SYST:PASS?", "*IDN?;SYSTEM:PASSWORD \"****\";SYST:PASS?"},
        {"SYST:PASS \"abc;*IDN?", "SYST:PASS \"****\""},  // unterminated: the rest is hidden
        {"CONF:PP:RFPI \"PASS 1\";SYST:PASS", "CONF:PP:RFPI \"PASS 1\";SYST:PASS"},
    };
    for (const auto& [line, shown] : cases)
        EXPECT_EQ(tavrin::common::MaskServiceCode(line), shown) << line;
}
