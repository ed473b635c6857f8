// Plane vectors, homogeneous points and boxes of the curve kernel. A point is a Vec2 too: the
// kernel works in the XY plane and keeps one small type for both.
#pragma once

#include "arx/ge.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace zel::geom {

inline constexpr double kInf = std::numeric_limits<double>::infinity();
inline constexpr double kPi = std::numbers::pi;
inline constexpr double kTwoPi = 2 * std::numbers::pi;

struct Vec2 {
    double x = 0, y = 0;

    constexpr Vec2() = default;
    constexpr Vec2(double xx, double yy) : x(xx), y(yy) {}

    constexpr Vec2 operator+(Vec2 v) const { return {x + v.x, y + v.y}; }
    constexpr Vec2 operator-(Vec2 v) const { return {x - v.x, y - v.y}; }
    constexpr Vec2 operator-() const { return {-x, -y}; }
    constexpr Vec2 operator*(double s) const { return {x * s, y * s}; }
    constexpr Vec2 operator/(double s) const { return {x / s, y / s}; }
    constexpr Vec2& operator+=(Vec2 v) { return *this = *this + v; }
    constexpr Vec2& operator-=(Vec2 v) { return *this = *this - v; }
    constexpr Vec2& operator*=(double s) { return *this = *this * s; }
    constexpr bool operator==(const Vec2&) const = default;
};

constexpr Vec2 operator*(double s, Vec2 v) {
    return v * s;
}
constexpr double dot(Vec2 a, Vec2 b) {
    return a.x * b.x + a.y * b.y;
}
constexpr double cross(Vec2 a, Vec2 b) {
    return a.x * b.y - a.y * b.x;
}
// The vector turned a quarter turn counter-clockwise.
constexpr Vec2 perp(Vec2 v) {
    return {-v.y, v.x};
}
inline double norm(Vec2 v) {
    return std::hypot(v.x, v.y);
}
inline double dist(Vec2 a, Vec2 b) {
    return norm(a - b);
}
constexpr Vec2 lerp(Vec2 a, Vec2 b, double t) {
    return a + (b - a) * t;
}
inline Vec2 unit(Vec2 v) {
    double l = norm(v);
    return l > 0 ? v / l : Vec2{};
}
inline Vec2 polar(double angle) {
    return {std::cos(angle), std::sin(angle)};
}
// Angle of v from the x axis in [0, 2 pi).
inline double angleOf(Vec2 v) {
    double a = std::atan2(v.y, v.x);
    return a < 0 ? a + kTwoPi : a;
}
// a + k 2 pi in [from, from + 2 pi).
inline double wrapAngle(double a, double from) {
    double r = std::fmod(a - from, kTwoPi);
    if (r < 0) r += kTwoPi;
    if (r >= kTwoPi) r = 0;
    return from + r;
}
inline bool isFinite(Vec2 v) {
    return std::isfinite(v.x) && std::isfinite(v.y);
}

// A point of the plane with a weight, as rational curves need: (w x, w y, w).
struct Vec3 {
    double x = 0, y = 0, w = 0;

    constexpr Vec3 operator+(const Vec3& v) const { return {x + v.x, y + v.y, w + v.w}; }
    constexpr Vec3 operator-(const Vec3& v) const { return {x - v.x, y - v.y, w - v.w}; }
    constexpr Vec3 operator*(double s) const { return {x * s, y * s, w * s}; }
    Vec2 project() const { return {x / w, y / w}; }
    Vec2 xy() const { return {x, y}; }
};
constexpr Vec3 homogeneous(Vec2 p, double w) {
    return {p.x * w, p.y * w, w};
}
constexpr Vec3 lerp(const Vec3& a, const Vec3& b, double t) {
    return a + (b - a) * t;
}

// Axis-aligned box; empty until a point is added. Infinite coordinates stand for curves
// without end (rays, construction lines).
struct Box2 {
    Vec2 lo{kInf, kInf};
    Vec2 hi{-kInf, -kInf};

    static Box2 of(Vec2 a, Vec2 b) { return Box2{}.add(a).add(b); }
    bool isEmpty() const { return lo.x > hi.x || lo.y > hi.y; }
    Box2& add(Vec2 p) {
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y)};
        return *this;
    }
    Box2& add(const Box2& b) {
        if (b.isEmpty()) return *this;
        return add(b.lo).add(b.hi);
    }
    Box2 expanded(double margin) const {
        if (isEmpty()) return *this;
        return {{lo.x - margin, lo.y - margin}, {hi.x + margin, hi.y + margin}};
    }
    bool overlaps(const Box2& b) const {
        return !isEmpty() && !b.isEmpty() && lo.x <= b.hi.x && b.lo.x <= hi.x && lo.y <= b.hi.y &&
               b.lo.y <= hi.y;
    }
    bool contains(Vec2 p) const { return lo.x <= p.x && p.x <= hi.x && lo.y <= p.y && p.y <= hi.y; }
    bool contains(const Box2& b) const { return !b.isEmpty() && contains(b.lo) && contains(b.hi); }
    double width() const { return isEmpty() ? 0 : hi.x - lo.x; }
    double height() const { return isEmpty() ? 0 : hi.y - lo.y; }
    double diagonal() const { return std::hypot(width(), height()); }
    Vec2 center() const { return (lo + hi) * 0.5; }
    bool isFinite() const { return geom::isFinite(lo) && geom::isFinite(hi); }
    // Distance from p to the box (0 inside).
    double distanceTo(Vec2 p) const {
        double dx = std::max({lo.x - p.x, 0.0, p.x - hi.x});
        double dy = std::max({lo.y - p.y, 0.0, p.y - hi.y});
        return std::hypot(dx, dy);
    }
    bool operator==(const Box2&) const = default;
};

// Conversions to and from the API's value types (the z coordinate is dropped or set).
inline Vec2 toVec2(const AcGePoint3d& p) {
    return {p.x, p.y};
}
inline Vec2 toVec2(const AcGeVector3d& v) {
    return {v.x, v.y};
}
inline Vec2 toVec2(const AcGePoint2d& p) {
    return {p.x, p.y};
}
inline AcGePoint3d toPoint3d(Vec2 p, double z = 0) {
    return {p.x, p.y, z};
}
inline AcGeVector3d toVector3d(Vec2 v) {
    return {v.x, v.y, 0};
}

} // namespace zel::geom
