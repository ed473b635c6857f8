#include "common/services/wtext.h"

#include <cwctype>

std::wstring UpperText(std::wstring s) {
    for (wchar_t& c : s)
        c = wchar_t(std::towupper(c));
    return s;
}

bool SameNoCase(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() && UpperText(a) == UpperText(b);
}

std::wstring TrimBlanks(const std::wstring& s) {
    size_t a = s.find_first_not_of(L" \t");
    if (a == std::wstring::npos) return {};
    return s.substr(a, s.find_last_not_of(L" \t") - a + 1);
}
