#include "geom/stretch.h"

#include "core/tolerance.h"
#include "geom/bulge.h"

#include <cmath>

namespace zel::geom {

namespace {

bool onSegment(Vec2 p, Vec2 a, Vec2 b) {
    Vec2 ab = b - a;
    double len = norm(ab);
    if (len <= tol::kPoint) return dist(p, a) <= tol::kPoint;
    if (std::abs(cross(ab, p - a)) / len > tol::kPoint) return false;
    double t = dot(p - a, ab) / (len * len);
    return t >= -tol::kParam && t <= 1 + tol::kParam;
}

} // namespace

bool insideOrOn(Vec2 p, std::span<const Vec2> polygon) {
    size_t n = polygon.size();
    bool inside = false;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        Vec2 a = polygon[j], b = polygon[i];
        if (onSegment(p, a, b)) return true;
        if ((b.y > p.y) != (a.y > p.y)) {
            double x = a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y);
            if (p.x < x) inside = !inside;
        }
    }
    return inside;
}

double stretchBulge(Vec2 a, Vec2 b, double bulge, Vec2 a2, Vec2 b2) {
    double chord = dist(a, b), chord2 = dist(a2, b2);
    if (chord2 <= tol::kPoint) return 0;
    // Height over the chord: h = bulge * chord / 2.
    return bulge * chord / chord2;
}

std::optional<Arc> stretchArc(const Arc& a, Vec2 ds, Vec2 de) {
    Vec2 s = pointAt(a, a.start), e = pointAt(a, a.end);
    double bulge = std::tan((a.end - a.start) / 4);
    Vec2 s2 = s + ds, e2 = e + de;
    if (dist(s2, e2) <= tol::kPoint) return std::nullopt;
    return arcOfBulge(s2, e2, stretchBulge(s, e, bulge, s2, e2)).arc;
}

} // namespace zel::geom
