#include "commands/polyline_widths.h"

#include "geom/bulge.h"
#include "geom/closest.h"

#include <algorithm>
#include <cassert>

namespace zel::commands {

namespace {

double widthAt(const SegmentWidths& w, double u) {
    return w.start + (w.end - w.start) * std::clamp(u, 0.0, 1.0);
}

// The local parameter (0..1 along the segment) of the point of the segment nearest p.
double localParamOf(const geom::PolySegment& s, geom::Vec2 p) {
    if (geom::dist(s.a, s.b) <= 0) return 0;
    double t = geom::closest(geom::curveOf(s), p).param;
    return std::clamp(geom::localParamAt(s, t), 0.0, 1.0);
}

} // namespace

std::vector<SegmentWidths> polylineWidths(const AcDbEntity& entity) {
    std::vector<SegmentWidths> out;
    if (auto* light = AcDbPolyline::cast(&entity)) {
        for (const AcDbPolyline::Vertex& v : light->vertices())
            out.push_back({v.startWidth, v.endWidth});
    } else if (auto* p2 = AcDb2dPolyline::cast(&entity)) {
        for (const AcDb2dPolyline::VertexData& v : p2->vertexData())
            out.push_back({v.startWidth, v.endWidth});
    }
    bool any = std::any_of(out.begin(), out.end(),
                           [](const SegmentWidths& w) { return w.start != 0 || w.end != 0; });
    if (!any) out.clear();
    return out;
}

std::vector<SegmentWidths> pieceWidths(const geom::Polyline& source,
                                       const std::vector<SegmentWidths>& widths,
                                       const geom::Polyline& piece) {
    assert(widths.size() == source.vertices.size() && "one width pair per source vertex");
    std::vector<SegmentWidths> out(piece.vertices.size());
    if (geom::segmentCount(source) == 0) return out;
    for (int k = 0; k < geom::segmentCount(piece); ++k) {
        geom::PolySegment ps = geom::segmentOf(piece, k);
        // The source segment the piece's segment runs along: the one under its middle.
        geom::Vec2 middle = geom::pointAt(piece, k + 0.5);
        int s = geom::locate(source, geom::closest(source, middle).param).first;
        geom::PolySegment ss = geom::segmentOf(source, s);
        out[k] = {widthAt(widths[s], localParamOf(ss, ps.a)),
                  widthAt(widths[s], localParamOf(ss, ps.b))};
    }
    return out;
}

void applyWidths(AcDbEntity& piece, const std::vector<SegmentWidths>& widths) {
    if (auto* light = AcDbPolyline::cast(&piece)) {
        if (light->numVerts() != widths.size()) return;
        for (unsigned i = 0; i < widths.size(); ++i)
            light->setWidthsAt(i, widths[i].start, widths[i].end);
        // One width along every segment stays the polyline's constant width (the last vertex
        // of an open polyline starts no segment).
        SegmentWidths first = widths.front();
        auto segmentsEnd = widths.end() - (light->isClosed() ? 0 : 1);
        bool constant = first.start == first.end &&
                        std::all_of(widths.begin(), segmentsEnd,
                                    [&](const SegmentWidths& w) { return w == first; });
        if (constant) light->setConstantWidth(first.start);
        return;
    }
    auto* p2 = AcDb2dPolyline::cast(&piece);
    if (!p2) return;
    std::vector<AcDb2dVertex*> vertices;
    for (const auto& sub : p2->subEntities().pending())
        if (auto* v = AcDb2dVertex::cast(sub.get())) vertices.push_back(v);
    if (vertices.size() != widths.size()) return;
    for (size_t i = 0; i < widths.size(); ++i) {
        vertices[i]->setStartWidth(widths[i].start);
        vertices[i]->setEndWidth(widths[i].end);
    }
}

} // namespace zel::commands
