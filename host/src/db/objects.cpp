// XRECORD, GROUP, and the raw objects and entities of kinds the host does not model.
#include "db/access.h"
#include "db/database_impl.h"
#include "db/rbgroups.h"
#include "db/schema.h"

#include <algorithm>

using zel::db::Access;
using zel::db::FieldKind;

ZEL_DEFINE_MEMBERS(AcDbXrecord, AcDbObject)
ZEL_DEFINE_MEMBERS(AcDbGroup, AcDbObject)
ZEL_DEFINE_MEMBERS(AcDbRawObject, AcDbObject)
ZEL_DEFINE_MEMBERS(AcDbRawEntity, AcDbEntity)

// ---- XRECORD ----------------------------------------------------------------------------

namespace {

// The first 280 is the cloning flag; every other group (another 280 included) is data.
bool readXrecord(AcDbObject& o, const ZelGroupValue& v) {
    auto& x = static_cast<AcDbXrecord&>(o);
    auto& data = Access::xrecordData(x);
    if (v.code == 280 && data.empty() && !Access::xrecordMergeRead(x)) {
        Access::xrecordMergeRead(x) = true;
        Access::xrecordMerge(x) = int16_t(v.integer);
        return true;
    }
    data.push_back(v);
    return true;
}

void writeXrecord(const AcDbObject& o, const zel::db::GroupSink& sink) {
    const auto& x = static_cast<const AcDbXrecord&>(o);
    ZelGroupValue merge;
    merge.code = 280;
    merge.integer = x.mergeStyle();
    sink(merge);
    for (const ZelGroupValue& v : x.data())
        sink(v);
}

void clearXrecord(AcDbObject& o) {
    auto& x = static_cast<AcDbXrecord&>(o);
    Access::xrecordData(x).clear();
    Access::xrecordMergeRead(x) = false;
}

} // namespace

const zel::db::ObjectSchema& AcDbXrecord::kindSchema() {
    static const zel::db::ObjectSchema s{
        "XRECORD",
        false,
        {{"AcDbXrecord", {}, {readXrecord, writeXrecord, nullptr, clearXrecord}}},
        &zel::db::createKind<AcDbXrecord>};
    return s;
}

Acad::ErrorStatus AcDbXrecord::rbChain(resbuf** list, AcDbDatabase* db) const {
    if (!list) return Acad::eInvalidInput;
    if (!db) db = database();
    zel::core::RbBuilder out;
    for (const ZelGroupValue& v : mData)
        zel::db::appendGroupRb(out, v, db);
    if (!out.ok()) return Acad::eOutOfMemory;
    *list = out.take().release();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbXrecord::setFromRbChain(const resbuf* list, AcDbDatabase*) {
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    std::vector<ZelGroupValue> data;
    for (const resbuf* rb = list; rb; rb = rb->rbnext) {
        ZelGroupValue v;
        std::wstring why;
        if (!zel::db::groupFromRb(*rb, v, why) || v.code < 0) return Acad::eInvalidInput;
        data.push_back(std::move(v));
    }
    assertWriteEnabled();
    mData = std::move(data);
    return Acad::eOk;
}

void AcDbXrecord::setData(std::vector<ZelGroupValue> data) {
    assertWriteEnabled();
    mData = std::move(data);
}

void AcDbXrecord::setMergeStyle(int16_t style) {
    assertWriteEnabled();
    mMergeStyle = style;
}

// ---- GROUP ------------------------------------------------------------------------------

namespace {

bool readGroupEntity(AcDbObject& o, const ZelGroupValue& v) {
    if (v.code != 340) return false;
    Access::groupEntities(static_cast<AcDbGroup&>(o)).push_back(AcDbHandle(uint64_t(v.integer)));
    return true;
}

void writeGroupEntities(const AcDbObject& o, const zel::db::GroupSink& sink) {
    for (AcDbHandle h : static_cast<const AcDbGroup&>(o).entityHandles()) {
        ZelGroupValue v;
        v.code = 340;
        v.integer = int64_t(h.value());
        sink(v);
    }
}

void clearGroupEntities(AcDbObject& o) {
    Access::groupEntities(static_cast<AcDbGroup&>(o)).clear();
}

} // namespace

const zel::db::ObjectSchema& AcDbGroup::kindSchema() {
    using G = AcDbGroup;
    static const zel::db::ObjectSchema s{
        "GROUP",
        false,
        {{"AcDbGroup",
          {
              {300, FieldKind::String, ZEL_FIELD(G, mDescription)},
              {70, FieldKind::Bool, ZEL_FIELD(G, mUnnamed)},
              {71, FieldKind::Bool, ZEL_FIELD(G, mSelectable), 0, 1},
          },
          {readGroupEntity, writeGroupEntities, nullptr, clearGroupEntities}}},
        &zel::db::createKind<G>};
    return s;
}

AcDbGroup::AcDbGroup(const ACHAR* description, bool selectable)
    : mDescription(description ? description : L""), mSelectable(selectable) {}

Acad::ErrorStatus AcDbGroup::setDescription(const ACHAR* text) {
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mDescription = text ? text : L"";
    return Acad::eOk;
}

Acad::ErrorStatus AcDbGroup::setSelectable(bool selectable) {
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mSelectable = selectable;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbGroup::setAnonymous() {
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mUnnamed = true;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbGroup::append(AcDbObjectId id) {
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    if (id.isNull() || id.isErased() || !zel::db::peekAs<AcDbEntity>(id))
        return Acad::eInvalidInput;
    if (database() && id.database() != database()) return Acad::eInvalidInput;
    if (has(id)) return Acad::eDuplicateKey;
    assertWriteEnabled();
    mEntities.push_back(id.handle());
    return Acad::eOk;
}

Acad::ErrorStatus AcDbGroup::remove(AcDbObjectId id) {
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    if (!has(id)) return Acad::eKeyNotFound;
    assertWriteEnabled();
    std::erase(mEntities, id.handle());
    return Acad::eOk;
}

Acad::ErrorStatus AcDbGroup::clear() {
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mEntities.clear();
    return Acad::eOk;
}

bool AcDbGroup::has(AcDbObjectId id) const {
    return !id.isNull() &&
           std::find(mEntities.begin(), mEntities.end(), id.handle()) != mEntities.end();
}

bool AcDbGroup::has(const AcDbEntity* entity) const {
    return entity && has(entity->objectId());
}

uint32_t AcDbGroup::allEntityIds(AcDbObjectIdArray& ids) const {
    ids.clear();
    AcDbDatabase* db = database();
    for (AcDbHandle h : mEntities) {
        AcDbObjectId id = db ? db->impl().idOf(h) : AcDbObjectId();
        if (!id.isNull() && !id.isErased()) ids.push_back(id);
    }
    return uint32_t(ids.size());
}

// ---- raw objects and entities -----------------------------------------------------------

const zel::db::ObjectSchema& AcDbRawObject::kindSchema() {
    // Not registered: every group is kept, in order, as an unknown group.
    static const zel::db::ObjectSchema s{"", false, {}, nullptr};
    return s;
}

const zel::db::ObjectSchema& AcDbRawEntity::kindSchema() {
    static const zel::db::ObjectSchema s{"", true, {AcDbEntity::commonSchema()}, nullptr};
    return s;
}

Acad::ErrorStatus AcDbRawEntity::getGeomExtents(AcDbExtents&) const {
    return Acad::eInvalidExtents;
}

Acad::ErrorStatus AcDbRawEntity::transformBy(const AcGeMatrix3d&) {
    return Acad::eNotApplicable;
}
