// A port choice may put another tester (or none) behind the link: the next command line then
// detects the model and loads that tester's calibration instead of keeping the previous one's.
#include "PortSelection.h"

#include <cstring>

namespace tavrin {
namespace {

constexpr uint16_t kOpened = 2;  // OpenUsbLink's result for an open device

void ForgetTester(Link& link) {
    link.hw.HardwareDetected = false;
    link.cal.CalibrationLoaded = false;
}

}  // namespace

void ChooseUsbPort(Link& link) {
    link.conf.CommPort = code::CommPortUsb;
    if (link.usb.OpenUsbLink(static_cast<uint16_t>(code::CommPortUsb)) == kOpened) {
        link.conf.LinkOpen = true;
    } else {
        link.conf.LinkOpen = false;
        link.conf.CommPort = code::CommPortNone;
    }
    ForgetTester(link);
}

void ChooseNoPort(Link& link) {
    link.conf.CommPort = code::CommPortNone;
    link.usb.CloseUsbLink();
    link.conf.LinkOpen = false;
    ForgetTester(link);
}

uint32_t SetUsbSerialNumber(Link& link, const char* serial) {
    if (!serial || !link.conf.LinkOpen || !link.usb.IsOpen()) return FT_DEVICE_NOT_OPENED;
    // The bridge holds 15 characters; a longer number is refused rather than cut, so the
    // tester never carries a serial number other than the one asked for.
    if (std::strlen(serial) > 15) return FT_INVALID_PARAMETER;
    return link.usb.ProgramUsbSerialNumber(serial);
}

}  // namespace tavrin
