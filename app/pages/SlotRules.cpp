// The slot rules of the test pages.
#include "SlotRules.h"

namespace tavrin::app {
namespace {

// The checks of a typed PP slot, each on the value the one before left: not a number, then
// out of range or odd (which skips the collision check), then equal to the other slot.
struct SlotDefaults {
    int notANumber;
    int outOfRange;
    int collision;
};

FieldCheck CheckPPSlot(const QString& text, int other, int slotMaximum, SlotDefaults d) {
    FieldCheck c;
    c.text = text;
    std::optional<int> v = ParseInteger(text);
    if (!v) {
        c.messages << "Error. Setting default (" + QString::number(d.notANumber) + ")";
        v = d.notANumber;
        c.text = QString::number(*v);
    }
    if (*v < 0 || *v > slotMaximum || *v % 2 != 0) {
        c.messages << "Range error. Setting default (" + QString::number(d.outOfRange) + ")";
        v = d.outOfRange;
        c.text = QString::number(*v);
    } else if (*v == other) {
        c.messages << "Settings error. Setting default (" + QString::number(d.collision) + ")";
        v = d.collision;
        c.text = QString::number(*v);
    }
    c.value = *v;
    return c;
}

}  // namespace

std::optional<int> CollisionMove(int newPosition, int otherSlot, int step) {
    if (newPosition != otherSlot) return std::nullopt;
    return newPosition == 0 ? step : 0;
}

FieldCheck CheckDummySlot(const QString& text, int trafficSlot, int slotMaximum) {
    const int away = trafficSlot == 0 ? 4 : 0;
    return CheckPPSlot(text, trafficSlot, slotMaximum, {0, away, away});
}

FieldCheck CheckTrafficSlot(const QString& text, int dummySlot, int slotMaximum) {
    const bool dummyIs4 = dummySlot == 4;
    return CheckPPSlot(text, dummySlot, slotMaximum, {4, dummyIs4 ? 2 : 4, dummyIs4 ? 0 : 4});
}

FieldCheck CheckFPTrafficSlot(const QString& text, int slotMaximum) {
    const std::optional<int> v = ParseInteger(text);
    FieldCheck c;
    if (!v) {
        c.text = "0";
        c.messages << "Error. Setting default (0)";
    } else if (*v < 0 || *v > slotMaximum + 1) {
        c.text = "0";
        c.messages << "Range error. Setting default (0)";
    } else {
        c.text = text;
        c.value = *v;
    }
    return c;
}

}  // namespace tavrin::app
