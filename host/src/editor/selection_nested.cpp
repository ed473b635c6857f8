// Picks into block references and dimensions (see pickNested in selection.h).
#include "db/database_impl.h"
#include "editor/selection.h"
#include "editor/selection_query.h"
#include "editor/selection_state.h"

namespace zel::editor {

namespace {

// References inside references deeper than this are not entered (a damaged drawing whose
// block holds a reference to itself stops here).
constexpr int kMaxDepth = 16;

} // namespace

std::optional<NestedPick> pickNested(Editor& ed, const AcGePoint3d& world) {
    AcDbDatabase* db = ed.database();
    if (!db) return std::nullopt;
    SelectionQuery query(*db, &ed.selection().index(*db));
    geom::Vec2 p{world.x, world.y};
    double aperture = pickAperture(ed);
    EntityIds hits = query.pick(p, aperture);
    if (hits.empty()) return std::nullopt;
    geom::Box2 square = geom::Box2::of(p, p).expanded(aperture);
    NestedPick pick{hits.front(), AcGeMatrix3d(), {}};
    for (int depth = 0; depth < kMaxDepth; ++depth) {
        auto* e = db::peekAs<AcDbEntity>(pick.id);
        std::vector<Placed> parts = e ? shownEntities(*e) : std::vector<Placed>{};
        const Placed* hit = nullptr;
        for (auto it = parts.rbegin(); it != parts.rend() && !hit; ++it) {
            auto* part = db::peekAs<AcDbEntity>(it->id);
            AcGeMatrix3d x = pick.xform * it->xform;
            if (part && touchesBox(shapeOf(*part, &x), square)) hit = &*it;
        }
        if (!hit) return pick;
        if (AcDbAttribute::cast(db::peek(hit->id))) return NestedPick{hit->id, AcGeMatrix3d(), {}};
        pick.containers.insert(pick.containers.begin(), pick.id);
        pick.xform = pick.xform * hit->xform;
        pick.id = hit->id;
    }
    return pick;
}

} // namespace zel::editor
