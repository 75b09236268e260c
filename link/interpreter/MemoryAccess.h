// Memory-access exchanges with the tester's EEPROM as the service and diagnostic commands use
// them: pending replies dropped first, then a request and up to 50 polls for its answer.
#pragma once

#include <cstdint>

#include "transport/Link.h"

namespace tavrin {

// Reads `count` (at most 25) bytes at `address` into data. False with error 7 recorded when no
// answer came; `data` is then untouched.
bool ReadTesterMemory(Link& link, uint16_t address, uint8_t count, uint8_t* data);

// Writes one byte, asks for it back and polls for an answer that carries it. False when no
// such answer came within 50 polls; the caller decides what that means.
bool WriteTesterByteVerified(Link& link, uint16_t address, uint8_t value);

}  // namespace tavrin
