// INSERT: a placed block (AcDbBlockReference) and its arrayed form (AcDbMInsertBlock).
#include "arx/db.h"
#include "core/tolerance.h"
#include "db/database_impl.h"
#include "db/ents/entcommon.h"
#include "db/ents/kinds.h"

#include <cmath>

namespace ents = zel::db::ents;

ZEL_DEFINE_MEMBERS(AcDbBlockReference, AcDbEntity)
ZEL_DEFINE_MEMBERS(AcDbMInsertBlock, AcDbBlockReference)

namespace zel::db::ents {
void addPendingSubEntities(AcDbEntity& owner, ZelSubEntities& list);
}

AcDbBlockReference::AcDbBlockReference(const AcGePoint3d& position, AcDbObjectId blockTableRecord)
    : mBlockName(ents::recordName(blockTableRecord)), mPosition(position) {}

AcDbObjectId AcDbBlockReference::blockTableRecord() const {
    return ents::blockByName(database(), mBlockName);
}

Acad::ErrorStatus AcDbBlockReference::setBlockTableRecord(AcDbObjectId id) {
    if (!zel::db::peekAs<AcDbBlockTableRecord>(id)) return Acad::eInvalidInput;
    assertWriteEnabled();
    mBlockName = ents::recordName(id);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::setBlockName(const ACHAR* name) {
    if (!name || !*name) return Acad::eInvalidInput;
    assertWriteEnabled();
    mBlockName = name;
    return Acad::eOk;
}

AcGePoint3d AcDbBlockReference::position() const {
    return ents::planeToWorld(mNormal, mPosition);
}

Acad::ErrorStatus AcDbBlockReference::setPosition(const AcGePoint3d& p) {
    assertWriteEnabled();
    mPosition = ents::worldToPlane(mNormal, p);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::setScaleFactors(const AcGeScale3d& scale) {
    for (int i = 0; i < 3; ++i)
        if (!std::isfinite(scale[i]) || std::fabs(scale[i]) <= zel::tol::kPoint)
            return Acad::eInvalidInput;
    assertWriteEnabled();
    mScale = scale;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::setRotation(double angle) {
    if (!std::isfinite(angle)) return Acad::eInvalidInput;
    assertWriteEnabled();
    mRotation = angle;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::setNormal(const AcGeVector3d& n) {
    if (n.isZeroLength()) return Acad::eInvalidInput;
    assertWriteEnabled();
    AcGePoint3d p = position();
    mNormal = n.normal();
    mPosition = ents::worldToPlane(mNormal, p);
    return Acad::eOk;
}

AcGePoint3d AcDbBlockReference::blockBasePoint() const {
    auto* record = zel::db::peekAs<AcDbBlockTableRecord>(blockTableRecord());
    return record ? record->origin() : AcGePoint3d::kOrigin;
}

AcGeMatrix3d AcDbBlockReference::blockTransform() const {
    AcGeMatrix3d scale;
    scale.entry[0][0] = mScale.sx;
    scale.entry[1][1] = mScale.sy;
    scale.entry[2][2] = mScale.sz;
    AcGeMatrix3d m = AcGeMatrix3d::translation(AcGePoint3d::kOrigin - blockBasePoint());
    m.preMultBy(scale);
    m.preMultBy(AcGeMatrix3d::rotation(mRotation, AcGeVector3d::kZAxis));
    m.preMultBy(AcGeMatrix3d::translation(mPosition.asVector()));
    m.preMultBy(AcGeMatrix3d::planeToWorld(mNormal));
    return m;
}

Acad::ErrorStatus AcDbBlockReference::setBlockTransform(const AcGeMatrix3d& xform) {
    AcGeVector3d c0 = xform * AcGeVector3d::kXAxis, c1 = xform * AcGeVector3d::kYAxis;
    AcGeVector3d c2 = xform * AcGeVector3d::kZAxis;
    double sx = c0.length(), sy = c1.length(), sz = c2.length();
    if (sx <= zel::tol::kPoint || sy <= zel::tol::kPoint || sz <= zel::tol::kPoint)
        return Acad::eInvalidInput;
    double size = std::max({1.0, sx, sy, sz});
    double tolerance = zel::tol::kPoint * size * size;
    if (std::fabs(c0.dotProduct(c1)) > tolerance || std::fabs(c0.dotProduct(c2)) > tolerance ||
        std::fabs(c1.dotProduct(c2)) > tolerance)
        return Acad::eCannotScaleNonUniformly; // a shear: no block reference shows it
    AcGeVector3d normal = c2 / sz;
    AcGeVector3d yDir = normal.crossProduct(c0 / sx);
    double signY = yDir.dotProduct(c1) < 0 ? -1 : 1;
    assertWriteEnabled();
    mNormal = normal;
    mRotation = ents::angleInPlane(normal, c0);
    mScale = AcGeScale3d(sx, sy * signY, sz);
    mPosition = ents::worldToPlane(normal, xform * blockBasePoint());
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::appendAttribute(AcDbAttribute* attribute) {
    AcDbObjectId id;
    return appendAttribute(id, attribute);
}

Acad::ErrorStatus AcDbBlockReference::appendAttribute(AcDbObjectId& id, AcDbAttribute* attribute) {
    if (!attribute) return Acad::eNullEntityPointer;
    if (!attribute->objectId().isNull()) return Acad::eAlreadyInDb;
    Acad::ErrorStatus es = mSub.append(*this, std::unique_ptr<AcDbEntity>(attribute), &id);
    if (es == Acad::eOk) mAttributesFollow = 1;
    return es;
}

namespace {

// Extents of the entities of a block placed by a transform.
void addBlockExtents(const AcDbBlockTableRecord& record, const AcGeMatrix3d& xform,
                     AcDbExtents& out) {
    for (AcDbObjectId id : record.entityIds()) {
        if (id.isErased()) continue;
        auto* e = zel::db::peekAs<AcDbEntity>(id);
        AcDbExtents ext;
        if (!e || AcDbBlockBegin::cast(e) || AcDbBlockEnd::cast(e) ||
            AcDbAttributeDefinition::cast(e) || e->getGeomExtents(ext) != Acad::eOk)
            continue;
        const AcGePoint3d& a = ext.minPoint();
        const AcGePoint3d& b = ext.maxPoint();
        for (int corner = 0; corner < 8; ++corner)
            out.addPoint(xform * AcGePoint3d(corner & 1 ? b.x : a.x, corner & 2 ? b.y : a.y,
                                             corner & 4 ? b.z : a.z));
    }
}

} // namespace

Acad::ErrorStatus AcDbBlockReference::getGeomExtents(AcDbExtents& extents) const {
    extents = AcDbExtents();
    if (auto* record = zel::db::peekAs<AcDbBlockTableRecord>(blockTableRecord()))
        addBlockExtents(*record, blockTransform(), extents);
    for (AcDbObjectId id : mSub.ids()) {
        auto* a = zel::db::peekAs<AcDbAttribute>(id);
        AcDbExtents ext;
        if (a && !id.isErased() && !a->isInvisible() && a->getGeomExtents(ext) == Acad::eOk)
            extents.addExt(ext);
    }
    if (extents.isEmpty()) extents.addPoint(position());
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::transformBy(const AcGeMatrix3d& xform) {
    AcDbBlockReference moved(*this);
    if (Acad::ErrorStatus es = moved.setBlockTransform(xform * blockTransform()); es != Acad::eOk)
        return es;
    // The attributes move along: all of them open for write, or nothing changes.
    std::vector<std::unique_ptr<AcDbObjectPointer<AcDbEntity>>> attributes;
    for (AcDbObjectId id : mSub.ids()) {
        if (id.isErased()) continue;
        attributes.push_back(std::make_unique<AcDbObjectPointer<AcDbEntity>>(id, AcDb::kForWrite));
        if (Acad::ErrorStatus es = attributes.back()->openStatus(); es != Acad::eOk) return es;
    }
    assertWriteEnabled();
    mPosition = moved.mPosition;
    mScale = moved.mScale;
    mRotation = moved.mRotation;
    mNormal = moved.mNormal;
    ents::PlanarTransform t = ents::planarTransform(xform, AcGeVector3d::kZAxis);
    mColumnSpacing *= t.scale;
    mRowSpacing *= t.scale;
    for (const auto& e : mSub.pending())
        e->transformBy(xform);
    for (const auto& a : attributes)
        (*a)->transformBy(xform);
    return Acad::eOk;
}

// ---- MINSERT ---------------------------------------------------------------------------------

AcDbMInsertBlock::AcDbMInsertBlock(const AcGePoint3d& position, AcDbObjectId blockTableRecord,
                                   int16_t columns, int16_t rows, double columnSpacing,
                                   double rowSpacing)
    : AcDbBlockReference(position, blockTableRecord) {
    mColumns = std::max<int16_t>(1, columns);
    mRows = std::max<int16_t>(1, rows);
    mColumnSpacing = columnSpacing;
    mRowSpacing = rowSpacing;
}

Acad::ErrorStatus AcDbMInsertBlock::setColumns(int16_t n) {
    if (n < 1) return Acad::eInvalidInput;
    assertWriteEnabled();
    mColumns = n;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbMInsertBlock::setRows(int16_t n) {
    if (n < 1) return Acad::eInvalidInput;
    assertWriteEnabled();
    mRows = n;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbMInsertBlock::setColumnSpacing(double d) {
    if (!std::isfinite(d)) return Acad::eInvalidInput;
    assertWriteEnabled();
    mColumnSpacing = d;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbMInsertBlock::setRowSpacing(double d) {
    if (!std::isfinite(d)) return Acad::eInvalidInput;
    assertWriteEnabled();
    mRowSpacing = d;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbMInsertBlock::getGeomExtents(AcDbExtents& extents) const {
    AcDbExtents one;
    AcDbBlockReference::getGeomExtents(one);
    extents = AcDbExtents();
    // The copies are translations of the first: the extreme ones bound them all.
    AcGeVector3d across = ents::directionInPlane(mNormal, mRotation);
    AcGeVector3d up = mNormal.normal().crossProduct(across);
    for (int c : {0, mColumns - 1}) {
        for (int r : {0, mRows - 1}) {
            AcGeVector3d shift = across * (c * mColumnSpacing) + up * (r * mRowSpacing);
            extents.addPoint(one.minPoint() + shift);
            extents.addPoint(one.maxPoint() + shift);
        }
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbMInsertBlock::transformBy(const AcGeMatrix3d& xform) {
    return AcDbBlockReference::transformBy(xform);
}

// ---- schema --------------------------------------------------------------------------------

namespace zel::db {

template <> struct KindSchema<AcDbBlockReference> {
    static bool validScale(const ZelGroupValue& v) {
        return std::isfinite(v.real) && std::fabs(v.real) > tol::kPoint;
    }
    static bool validCount(const ZelGroupValue& v) { return v.integer >= 1; }
    template <int Axis> static void* scale(AcDbObject* o) {
        return &static_cast<AcDbBlockReference*>(o)->mScale[Axis];
    }

    static std::vector<FieldDesc> fields() {
        using B = AcDbBlockReference;
        return {
            {66, FieldKind::Int16, ZEL_FIELD(B, mAttributesFollow), kSkipDefault},
            {2, FieldKind::String, ZEL_FIELD(B, mBlockName), kAlways, 0, L"", validName},
            {10, FieldKind::Point3, ZEL_FIELD(B, mPosition)},
            {41, FieldKind::Real, scale<0>, kSkipDefault, 1.0, L"", validScale},
            {42, FieldKind::Real, scale<1>, kSkipDefault, 1.0, L"", validScale},
            {43, FieldKind::Real, scale<2>, kSkipDefault, 1.0, L"", validScale},
            {50, FieldKind::Angle, ZEL_FIELD(B, mRotation), kSkipDefault},
            {70, FieldKind::Int16, ZEL_FIELD(B, mColumns), kSkipDefault, 1.0, L"", validCount},
            {71, FieldKind::Int16, ZEL_FIELD(B, mRows), kSkipDefault, 1.0, L"", validCount},
            {44, FieldKind::Real, ZEL_FIELD(B, mColumnSpacing), kSkipDefault},
            {45, FieldKind::Real, ZEL_FIELD(B, mRowSpacing), kSkipDefault},
            {210, FieldKind::Vector3, ZEL_FIELD(B, mNormal), kSkipDefault, 1.0, L"",
             validNonZeroVector},
        };
    }

    static ObjectSchema make(const char* marker, std::unique_ptr<AcDbObject> (*create)()) {
        ObjectSchema s{"INSERT", true, ents::entitySubclasses({{marker, fields(), {}}}), create};
        s.variant = ents::insertVariant;
        return s;
    }

    static const ObjectSchema& get(bool arrayed) {
        static const ObjectSchema single =
            make("AcDbBlockReference", createKind<AcDbBlockReference>);
        static const ObjectSchema multiple = make("AcDbMInsertBlock", createKind<AcDbMInsertBlock>);
        return arrayed ? multiple : single;
    }
};

} // namespace zel::db

const zel::db::ObjectSchema& AcDbBlockReference::kindSchema() {
    return zel::db::KindSchema<AcDbBlockReference>::get(false);
}

const zel::db::ObjectSchema& AcDbMInsertBlock::kindSchema() {
    return zel::db::KindSchema<AcDbBlockReference>::get(true);
}

namespace zel::db::ents {

const ObjectSchema& blockReferenceSchema() {
    return KindSchema<AcDbBlockReference>::get(false);
}
const ObjectSchema& minsertSchema() {
    return KindSchema<AcDbBlockReference>::get(true);
}

const ObjectSchema* insertVariant(const std::vector<ZelGroupValue>& groups) {
    bool arrayed = false;
    for (const ZelGroupValue& g : groups) {
        if (g.code == 100 && g.text == L"AcDbMInsertBlock") return &minsertSchema();
        if (g.code == 100 && g.text == L"AcDbBlockReference") return &blockReferenceSchema();
        if ((g.code == 70 || g.code == 71) && g.integer > 1) arrayed = true;
    }
    return arrayed ? &minsertSchema() : &blockReferenceSchema();
}

} // namespace zel::db::ents

void AcDbBlockReference::subEntitiesJoinDatabase() {
    ents::addPendingSubEntities(*this, mSub);
}
