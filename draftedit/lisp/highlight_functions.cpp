// ZELADS_REDRAW and ZELADS_SSREDRAWADD: highlighting entities and selection sets for the suite's
// LISP code (nothing happens unless HIGHLIGHT is 1).
#include "arx/db.h"
#include "arx/dbads.h"
#include "arx/dbmain.h"
#include "arx/ed.h"
#include "common/services/sysvar.h"
#include "common/support/zelsupport.h"
#include "draftedit/lisp/args.h"
#include "draftedit/lisp/functions.h"
#include "draftedit/lisp/highlight.h"

namespace draftedit {
namespace {

constexpr int kHighlightMode = 3;
constexpr int kDefaultMode = 4;

enum class Step { Ok, NoId, NoOpen };

Step setHighlight(const ads_name ent, bool on) {
    AcDbObjectId id;
    if (acdbGetObjectId(id, ent) != Acad::eOk) return Step::NoId;
    AcDbEntity* e = nullptr;
    if (acdbOpenAcDbEntity(e, id, AcDb::kForRead) != Acad::eOk || !e) return Step::NoOpen;
    if (on)
        e->highlight();
    else
        e->unhighlight();
    e->close();
    return Step::Ok;
}

// "\n<product>ｴﾗｰ: <function>() -> acdbGetObjectId()" and the like.
void tellStep(Step step, const ACHAR* function) {
    std::wstring product = ZelProductName();
    const ACHAR* call = step == Step::NoId ? L"acdbGetObjectId()" : L"acdbOpenAcDbEntity()";
    acutPrintf(L"\n%sｴﾗｰ: %s() -> %s", product.c_str(), function, call);
}

int modeOf(const resbuf* rb, int fallback) {
    if (rb && rb->restype == RTSHORT) return rb->resval.rint;
    if (rb && rb->restype == RTLONG) return rb->resval.rlong;
    return fallback;
}

bool isEmptyName(const resbuf* rb) {
    return rb->restype == RTPICKS && rb->resval.rlname[0] == 0 && rb->resval.rlname[1] == 0;
}

} // namespace

bool highlightSet(const ads_name ss, bool on, const ACHAR* function) {
    int32_t n = 0;
    acedSSLength(ss, &n);
    for (int32_t i = 0; i < n; ++i) {
        ads_name ent;
        if (acedSSName(ss, i, ent) != RTNORM) continue;
        Step step = setHighlight(ent, on);
        if (step == Step::Ok) continue;
        tellStep(step, function);
        return false;
    }
    return true;
}

int zeladsRedraw() {
    RbList args = callArguments();
    if (IntVar(L"HIGHLIGHT", 0) != 1) return RSRSLT;
    if (args && args->restype == RTENAME) {
        int mode = modeOf(args->rbnext, kDefaultMode);
        setHighlight(args->resval.rlname, mode == kHighlightMode); // missing ones are skipped
        return RSRSLT;
    }
    ads_name all;
    if (acedSSGet(L"X", nullptr, nullptr, nullptr, all) != RTNORM) return RSRSLT;
    bool ok = highlightSet(all, false, L"Zelads_redraw");
    acedSSFree(all);
    return ok ? RSRSLT : RSERR;
}

int zeladsSsRedrawAdd() {
    RbList args = callArguments();
    const resbuf* first = args.get();
    if (!first || first->restype != RTPICKS) return wrongArgument(L"(Zelads_ssredrawadd)");
    const resbuf* second = first->rbnext;
    int mode = modeOf(second ? second->rbnext : nullptr, kDefaultMode);
    int highlight = IntVar(L"HIGHLIGHT", 0);
    ads_name result = {first->resval.rlname[0], first->resval.rlname[1]};
    if (second && second->restype == RTPICKS && !isEmptyName(second)) {
        SetShortVar(L"HIGHLIGHT", 0);
        acedCommandS(RTSTR, L"_.SELECT", RTPICKS, first->resval.rlname, RTPICKS,
                     second->resval.rlname, RTSTR, L"", RTNONE);
        acedSSGet(L"P", nullptr, nullptr, nullptr, result);
        SetShortVar(L"HIGHLIGHT", highlight);
    }
    acedRetName(result, RTPICKS);
    if (highlight != 1) return RSRSLT;
    return highlightSet(result, mode == kHighlightMode, L"Zelads_ssredrawadd") ? RSRSLT : RSERR;
}

} // namespace draftedit
