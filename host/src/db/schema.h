// Entity and object kinds described as data. One schema per DXF type lists, per subclass
// marker, the group codes of the kind with their value type, default and member. The same
// schema drives the DXF reader, the DXF writer and the entity data lists (entget/entmod).
#pragma once

#include "arx/db.h"
#include "core/tolerance.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zel::db {

enum class FieldKind {
    String,  // std::wstring
    Real,    // double
    Angle,   // double, radians in memory and entity data lists, degrees in DXF files
    Int16,   // int16_t
    Int32,   // int32_t
    Int64,   // int64_t
    Bool,    // bool, written as an integer 0/1
    Point3,  // AcGePoint3d from codes c, c+10, c+20
    Point2,  // AcGePoint3d of which only x and y are written (z read if present)
    Vector3, // AcGeVector3d
    Handle,  // AcDbHandle: a reference to another object, written in hex
};

enum FieldFlags : unsigned {
    kAlways = 0,      // written every time
    kSkipDefault = 1, // written only when the value differs from the default
    kR12Only = 2,     // only in files of release 12 and earlier
};

struct FieldDesc {
    int16_t code;
    FieldKind kind;
    void* (*address)(AcDbObject*); // the member this field is stored in
    unsigned flags = kAlways;
    double dflt = 0;               // default for numbers; for Vector3 the z of (0,0,dflt)
    const wchar_t* dfltText = L""; // default for strings
    // Accepts or refuses a value of an entity data list (null: any value of the right type).
    bool (*valid)(const ZelGroupValue& value) = nullptr;
};

// Emits group values in file order.
using GroupSink = std::function<void(const ZelGroupValue&)>;

// Groups of a subclass that are not plain fields: repeated groups (vertices, knots, boundary
// paths), counts, and text continued over several tags.
struct SubclassCodec {
    // Takes one group; returns false when the group is not one of this codec's.
    bool (*read)(AcDbObject& object, const ZelGroupValue& value) = nullptr;
    // Writes the codec's groups after the subclass's plain fields.
    void (*write)(const AcDbObject& object, const GroupSink& sink) = nullptr;
    // Called once all groups of the object are read (to finish pending state).
    void (*finish)(AcDbObject& object) = nullptr;
    // Forgets the repeated groups, before an entity data list that has some replaces them.
    void (*clear)(AcDbObject& object) = nullptr;
};

struct SubclassSchema {
    const char* marker; // the 100 subclass marker, e.g. "AcDbLine"
    std::vector<FieldDesc> fields;
    SubclassCodec codec;
};

struct ObjectSchema {
    const char* dxfName; // "LINE", "LAYER", "DICTIONARY"
    bool isEntity;
    std::vector<SubclassSchema> subclasses; // in file order ("AcDbEntity" first for entities)
    std::unique_ptr<AcDbObject> (*create)();
    int16_t handleCode = 5; // 105 for DIMSTYLE records
    // Checks the whole object after an entity data list changed it (null: always fine).
    bool (*validate)(const AcDbObject& object, std::wstring& why) = nullptr;
    // Kinds that share a DXF type (POLYLINE flavours, DIMENSION kinds): the schema of the
    // object to make from its groups (null: this one). Used by entmake and file readers.
    const ObjectSchema* (*variant)(const std::vector<ZelGroupValue>& groups) = nullptr;

    // The schema to make an object of these groups with (the variant, or this one).
    const ObjectSchema& forGroups(const std::vector<ZelGroupValue>& groups) const {
        const ObjectSchema* v = variant ? variant(groups) : nullptr;
        return v ? *v : *this;
    }

    // The field of a code in a subclass, or in any subclass when subclass is -1 (files
    // without subclass markers); foundIn receives the subclass index.
    const FieldDesc* findField(int subclass, int16_t code, int* foundIn) const;
    // The subclass with this marker after index `after` (or the first one); -1 if none.
    int findSubclass(std::string_view marker, int after) const;
};

// A schema for create(): makes an object of the kind.
template <class T> std::unique_ptr<AcDbObject> createKind() {
    return std::make_unique<T>();
}

// Registry of kinds by DXF type name. Registering a name twice is a programming error (the
// second add returns false and asserts in debug builds). The built-in kinds are registered
// when the registry is first used (kinds.cpp lists them).
class SchemaRegistry {
public:
    static SchemaRegistry& instance();
    bool add(const ObjectSchema& schema);
    const ObjectSchema* find(std::string_view dxfName) const;
    std::vector<const ObjectSchema*> all() const;

private:
    std::map<std::string, const ObjectSchema*, std::less<>> mByName;
};

// Field helpers for schema tables: ZEL_FIELD(AcDbLine, mStart) gives the member's address
// (a member of a base class too, named through the derived class).
template <class T, auto P> void* memberAddress(AcDbObject* o) {
    return &(static_cast<T*>(o)->*P);
}
#define ZEL_FIELD(CLASS, MEMBER) &::zel::db::memberAddress<CLASS, &CLASS::MEMBER>

// How groups are read and written: DXF files take angles in degrees; entity data lists take
// radians, change an existing object (repeated groups given replace the old ones) and refuse
// groups the kind does not have.
struct GroupStyle {
    bool anglesInDegrees = true;
    bool withMarkers = true;
    bool entityList = false;
};
inline constexpr GroupStyle kDxfStyle{};
inline constexpr GroupStyle kEntityListStyle{false, true, true};

// Generic conversions between an object and its groups.
// Reading keeps groups that match no field as unknown groups of the current subclass: before
// the first subclass marker, 5/105 are the handle, 102 groups the reactors, extension
// dictionary and application groups, 330 the owner; from 1001 on the groups are xdata.
class GroupReader {
public:
    explicit GroupReader(AcDbObject& object, GroupStyle style = kDxfStyle);
    void take(const ZelGroupValue& value); // one group (handles, owner, xdata included)
    void finish();
    AcDbHandle handle() const { return mHandle; } // the 5 (or 105) group, if any
    // Entity data lists: false once a group was refused; error() says which and why.
    bool ok() const { return mError.empty(); }
    const std::wstring& error() const { return mError; }
    // Per subclass: whether its codec took any group (its repeated groups were given).
    const std::vector<bool>& codecsUsed() const { return mCodecUsed; }
    // Clears the repeated groups of these subclasses before reading (an entity data list that
    // gives vertices replaces the old ones): read the list once into a fresh object to learn
    // which, then into a copy of the object with those cleared.
    void clearRepeated(const std::vector<bool>& which);

private:
    bool takeStructural(const ZelGroupValue& value);
    bool takeXData(const ZelGroupValue& value);
    bool takeInSubclass(int subclass, const ZelGroupValue& value);
    bool takeAfterMissingMarker(const ZelGroupValue& value);
    bool takeCodec(int subclass, const ZelGroupValue& value);
    void takeField(const FieldDesc& field, const ZelGroupValue& value);
    void keepUnknown(const ZelGroupValue& value);
    void refuse(const ZelGroupValue& value, const wchar_t* why);

    AcDbObject& mObject;
    const ObjectSchema& mSchema;
    GroupStyle mStyle;
    int mSubclass = -1;
    bool mSawMarker = false;
    AcDbHandle mHandle;
    std::vector<bool> mCodecUsed;
    std::vector<size_t> mUnknownSeen; // entity lists: kept groups already replaced
    std::wstring mError;
    enum class Mode { Normal, Reactors, XDict, AppGroup, XData } mMode = Mode::Normal;
};

// Writes the object's groups in schema order: 0 type is NOT included; handle (5), 102 groups,
// owner (330), subclass markers when withMarkers, fields, codec groups, unknown groups, xdata.
void writeGroups(const AcDbObject& object, const GroupSink& sink, bool withMarkers);
void writeGroups(const AcDbObject& object, const GroupSink& sink, const GroupStyle& style);

// One field's value as a group, and the other way round (false: refused by the field).
ZelGroupValue fieldValue(const AcDbObject& object, const FieldDesc& field,
                         bool anglesInDegrees = true);
// validate: refuse values the field's check rejects (entity data lists; files are read as
// they are, so that writing them back loses nothing).
bool setFieldValue(AcDbObject& object, const FieldDesc& field, const ZelGroupValue& value,
                   bool anglesInDegrees = true, bool validate = true);
// True when the field holds its default (fields marked kSkipDefault are then not written).
bool fieldIsDefault(const AcDbObject& object, const FieldDesc& field);

// Common validations for FieldDesc::valid.
bool validPositive(const ZelGroupValue& v);    // real > 0
bool validNonNegative(const ZelGroupValue& v); // real >= 0
bool validColorIndex(const ZelGroupValue& v);  // 0..256
bool validName(const ZelGroupValue& v);        // a symbol name
bool validNonZeroVector(const ZelGroupValue& v);

// Registers the kinds of the host (kinds.cpp); called by SchemaRegistry::instance().
void registerBuiltinKinds(SchemaRegistry& registry);

} // namespace zel::db
