// The carrier plan: order tables, country presets and the reference-carrier rule.
#include "CarrierPlan.h"

#include <algorithm>

#include "EntryRules.h"

namespace tavrin::app {
namespace {

constexpr std::array<int, kOrderSize> MakeOrder() {
    std::array<int, kOrderSize> order{};
    for (int i = 0; i < kOrderSize; ++i) order[i] = i < 10 ? 9 - i : i;
    return order;
}

constexpr std::array<int, kOrderSize> kOrder = MakeOrder();
constexpr int kFirstReferencePosition = 9;
constexpr int kLastReference = 32;

constexpr std::array<CountryPreset, 6> kPresets{{
    {"EU", 0, 10, 9, 9, 10},
    {"US", -18, 5, 4, 27, 5},
    {"Asia", -12, 10, std::nullopt, 21, 10},
    {"LatAm", -18, 10, std::nullopt, 27, 10},
    {"Brazil", -12, 5, std::nullopt, 21, 5},
    {"JP", -3, 5, std::nullopt, 12, 5},
}};
constexpr CountryPreset kOtherCountry{"", 0, 10, std::nullopt, 9, 10};

}  // namespace

const std::array<int, kOrderSize>& CarrierOrder() {
    return kOrder;
}

int OrderAt(int index) {
    return kOrder[std::clamp(index, 0, kOrderSize - 1)];
}

int ReferenceStepperCarrier(int position) {
    return position >= 0 && position <= 31 ? kOrder[position] : kLastReference;
}

std::span<const CountryPreset> CountryPresets() {
    return kPresets;
}

int CountryIndex(const QString& text) {
    for (size_t i = 0; i < kPresets.size(); ++i)
        if (text == kPresets[i].name) return static_cast<int>(i);
    return -1;
}

const CountryPreset& CountryPresetAt(int index) {
    if (index < 0 || index >= static_cast<int>(kPresets.size())) return kOtherCountry;
    return kPresets[index];
}

ReferenceChoice CheckReference(const QString& text, bool euCountry) {
    ReferenceChoice r;
    r.text = text;
    const std::optional<int> typed = ParseInteger(text);
    const int er = typed.value_or(0);
    if (!typed) r.text = "0";
    const bool inTable = er >= 0 && er <= kLastReference;
    r.position = inTable ? kOrder[er] : -1;
    if (!inTable || r.position < kFirstReferencePosition || r.position > kLastReference) {
        r.text = euCountry ? "0" : "32";
        r.position = euCountry ? kFirstReferencePosition : kLastReference;
    }
    r.carrier = kOrder[r.position];
    r.fourBelow = kOrder[r.position - 4];
    return r;
}

CarrierPlan::CarrierPlan() : m_working(kOrder) {
    for (int p = 0; p < kExtendedListSize; ++p) m_extended[p] = kOrder[p];
}

void CarrierPlan::applyReference(int carrier, int usedCarriers) {
    const int nu = std::clamp(usedCarriers, 1, kMaxUsedCarriers);
    if (carrier == 0) {
        for (int p = 0; p < kExtendedListSize; ++p) m_extended[p] = p;
    }
    if (carrier >= 10 && carrier <= 18) {
        int next = 0;
        for (int p = carrier - nu + 1; p <= 9; ++p) m_working[p] = next++;
    }
    if (carrier > 9 && carrier < kOrderSize) {
        for (int p = 0; p < nu; ++p) m_extended[p] = m_working[carrier - nu + 1 + p];
    }
}

int CarrierPlan::extendedCarrierAt(int position) const {
    return m_extended[std::clamp(position, 0, kExtendedListSize - 1)];
}

std::optional<int> CarrierPlan::findExtendedCarrier(const QString& text, int maxPosition) const {
    const int last = std::min(maxPosition, kExtendedListSize - 1);
    for (int p = 0; p <= last; ++p)
        if (text == QString::number(m_extended[p])) return p;
    return std::nullopt;
}

QString CarrierRangeText(bool extendedMode, int usedCarriers, const QString& extendedRef) {
    const int nu = usedCarriers;
    if (!extendedMode) return "[0.." + QString::number(nu - 1) + "]";
    const int er = ParseInteger(extendedRef).value_or(0);
    if (er == 0) return "[0.." + QString::number(OrderAt(OrderAt(0) - nu + 1)) + "]";
    return "[" + QString::number(OrderAt(OrderAt(er) - nu + 1)) + ".." +
           QString::number(OrderAt(er)) + "]";
}

std::optional<int> UsedCarriers(const QString& text) {
    const std::optional<int> v = ParseInteger(text);
    if (!v || *v < 1 || *v > kMaxUsedCarriers) return std::nullopt;
    return v;
}

}  // namespace tavrin::app
