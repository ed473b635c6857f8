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

bool trimming(Engine& e) {
    return e.editor().vars().integer(L"TRIMMODE") != 0;
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

void askTrim(Engine& e) {
    Answer a =
        Ask(e.editor())
            .keyword(
                std::wstring(L"トリム モードのオプションを入力 [トリムする(T)/トリムしない(N)] <") +
                    (trimming(e) ? L"トリムする" : L"トリムしない") + L">:",
                L"Trim No");
    if (a.none()) return;
    e.editor().vars().set(L"TRIMMODE", editor::VarValue(int64_t(a.keyword(L"Trim") ? 1 : 0)));
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

const wchar_t* messageOf(geom::CornerError error) {
    switch (error) {
    case geom::CornerError::None:
        return L"";
    case geom::CornerError::NotSupported:
        return L"\n線分、円弧、円、ポリラインのセグメント以外はフィレットできません。";
    case geom::CornerError::RadiusTooLarge:
    case geom::CornerError::DistanceTooLarge:
        return L"\n半径 が大きすぎます";
    case geom::CornerError::Parallel:
        return L"\n同じ線上にある線分はフィレットできません。";
    case geom::CornerError::NoCorner:
        return L"\nこれらのオブジェクトはフィレットできません。";
    }
    return L"";
}

void filletCommand(Engine& e) {
    showSettings(e);
    std::optional<CornerCurve> a = pickFirst(e);
    if (!a) return;
    std::optional<CornerCurve> b = pickSecond(e);
    if (!b) return;
    bool sameCurve = a->id == b->id && (!samePolyline(*a, *b) || a->segment == b->segment);
    if (sameCurve) {
        e.editor().print(L"\n同じオブジェクトどうしはフィレットできません。");
        return;
    }
    geom::Corner c = geom::fillet(a->curve, a->pick, b->curve, b->pick, radius(e));
    if (c.error != geom::CornerError::None) {
        e.editor().print(messageOf(c.error));
        return;
    }
    if (!applyCorner(e, *a, *b, c, trimming(e)))
        e.editor().print(L"\nこれらのセグメントはフィレットできません。");
}

} // namespace

void registerFilletCommand(Engine& e) {
    addHostCommand(e, L"FILLET", filletCommand);
}

} // namespace zel::commands
