// A module's command table and its registration in a command group of the module's own: rows
// of global name, local name, flag index and entry procedure, registered in table order.
#pragma once

#include "arx/aced.h"

#include <span>
#include <string>

namespace zelframe {

struct CommandRow {
    const ACHAR* globalName; // without the command prefix
    const ACHAR* localName;
    int flagIndex; // into the module's flag array
    AcRxFunctionPtr handler;
};

// The command flags by flag index (2 ACRX_CMD_USEPICKSET, 6 the same plus ACRX_CMD_REDRAW).
inline constexpr int32_t kCommandFlags[] = {2, 0, 1, 3, 6};

// "ZEL_DLL_COMMANDS3" and the like: the command prefix and the module number.
std::wstring groupName(const ACHAR* prefix, int moduleNumber);

// Registers every row: "prefix + global" and, with prefixLocal, "prefix + local" (else the
// local name as it stands). A row the command stack refuses is left out; the rest go on.
void registerCommands(const std::wstring& group, const ACHAR* prefix, bool prefixLocal,
                      std::span<const CommandRow> rows, std::span<const int32_t> flags);
void removeCommands(const std::wstring& group);

} // namespace zelframe
