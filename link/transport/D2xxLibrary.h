// A provider on a shared library that exports the eleven D2XX functions under their D2XX
// names: FTDI's own libftd2xx.so, or any compatible library given by path.
#pragma once

#include <memory>
#include <string>

#include "D2xx.h"

namespace tavrin {

// Loads the library and binds all eleven functions; nullptr and a reason when it cannot.
std::unique_ptr<UsbDriver> LoadD2xxLibrary(const std::string& path, std::string& reason);

}  // namespace tavrin
