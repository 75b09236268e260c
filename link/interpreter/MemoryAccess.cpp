// Memory-access exchanges with the tester's EEPROM.
#include "MemoryAccess.h"

#include "transport/MailboxLayout.h"

namespace tavrin {

using namespace mailbox;

bool ReadTesterMemory(Link& link, uint16_t address, uint8_t count, uint8_t* data) {
    link.mail.DropPendingReplies();
    return link.mail.ReadTesterEeprom(address, count, data);
}

bool WriteTesterByteVerified(Link& link, uint16_t address, uint8_t value) {
    link.mail.WriteTesterEeprom(address, 1, &value);
    const uint8_t request[] = {kEepromRead,
                               0x06,
                               0x00,
                               1,
                               static_cast<uint8_t>(address & 0xFF),
                               static_cast<uint8_t>(address >> 8)};
    link.mail.SendMailBlock(kEepromClass, request, sizeof request);
    uint8_t answer[kSlotSize] = {};
    for (int poll = 0; poll < kEepromPolls; ++poll) {
        if (link.mail.ReceiveMail(answer) == static_cast<int>(kSlotSize) &&
            answer[0] == kEepromAnswer && answer[3] == value)
            return true;
        link.mail.WaitTicks(2);
    }
    return false;
}

}  // namespace tavrin
