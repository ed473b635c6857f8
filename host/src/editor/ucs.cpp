#include "editor/ucs.h"

#include "core/tolerance.h"
#include "editor/sysvars.h"

namespace zel::editor {

Ucs Ucs::current(const SysVars& vars) {
    Ucs u;
    u.origin = vars.point(L"UCSORG");
    AcGeVector3d x = vars.point(L"UCSXDIR").asVector();
    AcGeVector3d y = vars.point(L"UCSYDIR").asVector();
    bool usable = x.length() > tol::kVectorLength && y.length() > tol::kVectorLength &&
                  x.normal().crossProduct(y.normal()).length() > tol::kParallel;
    if (!usable) return u;
    u.xAxis = x.normal();
    // y made exactly perpendicular to x, in the plane of the two
    u.yAxis = (y - u.xAxis * y.dotProduct(u.xAxis)).normal();
    return u;
}

AcGePoint3d Ucs::toUcs(const AcGePoint3d& world) const {
    AcGeVector3d d = world - origin;
    return AcGePoint3d(d.dotProduct(xAxis), d.dotProduct(yAxis), d.dotProduct(zAxis()));
}

AcGePoint3d Ucs::toWorld(const AcGePoint3d& ucs) const {
    return origin + xAxis * ucs.x + yAxis * ucs.y + zAxis() * ucs.z;
}

} // namespace zel::editor
