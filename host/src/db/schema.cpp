#include "db/schema.h"

#include "db/access.h"
#include "db/slot.h"

#include <cassert>
#include <cmath>

namespace zel::db {

namespace {

constexpr double kDegPerRad = 180.0 / M_PI;

bool samePoint(const AcGePoint3d& a, const AcGePoint3d& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

ZelGroupValue group(int16_t code) {
    ZelGroupValue v;
    v.code = code;
    return v;
}

ZelGroupValue textGroup(int16_t code, std::wstring text) {
    ZelGroupValue v = group(code);
    v.text = std::move(text);
    return v;
}

ZelGroupValue handleGroup(int16_t code, AcDbHandle h) {
    ZelGroupValue v = group(code);
    v.integer = int64_t(h.value());
    return v;
}

} // namespace

// ---- schemas and registry ---------------------------------------------------------------

const FieldDesc* ObjectSchema::findField(int subclass, int16_t code, int* foundIn) const {
    int first = subclass < 0 ? 0 : subclass;
    int last = subclass < 0 ? int(subclasses.size()) - 1 : subclass;
    for (int i = first; i <= last && i < int(subclasses.size()); ++i) {
        for (const FieldDesc& f : subclasses[i].fields) {
            if (f.code != code) continue;
            if (foundIn) *foundIn = i;
            return &f;
        }
    }
    return nullptr;
}

int ObjectSchema::findSubclass(std::string_view marker, int after) const {
    for (int i = after + 1; i < int(subclasses.size()); ++i)
        if (marker == subclasses[i].marker) return i;
    for (int i = 0; i <= after && i < int(subclasses.size()); ++i)
        if (marker == subclasses[i].marker) return i;
    return -1;
}

SchemaRegistry& SchemaRegistry::instance() {
    static SchemaRegistry registry;
    static const bool registered = (registerBuiltinKinds(registry), true);
    (void)registered;
    return registry;
}

bool SchemaRegistry::add(const ObjectSchema& schema) {
    assert(schema.dxfName && *schema.dxfName && "a registered kind needs its DXF name");
    bool inserted = mByName.emplace(schema.dxfName, &schema).second;
    assert(inserted && "a DXF type is registered twice");
    return inserted;
}

const ObjectSchema* SchemaRegistry::find(std::string_view dxfName) const {
    auto it = mByName.find(dxfName);
    return it == mByName.end() ? nullptr : it->second;
}

std::vector<const ObjectSchema*> SchemaRegistry::all() const {
    std::vector<const ObjectSchema*> out;
    for (const auto& [name, schema] : mByName)
        out.push_back(schema);
    return out;
}

// ---- fields -----------------------------------------------------------------------------

ZelGroupValue fieldValue(const AcDbObject& object, const FieldDesc& f, bool degrees) {
    void* a = f.address(const_cast<AcDbObject*>(&object));
    ZelGroupValue v = group(f.code);
    switch (f.kind) {
    case FieldKind::String:
        v.text = *static_cast<std::wstring*>(a);
        break;
    case FieldKind::Real:
        v.real = *static_cast<double*>(a);
        break;
    case FieldKind::Angle:
        v.real = *static_cast<double*>(a) * (degrees ? kDegPerRad : 1.0);
        break;
    case FieldKind::Int16:
        v.integer = *static_cast<int16_t*>(a);
        break;
    case FieldKind::Int32:
        v.integer = *static_cast<int32_t*>(a);
        break;
    case FieldKind::Int64:
        v.integer = *static_cast<int64_t*>(a);
        break;
    case FieldKind::Bool:
        v.integer = *static_cast<bool*>(a) ? 1 : 0;
        break;
    case FieldKind::Point3:
        v.point = *static_cast<AcGePoint3d*>(a);
        break;
    case FieldKind::Point2:
        v.point = *static_cast<AcGePoint3d*>(a);
        v.flat = true;
        break;
    case FieldKind::Vector3: {
        const AcGeVector3d& d = *static_cast<AcGeVector3d*>(a);
        v.point = AcGePoint3d(d.x, d.y, d.z);
        break;
    }
    case FieldKind::Handle:
        v.integer = int64_t(static_cast<AcDbHandle*>(a)->value());
        break;
    }
    return v;
}

bool setFieldValue(AcDbObject& object, const FieldDesc& f, const ZelGroupValue& v, bool degrees,
                   bool validate) {
    if (validate && f.valid && !f.valid(v)) return false;
    void* a = f.address(&object);
    switch (f.kind) {
    case FieldKind::String:
        *static_cast<std::wstring*>(a) = v.text;
        break;
    case FieldKind::Real:
        *static_cast<double*>(a) = v.real;
        break;
    case FieldKind::Angle:
        *static_cast<double*>(a) = v.real / (degrees ? kDegPerRad : 1.0);
        break;
    case FieldKind::Int16:
        *static_cast<int16_t*>(a) = int16_t(v.integer);
        break;
    case FieldKind::Int32:
        *static_cast<int32_t*>(a) = int32_t(v.integer);
        break;
    case FieldKind::Int64:
        *static_cast<int64_t*>(a) = v.integer;
        break;
    case FieldKind::Bool:
        *static_cast<bool*>(a) = v.integer != 0;
        break;
    case FieldKind::Point3:
    case FieldKind::Point2:
        *static_cast<AcGePoint3d*>(a) = v.point;
        break;
    case FieldKind::Vector3:
        *static_cast<AcGeVector3d*>(a) = AcGeVector3d(v.point.x, v.point.y, v.point.z);
        break;
    case FieldKind::Handle:
        *static_cast<AcDbHandle*>(a) = AcDbHandle(uint64_t(v.integer));
        break;
    }
    return true;
}

bool fieldIsDefault(const AcDbObject& object, const FieldDesc& f) {
    ZelGroupValue v = fieldValue(object, f, false);
    switch (f.kind) {
    case FieldKind::String:
        return v.text == f.dfltText;
    case FieldKind::Real:
    case FieldKind::Angle:
        return v.real == f.dflt;
    case FieldKind::Int16:
    case FieldKind::Int32:
    case FieldKind::Int64:
    case FieldKind::Bool:
        return v.integer == int64_t(f.dflt);
    case FieldKind::Point3:
    case FieldKind::Point2:
        return samePoint(v.point, AcGePoint3d());
    case FieldKind::Vector3:
        return samePoint(v.point, AcGePoint3d(0, 0, f.dflt));
    case FieldKind::Handle:
        return v.integer == 0;
    }
    return false;
}

bool validPositive(const ZelGroupValue& v) {
    return std::isfinite(v.real) && v.real > 0;
}
bool validNonNegative(const ZelGroupValue& v) {
    return std::isfinite(v.real) && v.real >= 0;
}
bool validColorIndex(const ZelGroupValue& v) {
    return v.integer >= 0 && v.integer <= 256;
}
bool validName(const ZelGroupValue& v) {
    return AcDbSymbolTableRecord::isValidName(v.text);
}
bool validNonZeroVector(const ZelGroupValue& v) {
    return AcGeVector3d(v.point.x, v.point.y, v.point.z).length() > tol::kVectorLength;
}

// ---- reading ----------------------------------------------------------------------------

GroupReader::GroupReader(AcDbObject& object, GroupStyle style)
    : mObject(object), mSchema(object.schema()), mStyle(style),
      mCodecUsed(object.schema().subclasses.size(), false) {}

void GroupReader::clearRepeated(const std::vector<bool>& which) {
    for (size_t i = 0; i < which.size() && i < mSchema.subclasses.size(); ++i) {
        const SubclassCodec& c = mSchema.subclasses[i].codec;
        if (which[i] && c.clear) c.clear(mObject);
    }
}

void GroupReader::take(const ZelGroupValue& v) {
    if (v.code == 1001 || (mMode == Mode::XData && v.code >= 1000)) {
        takeXData(v);
        return;
    }
    if (mMode == Mode::XData) mMode = Mode::Normal;
    if (!mSawMarker && takeStructural(v)) return;
    if (v.code == 100) {
        mSawMarker = true;
        int idx = mSchema.findSubclass(std::string(v.text.begin(), v.text.end()), mSubclass);
        if (idx >= 0) {
            mSubclass = idx;
            return;
        }
        if (!mStyle.entityList) keepUnknown(v);
        return;
    }
    if (mSawMarker) {
        if (mSubclass >= 0 && takeInSubclass(mSubclass, v)) return;
        if (takeAfterMissingMarker(v)) return;
        keepUnknown(v);
        return;
    }
    // No subclass marker (R12 files, entity data lists without markers): any subclass.
    for (int i = 0; i < int(mSchema.subclasses.size()); ++i) {
        if (takeCodec(i, v)) {
            mSubclass = i;
            return;
        }
    }
    int foundIn = -1;
    if (const FieldDesc* f = mSchema.findField(-1, v.code, &foundIn)) {
        mSubclass = foundIn;
        takeField(*f, v);
        return;
    }
    keepUnknown(v);
}

namespace {

// Codes the common entity subclass may carry in files, whether or not they are modelled
// (visibility, layout, material, proxy graphics, colours, transparency, plot style, shadows).
bool entityBaseCode(int16_t code) {
    switch (code) {
    case 6: case 8: case 48: case 60: case 62: case 67: case 92: case 160: case 284: case 310:
    case 347: case 348: case 370: case 390: case 410: case 420: case 430: case 440:
        return true;
    }
    return false;
}

} // namespace

// Some writers give only the common entity marker and leave out the kind's own ("100 AcDbEntity"
// followed by the ellipse's 10/11/40): a code that cannot belong to the common subclass goes on
// to the first later subclass that takes it.
bool GroupReader::takeAfterMissingMarker(const ZelGroupValue& v) {
    if (!mSchema.isEntity || mSubclass != 0 || entityBaseCode(v.code)) return false;
    for (int i = 1; i < int(mSchema.subclasses.size()); ++i) {
        if (!takeInSubclass(i, v)) continue;
        mSubclass = i;
        return true;
    }
    return false;
}

bool GroupReader::takeStructural(const ZelGroupValue& v) {
    // DIMSTYLE records take 105: their 5 is the DIMBLK name of old files.
    if (v.code == mSchema.handleCode && mMode == Mode::Normal) {
        mHandle = AcDbHandle(uint64_t(v.integer));
        return true;
    }
    if (v.code == 102) {
        if (v.text == L"}") {
            if (mMode == Mode::AppGroup) mObject.appGroups().push_back(v);
            mMode = Mode::Normal;
        } else if (v.text == L"{ACAD_REACTORS") {
            mMode = Mode::Reactors;
        } else if (v.text == L"{ACAD_XDICTIONARY") {
            mMode = Mode::XDict;
        } else {
            mMode = Mode::AppGroup;
            mObject.appGroups().push_back(v);
        }
        return true;
    }
    switch (mMode) {
    case Mode::Reactors:
        if (v.code != 330) break;
        mObject.reactorHandles().push_back(AcDbHandle(uint64_t(v.integer)));
        return true;
    case Mode::XDict:
        if (v.code != 360) break;
        mObject.setXDictionaryHandle(AcDbHandle(uint64_t(v.integer)));
        return true;
    case Mode::AppGroup:
        mObject.appGroups().push_back(v);
        return true;
    case Mode::Normal:
        if (v.code != 330) break;
        mObject.setOwnerHandle(AcDbHandle(uint64_t(v.integer)));
        return true;
    case Mode::XData:
        break;
    }
    return false;
}

bool GroupReader::takeXData(const ZelGroupValue& v) {
    auto& xdata = Access::xdata(mObject);
    if (v.code == 1001) {
        mMode = Mode::XData;
        xdata.push_back(AcDbXDataGroup{v.text, {}});
        return true;
    }
    assert(!xdata.empty() && "xdata values follow an application name");
    xdata.back().values.push_back(v);
    return true;
}

bool GroupReader::takeCodec(int subclass, const ZelGroupValue& v) {
    const SubclassCodec& c = mSchema.subclasses[subclass].codec;
    if (!c.read || !c.read(mObject, v)) return false;
    mCodecUsed[subclass] = true;
    return true;
}

bool GroupReader::takeInSubclass(int subclass, const ZelGroupValue& v) {
    if (takeCodec(subclass, v)) return true;
    for (const FieldDesc& f : mSchema.subclasses[subclass].fields) {
        if (f.code != v.code) continue;
        takeField(f, v);
        return true;
    }
    return false;
}

void GroupReader::takeField(const FieldDesc& f, const ZelGroupValue& v) {
    if (!setFieldValue(mObject, f, v, mStyle.anglesInDegrees, mStyle.entityList))
        refuse(v, L"a value the field does not accept");
}

void GroupReader::keepUnknown(const ZelGroupValue& v) {
    auto& unknown = mObject.unknownGroups();
    if (!mStyle.entityList) {
        unknown.push_back({mSubclass, v});
        return;
    }
    // An entity data list may change a kept group of the same code (the n-th one for the
    // n-th occurrence in the list), but cannot add groups the kind does not have.
    size_t seen = 0;
    for (size_t i = 0; i < mUnknownSeen.size(); ++i)
        if (unknown[mUnknownSeen[i]].value.code == v.code) ++seen;
    size_t n = 0;
    for (size_t i = 0; i < unknown.size(); ++i) {
        if (unknown[i].value.code != v.code) continue;
        if (n++ < seen) continue;
        unknown[i].value = v;
        mUnknownSeen.push_back(i);
        return;
    }
    refuse(v, L"a group this kind of object does not have");
}

void GroupReader::refuse(const ZelGroupValue& v, const wchar_t* why) {
    if (!mError.empty()) return;
    mError = L"group " + std::to_wstring(v.code) + L": " + why;
}

void GroupReader::finish() {
    for (const SubclassSchema& s : mSchema.subclasses)
        if (s.codec.finish) s.codec.finish(mObject);
}

// ---- writing ----------------------------------------------------------------------------

void writeGroups(const AcDbObject& object, const GroupSink& sink, bool withMarkers) {
    GroupStyle style = kDxfStyle;
    style.withMarkers = withMarkers;
    writeGroups(object, sink, style);
}

namespace {

void writeStructural(const AcDbObject& object, const GroupSink& sink) {
    const ObjectSchema& schema = object.schema();
    AcDbHandle h = object.getAcDbHandle();
    if (!h.isNull()) sink(handleGroup(schema.handleCode, h));
    for (const ZelGroupValue& v : object.appGroups())
        sink(v);
    if (!object.reactorHandles().empty()) {
        sink(textGroup(102, L"{ACAD_REACTORS"));
        for (AcDbHandle r : object.reactorHandles())
            sink(handleGroup(330, r));
        sink(textGroup(102, L"}"));
    }
    if (!object.xDictionaryHandle().isNull()) {
        sink(textGroup(102, L"{ACAD_XDICTIONARY"));
        sink(handleGroup(360, object.xDictionaryHandle()));
        sink(textGroup(102, L"}"));
    }
    if (!object.ownerHandle().isNull()) sink(handleGroup(330, object.ownerHandle()));
}

void writeUnknown(const AcDbObject& object, int subclass, const GroupSink& sink) {
    for (const AcDbObject::UnknownGroup& u : object.unknownGroups())
        if (u.subclass == subclass) sink(u.value);
}

} // namespace

void writeGroups(const AcDbObject& object, const GroupSink& sink, const GroupStyle& style) {
    const ObjectSchema& schema = object.schema();
    writeStructural(object, sink);
    writeUnknown(object, -1, sink);
    for (int i = 0; i < int(schema.subclasses.size()); ++i) {
        const SubclassSchema& sub = schema.subclasses[i];
        if (style.withMarkers) {
            std::string_view m = sub.marker;
            sink(textGroup(100, std::wstring(m.begin(), m.end())));
        }
        for (const FieldDesc& f : sub.fields) {
            if (f.flags & kR12Only) continue;
            if ((f.flags & kSkipDefault) && fieldIsDefault(object, f)) continue;
            sink(fieldValue(object, f, style.anglesInDegrees));
        }
        if (sub.codec.write) sub.codec.write(object, sink);
        writeUnknown(object, i, sink);
    }
    for (const AcDbXDataGroup& g : object.xDataGroups()) {
        sink(textGroup(1001, g.appName));
        for (const ZelGroupValue& v : g.values)
            sink(v);
    }
}

} // namespace zel::db
