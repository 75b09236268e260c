// The CONF group: the themes' tables joined, and the helpers they share.
#include <vector>

#include "ConfigGroups.h"
#include "Readers.h"

namespace tavrin {

std::span<const HandlerEntry> ConfigHandlers() {
    static const std::vector<HandlerEntry> all = [] {
        std::vector<HandlerEntry> joined;
        for (auto theme : {ConfigTestHandlers(), ConfigSlotHandlers(), ConfigRfLevelHandlers(),
                           ConfigSignalHandlers(), ConfigPatternHandlers(), ConfigMeasureHandlers(),
                           ConfigPortHandlers()})
            joined.insert(joined.end(), theme.begin(), theme.end());
        return joined;
    }();
    return all;
}

bool ReadUpTo(CommandContext& ctx, int32_t& value, int32_t maximum) {
    int32_t v = 0;
    if (!ReadInteger(ctx, ctx.cursor, v, 0, maximum)) return false;
    if (v < 0 || v > maximum) {
        ctx.Fail(kDataOutOfRange);
        return false;
    }
    value = v;
    return true;
}

bool ReadCarrier(CommandContext& ctx, int32_t& carrier) {
    if (ReadUpTo(ctx, carrier, ctx.link.hw.MaxCarrier) ||
        ReadInteger(ctx, ctx.cursor, carrier, 254, 255)) {
        ctx.link.errors.ErrorCount = 0;
        return true;
    }
    return false;
}

bool FindWord(std::span<const WordValue> words, uint32_t code, int& value) {
    for (const WordValue& w : words) {
        if (w.code == code) {
            value = w.value;
            return true;
        }
    }
    return false;
}

const char* NameOf(std::span<const CodeName> names, uint32_t code) {
    for (const CodeName& n : names)
        if (n.code == code) return n.name;
    return nullptr;
}

}  // namespace tavrin
