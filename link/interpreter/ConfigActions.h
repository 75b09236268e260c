// Configuration actions that other command groups repeat (the reset sequence): the RF level
// application and the RFPI mail.
#pragma once

#include <cstdint>

#include "RfLevelRules.h"
#include "transport/Link.h"

namespace tavrin {

// Writes the level cells for `level` dBm on `carrier` and sends the mails that make the tester
// take it over. Clears ErrorCount and LastError first, so a level set through "MIN" or in
// service mode leaves no error behind. In the generator role the attenuator choice also
// becomes the kept RxAttenuator.
void ApplyRfLevel(Link& link, float level, uint8_t carrier, RfRole role);

// The RFPI block mail: 0xC2 and the five RFPI bytes, one mail of class 6.
void SendRfpiMail(Link& link);

}  // namespace tavrin
