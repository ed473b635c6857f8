// acdbEntMake / acdbEntMakeX: new entities (and, with MakeX, unowned objects) from data lists.
#include "db/access.h"
#include "db/database_impl.h"
#include "db/entlist.h"
#include "db/rbgroups.h"
#include "db/schema.h"
#include "db/xdata.h"

#include "core/text.h"

using namespace zel::db;

namespace {

// An object of the list's kind with the list's data; null when the list is refused.
std::unique_ptr<AcDbObject> makeObject(const DataList& list, AcDbDatabase& db) {
    std::wstring upper = zel::core::toUpper(list.type);
    const ObjectSchema* base =
        SchemaRegistry::instance().find(std::string(upper.begin(), upper.end()));
    if (!base || !base->create) return nullptr;
    const ObjectSchema& schema = base->forGroups(list.groups);
    std::unique_ptr<AcDbObject> object = schema.create();
    GroupReader reader(*object, kEntityListStyle);
    for (const ZelGroupValue& v : list.groups)
        reader.take(v);
    reader.finish();
    std::wstring why;
    if (!reader.ok() || (schema.validate && !schema.validate(*object, why))) return nullptr;
    if (!checkEntityNames(*object, db, why)) return nullptr;
    if (list.hasXData) {
        std::vector<AcDbXDataGroup> xdata;
        if (mergeXData({}, list.xdata, &db, xdata) != Acad::eOk) return nullptr;
        Access::xdata(*object) = std::move(xdata);
    }
    if (auto* e = AcDbEntity::cast(object.get())) Access::markGivenProperties(*e, list.groups);
    return object;
}

bool startsComplex(const AcDbObject& o, const DataList& list) {
    if (AcDb2dPolyline::cast(&o)) return true;
    if (!AcDbBlockReference::cast(&o)) return false;
    for (const ZelGroupValue& v : list.groups)
        if (v.code == 66) return v.integer != 0;
    return false;
}

// Adds a sub-entity to the complex entity being made; false when it does not belong there.
bool addToComplex(AcDbEntity& parent, std::unique_ptr<AcDbObject> part) {
    if (auto* pline = AcDb2dPolyline::cast(&parent)) {
        auto* vertex = AcDb2dVertex::cast(part.get());
        if (!vertex || pline->appendVertex(vertex) != Acad::eOk) return false;
        part.release(); // the polyline took it
        return true;
    }
    auto* insert = AcDbBlockReference::cast(&parent);
    auto* attribute = AcDbAttribute::cast(part.get());
    if (!insert || !attribute || insert->appendAttribute(attribute) != Acad::eOk) return false;
    part.release();
    return true;
}

int appendToModelSpace(AcDbDatabase& db, std::unique_ptr<AcDbEntity> entity, ads_name result) {
    commitEntityNames(*entity, db);
    AcDbBlockTableRecord* ms = nullptr;
    if (acdbOpenObject(ms, db.modelSpaceId(), AcDb::kForWrite) != Acad::eOk) return RTERROR;
    AcDbObjectId id;
    AcDbEntity* raw = entity.get();
    Acad::ErrorStatus es = ms->appendAcDbEntity(id, entity.release());
    ms->close();
    if (es != Acad::eOk) {
        delete raw; // not taken
        return RTERROR;
    }
    raw->close();
    if (result) nameOf(id, result);
    return RTNORM;
}

int entMake(const resbuf* rb, ads_name result, bool objects) {
    if (result) ads_name_clear(result);
    AcDbDatabase* db = workingDatabase();
    if (!db) return RTERROR;
    std::unique_ptr<AcDbEntity>& pending = db->impl().pendingComplex();
    DataList list = parseDataList(rb);
    std::wstring type = zel::core::toUpper(list.type);
    if (!list.error.empty() || type.empty()) {
        pending.reset();
        return RTERROR;
    }
    bool part = type == L"VERTEX" || type == L"ATTRIB" || type == L"SEQEND";
    if (part && !pending) return RTERROR; // parts only follow their complex entity
    if (type == L"SEQEND") return appendToModelSpace(*db, std::move(pending), result);
    std::unique_ptr<AcDbObject> object = makeObject(list, *db);
    if (part) {
        bool ok = object && addToComplex(*pending, std::move(object));
        if (!ok) pending.reset();
        return ok ? RTNORM : RTERROR;
    }
    pending.reset(); // a new entity drops a sequence left unfinished
    if (!object) return RTERROR;
    if (!AcDbEntity::cast(object.get())) {
        if (!objects) return RTERROR; // an object without owner: acdbEntMakeX only
        ObjectSlot* s = db->impl().add(std::move(object));
        s->object->close();
        if (result) nameOf(AcDbObjectId(s), result);
        return RTNORM;
    }
    std::unique_ptr<AcDbEntity> entity(static_cast<AcDbEntity*>(object.release()));
    if (startsComplex(*entity, list)) {
        pending = std::move(entity);
        return RTNORM;
    }
    return appendToModelSpace(*db, std::move(entity), result);
}

} // namespace

int acdbEntMake(const resbuf* ent) {
    return entMake(ent, nullptr, false);
}

int acdbEntMakeX(const resbuf* ent, ads_name result) {
    return entMake(ent, result, true);
}
