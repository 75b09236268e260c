// The traffic slot beside the fixed part's dummy bearer.
#include "TrafficSlot.h"

namespace tavrin::common {

int TrafficSlotPastDummy(int trafficSlot, int highestSlot) {
    return trafficSlot >= highestSlot ? 0 : trafficSlot + 2;
}

}  // namespace tavrin::common
