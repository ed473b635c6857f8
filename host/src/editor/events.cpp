#include "editor/events.h"

#include "core/text.h"

#include <cassert>
#include <utility>

namespace zel::editor {

namespace {

Event make(EventKind kind, int line) {
    Event e;
    e.kind = kind;
    e.line = line;
    return e;
}

std::wstring pointText(const AcGePoint3d& p) {
    std::wstring s = core::toWString(p.x) + L"," + core::toWString(p.y);
    if (p.z != 0) s += L"," + core::toWString(p.z);
    return s;
}

std::wstring quoted(std::wstring_view text) {
    std::wstring s = L"\"";
    for (wchar_t c : text) {
        if (c == L'"' || c == L'\\') s += L'\\';
        s += c;
    }
    return s + L"\"";
}

std::wstring answerName(MsgBoxAnswer a) {
    switch (a) {
    case MsgBoxAnswer::Yes:
        return L"yes";
    case MsgBoxAnswer::No:
        return L"no";
    case MsgBoxAnswer::Ok:
        return L"ok";
    case MsgBoxAnswer::Cancel:
        return L"cancel";
    }
    return L"?";
}

} // namespace

Event Event::typed(std::wstring text, int line) {
    Event e = make(EventKind::Text, line);
    e.text = std::move(text);
    return e;
}
Event Event::enter(int line) {
    return make(EventKind::Enter, line);
}
Event Event::click(const AcGePoint3d& p, int line) {
    Event e = make(EventKind::Click, line);
    e.point = p;
    return e;
}
Event Event::move(const AcGePoint3d& p, int line) {
    Event e = make(EventKind::Move, line);
    e.point = p;
    return e;
}
Event Event::esc(int line) {
    return make(EventKind::Esc, line);
}
Event Event::rightClick(int line) {
    return make(EventKind::RightClick, line);
}
Event Event::key(wchar_t c, int line) {
    Event e = make(EventKind::Key, line);
    e.code = static_cast<int>(c);
    return e;
}
Event Event::barText(int field, std::wstring text, int line) {
    Event e = make(EventKind::BarText, line);
    e.id = field;
    e.text = std::move(text);
    return e;
}
Event Event::barTile(int tile, int line) {
    Event e = make(EventKind::BarTile, line);
    e.id = tile;
    return e;
}
Event Event::panelType(std::wstring text, int line) {
    Event e = make(EventKind::PanelType, line);
    e.text = std::move(text);
    return e;
}
Event Event::panelEnter(int line) {
    return make(EventKind::PanelEnter, line);
}
Event Event::panelPick(int list, int index, int line) {
    Event e = make(EventKind::PanelPick, line);
    e.id = list;
    e.code = index;
    return e;
}
Event Event::panelInsert(int list, int index, int line) {
    Event e = make(EventKind::PanelInsert, line);
    e.id = list;
    e.code = index;
    return e;
}
Event Event::panelAdd(int line) {
    return make(EventKind::PanelAdd, line);
}
Event Event::panelDelete(int list, int index, int line) {
    Event e = make(EventKind::PanelDelete, line);
    e.id = list;
    e.code = index;
    return e;
}
Event Event::panelEsc(int line) {
    return make(EventKind::PanelEsc, line);
}
Event Event::dialogCheck(int control, bool on, int line) {
    Event e = make(EventKind::DialogCheck, line);
    e.id = control;
    e.code = on ? 1 : 0;
    return e;
}
Event Event::dialogText(int control, std::wstring text, int line) {
    Event e = make(EventKind::DialogText, line);
    e.id = control;
    e.text = std::move(text);
    return e;
}
Event Event::dialogSelect(int control, int index, int line) {
    Event e = make(EventKind::DialogSelect, line);
    e.id = control;
    e.code = index;
    return e;
}
Event Event::dialogPress(int control, int line) {
    Event e = make(EventKind::DialogPress, line);
    e.id = control;
    return e;
}
Event Event::msgBox(MsgBoxAnswer answer, int line) {
    Event e = make(EventKind::MsgBox, line);
    e.answer = answer;
    return e;
}

bool isSideEvent(EventKind kind) {
    switch (kind) {
    case EventKind::BarText:
    case EventKind::BarTile:
    case EventKind::PanelType:
    case EventKind::PanelEnter:
    case EventKind::PanelPick:
    case EventKind::PanelInsert:
    case EventKind::PanelAdd:
    case EventKind::PanelDelete:
    case EventKind::PanelEsc:
    case EventKind::DialogCheck:
    case EventKind::DialogText:
    case EventKind::DialogSelect:
    case EventKind::DialogPress:
    case EventKind::MsgBox:
        return true;
    case EventKind::Text:
    case EventKind::Enter:
    case EventKind::Click:
    case EventKind::Move:
    case EventKind::Esc:
    case EventKind::RightClick:
    case EventKind::Key:
    case EventKind::Chars:
    case EventKind::CtrlC:
        return false;
    }
    return false;
}

std::wstring describe(const Event& e) {
    using core::toWString;
    switch (e.kind) {
    case EventKind::Text:
        return e.text.empty() ? L"\"\"" : e.text;
    case EventKind::Enter:
        return L"!enter";
    case EventKind::Click:
        return L"!pick " + pointText(e.point);
    case EventKind::Move:
        return L"!move " + pointText(e.point);
    case EventKind::Esc:
        return L"!esc";
    case EventKind::RightClick:
        return L"!rclick";
    case EventKind::Key:
        return L"!key " + std::wstring(1, static_cast<wchar_t>(e.code));
    case EventKind::Chars:
        return L"(posted) " + quoted(e.text);
    case EventKind::CtrlC:
        return L"(posted) Ctrl-C";
    case EventKind::BarText:
        return L"!bar text " + toWString(e.id) + L" " + quoted(e.text);
    case EventKind::BarTile:
        return L"!bar tile " + toWString(e.id);
    case EventKind::PanelType:
        return L"!panel type " + quoted(e.text);
    case EventKind::PanelEnter:
        return L"!panel enter";
    case EventKind::PanelPick:
        return L"!panel pick " + toWString(e.id) + L" " + toWString(e.code);
    case EventKind::PanelInsert:
        return L"!panel insert " + toWString(e.id) + L" " + toWString(e.code);
    case EventKind::PanelAdd:
        return L"!panel add";
    case EventKind::PanelDelete:
        return L"!panel delete " + toWString(e.id) + L" " + toWString(e.code);
    case EventKind::PanelEsc:
        return L"!panel esc";
    case EventKind::DialogCheck:
        return L"!dialog check " + toWString(e.id) + (e.code ? L" on" : L" off");
    case EventKind::DialogText:
        return L"!dialog text " + toWString(e.id) + L" " + quoted(e.text);
    case EventKind::DialogSelect:
        return L"!dialog select " + toWString(e.id) + L" " + toWString(e.code);
    case EventKind::DialogPress:
        return L"!dialog press " + toWString(e.id);
    case EventKind::MsgBox:
        return L"!msgbox " + answerName(e.answer);
    }
    return L"?";
}

// ---- EventQueue -------------------------------------------------------------------------

void EventQueue::push(Event e) {
    mQueued.push_back(std::move(e));
}

void EventQueue::pushFront(Event e) {
    mQueued.push_front(std::move(e));
}

void EventQueue::post(std::wstring_view text) {
    std::wstring run;
    auto flush = [&] {
        if (run.empty()) return;
        Event e = make(EventKind::Chars, 0);
        e.text = std::move(run);
        e.posted = true;
        mPosted.push_back(std::move(e));
        run.clear();
    };
    for (wchar_t c : text) {
        if (c == 0) break; // the text ends at its terminator, as a window message's does
        if (c != 3) {
            run += c;
            continue;
        }
        flush();
        Event cancel = make(EventKind::CtrlC, 0);
        cancel.posted = true;
        mPosted.push_back(std::move(cancel));
    }
    flush();
    if (mPostObserver) {
        PostObserver observer = mPostObserver; // it may replace itself
        observer(*this);
    }
}

void EventQueue::unreadPosted(Event e) {
    assert(e.kind == EventKind::Chars && "only posted typing is put back");
    e.posted = true;
    mPosted.push_front(std::move(e));
}

bool EventQueue::refill() {
    if (!empty()) return true;
    if (!mFeeder) return false;
    Feeder feeder = mFeeder; // the feeder may replace itself
    while (empty()) {
        if (!feeder(*this)) return !empty();
    }
    return true;
}

const Event* EventQueue::peek() {
    if (!refill()) return nullptr;
    return mPosted.empty() ? &mQueued.front() : &mPosted.front();
}

std::optional<Event> EventQueue::take() {
    if (!refill()) {
        mExhausted = true;
        return std::nullopt;
    }
    std::deque<Event>& from = mPosted.empty() ? mQueued : mPosted;
    Event e = std::move(from.front());
    from.pop_front();
    return e;
}

std::optional<Event> EventQueue::next() {
    for (;;) {
        std::optional<Event> e = take();
        if (!e) return e;
        bool offered = isSideEvent(e->kind) || e->kind == EventKind::Key;
        if (!offered || !mSide) return e;
        SideHandler handler = mSide; // a callback may replace the handler
        if (!handler(*e)) return e;
    }
}

void EventQueue::clear() {
    mPosted.clear();
    mQueued.clear();
}

EventQueue::SideHandler EventQueue::setSideHandler(SideHandler handler) {
    return std::exchange(mSide, std::move(handler));
}

EventQueue::Feeder EventQueue::setFeeder(Feeder feeder) {
    return std::exchange(mFeeder, std::move(feeder));
}

} // namespace zel::editor
