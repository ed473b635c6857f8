// The "オブジェクトを選択:" prompt and the single-entity pick (see selection.h).
#include "core/text.h"
#include "db/database_impl.h"
#include "editor/input.h"
#include "editor/messages.h"
#include "editor/reply.h"
#include "editor/selection.h"
#include "editor/selection_filter.h"
#include "editor/selection_messages.h"
#include "editor/selection_query.h"
#include "editor/selection_state.h"

#include <unordered_set>

namespace zel::editor {

namespace {

constexpr int kErrnoNothingPicked = 7; // ERRNO after a pick on nothing

// Clicks at a selection prompt pick where they are: object snaps stay out of it.
class NoSnap {
public:
    explicit NoSnap(Editor& ed) : mEd(ed), mHook(ed.setOsnapHook(nullptr)) {}
    ~NoSnap() { mEd.setOsnapHook(std::move(mHook)); }
    NoSnap(const NoSnap&) = delete;
    NoSnap& operator=(const NoSnap&) = delete;

private:
    Editor& mEd;
    Editor::OsnapHook mHook;
};

geom::Vec2 worldXY(const Editor& ed, const AcGePoint3d& ucs) {
    AcGePoint3d w = ed.ucs().toWorld(ucs);
    return {w.x, w.y};
}

void say(Editor& ed, std::wstring_view text) {
    ed.print(L"\n" + std::wstring(text));
}

std::wstring handleText(AcDbObjectId id) {
    db::ObjectSlot* s = id.slot();
    return s ? s->handle.text() : L"0";
}

std::wstring tokenEcho(const SelectionToken& t) {
    if (t.kind == SelectionToken::Set)
        return L"<選択セット: " + std::to_wstring(t.ids.size()) + L">";
    return L"<エンティティ名: " + (t.ids.empty() ? L"0" : handleText(t.ids.front())) + L">";
}

// A point of a window, fence or polygon; nullopt when the user cancelled (Esc) or, where
// Enter is allowed, ended.
struct PointAnswer {
    int status = RTNONE;
    AcGePoint3d point;
    std::wstring keyword;
};

PointAnswer askPoint(Editor& ed, SelMsg prompt, const std::optional<AcGePoint3d>& base,
                     InputKind kind, bool enterEnds, const wchar_t* keywords = nullptr) {
    InputRequest req;
    req.kind = kind;
    req.prompt = L"\n" + std::wstring(text(prompt));
    req.base = base;
    req.init.bits = enterEnds ? 0 : kNoNull;
    if (keywords) req.init.keywords = parseKeywords(keywords).value_or(KeywordList{});
    NoSnap noSnap(ed);
    InputResult r = requestInput(ed, req);
    return {r.status, r.point, r.text};
}

class SelectPrompt {
public:
    SelectPrompt(Editor& ed, const SelectRequest& req, AcDbDatabase& db)
        : mEd(ed), mReq(req), mQuery(db, &ed.selection().index(db)) {}

    SelectResult run() {
        std::wstring why;
        if (mReq.filter) {
            mFilter = SelectionFilter::parse(mReq.filter, why);
            if (!mFilter) {
                say(mEd, why);
                return {RTERROR, {}};
            }
        }
        for (AcDbObjectId id : liveIds(mReq.initial))
            if (mMembers.insert(id.slot()).second) mSet.push_back(id);
        mEd.notifyInput(beginNotice());
        for (;;) {
            std::optional<int> end = step();
            if (end) return told(finish(*end));
        }
    }

private:
    // One answer; the status to end with, or nullopt to go on.
    std::optional<int> step() {
        if (mReq.tokens) {
            if (std::optional<SelectionToken> t = mReq.tokens()) {
                showPrompt();
                mEd.transcript().input(tokenEcho(*t));
                bool found = add(liveIds(t->ids));
                return mReq.single && found ? std::optional<int>(RTNORM) : std::nullopt;
            }
        }
        if (mEd.inputGate()) mEd.inputGate()(InputKind::Point);
        showPrompt();
        Reply r;
        {
            NoSnap noSnap(mEd);
            r = readReply(mEd, false);
        }
        switch (r.kind) {
        case Reply::Cancel:
        case Reply::End:
        case Reply::Stopped: // no drag waits at a selection prompt
            mEd.transcript().input(text(Msg::Cancel));
            return RTCAN;
        case Reply::Retry:
            mEd.transcript().input(r.typed);
            return std::nullopt;
        case Reply::Point:
            mEd.transcript().input(pointText(r.point, mEd.parseContext().units));
            return afterSelection(click(r.point));
        case Reply::Text:
            break;
        }
        mEd.transcript().input(r.typed);
        std::wstring t = core::trim(r.text);
        if (t.empty()) return RTNORM;
        if (std::optional<AcGePoint3d> p = parsePoint(t, mEd.parseContext()))
            return afterSelection(click(*p));
        return option(t);
    }

    void showPrompt() {
        std::wstring p = mReq.prompt.empty()
                             ? std::wstring(text(mRemoving ? SelMsg::RemovePrompt : SelMsg::Prompt))
                             : mReq.prompt;
        if (mRemoving && !mReq.prompt.empty()) p = text(SelMsg::RemovePrompt);
        mEd.transcript().prompt(mShown ? L"\n" + p : p, mShown);
        mShown = true;
    }

    // A selection that ended with an outcome: cancelled, found something in single mode.
    std::optional<int> afterSelection(std::optional<bool> found) {
        if (!found) return RTCAN;
        if (mReq.single && *found) return RTNORM;
        return std::nullopt;
    }

    // ---- the ways of selecting ------------------------------------------------------------

    // A click (or typed point) at p (UCS): the topmost entity in the pick box, else an
    // implied window. nullopt when the window was cancelled; else whether anything was found.
    std::optional<bool> click(const AcGePoint3d& p) {
        EntityIds hits = mQuery.pick(worldXY(mEd, p), pickAperture(mEd));
        if (!hits.empty()) return add(mReq.pickAll ? hits : EntityIds{hits.front()});
        mEd.vars().setInternal(L"ERRNO", VarValue(int64_t(kErrnoNothingPicked)));
        PointAnswer other = askPoint(mEd, SelMsg::OtherCorner, p, InputKind::Corner, false);
        if (other.status != RTNORM) return std::nullopt;
        geom::Vec2 a = worldXY(mEd, p), b = worldXY(mEd, other.point);
        Area area = b.x >= a.x ? Area::Window : Area::Crossing;
        if (area == Area::Crossing) noteCrossing(geom::Box2::of(a, b));
        return add(mQuery.box(geom::Box2::of(a, b), area));
    }

    std::optional<bool> window(Area area) {
        PointAnswer first =
            askPoint(mEd, SelMsg::FirstCorner, std::nullopt, InputKind::Point, false);
        if (first.status != RTNORM) return std::nullopt;
        PointAnswer other =
            askPoint(mEd, SelMsg::OtherCorner, first.point, InputKind::Corner, false);
        if (other.status != RTNORM) return std::nullopt;
        geom::Box2 box = geom::Box2::of(worldXY(mEd, first.point), worldXY(mEd, other.point));
        if (area == Area::Crossing) noteCrossing(box);
        return add(mQuery.box(box, area));
    }

    void noteCrossing(const geom::Box2& b) {
        if (!mReq.crossings) return;
        mReq.crossings->push_back({AcGePoint2d(b.lo.x, b.lo.y), AcGePoint2d(b.hi.x, b.lo.y),
                                   AcGePoint2d(b.hi.x, b.hi.y), AcGePoint2d(b.lo.x, b.hi.y)});
    }

    // The points of a fence or polygon until Enter; U takes the last one back. nullopt when
    // cancelled.
    std::optional<std::vector<geom::Vec2>> chain(SelMsg firstPrompt, SelMsg nextPrompt) {
        std::vector<AcGePoint3d> pts;
        for (;;) {
            bool first = pts.empty();
            PointAnswer a = askPoint(mEd, first ? firstPrompt : nextPrompt,
                                     first ? std::nullopt : std::optional<AcGePoint3d>(pts.back()),
                                     InputKind::Point, !first, first ? nullptr : L"Undo");
            if (a.status == RTCAN) return std::nullopt;
            if (a.status == RTNONE) break;
            if (a.status == RTKWORD) {
                if (!pts.empty()) pts.pop_back();
                continue;
            }
            pts.push_back(a.point);
        }
        std::vector<geom::Vec2> out;
        for (const AcGePoint3d& p : pts)
            out.push_back(worldXY(mEd, p));
        return out;
    }

    std::optional<bool> fence() {
        std::optional<std::vector<geom::Vec2>> pts = chain(SelMsg::FirstFence, SelMsg::NextFence);
        if (!pts) return std::nullopt;
        if (pts->size() < 2) return false;
        return add(mQuery.fence(*pts));
    }

    std::optional<bool> polygon(Area area) {
        std::optional<std::vector<geom::Vec2>> pts =
            chain(SelMsg::FirstPolygon, SelMsg::NextPolygon);
        if (!pts) return std::nullopt;
        if (pts->size() < 3) {
            say(mEd, text(SelMsg::PolygonTooFew));
            return false;
        }
        if (area == Area::Crossing && mReq.crossings) {
            mReq.crossings->emplace_back();
            for (geom::Vec2 p : *pts)
                mReq.crossings->back().emplace_back(p.x, p.y);
        }
        return add(mQuery.polygon(*pts, area));
    }

    std::optional<int> option(const std::wstring& typed) {
        static const KeywordList options =
            parseKeywords(L"Window Last Crossing ALL Fence WPolygon CPolygon Add Remove Previous "
                          L"Undo")
                .value_or(KeywordList{});
        KeywordMatch m = matchKeyword(options, typed);
        if (m.kind != KeywordMatch::One) {
            say(mEd, text(SelMsg::Invalid));
            say(mEd, text(SelMsg::InvalidHelp));
            return std::nullopt;
        }
        const std::wstring& k = m.keyword->global;
        if (k == L"Window") return afterSelection(window(Area::Window));
        if (k == L"Crossing") return afterSelection(window(Area::Crossing));
        if (k == L"Fence") return afterSelection(fence());
        if (k == L"WPolygon") return afterSelection(polygon(Area::Window));
        if (k == L"CPolygon") return afterSelection(polygon(Area::Crossing));
        if (k == L"Add" || k == L"Remove") {
            mRemoving = k == L"Remove";
            return std::nullopt;
        }
        if (k == L"Undo") {
            undo();
            return std::nullopt;
        }
        return afterSelection(namedSet(k));
    }

    // L, P, ALL.
    std::optional<bool> namedSet(const std::wstring& k) {
        if (k == L"Last") {
            std::optional<AcDbObjectId> last = mQuery.last();
            if (!last) say(mEd, text(SelMsg::NoLast));
            return last ? add({*last}) : false;
        }
        if (k == L"Previous") {
            EntityIds prev = previousSelection(mEd);
            if (prev.empty()) say(mEd, text(SelMsg::NoPrevious));
            return add(prev);
        }
        EntityIds all;
        for (AcDbObjectId id : mQuery.all()) {
            auto* e = db::peekAs<AcDbEntity>(id);
            if (e && !mQuery.frozen(*e)) all.push_back(id);
        }
        return add(all);
    }

    // ---- the set --------------------------------------------------------------------------

    // Adds (or in remove mode removes) entities, with the report; true when any was found.
    bool add(const EntityIds& ids) {
        size_t found = 0, duplicates = 0, locked = 0, filtered = 0;
        Change change{mRemoving, {}};
        for (AcDbObjectId id : ids) {
            auto* e = db::peekAs<AcDbEntity>(id);
            if (!e) continue;
            if (mFilter && !mFilter->matches(*e)) {
                ++filtered;
                continue;
            }
            if (mReq.skipLocked && mQuery.locked(*e)) {
                ++locked;
                continue;
            }
            ++found;
            bool member = mMembers.count(id.slot()) > 0;
            if (mRemoving == member) {
                change.ids.push_back(id);
                apply(id, mRemoving);
            } else if (!mRemoving) {
                ++duplicates;
            }
        }
        if (found > 0 || ids.empty()) {
            say(mEd, foundText(found, duplicates, mSet.size(), mRemoving, mHistory.empty()));
        }
        if (filtered > 0) say(mEd, filteredText(filtered));
        if (locked > 0) say(mEd, lockedText(locked));
        mHistory.push_back(std::move(change));
        return found > 0;
    }

    void apply(AcDbObjectId id, bool removing) {
        if (!removing) {
            mMembers.insert(id.slot());
            mSet.push_back(id);
            return;
        }
        mMembers.erase(id.slot());
        std::erase(mSet, id);
    }

    void undo() {
        if (mHistory.empty()) {
            say(mEd, text(SelMsg::NothingToUndo));
            return;
        }
        Change last = std::move(mHistory.back());
        mHistory.pop_back();
        for (auto it = last.ids.rbegin(); it != last.ids.rend(); ++it)
            apply(*it, !last.removed);
    }

    InputNotice beginNotice() const {
        InputNotice n;
        n.begin = true;
        n.topic = InputTopic::Selection;
        n.prompt = mReq.prompt.empty() ? std::wstring(text(SelMsg::Prompt)) : mReq.prompt;
        if (mReq.single) n.controls += L":S";
        if (mReq.pickAll) n.controls += L":E";
        n.filter = mReq.filter;
        return n;
    }

    // The input observers are told how the selection ended.
    SelectResult told(SelectResult result) {
        InputNotice n;
        n.topic = InputTopic::Selection;
        n.status = result.status;
        n.ids = &result.ids;
        mEd.notifyInput(n);
        return result;
    }

    SelectResult finish(int status) {
        if (status == RTCAN) return {RTCAN, {}};
        if (mSet.empty()) return {RTNONE, {}};
        setPreviousSelection(mEd, mSet);
        return {RTNORM, mSet};
    }

    struct Change {
        bool removed;
        EntityIds ids;
    };

    Editor& mEd;
    const SelectRequest& mReq;
    SelectionQuery mQuery;
    std::optional<SelectionFilter> mFilter;
    EntityIds mSet;
    std::unordered_set<const db::ObjectSlot*> mMembers;
    std::vector<Change> mHistory;
    bool mRemoving = false;
    bool mShown = false;
};

} // namespace

SelectResult selectObjects(Editor& editor, const SelectRequest& request) {
    AcDbDatabase* db = editor.database();
    if (!db) return {RTERROR, {}};
    return SelectPrompt(editor, request, *db).run();
}

namespace {

// The pick of pickEntity, once its prompt is announced.
EntityPick askEntity(Editor& ed, AcDbDatabase& db, const InitGet& init, const std::wstring& shown,
                     const SelectionTokenSource& tokens) {
    if (tokens) {
        if (std::optional<SelectionToken> t = tokens()) {
            ed.transcript().prompt(shown);
            ed.transcript().input(tokenEcho(*t));
            EntityIds live = liveIds(t->ids);
            if (live.empty()) return {RTERROR, {}, {}};
            return {RTNORM, live.front(), t->point};
        }
    }
    if (ed.inputGate()) ed.inputGate()(InputKind::Point);
    ed.transcript().prompt(shown);
    for (;;) {
        Reply r;
        {
            NoSnap noSnap(ed);
            r = readReply(ed, false);
        }
        if (r.kind == Reply::Cancel || r.kind == Reply::End || r.kind == Reply::Stopped) {
            ed.transcript().input(text(Msg::Cancel));
            return {RTCAN, {}, {}};
        }
        std::optional<AcGePoint3d> p;
        if (r.kind == Reply::Point) {
            p = r.point;
            ed.transcript().input(pointText(r.point, ed.parseContext().units));
        } else {
            ed.transcript().input(r.typed);
        }
        if (r.kind == Reply::Text) {
            std::wstring t = core::trim(r.text);
            if (t.empty() && !init.has(kNoNull)) return {RTNONE, {}, {}};
            KeywordMatch m = matchKeyword(init.keywords, t);
            if (m.kind == KeywordMatch::One) {
                ed.setLastKeyword(m.keyword->global);
                return {RTKWORD, {}, {}};
            }
            p = parsePoint(t, ed.parseContext());
        }
        if (p) {
            SelectionQuery query(db, &ed.selection().index(db));
            EntityIds hits = query.pick(worldXY(ed, *p), pickAperture(ed));
            if (!hits.empty()) return {RTNORM, hits.front(), *p};
            ed.vars().setInternal(L"ERRNO", VarValue(int64_t(kErrnoNothingPicked)));
            say(ed, text(SelMsg::NothingFound));
            return {RTERROR, {}, {}};
        }
        say(ed, text(Msg::InvalidPoint));
        ed.transcript().prompt(L"\n" + shown, true);
    }
}

} // namespace

EntityPick pickEntity(Editor& ed, std::wstring_view prompt, const SelectionTokenSource& tokens) {
    AcDbDatabase* db = ed.database();
    InitGet init = ed.takeInitGet();
    if (!db) return {RTERROR, {}, {}};
    std::wstring shown =
        prompt.empty() ? std::wstring(text(SelMsg::SelectEntity)) : std::wstring(prompt);
    InputNotice begin;
    begin.begin = true;
    begin.topic = InputTopic::EntityPick;
    begin.prompt = shown;
    begin.initBits = init.bits;
    begin.keywords = keywordText(init.keywords);
    ed.notifyInput(begin);
    EntityPick pick = askEntity(ed, *db, init, shown, tokens);
    InputNotice end;
    end.topic = InputTopic::EntityPick;
    end.status = pick.status;
    end.point = pick.point;
    if (pick.status == RTKWORD) end.text = ed.lastKeyword();
    EntityIds picked;
    if (pick.status == RTNORM) picked.push_back(pick.id);
    end.ids = &picked;
    ed.notifyInput(end);
    return pick;
}

} // namespace zel::editor
