// The selection functions of the module's LISP table: ZELADS_SSGET and ZELADS_SSFREE here;
// ZELADS_REDRAW and ZELADS_SSREDRAWADD in highlight_functions.cpp, ZELADS_GETBOX in getbox.cpp.
#include "arx/acedwinmsg.h"
#include "arx/ed.h"
#include "common/frame/inputreactors.h"
#include "common/services/sysvar.h"
#include "common/support/zelsupport.h"
#include "draftedit/lisp/args.h"
#include "draftedit/lisp/functions.h"
#include "draftedit/lisp/highlight.h"

#include <cwctype>

namespace draftedit {
namespace {

// The last key typed during the selection of ZELADS_SSGET (0: none).
wchar_t gSelectionKey = 0;

// "X" or "Z" (either case) ends the selection as Enter would, and the function reports it.
bool isEndingKey(wchar_t c) {
    wchar_t up = static_cast<wchar_t>(std::towupper(c));
    return up == L'X' || up == L'Z';
}

bool filterKeyInput(MSG* msg) {
    if (msg->message != WM_CHAR) return false;
    gSelectionKey = static_cast<wchar_t>(msg->wParam);
    if (!isEndingKey(gSelectionKey)) return false;
    postToCommandLine(L"\n");
    return true;
}

// "Z" or "X" for the remembered key, else an empty text.
std::wstring endingKeyText() {
    if (!isEndingKey(gSelectionKey)) return {};
    return std::wstring(1, static_cast<wchar_t>(std::towupper(gSelectionKey)));
}

int returnSetAndKey(const ads_name ss, const std::wstring& key) {
    if (key.empty()) {
        acedRetName(ss, RTPICKS);
        return RSRSLT;
    }
    resbuf* list = acutBuildList(RTPICKS, ss, RTSTR, key.c_str(), 0);
    acedRetList(list);
    acutRelRb(list);
    return RSRSLT;
}

} // namespace

// A plain selection during which "X" or "Z" ends the selection: the set, the list (set, key),
// the key alone when nothing was selected, or nil ("ZelCancelFlag" 1 when cancelled).
int zeladsSsGet() {
    ZelSetLocInt(L"ZelCancelFlag", 0);
    gSelectionKey = 0;
    if (!acedRegisterFilterWinMsg(filterKeyInput)) {
        acutPrintf(L"Can't register Windows Msg hook - filterKeyInput\n");
        acedRetNil();
        return RSRSLT;
    }
    ads_name ss = {0, 0};
    int rc = acedSSGet(nullptr, nullptr, nullptr, nullptr, ss);
    acedRemoveFilterWinMsg(filterKeyInput);
    std::wstring key = endingKeyText();
    if (rc != RTNORM) {
        if (!key.empty()) {
            acedRetStr(key.c_str());
            return RSRSLT;
        }
        if (rc == RTCAN) ZelSetLocInt(L"ZelCancelFlag", 1);
        acedRetNil();
        return RSRSLT;
    }
    int32_t n = 0;
    if (IntVar(L"HIGHLIGHT", 0) == 1 && acedSSLength(ss, &n) == RTNORM && n > 0 &&
        !highlightSet(ss, true, L"Zelads_ssget")) {
        acedSSFree(ss);
        return RSERR;
    }
    return returnSetAndKey(ss, key);
}

// Frees the set when the first argument is a selection set; anything else is ignored.
int zeladsSsFree() {
    RbList args = callArguments();
    if (args && args->restype == RTPICKS) acedSSFree(args->resval.rlname);
    return RSRSLT;
}

} // namespace draftedit
