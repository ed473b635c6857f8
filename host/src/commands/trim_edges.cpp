#include "commands/trim_edges.h"

#include "commands/curve_entities.h"
#include "core/tolerance.h"
#include "editor/selection_index.h"
#include "editor/selection_query.h"
#include "editor/selection_state.h"
#include "geom/intersect.h"

#include <cmath>
#include <unordered_set>

namespace zel::commands {

namespace {

using geom::Curve;
using geom::Vec2;

// The first chunk of the walk along a line, in pick boxes; each next chunk is twice as long.
constexpr double kFirstChunkInApertures = 8;
// Chunks of a ray or construction line stop growing past this many doublings.
constexpr int kMaxChunks = 64;

editor::EntityIndex& indexOf(Engine& e) {
    return e.editor().selection().index(e.database());
}

geom::Extend extendOf(bool extended) {
    return extended ? geom::Extend::Second : geom::Extend::None;
}

// Adds the parameters where the edge cuts the curve.
void addCuts(std::vector<double>& out, const Curve& curve, AcDbObjectId edge, bool extended) {
    std::optional<Curve> k = curveOfId(edge);
    if (!k) return;
    for (const geom::Hit& h : geom::intersect(curve, *k, extendOf(extended)).hits)
        out.push_back(h.t1);
}

struct LineOf {
    Vec2 base, dir;
    geom::Interval range;
};

std::optional<LineOf> lineOf(const Curve& c) {
    if (auto* s = std::get_if<geom::Segment>(&c))
        return LineOf{s->start, geom::unit(s->end - s->start), {0, geom::dist(s->start, s->end)}};
    if (auto* r = std::get_if<geom::Ray>(&c)) return LineOf{r->base, r->dir, {0, geom::kInf}};
    if (auto* x = std::get_if<geom::XLine>(&c))
        return LineOf{x->base, x->dir, {-geom::kInf, geom::kInf}};
    return std::nullopt;
}

// Walks from the pick towards one end of a line in chunks of doubling length; the edges met
// in each chunk are tried, and the walk ends at the first chunk that holds a cut.
class LineWalk {
public:
    LineWalk(Engine& e, AcDbObjectId self, const Curve& curve, const LineOf& line)
        : mIndex(indexOf(e)), mSelf(self), mCurve(curve), mLine(line) {
        mFirst = kFirstChunkInApertures * std::max(editor::pickAperture(e.editor()), tol::kPoint);
    }

    void walk(double pick, int direction, std::vector<double>& cuts) {
        double end = direction > 0 ? mLine.range.hi : mLine.range.lo;
        double from = pick, step = mFirst;
        for (int i = 0; i < kMaxChunks; ++i) {
            double to = from + direction * step;
            bool last = (to - end) * direction >= 0;
            if (last) to = end;
            visitChunk(from, to, cuts);
            // Every edge that could cut the line between the pick and `to` has been tried.
            for (double cut : cuts) {
                double ahead = (cut - pick) * direction;
                if (ahead > tol::kParam && ahead <= (to - pick) * direction) return;
            }
            if (last) return;
            from = to;
            step *= 2;
        }
    }

private:
    void visitChunk(double t0, double t1, std::vector<double>& cuts) {
        Vec2 a = mLine.base + mLine.dir * t0, b = mLine.base + mLine.dir * t1;
        for (AcDbObjectId id : mIndex.query(geom::Box2::of(a, b))) {
            if (id == mSelf || !mSeen.insert(id.slot()).second) continue;
            addCuts(cuts, mCurve, id, false);
        }
    }

    editor::EntityIndex& mIndex;
    AcDbObjectId mSelf;
    const Curve& mCurve;
    LineOf mLine;
    double mFirst = 1;
    std::unordered_set<const void*> mSeen;
};

// Walks out from an end along its straight carrier in chunks of doubling length; the
// boundaries met in each chunk are tried, and the walk ends at the first chunk that holds a
// crossing (every boundary that crosses the carrier nearer the end has been met by then).
class CarrierWalk {
public:
    CarrierWalk(Engine& e, AcDbObjectId self, const geom::CurveEnd& end)
        : mIndex(indexOf(e)), mSelf(self), mEnd(end) {
        mFirst = kFirstChunkInApertures * std::max(editor::pickAperture(e.editor()), tol::kPoint);
    }

    std::optional<geom::Crossing> walk() {
        std::optional<geom::Crossing> best;
        double from = 0, step = mFirst;
        for (int i = 0; i < kMaxChunks; ++i) {
            double to = from + step;
            std::vector<Curve> met = boundariesIn(from, to);
            std::optional<geom::Crossing> x = geom::nearestCrossingAhead(mEnd, met, false);
            if (x && (!best || x->ahead < best->ahead)) best = x;
            if (best && best->ahead <= to) return best;
            from = to;
            step *= 2;
        }
        return best;
    }

private:
    Vec2 pointAhead(double a) const {
        return geom::pointAt(mEnd.carrier, mEnd.endParam + mEnd.direction * a);
    }

    std::vector<Curve> boundariesIn(double a0, double a1) {
        std::vector<Curve> out;
        for (AcDbObjectId id : mIndex.query(geom::Box2::of(pointAhead(a0), pointAhead(a1)))) {
            if (id == mSelf || !mSeen.insert(id.slot()).second) continue;
            if (std::optional<Curve> c = curveOfId(id)) out.push_back(std::move(*c));
        }
        return out;
    }

    editor::EntityIndex& mIndex;
    AcDbObjectId mSelf;
    const geom::CurveEnd& mEnd;
    double mFirst = 1;
    std::unordered_set<const void*> mSeen;
};

editor::EntityIds everything(Engine& e) {
    geom::Box2 all = geom::Box2::of({-geom::kInf, -geom::kInf}, {geom::kInf, geom::kInf});
    return indexOf(e).query(all);
}

} // namespace

std::vector<double> cutParams(Engine& e, const EdgeSet& edges, AcDbObjectId self,
                              const Curve& curve, double pick, bool extended) {
    std::vector<double> cuts;
    if (!edges.all) {
        for (AcDbObjectId id : edges.ids)
            if (id != self && !id.isErased()) addCuts(cuts, curve, id, extended);
        return cuts;
    }
    std::optional<LineOf> line = lineOf(curve);
    if (extended) return cutParamsScan(e, self, curve, extended);
    if (line) {
        LineWalk walk(e, self, curve, *line);
        walk.walk(pick, +1, cuts);
        walk.walk(pick, -1, cuts);
        return cuts;
    }
    geom::Box2 box = geom::bounds(curve);
    for (AcDbObjectId id : indexOf(e).query(box))
        if (id != self) addCuts(cuts, curve, id, extended);
    return cuts;
}

std::vector<double> cutParamsScan(Engine& e, AcDbObjectId self, const Curve& curve, bool extended) {
    std::vector<double> cuts;
    for (AcDbObjectId id : everything(e))
        if (id != self) addCuts(cuts, curve, id, extended);
    return cuts;
}

std::vector<Curve> boundaryCurves(Engine& e, const EdgeSet& edges, AcDbObjectId self) {
    std::vector<Curve> out;
    for (AcDbObjectId id : edges.all ? everything(e) : edges.ids) {
        if (id == self) continue;
        if (std::optional<Curve> c = curveOfId(id)) out.push_back(std::move(*c));
    }
    return out;
}

std::optional<geom::Crossing> boundaryCrossing(Engine& e, const EdgeSet& edges, AcDbObjectId self,
                                               const geom::CurveEnd& end, bool extended) {
    if (!edges.all || extended)
        return geom::nearestCrossingAhead(end, boundaryCurves(e, edges, self), extended);
    if (std::holds_alternative<geom::XLine>(end.carrier)) return CarrierWalk(e, self, end).walk();
    // A circle or an ellipse: the curves near it are all that can cross it.
    std::vector<Curve> near;
    for (AcDbObjectId id : indexOf(e).query(geom::bounds(end.carrier))) {
        if (id == self) continue;
        if (std::optional<Curve> c = curveOfId(id)) near.push_back(std::move(*c));
    }
    return geom::nearestCrossingAhead(end, near, false);
}

} // namespace zel::commands
