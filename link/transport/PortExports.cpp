// SetUSBSerialNumber: programs the serial number into the tester's USB bridge.
#include "Link.h"
#include "PortSelection.h"
#include "tavrinlink.h"

extern "C" {

int16_t SetUSBSerialNumber(const char* serial) {
    try {
        const uint32_t status = tavrin::SetUsbSerialNumber(tavrin::ProcessLink(), serial);
        // D2XX statuses are small; anything else still reads as a failure.
        return status <= 0x7FFF ? static_cast<int16_t>(status) : int16_t{0x7FFF};
    } catch (...) {
        return tavrin::FT_OTHER_ERROR;
    }
}

}  // extern "C"
