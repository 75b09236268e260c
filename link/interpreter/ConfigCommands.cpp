// The CONF commands.
#include "HandlerTable.h"
#include "Readers.h"

namespace tavrin {

std::span<const HandlerEntry> ConfigHandlers() { return {}; }

}  // namespace tavrin
