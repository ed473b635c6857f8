#include "common/bar/dlgbar.h"

#include "arx/aced.h"

#include <cstdint>
#include <cwchar>
#include <initializer_list>
#include <string>

namespace {

// One argument of a call: a text, a short or a pointer-sized number.
struct Arg {
    int type;
    const ACHAR* text = nullptr;
    int64_t number = 0;
    Arg(const ACHAR* s) : type(RTSTR), text(s ? s : L"") {}
    Arg(short n) : type(RTSHORT), number(n) {}
    static Arg pointer(int64_t p) {
        Arg a(short(0));
        a.type = RTLONG_PTR;
        a.number = p;
        return a;
    }
};

resbuf* buildCall(const ACHAR* function, std::initializer_list<Arg> args) {
    resbuf* head = acutNewRb(RTSTR);
    head->resval.rstring = wcsdup(function);
    resbuf* tail = head;
    for (const Arg& a : args) {
        resbuf* rb = acutNewRb(a.type);
        if (a.type == RTSTR) rb->resval.rstring = wcsdup(a.text);
        if (a.type == RTSHORT) rb->resval.rint = static_cast<short>(a.number);
        if (a.type == RTLONG_PTR) rb->resval.mnLongPtr = a.number;
        tail->rbnext = rb;
        tail = rb;
    }
    return head;
}

// Calls the bar's function; on failure prints error (null: nothing). result, when given,
// receives the value (the caller frees it).
int call(const ACHAR* function, const ACHAR* error, std::initializer_list<Arg> args,
         resbuf** result = nullptr) {
    resbuf* list = buildCall(function, args);
    resbuf* value = nullptr;
    int rc = acedInvoke(list, &value);
    acutRelRb(list);
    if (result)
        *result = value;
    else
        acutRelRb(value);
    if (rc == RTNORM) return 1;
    if (error) acutPrintf(L"%s", error);
    return 0;
}

// The usual message: "ZelDlg" or "ArxCmd" and the name behind the prefix.
std::wstring errorOf(const ACHAR* function) {
    std::wstring f = function;
    if (f.rfind(L"Zelads_", 0) == 0) return L"\nError:ZelDlg" + f.substr(7) + L"()";
    if (f.rfind(L"ArxCmd_", 0) == 0) return L"\nError:ArxCmd" + f.substr(7) + L"()";
    return L"\nError:" + f + L"()";
}

int plain(const ACHAR* function, std::initializer_list<Arg> args) {
    return call(function, errorOf(function).c_str(), args);
}

int textInto(const ACHAR* function, const ACHAR* key, ACHAR* buf, size_t size) {
    resbuf* value = nullptr;
    int ok = call(function, errorOf(function).c_str(), {Arg(key)}, &value);
    if (buf && size > 0) {
        const ACHAR* text =
            value && value->restype == RTSTR && value->resval.rstring ? value->resval.rstring : L"";
        std::wcsncpy(buf, text, size - 1);
        buf[size - 1] = L'\0';
    }
    acutRelRb(value);
    return ok;
}

} // namespace

int Zelads_FpText(ZelBarTextCallback callback) {
    return plain(L"Zelads_FpText", {Arg::pointer(reinterpret_cast<intptr_t>(callback))});
}
int Zelads_FpTile(ZelBarTileCallback callback) {
    return plain(L"Zelads_FpTile", {Arg::pointer(reinterpret_cast<intptr_t>(callback))});
}
int Zelads_LoadDlg(const ACHAR* name) {
    return call(L"Zelads_LoadDlg", L"\nError:ZelDlgLoad()", {Arg(name)});
}
int Zelads_UnloadDlg() {
    return call(L"Zelads_UnloadDlg", L"\nError:ZelDlgUnload()", {});
}
int Zelads_SetText(const ACHAR* key, const ACHAR* text) {
    return plain(L"Zelads_SetText", {Arg(key), Arg(text)});
}
int Zelads_SetTileText(const ACHAR* key, const ACHAR* text) {
    return plain(L"Zelads_SetTileText", {Arg(key), Arg(text)});
}
int Zelads_GetText(const ACHAR* key, ACHAR* buf, size_t size) {
    return textInto(L"Zelads_GetText", key, buf, size);
}
int Zelads_SetFocusText(const ACHAR* key, const ACHAR* value) {
    if (!value) return plain(L"Zelads_SetFocusText", {Arg(key)});
    return plain(L"Zelads_SetFocusText", {Arg(key), Arg(value)});
}
int Zelads_SetTile(const ACHAR* key, const ACHAR* value) {
    if (!value) return plain(L"Zelads_SetTile", {Arg(key)});
    return plain(L"Zelads_SetTile", {Arg(key), Arg(value)});
}
int Zelads_ModeText(const ACHAR* key, short mode, short extra) {
    return plain(L"Zelads_ModeText", {Arg(key), Arg(mode), Arg(extra)});
}
int Zelads_ShowText(const ACHAR* key, short show, short extra) {
    return plain(L"Zelads_ShowText", {Arg(key), Arg(show), Arg(extra)});
}
int Zelads_ModeTile(const ACHAR* key, short mode) {
    return plain(L"Zelads_ModeTile", {Arg(key), Arg(mode)});
}
int Zelads_ShowTile(const ACHAR* key, short show) {
    return plain(L"Zelads_ShowTile", {Arg(key), Arg(show)});
}
int Zelads_ShowCombo(const ACHAR* key, short show) {
    return plain(L"Zelads_ShowCombo", {Arg(key), Arg(show)});
}
int Zelads_ModeCmbList(const ACHAR* key, short mode) {
    return plain(L"Zelads_ModeCmbList", {Arg(key), Arg(mode)});
}
int Zelads_ClrCmbList(const ACHAR* key) {
    return plain(L"Zelads_ClrCmbList", {Arg(key)});
}
int Zelads_AddCmbList(const ACHAR* key, const ACHAR* item) {
    return plain(L"Zelads_AddCmbList", {Arg(key), Arg(item)});
}
int Zelads_DelCmbList(const ACHAR* key, const ACHAR* item) {
    return plain(L"Zelads_DelCmbList", {Arg(key), Arg(item)});
}
int Zelads_SetCmbText(short key, const ACHAR* text) {
    return plain(L"Zelads_SetCmbText", {Arg(key), Arg(text)});
}
int Zelads_MaskEvent(short which, short on) {
    return plain(L"Zelads_MaskEvent", {Arg(which), Arg(on)});
}
int Zelads_RedrawBitmap(short which) {
    return plain(L"Zelads_RedrawBitmap", {Arg(which)});
}
int Zelads_ResetOsmode() {
    return call(L"Zelads_ResetOsmode", L"\nError:Zelads_ResetOsmode()", {});
}
int Zelads_ResetDrgmode() {
    return call(L"Zelads_ResetDrgmode", L"\nError:Zelads_ResetDrgmode()", {});
}

int ArxCmd_LoadDlg(int page) {
    static const ACHAR* const kPages[] = {L"DEFAULT", L"TEXT", L"COORD"};
    if (page < 0 || page > 2) {
        acutPrintf(L"\nError:ArxCmdLoadDlg() - argument must be 0 between 2.");
        return 0;
    }
    return plain(L"ArxCmd_LoadDlg", {Arg(kPages[page])});
}
int ArxCmd_GetText(const ACHAR* key, ACHAR* buf, size_t size) {
    return textInto(L"ArxCmd_GetText", key, buf, size);
}
int ArxCmd_ShowText(const ACHAR* key, const ACHAR* value) {
    return plain(L"ArxCmd_ShowText", {Arg(key), Arg(value)});
}
int ArxCmd_ModeText(const ACHAR* key, const ACHAR* value) {
    return plain(L"ArxCmd_ModeText", {Arg(key), Arg(value)});
}
int ArxCmd_SetText(const ACHAR* key, const ACHAR* text) {
    return plain(L"ArxCmd_SetText", {Arg(key), Arg(text)});
}
int ArxCmd_SetFocusText(const ACHAR* key) {
    return plain(L"ArxCmd_SetFocusText", {Arg(key)});
}
int ArxCmd_Step(const ACHAR* key) {
    return call(L"ArxCmd_Step", L"\nError:ArxCmd_Step()", {Arg(key)});
}
int ArxCmd_EndJob() {
    return plain(L"ArxCmd_EndJob", {});
}
int ArxCmd_SetLastPt() {
    return call(L"ArxCmd_SetLastPt", nullptr, {});
}
int ArxCmd_NULL(short which) {
    return call(L"ArxCmd_NULL", L"\nError:ArxCmdNotifyNULL()", {Arg(which)});
}
long long ArxCmd_GetHWnd(int id) {
    resbuf* value = nullptr;
    if (!call(L"ArxCmd_GetHWnd", errorOf(L"ArxCmd_GetHWnd").c_str(), {Arg(short(id))}, &value))
        return 0;
    long long handle = 0;
    if (value && value->restype == RTSHORT) handle = value->resval.rint;
    if (value && value->restype == RTLONG) handle = value->resval.rlong;
    acutRelRb(value);
    return handle;
}

int ArxCmd_SetSel(long long handle, int first, int last) {
    return call(L"ArxCmd_SetSel", errorOf(L"ArxCmd_SetSel").c_str(),
                {Arg(short(handle)), Arg(short(first)), Arg(short(last))});
}
int ArxCmd_ReplaceSel(long long handle, const ACHAR* text) {
    return call(L"ArxCmd_ReplaceSel", errorOf(L"ArxCmd_ReplaceSel").c_str(),
                {Arg(short(handle)), Arg(text)});
}

void ResetDialogBar() {
    ArxCmd_ShowText(L"9", L"0");
    ArxCmd_ShowText(L"1", L"1");
    ArxCmd_SetText(L"9", L"");
}
