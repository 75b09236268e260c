// The handlers of the system group that live outside SystemCommands.cpp, for its table.
#pragma once

#include "CommandContext.h"

namespace tavrin {

// SystemReset.cpp
void SystemReset(CommandContext& ctx);

// SystemService.cpp
void HardwareVersionQuery(CommandContext& ctx);
void FirmwareVersionQuery(CommandContext& ctx);
void SerialNumberQuery(CommandContext& ctx);
void SerialNumberSet(CommandContext& ctx);
void MemorySetup(CommandContext& ctx);
void MemoryDataQuery(CommandContext& ctx);
void PasswordSet(CommandContext& ctx);
void PasswordQuery(CommandContext& ctx);

}  // namespace tavrin
