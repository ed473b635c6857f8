// Typed settings, the per-document flags and the product name over the support bindings.
#include "common/support/zelsupport.h"

#include <cwchar>
#include <string>

namespace {

// A value buffer as the entries take it: kZelCfgBufLen characters that start as "0".
struct CfgBuffer {
    ACHAR text[kZelCfgBufLen] = L"0";
};

int parseInt(const ACHAR* text) {
    return int(std::wcstol(text, nullptr, 10)); // _wtoi: leading blanks, sign, digits
}

std::wstring intText(int value) {
    return std::to_wstring(value);
}

void copyOut(ACHAR* out, const std::wstring& text) {
    size_t n = std::min(text.size(), kZelCfgBufLen - 1);
    std::wmemcpy(out, text.data(), n);
    out[n] = 0;
}

} // namespace

int ZelGetLocInt(const ACHAR* key, int def, AcApDocument* doc) {
    CfgBuffer buf;
    std::wstring defText = intText(def);
    if (!thunk_zel_getcfgLoc(doc, key, buf.text, defText.c_str())) return def;
    return parseInt(buf.text);
}

int ZelGetCmnInt(const ACHAR* key, int def) {
    CfgBuffer buf;
    std::wstring defText = intText(def);
    if (!thunk_zel_getcfgCmn(key, buf.text, defText.c_str())) return def;
    return parseInt(buf.text);
}

bool ZelGetLocText(const ACHAR* key, std::wstring& out, const ACHAR* def, AcApDocument* doc) {
    CfgBuffer buf;
    bool found = thunk_zel_getcfgLoc(doc, key, buf.text, def ? def : L"") != 0;
    out = found ? buf.text : (def ? def : L"");
    return found;
}

bool ZelGetCmnText(const ACHAR* key, std::wstring& out, const ACHAR* def) {
    CfgBuffer buf;
    bool found = thunk_zel_getcfgCmn(key, buf.text, def ? def : L"") != 0;
    out = found ? buf.text : (def ? def : L"");
    return found;
}

bool ZelGetLocText(const ACHAR* key, ACHAR* out, const ACHAR* def, AcApDocument* doc) {
    std::wstring text;
    bool found = ZelGetLocText(key, text, def, doc);
    copyOut(out, text);
    return found;
}

bool ZelGetCmnText(const ACHAR* key, ACHAR* out, const ACHAR* def) {
    std::wstring text;
    bool found = ZelGetCmnText(key, text, def);
    copyOut(out, text);
    return found;
}

bool ZelSetLocInt(const ACHAR* key, int value, AcApDocument* doc) {
    return thunk_zel_setcfgLoc(doc, key, intText(value).c_str()) != 0;
}

bool ZelSetCmnInt(const ACHAR* key, int value) {
    return thunk_zel_setcfgCmn(key, intText(value).c_str()) != 0;
}

bool ZelSetLocText(const ACHAR* key, const ACHAR* value, AcApDocument* doc) {
    return thunk_zel_setcfgLoc(doc, key, value ? value : L"") != 0;
}

bool ZelSetCmnText(const ACHAR* key, const ACHAR* value) {
    return thunk_zel_setcfgCmn(key, value ? value : L"") != 0;
}

void ZelResetIsAppInt(AcApDocument* doc) {
    thunk_zel_setcfgLoc(doc, L"IsAppInt", L"0");
}

void ZelResetIsFrom(AcApDocument* doc) {
    thunk_zel_setcfgLoc(doc, L"IsFrom", L"0");
}

void ZelSetFreezeSnapLock(int on, AcApDocument* doc) {
    thunk_zel_setcfgLoc(doc, L"FreezeSnapLock", on ? L"1" : L"0");
}

void ZelSetFreezeOsMode(int on, AcApDocument* doc) {
    thunk_zel_setcfgLoc(doc, L"FreezeOsMode", on ? L"1" : L"0");
}

void ZelSetFreezeDragMode(int on, AcApDocument* doc) {
    thunk_zel_setcfgLoc(doc, L"FreezeDragMode", on ? L"1" : L"0");
}

std::wstring ZelProductName() {
    std::wstring name = thunk_getZelProductName();
    return name.empty() ? std::wstring(kZelDefaultProduct) : name;
}
