// SPLINE: a NURBS curve given by control points, knots and weights, or by fit points with
// end tangents. Included by db.h.
#pragma once

#include "db.h"
#include "dbents.h"

#include <memory>
#include <vector>

namespace zel::db {
template <class T> struct KindSchema;
namespace curve {
class Nurbs;
}
} // namespace zel::db

class AcDbSpline : public AcDbCurve {
public:
    ZEL_DECLARE_KIND(AcDbSpline)
    enum Flags { kClosed = 1, kPeriodic = 2, kRational = 4, kPlanar = 8, kLinear = 16 };

    AcDbSpline() = default;
    // A curve through fit points (degree order - 1), tangents at the ends when not zero.
    AcDbSpline(const std::vector<AcGePoint3d>& fitPoints, int order = 4, double fitTolerance = 0.0);
    AcDbSpline(const std::vector<AcGePoint3d>& fitPoints, const AcGeVector3d& startTangent,
               const AcGeVector3d& endTangent, int order = 4, double fitTolerance = 0.0);
    AcDbSpline(int degree, bool rational, bool closed, bool periodic,
               const std::vector<AcGePoint3d>& controlPoints, const std::vector<double>& knots,
               const std::vector<double>& weights, double controlPtTol = 0.0, double knotTol = 0.0);

    // True when the data gives no curve (see nurbsError()).
    bool isNull() const;
    // Why the data gives no curve ("" when it does).
    std::string nurbsError() const;
    int degree() const;
    bool isRational() const { return (mFlags & kRational) != 0; }
    bool isPlanar() const { return (mFlags & kPlanar) != 0; }
    bool isClosed() const override;
    bool isPeriodic() const override { return (mFlags & kPeriodic) != 0; }
    int16_t splineFlags() const { return mFlags; }

    int numControlPoints() const { return int(mControlPoints.size()); }
    Acad::ErrorStatus getControlPointAt(int index, AcGePoint3d& point) const;
    Acad::ErrorStatus setControlPointAt(int index, const AcGePoint3d& point);
    double weightAt(int index) const;
    Acad::ErrorStatus setWeightAt(int index, double weight);
    int numFitPoints() const { return int(mFitPoints.size()); }
    Acad::ErrorStatus getFitPointAt(int index, AcGePoint3d& point) const;
    Acad::ErrorStatus setFitPointAt(int index, const AcGePoint3d& point);
    bool hasFitData() const { return !mFitPoints.empty(); }
    Acad::ErrorStatus getFitTangents(AcGeVector3d& startTangent, AcGeVector3d& endTangent) const;
    Acad::ErrorStatus setFitTangents(const AcGeVector3d& startTangent,
                                     const AcGeVector3d& endTangent);
    double fitTolerance() const { return mFitTolerance; }
    Acad::ErrorStatus getNurbsData(int& degree, bool& rational, bool& closed, bool& periodic,
                                   std::vector<AcGePoint3d>& controlPoints,
                                   std::vector<double>& knots, std::vector<double>& weights,
                                   double& controlPtTol, double& knotTol) const;
    Acad::ErrorStatus setNurbsData(int degree, bool rational, bool closed, bool periodic,
                                   const std::vector<AcGePoint3d>& controlPoints,
                                   const std::vector<double>& knots,
                                   const std::vector<double>& weights, double controlPtTol = 0.0,
                                   double knotTol = 0.0);
    // Replaces the curve by the one through the fit points (control data computed).
    Acad::ErrorStatus setFitData(const std::vector<AcGePoint3d>& fitPoints, int degree,
                                 double fitTolerance, const AcGeVector3d& startTangent,
                                 const AcGeVector3d& endTangent);
    const std::vector<double>& knots() const { return mKnots; }
    const std::vector<AcGePoint3d>& controlPoints() const { return mControlPoints; }
    const std::vector<AcGePoint3d>& fitPoints() const { return mFitPoints; }
    AcGeVector3d normal() const { return mNormal; }

    Acad::ErrorStatus getStartParam(double& param) const override;
    Acad::ErrorStatus getEndParam(double& param) const override;
    Acad::ErrorStatus getStartPoint(AcGePoint3d& point) const override;
    Acad::ErrorStatus getEndPoint(AcGePoint3d& point) const override;
    Acad::ErrorStatus getPointAtParam(double param, AcGePoint3d& point) const override;
    Acad::ErrorStatus getParamAtPoint(const AcGePoint3d& point, double& param) const override;
    Acad::ErrorStatus getDistAtParam(double param, double& dist) const override;
    Acad::ErrorStatus getParamAtDist(double dist, double& param) const override;
    Acad::ErrorStatus getDistAtPoint(const AcGePoint3d& point, double& dist) const override;
    Acad::ErrorStatus getPointAtDist(double dist, AcGePoint3d& point) const override;
    Acad::ErrorStatus getFirstDeriv(double param, AcGeVector3d& deriv) const override;
    Acad::ErrorStatus getClosestPointTo(const AcGePoint3d& given, AcGePoint3d& closest,
                                        bool extend = false) const override;
    // Area of a closed planar spline (polygon of a dense sampling); eNotApplicable otherwise.
    Acad::ErrorStatus getArea(double& area) const override;
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;

private:
    template <class T> friend struct zel::db::KindSchema;
    // The curve of the data, built on first use; null when the data gives none.
    const zel::db::curve::Nurbs* curve() const;
    void changed() { mCurve.reset(); }
    Acad::ErrorStatus rebuildFromFit();

    AcGeVector3d mNormal = AcGeVector3d::kZAxis;
    int16_t mFlags = 0;
    int16_t mDegree = 3;
    // The value of the tolerances (42, 43, 44) when a file gives none.
    static constexpr double kDxfDefaultTolerance = 1e-10;
    double mKnotTolerance = kDxfDefaultTolerance;
    double mControlTolerance = kDxfDefaultTolerance;
    double mFitTolerance = kDxfDefaultTolerance;
    AcGeVector3d mStartTangent, mEndTangent; // 12, 13: zero when not given
    std::vector<double> mKnots;
    std::vector<AcGePoint3d> mControlPoints;
    std::vector<double> mWeights; // empty, or one per control point
    std::vector<AcGePoint3d> mFitPoints;
    // Counts as read (72, 73, 74), checked when reading ends.
    int32_t mReadKnotCount = -1, mReadControlCount = -1, mReadFitCount = -1;
    mutable std::shared_ptr<const zel::db::curve::Nurbs> mCurve;
    mutable std::string mCurveError;
};
