// -BOUNDARY and BOUNDARY: closed polylines or regions round the smallest area holding each
// point, from the lines, arcs, circles, polylines, ellipses and splines that can be seen in the
// view (or of a boundary set chosen with the Advanced options), with the islands inside it when
// island detection is on. HPBOUND 1 makes polylines (one per loop): PLINETYPE 0 makes 2-D
// polylines with VERTEX entities, otherwise light polylines; HPBOUND 0 makes one region per
// point, the islands its holes. They go on the current layer with the current properties.
// When nothing closed holds the point, nothing is made and the message says where the nearest
// opening is. The objects are made when the points are ended with Enter; Esc makes none.
//
// The curves come from the drawing's spatial index in a square round the point that grows
// until the boundary found lies inside it (then no curve outside the square can cross it or lie
// in it), so the work follows the size of the boundary, not of the drawing.
#include "arx/dbregion.h"
#include "commands/ask.h"
#include "commands/curve_entities.h"
#include "commands/entities.h"
#include "commands/hostcmds.h"
#include "commands/selecting.h"
#include "core/tolerance.h"
#include "db/database_impl.h"
#include "db/region_curves.h"
#include "editor/selection_query.h"
#include "editor/selection_state.h"
#include "geom/boundary.h"

namespace zel::commands {

namespace {

using geom::Box2;
using geom::Curve;
using geom::Vec2;

constexpr double kFirstSearch = 1.0 / 512; // the first square's half-size, share of the view
constexpr double kSearchGrowth = 4;        // how much the square grows each time

struct Options {
    geom::BoundaryOptions find;
    std::optional<editor::EntityIds> set; // a boundary set; none: what can be seen in the view
};

Box2 viewBox(Engine& e) {
    editor::SysVars& v = e.editor().vars();
    AcGePoint3d center = v.point(L"VIEWCTR"), screen = v.point(L"SCREENSIZE");
    double h = v.real(L"VIEWSIZE");
    double w = screen.y > 0 ? h * screen.x / screen.y : h;
    Vec2 c{center.x, center.y}, half{w / 2, h / 2};
    return Box2::of(c - half, c + half);
}

Box2 common(const Box2& a, const Box2& b) {
    Box2 out{{std::max(a.lo.x, b.lo.x), std::max(a.lo.y, b.lo.y)},
             {std::min(a.hi.x, b.hi.x), std::min(a.hi.y, b.hi.y)}};
    return out;
}

// The curves the boundary is made of whose boxes meet the area.
class Candidates {
public:
    Candidates(Engine& e, const Options& o) : mE(e), mOptions(o) {
        if (!o.set) return;
        for (AcDbObjectId id : *o.set) {
            std::optional<Curve> c = curveOfId(id);
            if (!c) continue;
            mSet.emplace_back(*c, geom::bounds(*c));
            mSetBox.add(mSet.back().second);
        }
    }

    // Where curves may be: the view, or the boundary set's extent.
    Box2 limit() const { return mOptions.set ? mSetBox : viewBox(mE); }

    std::vector<Curve> in(const Box2& area) {
        std::vector<Curve> out;
        if (mOptions.set) {
            for (const auto& [c, box] : mSet)
                if (box.overlaps(area)) out.push_back(c);
            return out;
        }
        AcDbDatabase& db = mE.database();
        editor::EntityIndex& index = mE.editor().selection().index(db);
        editor::SelectionQuery seen(db, &index);
        for (AcDbObjectId id : index.query(area)) {
            auto* ent = db::peekAs<AcDbEntity>(id);
            if (!ent || !seen.seen(*ent)) continue;
            if (std::optional<Curve> c = curveOfEntity(*ent)) out.push_back(std::move(*c));
        }
        return out;
    }

private:
    Engine& mE;
    const Options& mOptions;
    std::vector<std::pair<Curve, Box2>> mSet;
    Box2 mSetBox;
};

bool strictlyInside(const Box2& inner, const Box2& outer) {
    return inner.lo.x > outer.lo.x && inner.lo.y > outer.lo.y && inner.hi.x < outer.hi.x &&
           inner.hi.y < outer.hi.y;
}

Box2 extentOf(const geom::Boundary& b) {
    Box2 box = geom::loopBounds(b.outer);
    for (const geom::Loop& island : b.islands)
        box.add(geom::loopBounds(island));
    return box;
}

// The boundary round p, from curves in squares round it that grow until the boundary lies
// inside the square or the square holds everything there is.
geom::Boundary search(Engine& e, const Options& o, Vec2 p) {
    Candidates candidates(e, o);
    Box2 limit = candidates.limit();
    double half = std::max(limit.diagonal() * kFirstSearch, tol::kJoinGap);
    for (;;) {
        Box2 square = Box2::of(p - Vec2{half, half}, p + Vec2{half, half});
        bool whole = limit.isEmpty() || square.contains(limit);
        Box2 area = whole ? limit : common(square, limit);
        std::vector<Curve> curves = area.isEmpty() ? std::vector<Curve>{} : candidates.in(area);
        geom::Boundary b = geom::findBoundary(curves, p, o.find);
        if (whole || b.status == geom::BoundaryStatus::OnCurve) return b;
        if (b.status == geom::BoundaryStatus::Found && strictlyInside(extentOf(b), square))
            return b;
        half *= kSearchGrowth;
    }
}

AcDbObjectId makePolyline(Engine& e, const geom::Polyline& pl) {
    std::unique_ptr<AcDbEntity> made;
    if (e.editor().vars().integer(L"PLINETYPE") == 0) {
        std::vector<AcGePoint3d> points;
        std::vector<double> bulges;
        for (const geom::BulgeVertex& v : pl.vertices) {
            points.push_back(geom::toPoint3d(v.point));
            bulges.push_back(v.bulge);
        }
        made =
            std::make_unique<AcDb2dPolyline>(AcDb::k2dSimplePoly, points, 0, true, 0, 0, &bulges);
    } else {
        auto light = std::make_unique<AcDbPolyline>(unsigned(pl.vertices.size()));
        for (unsigned i = 0; i < pl.vertices.size(); ++i)
            light->addVertexAt(i, AcGePoint2d(pl.vertices[i].point.x, pl.vertices[i].point.y),
                               pl.vertices[i].bulge);
        light->setClosed(true);
        made = std::move(light);
    }
    return appendEntity(e.database(), std::move(made));
}

std::wstring pointText(Vec2 p) {
    return L"(" + distanceText(p.x) + L"," + distanceText(p.y) + L")";
}

// The boundary round p; none, after a message that says why, when nothing closed holds p.
std::optional<geom::Boundary> boundaryAt(Engine& e, const Options& o, Vec2 p) {
    geom::Boundary b = search(e, o, p);
    editor::Editor& ed = e.editor();
    switch (b.status) {
    case geom::BoundaryStatus::OnCurve:
        ed.print(L"\n点がオブジェクトの上にあります。境界の内側の点を指定してください。");
        return std::nullopt;
    case geom::BoundaryStatus::Open:
        ed.print(L"\n閉じた境界が見つかりません。点に最も近い開口部は " + pointText(*b.opening) +
                 L" にあります。");
        return std::nullopt;
    case geom::BoundaryStatus::NotInside:
        ed.print(L"\n閉じた境界が見つかりません。点を囲むオブジェクトがありません。");
        return std::nullopt;
    case geom::BoundaryStatus::Found:
        break;
    }
    return b;
}

// The loops of a boundary as polylines (outer first, then the islands).
std::vector<geom::Polyline> boundaryPolylines(const geom::Boundary& b) {
    std::vector<geom::Polyline> out{geom::loopPolyline(b.outer, tol::kCurveFit)};
    for (const geom::Loop& island : b.islands)
        out.push_back(geom::loopPolyline(island, tol::kCurveFit));
    return out;
}

// A region of the world XY plane bounded by the outer loop, the islands its holes.
AcDbObjectId makeRegion(Engine& e, const geom::Boundary& b) {
    std::vector<ZelRegionLoop> loops{db::regionLoop(b.outer, tol::kCurveFit)};
    for (const geom::Loop& island : b.islands)
        loops.push_back(db::regionLoop(island, tol::kCurveFit));
    auto region = std::make_unique<AcDbRegion>();
    if (region->setLoops(AcGeVector3d::kZAxis, 0, std::move(loops)) != Acad::eOk) return {};
    return appendEntity(e.database(), std::move(region));
}

// A boundary found, and whether it becomes a region (HPBOUND when its point was given).
struct Found {
    geom::Boundary boundary;
    bool region = false;
};

void askRay(Engine& e, Options& o) {
    Answer a = Ask(e.editor())
                   .keyword(L"光線の種類を入力 [最も近い(N)/+X/-X/+Y/-Y] <最も近い>:",
                            L"Nearest +X -X +Y -Y");
    o.find.ray = geom::BoundaryRay::Nearest;
    if (a.keyword(L"+X")) o.find.ray = geom::BoundaryRay::PlusX;
    if (a.keyword(L"-X")) o.find.ray = geom::BoundaryRay::MinusX;
    if (a.keyword(L"+Y")) o.find.ray = geom::BoundaryRay::PlusY;
    if (a.keyword(L"-Y")) o.find.ray = geom::BoundaryRay::MinusY;
}

void askIslands(Engine& e, Options& o) {
    Answer a =
        Ask(e.editor()).keyword(L"島の検出を行いますか? [はい(Y)/いいえ(N)] <はい>:", L"Yes No");
    o.find.islands = !a.keyword(L"No");
    if (!o.find.islands) askRay(e, o);
}

void askBoundarySet(Engine& e, Options& o) {
    Answer a =
        Ask(e.editor())
            .keyword(L"境界の候補セットを指定 [新規(N)/すべて(E)] <現在>:", L"New Everything");
    if (a.keyword(L"Everything")) o.set.reset();
    if (a.keyword(L"New")) o.set = selectForCommand(e);
}

void askObjectType(Engine& e) {
    bool region = e.editor().vars().integer(L"HPBOUND") == 0;
    Answer a =
        Ask(e.editor())
            .keyword(std::wstring(L"境界オブジェクトタイプを入力 [リージョン(R)/ポリライン(P)] <") +
                         (region ? L"リージョン" : L"ポリライン") + L">:",
                     L"Region Polyline");
    if (a.none()) return;
    e.editor().vars().set(L"HPBOUND", editor::VarValue(int64_t(a.keyword(L"Region") ? 0 : 1)));
}

void advanced(Engine& e, Options& o) {
    Ask ask(e.editor());
    for (;;) {
        Answer a =
            ask.keyword(L"オプションを入力 [境界セット(B)/自動検出(I)/オブジェクトタイプ(O)]:",
                        L"Boundary Island Object");
        if (a.none()) return;
        if (a.keyword(L"Boundary")) askBoundarySet(e, o);
        if (a.keyword(L"Island")) askIslands(e, o);
        if (a.keyword(L"Object")) askObjectType(e);
    }
}

void reportMade(Engine& e, int polylines, int regions) {
    bool regionsNow = e.editor().vars().integer(L"HPBOUND") == 0;
    if (polylines > 0 || (regions == 0 && !regionsNow))
        e.editor().print(L"\nBOUNDARY は " + std::to_wstring(polylines) +
                         L" 個のポリラインを作成しました");
    if (regions > 0 || (polylines == 0 && regionsNow))
        e.editor().print(L"\nBOUNDARY は " + std::to_wstring(regions) +
                         L" 個のリージョンを作成しました");
}

void boundaryCommand(Engine& e) {
    Options o;
    Ask ask(e.editor());
    std::vector<Found> found; // made when the points are ended (Esc makes none)
    for (;;) {
        Answer a = ask.point(L"内側の点を指定 または [詳細設定(A)]:", {}, 0, L"Advanced");
        if (a.keyword(L"Advanced")) {
            advanced(e, o);
            continue;
        }
        if (!a.ok()) break;
        if (std::optional<geom::Boundary> b = boundaryAt(e, o, {a.point.x, a.point.y}))
            found.push_back({std::move(*b), e.editor().vars().integer(L"HPBOUND") == 0});
    }
    int polylines = 0, regions = 0;
    for (const Found& f : found) {
        if (f.region) {
            regions += makeRegion(e, f.boundary).isNull() ? 0 : 1;
            continue;
        }
        for (const geom::Polyline& loop : boundaryPolylines(f.boundary))
            polylines += makePolyline(e, loop).isNull() ? 0 : 1;
    }
    reportMade(e, polylines, regions);
}

} // namespace

void registerBoundaryCommand(Engine& e) {
    addHostCommand(e, L"-BOUNDARY", boundaryCommand);
    addHostCommand(e, L"BOUNDARY", boundaryCommand);
}

} // namespace zel::commands
