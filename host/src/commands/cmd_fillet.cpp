// FILLET: rounds the corner between two curves with an arc of FILLETRAD (options Radius and
// Trim first), trimming or extending both to the arc when TRIMMODE is not 0. Radius 0 makes
// a sharp corner; parallel lines get a half circle; two segments of one polyline take the arc
// in as a segment. A radius that cannot fit changes nothing and says so. Polyline rounds every
// corner of a polyline; Multiple repeats until Enter.
#include "commands/ask.h"
#include "commands/corner_picks.h"
#include "commands/hostcmds.h"

namespace zel::commands {

namespace {

double radius(Engine& e) {
    return e.editor().vars().real(L"FILLETRAD");
}

void showSettings(Engine& e) {
    e.editor().print(std::wstring(L"\n現在の設定: モード = ") +
                     (trimming(e) ? L"トリム" : L"非トリム") + L", 半径 = " +
                     distanceText(radius(e)));
}

void askRadius(Engine& e) {
    Answer a =
        Ask(e.editor())
            .distance(L"フィレット半径を指定 <" + distanceText(radius(e)) + L">:", {}, RSG_NONEG);
    if (a.ok()) e.editor().vars().set(L"FILLETRAD", editor::VarValue(a.real));
}

// The Polyline option: every vertex between straight segments rounded with FILLETRAD.
void polylineFillet(Engine& e) {
    double r = radius(e);
    cornersOfPickedPolyline(
        e,
        [r](const geom::Curve& a, geom::Vec2 p1, const geom::Curve& b, geom::Vec2 p2) {
            return geom::fillet(a, p1, b, p2, r);
        },
        L"フィレット");
}

// What the first prompt gave: a curve, the polyline option done, or the end of the command.
struct FirstPick {
    std::optional<CornerCurve> curve;
    bool polylineDone = false;
};

constexpr std::wstring_view kFirstPrompt =
    L"最初のオブジェクトを選択 または [ポリライン(P)/半径(R)/トリム(T)/複数(M)]:";

// The first curve, after any options; no curve when the user ends the command.
FirstPick pickFirst(Engine& e, bool& multiple) {
    for (;;) {
        CurvePick pick = pickCurve(e, kFirstPrompt, L"Polyline Radius Trim Multiple");
        switch (pick.kind) {
        case CurvePick::Enter:
            return {};
        case CurvePick::Keyword:
            if (pick.keyword == L"Radius") askRadius(e);
            if (pick.keyword == L"Trim") askTrim(e);
            if (pick.keyword == L"Multiple") multiple = true;
            if (pick.keyword == L"Polyline") {
                polylineFillet(e);
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
    L"\n同じオブジェクトどうしはフィレットできません。",
    L"\n線分、円弧、円、ポリラインのセグメント以外はフィレットできません。",
    L"\n半径 が大きすぎます",
    L"\n同じ線上にある線分はフィレットできません。",
    L"\nこれらのオブジェクトはフィレットできません。",
    L"\nこれらのセグメントはフィレットできません。",
};

// One fillet (or the polyline option); false when the user ends the command.
bool filletOnce(Engine& e, bool& multiple) {
    FirstPick first = pickFirst(e, multiple);
    if (first.polylineDone) return true;
    if (!first.curve) return false;
    std::optional<CornerCurve> b = pickSecondCorner(e, L"2 つ目のオブジェクトを選択:");
    if (!b) return false;
    const CornerCurve& a = *first.curve;
    finishCorner(e, a, *b, kMessages,
                 [&] { return geom::fillet(a.curve, a.pick, b->curve, b->pick, radius(e)); });
    return true;
}

// Repeats with the Multiple option until Enter; otherwise one fillet.
void filletCommand(Engine& e) {
    showSettings(e);
    bool multiple = false;
    while (filletOnce(e, multiple) && multiple) {
    }
}

} // namespace

void registerFilletCommand(Engine& e) {
    addHostCommand(e, L"FILLET", filletCommand);
}

} // namespace zel::commands
