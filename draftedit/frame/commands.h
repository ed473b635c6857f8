// The drafting edit module's command table.
#pragma once

#include "common/frame/cmdtable.h"

#include <span>

namespace draftedit {

inline constexpr const ACHAR* kCommandPrefix = L"ZEL_";
inline constexpr const ACHAR* kLispPrefix = L"ZELADS_";
inline constexpr int kModuleNumber = 3;

std::span<const zelframe::CommandRow> commandTable();

} // namespace draftedit
