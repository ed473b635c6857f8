// zeldll.so: picking an entity or a point, and holding the highlight of a picked entity.
#include "companions/zeldll/internal.h"
#include "companions/zeldll/zeldll_api.h"

#include "arx/adslib.h"
#include "arx/db.h"
#include "host/src/core/tolerance.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <string>

namespace zel::zeldll {
namespace {

struct RbFree {
    void operator()(resbuf* rb) const { acutRelRb(rb); }
};
using RbList = std::unique_ptr<resbuf, RbFree>;

const resbuf* group(const resbuf* list, int code) {
    for (const resbuf* rb = list; rb; rb = rb->rbnext)
        if (rb->restype == code) return rb;
    return nullptr;
}

double real(const resbuf* list, int code, double fallback) {
    const resbuf* rb = group(list, code);
    return rb ? rb->resval.rreal : fallback;
}

// An ellipse that is not closed counts as an elliptical arc (mask bit 0x4000).
bool openEllipse(const resbuf* data) {
    constexpr double kFullTurn = 6.283185307179586;
    double sweep = real(data, 42, kFullTurn) - real(data, 41, 0.0);
    return std::fabs(std::fabs(sweep) - kFullTurn) > zel::tol::kParam;
}

bool kindAccepted(const ads_name ent, int kinds) {
    if (kinds == 0) return true;
    RbList data(acdbEntGet(ent));
    const resbuf* type = group(data.get(), 0);
    if (!type || !type->resval.rstring) return false; // group 0: the type name
    static const std::map<std::wstring, int> kKinds = {
        {L"LINE", 1},
        {L"CIRCLE", 2},
        {L"ARC", 4},
        {L"XLINE", 8},
        {L"RAY", 16},
        {L"TEXT", 64},
        {L"LWPOLYLINE", 128},
        {L"POLYLINE", 128},
        {L"SPLINE", 256},
        {L"ELLIPSE", 512},
        {L"LEADER", 1024},
        {L"MTEXT", 2048},
        {L"DIMENSION", 0x1000 | 0x2000},
    };
    auto it = kKinds.find(type->resval.rstring);
    if (it == kKinds.end()) return false;
    if (kinds & it->second) return true;
    return it->second == 512 && (kinds & 0x4000) && openEllipse(data.get());
}

// The first entity at a point, if any.
bool entityAt(const ads_point p, ads_name ent) {
    ads_name ss;
    if (acedSSGet(nullptr, p, nullptr, nullptr, ss) != RTNORM) return false;
    bool found = acedSSName(ss, 0, ent) == RTNORM;
    acedSSFree(ss);
    return found;
}

// Object-snap mode names by OSMODE bit, as acedOsnap takes them.
constexpr const ACHAR* kSnapNames[] = {L"END", L"MID", L"CEN", L"NOD",  L"QUA", L"INT", L"INS",
                                       L"PER", L"TAN", L"NEA", nullptr, L"APP", L"EXT", L"PAR"};
constexpr int kSnapOff = 16384; // OSMODE: running object snap switched off

// OSMODE with running object snap off for the life of the object: the entity aimed at is
// found at the point clicked (a click on a circle picks the circle, not its centre). Object
// snap counts as frozen meanwhile ("FreezeOsMode"), so the change is not taken for the user's.
class RawClick {
public:
    RawClick() {
        resbuf rb;
        if (acedGetVar(L"OSMODE", &rb) != RTNORM || rb.restype != RTSHORT) return;
        mOsmode = rb.resval.rint;
        if (mOsmode & kSnapOff) return;
        mRecord = docRecord(nullptr);
        if (mRecord) {
            std::wstring& flag = mRecord->settings[kFreezeKey];
            mFlag = flag;
            flag = L"1";
        }
        setOsmode(short(mOsmode | kSnapOff));
        mChanged = true;
    }
    ~RawClick() {
        if (!mChanged) return;
        setOsmode(short(mOsmode));
        if (mRecord) mRecord->settings[kFreezeKey] = mFlag;
    }
    RawClick(const RawClick&) = delete;
    RawClick& operator=(const RawClick&) = delete;
    int osmode() const { return mOsmode; }

private:
    static void setOsmode(short value) {
        resbuf rb;
        rb.restype = RTSHORT;
        rb.resval.rint = value;
        acedSetVar(L"OSMODE", &rb);
    }
    static constexpr const ACHAR* kFreezeKey = L"FreezeOsMode";
    int mOsmode = 0;
    bool mChanged = false;
    DocRecord* mRecord = nullptr;
    std::wstring mFlag;
};

// A point where no entity was aimed at, moved by the running object snap of `osmode`.
void snapFreePoint(int osmode, ads_point p) {
    if (osmode & kSnapOff) return;
    std::wstring modes;
    for (int bit = 0; bit < int(std::size(kSnapNames)); ++bit) {
        if (!(osmode & (1 << bit)) || !kSnapNames[bit]) continue;
        if (!modes.empty()) modes += L",";
        modes += kSnapNames[bit];
    }
    ads_point snapped;
    if (!modes.empty() && acedOsnap(p, modes.c_str(), snapped) == RTNORM) ads_point_set(snapped, p);
}

int pointResult(int rc) {
    if (rc == RTCAN) return kZelSelCancelled;
    return kZelSelNothing;
}

void highlight(AcDbObjectId id, bool on) {
    AcDbEntity* ent = nullptr;
    if (id.isNull() || acdbOpenAcDbEntity(ent, id, AcDb::kForRead) != Acad::eOk) return;
    if (on)
        ent->highlight();
    else
        ent->unhighlight();
    ent->close();
}

// The entity a pick at the point reaches: for a pick inside a block reference or a
// dimension, the outermost reference that holds it (its highlight shows the sub-entity).
bool pickHolder(const ads_point p, AcDbObjectId& id) {
    ads_name ent;
    ads_point at = {p[0], p[1], p[2]};
    ads_matrix xform;
    resbuf* refs = nullptr;
    if (acedNEntSelP(nullptr, ent, at, 1, xform, &refs) != RTNORM) return false;
    RbList stack(refs);
    for (const resbuf* rb = refs; rb; rb = rb->rbnext)
        if (rb->restype == RTENAME) ads_name_set(rb->resval.rlname, ent);
    return acdbGetObjectId(id, ent) == Acad::eOk;
}

} // namespace
} // namespace zel::zeldll

using namespace zel::zeldll;

ZEL_ARX_EXPORT int dll_zel_entselp(int, const ACHAR* entityPrompt, const ACHAR* pointPrompt,
                                   int kinds, ads_name entity, ads_point point, int) {
    ads_point p;
    int osmode = 0;
    int rc = RTNORM;
    {
        RawClick raw;
        osmode = raw.osmode();
        rc = acedGetPoint(nullptr, entityPrompt, p);
    }
    if (rc != RTNORM) return pointResult(rc);
    ads_name found;
    if (!entityAt(p, found)) {
        snapFreePoint(osmode, p);
        if (point) ads_point_set(p, point);
        return kZelSelPoint;
    }
    if (kindAccepted(found, kinds)) {
        if (entity) ads_name_set(found, entity);
        if (point) ads_point_set(p, point);
        return kZelSelEntity;
    }
    rc = acedGetPoint(nullptr, pointPrompt, p);
    if (rc != RTNORM) return pointResult(rc);
    if (point) ads_point_set(p, point);
    return kZelSelPoint;
}

ZEL_ARX_EXPORT int dll_zel_highlight_sub(void* pickRecord, const ads_point point) {
    DocRecord* rec = docRecord(nullptr);
    if (!rec) return 0;
    auto& table = rec->held;
    if (auto it = table.find(pickRecord); it != table.end()) {
        AcDbObjectId was = it->second;
        table.erase(it);
        // Another record may hold the same entity: its highlight stays then.
        bool stillHeld = std::any_of(table.begin(), table.end(),
                                     [&](const auto& entry) { return entry.second == was; });
        if (!stillHeld) highlight(was, false);
    }
    AcDbObjectId id;
    if (!point || !pickHolder(point, id)) return 0;
    highlight(id, true);
    table[pickRecord] = id;
    return 1;
}
