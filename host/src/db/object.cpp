// Identity of objects (handles, ids, classes) and the state AcDbObject keeps for every kind.
#include "db/access.h"
#include "db/database_impl.h"
#include "db/schema.h"

#include <cassert>
#include <cwctype>

// ---- AcRxClass, AcDbHandle, AcDbObjectId ------------------------------------------------

bool AcRxClass::isDerivedFrom(const AcRxClass* other) const {
    for (const AcRxClass* c = this; c; c = c->mParent)
        if (c == other) return true;
    return false;
}

AcDbHandle::AcDbHandle(const ACHAR* hex) {
    uint64_t v = 0;
    for (const ACHAR* p = hex; p && *p; ++p) {
        wchar_t c = wchar_t(std::towupper(wint_t(*p)));
        int digit = c >= L'0' && c <= L'9' ? c - L'0' : c >= L'A' && c <= L'F' ? c - L'A' + 10 : -1;
        if (digit < 0 || (v >> 60) != 0) { // not hex, or more than 16 digits: no handle
            v = 0;
            break;
        }
        v = v * 16 + uint64_t(digit);
    }
    mValue = v;
}

std::wstring AcDbHandle::text() const {
    static const wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring out;
    uint64_t v = mValue;
    do {
        out.insert(out.begin(), digits[v & 15]);
        v >>= 4;
    } while (v);
    return out;
}

void AcDbHandle::getIntoAsciiBuffer(ACHAR* buf, size_t len) const {
    if (!buf || len == 0) return;
    std::wstring t = text();
    size_t n = std::min(t.size(), len - 1);
    t.copy(buf, n);
    buf[n] = 0;
}

const AcDbObjectId AcDbObjectId::kNull;

bool AcDbObjectId::isErased() const {
    return mSlot && (!mSlot->alive || mSlot->erased);
}

AcDbHandle AcDbObjectId::handle() const {
    return mSlot && mSlot->alive ? mSlot->handle : AcDbHandle();
}

AcDbDatabase* AcDbObjectId::database() const {
    return mSlot ? mSlot->database : nullptr;
}

// ---- AcDbObject -------------------------------------------------------------------------

AcRxClass* AcDbObject::desc() {
    static AcRxClass c(L"AcDbObject", nullptr);
    return &c;
}
const AcRxClass* AcDbObject::isA() const {
    return desc();
}

AcDbObject::AcDbObject() = default;
AcDbObject::~AcDbObject() = default;

AcDbObject::AcDbObject(const AcDbObject& o)
    : mOwner(o.mOwner), mXDict(o.mXDict), mReactors(o.mReactors), mXData(o.mXData),
      mUnknown(o.mUnknown), mAppGroups(o.mAppGroups) {}

AcDbObject& AcDbObject::operator=(const AcDbObject& o) {
    if (this == &o) return *this;
    mOwner = o.mOwner;
    mXDict = o.mXDict;
    mReactors = o.mReactors;
    mXData = o.mXData;
    mUnknown = o.mUnknown;
    mAppGroups = o.mAppGroups;
    return *this; // the slot (identity) stays
}

std::string_view AcDbObject::dxfName() const {
    return schema().dxfName;
}

AcDbObjectId AcDbObject::objectId() const {
    return mSlot && mSlot->alive ? AcDbObjectId(mSlot) : AcDbObjectId();
}

AcDbDatabase* AcDbObject::database() const {
    return mSlot ? mSlot->database : nullptr;
}

AcDbHandle AcDbObject::getAcDbHandle() const {
    return mSlot ? mSlot->handle : AcDbHandle();
}

AcDbObjectId AcDbObject::ownerId() const {
    AcDbDatabase* db = database();
    if (!db || mOwner.isNull()) return {};
    return db->impl().idOf(mOwner);
}

Acad::ErrorStatus AcDbObject::setOwnerId(AcDbObjectId owner) {
    if (mSlot && !mSlot->writer) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mOwner = owner.handle();
    return Acad::eOk;
}

bool AcDbObject::isErased() const {
    return mSlot && mSlot->erased;
}

bool AcDbObject::isReadEnabled() const {
    return !mSlot || mSlot->isOpen();
}

bool AcDbObject::isWriteEnabled() const {
    return !mSlot || mSlot->writer;
}

bool AcDbObject::isNewObject() const {
    return mSlot && mSlot->isNew;
}

void AcDbObject::assertReadEnabled() const {
    assert(isReadEnabled() && "object read while not open");
}

void AcDbObject::assertWriteEnabled() {
    assert(isWriteEnabled() && "object changed while not open for write");
    if (mSlot && mSlot->database) mSlot->database->impl().journal().beforeChange(mSlot);
}

void AcDbObject::setXDataGroups(std::vector<AcDbXDataGroup> groups) {
    assertWriteEnabled();
    mXData = std::move(groups);
}

AcDbObjectId AcDbObject::extensionDictionary() const {
    AcDbDatabase* db = database();
    if (!db || mXDict.isNull()) return {};
    AcDbObjectId id = db->impl().idOf(mXDict);
    return id.isErased() ? AcDbObjectId() : id;
}

Acad::ErrorStatus AcDbObject::createExtensionDictionary() {
    AcDbDatabase* db = database();
    if (!db) return Acad::eNotInDatabase;
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    if (!extensionDictionary().isNull()) return Acad::eAlreadyInDb;
    auto dict = std::make_unique<AcDbDictionary>();
    dict->setTreatElementsAsHard(true);
    dict->setOwnerHandle(getAcDbHandle());
    zel::db::ObjectSlot* s = db->impl().add(std::move(dict));
    assertWriteEnabled();
    mXDict = s->handle;
    return s->object->close();
}

Acad::ErrorStatus AcDbObject::releaseExtensionDictionary() {
    AcDbObjectId id = extensionDictionary();
    if (id.isNull()) return Acad::eKeyNotFound;
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    AcDbDictionary* dict = nullptr;
    Acad::ErrorStatus es = acdbOpenObject(dict, id, AcDb::kForWrite);
    if (es != Acad::eOk) return es;
    if (dict->numEntries() > 0) {
        dict->close();
        return Acad::eObjectIsReferenced;
    }
    dict->erase();
    dict->close();
    assertWriteEnabled();
    mXDict = AcDbHandle();
    return Acad::eOk;
}
