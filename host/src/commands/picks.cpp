#include "commands/picks.h"

#include "commands/ask.h"
#include "db/database_impl.h"
#include "editor/selection_query.h"
#include "editor/selection_state.h"

namespace zel::commands {

namespace {

const int64_t kErrnoNothingPicked = 7; // ERRNO after a pick on nothing

geom::Vec2 xy(const AcGePoint3d& p) {
    return {p.x, p.y};
}

CurvePick fromToken(Engine& e, std::wstring_view prompt, const editor::SelectionToken& t) {
    editor::Editor& ed = e.editor();
    ed.transcript().prompt(L"\n" + std::wstring(prompt));
    CurvePick out;
    for (AcDbObjectId id : t.ids) {
        if (id.isErased()) continue;
        out.kind = CurvePick::Entity;
        out.id = id;
        break;
    }
    ed.transcript().input(L"<エンティティ名: " + (out.id.isNull() ? L"0" : out.id.handle().text()) +
                          L">");
    out.atPoint = t.kind == editor::SelectionToken::EntityAtPoint;
    if (out.id.isNull()) out.kind = CurvePick::Nothing, out.atPoint = false;
    out.point = ed.ucs().toWorld(t.point);
    return out;
}

editor::SelectionQuery query(Engine& e) {
    AcDbDatabase& db = e.database();
    return editor::SelectionQuery(db, &e.editor().selection().index(db));
}

// Entities on locked layers cannot be changed: they are left out with a message.
editor::EntityIds unlocked(Engine& e, editor::SelectionQuery& q, const editor::EntityIds& ids) {
    editor::EntityIds out;
    int locked = 0;
    for (AcDbObjectId id : ids) {
        auto* ent = db::peekAs<AcDbEntity>(id);
        if (ent && q.locked(*ent))
            ++locked;
        else if (ent)
            out.push_back(id);
    }
    if (locked > 0)
        e.editor().print(L"\n" + std::to_wstring(locked) + L" 個はロックされた画層上にあります。");
    return out;
}

} // namespace

CurvePick pickCurve(Engine& e, std::wstring_view prompt, std::wstring_view keywords) {
    if (auto source = e.selectionTokens()) {
        if (std::optional<editor::SelectionToken> t = source()) return fromToken(e, prompt, *t);
    }
    Answer a = Ask(e.editor()).point(prompt, {}, 0, keywords);
    CurvePick out;
    if (a.none()) return out;
    if (a.status == RTKWORD) {
        out.kind = CurvePick::Keyword;
        out.keyword = a.text;
        return out;
    }
    out.point = a.point;
    out.atPoint = true;
    editor::SelectionQuery q = query(e);
    editor::EntityIds hits = unlocked(e, q, q.pick(xy(a.point), editor::pickAperture(e.editor())));
    out.kind = hits.empty() ? CurvePick::Nothing : CurvePick::Entity;
    if (hits.empty())
        e.editor().vars().setInternal(L"ERRNO", editor::VarValue(kErrnoNothingPicked));
    if (!hits.empty()) out.id = hits.front();
    return out;
}

std::optional<CurvePick> pickEntityCurve(Engine& e, std::wstring_view prompt) {
    for (;;) {
        CurvePick pick = pickCurve(e, prompt);
        if (pick.kind == CurvePick::Entity) return pick;
        if (pick.kind != CurvePick::Nothing) return std::nullopt;
        e.editor().print(L"\nオブジェクトが見つかりません。");
    }
}

editor::EntityIds crossingEntities(Engine& e, const AcGePoint3d& a, const AcGePoint3d& b) {
    editor::SelectionQuery q = query(e);
    geom::Box2 box = geom::Box2::of(xy(a), xy(b));
    return unlocked(e, q, q.box(box, editor::Area::Crossing));
}

editor::EntityIds fenceEntities(Engine& e, const std::vector<AcGePoint3d>& chain) {
    std::vector<geom::Vec2> fence;
    for (const AcGePoint3d& p : chain)
        fence.push_back(xy(p));
    editor::SelectionQuery q = query(e);
    return unlocked(e, q, q.fence(fence));
}

} // namespace zel::commands
