// Geometry values that entity accessors answer: line segments and circular arcs (the segments
// of polylines) and scale factors (of block references).
#pragma once

#include "ge.h"

class AcGeLineSeg2d {
public:
    AcGeLineSeg2d() = default;
    AcGeLineSeg2d(const AcGePoint2d& start, const AcGePoint2d& end) : mStart(start), mEnd(end) {}
    AcGeLineSeg2d& set(const AcGePoint2d& start, const AcGePoint2d& end) {
        mStart = start, mEnd = end;
        return *this;
    }
    AcGePoint2d startPoint() const { return mStart; }
    AcGePoint2d endPoint() const { return mEnd; }
    AcGePoint2d midPoint() const { return {(mStart.x + mEnd.x) / 2, (mStart.y + mEnd.y) / 2}; }
    AcGeVector2d direction() const { return (mEnd - mStart).normal(); }
    double length() const { return mStart.distanceTo(mEnd); }

private:
    AcGePoint2d mStart, mEnd;
};

class AcGeLineSeg3d {
public:
    AcGeLineSeg3d() = default;
    AcGeLineSeg3d(const AcGePoint3d& start, const AcGePoint3d& end) : mStart(start), mEnd(end) {}
    AcGeLineSeg3d& set(const AcGePoint3d& start, const AcGePoint3d& end) {
        mStart = start, mEnd = end;
        return *this;
    }
    AcGePoint3d startPoint() const { return mStart; }
    AcGePoint3d endPoint() const { return mEnd; }
    AcGePoint3d midPoint() const { return mStart + (mEnd - mStart) / 2; }
    AcGeVector3d direction() const { return (mEnd - mStart).normal(); }
    double length() const { return mStart.distanceTo(mEnd); }

private:
    AcGePoint3d mStart, mEnd;
};

// An arc of a circle in the plane: angles from the x axis (or refVec), counter-clockwise
// unless isClockWise; endAng - startAng is the sweep (0 < sweep <= 2 pi).
class AcGeCircArc2d {
public:
    AcGeCircArc2d() = default;
    AcGeCircArc2d(const AcGePoint2d& center, double radius, double startAng, double endAng,
                  const AcGeVector2d& refVec = AcGeVector2d(1, 0), bool isClockWise = false)
        : mCenter(center), mRadius(radius), mStart(startAng), mEnd(endAng), mRef(refVec),
          mClockWise(isClockWise) {}
    AcGePoint2d center() const { return mCenter; }
    double radius() const { return mRadius; }
    double startAng() const { return mStart; }
    double endAng() const { return mEnd; }
    AcGeVector2d refVec() const { return mRef; }
    bool isClockWise() const { return mClockWise; }
    AcGePoint2d startPoint() const { return pointAtAngle(mStart); }
    AcGePoint2d endPoint() const { return pointAtAngle(mEnd); }
    double length() const { return mRadius * (mEnd - mStart); }

private:
    AcGePoint2d pointAtAngle(double a) const {
        double ref = std::atan2(mRef.y, mRef.x);
        double t = mClockWise ? ref - a : ref + a;
        return {mCenter.x + mRadius * std::cos(t), mCenter.y + mRadius * std::sin(t)};
    }
    AcGePoint2d mCenter;
    double mRadius = 0, mStart = 0, mEnd = 0;
    AcGeVector2d mRef{1, 0};
    bool mClockWise = false;
};

// An arc of a circle in space: counter-clockwise about the normal from refVec.
class AcGeCircArc3d {
public:
    AcGeCircArc3d() = default;
    AcGeCircArc3d(const AcGePoint3d& center, const AcGeVector3d& normal, const AcGeVector3d& refVec,
                  double radius, double startAng, double endAng)
        : mCenter(center), mNormal(normal), mRef(refVec), mRadius(radius), mStart(startAng),
          mEnd(endAng) {}
    AcGePoint3d center() const { return mCenter; }
    AcGeVector3d normal() const { return mNormal; }
    AcGeVector3d refVec() const { return mRef; }
    double radius() const { return mRadius; }
    double startAng() const { return mStart; }
    double endAng() const { return mEnd; }
    AcGePoint3d startPoint() const { return pointAtAngle(mStart); }
    AcGePoint3d endPoint() const { return pointAtAngle(mEnd); }
    double length() const { return mRadius * (mEnd - mStart); }

private:
    AcGePoint3d pointAtAngle(double a) const {
        AcGeVector3d x = mRef.normal(), y = mNormal.normal().crossProduct(x);
        return mCenter + (x * std::cos(a) + y * std::sin(a)) * mRadius;
    }
    AcGePoint3d mCenter;
    AcGeVector3d mNormal{0, 0, 1}, mRef{1, 0, 0};
    double mRadius = 0, mStart = 0, mEnd = 0;
};

// Scale factors along x, y and z.
class AcGeScale3d {
public:
    double sx = 1, sy = 1, sz = 1;
    AcGeScale3d() = default;
    explicit AcGeScale3d(double factor) : sx(factor), sy(factor), sz(factor) {}
    AcGeScale3d(double x, double y, double z) : sx(x), sy(y), sz(z) {}
    double operator[](int i) const { return i == 0 ? sx : i == 1 ? sy : sz; }
    double& operator[](int i) { return i == 0 ? sx : i == 1 ? sy : sz; }
    bool isEqualTo(const AcGeScale3d& o, const AcGeTol& tol = AcGeContext::gTol) const {
        return std::fabs(sx - o.sx) <= tol.equalPoint() &&
               std::fabs(sy - o.sy) <= tol.equalPoint() && std::fabs(sz - o.sz) <= tol.equalPoint();
    }
    bool operator==(const AcGeScale3d& o) const { return isEqualTo(o); }
    static const AcGeScale3d kIdentity;
};
inline const AcGeScale3d AcGeScale3d::kIdentity{};
