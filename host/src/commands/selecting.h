// The selection prompt as host commands run it (tokens of acedCommandS / acedCmdS first).
#pragma once

#include "commands/engine.h"
#include "editor/selection.h"

namespace zel::commands {

// Runs "オブジェクトを選択:"; Esc throws Cancelled. Empty when nothing was selected.
editor::EntityIds selectForCommand(Engine& e);

} // namespace zel::commands
