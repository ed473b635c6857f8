// Opening and closing objects, erase and unerase.
//
// Rules: reads may stack; a write open is exclusive (a second write fails with
// eWasOpenForWrite, a write while read-open with eWasOpenForRead, a read while write-open
// with eWasOpenForWrite); erased objects open only when asked for; an entity on a locked
// layer does not open for write; every open is closed once (closing more is an error).
#include "db/access.h"
#include "db/database_impl.h"

#include "core/text.h"

#include <cassert>

namespace {

using zel::db::ObjectSlot;

bool onLockedLayer(const ObjectSlot& s) {
    const AcDbEntity* e = AcDbEntity::cast(s.object.get());
    if (!e || !s.database) return false;
    auto* table = zel::db::peekAs<AcDbLayerTable>(s.database->layerTableId());
    AcDbObjectId layerId;
    if (!table || table->getAt(e->layer(), layerId) != Acad::eOk) return false;
    auto* layer = zel::db::peekAs<AcDbLayerTableRecord>(layerId);
    return layer && layer->isLocked();
}

Acad::ErrorStatus openSlot(ObjectSlot* s, AcDb::OpenMode mode, bool openErased,
                           bool openOnLockedLayer) {
    if (!s) return Acad::eNullObjectId;
    if (!s->alive) return openErased ? Acad::eNotInDatabase : Acad::eWasErased;
    if (s->erased && !openErased) return Acad::eWasErased;
    if (s->writer) return Acad::eWasOpenForWrite;
    if (mode != AcDb::kForWrite) {
        ++s->readers;
        return Acad::eOk;
    }
    if (s->readers > 0) return Acad::eWasOpenForRead;
    if (!openOnLockedLayer && onLockedLayer(*s)) return Acad::eOnLockedLayer;
    s->writer = true;
    s->database->impl().journal().beforeChange(s);
    return Acad::eOk;
}

void (*gLeakHandler)(const std::wstring&) = nullptr;

} // namespace

Acad::ErrorStatus acdbOpenAcDbObject(AcDbObject*& object, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErased) {
    object = nullptr;
    Acad::ErrorStatus es = openSlot(id.slot(), mode, openErased, false);
    if (es == Acad::eOk) object = id.slot()->object.get();
    return es;
}

Acad::ErrorStatus acdbOpenAcDbEntity(AcDbEntity*& entity, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErased) {
    return acdbOpenObject(entity, id, mode, openErased);
}

Acad::ErrorStatus AcDbObject::close() {
    ObjectSlot* s = mSlot;
    if (!s) return Acad::eOk; // not in a database: nothing is open
    if (s->writer) {
        s->writer = false;
        s->isNew = false;
        return Acad::eOk;
    }
    if (s->readers > 0) {
        --s->readers;
        return Acad::eOk;
    }
    return Acad::eInvalidOpenState; // closed more often than opened
}

Acad::ErrorStatus AcDbObject::upgradeOpen() {
    ObjectSlot* s = mSlot;
    if (!s) return Acad::eOk;
    if (s->writer) return Acad::eWasOpenForWrite;
    if (s->readers == 0) return Acad::eNotOpenForRead;
    if (s->readers > 1) return Acad::eHadMultipleReaders;
    if (onLockedLayer(*s)) return Acad::eOnLockedLayer;
    s->readers = 0;
    s->writer = true;
    s->database->impl().journal().beforeChange(s);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::downgradeOpen() {
    ObjectSlot* s = mSlot;
    if (!s) return Acad::eOk;
    if (!s->writer) return Acad::eNotOpenForWrite;
    s->writer = false;
    s->readers = 1;
    return Acad::eOk;
}

namespace {

// Objects the drawing cannot be without: tables, the named-objects dictionary, model and
// paper space, layer "0" and the standard linetypes.
bool isPermanent(const AcDbObject& o) {
    AcDbDatabase* db = o.database();
    if (AcDbSymbolTable::cast(&o)) return true;
    AcDbObjectId id = o.objectId();
    if (id == db->namedObjectsDictionaryId() || id == db->groupDictionaryId()) return true;
    if (id == db->modelSpaceId() || id == db->paperSpaceId() || id == db->layerZero()) return true;
    return id == db->byLayerLinetype() || id == db->byBlockLinetype() ||
           id == db->continuousLinetype();
}

} // namespace

Acad::ErrorStatus AcDbObject::erase(bool erasing) {
    ObjectSlot* s = mSlot;
    if (!s) return Acad::eNotInDatabase;
    if (!s->writer) return Acad::eNotOpenForWrite;
    if (s->erased == erasing) return erasing ? Acad::eWasErased : Acad::eWasNotErased;
    if (erasing && isPermanent(*this)) return Acad::eCannotBeErasedByCaller;
    s->database->impl().journal().erasedChanged(s, s->erased);
    s->erased = erasing;
    return Acad::eOk;
}

namespace zel::db {

int openObjectCount(const AcDbDatabase& db) {
    int n = 0;
    db.impl().forEachSlot([&](ObjectSlot& s) { n += s.alive && s.isOpen() ? 1 : 0; });
    return n;
}

void setOpenObjectLeakHandler(void (*handler)(const std::wstring& report)) {
    gLeakHandler = handler;
}

// Called by the database's destructor.
void reportOpenObjects(const AcDbDatabase& db) {
    std::wstring report;
    db.impl().forEachSlot([&](ObjectSlot& s) {
        if (!s.alive || !s.isOpen()) return;
        std::string_view type = s.object->dxfName();
        report += L"object " + s.handle.text() + L" (" + std::wstring(type.begin(), type.end()) +
                  (s.writer ? L") open for write\n" : L") open for read\n");
    });
    if (report.empty()) return;
    report = L"drawing closed with objects still open:\n" + report;
    if (gLeakHandler) {
        gLeakHandler(report);
        return;
    }
    fprintf(stderr, "%s", zel::core::wideToUtf8(report).c_str());
#ifndef NDEBUG
    assert(false && "objects were left open");
#endif
}

} // namespace zel::db
