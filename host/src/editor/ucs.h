// The user coordinate system of the input: typed points and the points the input functions
// return are in it; clicks arrive in world coordinates.
#pragma once

#include "arx/ge.h"

namespace zel::editor {

class SysVars;

struct Ucs {
    AcGePoint3d origin;
    AcGeVector3d xAxis{1, 0, 0};
    AcGeVector3d yAxis{0, 1, 0};

    // From UCSORG, UCSXDIR and UCSYDIR (axes that are not usable give the world's).
    static Ucs current(const SysVars& vars);
    AcGeVector3d zAxis() const { return xAxis.crossProduct(yAxis); }
    AcGePoint3d toUcs(const AcGePoint3d& world) const;
    AcGePoint3d toWorld(const AcGePoint3d& ucs) const;
};

} // namespace zel::editor
