// Block records: entities in draw order, the BLOCK and ENDBLK objects, iteration.
#include "db/access.h"
#include "db/blocks.h"
#include "db/database_impl.h"
#include "db/schema.h"

#include "core/text.h"

#include <algorithm>

using zel::db::FieldKind;
using zel::db::kSkipDefault;

ZEL_DEFINE_MEMBERS(AcDbBlockTableRecord, AcDbSymbolTableRecord)
ZEL_DEFINE_MEMBERS(AcDbBlockBegin, AcDbEntity)
ZEL_DEFINE_MEMBERS(AcDbBlockEnd, AcDbEntity)

AcDbBlockTableRecord::AcDbBlockTableRecord(const AcDbBlockTableRecord& o)
    : AcDbSymbolTableRecord(o), mLayout(o.mLayout), mInsertUnits(o.mInsertUnits),
      mExplodable(o.mExplodable), mScalable(o.mScalable), mOrigin(o.mOrigin),
      mBlockFlags(o.mBlockFlags), mComments(o.mComments), mPathName(o.mPathName), mBegin(o.mBegin),
      mEnd(o.mEnd) {}

AcDbBlockTableRecord& AcDbBlockTableRecord::operator=(const AcDbBlockTableRecord& o) {
    if (this == &o) return *this;
    AcDbSymbolTableRecord::operator=(o);
    mLayout = o.mLayout;
    mInsertUnits = o.mInsertUnits;
    mExplodable = o.mExplodable;
    mScalable = o.mScalable;
    mOrigin = o.mOrigin;
    mBlockFlags = o.mBlockFlags;
    mComments = o.mComments;
    mPathName = o.mPathName;
    mBegin = o.mBegin;
    mEnd = o.mEnd;
    return *this; // the entity list is the record's own, journaled apart
}

const zel::db::ObjectSchema& AcDbBlockTableRecord::kindSchema() {
    using R = AcDbBlockTableRecord;
    static const zel::db::ObjectSchema s{
        "BLOCK_RECORD",
        false,
        {{"AcDbSymbolTableRecord", {}, {}},
         {"AcDbBlockTableRecord",
          {
              {2, FieldKind::String, ZEL_FIELD(R, mName), 0, 0, L"", zel::db::validName},
              {340, FieldKind::Handle, ZEL_FIELD(R, mLayout)},
              {70, FieldKind::Int16, ZEL_FIELD(R, mInsertUnits)},
              {280, FieldKind::Int16, ZEL_FIELD(R, mExplodable), 0, 1},
              {281, FieldKind::Int16, ZEL_FIELD(R, mScalable)},
          },
          {}}},
        &zel::db::createKind<R>};
    return s;
}

Acad::ErrorStatus AcDbBlockTableRecord::appendAcDbEntity(AcDbEntity* entity) {
    AcDbObjectId id;
    return appendAcDbEntity(id, entity);
}

Acad::ErrorStatus AcDbBlockTableRecord::appendAcDbEntity(AcDbObjectId& id, AcDbEntity* entity) {
    id = AcDbObjectId();
    if (!entity) return Acad::eNullEntityPointer;
    if (!database()) return Acad::eNotInDatabase;
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    if (entity->slot()) return Acad::eAlreadyInDb;
    entity->setDatabaseDefaults(database());
    zel::db::ObjectSlot* s = database()->impl().add(std::unique_ptr<AcDbEntity>(entity));
    zel::db::appendToBlock(*this, AcDbObjectId(s));
    entity->subEntitiesJoinDatabase();
    id = AcDbObjectId(s);
    return Acad::eOk; // the entity stays open for write, as added objects do
}

Acad::ErrorStatus AcDbBlockTableRecord::setDrawOrder(const std::vector<AcDbObjectId>& ids) {
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    std::vector<AcDbObjectId> a = mEntities, b = ids;
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    if (a != b) return Acad::eInvalidInput;
    if (AcDbDatabase* db = database()) db->impl().journal().listReplaced(slot(), mEntities);
    mEntities = ids;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::newIterator(AcDbBlockTableRecordIterator*& iterator,
                                                    bool atBeginning, bool skipDeleted) const {
    iterator = new AcDbBlockTableRecordIterator(mEntities);
    iterator->start(atBeginning, skipDeleted);
    return Acad::eOk;
}

#define ZEL_BLOCK_SETTER(NAME, MEMBER, TYPE)                                                       \
    Acad::ErrorStatus AcDbBlockTableRecord::NAME(TYPE value) {                                     \
        if (!isWriteEnabled()) return Acad::eNotOpenForWrite;                                      \
        assertWriteEnabled();                                                                      \
        MEMBER = value;                                                                            \
        return Acad::eOk;                                                                          \
    }

ZEL_BLOCK_SETTER(setOrigin, mOrigin, const AcGePoint3d&)
ZEL_BLOCK_SETTER(setBlockFlags, mBlockFlags, int16_t)

Acad::ErrorStatus AcDbBlockTableRecord::setComments(const ACHAR* text) {
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mComments = text ? text : L"";
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::setPathName(const ACHAR* path) {
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mPathName = path ? path : L"";
    return Acad::eOk;
}

void AcDbBlockTableRecord::setLayoutHandle(AcDbHandle h) {
    assertWriteEnabled();
    mLayout = h;
}

bool AcDbBlockTableRecord::isAnonymous() const {
    return (mBlockFlags & 1) != 0 || (!mName.empty() && mName[0] == L'*' && !isLayout());
}

bool AcDbBlockTableRecord::isLayout() const {
    return zel::core::equalsNoCase(mName, ACDB_MODEL_SPACE) ||
           zel::core::equalsNoCase(mName.substr(0, 12), ACDB_PAPER_SPACE);
}

AcDbObjectId AcDbBlockTableRecord::blockBeginId() const {
    return database() ? database()->impl().idOf(mBegin) : AcDbObjectId();
}

AcDbObjectId AcDbBlockTableRecord::blockEndId() const {
    return database() ? database()->impl().idOf(mEnd) : AcDbObjectId();
}

// ---- BLOCK and ENDBLK -------------------------------------------------------------------

namespace {

bool readBlockBegin(AcDbObject& o, const ZelGroupValue& v) {
    auto& d = zel::db::Access::blockData(static_cast<AcDbBlockBegin&>(o));
    switch (v.code) {
    case 2:
        d.name = v.text;
        return true;
    case 3:
        return true; // the name again
    case 70:
        d.flags = int16_t(v.integer);
        return true;
    case 10:
        d.origin = v.point;
        return true;
    case 1:
        d.pathName = v.text;
        return true;
    case 4:
        d.comments = v.text;
        return true;
    }
    return false;
}

ZelGroupValue text(int16_t code, const std::wstring& t) {
    ZelGroupValue v;
    v.code = code;
    v.text = t;
    return v;
}

void writeBlockBegin(const AcDbObject& o, const zel::db::GroupSink& sink) {
    AcDbBlockBegin::Data d = static_cast<const AcDbBlockBegin&>(o).fileData();
    if (auto* rec = zel::db::peekAs<AcDbBlockTableRecord>(o.ownerId())) {
        d = {rec->name(), rec->blockFlags(), rec->origin(), rec->pathName(), rec->comments()};
    }
    sink(text(2, d.name));
    ZelGroupValue flags;
    flags.code = 70;
    flags.integer = d.flags;
    sink(flags);
    ZelGroupValue base;
    base.code = 10;
    base.point = d.origin;
    sink(base);
    sink(text(3, d.name));
    sink(text(1, d.pathName));
    if (!d.comments.empty()) sink(text(4, d.comments));
}

} // namespace

const zel::db::ObjectSchema& AcDbBlockBegin::kindSchema() {
    static const zel::db::ObjectSchema s{
        "BLOCK",
        true,
        {AcDbEntity::commonSchema(), {"AcDbBlockBegin", {}, {readBlockBegin, writeBlockBegin}}},
        &zel::db::createKind<AcDbBlockBegin>};
    return s;
}

const zel::db::ObjectSchema& AcDbBlockEnd::kindSchema() {
    static const zel::db::ObjectSchema s{"ENDBLK",
                                         true,
                                         {AcDbEntity::commonSchema(), {"AcDbBlockEnd", {}, {}}},
                                         &zel::db::createKind<AcDbBlockEnd>};
    return s;
}

// ---- host helpers -----------------------------------------------------------------------

namespace zel::db {

void createBlockEnds(AcDbBlockTableRecord& record) {
    AcDbDatabase* db = record.database();
    if (!db || !Access::blockBegin(record).isNull()) return;
    bool paper = record.isLayout() && !zel::core::equalsNoCase(record.name(), ACDB_MODEL_SPACE);
    auto makeEnd = [&](std::unique_ptr<AcDbEntity> e) {
        e->setOwnerHandle(record.getAcDbHandle());
        Access::setPaperSpace(*e, paper);
        Access::markPropertiesSet(*e);
        ObjectSlot* s = db->impl().add(std::move(e));
        s->object->close();
        return s->handle;
    };
    AcDbHandle begin = makeEnd(std::make_unique<AcDbBlockBegin>());
    AcDbHandle end = makeEnd(std::make_unique<AcDbBlockEnd>());
    noteChange(record);
    Access::blockBegin(record) = begin;
    Access::blockEnd(record) = end;
}

void attachBlockEnds(AcDbBlockTableRecord& record, AcDbObjectId begin, AcDbObjectId end) {
    noteChange(record);
    Access::blockBegin(record) = begin.handle();
    Access::blockEnd(record) = end.handle();
    if (auto* b = peekAs<AcDbBlockBegin>(begin)) {
        Access::setBlockData(record, b->fileData());
        noteChange(*b);
        b->setOwnerHandle(record.getAcDbHandle());
    }
    if (auto* e = peek(end)) {
        noteChange(*e);
        e->setOwnerHandle(record.getAcDbHandle());
    }
}

void appendToBlock(AcDbBlockTableRecord& record, AcDbObjectId entity) {
    AcDbObject* e = peek(entity);
    if (!e) return;
    noteChange(*e);
    e->setOwnerHandle(record.getAcDbHandle());
    if (auto* ent = AcDbEntity::cast(e)) {
        bool paper = record.isLayout() && !zel::core::equalsNoCase(record.name(), ACDB_MODEL_SPACE);
        if (paper || zel::core::equalsNoCase(record.name(), ACDB_MODEL_SPACE))
            Access::setPaperSpace(*ent, paper);
    }
    if (AcDbDatabase* db = record.database()) db->impl().journal().listAppended(record.slot());
    Access::entities(record).push_back(entity);
}

AcDbObjectId addEntityToBlock(AcDbBlockTableRecord& record, std::unique_ptr<AcDbEntity> entity,
                              AcDbHandle wanted) {
    AcDbDatabase* db = record.database();
    if (!db || !entity) return {};
    ObjectSlot* s = db->impl().add(std::move(entity), wanted);
    s->object->close();
    appendToBlock(record, AcDbObjectId(s));
    return AcDbObjectId(s);
}

} // namespace zel::db

// ---- iterator ---------------------------------------------------------------------------

void AcDbBlockTableRecordIterator::start(bool atBeginning, bool skipDeleted) {
    mIndex = atBeginning ? 0 : long(mIds.size()) - 1;
    skip(atBeginning, skipDeleted);
}

bool AcDbBlockTableRecordIterator::done() const {
    return mIndex < 0 || mIndex >= long(mIds.size());
}

void AcDbBlockTableRecordIterator::step(bool forward, bool skipDeleted) {
    mIndex += forward ? 1 : -1;
    skip(forward, skipDeleted);
}

void AcDbBlockTableRecordIterator::skip(bool forward, bool skipDeleted) {
    while (skipDeleted && !done() && mIds[size_t(mIndex)].isErased())
        mIndex += forward ? 1 : -1;
}

Acad::ErrorStatus AcDbBlockTableRecordIterator::getEntityId(AcDbObjectId& id) const {
    if (done()) return Acad::eInvalidIndex;
    id = mIds[size_t(mIndex)];
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecordIterator::getEntity(AcDbEntity*& entity, AcDb::OpenMode mode,
                                                          bool openErased) const {
    entity = nullptr;
    if (done()) return Acad::eInvalidIndex;
    return acdbOpenObject(entity, mIds[size_t(mIndex)], mode, openErased);
}

Acad::ErrorStatus AcDbBlockTableRecordIterator::seek(AcDbObjectId id) {
    auto it = std::find(mIds.begin(), mIds.end(), id);
    if (it == mIds.end()) return Acad::eKeyNotFound;
    mIndex = long(it - mIds.begin());
    return Acad::eOk;
}
