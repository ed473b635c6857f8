// Result-buffer lists printed as LISP prints them (see resbuf.h).
#include "core/format.h"
#include "core/resbuf.h"
#include "core/text.h"

#include <charconv>
#include <cmath>

namespace zel::core {

namespace {

constexpr int kLispRealDigits = 6; // LISP shows reals with six significant digits

std::wstring hexText(uint64_t v) {
    char buf[24];
    auto r = std::to_chars(buf, buf + sizeof buf, v, 16);
    return asciiToWide(std::string_view(buf, static_cast<size_t>(r.ptr - buf)));
}

std::wstring nameText(int restype, const ads_name n) {
    const wchar_t* what = restype == RTPICKS ? L"<Selection set: " : L"<Entity name: ";
    return what + hexText(static_cast<uint64_t>(n[0])) + L">";
}

std::wstring binaryText(const ads_binary& b) {
    static const wchar_t kHex[] = L"0123456789ABCDEF";
    std::wstring s = L"\"";
    for (short i = 0; b.buf && i < b.clen; ++i) {
        auto byte = static_cast<unsigned char>(b.buf[i]);
        s += kHex[byte >> 4];
        s += kHex[byte & 0xF];
    }
    return s + L"\"";
}

std::wstring pointText(const ads_real* p, bool threeD) {
    std::wstring s = lispReal(p[0]) + L" " + lispReal(p[1]);
    if (threeD) s += L" " + lispReal(p[2]);
    return s;
}

// The value of a node as LISP shows it (without its group code).
std::wstring valueText(const resbuf* rb) {
    const ads_u_val& v = rb->resval;
    switch (rbKind(rb->restype)) {
    case RbKind::Invalid:
    case RbKind::None:
        break;
    case RbKind::Real:
        return lispReal(v.rreal);
    case RbKind::Point: {
        std::wstring xyz = pointText(v.rpoint, rb->restype != RTPOINT);
        return rb->restype < RTNONE ? xyz : L"(" + xyz + L")"; // a group adds its code first
    }
    case RbKind::Short:
        return toWString(v.rint);
    case RbKind::Long:
        return toWString(v.rlong);
    case RbKind::Int64:
        return toWString(v.mnInt64);
    case RbKind::String:
        return lispString(v.rstring ? v.rstring : L"");
    case RbKind::Name:
        return nameText(rb->restype, v.rlname);
    case RbKind::Binary:
        return binaryText(v.rbinary);
    }
    if (rb->restype == RTT) return L"T";
    if (rb->restype == RTNIL) return L"nil";
    return L"";
}

bool isGroup(const resbuf* rb) {
    return rb->restype < RTNONE;
}

// A DXF group: (code . value), or (code x y z) for a point.
std::wstring groupText(const resbuf* rb) {
    std::wstring code = toWString(rb->restype);
    if (rbKind(rb->restype) == RbKind::Point) return L"(" + code + L" " + valueText(rb) + L")";
    return L"(" + code + L" . " + valueText(rb) + L")";
}

// Extended data after a -3 node: (-3 ("APP" (1000 . "x") ...) ...). Consumes the groups.
std::wstring xdataText(const resbuf*& rb) {
    std::wstring s = L"(-3";
    bool appOpen = false;
    for (rb = rb->rbnext; rb && rb->restype >= 1000 && rb->restype < RTNONE; rb = rb->rbnext) {
        if (rb->restype == 1001) {
            if (appOpen) s += L")";
            s += L" (" + valueText(rb);
            appOpen = true;
        } else {
            s += L" " + groupText(rb);
        }
    }
    if (appOpen) s += L")";
    return s + L")";
}

std::wstring listText(const resbuf*& rb);

// One element at rb (advancing past it): an atom, a group, a nested list, or xdata.
std::wstring elementText(const resbuf*& rb) {
    if (rb->restype == RTLB) {
        rb = rb->rbnext;
        return listText(rb);
    }
    if (rb->restype == -3) return xdataText(rb);
    std::wstring s = isGroup(rb) ? groupText(rb) : valueText(rb);
    rb = rb->rbnext;
    return s;
}

bool isValue(const resbuf* rb) {
    return rb && rb->restype != RTLE && rb->restype != RTDOTE && rb->restype != RTNONE &&
           rb->restype != RTVOID;
}

// The elements up to the RTLE that closes the list, in parentheses. A dotted pair is either
// "RTLB a RTDOTE b RTLE" or "RTLB a b RTDOTE" (the dot closing the list).
std::wstring listText(const resbuf*& rb) {
    std::wstring s = L"(";
    bool first = true;
    size_t lastStart = 0; // where the last element begins
    while (rb) {
        if (rb->restype == RTLE) {
            rb = rb->rbnext;
            break;
        }
        if (rb->restype == RTDOTE) {
            const resbuf* next = rb->rbnext;
            bool cdrFollows = isValue(next) && next->rbnext && next->rbnext->restype == RTLE;
            rb = next;
            if (cdrFollows) {
                s += L" . " + elementText(rb);
                continue;
            }
            if (lastStart > 1) s.insert(lastStart, L". ");
            break;
        }
        std::wstring e = elementText(rb);
        if (e.empty()) continue;
        if (!first) s += L" ";
        lastStart = s.size();
        s += e;
        first = false;
    }
    return s + L")";
}

} // namespace

std::wstring lispReal(double v) {
    if (std::isnan(v)) return L"1.#QNAN";
    if (std::isinf(v)) return v < 0 ? L"-1.#INF" : L"1.#INF";
    if (v == 0) return L"0.0"; // also -0.0
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, kLispRealDigits);
    std::string s(buf, r.ptr);
    if (s.find('.') == std::string::npos) {
        size_t e = s.find('e');
        size_t at = e == std::string::npos ? s.size() : e;
        s.insert(at, 1, '0');
        s.insert(at, 1, '.');
    }
    return asciiToWide(s);
}

std::wstring lispString(std::wstring_view text) {
    std::wstring s = L"\"";
    for (wchar_t c : text) {
        switch (c) {
        case L'"':
            s += L"\\\"";
            continue;
        case L'\\':
            s += L"\\\\";
            continue;
        case L'\n':
            s += L"\\n";
            continue;
        case L'\r':
            s += L"\\r";
            continue;
        case L'\t':
            s += L"\\t";
            continue;
        case 0x1B:
            s += L"\\e";
            continue;
        }
        if (c >= 0 && c < 0x20)
            s += format(L"\\%03o", static_cast<unsigned>(c));
        else
            s += c;
    }
    return s + L"\"";
}

std::wstring rbToLisp(const resbuf* list) {
    if (!list) return L"nil";
    const resbuf* rb = list;
    std::wstring s = L"(";
    bool first = true;
    while (rb) {
        if (rb->restype == RTLE || rb->restype == RTDOTE) { // unbalanced: show what there is
            rb = rb->rbnext;
            continue;
        }
        std::wstring e = elementText(rb);
        if (e.empty()) continue;
        s += (first ? L"" : L" ") + e;
        first = false;
    }
    return first ? L"nil" : s + L")";
}

} // namespace zel::core
