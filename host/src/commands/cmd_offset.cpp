// OFFSET: parallel copies at a distance (OFFSETDIST) on the side of a point, or through a
// point (OFFSETDIST -1), one curve after another until Enter or Exit. Copies keep the source's
// properties. Lines, rays and construction lines, arcs and circles are exact; polylines are
// offset segment by segment with their parting corners extended (OFFSETGAPTYPE 0), rounded
// about the vertex (1) or chamfered at the distance from it (2), and loops that come
// nearer the source than the distance cut out; ellipses and splines become polylines of arcs
// within the fitting tolerance. An arc or circle whose radius would vanish is refused.
#include "commands/ask.h"
#include "commands/curve_entities.h"
#include "commands/entities.h"
#include "commands/hostcmds.h"
#include "commands/picks.h"
#include "core/tolerance.h"
#include "db/database_impl.h"
#include "geom/closest.h"
#include "geom/offset.h"

namespace zel::commands {

namespace {

using geom::Curve;
using geom::Vec2;

constexpr double kThrough = -1; // OFFSETDIST when offsets go through a point

Vec2 xy(const AcGePoint3d& p) {
    return {p.x, p.y};
}

void showSettings(Engine& e) {
    e.editor().print(L"\n現在の設定: 元のオブジェクトを削除=いいえ  画層=元  OFFSETGAPTYPE=" +
                     std::to_wstring(e.editor().vars().integer(L"OFFSETGAPTYPE")));
}

// The distance, or kThrough (Enter keeps the current setting).
double askDistance(Engine& e) {
    double current = e.editor().vars().real(L"OFFSETDIST");
    std::wstring shown = current < 0 ? L"通過点" : distanceText(current);
    Answer a = Ask(e.editor())
                   .distance(L"オフセット距離を指定 または [通過点(T)] <" + shown + L">:", {},
                             RSG_NOZERO | RSG_NONEG, L"Through");
    double d = current;
    if (a.keyword(L"Through")) d = kThrough;
    if (a.ok()) d = a.real;
    e.editor().vars().set(L"OFFSETDIST", editor::VarValue(d));
    return d;
}

std::wstring refusal(const Curve& c, const std::string& why) {
    bool round = std::holds_alternative<geom::Arc>(c) || std::holds_alternative<geom::Circle>(c);
    if (round) return L"\nこの距離ではオフセットできません: 半径が 0 以下になります。";
    if (!why.empty())
        return L"\nこの距離ではオフセットできません: 曲線から距離を保つ部分が残りません。";
    return L"\nこの距離ではオフセットできません。";
}

// How the corners of polylines are closed where their offsets part (OFFSETGAPTYPE).
geom::OffsetGap gapType(Engine& e) {
    switch (e.editor().vars().integer(L"OFFSETGAPTYPE")) {
    case 1:
        return geom::OffsetGap::Fillet;
    case 2:
        return geom::OffsetGap::Chamfer;
    }
    return geom::OffsetGap::Extend;
}

// The copies of the curve at signed distance d (left of its direction of travel), appended
// with the source's properties.
void makeCopies(Engine& e, AcDbObjectId source, const Curve& c, double d) {
    std::string why;
    std::vector<Curve> pieces = geom::offsetPieces(c, d, tol::kCurveFit, &why, gapType(e));
    auto* src = db::peekAs<AcDbEntity>(source);
    if (pieces.empty() || !src) {
        e.editor().print(refusal(c, why));
        return;
    }
    for (const Curve& piece : pieces)
        appendEntity(e.database(), entityOfCurve(piece, *src));
}

// The signed distance to offset by: towards the side point, or through the point.
std::optional<double> signedDistance(const Curve& c, Vec2 p, double distance) {
    int side = geom::sideOf(c, p);
    if (side == 0) return std::nullopt;
    if (distance == kThrough) return side * geom::closest(c, p).distance;
    return side * distance;
}

// Offsets picked curves until Enter or Exit.
void offsetLoop(Engine& e, double distance) {
    Ask ask(e.editor());
    const wchar_t* pointPrompt = distance == kThrough
                                     ? L"通過点を指定 または [終了(E)] <終了>:"
                                     : L"オフセットする側の点を指定 または [終了(E)] <終了>:";
    for (;;) {
        CurvePick pick =
            pickCurve(e, L"オフセットするオブジェクトを選択 または [終了(E)] <終了>:", L"Exit");
        if (pick.kind == CurvePick::Enter || pick.kind == CurvePick::Keyword) return;
        if (pick.kind == CurvePick::Nothing) {
            e.editor().print(L"\nオブジェクトが見つかりません。");
            continue;
        }
        std::optional<Curve> c = curveOfId(pick.id);
        if (!c) {
            e.editor().print(L"\nこのオブジェクトはオフセットできません。");
            continue;
        }
        Answer a = ask.point(pointPrompt, {}, 0, L"Exit");
        if (!a.ok()) return;
        std::optional<double> d = signedDistance(*c, xy(a.point), distance);
        if (!d) {
            e.editor().print(L"\n点がオブジェクト上にあります。側を指定してください。");
            continue;
        }
        makeCopies(e, pick.id, *c, *d);
    }
}

void offsetCommand(Engine& e) {
    showSettings(e);
    offsetLoop(e, askDistance(e));
}

} // namespace

void registerOffsetCommand(Engine& e) {
    addHostCommand(e, L"OFFSET", offsetCommand);
}

} // namespace zel::commands
