// Running object snap: a point clicked while OSMODE (or a one-time override such as END) has
// snap modes is moved to the snap point nearest the pick among those of the objects under the
// aperture (APERTURE pixels at the view's scale): their ends, middles, centres, quadrants, the
// foot of the perpendicular from the last point, intersections and nodes or insertion points
// within the aperture, and the nearest point on them when nothing else is offered. acedOsnap
// uses the same engine.
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
    kSnapNear = 512,
};

// What the snap looks at near the pick: the curves, and the points of points, texts and block
// references (node and insertion snaps).
struct SnapScene {
    std::vector<geom::Curve> curves;
    std::vector<geom::Vec2> nodes;
    std::vector<geom::Vec2> insertions;
};

// The snap point of the modes for a pick, or nothing. `from` is the last point (for the
// perpendicular snap).
std::optional<geom::Vec2> snapPoint(const SnapScene& scene, geom::Vec2 pick, int modes,
                                    double aperture, std::optional<geom::Vec2> from);

// Installs the engine as the editor's object-snap hook.
void installObjectSnap(Engine& e);

} // namespace zel::commands
