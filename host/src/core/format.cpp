// The printf-style formatter (see format.h). Numbers are converted with std::to_chars, which
// gives C's printf digits in the "C" locale whatever the process locale is.
#include "core/format.h"

#include "core/text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <string>
#include <sys/types.h>
#include <type_traits>
#include <vector>

namespace zel::core {

namespace {

enum class Length { None, Char, Short, Long, LongLong, Size, IntMax, PtrDiff, LongDouble };

struct Directive {
    bool left = false, plus = false, space = false, zero = false, alt = false;
    int width = 0;
    int precision = -1; // -1: not given
    Length length = Length::None;
    wchar_t conv = 0;
};

// Parses the directive after '%' at fmt; returns the position after it, or nullptr when the
// directive is malformed (the caller copies it as text).
const wchar_t* parseDirective(const wchar_t* fmt, va_list& args, Directive& d) {
    for (;; ++fmt) {
        if (*fmt == L'-')
            d.left = true;
        else if (*fmt == L'+')
            d.plus = true;
        else if (*fmt == L' ')
            d.space = true;
        else if (*fmt == L'0')
            d.zero = true;
        else if (*fmt == L'#')
            d.alt = true;
        else
            break;
    }
    if (*fmt == L'*') {
        int w = va_arg(args, int);
        if (w < 0) {
            d.left = true;
            w = w == INT32_MIN ? INT32_MAX : -w;
        }
        d.width = w;
        ++fmt;
    } else {
        while (*fmt >= L'0' && *fmt <= L'9') {
            if (d.width > 100000000) return nullptr;
            d.width = d.width * 10 + (*fmt++ - L'0');
        }
    }
    if (*fmt == L'.') {
        ++fmt;
        d.precision = 0;
        if (*fmt == L'*') {
            int p = va_arg(args, int);
            d.precision = p < 0 ? -1 : p;
            ++fmt;
        } else {
            while (*fmt >= L'0' && *fmt <= L'9') {
                if (d.precision > 100000000) return nullptr;
                d.precision = d.precision * 10 + (*fmt++ - L'0');
            }
        }
    }
    switch (*fmt) {
    case L'h':
        d.length = fmt[1] == L'h' ? Length::Char : Length::Short;
        fmt += d.length == Length::Char ? 2 : 1;
        break;
    case L'l':
        d.length = fmt[1] == L'l' ? Length::LongLong : Length::Long;
        fmt += d.length == Length::LongLong ? 2 : 1;
        break;
    case L'z':
        d.length = Length::Size, ++fmt;
        break;
    case L'j':
        d.length = Length::IntMax, ++fmt;
        break;
    case L't':
        d.length = Length::PtrDiff, ++fmt;
        break;
    case L'L':
        d.length = Length::LongDouble, ++fmt;
        break;
    case L'I':
        if (fmt[1] == L'6' && fmt[2] == L'4') {
            d.length = Length::LongLong, fmt += 3;
        } else if (fmt[1] == L'3' && fmt[2] == L'2') {
            fmt += 3;
        } else {
            d.length = Length::Size, ++fmt;
        }
        break;
    }
    if (*fmt == 0) return nullptr;
    d.conv = *fmt;
    return fmt + 1;
}

// Pads prefix+body to the width: spaces on the left or right, or zeros between prefix and body.
void emit(std::wstring& out, const Directive& d, std::wstring_view prefix, std::wstring_view body,
          bool zeroPad) {
    size_t len = prefix.size() + body.size();
    size_t pad = static_cast<size_t>(d.width) > len ? static_cast<size_t>(d.width) - len : 0;
    if (d.left) {
        out.append(prefix).append(body).append(pad, L' ');
    } else if (zeroPad) {
        out.append(prefix).append(pad, L'0').append(body);
    } else {
        out.append(pad, L' ').append(prefix).append(body);
    }
}

void appendAscii(std::wstring& out, const char* first, const char* last) {
    for (const char* p = first; p != last; ++p)
        out += static_cast<wchar_t>(*p);
}

int64_t signedArg(va_list& args, Length len) {
    switch (len) {
    case Length::Char:
        return static_cast<signed char>(va_arg(args, int));
    case Length::Short:
        return static_cast<short>(va_arg(args, int));
    case Length::Long:
        return va_arg(args, long);
    case Length::LongLong:
        return va_arg(args, long long);
    case Length::Size:
        return va_arg(args, ssize_t);
    case Length::IntMax:
        return va_arg(args, intmax_t);
    case Length::PtrDiff:
        return va_arg(args, ptrdiff_t);
    case Length::None:
    case Length::LongDouble:
        break;
    }
    return va_arg(args, int);
}

uint64_t unsignedArg(va_list& args, Length len) {
    switch (len) {
    case Length::Char:
        return static_cast<unsigned char>(va_arg(args, unsigned));
    case Length::Short:
        return static_cast<unsigned short>(va_arg(args, unsigned));
    case Length::Long:
        return va_arg(args, unsigned long);
    case Length::LongLong:
        return va_arg(args, unsigned long long);
    case Length::Size:
        return va_arg(args, size_t);
    case Length::IntMax:
        return va_arg(args, uintmax_t);
    case Length::PtrDiff:
        return static_cast<uint64_t>(va_arg(args, ptrdiff_t));
    case Length::None:
    case Length::LongDouble:
        break;
    }
    return va_arg(args, unsigned);
}

// Digits of an integer conversion: at least `precision` of them, none for 0 at precision 0.
std::wstring integerDigits(const Directive& d, uint64_t magnitude, int base) {
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, magnitude, base);
    std::wstring digits;
    if (!(d.precision == 0 && magnitude == 0)) appendAscii(digits, buf, r.ptr);
    if (d.conv == L'X') digits = toUpper(digits);
    if (d.precision > 0 && digits.size() < static_cast<size_t>(d.precision))
        digits.insert(0, static_cast<size_t>(d.precision) - digits.size(), L'0');
    return digits;
}

std::wstring signPrefix(const Directive& d, bool negative) {
    return negative ? L"-" : d.plus ? L"+" : d.space ? L" " : L"";
}

// d i u o x X: the sign (signed conversions) or "0x" (%#x) before zeros of the padding.
void formatInteger(std::wstring& out, const Directive& d, uint64_t magnitude, bool negative,
                   bool isSigned) {
    int base = d.conv == L'o' ? 8 : (d.conv == L'x' || d.conv == L'X') ? 16 : 10;
    std::wstring digits = integerDigits(d, magnitude, base);
    if (d.alt && base == 8 && (digits.empty() || digits[0] != L'0')) digits.insert(0, 1, L'0');
    std::wstring prefix = isSigned ? signPrefix(d, negative) : L"";
    if (d.alt && base == 16 && magnitude != 0) prefix += d.conv == L'X' ? L"0X" : L"0x";
    emit(out, d, prefix, digits, d.zero && !d.left && d.precision < 0);
}

// %#g keeps trailing zeros: choose %e or %f the way %g does, with P significant digits.
template <typename F> std::string altGeneral(F v, int p) {
    std::vector<char> buf(static_cast<size_t>(p) + 400);
    auto r =
        std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::scientific, p - 1);
    std::string sci(buf.data(), r.ptr);
    int exponent = std::atoi(sci.c_str() + sci.find('e') + 1);
    if (exponent < p && exponent >= -4) {
        r = std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::fixed,
                          p - 1 - exponent);
        std::string fixed(buf.data(), r.ptr);
        if (fixed.find('.') == std::string::npos) fixed += '.';
        return fixed;
    }
    if (sci.find('.') == std::string::npos) sci.insert(sci.find('e'), 1, '.');
    return sci;
}

// Digits of a finite, non-negative value for f e g (any case folded later).
template <typename F> std::string floatDigits(F v, const Directive& d) {
    wchar_t c = toLowerChar(d.conv);
    int p = d.precision < 0 ? 6 : d.precision;
    if (c == L'g') {
        int sig = p == 0 ? 1 : p;
        if (d.alt) return altGeneral(v, sig);
        std::vector<char> buf(static_cast<size_t>(sig) + 400);
        auto r =
            std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::general, sig);
        return std::string(buf.data(), r.ptr);
    }
    auto fmt = c == L'f' ? std::chars_format::fixed : std::chars_format::scientific;
    std::vector<char> buf(static_cast<size_t>(p) + 5000);
    auto r = std::to_chars(buf.data(), buf.data() + buf.size(), v, fmt, p);
    std::string s(buf.data(), r.ptr);
    if (d.alt && p == 0) {
        size_t e = s.find('e');
        s.insert(e == std::string::npos ? s.size() : e, 1, '.');
    }
    return s;
}

// %a through the C library (its hexadecimal layout is not std::to_chars').
template <typename F> std::string hexFloatDigits(F v, const Directive& d) {
    std::string pattern = "%";
    if (d.alt) pattern += '#';
    if (d.precision >= 0) {
        pattern += '.';
        pattern += std::to_string(d.precision);
    }
    pattern += std::is_same_v<F, long double> ? "La" : "a";
    std::vector<char> buf(static_cast<size_t>(std::max(d.precision, 0)) + 64);
    std::snprintf(buf.data(), buf.size(), pattern.c_str(), v);
    return buf.data();
}

template <typename F> void formatFloat(std::wstring& out, const Directive& d, F v) {
    bool upper = d.conv == L'F' || d.conv == L'E' || d.conv == L'G' || d.conv == L'A';
    bool negative = std::signbit(v);
    std::wstring prefix = signPrefix(d, negative);
    bool finite = std::isfinite(v);
    bool hex = d.conv == L'a' || d.conv == L'A';
    std::wstring body = !finite ? std::wstring(std::isnan(v) ? L"nan" : L"inf")
                        : hex   ? asciiToWide(hexFloatDigits(std::fabs(v), d))
                                : asciiToWide(floatDigits(std::fabs(v), d));
    if (upper) body = toUpper(body);
    if (finite && hex && d.zero && !d.left) {
        prefix += body.substr(0, 2); // "0x": zeros go after it
        body.erase(0, 2);
    }
    emit(out, d, prefix, body, d.zero && !d.left && finite);
}

// The first `precision` characters of a string argument (all when precision is -1).
std::wstring clip(std::wstring s, int precision) {
    if (precision >= 0 && s.size() > static_cast<size_t>(precision))
        s.resize(static_cast<size_t>(precision));
    return s;
}

void formatString(std::wstring& out, const Directive& d, va_list& args) {
    bool narrow = (d.conv == L'S' && d.length != Length::Long) || d.length == Length::Short;
    std::wstring s;
    if (narrow) {
        const char* p = va_arg(args, const char*);
        s = p ? utf8ToWide(p) : L"(null)";
        if (!p && d.precision >= 0 && d.precision < 6) s.clear();
    } else {
        const wchar_t* p = va_arg(args, const wchar_t*);
        s = p ? std::wstring(p) : L"(null)";
        if (!p && d.precision >= 0 && d.precision < 6) s.clear();
    }
    emit(out, d, L"", clip(std::move(s), d.precision), false);
}

void formatChar(std::wstring& out, const Directive& d, va_list& args) {
    int v = va_arg(args, int);
    wchar_t c = static_cast<wchar_t>(v);
    if (d.conv == L'C' || d.length == Length::Short) {
        auto b = static_cast<unsigned char>(v);
        c = b < 0x80 ? static_cast<wchar_t>(b) : kReplacementChar;
    }
    emit(out, d, L"", std::wstring_view(&c, 1), false);
}

void formatPointer(std::wstring& out, const Directive& d, va_list& args) {
    const void* p = va_arg(args, const void*);
    if (!p) {
        emit(out, d, L"", L"(nil)", false);
        return;
    }
    Directive h = d;
    h.conv = L'x';
    std::wstring digits = integerDigits(h, reinterpret_cast<uintptr_t>(p), 16);
    emit(out, d, signPrefix(d, false) + L"0x", digits, d.zero && !d.left && d.precision < 0);
}

// One conversion; false for a conversion letter the formatter does not know.
bool convert(std::wstring& out, const Directive& d, va_list& args) {
    switch (d.conv) {
    case L'd':
    case L'i': {
        int64_t v = signedArg(args, d.length);
        uint64_t mag = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
        formatInteger(out, d, mag, v < 0, true);
        return true;
    }
    case L'u':
    case L'o':
    case L'x':
    case L'X':
        formatInteger(out, d, unsignedArg(args, d.length), false, false);
        return true;
    case L'f':
    case L'F':
    case L'e':
    case L'E':
    case L'g':
    case L'G':
    case L'a':
    case L'A':
        if (d.length == Length::LongDouble)
            formatFloat(out, d, va_arg(args, long double));
        else
            formatFloat(out, d, va_arg(args, double));
        return true;
    case L'c':
    case L'C':
        formatChar(out, d, args);
        return true;
    case L's':
    case L'S':
        formatString(out, d, args);
        return true;
    case L'p':
        formatPointer(out, d, args);
        return true;
    case L'n':
        (void)va_arg(args, void*);
        return true;
    case L'%':
        out += L'%';
        return true;
    }
    return false;
}

} // namespace

std::wstring vformat(const wchar_t* fmt, va_list args) {
    std::wstring out;
    if (!fmt) return out;
    va_list ap;
    va_copy(ap, args);
    while (*fmt) {
        if (*fmt != L'%') {
            out += *fmt++;
            continue;
        }
        const wchar_t* start = fmt;
        Directive d;
        const wchar_t* next = parseDirective(fmt + 1, ap, d);
        if (next && convert(out, d, ap)) {
            fmt = next;
            continue;
        }
        // Malformed or unknown: copy it as text and go on after it.
        const wchar_t* stop = next ? next : start + 1 + std::wcslen(start + 1);
        out.append(start, stop);
        fmt = stop;
    }
    va_end(ap);
    return out;
}

std::wstring format(const wchar_t* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    std::wstring s = vformat(fmt, args);
    va_end(args);
    return s;
}

} // namespace zel::core
