#include "commands/blocks.h"

#include "core/text.h"
#include "db/database_impl.h"

#include <memory>
#include <set>

namespace zel::commands {

namespace {

std::wstring upper(const std::wstring& s) {
    return core::toUpper(s);
}

void eraseContents(AcDbObjectId recordId) {
    const auto* record = db::peekAs<AcDbBlockTableRecord>(recordId);
    if (!record) return;
    std::vector<AcDbObjectId> ids = record->entityIds();
    for (AcDbObjectId id : ids) {
        if (id.isErased()) continue;
        AcDbEntity* ent = nullptr;
        if (acdbOpenAcDbEntity(ent, id, AcDb::kForWrite) != Acad::eOk) continue;
        ent->erase();
        ent->close();
    }
}

// A copy of the record of that name from source, when db lacks it.
template <class Table>
void copyRecordIfMissing(AcDbDatabase& db, AcDbDatabase& source, const std::wstring& name) {
    if (name.empty()) return;
    Table* target = nullptr;
    if (db.getSymbolTable(target, AcDb::kForWrite) != Acad::eOk) return;
    bool missing = !target->has(name.c_str());
    Table* from = nullptr;
    AcDbSymbolTableRecord* original = nullptr;
    if (missing && source.getSymbolTable(from, AcDb::kForRead) == Acad::eOk) {
        from->getAt(name.c_str(), original, AcDb::kForRead);
        from->close();
    }
    if (original) {
        std::unique_ptr<AcDbObject> copy = original->cloneState();
        original->close();
        auto* record = AcDbSymbolTableRecord::cast(copy.get());
        if (record && target->add(record) == Acad::eOk) {
            copy.release();
            record->close();
        }
    }
    target->close();
}

class DrawingImporter {
public:
    DrawingImporter(AcDbDatabase& db, AcDbDatabase& source) : mDb(db), mSource(source) {}

    // Copies the entities of the source record into the (emptied) block `name` of db.
    bool copyBlock(AcDbObjectId sourceRecordId, const std::wstring& name, const AcGePoint3d& base) {
        if (!mDone.insert(upper(name)).second) return true; // nested twice, or a cycle
        const auto* from = db::peekAs<AcDbBlockTableRecord>(sourceRecordId);
        if (!from) return false;
        std::vector<AcDbObjectId> ids = from->entityIds();
        AcDbObjectId target = defineBlock(mDb, name, base);
        if (target.isNull()) return false;
        for (AcDbObjectId id : ids)
            if (!id.isErased()) copyEntity(id, target);
        return true;
    }

private:
    void copyEntity(AcDbObjectId id, AcDbObjectId targetRecord) {
        const auto* ent = db::peekAs<AcDbEntity>(id);
        if (!ent) return;
        bringNamesOf(*ent);
        appendCopyToBlock(targetRecord, *ent);
    }

    void bringNamesOf(const AcDbEntity& ent) {
        copyRecordIfMissing<AcDbLayerTable>(mDb, mSource, ent.layer());
        copyRecordIfMissing<AcDbLinetypeTable>(mDb, mSource, ent.linetype());
        if (const auto* text = AcDbText::cast(&ent))
            copyRecordIfMissing<AcDbTextStyleTable>(mDb, mSource, text->textStyleName());
        const auto* ref = AcDbBlockReference::cast(&ent);
        if (!ref) return;
        std::wstring nested = ref->blockName();
        AcDbObjectId nestedId = findBlock(mSource, nested);
        const auto* rec = db::peekAs<AcDbBlockTableRecord>(nestedId);
        if (rec && findBlock(mDb, nested).isNull()) copyBlock(nestedId, nested, rec->origin());
    }

    AcDbDatabase& mDb;
    AcDbDatabase& mSource;
    std::set<std::wstring> mDone;
};

} // namespace

std::vector<AcDbObjectId> liveRecords(AcDbDatabase& db, db::DatabaseImpl::Table table) {
    const auto* t = db::peekAs<AcDbSymbolTable>(db.impl().tableId(table));
    std::vector<AcDbObjectId> ids;
    if (!t) return ids;
    for (AcDbObjectId id : t->recordIds())
        if (!id.isErased()) ids.push_back(id);
    return ids;
}

void forEachEntityOf(AcDbDatabase& db, const std::function<void(const AcDbEntity&)>& fn) {
    for (AcDbObjectId recordId : liveRecords(db, db::DatabaseImpl::kBlock)) {
        const auto* record = db::peekAs<AcDbBlockTableRecord>(recordId);
        if (!record) continue;
        for (AcDbObjectId id : record->entityIds()) {
            const auto* ent = db::peekAs<AcDbEntity>(id);
            if (ent && !id.isErased()) fn(*ent);
        }
    }
}

AcDbObjectId findBlock(AcDbDatabase& db, const std::wstring& name) {
    AcDbBlockTable* table = nullptr;
    if (db.getBlockTable(table, AcDb::kForRead) != Acad::eOk) return {};
    AcDbObjectId id;
    if (table->getAt(name.c_str(), id) != Acad::eOk) id = AcDbObjectId();
    table->close();
    return id;
}

AcDbObjectId defineBlock(AcDbDatabase& db, const std::wstring& name, const AcGePoint3d& base) {
    AcDbObjectId id = findBlock(db, name);
    if (!id.isNull()) {
        eraseContents(id);
        AcDbBlockTableRecord* record = nullptr;
        if (acdbOpenObject(record, id, AcDb::kForWrite) != Acad::eOk) return {};
        record->setOrigin(base);
        record->close();
        return id;
    }
    AcDbBlockTable* table = nullptr;
    if (db.getBlockTable(table, AcDb::kForWrite) != Acad::eOk) return {};
    auto record = std::make_unique<AcDbBlockTableRecord>();
    Acad::ErrorStatus es = record->setName(name.c_str());
    if (es == Acad::eOk) es = table->add(id, record.get());
    table->close();
    if (es != Acad::eOk) return {};
    AcDbBlockTableRecord* raw = record.release(); // the database owns it now
    raw->setOrigin(base);
    raw->close();
    return id;
}

bool appendCopyToBlock(AcDbObjectId recordId, const AcDbEntity& source) {
    std::unique_ptr<AcDbObject> copy = source.cloneState();
    auto* ce = AcDbEntity::cast(copy.get());
    AcDbBlockTableRecord* record = nullptr;
    if (!ce || acdbOpenObject(record, recordId, AcDb::kForWrite) != Acad::eOk) return false;
    bool added = record->appendAcDbEntity(ce) == Acad::eOk;
    if (added) {
        copy.release(); // the database owns it now
        ce->close();
    }
    record->close();
    return added;
}

bool blockIsReferenced(AcDbDatabase& db, const std::wstring& name) {
    std::wstring wanted = upper(name);
    bool found = false;
    forEachEntityOf(db, [&](const AcDbEntity& ent) {
        const auto* ref = AcDbBlockReference::cast(&ent);
        if (ref && upper(ref->blockName()) == wanted) found = true;
    });
    return found;
}

bool importDrawingAsBlock(AcDbDatabase& db, AcDbDatabase& source, const std::wstring& name) {
    DrawingImporter importer(db, source);
    return importer.copyBlock(source.modelSpaceId(), name, source.insbase());
}

} // namespace zel::commands
