// CHAMFER: cuts the corner between two lines (lines, rays, construction lines, straight
// segments of polylines) with a line from CHAMFERA along the first to CHAMFERB along the
// second, measured from the corner towards the picks (options Distance and Trim first). Both
// distances 0 make a sharp corner. A distance the line has no room for changes nothing and
// says so; so do parallel lines. Angle gives a length along the first line and the chamfer's
// angle from it instead (CHAMMODE 1; mEthod switches); Polyline chamfers every corner of a
// polyline; Multiple repeats until Enter.
#include "commands/ask.h"
#include "commands/corner_picks.h"
#include "commands/hostcmds.h"

namespace zel::commands {

namespace {

bool byAngle(Engine& e) {
    return e.editor().vars().integer(L"CHAMMODE") != 0;
}

void showSettings(Engine& e) {
    editor::SysVars& v = e.editor().vars();
    std::wstring mode =
        std::wstring(L"\n(") + (trimming(e) ? L"トリム" : L"非トリム") + L" モード) ";
    if (byAngle(e)) {
        e.editor().print(mode + L"現在の面取り長さ = " + distanceText(v.real(L"CHAMFERC")) +
                         L", 角度 = " + angleText(v.real(L"CHAMFERD")));
        return;
    }
    e.editor().print(mode + L"現在の面取り距離1 = " + distanceText(v.real(L"CHAMFERA")) +
                     L", 距離2 = " + distanceText(v.real(L"CHAMFERB")));
}

void askDistances(Engine& e) {
    editor::SysVars& v = e.editor().vars();
    Ask ask(e.editor());
    Answer a = ask.distance(
        L"1 本目の面取り距離を指定 <" + distanceText(v.real(L"CHAMFERA")) + L">:", {}, RSG_NONEG);
    if (a.ok()) v.set(L"CHAMFERA", editor::VarValue(a.real));
    double first = v.real(L"CHAMFERA");
    Answer b =
        ask.distance(L"2 本目の面取り距離を指定 <" + distanceText(first) + L">:", {}, RSG_NONEG);
    v.set(L"CHAMFERB", editor::VarValue(b.ok() ? b.real : first));
    v.set(L"CHAMMODE", editor::VarValue(int64_t(0)));
}

// The Angle option: a length along the first line and the angle of the chamfer from it.
void askLengthAndAngle(Engine& e) {
    editor::SysVars& v = e.editor().vars();
    Ask ask(e.editor());
    Answer a =
        ask.distance(L"1 本目の線の面取り長さを指定 <" + distanceText(v.real(L"CHAMFERC")) + L">:",
                     {}, RSG_NONEG);
    if (a.ok()) v.set(L"CHAMFERC", editor::VarValue(a.real));
    Answer b =
        ask.angle(L"1 本目の線からの面取り角度を指定 <" + angleText(v.real(L"CHAMFERD")) + L">:");
    if (b.ok()) v.set(L"CHAMFERD", editor::VarValue(b.real));
    v.set(L"CHAMMODE", editor::VarValue(int64_t(1)));
}

void askMethod(Engine& e) {
    Answer a = Ask(e.editor())
                   .keyword(std::wstring(L"トリム方法を入力 [距離(D)/角度(A)] <") +
                                (byAngle(e) ? L"角度" : L"距離") + L">:",
                            L"Distance Angle");
    if (a.none()) return;
    e.editor().vars().set(L"CHAMMODE", editor::VarValue(int64_t(a.keyword(L"Angle") ? 1 : 0)));
}

// The chamfer of two lines by the current method.
geom::Corner chamferOf(Engine& e, const geom::Curve& a, geom::Vec2 p1, const geom::Curve& b,
                       geom::Vec2 p2) {
    editor::SysVars& v = e.editor().vars();
    if (byAngle(e))
        return geom::chamferByAngle(a, p1, b, p2, v.real(L"CHAMFERC"), v.real(L"CHAMFERD"));
    return geom::chamfer(a, p1, b, p2, v.real(L"CHAMFERA"), v.real(L"CHAMFERB"));
}

void polylineChamfer(Engine& e) {
    cornersOfPickedPolyline(
        e,
        [&e](const geom::Curve& a, geom::Vec2 p1, const geom::Curve& b, geom::Vec2 p2) {
            return chamferOf(e, a, p1, b, p2);
        },
        L"面取り");
}

// What the first prompt gave: a line, the polyline option done, or the end of the command.
struct FirstPick {
    std::optional<CornerCurve> line;
    bool polylineDone = false;
};

constexpr std::wstring_view kFirstPrompt =
    L"1 本目の線を選択 または "
    L"[ポリライン(P)/距離(D)/角度(A)/トリム(T)/方法(E)/複数(M)]:";

FirstPick pickFirst(Engine& e, bool& multiple) {
    for (;;) {
        CurvePick pick =
            pickCurve(e, kFirstPrompt, L"Polyline Distance Angle Trim mEthod Multiple");
        switch (pick.kind) {
        case CurvePick::Enter:
            return {};
        case CurvePick::Keyword:
            if (pick.keyword == L"Distance") askDistances(e);
            if (pick.keyword == L"Angle") askLengthAndAngle(e);
            if (pick.keyword == L"Trim") askTrim(e);
            if (pick.keyword == L"mEthod") askMethod(e);
            if (pick.keyword == L"Multiple") multiple = true;
            if (pick.keyword == L"Polyline") {
                polylineChamfer(e);
                return {std::nullopt, true};
            }
            continue;
        case CurvePick::Nothing:
            e.editor().print(L"\nオブジェクトが見つかりません。");
            continue;
        case CurvePick::Entity:
            if (auto c = cornerCurveOf(e, pick)) return {c, false};
            continue;
        }
    }
}

constexpr CornerMessages kMessages{
    L"\n同じオブジェクトどうしは面取りできません。",
    L"\n線分、放射線、構築線、ポリラインの線分セグメント以外は面取りできません。",
    L"\n距離 が大きすぎます",
    L"\n線分が平行です。面取りできません。",
    L"\nこれらのオブジェクトは面取りできません。",
    L"\nこれらのセグメントは面取りできません。",
};

// One chamfer (or the polyline option); false when the user ends the command.
bool chamferOnce(Engine& e, bool& multiple) {
    FirstPick first = pickFirst(e, multiple);
    if (first.polylineDone) return true;
    if (!first.line) return false;
    std::optional<CornerCurve> b = pickSecondCorner(e, L"2 本目の線を選択:");
    if (!b) return false;
    const CornerCurve& a = *first.line;
    finishCorner(e, a, *b, kMessages,
                 [&] { return chamferOf(e, a.curve, a.pick, b->curve, b->pick); });
    return true;
}

void chamferCommand(Engine& e) {
    showSettings(e);
    bool multiple = false;
    while (chamferOnce(e, multiple) && multiple) {
    }
}

} // namespace

void registerChamferCommand(Engine& e) {
    addHostCommand(e, L"CHAMFER", chamferCommand);
}

} // namespace zel::commands
