// Dictionaries and their iterator.
#include "db/access.h"
#include "db/database_impl.h"
#include "db/schema.h"

#include "core/text.h"

using zel::db::FieldKind;
using zel::db::kSkipDefault;

ZEL_DEFINE_MEMBERS(AcDbDictionary, AcDbObject)

namespace {

bool readEntry(AcDbObject& o, const ZelGroupValue& v) {
    auto& entries = zel::db::Access::entries(static_cast<AcDbDictionary&>(o));
    if (v.code == 3) {
        entries.push_back({v.text, AcDbHandle()});
        return true;
    }
    if ((v.code == 350 || v.code == 360) && !entries.empty() && entries.back().handle.isNull()) {
        entries.back().handle = AcDbHandle(uint64_t(v.integer));
        return true;
    }
    return false;
}

void writeEntries(const AcDbObject& o, const zel::db::GroupSink& sink) {
    const auto& d = static_cast<const AcDbDictionary&>(o);
    for (const AcDbDictionary::Entry& e : d.entries()) {
        ZelGroupValue name;
        name.code = 3;
        name.text = e.name;
        sink(name);
        ZelGroupValue ref;
        ref.code = d.isTreatElementsAsHard() ? 360 : 350;
        ref.integer = int64_t(e.handle.value());
        sink(ref);
    }
}

void clearEntries(AcDbObject& o) {
    zel::db::Access::entries(static_cast<AcDbDictionary&>(o)).clear();
}

} // namespace

const zel::db::ObjectSchema& AcDbDictionary::kindSchema() {
    using D = AcDbDictionary;
    static const zel::db::ObjectSchema s{
        "DICTIONARY",
        false,
        {{"AcDbDictionary",
          {
              {280, FieldKind::Bool, ZEL_FIELD(D, mHardOwner), kSkipDefault},
              {281, FieldKind::Int16, ZEL_FIELD(D, mMergeStyle), 0, 1},
          },
          {readEntry, writeEntries, nullptr, clearEntries}}},
        &zel::db::createKind<D>};
    return s;
}

namespace {

// The entry of a name whose object is live; entries of erased objects do not count.
const AcDbDictionary::Entry* findEntry(const AcDbDictionary& d, const ACHAR* name) {
    if (!name) return nullptr;
    AcDbDatabase* db = d.database();
    for (const AcDbDictionary::Entry& e : d.entries()) {
        if (!zel::core::equalsNoCase(e.name, name)) continue;
        if (db && db->impl().idOf(e.handle).isErased()) continue;
        return &e;
    }
    return nullptr;
}

} // namespace

bool AcDbDictionary::has(const ACHAR* name) const {
    return findEntry(*this, name) != nullptr;
}

bool AcDbDictionary::has(AcDbObjectId id) const {
    std::wstring name;
    return nameAt(id, name) == Acad::eOk;
}

Acad::ErrorStatus AcDbDictionary::getAt(const ACHAR* name, AcDbObjectId& id) const {
    id = AcDbObjectId();
    const Entry* e = findEntry(*this, name);
    if (!e) return Acad::eKeyNotFound;
    if (!database()) return Acad::eNotInDatabase;
    id = database()->impl().idOf(e->handle);
    return id.isNull() ? Acad::eKeyNotFound : Acad::eOk;
}

Acad::ErrorStatus AcDbDictionary::getAt(const ACHAR* name, AcDbObject*& object,
                                        AcDb::OpenMode mode) const {
    object = nullptr;
    AcDbObjectId id;
    Acad::ErrorStatus es = getAt(name, id);
    return es == Acad::eOk ? acdbOpenAcDbObject(object, id, mode) : es;
}

Acad::ErrorStatus AcDbDictionary::nameAt(AcDbObjectId id, std::wstring& name) const {
    if (id.isNull() || id.isErased()) return Acad::eKeyNotFound;
    for (const Entry& e : mEntries) {
        if (e.handle != id.handle()) continue;
        name = e.name;
        return Acad::eOk;
    }
    return Acad::eKeyNotFound;
}

Acad::ErrorStatus AcDbDictionary::setAt(const ACHAR* name, AcDbObject* object, AcDbObjectId& id) {
    id = AcDbObjectId();
    if (!name || !*name || !object) return Acad::eInvalidInput;
    AcDbDatabase* db = database();
    if (!db) return Acad::eNotInDatabase;
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    if (object->database() && object->database() != db) return Acad::eInvalidInput;
    assertWriteEnabled();
    if (!object->slot()) {
        object->setOwnerHandle(getAcDbHandle());
        db->impl().add(std::unique_ptr<AcDbObject>(object)); // stays open for write
    } else {
        zel::db::noteChange(*object);
        object->setOwnerHandle(getAcDbHandle());
    }
    id = object->objectId();
    for (Entry& e : mEntries) {
        if (!zel::core::equalsNoCase(e.name, name)) continue;
        zel::db::ObjectSlot* old = db->impl().findHandle(e.handle);
        if (old && old != object->slot() && !old->isOpen() && !old->erased &&
            old->object->ownerHandle() == getAcDbHandle()) {
            db->impl().journal().erasedChanged(old, false);
            old->erased = true;
        }
        e.handle = id.handle();
        return Acad::eOk;
    }
    mEntries.push_back({name, id.handle()});
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDictionary::remove(const ACHAR* name) {
    AcDbObjectId id;
    return remove(name, id);
}

Acad::ErrorStatus AcDbDictionary::remove(const ACHAR* name, AcDbObjectId& id) {
    id = AcDbObjectId();
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    const Entry* e = findEntry(*this, name);
    if (!e) return Acad::eKeyNotFound;
    AcDbHandle h = e->handle;
    if (database()) id = database()->impl().idOf(h);
    assertWriteEnabled();
    std::erase_if(mEntries, [h](const Entry& x) { return x.handle == h; });
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDictionary::remove(AcDbObjectId id) {
    std::wstring name;
    if (nameAt(id, name) != Acad::eOk) return Acad::eKeyNotFound;
    return remove(name.c_str());
}

Acad::ErrorStatus AcDbDictionary::setName(const ACHAR* oldName, const ACHAR* newName) {
    if (!newName || !*newName) return Acad::eInvalidInput;
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    const Entry* e = findEntry(*this, oldName);
    if (!e) return Acad::eKeyNotFound;
    const Entry* clash = findEntry(*this, newName);
    if (clash && clash != e) return Acad::eDuplicateKey;
    assertWriteEnabled();
    mEntries[size_t(e - mEntries.data())].name = newName;
    return Acad::eOk;
}

void AcDbDictionary::setTreatElementsAsHard(bool hard) {
    assertWriteEnabled();
    mHardOwner = hard;
}

void AcDbDictionary::setMergeStyle(int16_t style) {
    assertWriteEnabled();
    mMergeStyle = style;
}

AcDbDictionaryIterator* AcDbDictionary::newIterator() const {
    return new AcDbDictionaryIterator(*this);
}

AcDbDictionaryIterator::AcDbDictionaryIterator(const AcDbDictionary& dict)
    : mDatabase(dict.database()) {
    for (const AcDbDictionary::Entry& e : dict.entries())
        if (!mDatabase || !mDatabase->impl().idOf(e.handle).isErased()) mEntries.push_back(e);
}

const ACHAR* AcDbDictionaryIterator::name() const {
    return done() ? nullptr : mEntries[mIndex].name.c_str();
}

AcDbObjectId AcDbDictionaryIterator::objectId() const {
    if (done() || !mDatabase) return {};
    return mDatabase->impl().idOf(mEntries[mIndex].handle);
}

Acad::ErrorStatus AcDbDictionaryIterator::getObject(AcDbObject*& object,
                                                    AcDb::OpenMode mode) const {
    object = nullptr;
    if (done()) return Acad::eInvalidIndex;
    return acdbOpenAcDbObject(object, objectId(), mode);
}

bool AcDbDictionaryIterator::next() {
    if (!done()) ++mIndex;
    return !done();
}
