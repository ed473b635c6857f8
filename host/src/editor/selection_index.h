// The spatial index of the entities of a drawing's model space, kept current as the drawing
// changes: the database tells it of every object added, changed, erased or restored by undo
// (DatabaseImpl watchers); it takes the changes in when it is next asked.
//
// Boxes are the entities' geometric extents in the XY plane; construction lines and rays have
// unbounded boxes. Entities without extents (kinds the host keeps as raw data) are not in it.
// The index also knows the draw order: the rank of an entity in model space (the last drawn
// has the highest rank and is on top).
#pragma once

#include "db/slot.h"
#include "editor/selection.h"
#include "geom/spatial_index.h"

#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace zel::editor {

class EntityIndex {
public:
    explicit EntityIndex(AcDbDatabase& db);
    ~EntityIndex();
    EntityIndex(const EntityIndex&) = delete;
    EntityIndex& operator=(const EntityIndex&) = delete;

    // Null once the database has gone.
    AcDbDatabase* database() const { return mDb; }

    // Entities of model space, not erased, whose boxes overlap the area (unordered).
    EntityIds query(const geom::Box2& area);
    // The draw-order rank of an entity of model space (0 when it is not there).
    size_t rank(AcDbObjectId id);
    // Entities in the index.
    size_t size();

    // The box of an entity as the index keeps it; nullopt for an entity without extents.
    static std::optional<geom::Box2> boxOf(const AcDbEntity& entity);

private:
    void touched(db::ObjectSlot* slot);
    void refresh();
    void rebuild();
    void update(db::ObjectSlot* slot);
    void removeSlot(db::ObjectSlot* slot);
    void refreshRanks();
    bool inModelSpace(const db::ObjectSlot& slot) const;

    AcDbDatabase* mDb;
    int mWatcher = 0;
    db::ObjectSlot* mModelSpace = nullptr;
    bool mBuilt = false;
    bool mOrderDirty = true;
    geom::SpatialIndex<db::ObjectSlot*> mTree;
    std::unordered_map<db::ObjectSlot*, geom::Box2> mBoxes; // what the tree holds
    std::unordered_set<db::ObjectSlot*> mComposite;         // inserts and dimensions in the tree
    std::unordered_set<db::ObjectSlot*> mDirty;
    std::unordered_map<const db::ObjectSlot*, size_t> mRank;
    std::vector<AcDbObjectId> mRanked; // model space as the ranks were given
};

} // namespace zel::editor
