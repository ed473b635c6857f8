// Distances and angles read back from text (see units.h).
#include "core/text.h"
#include "core/units.h"

#include <cmath>

namespace zel::core {

namespace {

bool startsWithSign(std::wstring_view s) {
    return !s.empty() && (s[0] == L'-' || s[0] == L'+');
}

// An unsigned decimal or scientific number.
std::optional<double> plainNumber(std::wstring_view s) {
    std::wstring t = trim(s);
    if (t.empty() || startsWithSign(t)) return std::nullopt;
    return parseDouble(t);
}

// "N/D" with whole numbers, D not zero.
std::optional<double> simpleFraction(std::wstring_view s) {
    size_t slash = s.find(L'/');
    if (slash == std::wstring_view::npos) return std::nullopt;
    auto num = parseInt64(s.substr(0, slash));
    auto den = parseInt64(s.substr(slash + 1));
    if (!num || !den || *num < 0 || *den <= 0 || startsWithSign(trim(s.substr(slash + 1))))
        return std::nullopt;
    return static_cast<double>(*num) / static_cast<double>(*den);
}

// "17", "17.5", "1/2", "17 1/2", "17-1/2" (no sign).
std::optional<double> mixedNumber(std::wstring_view s) {
    std::wstring t = trim(s);
    if (t.empty() || startsWithSign(t)) return std::nullopt;
    size_t slash = t.find(L'/');
    if (slash == std::wstring::npos) return plainNumber(t);
    size_t sep = t.find_last_of(L" -", slash);
    if (sep == std::wstring::npos) return simpleFraction(t);
    auto whole = plainNumber(std::wstring_view(t).substr(0, sep));
    auto frac = simpleFraction(std::wstring_view(t).substr(sep + 1));
    if (!whole || !frac || *whole != std::floor(*whole)) return std::nullopt;
    return *whole + *frac;
}

std::wstring_view dropPrefix(std::wstring_view s, wchar_t c) {
    return !s.empty() && s[0] == c ? s.substr(1) : s;
}

// "1'-5 1/2\"", "1'5-1/2\"", "1'-5.50\"", "1'", "5.5\"", "17 1/2" (inches), no sign.
std::optional<double> feetInches(std::wstring_view s) {
    std::wstring t = trim(s);
    double feet = 0;
    size_t mark = t.find(L'\'');
    std::wstring rest = t;
    if (mark != std::wstring::npos) {
        auto f = plainNumber(std::wstring_view(t).substr(0, mark));
        if (!f) return std::nullopt;
        feet = *f;
        rest = trim(dropPrefix(trim(std::wstring_view(t).substr(mark + 1)), L'-'));
    }
    if (!rest.empty() && rest.back() == L'"') rest = trim(rest.substr(0, rest.size() - 1));
    if (rest.empty()) {
        if (mark == std::wstring::npos) return std::nullopt;
        return feet * 12;
    }
    auto inches = mixedNumber(rest);
    if (!inches) return std::nullopt;
    return feet * 12 + *inches;
}

// "45d30'15.5\"", "45°30'", "45d", "30'" (no sign): degrees.
std::optional<double> dms(std::wstring_view s) {
    std::wstring t = trim(s);
    double deg = 0, min = 0, sec = 0;
    size_t d = t.find_first_of(L"dD\u00B0");
    if (d != std::wstring::npos) {
        auto v = plainNumber(std::wstring_view(t).substr(0, d));
        if (!v) return std::nullopt;
        deg = *v;
        t = trim(std::wstring_view(t).substr(d + 1));
    }
    size_t m = t.find(L'\'');
    if (m != std::wstring::npos) {
        auto v = plainNumber(std::wstring_view(t).substr(0, m));
        if (!v) return std::nullopt;
        min = *v;
        t = trim(std::wstring_view(t).substr(m + 1));
    }
    if (!t.empty() && t.back() == L'"') t = trim(std::wstring_view(t).substr(0, t.size() - 1));
    if (!t.empty()) {
        auto v = plainNumber(t);
        if (!v) return std::nullopt;
        sec = *v;
    }
    return deg + min / 60 + sec / 3600;
}

bool hasDmsMarks(std::wstring_view s) {
    return s.find_first_of(L"dD\u00B0'\"") != std::wstring_view::npos;
}

// An unsigned angle in degrees: DMS marks, or a number with an optional g or r suffix, or a
// plain number in the unit of the mode.
std::optional<double> degreesOf(std::wstring_view s, int aunits) {
    std::wstring t = trim(s);
    if (t.empty()) return std::nullopt;
    if (hasDmsMarks(t)) return dms(t);
    wchar_t last = toLowerChar(t.back());
    if (last == L'g' || last == L'r') {
        auto v = plainNumber(std::wstring_view(t).substr(0, t.size() - 1));
        if (!v) return std::nullopt;
        return last == L'g' ? *v * 0.9 : *v * 180.0 / M_PI;
    }
    auto v = plainNumber(t);
    if (!v) return std::nullopt;
    if (aunits == 2) return *v * 0.9;
    if (aunits == 3) return *v * 180.0 / M_PI;
    return *v;
}

// "N 45d30' E", "S45dW", "N", "E": degrees counter-clockwise from east.
std::optional<double> surveyorDegrees(std::wstring_view s) {
    std::wstring t = toUpper(trim(s));
    if (t == L"E") return 0.0;
    if (t == L"N") return 90.0;
    if (t == L"W") return 180.0;
    if (t == L"S") return 270.0;
    if (t.size() < 3) return std::nullopt;
    wchar_t ns = t.front(), ew = t.back();
    if ((ns != L'N' && ns != L'S') || (ew != L'E' && ew != L'W')) return std::nullopt;
    auto b = degreesOf(std::wstring_view(t).substr(1, t.size() - 2), 0);
    if (!b || *b > 90) return std::nullopt;
    if (ns == L'N') return ew == L'E' ? 90 - *b : 90 + *b;
    return ew == L'W' ? 270 - *b : 270 + *b;
}

bool isCompass(wchar_t c) {
    c = toUpperChar(c);
    return c == L'N' || c == L'S' || c == L'E' || c == L'W';
}

} // namespace

std::optional<double> parseDistance(std::wstring_view text, int lunits) {
    std::wstring t = trim(text);
    if (t.empty()) return std::nullopt;
    bool negative = t[0] == L'-';
    if (startsWithSign(t)) t = trim(std::wstring_view(t).substr(1));
    std::optional<double> v;
    switch (lunits) {
    case 1:
    case 2:
        v = plainNumber(t);
        break;
    case 3:
    case 4:
        v = feetInches(t);
        break;
    case 5:
        v = mixedNumber(t);
        break;
    default:
        return std::nullopt;
    }
    if (!v) return std::nullopt;
    return negative ? -*v : *v;
}

std::optional<double> parseAngle(std::wstring_view text, int aunits) {
    if (aunits < 0 || aunits > 4) return std::nullopt;
    std::wstring t = trim(text);
    if (t.empty()) return std::nullopt;
    std::optional<double> deg;
    bool negative = false;
    if (isCompass(t[0])) {
        deg = surveyorDegrees(t);
    } else {
        negative = t[0] == L'-';
        if (startsWithSign(t)) t = trim(std::wstring_view(t).substr(1));
        deg = degreesOf(t, aunits);
    }
    if (!deg) return std::nullopt;
    double a = std::fmod((negative ? -*deg : *deg) * M_PI / 180.0, 2 * M_PI);
    if (a < 0) a += 2 * M_PI;
    return a >= 2 * M_PI ? 0.0 : a;
}

} // namespace zel::core
