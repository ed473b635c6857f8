// The LISP reader (see reader.h).
#include "lisp/reader.h"

#include "core/text.h"
#include "lisp/error.h"

#include <cmath>
#include <limits>

namespace zel::lisp {

namespace {

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\f' || c == L'\v' ||
           c == 0x3000; // an ideographic space typed by a Japanese input method
}

bool isDelimiter(wchar_t c) {
    return isBlank(c) || c == L'(' || c == L')' || c == L'\'' || c == L'"' || c == L';';
}

bool isDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

bool isOctal(wchar_t c) {
    return c >= L'0' && c <= L'7';
}

// Sign, digits with at most one point (at least one digit), optional exponent with digits.
bool looksLikeNumber(std::wstring_view s, bool& isInteger) {
    size_t i = 0;
    if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) ++i;
    size_t digits = 0;
    bool point = false;
    for (; i < s.size(); ++i) {
        if (isDigit(s[i])) {
            ++digits;
        } else if (s[i] == L'.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0) return false;
    bool exponent = false;
    if (i < s.size() && (s[i] == L'e' || s[i] == L'E')) {
        ++i;
        if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) ++i;
        size_t expDigits = 0;
        for (; i < s.size() && isDigit(s[i]); ++i)
            ++expDigits;
        if (expDigits == 0) return false;
        exponent = true;
    }
    isInteger = !point && !exponent;
    return i == s.size();
}

} // namespace

std::optional<Value> parseNumberToken(std::wstring_view token) {
    bool isInteger = false;
    if (!looksLikeNumber(token, isInteger)) return std::nullopt;
    if (isInteger) {
        bool negative = token[0] == L'-';
        size_t start = (token[0] == L'-' || token[0] == L'+') ? 1 : 0;
        uint64_t magnitude = 0;
        bool big = false;
        for (size_t i = start; i < token.size() && !big; ++i) {
            magnitude = magnitude * 10 + static_cast<uint64_t>(token[i] - L'0');
            big = magnitude > static_cast<uint64_t>(std::numeric_limits<int32_t>::max());
        }
        if (!big) {
            auto v = static_cast<int32_t>(magnitude);
            return Value::integer(negative ? -v : v);
        }
        // Too large for an integer: read as a real, as the reference LISP does.
    }
    std::wstring text(token);
    if (text[0] == L'+') text.erase(0, 1);
    if (text[0] == L'.') text.insert(0, 1, L'0');
    if (text.size() > 1 && text[0] == L'-' && text[1] == L'.') text.insert(1, 1, L'0');
    std::optional<double> v = core::parseDouble(text);
    if (!v) return std::nullopt;
    return Value::real(*v);
}

TextPosition positionOf(std::wstring_view text, size_t offset) {
    TextPosition p;
    for (size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == L'\n') {
            ++p.line;
            p.column = 1;
        } else {
            ++p.column;
        }
    }
    return p;
}

// One open list, or a quote waiting for its expression.
struct Reader::Frame {
    bool quote = false;
    size_t start = 0; // offset of "(" or "'"
    std::vector<Value> items;
    bool dotted = false; // a "." was read: the next expression is the tail
    bool haveTail = false;
    Value tail;
};

Reader::Reader(SymbolTable& symbols, std::wstring_view text, size_t maxDepth)
    : mSymbols(symbols), mText(text), mMaxDepth(maxDepth) {}

void Reader::fail(bool incomplete, const std::wstring& what, size_t at) const {
    TextPosition p = positionOf(mText, at);
    std::wstring detail = what + L" (" + core::toWString(static_cast<int64_t>(p.line)) + L" 行 " +
                          core::toWString(static_cast<int64_t>(p.column)) + L" 桁)";
    throwError(incomplete ? ErrorKind::Incomplete : ErrorKind::Syntax, detail);
}

void Reader::skipBlanks() {
    while (mAt < mText.size()) {
        wchar_t c = mText[mAt];
        if (isBlank(c)) {
            ++mAt;
        } else if (c == L';' && mAt + 1 < mText.size() && mText[mAt + 1] == L'|') {
            size_t end = mText.find(L"|;", mAt + 2);
            if (end == std::wstring_view::npos) fail(true, L"コメント ;| が閉じていません", mAt);
            mAt = end + 2;
        } else if (c == L';') {
            size_t end = mText.find(L'\n', mAt);
            mAt = end == std::wstring_view::npos ? mText.size() : end + 1;
        } else {
            return;
        }
    }
}

Value Reader::readString() {
    size_t start = mAt++;
    std::wstring s;
    while (mAt < mText.size()) {
        wchar_t c = mText[mAt++];
        if (c == L'"') return Value::string(std::move(s));
        if (c != L'\\') {
            s += c;
            continue;
        }
        if (mAt >= mText.size()) break;
        wchar_t e = mText[mAt++];
        switch (e) {
        case L'n':
            s += L'\n';
            break;
        case L'r':
            s += L'\r';
            break;
        case L't':
            s += L'\t';
            break;
        case L'e':
            s += wchar_t{0x1B};
            break;
        default:
            if (isOctal(e)) {
                unsigned code = static_cast<unsigned>(e - L'0');
                for (int n = 1; n < 3 && mAt < mText.size() && isOctal(mText[mAt]); ++n)
                    code = code * 8 + static_cast<unsigned>(mText[mAt++] - L'0');
                s += static_cast<wchar_t>(code);
            } else {
                s += e; // \\ \" and any other character stand for themselves
            }
        }
    }
    fail(true, L"文字列が閉じていません", start);
}

Value Reader::readAtom() {
    size_t start = mAt;
    while (mAt < mText.size() && !isDelimiter(mText[mAt]))
        ++mAt;
    std::wstring_view token = mText.substr(start, mAt - start);
    bool isInteger = false;
    if (looksLikeNumber(token, isInteger)) {
        std::optional<Value> v = parseNumberToken(token);
        if (!v) fail(false, L"数値が大きすぎます: " + std::wstring(token), start);
        return *v;
    }
    Symbol* sym = mSymbols.intern(token);
    if (sym == mSymbols.nil()) return Value();
    return Value::symbol(sym);
}

std::optional<Value> Reader::next() {
    std::vector<Frame> stack;
    Symbol* quote = mSymbols.intern(L"QUOTE");
    for (;;) {
        skipBlanks();
        if (mAt >= mText.size()) {
            if (stack.empty()) return std::nullopt;
            const Frame& open = stack.back();
            fail(true, open.quote ? L"' の後に式がありません" : L"かっこが閉じていません",
                 open.start);
        }
        size_t tokenStart = mAt;
        wchar_t c = mText[mAt];
        std::optional<Value> done;
        if (c == L'(' || c == L'\'') {
            if (stack.size() >= mMaxDepth) fail(false, L"入れ子が深すぎます", mAt);
            Frame f;
            f.quote = c == L'\'';
            f.start = mAt++;
            stack.push_back(std::move(f));
            continue;
        }
        if (c == L')') {
            ++mAt;
            if (stack.empty()) fail(false, L"余分な ) があります", tokenStart);
            Frame& top = stack.back();
            if (top.quote) fail(false, L"' の後に式がありません", tokenStart);
            if (top.dotted && !top.haveTail) fail(false, L". の後に式がありません", tokenStart);
            done = makeList(std::move(top.items), std::move(top.tail));
            stack.pop_back();
        } else if (c == L'"') {
            done = readString();
        } else if (c == L'.' && (mAt + 1 >= mText.size() || isDelimiter(mText[mAt + 1]))) {
            ++mAt;
            if (stack.empty() || stack.back().quote || stack.back().items.empty() ||
                stack.back().dotted)
                fail(false, L". の位置が正しくありません", tokenStart);
            stack.back().dotted = true;
            continue;
        } else {
            done = readAtom();
        }
        // Deliver the finished expression to the quotes and the list waiting for it.
        Value v = std::move(*done);
        while (!stack.empty() && stack.back().quote) {
            v = makeList({Value::symbol(quote), std::move(v)});
            stack.pop_back();
        }
        if (stack.empty()) return v;
        Frame& top = stack.back();
        if (top.haveTail) fail(false, L". の後に式が二つ以上あります", tokenStart);
        if (top.dotted) {
            top.tail = std::move(v);
            top.haveTail = true;
        } else {
            top.items.push_back(std::move(v));
        }
    }
}

bool needsMoreInput(std::wstring_view text) {
    SymbolTable scratch;
    Reader reader(scratch, text);
    try {
        while (reader.next()) {
        }
    } catch (const LispError& e) {
        return e.kind() == ErrorKind::Incomplete;
    }
    return false;
}

} // namespace zel::lisp
