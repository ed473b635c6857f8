#include "editor/tempgraphics.h"

#include "arx/ed.h"
#include "core/tolerance.h"
#include "editor/api_guard.h"

#include <cstdlib>

namespace zel::editor {

namespace {

bool samePoint(const AcGePoint3d& a, const AcGePoint3d& b) {
    return a.distanceTo(b) <= zel::tol::kPoint;
}

bool sameVector(const TempVector& a, const TempVector& b) {
    return a.colour == b.colour && ((samePoint(a.from, b.from) && samePoint(a.to, b.to)) ||
                                    (samePoint(a.from, b.to) && samePoint(a.to, b.from)));
}

} // namespace

void TempGraphics::draw(const TempVector& v) {
    if (v.colour < 0) {
        for (auto it = mVectors.begin(); it != mVectors.end(); ++it) {
            if (!sameVector(*it, v)) continue;
            mVectors.erase(it);
            return;
        }
    }
    mVectors.push_back(v);
}

} // namespace zel::editor

namespace {

AcGePoint3d transformed(const ads_point p, const ads_real (*t)[4]) {
    AcGePoint3d q(p[0], p[1], p[2]);
    if (!t) return q;
    return AcGePoint3d(t[0][0] * q.x + t[0][1] * q.y + t[0][2] * q.z + t[0][3],
                       t[1][0] * q.x + t[1][1] * q.y + t[1][2] * q.z + t[1][3],
                       t[2][0] * q.x + t[2][1] * q.y + t[2][2] * q.z + t[2][3]);
}

} // namespace

int acedGrDraw(const ads_point from, const ads_point to, int colour, int highlight) {
    using zel::editor::Editor;
    return zel::editor::guarded([&](Editor& ed) -> int {
        ed.tempGraphics().draw({transformed(from, nullptr), transformed(to, nullptr),
                                highlight ? -std::abs(colour) - 1 : colour});
        return RTNORM;
    });
}

int acedGrVecs(const struct resbuf* vlist, ads_matrix mat) {
    using zel::editor::Editor;
    return zel::editor::guarded([&](Editor& ed) -> int {
        const ads_real(*m)[4] = mat;
        int colour = 7;
        for (const resbuf* rb = vlist; rb; rb = rb->rbnext) {
            if (rb->restype == RTSHORT || rb->restype == RTLONG) {
                colour = rb->restype == RTSHORT ? rb->resval.rint : rb->resval.rlong;
                continue;
            }
            if (rb->restype != RTPOINT && rb->restype != RT3DPOINT) return RTERROR;
            const resbuf* end = rb->rbnext;
            if (!end || (end->restype != RTPOINT && end->restype != RT3DPOINT)) return RTERROR;
            ed.tempGraphics().draw(
                {transformed(rb->resval.rpoint, m), transformed(end->resval.rpoint, m), colour});
            rb = end;
        }
        return RTNORM;
    });
}
