// Keyword lists of acedInitGet and how typed text matches them.
//
// A list is words separated by blanks: "Undo eXit". The capital letters of a word are its
// short form (U, X); a word with a comma gives it explicitly ("LTYPE,LT"). A word without
// capitals must be typed whole. "Undo Exit _ Undo Exit": the words before " _" are the
// localised ones the user types, those after it the global ones the program is given, pair by
// pair; a typed "_word" matches the global ones.
//
// A typed text matches a word when it equals the short form or the whole word (case ignored),
// or, when the short form begins the word, when it is a longer beginning of the word ("UN",
// "UND" for "Undo").
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zel::editor {

// Bits of acedInitGet.
enum InitGetBits : int {
    kNoNull = 1,      // Enter is refused
    kNoZero = 2,      // 0 is refused
    kNoNegative = 4,  // negative values are refused
    kNoLimits = 8,    // points outside the limits are accepted even with LIMCHECK 1
    kDashed = 32,     // rubber band drawn dashed
    kIgnoreZ = 64,    // distances measured in the XY plane
    kArbitrary = 128, // any text is accepted (returned as a keyword)
};

struct Keyword {
    std::wstring local;  // as listed ("eXit")
    std::wstring global; // the word the program gets back ("Exit")
    std::wstring shortForm;
    std::wstring whole; // the local word without the ",short" part
};

struct KeywordList {
    std::vector<Keyword> words;
    bool empty() const { return words.empty(); }
};

// Reads a list; nullopt when it is malformed (an empty word, a different number of local and
// global words).
std::optional<KeywordList> parseKeywords(std::wstring_view list);

struct KeywordMatch {
    enum Kind { None, One, Ambiguous } kind = None;
    const Keyword* keyword = nullptr;
};

KeywordMatch matchKeyword(const KeywordList& list, std::wstring_view typed);

// The local words of a list, blank-separated ("Undo eXit"); empty for an empty list.
std::wstring keywordText(const KeywordList& list);

// What acedInitGet set up for the next input call.
struct InitGet {
    int bits = 0;
    KeywordList keywords;
    bool has(int bit) const { return (bits & bit) != 0; }
};

} // namespace zel::editor
