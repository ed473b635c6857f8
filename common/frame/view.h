// The view of the current viewport as the commands remember it: its centre (VIEWCTR) and height
// (VIEWSIZE). Preview vectors drawn in one view are undrawn only in the same view (a zoom or
// pan redraws the screen anyway).
#pragma once

#include "arx/ge.h"

namespace zelframe {

struct View {
    AcGePoint3d centre;
    double size = 0;
    // The centre within the global tolerance, the size exactly.
    bool sameAs(const AcGePoint3d& c, double s) const { return centre.isEqualTo(c) && size == s; }
};

View currentView();

} // namespace zelframe
