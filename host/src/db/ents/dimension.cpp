// DIMENSION: the common part and the seven kinds with their measurements.
#include "arx/db.h"
#include "core/tolerance.h"
#include "db/database_impl.h"
#include "db/ents/entcommon.h"
#include "db/ents/kinds.h"

#include <cmath>

namespace ents = zel::db::ents;

ZEL_DEFINE_MEMBERS(AcDbDimension, AcDbEntity)
ZEL_DEFINE_MEMBERS(AcDbAlignedDimension, AcDbDimension)
ZEL_DEFINE_MEMBERS(AcDbRotatedDimension, AcDbAlignedDimension)
ZEL_DEFINE_MEMBERS(AcDb2LineAngularDimension, AcDbDimension)
ZEL_DEFINE_MEMBERS(AcDb3PointAngularDimension, AcDbDimension)
ZEL_DEFINE_MEMBERS(AcDbRadialDimension, AcDbDimension)
ZEL_DEFINE_MEMBERS(AcDbDiametricDimension, AcDbDimension)
ZEL_DEFINE_MEMBERS(AcDbOrdinateDimension, AcDbDimension)

namespace {

constexpr double kTwoPi = 2 * M_PI;

double normalizeAngle(double a) {
    a = std::fmod(a, kTwoPi);
    return a < 0 ? a + kTwoPi : a;
}

// Common setter: a point of the dimension (world).
Acad::ErrorStatus setPoint(AcDbObject& o, AcGePoint3d& member, const AcGePoint3d& p) {
    o.assertWriteEnabled();
    member = p;
    return Acad::eOk;
}

void initText(AcDbDimension& d, const ACHAR* text, AcDbObjectId style) {
    if (text) d.setDimensionText(text);
    if (!style.isNull()) d.setDimensionStyle(style);
}

} // namespace

// ---- the common part -----------------------------------------------------------------------

AcDbObjectId AcDbDimension::dimBlockId() const {
    return ents::blockByName(database(), mBlockName);
}

Acad::ErrorStatus AcDbDimension::setDimBlockId(AcDbObjectId id) {
    std::wstring name = ents::recordName(id);
    if (name.empty()) return Acad::eInvalidInput;
    assertWriteEnabled();
    mBlockName = name;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDimension::setDimBlockName(const ACHAR* name) {
    if (!name) return Acad::eInvalidInput;
    assertWriteEnabled();
    mBlockName = name;
    return Acad::eOk;
}

ACHAR* AcDbDimension::dimensionText() const {
    return ents::copyText(mText);
}

Acad::ErrorStatus AcDbDimension::setDimensionText(const ACHAR* text) {
    if (!text) return Acad::eInvalidInput;
    assertWriteEnabled();
    mText = text;
    return Acad::eOk;
}

AcGePoint3d AcDbDimension::textPosition() const {
    return ents::planeToWorld(mNormal, mTextPosition);
}

Acad::ErrorStatus AcDbDimension::setTextPosition(const AcGePoint3d& p) {
    assertWriteEnabled();
    mTextPosition = ents::worldToPlane(mNormal, p);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDimension::useSetTextPosition() {
    assertWriteEnabled();
    mFlags = int16_t(mFlags | 128);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDimension::useDefaultTextPosition() {
    assertWriteEnabled();
    mFlags = int16_t(mFlags & ~128);
    return Acad::eOk;
}

AcDbObjectId AcDbDimension::dimensionStyle() const {
    return ents::dimStyleByName(database(), mStyle);
}

Acad::ErrorStatus AcDbDimension::setDimensionStyle(AcDbObjectId style) {
    std::wstring name = ents::recordName(style);
    if (name.empty()) return Acad::eInvalidInput;
    assertWriteEnabled();
    mStyle = name;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDimension::setDimensionStyleName(const ACHAR* name) {
    if (!name || !*name) return Acad::eInvalidInput;
    assertWriteEnabled();
    mStyle = name;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDimension::setTextRotation(double angle) {
    assertWriteEnabled();
    mTextRotation = angle;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDimension::setHorizontalRotation(double angle) {
    assertWriteEnabled();
    mHorizontalDirection = angle;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDimension::setTextAttachment(int16_t a) {
    if (a < 1 || a > 9) return Acad::eInvalidInput;
    assertWriteEnabled();
    mAttachment = a;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDimension::setTextLineSpacingFactor(double f) {
    if (!(f > 0)) return Acad::eInvalidInput;
    assertWriteEnabled();
    mLineSpacingFactor = f;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDimension::setNormal(const AcGeVector3d& n) {
    if (n.isZeroLength()) return Acad::eInvalidInput;
    assertWriteEnabled();
    AcGePoint3d text = textPosition();
    mNormal = n.normal();
    mTextPosition = ents::worldToPlane(mNormal, text);
    return Acad::eOk;
}

std::vector<const AcGePoint3d*> AcDbDimension::definitionPoints() const {
    std::vector<const AcGePoint3d*> out;
    for (AcGePoint3d* p : const_cast<AcDbDimension*>(this)->definitionPoints())
        out.push_back(p);
    return out;
}

Acad::ErrorStatus AcDbDimension::getGeomExtents(AcDbExtents& extents) const {
    extents = AcDbExtents();
    for (const AcGePoint3d* p : definitionPoints())
        extents.addPoint(*p);
    extents.addPoint(textPosition());
    // The drawn dimension: the entities of its block (at the origin, unscaled).
    if (auto* block = zel::db::peekAs<AcDbBlockTableRecord>(dimBlockId())) {
        for (AcDbObjectId id : block->entityIds()) {
            auto* e = zel::db::peekAs<AcDbEntity>(id);
            AcDbExtents ext;
            if (e && !id.isErased() && !AcDbBlockBegin::cast(e) && !AcDbBlockEnd::cast(e) &&
                e->getGeomExtents(ext) == Acad::eOk)
                extents.addExt(ext);
        }
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDimension::transformBy(const AcGeMatrix3d& xform) {
    ents::PlanarTransform t = ents::planarTransform(xform, mNormal);
    if (!t.uniform) return Acad::eCannotScaleNonUniformly;
    assertWriteEnabled();
    auto rotate = [&](double angle) {
        AcGeVector3d d = xform * ents::directionInPlane(mNormal, angle);
        return ents::angleInPlane(t.normal, d);
    };
    AcGePoint3d text = xform * textPosition();
    AcGePoint3d clone = xform * ents::planeToWorld(mNormal, mClonePoint);
    std::vector<AcGePoint3d*> inPlane = planePoints();
    std::vector<AcGePoint3d> planeWorld;
    for (AcGePoint3d* p : inPlane)
        planeWorld.push_back(xform * ents::planeToWorld(mNormal, *p));
    for (AcGePoint3d* p : definitionPoints())
        *p = xform * *p;
    if (mTextRotation != 0) mTextRotation = rotate(mTextRotation);
    if (mHorizontalDirection != 0) mHorizontalDirection = rotate(mHorizontalDirection);
    mNormal = t.normal;
    mTextPosition = ents::worldToPlane(mNormal, text);
    mClonePoint = ents::worldToPlane(mNormal, clone);
    for (size_t i = 0; i < inPlane.size(); ++i)
        *inPlane[i] = ents::worldToPlane(mNormal, planeWorld[i]);
    double value;
    if (measurement(value) == Acad::eOk) mMeasurement = value;
    return Acad::eOk;
}

// ---- linear ---------------------------------------------------------------------------------

AcDbAlignedDimension::AcDbAlignedDimension(const AcGePoint3d& xLine1Point,
                                           const AcGePoint3d& xLine2Point,
                                           const AcGePoint3d& dimLinePoint, const ACHAR* dimText,
                                           AcDbObjectId dimStyle)
    : AcDbDimension(kAligned), mXLine1(xLine1Point), mXLine2(xLine2Point) {
    mDefPoint = dimLinePoint;
    initText(*this, dimText, dimStyle);
    measurement(mMeasurement);
}

Acad::ErrorStatus AcDbAlignedDimension::setXLine1Point(const AcGePoint3d& p) {
    return setPoint(*this, mXLine1, p);
}
Acad::ErrorStatus AcDbAlignedDimension::setXLine2Point(const AcGePoint3d& p) {
    return setPoint(*this, mXLine2, p);
}
Acad::ErrorStatus AcDbAlignedDimension::setDimLinePoint(const AcGePoint3d& p) {
    return setPoint(*this, mDefPoint, p);
}

Acad::ErrorStatus AcDbAlignedDimension::setOblique(double angle) {
    assertWriteEnabled();
    mOblique = angle;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbAlignedDimension::measurement(double& value) const {
    value = mXLine1.distanceTo(mXLine2);
    return Acad::eOk;
}

std::vector<AcGePoint3d*> AcDbAlignedDimension::definitionPoints() {
    return {&mDefPoint, &mXLine1, &mXLine2};
}

AcDbRotatedDimension::AcDbRotatedDimension(double rotation, const AcGePoint3d& xLine1Point,
                                           const AcGePoint3d& xLine2Point,
                                           const AcGePoint3d& dimLinePoint, const ACHAR* dimText,
                                           AcDbObjectId dimStyle)
    : AcDbAlignedDimension(kRotated) {
    mXLine1 = xLine1Point;
    mXLine2 = xLine2Point;
    mDefPoint = dimLinePoint;
    mRotation = rotation;
    initText(*this, dimText, dimStyle);
    measurement(mMeasurement);
}

Acad::ErrorStatus AcDbRotatedDimension::setRotation(double angle) {
    if (!std::isfinite(angle)) return Acad::eInvalidInput;
    assertWriteEnabled();
    mRotation = angle;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbRotatedDimension::measurement(double& value) const {
    AcGeVector3d along = ents::directionInPlane(mNormal, mRotation);
    value = std::fabs((mXLine2 - mXLine1).dotProduct(along));
    return Acad::eOk;
}

Acad::ErrorStatus AcDbRotatedDimension::transformBy(const AcGeMatrix3d& xform) {
    AcGeVector3d along = xform * ents::directionInPlane(mNormal, mRotation);
    ents::PlanarTransform t = ents::planarTransform(xform, mNormal);
    double rotation = ents::angleInPlane(t.normal, along);
    // The rotation must follow before the base measures the moved points.
    double before = mRotation;
    mRotation = rotation;
    Acad::ErrorStatus es = AcDbDimension::transformBy(xform);
    if (es != Acad::eOk) mRotation = before;
    return es;
}

// ---- angular --------------------------------------------------------------------------------

namespace {

// The angle at a vertex from direction a to direction b counter-clockwise, in the plane.
double sweep(const AcGeVector3d& normal, const AcGeVector3d& a, const AcGeVector3d& b) {
    return normalizeAngle(ents::angleInPlane(normal, b) - ents::angleInPlane(normal, a));
}

// The angle between rays from a vertex towards p1 and p2 on the side where arc lies.
double sectorAngle(const AcGeVector3d& normal, const AcGePoint3d& vertex, const AcGePoint3d& p1,
                   const AcGePoint3d& p2, const AcGePoint3d& arc) {
    double s = sweep(normal, p1 - vertex, p2 - vertex);
    if (arc.distanceTo(vertex) <= zel::tol::kPoint) return std::min(s, kTwoPi - s);
    double a = sweep(normal, p1 - vertex, arc - vertex);
    return a <= s ? s : kTwoPi - s;
}

} // namespace

Acad::ErrorStatus AcDb2LineAngularDimension::setXLine1Start(const AcGePoint3d& p) {
    return setPoint(*this, mLine1Start, p);
}
Acad::ErrorStatus AcDb2LineAngularDimension::setXLine1End(const AcGePoint3d& p) {
    return setPoint(*this, mLine1End, p);
}
Acad::ErrorStatus AcDb2LineAngularDimension::setXLine2Start(const AcGePoint3d& p) {
    return setPoint(*this, mLine2Start, p);
}
Acad::ErrorStatus AcDb2LineAngularDimension::setXLine2End(const AcGePoint3d& p) {
    return setPoint(*this, mDefPoint, p);
}
AcGePoint3d AcDb2LineAngularDimension::arcPoint() const {
    return ents::planeToWorld(mNormal, mArcPoint);
}

Acad::ErrorStatus AcDb2LineAngularDimension::setArcPoint(const AcGePoint3d& p) {
    assertWriteEnabled();
    mArcPoint = ents::worldToPlane(mNormal, p);
    return Acad::eOk;
}

Acad::ErrorStatus AcDb2LineAngularDimension::measurement(double& value) const {
    // The vertex: where the two lines cross, in the plane.
    AcGePoint2d a = ents::worldToPlane(mNormal, mLine1Start).convert2d();
    AcGePoint2d b = ents::worldToPlane(mNormal, mLine1End).convert2d();
    AcGePoint2d c = ents::worldToPlane(mNormal, mLine2Start).convert2d();
    AcGePoint2d d = ents::worldToPlane(mNormal, mDefPoint).convert2d();
    AcGeVector2d u = b - a, v = d - c;
    double cross = u.crossProduct(v);
    if (std::fabs(cross) <= zel::tol::kParallel * u.length() * v.length())
        return Acad::eDegenerateGeometry;
    double t = (c - a).crossProduct(v) / cross;
    AcGePoint2d x = a + u * t;
    AcGePoint3d vertex(x.x, x.y, 0);
    AcGePoint3d arc(mArcPoint.x, mArcPoint.y, 0);
    // The sector that holds the arc point, among the four the two lines make.
    AcGeVector3d du(u.x, u.y, 0), dv(v.x, v.y, 0);
    AcGeVector3d z = AcGeVector3d::kZAxis;
    double best = sweep(z, du, dv);
    best = std::min(best, kTwoPi - best);
    if (arc.distanceTo(vertex) > zel::tol::kPoint) {
        // The four sectors, each from one ray counter-clockwise to the next.
        for (double su : {1.0, -1.0}) {
            for (double sv : {1.0, -1.0}) {
                AcGeVector3d a = du * su, b = dv * sv;
                if (sweep(z, a, b) > M_PI) std::swap(a, b);
                if (sweep(z, a, arc - vertex) <= sweep(z, a, b)) best = sweep(z, a, b);
            }
        }
    }
    value = best;
    return Acad::eOk;
}

std::vector<AcGePoint3d*> AcDb2LineAngularDimension::definitionPoints() {
    return {&mDefPoint, &mLine1Start, &mLine1End, &mLine2Start};
}

Acad::ErrorStatus AcDb3PointAngularDimension::setCenterPoint(const AcGePoint3d& p) {
    return setPoint(*this, mCenter, p);
}
Acad::ErrorStatus AcDb3PointAngularDimension::setXLine1Point(const AcGePoint3d& p) {
    return setPoint(*this, mXLine1, p);
}
Acad::ErrorStatus AcDb3PointAngularDimension::setXLine2Point(const AcGePoint3d& p) {
    return setPoint(*this, mXLine2, p);
}
Acad::ErrorStatus AcDb3PointAngularDimension::setArcPoint(const AcGePoint3d& p) {
    return setPoint(*this, mDefPoint, p);
}

Acad::ErrorStatus AcDb3PointAngularDimension::measurement(double& value) const {
    if (mXLine1.distanceTo(mCenter) <= zel::tol::kPoint ||
        mXLine2.distanceTo(mCenter) <= zel::tol::kPoint)
        return Acad::eDegenerateGeometry;
    value = sectorAngle(mNormal, mCenter, mXLine1, mXLine2, mDefPoint);
    return Acad::eOk;
}

std::vector<AcGePoint3d*> AcDb3PointAngularDimension::definitionPoints() {
    return {&mDefPoint, &mXLine1, &mXLine2, &mCenter};
}

// ---- radial, diametric, ordinate ---------------------------------------------------------------

AcDbRadialDimension::AcDbRadialDimension(const AcGePoint3d& center, const AcGePoint3d& chordPoint,
                                         double leaderLength, const ACHAR* dimText,
                                         AcDbObjectId dimStyle)
    : AcDbDimension(kRadial), mChordPoint(chordPoint), mLeaderLength(leaderLength) {
    mDefPoint = center;
    initText(*this, dimText, dimStyle);
    measurement(mMeasurement);
}

Acad::ErrorStatus AcDbRadialDimension::setCenter(const AcGePoint3d& p) {
    return setPoint(*this, mDefPoint, p);
}
Acad::ErrorStatus AcDbRadialDimension::setChordPoint(const AcGePoint3d& p) {
    return setPoint(*this, mChordPoint, p);
}
Acad::ErrorStatus AcDbRadialDimension::setLeaderLength(double length) {
    assertWriteEnabled();
    mLeaderLength = length;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbRadialDimension::measurement(double& value) const {
    value = mDefPoint.distanceTo(mChordPoint);
    return Acad::eOk;
}

std::vector<AcGePoint3d*> AcDbRadialDimension::definitionPoints() {
    return {&mDefPoint, &mChordPoint};
}

AcDbDiametricDimension::AcDbDiametricDimension(const AcGePoint3d& chordPoint,
                                               const AcGePoint3d& farChordPoint,
                                               double leaderLength, const ACHAR* dimText,
                                               AcDbObjectId dimStyle)
    : AcDbDimension(kDiametric), mChordPoint(chordPoint), mLeaderLength(leaderLength) {
    mDefPoint = farChordPoint;
    initText(*this, dimText, dimStyle);
    measurement(mMeasurement);
}

Acad::ErrorStatus AcDbDiametricDimension::setChordPoint(const AcGePoint3d& p) {
    return setPoint(*this, mChordPoint, p);
}
Acad::ErrorStatus AcDbDiametricDimension::setFarChordPoint(const AcGePoint3d& p) {
    return setPoint(*this, mDefPoint, p);
}
Acad::ErrorStatus AcDbDiametricDimension::setLeaderLength(double length) {
    assertWriteEnabled();
    mLeaderLength = length;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDiametricDimension::measurement(double& value) const {
    value = mDefPoint.distanceTo(mChordPoint);
    return Acad::eOk;
}

std::vector<AcGePoint3d*> AcDbDiametricDimension::definitionPoints() {
    return {&mDefPoint, &mChordPoint};
}

AcDbOrdinateDimension::AcDbOrdinateDimension(bool useXAxis, const AcGePoint3d& definingPoint,
                                             const AcGePoint3d& leaderEndPoint,
                                             const ACHAR* dimText, AcDbObjectId dimStyle)
    : AcDbDimension(kOrdinate), mFeature(definingPoint), mLeaderEnd(leaderEndPoint) {
    if (useXAxis) mFlags = int16_t(mFlags | 64);
    initText(*this, dimText, dimStyle);
    measurement(mMeasurement);
}

Acad::ErrorStatus AcDbOrdinateDimension::useXAxis() {
    assertWriteEnabled();
    mFlags = int16_t(mFlags | 64);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbOrdinateDimension::useYAxis() {
    assertWriteEnabled();
    mFlags = int16_t(mFlags & ~64);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbOrdinateDimension::setOrigin(const AcGePoint3d& p) {
    return setPoint(*this, mDefPoint, p);
}
Acad::ErrorStatus AcDbOrdinateDimension::setDefiningPoint(const AcGePoint3d& p) {
    return setPoint(*this, mFeature, p);
}
Acad::ErrorStatus AcDbOrdinateDimension::setLeaderEndPoint(const AcGePoint3d& p) {
    return setPoint(*this, mLeaderEnd, p);
}

Acad::ErrorStatus AcDbOrdinateDimension::measurement(double& value) const {
    double axis = mHorizontalDirection + (isUsingXAxis() ? 0 : M_PI / 2);
    value = std::fabs((mFeature - mDefPoint).dotProduct(ents::directionInPlane(mNormal, axis)));
    return Acad::eOk;
}

std::vector<AcGePoint3d*> AcDbOrdinateDimension::definitionPoints() {
    return {&mDefPoint, &mFeature, &mLeaderEnd};
}
