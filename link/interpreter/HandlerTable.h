// The handler table: command code to handler, as data. Each group of commands keeps its own
// table in its own file; the lookup joins them.
#pragma once

#include <cstdint>
#include <span>

#include "CommandContext.h"

namespace tavrin {

struct HandlerEntry {
    uint32_t code;
    Handler handler;
};

// The tables of the command groups.
std::span<const HandlerEntry> SystemHandlers();       // SYST, STAT, common commands
std::span<const HandlerEntry> ConfigHandlers();       // CONF
std::span<const HandlerEntry> ProcedureHandlers();    // PROC, SENS, CALC, SOUR
std::span<const HandlerEntry> MeasurementHandlers();  // READ, FETC, SCAL, STRT

// nullptr when no handler has exactly this code.
Handler FindHandler(uint32_t code);

}  // namespace tavrin
