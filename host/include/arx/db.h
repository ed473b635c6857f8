// The drawing database of the API: object ids, handles, objects, entities, the database.
// Entity classes, symbol tables and dictionaries are declared in the headers included last.
#pragma once

#include "ads.h"
#include "ge.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Acad {
enum ErrorStatus {
    eOk = 0,
    eNotImplementedYet = 1,
    eNotApplicable = 2,
    eInvalidInput = 3,
    eAmbiguousInput = 4,
    eOutOfMemory = 8,
    eNullObjectId = 10,
    eInvalidIndex = 11,
    eNotThatKindOfClass = 12,
    eWasErased = 13,
    eDuplicateKey = 14,
    eKeyNotFound = 15,
    eNotOpenForWrite = 16,
    eNotOpenForRead = 17,
    eWasOpenForWrite = 18,
    eWasOpenForRead = 19,
    eWasNotErased = 20,
    eDegenerateGeometry = 21,
    eInvalidExtents = 22,
    eOutOfRange = 23,
    eLockViolation = 24,
    eNotInDatabase = 25,
    eAlreadyInDb = 26,
    eInvalidDxfCode = 27,
    eBadDxfSequence = 28,
    eFileNotFound = 29,
    eFilerError = 30,
    eHandleInUse = 31,
    eInvalidOwnerObject = 32,
    eOnLockedLayer = 33,
    eCannotBeErasedByCaller = 34,
    eNullEntityPointer = 35,
    eInvalidKey = 36,
    eHadMultipleReaders = 37,
    eRegappIdNotFound = 38,
    eXdataSizeExceeded = 39,
    eCannotScaleNonUniformly = 40,
    eInvalidOpenState = 41,
    eInvalidSymbolTableName = 42,
    eDuplicateRecordName = 43,
    eUndefinedLineType = 44,
    eInvalidAdsName = 45,
    eNullHandle = 46,
    eObjectIsReferenced = 47,
};
} // namespace Acad

namespace AcDb {
enum OpenMode { kForRead = 0, kForWrite = 1, kForNotify = 2 };
enum LineWeight : int16_t {
    kLnWt000 = 0,
    kLnWt005 = 5,
    kLnWt009 = 9,
    kLnWt013 = 13,
    kLnWt015 = 15,
    kLnWt018 = 18,
    kLnWt020 = 20,
    kLnWt025 = 25,
    kLnWt030 = 30,
    kLnWt035 = 35,
    kLnWt040 = 40,
    kLnWt050 = 50,
    kLnWt053 = 53,
    kLnWt060 = 60,
    kLnWt070 = 70,
    kLnWt080 = 80,
    kLnWt090 = 90,
    kLnWt100 = 100,
    kLnWt106 = 106,
    kLnWt120 = 120,
    kLnWt140 = 140,
    kLnWt158 = 158,
    kLnWt200 = 200,
    kLnWt211 = 211,
    kLnWtByLayer = -1,
    kLnWtByBlock = -2,
    kLnWtByLwDefault = -3,
};
} // namespace AcDb

class AcDbDatabase;
class AcDbObject;
class AcDbEntity;
namespace zel::db {
struct ObjectSlot; // the database's record of one object (definition in the host)
struct ObjectSchema;
struct SubclassSchema;
struct Access; // the host's access to the private state of API classes
class DatabaseImpl;
} // namespace zel::db

// Persistent identity of an object in a drawing file: a 64-bit number written in hex.
class AcDbHandle {
public:
    AcDbHandle() = default;
    explicit AcDbHandle(uint64_t v) : mValue(v) {}
    explicit AcDbHandle(const ACHAR* hex);
    bool isNull() const { return mValue == 0; }
    uint64_t value() const { return mValue; }
    // Upper-case hex without leading zeros; the buffer holds at least 17 characters.
    void getIntoAsciiBuffer(ACHAR* buf, size_t len = 17) const;
    std::wstring text() const;
    bool operator==(const AcDbHandle& h) const = default;
    auto operator<=>(const AcDbHandle& h) const = default;

private:
    uint64_t mValue = 0;
};

// Identity of an object for the session: stable while the database is open.
class AcDbObjectId {
public:
    AcDbObjectId() = default;
    explicit AcDbObjectId(zel::db::ObjectSlot* slot) : mSlot(slot) {}
    bool isNull() const { return mSlot == nullptr; }
    bool isValid() const { return mSlot != nullptr; }
    bool isErased() const;
    AcDbHandle handle() const;
    AcDbDatabase* database() const;
    // Numeric form used for entity names of the C-style API.
    int64_t asOldId() const { return reinterpret_cast<int64_t>(mSlot); }
    zel::db::ObjectSlot* slot() const { return mSlot; }
    bool operator==(const AcDbObjectId& o) const = default;
    bool operator<(const AcDbObjectId& o) const { return mSlot < o.mSlot; }
    static const AcDbObjectId kNull;

private:
    zel::db::ObjectSlot* mSlot = nullptr;
};
using AcDbObjectIdArray = std::vector<AcDbObjectId>;

// Runtime class description (the isA() of every object).
class AcRxClass {
public:
    AcRxClass(const ACHAR* name, const AcRxClass* parent) : mName(name), mParent(parent) {}
    const ACHAR* name() const { return mName; }
    const AcRxClass* myParent() const { return mParent; }
    bool isDerivedFrom(const AcRxClass* other) const;

private:
    const ACHAR* mName;
    const AcRxClass* mParent;
};

#define ZEL_DECLARE_MEMBERS(CLASS)                                                                 \
    static AcRxClass* desc();                                                                      \
    const AcRxClass* isA() const override;                                                         \
    static CLASS* cast(AcDbObject* o) {                                                            \
        return o && o->isKindOf(desc()) ? static_cast<CLASS*>(o) : nullptr;                        \
    }                                                                                              \
    static const CLASS* cast(const AcDbObject* o) {                                                \
        return o && o->isKindOf(desc()) ? static_cast<const CLASS*>(o) : nullptr;                  \
    }

#define ZEL_DEFINE_MEMBERS(CLASS, PARENT)                                                          \
    AcRxClass* CLASS::desc() {                                                                     \
        static AcRxClass c(L## #CLASS, PARENT::desc());                                            \
        return &c;                                                                                 \
    }                                                                                              \
    const AcRxClass* CLASS::isA() const {                                                          \
        return desc();                                                                             \
    }

// The members of a concrete kind: its class description, its schema and the state copy.
// kindSchema() is defined with the kind (a member, so its table may name private members).
#define ZEL_DECLARE_KIND(CLASS)                                                                    \
    ZEL_DECLARE_MEMBERS(CLASS)                                                                     \
    static const zel::db::ObjectSchema& kindSchema();                                              \
    const zel::db::ObjectSchema& schema() const override {                                         \
        return kindSchema();                                                                       \
    }                                                                                              \
    std::unique_ptr<AcDbObject> cloneState() const override {                                      \
        return std::make_unique<CLASS>(*this);                                                     \
    }

// A group value of an entity data list or a DXF file: a tag, or a point made of three tags.
// Which member holds the value follows zel::core::groupType(code).
struct ZelGroupValue {
    int16_t code = 0;
    double real = 0;
    AcGePoint3d point;
    int64_t integer = 0; // integers, booleans, and handles (as numbers)
    std::wstring text;   // strings; also binary chunks (310) as hex text
    bool flat = false;   // a point of which only x and y are written (no z tag was read)
    bool operator==(const ZelGroupValue& o) const = default;
};

// One group of extended data: application name (1001) and its values.
struct AcDbXDataGroup {
    std::wstring appName;
    std::vector<ZelGroupValue> values;
};

class AcDbObject {
public:
    AcDbObject();
    virtual ~AcDbObject();
    AcDbObject(const AcDbObject&);            // copies state, not identity (used by undo)
    AcDbObject& operator=(const AcDbObject&); // same
    static AcRxClass* desc();
    virtual const AcRxClass* isA() const;
    bool isKindOf(const AcRxClass* c) const { return isA()->isDerivedFrom(c); }
    static AcDbObject* cast(AcDbObject* o) { return o; }
    static const AcDbObject* cast(const AcDbObject* o) { return o; }

    // The schema that describes this kind for DXF files and entity data lists.
    virtual const zel::db::ObjectSchema& schema() const = 0;
    // The DXF type name ("LINE"); raw objects answer the name they were read with.
    virtual std::string_view dxfName() const;
    // A copy of this object's state (kind, data, xdata, unknown groups), without identity.
    virtual std::unique_ptr<AcDbObject> cloneState() const = 0;

    AcDbObjectId objectId() const;
    AcDbObjectId ownerId() const;
    Acad::ErrorStatus setOwnerId(AcDbObjectId owner);
    AcDbDatabase* database() const;
    AcDbHandle getAcDbHandle() const;
    void getAcDbHandle(AcDbHandle& h) const { h = getAcDbHandle(); }

    bool isErased() const;
    Acad::ErrorStatus erase(bool erasing = true);
    Acad::ErrorStatus close();
    Acad::ErrorStatus upgradeOpen();
    Acad::ErrorStatus downgradeOpen();
    bool isReadEnabled() const;
    bool isWriteEnabled() const;
    // Records the state for undo before the first change of an open-for-write object.
    void assertWriteEnabled();
    void assertReadEnabled() const;
    bool isNewObject() const;

    // Extended data: the list of (1001 app) groups for one application, or all with null.
    resbuf* xData(const ACHAR* appName = nullptr) const;
    Acad::ErrorStatus setXData(const resbuf* xdata);
    const std::vector<AcDbXDataGroup>& xDataGroups() const { return mXData; }
    void setXDataGroups(std::vector<AcDbXDataGroup> groups);

    AcDbObjectId extensionDictionary() const;
    // Creates the extension dictionary (a hard-owned DICTIONARY) when there is none yet;
    // the object must be open for write and in a database.
    Acad::ErrorStatus createExtensionDictionary();
    // Erases the extension dictionary when it is empty.
    Acad::ErrorStatus releaseExtensionDictionary();

    // Groups read from a file that this kind does not model, kept to be written back.
    struct UnknownGroup {
        int subclass; // index of the subclass section they appeared in, -1 before any
        ZelGroupValue value;
    };
    std::vector<UnknownGroup>& unknownGroups() { return mUnknown; }
    const std::vector<UnknownGroup>& unknownGroups() const { return mUnknown; }
    // Application groups (102 "{NAME" ... "}") other than reactors and extension dictionary.
    std::vector<ZelGroupValue>& appGroups() { return mAppGroups; }
    const std::vector<ZelGroupValue>& appGroups() const { return mAppGroups; }
    std::vector<AcDbHandle>& reactorHandles() { return mReactors; }
    const std::vector<AcDbHandle>& reactorHandles() const { return mReactors; }
    AcDbHandle xDictionaryHandle() const { return mXDict; }
    void setXDictionaryHandle(AcDbHandle h) { mXDict = h; }
    AcDbHandle ownerHandle() const { return mOwner; }
    void setOwnerHandle(AcDbHandle h) { mOwner = h; }

    // Set by the database when the object is added or opened; not part of the state.
    zel::db::ObjectSlot* slot() const { return mSlot; }
    void attach(zel::db::ObjectSlot* slot) { mSlot = slot; }

private:
    friend struct zel::db::Access;
    zel::db::ObjectSlot* mSlot = nullptr;
    AcDbHandle mOwner;
    AcDbHandle mXDict;
    std::vector<AcDbHandle> mReactors;
    std::vector<AcDbXDataGroup> mXData;
    std::vector<UnknownGroup> mUnknown;
    std::vector<ZelGroupValue> mAppGroups;
};

// The kinds, in the order they build on each other.
// clang-format off
#include "dbents.h"
#include "dbsymtb.h"
#include "dbdict.h"
#include "dbmain.h"
#include "dbads.h"
#include "dbpoly.h"
#include "dbspline.h"
#include "dbtext.h"
#include "dbblock.h"
#include "dbdim.h"
#include "dbhatch.h"
// clang-format on
