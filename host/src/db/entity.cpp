// AcDbEntity: the common properties of every entity, and the defaults of AcDbCurve.
#include "db/access.h"
#include "db/database_impl.h"
#include "db/schema.h"

#include "core/text.h"

#include <algorithm>
#include <cmath>

using zel::db::FieldKind;
using zel::db::kSkipDefault;

ZEL_DEFINE_MEMBERS(AcDbEntity, AcDbObject)
ZEL_DEFINE_MEMBERS(AcDbCurve, AcDbEntity)

Acad::ErrorStatus AcCmColor::setColorIndex(int16_t index) {
    if (index < 0 || index > 256) return Acad::eOutOfRange;
    mIndex = index;
    return Acad::eOk;
}

AcDbEntity::AcDbEntity() = default;

namespace {

bool validLineWeight(const ZelGroupValue& v) {
    static const int16_t weights[] = {-3, -2, -1, 0,  5,  9,  13,  15,  18,  20,  25,  30,  35, 40,
                                      50, 53, 60, 70, 80, 90, 100, 106, 120, 140, 158, 200, 211};
    return std::find(std::begin(weights), std::end(weights), v.integer) != std::end(weights);
}

bool validLayerName(const ZelGroupValue& v) {
    return zel::db::validName(v);
}

} // namespace

const zel::db::SubclassSchema& AcDbEntity::commonSchema() {
    using E = AcDbEntity;
    static const zel::db::SubclassSchema s{
        "AcDbEntity",
        {
            {67, FieldKind::Bool, ZEL_FIELD(E, mPaperSpace), kSkipDefault},
            {8, FieldKind::String, ZEL_FIELD(E, mLayer), 0, 0, L"0", validLayerName},
            {6, FieldKind::String, ZEL_FIELD(E, mLinetype), kSkipDefault, 0, L"BYLAYER",
             validLayerName},
            {347, FieldKind::Handle, ZEL_FIELD(E, mMaterial), kSkipDefault},
            {62, FieldKind::Int16, ZEL_FIELD(E, mColor), kSkipDefault, 256, L"",
             zel::db::validColorIndex},
            {370, FieldKind::Int16, ZEL_FIELD(E, mLineWeight), kSkipDefault, -1, L"",
             validLineWeight},
            {48, FieldKind::Real, ZEL_FIELD(E, mLinetypeScale), kSkipDefault, 1, L"",
             zel::db::validPositive},
            {60, FieldKind::Bool, ZEL_FIELD(E, mInvisible), kSkipDefault},
            {420, FieldKind::Int32, ZEL_FIELD(E, mTrueColor), kSkipDefault, -1},
            {430, FieldKind::String, ZEL_FIELD(E, mColorName), kSkipDefault},
            {440, FieldKind::Int32, ZEL_FIELD(E, mTransparency), kSkipDefault},
            {390, FieldKind::Handle, ZEL_FIELD(E, mPlotStyle), kSkipDefault},
            {284, FieldKind::Int16, ZEL_FIELD(E, mShadowMode), kSkipDefault},
        },
        {}};
    return s;
}

namespace {

AcDbDatabase* databaseOf(const AcDbEntity& e) {
    return e.database() ? e.database() : zel::db::workingDatabase();
}

// The name of a record as the table spells it; empty when the table has no such record.
std::wstring recordName(AcDbObjectId tableId, const ACHAR* name) {
    auto* table = zel::db::peekAs<AcDbSymbolTable>(tableId);
    AcDbObjectId id;
    if (!table || table->getAt(name, id) != Acad::eOk) return {};
    auto* rec = zel::db::peekAs<AcDbSymbolTableRecord>(id);
    return rec ? rec->name() : std::wstring();
}

} // namespace

AcDbObjectId AcDbEntity::layerId() const {
    AcDbDatabase* db = databaseOf(*this);
    auto* table = db ? zel::db::peekAs<AcDbLayerTable>(db->layerTableId()) : nullptr;
    AcDbObjectId id;
    if (table) table->getAt(mLayer.c_str(), id);
    return id;
}

Acad::ErrorStatus AcDbEntity::setLayer(const ACHAR* name) {
    if (!name || !AcDbSymbolTableRecord::isValidName(name)) return Acad::eInvalidInput;
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    std::wstring canonical = name;
    if (AcDbDatabase* db = databaseOf(*this)) {
        canonical = recordName(db->layerTableId(), name);
        if (canonical.empty()) return Acad::eKeyNotFound;
    }
    assertWriteEnabled();
    mLayer = canonical;
    mPropertiesSet |= kLayerSet;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::setLayer(AcDbObjectId id) {
    auto* rec = zel::db::peekAs<AcDbLayerTableRecord>(id);
    if (!rec || id.isErased()) return Acad::eInvalidInput;
    return setLayer(rec->getName());
}

AcDbObjectId AcDbEntity::linetypeId() const {
    AcDbDatabase* db = databaseOf(*this);
    auto* table = db ? zel::db::peekAs<AcDbLinetypeTable>(db->linetypeTableId()) : nullptr;
    AcDbObjectId id;
    if (table) table->getAt(mLinetype.c_str(), id);
    return id;
}

Acad::ErrorStatus AcDbEntity::setLinetype(const ACHAR* name) {
    if (!name || !*name) return Acad::eInvalidInput;
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    std::wstring canonical = name;
    if (AcDbDatabase* db = databaseOf(*this)) {
        canonical = recordName(db->linetypeTableId(), name);
        if (canonical.empty()) return Acad::eUndefinedLineType;
    }
    assertWriteEnabled();
    mLinetype = canonical;
    mPropertiesSet |= kLinetypeSet;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::setLinetype(AcDbObjectId id) {
    auto* rec = zel::db::peekAs<AcDbLinetypeTableRecord>(id);
    if (!rec || id.isErased()) return Acad::eInvalidInput;
    return setLinetype(rec->getName());
}

Acad::ErrorStatus AcDbEntity::setColorIndex(int16_t color) {
    if (color < 0 || color > 256) return Acad::eOutOfRange;
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mColor = color;
    mTrueColor = -1;
    mColorName.clear();
    mPropertiesSet |= kColorSet;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::setLineWeight(AcDb::LineWeight w) {
    ZelGroupValue v;
    v.integer = w;
    if (!validLineWeight(v)) return Acad::eOutOfRange;
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mLineWeight = int16_t(w);
    mPropertiesSet |= kWeightSet;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::setLinetypeScale(double s) {
    if (!std::isfinite(s) || s <= 0) return Acad::eOutOfRange;
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mLinetypeScale = s;
    mPropertiesSet |= kScaleSet;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::setVisibility(bool visible) {
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mInvisible = !visible;
    return Acad::eOk;
}

void AcDbEntity::setPropertiesFrom(const AcDbEntity& o) {
    assertWriteEnabled();
    mLayer = o.mLayer;
    mLinetype = o.mLinetype;
    mColor = o.mColor;
    mTrueColor = o.mTrueColor;
    mColorName = o.mColorName;
    mLineWeight = o.mLineWeight;
    mLinetypeScale = o.mLinetypeScale;
    mInvisible = o.mInvisible;
    mTransparency = o.mTransparency;
    mPlotStyle = o.mPlotStyle;
    mMaterial = o.mMaterial;
    mPropertiesSet = kLayerSet | kLinetypeSet | kColorSet | kWeightSet | kScaleSet;
}

void AcDbEntity::setDatabaseDefaults(AcDbDatabase* db) {
    if (!db) db = databaseOf(*this);
    if (!db) return;
    assertWriteEnabled();
    auto nameOf = [](AcDbObjectId id, const wchar_t* fallback) {
        auto* rec = zel::db::peekAs<AcDbSymbolTableRecord>(id);
        return rec ? rec->name() : std::wstring(fallback);
    };
    if (!(mPropertiesSet & kLayerSet)) mLayer = nameOf(db->clayer(), L"0");
    if (!(mPropertiesSet & kLinetypeSet)) mLinetype = nameOf(db->celtype(), L"BYLAYER");
    if (!(mPropertiesSet & kColorSet)) mColor = db->cecolor().colorIndex();
    if (!(mPropertiesSet & kWeightSet)) mLineWeight = int16_t(db->celweight());
    if (!(mPropertiesSet & kScaleSet)) mLinetypeScale = db->celtscale();
    mPropertiesSet = kLayerSet | kLinetypeSet | kColorSet | kWeightSet | kScaleSet;
}

Acad::ErrorStatus AcDbEntity::getGeomExtents(AcDbExtents&) const {
    return Acad::eInvalidExtents;
}

Acad::ErrorStatus AcDbEntity::transformBy(const AcGeMatrix3d&) {
    return Acad::eNotApplicable;
}

Acad::ErrorStatus AcDbEntity::highlight() const {
    if (!slot()) return Acad::eNotInDatabase;
    slot()->highlighted = true;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::unhighlight() const {
    if (!slot()) return Acad::eNotInDatabase;
    slot()->highlighted = false;
    return Acad::eOk;
}

bool AcDbEntity::isHighlighted() const {
    return slot() && slot()->highlighted;
}

// ---- AcDbCurve: what a kind does not answer, and answers composed of others --------------

Acad::ErrorStatus AcDbCurve::getStartParam(double&) const {
    return Acad::eNotApplicable;
}
Acad::ErrorStatus AcDbCurve::getEndParam(double&) const {
    return Acad::eNotApplicable;
}
Acad::ErrorStatus AcDbCurve::getStartPoint(AcGePoint3d&) const {
    return Acad::eNotApplicable;
}
Acad::ErrorStatus AcDbCurve::getEndPoint(AcGePoint3d&) const {
    return Acad::eNotApplicable;
}
Acad::ErrorStatus AcDbCurve::getPointAtParam(double, AcGePoint3d&) const {
    return Acad::eNotApplicable;
}
Acad::ErrorStatus AcDbCurve::getParamAtPoint(const AcGePoint3d&, double&) const {
    return Acad::eNotApplicable;
}
Acad::ErrorStatus AcDbCurve::getDistAtParam(double, double&) const {
    return Acad::eNotApplicable;
}
Acad::ErrorStatus AcDbCurve::getParamAtDist(double, double&) const {
    return Acad::eNotApplicable;
}
Acad::ErrorStatus AcDbCurve::getFirstDeriv(double, AcGeVector3d&) const {
    return Acad::eNotApplicable;
}
Acad::ErrorStatus AcDbCurve::getClosestPointTo(const AcGePoint3d&, AcGePoint3d&, bool) const {
    return Acad::eNotApplicable;
}
Acad::ErrorStatus AcDbCurve::getArea(double&) const {
    return Acad::eNotApplicable;
}

Acad::ErrorStatus AcDbCurve::getDistAtPoint(const AcGePoint3d& point, double& dist) const {
    double param = 0;
    Acad::ErrorStatus es = getParamAtPoint(point, param);
    return es == Acad::eOk ? getDistAtParam(param, dist) : es;
}

Acad::ErrorStatus AcDbCurve::getPointAtDist(double dist, AcGePoint3d& point) const {
    double param = 0;
    Acad::ErrorStatus es = getParamAtDist(dist, param);
    return es == Acad::eOk ? getPointAtParam(param, point) : es;
}

Acad::ErrorStatus AcDbCurve::getLength(double& length) const {
    double end = 0;
    Acad::ErrorStatus es = getEndParam(end);
    return es == Acad::eOk ? getDistAtParam(end, length) : es;
}
