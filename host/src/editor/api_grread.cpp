// acedGrRead: the input events one by one, as a command that follows the cursor or waits for
// what the dialog bar posts reads them. Typed lines are taken apart into their characters.
#include "arx/ed.h"
#include "editor/api_guard.h"

#include <optional>
#include <string>

namespace zel::editor {
namespace {

constexpr wchar_t kEnterCode = 13;
constexpr wchar_t kEscChar = 27;
constexpr int kTrackBit = 1;

struct GrEvent {
    int status = RTNORM;
    int type = 0;
    int code = 0;
    AcGePoint3d point;
};

GrEvent cancelled(Editor& ed) {
    ed.pendingTyping().clear();
    GrEvent g;
    g.status = RTCAN;
    return g;
}

GrEvent key(wchar_t c) {
    GrEvent g;
    g.type = kGrReadKey;
    g.code = c == L'\n' || c == L'\r' ? kEnterCode : c;
    return g;
}

GrEvent at(Editor& ed, int type, const AcGePoint3d& world) {
    GrEvent g;
    g.type = type;
    g.point = ed.ucs().toUcs(world);
    return g;
}

// The first character of typing; the rest waits in front of everything else.
GrEvent firstOf(Editor& ed, const std::wstring& chars) {
    if (chars.empty()) return key(kEnterCode);
    if (chars.size() > 1) {
        Event rest;
        rest.kind = EventKind::Chars;
        rest.text = chars.substr(1);
        ed.queue().unreadPosted(std::move(rest));
    }
    if (chars[0] == kEscChar) return cancelled(ed);
    return key(chars[0]);
}

// The next event that acedGrRead reports, or nullopt for one it passes over.
std::optional<GrEvent> translate(Editor& ed, const Event& e, int track) {
    switch (e.kind) {
    case EventKind::Text:
        return firstOf(ed, e.text + L"\r");
    case EventKind::Chars:
        return firstOf(ed, e.text);
    case EventKind::Enter:
        return key(kEnterCode);
    case EventKind::Key:
        return key(static_cast<wchar_t>(e.code));
    case EventKind::Esc:
    case EventKind::CtrlC:
        return cancelled(ed);
    case EventKind::Click:
        return at(ed, kGrReadPick, e.point);
    case EventKind::RightClick: {
        GrEvent g;
        g.type = kGrReadRightClick;
        return g;
    }
    case EventKind::Move:
        if (ed.cursorHook()) ed.cursorHook()(e.point);
        if (!(track & kTrackBit)) return std::nullopt;
        return at(ed, kGrReadTrack, e.point);
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
        ed.transcript().notice(describe(e)); // nobody took it
        return std::nullopt;
    }
    return std::nullopt;
}

GrEvent read(Editor& ed, int track) {
    if (ed.inputGate()) ed.inputGate()(InputKind::Point);
    for (;;) {
        std::optional<Event> e = ed.queue().next();
        if (!e) return cancelled(ed);
        if (std::optional<GrEvent> g = translate(ed, *e, track)) return *g;
    }
}

void fill(const GrEvent& g, resbuf* result) {
    if (g.type == kGrReadPick || g.type == kGrReadTrack) {
        result->restype = RT3DPOINT;
        result->resval.rpoint[X] = g.point.x;
        result->resval.rpoint[Y] = g.point.y;
        result->resval.rpoint[Z] = g.point.z;
        return;
    }
    result->restype = RTSHORT;
    result->resval.rint = static_cast<short>(g.code);
}

} // namespace
} // namespace zel::editor

using namespace zel::editor;

int acedGrRead(int track, int* type, struct resbuf* result) {
    return guarded([&](Editor& ed) -> int {
        if (!type || !result) return RTERROR;
        GrEvent g = read(ed, track);
        if (g.status != RTNORM) return g.status;
        *type = g.type;
        fill(g, result);
        return RTNORM;
    });
}
