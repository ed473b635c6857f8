// UTF-8 conversion, case folding of names and number parsing (see text.h).
#include "core/text.h"

#include <charconv>
#include <cmath>
#include <cwctype>

namespace zel::core {

namespace {

constexpr char32_t kMaxCodePoint = 0x10FFFF;

bool isSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}
bool isContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// Length of the sequence a lead byte starts and the range its second byte must lie in
// (narrower than 80..BF where overlong forms, surrogates or values past U+10FFFF start).
struct LeadInfo {
    int length = 0; // 0: not a lead byte
    unsigned char lo = 0x80, hi = 0xBF;
};

LeadInfo leadInfo(unsigned char b) {
    if (b >= 0xC2 && b <= 0xDF) return {2};
    if (b == 0xE0) return {3, 0xA0, 0xBF};
    if (b == 0xED) return {3, 0x80, 0x9F};
    if (b >= 0xE1 && b <= 0xEF) return {3};
    if (b == 0xF0) return {4, 0x90, 0xBF};
    if (b >= 0xF1 && b <= 0xF3) return {4};
    if (b == 0xF4) return {4, 0x80, 0x8F};
    return {};
}

// Decodes one character at bytes[i]; advances i past it, or past the maximal ill-formed
// subpart (at least one byte) and returns nullopt.
std::optional<char32_t> nextUtf8(std::string_view bytes, size_t& i) {
    auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
        ++i;
        return b;
    }
    LeadInfo info = leadInfo(b);
    if (info.length == 0) {
        ++i;
        return std::nullopt;
    }
    char32_t c = b & (0x7F >> info.length);
    size_t j = i + 1;
    for (int k = 1; k < info.length; ++k, ++j) {
        if (j >= bytes.size()) break;
        auto t = static_cast<unsigned char>(bytes[j]);
        bool ok = k == 1 ? (t >= info.lo && t <= info.hi) : isContinuation(t);
        if (!ok) break;
        c = (c << 6) | (t & 0x3F);
    }
    bool complete = j == i + static_cast<size_t>(info.length);
    i = j;
    if (!complete) return std::nullopt;
    return c;
}

void appendUtf8(std::string& out, char32_t c) {
    if (isSurrogate(c) || c > kMaxCodePoint) c = kReplacementChar;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Letters whose cases lie a fixed distance apart within one block.
struct CaseRange {
    wchar_t lowerFirst, lowerLast;
    int offset; // upper = lower - offset
    wchar_t except;
};

constexpr CaseRange kCaseRanges[] = {
    {L'a', L'z', 0x20, 0},          {0x00E0, 0x00FE, 0x20, 0x00F7}, // Latin-1 (÷ is no letter)
    {0x03B1, 0x03C9, 0x20, 0x03C2}, // Greek (final sigma has no capital of its own)
    {0x0430, 0x044F, 0x20, 0},      // Cyrillic а..я
    {0x0450, 0x045F, 0x50, 0},      // Cyrillic ѐ..џ
    {0xFF41, 0xFF5A, 0x20, 0},      // full-width ａ..ｚ
};

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

// ASCII copy of a number's text; nullopt when it holds any other character.
std::optional<std::string> numberChars(std::wstring_view text) {
    std::wstring t = trim(text);
    if (t.empty()) return std::nullopt;
    std::string s;
    s.reserve(t.size());
    for (wchar_t c : t) {
        if (c <= 0 || c >= 0x80) return std::nullopt;
        s += static_cast<char>(c);
    }
    if (s[0] == '+') {
        s.erase(0, 1);
        if (s.empty() || s[0] == '+' || s[0] == '-') return std::nullopt;
    }
    return s;
}

template <typename T> std::optional<T> parseInteger(std::wstring_view text) {
    auto s = numberChars(text);
    if (!s) return std::nullopt;
    T value{};
    auto [end, ec] = std::from_chars(s->data(), s->data() + s->size(), value);
    if (ec != std::errc() || end != s->data() + s->size()) return std::nullopt;
    return value;
}

} // namespace

bool isValidUtf8(std::string_view bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        if (!nextUtf8(bytes, i)) return false;
    }
    return true;
}

std::wstring utf8ToWide(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        auto c = nextUtf8(bytes, i);
        out += static_cast<wchar_t>(c ? *c : kReplacementChar);
    }
    return out;
}

std::string wideToUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text)
        appendUtf8(out, static_cast<char32_t>(c));
    return out;
}

std::wstring decodeTextFile(std::string_view bytes) {
    if (isValidUtf8(bytes)) {
        if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
        return utf8ToWide(bytes);
    }
    return decode(bytes, CodePage::Ansi932);
}

wchar_t toUpperChar(wchar_t c) {
    for (const CaseRange& r : kCaseRanges) {
        if (c >= r.lowerFirst && c <= r.lowerLast && c != r.except)
            return static_cast<wchar_t>(c - r.offset);
    }
    return c;
}

wchar_t toLowerChar(wchar_t c) {
    for (const CaseRange& r : kCaseRanges) {
        wchar_t lower = static_cast<wchar_t>(c + r.offset);
        if (lower >= r.lowerFirst && lower <= r.lowerLast && lower != r.except) return lower;
    }
    return c;
}

std::wstring toUpper(std::wstring_view text) {
    std::wstring out(text);
    for (wchar_t& c : out)
        c = toUpperChar(c);
    return out;
}

std::wstring toLower(std::wstring_view text) {
    std::wstring out(text);
    for (wchar_t& c : out)
        c = toLowerChar(c);
    return out;
}

int compareNoCase(std::wstring_view a, std::wstring_view b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        wchar_t ca = toUpperChar(a[i]);
        wchar_t cb = toUpperChar(b[i]);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool equalsNoCase(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() && compareNoCase(a, b) == 0;
}

std::wstring trim(std::wstring_view text) {
    size_t first = 0;
    while (first < text.size() && isBlank(text[first]))
        ++first;
    size_t last = text.size();
    while (last > first && isBlank(text[last - 1]))
        --last;
    return std::wstring(text.substr(first, last - first));
}

std::optional<double> parseDouble(std::wstring_view text) {
    auto s = numberChars(text);
    if (!s) return std::nullopt;
    // from_chars would also take "inf", "nan" and hex digits after "0x"; none is a number here.
    for (char c : *s) {
        bool ok =
            (c >= '0' && c <= '9') || c == '.' || c == '-' || c == 'e' || c == 'E' || c == '+';
        if (!ok) return std::nullopt;
    }
    double value = 0;
    auto [end, ec] = std::from_chars(s->data(), s->data() + s->size(), value);
    if (ec != std::errc() || end != s->data() + s->size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> parseInt(std::wstring_view text) {
    return parseInteger<int>(text);
}

std::optional<int64_t> parseInt64(std::wstring_view text) {
    return parseInteger<int64_t>(text);
}

std::wstring toWString(double value) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    if (ec != std::errc()) return L"?";
    return asciiToWide(std::string_view(buf, static_cast<size_t>(end - buf)));
}

std::wstring toWString(int64_t value) {
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    if (ec != std::errc()) return L"?";
    return asciiToWide(std::string_view(buf, static_cast<size_t>(end - buf)));
}

std::wstring asciiToWide(std::string_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (char c : text) {
        auto b = static_cast<unsigned char>(c);
        out += b < 0x80 ? static_cast<wchar_t>(b) : kReplacementChar;
    }
    return out;
}

} // namespace zel::core
