// The port choice: USB opens the link to the tester, none closes it.
#pragma once

#include "Link.h"

namespace tavrin {

// CommPort USB and the link opened; when the open fails, LinkOpen off and CommPort none.
void ChooseUsbPort(Link& link);
// CommPort none, the link closed, LinkOpen off.
void ChooseNoPort(Link& link);

// Programs the bridge's serial number when a port choice opened the link: 0 when written,
// else the non-zero status (nothing happens with the link closed or a number over 15 characters).
uint32_t SetUsbSerialNumber(Link& link, const char* serial);

}  // namespace tavrin
