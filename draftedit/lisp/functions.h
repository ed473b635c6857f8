// The LISP functions of the drafting edit module: the fixed table (the function code is the
// row index; each is defined as "ZELADS_" + its name) and the section-property engine entry,
// which the section-property command calls directly.
#pragma once

#include "arx/adslib.h"

#include <span>

namespace draftedit {

struct LispFunction {
    const ACHAR* name;
    int (*handler)();
};

std::span<const LispFunction> lispFunctions();

// The handlers, in table order.
int zeladsBlkTrm();
int zeladsDivide();
int zeladsGrav();
int zeladsFileDelete();
int zeladsGetDwgFmt();
int zeladsFCopy();
int zeladsFRen();
int zeladsTxtToWri();
int zeladsSsGet();
int zeladsRedraw();
int zeladsSsFree();
int zeladsSsRedrawAdd();
int zeladsGetBox();

// The section-property engine: arguments (input file, output file) as RTSTR entries; RSRSLT
// when the fourteen values were written, RSERR otherwise.
int zeladsInrt(const resbuf* args);

} // namespace draftedit
