// The simple entity kinds: lines, points, circles, arcs, ellipses, construction lines, rays,
// and the four-point kinds (SOLID, TRACE, 3DFACE). Included by dbents.h.
#pragma once

// LINE: a segment in world coordinates. The parameter is the distance from the start point.
class AcDbLine : public AcDbCurve {
public:
    ZEL_DECLARE_KIND(AcDbLine)
    AcDbLine() = default;
    AcDbLine(const AcGePoint3d& start, const AcGePoint3d& end) : mStart(start), mEnd(end) {}

    AcGePoint3d startPoint() const { return mStart; }
    AcGePoint3d endPoint() const { return mEnd; }
    Acad::ErrorStatus setStartPoint(const AcGePoint3d& p);
    Acad::ErrorStatus setEndPoint(const AcGePoint3d& p);
    double thickness() const { return mThickness; }
    Acad::ErrorStatus setThickness(double t);
    AcGeVector3d normal() const { return mNormal; }
    Acad::ErrorStatus setNormal(const AcGeVector3d& n);

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
    Acad::ErrorStatus getArea(double& area) const override;
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;

private:
    friend struct zel::db::Access;
    AcGePoint3d mStart, mEnd;
    double mThickness = 0;
    AcGeVector3d mNormal{0, 0, 1};
};

// POINT: a position in world coordinates.
class AcDbPoint : public AcDbEntity {
public:
    ZEL_DECLARE_KIND(AcDbPoint)
    AcDbPoint() = default;
    explicit AcDbPoint(const AcGePoint3d& position) : mPosition(position) {}

    AcGePoint3d position() const { return mPosition; }
    Acad::ErrorStatus setPosition(const AcGePoint3d& p);
    double thickness() const { return mThickness; }
    Acad::ErrorStatus setThickness(double t);
    AcGeVector3d normal() const { return mNormal; }
    Acad::ErrorStatus setNormal(const AcGeVector3d& n);
    // Angle of the X axis of the point's display (PDMODE figures), radians.
    double ecsRotation() const { return mEcsRotation; }
    Acad::ErrorStatus setEcsRotation(double angle);

    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;

private:
    friend struct zel::db::Access;
    AcGePoint3d mPosition;
    double mThickness = 0;
    AcGeVector3d mNormal{0, 0, 1};
    double mEcsRotation = 0;
};

// CIRCLE: centre in world coordinates (the DXF file holds it in the plane's coordinates).
// The parameter is the angle from the plane's X axis, 0 to 2 pi.
class AcDbCircle : public AcDbCurve {
public:
    ZEL_DECLARE_KIND(AcDbCircle)
    AcDbCircle() = default;
    AcDbCircle(const AcGePoint3d& center, const AcGeVector3d& normal, double radius);

    AcGePoint3d center() const;
    Acad::ErrorStatus setCenter(const AcGePoint3d& c);
    double radius() const { return mRadius; }
    Acad::ErrorStatus setRadius(double r);
    AcGeVector3d normal() const { return mNormal; }
    Acad::ErrorStatus setNormal(const AcGeVector3d& n);
    double thickness() const { return mThickness; }
    Acad::ErrorStatus setThickness(double t);
    double circumference() const;

    bool isClosed() const override { return true; }
    bool isPeriodic() const override { return true; }
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
    Acad::ErrorStatus getArea(double& area) const override;
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;

protected:
    friend struct zel::db::Access;
    AcGePoint3d mCenter; // in the plane's coordinates (OCS), as the file holds it
    double mRadius = 1;
    double mThickness = 0;
    AcGeVector3d mNormal{0, 0, 1};
};

// ARC: a circle with start and end angles (radians, counter-clockwise about the normal from
// the plane's X axis). Parameters are angles: start angle to end angle (+ 2 pi if smaller).
class AcDbArc : public AcDbCircle {
public:
    ZEL_DECLARE_KIND(AcDbArc)
    AcDbArc() = default;
    AcDbArc(const AcGePoint3d& center, double radius, double startAngle, double endAngle);
    AcDbArc(const AcGePoint3d& center, const AcGeVector3d& normal, double radius, double startAngle,
            double endAngle);

    double startAngle() const { return mStartAngle; }
    double endAngle() const { return mEndAngle; }
    Acad::ErrorStatus setStartAngle(double angle);
    Acad::ErrorStatus setEndAngle(double angle);
    // Sweep of the arc, 0 < sweep <= 2 pi.
    double totalAngle() const;
    double length() const { return radius() * totalAngle(); }

    bool isClosed() const override { return false; }
    bool isPeriodic() const override { return false; }
    Acad::ErrorStatus getStartParam(double& param) const override;
    Acad::ErrorStatus getEndParam(double& param) const override;
    Acad::ErrorStatus getStartPoint(AcGePoint3d& point) const override;
    Acad::ErrorStatus getEndPoint(AcGePoint3d& point) const override;
    Acad::ErrorStatus getParamAtPoint(const AcGePoint3d& point, double& param) const override;
    Acad::ErrorStatus getDistAtParam(double param, double& dist) const override;
    Acad::ErrorStatus getParamAtDist(double dist, double& param) const override;
    Acad::ErrorStatus getClosestPointTo(const AcGePoint3d& given, AcGePoint3d& closest,
                                        bool extend = false) const override;
    Acad::ErrorStatus getArea(double& area) const override;
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;

private:
    friend struct zel::db::Access;
    double mStartAngle = 0;
    double mEndAngle = 0;
};

// ELLIPSE (full or an arc): centre and major axis in world coordinates, ratio of the minor
// to the major axis, and the start and end parameters (P(t) = C + cos t A + sin t B with
// B = ratio * (N x A)). startAngle/endAngle are the geometric angles of those points.
class AcDbEllipse : public AcDbCurve {
public:
    ZEL_DECLARE_KIND(AcDbEllipse)
    AcDbEllipse() = default;
    AcDbEllipse(const AcGePoint3d& center, const AcGeVector3d& unitNormal,
                const AcGeVector3d& majorAxis, double radiusRatio, double startAngle = 0,
                double endAngle = 2 * M_PI);
    Acad::ErrorStatus set(const AcGePoint3d& center, const AcGeVector3d& unitNormal,
                          const AcGeVector3d& majorAxis, double radiusRatio, double startAngle = 0,
                          double endAngle = 2 * M_PI);

    AcGePoint3d center() const { return mCenter; }
    Acad::ErrorStatus setCenter(const AcGePoint3d& c);
    AcGeVector3d normal() const { return mNormal; }
    AcGeVector3d majorAxis() const { return mMajorAxis; }
    AcGeVector3d minorAxis() const;
    double radiusRatio() const { return mRatio; }
    Acad::ErrorStatus setRadiusRatio(double ratio);
    Acad::ErrorStatus setMajorAxis(const AcGeVector3d& axis);
    double startParam() const { return mStartParam; }
    double endParam() const { return mEndParam; }
    Acad::ErrorStatus setStartParam(double param);
    Acad::ErrorStatus setEndParam(double param);
    double startAngle() const { return angleAtParam(mStartParam); }
    double endAngle() const { return angleAtParam(mEndParam); }
    Acad::ErrorStatus setStartAngle(double angle) { return setStartParam(paramAtAngle(angle)); }
    Acad::ErrorStatus setEndAngle(double angle) { return setEndParam(paramAtAngle(angle)); }
    double paramAtAngle(double angle) const;
    double angleAtParam(double param) const;
    bool isFull() const;

    bool isClosed() const override { return isFull(); }
    bool isPeriodic() const override { return isFull(); }
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
    Acad::ErrorStatus getArea(double& area) const override;
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;

private:
    friend struct zel::db::Access;
    AcGePoint3d mCenter;
    AcGeVector3d mMajorAxis{1, 0, 0};
    AcGeVector3d mNormal{0, 0, 1};
    double mRatio = 1;
    double mStartParam = 0;
    double mEndParam = 2 * M_PI;
};

// XLINE (infinite both ways) and RAY (from the base point): parameter t gives
// basePoint + t * unitDir.
class AcDbXline : public AcDbCurve {
public:
    ZEL_DECLARE_KIND(AcDbXline)
    AcDbXline() = default;
    AcGePoint3d basePoint() const { return mBase; }
    Acad::ErrorStatus setBasePoint(const AcGePoint3d& p);
    AcGeVector3d unitDir() const { return mDir; }
    Acad::ErrorStatus setUnitDir(const AcGeVector3d& dir);
    AcGePoint3d secondPoint() const { return mBase + mDir; }
    Acad::ErrorStatus setSecondPoint(const AcGePoint3d& p) { return setUnitDir(p - mBase); }

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
    Acad::ErrorStatus getArea(double& area) const override;
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;

protected:
    friend struct zel::db::Access;
    virtual bool boundedAtStart() const { return false; }
    AcGePoint3d mBase;
    AcGeVector3d mDir{1, 0, 0};
};

class AcDbRay : public AcDbXline {
public:
    ZEL_DECLARE_KIND(AcDbRay)
    AcDbRay() = default;

protected:
    bool boundedAtStart() const override { return true; }
};

// SOLID, TRACE and 3DFACE: four corner points. SOLID and TRACE lie in the plane of their
// normal (points in plane coordinates); a 3DFACE is in world coordinates.
class AcDbFourPointEntity : public AcDbEntity {
public:
    ZEL_DECLARE_MEMBERS(AcDbFourPointEntity)
    Acad::ErrorStatus getPointAt(uint16_t index, AcGePoint3d& point) const;
    Acad::ErrorStatus setPointAt(uint16_t index, const AcGePoint3d& point);
    double thickness() const { return mThickness; }
    Acad::ErrorStatus setThickness(double t);
    AcGeVector3d normal() const { return mNormal; }
    Acad::ErrorStatus setNormal(const AcGeVector3d& n);

    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;

protected:
    friend struct zel::db::Access;
    virtual bool inPlane() const { return true; }
    AcGePoint3d mPoints[4];
    double mThickness = 0;
    AcGeVector3d mNormal{0, 0, 1};
};

class AcDbSolid : public AcDbFourPointEntity {
public:
    ZEL_DECLARE_KIND(AcDbSolid)
    AcDbSolid() = default;
    AcDbSolid(const AcGePoint3d& p0, const AcGePoint3d& p1, const AcGePoint3d& p2,
              const AcGePoint3d& p3);
    AcDbSolid(const AcGePoint3d& p0, const AcGePoint3d& p1, const AcGePoint3d& p2);
};

class AcDbTrace : public AcDbFourPointEntity {
public:
    ZEL_DECLARE_KIND(AcDbTrace)
    AcDbTrace() = default;
};

class AcDbFace : public AcDbFourPointEntity {
public:
    ZEL_DECLARE_KIND(AcDbFace)
    AcDbFace() = default;
    AcDbFace(const AcGePoint3d& p0, const AcGePoint3d& p1, const AcGePoint3d& p2,
             const AcGePoint3d& p3);
    // Bit i set: edge i is invisible.
    int16_t edgeFlags() const { return mEdgeFlags; }
    Acad::ErrorStatus setEdgeFlags(int16_t flags);

protected:
    friend struct zel::db::Access;
    bool inPlane() const override { return false; }
    int16_t mEdgeFlags = 0;
};
