// Curve queries over a chain of straight and circular segments given by vertices and bulges:
// the plane geometry of both polyline kinds. Vertex i is at parameter i; along a segment the
// parameter grows in proportion to arc length. Coordinates are those of the polyline's plane.
#pragma once

#include "arx/ge.h"

#include <vector>

namespace zel::db::curve {

struct BulgeVertex {
    AcGePoint2d point;
    double bulge = 0; // tan(sweep / 4), positive counter-clockwise
};

enum class SegmentKind { Line, Arc, Coincident };

// The circle of an arc segment; sweep is signed (positive counter-clockwise).
struct ArcOfBulge {
    AcGePoint2d center;
    double radius = 0;
    double startAngle = 0;
    double sweep = 0;
};

// One segment from a to b with the bulge of a.
struct BulgeSegment {
    AcGePoint2d a, b;
    double bulge = 0;

    SegmentKind kind() const;
    ArcOfBulge arc() const; // only for Arc segments
    double length() const;
    // t runs from 0 at a to 1 at b, in proportion to arc length.
    AcGePoint2d pointAt(double t) const;
    AcGeVector2d derivAt(double t) const; // derivative with respect to t
    // The t of the point of the segment closest to q.
    double closestT(const AcGePoint2d& q) const;
    // Signed area between the chord and the arc (positive for counter-clockwise arcs).
    double capArea() const;
    void addToExtents(AcGePoint2d& mn, AcGePoint2d& mx) const;
};

class BulgeChain {
public:
    BulgeChain(std::vector<BulgeVertex> vertices, bool closed);

    int vertexCount() const { return int(mVertices.size()); }
    int segmentCount() const { return mSegmentCount; }
    BulgeSegment segment(int i) const;
    double endParam() const { return mSegmentCount; }
    bool isParamValid(double param) const;
    double length() const { return mCumulative.empty() ? 0 : mCumulative.back(); }

    // The queries return false when the parameter or distance is outside the chain or
    // the chain has no vertex.
    bool pointAt(double param, AcGePoint2d& point) const;
    bool derivAt(double param, AcGeVector2d& deriv) const;
    bool distAt(double param, double& dist) const;
    bool paramAtDist(double dist, double& param) const;
    // The parameter of the closest point; false for an empty chain.
    bool closestParam(const AcGePoint2d& q, double& param, AcGePoint2d& closest) const;
    // Area enclosed by the chain taken as closed; positive when counter-clockwise.
    double signedArea() const;
    bool extents(AcGePoint2d& mn, AcGePoint2d& mx) const;

private:
    // Segment index and position along it of a valid parameter.
    void locate(double param, int& index, double& t) const;

    std::vector<BulgeVertex> mVertices;
    bool mClosed = false;
    int mSegmentCount = 0;
    std::vector<double> mCumulative; // length up to the end of each segment
};

} // namespace zel::db::curve
