// Scaled intervals.
#include "Timing.h"

#include <algorithm>
#include <cmath>

namespace tavrin::app {

int Timing::ms(int nominal) const {
    return std::max(1, static_cast<int>(std::lround(nominal * scale)));
}

}  // namespace tavrin::app
