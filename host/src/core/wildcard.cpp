// Wild-card matching (see wildcard.h).
#include "core/wildcard.h"

#include <cwctype>
#include <string>
#include <vector>

namespace zel::core {

namespace {

struct Token {
    enum Type { Literal, Any, Digit, Alpha, Other, Set, Star } type = Literal;
    wchar_t ch = 0;
    bool negated = false;
    std::vector<std::pair<wchar_t, wchar_t>> ranges; // of a set
};

bool isAlpha(wchar_t c) {
    return std::iswalpha(static_cast<wint_t>(c)) != 0;
}
bool isDigitChar(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

bool tokenMatches(const Token& t, wchar_t c) {
    switch (t.type) {
    case Token::Literal:
        return c == t.ch;
    case Token::Any:
        return true;
    case Token::Digit:
        return isDigitChar(c);
    case Token::Alpha:
        return isAlpha(c);
    case Token::Other:
        return !isAlpha(c) && !isDigitChar(c);
    case Token::Set: {
        bool in = false;
        for (const auto& [lo, hi] : t.ranges)
            in = in || (c >= lo && c <= hi);
        return in != t.negated;
    }
    case Token::Star:
        break;
    }
    return false;
}

// A bracketed set from pattern[i] (just after '['); i ends after ']'. An unclosed set is a
// literal '['.
Token parseSet(std::wstring_view p, size_t& i) {
    Token t;
    t.type = Token::Set;
    size_t j = i;
    if (j < p.size() && p[j] == L'~') {
        t.negated = true;
        ++j;
    }
    bool first = true;
    for (; j < p.size() && (p[j] != L']' || first); ++j) {
        first = false;
        wchar_t lo = p[j];
        if (lo == L'`' && j + 1 < p.size()) lo = p[++j];
        if (j + 2 < p.size() && p[j + 1] == L'-' && p[j + 2] != L']') {
            t.ranges.emplace_back(lo, p[j + 2]);
            j += 2;
        } else {
            t.ranges.emplace_back(lo, lo);
        }
    }
    if (j >= p.size()) { // no closing bracket
        Token lit;
        lit.ch = L'[';
        return lit;
    }
    i = j + 1;
    return t;
}

std::vector<Token> parse(std::wstring_view p) {
    std::vector<Token> tokens;
    for (size_t i = 0; i < p.size();) {
        wchar_t c = p[i++];
        Token t;
        switch (c) {
        case L'#':
            t.type = Token::Digit;
            break;
        case L'@':
            t.type = Token::Alpha;
            break;
        case L'.':
            t.type = Token::Other;
            break;
        case L'?':
            t.type = Token::Any;
            break;
        case L'*':
            t.type = Token::Star;
            break;
        case L'[':
            t = parseSet(p, i);
            break;
        case L'`':
            t.ch = i < p.size() ? p[i++] : L'`';
            break;
        default:
            t.ch = c;
        }
        tokens.push_back(std::move(t));
    }
    return tokens;
}

// Two-pointer matching with backtracking to the last star: linear in practice.
bool matchTokens(std::wstring_view s, const std::vector<Token>& tokens) {
    size_t si = 0, ti = 0;
    size_t starToken = std::wstring_view::npos, starText = 0;
    while (si < s.size()) {
        if (ti < tokens.size() && tokens[ti].type == Token::Star) {
            starToken = ti++;
            starText = si;
        } else if (ti < tokens.size() && tokenMatches(tokens[ti], s[si])) {
            ++ti;
            ++si;
        } else if (starToken != std::wstring_view::npos) {
            ti = starToken + 1;
            si = ++starText;
        } else {
            return false;
        }
    }
    while (ti < tokens.size() && tokens[ti].type == Token::Star)
        ++ti;
    return ti == tokens.size();
}

// Splits on commas that are not escaped and not inside brackets.
std::vector<std::wstring_view> alternatives(std::wstring_view p) {
    std::vector<std::wstring_view> parts;
    size_t start = 0;
    bool inSet = false;
    for (size_t i = 0; i < p.size(); ++i) {
        if (p[i] == L'`') {
            ++i;
        } else if (p[i] == L'[') {
            inSet = true;
        } else if (p[i] == L']') {
            inSet = false;
        } else if (p[i] == L',' && !inSet) {
            parts.push_back(p.substr(start, i - start));
            start = i + 1;
        }
    }
    parts.push_back(p.substr(start));
    return parts;
}

} // namespace

bool wildcardMatch(std::wstring_view text, std::wstring_view pattern) {
    for (std::wstring_view alt : alternatives(pattern)) {
        bool negate = !alt.empty() && alt[0] == L'~';
        if (negate) alt.remove_prefix(1);
        if (matchTokens(text, parse(alt)) != negate) return true;
    }
    return false;
}

} // namespace zel::core
