#include "common/services/pick.h"
#include "common/services/wtext.h"

#include "arx/aced.h"
#include "arx/dbads.h"
#include "arx/dbents_simple.h"
#include "arx/dbmain.h"
#include "arx/dbsymtb.h"
#include "arx/ed.h"
#include "common/bar/dlgbar.h"
#include "common/services/entkind.h"
#include "common/services/numbers.h"
#include "common/services/sysvar.h"
#include "common/support/zelsupport.h"

#include <cwctype>
#include <memory>
#include <string>

namespace {

constexpr int kByLayerColour = 256;
constexpr int kSortForSelectionAndSnap = 1 | 2;

// The linetype and colour an entity is drawn with (by-layer ones replaced by its layer's).
struct Style {
    std::wstring linetype;
    int colour = 0;
};

Style effectiveStyle(const ads_name ent) {
    Style s;
    AcDbObjectId id;
    AcDbEntity* e = nullptr;
    if (acdbGetObjectId(id, ent) != Acad::eOk ||
        acdbOpenAcDbEntity(e, id, AcDb::kForRead) != Acad::eOk || !e)
        return s;
    s.linetype = e->linetype();
    s.colour = e->colorIndex();
    AcDbObjectId layerId = e->layerId();
    e->close();
    bool byLayerType = SameNoCase(s.linetype, L"BYLAYER");
    if (!byLayerType && s.colour != kByLayerColour) return s;
    AcDbLayerTableRecord* layer = nullptr;
    if (acdbOpenObject(layer, layerId, AcDb::kForRead) != Acad::eOk || !layer) return s;
    if (byLayerType) s.linetype = layer->linetypeName();
    if (s.colour == kByLayerColour) s.colour = layer->colorIndex();
    layer->close();
    return s;
}

// The first entity under the point that is neither an auxiliary line of that style nor a
// "HOJO" line; false when there is none.
bool entityUnderAuxiliary(const AcGePoint3d& point, const std::wstring& auxType, int auxColour,
                          ads_name found) {
    resbuf* filter =
        acutBuildList(-4, L"<and", -4, L"<not", 6, L"HOJO", -4, L"not>", -4, L"<not", -4, L"<and",
                      6, auxType.c_str(), 62, auxColour, -4, L"and>", -4, L"not>", -4, L"and>", 0);
    ads_point p = {point.x, point.y, point.z};
    ads_name ss;
    int rc = acedSSGet(L":E", p, nullptr, filter, ss);
    acutRelRb(filter);
    if (rc != RTNORM) return false;
    bool ok = false;
    int32_t n = 0;
    acedSSLength(ss, &n);
    for (int32_t i = 0; i < n && !ok; ++i) {
        ads_name ent;
        if (acedSSName(ss, i, ent) != RTNORM) continue;
        Style s = effectiveStyle(ent);
        if (SameNoCase(s.linetype, auxType) || s.colour == auxColour) continue;
        found[0] = ent[0];
        found[1] = ent[1];
        ok = true;
    }
    acedSSFree(ss);
    return ok;
}

void freezeOsmodeFor(PickRecord& pick) {
    ZelSetLocInt(L"FreezeOsMode", 1);
    int osmode = IntVar(L"OSMODE", 0);
    if (!pick.osmodeSaved) {
        pick.savedOsmode = static_cast<short>(osmode);
        pick.osmodeSaved = true;
    }
    SetShortVar(L"OSMODE", 0);
}

void forget(PickRecord& pick) {
    pick.held = AcDbObjectId();
    pick.picked = AcDbObjectId();
    pick.nested = false;
    pick.containers.clear();
}

void releaseOsmode(PickRecord& pick) {
    if (!pick.osmodeSaved) return;
    SetShortVar(L"OSMODE", pick.savedOsmode);
    ZelSetLocInt(L"FreezeOsMode", 0);
    pick.osmodeSaved = false;
}

AcGeMatrix3d matrixOf(const ads_matrix m) {
    AcGeMatrix3d x;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            x.entry[r][c] = m[r][c];
    return x;
}

// The curve record of a nested entity from a copy of it in world coordinates.
bool nestedCurve(PickRecord& pick, AcDbEntity* e, const ads_matrix xform) {
    std::unique_ptr<AcDbObject> copy = e->cloneState();
    auto* ent = dynamic_cast<AcDbEntity*>(copy.get());
    if (!ent || ent->transformBy(matrixOf(xform)) != Acad::eOk) return false;
    CurveRecordFrom(pick.curve, ent, 1.0);
    return true;
}

// The entity highlighted for a pick: the outermost container of a nested pick (unless the
// whole entity is asked for), else the picked entity.
AcDbObjectId highlightTarget(const PickRecord& pick) {
    if (pick.nested && !pick.wholeEntity && !pick.containers.empty()) return pick.containers.back();
    return pick.held;
}

void setHighlight(AcDbObjectId id, bool on) {
    AcDbEntity* e = nullptr;
    if (id.isNull() || acdbOpenAcDbEntity(e, id, AcDb::kForRead) != Acad::eOk || !e) return;
    if (on)
        e->highlight();
    else
        e->unhighlight();
    e->close();
}

} // namespace

int SelectAndHilight(PickRecord& pick, const AcGePoint3d& point, const ACHAR* auxLinetype,
                     int auxColour) {
    if (!pick.held.isNull()) setHighlight(highlightTarget(pick), false);
    forget(pick);
    ads_name ent;
    ads_point p = {point.x, point.y, point.z};
    ads_matrix xform;
    resbuf* refs = nullptr;
    int rc = acedNEntSelP(nullptr, ent, p, 1, xform, &refs);
    ZelSetLocText(L"OBJECTSELECT", L"0");
    if (rc != RTNORM) {
        acutRelRb(refs);
        forget(pick);
        releaseOsmode(pick);
        return 0;
    }
    bool nested = refs != nullptr;
    std::wstring auxType = auxLinetype ? auxLinetype : L"";
    if (!nested && !auxType.empty() && auxColour != -1) {
        Style s = effectiveStyle(ent);
        if (SameNoCase(s.linetype, auxType) && s.colour == auxColour)
            entityUnderAuxiliary(point, auxType, auxColour, ent);
    }
    freezeOsmodeFor(pick);
    if (acdbGetObjectId(pick.picked, ent) != Acad::eOk) {
        acutRelRb(refs);
        acutPrintf(L"\nZelError: ZelSelectAndHilight[acdbGetObjectId]\n");
        return 0;
    }
    for (const resbuf* rb = refs; rb; rb = rb->rbnext) {
        AcDbObjectId id;
        if (rb->restype == RTENAME && acdbGetObjectId(id, rb->resval.rlname) == Acad::eOk)
            pick.containers.push_back(id);
    }
    acutRelRb(refs);
    AcDbEntity* e = nullptr;
    if (acdbOpenAcDbEntity(e, pick.picked, AcDb::kForRead) != Acad::eOk || !e) {
        acutPrintf(L"\nZelError: ZelSelectAndHilight[acdbOpenAcDbEntity]\n");
        return 0;
    }
    pick.nested = nested;
    pick.held = pick.picked;
    if (nested) {
        if (!nestedCurve(pick, e, xform)) acutPrintf(L"\nZelError: ZelCpd\n");
    } else {
        CurveRecordFrom(pick.curve, e, 1.0);
    }
    bool accepted = KindAccepted(e, pick.accepted, nested);
    e->close();
    if (!accepted) {
        forget(pick);
        releaseOsmode(pick);
        return 1;
    }
    ZelSetLocText(L"OBJECTSELECT", L"1");
    HighlightPick(pick, true);
    pick.highlighted = true;
    return 1;
}

void HighlightPick(PickRecord& pick, bool on) {
    if (pick.held.isNull()) return;
    if (on && IntVar(L"HIGHLIGHT", 0) != 1) return;
    setHighlight(highlightTarget(pick), on);
}

bool CurveRecordFrom(CurveRecord& r, const AcDbEntity* e, double scale) {
    r.kind = 0;
    if (auto* line = dynamic_cast<const AcDbLine*>(e)) {
        r.kind = kKindLine;
        r.a = line->startPoint();
        r.b = line->endPoint();
    } else if (auto* arc = dynamic_cast<const AcDbArc*>(e)) {
        r.kind = kKindArc;
        r.a = arc->center();
        r.radius = arc->radius() * scale;
        r.startAngle = arc->startAngle();
        r.endAngle = arc->endAngle();
    } else if (auto* circle = dynamic_cast<const AcDbCircle*>(e)) {
        r.kind = kKindCircle;
        r.a = circle->center();
        r.radius = circle->radius() * scale;
    } else if (auto* ellipse = dynamic_cast<const AcDbEllipse*>(e)) {
        r.kind = kKindEllipse;
        r.a = ellipse->center();
        r.vector = ellipse->majorAxis();
        r.radius = r.vector.length();
        r.startAngle = ellipse->startAngle();
        r.endAngle = ellipse->endAngle();
        r.closed = ellipse->isClosed();
        r.normal = ellipse->normal();
        r.radiusRatio = ellipse->radiusRatio();
    } else if (auto* ray = dynamic_cast<const AcDbRay*>(e)) {
        r.kind = kKindRay;
        r.a = ray->basePoint();
        r.vector = ray->unitDir();
    } else if (auto* xline = dynamic_cast<const AcDbXline*>(e)) {
        r.kind = kKindXline;
        r.a = xline->basePoint();
        r.vector = xline->unitDir();
    }
    r.lineComputed = false;
    return r.kind != 0;
}

void LineCoefficients(CurveRecord& r, bool recompute, double& a, double& b, double& c) {
    if (r.lineComputed && !recompute) {
        a = r.la, b = r.lb, c = r.lc;
        return;
    }
    r.la = r.lb = r.lc = 0;
    if (r.kind == kKindLine) {
        AcGePoint3d p1 = WcsToUcs(r.a), p2 = WcsToUcs(r.b);
        r.la = p2.y - p1.y;
        r.lb = p1.x - p2.x;
        r.lc = (p2.x - p1.x) * p1.y - (p2.y - p1.y) * p1.x;
        r.lineComputed = true;
    } else if (r.kind == kKindXline || r.kind == kKindRay) {
        AcGePoint3d p0 = WcsToUcs(r.a);
        resbuf w{}, u{};
        w.restype = u.restype = RTSHORT;
        w.resval.rint = 0;
        u.resval.rint = 1;
        ads_point d = {r.vector.x, r.vector.y, r.vector.z}, du = {0, 0, 0};
        acedTrans(d, &w, &u, 1, du);
        r.la = du[Y];
        r.lb = -du[X];
        r.lc = du[X] * p0.y - du[Y] * p0.x;
        r.lineComputed = true;
    }
    a = r.la, b = r.lb, c = r.lc;
}

void FreezeOsmode(bool on) {
    if (on) {
        ZelSetLocInt(L"FreezeOsMode", 1);
        SetShortVar(L"OSMODE", 0);
        return;
    }
    Zelads_ResetOsmode();
    ZelSetLocInt(L"FreezeOsMode", 0);
}

CSortEnts::CSortEnts() {
    int now = IntVar(L"SORTENTS", -1);
    if (now < 0 || (now & kSortForSelectionAndSnap) == kSortForSelectionAndSnap) return;
    mOld = now;
    SetShortVar(L"SORTENTS", now | kSortForSelectionAndSnap);
}

CSortEnts::~CSortEnts() {
    if (mOld >= 0) SetShortVar(L"SORTENTS", mOld);
}

// ---- the selection the suite's LISP code leaves for the next command --------------------------

namespace {

constexpr const ACHAR* kGlobalSet = L"ZelGlobalSs2002";
constexpr const ACHAR* kGlobalPoint = L"ZelGlobalPt2002";
constexpr const ACHAR* kGlobalSwitch = L"ZelGlobalSw2002";

bool opens(const ads_name ent) {
    AcDbObjectId id;
    AcDbEntity* e = nullptr;
    if (acdbGetObjectId(id, ent) != Acad::eOk) return false;
    if (acdbOpenAcDbEntity(e, id, AcDb::kForRead) != Acad::eOk || !e) return false;
    e->close();
    return true;
}

} // namespace

void PruneGlobalSelection() {
    resbuf* value = nullptr;
    if (acedGetSym(kGlobalSet, &value) != RTNORM || !value) return;
    bool keep = false;
    if (value->restype == RTPICKS) {
        int32_t n = 0;
        acedSSLength(value->resval.rlname, &n);
        for (int32_t i = n - 1; i >= 0 && !keep; --i) {
            ads_name ent;
            if (acedSSName(value->resval.rlname, i, ent) != RTNORM) continue;
            if (opens(ent))
                keep = true;
            else
                acedSSDel(ent, value->resval.rlname);
        }
        if (!keep) acedSSFree(value->resval.rlname);
    }
    acutRelRb(value);
    if (keep) return;
    resbuf nil{};
    nil.restype = RTNIL;
    acedPutSym(kGlobalSet, &nil);
}

bool GlobalSelection(ads_name ss) {
    PruneGlobalSelection();
    resbuf* value = nullptr;
    if (acedGetSym(kGlobalSet, &value) != RTNORM || !value) return false;
    bool added = false;
    if (value->restype == RTPICKS) {
        int32_t n = 0;
        acedSSLength(value->resval.rlname, &n);
        for (int32_t i = 0; i < n; ++i) {
            ads_name ent;
            if (acedSSName(value->resval.rlname, i, ent) != RTNORM) continue;
            if (acedSSAdd(ent, added ? ss : nullptr, ss) == RTNORM) added = true;
        }
    }
    acutRelRb(value);
    return added;
}

bool GlobalPoint(ads_point p) {
    resbuf* value = nullptr;
    if (acedGetSym(kGlobalPoint, &value) != RTNORM || !value) return false;
    bool ok = value->restype == RT3DPOINT || value->restype == RTPOINT;
    if (ok) {
        p[X] = value->resval.rpoint[X];
        p[Y] = value->resval.rpoint[Y];
        p[Z] = value->restype == RT3DPOINT ? value->resval.rpoint[Z] : 0;
    }
    acutRelRb(value);
    return ok;
}

bool GlobalSwitch(int bits) {
    resbuf* value = nullptr;
    if (acedGetSym(kGlobalSwitch, &value) != RTNORM || !value) return false;
    int v = value->restype == RTSHORT  ? value->resval.rint
            : value->restype == RTLONG ? value->resval.rlong
                                       : 0;
    bool on = (value->restype == RTSHORT || value->restype == RTLONG) && (v & bits);
    acutRelRb(value);
    return on;
}
