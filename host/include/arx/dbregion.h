// REGION: a plane area bounded by closed loops (outer loops and the holes in them) of lines
// and arcs of circles and ellipses. The file keeps it as modeler data (ACIS text); the host
// reads back the planar faces it can understand and keeps any other data exactly as read.
// Include "arx/db.h" first.
#pragma once

#include "db.h"
#include "dbents.h"

#include <memory>
#include <string>
#include <vector>

namespace zel::db {
template <class T> struct KindSchema;
} // namespace zel::db

// One piece of a loop in the coordinates of the region's plane: a straight line, or an arc of
// an ellipse (a circle when the ratio is 1) walked from its start parameter through a signed
// sweep (positive counter-clockwise; a whole turn, 2 pi, makes a full circle or ellipse).
// The point at parameter t is center + majorAxis cos t + minorAxis sin t, where minorAxis is
// majorAxis turned a quarter turn counter-clockwise and scaled by the ratio.
struct ZelRegionEdge {
    enum Type : int16_t { kLine = 1, kArc = 2 };
    int16_t type = kLine;
    AcGePoint2d start, end; // line
    AcGePoint2d center;     // arc
    AcGeVector2d majorAxis{1, 0};
    double ratio = 1; // minor radius / major radius, 0 < ratio <= 1
    double startParam = 0;
    double sweep = 0;
    bool operator==(const ZelRegionEdge&) const = default;

    static ZelRegionEdge line(const AcGePoint2d& a, const AcGePoint2d& b);
    // A circular arc from angle a0 through the signed sweep.
    static ZelRegionEdge arc(const AcGePoint2d& center, double radius, double a0, double sweep);
    static ZelRegionEdge ellipticArc(const AcGePoint2d& center, const AcGeVector2d& majorAxis,
                                     double ratio, double t0, double sweep);
    AcGeVector2d minorAxis() const;
    AcGePoint2d pointAt(double param) const;
    AcGePoint2d startPoint() const;
    AcGePoint2d endPoint() const;
    // The same piece walked the other way.
    ZelRegionEdge reversed() const;
};

// A closed chain of pieces: each ends where the next starts, the last where the first starts.
struct ZelRegionLoop {
    std::vector<ZelRegionEdge> edges;
    bool operator==(const ZelRegionLoop&) const = default;
};

// The section properties of a region in a frame of its plane (see AcDbRegion::getAreaProp).
struct ZelRegionAreaProps {
    double area = 0;
    double perimeter = 0;
    AcGePoint2d centroid;
    // About the frame's axes: momInertia[0] about the x axis (the integral of y^2 over the
    // area), momInertia[1] about the y axis (of x^2); prodInertia the integral of x y.
    double momInertia[2] = {0, 0};
    double prodInertia = 0;
    // The same about the axes through the centroid parallel to the frame's axes.
    double centroidMoments[2] = {0, 0};
    double centroidProduct = 0;
    // Principal moments about the centroid, the greater first, and their axes (frame
    // directions).
    double prinMoments[2] = {0, 0};
    AcGeVector2d prinAxes[2];
    // Radii of gyration about the frame's x and y axes: sqrt(momInertia / area).
    double radiiGyration[2] = {0, 0};
    AcGePoint2d extentsLow, extentsHigh; // the box of the region in the frame
};

class AcDbRegion : public AcDbEntity {
public:
    ZEL_DECLARE_KIND(AcDbRegion)
    AcDbRegion() = default;

    // Sets the loops (plane coordinates of the plane with this normal, at this elevation).
    // Every loop must be closed and enclose some area (eInvalidInput, and nothing changed,
    // otherwise); the loops are turned so that outer loops run counter-clockwise and holes
    // clockwise. Loops must not cross one another: that is the caller's to ensure (it is not
    // checked), as a loop inside another is taken for a hole in it.
    Acad::ErrorStatus setLoops(const AcGeVector3d& normal, double elevation,
                               std::vector<ZelRegionLoop> loops);
    AcGeVector3d normal() const { return mNormal; }
    double elevation() const { return mElevation; }
    int numLoops() const { return int(mLoops.size()); }
    const ZelRegionLoop& loopAt(int index) const { return mLoops.at(index); }
    // True when the loop encloses material (an outer loop), false for a hole.
    bool isOuterLoop(int index) const;
    // False when the modeler data read from a file is not a planar face the host understands:
    // the region is then kept as read, and its geometry cannot be queried or changed.
    bool hasGeometry() const { return !mLoops.empty(); }

    Acad::ErrorStatus getArea(double& area) const;       // outer loops less their holes
    Acad::ErrorStatus getPerimeter(double& perim) const; // the lengths of all loops
    Acad::ErrorStatus getPlane(AcGePoint3d& origin, AcGeVector3d& normal) const;
    // Section properties in the frame of the plane given by origin and two axes at right
    // angles lying in the region's plane (eInvalidInput for axes that do not).
    Acad::ErrorStatus getAreaProp(const AcGePoint3d& origin, const AcGeVector3d& xAxis,
                                  const AcGeVector3d& yAxis, ZelRegionAreaProps& props) const;
    // The point of the loops nearest to the given one (world coordinates).
    Acad::ErrorStatus getClosestPointTo(const AcGePoint3d& given, AcGePoint3d& closest) const;
    // The loops as lines, arcs, circles and ellipses (new entities, not in a database, with
    // this region's properties).
    Acad::ErrorStatus explode(std::vector<std::unique_ptr<AcDbEntity>>& pieces) const;

    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    // Moves, turns, mirrors and scales the loops; non-uniform scaling is refused.
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;

private:
    template <class T> friend struct zel::db::KindSchema;
    // Checks the loops as setLoops does and turns them; false when they are refused.
    static bool prepareLoops(std::vector<ZelRegionLoop>& loops);
    AcGeVector3d mNormal = AcGeVector3d::kZAxis;
    double mElevation = 0;
    std::vector<ZelRegionLoop> mLoops;
    int16_t mModelerVersion = 1; // 70
    // The modeler data as read (1 and 3 groups, in file form), written back unchanged until
    // the geometry changes; empty once it has (the data is then made from the loops).
    std::vector<ZelGroupValue> mData;
};
