// Points: distance angle polar inters. A point is a list of two or three numbers; a result
// is 3-D when the inputs are.
#include "core/tolerance.h"
#include "lisp/args.h"
#include "lisp/builtins.h"
#include "lisp/interp.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zel::lisp {

namespace {

using Args = std::span<const Value>;
using arg::Point;

Value distanceFn(Interpreter&, Args a) {
    Point p = arg::point(a[0]), q = arg::point(a[1]);
    double dz = (p.is3d && q.is3d) ? q.z - p.z : 0.0;
    return Value::real(std::sqrt((q.x - p.x) * (q.x - p.x) + (q.y - p.y) * (q.y - p.y) + dz * dz));
}

double normalAngle(double a) {
    constexpr double kTurn = 2 * std::numbers::pi;
    a = std::fmod(a, kTurn);
    return a < 0 ? a + kTurn : a;
}

Value angleFn(Interpreter&, Args a) {
    Point p = arg::point(a[0]), q = arg::point(a[1]);
    return Value::real(normalAngle(std::atan2(q.y - p.y, q.x - p.x)));
}

Value polarFn(Interpreter&, Args a) {
    Point p = arg::point(a[0]);
    double angle = arg::number(a[1]), dist = arg::number(a[2]);
    p.x += dist * std::cos(angle);
    p.y += dist * std::sin(angle);
    return arg::pointValue(p);
}

struct Vec {
    double x, y, z;
};
Vec sub(const Point& a, const Point& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
double dot(const Vec& a, const Vec& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec cross(const Vec& a, const Vec& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double length(const Vec& v) {
    return std::sqrt(dot(v, v));
}

bool withinSegment(double t) {
    return t >= -tol::kParam && t <= 1 + tol::kParam;
}

// The lines p1-p2 and p3-p4 meet where p1 + t·d1 = p3 + u·d2.
Value intersFn(Interpreter&, Args a) {
    Point p1 = arg::point(a[0]), p2 = arg::point(a[1]);
    Point p3 = arg::point(a[2]), p4 = arg::point(a[3]);
    bool onSegments = a.size() < 5 || !a[4].isNil();
    bool threeD = p1.is3d && p2.is3d && p3.is3d && p4.is3d;
    if (!threeD) p1.z = p2.z = p3.z = p4.z = 0;
    Vec d1 = sub(p2, p1), d2 = sub(p4, p3), w = sub(p3, p1);
    Vec n = cross(d1, d2);
    double nn = dot(n, n);
    double scale = length(d1) * length(d2);
    if (scale < tol::kVectorLength || std::sqrt(nn) <= tol::kParallel * scale) return Value();
    double t = dot(cross(w, d2), n) / nn;
    double u = dot(cross(w, d1), n) / nn;
    Point hit{p1.x + t * d1.x, p1.y + t * d1.y, p1.z + t * d1.z, threeD};
    Point other{p3.x + u * d2.x, p3.y + u * d2.y, p3.z + u * d2.z, threeD};
    double size = std::max(1.0, length(d1) + length(d2));
    if (length(sub(hit, other)) > tol::kPoint * size) return Value(); // skew lines in 3-D
    if (onSegments && (!withinSegment(t) || !withinSegment(u))) return Value();
    return arg::pointValue(hit);
}

} // namespace

void registerGeometryBuiltins(Interpreter& in) {
    in.defineSubr(L"DISTANCE", distanceFn, 2, 2);
    in.defineSubr(L"ANGLE", angleFn, 2, 2);
    in.defineSubr(L"POLAR", polarFn, 3, 3);
    in.defineSubr(L"INTERS", intersFn, 4, 5);
}

} // namespace zel::lisp
