// How the C-style API of the editor calls into the host.
#pragma once

#include "arx/ads.h"
#include "editor/editor.h"

namespace zel::editor {

// Runs an API call on the current editor; `failure` (RTERROR unless the call says otherwise)
// when no editor runs or the host failed inside (no exception reaches the caller's C code).
template <class Fn> int guarded(Fn&& fn, int failure = RTERROR) {
    Editor* ed = currentEditor();
    if (!ed) return failure;
    try {
        return fn(*ed);
    } catch (...) {
        return failure;
    }
}

} // namespace zel::editor
