#include "editor/keywords.h"

#include "core/text.h"

namespace zel::editor {

namespace {

std::vector<std::wstring> words(std::wstring_view list) {
    std::vector<std::wstring> out;
    std::wstring w;
    for (wchar_t c : list) {
        if (c == L' ' || c == L'\t') {
            if (!w.empty()) out.push_back(std::move(w));
            w.clear();
        } else {
            w += c;
        }
    }
    if (!w.empty()) out.push_back(std::move(w));
    return out;
}

bool isLowerLetter(wchar_t c) {
    return core::toUpperChar(c) != c;
}

struct Form {
    std::wstring whole; // upper case
    std::wstring shortForm;
    std::wstring written; // the word as given, without ",short"
};

std::optional<Form> formOf(const std::wstring& word) {
    Form f;
    size_t comma = word.find(L',');
    f.written = word.substr(0, comma);
    f.whole = core::toUpper(f.written);
    if (f.whole.empty()) return std::nullopt;
    if (comma != std::wstring::npos) {
        f.shortForm = core::toUpper(word.substr(comma + 1));
        if (f.shortForm.empty()) return std::nullopt;
        return f;
    }
    for (wchar_t c : f.written)
        if (!isLowerLetter(c)) f.shortForm += c;
    if (f.shortForm.empty()) f.shortForm = f.whole;
    return f;
}

// 2: exact (short form or whole word), 1: a longer beginning of the word, 0: no match.
int matchForm(const std::wstring& whole, const std::wstring& shortForm, const std::wstring& t) {
    if (t == shortForm || t == whole) return 2;
    bool shortBegins = whole.compare(0, shortForm.size(), shortForm) == 0;
    if (shortBegins && t.size() > shortForm.size() && t.size() < whole.size() &&
        whole.compare(0, t.size(), t) == 0)
        return 1;
    return 0;
}

} // namespace

std::optional<KeywordList> parseKeywords(std::wstring_view list) {
    std::vector<std::wstring> all = words(list);
    std::vector<std::wstring> local, global;
    bool afterSeparator = false;
    for (std::wstring& w : all) {
        if (w == L"_") {
            if (afterSeparator) return std::nullopt;
            afterSeparator = true;
            continue;
        }
        (afterSeparator ? global : local).push_back(std::move(w));
    }
    if (!afterSeparator) global = local;
    if (global.size() != local.size()) return std::nullopt;
    KeywordList out;
    for (size_t i = 0; i < local.size(); ++i) {
        std::optional<Form> l = formOf(local[i]);
        std::optional<Form> g = formOf(global[i]);
        if (!l || !g) return std::nullopt;
        out.words.push_back(Keyword{l->written, g->written, l->shortForm, l->whole});
    }
    return out;
}

KeywordMatch matchKeyword(const KeywordList& list, std::wstring_view typed) {
    std::wstring t = core::toUpper(core::trim(typed));
    bool global = !t.empty() && t[0] == L'_';
    if (global) t.erase(0, 1);
    if (t.empty()) return {};
    const Keyword* exact = nullptr;
    const Keyword* partial = nullptr;
    int exactCount = 0, partialCount = 0;
    for (const Keyword& k : list.words) {
        int m = 0;
        if (global) {
            std::optional<Form> g = formOf(k.global);
            m = g ? matchForm(g->whole, g->shortForm, t) : 0;
        } else {
            m = matchForm(k.whole, k.shortForm, t);
        }
        if (m == 2 && !(exact && exact->global == k.global)) {
            exact = &k;
            ++exactCount;
        } else if (m == 1) {
            partial = &k;
            ++partialCount;
        }
    }
    if (exactCount == 1) return {KeywordMatch::One, exact};
    if (exactCount > 1) return {KeywordMatch::Ambiguous, nullptr};
    if (partialCount == 1) return {KeywordMatch::One, partial};
    if (partialCount > 1) return {KeywordMatch::Ambiguous, nullptr};
    return {};
}

std::wstring keywordText(const KeywordList& list) {
    std::wstring out;
    for (const Keyword& k : list.words) {
        if (!out.empty()) out += L' ';
        out += k.local;
    }
    return out;
}

} // namespace zel::editor
