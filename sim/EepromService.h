// The tester's EEPROM behind class-2 mails: reads answered with "=" mails, writes applied.
#pragma once

#include "SimComponent.h"

namespace tavrin::sim {

class EepromService final : public SimComponent {
public:
    bool OnMail(VirtualTester& tester, uint8_t cls, const uint8_t* body, uint8_t count) override;
};

}  // namespace tavrin::sim
