// TRIM and EXTEND: cutting edges or boundaries (Enter alone: every object), then curves
// picked one by one, along a fence, in a crossing window, or in an implied crossing from a
// click on nothing. TRIM removes the part around the pick between the nearest cuts; EXTEND
// moves the end nearer the pick to the nearest boundary crossing ahead of it (a spline's end
// runs on straight along its end tangent). Pieces of polylines keep their widths where
// they lie. EDGEMODE 1 takes edges and boundaries whole (lines as lines, arcs as circles).
#include "commands/ask.h"
#include "commands/curve_entities.h"
#include "commands/hostcmds.h"
#include "commands/picks.h"
#include "commands/trim_edges.h"
#include "geom/closest.h"
#include "geom/cutting.h"
#include "geom/intersect.h"

#include <map>

namespace zel::commands {

namespace {

using geom::Curve;
using geom::Vec2;

Vec2 xy(const AcGePoint3d& p) {
    return {p.x, p.y};
}

enum class Mode { Trim, Extend };

struct Texts {
    const wchar_t* edges;
    const wchar_t* pick;
    const wchar_t* cannot;
    const wchar_t* noCut;
};

const Texts& textsOf(Mode m) {
    static const Texts trim{L"\n切り取りエッジを選択...\n",
                            L"トリムするオブジェクトを選択 または [フェンス(F)/交差(C)/エッジ(E)]:",
                            L"\nこのオブジェクトはトリムできません。",
                            L"\nオブジェクトが切り取りエッジと交差していません。"};
    static const Texts extend{L"\n境界エッジを選択...\n",
                              L"延長するオブジェクトを選択 または [フェンス(F)/交差(C)/エッジ(E)]:",
                              L"\nこのオブジェクトは延長できません。",
                              L"\nオブジェクトが境界エッジと交差しません。"};
    return m == Mode::Trim ? trim : extend;
}

bool edgeMode(Engine& e) {
    return e.editor().vars().integer(L"EDGEMODE") == 1;
}

void showSettings(Engine& e) {
    e.editor().print(std::wstring(L"\n現在の設定: 投影モード=UCS, エッジ延長モード=") +
                     (edgeMode(e) ? L"延長" : L"延長しない"));
}

EdgeSet selectEdges(Engine& e, Mode m) {
    showSettings(e);
    e.editor().print(textsOf(m).edges);
    editor::SelectRequest req;
    req.prompt = L"オブジェクトを選択 または <すべて選択>:";
    req.tokens = e.selectionTokens();
    editor::SelectResult r = editor::selectObjects(e.editor(), req);
    if (r.status == RTCAN) throw Cancelled{};
    EdgeSet edges;
    edges.all = r.ids.empty();
    edges.ids = std::move(r.ids);
    return edges;
}

// The curve trimmed at the pick between the nearest cuts around it; the ids of what is left
// (empty when nothing changed).
std::vector<AcDbObjectId> trimOne(Engine& e, const EdgeSet& edges, AcDbObjectId id,
                                  const Curve& curve, double tp, bool quiet) {
    std::vector<double> cuts = cutParams(e, edges, id, curve, tp, edgeMode(e));
    auto pieces = geom::trimAt(curve, tp, cuts);
    if (!pieces) {
        if (!quiet) e.editor().print(textsOf(Mode::Trim).noCut);
        return {};
    }
    return replaceByCutPieces(e, id, *pieces);
}

// The end of the curve nearer the pick extended to the nearest boundary crossing ahead of it.
std::vector<AcDbObjectId> extendOne(Engine& e, const EdgeSet& edges, AcDbObjectId id,
                                    const Curve& curve, double tp, bool quiet) {
    const Texts& t = textsOf(Mode::Extend);
    bool atStart = geom::nearerStart(curve, tp);
    std::optional<geom::CurveEnd> end = geom::curveEnd(curve, atStart);
    if (!end) {
        if (!quiet) e.editor().print(t.cannot);
        return {};
    }
    std::optional<geom::Crossing> x = boundaryCrossing(e, edges, id, *end, edgeMode(e));
    if (!x) {
        if (!quiet) e.editor().print(t.noCut);
        return {};
    }
    return replaceByCutPieces(e, id, {geom::extendToCrossing(curve, atStart, *end, *x).curve});
}

// One curve trimmed or extended at a pick point; the ids of what is left of it (empty when
// it did not change).
std::vector<AcDbObjectId> cutOne(Engine& e, Mode m, const EdgeSet& edges, AcDbObjectId id, Vec2 p,
                                 bool quiet) {
    std::optional<Curve> curve = curveOfId(id);
    if (!curve) {
        if (!quiet) e.editor().print(textsOf(m).cannot);
        return {};
    }
    double tp = geom::closest(*curve, p).param;
    if (m == Mode::Trim) return trimOne(e, edges, id, *curve, tp, quiet);
    return extendOne(e, edges, id, *curve, tp, quiet);
}

// Picks at several points (fence, crossing window): each goes to what is left of its curve
// after the picks before it, the piece nearest the point.
class Batch {
public:
    Batch(Engine& e, Mode m, const EdgeSet& edges) : mE(e), mMode(m), mEdges(edges) {}

    void add(AcDbObjectId id, Vec2 p) { mPicks.push_back({id, p}); }

    void run() {
        for (const auto& [source, p] : mPicks) {
            std::optional<AcDbObjectId> id = pieceAt(source, p);
            if (!id) continue;
            std::vector<AcDbObjectId> left = cutOne(mE, mMode, mEdges, *id, p, true);
            if (left.empty()) continue;
            auto& pieces = mPieces[source];
            std::erase(pieces, *id);
            pieces.insert(pieces.end(), left.begin(), left.end());
        }
    }

private:
    std::optional<AcDbObjectId> pieceAt(AcDbObjectId source, Vec2 p) {
        auto it = mPieces.find(source);
        if (it == mPieces.end()) return source;
        std::optional<AcDbObjectId> best;
        double bestDistance = geom::kInf;
        for (AcDbObjectId id : it->second) {
            std::optional<Curve> c = curveOfId(id);
            if (!c) continue;
            double d = geom::closest(*c, p).distance;
            if (d < bestDistance) bestDistance = d, best = id;
        }
        return best;
    }

    Engine& mE;
    Mode mMode;
    const EdgeSet& mEdges;
    std::vector<std::pair<AcDbObjectId, Vec2>> mPicks;
    std::map<AcDbObjectId, std::vector<AcDbObjectId>> mPieces;
};

std::vector<AcGePoint3d> askFence(Engine& e) {
    Ask ask(e.editor());
    std::vector<AcGePoint3d> chain;
    chain.push_back(ask.point(L"1 点目のフェンス点を指定:", {}, RSG_NONULL).point);
    for (;;) {
        Answer a =
            ask.point(L"次のフェンス点を指定 または [元に戻す(U)]:", chain.back(), 0, L"Undo");
        if (a.none()) return chain;
        if (a.keyword(L"Undo")) {
            if (chain.size() > 1) chain.pop_back();
            continue;
        }
        chain.push_back(a.point);
    }
}

void fence(Engine& e, Mode m, const EdgeSet& edges) {
    std::vector<AcGePoint3d> chain = askFence(e);
    if (chain.size() < 2) return;
    Batch batch(e, m, edges);
    for (AcDbObjectId id : fenceEntities(e, chain)) {
        std::optional<Curve> c = curveOfId(id);
        if (!c) continue;
        for (size_t i = 0; i + 1 < chain.size(); ++i) {
            geom::Segment s{xy(chain[i]), xy(chain[i + 1])};
            for (const geom::Hit& h : geom::intersect(*c, s).hits)
                batch.add(id, h.point);
        }
    }
    batch.run();
}

// The curves touched by the window between two corners, each picked at its point nearest the
// window's centre.
void crossing(Engine& e, Mode m, const EdgeSet& edges, const AcGePoint3d& first) {
    Ask ask(e.editor());
    AcGePoint3d second = ask.point(L"もう一方のコーナーを指定:", first, RSG_NONULL).point;
    Vec2 center = (xy(first) + xy(second)) * 0.5;
    Batch batch(e, m, edges);
    for (AcDbObjectId id : crossingEntities(e, first, second)) {
        std::optional<Curve> c = curveOfId(id);
        if (c) batch.add(id, geom::closest(*c, center).point);
    }
    batch.run();
}

void askEdgeMode(Engine& e) {
    Ask ask(e.editor());
    Answer a =
        ask.keyword(L"エッジ延長モードを指定 [延長(E)/延長しない(N)] <延長しない>:", L"Extend No");
    int64_t mode = a.keyword(L"Extend") ? 1 : 0;
    e.editor().vars().set(L"EDGEMODE", editor::VarValue(mode));
}

void cutCommand(Engine& e, Mode m) {
    EdgeSet edges = selectEdges(e, m);
    for (;;) {
        CurvePick pick = pickCurve(e, textsOf(m).pick, L"Fence Crossing Edge");
        switch (pick.kind) {
        case CurvePick::Enter:
            return;
        case CurvePick::Entity:
            cutOne(e, m, edges, pick.id, xy(pick.point), false);
            break;
        case CurvePick::Nothing:
            if (pick.atPoint)
                crossing(e, m, edges, pick.point);
            else
                e.editor().print(L"\nオブジェクトが見つかりません。");
            break;
        case CurvePick::Keyword:
            if (pick.keyword == L"Fence") fence(e, m, edges);
            if (pick.keyword == L"Edge") askEdgeMode(e);
            if (pick.keyword == L"Crossing") {
                Ask ask(e.editor());
                crossing(e, m, edges, ask.point(L"1 つ目のコーナーを指定:", {}, RSG_NONULL).point);
            }
            break;
        }
    }
}

void trimCommand(Engine& e) {
    cutCommand(e, Mode::Trim);
}

void extendCommand(Engine& e) {
    cutCommand(e, Mode::Extend);
}

} // namespace

void registerTrimCommands(Engine& e) {
    addHostCommand(e, L"TRIM", trimCommand);
    addHostCommand(e, L"EXTEND", extendCommand);
}

} // namespace zel::commands
