// Finding the entities of a pick, window, polygon or fence (see selection_query.h).
#include "editor/selection_query.h"

#include "db/database_impl.h"

#include <algorithm>

namespace zel::editor {

SelectionQuery::SelectionQuery(AcDbDatabase& db, EntityIndex* index, Candidates how)
    : mDb(db), mIndex(index), mHow(index ? how : Candidates::Scan) {}

const SelectionQuery::LayerState& SelectionQuery::layerOf(const AcDbEntity& e) {
    auto it = mLayers.find(e.layer());
    if (it != mLayers.end()) return it->second;
    LayerState state;
    auto* table = db::peekAs<AcDbLayerTable>(mDb.layerTableId());
    AcDbObjectId id;
    if (table && table->getAt(e.layer(), id) == Acad::eOk) {
        if (auto* layer = db::peekAs<AcDbLayerTableRecord>(id)) {
            state.hidden = layer->isOff() || layer->isFrozen();
            state.locked = layer->isLocked();
            state.frozen = layer->isFrozen();
        }
    }
    return mLayers.emplace(e.layer(), state).first->second;
}

bool SelectionQuery::seen(const AcDbEntity& e) {
    return e.visibility() && !layerOf(e).hidden;
}

bool SelectionQuery::locked(const AcDbEntity& e) {
    return layerOf(e).locked;
}

bool SelectionQuery::frozen(const AcDbEntity& e) {
    return layerOf(e).frozen;
}

template <class Test> EntityIds SelectionQuery::find(const geom::Box2& area, Test&& test) {
    std::vector<std::pair<size_t, AcDbObjectId>> found;
    auto consider = [&](AcDbObjectId id, size_t rank) {
        auto* e = db::peekAs<AcDbEntity>(id);
        if (!e || id.isErased() || !seen(*e)) return;
        if (test(shapeOf(*e))) found.emplace_back(rank, id);
    };
    if (mHow == Candidates::Indexed) {
        for (AcDbObjectId id : mIndex->query(area))
            consider(id, mIndex->rank(id));
    } else if (auto* ms = db::peekAs<AcDbBlockTableRecord>(mDb.modelSpaceId())) {
        const std::vector<AcDbObjectId>& ids = ms->entityIds();
        for (size_t i = 0; i < ids.size(); ++i) {
            auto* e = db::peekAs<AcDbEntity>(ids[i]);
            if (!e) continue;
            std::optional<geom::Box2> box = EntityIndex::boxOf(*e);
            if (box && box->overlaps(area)) consider(ids[i], i + 1);
        }
    }
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    EntityIds out;
    out.reserve(found.size());
    for (const auto& f : found)
        out.push_back(f.second);
    return out;
}

EntityIds SelectionQuery::pick(geom::Vec2 p, double aperture) {
    geom::Box2 square = geom::Box2::of(p, p).expanded(aperture);
    return find(square, [&](const Shape& s) { return touchesBox(s, square); });
}

EntityIds SelectionQuery::box(const geom::Box2& window, Area area) {
    if (area == Area::Window)
        return find(window, [&](const Shape& s) { return insideBox(s, window); });
    return find(window, [&](const Shape& s) { return touchesBox(s, window); });
}

EntityIds SelectionQuery::polygon(const Polygon& poly, Area area) {
    geom::Box2 b = boxOf(poly);
    if (area == Area::Window)
        return find(b, [&](const Shape& s) { return insidePolygon(s, poly); });
    return find(b, [&](const Shape& s) { return touchesPolygon(s, poly); });
}

EntityIds SelectionQuery::fence(const std::vector<geom::Vec2>& chain) {
    return find(boxOf(chain), [&](const Shape& s) { return crossesFence(s, chain); });
}

EntityIds SelectionQuery::all() const {
    EntityIds out;
    if (auto* ms = db::peekAs<AcDbBlockTableRecord>(mDb.modelSpaceId()))
        for (AcDbObjectId id : ms->entityIds())
            if (db::peek(id) && !id.isErased()) out.push_back(id);
    return out;
}

std::optional<AcDbObjectId> SelectionQuery::last() {
    auto* ms = db::peekAs<AcDbBlockTableRecord>(mDb.modelSpaceId());
    if (!ms) return std::nullopt;
    const std::vector<AcDbObjectId>& ids = ms->entityIds();
    for (auto it = ids.rbegin(); it != ids.rend(); ++it) {
        auto* e = db::peekAs<AcDbEntity>(*it);
        if (e && !it->isErased() && seen(*e)) return *it;
    }
    return std::nullopt;
}

double pickAperture(const Editor& editor) {
    double pixels = double(editor.vars().integer(L"PICKBOX"));
    double height = editor.vars().point(L"SCREENSIZE").y;
    double size = editor.vars().real(L"VIEWSIZE");
    if (height <= 0) return 0;
    return std::max(pixels, 1.0) * size / height;
}

} // namespace zel::editor
