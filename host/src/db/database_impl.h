// The host's side of a database: the object slots, the handle map and seed, the header
// variables, the sections kept raw, the undo journal and the ids of the tables.
#pragma once

#include "db/header.h"
#include "db/slot.h"
#include "db/undo.h"

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace zel::db {

// Why an object did not get the handle it asked for.
struct HandleWarning {
    AcDbHandle wanted;
    AcDbHandle given;
    std::string dxfName;
};

class DatabaseImpl {
public:
    explicit DatabaseImpl(AcDbDatabase& owner);
    ~DatabaseImpl();
    AcDbDatabase& database() { return mOwner; }

    // Adds an object (open for write afterwards) with the handle it asks for, when that one
    // is free, or a fresh one; a handle already in use is reported in handleWarnings().
    ObjectSlot* add(std::unique_ptr<AcDbObject> object, AcDbHandle wanted = {});
    ObjectSlot* findHandle(AcDbHandle handle) const;
    // Makes room for about this many objects in the handle map (a reader knowing the size of
    // its file spares the map its rehashes).
    void reserveObjects(size_t count) { mByHandle.reserve(mByHandle.size() + count); }
    AcDbObjectId idOf(AcDbHandle handle) const { return AcDbObjectId(findHandle(handle)); }
    // True when the pointer is a slot of this database (for names from the C-style API).
    bool ownsSlot(const void* slot) const;
    // Every slot ever used, in the order of creation (dead ones included).
    void forEachSlot(const std::function<void(ObjectSlot&)>& fn) const;
    size_t slotCount() const { return mUsed; }

    uint64_t handseed() const { return mHandseed; }
    void setHandseed(uint64_t next);
    const std::vector<HandleWarning>& handleWarnings() const { return mWarnings; }
    void clearHandleWarnings() { mWarnings.clear(); }

    // Header variables; changes go through the journal.
    const HeaderVars& header() const { return mHeader; }
    void setHeader(std::wstring_view name, std::vector<ZelGroupValue> values);
    void eraseHeader(std::wstring_view name);
    HeaderVars& headerForRestore() { return mHeader; }

    // Sections kept as groups (CLASSES, THUMBNAILIMAGE, ACDSDATA, unknown ones), in order.
    const std::vector<RawSection>& rawSections() const { return mSections; }
    void setRawSections(std::vector<RawSection> sections);
    std::vector<RawSection>& sectionsForRestore() { return mSections; }

    UndoJournal& journal() { return mJournal; }

    // The per-database tag of entity names (ads_name[1]).
    int64_t nameTag() const { return mTag; }

    // Ids of the tables and the named-objects dictionary (set by the builder or the reader).
    enum Table {
        kBlock,
        kLayer,
        kLinetype,
        kStyle,
        kDimStyle,
        kAppId,
        kUcs,
        kView,
        kVport,
        kTableCount
    };
    AcDbObjectId tableId(Table t) const { return mTables[t]; }
    void setTableId(Table t, AcDbObjectId id) { mTables[t] = id; }
    AcDbObjectId namedObjects() const { return mNamedObjects; }
    void setNamedObjects(AcDbObjectId id) { mNamedObjects = id; }

    // Host-side removal of a slot whose addition is undone.
    void kill(ObjectSlot* slot);
    // The place of a slot in the order of creation.
    size_t ordinal(const ObjectSlot* slot) const;

    // Where acdbTblNext continues in each table (by table name), -1 before the first.
    std::map<std::string, long>& tableCursors() { return mTableCursors; }
    // A complex entity being made by acdbEntMake (POLYLINE or INSERT waiting for its SEQEND).
    std::unique_ptr<AcDbEntity>& pendingComplex() { return mPendingComplex; }

    // Watchers told of every object added, about to change, erased or restored by undo, and
    // of the owner of an entity list that changed (a null slot: the database goes away). The
    // editor's spatial index of entities keeps itself current with them.
    using Watcher = std::function<void(ObjectSlot*)>;
    int addWatcher(Watcher watcher);
    void removeWatcher(int id);
    void touched(ObjectSlot* slot) const;

private:
    ObjectSlot* newSlot();
    static constexpr size_t kChunk = 1024;

    AcDbDatabase& mOwner;
    std::vector<std::unique_ptr<ObjectSlot[]>> mChunks;
    std::map<uintptr_t, size_t> mChunkByAddress;
    size_t mUsed = 0;
    std::unordered_map<uint64_t, ObjectSlot*> mByHandle;
    uint64_t mHandseed = 1;
    std::vector<HandleWarning> mWarnings;
    HeaderVars mHeader;
    std::vector<RawSection> mSections;
    UndoJournal mJournal;
    int64_t mTag;
    std::array<AcDbObjectId, kTableCount> mTables{};
    AcDbObjectId mNamedObjects;
    std::map<std::string, long> mTableCursors;
    std::unique_ptr<AcDbEntity> mPendingComplex;
    std::vector<std::pair<int, Watcher>> mWatchers;
    int mNextWatcher = 1;
};

// The object of a slot without opening it (host code that only reads; never for modules).
inline AcDbObject* peek(AcDbObjectId id) {
    ObjectSlot* s = id.slot();
    return s && s->alive ? s->object.get() : nullptr;
}
template <class T> T* peekAs(AcDbObjectId id) {
    return T::cast(peek(id));
}

// The database whose names carry this tag, or null.
AcDbDatabase* databaseByNameTag(int64_t tag);

// Prepares an object of this database for a change made by the host itself (records its
// state for undo when the journal is recording); the object need not be open.
void noteChange(AcDbObject& object);

// Builds the standard tables, records and dictionaries of a new drawing.
void buildDefaultDrawing(AcDbDatabase& db);
// Creates the empty tables and the named-objects dictionary (for a reader).
void buildEmptyContainers(AcDbDatabase& db);

} // namespace zel::db
