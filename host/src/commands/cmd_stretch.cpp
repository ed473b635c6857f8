// STRETCH: the definition points of the selected objects that lie inside the crossing windows
// and polygons of the selection move (line ends, polyline and leader vertices, spline control
// points, arc ends with the height of the arc over its chord kept, the points of solids and
// aligned dimensions); circles, ellipses, texts, blocks, points, rays and construction lines
// move whole when their centre, insertion or base point is inside. Objects with nothing inside
// do not change.
#include "commands/ask.h"
#include "commands/curve_entities.h"
#include "commands/engine.h"
#include "commands/hostcmds.h"
#include "db/database_impl.h"
#include "geom/stretch.h"

namespace zel::commands {

namespace {

using geom::Vec2;

Vec2 xy(const AcGePoint3d& p) {
    return {p.x, p.y};
}

class Stretch {
public:
    Stretch(std::vector<std::vector<AcGePoint2d>> windows, const AcGeVector3d& d) : mD(d) {
        for (const auto& w : windows) {
            mWindows.emplace_back();
            for (const AcGePoint2d& p : w)
                mWindows.back().push_back({p.x, p.y});
        }
    }

    bool in(const AcGePoint3d& p) const {
        for (const auto& w : mWindows)
            if (geom::insideOrOn(xy(p), w)) return true;
        return false;
    }

    AcGePoint3d moved(const AcGePoint3d& p) const { return in(p) ? p + mD : p; }

    void apply(AcDbObjectId id) {
        AcDbEntity* ent = nullptr;
        if (acdbOpenAcDbEntity(ent, id, AcDb::kForWrite) != Acad::eOk) return;
        if (!stretchPoints(*ent)) moveWhole(*ent);
        ent->close();
    }

private:
    // Entities stretched point by point; false for those that move whole or not at all.
    bool stretchPoints(AcDbEntity& ent) {
        if (auto* l = AcDbLine::cast(&ent)) return line(*l);
        if (auto* a = AcDbArc::cast(&ent)) return arc(*a);
        if (auto* p = AcDbPolyline::cast(&ent)) return lightPolyline(*p);
        if (auto* p = AcDb2dPolyline::cast(&ent)) return polyline2d(*p);
        if (auto* s = AcDbSpline::cast(&ent)) return spline(*s);
        if (auto* ld = AcDbLeader::cast(&ent)) return leader(*ld);
        if (auto* f = AcDbFourPointEntity::cast(&ent)) return corners(*f);
        if (auto* d = AcDbAlignedDimension::cast(&ent)) return aligned(*d);
        return false;
    }

    void moveWhole(AcDbEntity& ent) {
        if (std::optional<AcGePoint3d> p = anchor(ent); p && in(*p))
            ent.transformBy(AcGeMatrix3d::translation(mD));
    }

    // The point whose place decides whether an object moves whole.
    static std::optional<AcGePoint3d> anchor(const AcDbEntity& ent) {
        if (auto* c = AcDbCircle::cast(&ent)) return c->center();
        if (auto* el = AcDbEllipse::cast(&ent)) return el->center();
        if (auto* t = AcDbText::cast(&ent)) return t->position();
        if (auto* m = AcDbMText::cast(&ent)) return m->location();
        if (auto* b = AcDbBlockReference::cast(&ent)) return b->position();
        if (auto* p = AcDbPoint::cast(&ent)) return p->position();
        if (auto* x = AcDbXline::cast(&ent)) return x->basePoint();
        if (auto* d = AcDbDimension::cast(&ent)) return d->textPosition();
        return std::nullopt;
    }

    bool line(AcDbLine& l) {
        l.setStartPoint(moved(l.startPoint()));
        l.setEndPoint(moved(l.endPoint()));
        return true;
    }

    bool arc(AcDbArc& a) {
        std::optional<geom::Curve> c = curveOfEntity(a);
        if (!c) return false;
        const geom::Arc& g = std::get<geom::Arc>(*c);
        bool startIn = in(geom::toPoint3d(geom::pointAt(g, g.start)));
        bool endIn = in(geom::toPoint3d(geom::pointAt(g, g.end)));
        if (startIn && endIn) {
            a.transformBy(AcGeMatrix3d::translation(mD));
            return true;
        }
        if (!startIn && !endIn) return true;
        Vec2 d{mD.x, mD.y};
        std::optional<geom::Arc> out =
            geom::stretchArc(g, startIn ? d : Vec2{}, endIn ? d : Vec2{});
        if (!out) return true;
        a.setNormal(AcGeVector3d::kZAxis);
        a.setCenter(geom::toPoint3d(out->center, a.center().z));
        a.setRadius(out->radius);
        a.setStartAngle(out->start);
        a.setEndAngle(out->end);
        return true;
    }

    // The vertices of a bulge chain moved; bulges of segments with one end moved keep the
    // height of their arcs. Points are world points, f the facing of the plane.
    struct Chain {
        std::vector<AcGePoint3d> before, after;
        std::vector<double> bulges;
        bool closed = false;
    };

    void stretchChain(Chain& c) {
        size_t n = c.before.size();
        for (const AcGePoint3d& p : c.before)
            c.after.push_back(moved(p));
        for (size_t i = 0; i < n; ++i) {
            size_t j = i + 1 == n ? 0 : i + 1;
            if (j == 0 && !c.closed) break;
            if (in(c.before[i]) == in(c.before[j])) continue;
            c.bulges[i] = geom::stretchBulge(xy(c.before[i]), xy(c.before[j]), c.bulges[i],
                                             xy(c.after[i]), xy(c.after[j]));
        }
    }

    bool lightPolyline(AcDbPolyline& p) {
        Chain c;
        c.closed = p.isClosed();
        for (unsigned i = 0; i < p.numVerts(); ++i) {
            AcGePoint3d w;
            double b = 0;
            p.getPointAt(i, w);
            p.getBulgeAt(i, b);
            c.before.push_back(w);
            c.bulges.push_back(b * facing(p.normal()));
        }
        stretchChain(c);
        double f = facing(p.normal());
        for (unsigned i = 0; i < p.numVerts(); ++i) {
            AcGePoint2d plane;
            p.getPointAt(i, plane);
            AcGeVector3d d = c.after[i] - c.before[i];
            p.setPointAt(i, AcGePoint2d(plane.x + f * d.x, plane.y + d.y));
            p.setBulgeAt(i, c.bulges[i] * f);
        }
        return true;
    }

    bool polyline2d(AcDb2dPolyline& p) {
        double f = facing(p.normal());
        std::vector<AcDbObjectId> ids;
        Chain c;
        c.closed = p.isClosed();
        for (AcDbObjectId id : p.vertexIds()) {
            auto* v = db::peekAs<AcDb2dVertex>(id);
            if (!v || id.isErased()) continue;
            ids.push_back(id);
            c.before.push_back(p.vertexPosition(*v));
            c.bulges.push_back(v->bulge() * f);
        }
        stretchChain(c);
        for (size_t i = 0; i < ids.size(); ++i) {
            AcDb2dVertex* v = nullptr;
            if (acdbOpenObject(v, ids[i], AcDb::kForWrite) != Acad::eOk) continue;
            AcGeVector3d d = c.after[i] - c.before[i];
            AcGePoint3d pos = v->position();
            v->setPosition(AcGePoint3d(pos.x + f * d.x, pos.y + d.y, pos.z));
            v->setBulge(c.bulges[i] * f);
            v->close();
        }
        return true;
    }

    static double facing(const AcGeVector3d& n) { return n.z < 0 ? -1 : 1; }

    bool spline(AcDbSpline& s) {
        for (int i = 0; i < s.numControlPoints(); ++i) {
            AcGePoint3d p;
            s.getControlPointAt(i, p);
            if (in(p)) s.setControlPointAt(i, p + mD);
        }
        return true;
    }

    bool leader(AcDbLeader& l) {
        for (int i = 0; i < l.numVertices(); ++i)
            l.setVertexAt(i, moved(l.vertexAt(i)));
        return true;
    }

    bool corners(AcDbFourPointEntity& f) {
        for (uint16_t i = 0; i < 4; ++i) {
            AcGePoint3d p;
            f.getPointAt(i, p);
            f.setPointAt(i, moved(p));
        }
        return true;
    }

    bool aligned(AcDbAlignedDimension& d) {
        d.setXLine1Point(moved(d.xLine1Point()));
        d.setXLine2Point(moved(d.xLine2Point()));
        d.setDimLinePoint(moved(d.dimLinePoint()));
        d.setTextPosition(moved(d.textPosition()));
        return true;
    }

    std::vector<std::vector<Vec2>> mWindows;
    AcGeVector3d mD;
};

void stretchCommand(Engine& e) {
    e.editor().print(L"\n交差窓または交差ポリゴンでストレッチするオブジェクトを選択...\n");
    std::vector<std::vector<AcGePoint2d>> windows;
    editor::SelectRequest req;
    req.initial = editor::pickfirstSelection(e.editor());
    req.tokens = e.selectionTokens();
    req.crossings = &windows;
    editor::SelectResult r = editor::selectObjects(e.editor(), req);
    editor::setPickfirstSelection(e.editor(), {});
    if (r.status == RTCAN) throw Cancelled{};
    if (r.ids.empty()) return;
    Ask ask(e.editor());
    Answer base = ask.point(L"基点を指定:", {}, RSG_NONULL);
    Answer to =
        ask.dragging().point(L"2 点目を指定 または <1 点目を移動距離として使用>:", base.point);
    AcGeVector3d d = to.none() ? base.point.asVector() : to.point - base.point;
    if (windows.empty()) {
        e.editor().print(
            L"\n交差窓または交差ポリゴンで選択したオブジェクトだけがストレッチされます。");
        return;
    }
    Stretch stretch(std::move(windows), d);
    for (AcDbObjectId id : r.ids)
        stretch.apply(id);
}

} // namespace

void registerStretchCommand(Engine& e) {
    addHostCommand(e, L"STRETCH", stretchCommand);
}

} // namespace zel::commands
