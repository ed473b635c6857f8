// Curve entities as kernel curves and back, for the commands that cut and join curves (BREAK,
// TRIM, EXTEND, LENGTHEN, STRETCH, EXPLODE, PEDIT). Curves are taken in the world XY plane;
// arcs, ellipses and polylines seen from below are read as the same points seen from above.
//
// Pieces made from a source keep its layer, colour, linetype, lineweight, linetype scale and
// extended data; the first piece takes the source's place, handle and id.
#pragma once

#include "arx/db.h"
#include "geom/curve2d.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zel::commands {

class Engine;

// The curve of an entity: lines, rays, construction lines, arcs, circles, ellipses, splines,
// light and 2-D polylines. nullopt for other kinds and for curves that give no usable curve.
std::optional<geom::Curve> curveOfEntity(const AcDbEntity& entity);
std::optional<geom::Curve> curveOfId(AcDbObjectId id);

// A new entity drawing the curve with the properties and extended data of source. Polylines
// become the source's kind of polyline when it is one (2-D polylines take their vertices
// when the entity joins a database), else light polylines.
std::unique_ptr<AcDbEntity> entityOfCurve(const geom::Curve& curve, const AcDbEntity& source);

// Copies the properties and extended data of source onto a piece made from it.
void copyPieceProperties(AcDbEntity& piece, const AcDbEntity& source);

// Puts the entity in the place of the one with this id, keeping the id, the handle and the
// draw order. False when the old entity cannot be opened for write.
bool replaceEntity(AcDbObjectId id, std::unique_ptr<AcDbEntity> entity);

// Replaces the source by the pieces: the first takes its place (and handle), the others are
// appended to the current space after it. No pieces erases the source. The ids of the pieces
// in order; empty when the source could not be changed (it is then unchanged).
std::vector<AcDbObjectId> replaceByPieces(Engine& e, AcDbObjectId source,
                                          const std::vector<geom::Curve>& pieces);

// As replaceByPieces, for pieces cut from the source along its own course (BREAK, TRIM,
// EXTEND, LENGTHEN): polyline pieces of a polyline with widths also keep the widths the
// source has where they lie.
std::vector<AcDbObjectId> replaceByCutPieces(Engine& e, AcDbObjectId source,
                                             const std::vector<geom::Curve>& pieces);

} // namespace zel::commands
