// The PROC, SENS, CALC and SOUR commands.
#include "HandlerTable.h"
#include "Readers.h"

namespace tavrin {

std::span<const HandlerEntry> ProcedureHandlers() { return {}; }

}  // namespace tavrin
