#include "commands/corner_picks.h"

#include "commands/ask.h"
#include "commands/curve_entities.h"
#include "commands/entities.h"
#include "geom/bulge.h"
#include "geom/closest.h"

namespace zel::commands {

namespace {

using geom::Curve;
using geom::Vec2;

// Where a curve given by name alone is taken as picked: its middle.
Vec2 middleOf(const Curve& c) {
    geom::Interval d = geom::domain(c);
    if (!d.isFinite()) return geom::startPoint(c);
    return geom::pointAt(c, d.lo + d.span() / 2);
}

std::unique_ptr<AcDbEntity> jointEntity(const Curve& joint) {
    if (auto* a = std::get_if<geom::Arc>(&joint))
        return std::make_unique<AcDbArc>(geom::toPoint3d(a->center), a->radius, a->start, a->end);
    auto& s = std::get<geom::Segment>(joint);
    return std::make_unique<AcDbLine>(geom::toPoint3d(s.start), geom::toPoint3d(s.end));
}

// One curve of the corner trimmed or extended in the drawing.
void applySide(Engine& e, const CornerCurve& c, const geom::CornerSide& side) {
    if (side.whole) return;
    if (!c.polyline) {
        replaceByPieces(e, c.id, {side.curve});
        return;
    }
    if (c.polyline->closed) return; // a closed polyline is kept whole, as circles are
    replaceByPieces(e, c.id, {geom::polylineWithSide(*c.polyline, c.segment, side)});
}

} // namespace

std::optional<CornerCurve> cornerCurveOf(Engine& e, const CurvePick& pick) {
    std::optional<Curve> curve = curveOfId(pick.id);
    if (!curve) {
        e.editor().print(L"\nこのオブジェクトは選択できません。");
        return std::nullopt;
    }
    CornerCurve out{pick.id, pick.atPoint ? Vec2{pick.point.x, pick.point.y} : middleOf(*curve),
                    *curve, std::nullopt, -1};
    if (auto* pl = std::get_if<geom::Polyline>(&*curve)) {
        double t = geom::closest(*pl, out.pick).param;
        out.segment = geom::locate(*pl, t).first;
        out.curve = geom::curveOf(geom::segmentOf(*pl, out.segment));
        out.polyline = *pl;
    }
    return out;
}

std::optional<CornerCurve> pickSecondCorner(Engine& e, std::wstring_view prompt) {
    while (std::optional<CurvePick> pick = pickEntityCurve(e, prompt)) {
        if (auto c = cornerCurveOf(e, *pick)) return c;
    }
    return std::nullopt;
}

bool applyCorner(Engine& e, const CornerCurve& a, const CornerCurve& b, const geom::Corner& c,
                 bool trim) {
    if (samePolyline(a, b)) {
        auto joined = geom::polylineWithCorner(*a.polyline, a.segment, b.segment, c);
        if (!joined) return false;
        replaceByPieces(e, a.id, {*joined});
        return true;
    }
    if (trim) {
        applySide(e, a, c.first);
        applySide(e, b, c.second);
    }
    if (c.joint) appendEntity(e.database(), jointEntity(*c.joint));
    return true;
}

bool trimming(Engine& e) {
    return e.editor().vars().integer(L"TRIMMODE") != 0;
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

namespace {

const wchar_t* messageOf(geom::CornerError error, const CornerMessages& m) {
    switch (error) {
    case geom::CornerError::None:
        return L"";
    case geom::CornerError::NotSupported:
        return m.notSupported;
    case geom::CornerError::RadiusTooLarge:
    case geom::CornerError::DistanceTooLarge:
        return m.tooLarge;
    case geom::CornerError::Parallel:
        return m.parallel;
    case geom::CornerError::NoCorner:
        return m.noCorner;
    }
    return L"";
}

} // namespace

bool finishCorner(Engine& e, const CornerCurve& a, const CornerCurve& b, const CornerMessages& m,
                  const std::function<geom::Corner()>& make) {
    bool sameCurve = a.id == b.id && (!samePolyline(a, b) || a.segment == b.segment);
    if (sameCurve) {
        e.editor().print(m.sameObject);
        return false;
    }
    geom::Corner c = make();
    if (c.error != geom::CornerError::None) {
        e.editor().print(messageOf(c.error, m));
        return false;
    }
    if (applyCorner(e, a, b, c, trimming(e))) return true;
    e.editor().print(m.segments);
    return false;
}

void cornersOfPickedPolyline(Engine& e, const geom::SegmentCorner& corner, std::wstring_view done) {
    while (std::optional<CurvePick> pick = pickEntityCurve(e, L"2D ポリラインを選択:")) {
        std::optional<Curve> curve = curveOfId(pick->id);
        auto* pl = curve ? std::get_if<geom::Polyline>(&*curve) : nullptr;
        if (!pl) {
            e.editor().print(L"\n選択したオブジェクトは 2D ポリラインではありません。");
            continue;
        }
        geom::PolylineCorners made = geom::cornersOfPolyline(*pl, corner);
        if (made.made > 0) replaceByPieces(e, pick->id, {made.polyline});
        e.editor().print(L"\n" + std::to_wstring(made.made) + L" 本の線分が" + std::wstring(done) +
                         L"されました。");
        if (made.tooShort > 0)
            e.editor().print(L"\n" + std::to_wstring(made.tooShort) + L" 本は短すぎます。");
        return;
    }
}

} // namespace zel::commands
