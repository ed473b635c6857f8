// Arcs of a given radius tangent to two curves (the geometry of fillets).
#pragma once

#include "geom/curve2d.h"

#include <functional>
#include <optional>

namespace zel::geom {

struct TangentArc {
    // The shorter arc of the circle between the tangent points (counter-clockwise; it runs
    // from point1 to point2 when fromFirst, else from point2 to point1).
    Arc arc;
    bool fromFirst = true;
    Vec2 point1, point2; // tangent points on the first and second curve
    // Their parameters on the curves, outside a curve's range when the point lies on its
    // extension (as paramFromCarrier gives them).
    double t1 = 0, t2 = 0;
};

// Every arc of the radius tangent to both curves' carriers. Lines (segments, rays,
// construction lines), arcs and circles only; other kinds give none.
std::vector<TangentArc> tangentArcs(const Curve& a, const Curve& b, double radius);

// The candidate a fillet between a (picked at pick1) and b (picked at pick2) takes: the curves'
// carriers cut each other into parts, and the kept parts are those the picks are on. Among the
// candidates whose tangent points lie on the kept parts the one with tangent points nearest
// the picks; when none does, the nearest of all. Candidates `accept` turns down are never taken.
// nullopt when there is no candidate.
std::optional<TangentArc>
chooseTangentArc(const std::vector<TangentArc>& candidates, const Curve& a, Vec2 pick1,
                 const Curve& b, Vec2 pick2,
                 const std::function<bool(const TangentArc&)>& accept = nullptr);

} // namespace zel::geom
