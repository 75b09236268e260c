// EEPROM mails: 3C 06 00 n lo hi (read), 3B 06 00 n lo hi data (write); answer 3D 06 00 data.
#include "EepromService.h"

#include <vector>

#include "VirtualTester.h"
#include "transport/MailboxLayout.h"

namespace tavrin::sim {

using namespace tavrin::mailbox;

bool EepromService::OnMail(VirtualTester& tester, uint8_t cls, const uint8_t* body, uint8_t count) {
    if (cls != kEepromClass || count < 6) return false;
    const uint8_t n = body[3];
    const uint32_t address = body[4] | (uint32_t{body[5]} << 8);
    auto& eeprom = tester.Eeprom();
    if (body[0] == kEepromRead) {
        std::vector<uint8_t> answer = {kEepromAnswer, 0x06, 0x00};
        for (uint32_t i = 0; i < n && answer.size() < kSlotSize; ++i)
            answer.push_back(eeprom[(address + i) % eeprom.size()]);
        tester.PostReply(answer.data(), answer.size());
        return true;
    }
    if (body[0] == kEepromWrite) {
        for (uint32_t i = 0; i < n && 6u + i < count; ++i)
            eeprom[(address + i) % eeprom.size()] = body[6 + i];
        return true;
    }
    return false;
}

}  // namespace tavrin::sim
