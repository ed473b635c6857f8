// The text commands: the module's command table and the flags its commands share.
#pragma once

#include "common/frame/cmdtable.h"

#include <span>

namespace drafttext {

inline constexpr const ACHAR* kCommandPrefix = L"ZEL_";
inline constexpr int kModuleNumber = 4;
// The module's flag array (the general one without its last entry).
inline constexpr int32_t kFlags[] = {2, 0, 1, 3};

std::span<const zelframe::CommandRow> commandTable();

// Set by ZEL_INITTEXT (dll_zel_InitFunc): the next text placement first sets its text height
// up anew. Taken (and cleared) by the text placement command.
extern bool gInitTextRequested;
// Whether the text commands may distribute texts evenly (set when the commands are registered).
extern int gEvenSpacingAvailable;

} // namespace drafttext

// Exported by the module: asks the next text placement to set its text height up anew.
extern "C" void dll_zel_InitFunc();
