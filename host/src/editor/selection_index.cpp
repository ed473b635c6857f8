// The spatial index of model space (see selection_index.h).
#include "editor/selection_index.h"

#include "db/database_impl.h"

#include <cassert>

namespace zel::editor {

namespace {

// More changes than this share of the entities are taken in by building the index again.
constexpr size_t kRebuildShare = 4;

bool isComposite(const AcDbEntity& e) {
    return AcDbBlockReference::cast(&e) || AcDbDimension::cast(&e);
}

} // namespace

EntityIndex::EntityIndex(AcDbDatabase& db) : mDb(&db) {
    mModelSpace = db.modelSpaceId().slot();
    mWatcher = db.impl().addWatcher([this](db::ObjectSlot* s) { touched(s); });
}

EntityIndex::~EntityIndex() {
    if (mDb) mDb->impl().removeWatcher(mWatcher);
}

std::optional<geom::Box2> EntityIndex::boxOf(const AcDbEntity& e) {
    if (AcDbXline::cast(&e))
        return geom::Box2{{-geom::kInf, -geom::kInf}, {geom::kInf, geom::kInf}};
    AcDbExtents ext;
    if (e.getGeomExtents(ext) != Acad::eOk || ext.isEmpty()) return std::nullopt;
    geom::Box2 box =
        geom::Box2::of({ext.minPoint().x, ext.minPoint().y}, {ext.maxPoint().x, ext.maxPoint().y});
    if (!geom::isFinite(box.lo) || !geom::isFinite(box.hi)) return std::nullopt;
    return box;
}

void EntityIndex::touched(db::ObjectSlot* slot) {
    if (!slot) {
        mDb = nullptr; // the database goes away
        return;
    }
    if (slot == mModelSpace) mOrderDirty = true;
    if (mBuilt) mDirty.insert(slot);
}

bool EntityIndex::inModelSpace(const db::ObjectSlot& s) const {
    if (!s.alive || s.erased || !s.object) return false;
    auto* e = AcDbEntity::cast(s.object.get());
    return e && e->ownerId().slot() == mModelSpace;
}

void EntityIndex::removeSlot(db::ObjectSlot* s) {
    auto it = mBoxes.find(s);
    if (it == mBoxes.end()) return;
    bool removed = mTree.remove(s, it->second);
    assert(removed && "an indexed entity is in the tree with its box");
    (void)removed;
    mBoxes.erase(it);
    mComposite.erase(s);
}

void EntityIndex::update(db::ObjectSlot* s) {
    removeSlot(s);
    if (!inModelSpace(*s)) return;
    auto* e = AcDbEntity::cast(s->object.get());
    std::optional<geom::Box2> box = boxOf(*e);
    if (!box) return;
    mTree.insert(s, *box);
    mBoxes.emplace(s, *box);
    if (isComposite(*e)) mComposite.insert(s);
}

void EntityIndex::rebuild() {
    mBoxes.clear();
    mComposite.clear();
    mDirty.clear();
    std::vector<std::pair<db::ObjectSlot*, geom::Box2>> items;
    auto* ms = db::peekAs<AcDbBlockTableRecord>(mDb->modelSpaceId());
    if (ms) {
        items.reserve(ms->entityIds().size());
        for (AcDbObjectId id : ms->entityIds()) {
            db::ObjectSlot* s = id.slot();
            if (!s || !inModelSpace(*s)) continue;
            auto* e = AcDbEntity::cast(s->object.get());
            std::optional<geom::Box2> box = boxOf(*e);
            if (!box) continue;
            items.emplace_back(s, *box);
            mBoxes.emplace(s, *box);
            if (isComposite(*e)) mComposite.insert(s);
        }
    }
    mTree.build(std::move(items));
    mBuilt = true;
}

void EntityIndex::refresh() {
    assert(mDb && "the index is used after its database went away");
    if (!mBuilt || mDirty.size() > mBoxes.size() / kRebuildShare + 64) {
        rebuild();
        return;
    }
    if (mDirty.empty()) return;
    // A change inside a block (or to an attribute) moves the references that show it.
    bool blocks = false;
    for (db::ObjectSlot* s : mDirty) {
        if (s == mModelSpace) continue;
        bool known = mBoxes.count(s) > 0;
        if (!s->alive || !s->object) {
            blocks = blocks || !known;
            continue;
        }
        if (AcDbBlockTableRecord::cast(s->object.get())) blocks = true;
        auto* e = AcDbEntity::cast(s->object.get());
        if (e && e->ownerId().slot() != mModelSpace) blocks = true;
    }
    std::unordered_set<db::ObjectSlot*> dirty = std::move(mDirty);
    mDirty.clear();
    if (blocks) dirty.insert(mComposite.begin(), mComposite.end());
    for (db::ObjectSlot* s : dirty) {
        if (s != mModelSpace) update(s);
    }
    // Entities taken out of model space by a change of its list.
    if (dirty.count(mModelSpace)) {
        auto* ms = db::peekAs<AcDbBlockTableRecord>(mDb->modelSpaceId());
        std::unordered_set<const db::ObjectSlot*> members;
        if (ms)
            for (AcDbObjectId id : ms->entityIds())
                members.insert(id.slot());
        std::vector<db::ObjectSlot*> gone;
        for (const auto& [s, box] : mBoxes)
            if (!members.count(s)) gone.push_back(s);
        for (db::ObjectSlot* s : gone)
            removeSlot(s);
    }
}

void EntityIndex::refreshRanks() {
    if (!mOrderDirty) return;
    mOrderDirty = false;
    auto* ms = db::peekAs<AcDbBlockTableRecord>(mDb->modelSpaceId());
    if (!ms) return;
    const std::vector<AcDbObjectId>& ids = ms->entityIds();
    // Appending keeps the ranks given; anything else gives them again.
    bool appended =
        ids.size() >= mRanked.size() && std::equal(mRanked.begin(), mRanked.end(), ids.begin());
    if (!appended) {
        mRank.clear();
        mRanked.clear();
    }
    for (size_t i = mRanked.size(); i < ids.size(); ++i) {
        mRank[ids[i].slot()] = i + 1;
        mRanked.push_back(ids[i]);
    }
}

EntityIds EntityIndex::query(const geom::Box2& area) {
    refresh();
    EntityIds out;
    mTree.visit(area, [&](db::ObjectSlot* s, const geom::Box2&) { out.emplace_back(s); });
    return out;
}

size_t EntityIndex::rank(AcDbObjectId id) {
    refreshRanks();
    auto it = mRank.find(id.slot());
    return it == mRank.end() ? 0 : it->second;
}

size_t EntityIndex::size() {
    refresh();
    return mBoxes.size();
}

} // namespace zel::editor
