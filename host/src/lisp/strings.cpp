// String functions: strcat strlen substr strcase atoi atof itoa chr ascii rtos angtos distof
// angtof wcmatch vl-string-search vl-string-subst vl-string-trim (and -left-, -right-)
// vl-princ-to-string vl-prin1-to-string.
#include "core/text.h"
#include "core/units.h"
#include "lisp/args.h"
#include "lisp/builtins.h"
#include "lisp/interp.h"
#include "lisp/printer.h"
#include "lisp/wcmatch.h"

#include <cmath>
#include <limits>

namespace zel::lisp {

namespace {

using Args = std::span<const Value>;

Value strcatFn(Interpreter&, Args a) {
    std::wstring s;
    for (const Value& v : a)
        s += arg::string(v);
    return Value::string(std::move(s));
}

Value strlenFn(Interpreter&, Args a) {
    size_t n = 0;
    for (const Value& v : a)
        n += arg::string(v).size();
    return Value::integer(static_cast<int32_t>(n));
}

Value substrFn(Interpreter&, Args a) {
    const std::wstring& s = arg::string(a[0]);
    int32_t start = arg::integer(a[1]);
    if (start < 1) arg::badValue(a[1]);
    size_t from = static_cast<size_t>(start - 1);
    if (from >= s.size()) return Value::string(L"");
    size_t count = std::wstring::npos;
    if (a.size() > 2) {
        int32_t n = arg::integer(a[2]);
        if (n < 0) arg::badValue(a[2]);
        count = static_cast<size_t>(n);
    }
    return Value::string(s.substr(from, count));
}

Value strcaseFn(Interpreter&, Args a) {
    const std::wstring& s = arg::string(a[0]);
    bool lower = a.size() > 1 && !a[1].isNil();
    return Value::string(lower ? core::toLower(s) : core::toUpper(s));
}

bool isSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\f' || c == L'\v';
}
bool isDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

// Leading blanks, sign and digits, as C's atoi reads them; out of range clamps.
Value atoiFn(Interpreter&, Args a) {
    const std::wstring& s = arg::string(a[0]);
    size_t i = 0;
    while (i < s.size() && isSpace(s[i]))
        ++i;
    bool negative = i < s.size() && s[i] == L'-';
    if (i < s.size() && (s[i] == L'-' || s[i] == L'+')) ++i;
    int64_t v = 0;
    constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    for (; i < s.size() && isDigit(s[i]); ++i)
        v = std::min(v * 10 + (s[i] - L'0'), kLimit);
    v = negative ? -v : std::min(v, kLimit - 1);
    return Value::integer(static_cast<int32_t>(v));
}

// The longest prefix (after blanks) that is a decimal number, as C's atof reads it.
Value atofFn(Interpreter&, Args a) {
    const std::wstring& s = arg::string(a[0]);
    size_t i = 0;
    while (i < s.size() && isSpace(s[i]))
        ++i;
    size_t start = i;
    if (i < s.size() && (s[i] == L'-' || s[i] == L'+')) ++i;
    size_t digits = 0;
    for (; i < s.size() && isDigit(s[i]); ++i)
        ++digits;
    if (i < s.size() && s[i] == L'.')
        for (++i; i < s.size() && isDigit(s[i]); ++i)
            ++digits;
    if (digits == 0) return Value::real(0.0);
    size_t end = i;
    if (i < s.size() && (s[i] == L'e' || s[i] == L'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == L'-' || s[j] == L'+')) ++j;
        if (j < s.size() && isDigit(s[j])) {
            while (j < s.size() && isDigit(s[j]))
                ++j;
            end = j;
        }
    }
    std::wstring number = s.substr(start, end - start);
    if (number[0] == L'+') number.erase(0, 1);
    if (number.back() == L'.') number += L'0';
    size_t point = number.find(L'.');
    if (point == 0 || (point == 1 && number[0] == L'-')) number.insert(point, 1, L'0');
    std::optional<double> v = core::parseDouble(number);
    if (!v) { // beyond the reals: too small is 0, too large infinite
        bool tiny =
            number.find(L"e-") != std::wstring::npos || number.find(L"E-") != std::wstring::npos;
        double big = number[0] == L'-' ? -HUGE_VAL : HUGE_VAL;
        return Value::real(tiny ? 0.0 : big);
    }
    return Value::real(*v);
}

Value itoaFn(Interpreter&, Args a) {
    return Value::string(core::toWString(arg::integer(a[0])));
}

Value chrFn(Interpreter&, Args a) {
    int32_t code = arg::integer(a[0]);
    if (code < 0 || code > 0x10FFFF) arg::badValue(a[0]);
    if (code == 0) return Value::string(L"");
    return Value::string(std::wstring(1, static_cast<wchar_t>(code)));
}

Value asciiFn(Interpreter&, Args a) {
    const std::wstring& s = arg::string(a[0]);
    return Value::integer(s.empty() ? 0 : static_cast<int32_t>(s[0]));
}

// Mode and precision arguments: given, or the drawing's settings when absent or nil.
int optionalInt(Args a, size_t i, int fallback) {
    return (a.size() > i && !a[i].isNil()) ? arg::integer(a[i]) : fallback;
}

Value rtosFn(Interpreter&, Args a) {
    double v = arg::number(a[0]);
    core::UnitSettings u = core::currentUnitSettings();
    int mode = optionalInt(a, 1, u.lunits), prec = optionalInt(a, 2, u.luprec);
    std::optional<std::wstring> s = core::formatDistance(v, mode, prec, u.dimzin, u.unitmode);
    if (!s) arg::badValue(a.size() > 1 ? makeList({a[1], a.size() > 2 ? a[2] : Value()}) : a[0]);
    return Value::string(*s);
}

Value angtosFn(Interpreter&, Args a) {
    double v = arg::number(a[0]);
    core::UnitSettings u = core::currentUnitSettings();
    int mode = optionalInt(a, 1, u.aunits), prec = optionalInt(a, 2, u.auprec);
    std::optional<std::wstring> s = core::formatAngle(v, mode, prec, u.dimzin, u.unitmode);
    if (!s) arg::badValue(a.size() > 1 ? makeList({a[1], a.size() > 2 ? a[2] : Value()}) : a[0]);
    return Value::string(*s);
}

Value distofFn(Interpreter&, Args a) {
    const std::wstring& s = arg::string(a[0]);
    int mode = optionalInt(a, 1, core::currentUnitSettings().lunits);
    std::optional<double> v = core::parseDistance(s, mode);
    return v ? Value::real(*v) : Value();
}

Value angtofFn(Interpreter&, Args a) {
    const std::wstring& s = arg::string(a[0]);
    int mode = optionalInt(a, 1, core::currentUnitSettings().aunits);
    std::optional<double> v = core::parseAngle(s, mode);
    return v ? Value::real(*v) : Value();
}

Value wcmatchFn(Interpreter& in, Args a) {
    return in.boolean(wildcardMatch(arg::string(a[0]), arg::string(a[1])));
}

size_t startArg(Args a, size_t i) {
    if (a.size() <= i || a[i].isNil()) return 0;
    int32_t start = arg::integer(a[i]);
    if (start < 0) arg::badValue(a[i]);
    return static_cast<size_t>(start);
}

Value searchFn(Interpreter&, Args a) {
    const std::wstring& pattern = arg::string(a[0]);
    const std::wstring& s = arg::string(a[1]);
    size_t at = s.find(pattern, startArg(a, 2));
    return at == std::wstring::npos ? Value() : Value::integer(static_cast<int32_t>(at));
}

Value substFn(Interpreter&, Args a) {
    const std::wstring& repl = arg::string(a[0]);
    const std::wstring& pattern = arg::string(a[1]);
    std::wstring s = arg::string(a[2]);
    size_t at = s.find(pattern, startArg(a, 3));
    if (at != std::wstring::npos) s.replace(at, pattern.size(), repl);
    return Value::string(std::move(s));
}

Value trimWith(Args a, bool left, bool right) {
    const std::wstring& chars = arg::string(a[0]);
    const std::wstring& s = arg::string(a[1]);
    size_t from = left ? s.find_first_not_of(chars) : 0;
    if (from == std::wstring::npos) return Value::string(L"");
    size_t to = right ? s.find_last_not_of(chars) : s.size() - 1;
    return Value::string(s.substr(from, to - from + 1));
}

Value trimFn(Interpreter&, Args a) {
    return trimWith(a, true, true);
}
Value trimLeftFn(Interpreter&, Args a) {
    return trimWith(a, true, false);
}
Value trimRightFn(Interpreter&, Args a) {
    return trimWith(a, false, true);
}

Value princToStringFn(Interpreter&, Args a) {
    return Value::string(toText(a[0], PrintStyle::Princ));
}

Value prin1ToStringFn(Interpreter&, Args a) {
    return Value::string(toText(a[0], PrintStyle::Prin1));
}

} // namespace

void registerStringBuiltins(Interpreter& in) {
    in.defineSubr(L"STRCAT", strcatFn, 0, -1);
    in.defineSubr(L"STRLEN", strlenFn, 0, -1);
    in.defineSubr(L"SUBSTR", substrFn, 2, 3);
    in.defineSubr(L"STRCASE", strcaseFn, 1, 2);
    in.defineSubr(L"ATOI", atoiFn, 1, 1);
    in.defineSubr(L"ATOF", atofFn, 1, 1);
    in.defineSubr(L"ITOA", itoaFn, 1, 1);
    in.defineSubr(L"CHR", chrFn, 1, 1);
    in.defineSubr(L"ASCII", asciiFn, 1, 1);
    in.defineSubr(L"RTOS", rtosFn, 1, 3);
    in.defineSubr(L"ANGTOS", angtosFn, 1, 3);
    in.defineSubr(L"DISTOF", distofFn, 1, 2);
    in.defineSubr(L"ANGTOF", angtofFn, 1, 2);
    in.defineSubr(L"WCMATCH", wcmatchFn, 2, 2);
    in.defineSubr(L"VL-STRING-SEARCH", searchFn, 2, 3);
    in.defineSubr(L"VL-STRING-SUBST", substFn, 3, 4);
    in.defineSubr(L"VL-STRING-TRIM", trimFn, 2, 2);
    in.defineSubr(L"VL-STRING-LEFT-TRIM", trimLeftFn, 2, 2);
    in.defineSubr(L"VL-STRING-RIGHT-TRIM", trimRightFn, 2, 2);
    in.defineSubr(L"VL-PRINC-TO-STRING", princToStringFn, 1, 1);
    in.defineSubr(L"VL-PRIN1-TO-STRING", prin1ToStringFn, 1, 1);
}

} // namespace zel::lisp
