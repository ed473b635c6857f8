// CHAMFER: cuts the corner between two lines (lines, rays, construction lines, straight
// segments of polylines) with a line from CHAMFERA along the first to CHAMFERB along the
// second, measured from the corner towards the picks (options Distance and Trim first). Both
// distances 0 make a sharp corner. A distance the line has no room for changes nothing and
// says so; so do parallel lines.
#include "commands/ask.h"
#include "commands/corner_picks.h"
#include "commands/hostcmds.h"

namespace zel::commands {

namespace {

void showSettings(Engine& e) {
    editor::SysVars& v = e.editor().vars();
    e.editor().print(std::wstring(L"\n(") + (trimming(e) ? L"トリム" : L"非トリム") +
                     L" モード) 現在の面取り距離1 = " + distanceText(v.real(L"CHAMFERA")) +
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
}

std::optional<CornerCurve> pickLine(Engine& e, std::wstring_view prompt,
                                    std::wstring_view keywords) {
    for (;;) {
        CurvePick pick = pickCurve(e, prompt, keywords);
        switch (pick.kind) {
        case CurvePick::Enter:
            return std::nullopt;
        case CurvePick::Keyword:
            if (pick.keyword == L"Distance") askDistances(e);
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

constexpr CornerMessages kMessages{
    L"\n同じオブジェクトどうしは面取りできません。",
    L"\n線分、放射線、構築線、ポリラインの線分セグメント以外は面取りできません。",
    L"\n距離 が大きすぎます",
    L"\n線分が平行です。面取りできません。",
    L"\nこれらのオブジェクトは面取りできません。",
    L"\nこれらのセグメントは面取りできません。",
};

void chamferCommand(Engine& e) {
    showSettings(e);
    std::optional<CornerCurve> a =
        pickLine(e, L"1 本目の線を選択 または [距離(D)/トリム(T)]:", L"Distance Trim");
    if (!a) return;
    std::optional<CornerCurve> b = pickLine(e, L"2 本目の線を選択:", {});
    if (!b) return;
    finishCorner(e, *a, *b, kMessages, [&] {
        editor::SysVars& v = e.editor().vars();
        return geom::chamfer(a->curve, a->pick, b->curve, b->pick, v.real(L"CHAMFERA"),
                             v.real(L"CHAMFERB"));
    });
}

} // namespace

void registerChamferCommand(Engine& e) {
    addHostCommand(e, L"CHAMFER", chamferCommand);
}

} // namespace zel::commands
