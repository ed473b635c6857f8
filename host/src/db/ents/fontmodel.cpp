#include "db/ents/fontmodel.h"

#include <algorithm>
#include <cwctype>

namespace zel::db::font {

bool isFullWidth(wchar_t c) {
    auto in = [c](unsigned lo, unsigned hi) { return unsigned(c) >= lo && unsigned(c) <= hi; };
    return in(0x1100, 0x115F) || in(0x2E80, 0x303E) || in(0x3041, 0x33FF) || in(0x3400, 0x4DBF) ||
           in(0x4E00, 0x9FFF) || in(0xA000, 0xA4CF) || in(0xAC00, 0xD7A3) || in(0xF900, 0xFAFF) ||
           in(0xFE30, 0xFE4F) || in(0xFF00, 0xFF60) || in(0xFFE0, 0xFFE6) || in(0x20000, 0x3FFFD);
}

double advance(wchar_t c) {
    return isFullWidth(c) ? 2 * kHalfWidthAdvance : kHalfWidthAdvance;
}

namespace {

// The character of a %% code, or 0 for codes drawn as nothing (underline, overline, strike).
wchar_t specialChar(wchar_t code) {
    switch (std::towlower(code)) {
    case L'd':
        return 0x00B0; // degree sign
    case L'p':
        return 0x00B1; // plus-minus sign
    case L'c':
        return 0x2205; // diameter sign
    case L'%':
        return L'%';
    default:
        return 0;
    }
}

} // namespace

std::wstring displayText(std::wstring_view text) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'%' || i + 2 >= text.size() || text[i + 1] != L'%') {
            out += text[i];
            continue;
        }
        wchar_t code = text[i + 2];
        if (std::iswdigit(code)) { // %%nnn: a character by its number
            size_t j = i + 2;
            unsigned value = 0;
            for (int k = 0; k < 3 && j < text.size() && std::iswdigit(text[j]); ++k, ++j)
                value = value * 10 + unsigned(text[j] - L'0');
            out += wchar_t(value);
            i = j - 1;
            continue;
        }
        if (wchar_t c = specialChar(code)) out += c;
        i += 2;
    }
    return out;
}

double textWidth(std::wstring_view text) {
    double w = 0;
    for (wchar_t c : displayText(text))
        w += advance(c);
    return w;
}

namespace {

// Skips a format code's argument up to and including its ';'.
size_t skipArgument(std::wstring_view s, size_t i) {
    size_t end = s.find(L';', i);
    return end == std::wstring_view::npos ? s.size() : end + 1;
}

// "\Snum^den;" (also '/' and '#'): the fraction as "num/den".
size_t stacked(std::wstring_view s, size_t i, std::wstring& out) {
    size_t end = s.find(L';', i);
    std::wstring_view body = s.substr(i, end == std::wstring_view::npos ? end : end - i);
    size_t sep = body.find_first_of(L"^/#");
    if (sep == std::wstring_view::npos) {
        out += body;
    } else {
        out += body.substr(0, sep);
        out += L'/';
        std::wstring_view den = body.substr(sep + 1);
        while (!den.empty() && den.front() == L' ')
            den.remove_prefix(1);
        out += den;
    }
    return end == std::wstring_view::npos ? s.size() : end + 1;
}

} // namespace

std::wstring plainMText(std::wstring_view s) {
    std::wstring out;
    size_t i = 0;
    while (i < s.size()) {
        wchar_t c = s[i];
        if (c == L'{' || c == L'}') {
            ++i;
            continue;
        }
        if (c != L'\\' || i + 1 >= s.size()) {
            out += c;
            ++i;
            continue;
        }
        wchar_t code = s[i + 1];
        i += 2;
        switch (code) {
        case L'P':
        case L'N':
            out += L'\n';
            break;
        case L'~':
            out += L' ';
            break;
        case L'\\':
        case L'{':
        case L'}':
            out += code;
            break;
        case L'L':
        case L'l':
        case L'O':
        case L'o':
        case L'K':
        case L'k':
            break;
        case L'S':
            i = stacked(s, i, out);
            break;
        case L'f':
        case L'F':
        case L'H':
        case L'W':
        case L'Q':
        case L'T':
        case L'A':
        case L'C':
        case L'c':
        case L'p':
            i = skipArgument(s, i);
            break;
        default:
            out += code;
            break; // an unknown code: its letter stays
        }
    }
    return displayText(out);
}

std::vector<std::wstring> wrapLines(std::wstring_view plain, double width) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (true) {
        size_t nl = plain.find(L'\n', start);
        std::wstring_view para =
            plain.substr(start, nl == std::wstring_view::npos ? nl : nl - start);
        std::wstring line;
        double w = 0;
        size_t breakAt = std::wstring::npos; // index in line after which it may break
        for (wchar_t c : para) {
            double a = advance(c);
            if (width > 0 && w + a > width && !line.empty()) {
                size_t cut = breakAt != std::wstring::npos ? breakAt + 1 : line.size();
                std::wstring rest = line.substr(cut);
                line.resize(cut);
                while (!line.empty() && line.back() == L' ')
                    line.pop_back();
                lines.push_back(line);
                line = rest;
                w = 0;
                for (wchar_t x : line)
                    w += advance(x);
                breakAt = std::wstring::npos;
            }
            line += c;
            w += a;
            if (c == L' ' || isFullWidth(c)) breakAt = line.size() - 1;
        }
        lines.push_back(line);
        if (nl == std::wstring_view::npos) break;
        start = nl + 1;
    }
    return lines;
}

} // namespace zel::db::font
