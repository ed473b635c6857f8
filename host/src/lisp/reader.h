// The LISP reader: text to values.
//
// Numbers: 1 -2 +3 1.5 .5 1. 1e3 -2.5E-3; an integer beyond 32 bits is read as a real.
// Strings: "..." with the escapes \\ \" \n \r \t \e and \nnn (octal). Quote: 'x reads as
// (QUOTE x). Dotted pairs: (a . b). Comments: ; to the end of the line, ;| ... |; anywhere.
// Symbols are every other token, upper-cased; "nil" reads as nil.
//
// The reader keeps its own stack, so deep nesting and any garbage give an error with the
// line and column, never a crash.
#pragma once

#include "lisp/symbols.h"
#include "lisp/value.h"

#include <optional>
#include <string_view>

namespace zel::lisp {

// Nesting the reader accepts; deeper text is an error (evaluating it would exhaust the stack
// long before).
inline constexpr size_t kMaxReadDepth = 100000;

struct TextPosition {
    size_t line = 1;   // from 1
    size_t column = 1; // from 1, in characters
};

TextPosition positionOf(std::wstring_view text, size_t offset);

class Reader {
public:
    Reader(SymbolTable& symbols, std::wstring_view text, size_t maxDepth = kMaxReadDepth);

    // The next expression; nullopt when only blanks and comments remain. Throws LispError
    // (ErrorKind::Syntax, or ErrorKind::Incomplete when the text ends inside an expression).
    std::optional<Value> next();
    // Where the reader stands (an offset into the text).
    size_t offset() const { return mAt; }

private:
    struct Frame;
    void skipBlanks();
    Value readString();
    Value readAtom();
    [[noreturn]] void fail(bool incomplete, const std::wstring& what, size_t at) const;

    SymbolTable& mSymbols;
    std::wstring_view mText;
    size_t mAt = 0;
    size_t mMaxDepth;
};

// True when the text ends inside a list, a string or a block comment: a shell should read
// another line before evaluating.
bool needsMoreInput(std::wstring_view text);

// Parses a number token as the reader does; nullopt when the token is not a number.
std::optional<Value> parseNumberToken(std::wstring_view token);

} // namespace zel::lisp
