// "CONF:COMM:PORT": the connection port. Only USB is a transport; the parallel-port words
// of older setups are refused.
#include "ConfigGroups.h"
#include "Readers.h"
#include "transport/PortSelection.h"

namespace tavrin {
namespace {

void CommPort(CommandContext& ctx) {
    Link& link = ctx.link;
    if (ctx.IsQuery()) {
        if (link.conf.CommPort == code::CommPortUsb) {
            link.Answer("USB");
        } else if (link.conf.CommPort == code::CommPortNone) {
            link.Answer("NONE");
        } else {
            link.Answer("INV");  // no port chosen yet
        }
        return;
    }
    if (ctx.paramCode == code::USB) {
        ChooseUsbPort(link);
    } else if (ctx.paramCode == code::NONE) {
        ChooseNoPort(link);
    } else {
        ctx.Fail(kParameterNotAllowed);
    }
}

constexpr HandlerEntry kPortHandlers[] = {
    {0x12940000, CommPort},  // CONF:COMM:PORT
    {0x12940001, CommPort},
};

}  // namespace

std::span<const HandlerEntry> ConfigPortHandlers() { return kPortHandlers; }

}  // namespace tavrin
