// The selection, highlight and box functions of the module's LISP table. ZELADS_SSFREE is
// here; ZELADS_SSGET, ZELADS_REDRAW, ZELADS_SSREDRAWADD and ZELADS_GETBOX run on the command
// framework (key filter, drag sampler, highlight services), which the module does not have
// yet: they say so and fail.
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

int zeladsRedraw() {
    return notAvailable(L"ZELADS_REDRAW");
}

int zeladsSsRedrawAdd() {
    return notAvailable(L"ZELADS_SSREDRAWADD");
}

int zeladsGetBox() {
    return notAvailable(L"ZELADS_GETBOX");
}

// Frees the set when the first argument is a selection set; anything else is ignored.
int zeladsSsFree() {
    RbList args = callArguments();
    if (args && args->restype == RTPICKS) acedSSFree(args->resval.rlname);
    return RSRSLT;
}

} // namespace draftedit
