// The cutting edges and boundaries of TRIM and EXTEND: a chosen set, or every curve of the
// drawing, found through the drawing's spatial index near the curve being cut.
#pragma once

#include "commands/engine.h"
#include "geom/curve2d.h"
#include "geom/cutting.h"

#include <optional>
#include <vector>

namespace zel::commands {

struct EdgeSet {
    bool all = true;       // every curve of the drawing is an edge
    editor::EntityIds ids; // the chosen edges when not all
};

// Parameters of `curve` (the entity `self`) where the edges cut it, taken whole when
// `extended`. With every curve as an edge, the search walks out from the parameter `pick`
// along lines and stops on each side at the nearest cut, so only the cuts nearest the pick
// on either side are sure to be found; that is what trimming needs.
std::vector<double> cutParams(Engine& e, const EdgeSet& edges, AcDbObjectId self,
                              const geom::Curve& curve, double pick, bool extended);

// Every cut of the curve by every edge, found by trying each entity of the drawing (the
// plain method the indexed search is measured against).
std::vector<double> cutParamsScan(Engine& e, AcDbObjectId self, const geom::Curve& curve,
                                  bool extended);

// The boundary curves of EXTEND (all but the curve itself).
std::vector<geom::Curve> boundaryCurves(Engine& e, const EdgeSet& edges, AcDbObjectId self);

// The nearest crossing of the boundaries ahead of an end of the curve `self` (boundaries taken
// whole when `extended`). With every curve as a boundary the search goes through the
// drawing's spatial index: along a straight carrier it walks out from the end in chunks of
// doubling length and stops at the first chunk that holds a crossing; on a circle or ellipse
// it takes the curves near the carrier. Boundaries taken whole are tried one by one.
std::optional<geom::Crossing> boundaryCrossing(Engine& e, const EdgeSet& edges, AcDbObjectId self,
                                               const geom::CurveEnd& end, bool extended);

} // namespace zel::commands
