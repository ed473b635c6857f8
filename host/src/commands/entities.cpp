#include "commands/entities.h"

namespace zel::commands {

AcDbObjectId appendEntity(AcDbDatabase& db, std::unique_ptr<AcDbEntity> entity) {
    AcDbBlockTableRecord* space = nullptr;
    if (acdbOpenObject(space, db.currentSpaceId(), AcDb::kForWrite) != Acad::eOk) return {};
    entity->setDatabaseDefaults(&db);
    AcDbObjectId id;
    AcDbEntity* raw = entity.get();
    Acad::ErrorStatus es = space->appendAcDbEntity(id, raw);
    space->close();
    if (es != Acad::eOk) return {};
    entity.release(); // the database owns it now
    raw->close();
    return id;
}

AcDbObjectId appendCopy(AcDbDatabase& db, AcDbObjectId source, const AcGeMatrix3d& m) {
    AcDbEntity* ent = nullptr;
    if (acdbOpenAcDbEntity(ent, source, AcDb::kForRead) != Acad::eOk) return {};
    std::unique_ptr<AcDbObject> copy = ent->cloneState();
    ent->close();
    std::unique_ptr<AcDbEntity> ce(AcDbEntity::cast(copy.release()));
    if (!ce) return {};
    ce->transformBy(m);
    return appendEntity(db, std::move(ce));
}

bool transformEntity(AcDbObjectId id, const AcGeMatrix3d& m) {
    AcDbEntity* ent = nullptr;
    if (acdbOpenAcDbEntity(ent, id, AcDb::kForWrite) != Acad::eOk) return false;
    Acad::ErrorStatus es = ent->transformBy(m);
    ent->close();
    return es == Acad::eOk;
}

bool eraseEntity(AcDbObjectId id, bool erasing) {
    AcDbEntity* ent = nullptr;
    if (acdbOpenAcDbEntity(ent, id, AcDb::kForWrite, !erasing) != Acad::eOk) return false;
    Acad::ErrorStatus es = ent->erase(erasing);
    ent->close();
    return es == Acad::eOk;
}

} // namespace zel::commands
