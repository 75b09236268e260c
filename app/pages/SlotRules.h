// The slot rules of the test pages, without widgets: the PP page's dummy and traffic slots
// must differ, and typed slots are checked against the slot maximum.
#pragma once

#include <QString>
#include <optional>

#include "EntryRules.h"

namespace tavrin::app {

// A PP slot stepper moved onto the other slot: where the other slot goes (`step` when the
// new position is 0, else 0); empty when they do not collide.
std::optional<int> CollisionMove(int newPosition, int otherSlot, int step);

// Typed PP dummy slot: a number, even, within 0..slotMaximum and not the traffic slot.
FieldCheck CheckDummySlot(const QString& text, int trafficSlot, int slotMaximum);
// Typed PP traffic slot: the mirror image, with its own defaults.
FieldCheck CheckTrafficSlot(const QString& text, int dummySlot, int slotMaximum);
// Typed FP traffic slot: 0..slotMaximum + 1, odd values too (stored setups use slot 11).
FieldCheck CheckFPTrafficSlot(const QString& text, int slotMaximum);

}  // namespace tavrin::app
