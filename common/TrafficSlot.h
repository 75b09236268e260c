// Where the tester's traffic bearer goes when the fixed part under test has put its dummy
// bearer on the same slot: the link window's status poll and the production run move it alike.
#pragma once

namespace tavrin::common {

// The traffic slot after the fixed part's dummy bearer was found on `trafficSlot`: two slots
// on, or back to 0 from `highestSlot` (the highest traffic slot the caller offers) and above.
int TrafficSlotPastDummy(int trafficSlot, int highestSlot);

}  // namespace tavrin::common
