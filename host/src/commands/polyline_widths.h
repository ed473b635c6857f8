// Widths of polyline pieces. A piece that BREAK, TRIM, EXTEND or LENGTHEN cuts from a light or
// 2-D polyline keeps the widths the source has where the piece lies: each segment of the piece
// takes, at its two ends, the width of the source segment it runs along at those points (the
// widths of a tapered segment vary in proportion to the length along it).
#pragma once

#include "arx/db.h"
#include "geom/curve2d.h"

#include <vector>

namespace zel::commands {

struct SegmentWidths {
    double start = 0, end = 0;
    bool operator==(const SegmentWidths&) const = default;
};

// The widths of a polyline entity, one per vertex (of the segment starting there); empty for
// other entities and for polylines without widths.
std::vector<SegmentWidths> polylineWidths(const AcDbEntity& entity);

// The widths of the piece's vertices, the piece having been cut from `source` whose vertices
// have `widths`. An end of the piece past the source's end (an extension) takes the width of
// the source's end.
std::vector<SegmentWidths> pieceWidths(const geom::Polyline& source,
                                       const std::vector<SegmentWidths>& widths,
                                       const geom::Polyline& piece);

// Sets the widths on a light polyline or on the vertices a 2-D polyline not yet in a drawing
// keeps (one per vertex; nothing happens when the counts differ).
void applyWidths(AcDbEntity& piece, const std::vector<SegmentWidths>& widths);

} // namespace zel::commands
