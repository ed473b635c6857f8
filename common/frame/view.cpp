#include "common/frame/view.h"

#include "arx/ed.h"

namespace zelframe {

View currentView() {
    View v;
    resbuf rb{};
    if (acedGetVar(L"VIEWCTR", &rb) == RTNORM && (rb.restype == RT3DPOINT || rb.restype == RTPOINT))
        v.centre = AcGePoint3d(rb.resval.rpoint[0], rb.resval.rpoint[1], rb.resval.rpoint[2]);
    if (acedGetVar(L"VIEWSIZE", &rb) == RTNORM && rb.restype == RTREAL) v.size = rb.resval.rreal;
    return v;
}

} // namespace zelframe
