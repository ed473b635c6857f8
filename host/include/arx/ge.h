// Geometry value types of the API: points, vectors and transformation matrices.
#pragma once

#include <cmath>

class AcGeTol {
public:
    constexpr AcGeTol() = default;
    constexpr AcGeTol(double eqPoint, double eqVector) : mPoint(eqPoint), mVector(eqVector) {}
    double equalPoint() const { return mPoint; }
    double equalVector() const { return mVector; }
    void setEqualPoint(double v) { mPoint = v; }
    void setEqualVector(double v) { mVector = v; }

private:
    double mPoint = 1e-10;
    double mVector = 1e-12;
};

struct AcGeContext {
    static AcGeTol gTol;
};

class AcGeVector2d {
public:
    double x = 0, y = 0;
    constexpr AcGeVector2d() = default;
    constexpr AcGeVector2d(double xx, double yy) : x(xx), y(yy) {}
    AcGeVector2d operator+(const AcGeVector2d& v) const { return {x + v.x, y + v.y}; }
    AcGeVector2d operator-(const AcGeVector2d& v) const { return {x - v.x, y - v.y}; }
    AcGeVector2d operator-() const { return {-x, -y}; }
    AcGeVector2d operator*(double s) const { return {x * s, y * s}; }
    AcGeVector2d operator/(double s) const { return {x / s, y / s}; }
    double length() const { return std::hypot(x, y); }
    double dotProduct(const AcGeVector2d& v) const { return x * v.x + y * v.y; }
    double crossProduct(const AcGeVector2d& v) const { return x * v.y - y * v.x; }
    double angle() const {
        double a = std::atan2(y, x);
        return a < 0 ? a + 2 * M_PI : a;
    }
    AcGeVector2d normal(const AcGeTol& = AcGeContext::gTol) const {
        double l = length();
        return l > 0 ? AcGeVector2d(x / l, y / l) : *this;
    }
    bool isZeroLength(const AcGeTol& tol = AcGeContext::gTol) const {
        return length() <= tol.equalVector();
    }
    bool operator==(const AcGeVector2d& v) const { return (*this - v).isZeroLength(); }
    static const AcGeVector2d kXAxis, kYAxis;
};

class AcGePoint2d {
public:
    double x = 0, y = 0;
    constexpr AcGePoint2d() = default;
    constexpr AcGePoint2d(double xx, double yy) : x(xx), y(yy) {}
    AcGePoint2d operator+(const AcGeVector2d& v) const { return {x + v.x, y + v.y}; }
    AcGePoint2d operator-(const AcGeVector2d& v) const { return {x - v.x, y - v.y}; }
    AcGeVector2d operator-(const AcGePoint2d& p) const { return {x - p.x, y - p.y}; }
    double distanceTo(const AcGePoint2d& p) const { return std::hypot(x - p.x, y - p.y); }
    bool isEqualTo(const AcGePoint2d& p, const AcGeTol& tol = AcGeContext::gTol) const {
        return distanceTo(p) <= tol.equalPoint();
    }
    bool operator==(const AcGePoint2d& p) const { return isEqualTo(p); }
    double operator[](int i) const { return i == 0 ? x : y; }
    double& operator[](int i) { return i == 0 ? x : y; }
    static const AcGePoint2d kOrigin;
};

class AcGeMatrix3d;

class AcGeVector3d {
public:
    double x = 0, y = 0, z = 0;
    constexpr AcGeVector3d() = default;
    constexpr AcGeVector3d(double xx, double yy, double zz) : x(xx), y(yy), z(zz) {}
    AcGeVector3d operator+(const AcGeVector3d& v) const { return {x + v.x, y + v.y, z + v.z}; }
    AcGeVector3d operator-(const AcGeVector3d& v) const { return {x - v.x, y - v.y, z - v.z}; }
    AcGeVector3d operator-() const { return {-x, -y, -z}; }
    AcGeVector3d operator*(double s) const { return {x * s, y * s, z * s}; }
    AcGeVector3d operator/(double s) const { return {x / s, y / s, z / s}; }
    AcGeVector3d& operator+=(const AcGeVector3d& v) { return *this = *this + v; }
    AcGeVector3d& operator-=(const AcGeVector3d& v) { return *this = *this - v; }
    AcGeVector3d& operator*=(double s) { return *this = *this * s; }
    double length() const { return std::sqrt(x * x + y * y + z * z); }
    double lengthSqrd() const { return x * x + y * y + z * z; }
    double dotProduct(const AcGeVector3d& v) const { return x * v.x + y * v.y + z * v.z; }
    AcGeVector3d crossProduct(const AcGeVector3d& v) const {
        return {y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x};
    }
    AcGeVector3d normal(const AcGeTol& tol = AcGeContext::gTol) const {
        double l = length();
        return l > tol.equalVector() ? *this / l : *this;
    }
    AcGeVector3d& normalize(const AcGeTol& tol = AcGeContext::gTol) { return *this = normal(tol); }
    bool isZeroLength(const AcGeTol& tol = AcGeContext::gTol) const {
        return length() <= tol.equalVector();
    }
    bool isEqualTo(const AcGeVector3d& v, const AcGeTol& tol = AcGeContext::gTol) const {
        return (*this - v).length() <= tol.equalVector();
    }
    bool isParallelTo(const AcGeVector3d& v, const AcGeTol& tol = AcGeContext::gTol) const {
        return normal().crossProduct(v.normal()).length() <= tol.equalVector();
    }
    bool operator==(const AcGeVector3d& v) const { return isEqualTo(v); }
    bool operator!=(const AcGeVector3d& v) const { return !isEqualTo(v); }
    // Angle to v, 0..pi.
    double angleTo(const AcGeVector3d& v) const {
        return std::atan2(crossProduct(v).length(), dotProduct(v));
    }
    // Signed angle to v seen from reference (0..2pi, counter-clockwise about reference).
    double angleTo(const AcGeVector3d& v, const AcGeVector3d& reference) const {
        double a = angleTo(v);
        if (crossProduct(v).dotProduct(reference) < 0) a = 2 * M_PI - a;
        return a;
    }
    // A unit vector perpendicular to this one: the X axis of its arbitrary-axis frame.
    AcGeVector3d perpVector() const;
    AcGeVector3d& transformBy(const AcGeMatrix3d& m);
    AcGeVector3d& rotateBy(double angle, const AcGeVector3d& axis);
    double operator[](int i) const { return i == 0 ? x : i == 1 ? y : z; }
    double& operator[](int i) { return i == 0 ? x : i == 1 ? y : z; }
    AcGeVector2d convert2d() const { return {x, y}; }
    static const AcGeVector3d kIdentity, kXAxis, kYAxis, kZAxis;
};
inline AcGeVector3d operator*(double s, const AcGeVector3d& v) {
    return v * s;
}

class AcGePoint3d {
public:
    double x = 0, y = 0, z = 0;
    constexpr AcGePoint3d() = default;
    constexpr AcGePoint3d(double xx, double yy, double zz) : x(xx), y(yy), z(zz) {}
    constexpr AcGePoint3d(const AcGePoint2d& p) : x(p.x), y(p.y) {}
    AcGePoint3d operator+(const AcGeVector3d& v) const { return {x + v.x, y + v.y, z + v.z}; }
    AcGePoint3d operator-(const AcGeVector3d& v) const { return {x - v.x, y - v.y, z - v.z}; }
    AcGeVector3d operator-(const AcGePoint3d& p) const { return {x - p.x, y - p.y, z - p.z}; }
    AcGePoint3d& operator+=(const AcGeVector3d& v) { return *this = *this + v; }
    AcGePoint3d& operator-=(const AcGeVector3d& v) { return *this = *this - v; }
    double distanceTo(const AcGePoint3d& p) const { return (*this - p).length(); }
    bool isEqualTo(const AcGePoint3d& p, const AcGeTol& tol = AcGeContext::gTol) const {
        return distanceTo(p) <= tol.equalPoint();
    }
    bool operator==(const AcGePoint3d& p) const { return isEqualTo(p); }
    bool operator!=(const AcGePoint3d& p) const { return !isEqualTo(p); }
    AcGeVector3d asVector() const { return {x, y, z}; }
    AcGePoint2d convert2d() const { return {x, y}; }
    AcGePoint3d& transformBy(const AcGeMatrix3d& m);
    AcGePoint3d& rotateBy(double angle, const AcGeVector3d& axis,
                          const AcGePoint3d& wrtPoint = AcGePoint3d::kOrigin);
    double operator[](int i) const { return i == 0 ? x : i == 1 ? y : z; }
    double& operator[](int i) { return i == 0 ? x : i == 1 ? y : z; }
    static const AcGePoint3d kOrigin;
};

// Affine transformation of 3-D space; points are column vectors (p' = M p).
class AcGeMatrix3d {
public:
    double entry[4][4];
    constexpr AcGeMatrix3d() : entry{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}} {}
    static const AcGeMatrix3d kIdentity;

    AcGeMatrix3d operator*(const AcGeMatrix3d& m) const;
    AcGeMatrix3d& preMultBy(const AcGeMatrix3d& left);
    AcGeMatrix3d& postMultBy(const AcGeMatrix3d& right);
    // The inverse; the identity for a singular matrix (check isSingular first).
    AcGeMatrix3d inverse() const;
    AcGeMatrix3d transpose() const;
    bool isSingular(const AcGeTol& tol = AcGeContext::gTol) const;
    double det() const;
    bool isEqualTo(const AcGeMatrix3d& m, const AcGeTol& tol = AcGeContext::gTol) const;
    // Scale factor of a uniform scaling (length of the transformed x axis).
    double scale() const;
    // True when the transformation keeps orientation in the XY plane reversed (a mirror).
    bool isMirror() const { return det() < 0; }

    AcGePoint3d apply(const AcGePoint3d& p) const;
    AcGeVector3d apply(const AcGeVector3d& v) const;

    AcGeMatrix3d& setToIdentity();
    AcGeMatrix3d& setToTranslation(const AcGeVector3d& v);
    AcGeMatrix3d& setToRotation(double angle, const AcGeVector3d& axis,
                                const AcGePoint3d& center = AcGePoint3d::kOrigin);
    AcGeMatrix3d& setToScaling(double s, const AcGePoint3d& center = AcGePoint3d::kOrigin);
    // Mirror about the line through p1 and p2 (in the XY plane; z stays).
    AcGeMatrix3d& setToMirroring(const AcGePoint3d& p1, const AcGePoint3d& p2);
    AcGeMatrix3d& setToAlignCoordSys(const AcGePoint3d& fromOrigin, const AcGeVector3d& fromX,
                                     const AcGeVector3d& fromY, const AcGeVector3d& fromZ,
                                     const AcGePoint3d& toOrigin, const AcGeVector3d& toX,
                                     const AcGeVector3d& toY, const AcGeVector3d& toZ);

    static AcGeMatrix3d translation(const AcGeVector3d& v);
    static AcGeMatrix3d rotation(double angle, const AcGeVector3d& axis,
                                 const AcGePoint3d& center = AcGePoint3d::kOrigin);
    static AcGeMatrix3d scaling(double s, const AcGePoint3d& center = AcGePoint3d::kOrigin);
    static AcGeMatrix3d mirroring(const AcGePoint3d& p1, const AcGePoint3d& p2);
    // The arbitrary-axis frame of DXF: object coordinates (normal) to world coordinates.
    static AcGeMatrix3d planeToWorld(const AcGeVector3d& normal);
    static AcGeMatrix3d worldToPlane(const AcGeVector3d& normal);
};
inline AcGePoint3d operator*(const AcGeMatrix3d& m, const AcGePoint3d& p) {
    return m.apply(p);
}
inline AcGeVector3d operator*(const AcGeMatrix3d& m, const AcGeVector3d& v) {
    return m.apply(v);
}

// Bounding box in world coordinates.
class AcDbExtents {
public:
    AcDbExtents();
    AcDbExtents(const AcGePoint3d& mn, const AcGePoint3d& mx) : mMin(mn), mMax(mx) {}
    const AcGePoint3d& minPoint() const { return mMin; }
    const AcGePoint3d& maxPoint() const { return mMax; }
    void set(const AcGePoint3d& mn, const AcGePoint3d& mx) { mMin = mn, mMax = mx; }
    void addPoint(const AcGePoint3d& p);
    void addExt(const AcDbExtents& e);
    bool isEmpty() const { return mMin.x > mMax.x; }

private:
    AcGePoint3d mMin, mMax;
};
