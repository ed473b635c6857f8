// AREA: the area and perimeter of picked points (a closed polygon) or of an object (a curve
// taken as closed by a straight line from its end to its start; an open curve's length is
// its perimeter; a region's area less its holes, its perimeter that of all its loops). Sets
// AREA and PERIMETER and prints them. Add and Subtract keep a running total of several
// areas (a plate less its holes).
#include "arx/dbregion.h"
#include "commands/ask.h"
#include "commands/curve_entities.h"
#include "commands/hostcmds.h"
#include "commands/picks.h"
#include "db/database_impl.h"
#include "geom/area.h"

namespace zel::commands {

namespace {

using geom::Vec2;

// What one measurement found.
struct Measure {
    double area = 0;
    double perimeter = 0;
    bool closed = true; // an open curve's perimeter is its length
};

void setResult(Engine& e, double area, double perimeter) {
    e.editor().vars().setInternal(L"AREA", editor::VarValue(area));
    e.editor().vars().setInternal(L"PERIMETER", editor::VarValue(perimeter));
}

void print(Engine& e, const Measure& m) {
    e.editor().print(L"\n面積 = " + distanceText(m.area) +
                     (m.closed ? L", 周長 = " : L", 長さ = ") + distanceText(m.perimeter));
}

// The area of an object the user picks; nullopt on Enter.
std::optional<Measure> measureObject(Engine& e, std::wstring_view prompt) {
    while (std::optional<CurvePick> pick = pickEntityCurve(e, prompt)) {
        if (auto* region = db::peekAs<AcDbRegion>(pick->id)) {
            Measure m;
            if (region->getArea(m.area) == Acad::eOk &&
                region->getPerimeter(m.perimeter) == Acad::eOk)
                return m;
            e.editor().print(L"\n選択したリージョンの形状を読み取れません。");
            continue;
        }
        std::optional<geom::Curve> c = curveOfId(pick->id);
        std::optional<double> area = c ? geom::enclosedArea(*c) : std::nullopt;
        if (!area) {
            e.editor().print(L"\n選択したオブジェクトには面積がありません。");
            continue;
        }
        return Measure{*area, *geom::perimeter(*c, false), geom::isClosed(*c)};
    }
    return std::nullopt;
}

// The polygon of points picked after `first`, until Enter.
Measure measurePoints(Engine& e, Vec2 first) {
    Ask ask(e.editor());
    std::vector<Vec2> points{first};
    for (;;) {
        Answer a = ask.point(L"次の点を指定 または [元に戻す(U)] <合計>:",
                             geom::toPoint3d(points.back()), 0, L"Undo");
        if (a.keyword(L"Undo")) {
            if (points.size() > 1) points.pop_back();
            continue;
        }
        if (!a.ok()) break;
        points.push_back({a.point.x, a.point.y});
    }
    return {geom::polygonArea(points), geom::polygonPerimeter(points), true};
}

// Add and Subtract: each area measured is added to or taken from a running total, until Enter
// at the first prompt; AREA is the total, PERIMETER the last perimeter measured.
class RunningTotal {
public:
    explicit RunningTotal(Engine& e, bool adding) : mE(e), mAdding(adding) {}

    void run() {
        for (;;) {
            Answer a = Ask(mE.editor())
                           .point(tag() + L"最初の点を指定 または [オブジェクト(O)/" +
                                      (mAdding ? L"減算(S)" : L"加算(A)") + L"]:",
                                  {}, 0, L"Object Add Subtract");
            if (a.keyword(L"Add") || a.keyword(L"Subtract")) {
                mAdding = a.keyword(L"Add");
                continue;
            }
            if (a.keyword(L"Object")) {
                while (std::optional<Measure> m = measureObject(mE, tag() + L"オブジェクトを選択:"))
                    take(*m);
                continue;
            }
            if (!a.ok()) break;
            take(measurePoints(mE, {a.point.x, a.point.y}));
        }
        setResult(mE, mTotal, mLastPerimeter);
    }

private:
    std::wstring tag() const { return mAdding ? L"(加算モード) " : L"(減算モード) "; }

    void take(const Measure& m) {
        mTotal += mAdding ? m.area : -m.area;
        mLastPerimeter = m.perimeter;
        print(mE, m);
        mE.editor().print(L"\n合計面積 = " + distanceText(mTotal));
        setResult(mE, mTotal, mLastPerimeter);
    }

    Engine& mE;
    bool mAdding;
    double mTotal = 0;
    double mLastPerimeter = 0;
};

void areaCommand(Engine& e) {
    Answer a = Ask(e.editor())
                   .point(L"最初の点を指定 または [オブジェクト(O)/加算(A)/減算(S)] "
                          L"<オブジェクト(O)>:",
                          {}, 0, L"Object Add Subtract");
    if (a.keyword(L"Add") || a.keyword(L"Subtract")) {
        RunningTotal(e, a.keyword(L"Add")).run();
        return;
    }
    std::optional<Measure> m = a.ok() ? std::optional(measurePoints(e, {a.point.x, a.point.y}))
                                      : measureObject(e, L"オブジェクトを選択:");
    if (!m) return;
    setResult(e, m->area, m->perimeter);
    print(e, *m);
}

} // namespace

void registerAreaCommand(Engine& e) {
    addHostCommand(e, L"AREA", areaCommand);
}

} // namespace zel::commands
