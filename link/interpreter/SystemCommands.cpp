// "SYST", "STAT" and the common commands.
#include "HandlerTable.h"
#include "Readers.h"

namespace tavrin {
namespace {

// "SYST:ERR?": the text of the last error, which reporting clears.
void SystemErrorQuery(CommandContext& ctx) {
    const uint8_t last = ctx.link.errors.LastError;
    ctx.link.Answer("%s", kErrorTexts[last < kErrorTexts.size() ? last : 0]);
    ctx.link.errors.LastError = kNoError;
}

// "*IDN?": the library version.
void IdentityQuery(CommandContext& ctx) { ctx.link.Answer("3.2.0"); }

constexpr HandlerEntry kSystemHandlers[] = {
    {0x56800001, SystemErrorQuery},
    {0x00000403, IdentityQuery},
};

}  // namespace

std::span<const HandlerEntry> SystemHandlers() { return kSystemHandlers; }

}  // namespace tavrin
