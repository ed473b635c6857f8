// Dragging, object snap and coordinate systems of the C-style API: acedDragGen, acedOsnap,
// acedTrans.
#include "arx/db.h"
#include "arx/dbads.h"
#include "arx/ed.h"
#include "db/curvegeom.h"
#include "editor/api_guard.h"
#include "editor/input.h"

#include <cwctype>
#include <optional>
#include <string>

namespace zel::editor {
namespace {

void copyPoint(const AcGePoint3d& p, ads_point out) {
    out[X] = p.x;
    out[Y] = p.y;
    out[Z] = p.z;
}

void identity(ads_matrix m) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            m[r][c] = r == c ? 1.0 : 0.0;
}

// Asks the sampler about one point; false when it wants the drag ended.
bool sample(int (*scnf)(ads_point, ads_matrix), const AcGePoint3d& ucs) {
    ads_point p;
    copyPoint(ucs, p);
    ads_matrix m;
    identity(m);
    return scnf(p, m) != RTERROR;
}

// "END,MID,..." as OSMODE bits; nullopt for a name that is no object-snap mode.
std::optional<int> osnapBits(const std::wstring& modes) {
    int bits = 0;
    size_t start = 0;
    while (start <= modes.size()) {
        size_t end = modes.find(L',', start);
        if (end == std::wstring::npos) end = modes.size();
        std::wstring name = modes.substr(start, end - start);
        start = end + 1;
        if (name.empty()) continue;
        std::optional<int> b = osnapOverrideOf(name);
        if (!b) return std::nullopt;
        bits |= *b;
    }
    return bits;
}

// A coordinate system of acedTrans: its origin and axes in world coordinates.
struct Frame {
    AcGePoint3d origin;
    AcGeVector3d x{1, 0, 0}, y{0, 1, 0}, z{0, 0, 1};

    AcGePoint3d toWorld(const AcGePoint3d& p, bool disp) const {
        AcGeVector3d v = x * p.x + y * p.y + z * p.z;
        return disp ? AcGePoint3d(v.x, v.y, v.z) : origin + v;
    }
    AcGePoint3d fromWorld(const AcGePoint3d& w, bool disp) const {
        AcGeVector3d v = disp ? AcGeVector3d(w.x, w.y, w.z) : w - origin;
        return AcGePoint3d(v.dotProduct(x), v.dotProduct(y), v.dotProduct(z));
    }
};

Frame planeFrame(const AcGeVector3d& normal) {
    Frame f;
    f.z = normal.normal();
    db::geom::planeAxes(f.z, f.x, f.y);
    return f;
}

// The extrusion direction of an entity (group 210), the world's Z when it has none.
std::optional<AcGeVector3d> entityNormal(const ads_name ent) {
    resbuf* list = acdbEntGet(ent);
    if (!list) return std::nullopt;
    AcGeVector3d n(0, 0, 1);
    for (const resbuf* rb = list; rb; rb = rb->rbnext)
        if (rb->restype == 210)
            n = AcGeVector3d(rb->resval.rpoint[X], rb->resval.rpoint[Y], rb->resval.rpoint[Z]);
    acutRelRb(list);
    return n;
}

// World 0, UCS 1, display 2 (the plan view of the world), paper-space display 3; an entity
// name for its object coordinate system; a 3-D vector for the plane it is the normal of.
std::optional<Frame> frameOf(Editor& ed, const resbuf* code) {
    if (!code) return std::nullopt;
    switch (code->restype) {
    case RTSHORT:
    case RTLONG: {
        int c = code->restype == RTSHORT ? code->resval.rint : code->resval.rlong;
        if (c == 1) {
            Ucs u = Ucs::current(ed.vars());
            Frame f;
            f.origin = u.origin;
            f.x = u.xAxis;
            f.y = u.yAxis;
            f.z = u.zAxis();
            return f;
        }
        if (c == 0 || c == 2 || c == 3) return Frame{};
        return std::nullopt;
    }
    case RTENAME: {
        std::optional<AcGeVector3d> n = entityNormal(code->resval.rlname);
        if (!n) return std::nullopt;
        return planeFrame(*n);
    }
    case RT3DPOINT: {
        AcGeVector3d n(code->resval.rpoint[X], code->resval.rpoint[Y], code->resval.rpoint[Z]);
        if (n.isZeroLength()) return std::nullopt;
        return planeFrame(n);
    }
    default:
        return std::nullopt;
    }
}

} // namespace
} // namespace zel::editor

using namespace zel::editor;

int acedDragGen(const ads_name ss, const ACHAR* prompt, int cursor,
                int (*scnf)(ads_point pt, ads_matrix mt), ads_point result) {
    return guarded([&](Editor& ed) -> int {
        if (!scnf || !result) {
            ed.takeInitGet();
            return RTERROR;
        }
        InputRequest req;
        req.kind = InputKind::Point;
        req.prompt = prompt ? prompt : L"";
        req.init = ed.takeInitGet();
        req.drag = true;
        Editor::DragSampler previous =
            ed.setDragSampler([scnf](const AcGePoint3d& ucs) { return sample(scnf, ucs); });
        InputResult r = requestInput(ed, req);
        ed.setDragSampler(std::move(previous));
        if (r.status != RTNORM) return r.status;
        sample(scnf, r.point); // the sampler sees where the drag ended
        copyPoint(r.point, result);
        return RTNORM;
    });
}

int acedOsnap(const ads_point pt, const ACHAR* mode, ads_point result) {
    return guarded([&](Editor& ed) -> int {
        if (!pt || !mode || !result) return RTERROR;
        std::optional<int> bits = osnapBits(mode);
        if (!bits || *bits == 0 || !ed.osnapHook()) return RTERROR;
        Ucs u = Ucs::current(ed.vars());
        AcGePoint3d world = u.toWorld(AcGePoint3d(pt[X], pt[Y], pt[Z]));
        AcGePoint3d snapped = ed.osnapHook()(world, *bits);
        if (snapped.isEqualTo(world)) return RTERROR;
        copyPoint(u.toUcs(snapped), result);
        return RTNORM;
    });
}

int acedTrans(const ads_point pt, const struct resbuf* from, const struct resbuf* to, int disp,
              ads_point result) {
    return guarded([&](Editor& ed) -> int {
        if (!pt || !result) return RTERROR;
        std::optional<Frame> a = frameOf(ed, from), b = frameOf(ed, to);
        if (!a || !b) return RTERROR;
        AcGePoint3d world = a->toWorld(AcGePoint3d(pt[X], pt[Y], pt[Z]), disp != 0);
        copyPoint(b->fromWorld(world, disp != 0), result);
        return RTNORM;
    });
}
