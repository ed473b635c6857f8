// TEXT: single-line text, and what attribute definitions and attributes share with it.
#include "arx/db.h"
#include "core/tolerance.h"
#include "db/ents/entcommon.h"
#include "db/ents/fontmodel.h"
#include "db/ents/kinds.h"
#include "db/ents/textfields.h"

#include <cmath>

namespace ents = zel::db::ents;

ZEL_DEFINE_MEMBERS(AcDbText, AcDbEntity)

AcDbText::AcDbText(const AcGePoint3d& position, const ACHAR* text, AcDbObjectId style,
                   double height, double rotation)
    : mPosition(position), mHeight(height), mText(text ? text : L""), mRotation(rotation) {
    if (!style.isNull()) mStyle = ents::recordName(style);
}

AcGePoint3d AcDbText::position() const {
    return ents::planeToWorld(mNormal, mPosition);
}

Acad::ErrorStatus AcDbText::setPosition(const AcGePoint3d& p) {
    assertWriteEnabled();
    mPosition = ents::worldToPlane(mNormal, p);
    return Acad::eOk;
}

AcGePoint3d AcDbText::alignmentPoint() const {
    return ents::planeToWorld(mNormal, mAlignmentPoint);
}

Acad::ErrorStatus AcDbText::setAlignmentPoint(const AcGePoint3d& p) {
    assertWriteEnabled();
    mAlignmentPoint = ents::worldToPlane(mNormal, p);
    mHasAlignmentPoint = true;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::setNormal(const AcGeVector3d& n) {
    if (n.isZeroLength()) return Acad::eInvalidInput;
    assertWriteEnabled();
    AcGePoint3d p = position(), a = alignmentPoint();
    mNormal = n.normal();
    mPosition = ents::worldToPlane(mNormal, p);
    mAlignmentPoint = ents::worldToPlane(mNormal, a);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::setThickness(double t) {
    assertWriteEnabled();
    mThickness = t;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::setOblique(double angle) {
    // The glyphs may lean at most 85 degrees either way.
    constexpr double kMaxOblique = 85 * M_PI / 180;
    double a = std::remainder(angle, 2 * M_PI);
    if (!(std::fabs(a) <= kMaxOblique)) return Acad::eInvalidInput;
    assertWriteEnabled();
    mOblique = a;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::setRotation(double angle) {
    if (!std::isfinite(angle)) return Acad::eInvalidInput;
    assertWriteEnabled();
    mRotation = angle;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::setHeight(double h) {
    if (!(h > 0) || !std::isfinite(h)) return Acad::eInvalidInput;
    assertWriteEnabled();
    mHeight = h;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::setWidthFactor(double f) {
    if (!(f > 0) || !std::isfinite(f)) return Acad::eInvalidInput;
    assertWriteEnabled();
    mWidthFactor = f;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::mirrorInX(bool on) {
    assertWriteEnabled();
    mGeneration = int16_t(on ? (mGeneration | 2) : (mGeneration & ~2));
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::mirrorInY(bool on) {
    assertWriteEnabled();
    mGeneration = int16_t(on ? (mGeneration | 4) : (mGeneration & ~4));
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::setHorizontalMode(AcDb::TextHorzMode mode) {
    if (mode < AcDb::kTextLeft || mode > AcDb::kTextFit) return Acad::eInvalidInput;
    assertWriteEnabled();
    mHorizontal = int16_t(mode);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::setVerticalMode(AcDb::TextVertMode mode) {
    if (mode < AcDb::kTextBase || mode > AcDb::kTextTop) return Acad::eInvalidInput;
    assertWriteEnabled();
    mVertical = int16_t(mode);
    return Acad::eOk;
}

namespace {

// The fifteen justifications as (horizontal, vertical) modes.
constexpr int16_t kJustification[15][2] = {
    {0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, // left .. fit on the baseline
    {0, 3}, {1, 3}, {2, 3},                         // top
    {0, 2}, {1, 2}, {2, 2},                         // middle
    {0, 1}, {1, 1}, {2, 1},                         // bottom
};

} // namespace

AcDb::TextAlignment AcDbText::justification() const {
    for (int i = 0; i < 15; ++i)
        if (kJustification[i][0] == mHorizontal && kJustification[i][1] == mVertical)
            return AcDb::TextAlignment(i);
    // Modes 3, 4 and 5 ignore the vertical mode.
    return mHorizontal >= 3 ? AcDb::TextAlignment(mHorizontal) : AcDb::kTextAlignmentLeft;
}

Acad::ErrorStatus AcDbText::setJustification(AcDb::TextAlignment alignment) {
    if (alignment < AcDb::kTextAlignmentLeft || alignment > AcDb::kTextAlignmentBottomRight)
        return Acad::eInvalidInput;
    assertWriteEnabled();
    mHorizontal = kJustification[alignment][0];
    mVertical = kJustification[alignment][1];
    return Acad::eOk;
}

ACHAR* AcDbText::textString() const {
    return ents::copyText(mText);
}

Acad::ErrorStatus AcDbText::setTextString(const ACHAR* text) {
    if (!text) return Acad::eInvalidInput;
    assertWriteEnabled();
    mText = text;
    return Acad::eOk;
}

AcDbObjectId AcDbText::textStyle() const {
    return ents::textStyleByName(database(), mStyle);
}

Acad::ErrorStatus AcDbText::setTextStyle(AcDbObjectId style) {
    std::wstring name = ents::recordName(style);
    if (name.empty()) return Acad::eInvalidInput;
    assertWriteEnabled();
    mStyle = name;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::setTextStyleName(const ACHAR* name) {
    if (!name || !*name) return Acad::eInvalidInput;
    assertWriteEnabled();
    mStyle = name;
    return Acad::eOk;
}

void AcDbText::copyTextProperties(const AcDbText& o) {
    mThickness = o.mThickness;
    mPosition = o.mPosition;
    mHeight = o.mHeight;
    mText = o.mText;
    mRotation = o.mRotation;
    mWidthFactor = o.mWidthFactor;
    mOblique = o.mOblique;
    mStyle = o.mStyle;
    mGeneration = o.mGeneration;
    mHorizontal = o.mHorizontal;
    mVertical = o.mVertical;
    mAlignmentPoint = o.mAlignmentPoint;
    mHasAlignmentPoint = o.mHasAlignmentPoint;
    mNormal = o.mNormal;
}

// ---- geometry -----------------------------------------------------------------------------

Acad::ErrorStatus AcDbText::adjustAlignment(const AcDbDatabase*) {
    if (isDefaultAlignment()) return Acad::eOk;
    assertWriteEnabled();
    double units = zel::db::font::textWidth(mText); // width at height 1, factor 1
    AcGeVector2d along = mAlignmentPoint.convert2d() - mPosition.convert2d();
    if (mHorizontal == AcDb::kTextAlign || mHorizontal == AcDb::kTextFit) {
        double d = along.length();
        if (d <= zel::tol::kPoint || units <= 0) return Acad::eOk;
        mRotation = along.angle();
        if (mHorizontal == AcDb::kTextAlign)
            mHeight = d / (units * mWidthFactor);
        else
            mWidthFactor = d / (units * mHeight);
        return Acad::eOk;
    }
    double width = units * mHeight * mWidthFactor;
    double x = mHorizontal == AcDb::kTextLeft    ? 0
               : mHorizontal == AcDb::kTextRight ? -width
                                                 : -width / 2;
    double y = 0;
    if (mHorizontal == AcDb::kTextMid || mVertical == AcDb::kTextVertMid)
        y = -mHeight / 2;
    else if (mVertical == AcDb::kTextTop)
        y = -mHeight;
    AcGeVector2d u(std::cos(mRotation), std::sin(mRotation)), v(-u.y, u.x);
    if (isMirroredInX()) u = -u; // backwards and upside-down texts run the other way
    if (isMirroredInY()) v = -v;
    AcGePoint2d p = mAlignmentPoint.convert2d() + u * x + v * y;
    mPosition = AcGePoint3d(p.x, p.y, mAlignmentPoint.z);
    return Acad::eOk;
}

void AcDbText::boxCorners(AcGePoint3d corners[4]) const {
    double width = zel::db::font::textWidth(mText) * mHeight * mWidthFactor;
    AcGeVector3d u = ents::directionInPlane(mNormal, mRotation);
    AcGeVector3d v = mNormal.normal().crossProduct(u);
    if (isMirroredInX()) u = -u; // backwards: the text runs the other way from its start
    if (isMirroredInY()) v = -v;
    AcGePoint3d p = position();
    corners[0] = p;
    corners[1] = p + u * width;
    corners[2] = p + u * width + v * mHeight;
    corners[3] = p + v * mHeight;
}

Acad::ErrorStatus AcDbText::getGeomExtents(AcDbExtents& extents) const {
    AcGePoint3d c[4];
    boxCorners(c);
    extents = AcDbExtents();
    for (const AcGePoint3d& p : c) {
        extents.addPoint(p);
        if (mThickness != 0) extents.addPoint(p + mNormal.normal() * mThickness);
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::transformBy(const AcGeMatrix3d& xform) {
    ents::PlanarTransform t = ents::planarTransform(xform, mNormal);
    AcGeVector3d u = ents::directionInPlane(mNormal, mRotation);
    AcGeVector3d v = mNormal.normal().crossProduct(u);
    AcGeVector3d u2 = xform * u, v2 = xform * v;
    if (u2.isZeroLength() || v2.isZeroLength()) return Acad::eCannotScaleNonUniformly;
    assertWriteEnabled();
    AcGePoint3d p = xform * position(), a = xform * alignmentPoint();
    mNormal = t.normal;
    mPosition = ents::worldToPlane(mNormal, p);
    mAlignmentPoint = ents::worldToPlane(mNormal, a);
    mRotation = ents::angleInPlane(mNormal, t.mirrored ? -u2 : u2);
    if (t.mirrored) mGeneration = int16_t(mGeneration ^ 2);
    mWidthFactor *= u2.length() / v2.length();
    mHeight *= v2.length();
    mThickness *= t.scale;
    return Acad::eOk;
}

// ---- schema --------------------------------------------------------------------------------

namespace zel::db {

bool KindSchema<AcDbText>::read(AcDbObject& o, const ZelGroupValue& v) {
    if (v.code != 11) return false;
    AcDbText& t = static_cast<AcDbText&>(o);
    t.mAlignmentPoint = v.point;
    t.mHasAlignmentPoint = true;
    return true;
}

void KindSchema<AcDbText>::write(const AcDbObject& o, const GroupSink& sink) {
    const AcDbText& t = static_cast<const AcDbText&>(o);
    if (t.mHasAlignmentPoint || !t.isDefaultAlignment())
        sink(ents::pointGroup(11, t.mAlignmentPoint));
}

std::vector<FieldDesc> KindSchema<AcDbText>::fields() {
    using T = AcDbText;
    return {
        {39, FieldKind::Real, ZEL_FIELD(T, mThickness), kSkipDefault},
        {10, FieldKind::Point3, ZEL_FIELD(T, mPosition)},
        {40, FieldKind::Real, ZEL_FIELD(T, mHeight), kAlways, 0, L"", validPositive},
        {1, FieldKind::String, ZEL_FIELD(T, mText)},
        {50, FieldKind::Angle, ZEL_FIELD(T, mRotation), kSkipDefault},
        {41, FieldKind::Real, ZEL_FIELD(T, mWidthFactor), kSkipDefault, 1.0, L"", validPositive},
        {51, FieldKind::Angle, ZEL_FIELD(T, mOblique), kSkipDefault},
        {7, FieldKind::String, ZEL_FIELD(T, mStyle), kSkipDefault, 0, L"Standard", validName},
        {71, FieldKind::Int16, ZEL_FIELD(T, mGeneration), kSkipDefault},
        {72, FieldKind::Int16, ZEL_FIELD(T, mHorizontal), kSkipDefault},
        {210, FieldKind::Vector3, ZEL_FIELD(T, mNormal), kSkipDefault, 1.0, L"",
         validNonZeroVector},
    };
}

SubclassSchema KindSchema<AcDbText>::textSubclass() {
    return {"AcDbText", fields(), {read, write, nullptr, nullptr}};
}

const ObjectSchema& KindSchema<AcDbText>::get() {
    static const ObjectSchema s{
        "TEXT", true,
        ents::entitySubclasses(
            {textSubclass(),
             {"AcDbText",
              {{73, FieldKind::Int16, ZEL_FIELD(AcDbText, mVertical), kSkipDefault}},
              {}}}),
        createKind<AcDbText>};
    return s;
}

} // namespace zel::db

const zel::db::ObjectSchema& AcDbText::kindSchema() {
    return zel::db::KindSchema<AcDbText>::get();
}

namespace zel::db::ents {
const ObjectSchema& textSchema() {
    return KindSchema<AcDbText>::get();
}
} // namespace zel::db::ents
