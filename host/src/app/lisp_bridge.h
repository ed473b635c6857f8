// The LISP functions that reach the drawing through the C-style API: the ssget family, the
// entity functions (entget entmod entmake entdel entupd entlast entnext handent) and entsel.
#pragma once

#include "lisp/host_bridge.h"

namespace zel::app {

void connectDrawingFunctions(lisp::HostBridge& bridge);

} // namespace zel::app
