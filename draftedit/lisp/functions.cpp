// The table of the module's LISP functions (see functions.h).
#include "draftedit/lisp/functions.h"

#include <array>

namespace draftedit {

std::span<const LispFunction> lispFunctions() {
    static const std::array<LispFunction, 13> table = {{
        {L"BLKTRM", zeladsBlkTrm},
        {L"DIVIDE", zeladsDivide},
        {L"GRAV", zeladsGrav},
        {L"FILEDELETE", zeladsFileDelete},
        {L"GETDWGFMT", zeladsGetDwgFmt},
        {L"FCOPY", zeladsFCopy},
        {L"FREN", zeladsFRen},
        {L"TXTTOWRI", zeladsTxtToWri},
        {L"SSGET", zeladsSsGet},
        {L"REDRAW", zeladsRedraw},
        {L"SSFREE", zeladsSsFree},
        {L"SSREDRAWADD", zeladsSsRedrawAdd},
        {L"GETBOX", zeladsGetBox},
    }};
    return table;
}

} // namespace draftedit
