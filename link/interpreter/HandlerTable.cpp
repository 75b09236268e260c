// Joins the tables of the command groups into one sorted table, checked once for codes that
// two groups claim.
#include "HandlerTable.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace tavrin {
namespace {

std::vector<HandlerEntry> BuildTable() {
    std::vector<HandlerEntry> all;
    for (auto group :
         {SystemHandlers(), ConfigHandlers(), ProcedureHandlers(), MeasurementHandlers()})
        all.insert(all.end(), group.begin(), group.end());
    std::sort(all.begin(), all.end(),
              [](const HandlerEntry& a, const HandlerEntry& b) { return a.code < b.code; });
    for (size_t i = 1; i < all.size(); ++i) {
        if (all[i].code == all[i - 1].code) {
            // A programming error in the tables: never ship with one.
            std::fprintf(stderr, "tavrinlink: two handlers for code %08X\n", all[i].code);
            std::abort();
        }
    }
    return all;
}

}  // namespace

Handler FindHandler(uint32_t code) {
    static const std::vector<HandlerEntry> table = BuildTable();
    auto it = std::lower_bound(table.begin(), table.end(), code,
                               [](const HandlerEntry& e, uint32_t c) { return e.code < c; });
    return (it != table.end() && it->code == code) ? it->handler : nullptr;
}

}  // namespace tavrin
