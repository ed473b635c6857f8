#include "db/planar.h"

#include "core/tolerance.h"

#include <cmath>

namespace zel::db {

int planeFacing(const AcGeVector3d& n) {
    if (std::abs(n.x) > tol::kParallel || std::abs(n.y) > tol::kParallel) return 0;
    return n.z > 0 ? 1 : -1;
}

geom::Polyline planarPolyline(const AcDbPolyline& p, int facing) {
    geom::Polyline out;
    for (unsigned i = 0; i < p.numVerts(); ++i) {
        AcGePoint3d pt;
        double bulge = 0;
        p.getPointAt(i, pt);
        p.getBulgeAt(i, bulge);
        out.vertices.push_back({geom::Vec2{pt.x, pt.y}, facing * bulge});
    }
    out.closed = p.isClosed();
    return out;
}

} // namespace zel::db
