// Outline measurements on selection sets (see outline.h); the geometry is in the engines.
#include "draftedit/lisp/outline.h"

#include "draftedit/engines/enclosing.h"
#include "draftedit/engines/extents.h"
#include "draftedit/engines/gaps.h"
#include "draftedit/lisp/args.h"

#include <cmath>
#include <cwctype>
#include <new>
#include <optional>
#include <string>
#include <vector>

namespace draftedit {
namespace {

using engines::OutlineElement;
using engines::Pt;

bool sameType(const ACHAR* type, const ACHAR* wanted) {
    if (!type) return false;
    for (; *type && *wanted; ++type, ++wanted)
        if (std::towupper(*type) != std::towupper(*wanted)) return false;
    return *type == *wanted;
}

// The entity data of interest: its type and the groups 10, 11, 40, 50, 51.
struct EntityData {
    std::wstring type;
    ads_point p10{}, p11{};
    double radius = 0, start = 0, end = 0;
};

std::optional<EntityData> readEntity(const ads_name ent) {
    RbList list(acdbEntGet(ent));
    if (!list) return std::nullopt;
    EntityData d;
    for (const resbuf* rb = list.get(); rb; rb = rb->rbnext) {
        switch (rb->restype) {
        case 0:
            d.type = rb->resval.rstring ? rb->resval.rstring : L"";
            break;
        case 10:
            ads_point_set(rb->resval.rpoint, d.p10);
            break;
        case 11:
            ads_point_set(rb->resval.rpoint, d.p11);
            break;
        case 40:
            d.radius = rb->resval.rreal;
            break;
        case 50:
            d.start = rb->resval.rreal;
            break;
        case 51:
            d.end = rb->resval.rreal;
            break;
        }
    }
    return d;
}

// A point (or with disp a direction) of the entity's own system in the UCS.
Pt toUcs(const ads_name ent, const ads_point p, bool disp = false) {
    resbuf from{}, to{};
    from.restype = RTENAME;
    ads_name_set(ent, from.resval.rlname);
    to.restype = RTSHORT;
    to.resval.rint = 1;
    ads_point out{p[X], p[Y], p[Z]};
    acedTrans(p, &from, &to, disp ? 1 : 0, out);
    return {out[X], out[Y]};
}

// An arc of the entity's system in the UCS: its angles are those of its ends seen from the
// centre there, start and end swapped when the entity's system faces the other way.
OutlineElement arcInUcs(const ads_name ent, const EntityData& d, double factor) {
    OutlineElement e;
    e.kind = OutlineElement::Kind::Arc;
    const ads_point startPt{d.p10[X] + d.radius * std::cos(d.start),
                            d.p10[Y] + d.radius * std::sin(d.start), d.p10[Z]};
    const ads_point endPt{d.p10[X] + d.radius * std::cos(d.end),
                          d.p10[Y] + d.radius * std::sin(d.end), d.p10[Z]};
    const Pt c = toUcs(ent, d.p10), s = toUcs(ent, startPt), t = toUcs(ent, endPt);
    const ads_point xAxis{1, 0, 0}, yAxis{0, 1, 0};
    const Pt ux = toUcs(ent, xAxis, true), uy = toUcs(ent, yAxis, true);
    const bool facesAway = ux.x * uy.y - ux.y * uy.x < 0;
    double a = std::atan2(s.y - c.y, s.x - c.x), b = std::atan2(t.y - c.y, t.x - c.x);
    if (facesAway) std::swap(a, b);
    e.centre = {c.x / factor, c.y / factor};
    e.radius = d.radius / factor;
    e.start = a;
    e.end = b;
    return e;
}

std::optional<OutlineElement> elementOf(const ads_name ent, double factor) {
    std::optional<EntityData> d = readEntity(ent);
    if (!d) return std::nullopt;
    OutlineElement e;
    if (sameType(d->type.c_str(), L"LINE")) {
        const Pt a = toUcs(ent, d->p10), b = toUcs(ent, d->p11);
        e.p1 = {a.x / factor, a.y / factor};
        e.p2 = {b.x / factor, b.y / factor};
        return e;
    }
    if (sameType(d->type.c_str(), L"CIRCLE")) {
        const Pt c = toUcs(ent, d->p10);
        e.kind = OutlineElement::Kind::Circle;
        e.centre = {c.x / factor, c.y / factor};
        e.radius = d->radius / factor;
        return e;
    }
    if (sameType(d->type.c_str(), L"ARC")) return arcInUcs(ent, *d, factor);
    return std::nullopt;
}

std::vector<OutlineElement> readElements(const ads_name set, double factor) {
    std::vector<OutlineElement> elements;
    int32_t n = 0;
    if (acedSSLength(set, &n) != RTNORM) return elements;
    for (int32_t i = 0; i < n; ++i) {
        ads_name ent;
        if (acedSSName(set, i, ent) != RTNORM) continue;
        if (std::optional<OutlineElement> e = elementOf(ent, factor)) elements.push_back(*e);
    }
    return elements;
}

resbuf* pointNode(Pt p) {
    resbuf* rb = acutNewRb(RT3DPOINT);
    if (!rb) return nullptr;
    rb->resval.rpoint[X] = p.x;
    rb->resval.rpoint[Y] = p.y;
    rb->resval.rpoint[Z] = 0;
    return rb;
}

bool usableFactor(double factor) {
    return std::isfinite(factor) && factor != 0;
}

} // namespace

int makeElementSet(const ads_name outlines, ads_name result) {
    if (acedSSAdd(nullptr, nullptr, result) != RTNORM) return RTERROR;
    ads_name last{};
    bool hasLast = acdbEntLast(last) == RTNORM;
    for (ads_name next; hasLast && acdbEntNext(last, next) == RTNORM;)
        ads_name_set(next, last);
    int32_t n = 0;
    if (outlines && acedSSLength(outlines, &n) != RTNORM) n = 0;
    for (int32_t i = 0; i < n; ++i) {
        ads_name ent;
        if (acedSSName(outlines, i, ent) != RTNORM) continue;
        std::optional<EntityData> d = readEntity(ent);
        if (!d) continue;
        // Lines and arcs are pieces already; exploding them would lose them.
        const bool piece = sameType(d->type.c_str(), L"CIRCLE") ||
                           sameType(d->type.c_str(), L"LINE") || sameType(d->type.c_str(), L"ARC");
        if (piece) {
            acedSSAdd(ent, result, result);
            continue;
        }
        acedCommandS(RTSTR, L"_.EXPLODE", RTENAME, ent, RTSTR, L"", RTNONE);
        // The host may give the first piece the outline's place (and name); the other
        // pieces follow the entity that was last.
        std::optional<EntityData> after = readEntity(ent);
        if (after && after->type != d->type) acedSSAdd(ent, result, result);
    }
    // The pieces of the explodes follow the entity that was last before them.
    ads_name ent, next;
    int rc = hasLast ? acdbEntNext(last, ent) : acdbEntNext(nullptr, ent);
    while (rc == RTNORM) {
        acedSSAdd(ent, result, result);
        rc = acdbEntNext(ent, next);
        ads_name_set(next, ent);
    }
    return RTNORM;
}

resbuf* outlineExtents(const ads_name set, double angle, double factor) {
    if (!set || !usableFactor(factor) || !std::isfinite(angle)) return nullptr;
    try {
        std::optional<engines::Extents> x =
            engines::extentsAtAngle(readElements(set, factor), angle);
        if (!x) return nullptr;
        ads_point middle{x->middle.x, x->middle.y, 0};
        return acutBuildList(RT3DPOINT, middle, RTREAL, x->width, RTREAL, x->height, 0);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

resbuf* outlineEnclosingCircle(const ads_name set, double factor) {
    if (!set || !usableFactor(factor)) return nullptr;
    engines::EnclosingResult r;
    try {
        r = engines::smallestEnclosingCircle(readElements(set, factor));
    } catch (const std::bad_alloc&) {
        acutPrintf(L" zt : ads_malloc Error \n");
        return nullptr;
    }
    switch (r.status) {
    case engines::EnclosingResult::Status::Found: {
        ads_point centre{r.circle.centre.x, r.circle.centre.y, 0};
        return acutBuildList(RT3DPOINT, centre, RTREAL, r.circle.radius, 0);
    }
    case engines::EnclosingResult::Status::TooFewPoints:
        acutPrintf(L" ZelAds_getmmxp Error[%d] \n", -5);
        return nullptr;
    case engines::EnclosingResult::Status::NoConvergence:
        acutPrintf(L" ZelAds_check_elm Over Time Error[%d] \n", r.rounds);
        return nullptr;
    }
    return nullptr;
}

namespace {

std::vector<Pt> gapEnds(const ads_name set) {
    std::vector<Pt> ends;
    int32_t n = 0;
    if (!set || acedSSLength(set, &n) != RTNORM) return ends;
    for (int32_t i = 0; i < n; ++i) {
        ads_name ent;
        if (acedSSName(set, i, ent) != RTNORM) continue;
        std::optional<EntityData> d = readEntity(ent);
        if (!d) continue;
        if (sameType(d->type.c_str(), L"LINE")) {
            ends.push_back(toUcs(ent, d->p10));
            ends.push_back(toUcs(ent, d->p11));
        } else if (sameType(d->type.c_str(), L"ARC")) {
            for (double a : {d->start, d->end}) {
                const ads_point p{d->p10[X] + d->radius * std::cos(a),
                                  d->p10[Y] + d->radius * std::sin(a), d->p10[Z]};
                ends.push_back(toUcs(ent, p));
            }
        }
    }
    return ends;
}

} // namespace

resbuf* outlineGaps(const ads_name set, double lower, double upper, int& count) {
    count = 0;
    std::vector<Pt> gaps;
    try {
        gaps = engines::findGaps(gapEnds(set), lower, upper);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    RbList list;
    resbuf* tail = nullptr;
    for (Pt p : gaps) {
        resbuf* node = pointNode(p);
        if (!node) break;
        if (tail)
            tail->rbnext = node;
        else
            list.reset(node);
        tail = node;
        ++count;
    }
    return list.release();
}

} // namespace draftedit
