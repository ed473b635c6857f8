#include "common/services/sysvar.h"

#include "arx/ed.h"

int IntVar(const ACHAR* name, int fallback) {
    resbuf rb{};
    if (acedGetVar(name, &rb) != RTNORM) return fallback;
    if (rb.restype == RTSHORT) return rb.resval.rint;
    if (rb.restype == RTLONG) return rb.resval.rlong;
    return fallback;
}

double RealVar(const ACHAR* name, double fallback) {
    resbuf rb{};
    if (acedGetVar(name, &rb) != RTNORM) return fallback;
    if (rb.restype == RTREAL) return rb.resval.rreal;
    if (rb.restype == RTSHORT) return rb.resval.rint;
    return fallback;
}

int SetShortVar(const ACHAR* name, int value) {
    resbuf rb{};
    rb.restype = RTSHORT;
    rb.resval.rint = static_cast<short>(value);
    return acedSetVar(name, &rb);
}

int SetTextVar(const ACHAR* name, const std::wstring& value) {
    resbuf rb{};
    rb.restype = RTSTR;
    rb.resval.rstring = const_cast<ACHAR*>(value.c_str());
    return acedSetVar(name, &rb);
}
