// The selection functions of the C-style API (arx/ed.h) over the current editor.
#include "arx/ed.h"
#include "editor/api_guard.h"
#include "core/resbuf.h"
#include "core/text.h"
#include "db/database_impl.h"
#include "editor/selection.h"
#include "editor/selection_filter.h"
#include "editor/selection_query.h"
#include "editor/selection_state.h"

#include <algorithm>

namespace zel::editor {
namespace {

std::optional<AcDbObjectId> idOf(const ads_name name) {
    AcDbObjectId id;
    if (!name || acdbGetObjectId(id, name) != Acad::eOk || id.isNull()) return std::nullopt;
    return id;
}

// A mode of acedSSGet taken apart: "_:S:E" is no main mode with the S and E modifiers.
struct SsMode {
    std::wstring main;
    bool single = false, everything = false, skipLocked = false;
};

std::optional<SsMode> parseMode(const ACHAR* str) {
    SsMode m;
    std::wstring t = core::toUpper(str ? str : L"");
    if (!t.empty() && t[0] == L'_') t.erase(0, 1);
    size_t colon = t.find(L':');
    m.main = t.substr(0, colon);
    static const wchar_t* mains[] = {L"", L"I", L"P", L"L", L"X", L"W", L"C", L"F", L"WP", L"CP"};
    if (std::none_of(std::begin(mains), std::end(mains),
                     [&](const wchar_t* k) { return m.main == k; }))
        return std::nullopt;
    while (colon != std::wstring::npos) {
        size_t next = t.find(L':', colon + 1);
        std::wstring mod =
            t.substr(colon + 1, next == std::wstring::npos ? next : next - colon - 1);
        if (mod == L"S")
            m.single = true;
        else if (mod == L"E")
            m.everything = true;
        else if (mod == L"L")
            m.skipLocked = true;
        else if (mod != L"N" && mod != L"U" && mod != L"V")
            return std::nullopt; // modes of screens the host does not have are accepted alone
        colon = next;
    }
    return m;
}

geom::Vec2 worldOf(Editor& ed, const ads_real* p) {
    AcGePoint3d w = ed.ucs().toWorld(AcGePoint3d(p[X], p[Y], p[Z]));
    return {w.x, w.y};
}

std::optional<std::vector<geom::Vec2>> pointList(Editor& ed, const void* pt) {
    std::vector<geom::Vec2> out;
    for (auto* rb = static_cast<const resbuf*>(pt); rb; rb = rb->rbnext) {
        if (rb->restype != RTPOINT && rb->restype != RT3DPOINT) return std::nullopt;
        ads_real p[3] = {rb->resval.rpoint[X], rb->resval.rpoint[Y],
                         rb->restype == RT3DPOINT ? rb->resval.rpoint[Z] : 0.0};
        out.push_back(worldOf(ed, p));
    }
    return out;
}

EntityIds everyEntity(AcDbDatabase& db) {
    EntityIds out;
    for (AcDbObjectId space : {db.modelSpaceId(), db.paperSpaceId()}) {
        if (auto* r = db::peekAs<AcDbBlockTableRecord>(space))
            for (AcDbObjectId id : r->entityIds())
                if (db::peek(id) && !id.isErased()) out.push_back(id);
    }
    return out;
}

// The entities a mode other than the prompt selects; nullopt for bad arguments.
std::optional<EntityIds> selectByMode(Editor& ed, AcDbDatabase& db, const SsMode& m,
                                      const void* pt1, const void* pt2) {
    SelectionQuery q(db, &ed.selection().index(db));
    const std::wstring& k = m.main;
    if (k == L"X") return everyEntity(db);
    if (k == L"I") { // nothing is selected before a command while PICKFIRST is off
        return ed.vars().integer(L"PICKFIRST") ? pickfirstSelection(ed) : EntityIds{};
    }
    if (k == L"P") return previousSelection(ed);
    if (k == L"L") {
        std::optional<AcDbObjectId> last = q.last();
        return last ? EntityIds{*last} : EntityIds{};
    }
    if (k == L"W" || k == L"C") {
        if (!pt1 || !pt2) return std::nullopt;
        geom::Box2 box = geom::Box2::of(worldOf(ed, static_cast<const ads_real*>(pt1)),
                                        worldOf(ed, static_cast<const ads_real*>(pt2)));
        return q.box(box, k == L"W" ? Area::Window : Area::Crossing);
    }
    std::optional<std::vector<geom::Vec2>> pts = pointList(ed, pt1);
    if (!pts) return std::nullopt;
    if (k == L"F") return pts->size() < 2 ? std::nullopt : std::optional(q.fence(*pts));
    if (pts->size() < 3) return std::nullopt;
    return q.polygon(*pts, k == L"WP" ? Area::Window : Area::Crossing);
}

int finishSet(Editor& ed, EntityIds ids, ads_name ss) {
    if (ids.empty()) return RTERROR;
    setPreviousSelection(ed, ids);
    newSelectionSet(ed, std::move(ids), ss);
    return RTNORM;
}

int ssget(Editor& ed, const ACHAR* str, const void* pt1, const void* pt2, const resbuf* filter,
          ads_name ss) {
    AcDbDatabase* db = ed.database();
    std::optional<SsMode> mode = parseMode(str);
    if (!db || !ss || !mode) return RTERROR;
    std::wstring why;
    std::optional<SelectionFilter> f;
    if (filter && !(f = SelectionFilter::parse(filter, why))) return RTERROR;
    if (mode->main.empty() && !pt1) {
        SelectRequest req;
        req.single = mode->single;
        req.pickAll = mode->everything;
        req.filter = filter;
        req.skipLocked = mode->skipLocked;
        SelectResult r = selectObjects(ed, req);
        if (r.status == RTCAN) return RTCAN;
        return finishSet(ed, std::move(r.ids), ss);
    }
    std::optional<EntityIds> ids;
    if (mode->main.empty()) { // a pick at pt1
        SelectionQuery q(*db, &ed.selection().index(*db));
        EntityIds hits = q.pick(worldOf(ed, static_cast<const ads_real*>(pt1)), pickAperture(ed));
        if (!mode->everything && hits.size() > 1) hits.resize(1);
        ids = std::move(hits);
    } else {
        ids = selectByMode(ed, *db, *mode, pt1, pt2);
    }
    if (!ids) return RTERROR;
    SelectionQuery layers(*db, nullptr);
    EntityIds kept;
    for (AcDbObjectId id : *ids) {
        auto* e = db::peekAs<AcDbEntity>(id);
        if (!e || (f && !f->matches(*e)) || (mode->skipLocked && layers.locked(*e))) continue;
        kept.push_back(id);
    }
    return finishSet(ed, std::move(kept), ss);
}

int copyName(AcDbObjectId id, ads_name out) {
    ads_name name;
    if (acdbGetAdsName(name, id) != Acad::eOk) return RTERROR;
    ads_name_set(name, out);
    return RTNORM;
}

} // namespace
} // namespace zel::editor

using namespace zel::editor;

int acedSSGet(const ACHAR* str, const void* pt1, const void* pt2, const resbuf* filter,
              ads_name ss) {
    return guarded([&](Editor& ed) -> int { return ssget(ed, str, pt1, pt2, filter, ss); });
}

int acedSSFree(const ads_name sname) {
    return guarded(
        [&](Editor& ed) -> int { return freeSelectionSet(ed, sname) ? RTNORM : RTERROR; });
}

int acedSSLength(const ads_name sname, int32_t* len) {
    return guarded([&](Editor& ed) -> int {
        const EntityIds* ids = selectionSetIds(ed, sname);
        if (!ids || !len) return RTERROR;
        *len = int32_t(ids->size());
        return RTNORM;
    });
}

int acedSSName(const ads_name ss, int32_t i, ads_name entres) {
    return guarded([&](Editor& ed) -> int {
        const EntityIds* ids = selectionSetIds(ed, ss);
        if (!ids || !entres || i < 0 || size_t(i) >= ids->size()) return RTERROR;
        return copyName((*ids)[size_t(i)], entres);
    });
}

int acedSSAdd(const ads_name ename, const ads_name sname, ads_name result) {
    return guarded([&](Editor& ed) -> int {
        if (!result) return RTERROR;
        std::optional<AcDbObjectId> id;
        if (ename && !(id = idOf(ename))) return RTERROR;
        if (!sname) {
            newSelectionSet(ed, id ? EntityIds{*id} : EntityIds{}, result);
            return RTNORM;
        }
        EntityIds* ids = ed.selection().sets().find(sname);
        if (!ids) return RTERROR;
        if (id && std::find(ids->begin(), ids->end(), *id) == ids->end()) ids->push_back(*id);
        ads_name_set(sname, result);
        return RTNORM;
    });
}

int acedSSDel(const ads_name ename, const ads_name ss) {
    return guarded([&](Editor& ed) -> int {
        EntityIds* ids = ed.selection().sets().find(ss);
        std::optional<AcDbObjectId> id = idOf(ename);
        if (!ids || !id) return RTERROR;
        auto it = std::find(ids->begin(), ids->end(), *id);
        if (it == ids->end()) return RTERROR;
        ids->erase(it);
        return RTNORM;
    });
}

int acedSSMemb(const ads_name ename, const ads_name ss) {
    return guarded([&](Editor& ed) -> int {
        const EntityIds* ids = selectionSetIds(ed, ss);
        std::optional<AcDbObjectId> id = idOf(ename);
        if (!ids || !id) return RTERROR;
        return std::find(ids->begin(), ids->end(), *id) == ids->end() ? RTERROR : RTNORM;
    });
}

int acedSSSetFirst(const ads_name pset, const ads_name) {
    return guarded([&](Editor& ed) -> int {
        if (!pset) {
            setPickfirstSelection(ed, {});
            return RTNORM;
        }
        const EntityIds* ids = selectionSetIds(ed, pset);
        if (!ids) return RTERROR;
        setPickfirstSelection(ed, *ids);
        return RTNORM;
    });
}

int acedSSGetFirst(resbuf** gset, resbuf** pset) {
    return guarded([&](Editor& ed) -> int {
        if (gset) *gset = nullptr;
        if (!pset) return RTNORM;
        *pset = nullptr;
        EntityIds ids = pickfirstSelection(ed);
        if (ids.empty()) return RTNORM;
        resbuf* rb = acutNewRb(RTPICKS);
        newSelectionSet(ed, std::move(ids), rb->resval.rlname);
        *pset = rb;
        return RTNORM;
    });
}

int acedEntSel(const ACHAR* str, ads_name entres, ads_point ptres) {
    return guarded([&](Editor& ed) -> int {
        if (!entres || !ptres) {
            ed.takeInitGet();
            return RTERROR;
        }
        EntityPick pick = pickEntity(ed, str ? str : L"");
        if (pick.status != RTNORM) return pick.status;
        ptres[X] = pick.point.x;
        ptres[Y] = pick.point.y;
        ptres[Z] = pick.point.z;
        return copyName(pick.id, entres);
    });
}

int acedNEntSelP(const ACHAR* str, ads_name entres, ads_point ptres, int pickflag,
                 ads_matrix xformres, resbuf** refstkres) {
    return guarded([&](Editor& ed) -> int {
        if (refstkres) *refstkres = nullptr;
        if (!entres || !ptres) {
            ed.takeInitGet();
            return RTERROR;
        }
        AcGePoint3d at(ptres[X], ptres[Y], ptres[Z]);
        if (!pickflag) {
            EntityPick pick = pickEntity(ed, str ? str : L"");
            if (pick.status != RTNORM) return pick.status;
            at = pick.point;
        }
        std::optional<NestedPick> nested = pickNested(ed, ed.ucs().toWorld(at));
        if (!nested) {
            ed.vars().setInternal(L"ERRNO", VarValue(int64_t(7)));
            return RTERROR;
        }
        ptres[X] = at.x;
        ptres[Y] = at.y;
        ptres[Z] = at.z;
        if (xformres)
            for (int r = 0; r < 4; ++r)
                for (int c = 0; c < 4; ++c)
                    xformres[r][c] = nested->xform.entry[r][c];
        if (refstkres && !nested->containers.empty()) {
            resbuf* head = nullptr;
            resbuf** tail = &head;
            for (AcDbObjectId id : nested->containers) {
                *tail = acutNewRb(RTENAME);
                copyName(id, (*tail)->resval.rlname);
                tail = &(*tail)->rbnext;
            }
            *refstkres = head;
        }
        return copyName(nested->id, entres);
    });
}
