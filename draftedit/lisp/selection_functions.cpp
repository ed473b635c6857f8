// The selection functions of the module's LISP table: ZELADS_SSFREE here; ZELADS_REDRAW and
// ZELADS_SSREDRAWADD in highlight_functions.cpp, ZELADS_GETBOX in getbox.cpp. ZELADS_SSGET
// needs a filter of the keys typed during a selection, which the host does not offer yet: it
// says so and fails.
#include "draftedit/lisp/args.h"
#include "draftedit/lisp/functions.h"

namespace draftedit {
namespace {

int notAvailable(const ACHAR* lispName) {
    acutPrintf(L"\n%s は未実装です (not available yet).", lispName);
    return RSERR;
}

} // namespace

int zeladsSsGet() {
    return notAvailable(L"ZELADS_SSGET");
}

// Frees the set when the first argument is a selection set; anything else is ignored.
int zeladsSsFree() {
    RbList args = callArguments();
    if (args && args->restype == RTPICKS) acedSSFree(args->resval.rlname);
    return RSRSLT;
}

} // namespace draftedit
