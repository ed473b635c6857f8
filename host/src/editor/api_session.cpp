// System variables, environment values, alerts and the status bar of the C-style API
// (arx/ed.h) over the current editor.
#include "arx/ed.h"
#include "editor/api_guard.h"

#include <cwchar>

using zel::editor::Editor;
using zel::editor::guarded;

int acedGetVar(const ACHAR* sym, struct resbuf* result) {
    return guarded([&](Editor& ed) -> int { return sym ? ed.vars().getRb(sym, result) : RTERROR; });
}

int acedSetVar(const ACHAR* sym, const struct resbuf* val) {
    return guarded([&](Editor& ed) -> int { return sym ? ed.vars().setRb(sym, val) : RTERROR; });
}

int acedGetEnv(const ACHAR* sym, ACHAR* var, size_t len) {
    return guarded([&](Editor& ed) -> int {
        if (!sym || !var || len == 0) return RTERROR;
        std::optional<std::wstring> v = ed.env().get(sym);
        if (!v || v->size() + 1 > len) return RTERROR;
        std::wmemcpy(var, v->c_str(), v->size() + 1);
        return RTNORM;
    });
}

int acedSetEnv(const ACHAR* sym, const ACHAR* val) {
    return guarded([&](Editor& ed) -> int {
        if (!sym || !val) return RTERROR;
        return ed.env().set(sym, val) ? RTNORM : RTERROR;
    });
}

int acedAlert(const ACHAR* str) {
    return guarded([&](Editor& ed) -> int {
        ed.alert(str ? str : L"");
        return RTNORM;
    });
}

// The status-bar calls answer 0 on success and -1 on failure.
int acedSetStatusBarProgressMeter(const ACHAR* pszLabel, int nMinPos, int nMaxPos) {
    return guarded(
        [&](Editor& ed) -> int {
            if (nMinPos > nMaxPos) return -1;
            if (nMinPos == 0 && nMaxPos == 0)
                ed.setStatusText(pszLabel ? pszLabel : L"");
            else
                ed.setProgress(pszLabel ? pszLabel : L"", nMinPos, nMaxPos);
            return 0;
        },
        -1);
}

int acedSetStatusBarProgressMeterPos(int nPos) {
    return guarded(
        [&](Editor& ed) -> int {
            if (!ed.statusBar().progress) return -1;
            ed.setProgressPos(nPos);
            return 0;
        },
        -1);
}

void acedRestoreStatusBar() {
    guarded([](Editor& ed) -> int {
        ed.restoreStatusBar();
        return 0;
    });
}
