// The input functions of the C-style API (arx/ed.h) over the current editor.
#include "arx/ed.h"
#include "editor/api_guard.h"
#include "editor/input.h"

#include <cwchar>

namespace zel::editor {
namespace {

std::optional<AcGePoint3d> basePoint(const ads_point pt) {
    if (!pt) return std::nullopt;
    return AcGePoint3d(pt[X], pt[Y], pt[Z]);
}

InputResult ask(Editor& ed, InputKind kind, const ACHAR* prompt, const ads_point base = nullptr,
                bool spaces = false) {
    InputRequest req;
    req.kind = kind;
    req.prompt = prompt ? prompt : L"";
    req.base = basePoint(base);
    req.init = ed.takeInitGet();
    req.spaces = spaces;
    return requestInput(ed, req);
}

void copyPoint(const AcGePoint3d& p, ads_point out) {
    out[X] = p.x;
    out[Y] = p.y;
    out[Z] = p.z;
}

// Copies text into a caller's buffer: RTNORM, or RTINPUTTRUNCATED with as much as fits.
int copyText(const std::wstring& text, ACHAR* out, size_t size, int status) {
    if (!out || size == 0) return RTERROR;
    size_t n = std::min(text.size(), size - 1);
    std::wmemcpy(out, text.data(), n);
    out[n] = 0;
    return n < text.size() ? RTINPUTTRUNCATED : status;
}

int pointCall(InputKind kind, const ads_point pt, const ACHAR* prompt, ads_point result) {
    return guarded([&](Editor& ed) -> int {
        if (!result || (kind == InputKind::Corner && !pt)) {
            ed.takeInitGet();
            return RTERROR;
        }
        InputResult r = ask(ed, kind, prompt, pt);
        if (r.status == RTNORM) copyPoint(r.point, result);
        return r.status;
    });
}

int realCall(InputKind kind, const ads_point pt, const ACHAR* prompt, ads_real* result) {
    return guarded([&](Editor& ed) -> int {
        if (!result) {
            ed.takeInitGet();
            return RTERROR;
        }
        InputResult r = ask(ed, kind, prompt, pt);
        if (r.status == RTNORM) *result = r.real;
        return r.status;
    });
}

} // namespace
} // namespace zel::editor

using namespace zel::editor;

int acedInitGet(int val, const ACHAR* kwl) {
    return guarded([&](Editor& ed) -> int {
        InitGet init;
        init.bits = val;
        std::optional<KeywordList> words = parseKeywords(kwl ? kwl : L"");
        if (words) init.keywords = std::move(*words);
        ed.setInitGet(std::move(init));
        return words ? RTNORM : RTERROR;
    });
}

int acedGetPoint(const ads_point pt, const ACHAR* prompt, ads_point result) {
    return pointCall(InputKind::Point, pt, prompt, result);
}

int acedGetCorner(const ads_point pt, const ACHAR* prompt, ads_point result) {
    return pointCall(InputKind::Corner, pt, prompt, result);
}

int acedGetDist(const ads_point pt, const ACHAR* prompt, ads_real* result) {
    return realCall(InputKind::Distance, pt, prompt, result);
}

int acedGetAngle(const ads_point pt, const ACHAR* prompt, ads_real* result) {
    return realCall(InputKind::Angle, pt, prompt, result);
}

int acedGetOrient(const ads_point pt, const ACHAR* prompt, ads_real* result) {
    return realCall(InputKind::Orient, pt, prompt, result);
}

int acedGetReal(const ACHAR* prompt, ads_real* result) {
    return realCall(InputKind::Real, nullptr, prompt, result);
}

int acedGetInt(const ACHAR* prompt, int* result) {
    return guarded([&](Editor& ed) -> int {
        if (!result) {
            ed.takeInitGet();
            return RTERROR;
        }
        InputResult r = ask(ed, InputKind::Integer, prompt);
        if (r.status == RTNORM) *result = r.integer;
        return r.status;
    });
}

int acedGetString(int cronly, const ACHAR* prompt, ACHAR* result, size_t bufsize) {
    return guarded([&](Editor& ed) -> int {
        if (!result || bufsize == 0) {
            ed.takeInitGet();
            return RTERROR;
        }
        InputResult r = ask(ed, InputKind::String, prompt, nullptr, cronly != 0);
        if (r.status != RTNORM) return r.status;
        return copyText(r.text, result, bufsize, RTNORM);
    });
}

int acedGetKword(const ACHAR* prompt, ACHAR* result, size_t bufsize) {
    return guarded([&](Editor& ed) -> int {
        InputResult r = ask(ed, InputKind::Keyword, prompt);
        if (r.status != RTNORM) return r.status;
        ed.setLastKeyword(r.text);
        return result ? copyText(r.text, result, bufsize, RTNORM) : RTNORM;
    });
}

int acedGetInput(ACHAR* str, size_t bufsize) {
    return guarded(
        [&](Editor& ed) -> int { return copyText(ed.lastKeyword(), str, bufsize, RTNORM); });
}

int acedPrompt(const ACHAR* str) {
    return guarded([&](Editor& ed) -> int {
        if (str) ed.transcript().prompt(str);
        return RTNORM;
    });
}

int acedUsrBrk() {
    Editor* ed = currentEditor();
    if (!ed) return 0;
    try {
        return ed->userBreak() ? 1 : 0;
    } catch (...) {
        return 0;
    }
}
