// HATCH: a fill or pattern bounded by loops (polylines with bulges, or edges: lines, arcs,
// elliptic arcs, splines). Every group of the kind is kept and written back in file order.
// Included by db.h.
#pragma once

#include "db.h"
#include "dbents.h"

#include <string>
#include <vector>

namespace zel::db {
template <class T> struct KindSchema;
struct HatchReader;
} // namespace zel::db

// One edge of an edge loop (plane coordinates; angles in degrees as the file holds them).
struct ZelHatchEdge {
    enum Type : int16_t { kLine = 1, kCirArc = 2, kEllArc = 3, kSpline = 4 };
    int16_t type = kLine;
    AcGePoint2d start, end;              // line: end points
    AcGePoint2d center;                  // arcs
    AcGeVector2d majorAxis;              // elliptic arc: end of the major axis from the centre
    double radius = 0;                   // circular arc: radius; elliptic arc: minor/major ratio
    double startAngle = 0, endAngle = 0; // degrees
    bool counterClockwise = true;
    // Spline edges.
    int32_t degree = 3;
    bool rational = false, periodic = false;
    std::vector<double> knots;
    std::vector<AcGePoint2d> controlPoints;
    std::vector<double> weights;
    bool hasFitData = false; // 97 given (files of 2010 and later)
    std::vector<AcGePoint2d> fitPoints;
    AcGeVector2d startTangent, endTangent;
    bool hasStartTangent = false, hasEndTangent = false;
    bool operator==(const ZelHatchEdge&) const = default;
};

// One boundary loop: a polyline (vertices and bulges) or a list of edges; and the objects it
// was made from (330 handles).
struct ZelHatchLoop {
    int32_t type = 0; // AcDbHatch::HatchLoopType bits
    bool hasBulges = false;
    bool closed = true;
    std::vector<AcGePoint2d> vertices;
    std::vector<double> bulges; // one per vertex
    std::vector<ZelHatchEdge> edges;
    std::vector<AcDbHandle> sources;
    bool isPolyline() const { return (type & 2) != 0; }
    bool operator==(const ZelHatchLoop&) const = default;
};

// One line family of a pattern (angle in degrees as the file holds it).
struct ZelHatchPatternLine {
    double angle = 0;
    AcGePoint2d base;
    AcGeVector2d offset;
    std::vector<double> dashes;
    bool operator==(const ZelHatchPatternLine&) const = default;
};

class AcDbHatch : public AcDbEntity {
public:
    ZEL_DECLARE_KIND(AcDbHatch)
    enum HatchPatternType { kUserDefined = 0, kPreDefined = 1, kCustomDefined = 2 };
    enum HatchStyle { kNormal = 0, kOuter = 1, kIgnore = 2 };
    enum HatchLoopType {
        kDefault = 0,
        kExternal = 1,
        kPolyline = 2,
        kDerived = 4,
        kTextbox = 8,
        kOutermost = 0x10,
        kNotClosed = 0x20,
        kSelfIntersecting = 0x40,
        kTextIsland = 0x80,
        kDuplicate = 0x100,
    };

    AcDbHatch() = default;

    const ACHAR* patternName() const { return mPatternName.c_str(); }
    HatchPatternType patternType() const { return HatchPatternType(mPatternType); }
    Acad::ErrorStatus setPattern(HatchPatternType type, const ACHAR* name);
    bool isSolidFill() const { return mSolid; }
    bool associative() const { return mAssociative; }
    Acad::ErrorStatus setAssociative(bool on);
    HatchStyle hatchStyle() const { return HatchStyle(mStyle); }
    Acad::ErrorStatus setHatchStyle(HatchStyle style);
    double patternAngle() const; // radians
    Acad::ErrorStatus setPatternAngle(double angle);
    double patternScale() const { return mPatternScale; }
    Acad::ErrorStatus setPatternScale(double scale); // > 0
    bool patternDouble() const { return mPatternDouble; }
    Acad::ErrorStatus setPatternDouble(bool on);
    double elevation() const { return mElevation.z; }
    Acad::ErrorStatus setElevation(double z);
    AcGeVector3d normal() const { return mNormal; }
    Acad::ErrorStatus setNormal(const AcGeVector3d& n);

    int numLoops() const { return int(mLoops.size()); }
    int32_t loopTypeAt(int index) const;
    const ZelHatchLoop& loopAt(int index) const { return mLoops.at(index); }
    // A polyline loop: its vertices and bulges (eInvalidInput for an edge loop).
    Acad::ErrorStatus getLoopAt(int index, int32_t& loopType, std::vector<AcGePoint2d>& vertices,
                                std::vector<double>& bulges) const;
    // Any loop as a closed chain of points with bulges (plane coordinates): edges of lines and
    // circular arcs exactly, elliptic arcs and splines as short straight pieces.
    Acad::ErrorStatus getLoopPoints(int index, std::vector<AcGePoint2d>& points,
                                    std::vector<double>& bulges) const;
    Acad::ErrorStatus appendLoop(int32_t loopType, const std::vector<AcGePoint2d>& vertices,
                                 const std::vector<double>& bulges);
    Acad::ErrorStatus appendLoop(const ZelHatchLoop& loop);
    Acad::ErrorStatus removeLoopAt(int index);
    int numPatternDefinitions() const { return int(mPatternLines.size()); }
    const ZelHatchPatternLine& patternDefinitionAt(int index) const {
        return mPatternLines.at(index);
    }
    Acad::ErrorStatus setPatternDefinitions(std::vector<ZelHatchPatternLine> lines);
    int numSeedPoints() const { return int(mSeeds.size()); }
    AcGePoint2d getSeedPointAt(int index) const { return mSeeds.at(index); }
    Acad::ErrorStatus appendSeedPoint(const AcGePoint2d& p);
    bool isGradient() const { return !mGradient.empty(); }

    // Area of the outermost loop less the areas of the other loops (islands).
    Acad::ErrorStatus getArea(double& area) const;
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    // Moves the loops, seeds and pattern; non-uniform scaling is refused.
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;

private:
    template <class T> friend struct zel::db::KindSchema;
    friend struct zel::db::HatchReader;
    AcGePoint3d mElevation; // 10: x and y are 0, z is the elevation
    AcGeVector3d mNormal = AcGeVector3d::kZAxis;
    std::wstring mPatternName = L"SOLID";
    bool mSolid = true;
    bool mAssociative = false;
    std::vector<ZelHatchLoop> mLoops;
    int16_t mStyle = kNormal;
    int16_t mPatternType = kPreDefined;
    double mPatternAngle = 0; // degrees
    double mPatternScale = 1;
    bool mPatternDouble = false;
    bool mHasPatternProperties = false; // 52, 41, 77 given for a solid fill
    std::vector<ZelHatchPatternLine> mPatternLines;
    double mPixelSize = 0;
    bool mHasPixelSize = false; // 47
    std::vector<AcGePoint2d> mSeeds;
    std::vector<ZelGroupValue> mGradient; // 450 on, as read
    // While reading: where the groups of the subclass stand.
    struct ReadState {
        int phase = 0;
        int32_t loopsLeft = 0, itemsLeft = 0, sourcesLeft = 0, knotsLeft = 0, ctrlLeft = 0;
        int32_t fitLeft = 0, dashesLeft = 0, linesLeft = 0, seedsLeft = 0;
    } mRead;
};
