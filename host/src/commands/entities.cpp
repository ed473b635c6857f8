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

bool eraseEntity(AcDbObjectId id, bool erasing) {
    AcDbEntity* ent = nullptr;
    if (acdbOpenAcDbEntity(ent, id, AcDb::kForWrite, !erasing) != Acad::eOk) return false;
    Acad::ErrorStatus es = ent->erase(erasing);
    ent->close();
    return es == Acad::eOk;
}

} // namespace zel::commands
