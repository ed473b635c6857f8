// AREA: the area and perimeter of picked points (a closed polygon) or of an object (a curve
// taken as closed by a straight line from its end to its start; an open curve's length is
// its perimeter; a region's area less its holes, its perimeter that of all its loops). Sets
// AREA and PERIMETER and prints them.
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

void report(Engine& e, double area, double perimeter, bool closed) {
    e.editor().vars().setInternal(L"AREA", editor::VarValue(area));
    e.editor().vars().setInternal(L"PERIMETER", editor::VarValue(perimeter));
    e.editor().print(L"\n面積 = " + distanceText(area) + (closed ? L", 周長 = " : L", 長さ = ") +
                     distanceText(perimeter));
}

void objectArea(Engine& e) {
    for (;;) {
        CurvePick pick = pickCurve(e, L"オブジェクトを選択:");
        if (pick.kind == CurvePick::Enter) return;
        if (pick.kind != CurvePick::Entity) {
            e.editor().print(L"\nオブジェクトが見つかりません。");
            continue;
        }
        if (auto* region = db::peekAs<AcDbRegion>(pick.id)) {
            double area = 0, perimeter = 0;
            if (region->getArea(area) == Acad::eOk &&
                region->getPerimeter(perimeter) == Acad::eOk) {
                report(e, area, perimeter, true);
                return;
            }
            e.editor().print(L"\n選択したリージョンの形状を読み取れません。");
            continue;
        }
        std::optional<geom::Curve> c = curveOfId(pick.id);
        std::optional<double> area = c ? geom::enclosedArea(*c) : std::nullopt;
        if (!area) {
            e.editor().print(L"\n選択したオブジェクトには面積がありません。");
            continue;
        }
        bool closed = geom::isClosed(*c);
        report(e, *area, *geom::perimeter(*c, false), closed);
        return;
    }
}

void pointsArea(Engine& e, Vec2 first) {
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
    report(e, geom::polygonArea(points), geom::polygonPerimeter(points), true);
}

void areaCommand(Engine& e) {
    Answer a =
        Ask(e.editor())
            .point(L"最初の点を指定 または [オブジェクト(O)] <オブジェクト(O)>:", {}, 0, L"Object");
    if (a.ok()) return pointsArea(e, {a.point.x, a.point.y});
    objectArea(e);
}

} // namespace

void registerAreaCommand(Engine& e) {
    addHostCommand(e, L"AREA", areaCommand);
}

} // namespace zel::commands
