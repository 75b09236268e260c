// The carrier plan, without widgets: the carrier order table, the country presets, the
// reference-carrier rule with the working order table and the extended carrier list, and the
// carrier range texts of the pages' labels.
#pragma once

#include <QString>
#include <array>
#include <optional>
#include <span>

namespace tavrin::app {

inline constexpr int kOrderSize = 34;
inline constexpr int kExtendedListSize = 10;
inline constexpr int kMaxUsedCarriers = 10;

// Order position i holds carrier order[i]: 9, 8, ..., 0, 10, 11, ..., 33. The table is its
// own inverse, so order[c] is also the position of carrier c.
const std::array<int, kOrderSize>& CarrierOrder();
// order[index] with the index bounded to 0..33: a label built from an uncommitted reference
// text or an unusual carrier count never reads outside the table.
int OrderAt(int index);
// What the reference stepper writes into the field for a position: order[position] on
// 0..31, 32 for any other position.
int ReferenceStepperCarrier(int position);

struct CountryPreset {
    const char* name;
    int offset;                         // Offset mode: carrier offset
    int usedCarriers;                   // Offset mode: number of used carriers
    std::optional<int> highestCarrier;  // Offset mode: set for EU and US only
    int referencePosition;              // Extended mode: reference stepper position
    int extendedUsedCarriers;           // Extended mode: number of used carriers
};
// "EU", "US", "Asia", "LatAm", "Brazil", "JP" in the country list's order.
std::span<const CountryPreset> CountryPresets();
// The list index of a country text; -1 for the empty item or any typed text.
int CountryIndex(const QString& text);
// The preset of a list index; the empty item, a typed text and any other index take the
// "other" row (offset 0, 10 carriers, reference position 9).
const CountryPreset& CountryPresetAt(int index);

// The reference field's commit: what the field shows, the order position v, the reference
// carrier c = order[v] and the carrier four positions below it, order[v - 4], which the
// generator and the PP carrier fields take.
struct ReferenceChoice {
    QString text;
    int position;
    int carrier;
    int fourBelow;
};
// A text that is not a number is read as "0"; a reference outside 0..32 or below position 9
// falls back to "0" (country EU) or "32" (any other country), silently.
ReferenceChoice CheckReference(const QString& text, bool euCountry);

// The working order table and the extended carrier list, kept for the whole run.
class CarrierPlan {
public:
    CarrierPlan();

    // Steps the reference carrier c brings with `usedCarriers` carriers in use: for c 0 the
    // extended list becomes 0..9; for c 10..18 the working table's positions c - NU + 1..9
    // are overwritten with 0, 1, 2, ...; for c above 9 the extended list takes the working
    // table's entries c - NU + 1..c.
    void applyReference(int carrier, int usedCarriers);

    // The carrier an Extended-mode stepper position stands for; the position is bounded to
    // the list (a stepper whose maximum came from a model with 14 carriers stays inside).
    int extendedCarrierAt(int position) const;
    // The position of a typed carrier text among the positions 0..maxPosition.
    std::optional<int> findExtendedCarrier(const QString& text, int maxPosition) const;

    const std::array<int, kOrderSize>& workingOrder() const { return m_working; }
    const std::array<int, kExtendedListSize>& extendedList() const { return m_extended; }

private:
    std::array<int, kOrderSize> m_working;
    std::array<int, kExtendedListSize> m_extended;
};

// The carrier range of the pages' labels ("[0..4]", "[12..21]"). Offset mode: 0..NU - 1.
// Extended mode: with reference text "0" from 0 to order[order[0] - NU + 1], otherwise from
// order[order[ER] - NU + 1] to order[ER]; a reference text that is not a number reads as 0.
QString CarrierRangeText(bool extendedMode, int usedCarriers, const QString& extendedRef);

// The number of used carriers from its list text; empty when it is not a number in 1..10.
std::optional<int> UsedCarriers(const QString& text);

}  // namespace tavrin::app
