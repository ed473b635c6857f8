// Running object snap: a point clicked while OSMODE (or a one-time override such as END) has
// snap modes is moved to the snap point nearest the pick among those of the objects under the
// aperture (APERTURE pixels at the view's scale): their ends, middles, centres, quadrants, the
// foot of the perpendicular and the tangent points from the base point, the point on the
// parallel through the base point, intersections (real, and apparent: where the curves'
// extensions meet), points on a curve's extension past its end, nodes and insertion points
// within the aperture, and the nearest point on them when nothing else is offered. The base
// point is the one the prompt's rubber band starts from, else the last point. acedOsnap uses
// the same engine.
#pragma once

#include "arx/ge.h"
#include "geom/curve2d.h"

#include <optional>
#include <vector>

namespace zel::commands {

class Engine;

// The OSMODE bits the engine knows.
enum SnapMode : int {
    kSnapEnd = 1,
    kSnapMid = 2,
    kSnapCen = 4,
    kSnapNode = 8,
    kSnapQuad = 16,
    kSnapInt = 32,
    kSnapIns = 64,
    kSnapPer = 128,
    kSnapTan = 256,
    kSnapNear = 512,
    kSnapApp = 2048,
    kSnapExt = 4096,
    kSnapPar = 8192,
};

// What the snap looks at near the pick: the curves, and the points of points, texts and block
// references (node and insertion snaps). Curves away from the aperture count only for the
// snaps that follow extensions (apparent intersections, extensions).
struct SnapScene {
    std::vector<geom::Curve> curves;
    std::vector<geom::Vec2> nodes;
    std::vector<geom::Vec2> insertions;
};

// The snap point of the modes for a pick, or nothing. `from` is the base point the
// perpendicular, tangent and parallel snaps measure from; without it they find nothing.
std::optional<geom::Vec2> snapPoint(const SnapScene& scene, geom::Vec2 pick, int modes,
                                    double aperture, std::optional<geom::Vec2> from);

// Installs the engine as the editor's object-snap hook.
void installObjectSnap(Engine& e);

} // namespace zel::commands
