// The record kinds of the symbol tables (all but block records) and their schemas.
#include "db/access.h"
#include "db/database_impl.h"
#include "db/schema.h"

#include <cmath>

using zel::db::FieldKind;
using zel::db::kSkipDefault;
using zel::db::SubclassSchema;

ZEL_DEFINE_MEMBERS(AcDbLayerTableRecord, AcDbSymbolTableRecord)
ZEL_DEFINE_MEMBERS(AcDbLinetypeTableRecord, AcDbSymbolTableRecord)
ZEL_DEFINE_MEMBERS(AcDbTextStyleTableRecord, AcDbSymbolTableRecord)
ZEL_DEFINE_MEMBERS(AcDbDimStyleTableRecord, AcDbSymbolTableRecord)
ZEL_DEFINE_MEMBERS(AcDbRegAppTableRecord, AcDbSymbolTableRecord)
ZEL_DEFINE_MEMBERS(AcDbUCSTableRecord, AcDbSymbolTableRecord)
ZEL_DEFINE_MEMBERS(AcDbViewTableRecord, AcDbSymbolTableRecord)
ZEL_DEFINE_MEMBERS(AcDbViewportTableRecord, AcDbSymbolTableRecord)

namespace {

const SubclassSchema kRecordBase{"AcDbSymbolTableRecord", {}, {}};

// Name (2) and flags (70) open every record's own subclass.
#define ZEL_RECORD_NAME_FLAGS(R)                                                                   \
    {2, FieldKind::String, ZEL_FIELD(R, mName), 0, 0, L"", zel::db::validName}, {                  \
        70, FieldKind::Int16, ZEL_FIELD(R, mFlags)                                                 \
    }

// Applies a change to an open-for-write record (recorded for undo first).
template <class R, class F> Acad::ErrorStatus change(R& r, F&& apply) {
    if (!r.isWriteEnabled()) return Acad::eNotOpenForWrite;
    r.assertWriteEnabled();
    apply();
    return Acad::eOk;
}

bool validLayerColor(const ZelGroupValue& v) {
    return v.integer != 0 && v.integer >= -255 && v.integer <= 255;
}

} // namespace

// ---- LAYER ------------------------------------------------------------------------------

const zel::db::ObjectSchema& AcDbLayerTableRecord::kindSchema() {
    using R = AcDbLayerTableRecord;
    static const zel::db::ObjectSchema s{
        "LAYER",
        false,
        {kRecordBase,
         {"AcDbLayerTableRecord",
          {
              ZEL_RECORD_NAME_FLAGS(R),
              {62, FieldKind::Int16, ZEL_FIELD(R, mColor), 0, 7, L"", validLayerColor},
              {6, FieldKind::String, ZEL_FIELD(R, mLinetype), 0, 0, L"CONTINUOUS",
               zel::db::validName},
              {290, FieldKind::Bool, ZEL_FIELD(R, mPlot), 0, 1},
              {370, FieldKind::Int16, ZEL_FIELD(R, mLineWeight), 0, -3},
              {390, FieldKind::Handle, ZEL_FIELD(R, mPlotStyle), kSkipDefault},
              {347, FieldKind::Handle, ZEL_FIELD(R, mMaterial), kSkipDefault},
          },
          {}}},
        &zel::db::createKind<R>};
    return s;
}

Acad::ErrorStatus AcDbLayerTableRecord::setIsFrozen(bool frozen) {
    return change(*this, [&] { mFlags = int16_t(frozen ? mFlags | 1 : mFlags & ~1); });
}

Acad::ErrorStatus AcDbLayerTableRecord::setIsLocked(bool locked) {
    return change(*this, [&] { mFlags = int16_t(locked ? mFlags | 4 : mFlags & ~4); });
}

Acad::ErrorStatus AcDbLayerTableRecord::setIsOff(bool off) {
    return change(*this, [&] { mColor = int16_t(off ? -colorIndex() : colorIndex()); });
}

Acad::ErrorStatus AcDbLayerTableRecord::setIsPlottable(bool plot) {
    return change(*this, [&] { mPlot = plot; });
}

Acad::ErrorStatus AcDbLayerTableRecord::setColorIndex(int16_t index) {
    if (index < 1 || index > 255) return Acad::eOutOfRange;
    return change(*this, [&] { mColor = int16_t(isOff() ? -index : index); });
}

Acad::ErrorStatus AcDbLayerTableRecord::setLinetypeName(const ACHAR* name) {
    if (!name || !isValidName(name)) return Acad::eInvalidInput;
    return change(*this, [&] { mLinetype = name; });
}

AcDbObjectId AcDbLayerTableRecord::linetypeObjectId() const {
    AcDbDatabase* db = database() ? database() : zel::db::workingDatabase();
    auto* table = db ? zel::db::peekAs<AcDbLinetypeTable>(db->linetypeTableId()) : nullptr;
    AcDbObjectId id;
    if (table) table->getAt(mLinetype.c_str(), id);
    return id;
}

Acad::ErrorStatus AcDbLayerTableRecord::setLinetypeObjectId(AcDbObjectId id) {
    auto* rec = zel::db::peekAs<AcDbLinetypeTableRecord>(id);
    if (!rec || id.isErased()) return Acad::eInvalidInput;
    return setLinetypeName(rec->getName());
}

Acad::ErrorStatus AcDbLayerTableRecord::setLineWeight(AcDb::LineWeight w) {
    if (w < -3 || w > 211) return Acad::eOutOfRange;
    return change(*this, [&] { mLineWeight = int16_t(w); });
}

// ---- LTYPE ------------------------------------------------------------------------------

namespace {

ZelGroupValue real(int16_t code, double v) {
    ZelGroupValue g;
    g.code = code;
    g.real = v;
    return g;
}

ZelGroupValue integer(int16_t code, int64_t v) {
    ZelGroupValue g;
    g.code = code;
    g.integer = v;
    return g;
}

bool readDash(AcDbObject& o, const ZelGroupValue& v) {
    auto& r = static_cast<AcDbLinetypeTableRecord&>(o);
    auto& list = zel::db::Access::dashes(r);
    if (v.code == 73) return true; // the count follows from the elements
    if (v.code == 40) {
        zel::db::Access::patternLength(r) = v.real;
        return true;
    }
    if (v.code == 49) {
        list.push_back(ZelDashElement{});
        list.back().length = v.real;
        return true;
    }
    if (list.empty()) return false;
    ZelDashElement& d = list.back();
    switch (v.code) {
    case 74:
        d.complexType = int16_t(v.integer);
        return true;
    case 75:
        d.shapeNumber = int16_t(v.integer);
        return true;
    case 340:
        d.style = AcDbHandle(uint64_t(v.integer));
        return true;
    case 46:
        d.scale = v.real, d.hasScale = true;
        return true;
    case 50:
        d.rotation = v.real * M_PI / 180, d.hasRotation = true;
        return true;
    case 44:
        d.xOffset = v.real, d.hasOffsets = true;
        return true;
    case 45:
        d.yOffset = v.real, d.hasOffsets = true;
        return true;
    case 9:
        d.text = v.text;
        return true;
    }
    return false;
}

void writeDashes(const AcDbObject& o, const zel::db::GroupSink& sink) {
    const auto& r = static_cast<const AcDbLinetypeTableRecord&>(o);
    sink(integer(73, r.numDashes()));
    sink(real(40, r.patternLength()));
    for (const ZelDashElement& d : r.dashes()) {
        sink(real(49, d.length));
        sink(integer(74, d.complexType));
        if (d.complexType == 0) continue;
        sink(integer(75, d.shapeNumber));
        sink(integer(340, int64_t(d.style.value())));
        sink(real(46, d.scale));
        sink(real(50, d.rotation * 180 / M_PI));
        sink(real(44, d.xOffset));
        sink(real(45, d.yOffset));
        if (d.complexType & 2) {
            ZelGroupValue t;
            t.code = 9;
            t.text = d.text;
            sink(t);
        }
    }
}

void clearDashes(AcDbObject& o) {
    zel::db::Access::dashes(static_cast<AcDbLinetypeTableRecord&>(o)).clear();
}

} // namespace

const zel::db::ObjectSchema& AcDbLinetypeTableRecord::kindSchema() {
    using R = AcDbLinetypeTableRecord;
    static const zel::db::ObjectSchema s{
        "LTYPE",
        false,
        {kRecordBase,
         {"AcDbLinetypeTableRecord",
          {
              ZEL_RECORD_NAME_FLAGS(R),
              {3, FieldKind::String, ZEL_FIELD(R, mComments)},
              {72, FieldKind::Int16, ZEL_FIELD(R, mAlignment), 0, 65},
          },
          {readDash, writeDashes, nullptr, clearDashes}}},
        &zel::db::createKind<R>};
    return s;
}

Acad::ErrorStatus AcDbLinetypeTableRecord::setComments(const ACHAR* text) {
    return change(*this, [&] { mComments = text ? text : L""; });
}

Acad::ErrorStatus AcDbLinetypeTableRecord::setPatternLength(double length) {
    if (!std::isfinite(length) || length < 0) return Acad::eOutOfRange;
    return change(*this, [&] { mPatternLength = length; });
}

Acad::ErrorStatus AcDbLinetypeTableRecord::setNumDashes(int count) {
    if (count < 0 || count > 12) return Acad::eOutOfRange;
    return change(*this, [&] { mDashes.resize(size_t(count)); });
}

double AcDbLinetypeTableRecord::dashLengthAt(int index) const {
    return index >= 0 && index < numDashes() ? mDashes[size_t(index)].length : 0.0;
}

Acad::ErrorStatus AcDbLinetypeTableRecord::setDashLengthAt(int index, double length) {
    if (index < 0 || index >= numDashes()) return Acad::eInvalidIndex;
    return change(*this, [&] { mDashes[size_t(index)].length = length; });
}

Acad::ErrorStatus AcDbLinetypeTableRecord::setDashes(std::vector<ZelDashElement> dashes) {
    return change(*this, [&] { mDashes = std::move(dashes); });
}

// ---- STYLE ------------------------------------------------------------------------------

const zel::db::ObjectSchema& AcDbTextStyleTableRecord::kindSchema() {
    using R = AcDbTextStyleTableRecord;
    static const zel::db::ObjectSchema s{
        "STYLE",
        false,
        {kRecordBase,
         {"AcDbTextStyleTableRecord",
          {
              ZEL_RECORD_NAME_FLAGS(R),
              {40, FieldKind::Real, ZEL_FIELD(R, mTextSize)},
              {41, FieldKind::Real, ZEL_FIELD(R, mXScale), 0, 1},
              {50, FieldKind::Angle, ZEL_FIELD(R, mOblique)},
              {71, FieldKind::Int16, ZEL_FIELD(R, mGenFlags)},
              {42, FieldKind::Real, ZEL_FIELD(R, mPriorSize), 0, 2.5},
              {3, FieldKind::String, ZEL_FIELD(R, mFont)},
              {4, FieldKind::String, ZEL_FIELD(R, mBigFont)},
          },
          {}}},
        &zel::db::createKind<R>};
    return s;
}

Acad::ErrorStatus AcDbTextStyleTableRecord::setFileName(const ACHAR* name) {
    return change(*this, [&] { mFont = name ? name : L""; });
}
Acad::ErrorStatus AcDbTextStyleTableRecord::setBigFontFileName(const ACHAR* name) {
    return change(*this, [&] { mBigFont = name ? name : L""; });
}
Acad::ErrorStatus AcDbTextStyleTableRecord::setTextSize(double size) {
    if (!std::isfinite(size) || size < 0) return Acad::eOutOfRange;
    return change(*this, [&] { mTextSize = size; });
}
Acad::ErrorStatus AcDbTextStyleTableRecord::setXScale(double scale) {
    if (!std::isfinite(scale) || scale <= 0) return Acad::eOutOfRange;
    return change(*this, [&] { mXScale = scale; });
}
Acad::ErrorStatus AcDbTextStyleTableRecord::setObliquingAngle(double angle) {
    return change(*this, [&] { mOblique = angle; });
}
Acad::ErrorStatus AcDbTextStyleTableRecord::setPriorSize(double size) {
    return change(*this, [&] { mPriorSize = size; });
}
Acad::ErrorStatus AcDbTextStyleTableRecord::setFlagBits(int16_t bits) {
    return change(*this, [&] { mGenFlags = bits; });
}

// ---- DIMSTYLE ---------------------------------------------------------------------------

namespace {

bool readDimVar(AcDbObject& o, const ZelGroupValue& v) {
    if (v.code == 2 || v.code == 70) return false; // the record's own fields
    auto& vars = zel::db::Access::dimVars(static_cast<AcDbDimStyleTableRecord&>(o));
    for (ZelGroupValue& old : vars) {
        if (old.code != v.code) continue;
        old = v;
        return true;
    }
    vars.push_back(v);
    return true;
}

void writeDimVars(const AcDbObject& o, const zel::db::GroupSink& sink) {
    for (const ZelGroupValue& v : static_cast<const AcDbDimStyleTableRecord&>(o).variables())
        sink(v);
}

} // namespace

const zel::db::ObjectSchema& AcDbDimStyleTableRecord::kindSchema() {
    using R = AcDbDimStyleTableRecord;
    static const zel::db::ObjectSchema s{
        "DIMSTYLE",
        false,
        {kRecordBase,
         {"AcDbDimStyleTableRecord", {ZEL_RECORD_NAME_FLAGS(R)}, {readDimVar, writeDimVars}}},
        &zel::db::createKind<R>,
        105};
    return s;
}

const ZelGroupValue* AcDbDimStyleTableRecord::variable(int16_t code) const {
    for (const ZelGroupValue& v : mVars)
        if (v.code == code) return &v;
    return nullptr;
}

Acad::ErrorStatus AcDbDimStyleTableRecord::setVariable(const ZelGroupValue& value) {
    if (value.code == 2 || value.code == 70 || value.code == 105) return Acad::eInvalidDxfCode;
    return change(*this, [&] { readDimVar(*this, value); });
}

void AcDbDimStyleTableRecord::removeVariable(int16_t code) {
    change(*this, [&] {
        std::erase_if(mVars, [code](const ZelGroupValue& v) { return v.code == code; });
    });
}

double AcDbDimStyleTableRecord::realVar(int16_t code, double dflt) const {
    const ZelGroupValue* v = variable(code);
    return v ? v->real : dflt;
}

int64_t AcDbDimStyleTableRecord::intVar(int16_t code, int64_t dflt) const {
    const ZelGroupValue* v = variable(code);
    return v ? v->integer : dflt;
}

std::wstring AcDbDimStyleTableRecord::textVar(int16_t code, const wchar_t* dflt) const {
    const ZelGroupValue* v = variable(code);
    return v ? v->text : std::wstring(dflt);
}

// ---- APPID, UCS, VIEW, VPORT ------------------------------------------------------------

const zel::db::ObjectSchema& AcDbRegAppTableRecord::kindSchema() {
    using R = AcDbRegAppTableRecord;
    static const zel::db::ObjectSchema s{
        "APPID",
        false,
        {kRecordBase, {"AcDbRegAppTableRecord", {ZEL_RECORD_NAME_FLAGS(R)}, {}}},
        &zel::db::createKind<R>};
    return s;
}

const zel::db::ObjectSchema& AcDbUCSTableRecord::kindSchema() {
    using R = AcDbUCSTableRecord;
    static const zel::db::ObjectSchema s{"UCS",
                                         false,
                                         {kRecordBase,
                                          {"AcDbUCSTableRecord",
                                           {
                                               ZEL_RECORD_NAME_FLAGS(R),
                                               {10, FieldKind::Point3, ZEL_FIELD(R, mOrigin)},
                                               {11, FieldKind::Vector3, ZEL_FIELD(R, mXAxis)},
                                               {12, FieldKind::Vector3, ZEL_FIELD(R, mYAxis)},
                                           },
                                           {}}},
                                         &zel::db::createKind<R>};
    return s;
}

Acad::ErrorStatus AcDbUCSTableRecord::setOrigin(const AcGePoint3d& p) {
    return change(*this, [&] { mOrigin = p; });
}
Acad::ErrorStatus AcDbUCSTableRecord::setXAxis(const AcGeVector3d& v) {
    if (v.isZeroLength()) return Acad::eDegenerateGeometry;
    return change(*this, [&] { mXAxis = v; });
}
Acad::ErrorStatus AcDbUCSTableRecord::setYAxis(const AcGeVector3d& v) {
    if (v.isZeroLength()) return Acad::eDegenerateGeometry;
    return change(*this, [&] { mYAxis = v; });
}

const zel::db::ObjectSchema& AcDbViewTableRecord::kindSchema() {
    using R = AcDbViewTableRecord;
    static const zel::db::ObjectSchema s{"VIEW",
                                         false,
                                         {kRecordBase,
                                          {"AcDbViewTableRecord",
                                           {
                                               ZEL_RECORD_NAME_FLAGS(R),
                                               {40, FieldKind::Real, ZEL_FIELD(R, mHeight)},
                                               {10, FieldKind::Point2, ZEL_FIELD(R, mCenter)},
                                               {41, FieldKind::Real, ZEL_FIELD(R, mWidth)},
                                               {11, FieldKind::Vector3, ZEL_FIELD(R, mDirection)},
                                               {12, FieldKind::Point3, ZEL_FIELD(R, mTarget)},
                                           },
                                           {}}},
                                         &zel::db::createKind<R>};
    return s;
}

Acad::ErrorStatus AcDbViewTableRecord::setCenterPoint(const AcGePoint2d& p) {
    return change(*this, [&] { mCenter = AcGePoint3d(p.x, p.y, 0); });
}
Acad::ErrorStatus AcDbViewTableRecord::setHeight(double h) {
    if (!(h > 0)) return Acad::eOutOfRange;
    return change(*this, [&] { mHeight = h; });
}
Acad::ErrorStatus AcDbViewTableRecord::setWidth(double w) {
    if (!(w > 0)) return Acad::eOutOfRange;
    return change(*this, [&] { mWidth = w; });
}

const zel::db::ObjectSchema& AcDbViewportTableRecord::kindSchema() {
    using R = AcDbViewportTableRecord;
    static const zel::db::ObjectSchema s{"VPORT",
                                         false,
                                         {kRecordBase,
                                          {"AcDbViewportTableRecord",
                                           {
                                               ZEL_RECORD_NAME_FLAGS(R),
                                               {10, FieldKind::Point2, ZEL_FIELD(R, mLowerLeft)},
                                               {11, FieldKind::Point2, ZEL_FIELD(R, mUpperRight)},
                                               {12, FieldKind::Point2, ZEL_FIELD(R, mCenter)},
                                               {40, FieldKind::Real, ZEL_FIELD(R, mHeight)},
                                               {41, FieldKind::Real, ZEL_FIELD(R, mAspect)},
                                           },
                                           {}}},
                                         &zel::db::createKind<R>};
    return s;
}

Acad::ErrorStatus AcDbViewportTableRecord::setCenterPoint(const AcGePoint2d& p) {
    return change(*this, [&] { mCenter = AcGePoint3d(p.x, p.y, 0); });
}
Acad::ErrorStatus AcDbViewportTableRecord::setHeight(double h) {
    if (!(h > 0)) return Acad::eOutOfRange;
    return change(*this, [&] { mHeight = h; });
}
Acad::ErrorStatus AcDbViewportTableRecord::setWidth(double w) {
    if (!(w > 0)) return Acad::eOutOfRange;
    return change(*this, [&] { mAspect = w / mHeight; });
}
