// FILLET: rounds the corner between two curves with an arc of FILLETRAD (options Radius and
// Trim first), trimming or extending both to the arc when TRIMMODE is not 0. Radius 0 makes
// a sharp corner; parallel lines get a half circle; two segments of one polyline take the arc
// in as a segment. A radius that cannot fit changes nothing and says so.
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

// The first curve, after any options; nullopt when the user ends the command.
std::optional<CornerCurve> pickFirst(Engine& e) {
    for (;;) {
        CurvePick pick =
            pickCurve(e, L"最初のオブジェクトを選択 または [半径(R)/トリム(T)]:", L"Radius Trim");
        switch (pick.kind) {
        case CurvePick::Enter:
            return std::nullopt;
        case CurvePick::Keyword:
            if (pick.keyword == L"Radius") askRadius(e);
            if (pick.keyword == L"Trim") askTrim(e);
            continue;
        case CurvePick::Nothing:
            e.editor().print(L"\nオブジェクトが見つかりません。");
            continue;
        case CurvePick::Entity:
            if (auto c = cornerCurveOf(e, pick)) return c;
            continue;
        }
    }
}

std::optional<CornerCurve> pickSecond(Engine& e) {
    for (;;) {
        CurvePick pick = pickCurve(e, L"2 つ目のオブジェクトを選択:");
        if (pick.kind == CurvePick::Enter) return std::nullopt;
        if (pick.kind != CurvePick::Entity) {
            e.editor().print(L"\nオブジェクトが見つかりません。");
            continue;
        }
        if (auto c = cornerCurveOf(e, pick)) return c;
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

void filletCommand(Engine& e) {
    showSettings(e);
    std::optional<CornerCurve> a = pickFirst(e);
    if (!a) return;
    std::optional<CornerCurve> b = pickSecond(e);
    if (!b) return;
    finishCorner(e, *a, *b, kMessages,
                 [&] { return geom::fillet(a->curve, a->pick, b->curve, b->pick, radius(e)); });
}

} // namespace

void registerFilletCommand(Engine& e) {
    addHostCommand(e, L"FILLET", filletCommand);
}

} // namespace zel::commands
