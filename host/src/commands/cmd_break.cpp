// BREAK: removes the part of a curve between two points (projected onto it). A circle loses
// the arc counter-clockwise from the first point to the second; the same point twice splits
// an open curve in two; a construction line breaks into two rays.
#include "commands/ask.h"
#include "commands/curve_entities.h"
#include "commands/hostcmds.h"
#include "commands/picks.h"
#include "geom/closest.h"
#include "geom/cutting.h"

namespace zel::commands {

namespace {

// The curve to break, picked or given by name; nullopt when the user ended the command.
std::optional<CurvePick> pickToBreak(Engine& e) {
    for (;;) {
        CurvePick pick = pickCurve(e, L"オブジェクトを選択:");
        if (pick.kind == CurvePick::Enter) return std::nullopt;
        if (pick.kind == CurvePick::Entity) return pick;
        e.editor().print(L"\nオブジェクトが見つかりません。");
    }
}

struct BreakPoints {
    AcGePoint3d first, second;
};

// The first point is where the curve was picked, unless "F" asks for it (or the curve was
// given by name, without a point).
BreakPoints askPoints(Engine& e, const CurvePick& pick) {
    Ask ask(e.editor());
    BreakPoints bp;
    if (pick.atPoint) {
        bp.first = pick.point;
        e.editor().setLastPoint(e.editor().ucs().toUcs(pick.point));
        Answer a = ask.point(L"2 点目を指定 または [1 点目(F)]:", bp.first, RSG_NONULL, L"First");
        if (!a.keyword(L"First")) {
            bp.second = a.point;
            return bp;
        }
    }
    // A curve given by name may still be followed by "F" (the token lists of the modules).
    Answer first = ask.point(L"1 点目を指定:", {}, RSG_NONULL, L"First");
    while (first.keyword(L"First"))
        first = ask.point(L"1 点目を指定:", {}, RSG_NONULL, L"First");
    bp.first = first.point;
    bp.second = ask.point(L"2 点目を指定:", bp.first, RSG_NONULL).point;
    return bp;
}

void report(Engine& e, geom::BreakError error) {
    switch (error) {
    case geom::BreakError::None:
        return;
    case geom::BreakError::ClosedAtOnePoint:
        e.editor().print(L"\n閉じたオブジェクトは 1 点で切断できません。");
        return;
    case geom::BreakError::NothingLeft:
        e.editor().print(L"\n切断するとオブジェクトが残りません。");
        return;
    }
}

void breakCommand(Engine& e) {
    std::optional<CurvePick> pick = pickToBreak(e);
    if (!pick) return;
    std::optional<geom::Curve> curve = curveOfId(pick->id);
    if (!curve) {
        e.editor().print(L"\nこのオブジェクトは切断できません。");
        return;
    }
    BreakPoints bp = askPoints(e, *pick);
    double t1 = geom::closest(*curve, {bp.first.x, bp.first.y}).param;
    double t2 = geom::closest(*curve, {bp.second.x, bp.second.y}).param;
    geom::BreakResult r = geom::breakCurve(*curve, t1, t2);
    if (r.error != geom::BreakError::None) return report(e, r.error);
    replaceByCutPieces(e, pick->id, r.pieces);
}

} // namespace

void registerBreakCommand(Engine& e) {
    addHostCommand(e, L"BREAK", breakCommand);
}

} // namespace zel::commands
