// Dimensions (one DXF type DIMENSION, seven kinds chosen by the low bits of the 70 flags) and
// leaders. Included by db.h.
#pragma once

#include "db.h"
#include "dbents.h"
#include "dbtext.h"

#include <string>
#include <vector>

namespace zel::db {
template <class T> struct KindSchema;
}

// The common part of every dimension: the block that draws it ("*D..."), the text and its
// position, the style, the measurement. Definition point 10 means what each kind says.
class AcDbDimension : public AcDbEntity {
public:
    ZEL_DECLARE_MEMBERS(AcDbDimension)
    // The kind in the low three bits of the 70 flags.
    enum Kind {
        kRotated = 0,
        kAligned = 1,
        kAngular2Line = 2,
        kDiametric = 3,
        kRadial = 4,
        kAngular3Point = 5,
        kOrdinate = 6,
    };
    Kind kind() const { return Kind(mFlags & 7); }
    int16_t dimensionFlags() const { return mFlags; }

    AcDbObjectId dimBlockId() const; // by name in the entity's database
    Acad::ErrorStatus setDimBlockId(AcDbObjectId id);
    const ACHAR* dimBlockName() const { return mBlockName.c_str(); }
    Acad::ErrorStatus setDimBlockName(const ACHAR* name);
    ACHAR* dimensionText() const; // copy freed with delete[]
    const ACHAR* dimensionTextConst() const { return mText.c_str(); }
    // "" or "<>" shows the measurement; "<>" within the text stands for it.
    Acad::ErrorStatus setDimensionText(const ACHAR* text);
    AcGePoint3d textPosition() const; // world
    Acad::ErrorStatus setTextPosition(const AcGePoint3d& p);
    bool isUsingDefaultTextPosition() const { return (mFlags & 128) == 0; }
    Acad::ErrorStatus useSetTextPosition();
    Acad::ErrorStatus useDefaultTextPosition();
    AcDbObjectId dimensionStyle() const;
    Acad::ErrorStatus setDimensionStyle(AcDbObjectId style);
    const ACHAR* dimensionStyleName() const { return mStyle.c_str(); }
    Acad::ErrorStatus setDimensionStyleName(const ACHAR* name);
    double textRotation() const { return mTextRotation; }
    Acad::ErrorStatus setTextRotation(double angle);
    double horizontalRotation() const { return mHorizontalDirection; }
    Acad::ErrorStatus setHorizontalRotation(double angle);
    int16_t textAttachment() const { return mAttachment; }
    Acad::ErrorStatus setTextAttachment(int16_t a);
    double textLineSpacingFactor() const { return mLineSpacingFactor; }
    Acad::ErrorStatus setTextLineSpacingFactor(double f);
    AcGeVector3d normal() const { return mNormal; }
    Acad::ErrorStatus setNormal(const AcGeVector3d& n);
    // The measurement stored by the program that drew the dimension (42).
    double storedMeasurement() const { return mMeasurement; }

    // The measured value from the definition points (lengths, or angles in radians).
    virtual Acad::ErrorStatus measurement(double& value) const = 0;
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;

protected:
    template <class T> friend struct zel::db::KindSchema;
    explicit AcDbDimension(Kind kind) : mFlags(int16_t(kind)) {}
    // Definition points of the kind (world coordinates), for extents and transforms.
    virtual std::vector<AcGePoint3d*> definitionPoints() = 0;
    std::vector<const AcGePoint3d*> definitionPoints() const;
    // Points of the kind kept in plane coordinates (besides the text position).
    virtual std::vector<AcGePoint3d*> planePoints() { return {}; }
    void setKindBits(Kind kind) { mFlags = int16_t((mFlags & ~7) | kind); }

    int16_t mVersion = 0;
    std::wstring mBlockName;
    AcGePoint3d mDefPoint;     // 10, world
    AcGePoint3d mTextPosition; // 11, plane coordinates
    AcGePoint3d mClonePoint;   // 12, plane coordinates (old files)
    int16_t mFlags = 0;        // kind | 32 block used only here | 64 ordinate X | 128 text moved
    int16_t mAttachment = 5;
    int16_t mLineSpacingStyle = 1;
    double mLineSpacingFactor = 1;
    double mMeasurement = 0;
    std::wstring mText;
    double mTextRotation = 0;
    double mHorizontalDirection = 0;
    AcGeVector3d mNormal = AcGeVector3d::kZAxis;
    std::wstring mStyle = L"Standard";
};

// Linear dimension along the line between two extension line origins.
class AcDbAlignedDimension : public AcDbDimension {
public:
    ZEL_DECLARE_KIND(AcDbAlignedDimension)
    AcDbAlignedDimension() : AcDbDimension(kAligned) {}
    AcDbAlignedDimension(const AcGePoint3d& xLine1Point, const AcGePoint3d& xLine2Point,
                         const AcGePoint3d& dimLinePoint, const ACHAR* dimText = nullptr,
                         AcDbObjectId dimStyle = AcDbObjectId::kNull);
    AcGePoint3d xLine1Point() const { return mXLine1; }
    AcGePoint3d xLine2Point() const { return mXLine2; }
    AcGePoint3d dimLinePoint() const { return mDefPoint; }
    Acad::ErrorStatus setXLine1Point(const AcGePoint3d& p);
    Acad::ErrorStatus setXLine2Point(const AcGePoint3d& p);
    Acad::ErrorStatus setDimLinePoint(const AcGePoint3d& p);
    double oblique() const { return mOblique; }
    Acad::ErrorStatus setOblique(double angle);
    Acad::ErrorStatus measurement(double& value) const override;

protected:
    template <class T> friend struct zel::db::KindSchema;
    explicit AcDbAlignedDimension(Kind kind) : AcDbDimension(kind) {}
    std::vector<AcGePoint3d*> definitionPoints() override;
    AcGePoint3d mXLine1, mXLine2; // 13, 14
    double mRotation = 0;         // 50: rotated dimensions only
    double mOblique = 0;          // 52
};

// Linear dimension measured along a direction (horizontal, vertical or any angle).
class AcDbRotatedDimension : public AcDbAlignedDimension {
public:
    ZEL_DECLARE_KIND(AcDbRotatedDimension)
    AcDbRotatedDimension() : AcDbAlignedDimension(kRotated) {}
    AcDbRotatedDimension(double rotation, const AcGePoint3d& xLine1Point,
                         const AcGePoint3d& xLine2Point, const AcGePoint3d& dimLinePoint,
                         const ACHAR* dimText = nullptr,
                         AcDbObjectId dimStyle = AcDbObjectId::kNull);
    double rotation() const { return mRotation; }
    Acad::ErrorStatus setRotation(double angle);
    Acad::ErrorStatus measurement(double& value) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
};

// Angle between two lines (13-14 and 15-10); the arc stands at 16.
class AcDb2LineAngularDimension : public AcDbDimension {
public:
    ZEL_DECLARE_KIND(AcDb2LineAngularDimension)
    AcDb2LineAngularDimension() : AcDbDimension(kAngular2Line) {}
    AcGePoint3d xLine1Start() const { return mLine1Start; }
    AcGePoint3d xLine1End() const { return mLine1End; }
    AcGePoint3d xLine2Start() const { return mLine2Start; }
    AcGePoint3d xLine2End() const { return mDefPoint; }
    AcGePoint3d arcPoint() const; // world
    Acad::ErrorStatus setXLine1Start(const AcGePoint3d& p);
    Acad::ErrorStatus setXLine1End(const AcGePoint3d& p);
    Acad::ErrorStatus setXLine2Start(const AcGePoint3d& p);
    Acad::ErrorStatus setXLine2End(const AcGePoint3d& p);
    Acad::ErrorStatus setArcPoint(const AcGePoint3d& p);
    Acad::ErrorStatus measurement(double& value) const override;

private:
    template <class T> friend struct zel::db::KindSchema;
    std::vector<AcGePoint3d*> definitionPoints() override;
    std::vector<AcGePoint3d*> planePoints() override { return {&mArcPoint}; }
    AcGePoint3d mLine1Start, mLine1End, mLine2Start; // 13, 14, 15
    AcGePoint3d mArcPoint;                           // 16, plane coordinates
};

// Angle at a vertex (15) between two points (13, 14); the arc passes through 10.
class AcDb3PointAngularDimension : public AcDbDimension {
public:
    ZEL_DECLARE_KIND(AcDb3PointAngularDimension)
    AcDb3PointAngularDimension() : AcDbDimension(kAngular3Point) {}
    AcGePoint3d centerPoint() const { return mCenter; }
    AcGePoint3d xLine1Point() const { return mXLine1; }
    AcGePoint3d xLine2Point() const { return mXLine2; }
    AcGePoint3d arcPoint() const { return mDefPoint; }
    Acad::ErrorStatus setCenterPoint(const AcGePoint3d& p);
    Acad::ErrorStatus setXLine1Point(const AcGePoint3d& p);
    Acad::ErrorStatus setXLine2Point(const AcGePoint3d& p);
    Acad::ErrorStatus setArcPoint(const AcGePoint3d& p);
    Acad::ErrorStatus measurement(double& value) const override;

private:
    template <class T> friend struct zel::db::KindSchema;
    std::vector<AcGePoint3d*> definitionPoints() override;
    AcGePoint3d mXLine1, mXLine2, mCenter; // 13, 14, 15
};

// Radius: centre (10) to a chord point on the circle (15).
class AcDbRadialDimension : public AcDbDimension {
public:
    ZEL_DECLARE_KIND(AcDbRadialDimension)
    AcDbRadialDimension() : AcDbDimension(kRadial) {}
    AcDbRadialDimension(const AcGePoint3d& center, const AcGePoint3d& chordPoint,
                        double leaderLength, const ACHAR* dimText = nullptr,
                        AcDbObjectId dimStyle = AcDbObjectId::kNull);
    AcGePoint3d center() const { return mDefPoint; }
    AcGePoint3d chordPoint() const { return mChordPoint; }
    double leaderLength() const { return mLeaderLength; }
    Acad::ErrorStatus setCenter(const AcGePoint3d& p);
    Acad::ErrorStatus setChordPoint(const AcGePoint3d& p);
    Acad::ErrorStatus setLeaderLength(double length);
    Acad::ErrorStatus measurement(double& value) const override;

private:
    template <class T> friend struct zel::db::KindSchema;
    std::vector<AcGePoint3d*> definitionPoints() override;
    AcGePoint3d mChordPoint;  // 15
    double mLeaderLength = 0; // 40
};

// Diameter between two opposite chord points (15 and 10).
class AcDbDiametricDimension : public AcDbDimension {
public:
    ZEL_DECLARE_KIND(AcDbDiametricDimension)
    AcDbDiametricDimension() : AcDbDimension(kDiametric) {}
    AcDbDiametricDimension(const AcGePoint3d& chordPoint, const AcGePoint3d& farChordPoint,
                           double leaderLength, const ACHAR* dimText = nullptr,
                           AcDbObjectId dimStyle = AcDbObjectId::kNull);
    AcGePoint3d chordPoint() const { return mChordPoint; }
    AcGePoint3d farChordPoint() const { return mDefPoint; }
    double leaderLength() const { return mLeaderLength; }
    Acad::ErrorStatus setChordPoint(const AcGePoint3d& p);
    Acad::ErrorStatus setFarChordPoint(const AcGePoint3d& p);
    Acad::ErrorStatus setLeaderLength(double length);
    Acad::ErrorStatus measurement(double& value) const override;

private:
    template <class T> friend struct zel::db::KindSchema;
    std::vector<AcGePoint3d*> definitionPoints() override;
    AcGePoint3d mChordPoint;
    double mLeaderLength = 0;
};

// Ordinate: the x or y distance of a feature (13) from the origin (10); the leader ends at 14.
class AcDbOrdinateDimension : public AcDbDimension {
public:
    ZEL_DECLARE_KIND(AcDbOrdinateDimension)
    AcDbOrdinateDimension() : AcDbDimension(kOrdinate) {}
    AcDbOrdinateDimension(bool useXAxis, const AcGePoint3d& definingPoint,
                          const AcGePoint3d& leaderEndPoint, const ACHAR* dimText = nullptr,
                          AcDbObjectId dimStyle = AcDbObjectId::kNull);
    bool isUsingXAxis() const { return (mFlags & 64) != 0; }
    bool isUsingYAxis() const { return !isUsingXAxis(); }
    Acad::ErrorStatus useXAxis();
    Acad::ErrorStatus useYAxis();
    AcGePoint3d origin() const { return mDefPoint; }
    AcGePoint3d definingPoint() const { return mFeature; }
    AcGePoint3d leaderEndPoint() const { return mLeaderEnd; }
    Acad::ErrorStatus setOrigin(const AcGePoint3d& p);
    Acad::ErrorStatus setDefiningPoint(const AcGePoint3d& p);
    Acad::ErrorStatus setLeaderEndPoint(const AcGePoint3d& p);
    Acad::ErrorStatus measurement(double& value) const override;

private:
    template <class T> friend struct zel::db::KindSchema;
    std::vector<AcGePoint3d*> definitionPoints() override;
    AcGePoint3d mFeature, mLeaderEnd; // 13, 14
};

// LEADER: a line (or spline path) with an arrow at its first vertex, pointing at a note.
// Curve queries follow the vertices as a straight polyline.
class AcDbLeader : public AcDbCurve {
public:
    ZEL_DECLARE_KIND(AcDbLeader)
    AcDbLeader() = default;

    int numVertices() const { return int(mVertices.size()); }
    AcGePoint3d vertexAt(int index) const; // eInvalidIndex gives the origin
    Acad::ErrorStatus setVertexAt(int index, const AcGePoint3d& p);
    bool appendVertex(const AcGePoint3d& p);
    void removeLastVertex();
    AcGePoint3d firstVertex() const;
    AcGePoint3d lastVertex() const;
    bool hasArrowHead() const { return mArrow != 0; }
    void enableArrowHead();
    void disableArrowHead();
    bool isSplined() const { return mPathType == 1; }
    void setToSplineLeader();
    void setToStraightLeader();
    bool hasHookLine() const { return mHookLine != 0; }
    int16_t annotationType() const { return mCreation; } // 0 text, 1 tolerance, 2 block, 3 none
    AcDbObjectId annotationObjId() const;
    Acad::ErrorStatus attachAnnotation(AcDbObjectId id);
    Acad::ErrorStatus detachAnnotation();
    AcGeVector3d normal() const { return mNormal; }
    AcGeVector3d horizontalDirection() const { return mHorizontal; }
    AcGeVector3d annotationOffset() const { return mAnnotationOffset; }
    Acad::ErrorStatus setAnnotationOffset(const AcGeVector3d& offset);
    const ACHAR* dimensionStyleName() const { return mStyle.c_str(); }
    Acad::ErrorStatus setDimensionStyleName(const ACHAR* name);
    const std::vector<AcGePoint3d>& vertices() const { return mVertices; }

    Acad::ErrorStatus getStartParam(double& param) const override;
    Acad::ErrorStatus getEndParam(double& param) const override;
    Acad::ErrorStatus getStartPoint(AcGePoint3d& point) const override;
    Acad::ErrorStatus getEndPoint(AcGePoint3d& point) const override;
    Acad::ErrorStatus getPointAtParam(double param, AcGePoint3d& point) const override;
    Acad::ErrorStatus getParamAtPoint(const AcGePoint3d& point, double& param) const override;
    Acad::ErrorStatus getDistAtParam(double param, double& dist) const override;
    Acad::ErrorStatus getParamAtDist(double dist, double& param) const override;
    Acad::ErrorStatus getFirstDeriv(double param, AcGeVector3d& deriv) const override;
    Acad::ErrorStatus getClosestPointTo(const AcGePoint3d& given, AcGePoint3d& closest,
                                        bool extend = false) const override;
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;

private:
    template <class T> friend struct zel::db::KindSchema;
    std::wstring mStyle = L"Standard";
    int16_t mArrow = 1;                     // 71
    int16_t mPathType = 0;                  // 72
    int16_t mCreation = 3;                  // 73
    int16_t mHookDirection = 0;             // 74
    int16_t mHookLine = 0;                  // 75
    double mTextHeight = 0, mTextWidth = 0; // 40, 41
    int16_t mColor = 0;                     // 77
    AcDbHandle mAnnotation;                 // 340
    AcGeVector3d mNormal = AcGeVector3d::kZAxis;
    AcGeVector3d mHorizontal = AcGeVector3d::kXAxis; // 211
    AcGeVector3d mBlockOffset, mAnnotationOffset;    // 212, 213
    std::vector<AcGePoint3d> mVertices;
    int32_t mReadCount = -1; // 76 as read
};
