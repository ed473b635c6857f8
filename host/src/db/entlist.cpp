// Entity data lists: names, entget, entmod, entdel.
#include "db/entlist.h"

#include "db/access.h"
#include "db/database_impl.h"
#include "db/rbgroups.h"
#include "db/schema.h"
#include "db/xdata.h"

#include "core/text.h"

namespace zel::db {

DataList parseDataList(const resbuf* list) {
    DataList out;
    bool sawMarker = false;
    int appDepth = 0;
    for (const resbuf* rb = list; rb; rb = rb->rbnext) {
        if (rb->restype == -1) {
            out.name = idOfName(rb->resval.rlname);
            out.hasName = true;
            if (out.name.isNull()) out.error = L"the entity name is not one of the drawing";
            continue;
        }
        if (rb->restype == -3) {
            out.hasXData = true;
            out.xdata = rb->rbnext;
            break;
        }
        ZelGroupValue v;
        if (!groupFromRb(*rb, v, out.error)) return out;
        if (v.code == 0) {
            out.type = v.text;
            continue;
        }
        if (v.code == 100) sawMarker = true;
        if (v.code == 102) {
            appDepth += v.text.starts_with(L"{") ? 1 : v.text == L"}" ? -1 : 0;
            continue;
        }
        // Identity is not data: the handle, the owner and what 102 groups hold.
        if (v.code == 5 || v.code == 105 || appDepth > 0 || (v.code == 330 && !sawMarker)) continue;
        out.groups.push_back(std::move(v));
    }
    return out;
}

std::vector<ZelGroupValue> dataListGroups(const AcDbObject& object) {
    std::vector<ZelGroupValue> all, ordered;
    bool inXData = false;
    writeGroups(
        object,
        [&](const ZelGroupValue& v) {
            inXData = inXData || v.code == 1001;
            if (!inXData) all.push_back(v);
        },
        kEntityListStyle);
    // Owner first, then the handle, then the rest as written.
    ZelGroupValue owner;
    owner.code = 330;
    owner.integer = int64_t(object.ownerHandle().value());
    if (!object.ownerHandle().isNull()) ordered.push_back(owner);
    bool ownerSkipped = object.ownerHandle().isNull();
    for (const ZelGroupValue& v : all) {
        if (!ownerSkipped && v.code == 330 && v.integer == owner.integer) {
            ownerSkipped = true;
            continue;
        }
        ordered.push_back(v);
    }
    return ordered;
}

std::unique_ptr<AcDbObject> applyDataList(const AcDbObject& object,
                                          const std::vector<ZelGroupValue>& groups,
                                          std::wstring& why) {
    const ObjectSchema& schema = object.schema();
    // A fresh object tells which subclasses' repeated groups the list gives.
    std::unique_ptr<AcDbObject> probe = schema.create ? schema.create() : object.cloneState();
    GroupReader probeReader(*probe, kEntityListStyle);
    for (const ZelGroupValue& v : groups)
        probeReader.take(v);
    std::unique_ptr<AcDbObject> copy = object.cloneState();
    GroupReader reader(*copy, kEntityListStyle);
    reader.clearRepeated(probeReader.codecsUsed());
    for (const ZelGroupValue& v : groups)
        reader.take(v);
    reader.finish();
    if (!reader.ok()) {
        why = reader.error();
        return nullptr;
    }
    if (schema.validate && !schema.validate(*copy, why)) return nullptr;
    return copy;
}

namespace {

bool hasRecord(AcDbObjectId tableId, const wchar_t* name) {
    auto* table = peekAs<AcDbSymbolTable>(tableId);
    return table && table->has(name);
}

} // namespace

bool checkEntityNames(const AcDbObject& object, AcDbDatabase& db, std::wstring& why) {
    const AcDbEntity* e = AcDbEntity::cast(&object);
    if (!e) return true;
    std::wstring lt = e->linetype();
    if (core::equalsNoCase(lt, L"BYLAYER") || core::equalsNoCase(lt, L"BYBLOCK")) return true;
    if (hasRecord(db.linetypeTableId(), lt.c_str())) return true;
    why = L"linetype " + lt + L" is not in the drawing";
    return false;
}

void commitEntityNames(const AcDbObject& object, AcDbDatabase& db) {
    const AcDbEntity* e = AcDbEntity::cast(&object);
    if (!e || hasRecord(db.layerTableId(), e->layer())) return;
    AcDbLayerTable* table = nullptr;
    if (acdbOpenObject(table, db.layerTableId(), AcDb::kForWrite) != Acad::eOk) return;
    auto* layer = new AcDbLayerTableRecord;
    layer->setName(e->layer());
    if (table->add(layer) == Acad::eOk)
        layer->close();
    else
        delete layer;
    table->close();
}

bool wildcardMatch(std::wstring_view pattern, std::wstring_view text) {
    size_t comma = pattern.find(L',');
    if (comma != std::wstring_view::npos)
        return wildcardMatch(pattern.substr(0, comma), text) ||
               wildcardMatch(pattern.substr(comma + 1), text);
    if (pattern.empty()) return text.empty();
    if (pattern[0] == L'*')
        return wildcardMatch(pattern.substr(1), text) ||
               (!text.empty() && wildcardMatch(pattern, text.substr(1)));
    if (text.empty()) return false;
    if (pattern[0] != L'?' && core::toUpperChar(pattern[0]) != core::toUpperChar(text[0]))
        return false;
    return wildcardMatch(pattern.substr(1), text.substr(1));
}

} // namespace zel::db

using namespace zel::db;

Acad::ErrorStatus acdbGetAdsName(ads_name& name, AcDbObjectId id) {
    nameOf(id, name);
    return id.isNull() || !id.database() ? Acad::eNullObjectId : Acad::eOk;
}

Acad::ErrorStatus acdbGetObjectId(AcDbObjectId& id, const ads_name name) {
    id = idOfName(name);
    return id.isNull() ? Acad::eInvalidAdsName : Acad::eOk;
}

namespace {

resbuf* entGet(const ads_name ent, const resbuf* apps) {
    AcDbObjectId id = idOfName(ent);
    AcDbObject* object = peek(id);
    if (!object || id.isErased()) return nullptr;
    zel::core::RbBuilder list;
    ads_name name;
    nameOf(id, name);
    list.addName(-1, name);
    std::string_view type = object->dxfName();
    list.addString(0, std::wstring(type.begin(), type.end()));
    for (const ZelGroupValue& v : dataListGroups(*object))
        appendGroupRb(list, v, id.database());
    bool marker = false;
    for (const resbuf* a = apps; a; a = a->rbnext) {
        if (a->restype != RTSTR || !a->resval.rstring) continue;
        for (const AcDbXDataGroup& g : object->xDataGroups()) {
            if (!wildcardMatch(a->resval.rstring, g.appName)) continue;
            if (!marker) list.addNone(-3);
            marker = true;
            list.addString(1001, g.appName);
            for (const ZelGroupValue& v : g.values)
                appendGroupRb(list, v, id.database());
        }
        break; // one pattern (commas allow several)
    }
    return list.take().release();
}

} // namespace

resbuf* acdbEntGet(const ads_name ent) {
    return entGet(ent, nullptr);
}

resbuf* acdbEntGetX(const ads_name ent, const resbuf* apps) {
    return entGet(ent, apps);
}

int acdbEntMod(const resbuf* ent) {
    DataList list = parseDataList(ent);
    AcDbObject* object = peek(list.name);
    if (!list.error.empty() || !object || list.name.isErased()) return RTERROR;
    std::string_view type = object->dxfName();
    if (!list.type.empty() &&
        !zel::core::equalsNoCase(list.type, std::wstring(type.begin(), type.end())))
        return RTERROR; // the kind of an object never changes
    std::wstring why;
    std::unique_ptr<AcDbObject> copy = applyDataList(*object, list.groups, why);
    AcDbDatabase& db = *list.name.database();
    if (!copy || !checkEntityNames(*copy, db, why)) return RTERROR;
    if (list.hasXData) {
        std::vector<AcDbXDataGroup> xdata;
        if (mergeXData(copy->xDataGroups(), list.xdata, &db, xdata) != Acad::eOk) return RTERROR;
        Access::xdata(*copy) = std::move(xdata);
    }
    AcDbObject* open = nullptr;
    if (acdbOpenAcDbObject(open, list.name, AcDb::kForWrite) != Acad::eOk) return RTERROR;
    ObjectSlot* slot = list.name.slot();
    std::unique_ptr<AcDbObject> old = std::move(slot->object);
    auto* oldBlock = AcDbBlockTableRecord::cast(old.get());
    if (auto* block = AcDbBlockTableRecord::cast(copy.get()); block && oldBlock)
        Access::entities(*block) = std::move(Access::entities(*oldBlock));
    slot->object = std::move(copy);
    slot->object->attach(slot);
    slot->object->close();
    commitEntityNames(*slot->object, db);
    return RTNORM;
}

int acdbEntDel(const ads_name ent) {
    AcDbObjectId id = idOfName(ent);
    AcDbEntity* e = nullptr;
    if (acdbOpenObject(e, id, AcDb::kForWrite, true) != Acad::eOk) return RTERROR;
    // Sub-entities go with their complex entity.
    bool main = peekAs<AcDbBlockTableRecord>(e->ownerId()) != nullptr;
    Acad::ErrorStatus es = main ? e->erase(!e->isErased()) : Acad::eInvalidInput;
    e->close();
    return es == Acad::eOk ? RTNORM : RTERROR;
}

int acdbEntUpd(const ads_name ent) {
    AcDbObjectId id = idOfName(ent);
    return id.isNull() || id.isErased() ? RTERROR : RTNORM;
}

int acdbHandEnt(const ACHAR* handle, ads_name result) {
    ads_name_clear(result);
    AcDbDatabase* db = workingDatabase();
    if (!db || !handle) return RTERROR;
    AcDbObjectId id = db->impl().idOf(AcDbHandle(handle));
    if (id.isNull()) return RTERROR;
    nameOf(id, result);
    return RTNORM;
}

int acdbRegApp(const ACHAR* appName) {
    AcDbDatabase* db = workingDatabase();
    if (!db || !appName || !AcDbSymbolTableRecord::isValidName(appName)) return RTERROR;
    AcDbRegAppTable* table = nullptr;
    if (acdbOpenObject(table, db->regAppTableId(), AcDb::kForWrite) != Acad::eOk) return RTERROR;
    int result = RTERROR;
    if (!table->has(appName)) {
        auto* rec = new AcDbRegAppTableRecord;
        rec->setName(appName);
        if (table->add(rec) == Acad::eOk) {
            rec->close();
            result = RTNORM;
        } else {
            delete rec;
        }
    }
    table->close();
    return result;
}
