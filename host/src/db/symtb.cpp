// Symbol tables: records by name (without regard to case), adding records, iterators.
#include "db/access.h"
#include "db/blocks.h"
#include "db/database_impl.h"
#include "db/schema.h"

#include "core/text.h"

ZEL_DEFINE_MEMBERS(AcDbSymbolTableRecord, AcDbObject)
ZEL_DEFINE_MEMBERS(AcDbSymbolTable, AcDbObject)

// ---- records ----------------------------------------------------------------------------

bool AcDbSymbolTableRecord::isValidName(const std::wstring& name) {
    if (name.empty() || name.size() > 255) return false;
    // A leading '*' marks the names of the system ("*Model_Space", "*Active", "*U12").
    if (name.find_first_of(L"<>/\\\":;?*|,=`", name[0] == L'*' ? 1 : 0) != std::wstring::npos)
        return false;
    for (wchar_t c : name)
        if (c < 32) return false;
    return true;
}

Acad::ErrorStatus AcDbSymbolTableRecord::getName(const ACHAR*& name) const {
    name = mName.c_str();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableRecord::setName(const ACHAR* name) {
    if (!name || !isValidName(name)) return Acad::eInvalidSymbolTableName;
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    auto* table = zel::db::peekAs<AcDbSymbolTable>(ownerId());
    AcDbObjectId other;
    if (table && table->getAt(name, other) == Acad::eOk && other != objectId())
        return Acad::eDuplicateRecordName;
    assertWriteEnabled();
    mName = name;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableRecord::setFlags(int16_t flags) {
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mFlags = flags;
    return Acad::eOk;
}

// ---- tables -----------------------------------------------------------------------------

Acad::ErrorStatus AcDbSymbolTable::getAt(const ACHAR* name, AcDbObjectId& id,
                                         bool getErasedRecord) const {
    id = AcDbObjectId();
    if (!name) return Acad::eInvalidInput;
    AcDbObjectId erased;
    for (AcDbObjectId r : mRecords) {
        auto* rec = zel::db::peekAs<AcDbSymbolTableRecord>(r);
        if (!rec || !zel::core::equalsNoCase(rec->name(), name)) continue;
        if (!r.isErased()) {
            id = r;
            return Acad::eOk;
        }
        if (erased.isNull()) erased = r;
    }
    if (getErasedRecord && !erased.isNull()) {
        id = erased;
        return Acad::eOk;
    }
    return Acad::eKeyNotFound;
}

Acad::ErrorStatus AcDbSymbolTable::getAt(const ACHAR* name, AcDbSymbolTableRecord*& record,
                                         AcDb::OpenMode mode, bool openErasedRecord) const {
    record = nullptr;
    AcDbObjectId id;
    Acad::ErrorStatus es = getAt(name, id, openErasedRecord);
    return es == Acad::eOk ? acdbOpenObject(record, id, mode, openErasedRecord) : es;
}

bool AcDbSymbolTable::has(const ACHAR* name) const {
    AcDbObjectId id;
    return getAt(name, id) == Acad::eOk;
}

bool AcDbSymbolTable::has(AcDbObjectId id) const {
    return !id.isErased() && std::find(mRecords.begin(), mRecords.end(), id) != mRecords.end();
}

Acad::ErrorStatus AcDbSymbolTable::add(AcDbSymbolTableRecord* record) {
    AcDbObjectId id;
    return add(id, record);
}

Acad::ErrorStatus AcDbSymbolTable::add(AcDbObjectId& id, AcDbSymbolTableRecord* record) {
    id = AcDbObjectId();
    if (!record) return Acad::eNullObjectId;
    if (!database()) return Acad::eNotInDatabase;
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    if (record->slot()) return Acad::eAlreadyInDb;
    if (!record->isKindOf(recordClass())) return Acad::eNotThatKindOfClass;
    if (!AcDbSymbolTableRecord::isValidName(record->name())) return Acad::eInvalidSymbolTableName;
    if (has(record->getName())) return Acad::eDuplicateRecordName;
    assertWriteEnabled();
    record->setOwnerHandle(getAcDbHandle());
    zel::db::ObjectSlot* s = database()->impl().add(std::unique_ptr<AcDbObject>(record));
    mRecords.push_back(AcDbObjectId(s));
    if (auto* btr = AcDbBlockTableRecord::cast(record)) zel::db::createBlockEnds(*btr);
    id = AcDbObjectId(s);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTable::newIterator(AcDbSymbolTableIterator*& iterator, bool atBeginning,
                                               bool skipDeleted) const {
    iterator = new AcDbSymbolTableIterator(mRecords);
    iterator->start(atBeginning, skipDeleted);
    return Acad::eOk;
}

// ---- iterators --------------------------------------------------------------------------

void AcDbSymbolTableIterator::start(bool atBeginning, bool skipDeleted) {
    mIndex = atBeginning ? 0 : long(mIds.size()) - 1;
    skip(atBeginning, skipDeleted);
}

bool AcDbSymbolTableIterator::done() const {
    return mIndex < 0 || mIndex >= long(mIds.size());
}

void AcDbSymbolTableIterator::step(bool forward, bool skipDeleted) {
    mIndex += forward ? 1 : -1;
    skip(forward, skipDeleted);
}

void AcDbSymbolTableIterator::skip(bool forward, bool skipDeleted) {
    while (skipDeleted && !done() && mIds[size_t(mIndex)].isErased())
        mIndex += forward ? 1 : -1;
}

Acad::ErrorStatus AcDbSymbolTableIterator::getRecordId(AcDbObjectId& id) const {
    if (done()) return Acad::eInvalidIndex;
    id = mIds[size_t(mIndex)];
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableIterator::getRecord(AcDbSymbolTableRecord*& record,
                                                     AcDb::OpenMode mode, bool openErased) const {
    record = nullptr;
    if (done()) return Acad::eInvalidIndex;
    return acdbOpenObject(record, mIds[size_t(mIndex)], mode, openErased);
}

Acad::ErrorStatus AcDbSymbolTableIterator::seek(AcDbObjectId id) {
    auto it = std::find(mIds.begin(), mIds.end(), id);
    if (it == mIds.end()) return Acad::eKeyNotFound;
    mIndex = long(it - mIds.begin());
    return Acad::eOk;
}

// ---- the table kinds --------------------------------------------------------------------

namespace {

// The TABLE header: its count (70) is written from the records and ignored when read.
bool readTableGroup(AcDbObject&, const ZelGroupValue& v) {
    return v.code == 70;
}

void writeTableGroups(const AcDbObject& o, const zel::db::GroupSink& sink) {
    const auto& table = static_cast<const AcDbSymbolTable&>(o);
    ZelGroupValue count;
    count.code = 70;
    for (AcDbObjectId id : table.recordIds())
        count.integer += id.isErased() ? 0 : 1;
    sink(count);
}

template <class T> zel::db::ObjectSchema tableSchema() {
    return {"TABLE",
            false,
            {{"AcDbSymbolTable", {}, {readTableGroup, writeTableGroups, nullptr, nullptr}}},
            &zel::db::createKind<T>};
}

} // namespace

#define ZEL_DEFINE_SYMBOL_TABLE(TABLE, RECORD, ITERATOR)                                           \
    ZEL_DEFINE_MEMBERS(TABLE, AcDbSymbolTable)                                                     \
    const zel::db::ObjectSchema& TABLE::kindSchema() {                                             \
        static const zel::db::ObjectSchema s = tableSchema<TABLE>();                               \
        return s;                                                                                  \
    }                                                                                              \
    Acad::ErrorStatus TABLE::getAt(const ACHAR* name, RECORD*& record, AcDb::OpenMode mode,        \
                                   bool openErased) const {                                        \
        record = nullptr;                                                                          \
        AcDbObjectId id;                                                                           \
        Acad::ErrorStatus es = AcDbSymbolTable::getAt(name, id, openErased);                       \
        return es == Acad::eOk ? acdbOpenObject(record, id, mode, openErased) : es;                \
    }                                                                                              \
    Acad::ErrorStatus TABLE::newIterator(ITERATOR*& iterator, bool atBeginning, bool skipDeleted)  \
        const {                                                                                    \
        iterator = new ITERATOR(mRecords);                                                         \
        iterator->start(atBeginning, skipDeleted);                                                 \
        return Acad::eOk;                                                                          \
    }                                                                                              \
    Acad::ErrorStatus ITERATOR::getRecord(RECORD*& record, AcDb::OpenMode mode, bool openErased)   \
        const {                                                                                    \
        record = nullptr;                                                                          \
        if (done()) return Acad::eInvalidIndex;                                                    \
        return acdbOpenObject(record, mIds[size_t(mIndex)], mode, openErased);                     \
    }

ZEL_DEFINE_SYMBOL_TABLE(AcDbLayerTable, AcDbLayerTableRecord, AcDbLayerTableIterator)
ZEL_DEFINE_SYMBOL_TABLE(AcDbLinetypeTable, AcDbLinetypeTableRecord, AcDbLinetypeTableIterator)
ZEL_DEFINE_SYMBOL_TABLE(AcDbTextStyleTable, AcDbTextStyleTableRecord, AcDbTextStyleTableIterator)
ZEL_DEFINE_SYMBOL_TABLE(AcDbDimStyleTable, AcDbDimStyleTableRecord, AcDbDimStyleTableIterator)
ZEL_DEFINE_SYMBOL_TABLE(AcDbRegAppTable, AcDbRegAppTableRecord, AcDbRegAppTableIterator)
ZEL_DEFINE_SYMBOL_TABLE(AcDbUCSTable, AcDbUCSTableRecord, AcDbUCSTableIterator)
ZEL_DEFINE_SYMBOL_TABLE(AcDbViewTable, AcDbViewTableRecord, AcDbViewTableIterator)
ZEL_DEFINE_SYMBOL_TABLE(AcDbViewportTable, AcDbViewportTableRecord, AcDbViewportTableIterator)
ZEL_DEFINE_SYMBOL_TABLE(AcDbBlockTable, AcDbBlockTableRecord, AcDbBlockTableIterator)

namespace zel::db {

std::unique_ptr<AcDbSymbolTable> createSymbolTable(std::string_view tableName) {
    if (tableName == "LAYER") return std::make_unique<AcDbLayerTable>();
    if (tableName == "LTYPE") return std::make_unique<AcDbLinetypeTable>();
    if (tableName == "STYLE") return std::make_unique<AcDbTextStyleTable>();
    if (tableName == "DIMSTYLE") return std::make_unique<AcDbDimStyleTable>();
    if (tableName == "APPID") return std::make_unique<AcDbRegAppTable>();
    if (tableName == "UCS") return std::make_unique<AcDbUCSTable>();
    if (tableName == "VIEW") return std::make_unique<AcDbViewTable>();
    if (tableName == "VPORT") return std::make_unique<AcDbViewportTable>();
    if (tableName == "BLOCK_RECORD") return std::make_unique<AcDbBlockTable>();
    return nullptr;
}

} // namespace zel::db
