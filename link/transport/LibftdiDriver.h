// The default provider: the D2XX calls on libftdi1, the open FTDI access layer.
#pragma once

#include <memory>

#include "D2xx.h"

namespace tavrin {

std::unique_ptr<UsbDriver> MakeLibftdiDriver();

}  // namespace tavrin
