// The handlers of the procedure group that live outside ProcedureCommands.cpp, for its table.
#pragma once

#include <string>

#include "CommandContext.h"

namespace tavrin {

// TemplateCheck.cpp
void LimitRmpa(CommandContext& ctx);
void LimitRmpb(CommandContext& ctx);
void LimitRmpc(CommandContext& ctx);
void LimitRmpd(CommandContext& ctx);
void LimitRmpe(CommandContext& ctx);
void LimitRmpf(CommandContext& ctx);
void TemplateMatchQuery(CommandContext& ctx);

// Where the template check writes its trace: $XDG_STATE_HOME/tavrin/template-check.txt, or
// ~/.local/state/tavrin/template-check.txt; empty when neither place can be named.
std::string TemplateTracePath();

}  // namespace tavrin
