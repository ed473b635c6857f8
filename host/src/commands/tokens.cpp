// Token lists of acedCommandS / acedCmdS: the events they stand for, and the C-style calls.
#include "arx/db.h"
#include "arx/ed.h"
#include "commands/engine.h"

#include <array>
#include <charconv>
#include <cstdarg>

namespace zel::commands {

namespace {

// The shortest text that reads back as the same number.
std::wstring number(double v) {
    std::array<char, 64> buf{};
    auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), v);
    if (ec != std::errc()) return L"0";
    return std::wstring(buf.data(), end);
}

std::wstring pointToken(const ads_real* p, bool with3d) {
    std::wstring s = number(p[0]) + L"," + number(p[1]);
    if (with3d) s += L"," + number(p[2]);
    return s;
}

editor::Event selectionEvent(std::vector<editor::SelectionToken>& store,
                             editor::SelectionToken token) {
    editor::Event e = editor::Event::typed(L"*SELECTION*", kTokenLine);
    e.code = kSelectionTokenCode;
    e.id = int(store.size());
    store.push_back(std::move(token));
    return e;
}

std::optional<AcDbObjectId> entityOf(const resbuf* rb) {
    AcDbObjectId id;
    if (!rb || rb->restype != RTENAME) return std::nullopt;
    if (acdbGetObjectId(id, rb->resval.rlname) != Acad::eOk) return std::nullopt;
    return id;
}

// (entity point) given as RTLB RTENAME RTPOINT RTLE: the last node used, or null.
const resbuf* entityAtPoint(const resbuf* lb, editor::SelectionToken& out) {
    const resbuf* name = lb->rbnext;
    const resbuf* pt = name ? name->rbnext : nullptr;
    const resbuf* le = pt ? pt->rbnext : nullptr;
    std::optional<AcDbObjectId> id = entityOf(name);
    if (!id || !pt || (pt->restype != RTPOINT && pt->restype != RT3DPOINT) || !le ||
        le->restype != RTLE)
        return nullptr;
    out.kind = editor::SelectionToken::EntityAtPoint;
    out.ids = {*id};
    out.point = AcGePoint3d(pt->resval.rpoint[0], pt->resval.rpoint[1],
                            pt->restype == RT3DPOINT ? pt->resval.rpoint[2] : 0.0);
    return le;
}

} // namespace

std::optional<std::deque<editor::Event>> tokenEvents(const resbuf* tokens, editor::Editor& ed,
                                                     std::vector<editor::SelectionToken>& store) {
    std::deque<editor::Event> out;
    for (const resbuf* rb = tokens; rb; rb = rb->rbnext) {
        switch (rb->restype) {
        case RTENAME: {
            std::optional<AcDbObjectId> id = entityOf(rb);
            if (!id) return std::nullopt;
            out.push_back(selectionEvent(store, {editor::SelectionToken::Entity, {*id}, {}}));
            break;
        }
        case RTPICKS: {
            const editor::EntityIds* ids = editor::selectionSetIds(ed, rb->resval.rlname);
            if (!ids) return std::nullopt;
            out.push_back(selectionEvent(store, {editor::SelectionToken::Set, *ids, {}}));
            break;
        }
        case RTLB: {
            editor::SelectionToken t;
            const resbuf* last = entityAtPoint(rb, t);
            if (!last) return std::nullopt;
            out.push_back(selectionEvent(store, std::move(t)));
            rb = last;
            break;
        }
        case RTNONE:
            out.push_back(editor::Event::enter(kTokenLine));
            break;
        case RTSTR: {
            std::wstring s = rb->resval.rstring ? rb->resval.rstring : L"";
            out.push_back(s.empty() ? editor::Event::enter(kTokenLine)
                                    : editor::Event::typed(s, kTokenLine));
            break;
        }
        case RTSHORT:
            out.push_back(editor::Event::typed(std::to_wstring(rb->resval.rint), kTokenLine));
            break;
        case RTLONG:
            out.push_back(editor::Event::typed(std::to_wstring(rb->resval.rlong), kTokenLine));
            break;
        case RTREAL:
            out.push_back(editor::Event::typed(number(rb->resval.rreal), kTokenLine));
            break;
        case RTPOINT:
        case RT3DPOINT:
            out.push_back(editor::Event::typed(
                pointToken(rb->resval.rpoint, rb->restype == RT3DPOINT), kTokenLine));
            break;
        default:
            return std::nullopt;
        }
    }
    return out;
}

} // namespace zel::commands

namespace {

// The variadic list as nodes (RTNONE or 0 ends it); the nodes point into the arguments.
std::optional<std::vector<resbuf>> nodesOf(int rtype, va_list ap) {
    std::vector<resbuf> nodes;
    for (int type = rtype; type != 0 && type != RTNONE; type = va_arg(ap, int)) {
        resbuf rb{};
        rb.restype = static_cast<short>(type);
        switch (type) {
        case RTSTR:
            rb.resval.rstring = const_cast<ACHAR*>(va_arg(ap, const ACHAR*));
            break;
        case RTSHORT:
            rb.resval.rint = static_cast<short>(va_arg(ap, int));
            break;
        case RTLONG:
            rb.resval.rlong = va_arg(ap, int32_t);
            break;
        case RTREAL:
            rb.resval.rreal = va_arg(ap, double);
            break;
        case RTLB:
        case RTLE:
            break;
        case RTENAME:
        case RTPICKS: {
            const int64_t* n = va_arg(ap, const int64_t*);
            if (!n) return std::nullopt;
            rb.resval.rlname[0] = n[0];
            rb.resval.rlname[1] = n[1];
            break;
        }
        case RTPOINT:
        case RT3DPOINT: {
            const ads_real* p = va_arg(ap, const ads_real*);
            if (!p) return std::nullopt;
            rb.resval.rpoint[0] = p[0];
            rb.resval.rpoint[1] = p[1];
            rb.resval.rpoint[2] = p[2];
            break;
        }
        default:
            return std::nullopt;
        }
        nodes.push_back(rb);
    }
    for (size_t i = 0; i + 1 < nodes.size(); ++i)
        nodes[i].rbnext = &nodes[i + 1];
    return nodes;
}

} // namespace

int acedCommandS(int rtype, ...) {
    zel::commands::Engine* engine = zel::commands::currentEngine();
    if (!engine) return RTERROR;
    va_list ap;
    va_start(ap, rtype);
    std::optional<std::vector<resbuf>> nodes = nodesOf(rtype, ap);
    va_end(ap);
    if (!nodes) return RTERROR;
    try {
        return engine->commandS(nodes->empty() ? nullptr : nodes->data());
    } catch (...) {
        return RTERROR;
    }
}

int acedCmdS(const resbuf* rb, bool, void*) {
    zel::commands::Engine* engine = zel::commands::currentEngine();
    if (!engine) return RTERROR;
    try {
        return engine->cmdS(rb);
    } catch (...) {
        return RTERROR;
    }
}

int acedCommandSList(const resbuf* rb) {
    zel::commands::Engine* engine = zel::commands::currentEngine();
    if (!engine) return RTERROR;
    try {
        return engine->commandS(rb);
    } catch (...) {
        return RTERROR;
    }
}
