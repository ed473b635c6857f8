// The dialog bar's LISP functions (Zelads_* and ArxCmd_*), defined in every drawing.
#pragma once

#include "companions/zelgui/bar.h"

#include <span>

namespace zelgui {

struct BarFunction {
    const wchar_t* name;
    int (*handler)();
};

// The one dialog bar of the program.
DialogBar& bar();
std::span<const BarFunction> barFunctions();

} // namespace zelgui
