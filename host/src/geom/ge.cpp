// Out-of-line members of the geometry value types of ge.h.
#include "arx/ge.h"

#include "core/tolerance.h"

#include <algorithm>
#include <cassert>
#include <limits>
#include <utility>

AcGeTol AcGeContext::gTol(zel::tol::kPoint, zel::tol::kVectorLength);

const AcGeVector2d AcGeVector2d::kXAxis(1, 0);
const AcGeVector2d AcGeVector2d::kYAxis(0, 1);
const AcGePoint2d AcGePoint2d::kOrigin(0, 0);
const AcGeVector3d AcGeVector3d::kIdentity(0, 0, 0);
const AcGeVector3d AcGeVector3d::kXAxis(1, 0, 0);
const AcGeVector3d AcGeVector3d::kYAxis(0, 1, 0);
const AcGeVector3d AcGeVector3d::kZAxis(0, 0, 1);
const AcGePoint3d AcGePoint3d::kOrigin(0, 0, 0);
const AcGeMatrix3d AcGeMatrix3d::kIdentity;

namespace {

// The X axis of the arbitrary-axis frame of a unit normal.
AcGeVector3d arbitraryXAxis(const AcGeVector3d& n) {
    bool nearZ =
        std::fabs(n.x) < zel::tol::kArbitraryAxis && std::fabs(n.y) < zel::tol::kArbitraryAxis;
    AcGeVector3d world = nearZ ? AcGeVector3d::kYAxis : AcGeVector3d::kZAxis;
    return world.crossProduct(n).normal();
}

// Columns x, y, z and the translation t as an affine matrix.
AcGeMatrix3d fromColumns(const AcGeVector3d& x, const AcGeVector3d& y, const AcGeVector3d& z,
                         const AcGeVector3d& t) {
    AcGeMatrix3d m;
    const AcGeVector3d* cols[4] = {&x, &y, &z, &t};
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 3; ++r)
            m.entry[r][c] = (*cols[c])[r];
    }
    return m;
}

bool isAffine(const AcGeMatrix3d& m) {
    return m.entry[3][0] == 0 && m.entry[3][1] == 0 && m.entry[3][2] == 0 && m.entry[3][3] == 1;
}

double det3(const AcGeMatrix3d& m) {
    const auto& e = m.entry;
    return e[0][0] * (e[1][1] * e[2][2] - e[1][2] * e[2][1]) -
           e[0][1] * (e[1][0] * e[2][2] - e[1][2] * e[2][0]) +
           e[0][2] * (e[1][0] * e[2][1] - e[1][1] * e[2][0]);
}

double columnLength(const AcGeMatrix3d& m, int c, int rows) {
    double sum = 0;
    for (int r = 0; r < rows; ++r)
        sum += m.entry[r][c] * m.entry[r][c];
    return std::sqrt(sum);
}

} // namespace

// ---- Vectors and points ----

AcGeVector3d AcGeVector3d::perpVector() const {
    double len = length();
    if (len <= AcGeContext::gTol.equalVector()) return AcGeVector3d::kIdentity;
    return arbitraryXAxis(*this / len);
}

AcGeVector3d& AcGeVector3d::transformBy(const AcGeMatrix3d& m) {
    return *this = m.apply(*this);
}

AcGeVector3d& AcGeVector3d::rotateBy(double angle, const AcGeVector3d& axis) {
    return transformBy(AcGeMatrix3d::rotation(angle, axis));
}

AcGePoint3d& AcGePoint3d::transformBy(const AcGeMatrix3d& m) {
    return *this = m.apply(*this);
}

AcGePoint3d& AcGePoint3d::rotateBy(double angle, const AcGeVector3d& axis,
                                   const AcGePoint3d& wrtPoint) {
    return transformBy(AcGeMatrix3d::rotation(angle, axis, wrtPoint));
}

// ---- Matrix algebra ----

AcGeMatrix3d AcGeMatrix3d::operator*(const AcGeMatrix3d& m) const {
    AcGeMatrix3d r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            double sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += entry[i][k] * m.entry[k][j];
            r.entry[i][j] = sum;
        }
    }
    return r;
}

AcGeMatrix3d& AcGeMatrix3d::preMultBy(const AcGeMatrix3d& left) {
    return *this = left * *this;
}

AcGeMatrix3d& AcGeMatrix3d::postMultBy(const AcGeMatrix3d& right) {
    return *this = *this * right;
}

AcGeMatrix3d AcGeMatrix3d::transpose() const {
    AcGeMatrix3d t;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j)
            t.entry[i][j] = entry[j][i];
    }
    return t;
}

// Gauss-Jordan elimination with partial pivoting on [M | I].
AcGeMatrix3d AcGeMatrix3d::inverse() const {
    if (isSingular()) return AcGeMatrix3d::kIdentity;
    double a[4][8];
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            a[i][j] = entry[i][j];
            a[i][j + 4] = i == j ? 1.0 : 0.0;
        }
    }
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r) {
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
        }
        if (a[pivot][col] == 0) return AcGeMatrix3d::kIdentity;
        if (pivot != col) std::swap(a[pivot], a[col]);
        double inv = 1.0 / a[col][col];
        for (double& v : a[col])
            v *= inv;
        for (int r = 0; r < 4; ++r) {
            if (r == col || a[r][col] == 0) continue;
            double f = a[r][col];
            for (int j = 0; j < 8; ++j)
                a[r][j] -= f * a[col][j];
        }
    }
    AcGeMatrix3d r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j)
            r.entry[i][j] = a[i][j + 4];
    }
    return r;
}

double AcGeMatrix3d::det() const {
    if (isAffine(*this)) return det3(*this);
    // Laplace expansion along the last row.
    double d = 0;
    for (int c = 0; c < 4; ++c) {
        if (entry[3][c] == 0) continue;
        AcGeMatrix3d minor;
        for (int r = 0; r < 3; ++r) {
            for (int j = 0, k = 0; j < 4; ++j) {
                if (j != c) minor.entry[r][k++] = entry[r][j];
            }
        }
        double sign = (3 + c) % 2 == 0 ? 1.0 : -1.0;
        d += sign * entry[3][c] * det3(minor);
    }
    return d;
}

// Singular when the determinant is negligible against the product of the column lengths
// (the volume the columns would span were they perpendicular), so scale does not matter.
bool AcGeMatrix3d::isSingular(const AcGeTol& tol) const {
    int n = isAffine(*this) ? 3 : 4;
    double bound = 1;
    for (int c = 0; c < n; ++c)
        bound *= columnLength(*this, c, n);
    return bound == 0 || std::fabs(det()) <= tol.equalVector() * bound;
}

bool AcGeMatrix3d::isEqualTo(const AcGeMatrix3d& m, const AcGeTol& tol) const {
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            double eps = (j == 3 && i < 3) ? tol.equalPoint() : tol.equalVector();
            if (std::fabs(entry[i][j] - m.entry[i][j]) > eps) return false;
        }
    }
    return true;
}

double AcGeMatrix3d::scale() const {
    return columnLength(*this, 0, 3);
}

AcGePoint3d AcGeMatrix3d::apply(const AcGePoint3d& p) const {
    const auto& e = entry;
    AcGePoint3d r(e[0][0] * p.x + e[0][1] * p.y + e[0][2] * p.z + e[0][3],
                  e[1][0] * p.x + e[1][1] * p.y + e[1][2] * p.z + e[1][3],
                  e[2][0] * p.x + e[2][1] * p.y + e[2][2] * p.z + e[2][3]);
    if (isAffine(*this)) return r;
    double w = e[3][0] * p.x + e[3][1] * p.y + e[3][2] * p.z + e[3][3];
    return w != 0 ? AcGePoint3d(r.x / w, r.y / w, r.z / w) : r;
}

AcGeVector3d AcGeMatrix3d::apply(const AcGeVector3d& v) const {
    const auto& e = entry;
    return {e[0][0] * v.x + e[0][1] * v.y + e[0][2] * v.z,
            e[1][0] * v.x + e[1][1] * v.y + e[1][2] * v.z,
            e[2][0] * v.x + e[2][1] * v.y + e[2][2] * v.z};
}

// ---- Building transformations ----

AcGeMatrix3d& AcGeMatrix3d::setToIdentity() {
    return *this = AcGeMatrix3d();
}

AcGeMatrix3d& AcGeMatrix3d::setToTranslation(const AcGeVector3d& v) {
    setToIdentity();
    entry[0][3] = v.x;
    entry[1][3] = v.y;
    entry[2][3] = v.z;
    return *this;
}

// Rodrigues' formula about the unit axis, then conjugated by the move of center to the origin.
AcGeMatrix3d& AcGeMatrix3d::setToRotation(double angle, const AcGeVector3d& axis,
                                          const AcGePoint3d& center) {
    setToIdentity();
    assert(!axis.isZeroLength() && "setToRotation: the axis has no direction");
    if (axis.isZeroLength()) return *this;
    AcGeVector3d u = axis.normal();
    double c = std::cos(angle), s = std::sin(angle), t = 1 - c;
    entry[0][0] = t * u.x * u.x + c;
    entry[0][1] = t * u.x * u.y - s * u.z;
    entry[0][2] = t * u.x * u.z + s * u.y;
    entry[1][0] = t * u.x * u.y + s * u.z;
    entry[1][1] = t * u.y * u.y + c;
    entry[1][2] = t * u.y * u.z - s * u.x;
    entry[2][0] = t * u.x * u.z - s * u.y;
    entry[2][1] = t * u.y * u.z + s * u.x;
    entry[2][2] = t * u.z * u.z + c;
    AcGeVector3d shift = center.asVector() - apply(center.asVector());
    entry[0][3] = shift.x;
    entry[1][3] = shift.y;
    entry[2][3] = shift.z;
    return *this;
}

AcGeMatrix3d& AcGeMatrix3d::setToScaling(double s, const AcGePoint3d& center) {
    setToIdentity();
    for (int i = 0; i < 3; ++i) {
        entry[i][i] = s;
        entry[i][3] = center[i] * (1 - s);
    }
    return *this;
}

// Reflection of x and y about the line through p1 and p2 (their XY projections); z stays.
AcGeMatrix3d& AcGeMatrix3d::setToMirroring(const AcGePoint3d& p1, const AcGePoint3d& p2) {
    setToIdentity();
    AcGeVector2d d = p2.convert2d() - p1.convert2d();
    assert(!d.isZeroLength() && "setToMirroring: the two points of the line coincide");
    if (d.isZeroLength()) return *this;
    d = d.normal();
    double xx = 2 * d.x * d.x - 1, xy = 2 * d.x * d.y, yy = 2 * d.y * d.y - 1;
    entry[0][0] = xx;
    entry[0][1] = xy;
    entry[1][0] = xy;
    entry[1][1] = yy;
    entry[0][3] = p1.x - (xx * p1.x + xy * p1.y);
    entry[1][3] = p1.y - (xy * p1.x + yy * p1.y);
    return *this;
}

// Maps fromOrigin + a*fromX + b*fromY + c*fromZ to toOrigin + a*toX + b*toY + c*toZ.
AcGeMatrix3d& AcGeMatrix3d::setToAlignCoordSys(const AcGePoint3d& fromOrigin,
                                               const AcGeVector3d& fromX, const AcGeVector3d& fromY,
                                               const AcGeVector3d& fromZ,
                                               const AcGePoint3d& toOrigin, const AcGeVector3d& toX,
                                               const AcGeVector3d& toY, const AcGeVector3d& toZ) {
    AcGeMatrix3d from = fromColumns(fromX, fromY, fromZ, fromOrigin.asVector());
    AcGeMatrix3d to = fromColumns(toX, toY, toZ, toOrigin.asVector());
    assert(!from.isSingular() && "setToAlignCoordSys: the source axes are not independent");
    return *this = to * from.inverse();
}

AcGeMatrix3d AcGeMatrix3d::translation(const AcGeVector3d& v) {
    return AcGeMatrix3d().setToTranslation(v);
}

AcGeMatrix3d AcGeMatrix3d::rotation(double angle, const AcGeVector3d& axis,
                                    const AcGePoint3d& center) {
    return AcGeMatrix3d().setToRotation(angle, axis, center);
}

AcGeMatrix3d AcGeMatrix3d::scaling(double s, const AcGePoint3d& center) {
    return AcGeMatrix3d().setToScaling(s, center);
}

AcGeMatrix3d AcGeMatrix3d::mirroring(const AcGePoint3d& p1, const AcGePoint3d& p2) {
    return AcGeMatrix3d().setToMirroring(p1, p2);
}

// Columns: the object's X axis (arbitrary-axis rule), Y = N x X, and the unit normal N.
// A normal of no length is taken as the world Z axis.
AcGeMatrix3d AcGeMatrix3d::planeToWorld(const AcGeVector3d& normal) {
    AcGeVector3d n = normal.isZeroLength() ? AcGeVector3d::kZAxis : normal.normal();
    AcGeVector3d ax = arbitraryXAxis(n);
    AcGeVector3d ay = n.crossProduct(ax).normal();
    return fromColumns(ax, ay, n, AcGeVector3d::kIdentity);
}

// The frame is orthonormal, so its inverse is its transpose.
AcGeMatrix3d AcGeMatrix3d::worldToPlane(const AcGeVector3d& normal) {
    return planeToWorld(normal).transpose();
}

// ---- Extents ----

AcDbExtents::AcDbExtents()
    : mMin(std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
           std::numeric_limits<double>::max()),
      mMax(-std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
           -std::numeric_limits<double>::max()) {}

void AcDbExtents::addPoint(const AcGePoint3d& p) {
    for (int i = 0; i < 3; ++i) {
        mMin[i] = std::min(mMin[i], p[i]);
        mMax[i] = std::max(mMax[i], p[i]);
    }
}

void AcDbExtents::addExt(const AcDbExtents& e) {
    if (e.isEmpty()) return;
    addPoint(e.minPoint());
    addPoint(e.maxPoint());
}
