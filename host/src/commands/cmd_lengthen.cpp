// LENGTHEN: changes the length of lines, arcs, open polylines, elliptical arcs and open
// splines at the end nearer the pick, by a delta (length or, for arcs, angle), a percentage,
// to a total (length or arc angle), or dynamically to a new end point. Splines grow straight
// along their end tangent and shorten along themselves. The mode and its value are kept between
// runs, as the user left them.
#include "commands/ask.h"
#include "commands/curve_entities.h"
#include "commands/hostcmds.h"
#include "commands/picks.h"
#include "geom/closest.h"
#include "geom/cutting.h"

#include <memory>

namespace zel::commands {

namespace {

using geom::Curve;

enum class How { Delta, DeltaAngle, Percent, Total, TotalAngle, Dynamic };

struct Setting {
    How how = How::Delta;
    double value = 0;
};

void showLength(Engine& e, AcDbObjectId id) {
    std::optional<Curve> c = curveOfId(id);
    if (!c) {
        e.editor().print(L"\nこのオブジェクトは長さを変更できません。");
        return;
    }
    std::wstring text = L"\n現在の長さ: " + distanceText(geom::length(*c));
    if (auto* a = std::get_if<geom::Arc>(&*c)) text += L", 中心角: " + angleText(a->end - a->start);
    e.editor().print(text);
}

void askDelta(Ask& ask, Setting& s) {
    double shown = s.how == How::Delta ? s.value : 0;
    Answer a = ask.distance(L"増分の長さを入力 または [角度(A)] <" + distanceText(shown) + L">:",
                            {}, 0, L"Angle");
    if (a.keyword(L"Angle")) {
        Answer g = ask.angle(L"増分の角度を入力 <0>:");
        s = {How::DeltaAngle, g.none() ? 0.0 : g.real};
        return;
    }
    s = {How::Delta, a.none() ? shown : a.real};
}

void askPercent(Ask& ask, Setting& s) {
    double shown = s.how == How::Percent ? s.value : 100;
    Answer a =
        ask.real(L"パーセントを入力 <" + distanceText(shown) + L">:", RSG_NOZERO | RSG_NONEG);
    s = {How::Percent, a.none() ? shown : a.real};
}

void askTotal(Ask& ask, Setting& s) {
    double shown = s.how == How::Total ? s.value : 1;
    Answer a = ask.distance(L"全体の長さを指定 または [角度(A)] <" + distanceText(shown) + L">:",
                            {}, RSG_NOZERO | RSG_NONEG, L"Angle");
    if (a.keyword(L"Angle")) {
        Answer g = ask.angle(L"全体の角度を指定:", {}, RSG_NONULL | RSG_NOZERO);
        s = {How::TotalAngle, g.real};
        return;
    }
    s = {How::Total, a.none() ? shown : a.real};
}

// The change of length the setting asks of the curve; nullopt when it does not apply (angles
// on a curve that is not an arc).
std::optional<double> deltaFor(Engine& e, const Setting& s, const Curve& c, bool atStart) {
    double length = geom::length(c);
    auto* arc = std::get_if<geom::Arc>(&c);
    switch (s.how) {
    case How::Delta:
        return s.value;
    case How::DeltaAngle:
        if (!arc) return std::nullopt;
        return s.value * arc->radius;
    case How::Percent:
        return length * (s.value / 100 - 1);
    case How::Total:
        return s.value - length;
    case How::TotalAngle:
        if (!arc) return std::nullopt;
        return (s.value - (arc->end - arc->start)) * arc->radius;
    case How::Dynamic: {
        geom::Vec2 end = atStart ? geom::startPoint(c) : geom::endPoint(c);
        Answer p = Ask(e.editor())
                       .dragging()
                       .point(L"新しい端点を指定:", geom::toPoint3d(end), RSG_NONULL);
        return geom::deltaToPoint(c, atStart, {p.point.x, p.point.y});
    }
    }
    return std::nullopt;
}

void lengthenOne(Engine& e, const Setting& s, const CurvePick& pick) {
    std::optional<Curve> c = curveOfId(pick.id);
    if (!c || geom::isPeriodicCurve(*c) || !geom::domain(*c).isFinite()) { // closed or unbounded
        e.editor().print(L"\nこのオブジェクトは長さを変更できません。");
        return;
    }
    double t = geom::closest(*c, {pick.point.x, pick.point.y}).param;
    bool atStart = geom::nearerStart(*c, t);
    std::optional<double> delta = deltaFor(e, s, *c, atStart);
    std::optional<Curve> changed;
    if (delta) changed = geom::lengthenEnd(*c, atStart, *delta);
    if (!changed) {
        e.editor().print(L"\nこのオブジェクトはこの長さに変更できません。");
        return;
    }
    replaceByCutPieces(e, pick.id, {*changed});
}

void changeLoop(Engine& e, const Setting& s) {
    while (std::optional<CurvePick> pick = pickEntityCurve(e, L"変更するオブジェクトを選択:"))
        lengthenOne(e, s, *pick);
}

void lengthenCommand(Engine& e, Setting& s) {
    Ask ask(e.editor());
    for (;;) {
        CurvePick pick =
            pickCurve(e, L"オブジェクトを選択 または [増分(DE)/パーセント(P)/合計(T)/動的(DY)]:",
                      L"DElta Percent Total DYnamic");
        switch (pick.kind) {
        case CurvePick::Enter:
            return;
        case CurvePick::Entity:
            showLength(e, pick.id);
            continue;
        case CurvePick::Nothing:
            e.editor().print(L"\nオブジェクトが見つかりません。");
            continue;
        case CurvePick::Keyword:
            if (pick.keyword == L"DElta") askDelta(ask, s);
            if (pick.keyword == L"Percent") askPercent(ask, s);
            if (pick.keyword == L"Total") askTotal(ask, s);
            if (pick.keyword == L"DYnamic") s = {How::Dynamic, 0};
            return changeLoop(e, s);
        }
    }
}

} // namespace

// Registered as addHostCommand does, with the mode and value the user last left kept by the
// engine's command for the next run (each session keeps its own).
void registerLengthenCommand(Engine& e) {
    editor::CommandDef def;
    def.group = L"ACAD";
    def.global = L"LENGTHEN";
    def.builtin = true;
    def.run = [&e, last = std::make_shared<Setting>()] { lengthenCommand(e, *last); };
    e.editor().commands().add(std::move(def));
}

} // namespace zel::commands
