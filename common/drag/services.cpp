// The input services of CDrag: object-snap strings, the pick box, the last point and numbers
// typed into the dialog bar.
#include "arx/aced.h"
#include "arx/ed.h"
#include "common/bar/dlgbar.h"
#include "common/drag/drag.h"
#include "common/services/sysvar.h"

#include <cwchar>
#include <cwctype>

namespace {

constexpr int kLargestOsmode = 16383;

resbuf coordinateSystem(short code) {
    resbuf rb{};
    rb.restype = RTSHORT;
    rb.resval.rint = code;
    return rb;
}

double screenHeight() {
    resbuf rb{};
    if (acedGetVar(L"SCREENSIZE", &rb) != RTNORM) return 0;
    return rb.restype == RTPOINT || rb.restype == RT3DPOINT ? rb.resval.rpoint[Y] : 0;
}

bool isDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

} // namespace

std::wstring CDrag::osnapModes(int osmode) {
    if (osmode == 0 || osmode > kLargestOsmode) return L"NON";
    static const ACHAR* const kNames[] = {L"END", L"MID", L"CEN", L"NOD", L"QUA", L"INT",
                                          L"INS", L"PER", L"TAN", L"NEA", L"QUI", L"APP"};
    std::wstring modes;
    for (int bit = 0; bit < 12; ++bit) {
        if (!(osmode & (1 << bit))) continue;
        if (!modes.empty()) modes += L",";
        modes += kNames[bit];
    }
    return modes;
}

int CDrag::snapPoint(const ads_point in, ads_point out) {
    resbuf rb{};
    int osmode = acedGetVar(L"OSMODE", &rb) == RTNORM && rb.restype == RTSHORT ? rb.resval.rint : 0;
    std::wstring modes = osnapModes(osmode);
    if (modes != L"NON" && acedOsnap(in, modes.c_str(), out) == RTNORM) return RTNORM;
    out[X] = in[X];
    out[Y] = in[Y];
    out[Z] = in[Z];
    return modes == L"NON" ? int(RTNONE) : int(RTERROR);
}

void CDrag::toDisplay(ads_point p) {
    resbuf ucs = coordinateSystem(1), dcs = coordinateSystem(2);
    acedTrans(p, &ucs, &dcs, 0, p);
}

void CDrag::pickBox(ads_point p, ads_point lower, ads_point upper) {
    double height = screenHeight();
    double half = height > 0 ? (RealVar(L"PICKBOX") + 10) * RealVar(L"VIEWSIZE") / height : 0;
    toDisplay(p);
    ads_point lo = {p[X] - half, p[Y] - half, 0}, hi = {p[X] + half, p[Y] + half, 0};
    resbuf ucs = coordinateSystem(1), dcs = coordinateSystem(2);
    acedTrans(lo, &dcs, &ucs, 0, lower);
    acedTrans(hi, &dcs, &ucs, 0, upper);
}

void CDrag::setLastPoint(const AcGePoint3d& p) {
    resbuf rb{};
    rb.restype = RT3DPOINT;
    rb.resval.rpoint[X] = p.x;
    rb.resval.rpoint[Y] = p.y;
    rb.resval.rpoint[Z] = p.z;
    acedSetVar(L"LASTPOINT", &rb);
    ArxCmd_SetLastPt();
}

std::wstring CDrag::realLiterals(const std::wstring& text) {
    std::wstring out;
    size_t i = 0;
    while (i < text.size()) {
        if (!isDigit(text[i])) {
            out += text[i++];
            continue;
        }
        size_t start = i;
        bool point = false, exponent = false, nonZero = false;
        while (i < text.size()) {
            wchar_t c = text[i];
            if (isDigit(c)) {
                nonZero = nonZero || c != L'0';
                ++i;
            } else if (c == L'.') {
                point = true;
                ++i;
            } else if ((c == L'E' || c == L'e') && i + 1 < text.size() &&
                       (text[i + 1] == L'+' || text[i + 1] == L'-')) {
                exponent = true;
                i += 2;
            } else {
                break;
            }
        }
        out.append(text, start, i - start);
        if (!point && !exponent && nonZero) out += L".0";
    }
    return out;
}

int CDrag::evalNumber(const ACHAR* text, ACHAR* out, size_t outSize, double& value) {
    std::wstring expr = realLiterals(text ? text : L"");
    resbuf* call = acutBuildList(RTSTR, L"CAL", RTSTR, expr.c_str(), 0);
    resbuf* result = nullptr;
    int rc = acedInvoke(call, &result);
    acutRelRb(call);
    if (rc != RTNORM) return 1; // no calculator: the value stays as it was
    if (!result) {
        acutPrintf(L"\n式が間違っています");
        return 0;
    }
    ACHAR buf[64] = L"";
    switch (result->restype) {
    case RTSHORT:
        value = result->resval.rint;
        std::swprintf(buf, 64, L"%d", result->resval.rint);
        break;
    case RTLONG:
        value = result->resval.rlong;
        std::swprintf(buf, 64, L"%d", int(result->resval.rlong));
        break;
    case RTREAL:
        value = result->resval.rreal;
        acdbRToS(value, -1, -1, buf, 64);
        break;
    default:
        acutRelRb(result);
        acutPrintf(L"\n式が間違っています");
        return 0;
    }
    acutRelRb(result);
    if (out && outSize > 0) {
        std::wcsncpy(out, buf, outSize - 1);
        out[outSize - 1] = L'\0';
    }
    return 1;
}
