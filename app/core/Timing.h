// The program's waits and timer intervals, scaled by one setting so the tests can run the
// real flows quickly. The program runs with scale 1.
#pragma once

namespace tavrin::app {

struct Timing {
    double scale = 1.0;
    // The interval in milliseconds for a nominal one; never below 1 ms.
    int ms(int nominal) const;
};

}  // namespace tavrin::app
