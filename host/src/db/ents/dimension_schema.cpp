// The schemas of DIMENSION: one DXF type, one schema per kind. The common subclass is shared;
// the kind's subclass follows (rotated dimensions have two). The kind to make is chosen from
// the subclass markers, or from the low bits of the 70 flags in files without markers.
#include "arx/db.h"
#include "db/ents/entcommon.h"
#include "db/ents/kinds.h"

namespace ents = zel::db::ents;

namespace zel::db {

template <> struct KindSchema<AcDbDimension> {
    using D = AcDbDimension;

    static bool validAttachment(const ZelGroupValue& v) { return v.integer >= 1 && v.integer <= 9; }

    static SubclassSchema common() {
        return {"AcDbDimension",
                {
                    {280, FieldKind::Int16, ZEL_FIELD(D, mVersion), kSkipDefault},
                    {2, FieldKind::String, ZEL_FIELD(D, mBlockName)},
                    {10, FieldKind::Point3, ZEL_FIELD(D, mDefPoint)},
                    {11, FieldKind::Point3, ZEL_FIELD(D, mTextPosition)},
                    {70, FieldKind::Int16, ZEL_FIELD(D, mFlags)},
                    {71, FieldKind::Int16, ZEL_FIELD(D, mAttachment), kSkipDefault, 5.0, L"",
                     validAttachment},
                    {72, FieldKind::Int16, ZEL_FIELD(D, mLineSpacingStyle), kSkipDefault, 1.0},
                    {41, FieldKind::Real, ZEL_FIELD(D, mLineSpacingFactor), kSkipDefault, 1.0, L"",
                     validPositive},
                    {42, FieldKind::Real, ZEL_FIELD(D, mMeasurement), kSkipDefault},
                    {1, FieldKind::String, ZEL_FIELD(D, mText), kSkipDefault},
                    {53, FieldKind::Angle, ZEL_FIELD(D, mTextRotation), kSkipDefault},
                    {51, FieldKind::Angle, ZEL_FIELD(D, mHorizontalDirection), kSkipDefault},
                    {210, FieldKind::Vector3, ZEL_FIELD(D, mNormal), kSkipDefault, 1.0, L"",
                     validNonZeroVector},
                    {3, FieldKind::String, ZEL_FIELD(D, mStyle), kAlways, 0, L"", validName},
                },
                {}};
    }

    // The kind bits follow the class whatever the file's flags said.
    template <AcDbDimension::Kind K> static void finish(AcDbObject& o) {
        static_cast<AcDbDimension&>(o).setKindBits(K);
    }

    static SubclassSchema linear(bool rotated) {
        using A = AcDbAlignedDimension;
        return {
            "AcDbAlignedDimension",
            {
                {12, FieldKind::Point3, ZEL_FIELD(D, mClonePoint), kSkipDefault},
                {13, FieldKind::Point3, ZEL_FIELD(A, mXLine1)},
                {14, FieldKind::Point3, ZEL_FIELD(A, mXLine2)},
                {50, FieldKind::Angle, ZEL_FIELD(A, mRotation), rotated ? kAlways : kSkipDefault},
                {52, FieldKind::Angle, ZEL_FIELD(A, mOblique), kSkipDefault},
            },
            {nullptr, nullptr,
             rotated ? finish<AcDbDimension::kRotated> : finish<AcDbDimension::kAligned>, nullptr}};
    }

    template <class T> static ObjectSchema make(std::vector<SubclassSchema> own) {
        std::vector<SubclassSchema> all{common()};
        for (SubclassSchema& s : own)
            all.push_back(std::move(s));
        ObjectSchema s{"DIMENSION", true, ents::entitySubclasses(std::move(all)), createKind<T>};
        s.variant = ents::dimensionVariant;
        return s;
    }

    static const ObjectSchema& get(AcDbDimension::Kind kind);
};

const ObjectSchema& KindSchema<AcDbDimension>::get(AcDbDimension::Kind kind) {
    using K = AcDbDimension;
    using L2 = AcDb2LineAngularDimension;
    using P3 = AcDb3PointAngularDimension;
    using R = AcDbRadialDimension;
    using Di = AcDbDiametricDimension;
    using O = AcDbOrdinateDimension;
    static const ObjectSchema rotated =
        make<AcDbRotatedDimension>({linear(true), {"AcDbRotatedDimension", {}, {}}});
    static const ObjectSchema aligned = make<AcDbAlignedDimension>({linear(false)});
    static const ObjectSchema angular2 =
        make<L2>({{"AcDb2LineAngularDimension",
                   {{13, FieldKind::Point3, ZEL_FIELD(L2, mLine1Start)},
                    {14, FieldKind::Point3, ZEL_FIELD(L2, mLine1End)},
                    {15, FieldKind::Point3, ZEL_FIELD(L2, mLine2Start)},
                    {16, FieldKind::Point3, ZEL_FIELD(L2, mArcPoint)}},
                   {nullptr, nullptr, finish<K::kAngular2Line>, nullptr}}});
    static const ObjectSchema angular3 =
        make<P3>({{"AcDb3PointAngularDimension",
                   {{13, FieldKind::Point3, ZEL_FIELD(P3, mXLine1)},
                    {14, FieldKind::Point3, ZEL_FIELD(P3, mXLine2)},
                    {15, FieldKind::Point3, ZEL_FIELD(P3, mCenter)}},
                   {nullptr, nullptr, finish<K::kAngular3Point>, nullptr}}});
    static const ObjectSchema radial =
        make<R>({{"AcDbRadialDimension",
                  {{15, FieldKind::Point3, ZEL_FIELD(R, mChordPoint)},
                   {40, FieldKind::Real, ZEL_FIELD(R, mLeaderLength)}},
                  {nullptr, nullptr, finish<K::kRadial>, nullptr}}});
    static const ObjectSchema diametric =
        make<Di>({{"AcDbDiametricDimension",
                   {{15, FieldKind::Point3, ZEL_FIELD(Di, mChordPoint)},
                    {40, FieldKind::Real, ZEL_FIELD(Di, mLeaderLength)}},
                   {nullptr, nullptr, finish<K::kDiametric>, nullptr}}});
    static const ObjectSchema ordinate =
        make<O>({{"AcDbOrdinateDimension",
                  {{13, FieldKind::Point3, ZEL_FIELD(O, mFeature)},
                   {14, FieldKind::Point3, ZEL_FIELD(O, mLeaderEnd)}},
                  {nullptr, nullptr, finish<K::kOrdinate>, nullptr}}});
    switch (kind) {
    case K::kRotated:
        return rotated;
    case K::kAligned:
        return aligned;
    case K::kAngular2Line:
        return angular2;
    case K::kDiametric:
        return diametric;
    case K::kRadial:
        return radial;
    case K::kAngular3Point:
        return angular3;
    case K::kOrdinate:
        return ordinate;
    }
    return rotated;
}

} // namespace zel::db

#define ZEL_DIMENSION_SCHEMA(CLASS, KIND)                                                          \
    const zel::db::ObjectSchema& CLASS::kindSchema() {                                             \
        return zel::db::KindSchema<AcDbDimension>::get(AcDbDimension::KIND);                       \
    }
ZEL_DIMENSION_SCHEMA(AcDbRotatedDimension, kRotated)
ZEL_DIMENSION_SCHEMA(AcDbAlignedDimension, kAligned)
ZEL_DIMENSION_SCHEMA(AcDb2LineAngularDimension, kAngular2Line)
ZEL_DIMENSION_SCHEMA(AcDb3PointAngularDimension, kAngular3Point)
ZEL_DIMENSION_SCHEMA(AcDbRadialDimension, kRadial)
ZEL_DIMENSION_SCHEMA(AcDbDiametricDimension, kDiametric)
ZEL_DIMENSION_SCHEMA(AcDbOrdinateDimension, kOrdinate)
#undef ZEL_DIMENSION_SCHEMA

namespace zel::db::ents {

const ObjectSchema& dimensionSchema(AcDbDimension::Kind kind) {
    return KindSchema<AcDbDimension>::get(kind);
}

const ObjectSchema* dimensionVariant(const std::vector<ZelGroupValue>& groups) {
    using K = AcDbDimension;
    static const std::pair<const wchar_t*, K::Kind> byMarker[] = {
        {L"AcDbRotatedDimension", K::kRotated},
        {L"AcDb2LineAngularDimension", K::kAngular2Line},
        {L"AcDb3PointAngularDimension", K::kAngular3Point},
        {L"AcDbRadialDimension", K::kRadial},
        {L"AcDbDiametricDimension", K::kDiametric},
        {L"AcDbOrdinateDimension", K::kOrdinate},
        {L"AcDbAlignedDimension", K::kAligned}, // last: rotated ones have it too
    };
    int flags = 0;
    for (const auto& [marker, kind] : byMarker)
        for (const ZelGroupValue& g : groups)
            if (g.code == 100 && g.text == marker) return &dimensionSchema(kind);
    for (const ZelGroupValue& g : groups)
        if (g.code == 70) flags = int(g.integer);
    int kind = flags & 7;
    return &dimensionSchema(kind <= K::kOrdinate ? K::Kind(kind) : K::kRotated);
}

} // namespace zel::db::ents
