#include "common/services/scale.h"
#include "common/services/wtext.h"

#include "arx/aced.h"
#include "arx/dbmain.h"
#include "arx/ed.h"
#include "common/support/zelsupport.h"

#include <cwchar>
#include <cwctype>

namespace {

constexpr double kSmallestScale = 1e-8;

std::wstring separator() {
    std::wstring sep;
    ZelGetCmnText(L"ZelScSym", sep, L"/");
    return sep.empty() ? std::wstring(L"/") : sep;
}

double realOf(const std::wstring& s) {
    return std::wcstod(s.c_str(), nullptr);
}

// 1/value or value as decimal text with trailing zeros (and a trailing point) dropped.
std::wstring decimal(double value) {
    wchar_t buf[64];
    std::swprintf(buf, 64, L"%.12f", value);
    std::wstring s = buf;
    if (s.find(L'.') == std::wstring::npos) return s;
    while (!s.empty() && s.back() == L'0')
        s.pop_back();
    while (!s.empty() && s.back() == L'.')
        s.pop_back();
    return s;
}

} // namespace

double DimScale() {
    resbuf rb{};
    if (acedGetVar(L"DIMSCALE", &rb) != RTNORM || rb.restype != RTREAL) return 1.0;
    return rb.resval.rreal > kSmallestScale ? rb.resval.rreal : 1.0;
}

int ParseScale(const ACHAR* text, double& numerator, double& denominator) {
    std::wstring sep = separator();
    std::wstring t = text ? text : L"";
    if (t.empty()) ZelGetLocText(L"ZelCurSc", t, L"");
    if (t.empty()) t = L"1" + sep + L"1";
    t = TrimBlanks(t);
    if (SameNoCase(t, L"DwgScale")) {
        numerator = 1.0;
        denominator = DimScale();
        return 2;
    }
    if (t.size() < 3) return 0;
    size_t at = t.find(sep);
    if (at == std::wstring::npos) at = t.find(L':');
    if (at == std::wstring::npos) at = t.find(L'/');
    if (at == std::wstring::npos) return 0;
    numerator = realOf(t.substr(0, at));
    denominator = realOf(t.substr(at + 1));
    return numerator > 0 && denominator > 0 ? 1 : 0;
}

double ScaleRatio() {
    double n = 1, d = 1;
    if (ParseScale(nullptr, n, d) == 0 || !(n > 0) || !(d > 0)) n = d = 1.0;
    return n / d * DimScale();
}

std::wstring FormatScale(double value) {
    std::wstring sep = separator();
    if (value < 1.0) return L"1" + sep + decimal(1.0 / value);
    return decimal(value) + sep + L"1";
}

double ScaleFactorOf(const ACHAR* text) {
    std::wstring t = text ? text : L"";
    if (t == L"DwgScale" || t == L"DWGSCALE") {
        resbuf rb{};
        double dim =
            acedGetVar(L"DIMSCALE", &rb) == RTNORM && rb.restype == RTREAL ? rb.resval.rreal : 1;
        return 1.0 / (dim == 0 ? 1.0 : dim);
    }
    std::wstring sep;
    ZelGetCmnText(L"ZelScSym", sep, L"");
    if (sep.empty()) sep = L"/";
    size_t at = t.find(sep);
    if (at == std::wstring::npos) {
        sep = sep[0] == L'/' ? L":" : L"/";
        at = t.find(sep);
    }
    if (at == std::wstring::npos) return 1.0; // no scale text: no factor
    double d = realOf(t.substr(at + 1));
    return d != 0 ? realOf(t.substr(0, at)) / d : 1.0;
}

void GetCurrentScaleName(std::wstring& buffer) {
    std::wstring name;
    ZelGetLocText(L"ZelCurSc", name, L"");
    if (!name.empty()) buffer = name;
}

bool GetObjectScaleName(AcDbObjectId id, std::wstring& buffer) {
    AcDbObject* obj = nullptr;
    if (acdbOpenObject(obj, id, AcDb::kForRead) != Acad::eOk || !obj) {
        acutPrintf(L"\nacdbOpenEntity failed");
        return false;
    }
    resbuf* xd = obj->xData(L"ZELOBJSC");
    const resbuf* first = xd ? xd->rbnext : nullptr; // after the application name
    buffer = first && first->restype == 1000 && first->resval.rstring ? first->resval.rstring
                                                                      : L"DwgScale";
    acutRelRb(xd);
    obj->close();
    return true;
}

void SetCurrentScaleName(const ACHAR* text) {
    resbuf* call = acutBuildList(RTSTR, L"ZelScAddCmbList", RTSTR, text, RTSHORT, 1, 0);
    resbuf* result = nullptr;
    if (acedInvoke(call, &result) != RTNORM) acutPrintf(L"\nError:ZelScAddCmbList()");
    acutRelRb(call);
    acutRelRb(result);
    ZelSetLocText(L"ZelCurSc", text);
}
