// The groups of the HATCH subclass, read and written in file order: elevation and normal,
// pattern name and flags, boundary loops (polylines or edges, with their source handles),
// style and pattern, pattern lines, pixel size, seed points, then the gradient groups kept
// as read. The groups repeat codes in different meanings (10, 73, 97), so they are read by
// position with a small state machine.
#include "arx/db.h"
#include "db/ents/entcommon.h"
#include "db/ents/kinds.h"

namespace ents = zel::db::ents;

namespace zel::db {

struct HatchReader {
    enum Phase { kHeader, kLoop, kPolyLoop, kEdgeLoop, kSources, kTail, kLines, kSeeds, kGradient };

    AcDbHatch& h;
    AcDbHatch::ReadState& st;

    ZelHatchLoop& loop() { return h.mLoops.back(); }
    ZelHatchEdge* edge() { return loop().edges.empty() ? nullptr : &loop().edges.back(); }

    void endLoop() { st.phase = --st.loopsLeft > 0 ? kLoop : kTail; }

    void startSources(int32_t n) {
        st.sourcesLeft = n;
        st.phase = kSources;
        if (n <= 0) endLoop();
    }

    bool header(const ZelGroupValue& v) {
        switch (v.code) {
        case 10:
            h.mElevation = v.point;
            return true;
        case 210:
            h.mNormal = ents::asVector(v);
            return true;
        case 2:
            h.mPatternName = v.text;
            return true;
        case 70:
            h.mSolid = v.integer != 0;
            return true;
        case 71:
            h.mAssociative = v.integer != 0;
            return true;
        case 91:
            st.loopsLeft = int32_t(v.integer);
            st.phase = st.loopsLeft > 0 ? kLoop : kTail;
            return true;
        default:
            return tail(v);
        }
    }

    bool loopStart(const ZelGroupValue& v) {
        if (v.code != 92) {
            st.phase = kTail; // fewer loops than announced
            return tail(v);
        }
        h.mLoops.push_back({});
        loop().type = int32_t(v.integer);
        loop().hasBulges = false;
        st.phase = loop().isPolyline() ? kPolyLoop : kEdgeLoop;
        return true;
    }

    bool polyLoop(const ZelGroupValue& v) {
        ZelHatchLoop& l = loop();
        switch (v.code) {
        case 72:
            l.hasBulges = v.integer != 0;
            return true;
        case 73:
            l.closed = v.integer != 0;
            return true;
        case 93:
            return true; // the vertex count follows from the vertices
        case 10:
            l.vertices.push_back(v.point.convert2d());
            l.bulges.push_back(0);
            return true;
        case 42:
            if (l.bulges.empty()) return false;
            l.bulges.back() = v.real;
            return true;
        case 97:
            startSources(int32_t(v.integer));
            return true;
        default:
            return false;
        }
    }

    bool edgeField(ZelHatchEdge& e, const ZelGroupValue& v) {
        bool spline = e.type == ZelHatchEdge::kSpline;
        switch (v.code) {
        case 10:
            if (spline)
                e.controlPoints.push_back(v.point.convert2d());
            else if (e.type == ZelHatchEdge::kLine)
                e.start = v.point.convert2d();
            else
                e.center = v.point.convert2d();
            return true;
        case 11:
            if (spline)
                e.fitPoints.push_back(v.point.convert2d());
            else if (e.type == ZelHatchEdge::kLine)
                e.end = v.point.convert2d();
            else
                e.majorAxis = v.point.convert2d() - AcGePoint2d();
            return true;
        case 40:
            if (spline)
                e.knots.push_back(v.real);
            else
                e.radius = v.real;
            return true;
        case 42:
            if (!spline) return false;
            e.weights.push_back(v.real);
            return true;
        case 50:
            e.startAngle = v.real;
            return true;
        case 51:
            e.endAngle = v.real;
            return true;
        case 73:
            if (spline)
                e.rational = v.integer != 0;
            else
                e.counterClockwise = v.integer != 0;
            return true;
        case 74:
            e.periodic = v.integer != 0;
            return spline;
        case 94:
            e.degree = int32_t(v.integer);
            return spline;
        case 95:
        case 96:
            return spline; // counts follow from the data
        case 12:
            e.startTangent = v.point.convert2d() - AcGePoint2d();
            e.hasStartTangent = true;
            return spline;
        case 13:
            e.endTangent = v.point.convert2d() - AcGePoint2d();
            e.hasEndTangent = true;
            return spline;
        default:
            return false;
        }
    }

    // A 97 after the last spline edge of a loop is its fit count or the loop's source count;
    // the group after it tells which.
    bool settlePending(const ZelGroupValue& v) {
        if (st.fitLeft >= 0) return false;
        int32_t n = -st.fitLeft - 1;
        st.fitLeft = 0;
        ZelHatchEdge* e = edge();
        if (e && (v.code == 11 || v.code == 12 || v.code == 13 || v.code == 97)) {
            e->hasFitData = true;
            return false;
        }
        startSources(n);
        return false;
    }

    bool edgeLoop(const ZelGroupValue& v) {
        ZelHatchLoop& l = loop();
        if (v.code == 93) {
            st.itemsLeft = int32_t(v.integer);
            return true;
        }
        if (v.code == 72) {
            l.edges.push_back({});
            l.edges.back().type = int16_t(v.integer);
            --st.itemsLeft;
            return true;
        }
        ZelHatchEdge* e = edge();
        if (v.code == 97) {
            if (e && e->type == ZelHatchEdge::kSpline && !e->hasFitData) {
                if (st.itemsLeft > 0) {
                    e->hasFitData = true;
                } else {
                    st.fitLeft = -int32_t(v.integer) - 1; // settled by the next group
                }
                return true;
            }
            startSources(int32_t(v.integer));
            return true;
        }
        return e && edgeField(*e, v);
    }

    bool sources(const ZelGroupValue& v) {
        if (v.code != 330) {
            endLoop();
            return take(v);
        }
        loop().sources.push_back(AcDbHandle(uint64_t(v.integer)));
        if (--st.sourcesLeft <= 0) endLoop();
        return true;
    }

    bool tail(const ZelGroupValue& v) {
        switch (v.code) {
        case 75:
            h.mStyle = int16_t(v.integer);
            return true;
        case 76:
            h.mPatternType = int16_t(v.integer);
            return true;
        case 52:
            h.mPatternAngle = v.real, h.mHasPatternProperties = true;
            return true;
        case 41:
            h.mPatternScale = v.real, h.mHasPatternProperties = true;
            return true;
        case 77:
            h.mPatternDouble = v.integer != 0, h.mHasPatternProperties = true;
            return true;
        case 78:
            st.linesLeft = int32_t(v.integer);
            if (st.linesLeft > 0) st.phase = kLines;
            return true;
        case 47:
            h.mPixelSize = v.real, h.mHasPixelSize = true;
            return true;
        case 98:
            st.seedsLeft = int32_t(v.integer);
            if (st.seedsLeft > 0) st.phase = kSeeds;
            return true;
        default:
            break;
        }
        if (v.code < 450 || v.code > 470) return false;
        st.phase = kGradient;
        h.mGradient.push_back(v);
        return true;
    }

    bool lines(const ZelGroupValue& v) {
        auto& ls = h.mPatternLines;
        if (v.code == 53) {
            if (int32_t(ls.size()) >= st.linesLeft) {
                st.phase = kTail;
                return tail(v);
            }
            ls.push_back({});
            ls.back().angle = v.real;
            return true;
        }
        if (ls.empty()) return false;
        ZelHatchPatternLine& l = ls.back();
        switch (v.code) {
        case 43:
            l.base.x = v.real;
            return true;
        case 44:
            l.base.y = v.real;
            return true;
        case 45:
            l.offset.x = v.real;
            return true;
        case 46:
            l.offset.y = v.real;
            return true;
        case 79:
            return true; // the dash count follows from the dashes
        case 49:
            l.dashes.push_back(v.real);
            return true;
        default:
            st.phase = kTail;
            return tail(v);
        }
    }

    bool seeds(const ZelGroupValue& v) {
        if (v.code != 10) {
            st.phase = kTail;
            return tail(v);
        }
        h.mSeeds.push_back(v.point.convert2d());
        if (int32_t(h.mSeeds.size()) >= st.seedsLeft) st.phase = kTail;
        return true;
    }

    bool take(const ZelGroupValue& v) {
        settlePending(v);
        switch (Phase(st.phase)) {
        case kHeader:
            return header(v);
        case kLoop:
            return loopStart(v);
        case kPolyLoop:
            return polyLoop(v);
        case kEdgeLoop:
            return edgeLoop(v);
        case kSources:
            return sources(v);
        case kTail:
            return tail(v);
        case kLines:
            return lines(v);
        case kSeeds:
            return seeds(v);
        case kGradient:
            h.mGradient.push_back(v);
            return true;
        }
        return false;
    }
};

template <> struct KindSchema<AcDbHatch> {
    static bool read(AcDbObject& o, const ZelGroupValue& v) {
        auto& h = static_cast<AcDbHatch&>(o);
        return HatchReader{h, h.mRead}.take(v);
    }

    static void finish(AcDbObject& o) {
        auto& h = static_cast<AcDbHatch&>(o);
        h.mRead = {};
    }

    static void clear(AcDbObject& o) {
        auto& h = static_cast<AcDbHatch&>(o);
        h.mLoops.clear();
        h.mPatternLines.clear();
        h.mSeeds.clear();
        h.mGradient.clear();
        h.mRead = {};
    }

    static void writeEdge(const ZelHatchEdge& e, const GroupSink& sink) {
        sink(ents::intGroup(72, e.type));
        switch (e.type) {
        case ZelHatchEdge::kLine:
            sink(ents::point2Group(10, e.start));
            sink(ents::point2Group(11, e.end));
            return;
        case ZelHatchEdge::kCirArc:
        case ZelHatchEdge::kEllArc:
            sink(ents::point2Group(10, e.center));
            if (e.type == ZelHatchEdge::kEllArc)
                sink(ents::point2Group(11, AcGePoint2d() + e.majorAxis));
            sink(ents::realGroup(40, e.radius));
            sink(ents::realGroup(50, e.startAngle));
            sink(ents::realGroup(51, e.endAngle));
            sink(ents::intGroup(73, e.counterClockwise ? 1 : 0));
            return;
        default:
            break;
        }
        sink(ents::intGroup(94, e.degree));
        sink(ents::intGroup(73, e.rational ? 1 : 0));
        sink(ents::intGroup(74, e.periodic ? 1 : 0));
        sink(ents::intGroup(95, int64_t(e.knots.size())));
        sink(ents::intGroup(96, int64_t(e.controlPoints.size())));
        for (double k : e.knots)
            sink(ents::realGroup(40, k));
        for (size_t i = 0; i < e.controlPoints.size(); ++i) {
            sink(ents::point2Group(10, e.controlPoints[i]));
            if (i < e.weights.size()) sink(ents::realGroup(42, e.weights[i]));
        }
        if (!e.hasFitData) return;
        sink(ents::intGroup(97, int64_t(e.fitPoints.size())));
        for (const AcGePoint2d& p : e.fitPoints)
            sink(ents::point2Group(11, p));
        if (e.hasStartTangent) sink(ents::point2Group(12, AcGePoint2d() + e.startTangent));
        if (e.hasEndTangent) sink(ents::point2Group(13, AcGePoint2d() + e.endTangent));
    }

    static void writeLoop(const ZelHatchLoop& l, const GroupSink& sink) {
        sink(ents::intGroup(92, l.type));
        if (l.isPolyline()) {
            sink(ents::intGroup(72, l.hasBulges ? 1 : 0));
            sink(ents::intGroup(73, l.closed ? 1 : 0));
            sink(ents::intGroup(93, int64_t(l.vertices.size())));
            for (size_t i = 0; i < l.vertices.size(); ++i) {
                sink(ents::point2Group(10, l.vertices[i]));
                if (l.hasBulges) sink(ents::realGroup(42, i < l.bulges.size() ? l.bulges[i] : 0));
            }
        } else {
            sink(ents::intGroup(93, int64_t(l.edges.size())));
            for (const ZelHatchEdge& e : l.edges)
                writeEdge(e, sink);
        }
        sink(ents::intGroup(97, int64_t(l.sources.size())));
        for (AcDbHandle s : l.sources)
            sink(ents::handleGroup(330, s));
    }

    static void write(const AcDbObject& o, const GroupSink& sink) {
        const auto& h = static_cast<const AcDbHatch&>(o);
        sink(ents::pointGroup(10, h.mElevation));
        sink(ents::vectorGroup(210, h.mNormal));
        sink(ents::textGroup(2, h.mPatternName));
        sink(ents::intGroup(70, h.mSolid ? 1 : 0));
        sink(ents::intGroup(71, h.mAssociative ? 1 : 0));
        sink(ents::intGroup(91, int64_t(h.mLoops.size())));
        for (const ZelHatchLoop& l : h.mLoops)
            writeLoop(l, sink);
        sink(ents::intGroup(75, h.mStyle));
        sink(ents::intGroup(76, h.mPatternType));
        if (!h.mSolid || h.mHasPatternProperties) {
            sink(ents::realGroup(52, h.mPatternAngle));
            sink(ents::realGroup(41, h.mPatternScale));
            sink(ents::intGroup(77, h.mPatternDouble ? 1 : 0));
        }
        if (!h.mSolid || !h.mPatternLines.empty()) {
            sink(ents::intGroup(78, int64_t(h.mPatternLines.size())));
            for (const ZelHatchPatternLine& l : h.mPatternLines) {
                sink(ents::realGroup(53, l.angle));
                sink(ents::realGroup(43, l.base.x));
                sink(ents::realGroup(44, l.base.y));
                sink(ents::realGroup(45, l.offset.x));
                sink(ents::realGroup(46, l.offset.y));
                sink(ents::intGroup(79, int64_t(l.dashes.size())));
                for (double d : l.dashes)
                    sink(ents::realGroup(49, d));
            }
        }
        if (h.mHasPixelSize) sink(ents::realGroup(47, h.mPixelSize));
        sink(ents::intGroup(98, int64_t(h.mSeeds.size())));
        for (const AcGePoint2d& p : h.mSeeds)
            sink(ents::point2Group(10, p));
        for (const ZelGroupValue& g : h.mGradient)
            sink(g);
    }

    static const ObjectSchema& get() {
        static const ObjectSchema s{
            "HATCH", true,
            ents::entitySubclasses({{"AcDbHatch", {}, {read, write, finish, clear}}}),
            createKind<AcDbHatch>};
        return s;
    }
};

} // namespace zel::db

const zel::db::ObjectSchema& AcDbHatch::kindSchema() {
    return zel::db::KindSchema<AcDbHatch>::get();
}

namespace zel::db::ents {
const ObjectSchema& hatchSchema() {
    return KindSchema<AcDbHatch>::get();
}
} // namespace zel::db::ents
