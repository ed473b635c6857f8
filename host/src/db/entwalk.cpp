// Walking the drawing (entnext, entlast) and searching tables (tblsearch, tblnext).
#include "db/database_impl.h"
#include "db/entlist.h"
#include "db/rbgroups.h"
#include "db/schema.h"

#include "core/text.h"

#include <algorithm>

using namespace zel::db;

namespace {

// The blocks whose entities make the drawing: model space, then the paper-space layouts.
std::vector<AcDbBlockTableRecord*> layoutBlocks(AcDbDatabase& db) {
    std::vector<AcDbBlockTableRecord*> blocks;
    if (auto* ms = peekAs<AcDbBlockTableRecord>(db.modelSpaceId())) blocks.push_back(ms);
    auto* table = peekAs<AcDbBlockTable>(db.blockTableId());
    for (AcDbObjectId id : table ? table->recordIds() : std::vector<AcDbObjectId>()) {
        auto* b = peekAs<AcDbBlockTableRecord>(id);
        if (b && !id.isErased() && b->isLayout() && id != db.modelSpaceId()) blocks.push_back(b);
    }
    return blocks;
}

// The place of an id in a list; the last answer is tried first, so a walk stays linear.
long indexIn(const std::vector<AcDbObjectId>& list, AcDbObjectId id) {
    static const std::vector<AcDbObjectId>* lastList = nullptr;
    static size_t lastIndex = 0;
    if (lastList == &list && lastIndex < list.size() && list[lastIndex] == id)
        return long(lastIndex);
    for (size_t i : {lastIndex + 1, lastIndex + 2}) {
        if (lastList == &list && i < list.size() && list[i] == id) {
            lastIndex = i;
            return long(i);
        }
    }
    auto it = std::find(list.begin(), list.end(), id);
    if (it == list.end()) return -1;
    lastList = &list;
    lastIndex = size_t(it - list.begin());
    return long(lastIndex);
}

AcDbObjectId firstLive(const std::vector<AcDbObjectId>& list, size_t from) {
    for (size_t i = from; i < list.size(); ++i)
        if (!list[i].isErased()) return list[i];
    return {};
}

// The main entity after `after` (null: the first), across the layout blocks.
AcDbObjectId nextMain(AcDbDatabase& db, AcDbObjectId after) {
    std::vector<AcDbBlockTableRecord*> blocks = layoutBlocks(db);
    size_t b = 0, from = 0;
    if (!after.isNull()) {
        AcDbObjectId owner = peek(after)->ownerId();
        auto it = std::find_if(blocks.begin(), blocks.end(),
                               [&](AcDbBlockTableRecord* r) { return r->objectId() == owner; });
        if (it == blocks.end()) return {};
        b = size_t(it - blocks.begin());
        long i = indexIn((*it)->entityIds(), after);
        if (i < 0) return {};
        from = size_t(i) + 1;
    }
    for (; b < blocks.size(); ++b, from = 0) {
        AcDbObjectId id = firstLive(blocks[b]->entityIds(), from);
        if (!id.isNull()) return id;
    }
    return {};
}

AcDbObjectId nextEntity(AcDbDatabase& db, AcDbObjectId current) {
    if (current.isNull()) return nextMain(db, {});
    auto* e = peekAs<AcDbEntity>(current);
    if (!e) return {};
    std::vector<AcDbObjectId> subs = e->subEntityIds();
    if (AcDbObjectId first = firstLive(subs, 0); !first.isNull()) return first;
    auto* parent = peekAs<AcDbEntity>(e->ownerId());
    if (!parent) return nextMain(db, current); // a main entity
    subs = parent->subEntityIds();
    auto it = std::find(subs.begin(), subs.end(), current);
    if (it != subs.end()) {
        AcDbObjectId next = firstLive(subs, size_t(it - subs.begin()) + 1);
        if (!next.isNull()) return next;
    }
    return nextMain(db, parent->objectId());
}

} // namespace

int acdbEntNext(const ads_name ent, ads_name result) {
    ads_name_clear(result);
    AcDbObjectId current;
    AcDbDatabase* db = workingDatabase();
    if (ent && !ads_name_nil(ent)) {
        current = idOfName(ent);
        if (current.isNull()) return RTERROR;
        db = current.database();
    }
    if (!db) return RTERROR;
    AcDbObjectId next = nextEntity(*db, current);
    if (next.isNull()) return RTERROR;
    nameOf(next, result);
    return RTNORM;
}

int acdbEntLast(ads_name result) {
    ads_name_clear(result);
    AcDbDatabase* db = workingDatabase();
    if (!db) return RTERROR;
    AcDbObjectId last;
    for (AcDbBlockTableRecord* b : layoutBlocks(*db)) {
        const auto& ids = b->entityIds();
        for (auto it = ids.rbegin(); it != ids.rend(); ++it) {
            if (it->isErased()) continue;
            if (last.isNull() || db->impl().ordinal(it->slot()) > db->impl().ordinal(last.slot()))
                last = *it;
            break;
        }
    }
    if (last.isNull()) return RTERROR;
    nameOf(last, result);
    return RTNORM;
}

// ---- tables -----------------------------------------------------------------------------

namespace {

AcDbObjectId tableByName(AcDbDatabase& db, std::wstring_view name, std::string& key) {
    std::wstring upper = zel::core::toUpper(name);
    key = std::string(upper.begin(), upper.end());
    if (upper == L"LAYER") return db.layerTableId();
    if (upper == L"LTYPE") return db.linetypeTableId();
    if (upper == L"STYLE") return db.textStyleTableId();
    if (upper == L"DIMSTYLE") return db.dimStyleTableId();
    if (upper == L"APPID") return db.regAppTableId();
    if (upper == L"UCS") return db.UCSTableId();
    if (upper == L"VIEW") return db.viewTableId();
    if (upper == L"VPORT") return db.viewportTableId();
    if (upper == L"BLOCK") return db.blockTableId();
    return {};
}

// A record as tblsearch lists it: (0 . type) then its own subclass's groups; a block gives
// its BLOCK data and (-2 . first entity).
resbuf* recordList(AcDbObjectId id) {
    AcDbObject* rec = peek(id);
    if (!rec) return nullptr;
    zel::core::RbBuilder list;
    if (auto* block = AcDbBlockTableRecord::cast(rec)) {
        list.addString(0, L"BLOCK");
        list.addString(2, block->name());
        list.addShort(70, block->blockFlags());
        AcGePoint3d o = block->origin();
        list.addPoint(10, o.x, o.y, o.z);
        AcDbObjectId first = firstLive(block->entityIds(), 0);
        if (!first.isNull()) {
            ads_name name;
            nameOf(first, name);
            list.addName(-2, name);
        }
        return list.take().release();
    }
    std::string_view type = rec->dxfName();
    list.addString(0, std::wstring(type.begin(), type.end()));
    int markers = 0;
    writeGroups(
        *rec,
        [&](const ZelGroupValue& v) {
            if (v.code == 100) ++markers;
            if (markers >= 2 && v.code != 100 && v.code < 1000)
                appendGroupRb(list, v, id.database());
        },
        kEntityListStyle);
    return list.take().release();
}

} // namespace

resbuf* acdbTblSearch(const ACHAR* tableName, const ACHAR* name, int setNext) {
    AcDbDatabase* db = workingDatabase();
    if (!db || !tableName || !name) return nullptr;
    std::string key;
    auto* table = peekAs<AcDbSymbolTable>(tableByName(*db, tableName, key));
    AcDbObjectId id;
    if (!table || table->getAt(name, id) != Acad::eOk) return nullptr;
    if (setNext) {
        const auto& ids = table->recordIds();
        db->impl().tableCursors()[key] = long(std::find(ids.begin(), ids.end(), id) - ids.begin());
    }
    return recordList(id);
}

resbuf* acdbTblNext(const ACHAR* tableName, int rewind) {
    AcDbDatabase* db = workingDatabase();
    if (!db || !tableName) return nullptr;
    std::string key;
    auto* table = peekAs<AcDbSymbolTable>(tableByName(*db, tableName, key));
    if (!table) return nullptr;
    auto [it, fresh] = db->impl().tableCursors().try_emplace(key, -1);
    if (rewind) it->second = -1;
    const auto& ids = table->recordIds();
    for (size_t i = size_t(it->second + 1); i < ids.size(); ++i) {
        it->second = long(i);
        auto* block = peekAs<AcDbBlockTableRecord>(ids[i]);
        if (ids[i].isErased() || (block && block->isLayout())) continue;
        return recordList(ids[i]);
    }
    return nullptr;
}
