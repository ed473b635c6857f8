// Entity and object kinds described as data. One schema per DXF type lists, per subclass
// marker, the group codes of the kind with their value type, default and member. The same
// schema drives the DXF reader, the DXF writer and the entity data lists (entget/entmod).
#pragma once

#include "arx/db.h"

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
    Angle,   // double, radians in memory, degrees in DXF and entity data lists
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
    kAlways = 0,        // written every time
    kSkipDefault = 1,   // written only when the value differs from the default
    kR12Only = 2,       // only in files of release 12 and earlier
};

struct FieldDesc {
    int16_t code;
    FieldKind kind;
    void* (*address)(AcDbObject*); // the member this field is stored in
    unsigned flags = kAlways;
    double dflt = 0;               // default for numbers; for Vector3 the z of (0,0,dflt)
    const wchar_t* dfltText = L""; // default for strings
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
};

struct SubclassSchema {
    const char* marker; // the 100 subclass marker, e.g. "AcDbLine"
    std::vector<FieldDesc> fields;
    SubclassCodec codec;
};

struct ObjectSchema {
    const char* dxfName;  // "LINE", "LAYER", "DICTIONARY"
    bool isEntity;
    std::vector<SubclassSchema> subclasses; // in file order ("AcDbEntity" first for entities)
    std::unique_ptr<AcDbObject> (*create)();

    const FieldDesc* findField(int subclass, int16_t code, int* foundIn) const;
};

// Registry of kinds by DXF type name. Registering a name twice is a programming error.
class SchemaRegistry {
public:
    static SchemaRegistry& instance();
    void add(const ObjectSchema& schema);
    const ObjectSchema* find(std::string_view dxfName) const;
    std::vector<const ObjectSchema*> all() const;

private:
    std::map<std::string, const ObjectSchema*, std::less<>> mByName;
};

// Field helpers for schema tables: ZEL_FIELD(AcDbLine, mStart) gives the member's address.
template <class T, class M, M T::*P> void* memberAddress(AcDbObject* o) {
    return &(static_cast<T*>(o)->*P);
}
#define ZEL_FIELD(CLASS, MEMBER)                                                                   \
    &::zel::db::memberAddress<CLASS, decltype(CLASS::MEMBER), &CLASS::MEMBER>

// Generic conversions between an object and its groups.
// Reading keeps groups that match no field as unknown groups of the current subclass.
class GroupReader {
public:
    explicit GroupReader(AcDbObject& object);
    void take(const ZelGroupValue& value); // one group (handles, owner, xdata included)
    void finish();

private:
    AcDbObject& mObject;
    const ObjectSchema& mSchema;
    int mSubclass = -1;
    int mAppGroupDepth = 0;
    enum class Mode { Normal, Reactors, XDict, AppGroup, XData } mMode = Mode::Normal;
};

// Writes the object's groups in schema order: 0 type is NOT included; handle (5), 102 groups,
// owner (330), subclass markers when withMarkers, fields, codec groups, unknown groups, xdata.
void writeGroups(const AcDbObject& object, const GroupSink& sink, bool withMarkers);

} // namespace zel::db
