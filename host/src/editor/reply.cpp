#include "editor/reply.h"

#include "core/text.h"

#include <optional>
#include <utility>
#include <vector>

namespace zel::editor {

namespace {

constexpr wchar_t kEscChar = 27;
constexpr wchar_t kBackspace = 8;
constexpr int kOsnapOff = 16384; // OSMODE bit: running object snaps suspended
// OSMODE bit of the extension snap. It follows the extensions of end points the user has
// acquired by pausing the cursor on them; clicks acquire none, so it takes part only when
// typed before a point ("EXT"), never as a running mode.
constexpr int kOsnapExtension = 4096;

// A LISP list of two or three numbers: (x y [z]).
std::optional<AcGePoint3d> pointList(const resbuf* list) {
    std::vector<double> c;
    for (const resbuf* rb = list->rbnext; rb && rb->restype != RTLE; rb = rb->rbnext) {
        if (rb->restype == RTREAL)
            c.push_back(rb->resval.rreal);
        else if (rb->restype == RTSHORT)
            c.push_back(rb->resval.rint);
        else if (rb->restype == RTLONG)
            c.push_back(rb->resval.rlong);
        else
            return std::nullopt;
    }
    if (c.size() != 2 && c.size() != 3) return std::nullopt;
    return AcGePoint3d(c[0], c[1], c.size() > 2 ? c[2] : 0.0);
}

// The value of a LISP expression as an answer.
Reply fromLisp(const std::wstring& expression, const resbuf* value) {
    Reply r;
    r.text = expression;
    r.typed = expression;
    switch (value->restype) {
    case RTNIL:
    case RTNONE:
    case RTVOID:
        r.text.clear();
        return r; // nil answers like Enter
    case RTPOINT:
    case RT3DPOINT:
        r.kind = Reply::Point;
        r.point = AcGePoint3d(value->resval.rpoint[X], value->resval.rpoint[Y],
                              value->restype == RTPOINT ? 0.0 : value->resval.rpoint[Z]);
        return r;
    case RTSTR:
        r.text = value->resval.rstring ? value->resval.rstring : L"";
        return r;
    case RTREAL:
        r.text = core::toWString(value->resval.rreal);
        return r;
    case RTSHORT:
        r.text = core::toWString(int(value->resval.rint));
        return r;
    case RTLONG:
        r.text = core::toWString(int(value->resval.rlong));
        return r;
    case RTLB:
        if (std::optional<AcGePoint3d> p = pointList(value)) {
            r.kind = Reply::Point;
            r.point = *p;
            return r;
        }
        break;
    default:
        break;
    }
    r.kind = Reply::Retry; // a value no prompt takes
    return r;
}

Reply line(Editor& ed, std::wstring text) {
    if (!text.empty() && text.front() == L'(' && ed.lispHook()) {
        core::RbPtr value = ed.lispHook()(text);
        if (!value) {
            Reply r;
            r.kind = Reply::Retry;
            r.typed = std::move(text);
            return r;
        }
        return fromLisp(text, value.get());
    }
    Reply r;
    r.typed = text;
    r.text = std::move(text);
    return r;
}

Reply clickAt(Editor& ed, const AcGePoint3d& world) {
    int modes = 0;
    if (ed.osnapOverride())
        modes = *ed.osnapOverride();
    else if (!(ed.vars().integer(L"OSMODE") & kOsnapOff))
        modes = int(ed.vars().integer(L"OSMODE")) & ~kOsnapExtension;
    ed.osnapOverride().reset();
    AcGePoint3d p = world;
    if (modes != 0 && ed.osnapHook()) p = ed.osnapHook()(world, modes);
    Reply r;
    r.kind = Reply::Point;
    r.point = ed.ucs().toUcs(p);
    r.clicked = true;
    return r;
}

Reply cancel(Editor& ed) {
    ed.pendingTyping().clear();
    ed.osnapOverride().reset();
    Reply r;
    r.kind = Reply::Cancel;
    return r;
}

// Typed characters: the line they complete, or nullopt when they only add to it.
std::optional<Reply> typeChars(Editor& ed, const std::wstring& chars, bool spaces) {
    std::wstring& pending = ed.pendingTyping();
    for (size_t i = 0; i < chars.size(); ++i) {
        wchar_t c = chars[i];
        bool ends = c == L'\n' || c == L'\r' || (c == L' ' && !spaces);
        if (!ends && c != kEscChar) {
            if (c == kBackspace) {
                if (!pending.empty()) pending.pop_back();
            } else {
                pending += c;
            }
            continue;
        }
        if (i + 1 < chars.size()) {
            Event rest;
            rest.kind = EventKind::Chars;
            rest.text = chars.substr(i + 1);
            ed.queue().unreadPosted(std::move(rest));
        }
        if (c == kEscChar) return cancel(ed);
        return line(ed, std::exchange(pending, {}));
    }
    return std::nullopt;
}

} // namespace

Reply readReply(Editor& ed, bool spaces) {
    for (;;) {
        std::optional<Event> e = ed.queue().next();
        if (!e) {
            Reply r = cancel(ed);
            r.kind = Reply::End;
            return r;
        }
        switch (e->kind) {
        case EventKind::Text:
            return line(ed, std::exchange(ed.pendingTyping(), {}) + e->text);
        case EventKind::Enter:
        case EventKind::RightClick:
            return line(ed, std::exchange(ed.pendingTyping(), {}));
        case EventKind::Chars:
        case EventKind::Key: {
            std::wstring chars =
                e->kind == EventKind::Key ? std::wstring(1, wchar_t(e->code)) : e->text;
            if (std::optional<Reply> r = typeChars(ed, chars, spaces)) return *r;
            break;
        }
        case EventKind::Esc:
        case EventKind::CtrlC:
            return cancel(ed);
        case EventKind::Click:
            ed.pendingTyping().clear();
            return clickAt(ed, e->point);
        case EventKind::Move:
            if (ed.cursorHook()) ed.cursorHook()(e->point);
            if (ed.dragSampler() && !ed.dragSampler()(Ucs::current(ed.vars()).toUcs(e->point))) {
                Reply r;
                r.kind = Reply::Stopped;
                return r;
            }
            break;
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
            ed.transcript().notice(describe(*e));
            break;
        }
    }
}

} // namespace zel::editor
